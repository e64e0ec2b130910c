// The releases Kestrane knows, recognised by the 4-byte game code of the
// cartridge header at 0x13F-0x142 (compared exactly and case-sensitively)
// or, in Red, Blue and Yellow, which have none, by the title at 0x134 and the
// header's destination and licensee bytes, and where each keeps its data:
// one row of one table per release.
#pragma once

#include <array>
#include <optional>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "text/charset.h"
#include "text/text_dialect.h"
#include "platform/gb/cartridge.h"
#include "platform/gb/checksums.h"
#include "trades/game_family.h"
#include "trades/record_layout.h"
#include "trades/routines.h"
#include "trades/slot.h"

namespace kestrane {

// The games Kestrane edits: "Pokémon Gold, Silver, Crystal, Red, Blue or Yellow" (last: "or"),
// "Pokémon Gold, Silver, Crystal, Red, Blue and Yellow".
std::string gamesText(std::string_view last);

// The slots the trade list always shows.
inline constexpr int kListedSlots = 7;

// One set of lines a trader speaks (the record's dialog set byte).
struct DialogSet {
    std::string_view key;      // "collector": what the command line and JSON take
    std::string_view label;    // "Collector"
    std::string_view opening;  // the line the trader opens with
};

// How a picture pointer's stored bank becomes the real one.
enum class PictureBanks {
    Crystal,     // stored + 0x36
    GoldSilver,  // 0x13 -> 0x1F, 0x14 -> 0x20, 0x1F -> 0x2E, any other as stored
    Real,        // as stored (the 16-bit species base)
};

// Where the pictures' pointers are, and how their banks are stored.
struct PictureTables {
    std::uint32_t pointers;       // 6 bytes a species, species 1 first
    std::uint32_t unownPointers;  // 6 bytes a letter
    PictureBanks banks;
};

// Where a trade happens: a place and its region.
enum class Region { Johto, Kanto };
struct Place {
    std::string_view name;  // "Violet City"
    Region region;
};

// Where a release keeps the words its trades show: what each trader says
// (a table of 2-byte pointers into bank 0x3F, entry (phase, set) at table +
// 2 x (phase x sets + set)) and where (the landmarks: 4 bytes an entry, x,
// y and a 2-byte pointer to the name in the table's bank).
struct TradeWords {
    CodePlace linesRoutine;    // the routine that reads the lines' table
    std::uint32_t linesTable;  // where the release keeps the lines' table
    int lineSets;              // dialog sets the table has
    // The RAM addresses of the names a trader's text fills in: the
    // requested species followed by ♂ or ♀ where the trade asks for a
    // gender, the offered species, the requested species alone.
    std::uint16_t requestedWithGender, offered, requested;
    std::uint32_t landmarks;
    std::array<std::uint8_t, kListedSlots> slotLandmarks;  // the landmark of each own trade's place
    std::array<std::string_view, 2> regionWords;           // "Johto", "Kanto", in the release's language
    std::uint8_t linesPointer = 0;  // which of the lines routine's pointers names the table
    // How the lines' table is laid out: a pointer a phase and set, phase by
    // phase, each to a text in bank 0x3F (Gold, Silver and Crystal); or a
    // pointer a set, to its five phases' pointers, all in the table's bank
    // (Red, Blue and Yellow).
    enum class Layout { ByPhase, BySet } linesLayout = Layout::ByPhase;
};

// How a release keeps its species' base data (gender ratios, picture sizes).
enum class BaseDataForm {
    Fixed,     // 251 entries of 32 bytes from `baseData`, species 1 first, byte 0 the species
    Indirect,  // the 16-bit species base's table at `baseData`: a word (entry size, and the
               // first ID in its top bit), then chunks (count, bank, address) up to a 0 count
};

// Where a release keeps its species' names: a fixed table, or the table
// that the routine which names a species reads (its `ld de, names - 10`
// pointer, the bank its `ld a, n` switches to).
struct SpeciesNamesTable {
    std::uint32_t at;       // the name of ID 1, where the release keeps it
    std::uint32_t length;   // bytes a name, padded with 0x50
    std::optional<CodePlace> routine;
};

// Where Red, Blue and Yellow keep what the second generation's rows name
// otherwise.
// The tables themselves are found through the code that reads them
// (first_generation_code.h).
struct FirstGenerationTables {
    int internalIndexes;             // 190
    std::uint32_t pokedexRoutine;    // IndexToPokedex, where the release keeps it
    // Kestrane's name of the map whose script calls each trade in the
    // release (by the trade's index), empty for one no script calls.
    std::array<std::string_view, 10> places;
};

struct Release {
    std::string_view code;      // "AAUE"
    std::string_view name;      // "Pokémon Gold" (UTF-8)
    Language language;
    // A variant's name without what sets it apart ("Pokémon Crystal").
    std::string_view nameInShort = {};
    std::string_view game;      // "Gold", "Silver", "Crystal"
    // The header's version bytes (0x14C) of the revisions this row edits;
    // empty: every one.
    std::span<const std::uint8_t> revisions;
    // A row reached only through its record layout, read from the game's
    // code: a base that hacks are built on, with the header of the release
    // it was made from (the 16-bit species base keeps Crystal's).
    bool variant = false;
    const RecordLayout& layout;
    const Charset& (*charset)();
    const TextDialect& (*dialect)();  // what its text engine does with bytes that are no characters
    CodePlace tableRoutine;      // the routine that reads the trade table
    std::uint32_t usualTable;    // the trade table's first record, where the release keeps it
    int ownRecords;             // the release's own trades
    SpeciesNamesTable speciesNames;
    std::uint32_t itemNames;    // item names, each ended by 0x50
    int itemCount;              // how many (0: as many as there are, one after another)
    std::uint32_t baseData;
    BaseDataForm baseDataForm;
    std::uint32_t palettes;     // 8 bytes a species, by species ID
    PictureTables pictures;
    std::array<Place, kListedSlots> places;  // by slot, for the release's own trades
    std::span<const DialogSet> dialogSets;   // by the record's dialog set byte
    TradeWords words;

    const GameFamily& (*family)();  // how its game counts its trades, reads its game data, draws its pictures
    SlotOrder slotOrder = SlotOrder::FirstTwoSwapped;
    const FirstGenerationTables* firstGeneration = nullptr;  // Red, Blue and Yellow

    // The name where room is short (the window's game name).
    std::string_view shortName() const { return nameInShort.empty() ? name : nameInShort; }
};

// The release of a code (and version byte), or nullptr when it is none
// Kestrane edits; never a variant.
const Release* findRelease(std::string_view gameCode, std::uint8_t version = 0);
// The rows a ROM of a release may be: the release itself first, then its
// variants (the record layouts hacks built on it use).
std::vector<const Release*> variantsOf(const Release& release);

// Sister releases keep their trades alike (the record layout, the
// character set, the game's own trades and its dialog sets): a trade table
// of one fits the other (Gold and Silver, Crystal and the Australian Crystal).
bool sisterReleases(const Release& a, const Release& b);

// "The table is from Pokémon Silver (AAXE), a sister release: its trades fit this ROM's."
std::string sisterNote(const Release& from);

// What sets the families apart, each asked of the release's family.
inline bool holdsCheck(const Release& release, Check check) { return release.family().holdsCheck(check); }
inline bool countsItsTrades(const Release& release) { return release.family().countsItsTrades(); }
inline bool holdsItems(const Release& release) { return release.family().holdsItems(); }

// Every release Kestrane edits, in the table's order.
std::span<const Release> releases();

struct RomIdentity {
    // The four header bytes, one char per byte; in Red, Blue and Yellow the
    // title ("POKEMON RED"), which serves as their code.
    std::string gameCode;
    const Release* release = nullptr; // nullptr: unsupported
    std::optional<std::int64_t> headerSize;  // what the header's ROM size byte says, if anything
    std::uint8_t version = 0;                // the header's version byte
    std::uint8_t destination = 1;            // the header's destination byte
    // Whether the file begins a cartridge header: the logo the console
    // checks before it starts any game, at 0x104.
    bool cartridgeHeader = true;
};

// Reads the game code of a file the caller has open; path only names it in
// messages. A file that ends before the game code is an error; a file with
// any other code is a RomIdentity without a release.
Result<RomIdentity> identifyRom(File& file, const std::string& path);
// The same by path: opens, reads the code, closes.
Result<RomIdentity> identifyRom(const std::string& path, FileSystem& fs = nativeFileSystem());


// The refusal of a file that holds no cartridge header (a text, a symbol
// file, a picture): no game at all, not one Kestrane does not know.
Error notAGameBoyRom(const std::string& path);
// What the user is told about a file whose release Kestrane does not edit
// (the message: the release where it is known, else "Unsupported ROM."),
// and what the command line adds (the detail: the code, what is edited).
Error unsupportedRom(std::string_view gameCode, std::uint8_t version = 0, std::uint8_t destination = 1);

}  // namespace kestrane
