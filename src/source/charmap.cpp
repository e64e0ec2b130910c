#include "source/charmap.h"

#include <algorithm>
#include <charconv>

#include "support/words.h"

namespace kestrane {
namespace {

// The line without its comment and surrounding blanks.
std::string_view codeOf(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"' && (i == 0 || line[i - 1] != '\\')) quoted = !quoted;
        if (line[i] == ';' && !quoted) {
            line = line.substr(0, i);
            break;
        }
    }
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// "$50", "80", "%0101": the assembler's number forms.
std::optional<std::uint32_t> numberOf(std::string_view token) {
    int base = 10;
    if (!token.empty() && token[0] == '$') base = 16, token.remove_prefix(1);
    else if (!token.empty() && token[0] == '%') base = 2, token.remove_prefix(1);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (token.empty() || error != std::errc() || end != token.data() + token.size()) return std::nullopt;
    return value;
}

// The first word of a line, in lower case: the assembler's keywords are
// written in either case.
std::string keyword(std::string_view code) {
    std::string word(code.substr(0, code.find_first_of(" \t")));
    for (char& c : word) c = lowerAscii(c);
    return word;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> SourceCharmap::encode(std::string_view text) const {
    std::vector<std::uint8_t> bytes;
    while (!text.empty()) {
        const Entry* longest = nullptr;
        for (const Entry& entry : entries_) {
            if (text.starts_with(entry.text) && (!longest || entry.text.size() > longest->text.size())) longest = &entry;
        }
        if (!longest) return std::nullopt;
        bytes.push_back(longest->byte);
        text.remove_prefix(longest->text.size());
    }
    return bytes;
}

std::optional<std::string> SourceCharmap::decode(std::span<const std::uint8_t> bytes) const {
    std::string text;
    for (std::uint8_t byte : bytes) {
        const Entry* first = nullptr;
        for (const Entry& entry : entries_) {
            if (entry.byte == byte) {
                first = &entry;
                break;
            }
        }
        if (!first) return std::nullopt;
        text += first->text;
    }
    return text;
}

Result<SourceCharmap> readCharmap(std::string_view text) {
    std::vector<SourceCharmap::Entry> entries;
    int pushed = 0;        // pushc … popc: another charmap, for a while
    bool other = false;    // after newcharmap: another charmap to the end
    int number = 0;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view code = codeOf(text.substr(from, end - from));
        from = end + 1;
        ++number;
        if (code.empty()) continue;
        const std::string word = keyword(code);
        if (word == "pushc") ++pushed;
        else if (word == "popc") pushed = pushed > 0 ? pushed - 1 : 0;
        else if (word == "newcharmap") other = true;
        if (word != "charmap" || pushed > 0 || other) continue;
        // charmap "X", $NN
        const std::string_view rest = code.substr(word.size());
        const std::size_t open = rest.find('"'), close = rest.rfind('"');
        const std::size_t comma = close == std::string_view::npos ? close : rest.find(',', close);
        const auto value = comma == std::string_view::npos ? std::nullopt : numberOf(std::string(codeOf(rest.substr(comma + 1))));
        if (open == std::string_view::npos || close <= open || !value || *value > 0xFF) {
            return refused(ErrorCode::NotASourceForm,
                           "Line " + std::to_string(number) + " of the charmap is not charmap \"text\", $NN.");
        }
        std::string literal;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (rest[i] == '\\' && i + 1 < close) ++i;  // \" and \\ stand for the character
            literal += rest[i];
        }
        entries.push_back({std::move(literal), std::uint8_t(*value)});
    }
    return SourceCharmap(std::move(entries));
}

}  // namespace kestrane
