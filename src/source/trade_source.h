// The trade file of the build tree a ROM was made from, and whether it is
// in step with the ROM: the tree's symbols put the table where the game's
// code reads it, and the file's rows, made into bytes by the tree's own
// constants, charmap and row macro, equal the ROM's table byte for byte.
// Only a source in step is ever written; every other state names why.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    // The tree's other ROMs, built from the same trade file ("pokeblue.gbc" beside "pokered.gbc").
    std::vector<std::string> otherRoms;

    bool inStep() const { return notInStep.empty(); }
    // "data/events/npc_trades.asm (in step)", or why it is not.
    std::string state() const;
    // The line of a record's row (records in the table's order, 0-based), where the file was read.
    std::optional<int> lineOf(std::size_t record) const;
    // Every record's line, in the table's order; empty where the rows were not read.
    std::vector<int> lines() const;
};

// The trade source of an opened ROM with a table; none where the ROM lies
// in no build tree (no Makefile and symbol file beside it). Only a failure
// to look for the tree (the disk's, not the tree's) is an error: whatever
// is wrong with the tree's files is the reason the source is not in step.
Result<std::optional<TradeSource>> openTradeSource(const Rom& rom, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
