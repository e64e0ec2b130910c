// The bad-input table of docs/reliability.md, through the core: each row
// gets its message, and the file is byte for byte what it was.
#include <gtest/gtest.h>

#include "families/families.h"
#include "families/gen2/second_generation_layouts.h"
#include "support/bad_inputs.h"
#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/opened_rom.h"
#include "support/rom_image.h"
#include "trades/releases.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;


TEST(BadInput, OpeningWhatIsNoRom) {
    TempDir dir;
    for (const BadOpen& row : badOpens(dir)) {
        SCOPED_TRACE(row.name);
        const bool exists = std::filesystem::is_regular_file(fsPath(row.path));
        const Bytes before = exists ? readFile(row.path) : Bytes{};
        auto opened = openRom(row.path, families::all());
        if (!row.code) {
            ASSERT_TRUE(opened && opened->table);
            auto reading = readTradeRecord(*opened, Slot::fromNumber(1));
            ASSERT_TRUE(reading && reading->record);
            TradeEdit edit = uneditedEdit(*reading->record);
            edit.trainerId = 7;
            ASSERT_TRUE(writeTradeRecord(*opened, edit));
            EXPECT_EQ(readFile(row.path)[slotOffset(kCrystalTable, 1) + *kRecordOf32Bytes.trainerIdAt], 7);
            continue;
        }
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error().code, *row.code);
        EXPECT_EQ(opened.error().kind, row.kind);
        EXPECT_NE(opened.error().message.find(row.message), std::string::npos) << opened.error().message;
        if (exists) {
            EXPECT_EQ(readFile(row.path), before);
        }
    }
}

// Names, IDs and species that cannot be written: trade_edit_test.cpp; saves
// refused: save_test.cpp; ROMs without a trade table: trade_table_test.cpp.

}  // namespace
}  // namespace kestrane
