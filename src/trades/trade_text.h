// A trade's fields in words, as `show` prints them, and what differs
// between two readings of a trade: one home for the words of `show`, of
// `diff`, of an import's preview and of the window's changed fields.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/values.h"

namespace kestrane {

// "63 Abra" (its number and the ROM's name for it), or "#252 (no list entry)".
std::string speciesLabel(const Rom& rom, SpeciesId species);

// A field of plain numbers as it is given and shown: "31/31/31/31/31/31".
std::string numbersText(const std::vector<std::uint32_t>& numbers);

// The name an item-numbered field's number stands for ("Ultra Ball"; the
// field's own name for 0), or none where the field names no item or the
// ROM's item names are unknown.
std::optional<std::string> itemNumberName(const Rom& rom, Field field, std::uint32_t number);

struct FieldText {
    Field field;
    std::string_view label;  // "Requested species"
    std::string text;        // "63 Abra"
};

// The fields a trade of this release has, in the order `show` prints them.
std::vector<FieldText> fieldTexts(const Rom& rom, const TradeRecord& record);

// What the game gives a traded creature that the release's records do not
// hold, as facts: "OT TRAINER, ID and DVs chosen at random when the trade
// happens"; empty where the records hold it all.
std::string givenAtTradeText(const Rom& rom);
inline constexpr std::string_view kGivenAtTradeLabel = "At the trade";

struct FieldChange {
    Slot slot = Slot::fromNumber(1);
    Field field = Field::RequestedSpecies;
    std::string_view label;
    std::string before;
    std::string after;
};

// The fields that differ between two readings of one trade (`before` and
// `after` of the same ROM, or of two ROMs: `afterRom` names the second's),
// compared as the values the records hold: a renamed species is no change.
std::vector<FieldChange> fieldChanges(const Rom& rom, const TradeRecord& before, const TradeRecord& after);
std::vector<FieldChange> fieldChanges(const Rom& beforeRom, const TradeRecord& before, const Rom& afterRom,
                                      const TradeRecord& after);

// What saving the edits would change, field by field; nothing is read or
// written. Every problem of the edits, as a save would tell them.
Result<std::vector<FieldChange>, Problems> plannedChanges(const Rom& rom, std::span<const TradeEdit> edits);

// "Trade Number 3  Nickname  ROCKY → PEBBLE"
std::string changeLine(const FieldChange& change);

// What a trade's trader says, phase by phase (kLinePhases), as the game
// prints it with the trade's names filled in; `fromRom` false: Kestrane's
// own opening alone, `why` saying why the ROM's are not shown.
struct TraderWords {
    std::array<std::string, 5> lines;  // lines "\n", paragraphs "\n\n"
    bool fromRom = false;
    std::string why;
};
TraderWords traderWords(const Rom& rom, const TradeRecord& record);

// "Kestrane's words; the ROM's lines are not shown: …", where they are not.
std::string kestranesWordsNote(const TraderWords& said);

// What the game makes of a trade's DVs for the offered species: shiny or
// not, the HP DV, the received creature's gender, and for Unown its letter.
std::vector<ReadOut> dvReadOuts(const Rom& rom, const Dvs& dvs, std::optional<SpeciesId> offered);

// A trader's line on one line of text: "I collect POKéMON. / Do you have /
// ABRA? // Want to trade it / for my MACHOP?".
std::string oneLine(std::string_view line);

}  // namespace kestrane
