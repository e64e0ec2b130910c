// What the Game Boy families' rows name beside what every release row
// names: where a release keeps its species' names, its items, its base
// data and its traders' lines. Each family's rows derive from this one,
// and the shared readers read through it.
#pragma once

#include <cstdint>
#include <optional>

#include "families/gameboy/routines.h"
#include "trades/releases.h"

namespace kestrane {

// Where a release keeps its species' names: a fixed table, or the table
// that the routine which names a species reads (its `ld de, names - 10`
// pointer, the bank its `ld a, n` switches to).
struct SpeciesNamesTable {
    std::uint32_t at;       // the name of ID 1, where the release keeps it
    std::uint32_t length;   // bytes a name, padded with the terminator
    std::optional<CodePlace> routine;
    // Where the routine's own `ld a, n` after its sum names the bank (its
    // byte n in the routine's form); none: the last one before the routine.
    std::optional<std::uint8_t> bankInRoutine = std::nullopt;
};

// How a release keeps its species' base data (gender ratios, picture sizes).
enum class BaseDataForm {
    Fixed,     // 251 entries of 32 bytes from `baseData`, species 1 first, byte 0 the species
    None,      // not read (a base keeping it in a form of its own): `speciesCount` species
    Indirect,  // the 16-bit species base's table at `baseData`: a word (entry size, and the
               // first ID in its top bit), then chunks (count, bank, address) up to a 0 count
};

// The routine that reads a release's Huffman code, and where in it the
// tree's address is split: its low byte's place, its high byte's.
struct PackedCodeForm {
    const RoutinePattern* routine;
    std::uint8_t treeLow, treeHigh;
};

// Where a release keeps what each trader says: a table of 2-byte pointers,
// found through the routine that reads it.
struct TradeLines {
    CodePlace routine;         // the routine that reads the lines' table
    std::uint32_t table;       // where the release keeps the lines' table
    int sets;                  // dialog sets the table has
    // The RAM addresses of the names a trader's text fills in: the
    // requested species followed by ♂ or ♀ where the trade asks for a
    // gender, the offered species, the requested species alone.
    std::uint16_t requestedWithGender, offered, requested;
    std::uint8_t pointer = 0;  // which of the routine's pointers names the table
    // How the table is laid out: a pointer a phase and set, phase by
    // phase, each to a text in bank 0x3F (Gold, Silver and Crystal: entry
    // (phase, set) at table + 2 x (phase x sets + set)); or a pointer a
    // set, to its five phases' pointers, all in the table's bank (Red, Blue
    // and Yellow).
    // Or (Polished Crystal) a pointer a phase and set, phase by phase, each
    // to a text in the table's bank (a far text, in its engine's form).
    enum class Layout { ByPhase, BySet, FarTexts } layout = Layout::ByPhase;
    // Where the names are not fixed: which of the routine's pointers names
    // the code that copies them for the texts (text_reader.h), -1 for none.
    int namesPointer = -1;
    // The routine that reads the Huffman code of the release's packed runs
    // (in bank 0, with the code's tree); none where texts hold no such run.
    const PackedCodeForm* packedCode = nullptr;
};

struct GameBoyTables {
    CodePlace tableRoutine;     // the routine that reads the trade table
    SpeciesNamesTable speciesNames;
    std::uint32_t itemNames;    // item names, each ended by the terminator
    int itemCount;              // how many (0: as many as there are, one after another)
    // Where the item names are found through the code instead: GetName (in
    // bank 0), its form counting the list's names from 1, its other form
    // from 0, and the item list's entry in the lists' table it reads.
    CodePlace itemNamesRoutine = {nullptr, 0};
    std::uint8_t itemNamesEntry = 0;
    std::uint32_t baseData;
    BaseDataForm baseDataForm;
    TradeLines lines;
    int speciesCount = 0;       // the species a release whose base data is not read names
};

struct GameBoyRow : Release {
    GameBoyTables tables;
};

// The Game Boy row a release is. Precondition: the release is a row of a
// Game Boy family (every release its family is asked about is one of its rows).
inline const GameBoyRow& gameBoyRow(const Release& release) { return static_cast<const GameBoyRow&>(release); }

}  // namespace kestrane
