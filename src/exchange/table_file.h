// A whole trade table carried out of a ROM into a JSON file and back in:
// what `export` and `import` and the window's Export Trades… and Import
// Trades… share. The format is trade_json.h's.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "support/new_file.h"
#include "exchange/trade_json.h"

namespace kestrane::exchange {

// An exported table file's name ends so.
inline constexpr std::string_view kTableExtension = ".json";
// No table file is read beyond this: a real one is about a thousandth of it.
inline constexpr std::int64_t kLargestTable = 1 << 20;

// The whole table as JSON text (one open of the ROM). A table with a trade
// past the end of a cut file is refused: it is no table to carry elsewhere.
// With `source`, where the ROM's build tree holds the table and each trade.
Result<std::string> exportText(const Rom& rom, FileSystem& fs = nativeFileSystem(), const SourcePlaces* source = nullptr);
// The same text, written to `out` as it is made (no copy of the whole text
// is held); nothing is written where the table is refused.
Result<void> writeExport(const Rom& rom, std::ostream& out, FileSystem& fs = nativeFileSystem(), const SourcePlaces* source = nullptr);

// Writes the table to a file of its own (never the ROM itself; see writeNewFile).
Result<void> exportTable(const Rom& rom, const std::string& tablePath, FileSystem& fs = nativeFileSystem(),
                         const SourcePlaces* source = nullptr);

// What a table asks of a ROM.
struct ImportPlan {
    std::vector<TradeEdit> edits;
    // Where the table is another release's, a sister of the ROM's (its
    // trades fit alike); null where it is the ROM's own release's, or says none.
    const Release* sister = nullptr;
};

// The edits a table's text (from `tableName`, for messages) asks of the ROM
// as it is now, or every problem at once. JSON numbers are taken as numbers
// (whole ones only), JSON strings as text a person typed. A table from a
// release other than the ROM's is refused, but for a sister release's.
// Names given as text are padded as `padding` says.
Result<ImportPlan, Problems> importEdits(std::string_view text, const std::string& tableName, const Rom& rom,
                                         NamePadding padding = NamePadding::Release, FileSystem& fs = nativeFileSystem());
// The same from a table file, refused unread when larger than kLargestTable.
Result<ImportPlan, Problems> importEditsFrom(const std::string& tablePath, const Rom& rom,
                                             NamePadding padding = NamePadding::Release, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane::exchange
