#include "support/file.h"

namespace kestrane {

Result<void> readExactly(File& file, std::int64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        auto got = file.readAt(offset + static_cast<std::int64_t>(done), out.subspan(done));
        if (!got) return got.error();
        if (*got == 0) {
            return makeError(ErrorCode::InputPastEnd, "the file ends before the bytes that are needed");
        }
        done += *got;
    }
    return {};
}

Result<void> writeExactly(File& file, std::int64_t offset, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        auto put = file.writeAt(offset + static_cast<std::int64_t>(done), data.subspan(done));
        if (!put) return put.error();
        // A write that moves nothing and reports no error would loop for ever.
        if (*put == 0) return makeError(ErrorCode::DeviceIo, "the device accepted no bytes");
        done += *put;
    }
    return {};
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

Error inContext(const Error& error, const std::string& what, const std::string& after) {
    return Error{error.code, what + ": " + error.message + "." + (after.empty() ? "" : " " + after)};
}

}  // namespace kestrane
