#include "text/game_text.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "support/string_builder.h"
#include "text/char_map.h"

namespace kestrane {
namespace {

struct Unit {
    std::uint8_t byte;
    std::size_t length;  // characters
};

// The longest unit at the start of rest; none when its first character
// starts no unit.
std::optional<Unit> unitAt(std::u16string_view rest, const Charset& charset) {
    if (charset.startsLongUnit(rest[0])) {
        for (std::size_t length = std::min(rest.size(), charset.longestUnit()); length > 1; --length) {
            if (auto byte = charset.byteOf(rest.substr(0, length))) return Unit{*byte, length};
            if (length == 4 && rest.substr(0, 2) == u"\\h" && isHexString(rest.substr(2, 2))) {
                std::string digits{static_cast<char>(rest[2]), static_cast<char>(rest[3])};
                return Unit{static_cast<std::uint8_t>(std::stoi(digits, nullptr, 16)), 4};
            }
        }
    }
    if (auto byte = charset.byteOf(rest.substr(0, 1))) return Unit{*byte, 1};
    return std::nullopt;
}

// The codec's inputs are names of a few characters; a builder overflow needs
// gigabytes of input and is treated like any container's length limit.
void appendOrThrow(StringBuilder& builder, std::u16string_view piece) {
    if (auto appended = builder.append(piece); !appended) throw std::length_error(appended.error().message);
}

std::u16string hexEscape(std::uint8_t byte) {
    std::string digits = toPaddedHex(byte, 2);
    return std::u16string{u'\\', u'h', static_cast<char16_t>(digits[0]), static_cast<char16_t>(digits[1])};
}

}  // namespace

namespace {

// A kana twin's form beside its neighbours: katakana where the kana before
// it (else the one after it) is katakana.
std::u16string_view twinForm(std::span<const std::uint8_t> bytes, std::size_t at, const Charset& charset,
                             const std::vector<std::u16string_view>& shown) {
    auto kana = [](std::u16string_view t) { return t.size() == 1 && (isHiragana(t[0]) || isKatakana(t[0])); };
    std::u16string_view beside;
    if (at > 0 && kana(shown[at - 1])) beside = shown[at - 1];
    else if (at + 1 < bytes.size() && bytes[at + 1] != kTerminator) {
        if (auto next = charset.text(bytes[at + 1]); next && kana(*next) && charset.katakanaTwin(bytes[at + 1]).empty()) beside = *next;
    }
    return !beside.empty() && isKatakana(beside[0]) ? charset.katakanaTwin(bytes[at]) : *charset.text(bytes[at]);
}

// Mode 0: each byte's text up to the terminator, the kana twins in the
// form their neighbours give them.
void decodeNames(std::span<const std::uint8_t> data, const Charset& charset, StringBuilder& builder) {
    std::vector<std::u16string_view> shown;
    const auto end = std::find(data.begin(), data.end(), kTerminator);
    const auto bytes = std::span<const std::uint8_t>(data.begin(), end);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        auto text = charset.text(bytes[at]);
        shown.push_back(!text ? std::u16string_view() : charset.katakanaTwin(bytes[at]).empty() ? *text
                                                                                               : twinForm(bytes, at, charset, shown));
        appendOrThrow(builder, shown.back());
    }
}

}  // namespace

std::u16string decodeGameText(std::span<const std::uint8_t> data, std::int16_t mode, const Charset& charset) {
    StringBuilder builder;
    if (mode == 0) {
        decodeNames(data, charset, builder);
        return std::move(builder).toString();
    }
    bool escapeNext = false;
    for (std::uint8_t b : data) {
        if (escapeNext) {
            appendOrThrow(builder, hexEscape(b));
            escapeNext = false;
        } else {
            KanaPiece kana = kanaPiece(b);
            if (kana.kind == KanaPiece::Kind::HexEscape) appendOrThrow(builder, hexEscape(b));
            else appendOrThrow(builder, kana.text);
            escapeNext = kana.kind == KanaPiece::Kind::TextThenEscape;
        }
    }
    return std::move(builder).toString();
}

std::vector<std::uint8_t> encodeGameText(std::u16string_view text, const Charset& charset) {
    StringBuilder builder;
    for (std::size_t pos = 0; pos < text.size();) {
        auto unit = unitAt(text.substr(pos), charset);
        if (unit) {
            char16_t byteAsChar = unit->byte;
            appendOrThrow(builder, std::u16string_view(&byteAsChar, 1));
        }
        pos += unit ? unit->length : 1;
    }
    const std::u16string collected = std::move(builder).toString();
    return std::vector<std::uint8_t>(collected.begin(), collected.end());
}

std::optional<Unencodable> findUnencodable(std::u16string_view text, const Charset& charset) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::u16string_view rest = text.substr(pos);
        if (rest.starts_with(u"\\h") && (rest.size() < 4 || !isHexString(rest.substr(2, 2)))) {
            return Unencodable{pos + 1, u'\\', true};
        }
        auto unit = unitAt(rest, charset);
        if (!unit) {
            char32_t c = text[pos];
            bool pair = c >= 0xD800 && c <= 0xDBFF && pos + 1 < text.size() && text[pos + 1] >= 0xDC00 &&
                        text[pos + 1] <= 0xDFFF;
            if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
            return Unencodable{pos + 1, c};
        }
        pos += unit->length;
    }
    return std::nullopt;
}

}  // namespace kestrane
