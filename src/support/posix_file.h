// POSIX only: a File over a descriptor the caller opened. Tests use it to
// write through /dev/full and meet a real "disk full".
#pragma once

#include <memory>

#include "support/file.h"

namespace kestrane {

// Takes ownership of fd.
std::unique_ptr<File> fileFromDescriptor(int fd);

}  // namespace kestrane
