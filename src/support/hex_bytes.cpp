#include "support/hex_bytes.h"

namespace kestrane {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reports the failure and hands it on: nothing is swallowed.
Error fail(const FailureReporter& report, Error error) {
    if (report) report(error);
    return error;
}

}  // namespace

std::string reverseHexBytes(std::string_view hexText) {
    std::string text = hexText.size() % 2 ? "0" + std::string(hexText) : std::string(hexText);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = text.size(); i >= 2; i -= 2) out.append(text, i - 2, 2);
    return out;
}

std::string bytesToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

Result<std::vector<std::uint8_t>> hexToBytes(std::string_view hexText) {
    std::string text = hexText.size() % 2 ? "0" + std::string(hexText) : std::string(hexText);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = hexDigitValue(text[i]);
        int lo = hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return makeError(ErrorCode::TypeMismatch,
                             "\"" + text.substr(i, 2) + "\" is not a hexadecimal byte");
        }
        bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return bytes;
}

Result<std::string> readHexBytes(const std::string& path, std::int32_t offset, std::int32_t count,
                                 const FailureReporter& report, FileSystem& fs) {
    const std::string where = "Could not read " + quoted(path);
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return fail(report, inContext(file.error(), where));
    std::string text;
    if (count > 0) {
        if (offset < 0) {
            Error negative{ErrorCode::InvalidArgument, "the offset " + std::to_string(offset) + " is negative"};
            return fail(report, inContext(negative, where));
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
    const std::string nothing = "Nothing was written.";
    auto bytes = hexToBytes(hexText);
    if (!bytes) return fail(report, inContext(bytes.error(), where, nothing));
    auto file = fs.open(path, OpenMode::ReadWrite);
    if (!file) return fail(report, inContext(file.error(), where, nothing));
    if (!bytes->empty()) {
        auto size = (*file)->size();
        if (!size) return fail(report, inContext(size.error(), where, nothing));
        if (offset < 0 || offset + static_cast<std::int64_t>(bytes->size()) > *size) {
            Error outside{ErrorCode::InputPastEnd,
                          "the bytes would lie outside the file, which has " + std::to_string(*size) + " bytes"};
            return fail(report, inContext(outside, where, nothing));
        }
        if (auto written = writeExactly(**file, offset, *bytes); !written) {
            return fail(report, inContext(written.error(), where,
                                          "Some of the " + std::to_string(bytes->size()) + " bytes at offset " +
                                              std::to_string(offset) + " may have been written."));
        }
    }
    if (auto closed = (*file)->close(); !closed) {
        return fail(report, inContext(closed.error(), where, "The bytes may not all have reached the disk."));
    }
    return {};
}

}  // namespace kestrane
