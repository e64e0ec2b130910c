#include "families/gen3/third_generation_data.h"

#include <algorithm>

#include "families/gen3/third_generation_rows.h"
#include "families/gen3/third_generation_table.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

constexpr int kInternalSpecies = 411;  // the table's entries, from species 1
constexpr int kKantoJohto = 251;       // internal = Pokédex number up to here
constexpr int kUnusedFirst = 252, kUnusedLast = 276;  // no creature; the table maps them to 387-411
constexpr std::uint32_t kNameLength = 11;

// Whether the u16s read are the internal-to-Pokédex table: 1-251 their own
// numbers, the unused 252-276 387-411, the Hoenn ones each of 252-386 once.
bool isPokedexTable(std::span<const std::uint8_t> bytes) {
    std::vector<bool> seen(kInternalSpecies + 1, false);
    for (int i = 0; i < kInternalSpecies; ++i) {
        const int id = i + 1, number = int(readLittleEndian(bytes.subspan(std::size_t(2 * i), 2)));
        if (id <= kKantoJohto ? number != id
                              : id <= kUnusedLast ? number != id - kUnusedFirst + 387
                                                  : number <= kKantoJohto || number > 386 || seen[std::size_t(number)]) {
            return false;
        }
        seen[std::size_t(number)] = true;
    }
    return true;
}

}  // namespace

Result<ThirdGenerationSpecies> readThirdGenerationSpecies(File& file, const Rom& rom) {
    const ThirdGenerationRow& row = thirdGenerationRow(*rom.release);
    ThirdGenerationSpecies read;
    if (!rom.table || !rom.table->routine) {
        read.whyNot = "the routine that names the species was not found";
        return read;
    }
    auto names = gen3::speciesNamesOf(file, *rom.table->routine, rom.size.file);
    if (!names) return names.error();
    std::vector<std::uint8_t> bytes(std::size_t(kInternalSpecies + 1) * kNameLength);
    if (!*names || **names + bytes.size() > std::uint64_t(rom.size.file)) {
        read.whyNot = "the species names' table the trade routine reads lies past the end of the file";
        return read;
    }
    if (auto got = readExactly(file, **names, bytes); !got) return got.error();
    // The Pokédex table where SpeciesToNationalPokedexNum reads it (the one
    // of the routine's copies whose table is one); where the code is not
    // found, the table where the release keeps it, if it is one there.
    std::vector<std::uint8_t> pokedex(2 * kInternalSpecies);
    auto tables = gen3::findPokedexTables(file, std::min(rom.size.file, rom.release->family().platform().largestImage()));
    if (!tables) return tables.error();
    if (tables->empty()) tables->push_back(row.pokedexTable);
    std::optional<std::uint32_t> numberedBy;
    for (const std::uint32_t at : *tables) {
        std::vector<std::uint8_t> candidate(pokedex.size());
        auto got = readUpTo(file, at, candidate);
        if (!got) return got.error();
        if (*got != candidate.size() || !isPokedexTable(candidate) || numberedBy == at) continue;
        if (numberedBy) {  // two tables that each could be it: neither is taken
            numberedBy.reset();
            break;
        }
        numberedBy = at;
        pokedex = std::move(candidate);
    }
    const bool numbered = numberedBy.has_value();
    const Charset& charset = rom.release->charset();
    read.gameNames.resize(std::size_t(kInternalSpecies + 1));
    for (int id = 1; id <= kInternalSpecies; ++id) {
        const auto field = std::span<const std::uint8_t>(bytes).subspan(std::size_t(id) * kNameLength, kNameLength);
        if (std::find(field.begin(), field.end(), charset.terminator()) == field.end()) {
            read.whyNot = "the species name of " + std::to_string(id) + " at " + hexOffset(**names + std::uint32_t(id) * kNameLength) +
                          " has no end";
            return read;
        }
        const std::string name = toUtf8(shownName(field, charset));
        read.gameNames[std::size_t(id)] = name;
        if (id >= kUnusedFirst && id <= kUnusedLast) continue;
        const int number = numbered ? int(readLittleEndian(std::span<const std::uint8_t>(pokedex).subspan(std::size_t(2 * (id - 1)), 2))) : id;
        read.species.push_back({SpeciesId(id), number, name});
    }
    return read;
}


Result<std::optional<ThirdGenerationData>> readThirdGenerationBaseData(File& file, std::int64_t size, const Charset& charset) {
    constexpr std::uint32_t kEntry = 28, kRatioAt = 0x10, kGrowthAt = 0x13, kEggGroupsAt = 0x14, kAbilitiesAt = 0x16;
    constexpr std::uint32_t kTypesAt = 6;
    constexpr int kLastType = 17, kLastAbility = 77, kLastGrowth = 5, kLastEggGroup = 15;
    auto at = gen3::findBaseData(file, size);
    if (!at) return at.error();
    if (!*at || **at + std::uint64_t(kInternalSpecies + 1) * kEntry > std::uint64_t(size)) return std::optional<ThirdGenerationData>();
    std::vector<std::uint8_t> bytes(std::size_t(kInternalSpecies + 1) * kEntry);
    if (auto read = readExactly(file, **at, bytes); !read) return read.error();
    ThirdGenerationData data;
    data.genderRatios.resize(std::size_t(kInternalSpecies + 1));
    data.abilities.resize(std::size_t(kInternalSpecies + 1));
    for (std::size_t id = 1; id <= std::size_t(kInternalSpecies); ++id) {
        const std::uint8_t* e = bytes.data() + id * kEntry;
        // Entries of base data, or bytes that only happen to follow the pointer.
        if (e[kTypesAt] > kLastType || e[kTypesAt + 1] > kLastType || e[kGrowthAt] > kLastGrowth || e[kEggGroupsAt] > kLastEggGroup ||
            e[kEggGroupsAt + 1] > kLastEggGroup || e[kAbilitiesAt] > kLastAbility || e[kAbilitiesAt + 1] > kLastAbility) {
            return std::optional<ThirdGenerationData>();
        }
        data.genderRatios[id] = e[kRatioAt];
        data.abilities[id] = {e[kAbilitiesAt], e[kAbilitiesAt + 1]};
    }
    // The names, each of 13 bytes ending with 0xFF, as many as the abilities the species have.
    constexpr std::uint32_t kAbilityName = 13;
    auto names = gen3::findAbilityNames(file, size);
    if (!names) return names.error();
    const std::uint32_t count = kLastAbility + 1;
    if (*names && **names + std::uint64_t(count) * kAbilityName <= std::uint64_t(size)) {
        std::vector<std::uint8_t> text(count * kAbilityName);
        if (auto read = readExactly(file, **names, text); !read) return read.error();
        for (std::uint32_t a = 0; a < count; ++a) {
            const auto name = std::span<const std::uint8_t>(text).subspan(a * kAbilityName, kAbilityName);
            const auto end = std::find(name.begin(), name.end(), charset.terminator());
            if (end == name.end() || !std::all_of(name.begin(), end, [&](std::uint8_t b) { return charset.printable(b); })) {
                data.abilityNames.clear();
                break;
            }
            data.abilityNames.push_back(toUtf8(shownName(name, charset)));
        }
    }
    return std::optional<ThirdGenerationData>(std::move(data));
}

Result<std::vector<std::array<std::uint16_t, 9>>> readThirdGenerationMail(File& file, const Rom& rom) {
    constexpr std::uint32_t kRow = 20;
    std::vector<std::array<std::uint16_t, 9>> rows;
    const ThirdGenerationRow& row = thirdGenerationRow(*rom.release);
    if (!rom.table || rom.table->offset != row.usualTable || rom.table->records > row.ownRecords) return rows;
    const std::uint32_t at = row.usualTable + std::uint32_t(row.ownRecords) * gen3::kRecordSize;
    std::vector<std::uint8_t> bytes(std::size_t(row.mailRows) * kRow);
    if (at + bytes.size() > std::uint64_t(rom.size.file)) return rows;
    if (auto read = readExactly(file, at, bytes); !read) return read.error();
    for (int r = 0; r < row.mailRows; ++r) {
        std::array<std::uint16_t, 9> words{};
        for (std::size_t w = 0; w < words.size(); ++w) {
            words[w] = std::uint16_t(readLittleEndian(std::span<const std::uint8_t>(bytes).subspan(std::size_t(r) * kRow + 2 * w, 2)));
        }
        rows.push_back(words);
    }
    return rows;
}

Result<std::optional<ItemNames>> readThirdGenerationItems(File& file, const Release& release, std::int64_t size) {
    constexpr std::uint32_t kEntry = 44, kNameLength = 14, kNumberAt = 14;
    constexpr std::size_t kMostItems = 1024, kFewestItems = 300;
    auto at = gen3::findItems(file, size);
    if (!at) return at.error();
    if (!*at) return std::optional<ItemNames>();
    std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(kMostItems * kEntry, std::uint64_t(size) - **at));
    if (auto read = readExactly(file, **at, bytes); !read) return read.error();
    const Charset& charset = release.charset();
    ItemNames names{"None"};
    for (std::size_t item = 1; (item + 1) * kEntry <= bytes.size(); ++item) {
        const auto entry = std::span<const std::uint8_t>(bytes).subspan(item * kEntry, kEntry);
        if (readLittleEndian(entry.subspan(kNumberAt, 2)) != item) break;
        const auto name = entry.first(kNameLength);
        if (std::find(name.begin(), name.end(), charset.terminator()) == name.end()) break;
        names.push_back(toUtf8(shownName(name, charset)));
    }
    if (names.size() < kFewestItems) return std::optional<ItemNames>();
    return std::optional<ItemNames>(std::move(names));
}

}  // namespace kestrane
