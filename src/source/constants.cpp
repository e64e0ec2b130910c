#include "source/constants.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

#include "source/assembly_number.h"
#include "support/words.h"

namespace kestrane {
namespace {

// The words of a line: split at blanks and commas.
std::vector<std::string_view> wordsOf(std::string_view code) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < code.size();) {
        at = code.find_first_not_of(" \t,", at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(code.find_first_of(" \t,", at), code.size());
        words.push_back(code.substr(at, end - at));
        at = end;
    }
    return words;
}

bool isName(std::string_view word) {
    return !word.empty() && (std::isalpha(static_cast<unsigned char>(word[0])) || word[0] == '_') &&
           std::all_of(word.begin(), word.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; });
}

}  // namespace

std::optional<std::int64_t> SourceConstants::valueOf(std::string_view name) const {
    const auto found = byName_.find(name);
    return found == byName_.end() ? std::nullopt : std::optional<std::int64_t>(inOrder_[found->second].value);
}

std::optional<std::string> SourceConstants::nameLike(std::int64_t value, std::string_view like) const {
    const auto found = byName_.find(like);
    if (found == byName_.end()) return std::nullopt;
    const std::size_t file = inOrder_[found->second].file;
    const std::size_t underscore = like.rfind('_');
    const std::string_view prefix = underscore == std::string_view::npos ? std::string_view() : like.substr(0, underscore + 1);
    const bool prefixShared = !prefix.empty() && std::any_of(inOrder_.begin(), inOrder_.end(), [&](const Defined& d) {
        return d.file == file && d.name != like && std::string_view(d.name).starts_with(prefix);
    });
    const Defined* first = nullptr;
    for (const Defined& d : inOrder_) {
        if (d.file != file || d.value != value) continue;
        if (prefixShared && std::string_view(d.name).starts_with(prefix)) return d.name;
        if (!first) first = &d;
    }
    return first ? std::optional<std::string>(first->name) : std::nullopt;
}

Result<void> SourceConstants::read(std::string_view text, const std::string& file) {
    std::int64_t next = 0, step = 1;
    int number = 0;
    const std::size_t fileIndex = files_++;
    // A number, or a name defined before it: the values constants are given.
    auto value = [&](std::string_view token) -> std::optional<std::int64_t> {
        const bool negative = !token.empty() && token[0] == '-';
        if (negative) token.remove_prefix(1);
        if (auto n = assemblyNumber(token)) return negative ? -*n : *n;
        if (token == "const_value") return negative ? -next : next;
        if (auto named = valueOf(token)) return negative ? -*named : *named;
        return std::nullopt;
    };
    auto define = [&](std::string_view name, std::int64_t v) {
        byName_[std::string(name)] = inOrder_.size();
        inOrder_.push_back({std::string(name), v, fileIndex});
    };
    auto wrong = [&] {
        return refused(ErrorCode::NotASourceForm, "Line " + std::to_string(number) + " of " + file + " is not a constant Kestrane reads.");
    };
    const std::vector<std::string_view> lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view code = codeOfLine(lines[i]);
        number = int(i) + 1;
        std::vector<std::string_view> words = wordsOf(code);
        if (words.empty()) continue;
        const std::string first = loweredAscii(words[0]);
        if (first == "const_def") {
            next = words.size() > 1 ? value(words[1]).value_or(INT64_MIN) : 0;
            step = words.size() > 2 ? value(words[2]).value_or(INT64_MIN) : 1;
            if (next == INT64_MIN || step == INT64_MIN) return wrong();
        } else if (first == "const") {
            if (words.size() != 2 || !isName(words[1])) return wrong();
            define(words[1], next);
            next += step;
        } else if (first == "const_skip") {
            const std::int64_t skipped = words.size() > 1 ? value(words[1]).value_or(-1) : 1;
            if (skipped < 0) return wrong();
            next += skipped * step;
        } else {
            // DEF NAME EQU value, NAME EQU value
            if (first == "def") words.erase(words.begin());
            if (words.size() == 3 && loweredAscii(words[1]) == "equ" && isName(words[0])) {
                if (const auto v = value(words[2])) define(words[0], *v);
            }
        }
    }
    return {};
}

}  // namespace kestrane
