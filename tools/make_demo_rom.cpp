// Writes a synthetic ROM image to try the editor with: 2 MiB of zeros, the
// Crystal game code, a trade table of seven made-up trades at Crystal's usual
// place, and made-up pictures (drawn here: a round creature with eyes, its
// size and colours varying with the species) where Crystal keeps its
// pictures. No game data of any kind.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/bytes.h"
#include "families/gameboy/charsets.h"
#include "support/file.h"
#include "support/new_file.h"
#include "text/game_text.h"
#include "trades/dvs.h"
#include "families/families.h"
#include "families/gen2/second_generation_rows.h"
#include "platform/gb/cartridge.h"
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
    std::vector<std::uint8_t> bytes = kestrane::encodeGameText(name, kestrane::englishCharset());
    bytes.resize(field.length + (field.terminated ? 1 : 0), kestrane::kTerminator);
    std::copy(bytes.begin(), bytes.end(), record + field.at);
}

// A made-up 6 x 6-tile picture: an outlined body, shaded below, two eyes.
std::vector<std::uint8_t> madeUpPicture(int species) {
    constexpr int kSize = 48;
    std::vector<int> shade(kSize * kSize, 0);
    const double rx = 14 + species % 7, ry = 12 + species % 9, cx = 24, cy = 27;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double d = (x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry);
            if (d <= 1.0) shade[y * kSize + x] = d > 0.8 ? 3 : y > cy + ry / 3 ? 2 : 1;
            // Ears, on every other species.
            if (species % 2 && y < cy - ry + 6 && y > cy - ry - 6 && (std::abs(x - int(cx - rx / 2)) < 3 || std::abs(x - int(cx + rx / 2)) < 3)) {
                shade[y * kSize + x] = 3;
            }
        }
    }
    for (int eye : {-5, 5}) {
        for (int y = -2; y <= 1; ++y) {
            for (int x = -1; x <= 1; ++x) shade[(int(cy) - 4 + y) * kSize + int(cx) + eye + x] = 3;
        }
    }
    // Tiles down each column, then the next; two bytes a row: low bits, high bits.
    std::vector<std::uint8_t> tiles;
    for (int column = 0; column < 6; ++column) {
        for (int row = 0; row < 6; ++row) {
            for (int y = 0; y < 8; ++y) {
                std::uint8_t low = 0, high = 0;
                for (int x = 0; x < 8; ++x) {
                    const int s = shade[(row * 8 + y) * kSize + column * 8 + x];
                    low = std::uint8_t(low << 1 | (s & 1));
                    high = std::uint8_t(high << 1 | (s >> 1));
                }
                tiles.push_back(low);
                tiles.push_back(high);
            }
        }
    }
    // Stored as one plain copy in the long form, then the end.
    std::vector<std::uint8_t> stream = {std::uint8_t(0xE0 | (tiles.size() - 1) >> 8), std::uint8_t((tiles.size() - 1) & 0xFF)};
    stream.insert(stream.end(), tiles.begin(), tiles.end());
    stream.push_back(0xFF);
    return stream;
}

// Base data for every species (its number, an even gender ratio, 6 x 6
// tiles), and a made-up picture and colours for each species the trades name.
void putPictures(std::vector<std::uint8_t>& rom, const kestrane::SecondGenerationRow& crystal) {
    for (int species = 1; species <= 251; ++species) {
        std::uint8_t* entry = rom.data() + crystal.tables.baseData + (species - 1) * 32;
        entry[0] = std::uint8_t(species);
        entry[13] = 0x7F;
        entry[17] = 0x66;
    }
    std::uint32_t at = 0x40 * 0x4000;
    for (const DemoTrade& t : kTrades) {
        for (int species : {int(t.requested), int(t.offered)}) {
            const std::vector<std::uint8_t> stream = madeUpPicture(species);
            std::copy(stream.begin(), stream.end(), rom.begin() + at);
            std::uint8_t* pointer = rom.data() + crystal.pictures.pointers + (species - 1) * 6;
            pointer[0] = std::uint8_t(at / 0x4000 - 0x36);  // Crystal stores the bank 0x36 lower
            kestrane::putLittleEndian16(std::span(pointer + 1, 2), std::uint16_t(0x4000 + at % 0x4000));
            // Normal light and dark, shiny light and dark: RGB555.
            const std::uint16_t colours[] = {std::uint16_t(0x7FFF & (species * 2731 | 0x2108)),
                                             std::uint16_t(0x3DEF & (species * 1373)), 0x03FF, 0x015F};
            for (int i = 0; i < 4; ++i) {
                kestrane::putLittleEndian16(std::span(rom.data() + crystal.palettes + species * 8 + i * 2, 2), colours[i]);
            }
            at += std::uint32_t(stream.size());
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace kestrane;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.gbc\n", argv[0]);
        return 2;
    }
    const SecondGenerationRow& crystal = secondGenerationRow(*findRelease(families::all(), "BYTE"));
    const RecordLayout& layout = crystal.layout;
    std::vector<std::uint8_t> rom(2 * 1024 * 1024, 0);
    std::copy_n(crystal.code.data(), kGameCodeLength, rom.begin() + kGameCodeOffset);
    rom[kRomSizeByteOffset] = 0x06;  // the header says 2 MiB, as the file is
    std::uint32_t offset = crystal.usualTable;
    for (const DemoTrade& t : kTrades) {
        std::uint8_t* record = rom.data() + offset;
        record[*layout.dialogSetAt] = t.dialog;
        record[layout.requestedSpeciesAt] = t.requested;
        record[layout.offeredSpeciesAt] = t.offered;
        putName(record, layout.nickname, t.nickname);
        std::copy_n(t.dvs, 2, record + *layout.dvsAt);
        record[*layout.heldItemAt] = t.item;
        putLittleEndian16(std::span(record + *layout.trainerIdAt, 2), t.id);
        putName(record, *layout.trainerName, t.trainer);
        record[*layout.genderRequirementAt] = t.gender;
        offset += layout.size;
    }
    // The routine that reads the table, at its place, as in every build of the game.
    const CodePlace& routine = crystal.tables.tableRoutine;
    for (std::size_t i = 0; i < routine.routine->bytes.size(); ++i) {
        rom[routine.at + i] = std::uint8_t(routine.routine->bytes[i] < 0 ? 0 : routine.routine->bytes[i]);
    }
    putLittleEndian16(std::span(rom.data() + routine.at + routine.routine->pointersAt[0], 2),
                      std::uint16_t(0x4000 + crystal.usualTable % 0x4000));
    putPictures(rom, crystal);
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
