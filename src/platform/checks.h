// The check data a platform's images carry (checksums, a check block),
// whatever it is: where each check lies, its state, and a whole image's
// checks kept up to date as its bytes change. Each platform makes its own
// (the Game Boy's in platform/gb/checksums.h); a family says which of its
// platform's checks its ROMs carry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane {

// The most checks a platform's images carry.
inline constexpr std::size_t kMostChecks = 4;

// One check: where it lies, and its names.
struct CheckArea {
    std::uint32_t at;
    std::uint32_t length;
    std::string_view name;       // "the global checksum"
    std::string_view title;      // "Global checksum"
    std::string_view shortName;  // "global": a diff's word
    std::string_view key;        // "global": JSON's
    // No save changes what it covers: only a fix makes it consistent (the
    // Game Boy's header checksum).
    bool onlyByFix = false;
};

enum class ChecksumStatus { Consistent, Stale, Absent };
// "consistent", "stale", "absent"
std::string_view checksumStatusText(ChecksumStatus status);

// The state of each of a platform's checks, in the platform's order.
struct ChecksumState {
    std::array<ChecksumStatus, kMostChecks> states{ChecksumStatus::Absent, ChecksumStatus::Absent, ChecksumStatus::Absent,
                                                   ChecksumStatus::Absent};
    // A check by its index in the platform's list (or the platform's own name of it).
    template <typename Check>
    ChecksumStatus of(Check check) const { return states[std::size_t(check)]; }
    template <typename Check>
    void set(Check check, ChecksumStatus status) { states[std::size_t(check)] = status; }
    friend bool operator==(const ChecksumState&, const ChecksumState&) = default;
};

// Which checks to bring up to date, by index.
using CheckSet = std::array<bool, kMostChecks>;

// Why a file's checks are not computed.
enum class ChecksumsSkipped {
    TooLarge,  // larger than any image of the platform
    CutOff,    // shorter than its header says: its sums cover bytes it lacks
};

// The sums a platform's checks are made of, taken as a whole image is read
// (the Game Boy: each 8 KiB half-bank's), so that no check needs a second
// pass over it.
using CheckSums = std::vector<std::uint32_t>;

// A whole image's bytes with what its checks need, kept up to date as
// bytes change, so that an edit costs no second pass over the file.
class ImageChecks {
public:
    virtual ~ImageChecks() = default;
    virtual ChecksumState state() const = 0;
    // Changes one byte of the image (and the sums).
    virtual void set(std::uint32_t offset, std::uint8_t value) = 0;
    // Brings the checks asked for up to date, in the order the games'
    // build makes them.
    virtual void update(const CheckSet& which) = 0;
};

}  // namespace kestrane
