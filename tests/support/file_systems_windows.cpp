// Windows has no /dev/full; a pipe and a device have other names.
#include "support/file_systems.h"

namespace kestrane::testing {

Result<std::unique_ptr<File>> DiskFullFileSystem::open(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::Read) return nativeFileSystem().open(path, mode);
    return fileFailure(ErrorCode::PathNotFound, "this system has no /dev/full");
}

std::optional<std::string> makeFifo(const std::string&) { return std::nullopt; }

std::string deviceFile() { return "NUL"; }

}  // namespace kestrane::testing
