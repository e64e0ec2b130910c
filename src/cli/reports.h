// What several commands print: text in columns, and the checksums' states.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "exchange/trade_json.h"
#include "source/trade_source.h"
#include "trades/rom.h"

namespace kestrane::cli {

// Text in columns, each as wide as its widest cell.
void printTable(const Context& ctx, const std::vector<std::vector<std::string>>& rows);
// The text, then blanks to `width` terminal columns.
std::string padded(const std::string& text, std::size_t width);

// null where the checksums are not computed. A release without Stadium
// data (its ROMs are smaller than the data's place) has no such key.
exchange::Json checksumsJson(const std::optional<ChecksumState>& state, const Release& release);
// Where the ROM's build tree holds its trades, for JSON: none where the
// ROM lies in no tree or the tree's trade file was not read.
std::optional<exchange::SourcePlaces> sourcePlaces(const std::optional<TradeSource>& source);
// Each check's state, or why none was computed.
void printChecksums(const Context& ctx, const Rom& rom);

}  // namespace kestrane::cli
