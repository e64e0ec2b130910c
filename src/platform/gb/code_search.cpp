#include "platform/gb/code_search.h"

#include <algorithm>
#include <array>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/words.h"
#include "platform/gb/banks.h"
#include "support/holding_file.h"
#include "support/piece_search.h"

namespace kestrane {
namespace {

constexpr std::uint8_t kJump = 0xC3;  // jp a16
// How many copies a message names before "and N more".

RoutineCopy copyAt(std::span<const std::uint8_t> routine, std::uint32_t at, const RoutinePattern& pattern) {
    RoutineCopy copy{at, {}, {}};
    for (std::uint8_t pointer : pattern.pointersAt) {
        const std::uint16_t address = readLittleEndian16(routine.subspan(pointer, 2));
        copy.addresses.push_back(address);
        copy.pointers.push_back(offsetInBank(bankOf(at), address));
    }
    return copy;
}

// The routine at `at`, read from the file, of the first form it has, or
// none where it has none of them.
Result<std::optional<RoutineCopy>> readCopy(File& file, std::uint32_t at, RoutineForms forms) {
    std::array<std::uint8_t, 64> buffer{};
    std::size_t longest = 0;
    for (const RoutinePattern* form : forms) longest = std::max(longest, form->bytes.size());
    const auto wanted = std::span(buffer).first(std::min(buffer.size(), longest));
    auto got = readUpTo(file, at, wanted);
    if (!got) return got.error();
    const auto bytes = std::span<const std::uint8_t>(wanted).first(*got);
    for (const RoutinePattern* form : forms) {
        if (routineAt(bytes, 0, *form)) return std::optional<RoutineCopy>(copyAt(bytes, at, *form));
    }
    return std::optional<RoutineCopy>();
}

// Moved in, not copied from an initializer list: a copy's pointers are made again.
std::optional<FoundRoutine> foundBy(RoutineReached reached, RoutineCopy&& copy) {
    std::optional<FoundRoutine> found(FoundRoutine{reached, {}});
    found->copies.push_back(std::move(copy));
    return found;
}

}  // namespace

bool routineAt(std::span<const std::uint8_t> bytes, std::size_t at, const RoutinePattern& pattern) {
    if (at + pattern.bytes.size() > bytes.size()) return false;
    for (std::size_t i = 0; i < pattern.bytes.size(); ++i) {
        if (pattern.bytes[i] >= 0 && bytes[at + i] != pattern.bytes[i]) return false;
    }
    return true;
}

Result<std::optional<FoundRoutine>> routineAtPlace(File& file, RoutineForms forms, std::uint32_t ownPlace) {
    // 1. At its own place.
    auto own = readCopy(file, ownPlace, forms);
    if (!own) return own.error();
    if (*own) return foundBy(RoutineReached::OwnPlace, std::move(**own));

    // 2. A jump standing there, to the routine's form.
    std::array<std::uint8_t, 3> jump{};
    auto got = readUpTo(file, ownPlace, jump);
    if (!got) return got.error();
    if (*got == jump.size() && jump[0] == kJump) {
        const std::uint16_t address = readLittleEndian16(std::span(jump).subspan(1));
        const auto target = offsetInBank(address < kBankSize ? 0 : bankOf(ownPlace), address);
        if (target) {
            auto jumped = readCopy(file, *target, forms);
            if (!jumped) return jumped.error();
            if (*jumped) return foundBy(RoutineReached::Jump, std::move(**jumped));
        }
    }
    return std::optional<FoundRoutine>();
}

std::vector<RoutineCopy> copiesIn(std::span<const std::uint8_t> bytes, std::uint32_t base, const RoutinePattern& pattern) {
    std::vector<RoutineCopy> copies;
    const std::size_t anchor = pattern.anchor;
    const std::uint8_t triple[3] = {std::uint8_t(pattern.bytes[anchor]), std::uint8_t(pattern.bytes[anchor + 1]),
                                    std::uint8_t(pattern.bytes[anchor + 2])};
    forEachByteTriple(bytes, triple, [&](std::size_t at) {
        if (at >= anchor && routineAt(bytes, at - anchor, pattern)) {
            copies.push_back(copyAt(bytes.subspan(at - anchor), base + std::uint32_t(at - anchor), pattern));
        }
    });
    return copies;
}

Result<FoundRoutine> routineAnywhere(File& file, RoutineForms forms, std::int64_t searched) {
    FoundRoutine found{RoutineReached::Search, {}};
    std::size_t longest = 0;
    for (const RoutinePattern* form : forms) longest = std::max(longest, form->bytes.size());
    auto* holding = dynamic_cast<HoldingFile*>(&file);
    auto searchedAll = searchInPieces(file, searched, longest - 1,
                                      [&](std::span<const std::uint8_t> piece, std::int64_t base, std::int64_t next) {
                                          std::vector<RoutineCopy> copies;
                                          for (const RoutinePattern* form : forms) {
                                              for (RoutineCopy& copy : copiesIn(piece, std::uint32_t(base), *form)) {
                                                  if (copy.at < next) copies.push_back(std::move(copy));
                                              }
                                          }
                                          // Each form was searched apart: the copies in the file's order.
                                          std::ranges::sort(copies, {}, &RoutineCopy::at);
                                          for (RoutineCopy& copy : copies) {
                                              found.copies.push_back(std::move(copy));
                                              if (!holding || found.copies.size() != 1) continue;
                                              // Pieces start at a bank, so the first copy's bank lies whole in its
                                              // piece, unless the file ends inside it.
                                              const std::int64_t bank = std::int64_t(bankOf(found.copies.front().at)) * kBankSize;
                                              if (bank >= base && bank + kBankSize <= base + std::int64_t(piece.size())) {
                                                  holding->keep(bank, piece.subspan(std::size_t(bank - base), kBankSize));
                                              }
                                          }
                                      });
    if (!searchedAll) return searchedAll.error();
    return found;
}

Result<FoundRoutine> routineAnywhere(File& file, const RoutinePattern& pattern, std::int64_t searched) {
    const RoutinePattern* forms[] = {&pattern};
    return routineAnywhere(file, forms, searched);
}

Result<FoundRoutine> findThroughRoutine(File& file, RoutineForms forms, std::uint32_t ownPlace, std::int64_t searched) {
    auto placed = routineAtPlace(file, forms, ownPlace);
    if (!placed) return placed.error();
    if (*placed) return **placed;
    return routineAnywhere(file, forms, searched);
}

Result<FoundRoutine> findThroughRoutine(File& file, const RoutinePattern& pattern, std::uint32_t ownPlace,
                                        std::int64_t searched) {
    const RoutinePattern* forms[] = {&pattern};
    return findThroughRoutine(file, forms, ownPlace, searched);
}

Result<std::vector<RoutineCall>> callsOf(HoldingFile& file, std::uint32_t routine) {
    const std::uint32_t bank = bankOf(routine);
    const std::uint16_t address = std::uint16_t(bank == 0 ? routine : kBankSize + routine % kBankSize);
    // The bank is held already where the routine's own read held it.
    const std::int64_t from = std::int64_t(bank) * kBankSize;
    if (auto held = file.hold(from, kBankSize); !held) return held.error();
    const std::span<const std::uint8_t> code = file.held(from, kBankSize).value_or(std::span<const std::uint8_t>());
    constexpr std::uint8_t kLdE = 0x1E, kCall = 0xCD;
    constexpr std::array<std::uint8_t, 3> kReadsWord = {0x2A, 0x66, 0x6F};
    std::vector<RoutineCall> calls;
    const auto low = std::uint8_t(address & 0xFF), high = std::uint8_t(address >> 8);
    forEachBytePair(code, kLdE, kCall, 2, [&](std::size_t at) {
        if (at + 5 > code.size() || code[at + 3] != low || code[at + 4] != high) return;
        const bool word = at + 8 <= code.size() && std::equal(kReadsWord.begin(), kReadsWord.end(), code.begin() + std::ptrdiff_t(at + 5));
        calls.push_back({code[at + 1], word});
    });
    return calls;
}

}  // namespace kestrane
