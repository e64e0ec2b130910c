#include "trades/releases.h"

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
constexpr std::array<std::string_view, kListedSlots> kLocations = {
    "Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
    "Pewter City, Kanto", "Route 14, Kanto", "Power Plant, Kanto"};

// Offsets from the games' public disassemblies; the retail images hold exactly these.
constexpr Release gold(std::string_view code, std::string_view name) {
    return {code, name, "English", kRecord32, &englishCharset, 0xFCC24, 6, 0x1B0B74, 10, 0x1B0000, 0x51B0B, 0xAD3D,
            0x48000, 0x7C000, PictureBanks::GoldSilver, kLocations,
            kGoldSilverDialogs};
}
constexpr Release crystal(std::string_view code, std::string_view name) {
    return {code, name, "English", kRecord32, &englishCharset, 0xFCE58, 7, 0x53384, 10, 0x1C8000, 0x51424, 0xA8CE,
            0x120000, 0x124000, PictureBanks::Crystal, kLocations,
            kCrystalDialogs};
}

constexpr std::array<Release, 4> kReleases = {{
    gold("AAUE", "Pok\u00e9mon Gold"),
    gold("AAXE", "Pok\u00e9mon Silver"),
    crystal("BYTE", "Pok\u00e9mon Crystal"),
    // The Australian release: English, with the table where "BYTE" has it.
    crystal("BYTU", "Pok\u00e9mon Crystal (Australia)"),
}};

}  // namespace

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

const Release* findRelease(std::string_view gameCode) {
    for (const Release& release : kReleases) {
        if (release.code == gameCode) return &release;
    }
    return nullptr;
}

std::span<const Release> releases() { return kReleases; }

Result<RomIdentity> identifyRom(File& file, const std::string& path) {
    // The game code and, with the same read, the header's ROM size byte.
    std::array<std::uint8_t, kRomSizeByteOffset + 1 - kGameCodeOffset> header{};
    auto read = readUpTo(file, kGameCodeOffset, header);
    if (!read) return inContext(read.error(), "Could not read " + quoted(path));
    if (*read < kGameCodeLength) {
        // A device or pipe that gives nothing is no file too short: the size says which.
        auto size = file.size();
        if (!size) return inContext(size.error(), "Could not read " + quoted(path));
        return refused(ErrorCode::FileTooShort,
                       quoted(path) + " is too short to be a Game Boy ROM (" + std::to_string(*size) + " bytes)" +
                           ": it ends before the game code of the cartridge header. Choose a Pok\u00e9mon "
                           "Gold, Silver or Crystal ROM.");
    }
    RomIdentity identity;
    identity.gameCode.assign(header.begin(), header.begin() + kGameCodeLength);
    identity.release = findRelease(identity.gameCode);
    if (*read == header.size()) identity.headerSize = romSizeOfHeaderByte(header.back());
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
