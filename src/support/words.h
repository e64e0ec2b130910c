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

// The lines of a text file, each without its end ("\n" or "\r\n"): the
// last one too, where the file ends without one.
std::vector<std::string_view> linesOf(std::string_view text);

// What a line of a build's files (assembly, symbols) says: up to a `;`
// outside double quotes, the comment, without the blanks around it.
std::string_view codeOfLine(std::string_view line);

// The text as a sentence: a full stop added where it ends without one.
inline std::string sentence(std::string_view text) {
    std::string out(text);
    if (!out.empty() && out.back() != '.' && out.back() != '?' && out.back() != '!') out += '.';
    return out;
}

inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
// The text with its ASCII letters in lower case: the assembler's keywords, written in either case.
inline std::string loweredAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

// Equal but for the case of ASCII letters.
inline bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

inline bool isDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether a text is written "0x" and hex digits.
inline bool isHexForm(std::string_view text) { return text.size() > 2 && text[0] == '0' && lowerAscii(text[1]) == 'x'; }

// A whole number typed as decimal digits, or "0x" and hex digits (as every
// number Kestrane takes may be written), blanks around allowed. None when
// the text is no such number; a number too large for 32 bits is at least
// 2^32 (saturated there by parseNumber, at 2^40 here), so that callers
// refuse it as out of range rather than as no number.
inline std::optional<std::uint64_t> parseWideNumber(std::string_view text) {
    text = trimmed(text);
    unsigned base = 10;
    if (isHexForm(text)) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const char l = lowerAscii(c);
        const unsigned digit = c >= '0' && c <= '9' ? unsigned(c - '0') : base == 16 && l >= 'a' && l <= 'f' ? unsigned(l - 'a' + 10) : 99;
        if (digit >= base) return std::nullopt;
        value = std::min<std::uint64_t>(value * base + digit, std::uint64_t(1) << 40);
    }
    return value;
}
inline std::optional<std::uint32_t> parseNumber(std::string_view text) {
    const auto wide = parseWideNumber(text);
    if (!wide) return std::nullopt;
    return std::uint32_t(std::min<std::uint64_t>(*wide, UINT32_MAX));
}

// A name folded for matching what people type: ASCII letters in lower case,
// the accented Latin letters as their plain ones (è, É and e alike; ß as ss,
// œ as oe), ♀ as f and ♂ as m, katakana as hiragana, blanks and punctuation
// dropped, other letters as they are. "Nidoran ♀" and "nidoran f" fold
// alike, as do "Mr. Mime" and "mr mime", "KING'S ROCK" and "kings rock",
// "salamèche" and "SALAMECHE".
std::string foldedName(std::string_view utf8);

// A name a thing may be given by; several names may stand for one thing.
struct NameCandidate {
    std::string name;
    std::size_t id;
};

// The most characters a typed name may have: longer text names nothing,
// and is not matched at all (matching costs the text's length squared).
inline constexpr std::size_t kLongestTypedName = 40;

// Which thing a person's text names: the thing whose name it is but for
// letter case, else the one thing whose names fold alike. Where several
// things have that name, none, and `ambiguous` lists them; where no thing
// has it, the things nearest to the text (at most four, nearest first),
// for "did you mean ...?".
struct NameMatch {
    std::optional<std::size_t> id;
    std::vector<std::size_t> nearest;
    std::vector<std::size_t> ambiguous;
};
NameMatch matchName(std::string_view typed, const std::vector<NameCandidate>& candidates);

// Items as a sentence lists them: "A", "A and B", "A, B and C"; with
// `more`, "A, B, C and 4 more". `last` joins the last two ("and", "or").
std::string joinedList(const std::vector<std::string>& items, std::size_t more = 0, std::string_view last = "and");

// "\"Pikachu\" names species 1 and 25 of this ROM: give the number of the
// one you mean." for a name that several things have.
std::string ambiguousName(std::string_view typed, const std::vector<std::size_t>& ids, std::string_view kind);

// " Did you mean Pikachu?" / " Did you mean Nidoran (f) or Nidoran (m)?"; "" for no names.
std::string didYouMean(const std::vector<std::string>& names);

// What a person gave, as a message echoes it: in double quotes, cut to a
// short excerpt ("…" and how long it was), control characters shown as
// \x00, so that no input makes a message long or prints raw bytes.
std::string echoed(std::string_view given);
// The same without the quotes (a number).
std::string excerpt(std::string_view given);

// A count as messages show it: "1,036,077".
inline std::string groupedNumber(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return (n < 0 ? "-" : "") + digits;
}

// "1 byte", "12 bytes", "2 copies": a count and the word it counts.
inline std::string counted(std::int64_t n, std::string_view one, std::string_view many = {}) {
    return groupedNumber(n) + " " + (n == 1 ? std::string(one) : many.empty() ? std::string(one) + "s" : std::string(many));
}

}  // namespace kestrane
