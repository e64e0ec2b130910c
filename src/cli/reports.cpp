#include "cli/reports.h"

#include "platform/platform.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/game_family.h"
#include "trades/save.h"

namespace kestrane::cli {

using exchange::Json;

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width > terminalColumns(text) ? width - terminalColumns(text) : 0, ' ');
}

void printTable(const Context& ctx, const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], terminalColumns(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) line += c + 1 < row.size() ? padded(row[c], widths[c] + 2) : row[c];
        ctx.out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
    }
}

exchange::Json checksumsJson(const std::optional<ChecksumState>& state, const Release& release) {
    if (!state) return nullptr;
    Json checks = Json::object();
    for (const auto& [check, area] : heldChecks(release)) checks[std::string(area->key)] = checksumStatusText(state->of(check));
    return checks;
}

std::optional<exchange::SourcePlaces> sourcePlaces(const std::optional<TradeSource>& source) {
    if (!source || !source->rows) return std::nullopt;
    return exchange::SourcePlaces{source->file, source->lines()};
}

void printChecksums(const Context& ctx, const Rom& rom) {
    const std::optional<ChecksumState>& state = rom.checksums;
    if (!state) {
        const ChecksumsSkipped why = rom.checksumsSkipped.value_or(ChecksumsSkipped::TooLarge);
        ctx.out << "Checksums:   not computed: " << checksumsSkippedText(rom.release->family().platform(), why) << '\n';
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& [check, area] : heldChecks(*rom.release)) {
        rows.push_back({std::string(area->title) + " (" + hexOffset(area->at) + "):", std::string(checksumStatusText(state->of(check)))});
    }
    printTable(ctx, rows);
}

}  // namespace kestrane::cli
