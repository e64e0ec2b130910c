// Synthetic Polished Crystal images, from the facts of its public source:
// the header (title PKPCRYSTAL, code PKPC, version 0x32, or 0x30 for its
// 3.0.0-3.1.1 releases), GetTradeAttribute at 0xFD5FB with its ten callers
// in its bank reading NPCTrades at 0xFD67B (9 records of 32 bytes, 33 in the
// 3.x releases), GetPokemonName in the home bank naming species through
// PokemonNames at 0xD8BA0 (bank 0x36, entry 0 first, 10 bytes a name padded
// with '@', 0x53). Its lines: PrintTradeText right after the table's last
// record, calling GetTradeMonNames (which copies the names the texts fill in)
// and reading TradeTexts, a pointer a phase and set, each to a far text that
// ends its text (0x08, the address big-endian with bit 15 set, the bank);
// ReadHuffmanChar in bank 0 walking one tree. No real image's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/rom_image.h"

namespace kestrane::testing {

inline constexpr std::uint32_t kPolishedTable = 0xFD67B, kPolishedRoutine = 0xFD5FB;
inline constexpr std::uint32_t kPolishedNames = 0xD8BA0, kPolishedNamesRoutine = 0x3A10;

struct PolishedTrade {
    std::uint8_t dialog = 0;
    std::uint16_t requested = 63;    // the species, 1-291
    std::uint8_t requestedForm = 0;  // 0: any
    std::uint16_t offered = 66;
    std::uint8_t offeredForm = 0;
    bool female = false;
    std::string nickname = "Muscle";  // letters, blanks and digits, written by hand
    std::uint8_t dvs[3] = {0xEE, 0xEE, 0xEE};
    std::uint8_t personality = 0x63;  // the hidden ability, Adamant
    std::uint8_t ball = 2;
    std::uint8_t item = 0x1D;
    std::uint16_t id = 37460;
    std::string trainer = "Mike";
};

// The nine trades as its source writes them (the items and balls made-up numbers).
std::vector<PolishedTrade> polishedTrades();
// Text by hand in its character set: A-Z 0x80.., a-z 0xA0.., blank 0x7F,
// 0-9 0xE0.., then '@' (0x53) up to `field` bytes.
Bytes polishedText(std::string_view text, std::size_t field);
// A record's bytes (33 in the 3.x releases).
Bytes polishedRecord(const PolishedTrade& trade, bool threeX = false);
void putPolishedTable(Bytes& rom, std::uint32_t at, const std::vector<PolishedTrade>& trades, bool threeX = false);
// GetTradeAttribute at `at` reading `table` (both in bank 0x3F), with its callers.
void putPolishedRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, bool threeX = false);
// An object event that starts trade `trade` (type 5, command 0x94), at `at`.
void putTradeObject(Bytes& rom, std::uint32_t at, int trade);
inline constexpr std::uint32_t kPolishedObjects = 0x94000;  // where the image's eight trades' objects stand, 16 bytes apart
// The image: `version` its header's byte, `threeX` its record; objects start its first eight trades.
Bytes polishedCrystalRom(bool threeX = false, std::uint8_t version = 0x32, std::uint32_t seed = 1);
// Where the image keeps its lines' parts: TradeTexts, GetTradeMonNames, the
// far texts (0x80 bytes apart, phase by phase and set by set),
// ReadHuffmanChar and its tree; and the buffers (made up) the names are
// copied to: the requested species' with its gender added, the offered
// species', the requested one's.
inline constexpr std::uint32_t kPolishedLinesTable = 0xFDA00, kPolishedNamesCode = 0xFDB00, kPolishedFarTexts = 0x1BC000;
inline constexpr std::uint32_t kPolishedHuffman = 0x3B00, kPolishedTree = 0x3C00;
inline constexpr std::uint16_t kPolishedWithGender = 0xD073, kPolishedOffered = 0xD086, kPolishedRequested = 0xD0F0;
// Characters by hand as polishedText writes them, and . , ? ! ', with
// '\n' for <LINE> (0x57) and '|' for <PARA> (0x59); no terminator.
Bytes polishedChars(std::string_view text);
// `chars` packed in the image's Huffman code after <CTXT> (0x5D), the last
// byte's unused bits 0. Its tree holds the blank, letters, digits, that
// punctuation and 0x4D-0x5C.
Bytes polishedPacked(const Bytes& chars);
// Puts `text` as the far text of set `set`'s line of phase `phase`.
void putPolishedLine(Bytes& rom, int set, int phase, const Bytes& text);
// Set 0's intro as the image holds it: "I collect Pokémon. Do you\nhave
// [requested]?\n\nWant to trade it\nfor my [offered]?", packed around the names.
Bytes polishedIntro();

// GetName in bank 0 (its form without `dec a`: the item list counted from
// 0), NamesPointers (the items' the fourth entry) and ItemNames, 256 names
// from item 0's.
inline constexpr std::uint32_t kPolishedGetName = 0x3300, kPolishedNamesPointers = 0x3380, kPolishedItemNames = 0x1C8000;
// An item's name as the image holds it: balls 1-9, then made up.
std::string polishedItemName(int item);

// A species' name as the image holds it (the games' 1-251 in capitals, the added ones made up).
std::string polishedSpeciesName(int species);

}  // namespace kestrane::testing
