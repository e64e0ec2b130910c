// What a ROM itself says about items and species, as every family gives
// it: the item names and the species' gender ratios and picture sizes,
// read once when the ROM is opened (each family its own way), and only
// where the bytes prove to be those tables (a hack that moved them, or a
// synthetic image, has none: items show as numbers, genders as unknown).
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

// The item numbers a list shows where the ROM's names are not known.
inline constexpr int kItemCount = 256;


// By item number; [0] is "None".
using ItemNames = std::vector<std::string>;
// By species ID ([0] unused).
using GenderRatios = std::vector<std::uint8_t>;
// By species ID: width in tiles (low nibble), height (high nibble).
using PictureSizes = std::vector<std::uint8_t>;

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
