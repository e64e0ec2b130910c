// Words as people type them: blanks around them do not count, nor does the
// case of ASCII letters.
#pragma once

#include <algorithm>
#include <string_view>

namespace kestrane {

// The text without the blanks (spaces, tabs) around it.
inline std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Equal but for the case of ASCII letters.
inline bool sameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace kestrane
