// A build tree's trade file on any text: read through its own row macro,
// and rewritten. Properties: a file read has rows of one length whose
// pieces cover each record exactly once; rewriting a row to its own bytes
// changes nothing; a rewrite that succeeds builds exactly the planned record.
#include <cstdlib>
#include <string>

#include "source/trade_file.h"

using namespace kestrane;

namespace {

const SourceConstants& constants() {
    static const SourceConstants c = [] {
        SourceConstants made;
        (void)made.read("\tconst_def\n\tconst NO_MON\n\tconst ABRA\n\tconst MACHOP\n\tconst_skip 250\n\tconst EGG\n"
                        "DEF NAME_LENGTH EQU 11\nDEF TRADE_GENDER_EITHER EQU 0\nDEF TRADE_GENDER_MALE EQU 1\n",
                        "constants.asm");
        return made;
    }();
    return c;
}

const SourceCharmap& charmap() {
    static const SourceCharmap c = [] {
        std::vector<SourceCharmap::Entry> entries{{"@", 0x50}, {" ", 0x7F}, {"'d", 0xD0}, {"'", 0xE0}};
        for (int i = 0; i < 26; ++i) entries.push_back({std::string(1, char('A' + i)), std::uint8_t(0x80 + i)});
        return SourceCharmap(std::move(entries));
    }();
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto file = readTradeFile(text, "NPCTrades", "trades.asm", constants(), charmap());
    if (!file) return 0;
    if (file->rows.empty()) std::abort();
    const std::size_t length = file->rows.front().bytes.size();
    for (const SourceRow& row : file->rows) {
        if (row.bytes.size() != length) std::abort();
        std::size_t covered = 0;
        for (const SourcePiece& piece : row.pieces) {
            if (piece.at != covered || piece.argument >= int(row.arguments.size())) std::abort();
            covered += piece.length;
        }
        if (covered != length) std::abort();
    }
    RowChange same{0, file->rows.front().bytes};
    auto unchanged = rewriteTradeFile(text, *file, std::span(&same, 1), "trades.asm", constants(), charmap());
    if (!unchanged || *unchanged != text) std::abort();
    // Each byte of the first row changed in turn (to 1, a name's letter, a constant's value).
    for (std::size_t at = 0; at < length; ++at) {
        RowChange change{0, file->rows.front().bytes};
        change.bytes[at] = change.bytes[at] == 0x81 ? 0x80 : 0x81;
        auto rewritten = rewriteTradeFile(text, *file, std::span(&change, 1), "trades.asm", constants(), charmap());
        if (!rewritten) continue;
        auto again = readTradeFile(*rewritten, "NPCTrades", "trades.asm", constants(), charmap());
        if (!again || again->rows.size() != file->rows.size() || again->rows.front().bytes != change.bytes) std::abort();
    }
    return 0;
}
