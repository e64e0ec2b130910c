// Synthetic Game Boy Advance images for tests: the cartridge header of a
// release, GetInGameTradeSpeciesInfo and the two functions after it with
// their literal pools, and a table of 60-byte trade records, placed where a
// test wants them in 16 or 32 MiB of random bytes. Built from the facts of
// the games' public disassemblies; nothing copied from a real ROM.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/rom_image.h"

namespace kestrane::testing {

inline constexpr std::size_t kGbaRomSize = 16 << 20, kGbaLargestSize = 32 << 20;
inline constexpr std::uint32_t kEmeraldTable = 0x338ED0, kEmeraldSpeciesInfo = 0x7E73C;
inline constexpr std::uint32_t kEmeraldNames = 0x3185C8, kEmeraldPokedex = 0x31DC82;
inline constexpr std::uint32_t kEmeraldGenderRoutine = 0x6A020, kEmeraldBaseData = 0x3203CC;
inline constexpr std::uint32_t kEmeraldItemName = 0x1B0C8, kEmeraldItems = 0x5839A0;
inline constexpr std::uint32_t kEmeraldAbilityName = 0x14F0C0, kEmeraldAbilityNames = 0x31B6DB;
inline constexpr std::uint32_t kEmeraldMapHeaderRoutine = 0x84A90, kEmeraldMapGroups = 0x486578;
inline constexpr std::uint32_t kEmeraldMapName = 0x12456C, kEmeraldMapNames = 0x5A147C;
// The sections of Emerald's traders' maps: Rustboro City, Fortree City, Pacifidlog Town, Battle Frontier.
inline constexpr std::uint8_t kEmeraldTradeSections[] = {10, 11, 6, 58};

// A record's fields; the default a made-up trade.
struct Trade60 {
    std::string nickname = "ROCKY";  // capitals and digits
    std::uint16_t species = 95;
    std::array<std::uint8_t, 6> ivs = {31, 20, 21, 22, 23, 24};  // HP, Atk, Def, Spe, SpA, SpD
    std::uint8_t ability = 0;
    std::uint32_t otId = 0x0001'1234;  // secret ID high, trainer ID low
    std::array<std::uint8_t, 5> contest = {5, 5, 5, 5, 30};
    std::uint32_t personality = 0x0000'0084;
    std::uint16_t item = 0;
    std::uint8_t mail = 0xFF;
    std::string trainer = "KYLE";
    std::uint8_t otGender = 0;
    std::uint8_t sheen = 10;
    std::uint16_t requested = 63;
};
Bytes record60(const Trade60& trade);

// Random bytes of `size` with the release's header (code, version, a consistent complement).
Bytes gbaImage(std::string_view title, std::string_view code, std::uint8_t version, std::size_t size = kGbaRomSize,
               std::uint32_t seed = 1);
// GetInGameTradeSpeciesInfo at `at`, BufferInGameTradeMonName after it and
// CreateInGameTradePokemonInternal after that, their pools naming `table`
// (one of them `otherTable` where given: a hack that changed only some).
void putSpeciesInfoRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t names,
                           std::optional<std::uint32_t> otherTable = std::nullopt);
void putTable60(Bytes& rom, std::uint32_t at, const std::vector<Trade60>& trades);
// The trade scene's strings function's part that reads the table, at `at`
// (a multiple of 4), its pool naming `table`.
inline constexpr std::uint32_t kEmeraldSceneStrings = 0x7BB68;
void putTradeSceneStrings(Bytes& rom, std::uint32_t at, std::uint32_t table);
// The species names (entries 0-411 of 11 bytes; ONIX, ABRA, SEEDOT by
// their indexes, "S" and the index for the rest) and the internal-to-Pokédex
// table (Hoenn's 277-411 as 252-386 in order: Seedot 298 is 273).
void putSpeciesNames(Bytes& rom, std::uint32_t at);
void putPokedexTable(Bytes& rom, std::uint32_t at);
// SpeciesToNationalPokedexNum at `at` (a multiple of 4) reading `table`, and
// its twin SpeciesToHoennPokedexNum after it, reading `hoennTable`.
inline constexpr std::uint32_t kEmeraldPokedexRoutine = 0x6D4A4;
void putPokedexRoutines(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t hoennTable);
// GetGenderFromSpeciesAndPersonality at `at` (a multiple of 4), its pool
// naming `baseData`; base data there for species 0-411: every ratio 127
// (half female) but Onix's (95: 0, always male) and Chansey's (113: 254),
// abilities 1 and 2, Onix's Sturdy (5) alone.
void putGenderRoutine(Bytes& rom, std::uint32_t at, std::uint32_t baseData);
void putBaseData(Bytes& rom, std::uint32_t at);
// ItemId_GetName at `at` (a multiple of 4), its pool naming `items`; 377
// items there of 44 bytes (1 MASTER BALL, 121 ORANGE MAIL, "I" and the number for the rest).
void putItemNameRoutine(Bytes& rom, std::uint32_t at, std::uint32_t items);
void putItems(Bytes& rom, std::uint32_t at);
// A trader's script at `at`: setvar 0x8008, trade, then the species read
// (copyvar 0x8004, 0x8008; specialvar 0x800D, special) inline, or where
// `called` is given, a call of it there (written there too).
void putTradeScript(Bytes& rom, std::uint32_t at, int trade, std::uint16_t special,
                    std::optional<std::uint32_t> called = std::nullopt);
// BufferStringBattle's ability name at `at` (a multiple of 4), its pool
// naming `names`; 78 names there of 13 bytes (5 STURDY, 26 LEVITATE, "A" and the number for the rest).
void putAbilityNames(Bytes& rom, std::uint32_t at, std::uint32_t names);
// Overworld_GetMapHeaderByGroupAndId at `at` (a multiple of 4), its pool
// naming the map groups at `groups`.
void putMapHeaderRoutine(Bytes& rom, std::uint32_t at, std::uint32_t groups);
// One group of maps at `groups`, laid out from `at`: each map's header (its
// section), its events and two object events, the second starting the
// script at `script` (its lock two bytes before).
void putMaps(Bytes& rom, std::uint32_t groups, std::uint32_t at, const std::vector<std::pair<std::uint32_t, std::uint8_t>>& maps);
// GetMapName in Emerald's form (8-byte entries, the name at +4) or FireRed's
// (pointers from section 0x58) at `routine` (a multiple of 4), its table at
// `table`, the names (by section; FireRed's from 0x58) after it.
enum class MapNameForm { Emerald, Kanto };
void putMapNames(Bytes& rom, MapNameForm form, std::uint32_t routine, std::uint32_t table, const std::vector<std::string>& names);
// LZ77 as the BIOS reads it: literals, and where a byte repeats the one
// before it three or more times, a copy from one byte back (which overlaps
// what it writes) — both kinds a decoder must take.
Bytes lz77(const Bytes& data);
// A front picture's sheet, palette and shiny palette for table index
// `index`, compressed at `dataAt` on, their entries in the tables at
// `fronts`, `palettes` and `shiny`.
void putFrontPicture(Bytes& rom, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny, std::uint32_t index,
                     const Bytes& sheet, const Bytes& palette, const Bytes& shinyPalette, std::uint32_t dataAt);
// A sheet of two 64 x 64 frames, the first's pixel (x + y) % 16, the second's its reverse.
Bytes pictureSheet();
// 16 colours as BGR555, colour c's channels (c + shift) & 31, 2c and 31 - c.
Bytes pictureColours(int shift);
// Picture tables holding the sheet and colours above (the shiny ones
// shifted by 7) at each table index given; Emerald's, named by the header's pointers.
inline constexpr std::uint32_t kEmeraldFronts = 0x30A18C, kEmeraldPalettes = 0x303678, kEmeraldShinyPalettes = 0x304438;
void putPictures(Bytes& rom, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny, const std::vector<std::uint32_t>& indexes);
void putEmeraldPictures(Bytes& rom, const std::vector<std::uint32_t>& indexes);
// Ruby and Sapphire's code that reads the tables (DecompressPicFromTable_2,
// then the sprite palette by IDs and personality), from `at` on.
void putPictureRoutines(Bytes& rom, std::uint32_t at, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny);
// Another release's header over the image (its complement made again).
void retitle(Bytes& rom, std::string_view title, std::string_view code, std::uint8_t version);
// Emerald: the trade routine, the names, the Pokédex table, the base data,
// the items, the trades and three rows of mail after them (row r's words
// 0x0A00 + 16r + w), their four traders' scripts and maps, and the map
// sections' names at their places; in
// 8 MiB by default, where every one of them lies (a test that saves it
// often writes half as much).
inline constexpr std::size_t kTrimmedGbaSize = 8 << 20;
Bytes emeraldImage(const std::vector<Trade60>& trades, std::size_t size = kTrimmedGbaSize);

}  // namespace kestrane::testing
