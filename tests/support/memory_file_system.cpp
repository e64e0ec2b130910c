#include "support/memory_file_system.h"

#include <algorithm>

namespace kestrane {
namespace {

class MemoryFile final : public File {
public:
    MemoryFile(MemoryFileSystem::Bytes& bytes, OpenMode mode) : bytes_(bytes), mode_(mode) {}

    Result<std::int64_t> size() override { return static_cast<std::int64_t>(bytes_.size()); }

    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        if (offset < 0) return fileFailure(ErrorCode::InvalidArgument, "negative offset");
        auto at = static_cast<std::size_t>(offset);
        if (at >= bytes_.size()) return std::size_t{0};
        std::size_t n = std::min(out.size(), bytes_.size() - at);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at), n, out.begin());
        return n;
    }

    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        if (mode_ != OpenMode::ReadWrite) return fileFailure(ErrorCode::PermissionDenied, "permission denied");
        if (offset < 0) return fileFailure(ErrorCode::InvalidArgument, "negative offset");
        auto at = static_cast<std::size_t>(offset);
        // Like a real file, a write past the end grows it.
        if (at + data.size() > bytes_.size()) bytes_.resize(at + data.size());
        std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
        return data.size();
    }

    Result<void> flush() override { return {}; }
    Result<void> lock(std::chrono::milliseconds) override { return {}; }
    Result<void> close() override { return {}; }

private:
    MemoryFileSystem::Bytes& bytes_;
    OpenMode mode_;
};

}  // namespace

Result<std::unique_ptr<File>> MemoryFileSystem::open(const std::string& path, OpenMode mode) {
    auto it = files_.find(path);
    if (it == files_.end()) return fileFailure(ErrorCode::FileNotFound, "the file does not exist");
    return std::unique_ptr<File>(std::make_unique<MemoryFile>(it->second, mode));
}

Result<std::unique_ptr<File>> MemoryFileSystem::create(const std::string& path) {
    files_[path].clear();
    return std::unique_ptr<File>(std::make_unique<MemoryFile>(files_[path], OpenMode::ReadWrite));
}

Result<void> MemoryFileSystem::makeOwnerWritable(const std::string& path) {
    if (!files_.count(path)) return fileFailure(ErrorCode::FileNotFound, "the file does not exist");
    return {};
}

}  // namespace kestrane
