// The real files on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>

#include "support/file.h"
#include "support/large_memory.h"

namespace kestrane {
namespace {

Error notRegular() {
    return fileFailure(ErrorCode::PathFileAccess, "it is not a regular file (a device, pipe or socket)");
}

Error errorFromErrno(int err) {
    switch (err) {
    case ENOENT: return fileFailure(ErrorCode::FileNotFound, "the file does not exist");
    case ENOTDIR: return fileFailure(ErrorCode::PathNotFound, "a folder in its path does not exist");
    case ENAMETOOLONG: return fileFailure(ErrorCode::PathNotFound, "the path is too long");
    case ELOOP: return fileFailure(ErrorCode::PathNotFound, "its path has too many symbolic links");
    case EACCES:
    case EPERM: return fileFailure(ErrorCode::PermissionDenied, "permission denied");
    case EROFS: return fileFailure(ErrorCode::PermissionDenied, "the file lies on a read-only file system");
    case EISDIR: return fileFailure(ErrorCode::PathFileAccess, "it is a folder, not a file");
    case ESPIPE:
    case ENXIO: return notRegular();
    case ETXTBSY:
    case EBUSY: return fileFailure(ErrorCode::PathFileAccess, "the file is in use by another program");
    case ENOSPC:
    case EDQUOT: return fileFailure(ErrorCode::DiskFull, "the disk is full");
    case EIO: return fileFailure(ErrorCode::DeviceIo, "the device reported an input/output error");
    case EEXIST: return fileFailure(ErrorCode::FileExists, "a file of that name exists already");
    default: return fileFailure(ErrorCode::DeviceIo, std::strerror(err));
    }
}

struct TypeAndSize {
    mode_t mode;
    std::int64_t size;
};

// Only the type and the size: asking for the timestamps (as fstat does)
// makes newer Linux kernels give the next write a fine-grained time, which
// costs a save an inode update in its sync.
Result<TypeAndSize> typeAndSize(int fd) {
#if defined(STATX_TYPE)
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_SIZE, &sx) != 0) return errorFromErrno(errno);
    return TypeAndSize{sx.stx_mode, static_cast<std::int64_t>(sx.stx_size)};
#else
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errorFromErrno(errno);
    return TypeAndSize{st.st_mode, static_cast<std::int64_t>(st.st_size)};
#endif
}

// Refuses what is no regular file: a folder, a pipe, a device.
Result<std::int64_t> regularFileSize(int fd) {
    auto stat = typeAndSize(fd);
    if (!stat) return stat.error();
    if (S_ISDIR(stat->mode)) return errorFromErrno(EISDIR);
    if (!S_ISREG(stat->mode)) return notRegular();
    return stat->size;
}

struct TypeAndIdentity {
    mode_t mode;
    FileIdentity identity;
};

// The type, mode bits and identity, without the timestamps, for the reason
// above: a save asks for them just before it writes and just after.
// `path` empty: the open file itself.
Result<TypeAndIdentity> typeAndIdentity(int fd, const char* path) {
#if defined(STATX_TYPE)
    struct statx sx {};
    const int flags = *path ? 0 : AT_EMPTY_PATH;
    if (::statx(*path ? AT_FDCWD : fd, path, flags, STATX_TYPE | STATX_MODE | STATX_INO, &sx) != 0) return errorFromErrno(errno);
    return TypeAndIdentity{sx.stx_mode, {std::uint64_t(makedev(sx.stx_dev_major, sx.stx_dev_minor)), std::uint64_t(sx.stx_ino)}};
#else
    struct stat st {};
    if ((*path ? ::stat(path, &st) : ::fstat(fd, &st)) != 0) return errorFromErrno(errno);
    return TypeAndIdentity{st.st_mode, {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)}};
#endif
}

class PosixFile final : public File {
public:
    PosixFile(int fd, OpenMode mode) : fd_(fd), mode_(mode) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);  // only on paths that already report an error
    }

    Result<std::int64_t> size() override {
        // A reader may keep the size it saw; a writer asks every time, since
        // a save must see another program cut or grow the file meanwhile.
        if (mode_ == OpenMode::Read && knownSize_ >= 0) return knownSize_;
        auto size = regularFileSize(fd_);
        if (size) knownSize_ = *size;
        return size;
    }

    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        for (;;) {
            ssize_t n = ::pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) return errorFromErrno(errno);
        }
    }

    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        for (;;) {
            ssize_t n = ::pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset));
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) return errorFromErrno(errno);
        }
    }

    Result<void> flush() override {
        if (::fsync(fd_) != 0) return errorFromErrno(errno);
        return {};
    }

    Result<void> lock(std::chrono::milliseconds wait) override {
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            // An open file description's lock: held by this open, not by the
            // process, so two opens in one program exclude each other too;
            // released when the descriptor closes.
            // Where the platform has both, the whole-file flock too, which
            // other programs take (the two do not see each other).
            int err = 0;
#if defined(F_OFD_SETLK)
            if (!haveRangeLock_) {
                struct flock range {};
                range.l_type = F_WRLCK;
                range.l_whence = SEEK_SET;
                range.l_start = off_t(kSaveLockByte);
                range.l_len = 1;
                if (::fcntl(fd_, F_OFD_SETLK, &range) == 0) haveRangeLock_ = true;
                else err = errno == EACCES ? EAGAIN : errno;
            }
#endif
            if (err == 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0) return {};
            if (err == 0) err = errno == EWOULDBLOCK ? EAGAIN : errno;
            if (err == EINTR) continue;
            if (err != EAGAIN) return errorFromErrno(err);
            if (std::chrono::steady_clock::now() >= until) {
                return refused(ErrorCode::FileBusy, "another program is saving it; try again when it has finished");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    Result<FileIdentity> identity() override {
        auto got = typeAndIdentity(fd_, "");
        if (!got) return got.error();
        return got->identity;
    }

    Result<void> close() override {
        int fd = fd_;
        fd_ = -1;
        // Linux releases the descriptor even when close fails; never close twice.
        if (::close(fd) != 0) return errorFromErrno(errno);
        return {};
    }

private:
    int fd_;
    OpenMode mode_;
    std::int64_t knownSize_ = -1;
    bool haveRangeLock_ = false;
};

Result<void> checkedPath(const std::string& path) {
    if (path.empty()) return fileFailure(ErrorCode::FileNotFound, "no file name was given");
    if (path.find('\0') != std::string::npos) {
        return fileFailure(ErrorCode::InvalidArgument, "the file name holds a NUL character");
    }
    return {};
}

class PosixFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
        if (auto checked = checkedPath(path); !checked) return checked.error();
        // Non-blocking, so that a pipe without a writer cannot hang the open;
        // on the regular files that pass the check below it changes nothing.
        int flags = (mode == OpenMode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        int fd;
        do {
            // Reading a ROM should not touch its access time: on a file just
            // written that costs a journal update inside the save's sync.
            fd = ::open(path.c_str(), flags | O_NOATIME);
            // O_NOATIME is the owner's privilege; anyone else opens without it.
            if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), flags);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return errorFromErrno(errno);
        auto file = std::make_unique<PosixFile>(fd, mode);
        // Reading a folder, pipe or device fails or comes up short, and then
        // the size's type check says why; nothing is written to one.
        if (mode == OpenMode::ReadWrite) {
            if (auto size = file->size(); !size) return size.error();
        }
        return std::unique_ptr<File>(std::move(file));
    }

    Result<FileStatus> status(const std::string& path) override {
        if (auto checked = checkedPath(path); !checked) return checked.error();
        auto got = typeAndIdentity(-1, path.c_str());
        if (!got) {
            if (got.error().code == ErrorCode::FileNotFound) return FileStatus{};
            return got.error();
        }
        using Type = FileStatus::Type;
        const mode_t mode = got->mode;
        const Type type = S_ISREG(mode) ? Type::Regular : S_ISDIR(mode) ? Type::Folder : Type::Other;
        return FileStatus{type, got->identity, (mode & S_IWUSR) == 0};
    }

    Result<void> setReadOnly(const std::string& path, bool readOnly) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return errorFromErrno(errno);
        const mode_t mode = readOnly ? (st.st_mode & 07777 & ~mode_t(0222)) : (st.st_mode & 07777) | S_IWUSR;
        if (::chmod(path.c_str(), mode) != 0) return errorFromErrno(errno);
        return {};
    }

    Result<std::unique_ptr<File>> createNew(const std::string& path) override {
        if (auto checked = checkedPath(path); !checked) return checked.error();
        int fd;
        do {
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return errorFromErrno(errno);
        return std::unique_ptr<File>(std::make_unique<PosixFile>(fd, OpenMode::ReadWrite));
    }

    Result<void> replace(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return errorFromErrno(errno);
        return {};
    }

    Result<void> remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) return errorFromErrno(errno);
        return {};
    }

    Result<void> syncFolderOf(const std::string& path) override {
        const std::size_t slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errorFromErrno(errno);
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
        const int err = errno;
        ::close(fd);
        if (!synced) return errorFromErrno(err);
        return {};
    }
};

}  // namespace

FileSystem& nativeFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

LargeMemory::LargeMemory(std::size_t size) : size_(size) {
#if defined(MADV_HUGEPAGE)
    // A huge page starts at a multiple of its size: the mapping is made one
    // huge page larger, and what lies outside the aligned part is given back.
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    if (size >= kHuge / 2) {
        const std::size_t whole = (size + kHuge - 1) / kHuge * kHuge;
        void* mapped = ::mmap(nullptr, whole + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (start + kHuge - 1) / kHuge * kHuge;
        if (aligned > start) ::munmap(mapped, aligned - start);
        if (const std::uintptr_t end = start + whole + kHuge; end > aligned + whole) {
            ::munmap(reinterpret_cast<void*>(aligned + whole), end - (aligned + whole));
        }
        // Only advice: where the system gives no huge page, the pages are the usual ones.
        (void)::madvise(reinterpret_cast<void*>(aligned), whole, MADV_HUGEPAGE);
        bytes_ = reinterpret_cast<std::uint8_t*>(aligned);
        mapped_ = whole;
        return;
    }
#endif
    bytes_ = new std::uint8_t[size];
}

LargeMemory::~LargeMemory() {
    if (mapped_ != 0) ::munmap(bytes_, mapped_);
    else delete[] bytes_;
}

}  // namespace kestrane
