#include "families/gen1/first_generation_code.h"
#include "platform/gb/cartridge.h"

#include <algorithm>
#include <array>
#include <functional>

#include "support/hex_text.h"
#include "platform/gb/banks.h"
#include "platform/gb/code_reader.h"
#include "platform/gb/code_search.h"
#include "families/gameboy/routines.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {


// A table as a routine names it: a bank and an address in it.
struct Named {
    std::uint8_t bank = 0;
    std::uint16_t address = 0;
    friend bool operator==(const Named&, const Named&) = default;
    std::optional<std::uint32_t> offset() const { return offsetInBank(bank, address); }
};

struct NamesCode {
    Named names;
    std::uint8_t length = 0;
    friend bool operator==(const NamesCode&, const NamesCode&) = default;
};

struct BaseStatsCode {
    Named stats;
    std::optional<std::uint8_t> mewIndex;
    std::optional<Named> mew;
    friend bool operator==(const BaseStatsCode&, const BaseStatsCode&) = default;
};

// The bank switch the home routines make after ld a, n: Red and Blue's
// (ldh [hLoadedROMBank], a; ld [MBC1RomBank], a) or a call (Yellow's BankswitchCommon).
void takeBankSwitch(CodeReader& r) {
    if (!r.takeIf({0xE0, -1, 0xEA, 0x00, 0x20})) r.take({0xCD, -1, -1});
}

std::optional<NamesCode> getMonNameAt(std::span<const std::uint8_t> code, std::size_t at) {
    CodeReader r(code, at);
    r.take({0xE5, 0xF0, -1, 0xF5, 0x3E});  // push hl; ldh a, [hLoadedROMBank]; push af; ld a, n
    NamesCode found;
    found.names.bank = r.byte();
    takeBankSwitch(r);
    r.take({0xFA, -1, -1, 0x3D, 0x21});  // ld a, [index]; dec a; ld hl, nn
    found.names.address = r.word();
    if (r.takeIf({0x5F, 0x16, 0x00})) {
        // Japanese Red and Green: ld e, a; ld d, 0; one add hl, de a byte of the name.
        while (found.length < 16 && r.takeIf({0x19})) ++found.length;
        r.take({0x11, -1, -1, 0xD5, 0x01});  // ld de, nn; push de; ld bc, n
    } else {
        r.take({0x0E});  // ld c, n
        found.length = r.byte();
        r.take({0x06, 0x00, 0xCD, -1, -1, 0x11, -1, -1, 0xD5, 0x01});  // ld b, 0; call AddNTimes; ld de, nn; push de; ld bc, n
    }
    const std::uint8_t copied = r.byte();
    r.take({0x00, 0xCD});
    if (!r.ok() || copied != found.length || found.length == 0) return std::nullopt;
    return found;
}

std::optional<BaseStatsCode> getMonHeaderAt(std::span<const std::uint8_t> code, std::size_t at) {
    CodeReader r(code, at);
    r.take({0xF0, -1, 0xF5, 0x3E});  // ldh a, [hLoadedROMBank]; push af; ld a, BANK(BaseStats)
    BaseStatsCode found;
    found.stats.bank = r.byte();
    takeBankSwitch(r);
    // push bc, de, hl; the index's save; the two fossils' and the ghost's pictures.
    r.take({0xC5, 0xD5, 0xE5, 0xFA, -1,   -1,   0xF5, 0xFA, -1, -1,   0xEA, -1,   -1,   0x11, -1, -1,   0x06, 0x66, 0xFE,
            0xB6, 0x28, -1,   0x11, -1,   -1,   0xFE, 0xB8, 0x28, -1, 0x11, -1,   -1,   0x06, 0x77, 0xFE, 0xB7, 0x28, -1});
    std::optional<std::size_t> mewAt;
    if (r.takeIf({0xFE})) {  // cp MEW; jr z, .mew
        found.mewIndex = r.byte();
        r.take({0x28});
        mewAt = r.relative();
        if (!mewAt) return std::nullopt;
    }
    // predef IndexToPokedex; ld a, [index]; dec a; ld bc, 28; ld hl, BaseStats
    r.take({0x3E, -1, 0xCD, -1, -1, 0xFA, -1, -1, 0x3D, 0x01, 0x1C, 0x00, 0x21});
    found.stats.address = r.word();
    r.take({0xCD});
    if (!r.ok()) return std::nullopt;
    if (mewAt) {
        // ld hl, MewBaseStats; ld de, wMonHeader; ld bc, 28; ld a, BANK(MewBaseStats); call FarCopyData
        CodeReader mew(code, *mewAt);
        mew.take({0x21});
        Named stats;
        stats.address = mew.word();
        mew.take({0x11, -1, -1, 0x01, 0x1C, 0x00, 0x3E});
        stats.bank = mew.byte();
        mew.take({0xCD});
        if (!mew.ok()) return std::nullopt;
        found.mew = stats;
    }
    return found;
}

std::optional<PictureBankRule> uncompressMonSpriteAt(std::span<const std::uint8_t> code, std::size_t at) {
    constexpr int kMostCases = 16;
    CodeReader r(code, at);
    // ld bc, wMonHeader; add hl, bc; the picture's pointer kept; ld a, [species]; ld b, a
    r.take({0x01, -1, -1, 0x09, 0x2A, 0xEA, -1, -1, 0x7E, 0xEA, -1, -1, 0xFA, -1, -1, 0x47});
    if (!r.ok()) return std::nullopt;
    PictureBankRule rule;
    std::vector<std::size_t> landings;
    for (int n = 0;; ++n) {
        if (n > 0) {
            if (r.follows({0x3E, -1, 0xC3})) break;
            r.take({0x78});  // ld a, b
        }
        PictureBankRule::Case one{};
        r.take({0xFE});  // cp n
        one.value = r.byte();
        r.take({0x3E});  // ld a, bank
        one.bank = r.byte();
        const std::uint8_t jump = r.byte();
        if (jump != 0x28 && jump != 0x38) return std::nullopt;  // jr z or jr c
        one.below = jump == 0x38;
        const auto landing = r.relative();
        if (!r.ok() || !landing || n >= kMostCases) return std::nullopt;
        landings.push_back(*landing);
        rule.cases.push_back(one);
    }
    r.take({0x3E});
    rule.otherwise = r.byte();
    const std::size_t gotBank = r.at();
    r.take({0xC3});  // .GotBank: jp UncompressSpriteData
    if (!r.ok() || std::ranges::any_of(landings, [&](std::size_t l) { return l != gotBank; })) return std::nullopt;
    return rule;
}

// What every place of bank 0 that holds the routine reads: none where none
// does, or where copies read different things (then `disagree`).
template <typename T>
std::optional<T> homeRoutine(std::span<const std::uint8_t> bank0, std::optional<T> (*at)(std::span<const std::uint8_t>, std::size_t),
                             bool& disagree) {
    std::optional<T> found;
    disagree = false;
    for (std::size_t i = 0; i < bank0.size(); ++i) {
        auto here = at(bank0, i);
        if (!here) continue;
        if (found && !(*found == *here)) disagree = true;
        if (!found) found = std::move(here);
    }
    return disagree ? std::nullopt : found;
}

std::string notFound(std::string_view routine, std::string_view does, std::string_view where, bool disagree) {
    return std::string(routine) + ", the routine that " + std::string(does) + ", " +
           (disagree ? "is in " + std::string(where) + " more than once, its copies reading different places"
                     : "is not in " + std::string(where) + " in a form Kestrane knows");
}

// The table's place, where `length` bytes of it lie in the window the code reads it through.
FoundTable tableIn(std::optional<std::uint32_t> at, std::uint32_t length, std::string_view what, std::int64_t fileSize) {
    if (!at) return {std::nullopt, std::string(what) + " is named outside its bank"};
    if (*at + std::uint64_t(length) > bankWindowEnd(*at)) {
        return {std::nullopt, std::string(what) + " at " + hexOffset(*at) + " runs past the end of its bank"};
    }
    if (*at + std::int64_t(length) > fileSize) return {std::nullopt, std::string(what) + " at " + hexOffset(*at) + " runs past the end of the file"};
    return {at, {}};
}

// The trainer's name every trade gives: the place both routines of the trade routine's bank name.
Result<FoundTable> trainerString(HoldingFile& file, std::optional<std::uint32_t> tradesRoutine) {
    if (!tradesRoutine) return FoundTable{std::nullopt, "the trade table was found by its records alone, not through the game's code"};
    const std::int64_t from = std::int64_t(bankOf(*tradesRoutine)) * kBankSize;
    if (auto held = file.hold(from, kBankSize); !held) return held.error();
    const auto bank = file.held(from, kBankSize).value_or(std::span<const std::uint8_t>());
    std::optional<std::uint32_t> named;
    // Each in the form of 11-byte names or of the Japanese builds' 6-byte ones.
    for (const auto& [forms, name] :
         {std::pair{std::array{&routines::kCopyDataToReceivedMonRoutine, &routines::kJapaneseCopyDataToReceivedMonRoutine},
                    "InGameTrade_CopyDataToReceivedMon"},
          std::pair{std::array{&routines::kPrepareTradeDataRoutine, &routines::kJapanesePrepareTradeDataRoutine},
                    "InGameTrade_PrepareTradeData"}}) {
        std::vector<RoutineCopy> copies;
        for (const RoutinePattern* form : forms) {
            std::vector<RoutineCopy> more = copiesIn(bank, std::uint32_t(from), *form);
            copies.insert(copies.end(), more.begin(), more.end());
        }
        if (copies.empty()) return FoundTable{std::nullopt, std::string(name) + " is not in the trade routine's bank in a form Kestrane knows"};
        const auto at = copies.front().pointers.front();
        const bool agree = std::ranges::all_of(copies, [&](const RoutineCopy& c) { return c.pointers.front() == at; });
        if (!agree || !at || (named && *named != *at)) {
            return FoundTable{std::nullopt, "the routines that give the creature its trainer's name read different places"};
        }
        named = at;
    }
    return FoundTable{named, {}};
}

}  // namespace

std::uint8_t PictureBankRule::bankOf(SpeciesId internal) const {
    for (const Case& one : cases) {
        if (one.below ? internal < one.value : internal == one.value) return one.bank;
    }
    return otherwise;
}

Result<FirstGenerationCode> readFirstGenerationCode(HoldingFile& file, const Release& release,
                                                    std::optional<std::uint32_t> tradesRoutine, std::int64_t fileSize) {
    const FirstGenerationTables& tables = firstGenerationRow(release).first;
    const auto count = std::uint32_t(tables.internalIndexes);
    FirstGenerationCode code;
    if (auto held = file.hold(0, kBankSize); !held) return held.error();
    const std::int64_t home = std::min<std::int64_t>(fileSize, kBankSize);
    const auto bank0 = file.held(0, std::size_t(home)).value_or(std::span<const std::uint8_t>());

    bool disagree = false;
    if (auto names = homeRoutine(bank0, &getMonNameAt, disagree)) {
        code.names = tableIn(names->names.offset(), count * names->length, "MonsterNames", fileSize);
        code.nameLength = names->length;
    } else {
        code.names.whyNot = notFound("GetMonName", "names a species", "bank 0", disagree);
    }
    if (auto base = homeRoutine(bank0, &getMonHeaderAt, disagree)) {
        // Where it starts: each entry is checked in its window as a picture reads it.
        code.baseStats = tableIn(base->stats.offset(), kBaseStatsEntry, "BaseStats", fileSize);
        if (base->mew) {
            const FoundTable mew = tableIn(base->mew->offset(), kBaseStatsEntry, "MewBaseStats", fileSize);
            if (mew.at) {
                code.mewIndex = base->mewIndex;
                code.mewBaseStats = mew.at;
            } else {
                code.baseStats = mew;
            }
        }
    } else {
        code.baseStats.whyNot = notFound("GetMonHeader", "reads a species' base stats", "bank 0", disagree);
    }
    if (auto rule = homeRoutine(bank0, &uncompressMonSpriteAt, disagree)) code.pictureBanks = std::move(rule);
    else code.pictureBanksWhyNot = notFound("UncompressMonSprite", "chooses a picture's bank", "bank 0", disagree);

    auto order = findThroughRoutine(file, routines::kIndexToPokedexRoutine, tables.pokedexRoutine,
                                    std::min(fileSize, kLargestRomSize));
    if (!order) return order.error();
    if (!order->found() || !order->agree()) {
        code.pokedexOrder.whyNot = notFound("IndexToPokedex", "numbers a species", "the file", order->found());
    } else {
        code.pokedexOrder = tableIn(order->copies.front().pointers.front(), count, "PokedexOrder", fileSize);
    }
    auto trainer = trainerString(file, tradesRoutine);
    if (!trainer) return trainer.error();
    code.trainer = std::move(*trainer);
    return code;
}

}  // namespace kestrane
