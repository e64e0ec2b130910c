// A patch file from two ROMs: what differs between the clean one and the
// edited one, in the format the patch's name asks for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"
#include "support/new_file.h"

namespace kestrane {

enum class PatchFormat { Bps, Ips };

// The formats, as their files end and a file dialog names them.
struct PatchKind {
    PatchFormat format;
    std::string_view extension;    // ".bps"
    std::string_view description;  // "BPS patches"
};
inline constexpr PatchKind kPatchKinds[] = {{PatchFormat::Bps, ".bps", "BPS patches"}, {PatchFormat::Ips, ".ips", "IPS patches"}};

// The format a patch file's name asks for (".bps" or ".ips", letter case
// aside); any other name is refused.
Result<PatchFormat> patchFormatOf(const std::string& path);

// Whether a patch may be made between ROMs of two games.
enum class GameCheck { SameGame, AnyGame };

struct PatchReport {
    PatchFormat format = PatchFormat::Bps;
    std::size_t patchSize = 0;
    std::size_t bytesDiffer = 0;  // of the two files (a longer one's extra bytes count)
};

// Writes the patch that turns `clean` into `edited` (the whole files,
// not only the trades) to `patchPath`, a new file (see writeNewFile: never
// either ROM). Refused: the files equal ("nothing differs"), ROMs of
// different games (their game codes) unless AnyGame, unreadable files.
Result<PatchReport> createPatch(const std::string& clean, const std::string& edited, const std::string& patchPath,
                                GameCheck games, FileSystem& fs = nativeFileSystem());

struct ApplyReport {
    PatchFormat format = PatchFormat::Bps;
    std::size_t bytesDiffer = 0;  // between the ROM and what the patch made of it
};

// Applies the patch at `patchPath` to the ROM at `romPath` (the file as it
// is on disk) and writes the result to `outPath`, a new file (never the ROM
// or the patch). Refused: a file that is no patch, a damaged patch, a BPS
// patch made for another ROM (naming both CRC32s), unreadable files.
Result<ApplyReport> applyPatchFile(const std::string& patchPath, const std::string& romPath, const std::string& outPath,
                                   FileSystem& fs = nativeFileSystem());

// What the user is told of an IPS patch: it names no base, so its ROM could not be checked.
inline constexpr std::string_view kIpsUncheckedNote =
    "An IPS patch does not say which ROM it was made for: Kestrane could not check that this ROM is its base.";

}  // namespace kestrane
