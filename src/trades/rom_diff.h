// What differs between two ROMs: their trades field by field, in the words
// of `show`, then how many other bytes differ and the checksums' states. What
// `diff` prints and the window shows before it makes a patch.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "platform/checks.h"
#include "trades/releases.h"
#include "trades/trade_text.h"

namespace kestrane {

// A run of differing bytes, and what the game's build keeps there where
// it is one of its checks ("the global checksum"; else empty).
struct DiffRange {
    ByteRange bytes;
    std::string_view what;
};

struct RomDiff {
    bool identical = false;           // the two files hold the same bytes
    std::vector<FieldChange> trades;  // slot by slot, field by field
    std::size_t otherBytes = 0;       // differing bytes outside both trade tables (a longer file's extra ones too)
    std::vector<DiffRange> otherRanges;  // the same bytes, as runs, one check's bytes a run of their own (a longer file's extra ones one run)
    // Where the two ROMs are different games or releases, a sentence that
    // says so ("The two ROMs are different games: …"); else empty.
    std::string gamesNote;
    // None where the file's checksums are not computed (larger than a ROM, or cut off).
    std::optional<ChecksumState> cleanChecksums;
    std::optional<ChecksumState> editedChecksums;
    // The releases the two ROMs are (which checks each carries).
    const Release* cleanRelease = nullptr;
    const Release* editedRelease = nullptr;
};

Result<RomDiff> diffRoms(const std::string& clean, const std::string& edited, Families families,
                         FileSystem& fs = nativeFileSystem());

// "header consistent, global consistent, Stadium data absent": the checks
// the release's ROMs carry.
std::string checksumsText(const std::optional<ChecksumState>& state, const Release& release);

// What differs, in lines: the games' note, every changed field ("The trades
// are the same." where none), then how many other bytes differ and where
// (the first kNamedRanges runs, then "and N more").
std::vector<std::string> diffSummary(const RomDiff& diff);
inline constexpr std::size_t kNamedRanges = 20;
// "0x14E–0x14F (the global checksum)", "0x1234"
std::string rangeText(const DiffRange& range);

}  // namespace kestrane
