// Where a third-generation trade happens, as the ROM says: the map whose
// object event starts the trader's script, that map's section, and the
// section's name, each found where the game's code reads it (the map groups
// through Overworld_GetMapHeaderByGroupAndId, the names through GetMapName).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "families/gen3/third_generation_scripts.h"
#include "support/file.h"
#include "support/result.h"
#include "text/charset.h"

namespace kestrane::gen3 {

// The map section of the map whose object event starts each script (by
// the script's setvar), for the scripts an object event starts; none where
// the map groups are not found.
Result<std::optional<std::map<std::uint32_t, std::uint8_t>>> mapSectionsOfScripts(File& file, std::int64_t size,
                                                                                     const std::vector<TradeScript>& scripts);

// The names of the map sections, by section (empty where a section has
// none the game shows); none where GetMapName is not found.
Result<std::optional<std::vector<std::string>>> mapSectionNames(File& file, std::int64_t size, const Charset& charset);

}  // namespace kestrane::gen3
