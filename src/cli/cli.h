// kestrane-cli: the editor's rules for scripts. Messages for people go to
// `err`, data to `out`. Exit codes: 0 done, 1 refused (the file is
// unchanged), 2 usage error, 3 input/output failure.
#pragma once

#include <ostream>

#include "support/file.h"

namespace kestrane::cli {

enum ExitCode { kDone = 0, kRefused = 1, kUsage = 2, kIoFailure = 3 };

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           FileSystem& fs = nativeFileSystem());

}  // namespace kestrane::cli
