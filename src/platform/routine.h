// What is found of a routine of a game's code through which a table is
// reached, whatever the platform's code looks like: where each copy of it
// stands, what its pointers name, and what its callers ask of it. Each
// platform finds its own (platform/gb/code_search.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrane {

// How the routine was reached.
enum class RoutineReached { OwnPlace, Jump, Search };

struct RoutineCopy {
    std::uint32_t at = 0;  // the routine's first byte
    // What each pointer names, as a file offset; none where it lies outside
    // the routine's bank.
    std::vector<std::optional<std::uint32_t>> pointers;
    // The pointers as the code holds them (an address in the platform's
    // memory map, which the routine's place may switch).
    std::vector<std::uint32_t> addresses;
    friend bool operator==(const RoutineCopy&, const RoutineCopy&) = default;
};

struct FoundRoutine {
    RoutineReached reached = RoutineReached::OwnPlace;
    // The copies found: one where the own place (or its jump) decides; every
    // copy in the file after a search; none where the routine is nowhere.
    std::vector<RoutineCopy> copies;

    bool found() const { return !copies.empty(); }
    // Every copy reads the same places.
    bool agree() const;
    // "at 0xFCDC2", "through the jump at 0xFCDC2 to 0xFD400", "at 0x1234 (and 2 copies more)"
    std::string where(std::uint32_t ownPlace) const;
};

// "at 0xFCDC2 to 0xFD200, at 0xFEB2A to outside its bank": every copy and where it points (first pointer).
std::string copiesText(const FoundRoutine& found);

// What a caller of a routine asks of it: the offset of the field it reads
// (the byte it passes), and whether it reads a word right after the call.
// What a routine's callers ask of it tells the shape of what it reads.
struct RoutineCall {
    std::uint8_t e;
    bool readsWord;
};

}  // namespace kestrane
