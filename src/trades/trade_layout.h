// Where the seven trades lie in each game's ROM.
//
// Gold and Silver share one table at 0xFCC25, Crystal has its own at
// 0xFCE59. Records lie 32 bytes apart. The editor's slots are not in ROM
// order: slot 1 is the table's second record, slot 2 its first, slot k
// (3-7) its k-th. Gold and Silver have no trade in slot 7.
//
// A record, relative to its base:
//   +0   1 byte    requested species (the one the player gives)
//   +1   1 byte    offered species
//   +2  10 bytes   nickname, game text
//   +12  4 bytes   not the editor's: never read or written
//   +16  2 bytes   trainer ID, little-endian (+16 low, +17 high)
//   +18 10 bytes   original trainer's name, game text
//   +28  4 bytes   not the editor's: never read or written
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrane {

inline constexpr int kSlotCount = 7;
inline constexpr std::uint32_t kRecordStride = 32;
// Bytes +0..+27: everything up to the end of the trainer's name.
inline constexpr std::uint32_t kRecordSpan = 28;

inline constexpr std::uint32_t kRequestedSpeciesAt = 0;
inline constexpr std::uint32_t kOfferedSpeciesAt = 1;
inline constexpr std::uint32_t kNicknameAt = 2;
inline constexpr std::uint32_t kTrainerIdAt = 16;
inline constexpr std::uint32_t kTrainerNameAt = 18;
inline constexpr std::uint32_t kNameLength = 10;
inline constexpr std::uint32_t kTrainerIdLength = 2;

inline constexpr std::string_view kNoTradeMessage = "There is no trade assigned to this slot.";

enum class LookupAnswer {
    Trade,     // the slot has a record
    NoTrade,   // Gold or Silver, slot 7
    NoLayout,  // a game code other than the three
};

struct TradeSlot {
    LookupAnswer answer = LookupAnswer::NoLayout;
    std::string_view location;  // for a trade: "Violet City, Johto" ...
    std::uint32_t recordBase = 0;
};

// The trade of a game code and a slot's list index (0-6). An index outside
// 0-6 has no record: NoTrade.
TradeSlot tradeLayout(std::string_view gameCode, int slotIndex);

}  // namespace kestrane
