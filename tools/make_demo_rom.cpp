// Writes a synthetic ROM image to try the editor with: 2 MiB of zeros, the
// Crystal game code and a trade table of seven made-up trades at Crystal's
// usual place. No game data of any kind.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/bytes.h"
#include "support/file.h"
#include "text/game_text.h"
#include "trades/dvs.h"
#include "trades/releases.h"

namespace {

struct DemoTrade {
    std::uint8_t dialog, requested, offered;
    const char16_t* nickname;
    std::uint8_t dvs[2], item;
    std::uint16_t id;
    const char16_t* trainer;
    std::uint8_t gender;
};

// In table order: the first record is shown as Trade Number 2.
constexpr DemoTrade kTrades[] = {
    {0, 19, 129, u"SPLASHY", {0x96, 0x66}, 0x53, 101, u"ODETTE", 0},
    {0, 63, 95, u"PEBBLE", {0xFA, 0xAA}, 0x7E, 4660, u"MARLO", 0},
    {1, 25, 172, u"ZIPPY", {0x77, 0x66}, 0x00, 65535, u"TOMAS", 1},
    {3, 147, 149, u"SCALES", {0x96, 0x86}, 0xAE, 31337, u"IRIS", 2},
    {2, 133, 197, u"MOONBEAM", {0x98, 0x88}, 0x4E, 2026, u"HALE", 0},
    {3, 54, 79, u"DOZY", {0x37, 0x66}, 0x8F, 7, u"PENN", 0},
    {0, 102, 103, u"COCONUT", {0x96, 0x66}, 0x6A, 12345, u"BRISA", 0},
};

// A name as the games store it: its bytes, then 0x50 to the end of the field
// (and its terminator).
void putName(std::uint8_t* record, const kestrane::NameLayout& field, const char16_t* name) {
    std::vector<std::uint8_t> bytes = kestrane::encodeGameText(name);
    bytes.resize(field.length + (field.terminated ? 1 : 0), kestrane::kTerminator);
    std::copy(bytes.begin(), bytes.end(), record + field.at);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace kestrane;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.gbc\n", argv[0]);
        return 2;
    }
    const Release& crystal = *findRelease("BYTE");
    const RecordLayout& layout = crystal.layout;
    std::vector<std::uint8_t> rom(2 * 1024 * 1024, 0);
    std::copy_n(crystal.code.data(), kGameCodeLength, rom.begin() + kGameCodeOffset);
    rom[kRomSizeByteOffset] = 0x06;  // the header says 2 MiB, as the file is
    std::uint32_t offset = crystal.usualTable;
    for (const DemoTrade& t : kTrades) {
        std::uint8_t* record = rom.data() + offset;
        record[layout.dialogSetAt] = t.dialog;
        record[layout.requestedSpeciesAt] = t.requested;
        record[layout.offeredSpeciesAt] = t.offered;
        putName(record, layout.nickname, t.nickname);
        std::copy_n(t.dvs, 2, record + layout.dvsAt);
        record[layout.heldItemAt] = t.item;
        putLittleEndian16(std::span(record + layout.trainerIdAt, 2), t.id);
        putName(record, layout.trainerName, t.trainer);
        record[layout.genderRequirementAt] = t.gender;
        offset += layout.size;
    }
    // The folder too, as `make demo` asks for one inside the build tree.
    const std::string path = argv[1];
    std::error_code ec;
    const auto folder = std::filesystem::path(std::u8string(path.begin(), path.end())).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (auto written = writeNewFile(nativeFileSystem(), path, rom); !written) {
        std::fprintf(stderr, "%s\n", inContext(written.error(), "Could not write the demo image " + quoted(path)).message.c_str());
        return 1;
    }
    std::printf("Wrote the demo image %s\n", argv[1]);
    return 0;
}
