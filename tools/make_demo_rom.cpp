// Writes a synthetic ROM image to try the editor with: 2 MiB of zeros, the
// Crystal game code and a trade table of seven made-up trades at Crystal's
// usual place. No game data of any kind.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "support/bytes.h"
#include "text/char_map.h"
#include "text/game_text.h"
#include "trades/games.h"
#include "trades/record.h"

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

// A name as the games store it: its bytes, then 0x50 up to the 11-byte field.
void putName(std::uint8_t* at, const char16_t* name) {
    std::vector<std::uint8_t> bytes = kestrane::encodeGameText(name);
    bytes.resize(kestrane::kNameFieldLength, kestrane::kTerminator);
    std::copy(bytes.begin(), bytes.end(), at);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace kestrane;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.gbc\n", argv[0]);
        return 2;
    }
    std::vector<std::uint8_t> rom(2 * 1024 * 1024, 0);
    std::copy_n("BYTE", 4, rom.begin() + kGameCodeOffset);
    std::uint32_t offset = findGame("BYTE")->facts.usualTable;
    for (const DemoTrade& t : kTrades) {
        std::uint8_t* record = rom.data() + offset;
        record[kDialogSetAt] = t.dialog;
        record[kRequestedSpeciesAt] = t.requested;
        record[kOfferedSpeciesAt] = t.offered;
        putName(record + kNicknameAt, t.nickname);
        std::copy_n(t.dvs, 2, record + kDvsAt);
        record[kHeldItemAt] = t.item;
        putLittleEndian16(std::span(record + kTrainerIdAt, 2), t.id);
        putName(record + kTrainerNameAt, t.trainer);
        record[kGenderRequirementAt] = t.gender;
        offset += kRecordSize;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("Wrote the demo image %s\n", argv[1]);
    return 0;
}
