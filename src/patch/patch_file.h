// A patch file from two ROMs: what differs between the clean one and the
// edited one, in the format the patch's name asks for.
#pragma once

#include <cstdint>
#include <string>

#include "support/file.h"
#include "support/result.h"

namespace kestrane {

enum class PatchFormat { Bps, Ips };

// The format a patch file's name asks for (".bps" or ".ips", letter case
// aside); any other name is refused.
Result<PatchFormat> patchFormatOf(const std::string& path);

struct PatchReport {
    PatchFormat format = PatchFormat::Bps;
    std::size_t patchSize = 0;
    std::size_t bytesDiffer = 0;  // of the two files (a longer one's extra bytes count)
};

// Writes the patch that turns `clean` into `edited` (the whole files,
// not only the trades) to `patchPath`, a new file (see writeNewFile: never
// either ROM). Refused: the files equal ("nothing differs"), ROMs of
// different games (their game codes) unless `anyGame`, unreadable files.
Result<PatchReport> createPatch(const std::string& clean, const std::string& edited, const std::string& patchPath,
                                bool anyGame, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
