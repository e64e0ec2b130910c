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
    .code = "AAUE", .name = "Pok\u00e9mon Gold", .language = Language::English, .game = "Gold", .revision = std::nullopt,
    .layout = kRecord32, .charset = &englishCharset, .dialect = &englishDialect, .tableRoutine = {&routines::kTradeTable32Routine, 0xFCB8E}, .usualTable = 0xFCC24, .ownRecords = 6,
    .speciesNames = 0x1B0B74, .speciesNameLength = 10, .itemNames = 0x1B0000, .baseData = 0x51B0B, .palettes = 0xAD3D,
    .pictures = kGoldSilverPictures, .places = kPlaces, .dialogSets = kGoldSilverDialogs, .words = kGoldSilverWords};
constexpr Release kCrystal = {
    .code = "BYTE", .name = "Pok\u00e9mon Crystal", .language = Language::English, .game = "Crystal", .revision = std::nullopt,
    .layout = kRecord32, .charset = &englishCharset, .dialect = &englishDialect, .tableRoutine = {&routines::kTradeTable32Routine, 0xFCDC2}, .usualTable = 0xFCE58, .ownRecords = 7,
    .speciesNames = 0x53384, .speciesNameLength = 10, .itemNames = 0x1C8000, .baseData = 0x51424, .palettes = 0xA8CE,
    .pictures = kCrystalPictures, .places = kPlaces, .dialogSets = kCrystalDialogs, .words = kCrystalWords};
// The first Japanese revision (version byte 0): 16-byte records, 5-byte species names.
constexpr Release kJapaneseGold = {
    .code = "AAUJ", .name = "Pok\u00e9mon Gold", .language = Language::Japanese, .game = "Gold", .revision = 0,
    .layout = kRecord16, .charset = &japaneseCharset, .dialect = &japaneseDialect, .tableRoutine = {&routines::kTradeTable16Routine, 0xFCB8E}, .usualTable = 0xFCC23, .ownRecords = 6,
    .speciesNames = 0x53A09, .speciesNameLength = 5, .itemNames = 0x7293, .baseData = 0x51AA9, .palettes = 0xACC3,
    .pictures = kGoldSilverPictures, .places = kPlaces, .dialogSets = kGoldSilverDialogs, .words = kJapaneseGoldSilverWords};

// Crystal's other releases keep their tables where "BYTE" does, but for
// the French and Spanish names.
constexpr Release inLanguage(Release release, std::string_view code, Language language,
                             const Charset& (*charset)(), std::uint32_t speciesNames, std::uint32_t baseData,
                             std::uint32_t landmarks) {
    release.code = code;
    release.words.landmarks = landmarks;
    release.language = language;
    release.charset = charset;
    release.speciesNames = speciesNames;
    release.baseData = baseData;
    return release;
}

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
};

// Releases known by their code, whose bytes no public source rebuilds:
// recognised, named, and never guessed at.
struct KnownRelease {
    std::string_view code;
    std::optional<std::uint8_t> version;  // none: every version
    std::string_view name;
};
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
    {"AAUJ", 1, "Pok\u00e9mon Gold in Japanese, revision 1.1"},
    {"AAXJ", 1, "Pok\u00e9mon Silver in Japanese, revision 1.1"},
};

// The games, in the table's order, and the codes of each.
std::vector<std::pair<std::string_view, std::string>> gamesAndCodes() {
    std::vector<std::pair<std::string_view, std::string>> games;
    for (const Release& release : kReleases) {
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

std::string largestRomSizeText() { return std::to_string(kLargestRomSize >> 20) + " MiB"; }

std::optional<std::int64_t> romSizeOfHeaderByte(std::uint8_t n) {
    if (n > 8) return std::nullopt;
    return std::int64_t{0x8000} << n;
}

Result<std::optional<std::int64_t>> headerRomSize(File& file) {
    std::array<std::uint8_t, 1> n{};
    auto got = readUpTo(file, kRomSizeByteOffset, n);
    if (!got) return got.error();
    return *got == 0 ? std::nullopt : romSizeOfHeaderByte(n[0]);
}

std::string RomSize::cutOffNote() const {
    return "The file is " + groupedNumber(file) + " bytes; its header says " + groupedNumber(header.value_or(0)) +
           ": it may be cut off.";
}

const Release* findRelease(std::string_view gameCode, std::uint8_t version) {
    for (const Release& release : kReleases) {
        if (release.code == gameCode && (!release.revision || *release.revision == version)) return &release;
    }
    return nullptr;
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

Result<RomIdentity> identifyRom(File& file, const std::string& path) {
    // The game code and, with the same read, the header's ROM size and version bytes.
    std::array<std::uint8_t, kVersionByteOffset + 1 - kGameCodeOffset> header{};
    auto read = readUpTo(file, kGameCodeOffset, header);
    if (!read) return inContext(read.error(), "Could not read " + quoted(path));
    if (*read < kGameCodeLength) {
        // A device or pipe that gives nothing is no file too short: the size says which.
        auto size = file.size();
        if (!size) return inContext(size.error(), "Could not read " + quoted(path));
        return refused(ErrorCode::FileTooShort,
                       quoted(path) + " is too short to be a Game Boy ROM (" + std::to_string(*size) + " bytes)" +
                           ": it ends before the game code of the cartridge header. Choose a " + gamesText("or") +
                           " ROM.");
    }
    RomIdentity identity;
    identity.gameCode.assign(header.begin(), header.begin() + kGameCodeLength);
    if (*read > kRomSizeByteOffset - kGameCodeOffset) {
        identity.headerSize = romSizeOfHeaderByte(header[kRomSizeByteOffset - kGameCodeOffset]);
    }
    if (*read == header.size()) identity.version = header.back();
    identity.release = findRelease(identity.gameCode, identity.version);
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

std::string printableGameCode(std::string_view gameCode) {
    bool printable = true;
    for (char c : gameCode) printable = printable && c >= 0x20 && c < 0x7F;
    if (printable) return std::string(gameCode);
    return spacedHex({reinterpret_cast<const std::uint8_t*>(gameCode.data()), gameCode.size()});
}

Error unsupportedRom(std::string_view gameCode, std::uint8_t version) {
    auto known = std::find_if(std::begin(kNotYetSupported), std::end(kNotYetSupported), [&](const KnownRelease& k) {
        return k.code == gameCode && (!k.version || *k.version == version);
    });
    Error error = refused(ErrorCode::UnsupportedRom,
                          known == std::end(kNotYetSupported)
                              ? std::string("Unsupported ROM.")
                              : "This is " + std::string(known->name) + " (" + std::string(gameCode) +
                                    "), which Kestrane does not support yet.");
    error.detail = "The game code at " + hexOffset(kGameCodeOffset) + " is \"" + printableGameCode(gameCode) +
                   "\"; Kestrane edits " + editedReleases() +
                   ", the releases whose every byte is known, and never guesses the layout of another.";
    return error;
}

}  // namespace kestrane
