// Reading a routine of the game's code instruction by instruction, where
// its form has parts that vary between builds (a bank switch written two
// ways, a case one release has and another lacks) and a fixed pattern
// (code_search.h) would need one form for each mix.
//
// A reader takes the bytes it expects, in order; -1 stands for any byte.
// The first byte that is not what it expects fails the reader for good, and
// every later step takes nothing: a caller checks ok() once at the end.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

namespace kestrane {

class CodeReader {
public:
    CodeReader(std::span<const std::uint8_t> code, std::size_t at) : code_(code), at_(at) {}

    // Takes the bytes where they follow; else fails.
    CodeReader& take(std::initializer_list<int> form) {
        if (!follows(form)) ok_ = false;
        else at_ += form.size();
        return *this;
    }
    // Whether the bytes follow; nothing is taken.
    bool follows(std::initializer_list<int> form) const {
        if (!ok_ || at_ + form.size() > code_.size()) return false;
        std::size_t i = at_;
        for (int b : form) {
            if (b >= 0 && code_[i] != b) return false;
            ++i;
        }
        return true;
    }
    // Takes the bytes where they follow; false (and nothing taken) where not.
    bool takeIf(std::initializer_list<int> form) {
        if (!follows(form)) return false;
        at_ += form.size();
        return true;
    }
    // The next byte (0 once failed).
    std::uint8_t byte() {
        if (!ok_ || at_ >= code_.size()) return fail();
        return code_[at_++];
    }
    // The next two bytes, little-endian, as the code holds an address.
    std::uint16_t word() {
        const std::uint8_t low = byte(), high = byte();
        return std::uint16_t(low | high << 8);
    }
    // A relative jump's operand, taken: where it lands, as an index into the
    // code; none where it lands outside.
    std::optional<std::size_t> relative() {
        const auto offset = std::int8_t(byte());
        const std::ptrdiff_t target = std::ptrdiff_t(at_) + offset;
        if (!ok_ || target < 0 || std::size_t(target) >= code_.size()) return std::nullopt;
        return std::size_t(target);
    }

    bool ok() const { return ok_; }
    std::size_t at() const { return at_; }

private:
    std::uint8_t fail() {
        ok_ = false;
        return 0;
    }

    std::span<const std::uint8_t> code_;
    std::size_t at_;
    bool ok_ = true;
};

}  // namespace kestrane
