#include "support/words.h"

#include <algorithm>

#include "support/utf.h"

namespace kestrane {

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::string_view line = text.substr(from, end - from);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        from = end + 1;
    }
    return lines;
}

std::string_view codeOfLine(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"' && (i == 0 || line[i - 1] != '\\')) quoted = !quoted;
        if (line[i] == ';' && !quoted) return trimmed(line.substr(0, i));
    }
    return trimmed(line);
}
namespace {

// Edits (insert, delete, replace) between two folded names.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

namespace {

// The Latin letters with accents (U+00C0-U+00FF) as the plain letters they
// are written with: "salamèche" is SALAMECHE; ß, æ and œ as two.
std::u16string_view plainLetters(char16_t c) {
    static constexpr std::u16string_view kLatin1[] = {
        u"a", u"a", u"a", u"a", u"a", u"a", u"ae", u"c", u"e", u"e", u"e", u"e", u"i", u"i", u"i", u"i",  // C0-CF
        u"d", u"n", u"o", u"o", u"o", u"o", u"o", u"",  u"o", u"u", u"u", u"u", u"u", u"y", u"",  u"ss", // D0-DF
        u"a", u"a", u"a", u"a", u"a", u"a", u"ae", u"c", u"e", u"e", u"e", u"e", u"i", u"i", u"i", u"i",  // E0-EF
        u"d", u"n", u"o", u"o", u"o", u"o", u"o", u"",  u"o", u"u", u"u", u"u", u"u", u"y", u"",  u"y",  // F0-FF
    };
    if (c >= 0xC0 && c <= 0xFF) return kLatin1[c - 0xC0];
    if (c == u'\u0152' || c == u'\u0153') return u"oe";
    return {};
}

// Whether two UTF-8 texts hold the same letters, letter case aside in
// ASCII and in the accented Latin letters (À-Þ as à-þ: C3 80-9E as C3 A0-BE).
bool sameAccentedLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [&](std::string_view s) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97) return char(c + 0x20);
            return lowerAscii(s[i]);
        };
        if (lower(a) != lower(b)) return false;
    }
    return true;
}

}  // namespace

std::string foldedName(std::string_view utf8) {
    const std::u16string text = fromUtf8(utf8).value_or(std::u16string(utf8.begin(), utf8.end()));
    std::u16string folded;
    for (char16_t c : text) {
        if (c >= u'A' && c <= u'Z') folded += char16_t(c - u'A' + u'a');
        else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) folded += c;
        else if (const std::u16string_view plain = plainLetters(c); !plain.empty()) folded += plain;
        else if (c == u'\u2640') folded += u'f';
        else if (c >= 0x30A1 && c <= 0x30F6) folded += char16_t(c - 0x60);  // katakana as hiragana: twins match either way
        else if (c == u'\u2642') folded += u'm';
        else if (c < 0x80 || c == u'\u2019' || c == u'\u201c' || c == u'\u201d' || c == u'\u00b7' || c == u'\u2026') continue;
        else folded += c;
    }
    return toUtf8(folded);
}

namespace {

void addOnce(std::vector<std::size_t>& ids, std::size_t id) {
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

// One thing, or none and the several it could be.
bool decided(std::vector<std::size_t>& ids, NameMatch& match) {
    if (ids.empty()) return false;
    if (ids.size() == 1) match.id = ids.front();
    else match.ambiguous = std::move(ids);
    return true;
}

}  // namespace

NameMatch matchName(std::string_view typed, const std::vector<NameCandidate>& candidates) {
    typed = trimmed(typed);
    NameMatch match;
    if (typed.size() > kLongestTypedName) return match;
    std::vector<std::size_t> same;
    for (const NameCandidate& c : candidates) {
        if (sameLetters(c.name, typed)) addOnce(same, c.id);
    }
    if (decided(same, match)) return match;
    // Then with the accents kept, their letter case aside: "pyrôli" is PYRÔLI before PYROLI.
    for (const NameCandidate& c : candidates) {
        if (sameAccentedLetters(c.name, typed)) addOnce(same, c.id);
    }
    if (decided(same, match)) return match;
    const std::string folded = foldedName(typed);
    std::vector<std::pair<std::size_t, std::size_t>> closeBy;  // distance, id
    std::vector<std::size_t> alike;
    for (const NameCandidate& c : candidates) {
        const std::string other = foldedName(c.name);
        if (folded.empty() || other.empty()) continue;
        if (other == folded) addOnce(alike, c.id);
        const std::size_t d = distance(folded, other);
        // Close: a slip of a letter or two, or the start of the name.
        if (d <= std::max<std::size_t>(1, folded.size() / 4) || (folded.size() >= 3 && other.rfind(folded, 0) == 0)) {
            closeBy.emplace_back(d, c.id);
        }
    }
    if (decided(alike, match)) return match;
    std::stable_sort(closeBy.begin(), closeBy.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [d, id] : closeBy) {
        if (match.nearest.size() < 4 && std::find(match.nearest.begin(), match.nearest.end(), id) == match.nearest.end()) {
            match.nearest.push_back(id);
        }
    }
    return match;
}

namespace {

// The first characters of what a person gave, control characters escaped;
// true when there was more.
std::pair<std::string, bool> shortened(std::string_view given) {
    constexpr std::size_t kShown = 40;  // characters
    std::string text;
    std::size_t characters = 0, at = 0;
    for (; at < given.size() && characters < kShown; ++at) {
        const auto c = static_cast<unsigned char>(given[at]);
        if (c < 0x20 || c == 0x7F) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            text += std::string("\\x") + kDigits[c >> 4] + kDigits[c & 15];
        } else {
            text += char(c);
        }
        if ((c & 0xC0) != 0x80) ++characters;
    }
    // Not inside a character: its continuation bytes go with it.
    while (at < given.size() && (static_cast<unsigned char>(given[at]) & 0xC0) == 0x80) text += given[at++];
    return {text, at < given.size()};
}

std::string lengthNote(std::string_view given) { return " (" + groupedNumber(std::int64_t(given.size())) + " bytes)"; }

}  // namespace

std::string excerpt(std::string_view given) {
    auto [text, more] = shortened(given);
    return more ? text + "\u2026" + lengthNote(given) : text;
}

std::string echoed(std::string_view given) {
    auto [text, more] = shortened(given);
    return more ? "\"" + text + "\u2026\"" + lengthNote(given) : "\"" + text + "\"";
}

std::string joinedList(const std::vector<std::string>& items, std::size_t more, std::string_view last) {
    std::vector<std::string> all = items;
    if (more > 0) all.push_back(groupedNumber(std::int64_t(more)) + " more");
    std::string text;
    for (std::size_t i = 0; i < all.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == all.size() ? " " + std::string(last) + " " : ", ") + all[i];
    }
    return text;
}

std::string ambiguousName(std::string_view typed, const std::vector<std::size_t>& ids, std::string_view kind) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < ids.size() && i < 8; ++i) numbers.push_back(std::to_string(ids[i]));
    return echoed(trimmed(typed)) + " names " + std::string(kind) + " " + joinedList(numbers, ids.size() - numbers.size()) +
           " of this ROM: give the number of the one you mean.";
}

std::string didYouMean(const std::vector<std::string>& names) {
    if (names.empty()) return {};
    return " Did you mean " + joinedList(names, 0, "or") + "?";
}

}  // namespace kestrane
