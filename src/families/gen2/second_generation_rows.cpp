#include "families/gen2/second_generation_rows.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"

#include "families/gameboy/routines.h"
#include "families/gen2/second_generation_layouts.h"
#include "trades/game_words.h"
#include "platform/gb/checksums.h"

namespace kestrane {
namespace {

// The traders' lines, as the games open them.
constexpr DialogSet kGoldSilverDialogs[] = {
    {"collector", "Collector", "I collect POK\u00e9MON. Do you have \u2026?"},
    {"happy", "Happy", "Hi, I'm looking for this POK\u00e9MON. \u2026"},
    {"newbie", "Newbie", "\u2026's cute, but I don't have it. \u2026"},
};
constexpr DialogSet kCrystalDialogs[] = {
    {"collector", "Collector", "I collect POK\u00e9MON. Do you have \u2026?"},
    {"happy", "Happy", "Hi, I'm looking for this POK\u00e9MON. \u2026"},
    {"newbie", "Newbie", "Hi, I'm looking for this POK\u00e9MON. \u2026 (with lines of its own after the trade)"},
    {"girl", "Girl", "\u2026's cute, but I don't have it. \u2026 (the creature is recorded as caught by a girl)"},
};

// By slot. Gold and Silver have no seventh trade (their table ends before it).
constexpr Place kPlaces[] = {{"Violet City", Region::Johto},
                                                      {"Goldenrod City", Region::Johto},
                                                      {"Olivine City", Region::Johto},
                                                      {"Blackthorn City", Region::Johto},
                                                      {"Pewter City", Region::Kanto},
                                                      {"Route 14", Region::Kanto},
                                                      {"Power Plant", Region::Kanto}};
// Polished Crystal's, by record: where each trader stands (the maps whose
// object events start the trade); its ninth trade no map starts.
constexpr Place kPolishedPlaces[] = {
    {"Goldenrod City", Region::Johto}, {"Violet City", Region::Johto},   {"Olivine City", Region::Johto},
    {"Blackthorn City", Region::Johto}, {"Pewter City", Region::Kanto},   {"Route 14", Region::Kanto},
    {"Goldenrod Harbor", Region::Johto}, {"Ecruteak City", Region::Johto}, {kUnusedPlace, Region::None}};

constexpr std::array<std::string_view, 2> kRegions = {"Johto", "Kanto"};
constexpr TradeLines kCrystalLines{.routine = {&routines::kCrystalLinesRoutine, 0xFCF38}, .table = 0xFCF53, .sets = 4,
                                   .requestedWithGender = 0xD073, .offered = 0xD086, .requested = 0xD050};
constexpr Landmarks kCrystalLandmarks{0x1CA8C3, {0x06, 0x10, 0x1B, 0x29, 0x33, 0x4C, 0x44}, kRegions};
constexpr TradeLines kGoldSilverLines{.routine = {&routines::kGoldSilverLinesRoutine, 0xFCCE4}, .table = 0xFCD02, .sets = 3,
                                      .requestedWithGender = 0xCF6B, .offered = 0xCF7E, .requested = 0xCF48};
constexpr Landmarks kGoldSilverLandmarks{0x092382, {0x06, 0x10, 0x1B, 0x28, 0x32, 0x4B, 0x43}, kRegions};
constexpr TradeLines kJapaneseGoldSilverLines{.routine = {&routines::kGoldSilverLinesRoutine, 0xFCC83}, .table = 0xFCCA1,
                                              .sets = 3, .requestedWithGender = 0xCF87, .offered = 0xCF92, .requested = 0xCF72};
constexpr Landmarks kJapaneseGoldSilverLandmarks{0x0924B6,
                                                 {0x06, 0x10, 0x1B, 0x28, 0x32, 0x4B, 0x43},
                                                 {"\u30b8\u30e7\u30a6\u30c8", "\u30ab\u30f3\u30c8\u30fc"}};

constexpr PictureTables kGoldSilverPictures{0x48000, 0x7C000, PictureBanks::GoldSilver};
constexpr PictureTables kCrystalPictures{0x120000, 0x124000, PictureBanks::Crystal};
// The 16-bit species base: the egg's pointer at 0x120000, then one a species from ID 0; real banks.
constexpr PictureTables kSpecies16Pictures{0x120018, 0x124000, PictureBanks::Real};

// Every revision of a code, or the first alone.
constexpr std::uint8_t kFirstRevision[] = {0};

using Row = SecondGenerationRow;

// One row a release. Offsets from the games' public sources, which rebuild
// each of these releases exactly; the retail images hold exactly these.
// A sister release: the same bytes in every place, another game and code.
constexpr Row sister(Row row, std::string_view code, std::string_view name, std::string_view game, std::uint32_t itemNames) {
    row.code = code;
    row.name = name;
    row.game = game;
    row.tables.itemNames = itemNames;
    return row;
}

constexpr Row kGold = {
    {{.code = "AAUE", .name = "Pok\u00e9mon Gold", .language = Language::English, .game = "Gold", .revisions = {},
      .layout = kRecordOf32Bytes, .charset = &englishCharset, .dialect = &englishDialect,
      .usualTable = 0xFCC24, .ownRecords = 6,
      .dialogSets = kGoldSilverDialogs, .family = &secondGenerationFamily},
     {.tableRoutine = {&routines::kTradeTable32Routine, 0xFCB8E}, .speciesNames = {0x1B0B74, 10, std::nullopt}, .itemNames = 0x1B0000, .itemCount = 256, .baseData = 0x51B0B,
      .baseDataForm = BaseDataForm::Fixed, .lines = kGoldSilverLines}},
    0xAD3D, kGoldSilverPictures, kPlaces, kGoldSilverLandmarks};
constexpr Row kCrystal = {
    {{.code = "BYTE", .name = "Pok\u00e9mon Crystal", .language = Language::English, .game = "Crystal", .revisions = {},
      .layout = kRecordOf32Bytes, .charset = &englishCharset, .dialect = &englishDialect,
      .usualTable = 0xFCE58, .ownRecords = 7,
      .dialogSets = kCrystalDialogs, .family = &secondGenerationFamily},
     {.tableRoutine = {&routines::kTradeTable32Routine, 0xFCDC2}, .speciesNames = {0x53384, 10, std::nullopt}, .itemNames = 0x1C8000, .itemCount = 256, .baseData = 0x51424,
      .baseDataForm = BaseDataForm::Fixed, .lines = kCrystalLines}},
    0xA8CE, kCrystalPictures, kPlaces, kCrystalLandmarks};
// The Japanese revisions 1.0 and 1.1 (version bytes 0 and 1): 16-byte
// records, 5-byte species names, every table where the first keeps it.
constexpr Row kJapaneseGold = {
    {{.code = "AAUJ", .name = "Pok\u00e9mon Gold", .language = Language::Japanese, .game = "Gold", .revisions = {},
      .layout = kRecordOf16Bytes, .charset = &japaneseCharset, .dialect = &japaneseDialect,
      .usualTable = 0xFCC23, .ownRecords = 6,
      .dialogSets = kGoldSilverDialogs, .family = &secondGenerationFamily},
     {.tableRoutine = {&routines::kTradeTable16Routine, 0xFCB8E}, .speciesNames = {0x53A09, 5, std::nullopt}, .itemNames = 0x7293, .itemCount = 256, .baseData = 0x51AA9,
      .baseDataForm = BaseDataForm::Fixed, .lines = kJapaneseGoldSilverLines}},
    0xACC3, kGoldSilverPictures, kPlaces, kJapaneseGoldSilverLandmarks};

// The 16-bit species base (pokecrystal16, with Crystal 1.0's header): its
// trade routine, tables and traders' lines moved; the species names found
// through GetPokemonName, the base data through its indirect table.
constexpr TradeLines kSpecies16Lines = [] {
    TradeLines lines = kCrystalLines;
    lines.routine.at = 0xFCF6D;
    lines.table = 0xFCF88;
    return lines;
}();
constexpr Row kCrystalSpecies16 = {
    {{.code = "BYTE", .name = "Pok\u00e9mon Crystal (16-bit species base)", .language = Language::English,
      .nameInShort = "Pok\u00e9mon Crystal", .game = "Crystal", .revisions = kFirstRevision, .reachedByLayout = true,
      .layout = kRecordWideSpecies, .charset = &englishCharset, .dialect = &englishDialect,
      .usualTable = 0xFCE8D, .ownRecords = 7,
      .dialogSets = kCrystalDialogs, .family = &secondGenerationFamily},
     {.tableRoutine = {&routines::kTradeTable32Routine, 0xFCDFC}, .speciesNames = {0x53274, 10, CodePlace{&routines::kPokemonNamesRoutine, 0x3318}}, .itemNames = 0x1C8000,
      .itemCount = 256, .baseData = 0x512E5, .baseDataForm = BaseDataForm::Indirect, .lines = kSpecies16Lines}},
    0xA8E3, kSpecies16Pictures, kPlaces, {0x1CA883, kCrystalLandmarks.ofSlot, kRegions}};
// Its fork that widens items as well: the item names one after another, as many as there are.
constexpr Row kCrystalItems16 = {
    {{.code = "BYTE", .name = "Pok\u00e9mon Crystal (16-bit species and items base)", .language = Language::English,
      .nameInShort = "Pok\u00e9mon Crystal", .game = "Crystal", .revisions = kFirstRevision, .reachedByLayout = true,
      .layout = kRecordWideItems, .charset = &englishCharset, .dialect = &englishDialect,
      .usualTable = 0xFCE92, .ownRecords = 7,
      .dialogSets = kCrystalDialogs, .family = &secondGenerationFamily},
     {.tableRoutine = {&routines::kTradeTable32Routine, 0xFCE01}, .speciesNames = {0x53459, 10, CodePlace{&routines::kPokemonNamesRoutine, 0x3318}}, .itemNames = 0x1C8000,
      .itemCount = 0, .baseData = 0x512D4, .baseDataForm = BaseDataForm::Indirect, .lines = kSpecies16Lines}},
    0xA8E3, kSpecies16Pictures, kPlaces, {0x1CA6DF, kCrystalLandmarks.ofSlot, kRegions}};

// Crystal's other releases keep their tables where "BYTE" does, but for
// the French and Spanish names.
constexpr Row inLanguage(Row row, std::string_view code, Language language, const Charset& (*charset)(),
                         std::uint32_t speciesNames, std::uint32_t baseData, std::uint32_t landmarks) {
    row.code = code;
    row.landmarks.at = landmarks;
    row.language = language;
    row.charset = charset;
    row.tables.speciesNames.at = speciesNames;
    row.tables.baseData = baseData;
    return row;
}

// Polished Crystal (its master branch, version byte 0x32; its faithful
// build the same table): its own code, table, species numbering with
// forms, character set and dialog sets as Crystal's. Its 3.x releases
// (0x30, and 3.2.3 with master's header) keep a 33-byte record that only
// the trade routine's `ld bc, N` tells apart. Its lines are far texts in
// its own engine's form, n-grams and Huffman-coded runs; its item names
// are found through its GetName; its base data and pictures are in forms of
// their own that Kestrane does not read.
// Where its routines stand is not fixed: a search finds them.
constexpr PackedCodeForm kPolishedPackedCode{&routines::kPolishedHuffmanRoutine, routines::kPolishedHuffmanLow,
                                              routines::kPolishedHuffmanHigh};
// PrintTradeText follows the table's last record.
constexpr TradeLines polishedLines(const RecordLayout& layout) {
    return {.routine = {&routines::kPolishedLinesRoutine, 0xFD67B + 9 * layout.size}, .table = 0, .sets = 4,
            .requestedWithGender = 0, .offered = 0, .requested = 0, .layout = TradeLines::Layout::FarTexts,
            .namesPointer = 1, .packedCode = &kPolishedPackedCode};
}
constexpr std::uint8_t kPolishedRevision[] = {0x32};
// ITEM_NAME, the fourth of GetName's lists (the species', the moves', a third, the items').
constexpr std::uint8_t kItemNameEntry = 3;
constexpr std::uint8_t kTradeCommand = 0x94;  // `trade`
constexpr std::uint8_t kPolished3Revision[] = {0x30};
constexpr Row polishedRow(std::string_view name, std::span<const std::uint8_t> revisions, bool reachedByLayout,
                          const RecordLayout& layout, const RoutinePattern& routine) {
    return {{{.code = "PKPC", .name = name, .language = Language::English, .nameInShort = "Pok\u00e9mon Polished Crystal",
              .game = "Polished Crystal", .revisions = revisions, .reachedByLayout = reachedByLayout, .layout = layout,
              .charset = &polishedCrystalCharset, .dialect = &polishedCrystalDialect, .usualTable = 0xFD67B, .ownRecords = 9,
              .dialogSets = kCrystalDialogs, .family = &secondGenerationFamily, .slotOrder = SlotOrder::TableOrder},
             {.tableRoutine = {&routine, 0xFD5FB},
              .speciesNames = {0xD8BAA, 10, CodePlace{&routines::kPolishedPokemonNamesRoutine, 0},
                               routines::kPolishedPokemonNamesBank},
              .itemNames = 0, .itemCount = 0,
              .itemNamesRoutine = {&routines::kPolishedGetNameFromOneRoutine, 0, &routines::kPolishedGetNameFromZeroRoutine},
              .itemNamesEntry = kItemNameEntry, .baseData = 0, .baseDataForm = BaseDataForm::None,
              .lines = polishedLines(layout), .speciesCount = 291}},
            0, {0, 0, PictureBanks::Real}, kPolishedPlaces, {0, {}, kRegions}, kTradeCommand, true};
}
constexpr Row kPolished = polishedRow("Pok\u00e9mon Polished Crystal", kPolishedRevision, false, kRecordPolished,
                                      routines::kPolishedTradeTable32Routine);
// The 3.x releases: 3.2.3 reached through its routine from master's
// header, 3.0.0-3.1.1 by their own version byte.
constexpr Row kPolished3 = polishedRow("Pok\u00e9mon Polished Crystal (3.x)", {}, true, kRecordPolished3,
                                       routines::kPolishedTradeTable33Routine);
constexpr Row kPolished30 = polishedRow("Pok\u00e9mon Polished Crystal (3.x)", kPolished3Revision, false,
                                        kRecordPolished3, routines::kPolishedTradeTable33Routine);

constexpr Row kRows[] = {
    kGold,
    sister(kGold, "AAXE", "Pok\u00e9mon Silver", "Silver", 0x1B0000),
    kCrystal,
    [] {
        Row australian = kCrystal;
        australian.code = "BYTU";
        australian.name = "Pok\u00e9mon Crystal (Australia)";
        return australian;
    }(),
    inLanguage(kCrystal, "BYTF", Language::French, &frenchCharset, 0x53377, 0x51417, 0x1CA97F),
    inLanguage(kCrystal, "BYTS", Language::Spanish, &spanishCharset, 0x5338D, 0x5142D, 0x1CAAB4),
    kJapaneseGold,
    sister(kJapaneseGold, "AAXJ", "Pok\u00e9mon Silver", "Silver", 0x7258),
    kCrystalSpecies16,
    kCrystalItems16,
    kPolished,
    kPolished3,
    kPolished30,
};

constexpr auto kRowList = [] {
    std::array<const Release*, std::size(kRows)> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = &kRows[i];
    return list;
}();

constexpr KnownRelease kNotYetSupported[] = {
    {"BYTD", std::nullopt, "Pok\u00e9mon Crystal in German"},
    {"BYTI", std::nullopt, "Pok\u00e9mon Crystal in Italian"},
    {"BXTJ", std::nullopt, "Pok\u00e9mon Crystal in Japanese"},
    {"AAUD", std::nullopt, "Pok\u00e9mon Gold in German"},
    {"AAXD", std::nullopt, "Pok\u00e9mon Silver in German"},
    {"AAUF", std::nullopt, "Pok\u00e9mon Gold in French"},
    {"AAXF", std::nullopt, "Pok\u00e9mon Silver in French"},
    {"AAUI", std::nullopt, "Pok\u00e9mon Gold in Italian"},
    {"AAXI", std::nullopt, "Pok\u00e9mon Silver in Italian"},
    {"AAUS", std::nullopt, "Pok\u00e9mon Gold in Spanish"},
    {"AAXS", std::nullopt, "Pok\u00e9mon Silver in Spanish"},
    {"AAUK", std::nullopt, "Pok\u00e9mon Gold in Korean"},
    {"AAXK", std::nullopt, "Pok\u00e9mon Silver in Korean"},
};

}  // namespace

std::span<const Release* const> secondGenerationRows() { return kRowList; }
std::span<const KnownRelease> secondGenerationKnownReleases() { return kNotYetSupported; }

}  // namespace kestrane
