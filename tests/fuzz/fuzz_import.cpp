// The command line's JSON import: any text, against a retail-like Crystal
// image. Refused tables write nothing; accepted ones are always written, as
// one save that touches only the trades' fields.
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "exchange/table_file.h"
#include "families/families.h"
#include "support/memory_file_system.h"
#include "support/rom_image.h"
#include "trades/save.h"

using namespace kestrane;

namespace {

// The bytes of a trade record an import may change: all but +13, +29, +31.
bool ownedByATrade(const Rom& rom, std::size_t at) {
    if (at < rom.table->offset) return false;
    const std::size_t inTable = at - rom.table->offset;
    const std::size_t size = rom.release->layout.size;
    const std::size_t inRecord = inTable % size;
    return inTable < std::size_t(rom.table->records) * size && inRecord != 13 && inRecord != 29 && inRecord != 31;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> untouched = testing::retailLikeRom("BYTE");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Most inputs are no JSON: those cost no ROM.
    if (!nlohmann::json::accept(text)) return 0;
    MemoryFileSystem fs;
    fs.put("rom", untouched);
    const Rom rom = *openRom("rom", families::all(), fs);
    auto edits = exchange::importEdits(text, "table", rom, NamePadding::Release, fs);
    if (!edits) return 0;  // nothing is written then; the command checks that
    // What the core resolved, it writes: every typed value it gives is within range.
    auto saved = saveTrades(rom, edits->edits, {}, fs);
    if (!saved) std::abort();
    const auto& after = fs.bytes("rom");
    if (after.size() != untouched.size()) std::abort();
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != untouched[i] && !ownedByATrade(rom, i)) std::abort();
    }
    return 0;
}
