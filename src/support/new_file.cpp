#include "support/new_file.h"

#include <algorithm>
#include <atomic>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

namespace {

// "dir/name" -> "dir/.name.kestrane-1a2b3c.tmp": beside the file, hidden
// where a leading dot hides, and never a name a user chose.
std::string temporaryBeside(const std::string& path, unsigned attempt) {
    const std::size_t slash = path.find_last_of(kPathSeparators);
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    static std::atomic<unsigned> counter{0};
    const auto tick = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto mixed = std::uint32_t((tick * 0x9E3779B97F4A7C15u) >> 32) ^ (++counter << 20) ^ attempt;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + ".kestrane-" + toPaddedHex(std::int32_t(mixed), 8) + ".tmp";
}

Result<void> checkOutput(FileSystem& fs, const std::string& path, std::span<const ProtectedFile> never) {
    auto status = fs.status(path);
    if (!status) return status.error();
    using Type = FileStatus::Type;
    switch (status->type) {
    case Type::Missing: return {};
    case Type::Folder: return refused(ErrorCode::NotAnOutput, quoted(path) + " is a folder; give a file name");
    case Type::Other:
        return refused(ErrorCode::NotAnOutput, quoted(path) + " is not a regular file (a device, pipe or socket); give "
                                                              "the name of a file");
    case Type::Regular: break;
    }
    for (const ProtectedFile& p : never) {
        auto other = fs.status(p.path);
        if (other && other->type == Type::Regular && other->identity == status->identity) {
            return refused(ErrorCode::NotAnOutput, quoted(path) + " is " + std::string(p.what) + " itself" +
                                                       (path == p.path ? "" : " (the same file as " + quoted(p.path) + ")") +
                                                       "; choose another file");
        }
    }
    if (status->readOnly) {
        return refused(ErrorCode::ReadOnlyFile, quoted(path) + " is read-only; choose another file, or make it writable first");
    }
    return {};
}

// Writes, flushes, reads back and compares the new file, then closes it.
Result<void> fill(File& file, std::span<const std::uint8_t> bytes) {
    if (auto written = writeExactly(file, 0, bytes); !written) return written.error();
    if (auto flushed = file.flush(); !flushed) return flushed.error();
    std::vector<std::uint8_t> back(bytes.size());
    if (auto read = readExactly(file, 0, back); !read) return read.error();
    if (!std::equal(back.begin(), back.end(), bytes.begin(), bytes.end())) {
        return differsFromWritten(ErrorCode::VerifyFailed, "the bytes read back differ from those written");
    }
    return file.close();
}

}  // namespace

Result<PreparedFile> prepareNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes,
                                    std::span<const ProtectedFile> never) {
    if (path.empty()) return fileFailure(ErrorCode::FileNotFound, "no file name was given");
    if (auto fit = checkOutput(fs, path, never); !fit) return fit.error();
    std::string temporary;
    Result<std::unique_ptr<File>> created = fileFailure(ErrorCode::FileExists, "");
    for (unsigned attempt = 0; attempt < 8; ++attempt) {
        temporary = temporaryBeside(path, attempt);
        created = fs.createNew(temporary);
        if (created || created.error().code != ErrorCode::FileExists) break;
    }
    if (!created) return created.error();
    auto done = fill(**created, bytes);
    created->reset();  // closed before it is renamed or removed
    PreparedFile prepared(fs, path, temporary);
    if (!done) {
        Error error = done.error();
        if (auto removed = prepared.discard(); !removed) error.message += removed.error().message;
        return error;
    }
    return prepared;
}

Result<void> PreparedFile::commit() {
    if (temporary_.empty()) return {};
    if (auto done = fs_->replace(temporary_, path_); !done) {
        Error error = done.error();
        if (auto removed = discard(); !removed) error.message += removed.error().message;
        return error;
    }
    temporary_.clear();
    // The rename itself onto the disk: without it a crash may bring back the old file.
    return fs_->syncFolderOf(path_);
}

Result<void> PreparedFile::discard() {
    if (temporary_.empty()) return {};
    const std::string temporary = std::exchange(temporary_, {});
    if (auto removed = fs_->remove(temporary); !removed) {
        return fileFailure(removed.error().code, "; the unfinished copy " + quoted(temporary) + " is left behind");
    }
    return {};
}

Result<void> writeNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes,
                          std::span<const ProtectedFile> never) {
    auto prepared = prepareNewFile(fs, path, bytes, never);
    if (!prepared) return prepared.error();
    return prepared->commit();
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace kestrane
