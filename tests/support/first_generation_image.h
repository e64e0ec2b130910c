// Red, Blue and Yellow images, built from the facts of their builds: the
// header, DoInGameTradeDialogue at its place pointing to the ten trades and
// to the traders' texts, the maps' scripts that start the trades, the
// species' names, Pokédex order and base stats, and the trades' species'
// front pictures, compressed by the tests' own encoder; and the code that
// reads those tables (GetMonName, GetMonHeader, UncompressMonSprite,
// IndexToPokedex, the two routines that name the trainer), written as the
// disassemblies assemble it. Every other byte is random.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/rom_image.h"

namespace kestrane::testing {

inline constexpr std::uint32_t kRedBlueTable = 0x71B7B, kYellowTable = 0x71C1D;
inline constexpr std::uint32_t kRedBlueTrades = 0x71AD9, kYellowTrades = 0x71B86;

// A record: the species as internal indexes.
struct Trade14 {
    std::uint8_t requested = 0x54, offered = 0x54;  // Pikachu
    std::uint8_t dialog = 0;
    std::array<std::uint8_t, 11> nickname = nameField("SPARKY");
};
// The retail trades, 0 to 9 ("POKEMON RED", "POKEMON BLUE", "POKEMON YELLOW").
std::vector<Trade14> retailTrades14(std::string_view title);
Bytes record14(const Trade14& trade);
void putTable14(Bytes& rom, std::uint32_t at, const std::vector<Trade14>& trades);
// DoInGameTradeDialogue of the title's form at `at`, reading the table at `table`, the texts' pointers at `texts`.
void putTradesRoutine(Bytes& rom, std::string_view title, std::uint32_t at, std::uint32_t table, std::uint32_t texts);
// A map's script starting trade `trade` (xor a for 0), with the predef's call.
void putTradeScript(Bytes& rom, std::uint32_t at, int trade);
// The Cinnabar Lab trade room's two traders: the first stores its trade
// and jumps (jr) to the second's predef, which follows its own store.
void putJumpingTradeScripts(Bytes& rom, std::uint32_t at, int first, int second);
// The trades the release's scripts start one by one, where the test image
// puts them (a script 16 bytes on from the last); the trade room's two
// (7 and 8) follow at kCinnabarTradeRoomScripts.
std::vector<int> retailScriptTrades(std::string_view title);
inline constexpr std::uint32_t kScriptsAt = 0x48100, kCinnabarTradeRoomScripts = 0x48200;

// The code that reads the species' tables, in its two forms (Red and
// Blue's bank switch, or Yellow's call); Red and Blue's GetMonHeader reads
// Mew's base stats apart.
inline constexpr std::uint32_t kGetMonHeaderAt = 0x1537, kUncompressMonSpriteAt = 0x1627, kGetMonNameAt = 0x2F9E;
void putGetMonName(Bytes& rom, std::uint32_t at, bool yellowForm, std::uint32_t names, std::uint8_t length);
void putGetMonHeader(Bytes& rom, std::uint32_t at, bool yellowForm, std::uint32_t baseStats, std::optional<std::uint32_t> mew);
struct PictureBankCase {
    bool below;  // species < value; else species == value
    std::uint8_t value, bank;
};
void putUncompressMonSprite(Bytes& rom, std::uint32_t at, const std::vector<PictureBankCase>& cases, std::uint8_t otherwise);
std::vector<PictureBankCase> retailPictureBanks(std::string_view title);
void putIndexToPokedex(Bytes& rom, std::uint32_t at, std::uint32_t order);
// InGameTrade_PrepareTradeData naming `trainer`, InGameTrade_CopyDataToReceivedMon `received`.
void putTrainerRoutines(Bytes& rom, std::uint32_t prepareAt, std::uint32_t copyAt, std::uint32_t trainer, std::uint32_t received,
                        std::uint8_t nameLength = 0x0B);
// Japanese Red and Green's GetMonName: one add a byte of the name.
void putJapaneseGetMonName(Bytes& rom, std::uint32_t at, std::uint32_t names);

// The internal index of a Pokédex number, and back (0: no creature).
std::uint8_t internalIndexOf(int number);
int pokedexNumberOf(std::uint8_t internal);

// A whole retail-like image: 1 MiB, its checksums consistent.
Bytes firstGenerationRom(std::string_view title, std::uint32_t seed = 1);
// The front picture the image holds for a Pokédex number: width, height in
// tiles and its shades, row by row.
struct TestPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> shades;
};
TestPicture testPicture(int number);
// The first generation's compression of a picture (mode 0: both planes
// delta-coded), as the tests' own encoder writes it.
Bytes compressFirstGenerationPicture(const TestPicture& picture);

// "Line s p " — what each trader's text in the image prints before the names.
inline constexpr std::string_view kTestLineWords = "LINE";

// Japanese Red and Green ("POKEMON RED", "POKEMON GREEN"), as their builds
// lay them out: 512 KiB, DoInGameTradeDialogue's form that multiplies by 8
// at its place, the records of 8 bytes, 5-byte kana names, the texts inline.
inline constexpr std::uint32_t kJapaneseTable = 0x72043, kJapaneseTrades = 0x71F9D, kJapaneseTexts = 0x721DE;
inline constexpr std::uint32_t kJapaneseNames = 0x39068, kJapaneseOrder = 0x4279A, kJapaneseBaseStats = 0x38000;
struct Trade8 {
    std::uint8_t requested = 0x54, offered = 0x54;
    std::uint8_t dialog = 0;
    std::array<std::uint8_t, 5> nickname{};  // padded with 0x50, none when full
};
std::vector<Trade8> retailTrades8();
void putTable8(Bytes& rom, std::uint32_t at, const std::vector<Trade8>& trades);
void putJapaneseTradesRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t texts);
Bytes japaneseFirstGenerationRom(std::string_view title, std::uint8_t version = 0, std::uint32_t seed = 1);
// A species' name in the Japanese image: its Pokédex number's digits as kana
// (1 ア … 9 ケ, 0 コ); the slots with no creature けつばん.
std::u16string japaneseTestName(int number);
// "せりふ s p " before the names in the Japanese image's texts.
inline constexpr std::u16string_view kJapaneseTestLineWords = u"\u305b\u308a\u3075";

}  // namespace kestrane::testing
