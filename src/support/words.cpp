#include "support/words.h"

#include <algorithm>

#include "support/utf.h"

namespace kestrane {
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

std::string foldedName(std::string_view utf8) {
    const std::u16string text = fromUtf8(utf8).value_or(std::u16string(utf8.begin(), utf8.end()));
    std::u16string folded;
    for (char16_t c : text) {
        if (c >= u'A' && c <= u'Z') folded += char16_t(c - u'A' + u'a');
        else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) folded += c;
        else if (c == u'\u00e9' || c == u'\u00c9') folded += u'e';
        else if (c == u'\u2640') folded += u'f';
        else if (c == u'\u2642') folded += u'm';
        else if (c < 0x80 || c == u'\u2019' || c == u'\u201c' || c == u'\u201d' || c == u'\u00b7' || c == u'\u2026') continue;
        else folded += c;
    }
    return toUtf8(folded);
}

NameMatch matchName(std::string_view typed, const std::vector<NameCandidate>& candidates) {
    typed = trimmed(typed);
    NameMatch match;
    for (const NameCandidate& c : candidates) {
        if (sameLetters(c.name, typed)) {
            match.id = c.id;
            return match;
        }
    }
    const std::string folded = foldedName(typed);
    std::vector<std::pair<std::size_t, std::size_t>> closeBy;  // distance, id
    std::vector<std::size_t> alike;
    for (const NameCandidate& c : candidates) {
        const std::string other = foldedName(c.name);
        if (folded.empty() || other.empty()) continue;
        if (other == folded && std::find(alike.begin(), alike.end(), c.id) == alike.end()) alike.push_back(c.id);
        const std::size_t d = distance(folded, other);
        // Close: a slip of a letter or two, or the start of the name.
        if (d <= std::max<std::size_t>(1, folded.size() / 4) || (folded.size() >= 3 && other.rfind(folded, 0) == 0)) {
            closeBy.emplace_back(d, c.id);
        }
    }
    if (alike.size() == 1) {
        match.id = alike.front();
        return match;
    }
    std::stable_sort(closeBy.begin(), closeBy.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [d, id] : closeBy) {
        if (match.nearest.size() < 4 && std::find(match.nearest.begin(), match.nearest.end(), id) == match.nearest.end()) {
            match.nearest.push_back(id);
        }
    }
    return match;
}

std::string didYouMean(const std::vector<std::string>& names) {
    if (names.empty()) return {};
    std::string text = " Did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text + "?";
}

}  // namespace kestrane
