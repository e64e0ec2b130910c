// Words and numbers as people type them: blanks around them do not count,
// nor does the case of ASCII letters. The one home of parsing typed text
// into numbers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane {

// The text without the blanks (spaces, tabs) around it.
inline std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Equal but for the case of ASCII letters.
inline bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

inline bool isDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class NumberForms { Decimal, DecimalOrHex };

// A whole number typed as decimal digits (or, where allowed, "0x" and hex
// digits), blanks around allowed. None when the text is no such number; a
// number too large for 32 bits is UINT32_MAX, so that callers refuse it as
// out of range rather than as no number.
inline std::optional<std::uint32_t> parseNumber(std::string_view text, NumberForms forms = NumberForms::Decimal) {
    text = trimmed(text);
    unsigned base = 10;
    if (forms == NumberForms::DecimalOrHex && text.size() > 2 && text[0] == '0' && lowerAscii(text[1]) == 'x') {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const char l = lowerAscii(c);
        const unsigned digit = c >= '0' && c <= '9' ? unsigned(c - '0') : base == 16 && l >= 'a' && l <= 'f' ? unsigned(l - 'a' + 10) : 99;
        if (digit >= base) return std::nullopt;
        value = std::min<std::uint64_t>(value * base + digit, UINT32_MAX);
    }
    return std::uint32_t(value);
}

// A name folded for matching what people type: ASCII letters in lower case,
// é as e, ♀ as f and ♂ as m, blanks and punctuation dropped, other letters
// (kana, accents) as they are. "Nidoran ♀" and "nidoran f" fold alike, as do
// "Mr. Mime" and "mr mime", "KING'S ROCK" and "kings rock".
std::string foldedName(std::string_view utf8);

// A name a thing may be given by; several names may stand for one thing.
struct NameCandidate {
    std::string name;
    std::size_t id;
};

// Which thing a person's text names: the first candidate equal but for
// letter case, else the one thing whose names fold alike (several things
// that do are none). Where there is none, the things nearest to the text
// (at most four, nearest first), for "did you mean ...?".
struct NameMatch {
    std::optional<std::size_t> id;
    std::vector<std::size_t> nearest;
};
NameMatch matchName(std::string_view typed, const std::vector<NameCandidate>& candidates);

// " Did you mean Pikachu?" / " Did you mean Nidoran (f) or Nidoran (m)?"; "" for no names.
std::string didYouMean(const std::vector<std::string>& names);

// A count as messages show it: "1,036,077".
inline std::string groupedNumber(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return (n < 0 ? "-" : "") + digits;
}

}  // namespace kestrane
