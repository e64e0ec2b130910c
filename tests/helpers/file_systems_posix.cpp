// The parts of the test file systems that need POSIX: /dev/full and FIFOs.
#include <fcntl.h>
#include <sys/stat.h>

#include "helpers/file_systems.h"
#include "support/posix_file.h"

namespace kestrane::testing {
namespace {

class SplitFile final : public File {
public:
    SplitFile(std::unique_ptr<File> reads, std::unique_ptr<File> writes)
        : reads_(std::move(reads)), writes_(std::move(writes)) {}
    Result<std::int64_t> size() override { return reads_->size(); }
    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        return reads_->readAt(offset, out);
    }
    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        return writes_->writeAt(offset, data);
    }
    Result<void> flush() override { return writes_->flush(); }
    Result<void> close() override {
        auto closedWrites = writes_->close();
        auto closedReads = reads_->close();
        return closedWrites ? closedReads : closedWrites;
    }

private:
    std::unique_ptr<File> reads_;
    std::unique_ptr<File> writes_;
};

}  // namespace

Result<std::unique_ptr<File>> DiskFullFileSystem::open(const std::string& path, OpenMode mode) {
    auto real = nativeFileSystem().open(path, OpenMode::Read);
    if (!real || mode == OpenMode::Read) return real;
    int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0) return makeError(ErrorCode::PathNotFound, "this system has no /dev/full");
    return std::unique_ptr<File>(std::make_unique<SplitFile>(std::move(*real), fileFromDescriptor(full)));
}

Result<void> DiskFullFileSystem::makeOwnerWritable(const std::string& path) {
    return nativeFileSystem().makeOwnerWritable(path);
}

std::optional<std::string> makeFifo(const std::string& path) {
    if (::mkfifo(path.c_str(), 0600) != 0) return std::nullopt;
    return path;
}

std::string deviceFile() { return "/dev/null"; }

}  // namespace kestrane::testing
