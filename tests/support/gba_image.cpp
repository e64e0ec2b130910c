#include "support/gba_image.h"

#include <algorithm>
#include <optional>
#include <random>
#include <stdexcept>

#include "platform/gba/cartridge.h"

namespace kestrane::testing {
namespace {

void putWord(Bytes& rom, std::uint32_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) rom[at + std::size_t(i)] = std::uint8_t(word >> (8 * i));
}

// Capitals, digits and the space, as the English games write them, then 0xFF.
void putText(Bytes& r, std::uint32_t at, const std::string& text) {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        r[at + i] = c == ' ' ? 0x00 : c >= '0' && c <= '9' ? std::uint8_t(0xA1 + (c - '0')) : std::uint8_t(0xBB + (c - 'A'));
    }
    r[at + i] = 0xFF;  // zeros after
}

void putName(Bytes& r, std::uint32_t at, const std::string& text) {
    if (text.size() > 12) throw std::invalid_argument("putName: longer than twelve characters");
    putText(r, at, text);
}

}  // namespace

Bytes record60(const Trade60& t) {
    Bytes r(0x3C, 0);
    putName(r, 0x00, t.nickname);
    r[0x0C] = std::uint8_t(t.species), r[0x0D] = std::uint8_t(t.species >> 8);
    std::copy(t.ivs.begin(), t.ivs.end(), r.begin() + 0x0E);
    r[0x14] = t.ability;
    for (int i = 0; i < 4; ++i) r[0x18 + std::size_t(i)] = std::uint8_t(t.otId >> (8 * i));
    std::copy(t.contest.begin(), t.contest.end(), r.begin() + 0x1C);
    for (int i = 0; i < 4; ++i) r[0x24 + std::size_t(i)] = std::uint8_t(t.personality >> (8 * i));
    r[0x28] = std::uint8_t(t.item), r[0x29] = std::uint8_t(t.item >> 8);
    r[0x2A] = t.mail;
    putName(r, 0x2B, t.trainer);
    r[0x36] = t.otGender;
    r[0x37] = t.sheen;
    r[0x38] = std::uint8_t(t.requested), r[0x39] = std::uint8_t(t.requested >> 8);
    return r;
}

Bytes gbaImage(std::string_view title, std::string_view code, std::uint8_t version, std::size_t size, std::uint32_t seed) {
    Bytes rom(size);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < size; i += 4) {
        const std::uint32_t word = random();
        for (std::size_t k = 0; k < 4; ++k) rom[i + k] = std::uint8_t(word >> (8 * k));
    }
    std::fill(rom.begin() + gba::kTitleAt, rom.begin() + gba::kHeaderEnd, 0);
    std::copy(title.begin(), title.end(), rom.begin() + gba::kTitleAt);
    std::copy(code.begin(), code.end(), rom.begin() + gba::kCodeAt);
    rom[gba::kMakerAt] = '0', rom[gba::kMakerAt + 1] = '1';
    rom[gba::kFixedAt] = gba::kFixedValue;
    rom[gba::kVersionAt] = version;
    rom[gba::kComplementAt] = gba::headerComplement(rom);
    return rom;
}

void putSpeciesInfoRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t names,
                           std::optional<std::uint32_t> otherTable) {
    // GetInGameTradeSpeciesInfo: its 52 bytes of code (two calls' pool words
    // left as they are), then its pool: the table at +0x38, the names at +0x40.
    static constexpr int kCode[] = {0x70, 0xB5, 0x0C, 0x48, 0x00, 0x88, 0x04, 0x01, 0x24, 0x1A, 0xA4, 0x00, 0x0A,
                                    0x48, 0x24, 0x18, 0x0A, 0x48, 0x21, 0x8F, 0x0B, 0x26, 0x71, 0x43, 0x09, 0x4D,
                                    0x49, 0x19, -1,   -1,   -1,   -1,   0x08, 0x48, 0xA1, 0x89, 0x71, 0x43, 0x49,
                                    0x19, -1,   -1,   -1,   -1,   0x20, 0x8F, 0x70, 0xBC, 0x02, 0xBC, 0x08, 0x47};
    for (std::size_t i = 0; i < std::size(kCode); ++i) {
        if (kCode[i] >= 0) rom[at + i] = std::uint8_t(kCode[i]);
    }
    putWord(rom, at + 0x38, gba::kRomBase + table);
    putWord(rom, at + 0x40, gba::kRomBase + names);
    putWord(rom, at + 72 + 0x4C, gba::kRomBase + table);
    putWord(rom, at + 172 + 0x15C, gba::kRomBase + otherTable.value_or(table));
}

void putTable60(Bytes& rom, std::uint32_t at, const std::vector<Trade60>& trades) {
    for (const Trade60& t : trades) {
        const Bytes r = record60(t);
        std::copy(r.begin(), r.end(), rom.begin() + at);
        at += 0x3C;
    }
}

void putTradeSceneStrings(Bytes& rom, std::uint32_t at, std::uint32_t table) {
    // `ldr r0, [pc, #n]` at +10 reads the table's pointer from +0x40; the calls made up.
    static constexpr std::uint8_t kCode[] = {0x10, 0x48, 0x00, 0x88, 0x04, 0x01, 0x24, 0x1A, 0xA4, 0x00, 0x0D, 0x48, 0x24, 0x18,
                                             0x10, 0x48, 0x21, 0x1C, 0x2B, 0x31, 0x00, 0xF0, 0x10, 0xF8, 0x10, 0x48, 0x21, 0x1C};
    std::copy(std::begin(kCode), std::end(kCode), rom.begin() + at);
    putWord(rom, at + 0x40, gba::kRomBase + table);
}

void putSpeciesNames(Bytes& rom, std::uint32_t at) {
    for (std::uint32_t id = 0; id <= 411; ++id) {
        std::fill_n(rom.begin() + at + id * 11, 11, 0);
        const std::string name = id == 95 ? "ONIX" : id == 63 ? "ABRA" : id == 298 ? "SEEDOT" : "S" + std::to_string(id);
        putName(rom, at + id * 11, id == 0 ? "" : name);
    }
}

void putPokedexTable(Bytes& rom, std::uint32_t at) {
    for (std::uint32_t id = 1; id <= 411; ++id) {
        const std::uint32_t number = id <= 251 ? id : id <= 276 ? id - 252 + 387 : id - 25;
        rom[at + 2 * (id - 1)] = std::uint8_t(number), rom[at + 2 * (id - 1) + 1] = std::uint8_t(number >> 8);
    }
}

void putGenderRoutine(Bytes& rom, std::uint32_t at, std::uint32_t baseData) {
    // Its 58 bytes of code, the branches' offsets made up; `ldr r1, [pc, #48]` at +8 reads the pool at +0x3C.
    static constexpr std::uint8_t kCode[] = {
        0x00, 0xB5, 0x0B, 0x1C, 0x00, 0x04, 0x02, 0x0C, 0x0C, 0x49, 0xD0, 0x00, 0x80, 0x1A, 0x80, 0x00, 0x40, 0x18, 0x00, 0x7C,
        0x00, 0x28, 0x1C, 0xD0, 0x00, 0x28, 0x02, 0xDB, 0xFF, 0x28, 0x00, 0xDC, 0xFE, 0x28, 0x14, 0xDA, 0xD0, 0x00, 0x80, 0x1A,
        0x80, 0x00, 0x40, 0x18, 0x01, 0x7C, 0xFF, 0x20, 0x18, 0x40, 0x81, 0x42, 0x06, 0xD8, 0x00, 0x20, 0x04, 0xE0};
    std::copy(std::begin(kCode), std::end(kCode), rom.begin() + at);
    putWord(rom, at + 0x3C, gba::kRomBase + baseData);
}

void putBaseData(Bytes& rom, std::uint32_t at) {
    for (std::uint32_t id = 0; id <= 411; ++id) {
        std::uint8_t* e = rom.data() + at + id * 28;
        std::fill_n(e, 28, 0);
        e[6] = 5, e[7] = 12;  // types
        e[0x10] = id == 95 ? 0 : id == 113 ? 254 : 127;
        e[0x13] = 1;  // growth
        e[0x16] = id == 95 ? 5 : 1, e[0x17] = id == 95 ? 0 : 2;
    }
}

void putItemNameRoutine(Bytes& rom, std::uint32_t at, std::uint32_t items) {
    // `bl SanitizeItemId` made up; `ldr r1, [pc, #4]` at +18 reads the pool at +0x1C.
    static constexpr std::uint8_t kCode[] = {0x00, 0xB5, 0x00, 0x04, 0x00, 0x0C, 0x00, 0xF0, 0x10, 0xF8, 0x00, 0x04, 0x00,
                                             0x0C, 0x2C, 0x21, 0x48, 0x43, 0x02, 0x49, 0x40, 0x18, 0x02, 0xBC, 0x08, 0x47};
    std::copy(std::begin(kCode), std::end(kCode), rom.begin() + at);
    putWord(rom, at + 0x1C, gba::kRomBase + items);
}

void putItems(Bytes& rom, std::uint32_t at) {
    for (std::uint32_t item = 0; item < 377; ++item) {
        std::uint8_t* e = rom.data() + at + item * 44;
        std::fill_n(e, 44, 0);
        putName(rom, at + item * 44, item == 0 ? "" : item == 1 ? "MASTER BALL" : item == 121 ? "ORANGE MAIL" : "I" + std::to_string(item));
        e[14] = std::uint8_t(item), e[15] = std::uint8_t(item >> 8);
    }
}

void putTradeScript(Bytes& rom, std::uint32_t at, int trade, std::uint16_t special, std::optional<std::uint32_t> called) {
    const std::uint8_t setvar[] = {0x6A, 0x5A, 0x16, 0x08, 0x80, std::uint8_t(trade), 0x00};  // lock, faceplayer first
    const std::uint8_t read[] = {0x19, 0x04, 0x80, 0x08, 0x80, 0x26, 0x0D, 0x80, std::uint8_t(special), std::uint8_t(special >> 8)};
    std::copy(std::begin(setvar), std::end(setvar), rom.begin() + at);
    if (!called) {
        std::copy(std::begin(read), std::end(read), rom.begin() + at + 7);
        return;
    }
    rom[at + 7] = 0x04;
    putWord(rom, at + 8, gba::kRomBase + *called);
    std::copy(std::begin(read), std::end(read), rom.begin() + *called);
    rom[*called + 10] = 0x03;  // return
}

void putAbilityNames(Bytes& rom, std::uint32_t at, std::uint32_t names) {
    // `ldr r0, [pc, #4]` at +6 reads the pool at +0x10.
    static constexpr std::uint8_t kCode[] = {0x01, 0x78, 0x0D, 0x20, 0x41, 0x43, 0x02, 0x48, 0x0C, 0x18};
    std::copy(std::begin(kCode), std::end(kCode), rom.begin() + at);
    putWord(rom, at + 0x10, gba::kRomBase + names);
    for (std::uint32_t a = 0; a < 78; ++a) {
        std::fill_n(rom.begin() + names + a * 13, 13, 0);
        putName(rom, names + a * 13, a == 0 ? "" : a == 5 ? "STURDY" : a == 26 ? "LEVITATE" : "A" + std::to_string(a));
    }
}

void putMapHeaderRoutine(Bytes& rom, std::uint32_t at, std::uint32_t groups) {
    // `ldr r2, [pc, #12]` at +4 reads the pool at +0x14.
    static constexpr std::uint8_t kCode[] = {0x00, 0x04, 0x09, 0x04, 0x03, 0x4A, 0x80, 0x0B, 0x80, 0x18,
                                             0x00, 0x68, 0x89, 0x0B, 0x09, 0x18, 0x08, 0x68, 0x70, 0x47};
    std::copy(std::begin(kCode), std::end(kCode), rom.begin() + at);
    putWord(rom, at + 0x14, gba::kRomBase + groups);
}

void putMaps(Bytes& rom, std::uint32_t groups, std::uint32_t at, const std::vector<std::pair<std::uint32_t, std::uint8_t>>& maps) {
    // One group: its pointer, its maps' pointers; then each map's header, events and object events.
    putWord(rom, groups, gba::kRomBase + at);
    putWord(rom, groups + 4, 0);
    std::uint32_t next = at + 4 * std::uint32_t(maps.size() + 1);
    putWord(rom, at + 4 * std::uint32_t(maps.size()), 0);
    for (std::size_t i = 0; i < maps.size(); ++i) {
        const auto [script, section] = maps[i];
        const std::uint32_t header = next, events = header + 0x1C, objects = events + 0x14;
        putWord(rom, at + 4 * std::uint32_t(i), gba::kRomBase + header);
        std::fill_n(rom.begin() + header, 0x1C + 0x14 + 2 * 24, 0);
        putWord(rom, header + 4, gba::kRomBase + events);
        rom[header + 0x14] = section;
        rom[events] = 2;  // a sign-less map: someone else, then the trader
        putWord(rom, events + 4, gba::kRomBase + objects);
        putWord(rom, objects + 0x10, gba::kRomBase + 0x1000);
        putWord(rom, objects + 24 + 0x10, gba::kRomBase + script - 2);  // its lock
        next = objects + 2 * 24;
    }
}

void putMapNames(Bytes& rom, MapNameForm form, std::uint32_t routine, std::uint32_t table, const std::vector<std::string>& names) {
    static constexpr std::uint8_t kEmerald[] = {0x30, 0xB5, 0x05, 0x1C, 0x09, 0x04, 0x09, 0x0C, 0x12, 0x04, 0x14, 0x0C, 0x56,
                                                0x29, 0x04, 0xD1, 0x00, 0xF0, 0x10, 0xF8, 0x01, 0x1C, 0x0C, 0xE0, 0x00, 0x29,
                                                0x08, 0xD8, 0x08, 0x48, 0xC9, 0x00, 0x04, 0x30, 0x09, 0x18, 0x09, 0x68};
    static constexpr std::uint8_t kKanto[] = {0x70, 0xB5, 0x06, 0x1C, 0x09, 0x04, 0x12, 0x04, 0x14, 0x0C, 0x08, 0x0C, 0x05,
                                              0x4A, 0x89, 0x18, 0x0D, 0x0C, 0x00, 0x2D, 0x16, 0xD8, 0x00, 0xF0, 0x10, 0xF8,
                                              0x01, 0x28, 0x02, 0xD1, 0x01, 0x49, 0x04, 0xE0, 0x00, 0x00, 0x00, 0x00, 0xA8,
                                              0xFF, 0x00, 0x00, 0x00, 0x08, 0x04, 0x48, 0xA9, 0x00, 0x09, 0x18, 0x09, 0x68};
    const bool kanto = form == MapNameForm::Kanto;
    const std::span<const std::uint8_t> code = kanto ? std::span<const std::uint8_t>(kKanto) : std::span<const std::uint8_t>(kEmerald);
    std::copy(code.begin(), code.end(), rom.begin() + routine);
    // The last section the `cmp` allows; the table's pointer in the pool at +0x40.
    const std::size_t first = kanto ? 0x58 : 0;
    rom[routine + (kanto ? 18 : 24)] = std::uint8_t(names.size() - first - 1);
    putWord(rom, routine + 0x40, gba::kRomBase + table);
    const std::uint32_t entry = kanto ? 4 : 8, nameAt = kanto ? 0 : 4;
    std::uint32_t text = table + entry * std::uint32_t(names.size() - first);
    for (std::size_t i = first; i < names.size(); ++i) {
        const std::uint32_t at = table + entry * std::uint32_t(i - first);
        std::fill_n(rom.begin() + at, entry, 0);
        putWord(rom, at + nameAt, gba::kRomBase + text);
        putText(rom, text, names[i]);
        text += std::uint32_t(names[i].size()) + 1;
    }
}

void putPokedexRoutines(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t hoennTable) {
    // `ldr r0, [pc, #12]` at +10 reads the pool at +0x18; the twin the same 0x24 on.
    static constexpr std::uint8_t kCode[] = {0x00, 0xB5, 0x00, 0x04, 0x01, 0x0C, 0x00, 0x29, 0x06, 0xD0, 0x03,
                                             0x48, 0x01, 0x39, 0x49, 0x00, 0x09, 0x18, 0x08, 0x88, 0x04, 0xE0};
    for (auto [place, read] : {std::pair{at, table}, std::pair{at + 0x24, hoennTable}}) {
        std::copy(std::begin(kCode), std::end(kCode), rom.begin() + place);
        putWord(rom, place + 0x18, gba::kRomBase + read);
    }
}

Bytes lz77(const Bytes& data) {
    Bytes out = {0x10, std::uint8_t(data.size()), std::uint8_t(data.size() >> 8), std::uint8_t(data.size() >> 16)};
    std::size_t i = 0;
    while (i < data.size()) {
        const std::size_t flagsAt = out.size();
        out.push_back(0);
        for (int bit = 7; bit >= 0 && i < data.size(); --bit) {
            std::size_t run = 0;
            while (i > 0 && i + run < data.size() && run < 18 && data[i + run] == data[i - 1]) ++run;
            if (run >= 3) {
                out[flagsAt] |= std::uint8_t(1 << bit);
                out.push_back(std::uint8_t((run - 3) << 4));
                out.push_back(0);  // one byte back
                i += run;
            } else {
                out.push_back(data[i++]);
            }
        }
    }
    return out;
}

void putFrontPicture(Bytes& rom, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny, std::uint32_t index,
                     const Bytes& sheet, const Bytes& palette, const Bytes& shinyPalette, std::uint32_t dataAt) {
    for (auto [table, data] : {std::pair{fronts, &sheet}, std::pair{palettes, &palette}, std::pair{shiny, &shinyPalette}}) {
        const Bytes packed = lz77(*data);
        std::copy(packed.begin(), packed.end(), rom.begin() + dataAt);
        putWord(rom, table + 8 * index, gba::kRomBase + dataAt);
        // Tagged as the games tag them: a front by its index (after its size), a shiny palette by index + 500.
        putWord(rom, table + 8 * index + 4, table == fronts ? 0x800 | index << 16 : table == shiny ? index + 500 : index);
        dataAt += (std::uint32_t(packed.size()) + 3) & ~3u;
    }
}

Bytes pictureSheet() {
    Bytes sheet(2 * 0x800);
    for (int frame = 0; frame < 2; ++frame) {
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const int shade = frame ? 15 - (x + y) % 16 : (x + y) % 16;
                std::uint8_t& b = sheet[std::size_t(frame * 0x800 + (y / 8 * 8 + x / 8) * 32 + (y % 8) * 4 + (x % 8) / 2)];
                b = std::uint8_t(x % 2 ? (b & 0x0F) | shade << 4 : (b & 0xF0) | shade);
            }
        }
    }
    return sheet;
}

Bytes pictureColours(int shift) {
    Bytes bytes;
    for (int c = 0; c < 16; ++c) {
        const unsigned bgr = unsigned((c + shift) & 31) | unsigned(2 * c) << 5 | unsigned(31 - c) << 10;
        bytes.push_back(std::uint8_t(bgr)), bytes.push_back(std::uint8_t(bgr >> 8));
    }
    return bytes;
}

void putPictures(Bytes& rom, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny, const std::vector<std::uint32_t>& indexes) {
    const Bytes sheet = pictureSheet(), colours = pictureColours(0), shinyColours = pictureColours(7);
    std::uint32_t dataAt = 0x600000;
    for (std::uint32_t index : indexes) {
        putFrontPicture(rom, fronts, palettes, shiny, index, sheet, colours, shinyColours, dataAt);
        dataAt += 0x2000;  // a sheet of literals, compressed, takes 4.6 KiB
    }
}

void putEmeraldPictures(Bytes& rom, const std::vector<std::uint32_t>& indexes) {
    for (auto [at, table] : {std::pair{0x128u, kEmeraldFronts}, std::pair{0x130u, kEmeraldPalettes}, std::pair{0x134u, kEmeraldShinyPalettes}}) {
        putWord(rom, at, gba::kRomBase + table);
    }
    putPictures(rom, kEmeraldFronts, kEmeraldPalettes, kEmeraldShinyPalettes, indexes);
}

void putPictureRoutines(Bytes& rom, std::uint32_t at, std::uint32_t fronts, std::uint32_t palettes, std::uint32_t shiny) {
    // DecompressPicFromTable_2: its two calls made up, its pool at +0x1C.
    static constexpr std::uint8_t kDecompress[] = {
        0x00, 0xB5, 0x02, 0x1C, 0x01, 0x9B, 0x02, 0x99, 0xCE, 0x20, 0x40, 0x00, 0x81, 0x42, 0x07, 0xDD, 0x02, 0x48, 0x00, 0x68, 0x19, 0x1C,
        0x00, 0xF0, 0x10, 0xF8, 0x05, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x10, 0x68, 0x19, 0x1C, 0x00, 0xF0, 0x0A, 0xF8, 0x01, 0xBC, 0x00, 0x47};
    std::copy(std::begin(kDecompress), std::end(kDecompress), rom.begin() + at);
    putWord(rom, at + 0x1C, gba::kRomBase + fronts);
    // The palette by IDs and personality, from the next word on: its pools at +0x24 and +0x34.
    static constexpr std::uint8_t kPalette[] = {
        0x10, 0xB5, 0x00, 0x04, 0x04, 0x0C, 0x08, 0x0C, 0x05, 0x4B, 0x19, 0x40, 0x48, 0x40, 0x11, 0x0C, 0x48, 0x40, 0x1A, 0x40, 0x50, 0x40,
        0x07, 0x28, 0x06, 0xD9, 0xE0, 0x00, 0x01, 0x49, 0x05, 0xE0, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x00, 0x02, 0x49,
        0x40, 0x18, 0x10, 0xBC, 0x02, 0xBC, 0x08, 0x47};
    const std::uint32_t palette = at + 0x30;
    std::copy(std::begin(kPalette), std::end(kPalette), rom.begin() + palette);
    putWord(rom, palette + 0x24, gba::kRomBase + palettes);
    putWord(rom, palette + 0x34, gba::kRomBase + shiny);
}

void retitle(Bytes& rom, std::string_view title, std::string_view code, std::uint8_t version) {
    std::fill(rom.begin() + gba::kTitleAt, rom.begin() + gba::kCodeAt + 4, 0);
    std::copy(title.begin(), title.end(), rom.begin() + gba::kTitleAt);
    std::copy(code.begin(), code.end(), rom.begin() + gba::kCodeAt);
    rom[gba::kVersionAt] = version;
    rom[gba::kComplementAt] = gba::headerComplement(rom);
}

Bytes emeraldImage(const std::vector<Trade60>& trades, std::size_t size) {
    Bytes rom = gbaImage("POKEMON EMER", "BPEE", 0, size);
    putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, kEmeraldTable, kEmeraldNames);
    putTradeSceneStrings(rom, kEmeraldSceneStrings, kEmeraldTable);
    putSpeciesNames(rom, kEmeraldNames);
    putPokedexTable(rom, kEmeraldPokedex);
    putPokedexRoutines(rom, kEmeraldPokedexRoutine, kEmeraldPokedex, kEmeraldPokedex + 0x400);
    putGenderRoutine(rom, kEmeraldGenderRoutine, kEmeraldBaseData);
    putBaseData(rom, kEmeraldBaseData);
    putAbilityNames(rom, kEmeraldAbilityName, kEmeraldAbilityNames);
    putItemNameRoutine(rom, kEmeraldItemName, kEmeraldItems);
    putItems(rom, kEmeraldItems);
    putTable60(rom, kEmeraldTable, trades);
    // The three rows of mail after the records: row r's word w is 0x0A00 + 16r + w (group 5).
    const std::uint32_t mail = kEmeraldTable + 0x3C * std::uint32_t(trades.size());
    for (std::uint32_t r = 0; r < 3; ++r) {
        for (std::uint32_t w = 0; w < 10; ++w) {
            const std::uint16_t word = w < 9 ? std::uint16_t(0x0A00 + 16 * r + w) : 0;
            rom[mail + 20 * r + 2 * w] = std::uint8_t(word), rom[mail + 20 * r + 2 * w + 1] = std::uint8_t(word >> 8);
        }
    }
    std::vector<std::pair<std::uint32_t, std::uint8_t>> maps;
    for (int trade = 0; trade < 4; ++trade) {
        putTradeScript(rom, 0x200000 + 0x100 * std::uint32_t(trade), trade, 0xFF);
        maps.emplace_back(0x200000 + 0x100 * std::uint32_t(trade) + 2, kEmeraldTradeSections[std::size_t(trade)]);
    }
    putMapHeaderRoutine(rom, kEmeraldMapHeaderRoutine, kEmeraldMapGroups);
    putMaps(rom, kEmeraldMapGroups, kEmeraldMapGroups + 0x100, maps);
    std::vector<std::string> names(213);
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = "SECTION " + std::to_string(i);
    names[11] = "FORTREE CITY", names[10] = "RUSTBORO CITY", names[6] = "PACIFIDLOG TOWN", names[58] = "BATTLE FRONTIER";
    putMapNames(rom, MapNameForm::Emerald, kEmeraldMapName, kEmeraldMapNames, names);
    return rom;
}

}  // namespace kestrane::testing
