// The trade file of the build tree a ROM was made from, and whether it is
// in step with the ROM: the tree's symbols put the table where the game's
// code reads it, and the file's rows, made into bytes by the tree's own
// constants, charmap and row macro, equal the ROM's table byte for byte.
// Only a source in step is ever written; every other state names why.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "source/build_tree.h"
#include "source/charmap.h"
#include "source/constants.h"
#include "source/trade_file.h"
#include "support/file.h"
#include "trades/rom.h"

namespace kestrane {

struct TradeSource {
    BuildTree tree;
    std::string romName;  // "pokecrystal.gbc"
    std::string file;     // relative to the tree, "/" between folders: "data/events/npc_trades.asm"; empty: none found
    std::string path;     // the file as opened
    std::string text;     // its text when it was read
    std::shared_ptr<const SourceConstants> constants;
    std::shared_ptr<const SourceCharmap> charmap;
    std::optional<TradeFile> rows;
    std::string notInStep;         // why it is not in step; empty where it is
    bool rebuildsStadium = false;  // the tree's Makefile runs tools/stadium after rgbfix

    bool inStep() const { return notInStep.empty(); }
    // "data/events/npc_trades.asm (in step)", or why it is not.
    std::string state() const;
    // The line of a record's row (records in the table's order, 0-based), where the file was read.
    std::optional<int> lineOf(std::size_t record) const;
};

// The trade source of an opened ROM with a table; none where the ROM lies
// in no build tree (no Makefile and symbol file beside it). Reading the
// tree never fails the opening: whatever is wrong with it is the reason
// it is not in step.
std::optional<TradeSource> openTradeSource(const Rom& rom, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
