// Memory for the large buffers an opening touches once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrane {

// Memory for a large buffer that a program touches once: on Linux, where the
// system gives them, in whole huge pages (2 MiB a fault instead of 4 KiB: a
// fresh page costs microseconds on a virtual machine); elsewhere from the
// heap. Not cleared. Throws std::bad_alloc as new does.
class LargeMemory {
public:
    explicit LargeMemory(std::size_t size);
    ~LargeMemory();
    LargeMemory(const LargeMemory&) = delete;
    LargeMemory& operator=(const LargeMemory&) = delete;
    std::span<std::uint8_t> bytes() const { return {bytes_, size_}; }

private:
    std::uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;  // the length of a mapping of its own at bytes_; 0: the heap's
};

}  // namespace kestrane
