// encodeGameText and findUnencodable on any UTF-16 text.
#include <cstdlib>

#include "families/gameboy/charsets.h"
#include "library/char_map.h"
#include "text/game_text.h"

using namespace kestrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    const std::vector<std::uint8_t> bytes = encodeGameText(text, englishCharset());
    // One byte per unit, and no unit is shorter than one character or longer than four.
    if (bytes.size() > text.size()) std::abort();
    auto bad = findUnencodable(text, englishCharset());
    if (!bad) {
        if (bytes.size() * 4 < text.size()) std::abort();
    } else {
        if (bad->position < 1 || bad->position > text.size()) std::abort();
        // The walk up to the refused character is the walk of the text before it.
        const std::vector<std::uint8_t> before = encodeGameText(text.substr(0, bad->position - 1), englishCharset());
        if (before.size() > bytes.size() || !std::equal(before.begin(), before.end(), bytes.begin())) std::abort();
    }
    // Plain characters of the standard map come back from the decoder
    // unchanged, but for those that join a neighbour into a longer unit
    // ("[" "K" "]" is the token [K], "'" "s" the glyph 's, "POKé" one glyph).
    std::u16string plain;
    for (char16_t c : text) {
        auto byte = charByte(c);
        if (byte && *byte != kTerminator && c != u'[' && c != u'\'' && c != u'\u00e9') plain.push_back(c);
    }
    if (decodeGameText(encodeGameText(plain, englishCharset()), englishCharset()) != plain) std::abort();
    return 0;
}
