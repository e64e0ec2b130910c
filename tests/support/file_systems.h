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
    Result<void> makeOwnerWritable(const std::string& path) override {
        return nativeFileSystem().makeOwnerWritable(path);
    }
    Result<std::unique_ptr<File>> create(const std::string& path) override { return nativeFileSystem().create(path); }
};

// A read-only file as a non-root user meets it: reading works, opening for
// writing and making it writable are refused. (Tests run as root, where
// chmod 0444 refuses nothing.)
class ReadOnlyFileSystem final : public ForwardingFileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> makeOwnerWritable(const std::string& path) override;
    Result<std::unique_ptr<File>> create(const std::string& path) override;
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
