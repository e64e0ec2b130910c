// A build tree's trade file (data/events/npc_trades.asm, data/events/trades.asm):
// its rows read through the file's own row macro, as the assembler would
// turn them into the table's bytes, with where each byte comes from; and
// the same file with some records' bytes changed, rewritten token by token.
//
// Kestrane interprets only the small part of the assembler that trade
// macros use: `MACRO name` … `ENDM` (and `name: MACRO`), `db`, `dw`,
// `dname \N, LENGTH`, `shift`, numbers, constants, `+`, `-` and `|` of
// them and string literals; and Polished Crystal's `rawchar` (db in its
// names' charmap) and `dp SPECIES, FORM` (the species' low byte, then its
// high part << 5 | the form and gender), a record over several lines. Anything else in the macro or the table (IF, REPT,
// another macro) is a form it does not read, and it says so rather than guess.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "source/charmap.h"
#include "source/constants.h"
#include "support/result.h"

namespace kestrane {

// An argument of a row, as written: its place in the file's text.
struct SourceToken {
    std::size_t at = 0;
    std::size_t length = 0;
};

// A stretch of a record that one operand of the macro makes.
struct SourcePiece {
    // Name: dname, padded with "@"; Text: a literal in db; Species: dp's two bytes
    enum class Kind { Byte, Word, Name, Text, Species };
    Kind kind = Kind::Byte;
    std::uint32_t at = 0;      // in the record
    std::uint32_t length = 1;  // the bytes it makes
    int argument = -1;         // the row's argument (0-based) it is made of; -1: the macro's own value
    int formArgument = -1;     // a Species piece's second argument (the form and gender bits)
};

struct SourceRow {
    int line = 0;  // 1-based; a record over several lines: its first
    std::vector<SourceToken> arguments;
    std::vector<std::uint8_t> bytes;  // the record the build makes of it
    std::vector<SourcePiece> pieces;
};

struct TradeFile {
    std::vector<SourceRow> rows;
    std::uint32_t recordSize = 0;  // as it was read: readTradeFile's, for reading a rewrite of it alike
};

// The rows under `label` of the file `name` (relative to the tree, for
// messages). Refused: a form Kestrane does not read ("… is not a form
// Kestrane reads (line 14)"), a name no constants file defines, a literal
// the charmap cannot write, a value too wide for its bytes; each by its line.
// With `recordSize`, the lines of plain data (db, dw, dp, rawchar) one after
// another make the records, each of that many bytes; a macro's call is one
// record.
Result<TradeFile> readTradeFile(std::string_view text, std::string_view label, const std::string& name,
                                const SourceConstants& constants, const SourceCharmap& charmap, std::uint32_t recordSize = 0);

// Whether the file writes its names with `rawchar` (Polished Crystal's
// trees), whose charmap is kRawCharmap's rather than the main one.
bool writesRawNames(std::string_view text);

// The record a row should make from now on.
struct RowChange {
    std::size_t row = 0;
    std::vector<std::uint8_t> bytes;
};

// The file's text with the changed rows' arguments rewritten: only the
// characters of tokens whose bytes change, everything else kept (spaces
// after commas shortened or lengthened to keep columns aligned where they
// can be). A constant becomes the new value's first constant of the same
// file, a number keeps its radix, width and case, a name is written as
// the macro takes it. Refused where the new bytes cannot be written so:
// a byte the macro makes itself, an expression (but for `A | B` whose B
// alone changes, to another name of B's file), a name with "@" or
// characters the charmap lacks, padding other than dname's.
Result<std::string> rewriteTradeFile(std::string_view text, const TradeFile& file, std::span<const RowChange> changes,
                                     const std::string& name, const SourceConstants& constants, const SourceCharmap& charmap);

}  // namespace kestrane
