// Files held in memory, for tests and fuzzing: the same door as the real
// files, without the disk, so thousands of saves take no time.
#pragma once

#include <map>
#include <vector>

#include "support/file.h"

namespace kestrane {

class MemoryFileSystem final : public FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;

    void put(const std::string& path, Bytes bytes) { files_[path] = std::move(bytes); }
    // The bytes of a file; the file must exist.
    const Bytes& bytes(const std::string& path) const { return files_.at(path); }

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> makeOwnerWritable(const std::string& path) override;
    Result<std::unique_ptr<File>> create(const std::string& path) override;

private:
    std::map<std::string, Bytes> files_;
};

}  // namespace kestrane
