#include "library/hex_bytes.h"

#include <vector>

namespace kestrane {

std::string reverseHexBytes(std::string_view hexText) {
    std::string text = hexText.size() % 2 ? "0" + std::string(hexText) : std::string(hexText);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = text.size(); i >= 2; i -= 2) out.append(text, i - 2, 2);
    return out;
}
namespace {

// Reports the failure and hands it on: nothing is swallowed.
Error fail(const FailureReporter& report, Error error) {
    if (report) report(error);
    return error;
}

}  // namespace

Result<std::string> readHexBytes(const std::string& path, std::int32_t offset, std::int32_t count,
                                 const FailureReporter& report, FileSystem& fs) {
    const std::string where = "Could not read " + quoted(path);
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return fail(report, inContext(file.error(), where));
    std::string text;
    if (count > 0) {
        if (offset < 0) {
            return fail(report, inContext(refused(ErrorCode::InvalidArgument,
                                                  "the offset " + std::to_string(offset) + " is negative"),
                                          where));
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        if (auto read = readExactly(**file, offset, bytes); !read) {
            return fail(report, inContext(read.error(), where));
        }
        text = bytesToHex(bytes);
    }
    if (auto closed = (*file)->close(); !closed) return fail(report, inContext(closed.error(), where));
    return text;
}

Result<void> writeHexBytes(const std::string& path, std::int32_t offset, std::string_view hexText,
                           const FailureReporter& report, FileSystem& fs) {
    const std::string where = "Could not write " + quoted(path);
    const HexBytes bytes = hexToBytes(hexText);
    if (!bytes) {
        const Error notHex = refused(ErrorCode::TypeMismatch, "\"" + bytes.badPair + "\" is not a hexadecimal byte");
        return fail(report, nothingWritten(inContext(notHex, where)));
    }
    auto file = fs.open(path, OpenMode::ReadWrite);
    if (!file) return fail(report, nothingWritten(inContext(file.error(), where)));
    if (!bytes->empty()) {
        auto size = (*file)->size();
        if (!size) return fail(report, nothingWritten(inContext(size.error(), where)));
        if (offset < 0 || offset + static_cast<std::int64_t>(bytes->size()) > *size) {
            Error outside = refused(ErrorCode::InputPastEnd, "the bytes would lie outside the file, which has " +
                                                                 std::to_string(*size) + " bytes");
            return fail(report, nothingWritten(inContext(outside, where)));
        }
        const ByteRange range{std::uint32_t(offset), std::uint32_t(offset + std::int64_t(bytes->size()) - 1)};
        if (auto written = writeExactly(**file, offset, *bytes); !written) {
            return fail(report, mayHoldNewData(inContext(written.error(), where), {range}));
        }
        if (auto closed = (*file)->close(); !closed) {
            return fail(report, mayHoldNewData(inContext(closed.error(), where), {range}));
        }
        return {};
    }
    if (auto closed = (*file)->close(); !closed) return fail(report, nothingWritten(inContext(closed.error(), where)));
    return {};
}

}  // namespace kestrane
