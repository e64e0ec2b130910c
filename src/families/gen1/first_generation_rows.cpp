#include "families/gen1/first_generation_rows.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"

#include "families/gameboy/routines.h"
#include "families/gen1/first_generation_layouts.h"

namespace kestrane {
namespace {

// The trades' dialog sets, as the games open them.
constexpr DialogSet kDialogs[] = {
    {"casual", "Casual", "I'm looking for \u2026! Wanna trade one for \u2026?"},
    {"evolution", "Evolution", "Hello there! Do you want to trade your \u2026 for \u2026?"},
    {"happy", "Happy", "Hi! Do you have \u2026? Want to trade it for \u2026?"},
};
// The maps whose scripts call each trade (Kestrane's names: the games have none for these maps).
constexpr std::string_view kRoute11Gate = "Route 11 Gate 2F", kRoute2House = "Route 2 Trade House",
                           kFossilRoom = "Cinnabar Lab Fossil Room", kTradeRoom = "Cinnabar Lab Trade Room",
                           kRoute18Gate = "Route 18 Gate 2F", kUnderground = "Underground Path (Route 5)";
// IndexToPokedex lies just before PokedexOrder (0x41024, 0x410B1), which it reads.
constexpr FirstGenerationTables kRedBlueTables{
    .internalIndexes = 190, .pokedexRoutine = 0x41010,
    .places = {kRoute11Gate, kRoute2House, {}, kFossilRoom, "Vermilion Trade House", kRoute18Gate, "Cerulean Trade House",
               kTradeRoom, kTradeRoom, kUnderground}};
constexpr FirstGenerationTables kYellowTables{
    .internalIndexes = 190, .pokedexRoutine = 0x4109D,
    .places = {kRoute11Gate, kRoute2House, {}, kFossilRoom, {}, kRoute18Gate, {}, kTradeRoom, kTradeRoom, kUnderground}};
// The names the texts fill in: the requested species (wInGameTradeGiveMonName), the offered one.
constexpr TradeLines kLines(CodePlace routine, std::uint32_t textPointers) {
    return TradeLines{.routine = routine, .table = textPointers, .sets = 3, .requestedWithGender = 0xCD13, .offered = 0xCD1E,
                      .requested = 0xCD13, .pointer = 1, .layout = TradeLines::Layout::BySet};
}
constexpr std::uint8_t kFirstRevision[] = {0};

using Row = FirstGenerationRow;

// Red and Blue's routine and Yellow's stand for each other: a hack may put either at its place.
constexpr CodePlace kRedBlueTradesAt{&routines::kRedBlueTradesRoutine, 0x71AD9, &routines::kYellowTradesRoutine};
constexpr CodePlace kYellowTradesAt{&routines::kYellowTradesRoutine, 0x71B86, &routines::kRedBlueTradesRoutine};

// Offsets from the games' public sources, which rebuild each of these
// releases exactly.
constexpr Row kRed = {
    {{.code = "POKEMON RED", .name = "Pok\u00e9mon Red", .language = Language::English, .game = "Red",
      .revisions = kFirstRevision, .layout = kRecordOf14Bytes, .charset = &englishGen1Charset, .dialect = &firstGenerationDialect,
      .usualTable = 0x71B7B, .ownRecords = 10, .dialogSets = kDialogs,
      .family = &firstGenerationFamily, .slotOrder = SlotOrder::TableOrder},
     {.tableRoutine = kRedBlueTradesAt, .speciesNames = {0x1C21E, 10, std::nullopt}, .itemNames = 0, .itemCount = 0, .baseData = 0x383DE,
      .baseDataForm = BaseDataForm::Fixed, .lines = kLines(kRedBlueTradesAt, 0x71D64)}},
    kRedBlueTables};
constexpr Row kBlue = [] {
    Row blue = kRed;
    blue.code = "POKEMON BLUE";
    blue.name = "Pok\u00e9mon Blue";
    blue.game = "Blue";
    return blue;
}();
constexpr Row kYellow = [] {
    Row yellow = kRed;
    yellow.code = "POKEMON YELLOW";
    yellow.name = "Pok\u00e9mon Yellow";
    yellow.game = "Yellow";
    yellow.tables.tableRoutine = kYellowTradesAt;
    yellow.usualTable = 0x71C1D;
    yellow.tables.speciesNames.at = 0xE8000;
    yellow.tables.lines = kLines(kYellowTradesAt, 0x71E38);
    yellow.first = kYellowTables;
    return yellow;
}();

// Japanese Red and Green (1.0 and 1.1 alike here): the records of 8 bytes,
// the kana, the texts beside the code that prints them.
constexpr std::uint8_t kBothRevisions[] = {0, 1};
constexpr DialogSet kJapaneseDialogs[] = {
    {"casual", "Casual", "\u304a\u308c\u3000\u2026\u3000\u3055\u304c\u3057\u3066\u308b\u3093\u3060\uff01"},
    {"polite", "Polite", "\u3053\u308c\u3053\u308c\u3000\u304d\u307f\u3000\u2026\u3000\u3082\u3063\u3068\u308b\uff1f"},
    {"happy", "Happy", "\u306d\u30fc\u3000\u304d\u307f\u3000\u2026\u3000\u3082\u3063\u3066\u308b\uff1f"},
};
constexpr CodePlace kJapaneseTradesAt{&routines::kJapaneseTradesRoutine, 0x71F9D, nullptr};
// IndexToPokedex lies just before PokedexOrder (0x4279A), which it reads.
constexpr FirstGenerationTables kJapaneseTables{
    .internalIndexes = 190, .pokedexRoutine = 0x42786, .places = kRedBlueTables.places};
constexpr Row kJapaneseRed = {
    {{.code = "POKEMON RED", .name = "Pok\u00e9mon Red", .language = Language::Japanese, .game = "Red",
      .revisions = kBothRevisions, .layout = kRecordOf8Bytes, .charset = &japaneseGen1Charset,
      .dialect = &japaneseFirstGenerationDialect, .usualTable = 0x72043, .ownRecords = 10, .dialogSets = kJapaneseDialogs,
      .family = &firstGenerationFamily, .slotOrder = SlotOrder::TableOrder},
     {.tableRoutine = kJapaneseTradesAt, .speciesNames = {0x39068, 5, std::nullopt}, .itemNames = 0, .itemCount = 0,
      .baseData = 0x38000, .baseDataForm = BaseDataForm::Fixed,
      .lines = TradeLines{.routine = kJapaneseTradesAt, .table = 0x721DE, .sets = 3, .requestedWithGender = 0xCD13,
                          .offered = 0xCD19, .requested = 0xCD13, .pointer = 1, .layout = TradeLines::Layout::BySet}}},
    kJapaneseTables};
constexpr Row kJapaneseGreen = [] {
    Row green = kJapaneseRed;
    green.code = "POKEMON GREEN";
    green.name = "Pok\u00e9mon Green";
    green.game = "Green";
    return green;
}();

constexpr Row kRows[] = {kRed, kBlue, kYellow, kJapaneseRed, kJapaneseGreen};
constexpr auto kRowList = [] {
    std::array<const Release*, std::size(kRows)> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = &kRows[i];
    return list;
}();

constexpr std::uint8_t kJapan = kJapanDestination;
constexpr KnownRelease kNotYetSupported[] = {
    {"POKEMON BLUE", std::nullopt, "Pok\u00e9mon Blue in Japanese", kJapan},
    {"POKEMON YELLOW", std::nullopt, "Pok\u00e9mon Yellow in Japanese", kJapan},
    {"POKEMON ROUGE", std::nullopt, "Pok\u00e9mon Red in French"},
    {"POKEMON BLEUE", std::nullopt, "Pok\u00e9mon Blue in French"},
    {"POKEMON JAUNE", std::nullopt, "Pok\u00e9mon Yellow in French"},
    {"POKEMON ROT", std::nullopt, "Pok\u00e9mon Red in German"},
    {"POKEMON BLAU", std::nullopt, "Pok\u00e9mon Blue in German"},
    {"POKEMON GELB", std::nullopt, "Pok\u00e9mon Yellow in German"},
    {"POKEMON ROJO", std::nullopt, "Pok\u00e9mon Red in Spanish"},
    {"POKEMON AZUL", std::nullopt, "Pok\u00e9mon Blue in Spanish"},
    {"POKEMON ROSSO", std::nullopt, "Pok\u00e9mon Red in Italian"},
    {"POKEMON BLU", std::nullopt, "Pok\u00e9mon Blue in Italian"},
    {"POKEMON GIALLO", std::nullopt, "Pok\u00e9mon Yellow in Italian"},
};

}  // namespace

std::span<const Release* const> firstGenerationRows() { return kRowList; }
std::span<const KnownRelease> firstGenerationKnownReleases() { return kNotYetSupported; }

}  // namespace kestrane
