#include "support/file_systems.h"

#include <utility>

namespace kestrane::testing {
namespace {

Error denied() { return fileFailure(ErrorCode::PermissionDenied, "permission denied"); }

}  // namespace

Result<std::unique_ptr<File>> ReadOnlyFileSystem::open(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::ReadWrite) return denied();
    return nativeFileSystem().open(path, mode);
}

Result<void> ReadOnlyFileSystem::setReadOnly(const std::string&, bool) { return denied(); }

Result<std::unique_ptr<File>> ReadOnlyFileSystem::createNew(const std::string&) { return denied(); }

Result<std::unique_ptr<File>> MeanwhileFileSystem::open(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::ReadWrite && meanwhile_) std::exchange(meanwhile_, nullptr)();
    return nativeFileSystem().open(path, mode);
}

}  // namespace kestrane::testing
