// A trade record's bytes, as a release lays them out: where each field
// lies, and the checks every record of every build of the games passes.
//
// A layout names where each field lies; a field a family's records lack is
// none. Kestrane never writes the bytes the record checks look at except
// the dialog set and the gender requirement, which it keeps within the
// game's range. Each family's layouts are its own (families/).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/charset.h"
#include "platform/routine.h"
#include "trades/values.h"

namespace kestrane {

// A name field: `length` bytes a name may fill; where `terminated`, one
// more byte follows that is always the terminator. A name Kestrane writes is
// followed by the terminator (unless it fills the field) and then `padding` up to the field's end.
// Where `letters` is set, the game copies at most that many: a name
// Kestrane writes holds no more, and the field holds its terminator
// somewhere (a record whose field lacks one fails the checks).
struct NameLayout {
    std::uint32_t at;
    std::uint32_t length;
    bool terminated;
    std::uint8_t padding;
    std::uint32_t letters = 0;

    // The most bytes a name Kestrane writes may take before its terminator.
    std::uint32_t room() const { return letters ? letters : length; }
};

// A field of plain numbers: `count` numbers of `width` bytes each
// (little-endian) from `at`, each at most `max`; or numbers narrower than
// their bytes (`bits`): one of `bits` bits from bit `shift` of its `width`
// bytes, the other bits another field's (a form beside a species), or
// numbers of 4 bits two a byte, the first the high nibble (six DVs in 3 bytes).
struct NumberPlace {
    Field field;
    std::uint32_t at;
    std::uint8_t width = 1;
    std::uint8_t count = 1;
    std::uint32_t max = 0xFF;
    // Where the parts are given in another order than the record stores
    // them: the stored index of each part, in the order they are given.
    std::span<const std::uint8_t> order = {};
    std::uint8_t bits = 0;  // 0: each number its whole bytes
    std::uint8_t shift = 0;

    // The byte of the part given `i`th.
    std::uint32_t partAt(std::uint32_t i) const {
        const std::uint32_t stored = order.empty() ? i : order[i];
        return at + (packed() ? stored / 2 : stored * width);
    }
    // The part given `i`th of the record's bytes, and the bytes with it set
    // (precondition: it fits its bits); every other bit is kept.
    std::uint32_t read(std::span<const std::uint8_t> record, std::uint32_t i) const;
    void write(std::span<std::uint8_t> record, std::uint32_t i, std::uint32_t value) const;

private:
    bool packed() const { return bits == 4 && count > 1; }
    // Where the part's bits lie within the value of its bytes.
    std::uint32_t shiftOf(std::uint32_t i) const;
    std::uint32_t mask() const { return bits == 0 ? 0xFFFFFFFFu >> (32 - 8 * width) : (1u << bits) - 1; }
};

struct RecordLayout {
    std::string_view key;          // "vanilla": what JSON names it by
    std::string_view description;  // what `info` says of it
    std::uint32_t size;
    std::optional<std::uint32_t> dialogSetAt;  // none: the game's lines are not the record's to choose
    std::uint32_t requestedSpeciesAt;
    std::uint32_t offeredSpeciesAt;
    std::uint8_t speciesWidth = 1;  // 2: a little-endian word
    // A species word whose second byte holds other fields too (a form, a
    // gender beside it): the species' high part is `speciesHighBits` bits
    // from bit `speciesHighShift` of that byte; its other bits are theirs.
    std::uint8_t speciesHighShift = 0;
    std::uint8_t speciesHighBits = 8;
    // The species IDs a record may hold where the games' own numbering is
    // narrower than the field (internal indexes 1-190, say); 0: any but the egg.
    std::uint16_t lastSpecies = 0;
    // The ID the game stores for an egg where it is not the width's own (0).
    SpeciesId eggSpecies = 0;
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
    // The fields of plain numbers the records hold, in the order they are shown.
    std::span<const NumberPlace> numbers = {};
    // More bytes that are always 0x00, apart from the run at zeroAt (the pads between a record's fields).
    std::span<const std::uint32_t> zeroBytes = {};

    // Whether the records have the field.
    bool has(Field field) const;
    // Where a field of plain numbers lies; none where the records lack it (or it is no such field).
    const NumberPlace* numberPlace(Field field) const;
    // The ID the game stores for an egg: 253, or 0xFFFD where species are words, unless the layout names its own.
    SpeciesId egg() const { return eggSpecies ? eggSpecies : speciesWidth == 1 ? 0xFD : 0xFFFD; }
};

// What a release's own layout is called in a table file.
inline constexpr std::string_view kOwnLayoutKey = "vanilla";

// Whether the calls a routine's callers make fit a layout: every offset
// one it reads, each read as a word exactly where it reads one.
bool fitsCalls(const RecordLayout& layout, std::span<const RoutineCall> calls);

// The longest record a layout may have (room for a family whose records
// are far longer than the Game Boy's 32 bytes).
inline constexpr std::uint32_t kMaxRecordSize = 64;

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

// The numbers of a field of plain numbers, as the record holds them.
std::vector<std::uint32_t> numbersAt(RecordView record, const NumberPlace& place);

// A species field's value (a byte, or a little-endian word, its high part
// some bits of the second byte where the layout says so).
inline SpeciesId speciesAt(RecordView record, const RecordLayout& layout, std::uint32_t at) {
    if (layout.speciesWidth != 2) return record[at];
    const unsigned high = unsigned(record[at + 1]) >> layout.speciesHighShift & ((1u << layout.speciesHighBits) - 1);
    return SpeciesId(record[at] | high << 8);
}
// The record's bytes with a species field set: its own bits alone (precondition: it fits them).
inline void putSpecies(std::span<std::uint8_t> record, const RecordLayout& layout, std::uint32_t at, SpeciesId species) {
    record[at] = std::uint8_t(species);
    if (layout.speciesWidth != 2) return;
    const unsigned mask = ((1u << layout.speciesHighBits) - 1) << layout.speciesHighShift;
    record[at + 1] = std::uint8_t((record[at + 1] & ~mask) | ((unsigned(species) >> 8) << layout.speciesHighShift & mask));
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
    NicknameEnd,        // the byte after the nickname is not the terminator
    TrainerNameEnd,
    ZeroByte,           // one of the layout's zero bytes is not 0
    RequestedSpecies,   // (strict) not a creature, 1-254
    OfferedSpecies,
    NicknameText,       // (strict) not printable characters, then only the terminator (or 0x20, or the layout's padding)
    TrainerNameText,
    Number,             // (strict) a plain number above its place's most
};

// The checks every record passes: dialog set within the game's range, a
// gender requirement the games know, and where the layout has them, both
// names ended at their last byte and the zero bytes zero.
RecordFault recordFault(RecordView record, const RecordLayout& layout, int dialogSets, const Charset& charset);

// Stricter, for records that have no other evidence (a table found by a
// scan of the file, records beyond the game's own): both species 1-254, and
// each name only printable characters up to its first terminator, then only
// the terminator (or 0x20, which some builds pad with).
RecordFault strictRecordFault(RecordView record, const RecordLayout& layout, int dialogSets, const Charset& charset);

inline bool passesStrictRecordChecks(RecordView record, const RecordLayout& layout, int dialogSets, const Charset& charset) {
    return strictRecordFault(record, layout, dialogSets, charset) == RecordFault::None;
}

// What is wrong, for a message: "the offered species 0 is no creature".
std::string recordFaultText(RecordFault fault, RecordView record, const RecordLayout& layout, const Charset& charset);

}  // namespace kestrane
