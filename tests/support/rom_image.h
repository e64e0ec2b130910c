// Synthetic ROM images for tests: random filler of the real size, a chosen
// game code in the header, trade tables and the routine that reads them
// placed where a test wants them. "Retail-like" images hold the games' own
// trades, built from the facts in the games' public disassemblies. No
// image holds anything copied from a real ROM.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kRomSize = 2 * 1024 * 1024;
inline constexpr std::uint32_t kCrystalTable = 0xFCE58;
inline constexpr std::uint32_t kGoldSilverTable = 0xFCC24;
inline constexpr std::uint32_t kCrystalRoutine = 0xFCDC2;
inline constexpr std::uint32_t kGoldSilverRoutine = 0xFCB8E;

// Game text of plain letters, digits and blanks (0x7F), written out by hand
// here so that tests do not check the codec against itself: "AB" -> 80 81,
// then 0x50 up to the field's 11 bytes, as the games pad their names.
std::array<std::uint8_t, 11> nameField(std::string_view text);

// One trade record's fields; the default is a made-up trade: Abra asked,
// Onix offered, "ROCKY" from "KYLE", ID 4660.
struct TradeBytes {
    std::uint8_t dialog = 0;
    std::uint8_t requested = 63;
    std::uint8_t offered = 95;
    std::array<std::uint8_t, 11> nickname = nameField("ROCKY");
    std::uint8_t dvs[2] = {0x96, 0x66};
    std::uint8_t item = 0x53;
    std::uint16_t id = 4660;
    std::array<std::uint8_t, 11> trainer = nameField("KYLE");
    std::uint8_t gender = 0;
};

// The retail trades in table order (record 0 first); the Japanese
// releases' with made-up kana names.
std::vector<TradeBytes> retailTrades(std::string_view gameCode);

// The usual table place, the retail routine's place and the record size of
// a game code.
std::uint32_t usualTable(std::string_view gameCode);
std::uint32_t retailRoutine(std::string_view gameCode);
std::uint32_t recordSizeOf(std::string_view gameCode);
// The file offset of a slot's record in a table at `table`.
std::uint32_t slotOffset(std::uint32_t table, int slot, std::uint32_t recordSize = 32);

// 2 MiB of random bytes (fixed by seed) with gameCode at 0x13F, the
// header's ROM size byte (0x148) saying 2 MiB and its version byte (0x14C) 0.
// No table.
Bytes randomImage(std::string_view gameCode, std::uint32_t seed = 1);
// Writes a whole record at `offset`, its first byte: 32 bytes, or the
// Japanese releases' 16 (their names are the first 4 and 3 bytes).
void putRecord(Bytes& rom, std::uint32_t offset, const TradeBytes& trade, std::uint32_t recordSize = 32);
// Writes records one after another from `offset`.
void putTable(Bytes& rom, std::uint32_t offset, const std::vector<TradeBytes>& trades, std::uint32_t recordSize = 32);
// Writes the routine that reads the table at `at`, pointing to `table`
// (an address in the routine's own bank), for records of that size.
void putRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t recordSize = 32);
// A jump (jp, C3 lo hi) at `at` to `target`, in the same bank.
void putJump(Bytes& rom, std::uint32_t at, std::uint32_t target);

// The item names as the game holds them (Crystal from 0x1C8000, Gold/Silver
// from 0x1B0000), and base data with Pokédex numbers 1-251 and the gender
// ratios of testGenderRatio (Crystal 0x51424, Gold/Silver 0x51B0B).
void putItemNames(Bytes& rom, std::string_view gameCode);
// The species names as the English games spell them ("BULBASAUR",
// "NIDORAN♀", "MR.MIME"), 10 bytes each padded with 0x50 (Crystal from
// 0x53384, Gold/Silver from 0x1B0B74); one of them renamed, as a hack does
// (letters, digits and blanks).
void putSpeciesNames(Bytes& rom, std::string_view gameCode);
void renameSpecies(Bytes& rom, std::string_view gameCode, int species, std::string_view name);
void putBaseData(Bytes& rom, std::string_view gameCode);
// Pictures, as the games keep them (see src/trades/pictures.h for the
// format): `stream` is compressed data, placed at file offset `at` (which
// must lie in a bank the picture pointers can name) and pointed to from the
// species' entry (or, for Unown, the letter's); the base data's size byte and
// the palettes are written too. Base data must be in place (putBaseData).
void putPicture(Bytes& rom, std::string_view gameCode, int species, std::uint32_t at, const Bytes& stream,
                std::uint8_t size, char unownLetter = 0);
// Four colours, RGB555: normal light, normal dark, shiny light, shiny dark.
void putPalette(Bytes& rom, std::string_view gameCode, int species, const std::array<std::uint16_t, 4>& colours);
// Raw bytes as a stream of plain copies (command 0), ended by 0xFF.
Bytes literalStream(const Bytes& raw);
// A made-up picture of `size` (tiles) for every species, each different,
// with made-up colours: what a window shows.
void putPictures(Bytes& rom, std::string_view gameCode);

// A made-up gender ratio per species, covering every kind of ratio; Chansey,
// Tauros and Magnemite as the games have them.
std::uint8_t testGenderRatio(int species);

// Makes the header checksum, the global checksum and (with stadium) the Stadium data consistent,
// step by step as the games' build does: written here independently of
// Kestrane's own code, so that tests compare the two.
void buildChecksums(Bytes& rom, bool stadium = true);

// What the traders say, as the games keep it (see src/trades/game_words.h):
// the lines' table of pointers into bank 0x3F at the release's place, the
// routine that reads it at its own place, and the texts (outside Japan a
// far pointer in bank 0x3F to the text in bank 0x6F or 0x64; in Japan the
// text itself, in bank 0x3F). Set 0's intro asks for the requested species
// with its gender sign and offers the offered one:
//   English  "I COLLECT POKéMON.\nDO YOU HAVE\n<requested♂>?\n\nWANT TO TRADE IT\nFOR MY <offered>?"
//   Japanese "アが⋯⋯\nイ<requested♂>？"
// every other text is "SET s PHASE p" ("ア" s "イ" p in Japanese).
void putTraderLines(Bytes& rom, std::string_view gameCode);
// The same with the routine and its table elsewhere (a base that moved them).
void putTraderLinesAt(Bytes& rom, std::string_view gameCode, std::uint32_t routine, std::uint32_t table);
// Where the routine reading the lines stands in a release, and its table.
std::uint32_t linesRoutineOf(std::string_view gameCode);
std::uint32_t linesTableOf(std::string_view gameCode);
// Puts the routine that reads the lines at `at`, pointing to `table` (both in bank 0x3F).
void putLinesRoutine(Bytes& rom, std::string_view gameCode, std::uint32_t at, std::uint32_t table);
// The landmarks' table, the trade slots' places named by the given game
// text (ended by 0x50), every other landmark "PLACE".
void putLandmarks(Bytes& rom, std::string_view gameCode, const std::vector<Bytes>& slotNames);
void putLandmarksAt(Bytes& rom, std::string_view gameCode, std::uint32_t landmarks, const std::vector<Bytes>& slotNames);
// A species name as the English games spell it, from the editor's list
// entry (species 1-251; ♀ and ♂ as the games' bytes 0xF5 and 0xEF).
std::string gameSpelling(int species);
// Game text by hand: capital letters, digits, blanks (0x7F) and . ? ' - #
// (POKé); `terminated` adds 0x50.
Bytes gameText(std::string_view text, bool terminated = true);

// A retail-like image: random filler, the game code, the game's own trades
// at the usual place, the routine at its retail place, the species and item
// names and the base data, the traders' lines and the places (as the
// English games spell them; in Japanese made-up kana: slot n's 0x80+n-1, 0x81).
Bytes retailLikeRom(std::string_view gameCode, std::uint32_t seed = 1);

// The 16-bit species base (pokecrystal16, Crystal 1.0's header) from the
// facts of its build: GetTradeAttr at 0xFCDFC with its callers (ld e, N;
// call; the species read as words) reading the table at 0xFCE8D in the
// 32-byte layout with word species (+1, +3), the nickname at +5, DVs +16,
// item +18, ID +19, a 7-character trainer's name at +21, gender +29, two
// zeros; GetPokemonName at 0x3318 naming species through the names at
// 0x53274 (bank 0x14), the base data's indirect table at 0x512E5, picture
// pointers from 0x120012 (real banks), palettes from 0xA8E3, the traders'
// lines through PrintTradeText at 0xFCF6D, the landmarks at 0x1CA883.
// `items16`: its fork that widens items (GetTradeAttr 0xFCE01, table
// 0xFCE92, item a word at +18, ID +20, trainer +22, gender +30, one zero;
// names 0x53459, base data 0x512D4, item names of 16-bit items in order,
// GOLD BERRY 0x008F, landmarks 0x1CA6DF). `species`: the species of its
// base data (251 as built; more add made-up ones).
struct Trade16 {
    std::uint8_t dialog = 0;
    std::uint16_t requested = 63, offered = 95;
    std::array<std::uint8_t, 11> nickname = nameField("ROCKY");
    std::uint8_t dvs[2] = {0x96, 0x66};
    std::uint16_t item = 0x53;
    std::uint16_t id = 4660;
    std::array<std::uint8_t, 11> trainer = nameField("KYLE");  // its first 7 characters and the terminator
    std::uint8_t gender = 0;
};
std::vector<Trade16> retailTrades16();
// The record's 32 bytes in the base's layout (or its fork's).
Bytes record16(const Trade16& trade, bool items16);
void putTable16(Bytes& rom, std::uint32_t at, const std::vector<Trade16>& trades, bool items16);
// GetTradeAttr at `at`, reading the table at `table`, and its nine callers in its bank.
void putRoutine16(Bytes& rom, std::uint32_t at, std::uint32_t table, bool items16);
Bytes species16Rom(bool items16 = false, int species = 251, std::uint32_t seed = 1);
inline constexpr std::uint32_t kSpecies16Table = 0xFCE8D, kItems16Table = 0xFCE92;
inline constexpr std::uint32_t kSpecies16Routine = 0xFCDFC, kItems16Routine = 0xFCE01;

// A folder of its own for one test, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder, and a file in it (not created), as UTF-8 paths.
    std::string folder() const;
    std::string file(const std::string& name) const;
    // Writes bytes to a file of that name in the folder and gives its path
    // (UTF-8, as the core takes paths).
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path path_;
};

Bytes readFile(const std::string& path);
// Makes the file a sparse one far larger than anything a program could read
// into memory: 64 GiB, or half the disk's free room where that is less
// (Wine refuses to grow a file past the free room, sparse or not).
void growPastAnyRead(const std::string& path);

// Paths as the core takes them (UTF-8), and back: the same bytes on POSIX,
// the conversion that keeps "é" on Windows.
std::string utf8(const std::filesystem::path& path);
std::filesystem::path fsPath(const std::string& utf8Path);

// Offsets at which two images differ; a length difference counts from the shorter end.
std::vector<std::size_t> differences(const Bytes& a, const Bytes& b);

}  // namespace kestrane::testing
