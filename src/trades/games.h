// The three supported games, recognised by the 4-byte game code of the
// cartridge header at 0x13F-0x142, compared exactly and case-sensitively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"

namespace kestrane {

inline constexpr std::int64_t kGameCodeOffset = 0x13F;
inline constexpr std::size_t kGameCodeLength = 4;
// A file must reach past the game code to be a ROM at all.
inline constexpr std::int64_t kMinimumRomSize = kGameCodeOffset + kGameCodeLength;

struct GameInfo {
    std::string_view code;      // "AAUE"
    std::string_view name;      // "Pokémon Gold" (UTF-8)
    std::string_view language;  // "English"
};

// The game of a code, or nullptr when the code is none of the three.
const GameInfo* findGame(std::string_view gameCode);

struct RomIdentity {
    std::string gameCode;           // the four header bytes, one char per byte
    const GameInfo* game = nullptr; // nullptr: unsupported
};

// Reads the game code of the file at path. A file that cannot be opened or
// read, or that ends before the game code, is an error; a file with any
// other code is a RomIdentity without a game.
Result<RomIdentity> identifyRom(const std::string& path, FileSystem& fs = nativeFileSystem());
// The same on a file the caller has open; path only names it in messages.
Result<RomIdentity> identifyRom(File& file, const std::string& path);

// The four header bytes as text a person can read: the code itself when it
// is printable ASCII, else its bytes in hexadecimal ("00 FF 41 42").
std::string printableGameCode(std::string_view gameCode);

// What the user is told about a file whose game is not one of the three.
inline constexpr std::string_view kUnsupportedRomMessage = "Unsupported ROM.";

}  // namespace kestrane
