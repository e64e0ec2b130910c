// Reading and writing file bytes as hexadecimal text (two digits per byte,
// the first byte first), by path, and reversing the byte order of such
// text: library procedures over the file door and hex_text.h, which no
// program calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/hex_text.h"
#include "support/result.h"

namespace kestrane {

// The two-character groups of hexText in reverse order; an odd-length text
// counts as if a "0" stood in front. Characters are not examined.
std::string reverseHexBytes(std::string_view hexText);

// Told about every failure of readHexBytes/writeHexBytes (a front end's
// "Error: N" box). The failure is returned to the caller as well.
using FailureReporter = std::function<void(const Error&)>;

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
