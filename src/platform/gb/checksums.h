// The check data a Game Boy ROM carries, and keeping it consistent.
//
//   0x14D          header checksum of 0x134-0x14C: x = x - b - 1 for each byte;
//                  a real Game Boy checks it before it starts the game. No
//                  save changes what it covers; a checksum fix makes it consistent.
//   0x14E-0x14F    global checksum, big-endian: the low 16 bits of the sum of
//                  every byte of the file but these two.
//   0x1FFDF8       Stadium 2 data, in 2 MiB images of these games: "N64PS3",
//                  at 0x1FFDFE a big-endian CRC of the 512 bytes at 0x1FFE00,
//                  which are 256 big-endian sums, one per 8 KiB half-bank:
//                  0xFEFE plus the half-bank's bytes (low 16 bits).
// The games' build makes them in this order, and so does Kestrane: the
// global checksum set to 0; the 520 bytes from 0x1FFDF8 cleared and
// "N64PS3" written; each half-bank's sum computed on the file as it stands
// (the sums before it stored, the rest still 0) and stored; the CRC; last,
// the global checksum.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/checks.h"
#include "support/file.h"
#include "support/result.h"
#include "support/holding_file.h"

namespace kestrane {

inline constexpr std::uint32_t kHeaderChecksumAt = 0x14D;
inline constexpr std::uint32_t kGlobalChecksumAt = 0x14E;
inline constexpr std::uint32_t kStadiumAt = 0x1FFDF8;
inline constexpr std::uint32_t kStadiumLength = 520;
inline constexpr std::uint32_t kStadiumRomSize = 0x200000;

// The three checks, in the order the game's build makes them last: their
// indexes in the platform's list of checks (Platform::checks).
enum class Check : std::uint8_t { Header, Global, Stadium };
inline constexpr CheckArea kCheckAreas[] = {
    {kHeaderChecksumAt, 1, "the header checksum", "Header checksum", "header", "header", true},
    {kGlobalChecksumAt, 2, "the global checksum", "Global checksum", "global", "global"},
    {kStadiumAt, kStadiumLength, "the Stadium data", "Stadium data", "Stadium data", "stadium"},
};
// Whether a byte belongs to one of the checks.
inline bool isCheckByte(std::uint32_t offset) {
    for (const CheckArea& area : kCheckAreas) {
        if (offset >= area.at && offset < area.at + area.length) return true;
    }
    return false;
}

// The CRC of the Stadium data over bytes (table polynomial 0xC387, start 0xFEFE).
std::uint16_t stadiumCrc(std::span<const std::uint8_t> bytes);

// Appends the byte sums of the 8 KiB half-banks of `bytes`, which start at a
// half-bank (the last may be shorter, at the file's end): a whole image's
// sums made a piece at a time, as its pieces are read.
void appendHalfBankSums(std::span<const std::uint8_t> bytes, std::vector<std::uint32_t>& sums);
// Reads the whole file into `held`, the half-banks' sums made as each piece
// lands, so that the checksums need no second pass over it; gives the sums.
Result<std::vector<std::uint32_t>> holdWholeSummed(HoldingFile& held, std::int64_t size);
// The checks' state of a file's first `size` bytes, read through one piece's
// buffer and kept only as the sums and the bytes the checks compare: a
// 2 MiB image costs a piece of memory, not its size.
Result<ChecksumState> readChecksumState(File& file, std::int64_t size);

// The bytes the checks read, wherever they are kept.
struct CheckBytes;

// A whole ROM's bytes with the sums that the checks need, kept up to date
// as bytes change, so that an edit costs no second pass over the file.
class RomChecks final : public ImageChecks {
public:
    // Sums the image once. The span must outlive the object.
    explicit RomChecks(std::span<std::uint8_t> rom);
    // With the half-banks' sums made already (appendHalfBankSums over the image).
    RomChecks(std::span<std::uint8_t> rom, std::vector<std::uint32_t> halfBankSums);

    ChecksumState state() const override;

    // Changes one byte of the image (and the sums).
    void set(std::uint32_t offset, std::uint8_t value) override;

    // Brings the header checksum, the Stadium data (where present) and then
    // the global checksum up to date, as the games' build does, each only
    // when asked.
    void update(bool header, bool stadium, bool global);
    void update(const CheckSet& which) override {
        update(which[std::size_t(Check::Header)], which[std::size_t(Check::Stadium)], which[std::size_t(Check::Global)]);
    }

private:
    CheckBytes bytes() const;

    std::span<std::uint8_t> rom_;
    std::vector<std::uint32_t> halfBankSums_;  // plain byte sums, 8 KiB each
};

}  // namespace kestrane
