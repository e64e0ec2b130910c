#include "library/kana_text.h"

#include "library/char_map.h"
#include "library/string_builder.h"
#include "support/hex_text.h"
#include "text/game_text.h"

namespace kestrane::library {
namespace {

std::u16string hexEscape(std::uint8_t byte) {
    const std::string digits = toPaddedHex(byte, 2);
    return std::u16string{u'\\', u'h', static_cast<char16_t>(digits[0]), static_cast<char16_t>(digits[1])};
}

}  // namespace

std::u16string decodeGameText(std::span<const std::uint8_t> data, std::int16_t mode, const Charset& charset) {
    StringBuilder builder;
    if (mode == 0) {
        (void)builder.append(kestrane::decodeGameText(data, charset));
        return std::move(builder).toString();
    }
    bool escapeNext = false;
    for (std::uint8_t b : data) {
        const KanaPiece kana = kanaPiece(b);
        const bool escaped = escapeNext || kana.kind == KanaPiece::Kind::HexEscape;
        // An append past the builder's limit ends the text: nothing after it is added.
        if (!builder.append(escaped ? std::u16string_view(hexEscape(b)) : kana.text)) break;
        escapeNext = !escapeNext && kana.kind == KanaPiece::Kind::TextThenEscape;
    }
    return std::move(builder).toString();
}

}  // namespace kestrane::library
