// What a ROM itself says about items and species: the item names and the
// species' gender ratios, read once when the ROM is opened, and only where
// the bytes prove to be those tables (a hack that moved them, or a
// synthetic image, has none: items show as numbers, genders as unknown).
//
//   species names  a name of a fixed length a species (10 bytes; the
//                Japanese releases 5), padded with 0x50, species 1 first;
//                where the release names the routine that reads them, where
//                that routine points (the 16-bit species base)
//   item names   names one after another, each ended by 0x50, at most 12
//                characters; the k-th is item k's (of 256, the last is what
//                item 0 would print; Kestrane calls item 0 "None")
//   base data    251 entries of 32 bytes, species 1 first; byte 0 is the
//                species' Pokédex number (1-251, proving the table), byte 13
//                its gender ratio, byte 17 its front picture's size; or, in
//                the 16-bit species base, entries of the same bytes found
//                through its indirect table (BaseDataForm::Indirect)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/creature_list.h"
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
    int lastId = 0;  // the highest species ID with an entry
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
// `count`: the species IDs 1 to count (the base data says how many).
Result<RomSpeciesNames> readSpeciesNames(File& file, const Release& release, int count, std::int64_t fileSize);
Result<std::optional<BaseData>> readBaseData(File& file, const Release& release, std::int64_t fileSize);

// A species' gender ratio, or none where the ratios are unknown or the
// species has none (0, 252-255).
std::optional<std::uint8_t> genderRatioOf(const std::optional<GenderRatios>& ratios, SpeciesId species);

// "GOLD BERRY"; "None" for item 0; "Item 0x53" where the names are unknown.
std::string itemLabel(const std::optional<ItemNames>& names, ItemId item);

// The item a person's text stands for: "None", a number (0 to lastItem,
// decimal or 0x..) or a name the ROM has (letter case, blanks and
// punctuation aside: "kings rock"); otherwise refused, with the names near it.
Result<ItemId> resolveItem(std::string_view text, const std::optional<ItemNames>& names, int lastItem = 255);
// An item given as a number (0 to lastItem); `given`: the text it was typed as, for the message.
Result<ItemId> itemNumbered(std::int64_t number, int lastItem = 255, std::string_view given = {});

}  // namespace kestrane
