#include "support/rom_image.h"
#include "platform/gb/cartridge.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <random>

#include "support/words.h"
#include "trades/releases.h"
#include "trades/dvs.h"
#include "trades/creature_list.h"
#include <stdexcept>

namespace kestrane::testing {

std::array<std::uint8_t, 11> nameField(std::string_view text) {
    std::array<std::uint8_t, 11> field{};
    field.fill(0x50);
    for (std::size_t i = 0; i < text.size() && i < 10; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') field[i] = static_cast<std::uint8_t>(0x80 + (c - 'A'));
        else if (c >= 'a' && c <= 'z') field[i] = static_cast<std::uint8_t>(0xA0 + (c - 'a'));
        else if (c >= '0' && c <= '9') field[i] = static_cast<std::uint8_t>(0xF6 + (c - '0'));
        else if (c == ' ') field[i] = 0x7F;
        else throw std::invalid_argument("nameField takes letters, digits and blanks");
    }
    return field;
}

namespace {

// Where each release keeps what the builder writes, from the facts the
// issues give (written here, not taken from Kestrane's own table).
struct Facts {
    std::string_view code;
    std::uint32_t table, routine, recordSize, speciesNames, nameLength, itemNames, baseData, palettes;
    bool crystal;
};
constexpr Facts kFacts[] = {
    {"AAUE", 0xFCC24, 0xFCB8E, 32, 0x1B0B74, 10, 0x1B0000, 0x51B0B, 0xAD3D, false},
    {"AAXE", 0xFCC24, 0xFCB8E, 32, 0x1B0B74, 10, 0x1B0000, 0x51B0B, 0xAD3D, false},
    {"BYTE", 0xFCE58, 0xFCDC2, 32, 0x53384, 10, 0x1C8000, 0x51424, 0xA8CE, true},
    {"BYTU", 0xFCE58, 0xFCDC2, 32, 0x53384, 10, 0x1C8000, 0x51424, 0xA8CE, true},
    {"BYTF", 0xFCE58, 0xFCDC2, 32, 0x53377, 10, 0x1C8000, 0x51417, 0xA8CE, true},
    {"BYTS", 0xFCE58, 0xFCDC2, 32, 0x5338D, 10, 0x1C8000, 0x5142D, 0xA8CE, true},
    {"AAUJ", 0xFCC23, 0xFCB8E, 16, 0x53A09, 5, 0x7293, 0x51AA9, 0xACC3, false},
    {"AAXJ", 0xFCC23, 0xFCB8E, 16, 0x53A09, 5, 0x7258, 0x51AA9, 0xACC3, false},
    // Red, Blue and Yellow: their titles are their codes (first_generation_image.h builds them).
    {"POKEMON RED", 0x71B7B, 0x71AD9, 14, 0x1C21E, 10, 0, 0x383DE, 0, false},
    {"POKEMON BLUE", 0x71B7B, 0x71AD9, 14, 0x1C21E, 10, 0, 0x383DE, 0, false},
    {"POKEMON YELLOW", 0x71C1D, 0x71B86, 14, 0xE8000, 10, 0, 0x383DE, 0, false},
};

// Both fact tables are keyed on the game code.
template <typename Row, std::size_t N>
const Row& rowOf(const Row (&rows)[N], std::string_view gameCode) {
    for (const Row& row : rows) {
        if (row.code == gameCode) return row;
    }
    throw std::invalid_argument("no facts for this game code");
}

const Facts& factsOf(std::string_view gameCode) { return rowOf(kFacts, gameCode); }

bool japanese(std::string_view gameCode) { return gameCode.size() == 4 && gameCode[3] == 'J'; }

// Made-up kana (katakana from 0x80): a name of `length` bytes, padded with 0x50.
std::array<std::uint8_t, 11> kanaField(std::initializer_list<std::uint8_t> kana) {
    std::array<std::uint8_t, 11> field{};
    field.fill(0x50);
    std::copy(kana.begin(), kana.end(), field.begin());
    return field;
}

}  // namespace

std::uint32_t recordSizeOf(std::string_view gameCode) { return factsOf(gameCode).recordSize; }

std::vector<TradeBytes> retailTrades(std::string_view gameCode) {
    auto t = [](std::uint8_t dialog, std::uint8_t requested, std::uint8_t offered, const char* nickname,
                std::uint8_t dv1, std::uint8_t dv2, std::uint8_t item, std::uint16_t id, const char* trainer,
                std::uint8_t gender) {
        return TradeBytes{dialog, requested, offered, nameField(nickname), {dv1, dv2}, item, id, nameField(trainer), gender};
    };
    if (japanese(gameCode)) {
        // Made-up kana names: 4 bytes of nickname, 3 of trainer's name, padded with 0x50.
        auto k = [](std::uint8_t dialog, std::uint8_t requested, std::uint8_t offered,
                    std::initializer_list<std::uint8_t> nickname, std::uint16_t id, std::initializer_list<std::uint8_t> trainer) {
            return TradeBytes{dialog, requested, offered, kanaField(nickname), {0x96, 0x66}, 0x53, id, kanaField(trainer), 0};
        };
        return {k(0, 96, 66, {0x88, 0xAB, 0x8F}, 37460, {0x9D, 0x81, 0x87}),
                k(0, 69, 95, {0xA8, 0x86, 0x81, 0x90}, 48926, {0x86, 0xA6}),
                k(1, 98, 100, {0x8C, 0x99, 0xAB}, 29189, {0x93, 0x9F}),
                k(2, 148, 112, {0x94, 0x8D}, 283, {0x83, 0x9E, 0x81}),
                k(1, 44, 78, {0xA6, 0xAB, 0x95, 0x81}, 15616, {0x8B, 0xA5}),
                k(2, 113, 142, {0x83, 0xA8}, 26491, {0x85, 0x9E})};
    }
    if (factsOf(gameCode).crystal) {
        return {t(0, 63, 66, "MUSCLE", 0x37, 0x66, 0xAE, 37460, "MIKE", 0),
                t(0, 69, 95, "ROCKY", 0x96, 0x66, 0x53, 48926, "KYLE", 0),
                t(1, 98, 100, "VOLTY", 0x98, 0x88, 0x4E, 29189, "TIM", 0),
                t(3, 148, 85, "DORIS", 0x77, 0x66, 0x6A, 283, "EMY", 2),
                t(2, 93, 178, "PAUL", 0x96, 0x86, 0x96, 15616, "CHRIS", 0),
                t(3, 113, 142, "AEROY", 0x96, 0x66, 0xAE, 26491, "KIM", 0),
                t(0, 51, 82, "MAGGIE", 0x96, 0x66, 0x8F, 50082, "FOREST", 0)};
    }
    return {t(0, 96, 66, "MUSCLE", 0x37, 0x66, 0xAE, 37460, "MIKE", 0),
            t(0, 69, 95, "ROCKY", 0x96, 0x66, 0x53, 48926, "KYLE", 0),
            t(1, 98, 100, "VOLTY", 0x98, 0x88, 0x4E, 29189, "TIM", 0),
            t(2, 148, 112, "DON", 0x77, 0x66, 0x53, 283, "EMY", 2),
            t(1, 44, 78, "RUNNY", 0x96, 0x66, 0x4F, 15616, "CHRIS", 0),
            t(2, 113, 142, "AEROY", 0x96, 0x66, 0xAE, 26491, "KIM", 0)};
}

std::uint32_t usualTable(std::string_view gameCode) { return factsOf(gameCode).table; }

std::uint32_t retailRoutine(std::string_view gameCode) { return factsOf(gameCode).routine; }

std::uint32_t slotOffset(std::uint32_t table, int slot, std::uint32_t recordSize) {
    const int record = slot == 1 ? 1 : slot == 2 ? 0 : slot - 1;
    return table + recordSize * std::uint32_t(record);
}

Bytes randomImage(std::string_view gameCode, std::uint32_t seed) {
    // Two million draws are most of a test's time under Valgrind and the
    // sanitizers: each seed's bytes are drawn once a process.
    static std::mutex drawing;
    static std::map<std::uint32_t, Bytes> drawn;
    Bytes rom;
    {
        std::lock_guard lock(drawing);
        auto it = drawn.find(seed);
        if (it == drawn.end()) {
            Bytes fresh(kRomSize);
            std::mt19937 random(seed);
            for (auto& b : fresh) b = static_cast<std::uint8_t>(random());
            it = drawn.emplace(seed, std::move(fresh)).first;
        }
        rom = it->second;
    }
    std::copy(std::begin(kLogo), std::end(kLogo), rom.begin() + kLogoOffset);
    for (std::size_t i = 0; i < gameCode.size(); ++i) rom[0x13F + i] = static_cast<std::uint8_t>(gameCode[i]);
    rom[0x148] = 0x06;  // the header's ROM size: 32 KiB << 6, the 2 MiB of these games
    rom[0x14C] = 0x00;  // the header's version byte: the first revision
    return rom;
}

void putRecord(Bytes& rom, std::uint32_t offset, const TradeBytes& trade, std::uint32_t recordSize) {
    Bytes record = {trade.dialog, trade.requested, trade.offered};
    // 32 bytes: 10-byte names and their terminators, a zero at the end; 16:
    // 4- and 3-byte names, nothing more.
    const bool wide = recordSize == 32;
    record.insert(record.end(), trade.nickname.begin(), trade.nickname.begin() + (wide ? 11 : 4));
    record.insert(record.end(), {trade.dvs[0], trade.dvs[1], trade.item, std::uint8_t(trade.id & 0xFF),
                                 std::uint8_t(trade.id >> 8)});
    record.insert(record.end(), trade.trainer.begin(), trade.trainer.begin() + (wide ? 11 : 3));
    record.push_back(trade.gender);
    if (wide) record.push_back(0x00);
    std::copy(record.begin(), record.end(), rom.begin() + offset);
}

void putTable(Bytes& rom, std::uint32_t offset, const std::vector<TradeBytes>& trades, std::uint32_t recordSize) {
    for (std::size_t i = 0; i < trades.size(); ++i) putRecord(rom, offset + std::uint32_t(i) * recordSize, trades[i], recordSize);
}

void putRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t recordSize) {
    const std::uint32_t address = table % 0x4000 + (at >= 0x4000 ? 0x4000 : 0);
    Bytes routine = {0x16, 0x00, 0xD5, 0xFA, 0x2D, 0xD0, 0xE6, 0x0F, 0xCB, 0x37, 0x5F, 0x16, 0x00, 0x21,
                     std::uint8_t(address & 0xFF), std::uint8_t(address >> 8), 0x19, 0x19, 0xD1, 0x19, 0xC9};
    if (recordSize == 16) routine.erase(routine.begin() + 16);  // one "add hl, de" less
    std::copy(routine.begin(), routine.end(), rom.begin() + at);
}

void putJump(Bytes& rom, std::uint32_t at, std::uint32_t target) {
    const std::uint32_t address = target % 0x4000 + (target >= 0x4000 ? 0x4000 : 0);
    const Bytes jump = {0xC3, std::uint8_t(address & 0xFF), std::uint8_t(address >> 8)};
    std::copy(jump.begin(), jump.end(), rom.begin() + at);
}

namespace {

struct ItemName {
    int item;
    const char* crystal;
    const char* goldSilver;  // nullptr: as Crystal's
};

constexpr ItemName kItemNames[] = {
#include "support/item_names.inc"
};

// Game text by hand, as the games print item names.
Bytes itemText(std::string_view text) {
    Bytes bytes;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') bytes.push_back(std::uint8_t(0x80 + (c - 'A')));
        else if (c >= '0' && c <= '9') bytes.push_back(std::uint8_t(0xF6 + (c - '0')));
        else if (c == ' ') bytes.push_back(0x7F);
        else if (c == '#') bytes.push_back(0x54);
        else if (c == '\'') bytes.push_back(0xE0);
        else if (c == '-') bytes.push_back(0xE3);
        else if (c == '.') bytes.push_back(0xE8);
        else if (c == '?') bytes.push_back(0xE6);
        else throw std::invalid_argument("itemText: no byte for this character");
    }
    bytes.push_back(0x50);
    return bytes;
}

}  // namespace

void putItemNames(Bytes& rom, std::string_view gameCode) {
    const Facts& facts = factsOf(gameCode);
    std::size_t at = facts.itemNames;
    for (const ItemName& name : kItemNames) {
        // The Japanese releases: made-up kana of two bytes; the others the English text.
        const Bytes text = japanese(gameCode) ? Bytes{std::uint8_t(0x80 + name.item % 40), std::uint8_t(0x80 + name.item / 40), 0x50}
                                              : itemText(facts.crystal || !name.goldSilver ? name.crystal : name.goldSilver);
        std::copy(text.begin(), text.end(), rom.begin() + std::ptrdiff_t(at));
        at += text.size();
    }
}

namespace {

}  // namespace

std::string gameSpelling(int species) {
    switch (species) {
    case 29: return "NIDORAN\xF5";  // the games' ♀ byte
    case 32: return "NIDORAN\xEF";  // ♂
    case 38: return "NINETALES";
    case 122: return "MR.MIME";
    case 134: return "VAPOREON";
    case 168: return "ARIADOS";
    case 220: return "SWINUB";
    default: break;
    }
    std::string name(trimmed(speciesList()[std::size_t(species)]));
    for (char& c : name) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return name;
}

void putSpeciesNames(Bytes& rom, std::string_view gameCode) {
    const Facts& facts = factsOf(gameCode);
    for (int species = 1; species <= 251; ++species) {
        Bytes field(facts.nameLength, 0x50);
        if (japanese(gameCode)) {
            // Made-up kana, every name another.
            field[0] = std::uint8_t(0x80 + species % 43);
            field[1] = std::uint8_t(0x80 + species / 43);
            std::copy(field.begin(), field.end(), rom.begin() + facts.speciesNames + std::size_t(species - 1) * facts.nameLength);
            continue;
        }
        const std::string name = gameSpelling(species);
        for (std::size_t i = 0; i < name.size(); ++i) {
            const char c = name[i];
            field[i] = c >= 'A' && c <= 'Z' ? std::uint8_t(0x80 + (c - 'A'))
                     : c >= '0' && c <= '9' ? std::uint8_t(0xF6 + (c - '0'))
                     : c == '.' ? 0xE8 : c == '\'' ? 0xE0 : c == '-' ? 0xE3 : std::uint8_t(c);
        }
        std::copy(field.begin(), field.end(), rom.begin() + facts.speciesNames + std::size_t(species - 1) * 10);
    }
}

void renameSpecies(Bytes& rom, std::string_view gameCode, int species, std::string_view name) {
    const auto field = nameField(name);
    std::copy_n(field.begin(), 10, rom.begin() + factsOf(gameCode).speciesNames + std::size_t(species - 1) * 10);
}

void putPicture(Bytes& rom, std::string_view gameCode, int species, std::uint32_t at, const Bytes& stream,
                std::uint8_t size, char unownLetter) {
    const bool crystal = factsOf(gameCode).crystal;
    const std::uint32_t real = at / 0x4000;
    // The stored bank: Crystal's is 0x36 less; Gold and Silver store 0x13,
    // 0x14 and 0x1F for 0x1F, 0x20 and 0x2E, and any other bank as it is.
    std::uint32_t stored = crystal ? real - 0x36 : real == 0x1F ? 0x13 : real == 0x20 ? 0x14 : real == 0x2E ? 0x1F : real;
    const std::uint32_t address = 0x4000 + at % 0x4000;
    const std::uint32_t pointers = unownLetter ? (crystal ? 0x124000u : 0x7C000u) + std::uint32_t(unownLetter - 'A') * 6
                                               : (crystal ? 0x120000u : 0x48000u) + std::uint32_t(species - 1) * 6;
    rom[pointers] = std::uint8_t(stored);
    rom[pointers + 1] = std::uint8_t(address & 0xFF);
    rom[pointers + 2] = std::uint8_t(address >> 8);
    std::copy(stream.begin(), stream.end(), rom.begin() + at);
    rom[factsOf(gameCode).baseData + std::uint32_t(species - 1) * 32 + 17] = size;
}

void putPalette(Bytes& rom, std::string_view gameCode, int species, const std::array<std::uint16_t, 4>& colours) {
    const std::uint32_t at = factsOf(gameCode).palettes + std::uint32_t(species) * 8;
    for (std::size_t i = 0; i < 4; ++i) {
        rom[at + 2 * i] = std::uint8_t(colours[i] & 0xFF);
        rom[at + 2 * i + 1] = std::uint8_t(colours[i] >> 8);
    }
}

Bytes literalStream(const Bytes& raw) {
    Bytes stream;
    for (std::size_t at = 0; at < raw.size(); at += 32) {
        const std::size_t n = std::min<std::size_t>(32, raw.size() - at);
        stream.push_back(std::uint8_t(n - 1));
        stream.insert(stream.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
    }
    stream.push_back(0xFF);
    return stream;
}

void putPictures(Bytes& rom, std::string_view gameCode) {
    // 5 x 5 tiles each: 400 bytes, 414 as plain copies; 38 to a bank, in
    // banks 0x40 to 0x47, which the synthetic images leave to filler. The
    // species first, then Unown's 26 forms.
    std::uint32_t at = 0x40 * 0x4000;
    for (int n = 1; n <= 251 + 26; ++n) {
        const int species = n <= 251 ? n : kUnown;
        Bytes raw(5 * 5 * 16);
        for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = std::uint8_t((i * 7 + std::size_t(n) * 13) ^ (i / 16));
        const Bytes stream = literalStream(raw);
        if (at % 0x4000 + stream.size() > 0x4000) at = (at / 0x4000 + 1) * 0x4000;
        putPicture(rom, gameCode, species, at, stream, 0x55, n <= 251 ? 0 : char('A' + n - 252));
        if (n <= 251) {
            putPalette(rom, gameCode, species, {std::uint16_t(species * 97 & 0x7FFF), std::uint16_t(species * 31 & 0x7FFF),
                                                0x03E0, 0x001F});
        }
        at += std::uint32_t(stream.size());
    }
}

std::uint8_t testGenderRatio(int species) {
    // As the games have them: Chansey always female, Tauros always male, Magnemite genderless.
    if (species == 113) return 0xFE;
    if (species == 128) return 0x00;
    if (species == 81) return 0xFF;
    constexpr std::uint8_t kRatios[] = {0x00, 0x1F, 0x3F, 0x7F, 0xBF, 0xFE, 0xFF};
    return kRatios[species % 7];
}

void putBaseData(Bytes& rom, std::string_view gameCode) {
    const std::size_t table = factsOf(gameCode).baseData;
    for (int species = 1; species <= 251; ++species) {
        const std::size_t entry = table + std::size_t(species - 1) * 32;
        rom[entry] = std::uint8_t(species);
        rom[entry + 13] = testGenderRatio(species);
    }
}

void buildChecksums(Bytes& rom, bool stadium) {
    auto put16 = [&](std::size_t at, unsigned value) {
        rom[at] = std::uint8_t(value >> 8 & 0xFF);
        rom[at + 1] = std::uint8_t(value & 0xFF);
    };
    // The header checksum first, as the build's fix tool makes it: x = x - byte - 1 over 0x134-0x14C.
    unsigned header = 0;
    for (std::size_t k = 0x134; k < 0x14D; ++k) header = (header - rom[k] - 1) & 0xFF;
    rom[0x14D] = std::uint8_t(header);
    rom[0x14E] = rom[0x14F] = 0;
    if (stadium) {
        std::fill(rom.begin() + 0x1FFDF8, rom.begin() + 0x1FFDF8 + 520, 0);
        std::copy_n("N64PS3", 6, rom.begin() + 0x1FFDF8);
        for (std::size_t i = 0; i < 256; ++i) {
            unsigned sum = 0xFEFE;
            for (std::size_t k = 0; k < 0x2000; ++k) sum += rom[i * 0x2000 + k];
            put16(0x1FFE00 + 2 * i, sum & 0xFFFF);
        }
        std::array<unsigned, 256> table{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned rem = 0, c = i;
            for (int step = 0; step < 8; ++step) {
                rem = (rem >> 1) ^ (((rem ^ c) & 1) ? 0xC387 : 0);
                c >>= 1;
            }
            table[i] = rem;
        }
        unsigned crc = 0xFEFE;
        for (std::size_t k = 0; k < 512; ++k) crc = (crc >> 8) ^ table[(crc ^ rom[0x1FFE00 + k]) & 0xFF];
        put16(0x1FFDFE, crc & 0xFFFF);
    }
    unsigned total = 0;
    for (std::size_t k = 0; k < rom.size(); ++k) total += k == 0x14E || k == 0x14F ? 0 : rom[k];
    put16(0x14E, total & 0xFFFF);
}

namespace {

// Where each release keeps its words, from the facts the issues give.
struct WordsFacts {
    std::string_view code;
    std::uint32_t routine, table;
    int sets;
    std::uint16_t requestedWithGender, offered, requested;
    std::uint32_t textBank;  // 0: inline in bank 0x3F
    std::uint32_t landmarks;
    std::array<std::uint8_t, 7> slots;
};
constexpr std::array<std::uint8_t, 7> kCrystalSlots = {0x06, 0x10, 0x1B, 0x29, 0x33, 0x4C, 0x44};
constexpr std::array<std::uint8_t, 7> kGoldSilverSlots = {0x06, 0x10, 0x1B, 0x28, 0x32, 0x4B, 0x43};
constexpr WordsFacts kWords[] = {
    {"AAUE", 0xFCCE4, 0xFCD02, 3, 0xCF6B, 0xCF7E, 0xCF48, 0x64, 0x092382, kGoldSilverSlots},
    {"AAXE", 0xFCCE4, 0xFCD02, 3, 0xCF6B, 0xCF7E, 0xCF48, 0x64, 0x092382, kGoldSilverSlots},
    {"BYTE", 0xFCF38, 0xFCF53, 4, 0xD073, 0xD086, 0xD050, 0x6F, 0x1CA8C3, kCrystalSlots},
    {"BYTU", 0xFCF38, 0xFCF53, 4, 0xD073, 0xD086, 0xD050, 0x6F, 0x1CA8C3, kCrystalSlots},
    {"BYTF", 0xFCF38, 0xFCF53, 4, 0xD073, 0xD086, 0xD050, 0x6F, 0x1CA97F, kCrystalSlots},
    {"BYTS", 0xFCF38, 0xFCF53, 4, 0xD073, 0xD086, 0xD050, 0x6F, 0x1CAAB4, kCrystalSlots},
    {"AAUJ", 0xFCC83, 0xFCCA1, 3, 0xCF87, 0xCF92, 0xCF72, 0, 0x0924B6, kGoldSilverSlots},
    {"AAXJ", 0xFCC83, 0xFCCA1, 3, 0xCF87, 0xCF92, 0xCF72, 0, 0x0924B6, kGoldSilverSlots},
};

const WordsFacts& wordsOf(std::string_view gameCode) { return rowOf(kWords, gameCode); }

void putAt(Bytes& rom, std::uint32_t at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), rom.begin() + at); }
std::uint16_t bankAddress(std::uint32_t offset) { return std::uint16_t(offset % 0x4000 + 0x4000); }

}  // namespace

Bytes gameText(std::string_view text, bool terminated) {
    Bytes bytes = itemText(text);
    if (!terminated) bytes.pop_back();
    return bytes;
}

std::uint32_t linesRoutineOf(std::string_view gameCode) { return wordsOf(gameCode).routine; }
std::uint32_t linesTableOf(std::string_view gameCode) { return wordsOf(gameCode).table; }

void putLinesRoutine(Bytes& rom, std::string_view gameCode, std::uint32_t at, std::uint32_t table) {
    const std::uint16_t a = bankAddress(table);
    const auto lo = std::uint8_t(a & 0xFF), hi = std::uint8_t(a >> 8);
    if (factsOf(gameCode).crystal) {
        putAt(rom, at, {0xF5, 0xCD, 0x00, 0x00, 0xF1, 0x01, 0x08, 0x00, 0x21, lo, hi, 0xCD, 0x00, 0x00, 0xFA, 0x00, 0x00,
                        0x4F, 0x09, 0x09, 0x2A, 0x66, 0x6F});
    } else {
        putAt(rom, at, {0xF5, 0xCD, 0x00, 0x00, 0xF1, 0x5F, 0x16, 0x00, 0x21, lo, hi, 0x19, 0x19, 0x19, 0x19, 0x19, 0x19,
                        0xFA, 0x00, 0x00, 0x5F, 0x19, 0x19, 0x2A});
    }
}

void putTraderLines(Bytes& rom, std::string_view gameCode) {
    putTraderLinesAt(rom, gameCode, wordsOf(gameCode).routine, wordsOf(gameCode).table);
}

void putTraderLinesAt(Bytes& rom, std::string_view gameCode, std::uint32_t routine, std::uint32_t table) {
    WordsFacts w = wordsOf(gameCode);
    w.routine = routine;
    w.table = table;
    const bool japanese = w.textBank == 0;
    putLinesRoutine(rom, gameCode, w.routine, w.table);
    std::uint32_t stub = 0xFD000;  // in bank 0x3F, past the trades and both routines
    std::uint32_t text = japanese ? 0xFE800 : w.textBank * 0x4000;
    auto name = [](std::uint16_t ram) { return Bytes{0x01, std::uint8_t(ram & 0xFF), std::uint8_t(ram >> 8)}; };
    for (int phase = 0; phase < 5; ++phase) {
        for (int set = 0; set < w.sets; ++set) {
            Bytes body;
            if (phase == 0 && set == 0) {
                Bytes intro = japanese ? Bytes{0x00, 0x80, 0x4A, 0x56, 0x4F, 0x81, 0x50}
                                       : Bytes{0x00};
                if (!japanese) {
                    for (const Bytes& part : {gameText("I COLLECT ", false), Bytes{0x54}, gameText("MON.", false), Bytes{0x4F},
                                              gameText("DO YOU HAVE", false), Bytes{0x55, 0x50}}) {
                        intro.insert(intro.end(), part.begin(), part.end());
                    }
                }
                body = intro;
                for (const Bytes& part : {name(w.requestedWithGender),
                                          japanese ? Bytes{0x00, 0xE6, 0x57} : Bytes{0x00, 0xE6, 0x51}}) {
                    body.insert(body.end(), part.begin(), part.end());
                }
                if (!japanese) {
                    for (const Bytes& part : {gameText("WANT TO TRADE IT", false), Bytes{0x4F}, gameText("FOR MY ", false),
                                              Bytes{0x50}, name(w.offered), Bytes{0x00, 0xE6, 0x57}}) {
                        body.insert(body.end(), part.begin(), part.end());
                    }
                }
            } else {
                body = {0x00};
                const Bytes chars = japanese ? Bytes{0x80, std::uint8_t(0xF6 + set), 0x81, std::uint8_t(0xF6 + phase)}
                                             : gameText("SET " + std::to_string(set) + " PHASE " + std::to_string(phase), false);
                body.insert(body.end(), chars.begin(), chars.end());
                body.insert(body.end(), {0x50, 0x50});
            }
            const std::uint32_t entry = w.table + 2 * std::uint32_t(phase * w.sets + set);
            if (japanese) {
                putAt(rom, text, body);
                putAt(rom, entry, {std::uint8_t(bankAddress(text) & 0xFF), std::uint8_t(bankAddress(text) >> 8)});
            } else {
                putAt(rom, text, body);
                putAt(rom, stub, {0x16, std::uint8_t(bankAddress(text) & 0xFF), std::uint8_t(bankAddress(text) >> 8),
                                  std::uint8_t(w.textBank), 0x50});
                putAt(rom, entry, {std::uint8_t(bankAddress(stub) & 0xFF), std::uint8_t(bankAddress(stub) >> 8)});
                stub += 8;
            }
            text += 96;
        }
    }
}

void putLandmarks(Bytes& rom, std::string_view gameCode, const std::vector<Bytes>& slotNames) {
    putLandmarksAt(rom, gameCode, wordsOf(gameCode).landmarks, slotNames);
}

void putLandmarksAt(Bytes& rom, std::string_view gameCode, std::uint32_t landmarks, const std::vector<Bytes>& slotNames) {
    WordsFacts w = wordsOf(gameCode);
    w.landmarks = landmarks;
    const std::uint32_t bank = w.landmarks / 0x4000;
    std::uint32_t names = bank * 0x4000 + 0x3000;  // in the table's bank, past every release's table
    const Bytes other = gameText("PLACE");
    putAt(rom, names, other);
    const std::uint32_t otherAt = names;
    names += std::uint32_t(other.size());
    for (std::uint32_t id = 0; id <= 0x4C; ++id) {
        std::uint32_t at = otherAt;
        for (std::size_t slot = 0; slot < slotNames.size() && slot < w.slots.size(); ++slot) {
            if (w.slots[slot] != id) continue;
            at = names;
            putAt(rom, names, slotNames[slot]);
            names += std::uint32_t(slotNames[slot].size());
        }
        putAt(rom, w.landmarks + 4 * id, {0x00, 0x00, std::uint8_t(bankAddress(at) & 0xFF), std::uint8_t(bankAddress(at) >> 8)});
    }
}

Bytes retailLikeRom(std::string_view gameCode, std::uint32_t seed) {
    Bytes rom = randomImage(gameCode, seed);
    putTable(rom, usualTable(gameCode), retailTrades(gameCode), recordSizeOf(gameCode));
    putRoutine(rom, retailRoutine(gameCode), usualTable(gameCode), recordSizeOf(gameCode));
    putSpeciesNames(rom, gameCode);
    putItemNames(rom, gameCode);
    putBaseData(rom, gameCode);
    putTraderLines(rom, gameCode);
    // The places as the English games spell them; made-up kana in Japanese.
    std::vector<Bytes> places;
    for (const char* place : {"VIOLET CITY", "GOLDENROD CITY", "OLIVINE CITY", "BLACKTHORN CITY", "PEWTER CITY", "ROUTE 14",
                              "POWER PLANT"}) {
        places.push_back(japanese(gameCode) ? Bytes{std::uint8_t(0x80 + places.size()), 0x81, 0x50} : gameText(place));
    }
    putLandmarks(rom, gameCode, places);
    return rom;
}

std::vector<Trade16> retailTrades16() {
    std::vector<Trade16> trades;
    for (const TradeBytes& t : retailTrades("BYTE")) {
        trades.push_back(Trade16{t.dialog, t.requested, t.offered, t.nickname, {t.dvs[0], t.dvs[1]}, t.item, t.id, t.trainer, t.gender});
    }
    return trades;
}

Bytes record16(const Trade16& t, bool items16) {
    Bytes r(5 + t.nickname.size());
    r[0] = t.dialog;
    r[1] = std::uint8_t(t.requested & 0xFF), r[2] = std::uint8_t(t.requested >> 8);
    r[3] = std::uint8_t(t.offered & 0xFF), r[4] = std::uint8_t(t.offered >> 8);
    std::copy(t.nickname.begin(), t.nickname.end(), r.begin() + 5);  // +5: 10 characters and the terminator
    r.insert(r.end(), {t.dvs[0], t.dvs[1], std::uint8_t(t.item & 0xFF)});
    if (items16) r.push_back(std::uint8_t(t.item >> 8));
    r.insert(r.end(), {std::uint8_t(t.id & 0xFF), std::uint8_t(t.id >> 8)});
    r.insert(r.end(), t.trainer.begin(), t.trainer.begin() + 7);
    r.push_back(0x50);
    r.push_back(t.gender);
    while (r.size() < 32) r.push_back(0x00);
    return r;
}

void putTable16(Bytes& rom, std::uint32_t at, const std::vector<Trade16>& trades, bool items16) {
    for (const Trade16& t : trades) {
        const Bytes r = record16(t, items16);
        std::copy(r.begin(), r.end(), rom.begin() + at);
        at += 32;
    }
}

void putRoutine16(Bytes& rom, std::uint32_t at, std::uint32_t table, bool items16) {
    putRoutine(rom, at, table);
    // The callers, in the routine's bank: ld e, N; call GetTradeAttr; the species read as words right after.
    const std::uint32_t address = 0x4000 + at % 0x4000;
    const std::uint8_t fields[] = {0, 1, 3, 5, 16, 18, std::uint8_t(items16 ? 20 : 19), std::uint8_t(items16 ? 22 : 21),
                                   std::uint8_t(items16 ? 30 : 29)};
    std::uint32_t call = at / 0x4000 * 0x4000 + 0x100;
    for (std::uint8_t field : fields) {
        Bytes code = {0x1E, field, 0xCD, std::uint8_t(address & 0xFF), std::uint8_t(address >> 8)};
        if (field == 1 || field == 3) code.insert(code.end(), {0x2A, 0x66, 0x6F});
        code.push_back(0xC9);
        std::copy(code.begin(), code.end(), rom.begin() + call);
        call += 16;
    }
}

Bytes species16Rom(bool items16, int species, std::uint32_t seed) {
    Bytes rom = randomImage("BYTE", seed);
    const std::uint32_t table = items16 ? kItems16Table : kSpecies16Table;
    putTable16(rom, table, retailTrades16(), items16);
    putRoutine16(rom, items16 ? kItems16Routine : kSpecies16Routine, table, items16);
    // The names: GetPokemonName in bank 0 switches to bank 0x14 and adds ID x 10 to the names less one name.
    const std::uint32_t names = items16 ? 0x53459 : 0x53274;
    const std::uint16_t less = std::uint16_t(0x4000 + (names - 10) % 0x4000);
    const Bytes getName = {0xF0, 0x98, 0xF5, 0xE5, 0x3E, std::uint8_t(names / 0x4000), 0xD7, 0xFA, 0x00, 0xD1, 0xCD, 0x00, 0x30,
                           0x5D, 0x54, 0x29, 0x29, 0x19, 0x29, 0x11, std::uint8_t(less & 0xFF), std::uint8_t(less >> 8), 0x19};
    std::copy(getName.begin(), getName.end(), rom.begin() + 0x3318);
    // Four entries before the names: EGG and three "?????".
    const Bytes egg = {0x84, 0x86, 0x86, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50};
    std::copy(egg.begin(), egg.end(), rom.begin() + names - 40);
    for (int id = 1; id <= species; ++id) {
        const std::string name = id <= 251 ? gameSpelling(id) : "ADDED " + std::to_string(id);
        Bytes field(10, 0x50);
        for (std::size_t i = 0; i < name.size() && i < 10; ++i) {
            const char c = name[i];
            field[i] = c >= 'A' && c <= 'Z' ? std::uint8_t(0x80 + (c - 'A'))
                     : c >= '0' && c <= '9' ? std::uint8_t(0xF6 + (c - '0'))
                     : c == ' ' ? 0x7F : c == '.' ? 0xE8 : c == '\'' ? 0xE0 : c == '-' ? 0xE3 : std::uint8_t(c);
        }
        std::copy(field.begin(), field.end(), rom.begin() + names + std::uint32_t(id - 1) * 10);
    }
    // The base data: a word (32 bytes an entry, from ID 1), a chunk of the 251 the base has, a chunk of
    // the species a hack added (in bank 0x7C) up to 255 at a time, the end.
    const std::uint32_t base = items16 ? 0x512D4 : 0x512E5;
    const int chunks = 1 + (std::max(species - 251, 0) + 254) / 255;
    const std::uint32_t entries = base + 2 + 4 * std::uint32_t(chunks) + 1, added = 0x7C * 0x4000;
    auto entryAt = [&](int id) { return id <= 251 ? entries + std::uint32_t(id - 1) * 32 : added + std::uint32_t(id - 252) * 32; };
    Bytes indirect = {0x20, 0x80};
    for (int first = 1; first <= species; first += first == 1 ? 251 : 255) {
        const std::uint32_t at = entryAt(first);
        const std::uint16_t address = std::uint16_t(0x4000 + at % 0x4000);
        indirect.insert(indirect.end(), {std::uint8_t(std::min(first == 1 ? 251 : 255, species - first + 1)), std::uint8_t(at / 0x4000),
                                         std::uint8_t(address & 0xFF), std::uint8_t(address >> 8)});
    }
    indirect.push_back(0x00);
    std::copy(indirect.begin(), indirect.end(), rom.begin() + base);
    for (int id = 1; id <= species; ++id) {
        const std::uint32_t entry = entryAt(id);
        rom[entry + 13] = testGenderRatio(id <= 251 ? id : id % 251 + 1);
        rom[entry + 17] = 0x55;
    }
    // Pictures: the egg's pointer, then one an ID from ID 0, with real banks; palettes 8 bytes an ID.
    std::uint32_t at = 0x40 * 0x4000;
    for (int id = 1; id <= species; ++id) {
        Bytes raw(5 * 5 * 16);
        for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = std::uint8_t((i * 7 + std::size_t(id) * 13) ^ (i / 16));
        const Bytes stream = literalStream(raw);
        if (at % 0x4000 + stream.size() > 0x4000) at = (at / 0x4000 + 1) * 0x4000;
        const std::uint32_t pointer = 0x120012 + std::uint32_t(id) * 6;
        const std::uint16_t address = std::uint16_t(0x4000 + at % 0x4000);
        rom[pointer] = std::uint8_t(at / 0x4000);
        rom[pointer + 1] = std::uint8_t(address & 0xFF);
        rom[pointer + 2] = std::uint8_t(address >> 8);
        std::copy(stream.begin(), stream.end(), rom.begin() + at);
        const std::uint16_t colours[] = {std::uint16_t(id * 97 & 0x7FFF), std::uint16_t(id * 31 & 0x7FFF), 0x03E0, 0x001F};
        for (int c = 0; c < 4; ++c) {
            rom[0xA8E3 + std::uint32_t(id) * 8 + std::uint32_t(c) * 2] = std::uint8_t(colours[c] & 0xFF);
            rom[0xA8E3 + std::uint32_t(id) * 8 + std::uint32_t(c) * 2 + 1] = std::uint8_t(colours[c] >> 8);
        }
        at += std::uint32_t(stream.size());
    }
    // Items: Crystal's names, or 16-bit items in order (GOLD BERRY 0x008F among 300).
    if (items16) {
        std::size_t item = 0x1C8000;
        for (int n = 1; n <= 300; ++n) {
            const Bytes text = itemText(n == 0x8F ? "GOLD BERRY" : "ITEM " + std::to_string(n));
            std::copy(text.begin(), text.end(), rom.begin() + std::ptrdiff_t(item));
            item += text.size();
        }
        rom[item] = 0x00;  // no name: the list ends
    } else {
        putItemNames(rom, "BYTE");
    }
    // The traders' lines through PrintTradeText past the table (0xFCF6D, TradeTexts 0xFCF88; five bytes on in the fork); the landmarks.
    putTraderLinesAt(rom, "BYTE", items16 ? 0xFCF72 : 0xFCF6D, items16 ? 0xFCF8D : 0xFCF88);
    std::vector<Bytes> places;
    for (const char* place : {"VIOLET CITY", "GOLDENROD CITY", "OLIVINE CITY", "BLACKTHORN CITY", "PEWTER CITY", "ROUTE 14", "POWER PLANT"}) {
        places.push_back(gameText(place));
    }
    putLandmarksAt(rom, "BYTE", items16 ? 0x1CA6DF : 0x1CA883, places);
    return rom;
}

TempDir::TempDir() {
    // random_device may be a fixed sequence (mingw); the clock tells parallel test processes apart.
    static std::mt19937_64 names(std::random_device{}() ^
                                 std::uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() / ("kestrane-test-" + std::to_string(names()));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("could not make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void growPastAnyRead(const std::string& path) {
    const std::filesystem::path file = fsPath(path);
    const std::uintmax_t room = std::filesystem::space(file.parent_path()).available;
    std::filesystem::resize_file(file, std::min(std::uintmax_t(64) << 30, std::max(room / 2, std::uintmax_t(1) << 30)));
}

std::filesystem::path fsPath(const std::string& utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string TempDir::folder() const { return utf8(path_); }

std::string TempDir::file(const std::string& name) const { return utf8(path_ / fsPath(name)); }

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    std::string file = utf8(path_ / fsPath(name));
    std::ofstream out(fsPath(file), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("could not write " + file);
    return file;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("could not read " + path);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("could not read " + path);
    return bytes;
}

std::vector<std::size_t> differences(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) at.push_back(i);
    }
    return at;
}

}  // namespace kestrane::testing
