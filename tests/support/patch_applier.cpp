#include "support/patch_applier.h"

#include <zlib.h>

namespace kestrane::testing {
namespace {

std::uint32_t crc(const std::uint8_t* data, std::size_t size) {
    return std::uint32_t(crc32(crc32(0, nullptr, 0), data, uInt(size)));
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24;
}

}  // namespace

Applied applyBps(const Bytes& source, const Bytes& patch) {
    if (patch.size() < 4 + 12 || std::string(patch.begin(), patch.begin() + 4) != "BPS1") return {{}, "no BPS1 header"};
    std::size_t at = 4;
    const std::size_t end = patch.size() - 12;
    bool bad = false;
    auto number = [&]() -> std::uint64_t {
        std::uint64_t data = 0, shift = 1;
        while (true) {
            if (at >= end) {
                bad = true;
                return 0;
            }
            const std::uint8_t x = patch[at++];
            data += (x & 0x7F) * shift;
            if (x & 0x80) return data;
            shift <<= 7;
            data += shift;
        }
    };
    const std::uint64_t sourceSize = number(), targetSize = number(), metadata = number();
    if (bad || sourceSize != source.size()) return {{}, "the source's size differs"};
    at += metadata;
    Bytes target;
    std::int64_t sourceOffset = 0, targetOffset = 0;
    while (at < end && !bad) {
        const std::uint64_t data = number();
        const std::uint64_t length = (data >> 2) + 1;
        switch (data & 3) {
        case 0:  // source-read
            for (std::uint64_t i = 0; i < length; ++i) {
                if (target.size() >= source.size()) return {{}, "source-read past the source"};
                target.push_back(source[target.size()]);
            }
            break;
        case 1:  // target-read
            if (at + length > end) return {{}, "target-read past the patch"};
            target.insert(target.end(), patch.begin() + std::ptrdiff_t(at), patch.begin() + std::ptrdiff_t(at + length));
            at += length;
            break;
        case 2:
        case 3: {
            const std::uint64_t offset = number();
            const std::int64_t relative = (offset & 1 ? -1 : 1) * std::int64_t(offset >> 1);
            std::int64_t& from = (data & 3) == 2 ? sourceOffset : targetOffset;
            from += relative;
            for (std::uint64_t i = 0; i < length; ++i) {
                const Bytes& in = (data & 3) == 2 ? source : target;
                if (from < 0 || std::size_t(from) >= in.size()) return {{}, "a copy from outside"};
                target.push_back(in[std::size_t(from++)]);
            }
            break;
        }
        }
    }
    if (bad || target.size() != targetSize) return {{}, "the target's size differs"};
    if (le32(patch, end) != crc(source.data(), source.size())) return {{}, "the source's CRC differs"};
    if (le32(patch, end + 4) != crc(target.data(), target.size())) return {{}, "the target's CRC differs"};
    if (le32(patch, end + 8) != crc(patch.data(), end + 8)) return {{}, "the patch's CRC differs"};
    return {target, {}};
}

Applied applyIps(const Bytes& source, const Bytes& patch) {
    if (patch.size() < 8 || std::string(patch.begin(), patch.begin() + 5) != "PATCH") return {{}, "no PATCH header"};
    Bytes target = source;
    std::size_t at = 5;
    while (true) {
        if (at + 3 > patch.size()) return {{}, "no EOF"};
        if (std::string(patch.begin() + std::ptrdiff_t(at), patch.begin() + std::ptrdiff_t(at + 3)) == "EOF") {
            at += 3;
            break;
        }
        if (at + 5 > patch.size()) return {{}, "a record cut short"};
        const std::size_t offset = std::size_t(patch[at]) << 16 | std::size_t(patch[at + 1]) << 8 | patch[at + 2];
        std::size_t size = std::size_t(patch[at + 3]) << 8 | patch[at + 4];
        at += 5;
        if (size == 0) {  // a run
            if (at + 3 > patch.size()) return {{}, "a run cut short"};
            size = std::size_t(patch[at]) << 8 | patch[at + 1];
            if (target.size() < offset + size) target.resize(offset + size);
            std::fill(target.begin() + std::ptrdiff_t(offset), target.begin() + std::ptrdiff_t(offset + size), patch[at + 2]);
            at += 3;
        } else {
            if (at + size > patch.size()) return {{}, "a record cut short"};
            if (target.size() < offset + size) target.resize(offset + size);
            std::copy(patch.begin() + std::ptrdiff_t(at), patch.begin() + std::ptrdiff_t(at + size), target.begin() + std::ptrdiff_t(offset));
            at += size;
        }
    }
    if (at + 3 == patch.size()) target.resize(std::size_t(patch[at]) << 16 | std::size_t(patch[at + 1]) << 8 | patch[at + 2]);
    else if (at != patch.size()) return {{}, "bytes after EOF"};
    return {target, {}};
}

void BpsWriter::number(std::uint64_t n) {
    for (;;) {
        const auto low = std::uint8_t(n & 0x7F);
        n >>= 7;
        if (n == 0) {
            actions_.push_back(0x80 | low);
            return;
        }
        actions_.push_back(low);
        --n;
    }
}

void BpsWriter::action(std::size_t length, int kind) { number(std::uint64_t(length - 1) << 2 | std::uint64_t(kind)); }

void BpsWriter::offset(std::int64_t& relative, std::size_t to) {
    const std::int64_t step = std::int64_t(to) - relative;
    number(std::uint64_t(step < 0 ? -step : step) << 1 | (step < 0 ? 1 : 0));
    relative = std::int64_t(to);
}

BpsWriter& BpsWriter::sourceRead(std::size_t length) {
    action(length, 0);
    target_.insert(target_.end(), source_.begin() + std::ptrdiff_t(target_.size()), source_.begin() + std::ptrdiff_t(target_.size() + length));
    return *this;
}

BpsWriter& BpsWriter::targetRead(const Bytes& bytes) {
    action(bytes.size(), 1);
    actions_.insert(actions_.end(), bytes.begin(), bytes.end());
    target_.insert(target_.end(), bytes.begin(), bytes.end());
    return *this;
}

BpsWriter& BpsWriter::sourceCopy(std::size_t from, std::size_t length) {
    action(length, 2);
    offset(sourceRelative_, from);
    target_.insert(target_.end(), source_.begin() + std::ptrdiff_t(from), source_.begin() + std::ptrdiff_t(from + length));
    sourceRelative_ += std::int64_t(length);
    return *this;
}

BpsWriter& BpsWriter::targetCopy(std::size_t from, std::size_t length) {
    action(length, 3);
    offset(targetRelative_, from);
    for (std::size_t i = 0; i < length; ++i) target_.push_back(target_[from + i]);
    targetRelative_ += std::int64_t(length);
    return *this;
}

Bytes BpsWriter::finish() const {
    Bytes patch = {'B', 'P', 'S', '1'};
    BpsWriter header(source_);
    header.number(source_.size());
    header.number(target_.size());
    header.number(0);
    patch.insert(patch.end(), header.actions_.begin(), header.actions_.end());
    patch.insert(patch.end(), actions_.begin(), actions_.end());
    for (std::uint32_t value : {crc(source_.data(), source_.size()), crc(target_.data(), target_.size())}) {
        for (int i = 0; i < 4; ++i) patch.push_back(std::uint8_t(value >> (8 * i)));
    }
    const std::uint32_t own = crc(patch.data(), patch.size());
    for (int i = 0; i < 4; ++i) patch.push_back(std::uint8_t(own >> (8 * i)));
    return patch;
}

}  // namespace kestrane::testing
