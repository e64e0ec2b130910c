// What a ROM itself says about items and species: the item names and the
// species' gender ratios, read once when the ROM is opened, and only where
// the bytes prove to be those tables (a hack that moved them, or a
// synthetic image, has none: items show as numbers, genders as unknown).
//
//   species names  251 names of a fixed length (10 bytes; the Japanese
//                releases 5), padded with 0x50, species 1 first
//   item names   256 names one after another, each ended by 0x50, at most 12
//                characters; the k-th is item k's (the 256th is what item 0
//                would print; Kestrane calls item 0 "None")
//   base data    251 entries of 32 bytes, species 1 first; byte 0 is the
//                species' Pokédex number (1-251, proving the table), byte 13
//                its gender ratio, byte 17 its front picture's size
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/species.h"
#include "trades/values.h"
#include "trades/releases.h"

namespace kestrane {

inline constexpr int kItemCount = 256;
inline constexpr std::uint32_t kBaseDataEntry = 32;
inline constexpr std::uint32_t kGenderRatioAt = 13;
inline constexpr std::uint32_t kPictureSizeAt = 17;

// By item number; [0] is "None".
using ItemNames = std::vector<std::string>;
// By species ID ([0] unused).
using GenderRatios = std::vector<std::uint8_t>;
// By species ID: width in tiles (low nibble), height (high nibble).
using PictureSizes = std::vector<std::uint8_t>;

struct BaseData {
    GenderRatios genderRatios{};
    PictureSizes pictureSizes{};
};

// The tables of a file the caller has open, or none where the bytes are not
// them. Only a failing read is an error.
Result<std::optional<ItemNames>> readItemNames(File& file, const Release& release);

// The species names as a ROM keeps them (UTF-8, species 1 first), or why
// they are not taken: the file ends before them, or an entry is empty or
// not plain game text.
struct RomSpeciesNames {
    std::vector<std::string> names;  // empty when not taken
    std::string whyNot;              // "entry 12 is empty"
};
Result<RomSpeciesNames> readSpeciesNames(File& file, const Release& release);
Result<std::optional<BaseData>> readBaseData(File& file, const Release& release);

// A species' gender ratio, or none where the ratios are unknown or the
// species has none (0, 252-255).
std::optional<std::uint8_t> genderRatioOf(const std::optional<GenderRatios>& ratios, SpeciesId species);

// "GOLD BERRY"; "None" for item 0; "Item 0x53" where the names are unknown.
std::string itemLabel(const std::optional<ItemNames>& names, ItemId item);

// The item a person's text stands for: "None", a number (0-255, decimal or
// 0x..) or a name the ROM has (letter case, blanks and punctuation aside:
// "kings rock"); otherwise refused, with the names near it.
Result<ItemId> resolveItem(std::string_view text, const std::optional<ItemNames>& names);
// An item given as a number (0-255); `given`: the text it was typed as, for the message.
Result<ItemId> itemNumbered(std::int64_t number, std::string_view given = {});

}  // namespace kestrane
