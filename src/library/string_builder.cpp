#include "library/string_builder.h"

#include <algorithm>
#include <limits>

namespace kestrane {
namespace {

constexpr std::int64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();

char16_t foldCase(char16_t c) {
    // Latin-1 letters: the only characters the game text knows.
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
    return c;
}

Error overflow(std::int64_t bytes) {
    return refused(ErrorCode::Overflow, "The text would need " + std::to_string(bytes) +
                                              " bytes, more than a string builder can hold.");
}

}  // namespace

std::u16string StringBuilder::toString() const& {
    if (length_ < 1) return {};
    return buffer_;
}

std::u16string StringBuilder::toString() && {
    if (length_ < 1) return {};
    length_ = capacity_ = 0;
    return std::move(buffer_);
}

Result<void> StringBuilder::reserveBytes(std::int64_t bytes) {
    if (bytes <= capacity_) return {};
    std::int64_t chunks = (bytes - capacity_ + kChunkSize - 1) / kChunkSize;
    std::int64_t newCapacity = capacity_ + chunks * kChunkSize;
    if (newCapacity > kMaxBytes) return overflow(newCapacity);
    // Capacity is counted in whole chunks. The spare room after the content
    // is never read, so it is neither filled nor asked of the allocator
    // before the content needs it: a ten-letter name costs no 16 KiB block.
    capacity_ = static_cast<std::int32_t>(newCapacity);
    return {};
}

Result<void> StringBuilder::setTheString(std::u16string_view text) {
    std::int64_t bytes = static_cast<std::int64_t>(text.size()) * 2;
    if (bytes == 0) {
        buffer_ = std::u16string();
        length_ = capacity_ = 0;
        return {};
    }
    if (bytes > kMaxBytes) return overflow(bytes);
    if (auto grown = reserveBytes(bytes); !grown) return grown;
    buffer_.assign(text);
    length_ = static_cast<std::int32_t>(bytes);
    return {};
}

Result<void> StringBuilder::append(std::u16string_view text) {
    std::int64_t bytes = static_cast<std::int64_t>(text.size()) * 2;
    std::int64_t newLength = length_ + bytes;
    if (newLength > kMaxBytes) return overflow(newLength);
    // Within the room counted so far no growth step is due.
    if (newLength > capacity_) {
        if (auto grown = reserveBytes(newLength); !grown) return grown;
    }
    buffer_.append(text);
    length_ = static_cast<std::int32_t>(newLength);
    return {};
}

std::int32_t StringBuilder::find(std::u16string_view toFind, std::int32_t startIndex, std::int32_t compare) const {
    // Only the content counts: an occurrence that reaches into the spare room
    // would be stale text or growth blanks.
    std::u16string_view content(buffer_);
    std::size_t from = startIndex >= 1 ? static_cast<std::size_t>(startIndex - 1) : 0;
    if (content.empty() || from > content.size()) return 0;
    auto same = [compare](char16_t a, char16_t b) { return compare == 0 ? a == b : foldCase(a) == foldCase(b); };
    auto hit = std::search(content.begin() + static_cast<std::ptrdiff_t>(from), content.end(), toFind.begin(),
                           toFind.end(), same);
    if (hit == content.end() && !toFind.empty()) return 0;
    return static_cast<std::int32_t>(hit - content.begin()) + 1;
}

}  // namespace kestrane
