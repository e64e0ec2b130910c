#include "support/polished_crystal_image.h"

#include <stdexcept>

#include "support/words.h"
#include "trades/creature_list.h"

namespace kestrane::testing {
namespace {

constexpr std::uint32_t kBankSize = 0x4000;
std::uint16_t address(std::uint32_t offset) { return std::uint16_t(offset < kBankSize ? offset : kBankSize + offset % kBankSize); }
constexpr int kSpecies = 291;
constexpr std::uint8_t kAt = 0x53;

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
    // The ROM ends in filler.
    std::fill(rom.end() - 0x100, rom.end(), 0xFF);
    return rom;
}

}  // namespace kestrane::testing
