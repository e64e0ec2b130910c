#include "support/file.h"

#include <algorithm>
#include <atomic>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

Result<std::size_t> readUpTo(File& file, std::int64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        auto got = file.readAt(offset + static_cast<std::int64_t>(done), out.subspan(done));
        if (!got) return got.error();
        if (*got == 0) break;
        done += *got;
    }
    return done;
}

Result<void> readExactly(File& file, std::int64_t offset, std::span<std::uint8_t> out) {
    auto got = readUpTo(file, offset, out);
    if (!got) return got.error();
    if (*got < out.size()) {
        // A device or pipe that gives nothing is no file too short: the size says which.
        if (auto size = file.size(); !size) return size.error();
        return fileFailure(ErrorCode::InputPastEnd, "the file ends before the bytes that are needed");
    }
    return {};
}

Result<void> writeExactly(File& file, std::int64_t offset, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        auto put = file.writeAt(offset + static_cast<std::int64_t>(done), data.subspan(done));
        if (!put) return put.error();
        // A write that moves nothing and reports no error would loop for ever.
        if (*put == 0) return fileFailure(ErrorCode::DeviceIo, "the device accepted no bytes");
        done += *put;
    }
    return {};
}

Result<std::vector<std::uint8_t>> readWholeFile(FileSystem& fs, const std::string& path, std::int64_t limit) {
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return file.error();
    auto size = (*file)->size();
    if (!size) return size.error();
    if (*size > limit) {
        return refused(ErrorCode::TooLarge, "it is " + groupedNumber(*size) + " bytes, more than the " +
                                                groupedNumber(limit) + " Kestrane reads");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    if (auto read = readExactly(**file, 0, bytes); !read) return read.error();
    if (auto closed = (*file)->close(); !closed) return closed.error();
    return bytes;
}

Error inContext(Error error, const std::string& what) {
    error.message = what + ": " + error.message + ".";
    return error;
}

}  // namespace kestrane
