// What the Game Boy families do alike: their platform, and how they find
// the routine of the game's code that reads the trade table.
#pragma once

#include "trades/game_family.h"
#include "support/holding_file.h"

namespace kestrane {

class GameBoyFamily : public GameFamily {
public:
    const Platform& platform() const override;
    Result<TableRoutine> findTableRoutine(HoldingFile& file, std::span<const Release* const> rows, const RomSize& size,
                                          OpeningNotes& notes) const override;
    Result<std::vector<RoutineCall>> tableRoutineCalls(HoldingFile& file, std::uint32_t routine) const override;
};

}  // namespace kestrane
