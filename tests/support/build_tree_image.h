// Synthetic build trees for tests: what a build of one of the games'
// public disassemblies leaves beside its ROM (a Makefile, the symbol file,
// the constants, a charmap, the trade file), written from the facts of
// those trees around a synthetic ROM's own table. Never a real tree.
#pragma once

#include <cstdint>
#include <string>

#include "support/rom_image.h"

namespace kestrane::testing {

// The trade files' row forms the trees use.
enum class RowForm {
    Dname,       // MACRO npctrade … dname \4, NAME_LENGTH (Gold/Silver/Crystal)
    HandPadded,  // npctrade: MACRO … shift … names padded by hand in the literal, lowercase hex
    RedBlue,     // MACRO npctrade: db \1, \2, \3 / dname \4, NAME_LENGTH (14-byte records)
    PlainRows,   // db rows without a macro, names padded by hand, the table ended by the next label (14 bytes)
    Species16,   // the older 16-bit base: dw species, shift, the trainer's name padded to 8 by hand
    Polished,    // Polished Crystal's: no macro, a comment then seven lines a record (db, dp, dp, rawchar, db, dw, rawchar)
};

struct TreeOptions {
    RowForm form = RowForm::Dname;
    bool crlf = false;
    bool finalNewline = true;
    bool stadium = true;  // the Makefile runs tools/stadium
};

// The tree's pieces, for tests that break one.
struct TreeFiles {
    std::string tradeFile;  // "data/events/npc_trades.asm"
    std::string tradePath;  // its full path
    std::string tradeText;
    std::string label;      // "NPCTrades", "TradeMons"
};

// Writes the tree around the ROM file `romName` in `dir` (already written):
// its trade file's rows are the `records` records of `size` bytes at
// `table` in `rom`, names read through the tree's charmap.
TreeFiles writeBuildTree(const TempDir& dir, const std::string& romName, const Bytes& rom, std::uint32_t table, int records,
                         TreeOptions options = {});

// The tree's name of a nature (Polished Crystal's trees), by number.
std::string natureConstant(int nature);

// The tree's name of a species (as its constants file orders them: Pokédex
// order for the second generation, internal indexes for the first) and of an item.
std::string speciesConstant(int value, bool firstGeneration);
std::string itemConstant(int value);

}  // namespace kestrane::testing
