#include "platform/gb/symbol_file.h"

#include <algorithm>
#include <charconv>

#include "platform/gb/banks.h"
#include "support/words.h"

namespace kestrane {
namespace {

std::optional<std::uint32_t> hexNumber(std::string_view digits) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::uint32_t> SymbolFile::offsetOf(std::string_view name) const {
    for (const Label& label : labels) {
        if (label.name == name) return label.offset;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> SymbolFile::nextAfter(std::uint32_t offset) const {
    const auto next = std::upper_bound(labels.begin(), labels.end(), offset,
                                       [](std::uint32_t at, const Label& label) { return at < label.offset; });
    return next == labels.end() ? std::nullopt : std::optional<std::uint32_t>(next->offset);
}

Result<SymbolFile> readSymbolFile(std::string_view text) {
    SymbolFile file;
    const std::vector<std::string_view> lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = codeOfLine(lines[i]);
        const int number = int(i) + 1;
        if (line.empty()) continue;
        const std::size_t space = line.find_first_of(" \t");
        const std::string_view place = line.substr(0, space);
        const std::size_t colon = place.find(':');
        // "HH NAME": an exported constant, no place in the ROM.
        if (colon == std::string_view::npos) continue;
        const auto bank = hexNumber(place.substr(0, colon));
        const auto address = hexNumber(place.substr(colon + 1));
        const std::string_view name = space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space));
        if (!bank || !address || name.empty() || name.find_first_of(" \t") != std::string_view::npos) {
            return refused(ErrorCode::NotASourceForm, "Line " + std::to_string(number) +
                                                          " of the symbol file is not \"bank:address Label\".");
        }
        // A label of RAM (0x8000 and up) names no byte of the ROM.
        if (auto offset = offsetInBank(*bank, *address)) file.labels.push_back({std::string(name), *offset});
    }
    std::stable_sort(file.labels.begin(), file.labels.end(),
                     [](const SymbolFile::Label& a, const SymbolFile::Label& b) { return a.offset < b.offset; });
    return file;
}

}  // namespace kestrane
