// A FileSystem for tests: it passes every call to another FileSystem and can
// make one chosen call fail, so that every step of a save can be broken in turn.
#pragma once

#include <optional>
#include <vector>

#include "support/file.h"

namespace kestrane {

enum class FileOp { Open, Size, Read, Write, Flush, Close, MakeWritable };

class FaultInjectingFileSystem final : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& inner = nativeFileSystem());

    // Call number n (1-based, counting every call on the file system and on
    // every file it opened) fails with this error, without reaching the
    // real file.
    void failCall(int n, Error error);
    // Call number n, if it is a read or a write, moves only half its bytes
    // (at least one) and reports the shorter count.
    void shortenCall(int n);

    // Every call so far, in order.
    const std::vector<FileOp>& calls() const { return calls_; }

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
    Result<void> makeOwnerWritable(const std::string& path) override;

private:
    friend class FaultInjectingFile;
    struct Plan {
        int call = 0;
        std::optional<Error> error;  // none: a short transfer
    };

    // Counts the call; gives the planned fault if this is its turn.
    std::optional<Plan> next(FileOp op);

    FileSystem& inner_;
    std::vector<Plan> plans_;
    std::vector<FileOp> calls_;
};

}  // namespace kestrane
