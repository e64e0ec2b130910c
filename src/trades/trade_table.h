// Finding the trade table of a supported game, once per ROM.
//
// The game reads its trades where its own routine points, so that routine
// decides. Its bytes (LL HH: the table's address in the routine's own bank;
// one 19 fewer before D1 where the records are 16 bytes):
//   16 00 D5 FA ?? ?? E6 0F CB 37 5F 16 00 21 LL HH 19 19 D1 19 C9
//   1. Where the routine stands intact at the release's own place for it,
//      its pointer is the table; a table there that fails the checks is
//      refused, and no other place is taken.
//   2. Elsewhere (a hack moved the code) it is searched for in the whole
//      file; copies that point to different places are refused, as is a
//      pointer to bytes that fail the checks.
//   3. Only where no such routine is in the file at all: the usual place
//      for the game, then a scan of every offset for runs of six to
//      sixteen consecutive records that pass the stricter checks (exactly
//      one such run is the table; a longer run is a repeated pattern, no
//      table).
// A table counts as found only when it holds at least the game's own
// number of records (a scan's run at least six). In a file shorter than
// its header says, a table whose records run on to the end of the file is
// taken as cut off there: it has the game's own number of records, those
// past the end missing. The record count is the number of consecutive
// records from the table's start that pass, at most 16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"
#include "trades/record_layout.h"
#include "trades/releases.h"

namespace kestrane {

enum class FoundBy { UsualPlace, TableRoutine, RecordScan };

// "usual place", "table routine", "record scan"
std::string_view foundByText(FoundBy how);

struct TradeTable {
    std::uint32_t offset = 0;  // the first record's first byte
    int records = 0;           // 1..16
    FoundBy foundBy = FoundBy::UsualPlace;
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
Result<TradeTable> locateTradeTable(File& file, const Release& release, const std::string& path, const RomSize& size);

}  // namespace kestrane
