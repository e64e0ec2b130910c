// Finding the trade table of a supported game, once per ROM, and again
// before every write, and the shape of its records.
//
// The shape is the game's code's too: the calls of the routine that reads
// the table pass the offset of the field they read (ld e, N; call), and a
// base that widens species reads them as words right after the call. The
// layout whose offsets and word reads those calls fit is the table's, and
// with it the row (a release, or a variant of it) its records are read by;
// calls that fit no layout are refused, naming the offsets. Without calls
// to read, the release's own layout.
//
// The game reads its trades where its own routine points (GetTradeAttr in
// the Game Boy games), so that routine decides, found by the release's
// family (its findTableRoutine): at the release's own place for
// it, through a jump standing there, else anywhere in the file (copies
// that point to different places are refused). Where the routine points to bytes that fail the record checks,
// the table is refused: the game reads no other place, so neither does
// Kestrane. Only where the routine is nowhere in the file are the records
// themselves looked for: a scan of every offset, a piece at a time, for runs
// of six (the game's own count where it has fewer) to sixteen
// consecutive records that pass the stricter checks; exactly one such run
// is the table (a longer run is a repeated pattern, no table), and two or
// more are refused, each named. The usual place is never taken on its own.
// A table counts as found only when it holds at least the game's own
// number of records (a scan's run at least six). In a file shorter than
// its header says, a table whose records run on to the end of the file is
// taken as cut off there: it has the game's own number of records, those
// past the end missing. The record count is the number of consecutive
// records from the table's start that pass, at most 16. A game that keeps
// no count and no check byte (its family's countsItsTrades) has every record
// pass the stricter checks, and its table holds at least what its family
// requires (its recordsRequired).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"
#include "platform/routine.h"
#include "trades/record_layout.h"
#include "trades/releases.h"

namespace kestrane {

enum class FoundBy { UsualPlace, TableRoutine, RecordScan };

// "usual place", "table routine", "record scan"
std::string_view foundByText(FoundBy how);

// What "record scan" means, wherever a table found so is named.
inline constexpr std::string_view kFoundByRecordsNote = "found by its records alone; the game's routine was not recognised";

struct TradeTable {
    std::uint32_t offset = 0;  // the first record's first byte
    int records = 0;           // 1..16
    FoundBy foundBy = FoundBy::UsualPlace;
    // The routine that reads it, and how it was reached; none for a table
    // the scan found.
    std::optional<std::uint32_t> routine;
    RoutineReached reached = RoutineReached::OwnPlace;
    // The row the records are read by: the release itself, or the variant
    // whose layout the routine's callers read.
    const Release* release = nullptr;
    friend bool operator==(const TradeTable&, const TradeTable&) = default;
};

// The first check that bytes fail as record `recordIndex` (0-based) of a
// table found so: the record checks for the game's own records of a table
// the game's routine or place vouches for, the stricter ones for records
// beyond the game's own and for every record of a table found by the scan.
RecordFault tradeRecordFault(RecordView record, int recordIndex, const Release& release, FoundBy foundBy);
inline bool isTradeRecord(RecordView record, int recordIndex, const Release& release, FoundBy foundBy) {
    return tradeRecordFault(record, recordIndex, release, foundBy) == RecordFault::None;
}

// The table of the game in a file that the caller has open, or a
// NoTradeTable error that says what was looked for and where. Path only
// names the file in messages.
// `notes`: what the opening's later steps reuse (the family's beginOpening).
Result<TradeTable> locateTradeTable(File& file, const Release& release, const std::string& path, const RomSize& size,
                                    class OpeningNotes* notes = nullptr);

// Before a write: the table is still the one the game reads, as it was
// found (the routine still stands where it was and points to it, a scanned
// table is still the file's only one) and still holds the first `records`
// records, those the write changes; else a TableMoved refusal that says
// where the game reads its trades now. No write rests on a remembered
// offset alone.
Result<void> confirmTradeTable(File& file, const Release& release, const TradeTable& found, int records,
                               const std::string& path, const RomSize& size);

}  // namespace kestrane
