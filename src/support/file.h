// The core's one door to files. Everything the core reads or writes goes
// through FileSystem and File, so that tests can put a fault-injecting layer
// in front of the real one (tests/support/fault_injection.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/result.h"

namespace kestrane {

enum class OpenMode { Read, ReadWrite };

// An open regular file. Offsets are zero-based byte positions.
class File {
public:
    virtual ~File() = default;

    // The size; a folder, pipe or device is an error here.
    virtual Result<std::int64_t> size() = 0;
    // Reads at most out.size() bytes; fewer means end of file or a short read.
    virtual Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) = 0;
    // Writes at most data.size() bytes; fewer is a short write.
    virtual Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) = 0;
    // Forces written bytes onto the disk. A failure is final: never retry it.
    virtual Result<void> flush() = 0;
    // Takes the file's save lock: an advisory lock that every Kestrane save
    // holds until it closes the file, so that saves from several programs
    // take turns. Waits up to `wait` for another holder to let go; then a
    // FileBusy error. The lock covers no byte of the content: readers,
    // and programs that take no lock (emulators), are not held up.
    virtual Result<void> lock(std::chrono::milliseconds wait) = 0;
    virtual Result<void> close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an existing regular file; never creates or truncates. Folders,
    // pipes and devices are refused: for writing at once, for reading at the
    // latest when a read fails or comes up short and the size is asked for.
    // Paths are UTF-8.
    virtual Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) = 0;
    // Lets the file's owner write it (the platform's "attributes normal").
    virtual Result<void> makeOwnerWritable(const std::string& path) = 0;
    // Creates a regular file for writing, or empties an existing one. Only
    // for files Kestrane makes itself (a table export), never for a ROM.
    virtual Result<std::unique_ptr<File>> create(const std::string& path) = 0;
};

// The platform's real files.
FileSystem& nativeFileSystem();

// Reads exactly out.size() bytes, finishing short reads; the end of the file
// before that is an InputPastEnd error.
Result<void> readExactly(File& file, std::int64_t offset, std::span<std::uint8_t> out);
// Reads what there is of out.size() bytes, finishing short reads: fewer
// only where the file ends.
Result<std::size_t> readUpTo(File& file, std::int64_t offset, std::span<std::uint8_t> out);
// Writes all of data, finishing short writes.
Result<void> writeExactly(File& file, std::int64_t offset, std::span<const std::uint8_t> data);

// The whole of a small file (a table to import), with one open.
Result<std::vector<std::uint8_t>> readWholeFile(FileSystem& fs, const std::string& path);
// Creates or replaces a file with these bytes: create, write, flush, close.
Result<void> writeNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes);

// The byte Kestrane's save lock covers, far past the end of any ROM.
inline constexpr std::int64_t kSaveLockByte = std::int64_t{1} << 62;
// How long a save waits for another program's save to finish.
inline constexpr std::chrono::milliseconds kSaveLockWait{5000};

// A path as messages show it: in double quotes.
std::string quoted(const std::string& path);

// A sentence for the user: where it happened, then the error's own
// description: inContext(e, "Could not read \"x.gbc\"") gives
// "Could not read "x.gbc": the file does not exist." The kind stays.
Error inContext(Error error, const std::string& what);

}  // namespace kestrane
