// Windows has no /dev/full; a pipe and a device have other names.
#include "helpers/file_systems.h"

namespace kestrane::testing {

Result<std::unique_ptr<File>> DiskFullFileSystem::open(const std::string&, OpenMode) {
    return makeError(ErrorCode::PathNotFound, "this system has no /dev/full");
}

Result<void> DiskFullFileSystem::makeOwnerWritable(const std::string& path) {
    return nativeFileSystem().makeOwnerWritable(path);
}

std::optional<std::string> makeFifo(const std::string&) { return std::nullopt; }

std::string deviceFile() { return "NUL"; }

}  // namespace kestrane::testing
