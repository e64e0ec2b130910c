// File systems that behave like awkward real ones, for the reliability tests.
#pragma once

#include "support/file.h"

namespace kestrane::testing {

// A read-only file as a non-root user meets it: reading works, opening for
// writing and making it writable are refused. (Tests run as root, where
// chmod 0444 refuses nothing.)
class ReadOnlyFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> makeOwnerWritable(const std::string& path) override;
};

// Reads the real file, but every write goes to /dev/full, so the kernel
// itself answers ENOSPC. Where /dev/full is missing, open fails.
class DiskFullFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> makeOwnerWritable(const std::string& path) override;
};

}  // namespace kestrane::testing
