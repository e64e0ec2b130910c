#include "source/charmap.h"

#include <algorithm>
#include <charconv>

#include "source/assembly_number.h"
#include "support/words.h"

namespace kestrane {
namespace {

// The first word of a line, in lower case: the assembler's keywords are
// written in either case.
std::string keyword(std::string_view code) { return loweredAscii(code.substr(0, code.find_first_of(" \t"))); }

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

Result<SourceCharmap> readCharmap(std::string_view text, std::string_view block) {
    std::vector<SourceCharmap::Entry> entries;
    int pushed = 0;        // pushc … popc: another charmap, for a while
    bool other = !block.empty();  // after newcharmap: another charmap to the end (before the block: not it)
    bool opened = block.empty();
    const std::vector<std::string_view> lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view code = codeOfLine(lines[i]);
        const int number = int(i) + 1;
        if (code.empty()) continue;
        const std::string word = keyword(code);
        if (word == "pushc") ++pushed;
        else if (word == "popc") pushed = pushed > 0 ? pushed - 1 : 0;
        else if (word == "newcharmap" || (!block.empty() && word == "setcharmap")) {
            // "newcharmap no_ngrams" or "newcharmap compressing, no_ngrams": the first name is the block's.
            const std::string_view rest = trimmed(code.substr(word.size()));
            const bool ours = !block.empty() && word == "newcharmap" && trimmed(rest.substr(0, rest.find(','))) == block;
            other = !ours;
            opened = opened || ours;
        }
        const bool entry = word == "charmap" || (!block.empty() && word == "ctxtmap");
        if (!entry || pushed > 0 || other) continue;
        // charmap "X", $NN (ctxtmap "X", $NN, code)
        const std::string_view rest = code.substr(word.size());
        const std::size_t open = rest.find('"'), close = rest.rfind('"');
        const std::size_t comma = close == std::string_view::npos ? close : rest.find(',', close);
        const std::string_view valueText = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        const auto value = comma == std::string_view::npos ? std::nullopt
                                                           : assemblyNumber(trimmed(valueText.substr(0, word == "ctxtmap" ? valueText.find(',') : valueText.npos)));
        if (open == std::string_view::npos || close <= open || !value || *value > 0xFF) {
            return refused(ErrorCode::NotASourceForm,
                           "Line " + std::to_string(number) + " of the charmap is not " + word + " \"text\", $NN.");
        }
        std::string literal;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (rest[i] == '\\' && i + 1 < close) ++i;  // \" and \\ stand for the character
            literal += rest[i];
        }
        entries.push_back({std::move(literal), std::uint8_t(*value)});
    }
    if (!opened) return refused(ErrorCode::NotASourceForm, "The charmap opens no " + std::string(block) + " charmap.");
    return SourceCharmap(std::move(entries));
}

}  // namespace kestrane
