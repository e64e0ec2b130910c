// Where Red, Blue and Yellow keep the tables beside their trades, as the
// game's own code reads them: a hack that moves a table and patches the
// code that reads it is shown what the game shows. Each table is found
// through its routine, in both releases' forms; a routine found more than
// once counts only where every copy reads the same place. Kestrane's
// built-in places are never taken for the ROM's.
//
//   trainer   InGameTrade_CopyDataToReceivedMon (the received creature's OT)
//             and InGameTrade_PrepareTradeData (the trade screen), in the
//             trade routine's bank: `ld hl, InGameTrade_TrainerString` in
//             each, naming one place.
//   names     GetMonName (bank 0): ld a, BANK(MonsterNames); the bank
//             switch (ldh [hLoadedROMBank], a; ld [MBC1RomBank], a, or a
//             call); ld a, [index]; dec a; ld hl, MonsterNames; ld c, n
//             (the name's length) ... ld bc, n; call CopyData.
//   order     IndexToPokedex: ld hl, PokedexOrder, in its own bank.
//   base      GetMonHeader (bank 0): ld a, BANK(BaseStats), the fossils' and
//             the ghost's cases, in Red and Blue `cp MEW; jr z, .mew` (to
//             ld hl, MewBaseStats ... ld a, BANK(MewBaseStats)), then the
//             predef, dec a; ld bc, 28; ld hl, BaseStats.
//   pictures  UncompressMonSprite (bank 0): after ld a, [species]; ld b, a,
//             a chain of cases (cp n; ld a, bank; jr z or jr c, each but
//             the first after ld a, b) ending in ld a, bank at .GotBank,
//             the jp every case lands on.
// Every table must lie in the window of the bank the code reads it through.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "families/gen1/first_generation_rows.h"
#include "trades/game_family.h"
#include "trades/releases.h"
#include "trades/values.h"
#include "support/holding_file.h"

namespace kestrane {

// A species' base stats: 28 bytes, by Pokédex number from 1.
inline constexpr std::uint32_t kBaseStatsEntry = 28;

// A table the code was followed to, or why not ("GetMonName, the routine
// that names a species, is not in bank 0").
struct FoundTable {
    std::optional<std::uint32_t> at;
    std::string whyNot;
};

// The bank UncompressMonSprite picks for a species' picture, case by case.
struct PictureBankRule {
    struct Case {
        bool below;           // jr c: species < value; else jr z: species == value
        std::uint8_t value;
        std::uint8_t bank;
        friend bool operator==(const Case&, const Case&) = default;
    };
    std::vector<Case> cases;
    std::uint8_t otherwise = 0;

    std::uint8_t bankOf(SpeciesId internal) const;
    friend bool operator==(const PictureBankRule&, const PictureBankRule&) = default;
};

struct FirstGenerationCode final : FamilyData {
    FoundTable trainer;
    FoundTable names;
    std::uint32_t nameLength = 10;
    FoundTable pokedexOrder;
    FoundTable baseStats;                  // 28 bytes a species, by Pokédex number from 1
    std::optional<std::uint8_t> mewIndex;  // Red and Blue: Mew's base stats apart, at mewBaseStats
    std::optional<std::uint32_t> mewBaseStats;
    std::optional<PictureBankRule> pictureBanks;
    std::string pictureBanksWhyNot;
};

// The tables as the code of a file the caller holds reads them;
// `tradesRoutine`: where DoInGameTradeDialogue was found (none: the table
// was found by its records). Only a failing read is an error.
Result<FirstGenerationCode> readFirstGenerationCode(HoldingFile& file, const Release& release,
                                                    std::optional<std::uint32_t> tradesRoutine, std::int64_t fileSize);

}  // namespace kestrane
