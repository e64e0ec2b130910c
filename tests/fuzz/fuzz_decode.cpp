// decodeGameText on any bytes, in both maps.
#include <cstdlib>
#include <vector>

#include "families/gameboy/charsets.h"
#include "library/char_map.h"
#include "library/kana_text.h"
#include "text/game_text.h"

using namespace kestrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int16_t mode = static_cast<std::int16_t>(data[0] % 3 == 0 ? 0 : data[0] - 128);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::u16string text = library::decodeGameText(bytes, mode);
    // Every character the maps produce lies in U+0020..U+00FF, but for the
    // five signs of the games beyond it.
    for (char16_t c : text) {
        const bool beyond = c == u'\u2642' || c == u'\u2640' || c == u'\u201c' || c == u'\u201d' || c == u'\u2026';
        if ((c < 0x20 || c > 0xFF) && !beyond) std::abort();
    }
    if (mode == 0) {
        // The standard map drops what it does not know and stops at the
        // terminator; encoding gives back exactly the known bytes before it
        // (a blank as the games' 0x7F), unless neighbours read as a longer
        // unit ("[" "A" "]" is the token [A], "'" "s" the glyph 's).
        std::vector<std::uint8_t> known;
        for (std::uint8_t b : bytes) {
            if (b == kTerminator) break;
            if (standardText(b)) known.push_back(b == 0x00 ? 0x7F : b);
        }
        known.push_back(kTerminator);
        const bool mayJoin = text.find_first_of(u"['") != std::u16string::npos ||
                             text.find(u"POK\u00e9") != std::u16string::npos;
        if (!mayJoin && encodeGameText(text + u"\\", englishCharset()) != known) std::abort();
    } else {
        // The kana map has no terminator: every byte yields a piece, at most "\h" and two digits
        // after a three-letter syllable.
        if (text.size() > bytes.size() * 4) std::abort();
        (void)encodeGameText(text, englishCharset());
    }
    return 0;
}
