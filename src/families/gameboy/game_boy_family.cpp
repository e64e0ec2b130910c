#include "families/gameboy/game_boy_family.h"

#include <algorithm>

#include "families/gameboy/game_boy_row.h"
#include "platform/gb/banks.h"
#include "platform/gb/cartridge.h"
#include "platform/gb/code_search.h"
#include "platform/gb/game_boy.h"
#include "support/holding_file.h"

namespace kestrane {

const Platform& GameBoyFamily::platform() const { return gameBoyPlatform(); }

Result<TableRoutine> GameBoyFamily::findTableRoutine(HoldingFile& file, std::span<const Release* const> rows,
                                                     const RomSize& size, OpeningNotes&) const {
    // The routine's bank holds its callers and its table too: one read
    // serves all three, and a search of the whole file serves every later step.
    TableRoutine routine;
    const GameBoyRow& release = gameBoyRow(*rows.front());
    for (const Release* row : rows) {
        const CodePlace& place = gameBoyRow(*row).tables.tableRoutine;
        if (auto held = file.hold(std::int64_t(bankOf(place.at)) * kBankSize, kBankSize); !held) return held.error();
        auto at = routineAtPlace(file, place.forms(), place.at);
        if (!at) return at.error();
        if (*at) {
            routine.found = std::move(**at);
            routine.placed = row;
            routine.ownPlace = place.at;
            return routine;
        }
    }
    routine.ownPlace = release.tables.tableRoutine.at;
    // Anywhere: the first row whose form stands in the file shapes the records
    // (another market's release of the title has a routine of its own form,
    // and so has a variant whose record size the routine names).
    for (const Release* row : rows) {
        const CodePlace& place = gameBoyRow(*row).tables.tableRoutine;
        if (row != rows.front() && place.routine == release.tables.tableRoutine.routine) continue;  // searched for already
        auto anywhere = routineAnywhere(file, place.forms(), std::min(size.file, kLargestRomSize));
        if (!anywhere) return anywhere.error();
        if (anywhere->found() || row == rows.front()) routine.found = std::move(*anywhere);
        if (routine.found.found()) {
            routine.shapedBy = row;
            break;
        }
    }
    return routine;
}

Result<std::vector<RoutineCall>> GameBoyFamily::tableRoutineCalls(HoldingFile& file, std::uint32_t routine) const {
    return callsOf(file, routine);
}

}  // namespace kestrane
