// A trade record's bytes, as the releases lay them out.
//
// The 32-byte record (every Gold, Silver and Crystal but the Japanese
// releases), offsets from its first byte:
//   +0        dialog set (which lines the trader speaks)
//   +1        requested species (the one the player gives)
//   +2        offered species
//   +3..+13   nickname: 11 bytes of game text, at most 10 characters, then 0x50
//   +14..+15  DVs: +14 Attack x 16 + Defense, +15 Speed x 16 + Special
//   +16       held item (0: none)
//   +17..+18  original trainer's ID, little-endian
//   +19..+29  original trainer's name, 11 bytes like the nickname
//   +30       gender requirement of the creature the player gives (0 either, 1 male, 2 female)
//   +31       always 0x00
//
// The 14-byte record of Red, Blue and Yellow: +0 requested and +1 offered
// species (the games' internal indexes, not Pokédex numbers), +2 dialog
// set, +3..+13 nickname (10 characters and the terminator). The trainer's
// name, ID and DVs are chosen when the trade happens.
//
// The 16-byte record of the Japanese releases: +0 dialog set, +1 requested
// and +2 offered species, +3..+6 nickname (4 bytes padded with 0x50, no
// terminator: the game adds it), +7..+8 DVs, +9 held item, +10..+11 ID,
// +12..+14 trainer's name (3 bytes, likewise), +15 gender requirement.
//
// A layout names where each field lies; a field a family's records lack is
// none (the first generation's records hold no trainer, ID, DVs, item or
// gender requirement). Every record of every build of the games passes the
// record checks, and Kestrane never writes the bytes they look at except
// the dialog set and the gender requirement, which it keeps within the
// game's range.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/charset.h"
#include "platform/routine.h"
#include "trades/values.h"

namespace kestrane {

// A name field: `length` bytes a name may fill; where `terminated`, one
// more byte follows that is always 0x50. A name Kestrane writes is followed
// by 0x50 (unless it fills the field) and then `padding` up to the field's end.
struct NameLayout {
    std::uint32_t at;
    std::uint32_t length;
    bool terminated;
    std::uint8_t padding;
};

struct RecordLayout {
    std::string_view key;          // "vanilla": what JSON names it by
    std::string_view description;  // what `info` says of it
    std::uint32_t size;
    std::uint32_t dialogSetAt;
    std::uint32_t requestedSpeciesAt;
    std::uint32_t offeredSpeciesAt;
    std::uint8_t speciesWidth = 1;  // 2: a little-endian word
    // The species IDs a record may hold where the games' own numbering is
    // narrower than the field (the first generation's internal indexes
    // 1-190); 0: any but the egg.
    std::uint16_t lastSpecies = 0;
    NameLayout nickname;
    std::optional<std::uint32_t> dvsAt;  // two bytes
    std::optional<std::uint32_t> heldItemAt;
    std::uint8_t itemWidth = 1;
    std::optional<std::uint32_t> trainerIdAt;  // two bytes, little-endian
    std::optional<NameLayout> trainerName;
    std::optional<std::uint32_t> genderRequirementAt;
    std::uint32_t zeroAt = 0;     // bytes that are always 0x00: zeroCount from here
    std::uint32_t zeroCount = 0;
    // How the game's code reads a record: the offsets its calls of the
    // routine that reads the table pass (ld e, N), and those it reads as
    // words right after the call.
    std::span<const std::uint8_t> callerOffsets;
    std::span<const std::uint8_t> wordReads;

    // Whether the records have the field.
    bool has(Field field) const;
    // The ID the game stores for an egg: 253, or 0xFFFD where species are words.
    SpeciesId egg() const { return speciesWidth == 1 ? 0xFD : 0xFFFD; }
};

namespace layouts {
inline constexpr std::uint8_t kVanilla32Calls[] = {0, 1, 2, 3, 14, 16, 17, 19, 30};
inline constexpr std::uint8_t kVanilla16Calls[] = {0, 1, 2, 3, 7, 9, 10, 12, 15};
inline constexpr std::uint8_t kSpecies16Calls[] = {0, 1, 3, 5, 16, 18, 19, 21, 29};
inline constexpr std::uint8_t kItems16Calls[] = {0, 1, 3, 5, 16, 18, 20, 22, 30};
inline constexpr std::uint8_t kSpeciesWords[] = {1, 3};
}  // namespace layouts

inline constexpr RecordLayout kRecord32{.key = "vanilla", .description = "the games' own", .size = 32, .dialogSetAt = 0,
                                        .requestedSpeciesAt = 1, .offeredSpeciesAt = 2, .nickname = {3, 10, true, 0x20},
                                        .dvsAt = 14, .heldItemAt = 16, .trainerIdAt = 17,
                                        .trainerName = NameLayout{19, 10, true, 0x20}, .genderRequirementAt = 30,
                                        .zeroAt = 31, .zeroCount = 1, .callerOffsets = layouts::kVanilla32Calls, .wordReads = {}};
inline constexpr RecordLayout kRecord16{.key = "vanilla", .description = "the games' own", .size = 16, .dialogSetAt = 0,
                                        .requestedSpeciesAt = 1, .offeredSpeciesAt = 2, .nickname = {3, 4, false, 0x50},
                                        .dvsAt = 7, .heldItemAt = 9, .trainerIdAt = 10,
                                        .trainerName = NameLayout{12, 3, false, 0x50}, .genderRequirementAt = 15,
                                        .callerOffsets = layouts::kVanilla16Calls, .wordReads = {}};
// Red, Blue and Yellow.
inline constexpr RecordLayout kRecord14{.key = "vanilla", .description = "the games' own", .size = 14, .dialogSetAt = 2,
                                        .requestedSpeciesAt = 0, .offeredSpeciesAt = 1, .lastSpecies = 190,
                                        .nickname = {3, 10, true, 0x50}, .dvsAt = {}, .heldItemAt = {}, .trainerIdAt = {},
                                        .trainerName = {}, .genderRequirementAt = {}, .callerOffsets = {}, .wordReads = {}};
// The 16-bit species base (pokecrystal16): the species are words, the
// trainer's name 7 characters and its end; two zero bytes close the record.
inline constexpr RecordLayout kRecordSpecies16{
    .key = "16-bit species", .description = "16-bit species IDs, as the pokecrystal16 base lays them out", .size = 32,
    .dialogSetAt = 0, .requestedSpeciesAt = 1, .offeredSpeciesAt = 3, .speciesWidth = 2, .nickname = {5, 10, true, 0x20},
    .dvsAt = 16, .heldItemAt = 18, .trainerIdAt = 19, .trainerName = NameLayout{21, 7, true, 0x20},
    .genderRequirementAt = 29, .zeroAt = 30, .zeroCount = 2, .callerOffsets = layouts::kSpecies16Calls,
    .wordReads = layouts::kSpeciesWords};
// Its fork that widens items too: the item a word as well.
inline constexpr RecordLayout kRecordItems16{
    .key = "16-bit species and items",
    .description = "16-bit species and item IDs, as the pokecrystal16 base's fork that widens items lays them out",
    .size = 32, .dialogSetAt = 0, .requestedSpeciesAt = 1, .offeredSpeciesAt = 3, .speciesWidth = 2,
    .nickname = {5, 10, true, 0x20}, .dvsAt = 16, .heldItemAt = 18, .itemWidth = 2, .trainerIdAt = 20,
    .trainerName = NameLayout{22, 7, true, 0x20}, .genderRequirementAt = 30, .zeroAt = 31, .zeroCount = 1,
    .callerOffsets = layouts::kItems16Calls, .wordReads = layouts::kSpeciesWords};

// Whether the calls a routine's callers make fit a layout: every offset
// one it reads, each read as a word exactly where it reads one.
bool fitsCalls(const RecordLayout& layout, std::span<const RoutineCall> calls);

inline constexpr std::uint32_t kMaxRecordSize = 32;
// The longest name any layout holds.
inline constexpr std::uint32_t kMaxNameLength = 10;

// The bytes of one record, of its layout's size.
class RecordBytes {
public:
    RecordBytes() = default;
    explicit RecordBytes(std::uint32_t size) : size_(std::uint8_t(std::min(size, kMaxRecordSize))) {}
    RecordBytes(std::span<const std::uint8_t> bytes) : RecordBytes(std::uint32_t(bytes.size())) {
        std::copy_n(bytes.begin(), size_, bytes_.begin());
    }

    std::uint32_t size() const { return size_; }
    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
    std::uint8_t* begin() { return bytes_.data(); }
    std::uint8_t* end() { return bytes_.data() + size_; }
    const std::uint8_t* begin() const { return bytes_.data(); }
    const std::uint8_t* end() const { return bytes_.data() + size_; }
    operator std::span<const std::uint8_t>() const { return {bytes_.data(), size_}; }
    operator std::span<std::uint8_t>() { return {bytes_.data(), size_}; }

    friend bool operator==(const RecordBytes& a, const RecordBytes& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::array<std::uint8_t, kMaxRecordSize> bytes_{};
    std::uint8_t size_ = 0;
};

using RecordView = std::span<const std::uint8_t>;

// A species field's value (a byte, or a little-endian word).
inline SpeciesId speciesAt(RecordView record, const RecordLayout& layout, std::uint32_t at) {
    return layout.speciesWidth == 2 ? SpeciesId(record[at] | record[at + 1] << 8) : record[at];
}

// The bytes a name may fill, of the name field at `name`.
inline std::span<const std::uint8_t> nameField(RecordView record, const NameLayout& name) {
    return record.subspan(name.at, name.length);
}

// The first check a record's bytes fail, or None.
enum class RecordFault : std::uint8_t {
    None,
    DialogSet,          // not a dialog set the game has
    GenderRequirement,  // not 0, 1 or 2
    NicknameEnd,        // the byte after the nickname is not 0x50
    TrainerNameEnd,
    ZeroByte,           // one of the layout's zero bytes is not 0
    RequestedSpecies,   // (strict) not a creature, 1-254
    OfferedSpecies,
    NicknameText,       // (strict) not printable characters, then only 0x50 (or 0x20)
    TrainerNameText,
};

// The checks every record passes: dialog set within the game's range, a
// gender requirement the games know, and where the layout has them, both
// names ended at their last byte and the zero bytes zero.
RecordFault recordFault(RecordView record, const RecordLayout& layout, int dialogSets);

// Stricter, for records that have no other evidence (a table found by a
// scan of the file, records beyond the game's own): both species 1-254, and
// each name only printable characters up to its first 0x50, then only 0x50
// (or 0x20, which some builds pad with).
RecordFault strictRecordFault(RecordView record, const RecordLayout& layout, int dialogSets, const Charset& charset);

inline bool passesStrictRecordChecks(RecordView record, const RecordLayout& layout, int dialogSets, const Charset& charset) {
    return strictRecordFault(record, layout, dialogSets, charset) == RecordFault::None;
}

// What is wrong, for a message: "the offered species 0 is no creature".
std::string recordFaultText(RecordFault fault, RecordView record, const RecordLayout& layout);

}  // namespace kestrane
