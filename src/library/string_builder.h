// A growable buffer of 16-bit characters. Lengths are counted in bytes, two
// per character, and capacity grows by whole chunks of 16384 bytes; each
// append copies only the new characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/result.h"

namespace kestrane {

class StringBuilder {
public:
    static constexpr std::int32_t kChunkSize = 16384;

    // The content; empty when nothing was appended.
    std::u16string toString() const&;
    // The same from a builder that is done: the content is moved out, not copied.
    std::u16string toString() &&;
    // Replaces the content. Empty text also releases the storage; a shorter
    // text keeps the capacity.
    Result<void> setTheString(std::u16string_view text);
    // Adds text at the end of the content.
    Result<void> append(std::u16string_view text);
    // 1-based character position of the first occurrence of toFind in the
    // content at or after startIndex (below 1: from the start), or 0.
    // compare 0 matches characters exactly, 1 ignores letter case.
    std::int32_t find(std::u16string_view toFind, std::int32_t startIndex, std::int32_t compare) const;

    std::int32_t lengthBytes() const { return length_; }
    std::int32_t capacityBytes() const { return capacity_; }

private:
    // Grows by whole chunks until the storage holds `bytes`; an Overflow
    // error, and no change, where that passes the signed 32-bit limit.
    Result<void> reserveBytes(std::int64_t bytes);

    std::u16string buffer_;  // the content; capacity_ is the chunked account of its room
    std::int32_t length_ = 0;
    std::int32_t capacity_ = 0;
};

}  // namespace kestrane
