// Bytes of a file as hexadecimal text: two digits per byte, the first byte
// first ("5492" is 0x54 then 0x92). This is how the trainer ID travels
// between the ROM and the editor.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"

namespace kestrane {

// Told about every failure of readHexBytes/writeHexBytes, as the original
// tool's "Error: N" box was. The failure is returned to the caller as well.
using FailureReporter = std::function<void(const Error&)>;

// The two-character groups of hexText in reverse order; an odd-length text
// counts as if a "0" stood in front. Characters are not examined.
std::string reverseHexBytes(std::string_view hexText);

// Two upper-case digits per byte.
std::string bytesToHex(std::span<const std::uint8_t> bytes);

// The bytes that hexText names (either letter case; an odd-length text
// counts as if a "0" stood in front). A character that is no hexadecimal
// digit is a TypeMismatch error, and then no bytes are given at all.
Result<std::vector<std::uint8_t>> hexToBytes(std::string_view hexText);

// Reads count bytes at offset of the file at path as hexadecimal text.
// A count of 0 or less reads nothing (the file is still opened and closed).
// Reading past the end of the file is an InputPastEnd failure.
Result<std::string> readHexBytes(const std::string& path, std::int32_t offset, std::int32_t count,
                                 const FailureReporter& report, FileSystem& fs = nativeFileSystem());

// Writes the bytes that hexText names at offset of the file at path. The
// whole text is checked before the first byte is written, and a write that
// would reach past the end of the file is refused: the length never changes.
Result<void> writeHexBytes(const std::string& path, std::int32_t offset, std::string_view hexText,
                           const FailureReporter& report, FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
