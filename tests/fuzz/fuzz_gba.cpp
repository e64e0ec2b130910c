// The third generation's readers on arbitrary bytes: openRom on a Game Boy
// Advance image whose header is a release's (or the input's), with the
// routine whose pools name the table, and the base data's routine, pointing
// where the input's bytes went; then every trade read, an unedited save
// writing nothing, and an edit given as text checked or refused.
#include <cstdlib>

#include "families/families.h"
#include "platform/gba/cartridge.h"
#include "platform/gba/lz77.h"
#include "support/gba_image.h"
#include "support/memory_file_system.h"
#include "trades/save.h"
#include "trades/trade_edit.h"

using namespace kestrane;
using namespace kestrane::testing;

namespace {

constexpr std::size_t kImageSize = 0x40000;  // room for the routines and the bytes; a search of it stays quick
constexpr std::uint32_t kRoutine = 0x1000, kGender = 0x2000;
struct Header {
    const char* title;
    const char* code;
    std::uint8_t version;
};
constexpr Header kHeaders[] = {{"POKEMON EMER", "BPEE", 0}, {"POKEMON FIRE", "BPRE", 1}, {"POKEMON LEAF", "BPGE", 0},
                               {"POKEMON RUBY", "AXVE", 2}, {"POKEMON SAPP", "AXPE", 0}, {"POKEMON EMER", "BPEJ", 0}};

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // data[0]: the header; data[1]: where the bytes go (x 4 KiB), data[2]:
    // which routines point there (1 the trade table's, 2 the names', 4 the
    // base data's, 8 a second trade routine, 0x20 the map groups', 0x40 the
    // map sections' names', 0x80 the file cut); data[3..]: the bytes.
    const Header& header = kHeaders[data[0] % std::size(kHeaders)];
    Bytes image = gbaImage(header.title, header.code, header.version, kImageSize, data[0]);
    const std::uint32_t at = 0x4000 + std::uint32_t(data[1]) * 0x1000 % (kImageSize - 0x8000);
    std::copy(data + 3, data + std::min<std::size_t>(size, 3 + 0x4000), image.begin() + at);
    const std::uint32_t other = 0x3000;
    if (data[2] & 7) putSpeciesInfoRoutine(image, kRoutine, data[2] & 1 ? at : other, data[2] & 2 ? at : other);
    // The trade scene's pool with the others, or (an odd place) one record on.
    if (data[2] & 1) putTradeSceneStrings(image, kRoutine + 0x800, data[1] % 2 ? at + 0x3C : at);
    if (data[2] & 4) putGenderRoutine(image, kGender, at);
    if (data[2] & 8) putSpeciesInfoRoutine(image, kRoutine + 0x400, at + 0x3C, at);
    if (data[2] & 0x60) putTradeScript(image, 0x3400, data[1] % 4, header.code[3] == 'E' && header.code[2] == 'E' ? 0xFF : 0xFC);
    if (data[2] & 0x20) putMapHeaderRoutine(image, 0x2800, at);
    if (data[2] & 0x40) {
        const bool kanto = header.code[1] == 'P' && header.code[2] != 'E';
        putMapNames(image, kanto ? MapNameForm::Kanto : MapNameForm::Emerald, 0x2C00, 0x3800,
                    std::vector<std::string>(kanto ? 0x59 : 1, "ROUTE 2"));
        image[0x2C00 + 0x40] = std::uint8_t(at), image[0x2C00 + 0x41] = std::uint8_t(at >> 8), image[0x2C00 + 0x42] = std::uint8_t(at >> 16);
    }
    if (data[2] & 0x80) image.resize(at + (size % 0x2000));

    // The BIOS's LZ77 on the bytes themselves: refused, or at most what a stream may hold.
    if (auto out = gba::decodeLz77(std::span(data + 3, size - 3))) check(out->size() <= gba::kLargestLz77);
    // The header's picture tables where the bytes went (a front picture read from them below).
    if (data[2] & 0x10) {
        for (std::uint32_t table : {0x128u, 0x130u, 0x134u}) {
            for (int i = 0; i < 4; ++i) image[table + std::uint32_t(i)] = std::uint8_t((gba::kRomBase + at) >> (8 * i));
        }
    }

    MemoryFileSystem fs;
    fs.put("rom", image);
    auto rom = openRom("rom", families::all(), fs);
    if (!rom) {
        check(!rom.error().message.empty());
        return 0;
    }
    for (SpeciesId species : {SpeciesId(95), SpeciesId(201), SpeciesId(410)}) {
        auto picture = rom->release->family().frontPicture(*rom, species, PictureLook{bool(data[1] & 1), '?'}, fs);
        check(!picture || (picture->shades.size() == 64 * 64 && picture->colours.size() == 16));
    }
    if (!rom->table) {
        check(rom->noTable.code == ErrorCode::NoTradeTable && !rom->noTable.message.empty());
        return 0;
    }
    check(rom->table->offset + std::uint64_t(rom->table->records) * rom->release->layout.size <= image.size());
    auto trades = readTradeTable(*rom, fs);
    check(trades.ok());
    for (const TradeReading& reading : *trades) {
        if (!reading.record) continue;
        const TradeRecord& r = *reading.record;
        check(std::equal(r.raw.begin(), r.raw.end(), image.begin() + r.offset));
        auto saved = writeTradeRecord(*rom, uneditedEdit(r), {}, fs);
        check(saved.ok() && saved->written.empty() && fs.bytes("rom") == image);
        // Text from the input for the third generation's own fields: a plan, or problems.
        GivenEdit given;
        const std::string text(reinterpret_cast<const char*>(data + 3), std::min<std::size_t>(size - 3, 24));
        given.giveText(Field(std::size_t(Field::Ivs) + data[1] % 8), text);
        given.nature = text;
        given.shiny = data[2] & 0x10;
        if (auto edit = resolveEdit(*rom, r, given)) {
            auto planned = planTradeRecord(*rom, *edit);
            check(!planned || planned->size() == r.raw.size());
        }
        break;
    }
    return 0;
}
