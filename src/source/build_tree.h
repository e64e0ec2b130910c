// A ROM built from one of the games' public disassemblies: the build tree
// it sits in (its folder holds the tree's Makefile and the symbol file the
// build wrote beside the ROM), and whether the tree's symbols put the
// trade table where Kestrane found it through the game's code. The tree is
// only ever believed where it agrees with the ROM.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/file.h"
#include "support/result.h"
#include "trades/rom.h"

namespace kestrane {

struct BuildTree {
    std::string root;        // the folder of the ROM and the Makefile
    std::string symbolFile;  // STEM.sym beside STEM.gbc
    std::string tableLabel;  // "NPCTrades": the label the family's trees give the table
    std::optional<std::uint32_t> table;     // where the symbols put it; none: they name no such label
    std::optional<std::uint32_t> tableEnd;  // where the next label begins
};

// The build tree of an opened ROM, or none where no Makefile and symbol
// file lie beside it. A folder or symbol file that cannot be read, or a
// symbol file of no form a build writes, is an error; one larger than any
// build's is refused unread.
Result<std::optional<BuildTree>> findBuildTree(const Rom& rom, FileSystem& fs = nativeFileSystem());

// Whether the path names a regular file; a failure to look is an error, never "no".
Result<bool> isRegularFile(FileSystem& fs, const std::string& path);

// Why the tree's symbols do not agree with the ROM (they name no table, or
// another place than the one the game's code reads), or empty where they agree.
std::string symbolsDisagree(const BuildTree& tree, const Rom& rom);

}  // namespace kestrane
