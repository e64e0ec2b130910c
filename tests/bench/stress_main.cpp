// make stress (and make bench): many kestrane-cli processes saving one ROM at
// once, round after round. Counts what must stay zero: saves that said
// "Trade Data Saved." for an edit the file does not hold, and rounds that
// left the checksums stale. Saves of a trade that another process changed
// meanwhile are refused (exit 1) and counted apart: that is the rule working.
#include <cstdio>
#include <string>
#include <vector>

#include "support/processes.h"
#include "families/gen2/second_generation_layouts.h"
#include "support/rom_image.h"
#include "platform/gb/checksums.h"
#include "trades/record_layout.h"

using namespace kestrane;
using namespace kestrane::testing;

int main(int argc, char* argv[]) {
    const int processes = argc > 1 ? std::stoi(argv[1]) : 16;
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 5;
    TempDir dir;
    Bytes image = retailLikeRom("BYTE", 9);
    buildChecksums(image);
    const std::string path = dir.write("crystal.gbc", image);
    int lost = 0, stale = 0, refused = 0, failed = 0;
    auto idOf = [](const Bytes& rom, int slot) {
        const std::uint32_t at = slotOffset(kCrystalTable, slot) + *kRecordOf32Bytes.trainerIdAt;
        return rom[at] | rom[at + 1] << 8;
    };
    Bytes before = image;
    for (int round = 1; round <= rounds; ++round) {
        std::vector<Command> saves;
        for (int p = 0; p < processes; ++p) {
            saves.push_back({{cliProgram(), "set", path, std::to_string(1 + p % 7), "--id", std::to_string(round * 100 + p)}, ""});
        }
        const std::vector<int> codes = runTogether(saves);
        Bytes after = readFile(path);
        for (int slot = 1; slot <= 7; ++slot) {
            // The trade holds the ID of one of its saves that said so, or, if none did, what it held.
            bool heldBySuccess = false, anySuccess = false;
            for (int p = slot - 1; p < processes; p += 7) {
                const int code = codes[std::size_t(p)];
                refused += code == 1;
                failed += code != 0 && code != 1;
                anySuccess = anySuccess || code == 0;
                heldBySuccess = heldBySuccess || (code == 0 && idOf(after, slot) == round * 100 + p);
            }
            if (anySuccess ? !heldBySuccess : idOf(after, slot) != idOf(before, slot)) ++lost;
        }
        const ChecksumState state = RomChecks(after).state();
        if (state.of(Check::Global) != ChecksumStatus::Consistent || state.of(Check::Stadium) != ChecksumStatus::Consistent) ++stale;
        before = after;
    }
    std::printf("%d processes x %d rounds: %d lost edits, %d rounds with stale checksums, "
                "%d saves refused (their trade changed meanwhile), %d failed\n",
                processes, rounds, lost, stale, refused, failed);
    return lost == 0 && stale == 0 && failed == 0 ? 0 : 1;
}
