#include "trades/releases.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"

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
constexpr std::array<Place, kListedSlots> kPlaces = {{{"Violet City", Region::Johto},
                                                      {"Goldenrod City", Region::Johto},
                                                      {"Olivine City", Region::Johto},
                                                      {"Blackthorn City", Region::Johto},
                                                      {"Pewter City", Region::Kanto},
                                                      {"Route 14", Region::Kanto},
                                                      {"Power Plant", Region::Kanto}}};

constexpr std::array<std::string_view, 2> kRegions = {"Johto", "Kanto"};
constexpr TradeWords kCrystalWords{.linesRoutine = {&routines::kCrystalLinesRoutine, 0xFCF38}, .linesTable = 0xFCF53, .lineSets = 4,
                                   .requestedWithGender = 0xD073, .offered = 0xD086, .requested = 0xD050,
                                   .landmarks = 0x1CA8C3, .slotLandmarks = {0x06, 0x10, 0x1B, 0x29, 0x33, 0x4C, 0x44},
                                   .regionWords = kRegions};
constexpr TradeWords kGoldSilverWords{.linesRoutine = {&routines::kGoldSilverLinesRoutine, 0xFCCE4}, .linesTable = 0xFCD02,
                                      .lineSets = 3, .requestedWithGender = 0xCF6B, .offered = 0xCF7E, .requested = 0xCF48,
                                      .landmarks = 0x092382, .slotLandmarks = {0x06, 0x10, 0x1B, 0x28, 0x32, 0x4B, 0x43},
                                      .regionWords = kRegions};
constexpr TradeWords kJapaneseGoldSilverWords{.linesRoutine = {&routines::kGoldSilverLinesRoutine, 0xFCC83}, .linesTable = 0xFCCA1,
                                              .lineSets = 3, .requestedWithGender = 0xCF87, .offered = 0xCF92,
                                              .requested = 0xCF72, .landmarks = 0x0924B6,
                                              .slotLandmarks = {0x06, 0x10, 0x1B, 0x28, 0x32, 0x4B, 0x43},
                                              .regionWords = {"\u30b8\u30e7\u30a6\u30c8", "\u30ab\u30f3\u30c8\u30fc"}};

constexpr PictureTables kGoldSilverPictures{0x48000, 0x7C000, PictureBanks::GoldSilver};
constexpr PictureTables kCrystalPictures{0x120000, 0x124000, PictureBanks::Crystal};
// The 16-bit species base: the egg's pointer at 0x120000, then one a species from ID 0; real banks.
constexpr PictureTables kSpecies16Pictures{0x120018, 0x124000, PictureBanks::Real};

// Every revision of a code, or the first alone.
constexpr std::uint8_t kFirstRevision[] = {0};

// One row a release. Offsets from the games' public sources, which rebuild
// each of these releases exactly; the retail images hold exactly these.
// A sister release: the same bytes in every place, another game and code.
constexpr Release sister(Release release, std::string_view code, std::string_view name, std::string_view game,
                         std::uint32_t itemNames) {
    release.code = code;
    release.name = name;
    release.game = game;
    release.itemNames = itemNames;
    return release;
}

constexpr Release kGold = {
    .code = "AAUE", .name = "Pok\u00e9mon Gold", .language = Language::English, .game = "Gold", .revisions = {},
    .layout = kRecord32, .charset = &englishCharset, .dialect = &englishDialect,
    .tableRoutine = {&routines::kTradeTable32Routine, 0xFCB8E}, .usualTable = 0xFCC24, .ownRecords = 6,
    .speciesNames = {0x1B0B74, 10, std::nullopt}, .itemNames = 0x1B0000, .itemCount = 256, .baseData = 0x51B0B,
    .baseDataForm = BaseDataForm::Fixed, .palettes = 0xAD3D, .pictures = kGoldSilverPictures, .places = kPlaces,
    .dialogSets = kGoldSilverDialogs, .words = kGoldSilverWords, .family = &secondGenerationFamily};
constexpr Release kCrystal = {
    .code = "BYTE", .name = "Pok\u00e9mon Crystal", .language = Language::English, .game = "Crystal", .revisions = {},
    .layout = kRecord32, .charset = &englishCharset, .dialect = &englishDialect,
    .tableRoutine = {&routines::kTradeTable32Routine, 0xFCDC2}, .usualTable = 0xFCE58, .ownRecords = 7,
    .speciesNames = {0x53384, 10, std::nullopt}, .itemNames = 0x1C8000, .itemCount = 256, .baseData = 0x51424,
    .baseDataForm = BaseDataForm::Fixed, .palettes = 0xA8CE, .pictures = kCrystalPictures, .places = kPlaces,
    .dialogSets = kCrystalDialogs, .words = kCrystalWords, .family = &secondGenerationFamily};
// The Japanese revisions 1.0 and 1.1 (version bytes 0 and 1): 16-byte
// records, 5-byte species names, every table where the first keeps it.
constexpr Release kJapaneseGold = {
    .code = "AAUJ", .name = "Pok\u00e9mon Gold", .language = Language::Japanese, .game = "Gold", .revisions = {},
    .layout = kRecord16, .charset = &japaneseCharset, .dialect = &japaneseDialect,
    .tableRoutine = {&routines::kTradeTable16Routine, 0xFCB8E}, .usualTable = 0xFCC23, .ownRecords = 6,
    .speciesNames = {0x53A09, 5, std::nullopt}, .itemNames = 0x7293, .itemCount = 256, .baseData = 0x51AA9,
    .baseDataForm = BaseDataForm::Fixed, .palettes = 0xACC3, .pictures = kGoldSilverPictures, .places = kPlaces,
    .dialogSets = kGoldSilverDialogs, .words = kJapaneseGoldSilverWords, .family = &secondGenerationFamily};

// The 16-bit species base (pokecrystal16, with Crystal 1.0's header): its
// trade routine, tables and traders' lines moved; the species names found
// through GetPokemonName, the base data through its indirect table.
constexpr TradeWords kSpecies16Words = [] {
    TradeWords words = kCrystalWords;
    words.linesRoutine.at = 0xFCF6D;
    words.linesTable = 0xFCF88;
    words.landmarks = 0x1CA883;
    return words;
}();
constexpr Release kCrystalSpecies16 = {
    .code = "BYTE", .name = "Pok\u00e9mon Crystal (16-bit species base)", .language = Language::English,
    .nameInShort = "Pok\u00e9mon Crystal", .game = "Crystal",
    .revisions = kFirstRevision, .variant = true, .layout = kRecordSpecies16, .charset = &englishCharset,
    .dialect = &englishDialect, .tableRoutine = {&routines::kTradeTable32Routine, 0xFCDFC}, .usualTable = 0xFCE8D,
    .ownRecords = 7, .speciesNames = {0x53274, 10, CodePlace{&routines::kPokemonNamesRoutine, 0x3318}},
    .itemNames = 0x1C8000, .itemCount = 256, .baseData = 0x512E5, .baseDataForm = BaseDataForm::Indirect,
    .palettes = 0xA8E3, .pictures = kSpecies16Pictures, .places = kPlaces, .dialogSets = kCrystalDialogs,
    .words = kSpecies16Words, .family = &secondGenerationFamily};
// Its fork that widens items as well: the item names one after another, as many as there are.
constexpr TradeWords kItems16Words = [] {
    TradeWords words = kSpecies16Words;
    words.landmarks = 0x1CA6DF;
    return words;
}();
constexpr Release kCrystalItems16 = {
    .code = "BYTE", .name = "Pok\u00e9mon Crystal (16-bit species and items base)", .language = Language::English,
    .nameInShort = "Pok\u00e9mon Crystal", .game = "Crystal", .revisions = kFirstRevision, .variant = true, .layout = kRecordItems16, .charset = &englishCharset,
    .dialect = &englishDialect, .tableRoutine = {&routines::kTradeTable32Routine, 0xFCE01}, .usualTable = 0xFCE92,
    .ownRecords = 7, .speciesNames = {0x53459, 10, CodePlace{&routines::kPokemonNamesRoutine, 0x3318}},
    .itemNames = 0x1C8000, .itemCount = 0, .baseData = 0x512D4, .baseDataForm = BaseDataForm::Indirect,
    .palettes = 0xA8E3, .pictures = kSpecies16Pictures, .places = kPlaces, .dialogSets = kCrystalDialogs,
    .words = kItems16Words, .family = &secondGenerationFamily};

// Crystal's other releases keep their tables where "BYTE" does, but for
// the French and Spanish names.
constexpr Release inLanguage(Release release, std::string_view code, Language language,
                             const Charset& (*charset)(), std::uint32_t speciesNames, std::uint32_t baseData,
                             std::uint32_t landmarks) {
    release.code = code;
    release.words.landmarks = landmarks;
    release.language = language;
    release.charset = charset;
    release.speciesNames.at = speciesNames;
    release.baseData = baseData;
    return release;
}

// Red, Blue and Yellow: the trades' dialog sets, as the games open them.
constexpr DialogSet kFirstGenerationDialogs[] = {
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
constexpr TradeWords kFirstGenerationWords(CodePlace routine, std::uint32_t textPointers) {
    return TradeWords{.linesRoutine = routine, .linesTable = textPointers, .lineSets = 3, .requestedWithGender = 0xCD13,
                      .offered = 0xCD1E, .requested = 0xCD13, .landmarks = 0, .slotLandmarks = {}, .regionWords = kRegions,
                      .linesPointer = 1, .linesLayout = TradeWords::Layout::BySet};
}
// Red and Blue's routine and Yellow's stand for each other: a hack may put either at its place.
constexpr CodePlace kRedBlueTradesAt{&routines::kRedBlueTradesRoutine, 0x71AD9, &routines::kYellowTradesRoutine};
constexpr Release kRed = {
    .code = "POKEMON RED", .name = "Pok\u00e9mon Red", .language = Language::English, .game = "Red",
    .revisions = kFirstRevision, .layout = kRecord14, .charset = &englishGen1Charset, .dialect = &firstGenerationDialect,
    .tableRoutine = kRedBlueTradesAt, .usualTable = 0x71B7B, .ownRecords = 10, .speciesNames = {0x1C21E, 10, std::nullopt},
    .itemNames = 0, .itemCount = 0, .baseData = 0x383DE, .baseDataForm = BaseDataForm::Fixed, .palettes = 0,
    .pictures = {0, 0, PictureBanks::Real}, .places = {}, .dialogSets = kFirstGenerationDialogs,
    .words = kFirstGenerationWords(kRedBlueTradesAt, 0x71D64), .family = &firstGenerationFamily,
    .slotOrder = SlotOrder::TableOrder, .firstGeneration = &kRedBlueTables};
constexpr CodePlace kYellowTradesAt{&routines::kYellowTradesRoutine, 0x71B86, &routines::kRedBlueTradesRoutine};
constexpr Release kYellow = [] {
    Release yellow = sister(kRed, "POKEMON YELLOW", "Pok\u00e9mon Yellow", "Yellow", 0);
    yellow.tableRoutine = kYellowTradesAt;
    yellow.usualTable = 0x71C1D;
    yellow.speciesNames.at = 0xE8000;
    yellow.words = kFirstGenerationWords(kYellowTradesAt, 0x71E38);
    yellow.firstGeneration = &kYellowTables;
    return yellow;
}();

constexpr Release kReleases[] = {
    kGold,
    sister(kGold, "AAXE", "Pok\u00e9mon Silver", "Silver", 0x1B0000),
    kCrystal,
    [] {
        Release australian = kCrystal;
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
    kRed,
    sister(kRed, "POKEMON BLUE", "Pok\u00e9mon Blue", "Blue", 0),
    kYellow,
};

// Releases known by their code, whose bytes no public source rebuilds:
// recognised, named, and never guessed at.
struct KnownRelease {
    std::string_view code;                // or the title, in the first generation
    std::optional<std::uint8_t> version;  // none: every version
    std::string_view name;
    std::optional<std::uint8_t> destination = std::nullopt;  // none: either
};
constexpr std::uint8_t kJapan = 0x00;
constexpr KnownRelease kNotYetSupported[] = {
    {"POKEMON RED", std::nullopt, "Pok\u00e9mon Red in Japanese", kJapan},
    {"POKEMON GREEN", std::nullopt, "Pok\u00e9mon Green in Japanese", kJapan},
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

// The games, in the table's order, and the codes of each.
std::vector<std::pair<std::string_view, std::string>> gamesAndCodes() {
    std::vector<std::pair<std::string_view, std::string>> games;
    for (const Release& release : kReleases) {
        if (release.variant) continue;  // the code of the release it was made from
        auto game = std::find_if(games.begin(), games.end(), [&](const auto& g) { return g.first == release.game; });
        if (game == games.end()) games.emplace_back(release.game, std::string(release.code));
        else game->second += ", " + std::string(release.code);
    }
    return games;
}

// "Pokémon Gold (AAUE, AAUJ), Silver (AAXE, AAXJ) and Crystal (BYTE, …)": what Kestrane edits.
std::string editedReleases() {
    std::vector<std::string> games;
    for (const auto& [game, codes] : gamesAndCodes()) games.push_back(std::string(game) + " (" + codes + ")");
    return "Pok\u00e9mon " + joinedList(games);
}

}  // namespace

std::string gamesText(std::string_view last) {
    std::vector<std::string> games;
    for (const auto& [game, codes] : gamesAndCodes()) games.emplace_back(game);
    return "Pok\u00e9mon " + joinedList(games, 0, last);
}

std::string_view languageName(Language language) {
    switch (language) {
    case Language::English: return "English";
    case Language::French: return "French";
    case Language::Spanish: return "Spanish";
    case Language::Japanese: return "Japanese";
    }
    return {};
}

namespace {

bool hasRevision(const Release& release, std::uint8_t version) {
    return release.revisions.empty() || std::find(release.revisions.begin(), release.revisions.end(), version) != release.revisions.end();
}

}  // namespace

const Release* findRelease(std::string_view gameCode, std::uint8_t version) {
    for (const Release& release : kReleases) {
        if (!release.variant && release.code == gameCode && hasRevision(release, version)) return &release;
    }
    return nullptr;
}

std::vector<const Release*> variantsOf(const Release& release) {
    std::vector<const Release*> rows;
    auto isVariant = [&](const Release& row) { return row.variant && row.code == release.code; };
    rows.reserve(1 + std::size_t(std::ranges::count_if(kReleases, isVariant)));
    rows.push_back(&release);
    for (const Release& row : kReleases) {
        if (isVariant(row)) rows.push_back(&row);
    }
    return rows;
}

std::span<const Release> releases() { return kReleases; }

bool sisterReleases(const Release& a, const Release& b) {
    return &a.layout == &b.layout && a.charset == b.charset && a.ownRecords == b.ownRecords &&
           a.dialogSets.data() == b.dialogSets.data() && a.dialogSets.size() == b.dialogSets.size() &&
           a.language == b.language;
}

std::string sisterNote(const Release& from) {
    return "The table is from " + std::string(from.name) + " (" + std::string(from.code) + "), a sister release: its trades fit this ROM's.";
}

namespace {

// The title at 0x134, up to its first zero byte (and short of the Game Boy
// Color flag at 0x143 where there is one).
std::string titleOf(std::span<const std::uint8_t> header) {
    std::size_t length = kTitleLength;
    if (header[kTitleLength - 1] & 0x80) --length;
    std::string title;
    for (std::size_t i = 0; i < length && header[i] != 0; ++i) title += char(header[i]);
    return title;
}

bool knownTitle(std::string_view title) {
    return std::any_of(std::begin(kNotYetSupported), std::end(kNotYetSupported), [&](const KnownRelease& k) { return k.code == title; });
}

}  // namespace

Result<RomIdentity> identifyRom(File& file, const std::string& path) {
    // The title and game code and, with the same read, the header's ROM size, destination, licensee and version bytes.
    std::array<std::uint8_t, kVersionByteOffset + 1 - kTitleOffset> header{};
    auto read = readUpTo(file, kTitleOffset, header);
    if (!read) return inContext(read.error(), "Could not read " + quoted(path));
    constexpr std::size_t kCodeAt = kGameCodeOffset - kTitleOffset;
    if (*read < kCodeAt + kGameCodeLength) {
        // A device or pipe that gives nothing is no file too short: the size says which.
        auto size = file.size();
        if (!size) return inContext(size.error(), "Could not read " + quoted(path));
        return refused(ErrorCode::FileTooShort,
                       quoted(path) + " is too short to be a Game Boy ROM (" + std::to_string(*size) + " bytes)" +
                           ": it ends before the game code of the cartridge header. Choose a " + gamesText("or") +
                           " ROM.");
    }
    RomIdentity identity;
    identity.gameCode.assign(header.begin() + kCodeAt, header.begin() + kCodeAt + kGameCodeLength);
    if (*read > kRomSizeByteOffset - kTitleOffset) {
        identity.headerSize = romSizeOfHeaderByte(header[kRomSizeByteOffset - kTitleOffset]);
    }
    if (*read == header.size()) {
        identity.version = header.back();
        identity.destination = header[kDestinationOffset - kTitleOffset];
    }
    identity.release = findRelease(identity.gameCode, identity.version);
    if (!identity.release) {
        std::array<std::uint8_t, sizeof kLogo> logo{};
        auto logoRead = readUpTo(file, kLogoOffset, logo);
        if (!logoRead) return inContext(logoRead.error(), "Could not read " + quoted(path));
        identity.cartridgeHeader = std::equal(logo.begin(), logo.end(), std::begin(kLogo));
    }
    if (!identity.release && *read == header.size()) {
        // A release without a code (Red, Blue and Yellow) is its title, outside Japan, with the old licensee byte 0x33.
        constexpr std::uint8_t kNewLicensee = 0x33;
        const std::string title = titleOf(header);
        const Release* byTitle = findRelease(title, identity.version);
        if (byTitle && identityOffset(byTitle->code) == kTitleOffset && identity.destination == 0x01 &&
            header[0x14B - kTitleOffset] == kNewLicensee) {
            identity.release = byTitle;
            identity.gameCode = title;
        } else if (byTitle || knownTitle(title)) {
            identity.gameCode = title;
        }
    }
    return identity;
}

Result<RomIdentity> identifyRom(const std::string& path, FileSystem& fs) {
    // Built only when something failed.
    auto where = [&] { return "Could not read " + quoted(path); };
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto identity = identifyRom(**file, path);
    if (!identity) return identity;
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return identity;
}

Error notAGameBoyRom(const std::string& path) {
    Error error = refused(ErrorCode::UnsupportedRom, "This is not a Game Boy ROM (no cartridge header).");
    error.detail = quoted(path) + " lacks the logo every Game Boy cartridge holds at " + hexOffset(kLogoOffset) +
                   ", so it is no game's image (a text or another file, perhaps). Choose a " + gamesText("or") + " ROM.";
    return error;
}

Error unsupportedRom(std::string_view gameCode, std::uint8_t version, std::uint8_t destination) {
    auto known = std::find_if(std::begin(kNotYetSupported), std::end(kNotYetSupported), [&](const KnownRelease& k) {
        return k.code == gameCode && (!k.version || *k.version == version) && (!k.destination || *k.destination == destination);
    });
    Error error = refused(ErrorCode::UnsupportedRom,
                          known == std::end(kNotYetSupported)
                              ? std::string("Unsupported ROM.")
                              : "This is " + std::string(known->name) + " (" + std::string(gameCode) +
                                    "), which Kestrane does not support yet.");
    const bool title = gameCode.size() > kGameCodeLength;
    error.detail = (title ? "The title at " + hexOffset(kTitleOffset) : "The game code at " + hexOffset(kGameCodeOffset)) +
                   " is \"" + printableGameCode(gameCode) + "\"" +
                   (title && destination == kJapan ? " (a Japanese cartridge)" : "") + "; Kestrane edits " + editedReleases() +
                   ", the releases whose every byte is known, and never guesses the layout of another.";
    return error;
}

}  // namespace kestrane
