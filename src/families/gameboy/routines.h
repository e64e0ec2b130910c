// The routines of the games' own code through which Kestrane finds their
// tables (see code_search.h), as their builds assemble them; -1 marks a
// byte a build or a hack may change (an address, a call target).
#pragma once

#include <array>
#include <cstdint>

#include "platform/gb/code_search.h"

namespace kestrane {

namespace routines {

// GetTradeAttr: the trade table's address (LL HH at 14) plus the index
// times the record size: each "add hl, de" (0x19) after the address adds
// the index, times 16, once more.
//   16 00 D5 FA ?? ?? E6 0F CB 37 5F 16 00 21 LL HH 19 19 D1 19 C9
inline constexpr int kTradeTable32[] = {0x16, 0x00, 0xD5, 0xFA, -1,   -1,   0xE6, 0x0F, 0xCB, 0x37, 0x5F,
                                        0x16, 0x00, 0x21, -1,   -1,   0x19, 0x19, 0xD1, 0x19, 0xC9};
inline constexpr int kTradeTable16[] = {0x16, 0x00, 0xD5, 0xFA, -1, -1, 0xE6, 0x0F, 0xCB, 0x37, 0x5F,
                                        0x16, 0x00, 0x21, -1,   -1, 0x19, 0xD1, 0x19, 0xC9};
inline constexpr std::uint8_t kTradeTablePointer[] = {14};

// Polished Crystal's GetTradeAttribute: the table (LL HH at 2) plus the
// index times the record size its `ld bc, N` gives (rst AddNTimes): 32 in
// its master branch, 33 in the 3.x releases.
//   C5 21 LL HH FA ?? ?? 01 NN 00 DF C1 57 19 C9
inline constexpr int kPolishedTradeTable32[] = {0xC5, 0x21, -1, -1, 0xFA, -1, -1, 0x01, 0x20, 0x00, 0xDF, 0xC1, 0x57, 0x19, 0xC9};
inline constexpr int kPolishedTradeTable33[] = {0xC5, 0x21, -1, -1, 0xFA, -1, -1, 0x01, 0x21, 0x00, 0xDF, 0xC1, 0x57, 0x19, 0xC9};
inline constexpr std::uint8_t kPolishedTradeTablePointer[] = {2};

// Polished Crystal's GetPokemonName: extended ID x 10 + PokemonNames (LL HH
// at 5, the name of ID 0), copied from the bank its `ld a, n` names (at 16).
//   29 29 19 29 11 LL HH 19 11 ?? ?? D5 01 0A 00 3E BB
inline constexpr int kPolishedPokemonNames[] = {0x29, 0x29, 0x19, 0x29, 0x11, -1,   -1,   0x19, 0x11,
                                                -1,   -1,   0xD5, 0x01, 0x0A, 0x00, 0x3E, -1};
inline constexpr std::uint8_t kPolishedPokemonNamesPointer[] = {5};
inline constexpr std::uint8_t kPolishedPokemonNamesBank = 16;

// PrintTradeText: the lines' table (LL HH at 9), entry (phase, set).
inline constexpr int kCrystalLines[] = {0xF5, 0xCD, -1,   -1,   0xF1, 0x01, 0x08, 0x00, 0x21, -1,   -1,   0xCD,
                                        -1,   -1,   0xFA, -1,   -1,   0x4F, 0x09, 0x09, 0x2A, 0x66, 0x6F};
inline constexpr int kGoldSilverLines[] = {0xF5, 0xCD, -1,   -1,   0xF1, 0x5F, 0x16, 0x00, 0x21, -1, -1,   0x19,
                                           0x19, 0x19, 0x19, 0x19, 0x19, 0xFA, -1,   -1,   0x5F, 0x19, 0x19, 0x2A};
inline constexpr std::uint8_t kLinesPointer[] = {9};
// Polished Crystal's: the table (LL HH at 9) read through rst AddNTimes.
//   F5 CD ?? ?? F1 01 08 00 21 LL HH DF
inline constexpr int kPolishedLines[] = {0xF5, 0xCD, -1, -1, 0xF1, 0x01, 0x08, 0x00, 0x21, -1, -1, 0xDF};
// Polished Crystal's GetName for every list but the species' names: the
// list's entry in NamesPointers (LL HH at 5, a bank and an address, three
// bytes an entry, the type less one), then the name's index in it: where
// `dec a` (3D) comes before GetNthString, the list's first name is index 1;
// where not, index 0.
//   3D 5F 16 00 21 LL HH 19 19 19 2A ?? 2A 66 6F FA ?? ?? [3D] CD
inline constexpr int kPolishedGetNameFromOne[] = {0x3D, 0x5F, 0x16, 0x00, 0x21, -1,   -1,   0x19, 0x19, 0x19,
                                                  0x2A, -1,   0x2A, 0x66, 0x6F, 0xFA, -1,   -1,   0x3D, 0xCD};
inline constexpr int kPolishedGetNameFromZero[] = {0x3D, 0x5F, 0x16, 0x00, 0x21, -1,   -1,   0x19, 0x19, 0x19,
                                                   0x2A, -1,   0x2A, 0x66, 0x6F, 0xFA, -1,   -1,   0xCD};
inline constexpr std::uint8_t kNamesPointersPointer[] = {5};
// Its pointers: the table, then the routine it calls first (GetTradeMonNames,
// which copies the names the texts fill in).
inline constexpr std::uint8_t kPolishedLinesPointers[] = {9, 2};
// Polished Crystal's ReadHuffmanChar, one tree for every character: from node
// 0, each bit (most significant first, a byte loaded whenever 8 are spent)
// picks the child at tree + 2 x node + bit; a child from 0x7F on is a
// character, 0xEC-0xFB standing for 0x4D-0x5C. The tree's address is split
// across `add LOW` (at 12) and `adc HIGH` (at 15).
//   AF 05 20 04 4E 23 06 08 CB 21 8F C6 LL 5F CE HH 93 57 1A FE 7F 38 EA FE EC D8 D6 9F C9
inline constexpr int kPolishedHuffman[] = {0xAF, 0x05, 0x20, 0x04, 0x4E, 0x23, 0x06, 0x08, 0xCB, 0x21, 0x8F, 0xC6, -1,   0x5F, 0xCE,
                                           -1,   0x93, 0x57, 0x1A, 0xFE, 0x7F, 0x38, 0xEA, 0xFE, 0xEC, 0xD8, 0xD6, 0x9F, 0xC9};
inline constexpr std::uint8_t kPolishedHuffmanLow = 12, kPolishedHuffmanHigh = 15;

// GetPokemonName of the 16-bit species base ends its address sum with the
// names' address less one name (LL HH at 7): ID x 10 + (names - 10).
//   5D 54 29 29 19 29 11 LL HH 19   ld e, l; ld d, h; add hl, hl (x2); add hl, de; add hl, hl; ld de, …; add hl, de
// The names' bank is what its `ld a, n` (3E nn) before it switches to.
inline constexpr int kPokemonNames[] = {0x5D, 0x54, 0x29, 0x29, 0x19, 0x29, 0x11, -1, -1, 0x19};
inline constexpr std::uint8_t kPokemonNamesPointer[] = {7};

// DoInGameTradeDialogue of Red and Blue, and of Yellow (which multiplies
// the trade's index by 14 through a routine): the trades' table (LL HH at 4,
// `ld hl, TradeMons`) and the traders' texts' pointers (at 42, 39: `ld de,
// InGameTradeTextPointers`).
//   CD ?? ?? 21 LL HH FA ?? ?? 47 CB 37 90 90 4F 06 00 09 2A EA ?? ?? 2A EA ?? ??
//   2A F5 11 ?? ?? 01 0B 00 CD ?? ?? F1 6F 26 00 11 LL HH 29 19
inline constexpr int kRedBlueTrades[] = {0xCD, -1,   -1,   0x21, -1,   -1,   0xFA, -1,   -1,   0x47, 0xCB, 0x37,
                                         0x90, 0x90, 0x4F, 0x06, 0x00, 0x09, 0x2A, 0xEA, -1,   -1,   0x2A, 0xEA,
                                         -1,   -1,   0x2A, 0xF5, 0x11, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1,
                                         -1,   0xF1, 0x6F, 0x26, 0x00, 0x11, -1,   -1,   0x29, 0x19};
inline constexpr std::uint8_t kRedBlueTradesPointers[] = {4, 42};
inline constexpr int kYellowTrades[] = {0xCD, -1,   -1,   0x21, -1,   -1,   0xFA, -1,   -1,   0x01, 0x0E,
                                        0x00, 0xCD, -1,   -1,   0x2A, 0xEA, -1,   -1,   0x2A, 0xEA, -1,
                                        -1,   0x2A, 0xF5, 0x11, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1,
                                        -1,   0xF1, 0x6F, 0x26, 0x00, 0x11, -1,   -1,   0x29, 0x19};
inline constexpr std::uint8_t kYellowTradesPointers[] = {4, 39};
// Japanese Red and Green's: the index times 8 (swap a; srl a), six bytes of
// the nickname copied (a name is 6 bytes there) and '@' written after five:
// the table at 4, the texts' pointers at 46.
//   CD ?? ?? 21 LL HH FA ?? ?? CB 37 CB 3F 4F 06 00 09 2A EA ?? ?? 2A EA ?? ??
//   2A F5 11 ?? ?? 01 06 00 CD ?? ?? 3E 50 EA ?? ?? F1 6F 26 00 11 LL HH 29 19
inline constexpr int kJapaneseTrades[] = {0xCD, -1,   -1,   0x21, -1,   -1,   0xFA, -1,   -1,   0xCB, 0x37, 0xCB, 0x3F,
                                          0x4F, 0x06, 0x00, 0x09, 0x2A, 0xEA, -1,   -1,   0x2A, 0xEA, -1,   -1,   0x2A,
                                          0xF5, 0x11, -1,   -1,   0x01, 0x06, 0x00, 0xCD, -1,   -1,   0x3E, 0x50, 0xEA,
                                          -1,   -1,   0xF1, 0x6F, 0x26, 0x00, 0x11, -1,   -1,   0x29, 0x19};
inline constexpr std::uint8_t kJapaneseTradesPointers[] = {4, 46};

// IndexToPokedex of Red, Blue and Yellow: PokedexOrder (LL HH at 7) in its own bank.
//   C5 E5 FA ?? ?? 3D 21 LL HH 06 00 4F 09 7E EA ?? ?? E1 C1 C9
inline constexpr int kIndexToPokedex[] = {0xC5, 0xE5, 0xFA, -1,   -1,   0x3D, 0x21, -1,   -1,   0x06,
                                          0x00, 0x4F, 0x09, 0x7E, 0xEA, -1,   -1,   0xE1, 0xC1, 0xC9};
inline constexpr std::uint8_t kIndexToPokedexPointer[] = {7};

// The two routines of the trade routine's bank that give the traded
// creature its trainer's name: InGameTrade_PrepareTradeData (the trade
// screen's) and InGameTrade_CopyDataToReceivedMon (the creature's OT), each
// `ld hl, InGameTrade_TrainerString` (LL HH at 33, at 28); the name length
// their `ld bc` copies is 11, or 6 in the Japanese builds.
template <int N>
constexpr std::array<int, N> withNameLength(const int (&form)[N], int length) {
    std::array<int, N> out{};
    for (int i = 0; i < N; ++i) out[std::size_t(i)] = i > 0 && form[i - 1] == 0x01 && form[i] == 0x0B ? length : form[i];
    return out;
}
inline constexpr int kPrepareTradeData[] = {0x21, -1,   -1,   0xFA, -1,   -1,   0x22, 0xFA, -1,   -1,   0x77, 0x21,
                                            -1,   -1,   0x01, 0x0B, 0x00, 0xFA, -1,   -1,   0xCD, -1,   -1,   0x11,
                                            -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1,   -1,   0x21, -1,   -1,   0x11,
                                            -1,   -1,   0xCD, -1,   -1,   0x11, -1,   -1,   0xCD, -1,   -1};
inline constexpr std::uint8_t kPrepareTradeDataPointer[] = {33};
inline constexpr int kCopyDataToReceivedMon[] = {
    0x21, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1, -1, 0x21, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1, -1,
    0x21, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1, -1, 0x21, -1,   -1,   0x01, 0x0B, 0x00, 0xCD, -1, -1,
    0x21, -1,   -1,   0x01, 0x2C, 0x00, 0xCD, -1, -1, 0x21, -1,   -1,   0x01, 0x02, 0x00, 0xC3, -1, -1};
inline constexpr std::uint8_t kCopyDataToReceivedMonPointer[] = {28};
inline constexpr auto kJapanesePrepareTradeData = withNameLength(kPrepareTradeData, 0x06);
inline constexpr auto kJapaneseCopyDataToReceivedMon = withNameLength(kCopyDataToReceivedMon, 0x06);

// The three fixed bytes a search of the whole file looks for first: "swap a;
// ld e, a" (CB 37 5F) is rare in code; "pop af" then the next two bytes
// less so; "ld bc, 11" (01 0B 00, a nickname's length) likewise.
inline constexpr RoutinePattern kTradeTable32Routine{kTradeTable32, kTradeTablePointer, 8};
inline constexpr RoutinePattern kTradeTable16Routine{kTradeTable16, kTradeTablePointer, 8};
inline constexpr RoutinePattern kCrystalLinesRoutine{kCrystalLines, kLinesPointer, 4};
inline constexpr RoutinePattern kGoldSilverLinesRoutine{kGoldSilverLines, kLinesPointer, 4};
inline constexpr RoutinePattern kPokemonNamesRoutine{kPokemonNames, kPokemonNamesPointer, 4};
inline constexpr RoutinePattern kPolishedTradeTable32Routine{kPolishedTradeTable32, kPolishedTradeTablePointer, 7};
inline constexpr RoutinePattern kPolishedTradeTable33Routine{kPolishedTradeTable33, kPolishedTradeTablePointer, 7};
inline constexpr RoutinePattern kPolishedLinesRoutine{kPolishedLines, kPolishedLinesPointers, 4};
inline constexpr RoutinePattern kPolishedHuffmanRoutine{kPolishedHuffman, {}, 8};
inline constexpr RoutinePattern kPolishedGetNameFromOneRoutine{kPolishedGetNameFromOne, kNamesPointersPointer, 7};
inline constexpr RoutinePattern kPolishedGetNameFromZeroRoutine{kPolishedGetNameFromZero, kNamesPointersPointer, 7};
inline constexpr RoutinePattern kPolishedPokemonNamesRoutine{kPolishedPokemonNames, kPolishedPokemonNamesPointer, 11};
inline constexpr RoutinePattern kRedBlueTradesRoutine{kRedBlueTrades, kRedBlueTradesPointers, 31};
inline constexpr RoutinePattern kYellowTradesRoutine{kYellowTrades, kYellowTradesPointers, 28};
inline constexpr RoutinePattern kJapaneseTradesRoutine{kJapaneseTrades, kJapaneseTradesPointers, 9};
inline constexpr RoutinePattern kIndexToPokedexRoutine{kIndexToPokedex, kIndexToPokedexPointer, 11};
inline constexpr RoutinePattern kPrepareTradeDataRoutine{kPrepareTradeData, kPrepareTradeDataPointer, 15};
inline constexpr RoutinePattern kCopyDataToReceivedMonRoutine{kCopyDataToReceivedMon, kCopyDataToReceivedMonPointer, 39};
inline constexpr RoutinePattern kJapanesePrepareTradeDataRoutine{kJapanesePrepareTradeData, kPrepareTradeDataPointer, 15};
inline constexpr RoutinePattern kJapaneseCopyDataToReceivedMonRoutine{kJapaneseCopyDataToReceivedMon, kCopyDataToReceivedMonPointer, 39};

// A search looks for the anchor's three bytes: they must be fixed.
constexpr bool anchoredOnFixedBytes(const RoutinePattern& p) {
    return p.anchor + 3u <= p.bytes.size() && p.bytes[p.anchor] >= 0 && p.bytes[p.anchor + 1] >= 0 && p.bytes[p.anchor + 2] >= 0;
}
static_assert(anchoredOnFixedBytes(kTradeTable32Routine) && anchoredOnFixedBytes(kTradeTable16Routine) &&
              anchoredOnFixedBytes(kCrystalLinesRoutine) && anchoredOnFixedBytes(kGoldSilverLinesRoutine) &&
              anchoredOnFixedBytes(kPokemonNamesRoutine) && anchoredOnFixedBytes(kPolishedTradeTable32Routine) &&
              anchoredOnFixedBytes(kPolishedTradeTable33Routine) && anchoredOnFixedBytes(kPolishedPokemonNamesRoutine) && anchoredOnFixedBytes(kRedBlueTradesRoutine) &&
              anchoredOnFixedBytes(kYellowTradesRoutine) && anchoredOnFixedBytes(kJapaneseTradesRoutine) &&
              anchoredOnFixedBytes(kIndexToPokedexRoutine) && anchoredOnFixedBytes(kJapanesePrepareTradeDataRoutine) &&
              anchoredOnFixedBytes(kJapaneseCopyDataToReceivedMonRoutine) &&
              anchoredOnFixedBytes(kPrepareTradeDataRoutine) && anchoredOnFixedBytes(kCopyDataToReceivedMonRoutine));

}  // namespace routines
}  // namespace kestrane
