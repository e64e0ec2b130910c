// decodeGameText on any bytes, in both maps.
#include <cstdlib>
#include <vector>

#include "text/char_map.h"
#include "text/game_text.h"

using namespace kestrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int16_t mode = static_cast<std::int16_t>(data[0] % 3 == 0 ? 0 : data[0] - 128);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::u16string text = decodeGameText(bytes, mode);
    // Every character the maps produce lies in U+0020..U+00FF.
    for (char16_t c : text) {
        if (c < 0x20 || c > 0xFF) std::abort();
    }
    if (mode == 0) {
        // The standard map drops what it does not know and stops at the
        // terminator; encoding gives back exactly the known bytes before it.
        std::vector<std::uint8_t> known;
        for (std::uint8_t b : bytes) {
            if (b == kTerminator) break;
            if (standardChar(b)) known.push_back(b);
        }
        if (text.size() != known.size()) std::abort();
        known.push_back(kTerminator);
        if (encodeGameText(text + u"\\") != known) std::abort();
    } else {
        // The kana map has no terminator: every byte yields a piece, at most "\h" and two digits
        // after a three-letter syllable.
        if (text.size() > bytes.size() * 4) std::abort();
        (void)encodeGameText(text);
    }
    return 0;
}
