// Patches that turn one file (the source, a clean ROM) into another (the
// target, the edited ROM), in the two formats ROM hackers publish edits in.
//
// BPS ("BPS1"): numbers in a variable-length code (seven bits a byte, the
// top bit ending the number, each further byte adding one first); the
// source's size, the target's, the metadata's (0); then actions, each a
// number (length - 1) x 4 + kind: 0 source-read (the source's bytes at the
// target's position), 1 target-read (the bytes follow), 2 source-copy and 3
// target-copy (from a signed offset); last the CRC32 of the source, of the
// target and of the patch before this CRC, each little-endian.
//
// IPS ("PATCH"): records of a 3-byte big-endian offset, a 2-byte big-endian
// size and that many bytes; a size of 0 is a run: a 2-byte length and the
// byte to repeat; then "EOF", and where the target is shorter than the
// source, its 3-byte big-endian size (the truncation extension). An offset
// cannot pass 16 MiB, and a record may not start at 0x454F46, which would
// read as "EOF".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/result.h"

namespace kestrane {

// zlib's CRC32 of bytes.
std::uint32_t crc32Of(std::span<const std::uint8_t> bytes);

// The BPS patch: identical runs as source-read, what differs as target-read.
std::vector<std::uint8_t> bpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

// The IPS patch, with runs where they are shorter; refused (TooLarge) where
// a change lies past 16 MiB.
Result<std::vector<std::uint8_t>> ipsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

// A patch applied to a source, by what the patch holds ("BPS1" or "PATCH").
// BPS: its own CRC checked first (a corrupt patch refused), then the
// source's size and CRC against those the patch was made for (refused
// naming both CRCs), every action within its bytes, the target's size and
// CRC. IPS: every record within the patch; a record past the source's end
// extends it (zeros between), the truncation extension shortens it. No
// target is made larger than `largest`.
enum class AppliedFormat { Bps, Ips };
struct AppliedPatch {
    AppliedFormat format = AppliedFormat::Bps;
    std::vector<std::uint8_t> target;
};
Result<AppliedPatch> applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source, std::size_t largest);

}  // namespace kestrane
