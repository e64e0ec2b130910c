// Writes a synthetic ROM image to try the editor with: 2 MiB of zeros, the
// Crystal game code and seven made-up trades. No game data of any kind.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "text/game_text.h"
#include "trades/games.h"
#include "trades/trade_layout.h"

namespace {

struct DemoTrade {
    std::uint8_t requested, offered;
    const char16_t* nickname;
    const char16_t* trainer;
    std::uint16_t id;
};

constexpr DemoTrade kTrades[kestrane::kSlotCount] = {
    {63, 95, u"PEBBLE", u"MARLO", 4660},     {19, 129, u"SPLASHY", u"ODETTE", 101},
    {25, 172, u"ZIPPY", u"TOMAS", 65535},    {147, 149, u"SCALES", u"IRIS", 31337},
    {133, 197, u"MOONBEAM", u"HALE", 2026}, {54, 79, u"DOZY", u"PENN", 7},
    {102, 103, u"COCONUT", u"BRISA", 12345},
};

void putName(std::vector<std::uint8_t>& rom, std::size_t at, const char16_t* name) {
    std::vector<std::uint8_t> bytes = kestrane::encodeGameText(std::u16string(name) + u"\\");
    bytes.resize(kestrane::kNameLength, 0x20);
    std::copy(bytes.begin(), bytes.end(), rom.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.gbc\n", argv[0]);
        return 2;
    }
    std::vector<std::uint8_t> rom(2 * 1024 * 1024, 0);
    std::copy_n("BYTE", 4, rom.begin() + kestrane::kGameCodeOffset);
    for (int slot = 0; slot < kestrane::kSlotCount; ++slot) {
        const DemoTrade& t = kTrades[slot];
        const std::size_t base = kestrane::tradeLayout("BYTE", slot).recordBase;
        rom[base + kestrane::kRequestedSpeciesAt] = t.requested;
        rom[base + kestrane::kOfferedSpeciesAt] = t.offered;
        putName(rom, base + kestrane::kNicknameAt, t.nickname);
        rom[base + kestrane::kTrainerIdAt] = static_cast<std::uint8_t>(t.id & 0xFF);
        rom[base + kestrane::kTrainerIdAt + 1] = static_cast<std::uint8_t>(t.id >> 8);
        putName(rom, base + kestrane::kTrainerNameAt, t.trainer);
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
