// Finding the trade table of a supported game, once per ROM.
//
// ROM hacks built from the games' disassemblies keep the game code but move
// the table as soon as code before it grows. Kestrane looks, in this order:
//   1. at the usual place for the game, when its records pass the checks;
//   2. where the routine that reads the table points, found anywhere in the
//      file by its bytes
//        16 00 D5 FA ?? ?? E6 0F CB 37 5F 16 00 21 LL HH 19 19 D1 19 C9
//      (LL HH: the table's address in the routine's own bank; one 19 before
//      D1 where the records are 16 bytes);
//   3. by a scan of every offset for runs of at least six consecutive
//      records that pass the stricter checks; exactly one such run is the table.
// At the usual place and by the routine, a table counts as found only when
// it holds at least the game's own number of records; a scan's run has at
// least six. In a file shorter than its header says, a table whose records
// run on to the end of the file is taken as cut off there: it has (at least)
// the game's own number of records, those past the end missing. The record count is the number of consecutive records from the
// table's start that pass (those beyond the game's own, and all of a scan's,
// the stricter checks too), at most 16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"
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

// Whether bytes pass as the table's record number `recordIndex` (0-based):
// the record checks for the game's own records, the stricter ones beyond.
bool isTradeRecord(RecordView record, int recordIndex, const Release& release);

// The table of the game in a file that the caller has open, or a
// NoTradeTable error that says what was looked for and where. Path only
// names the file in messages.
Result<TradeTable> locateTradeTable(File& file, const Release& release, const std::string& path, const RomSize& size);

}  // namespace kestrane
