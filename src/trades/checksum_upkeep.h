// A save's upkeep of the platform's checksums: those that were consistent
// kept so, or, on a fix, every one made so.
#pragma once

#include <span>
#include <vector>

#include "platform/checks.h"
#include "platform/platform.h"
#include "trades/byte_change.h"

namespace kestrane {

// What a save does with the ROM's checksums (the global checksum and the
// Stadium data; the header checksum covers nothing Kestrane writes).
enum class ChecksumPolicy {
    KeepConsistent,  // bring those up to date that were consistent before a save that changes bytes
    Leave,           // write none of them (and read only the records, not the whole file)
    MakeConsistent,  // bring every one present up to date (the header checksum too), even with no trade changed
    AsBuilt,         // bring those up to date that the ROM's build tree makes (its rgbfix, its Stadium tool), leave the others
};

// The policy of a front end's "update checksums" choice: keep consistent
// what was consistent, or leave every checksum alone.
inline ChecksumPolicy policyFor(bool updateChecksums) {
    return updateChecksums ? ChecksumPolicy::KeepConsistent : ChecksumPolicy::Leave;
}

struct ChecksumUpkeep {
    ChecksumState before;          // as the image held them
    bool updated = false;
    std::vector<ByteChange> bytes;  // the checksums' bytes that change, old and new
};

// Brings the checksums of the image up to date with the trades' changes
// (already in `trades`, not yet in the image), as the policy says (with
// AsBuilt, `built` names the checks the build makes); the image then
// holds the new checksums.
ChecksumUpkeep keepChecksums(const Platform& platform, std::span<std::uint8_t> image, CheckSums sums, ChecksumPolicy policy,
                             std::span<const ByteChange> trades, const CheckSet& built = {});

}  // namespace kestrane
