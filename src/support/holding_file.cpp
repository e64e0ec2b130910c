#include "support/holding_file.h"

#include <algorithm>

#include "support/large_memory.h"

namespace kestrane {

Result<void> HoldingFile::hold(std::int64_t from, std::size_t length) {
    // The whole file, once held, is never given up for a part of it (a bank
    // at the end of a file cut inside it is no part it holds): a save
    // changes the whole in memory. What it lacks is read from the file.
    if (whole_ || held(from, length)) return {};
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[length]);
    auto got = readUpTo(file_, from, std::span(bytes.get(), length));
    if (!got) return got.error();
    holdPart(std::move(bytes), from, *got, *got < length);
    return {};
}

void HoldingFile::keep(std::int64_t from, std::span<const std::uint8_t> bytes) {
    if (whole_ || held(from, bytes.size())) return;
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    holdPart(std::move(copy), from, bytes.size(), false);
}

void HoldingFile::holdPart(std::unique_ptr<std::uint8_t[]> bytes, std::int64_t from, std::size_t length, bool toEnd) {
    bytes_ = std::move(bytes);
    from_ = from;
    length_ = length;
    toEnd_ = toEnd;
    whole_ = false;
}

Result<void> HoldingFile::holdWhole(std::int64_t size, const std::function<void(std::size_t, std::size_t)>& landed) {
    if (whole_ && std::int64_t(length_) >= size) {
        if (landed) landed(0, std::size_t(size));
        return {};
    }
    // Held as they land: [0, to) is what `landed` may look at.
    const auto length = std::size_t(size);
    bytes_.reset(new std::uint8_t[length]);
    from_ = 0;
    length_ = 0;
    toEnd_ = whole_ = false;
    for (std::size_t at = 0; at < length; at += std::size_t(kSearchPiece)) {
        const std::size_t to = std::min(length, at + std::size_t(kSearchPiece));
        if (auto read = readExactly(file_, std::int64_t(at), std::span(bytes_.get() + at, to - at)); !read) {
            bytes_.reset();
            length_ = 0;
            return read;
        }
        length_ = to;
        if (landed) landed(at, to);
    }
    whole_ = true;
    return {};
}

std::optional<std::span<const std::uint8_t>> HoldingFile::held(std::int64_t from, std::size_t length) const {
    if (!bytes_ || from < from_) return std::nullopt;
    const auto start = std::size_t(from - from_);
    if (start + length <= length_) return std::span<const std::uint8_t>(bytes_.get() + start, length);
    // Past the held bytes: the file's end where they run to it.
    if (toEnd_ && start <= length_) return std::span<const std::uint8_t>(bytes_.get() + start, length_ - start);
    return std::nullopt;
}

std::optional<std::span<std::uint8_t>> HoldingFile::whole() {
    if (!whole_) return std::nullopt;
    return std::span<std::uint8_t>(bytes_.get(), length_);
}

Result<std::size_t> HoldingFile::readAt(std::int64_t offset, std::span<std::uint8_t> out) {
    if (auto bytes = held(offset, out.size())) {
        std::copy(bytes->begin(), bytes->end(), out.begin());
        return bytes->size();
    }
    return file_.readAt(offset, out);
}

Result<std::size_t> HoldingFile::writeAt(std::int64_t offset, std::span<const std::uint8_t> data) {
    // What is held is what was read: a write here makes it stale.
    bytes_.reset();
    length_ = 0;
    whole_ = toEnd_ = false;
    return file_.writeAt(offset, data);
}

}  // namespace kestrane
