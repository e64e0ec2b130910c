// A trade record: 32 bytes, offsets from its first byte.
//
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
// Every record of every build of the games passes the record checks, and
// Kestrane never writes the bytes they look at except the dialog set, which
// it keeps within the game's range.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kestrane {

inline constexpr std::uint32_t kRecordSize = 32;
using RecordBytes = std::array<std::uint8_t, kRecordSize>;
using RecordView = std::span<const std::uint8_t, kRecordSize>;

inline constexpr std::uint32_t kDialogSetAt = 0;
inline constexpr std::uint32_t kRequestedSpeciesAt = 1;
inline constexpr std::uint32_t kOfferedSpeciesAt = 2;
inline constexpr std::uint32_t kNicknameAt = 3;
inline constexpr std::uint32_t kDvsAt = 14;
inline constexpr std::uint32_t kHeldItemAt = 16;
inline constexpr std::uint32_t kTrainerIdAt = 17;
inline constexpr std::uint32_t kTrainerNameAt = 19;
inline constexpr std::uint32_t kGenderRequirementAt = 30;
inline constexpr std::uint32_t kPaddingAt = 31;

// The editable part of a name field; its eleventh byte is always 0x50.
inline constexpr std::uint32_t kNameLength = 10;
inline constexpr std::uint32_t kNameFieldLength = 11;

inline constexpr int kMaxGenderRequirement = 2;

// The editable bytes of the name field at `at` (kNicknameAt, kTrainerNameAt).
inline std::span<const std::uint8_t> nameField(const RecordBytes& record, std::uint32_t at) {
    return std::span<const std::uint8_t>(record).subspan(at, kNameLength);
}

// The checks every record passes: dialog set within the game's range, both
// names ended at their eleventh byte, a gender requirement of 0-2, +31 zero.
bool passesRecordChecks(RecordView record, int maxDialogSet);

// Stricter, for records that have no other evidence (a table found by a
// scan of the file, records beyond the game's own): both species 1-254, and
// each name only printable characters of the games' set up to its first
// 0x50, then only 0x50 or 0x20.
bool passesStrictRecordChecks(RecordView record, int maxDialogSet);

}  // namespace kestrane
