// The core's one door to files. Everything the core reads or writes goes
// through FileSystem and File, so that tests can put a fault-injecting layer
// in front of the real one (tests/support/fault_injection.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

enum class OpenMode { Read, ReadWrite };

// Which file a path or a handle names, however it was reached (links,
// hard links, another spelling): device and inode on POSIX, volume and
// file index on Windows.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What a path names, without opening it (links followed).
struct FileStatus {
    enum class Type { Missing, Regular, Folder, Other };  // Other: a device, pipe or socket
    Type type = Type::Missing;
    FileIdentity identity;
    // The user's word that it is not to be written: no write permission
    // for its owner (POSIX), the read-only attribute (Windows). Root is
    // held to it too.
    bool readOnly = false;
};

// An open regular file. Offsets are zero-based byte positions.
class File {
public:
    virtual ~File() = default;

    // The size as the file has it now; a folder, pipe or device is an error here.
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
    // Which file this handle writes.
    virtual Result<FileIdentity> identity() = 0;
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
    // What a path names; a path that names nothing is Missing, not an error.
    virtual Result<FileStatus> status(const std::string& path) = 0;
    // Sets or clears the file's read-only mark (POSIX: the write
    // permissions, for the owner only when cleared).
    virtual Result<void> setReadOnly(const std::string& path, bool readOnly) = 0;
    // Creates a new regular file for reading and writing; a path that names
    // anything already is an error (FileExists).
    virtual Result<std::unique_ptr<File>> createNew(const std::string& path) = 0;
    // Puts the file `from` in the place of `to`, whatever `to` was, in one step.
    virtual Result<void> replace(const std::string& from, const std::string& to) = 0;
    virtual Result<void> remove(const std::string& path) = 0;
    // Forces the folder that holds path onto the disk (a rename into it);
    // nothing where the platform needs nothing.
    virtual Result<void> syncFolderOf(const std::string& path) = 0;
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

// The piece a file is read in where it is read through (a search, a read
// of the whole file): read by the kernel into a buffer that stays in the
// processor's second-level cache for the work that follows (512 KiB
// measured best here, against 256 KiB and 1 MiB).
inline constexpr std::int64_t kSearchPiece = 512 * 1024;

// The whole of a small file (a table to import), with one open; a file
// larger than `limit` is refused (TooLarge) before a byte is read.
Result<std::vector<std::uint8_t>> readWholeFile(FileSystem& fs, const std::string& path, std::int64_t limit);

// The byte Kestrane's save lock covers, far past the end of any ROM.
inline constexpr std::int64_t kSaveLockByte = std::int64_t{1} << 62;
// How long a save waits for another program's save to finish.
inline constexpr std::chrono::milliseconds kSaveLockWait{5000};

// What separates folders in a path here.
#if defined(_WIN32)
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

// A path as messages show it: in double quotes.
std::string quoted(const std::string& path);

// A sentence for the user: where it happened, then the error's own
// description: inContext(e, "Could not read \"x.gbc\"") gives
// "Could not read "x.gbc": the file does not exist." The kind stays.
Error inContext(Error error, const std::string& what);

}  // namespace kestrane
