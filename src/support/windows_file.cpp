// The real files on Windows: wide-character paths, positioned reads and
// writes, and sharing that lets an emulator keep the ROM open meanwhile.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <thread>

#include "support/file.h"
#include "support/large_memory.h"

namespace kestrane {
namespace {

std::wstring widePath(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    // Beyond MAX_PATH an absolute path needs the \\?\ form (and backslashes).
    if (wide.size() >= MAX_PATH && wide.size() > 2 && wide[1] == L':') {
        for (wchar_t& c : wide) c = c == L'/' ? L'\\' : c;
        wide.insert(0, L"\\\\?\\");
    }
    return wide;
}

Error errorFromLastError(DWORD err) {
    switch (err) {
    case ERROR_FILE_NOT_FOUND: return fileFailure(ErrorCode::FileNotFound, "the file does not exist");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return fileFailure(ErrorCode::PathNotFound, "a folder in its path does not exist");
    case ERROR_FILENAME_EXCED_RANGE: return fileFailure(ErrorCode::PathNotFound, "the path is too long");
    case ERROR_ACCESS_DENIED: return fileFailure(ErrorCode::PermissionDenied, "permission denied");
    case ERROR_WRITE_PROTECT: return fileFailure(ErrorCode::PermissionDenied, "the disk is write-protected");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return fileFailure(ErrorCode::PathFileAccess,
                         "the file is in use by another program that does not allow writing to it");
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return fileFailure(ErrorCode::FileExists, "a file of that name exists already");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return fileFailure(ErrorCode::DiskFull, "the disk is full");
    default: return fileFailure(ErrorCode::DeviceIo, "Windows error " + std::to_string(err));
    }
}

Error lastError() { return errorFromLastError(::GetLastError()); }

Result<BY_HANDLE_FILE_INFORMATION> informationOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) return lastError();
    return info;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

Result<std::wstring> checkedWidePath(const std::string& path) {
    if (path.empty()) return fileFailure(ErrorCode::FileNotFound, "no file name was given");
    if (path.find('\0') != std::string::npos) {
        return fileFailure(ErrorCode::InvalidArgument, "the file name holds a NUL character");
    }
    std::wstring wide = widePath(path);
    if (wide.empty()) return fileFailure(ErrorCode::InvalidArgument, "the file name is not valid UTF-8");
    return wide;
}

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED o{};
    o.Offset = DWORD(std::uint64_t(offset) & 0xFFFFFFFF);
    o.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return o;
}

class WindowsFile final : public File {
public:
    explicit WindowsFile(HANDLE handle) : handle_(handle) {}
    ~WindowsFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }

    Result<std::int64_t> size() override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(handle_, &size)) return lastError();
        return std::int64_t(size.QuadPart);
    }

    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        OVERLAPPED o = at(offset);
        DWORD got = 0;
        if (!::ReadFile(handle_, out.data(), DWORD(out.size()), &got, &o)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) return std::size_t{0};
            return lastError();
        }
        return std::size_t(got);
    }

    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        OVERLAPPED o = at(offset);
        DWORD put = 0;
        if (!::WriteFile(handle_, data.data(), DWORD(data.size()), &put, &o)) return lastError();
        return std::size_t(put);
    }

    Result<void> flush() override {
        if (!::FlushFileBuffers(handle_)) return lastError();
        return {};
    }

    Result<void> lock(std::chrono::milliseconds wait) override {
        // One byte far past the content: Windows locks are mandatory, and a
        // lock on the content would stop an emulator reading the ROM.
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            OVERLAPPED o = at(kSaveLockByte);
            if (::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o)) return {};
            const DWORD err = ::GetLastError();
            if (err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING) return errorFromLastError(err);
            if (std::chrono::steady_clock::now() >= until) {
                return refused(ErrorCode::FileBusy, "another program is saving it; try again when it has finished");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    Result<FileIdentity> identity() override {
        auto info = informationOf(handle_);
        if (!info) return info.error();
        return identityOf(*info);
    }

    Result<void> close() override {
        HANDLE h = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(h)) return lastError();
        return {};
    }

private:
    HANDLE handle_;
};

class WindowsFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
        auto checked = checkedWidePath(path);
        if (!checked) return checked.error();
        const std::wstring& wide = *checked;
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return fileFailure(ErrorCode::PathFileAccess, "it is a folder, not a file");
        }
        const DWORD access = mode == OpenMode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        // Others may go on reading and writing (an emulator holding the ROM open).
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE h = ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return lastError();
        auto file = std::make_unique<WindowsFile>(h);
        if (::GetFileType(h) != FILE_TYPE_DISK) {
            return fileFailure(ErrorCode::PathFileAccess, "it is not a regular file (a device, pipe or socket)");
        }
        return std::unique_ptr<File>(std::move(file));
    }

    Result<FileStatus> status(const std::string& path) override {
        auto wide = checkedWidePath(path);
        if (!wide) return wide.error();
        // No access asked: only what the file is (a folder too, by backup semantics).
        HANDLE h = ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_FILE_NOT_FOUND) return FileStatus{};
            return errorFromLastError(err);
        }
        FileStatus status;
        status.type = FileStatus::Type::Other;
        if (::GetFileType(h) == FILE_TYPE_DISK) {
            auto info = informationOf(h);
            if (!info) {
                ::CloseHandle(h);
                return info.error();
            }
            status.type = (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileStatus::Type::Folder : FileStatus::Type::Regular;
            status.identity = identityOf(*info);
            status.readOnly = (info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        }
        ::CloseHandle(h);
        return status;
    }

    Result<void> setReadOnly(const std::string& path, bool readOnly) override {
        auto wide = checkedWidePath(path);
        if (!wide) return wide.error();
        const DWORD attributes = ::GetFileAttributesW(wide->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
        const DWORD wanted = readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
        if (wanted != attributes && !::SetFileAttributesW(wide->c_str(), wanted)) return lastError();
        return {};
    }

    Result<std::unique_ptr<File>> createNew(const std::string& path) override {
        auto wide = checkedWidePath(path);
        if (!wide) return wide.error();
        HANDLE h = ::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return lastError();
        return std::unique_ptr<File>(std::make_unique<WindowsFile>(h));
    }

    Result<void> replace(const std::string& from, const std::string& to) override {
        auto wideFrom = checkedWidePath(from);
        if (!wideFrom) return wideFrom.error();
        auto wideTo = checkedWidePath(to);
        if (!wideTo) return wideTo.error();
        if (!::MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return lastError();
        }
        return {};
    }

    Result<void> remove(const std::string& path) override {
        auto wide = checkedWidePath(path);
        if (!wide) return wide.error();
        if (!::DeleteFileW(wide->c_str())) return lastError();
        return {};
    }

    // MoveFileEx with MOVEFILE_WRITE_THROUGH has flushed the rename already.
    Result<void> syncFolderOf(const std::string&) override { return {}; }
};

}  // namespace

FileSystem& nativeFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}

// Large pages need a privilege ordinary users lack: the heap's pages.
LargeMemory::LargeMemory(std::size_t size) : bytes_(new std::uint8_t[size]), size_(size) {}

LargeMemory::~LargeMemory() { delete[] bytes_; }

}  // namespace kestrane
