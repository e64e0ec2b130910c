// The files Kestrane makes: written whole beside their place, checked, then renamed into it.
#pragma once

#include <utility>

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

// writeNewFile in two steps, for a file that must take its place only
// after something else succeeded: the new file written beside its place,
// flushed, read back and compared; then put in place, or removed (as it
// is where the prepared file is dropped unfinished).
class PreparedFile {
public:
    PreparedFile(FileSystem& fs, std::string path, std::string temporary) : fs_(&fs), path_(std::move(path)), temporary_(std::move(temporary)) {}
    PreparedFile(PreparedFile&& other) noexcept : fs_(other.fs_), path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, {})) {}
    PreparedFile& operator=(PreparedFile&&) = delete;
    ~PreparedFile() { (void)discard(); }

    // Renames it into place and flushes the folder.
    Result<void> commit();
    // Removes it; an error names the file left behind.
    Result<void> discard();

private:
    FileSystem* fs_;
    std::string path_, temporary_;  // temporary_ empty: committed or discarded
};

Result<PreparedFile> prepareNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes,
                                    std::span<const ProtectedFile> never = {});

}  // namespace kestrane
