#include "text/game_text.h"

#include <algorithm>
#include <vector>

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


// A kana twin's form beside its neighbours: katakana where the kana before
// it (else the one after it) is katakana.
std::u16string_view twinForm(std::span<const std::uint8_t> bytes, std::size_t at, const Charset& charset,
                             const std::vector<std::u16string_view>& shown) {
    auto kana = [](std::u16string_view t) { return t.size() == 1 && (isHiragana(t[0]) || isKatakana(t[0])); };
    std::u16string_view beside;
    if (at > 0 && kana(shown[at - 1])) beside = shown[at - 1];
    else if (at + 1 < bytes.size() && bytes[at + 1] != charset.terminator()) {
        if (auto next = charset.text(bytes[at + 1]); next && kana(*next) && charset.katakanaTwin(bytes[at + 1]).empty()) beside = *next;
    }
    return !beside.empty() && isKatakana(beside[0]) ? charset.katakanaTwin(bytes[at]) : *charset.text(bytes[at]);
}

}  // namespace

std::u16string decodeGameText(std::span<const std::uint8_t> data, const Charset& charset) {
    std::u16string decoded;
    const auto end = std::find(data.begin(), data.end(), charset.terminator());
    const auto bytes = std::span<const std::uint8_t>(data.begin(), end);
    // What the units before showed matters only to a katakana twin.
    if (!charset.hasTwins()) {
        for (std::uint8_t b : bytes) {
            if (auto text = charset.text(b)) decoded += *text;
        }
        return decoded;
    }
    std::vector<std::u16string_view> shown;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        auto text = charset.text(bytes[at]);
        shown.push_back(!text ? std::u16string_view() : charset.katakanaTwin(bytes[at]).empty() ? *text
                                                                                               : twinForm(bytes, at, charset, shown));
        decoded += shown.back();
    }
    return decoded;
}

std::vector<std::uint8_t> encodeGameText(std::u16string_view text, const Charset& charset) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t pos = 0; pos < text.size();) {
        auto unit = unitAt(text.substr(pos), charset);
        if (unit) bytes.push_back(unit->byte);
        pos += unit ? unit->length : 1;
    }
    return bytes;
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
