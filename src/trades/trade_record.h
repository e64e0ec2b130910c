// Reading trades: the record's bytes and its fields as the editor shows them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/dvs.h"
#include "trades/record_layout.h"
#include "trades/rom.h"
#include "trades/slot.h"
#include "trades/values.h"

namespace kestrane {

// A trade as read from the ROM: typed values as the record stores them.
// A field the release's records lack is none.
struct TradeRecord {
    Slot slot = Slot::fromNumber(1);
    std::uint32_t offset = 0;    // file offset of the record's first byte
    std::string location;        // "Violet City, Johto"
    RecordBytes raw;             // the record's bytes as they were read
    std::optional<std::uint8_t> dialogSet;
    SpeciesId requestedSpecies = 0;  // may be one without a list entry (252-255)
    SpeciesId offeredSpecies = 0;
    std::u16string nickname;     // exactly as the editor shows it
    std::optional<Dvs> dvs;
    std::optional<ItemId> heldItem;
    std::optional<std::uint16_t> trainerId;
    std::optional<std::u16string> trainerName;  // as the editor shows it
    std::optional<GenderRequirement> genderRequirement;
    // The fields of plain numbers the layout places (RecordLayout::numbers), by field.
    std::map<Field, std::vector<std::uint32_t>> numbers;
    std::string nicknameHidden;     // hiddenBytesNote of each name field
    std::string trainerNameHidden;
};

// A slot as read: its record, or none ("There is no trade assigned to this
// slot."), or, in a file cut off, the error that says its record lies past
// the end of the file.
struct TradeReading {
    Slot slot = Slot::fromNumber(1);
    std::optional<TradeRecord> record;
    std::optional<Error> pastEnd;
};

// The fields of record bytes that the caller read at `place`.
TradeRecord recordFromBytes(const Release& release, Slot slot, const RecordPlace& place, const RecordBytes& raw);
// The trade `shown` as it stands with other bytes (an edit's plan, what a save wrote).
TradeRecord recordWith(const Release& release, const TradeRecord& shown, const RecordBytes& raw);

// A name field's text as the editor shows it: decoded with the release's
// character set, without surrounding blanks.
std::u16string shownName(std::span<const std::uint8_t> field, const Charset& charset);

// What a name field holds that its shown text does not show (bytes without
// a character, before the end of the name), as a note for the person about
// to edit it: "Also holds 0x4B at character 2; kept unless you change this
// name." Empty when the text shows everything.
std::string hiddenBytesNote(std::span<const std::uint8_t> field, const Charset& charset);

// Reads the trade of one slot. A ROM without a trade table gives its
// NoTradeTable error, a record past the end of the file a RecordPastEnd
// error; a slot the table has no record for gives a reading without
// record, and the file is not opened. A record that no longer passes the
// checks means the file changed since it was opened.
Result<TradeReading> readTradeRecord(const Rom& rom, Slot slot, FileSystem& fs = nativeFileSystem());

// Every slot of the ROM (list order), with one open of the file; a record
// past the end of the file is a reading with its `pastEnd` error.
Result<std::vector<TradeReading>> readTradeTable(const Rom& rom, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
