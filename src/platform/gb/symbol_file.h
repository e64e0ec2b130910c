// The symbol file a Game Boy build writes beside its ROM (STEM.sym, from
// rgblink): the bank and address of each label, and so its place in the
// file. What a build tree's labels say is checked against what Kestrane
// found through the game's code; the file alone is never trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

struct SymbolFile {
    struct Label {
        std::string name;
        std::uint32_t offset;  // in the ROM file
    };
    std::vector<Label> labels;  // the ROM's labels (not the RAM's), by offset

    // The file offset of a label; none where the file names no such ROM label.
    std::optional<std::uint32_t> offsetOf(std::string_view name) const;
    // Where the next label after `offset` lies: the end of the data from there.
    std::optional<std::uint32_t> nextAfter(std::uint32_t offset) const;
};

// Reads the text of a .sym file: `bank:address Label` lines in hexadecimal
// (either case), `;` comments and blank lines; lines without a colon
// (exported constants, `HH NAME`) and labels of RAM are skipped. A line of
// another form is refused, naming its number.
Result<SymbolFile> readSymbolFile(std::string_view text);

}  // namespace kestrane
