// The Game Boy families' item names, species names and base data, read
// from the ROM where its bytes prove to be those tables.
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

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "families/gameboy/game_boy_row.h"
#include "support/file.h"
#include "support/result.h"
#include "trades/game_data.h"

namespace kestrane {

inline constexpr std::uint32_t kBaseDataEntry = 32;
inline constexpr std::uint32_t kGenderRatioAt = 13;
inline constexpr std::uint32_t kPictureSizeAt = 17;

struct BaseData {
    GenderRatios genderRatios{};
    PictureSizes pictureSizes{};
    int lastId = 0;  // the highest species ID with an entry
};

// The tables of a file the caller has open, or none where the bytes are not
// them. Only a failing read is an error.
Result<std::optional<ItemNames>> readItemNames(File& file, const GameBoyRow& release);

// The species names as a ROM keeps them (UTF-8, species 1 first), or why
// they are not taken: the file ends before them, or an entry is empty or
// not plain game text.
struct RomSpeciesNames {
    std::vector<std::string> names;  // empty when not taken
    std::string whyNot;              // "entry 12 is empty"
};
// `count`: the species IDs 1 to count (the base data says how many).
Result<RomSpeciesNames> readSpeciesNames(File& file, const GameBoyRow& release, int count, std::int64_t fileSize);
Result<std::optional<BaseData>> readBaseData(File& file, const GameBoyRow& release, std::int64_t fileSize);

}  // namespace kestrane
