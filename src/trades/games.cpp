#include "trades/games.h"

#include "support/hex_text.h"

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

// Offsets from the games' public disassemblies; the retail images hold exactly these.
constexpr GameFacts kGoldSilver{
    0xFCC24, 6, 2, 0x1B0000, 0x51B0B,
    {"Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
     "Pewter City, Kanto", "Route 14, Kanto", ""},
    kGoldSilverDialogs,
};
constexpr GameFacts kCrystal{
    0xFCE58, 7, 3, 0x1C8000, 0x51424,
    {"Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
     "Pewter City, Johto", "Route 14, Kanto", "Power Plant, Kanto"},
    kCrystalDialogs,
};

constexpr std::array<GameInfo, 4> kGames = {{
    {"AAUE", "Pok\u00e9mon Gold", "English", kGoldSilver},
    {"AAXE", "Pok\u00e9mon Silver", "English", kGoldSilver},
    {"BYTE", "Pok\u00e9mon Crystal", "English", kCrystal},
    // The Australian release: English, with the table where "BYTE" has it.
    {"BYTU", "Pok\u00e9mon Crystal (Australia)", "English", kCrystal},
}};

}  // namespace

const GameInfo* findGame(std::string_view gameCode) {
    for (const GameInfo& game : kGames) {
        if (game.code == gameCode) return &game;
    }
    return nullptr;
}

Result<RomIdentity> identifyRom(File& file, const std::string& path) {
    std::array<std::uint8_t, kGameCodeLength> code{};
    if (auto read = readExactly(file, kGameCodeOffset, code); !read) {
        auto size = file.size();
        if (read.error().code == ErrorCode::InputPastEnd && size) {
            return refused(ErrorCode::FileTooShort,
                           quoted(path) + " is too short to be a Game Boy ROM (" + std::to_string(*size) + " bytes)" +
                               ": it ends before the game code of the cartridge header. Choose a Pok\u00e9mon "
                               "Gold, Silver or Crystal ROM.");
        }
        return inContext(read.error(), "Could not read " + quoted(path));
    }
    RomIdentity identity;
    identity.gameCode.assign(code.begin(), code.end());
    identity.game = findGame(identity.gameCode);
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

Error unsupportedRom(std::string_view gameCode) {
    Error error = refused(ErrorCode::UnsupportedRom, "Unsupported ROM.");
    error.detail = "The game code at 0x13F is \"" + printableGameCode(gameCode) +
                   "\"; Kestrane edits Pok\u00e9mon Gold (AAUE), Silver (AAXE) and Crystal (BYTE, BYTU).";
    return error;
}

}  // namespace kestrane
