#include "support/polished_crystal_image.h"

#include <map>
#include <stdexcept>

#include "support/words.h"
#include "trades/creature_list.h"

namespace kestrane::testing {
namespace {

constexpr std::uint32_t kBankSize = 0x4000;
std::uint16_t address(std::uint32_t offset) { return std::uint16_t(offset < kBankSize ? offset : kBankSize + offset % kBankSize); }
constexpr int kSpecies = 291;
constexpr std::uint8_t kAt = 0x53;

// The image's Huffman code: each character's bits, and the tree.
struct HuffmanCode {
    std::map<std::uint8_t, std::vector<bool>> bits;
    Bytes tree = Bytes(2 * 0x7F, 0x00);
};
const HuffmanCode& huffmanCode() {
    static const HuffmanCode code = [] {
        Bytes symbols = {0x7F, 0x9C, 0x9D, 0x9E, 0x9F, 0xC0};
        for (std::uint8_t c = 0x80; c <= 0x99; ++c) symbols.push_back(c);
        for (std::uint8_t c = 0xA0; c <= 0xB9; ++c) symbols.push_back(c);
        for (std::uint8_t c = 0xE0; c <= 0xE9; ++c) symbols.push_back(c);
        for (std::uint8_t c = 0x4D; c <= 0x5C; ++c) symbols.push_back(c);
        HuffmanCode made;
        std::uint8_t next = 0;
        // A node a run of symbols, halved until one is left: a character's
        // node is itself, 0x4D-0x5C as 0xEC-0xFB.
        auto build = [&](auto& self, std::size_t from, std::size_t to, std::vector<bool> path) -> std::uint8_t {
            if (to - from == 1) {
                const std::uint8_t c = symbols[from];
                made.bits[c] = path;
                return c >= 0x7F ? c : std::uint8_t(c + 0x9F);
            }
            const std::uint8_t node = next++;
            const std::size_t middle = (from + to) / 2;
            auto left = path, right = path;
            left.push_back(false), right.push_back(true);
            made.tree[2u * node] = self(self, from, middle, left);
            made.tree[2u * node + 1] = self(self, middle, to, right);
            return node;
        };
        build(build, 0, symbols.size(), {});
        return made;
    }();
    return code;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

std::vector<PolishedTrade> polishedTrades() {
    auto trade = [](std::uint8_t dialog, std::uint16_t wants, std::uint16_t gives, bool female, std::string nick,
                    std::uint8_t nature, std::uint8_t ball, std::uint8_t item, std::uint16_t id, std::string trainer) {
        PolishedTrade t;
        t.dialog = dialog, t.requested = wants, t.offered = gives, t.female = female, t.nickname = std::move(nick);
        t.personality = std::uint8_t(0x60 | nature), t.ball = ball, t.item = item, t.id = id, t.trainer = std::move(trainer);
        return t;
    };
    std::vector<PolishedTrade> trades = {
        trade(0, 63, 66, true, "Muscle", 3, 2, 0x1D, 37460, "Mike"),          // Abra for Machop, Adamant
        trade(0, 60, 100, false, "Mimic", 11, 3, 0x1E, 48926, "Kyle"),        // Poliwag for Voltorb, Hasty
        trade(1, 208, 115, false, "Joey", 2, 4, 0x1F, 29189, "Tim"),          // Steelix for Kangaskhan, Brave
        trade(3, 124, 122, true, "Doris", 10, 5, 0x20, 283, "Emy"),           // Jynx for Mr. Mime, Timid
        trade(2, 127, 214, false, "Paul", 13, 0, 0x21, 15616, "Chris"),       // Pinsir for Heracross, Jolly, Park Ball
        trade(3, 202, 113, true, "Chance", 20, 6, 0x22, 26491, "Kim"),        // Wobbuffet for Chansey, Calm
        trade(1, 72, 88, true, "Gail", 23, 7, 0x23, 50082, "Jacques"),        // Tentacool for Grimer, Careful
        trade(0, 83, 84, false, "Clarence", 11, 8, 0x24, 43972, "Hari"),      // Farfetch'd for Doduo, Hasty
        trade(0, 77, 110, false, "Batty", 5, 9, 0x25, 8922, "Jeeves"),        // Ponyta for Galarian Weezing, Bold
    };
    trades.back().offeredForm = 3;
    return trades;
}

Bytes polishedText(std::string_view text, std::size_t field) {
    Bytes bytes;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') bytes.push_back(std::uint8_t(0x80 + (c - 'A')));
        else if (c >= 'a' && c <= 'z') bytes.push_back(std::uint8_t(0xA0 + (c - 'a')));
        else if (c >= '0' && c <= '9') bytes.push_back(std::uint8_t(0xE0 + (c - '0')));
        else if (c == ' ') bytes.push_back(0x7F);
        else throw std::invalid_argument("polishedText takes letters, digits and blanks");
    }
    if (bytes.size() > field) throw std::invalid_argument("polishedText: longer than its field");
    bytes.resize(field, kAt);
    return bytes;
}

Bytes polishedChars(std::string_view text) {
    Bytes bytes;
    for (char c : text) {
        switch (c) {
        case '.': bytes.push_back(0x9C); break;
        case ',': bytes.push_back(0x9D); break;
        case '?': bytes.push_back(0x9E); break;
        case '!': bytes.push_back(0x9F); break;
        case '\'': bytes.push_back(0xC0); break;
        case '\n': bytes.push_back(0x57); break;
        case '|': bytes.push_back(0x59); break;
        default: {
            const Bytes one = polishedText(std::string(1, c), 1);
            bytes.push_back(one[0]);
        }
        }
    }
    return bytes;
}

Bytes polishedPacked(const Bytes& chars) {
    Bytes packed = {0x5D};
    int used = 8;
    for (std::uint8_t c : chars) {
        const auto found = huffmanCode().bits.find(c);
        if (found == huffmanCode().bits.end()) throw std::invalid_argument("polishedPacked: a character the tree lacks");
        for (bool bit : found->second) {
            if (used == 8) packed.push_back(0x00), used = 0;
            if (bit) packed.back() = std::uint8_t(packed.back() | 0x80 >> used);
            ++used;
        }
    }
    return packed;
}

void putPolishedLine(Bytes& rom, int set, int phase, const Bytes& text) {
    const std::uint32_t at = kPolishedFarTexts + 0x80u * std::uint32_t(phase * 4 + set);
    std::copy(text.begin(), text.end(), rom.begin() + at);
}

Bytes polishedIntro() {
    const Bytes requested = {0x01, std::uint8_t(kPolishedRequested), std::uint8_t(kPolishedRequested >> 8)};
    const Bytes offered = {0x01, std::uint8_t(kPolishedOffered), std::uint8_t(kPolishedOffered >> 8)};
    return cat({polishedPacked(cat({polishedChars("I collect "), {0x4E}, polishedChars(". Do you\nhave "), {kAt}})), requested,
                polishedPacked(cat({polishedChars("?|Want to trade it\nfor my "), {kAt}})), offered,
                polishedPacked(cat({polishedChars("?"), {0x52}}))});
}

Bytes polishedRecord(const PolishedTrade& t, bool threeX) {
    Bytes r = {t.dialog, std::uint8_t(t.requested), std::uint8_t((t.requested >> 8) << 5 | t.requestedForm),
               std::uint8_t(t.offered), std::uint8_t((t.female ? 0x80 : 0) | (t.offered >> 8) << 5 | t.offeredForm)};
    const Bytes nickname = polishedText(t.nickname, 11);
    r.insert(r.end(), nickname.begin(), nickname.end());
    r.insert(r.end(), {t.dvs[0], t.dvs[1], t.dvs[2], t.personality, t.ball, t.item, std::uint8_t(t.id), std::uint8_t(t.id >> 8)});
    const Bytes trainer = polishedText(t.trainer, threeX ? 8 : 7);
    r.insert(r.end(), trainer.begin(), trainer.end());
    r.push_back(0x00);
    return r;
}

void putPolishedTable(Bytes& rom, std::uint32_t at, const std::vector<PolishedTrade>& trades, bool threeX) {
    for (const PolishedTrade& trade : trades) {
        const Bytes record = polishedRecord(trade, threeX);
        std::copy(record.begin(), record.end(), rom.begin() + at);
        at += std::uint32_t(record.size());
    }
    // Code follows the ninth record: PrintTradeText's push af; call.
    rom[at] = 0xF5, rom[at + 1] = 0xCD;
}

void putPolishedRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, bool threeX) {
    const std::uint16_t t = address(table);
    const Bytes routine = {0xC5, 0x21, std::uint8_t(t), std::uint8_t(t >> 8), 0xFA, 0x13, 0xCE, 0x01,
                           std::uint8_t(threeX ? 0x21 : 0x20), 0x00, 0xDF, 0xC1, 0x57, 0x19, 0xC9};
    std::copy(routine.begin(), routine.end(), rom.begin() + at);
    // The callers (ld e, N; call GetTradeAttribute; ld a, [hl]) from the bank's start.
    const std::uint16_t r = address(at);
    std::uint32_t caller = at / kBankSize * kBankSize + 0x100;
    for (std::uint8_t e : {0, 1, 3, 5, 16, 19, 20, 21, 23, 24}) {
        const Bytes call = {0x1E, e, 0xCD, std::uint8_t(r), std::uint8_t(r >> 8), 0x7E};
        std::copy(call.begin(), call.end(), rom.begin() + caller);
        caller += std::uint32_t(call.size());
    }
}

void putTradeObject(Bytes& rom, std::uint32_t at, int trade) {
    // sprite, y + 4, x + 4, movement, radius, hour, daytime, colour << 4 | type, command, index, 0, event flag
    const Bytes object = {0x2A, 4 + 7, 4 + 3, 0x06, 0x00, 0xFF, 0xFF, 0x25, 0x94, std::uint8_t(trade), 0x00, 0xFF, 0xFF};
    std::copy(object.begin(), object.end(), rom.begin() + at);
}

std::string polishedItemName(int item) {
    static constexpr const char* kBalls[] = {"None", "Master Ball", "Ultra Ball", "Great Ball", "Poke Ball", "Heavy Ball",
                                             "Level Ball", "Lure Ball", "Fast Ball", "Friend Ball"};
    return item < 10 ? kBalls[item] : "Item " + std::to_string(item);
}

std::string polishedSpeciesName(int species) {
    switch (species) {
    case 0: return "Nothing";
    case 252: return "Azurill";
    case 253: return "Wynaut";
    case 254: return "Ambipom";
    case 255: return "Egg";
    case 256: return "Unused";
    default: break;
    }
    if (species > 256) return "Added " + std::to_string(species);
    std::string name;
    for (char c : trimmed(speciesList()[std::size_t(species)])) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) name += c;
    }
    return name.substr(0, 10);
}

Bytes polishedCrystalRom(bool threeX, std::uint8_t version, std::uint32_t seed) {
    Bytes rom = randomImage("PKPC", seed);
    const std::string_view title = "PKPCRYSTAL";
    std::copy(title.begin(), title.end(), rom.begin() + 0x134);
    rom[0x13E] = 0x00;
    rom[0x143] = 0x80;  // CGB
    rom[0x14C] = version;
    putPolishedRoutine(rom, kPolishedRoutine, kPolishedTable, threeX);
    putPolishedTable(rom, kPolishedTable, polishedTrades(), threeX);
    // GetPokemonName: ID x 10 + PokemonNames, copied from its bank.
    const std::uint16_t names = address(kPolishedNames);
    const Bytes getName = {0x29, 0x29, 0x19, 0x29, 0x11, std::uint8_t(names), std::uint8_t(names >> 8), 0x19, 0x11, 0x00, 0xD0,
                           0xD5, 0x01, 0x0A, 0x00, 0x3E, std::uint8_t(kPolishedNames / kBankSize)};
    std::copy(getName.begin(), getName.end(), rom.begin() + kPolishedNamesRoutine);
    for (int species = 0; species <= kSpecies; ++species) {
        const Bytes name = polishedText(polishedSpeciesName(species), 10);
        std::copy(name.begin(), name.end(), rom.begin() + kPolishedNames + 10u * std::uint32_t(species));
    }
    for (int trade = 0; trade < 8; ++trade) putTradeObject(rom, kPolishedObjects + 16u * std::uint32_t(trade), trade);
    // The lines: PrintTradeText (begun by the table), GetTradeMonNames, TradeTexts and the texts.
    const std::uint32_t print = kPolishedTable + 9u * std::uint32_t(polishedRecord({}, threeX).size());
    const std::uint16_t namesCode = address(kPolishedNamesCode), table = address(kPolishedLinesTable);
    const Bytes printTradeText = {0xF5, 0xCD, std::uint8_t(namesCode), std::uint8_t(namesCode >> 8), 0xF1, 0x01, 0x08, 0x00,
                                  0x21, std::uint8_t(table), std::uint8_t(table >> 8), 0xDF};
    std::copy(printTradeText.begin(), printTradeText.end(), rom.begin() + print);
    auto copyTo = [](std::uint8_t field, std::uint16_t buffer) {
        return Bytes{0x1E, field, 0xCD, 0x00, 0x50, 0x7E, 0xCD, 0x10, 0x50, 0x11, std::uint8_t(buffer), std::uint8_t(buffer >> 8), 0xCD, 0x20, 0x50};
    };
    const Bytes getNames = cat({copyTo(3, kPolishedOffered), copyTo(1, kPolishedRequested),
                                {0x21, std::uint8_t(kPolishedWithGender), std::uint8_t(kPolishedWithGender >> 8), 0x2A, 0xFE, kAt, 0x20, 0xFB, 0x77, 0xC9}});
    std::copy(getNames.begin(), getNames.end(), rom.begin() + kPolishedNamesCode);
    for (int phase = 0; phase < 5; ++phase) {
        for (int set = 0; set < 4; ++set) {
            const std::uint32_t entry = kPolishedLinesTable + 2u * std::uint32_t(phase * 4 + set);
            const std::uint32_t text = kPolishedLinesTable + 0x40 + 4u * std::uint32_t(phase * 4 + set);
            rom[entry] = std::uint8_t(address(text)), rom[entry + 1] = std::uint8_t(address(text) >> 8);
            const std::uint16_t far = address(kPolishedFarTexts + 0x80u * std::uint32_t(phase * 4 + set));
            const Bytes farEnd = {0x08, std::uint8_t(far >> 8 | 0x80), std::uint8_t(far), std::uint8_t(kPolishedFarTexts / kBankSize)};
            std::copy(farEnd.begin(), farEnd.end(), rom.begin() + text);
            // Packed and ended by <DONE>; packed, then '@' and '@'; plain, then '@'.
            const Bytes words = polishedChars("Set " + std::to_string(set) + " phase " + std::to_string(phase));
            putPolishedLine(rom, set, phase,
                            phase % 3 == 0   ? polishedPacked(cat({words, {0x52}}))
                            : phase % 3 == 1 ? cat({polishedPacked(cat({words, {kAt}})), {kAt}})
                                             : cat({words, {kAt, kAt}}));
        }
    }
    putPolishedLine(rom, 0, 0, polishedIntro());
    const Bytes readHuffmanChar = {0xAF, 0x05, 0x20, 0x04, 0x4E, 0x23, 0x06, 0x08, 0xCB, 0x21, 0x8F, 0xC6, std::uint8_t(kPolishedTree), 0x5F, 0xCE,
                                   std::uint8_t(kPolishedTree >> 8), 0x93, 0x57, 0x1A, 0xFE, 0x7F, 0x38, 0xEA, 0xFE, 0xEC, 0xD8, 0xD6, 0x9F, 0xC9};
    std::copy(readHuffmanChar.begin(), readHuffmanChar.end(), rom.begin() + kPolishedHuffman);
    std::copy(huffmanCode().tree.begin(), huffmanCode().tree.end(), rom.begin() + kPolishedTree);
    // GetName reading NamesPointers, and the item names in bank 0x72.
    const Bytes getListName = {0x3D, 0x5F, 0x16, 0x00, 0x21, std::uint8_t(kPolishedNamesPointers), std::uint8_t(kPolishedNamesPointers >> 8),
                           0x19, 0x19, 0x19, 0x2A, 0xD7, 0x2A, 0x66, 0x6F, 0xFA, 0x00, 0xD1, 0xCD, 0x50, 0x34};
    std::copy(getListName.begin(), getListName.end(), rom.begin() + kPolishedGetName);
    const std::uint16_t items = address(kPolishedItemNames);
    const Bytes itemsEntry = {std::uint8_t(kPolishedItemNames / kBankSize), std::uint8_t(items), std::uint8_t(items >> 8)};
    std::copy(itemsEntry.begin(), itemsEntry.end(), rom.begin() + kPolishedNamesPointers + 3 * 3);
    std::uint32_t itemAt = kPolishedItemNames;
    for (int item = 0; item < 256; ++item) {
        const std::string name = polishedItemName(item);
        const Bytes bytes = polishedText(name, name.size() + 1);
        std::copy(bytes.begin(), bytes.end(), rom.begin() + itemAt);
        itemAt += std::uint32_t(bytes.size());
    }
    // The ROM ends in filler.
    std::fill(rom.end() - 0x100, rom.end(), 0xFF);
    return rom;
}

}  // namespace kestrane::testing
