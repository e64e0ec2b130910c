#include "support/memory_file_system.h"

#include <algorithm>

namespace kestrane {
namespace {

Error missing() { return fileFailure(ErrorCode::FileNotFound, "the file does not exist"); }

class MemoryFile final : public File {
public:
    MemoryFile(std::shared_ptr<MemoryFileSystem::Entry> entry, OpenMode mode) : entry_(std::move(entry)), mode_(mode) {}

    Result<std::int64_t> size() override { return static_cast<std::int64_t>(entry_->bytes.size()); }

    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        if (offset < 0) return fileFailure(ErrorCode::InvalidArgument, "negative offset");
        auto& bytes = entry_->bytes;
        auto at = static_cast<std::size_t>(offset);
        if (at >= bytes.size()) return std::size_t{0};
        std::size_t n = std::min(out.size(), bytes.size() - at);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, out.begin());
        entry_->read += n;
        return n;
    }

    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        if (mode_ != OpenMode::ReadWrite) return fileFailure(ErrorCode::PermissionDenied, "permission denied");
        if (offset < 0) return fileFailure(ErrorCode::InvalidArgument, "negative offset");
        auto& bytes = entry_->bytes;
        auto at = static_cast<std::size_t>(offset);
        // Like a real file, a write past the end grows it.
        if (at + data.size() > bytes.size()) bytes.resize(at + data.size());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return data.size();
    }

    Result<void> flush() override { return {}; }
    Result<void> lock(std::chrono::milliseconds) override { return {}; }
    Result<FileIdentity> identity() override { return FileIdentity{1, entry_->id}; }
    Result<void> close() override { return {}; }

private:
    std::shared_ptr<MemoryFileSystem::Entry> entry_;
    OpenMode mode_;
};

}  // namespace

void MemoryFileSystem::put(const std::string& path, Bytes bytes) {
    files_[path] = std::make_shared<Entry>(Entry{nextId_++, std::move(bytes), false});
}

Result<std::unique_ptr<File>> MemoryFileSystem::open(const std::string& path, OpenMode mode) {
    auto it = files_.find(path);
    if (it == files_.end()) return missing();
    return std::unique_ptr<File>(std::make_unique<MemoryFile>(it->second, mode));
}

Result<FileStatus> MemoryFileSystem::status(const std::string& path) {
    auto it = files_.find(path);
    if (it == files_.end()) return FileStatus{};
    return FileStatus{FileStatus::Type::Regular, FileIdentity{1, it->second->id}, it->second->readOnly};
}

Result<void> MemoryFileSystem::setReadOnly(const std::string& path, bool readOnly) {
    auto it = files_.find(path);
    if (it == files_.end()) return missing();
    it->second->readOnly = readOnly;
    return {};
}

Result<std::unique_ptr<File>> MemoryFileSystem::createNew(const std::string& path) {
    if (files_.count(path)) return fileFailure(ErrorCode::FileExists, "a file of that name exists already");
    put(path, {});
    return open(path, OpenMode::ReadWrite);
}

Result<void> MemoryFileSystem::replace(const std::string& from, const std::string& to) {
    auto it = files_.find(from);
    if (it == files_.end()) return missing();
    auto entry = it->second;
    files_.erase(it);
    files_[to] = std::move(entry);
    return {};
}

Result<void> MemoryFileSystem::remove(const std::string& path) {
    if (files_.erase(path) == 0) return missing();
    return {};
}

}  // namespace kestrane
