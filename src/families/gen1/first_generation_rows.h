// Red, Blue and Yellow's rows: what each release keeps where, beside what
// every Game Boy row names. Their other tables are found through the code
// that reads them (first_generation_code.h).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "families/gameboy/game_boy_row.h"
#include "trades/game_family.h"

namespace kestrane {

struct FirstGenerationTables {
    int internalIndexes;             // 190
    std::uint32_t pokedexRoutine;    // IndexToPokedex, where the release keeps it
    // Kestrane's name of the map whose script calls each trade in the
    // release (by the trade's index), empty for one no script calls.
    std::array<std::string_view, 10> places;
};

struct FirstGenerationRow : GameBoyRow {
    FirstGenerationTables first;
};

// The row a release of the family is (precondition: it is one).
inline const FirstGenerationRow& firstGenerationRow(const Release& release) {
    return static_cast<const FirstGenerationRow&>(release);
}

std::span<const Release* const> firstGenerationRows();
std::span<const KnownRelease> firstGenerationKnownReleases();

const GameFamily& firstGenerationFamily();

}  // namespace kestrane
