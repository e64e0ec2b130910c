// The bad-input table of docs/reliability.md: files that are no ROM Kestrane
// can edit, and paths that are awkward but fine. One table, run through the
// core, the command line and the window; each layer checks what it shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/rom_image.h"
#include "support/result.h"

namespace kestrane::testing {

struct BadOpen {
    std::string name;
    std::string path;
    // None: the file opens, and a save of trade 1 of its Crystal image works.
    std::optional<ErrorCode> code;
    ErrorKind kind = ErrorKind::Refused;
    std::string message;  // a part of the message
};

// Every row, made in `dir` (a row the platform cannot make is left out).
std::vector<BadOpen> badOpens(const TempDir& dir);

}  // namespace kestrane::testing
