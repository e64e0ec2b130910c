#include "trades/games.h"

#include <array>

#include "support/hex_bytes.h"

namespace kestrane {
namespace {

constexpr std::array<GameInfo, 3> kGames = {{
    {"AAUE", "Pok\u00e9mon Gold", "English"},
    {"AAXE", "Pok\u00e9mon Silver", "English"},
    {"BYTE", "Pok\u00e9mon Crystal", "English"},
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
        if (read.error().code == ErrorCode::InputPastEnd) {
            auto size = file.size();
            return makeError(ErrorCode::FileTooShort,
                             quoted(path) + " is too short to be a Game Boy ROM" +
                                 (size ? " (" + std::to_string(*size) + " bytes)" : std::string()) +
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
    std::string hex = bytesToHex({reinterpret_cast<const std::uint8_t*>(gameCode.data()), gameCode.size()});
    std::string spaced;
    for (std::size_t i = 0; i < hex.size(); i += 2) spaced += (i ? " " : "") + hex.substr(i, 2);
    return spaced;
}

}  // namespace kestrane
