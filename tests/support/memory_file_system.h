// Files held in memory, for tests and fuzzing: the same door as the real
// files, without the disk, so thousands of saves take no time.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "support/file.h"

namespace kestrane {

class MemoryFileSystem final : public FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;

    void put(const std::string& path, Bytes bytes);
    // The bytes of a file; the file must exist.
    const Bytes& bytes(const std::string& path) const { return files_.at(path)->bytes; }
    // How many bytes were read of a file, through every handle: how many
    // passes an opening makes.
    std::uint64_t bytesRead(const std::string& path) const { return files_.at(path)->read; }

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<FileStatus> status(const std::string& path) override;
    Result<void> setReadOnly(const std::string& path, bool readOnly) override;
    Result<std::unique_ptr<File>> createNew(const std::string& path) override;
    Result<void> replace(const std::string& from, const std::string& to) override;
    Result<void> remove(const std::string& path) override;
    Result<void> syncFolderOf(const std::string&) override { return {}; }

    struct Entry {
        std::uint64_t id = 0;
        Bytes bytes;
        bool readOnly = false;
        std::uint64_t read = 0;
    };

private:
    // Shared: a file renamed or removed while open keeps its bytes for the handle.
    std::map<std::string, std::shared_ptr<Entry>> files_;
    std::uint64_t nextId_ = 1;
};

}  // namespace kestrane
