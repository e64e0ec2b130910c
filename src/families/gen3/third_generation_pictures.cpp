#include "families/gen3/third_generation_pictures.h"

#include <array>
#include <string>

#include "families/gen3/third_generation_data.h"
#include "families/gen3/third_generation_rows.h"
#include "platform/gba/cartridge.h"
#include "platform/gba/lz77.h"
#include "platform/gba/thumb_search.h"
#include "support/hex_text.h"
#include "trades/creature_list.h"

namespace kestrane {
namespace {

constexpr std::uint32_t kFrontsAt = 0x128, kPalettesAt = 0x130, kShinyPalettesAt = 0x134;
constexpr std::uint32_t kEntry = 8;
constexpr int kSide = 64;
constexpr std::size_t kFrame = kSide * kSide / 2, kPalette = 32;
constexpr SpeciesId kUnownForms = 412, kDeoxys = 410;  // Unown (kUnown) is 201 here too
// The most compressed bytes a stream of kLargestLz77 may take: a flag byte every eight.
constexpr std::size_t kLargestStream = gba::kLargestLz77 + gba::kLargestLz77 / 8 + 8;

// The shiny palettes' tags: the species' own, plus this.
constexpr std::uint16_t kShinyTag = 500;

// DecompressPicFromTable_2 (Ruby, Sapphire): species past the list are drawn
// as the first entry; its pool at +0x1C holds the fronts' table. Calls left open.
constexpr int kDecompressPic[] = {
    0x00, 0xB5, 0x02, 0x1C, 0x01, 0x9B, 0x02, 0x99, 0xCE, 0x20, 0x40, 0x00, 0x81, 0x42, 0x07, 0xDD, 0x02, 0x48, 0x00, 0x68,
    0x19, 0x1C, -1,   -1,   -1,   -1,   0x05, 0xE0, -1,   -1,   -1,   -1,   0x10, 0x68, 0x19, 0x1C, -1,   -1,   -1,   -1,
    0x01, 0xBC, 0x00, 0x47};
constexpr gba::ThumbPattern kDecompressPicForm{kDecompressPic, 0};
constexpr std::uint32_t kFrontsLoad = 0x10;
// The sprite palette of a species by IDs and personality (Ruby, Sapphire):
// the shiny value against 8, the palettes' table in its pool at +0x24, the
// shiny ones' at +0x34.
constexpr int kPaletteByIds[] = {
    0x10, 0xB5, 0x00, 0x04, 0x04, 0x0C, 0x08, 0x0C, 0x05, 0x4B, 0x19, 0x40, 0x48, 0x40, 0x11, 0x0C, 0x48, 0x40, 0x1A, 0x40,
    0x50, 0x40, 0x07, 0x28, 0x06, 0xD9, 0xE0, 0x00, 0x01, 0x49, 0x05, 0xE0, 0xFF, 0xFF, 0x00, 0x00, -1,   -1,   -1,   -1,
    0xE0, 0x00, 0x02, 0x49, 0x40, 0x18, 0x10, 0xBC, 0x02, 0xBC, 0x08, 0x47};
constexpr gba::ThumbPattern kPaletteForm{kPaletteByIds, 0};
constexpr std::uint32_t kPalettesLoad = 0x1C, kShinyPalettesLoad = 0x2A;

// The decompressed data an entry of a table at `table` points to, the entry
// proven by its tag.
Result<std::vector<std::uint8_t>> entryData(File& file, std::int64_t size, std::uint32_t table, std::uint32_t index,
                                            const char* what, std::uint32_t tagAt, std::uint16_t tag) {
    const std::uint32_t entry = table + index * kEntry;
    if (std::int64_t(entry) + kEntry > size) return refused(ErrorCode::NoPicture, std::string("its ") + what + "'s entry lies past the end of the file");
    // The pointer, then the size and tag (a front's) or the tag and a pad (a palette's).
    std::array<std::uint8_t, kEntry> bytes{};
    if (auto read = readExactly(file, entry, bytes); !read) return read.error();
    if (const std::uint16_t own = std::uint16_t(bytes[tagAt] | bytes[tagAt + 1] << 8); own != tag) {
        return refused(ErrorCode::NoPicture, std::string("its ") + what + "'s entry at " + hexOffset(entry) + " is tagged " +
                                                 std::to_string(own) + ", not " + std::to_string(tag) + ", so the table is not where the game keeps it");
    }
    const auto at = gba::romOffsetOf(gba::readWord(bytes, 0));
    if (!at || std::int64_t(*at) >= size) {
        return refused(ErrorCode::NoPicture, std::string("its ") + what + "'s pointer at " + hexOffset(entry) + " names no byte of the file");
    }
    std::vector<std::uint8_t> stream(std::size_t(std::min<std::int64_t>(size - *at, std::int64_t(kLargestStream))));
    if (auto read = readExactly(file, *at, stream); !read) return read.error();
    auto data = gba::decodeLz77(stream);
    if (!data) {
        Error e = data.error();
        e.message = std::string("its ") + what + " at " + hexOffset(*at) + ": " + e.message;
        return e;
    }
    return data;
}

}  // namespace

Result<std::optional<FrontPictureTables>> findPictureTables(File& file, std::int64_t size) {
    auto fronts = gba::pointerOfEveryCopy(file, size, kDecompressPicForm, kFrontsLoad);
    if (!fronts) return fronts.error();
    auto palettes = gba::pointerOfEveryCopy(file, size, kPaletteForm, kPalettesLoad);
    if (!palettes) return palettes.error();
    auto shiny = gba::pointerOfEveryCopy(file, size, kPaletteForm, kShinyPalettesLoad);
    if (!shiny) return shiny.error();
    if (!*fronts || !*palettes || !*shiny) return std::optional<FrontPictureTables>();
    return std::optional(FrontPictureTables{**fronts, **palettes, **shiny});
}

Result<FrontPicture> readThirdGenerationPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) {
    const ThirdGenerationRow& row = thirdGenerationRow(*rom.release);
    auto none = [&](const Error& why) { return noPicture(speciesNumberText(*rom.species, species), why); };
    if (species < 1 || !rom.species->listed(species)) return none(refused(ErrorCode::NoPicture, "it has no Pokédex entry"));
    auto where = [&] { return "Could not read the picture of species " + speciesNumberText(*rom.species, species) + " from " + quoted(rom.path); };
    auto file = fs.open(rom.path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto size = (*file)->size();
    if (!size) return inContext(size.error(), where());
    // The tables: where the code reads them, the release's own places, or where the header points.
    FrontPictureTables tables{};
    const auto* data = dynamic_cast<const ThirdGenerationData*>(rom.familyData.get());
    if (data && data->pictures) {
        tables = *data->pictures;
    } else if (row.pictures) {
        tables = *row.pictures;
    } else {
        std::array<std::uint32_t, 3> at{};
        for (auto [from, to] : {std::pair{kFrontsAt, &at[0]}, std::pair{kPalettesAt, &at[1]}, std::pair{kShinyPalettesAt, &at[2]}}) {
            auto pointer = gba::wordAt(**file, from);
            if (!pointer) return inContext(pointer.error(), where());
            const auto offset = gba::romOffsetOf(*pointer);
            if (!offset) return none(refused(ErrorCode::NoPicture, "the header's pointer at " + hexOffset(from) + " names no byte of the file"));
            *to = *offset;
        }
        tables = {at[0], at[1], at[2]};
    }
    // Unown's letter is a species of its own past the list.
    std::uint32_t index = species;
    if (species == kUnown) {
        const int letter = look.unownLetter == '!' ? 26 : look.unownLetter == '?' ? 27
                           : look.unownLetter >= 'A' && look.unownLetter <= 'Z' ? look.unownLetter - 'A' : 0;
        if (letter > 0) index = kUnownForms + std::uint32_t(letter);
    }
    // A front's entry: its pointer, its size, then its tag; a palette's: its pointer, then its tag.
    auto sheet = entryData(**file, *size, tables.fronts, index, "front picture", 6, std::uint16_t(index));
    if (!sheet) return sheet.error().code == ErrorCode::NoPicture ? none(sheet.error()) : inContext(sheet.error(), where());
    auto palette = entryData(**file, *size, look.shiny ? tables.shinyPalettes : tables.palettes, index,
                             look.shiny ? "shiny palette" : "palette", 4, std::uint16_t(look.shiny ? index + kShinyTag : index));
    if (!palette) return palette.error().code == ErrorCode::NoPicture ? none(palette.error()) : inContext(palette.error(), where());
    const bool second = species == kDeoxys && row.deoxys == DeoxysFrame::Second;
    if (sheet->size() < kFrame * (second ? 2 : 1)) return none(refused(ErrorCode::NoPicture, "its sheet holds less than a 64 x 64 frame"));
    if (palette->size() < kPalette) return none(refused(ErrorCode::NoPicture, "its palette holds fewer than 16 colours"));

    FrontPicture picture;
    picture.width = picture.height = kSide;
    picture.clear = 0;  // the sprite's colour 0 is never drawn
    for (std::size_t c = 0; c < 16; ++c) {
        const unsigned bgr = unsigned((*palette)[2 * c] | (*palette)[2 * c + 1] << 8);
        auto channel = [](unsigned v) { return std::uint8_t(v << 3 | v >> 2); };
        picture.colours.push_back({channel(bgr & 0x1F), channel(bgr >> 5 & 0x1F), channel(bgr >> 10 & 0x1F)});
    }
    const std::uint8_t* frame = sheet->data() + (second ? kFrame : 0);
    picture.shades.resize(std::size_t(kSide * kSide));
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::size_t tile = std::size_t(y / 8 * 8 + x / 8);
            const std::uint8_t byte = frame[tile * 32 + std::size_t(y % 8) * 4 + std::size_t(x % 8) / 2];
            picture.shades[std::size_t(y * kSide + x)] = x % 2 ? byte >> 4 : byte & 0x0F;
        }
    }
    return picture;
}

}  // namespace kestrane
