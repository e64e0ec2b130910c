// Reading one trade into what the editor shows, and writing an edit back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/games.h"
#include "trades/trade_layout.h"

namespace kestrane {

using RecordBytes = std::array<std::uint8_t, kRecordSpan>;

// A trade as read from the ROM.
struct TradeRecord {
    std::uint32_t base = 0;     // file offset of byte +0
    std::string_view location;  // "Violet City, Johto"
    RecordBytes raw{};          // bytes +0..+27 as they were read
    std::uint8_t requestedSpecies = 0;  // may be 252-255, which have no list entry
    std::uint8_t offeredSpecies = 0;
    std::u16string nickname;     // exactly as the editor shows it
    std::u16string trainerName;  // likewise
    std::uint16_t trainerId = 0;
};

struct TradeReading {
    LookupAnswer answer = LookupAnswer::NoLayout;
    std::optional<TradeRecord> record;  // for LookupAnswer::Trade
};

// Reads the trade of a slot (list index 0-6) of the ROM at path, whose game
// code was read by identifyRom. For a slot without a trade, or a code
// without a layout, the answer says so and the file is not opened.
Result<TradeReading> readTradeRecord(const std::string& path, std::string_view gameCode, int slotIndex,
                                     FileSystem& fs = nativeFileSystem());

// A whole ROM with one open: its game and, for a supported one, every slot
// (list order). For an unsupported game code, trades is empty.
struct RomTable {
    RomIdentity identity;
    std::vector<TradeReading> trades;
};
Result<RomTable> readRomTable(const std::string& path, FileSystem& fs = nativeFileSystem());

// A name field's text as the editor shows it: decoded with the standard
// map, cut or padded to 10 characters, then without surrounding blanks.
std::u16string shownName(std::span<const std::uint8_t> field);

inline constexpr int kNoSpeciesChosen = -1;

using NameBytes = std::array<std::uint8_t, kNameLength>;

// What the user sees in the editor when saving, and the trade it was read as.
struct TradeEdit {
    int requestedSpecies = kNoSpeciesChosen;  // list index 0-251
    int offeredSpecies = kNoSpeciesChosen;
    std::u16string nickname;
    std::u16string trainerName;
    std::u16string trainerId;  // as typed
    TradeRecord shown;
    // Exact bytes for a name field in place of its text (a table import);
    // the text must then be the shown one.
    std::optional<NameBytes> nicknameBytes;
    std::optional<NameBytes> trainerNameBytes;
};

// The edit that changes nothing: the trade as shown, a species byte without
// list entry as "not chosen" (so it is kept). Saving it writes no byte.
TradeEdit uneditedEdit(const TradeRecord& shown);

// The bytes +0..+27 that saving the edit would leave in the record, or the
// first reason to refuse it. Nothing is read or written. A name equal to
// the shown one keeps its field's bytes (or takes the exact bytes given);
// a species not chosen keeps a stored byte that has no list entry.
Result<RecordBytes> planTradeRecord(const TradeEdit& edit);

// A byte range of the file, first and last offset included.
struct ByteRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

struct SaveReport {
    std::vector<ByteRange> written;  // empty when nothing needed to change
    std::size_t bytesChanged = 0;
    TradeRecord record;              // the trade as the file now holds it
};

// Saves the edit into the record of the slot, in place, as one transaction:
// every input and the file are checked before the first byte is written
// (the game code and the record must still be what was read), only the
// changed bytes are written, then flushed to disk and read back. An error
// says what happened to the file.
Result<SaveReport> writeTradeRecord(const std::string& path, std::string_view gameCode, int slotIndex,
                                    const TradeEdit& edit, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
