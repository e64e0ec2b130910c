// The files Kestrane makes: written whole beside their place, checked, then renamed into it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "support/file.h"

namespace kestrane {

// A file a new file must never take the place of (the ROM an export reads).
struct ProtectedFile {
    std::string path;
    std::string_view what;  // "the ROM"
};

// Writes a file Kestrane makes (a table, a picture, a patch, a copy of a
// ROM): beside `path` under a temporary name, flushed, read back and
// compared, then renamed into place and the folder flushed, so that a
// failure leaves whatever `path` named as it was and no partial file.
// Refused before anything is written: a path that names one of `never`
// (through links too), a folder, a device or pipe, or a read-only file.
Result<void> writeNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes,
                          std::span<const ProtectedFile> never = {});

}  // namespace kestrane
