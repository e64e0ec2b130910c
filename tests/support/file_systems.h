// File systems that behave like awkward real ones, for the reliability tests.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "support/file.h"

namespace kestrane::testing {

// Passes every call to the real files; the doubles below change a few.
class ForwardingFileSystem : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
        return nativeFileSystem().open(path, mode);
    }
    Result<FileStatus> status(const std::string& path) override { return nativeFileSystem().status(path); }
    Result<void> setReadOnly(const std::string& path, bool readOnly) override {
        return nativeFileSystem().setReadOnly(path, readOnly);
    }
    Result<std::unique_ptr<File>> createNew(const std::string& path) override { return nativeFileSystem().createNew(path); }
    Result<void> replace(const std::string& from, const std::string& to) override {
        return nativeFileSystem().replace(from, to);
    }
    Result<void> remove(const std::string& path) override { return nativeFileSystem().remove(path); }
    Result<void> syncFolderOf(const std::string& path) override { return nativeFileSystem().syncFolderOf(path); }
};

// Files as a user without write permission meets them: reading works,
// opening for writing, changing the read-only mark and creating are
// refused. (Tests run as root, where permissions refuse nothing.)
class ReadOnlyFileSystem final : public ForwardingFileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> setReadOnly(const std::string& path, bool readOnly) override;
    Result<std::unique_ptr<File>> createNew(const std::string& path) override;
};

// Reads the real file, but every write goes to /dev/full, so the kernel
// itself answers ENOSPC. Where /dev/full is missing, open fails.
class DiskFullFileSystem final : public ForwardingFileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
};

// A named pipe at path, where the platform makes them that way (POSIX).
std::optional<std::string> makeFifo(const std::string& path);
// A device the platform names like a file ("/dev/null", "NUL").
std::string deviceFile();

// Runs `meanwhile` once, just before the first open for writing: another
// program that acts between a command's read and its save.
class MeanwhileFileSystem final : public ForwardingFileSystem {
public:
    explicit MeanwhileFileSystem(std::function<void()> meanwhile) : meanwhile_(std::move(meanwhile)) {}
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;

private:
    std::function<void()> meanwhile_;
};

}  // namespace kestrane::testing
