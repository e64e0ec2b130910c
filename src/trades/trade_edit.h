// An edit of one trade, and the plan of the bytes it leaves in the record.
//
// An edit holds what a person gave, as given: texts for species, names and
// the ID. A field left empty (std::nullopt) keeps its bytes; so does a name
// whose text is the one shown. planTradeRecord checks every field and gives
// the record's new bytes, or every problem at once. It reads and writes
// nothing.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "support/result.h"
#include "trades/record.h"
#include "trades/rom.h"
#include "trades/trade_record.h"

namespace kestrane {

using NameBytes = std::array<std::uint8_t, kNameLength>;

struct TradeEdit {
    TradeRecord shown;  // the trade as it was read
    std::optional<std::string> requestedSpecies;  // number or name; "" means none chosen
    std::optional<std::string> offeredSpecies;
    std::optional<std::u16string> nickname;       // editable text
    std::optional<std::u16string> trainerName;
    // Exact bytes for a name field in place of its text (a table import);
    // the text, if given, must then be the shown one.
    std::optional<NameBytes> nicknameBytes;
    std::optional<NameBytes> trainerNameBytes;
    std::optional<std::u16string> trainerId;      // as typed
    std::optional<std::string> heldItem;          // "None", a number or a name the ROM has
    std::optional<Dvs> dvs;                       // each 0-15
    std::optional<std::string> genderRequirement; // "either", "male", "female" or 0-2
    std::optional<std::string> dialogSet;         // "collector", ... or a number the game has
};

// The edit that changes nothing.
TradeEdit uneditedEdit(const TradeRecord& shown);

// The 32 bytes that saving the edit would leave in the record, or every
// reason to refuse it.
Result<RecordBytes, Problems> planTradeRecord(const Rom& rom, const TradeEdit& edit);

}  // namespace kestrane
