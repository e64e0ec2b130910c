// The parts of the test file systems that need POSIX: /dev/full and FIFOs.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_systems.h"

namespace kestrane::testing {
namespace {

// Writes through a descriptor (of /dev/full): the kernel's own answers.
class DescriptorWrites final : public File {
public:
    explicit DescriptorWrites(int fd) : fd_(fd) {}
    ~DescriptorWrites() override { ::close(fd_); }
    Result<std::int64_t> size() override { return std::int64_t{0}; }
    Result<std::size_t> readAt(std::int64_t, std::span<std::uint8_t>) override { return std::size_t{0}; }
    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        ssize_t n = ::pwrite(fd_, data.data(), data.size(), off_t(offset));
        if (n >= 0) return std::size_t(n);
        if (errno == ENOSPC) return fileFailure(ErrorCode::DiskFull, "the disk is full");
        return fileFailure(ErrorCode::DeviceIo, "the device reported an input/output error");
    }
    Result<void> flush() override { return {}; }
    Result<void> lock(std::chrono::milliseconds) override { return {}; }
    Result<FileIdentity> identity() override { return FileIdentity{}; }
    Result<void> close() override { return {}; }

private:
    int fd_;
};

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
    Result<void> lock(std::chrono::milliseconds) override { return {}; }
    Result<FileIdentity> identity() override { return reads_->identity(); }
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
    if (full < 0) return fileFailure(ErrorCode::PathNotFound, "this system has no /dev/full");
    return std::unique_ptr<File>(std::make_unique<SplitFile>(std::move(*real), std::make_unique<DescriptorWrites>(full)));
}

std::optional<std::string> makeFifo(const std::string& path) {
    if (::mkfifo(path.c_str(), 0600) != 0) return std::nullopt;
    return path;
}

std::string deviceFile() { return "/dev/null"; }

}  // namespace kestrane::testing
