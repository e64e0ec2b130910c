// Finding a table through the game's own code: the routine that reads it.
//
// A routine is a run of bytes with wildcards where builds and hacks differ
// (call targets, RAM addresses, the table's own address). Its pointers are
// 2-byte little-endian addresses at fixed places in it, each naming bytes in
// the routine's own bank. The game's build keeps the routine at one place
// ("its own place"); a hack may leave a jump there (C3 lo hi, "jp") to a
// rewritten copy, or move the code anywhere.
//   1. The routine intact at its own place decides.
//   2. A jp standing there decides when its target has the routine's form.
//   3. Else every copy in the file is found; the caller refuses copies that
//      read different places.
// One finder serves every table Kestrane reaches through the game's code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/routine.h"
#include "support/file.h"
#include "support/result.h"
#include "support/holding_file.h"

namespace kestrane {

// A routine's form. `bytes`: -1 for a byte that may be anything. Three
// fixed bytes in a row from `anchor` are what a search of the whole file
// looks for first.
struct RoutinePattern {
    std::span<const int> bytes;
    std::span<const std::uint8_t> pointersAt;  // the low byte of each pointer
    std::uint8_t anchor = 0;
};

// Whether bytes[at..] has the form; false where they end first.
bool routineAt(std::span<const std::uint8_t> bytes, std::size_t at, const RoutinePattern& pattern);

// The forms one routine takes: a release's own, and those of sister builds
// that stand for it at its place (Red and Blue's DoInGameTradeDialogue and
// Yellow's). Their pointers name the same things, in the same order.
using RoutineForms = std::span<const RoutinePattern* const>;

// Reads `pattern.bytes.size()` bytes at the own place (and at a jump's
// target); only where neither decides, the file's first `searched` bytes
// are searched. A failing read is an error.
Result<FoundRoutine> findThroughRoutine(File& file, RoutineForms forms, std::uint32_t ownPlace, std::int64_t searched);
Result<FoundRoutine> findThroughRoutine(File& file, const RoutinePattern& pattern, std::uint32_t ownPlace,
                                        std::int64_t searched);
// The first two steps alone: the routine at its own place or through a jump
// there; none where neither holds it.
Result<std::optional<FoundRoutine>> routineAtPlace(File& file, RoutineForms forms, std::uint32_t ownPlace);
// The third alone: every copy in the file's first `searched` bytes. Where
// `file` holds what it reads (a HoldingFile), it holds the first copy's
// bank afterwards, taken from the piece searched: what follows reads the
// routine's callers and what it points to without reading them again.
Result<FoundRoutine> routineAnywhere(File& file, RoutineForms forms, std::int64_t searched);
Result<FoundRoutine> routineAnywhere(File& file, const RoutinePattern& pattern, std::int64_t searched);
// Every copy of the routine in `bytes`, which lie at `base` in the file (a
// bank already held: a routine that lives beside another one).
std::vector<RoutineCopy> copiesIn(std::span<const std::uint8_t> bytes, std::uint32_t base, const RoutinePattern& pattern);

// The calls of a routine (CD lo hi, its address in its bank) in its own bank
// that pass a byte in e just before (1E nn): the byte of each, and whether
// the code reads a word right after the call (2A 66 6F: ld a, [hli]; ld h,
// [hl]; ld l, a).
Result<std::vector<RoutineCall>> callsOf(HoldingFile& file, std::uint32_t routine);

// Where a release keeps a routine, and its form; `otherForm`, where set,
// is a sister build's form of the same routine, which counts as the
// routine at this place and anywhere else too.
struct CodePlace {
    const RoutinePattern* routine;
    std::uint32_t at;
    const RoutinePattern* otherForm = nullptr;

    // The forms, the release's own first.
    struct Forms {
        std::array<const RoutinePattern*, 2> forms;
        std::size_t count;
        operator RoutineForms() const { return RoutineForms(forms.data(), count); }
    };
    constexpr Forms forms() const { return {{routine, otherForm}, otherForm ? 2u : 1u}; }
};

}  // namespace kestrane
