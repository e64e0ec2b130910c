// A FileSystem for tests: it passes every call to another FileSystem and can
// make chosen calls fail or move only part of their bytes, so that every
// step of a save can be broken in turn.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "support/file.h"

namespace kestrane {

enum class FileOp { Open, Size, Read, Write, Flush, Lock, Identity, Close, Status, SetReadOnly, CreateNew, Replace, Remove, SyncFolder };

class FaultInjectingFileSystem final : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& inner = nativeFileSystem());

    // By operation, counted from now: the nth call of `op` (1: the next one)
    // fails with this error without reaching the real file, or (a read or a
    // write) moves only half its bytes, at least one, and says so.
    void failNext(FileOp op, Error error, int nth = 1);
    void shortenNext(FileOp op, int nth = 1);
    // Another program acting just before the nth call of `op` (from now):
    // `act` runs, then the call goes on as usual.
    void actBefore(FileOp op, std::function<void()> act, int nth = 1);

    // By call number, for sweeps over every call: call n (1-based, counting
    // every call on the file system and on every file it opened).
    void failCall(int n, Error error);
    void shortenCall(int n);

    // Every call so far, in order.
    const std::vector<FileOp>& calls() const { return calls_; }
    // The bytes every read so far brought in.
    std::int64_t bytesRead() const { return bytesRead_; }

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<FileStatus> status(const std::string& path) override;
    Result<void> setReadOnly(const std::string& path, bool readOnly) override;
    Result<std::unique_ptr<File>> createNew(const std::string& path) override;
    Result<void> replace(const std::string& from, const std::string& to) override;
    Result<void> remove(const std::string& path) override;
    Result<void> syncFolderOf(const std::string& path) override;

private:
    friend class FaultInjectingFile;
    struct Plan {
        std::optional<FileOp> op;  // none: aimed by call number
        int n = 0;                 // call number, or the nth call of op
        std::optional<Error> error;  // none: a short transfer
        std::function<void()> act;   // set: no fault, this runs first
    };

    // Counts the call; gives the planned fault if this is its turn.
    std::optional<Plan> next(FileOp op);

    FileSystem& inner_;
    std::vector<Plan> plans_;
    std::vector<FileOp> calls_;
    std::int64_t bytesRead_ = 0;
};

}  // namespace kestrane
