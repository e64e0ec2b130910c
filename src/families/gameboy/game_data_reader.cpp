#include "families/gameboy/game_data_reader.h"

#include <algorithm>
#include <array>
#include <variant>
#include <vector>

#include "families/gameboy/charsets.h"
#include "platform/gb/banks.h"
#include "platform/gb/cartridge.h"
#include "platform/gb/code_search.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "text/game_text.h"

namespace kestrane {
namespace {

constexpr std::size_t kMaxItemName = 12;
// The most names read where a release does not say how many items it has.
constexpr int kMostItems = 0x400;

// Where the item names begin through GetName's code, and whether its list
// counts them from 0 (a name of item 0 first); none where the code is not
// in bank 0 in either form, or its copies disagree. Only a failing read is an error.
struct ItemList {
    std::uint32_t at;
    bool fromZero;
};
Result<std::optional<ItemList>> itemNamesThroughCode(File& file, const GameBoyRow& release) {
    const CodePlace& code = release.tables.itemNamesRoutine;
    std::vector<std::uint8_t> home(kBankSize);
    auto got = readUpTo(file, 0, home);
    if (!got) return got.error();
    home.resize(*got);
    std::optional<std::pair<std::uint32_t, bool>> found;  // NamesPointers, counted from 0
    const auto forms = code.forms();
    for (std::size_t form = 0; form < forms.count; ++form) {
        for (const RoutineCopy& copy : copiesIn(home, 0, *forms.forms[form])) {
            if (!copy.pointers.front()) return std::optional<ItemList>();
            const std::pair<std::uint32_t, bool> reads{*copy.pointers.front(), form == 1};
            if (found && *found != reads) return std::optional<ItemList>();
            found = reads;
        }
    }
    if (!found) return std::optional<ItemList>();
    std::array<std::uint8_t, 3> entry{};  // the bank, then the address
    const std::uint32_t entryAt = found->first + 3u * release.tables.itemNamesEntry;
    if (entryAt + entry.size() > home.size()) return std::optional<ItemList>();
    std::copy_n(home.begin() + entryAt, entry.size(), entry.begin());
    const auto at = offsetInBank(entry[0], readLittleEndian16(std::span(entry).subspan(1, 2)));
    if (!at) return std::optional<ItemList>();
    return std::optional<ItemList>(ItemList{*at, found->second});
}

}  // namespace

Result<std::optional<ItemNames>> readItemNames(File& file, const GameBoyRow& release) {
    std::uint32_t from = release.tables.itemNames;
    bool fromZero = false;
    if (release.tables.itemNamesRoutine.routine) {
        auto list = itemNamesThroughCode(file, release);
        if (!list) return list.error();
        if (!*list) return std::optional<ItemNames>();
        from = (*list)->at, fromZero = (*list)->fromZero;
    }
    if (from == 0) return std::optional<ItemNames>();  // a release whose item names are not read
    // A fixed count must all be names; "as many as there are" ends at the
    // first that is none. Items named by the code are bytes: 255 at most.
    const bool fixed = release.tables.itemCount > 0;
    const int count = fixed ? release.tables.itemCount : release.tables.itemNamesRoutine.routine ? 0xFF : kMostItems;
    const std::uint8_t terminator = release.charset().terminator();
    std::vector<std::uint8_t> bytes(std::size_t(count + 1) * (kMaxItemName + 1));
    auto got = readUpTo(file, from, bytes);
    if (!got) return got.error();
    bytes.resize(*got);
    ItemNames names = {"None"};
    names.reserve(std::size_t(count));
    std::size_t at = 0;
    for (int item = fromZero ? 0 : 1; item <= count; ++item) {
        std::size_t end = at;
        bool plain = true;
        while (plain && end < bytes.size() && end - at <= kMaxItemName && bytes[end] != terminator) plain = release.charset().printable(bytes[end++]);
        // Item 0's name (a list counted from 0) may be empty: no item shows it.
        if (!plain || end >= bytes.size() || bytes[end] != terminator || (end == at && item > 0)) {
            if (fixed || item == (fromZero ? 0 : 1)) return std::optional<ItemNames>();
            break;
        }
        // The 256th of a fixed table is what item 0 would print, as is the
        // first of a list counted from 0: Kestrane calls it "None".
        if (item > 0 && (!fixed || item < count)) names.push_back(toUtf8(decodeGameText(std::span(bytes).subspan(at, end - at), release.charset())));
        at = end + 1;
    }
    return std::optional<ItemNames>(std::move(names));
}

namespace {

// Where the names of species 1 and up lie, through the routine that names
// a species (the release's SpeciesNamesTable), or why they are not found.
Result<std::variant<std::uint32_t, std::string>> namesThroughRoutine(File& file, const GameBoyRow& release, std::int64_t size) {
    using Found = std::variant<std::uint32_t, std::string>;
    const CodePlace& code = *release.tables.speciesNames.routine;
    const RoutinePattern& form = *code.routine;
    // The sum lies within the routine's first bytes; a hack may move the routine anywhere.
    std::array<std::uint8_t, 64> head{};
    auto got = readUpTo(file, code.at, head);
    if (!got) return got.error();
    std::optional<RoutineCopy> copy;
    for (std::size_t i = 0; i + form.bytes.size() <= *got && !copy; ++i) {
        if (routineAt(std::span(head).first(*got), i, form)) copy = RoutineCopy{code.at + std::uint32_t(i), {}, {readLittleEndian16(std::span(head).subspan(i + form.pointersAt[0], 2))}};
    }
    if (!copy) {
        auto found = routineAnywhere(file, form, std::min(size, kLargestRomSize));
        if (!found) return found.error();
        if (!found->found()) return Found("the routine that names a species is not in the file");
        const auto& first = found->copies.front();
        if (std::any_of(found->copies.begin(), found->copies.end(), [&](const RoutineCopy& c) { return c.addresses != first.addresses; })) {
            return Found(counted(std::int64_t(found->copies.size()), "copy", "copies") + " of the routine that names a species point to different names");
        }
        copy = first;
    }
    if (const auto bankAt = release.tables.speciesNames.bankInRoutine) {
        std::array<std::uint8_t, 1> bank{};
        if (auto read = readExactly(file, copy->at + *bankAt, bank); !read) return read.error();
        const auto names = offsetInBank(bank[0], copy->addresses.front());
        if (!names) return Found("the routine that names a species, at " + hexOffset(copy->at) + ", points outside bank 0x" + toPaddedHex(bank[0], 2));
        return Found(*names + release.tables.speciesNames.length);
    }
    // The bank: what the routine's last `ld a, n` before the sum switches to.
    constexpr std::uint32_t kBefore = 32;
    std::array<std::uint8_t, kBefore> before{};
    const std::uint32_t from = copy->at >= kBefore ? copy->at - kBefore : 0;
    auto read = readUpTo(file, from, std::span(before).first(copy->at - from));
    if (!read) return read.error();
    std::optional<std::uint8_t> bank;
    for (std::size_t i = 0; i + 1 < *read; ++i) {
        if (before[i] == 0x3E) bank = before[i + 1];
    }
    if (!bank) return Found("the routine that names a species, at " + hexOffset(copy->at) + ", switches to no bank before it");
    const auto names = offsetInBank(*bank, copy->addresses.front());
    if (!names) return Found("the routine that names a species, at " + hexOffset(copy->at) + ", points outside bank 0x" + toPaddedHex(*bank, 2));
    return Found(*names + release.tables.speciesNames.length);
}

// The 16-bit species base's base data, through its indirect table.
Result<std::optional<BaseData>> indirectBaseData(File& file, const GameBoyRow& release, std::int64_t size) {
    constexpr int kMostChunks = 64;
    std::vector<std::uint8_t> table(2 + 4 * kMostChunks + 1);
    auto got = readUpTo(file, release.tables.baseData, table);
    if (!got) return got.error();
    table.resize(*got);
    if (table.size() < 2) return std::optional<BaseData>();
    const std::uint16_t header = readLittleEndian16(table);
    const std::uint32_t entrySize = header & 0x7FFF;
    const int firstId = header >> 15;
    if (entrySize <= kPictureSizeAt || entrySize > 0x100) return std::optional<BaseData>();
    BaseData data;
    int id = firstId;
    for (std::size_t chunk = 2; chunk + 4 <= table.size() && table[chunk] != 0; chunk += 4) {
        const std::uint32_t count = table[chunk];
        const auto at = offsetInBank(table[chunk + 1], readLittleEndian16(std::span(table).subspan(chunk + 2, 2)));
        const std::uint32_t bytes = count * entrySize;
        // A chunk lies in one bank, in the file.
        if (!at || *at % kBankSize + bytes > kBankSize || *at + std::int64_t(bytes) > size) return std::optional<BaseData>();
        std::vector<std::uint8_t> entries(bytes);
        if (auto read = readExactly(file, *at, entries); !read) return read.error();
        data.genderRatios.resize(std::size_t(id) + count);
        data.pictureSizes.resize(std::size_t(id) + count);
        for (std::uint32_t i = 0; i < count; ++i, ++id) {
            data.genderRatios[std::size_t(id)] = entries[i * entrySize + kGenderRatioAt];
            data.pictureSizes[std::size_t(id)] = entries[i * entrySize + kPictureSizeAt];
        }
    }
    if (id == firstId) return std::optional<BaseData>();
    data.lastId = id - 1;
    return std::optional<BaseData>(std::move(data));
}

}  // namespace

Result<RomSpeciesNames> readSpeciesNames(File& file, const GameBoyRow& release, int count, std::int64_t size) {
    const std::size_t length = release.tables.speciesNames.length;
    std::uint32_t first = release.tables.speciesNames.at;
    if (release.tables.speciesNames.routine) {
        auto found = namesThroughRoutine(file, release, size);
        if (!found) return found.error();
        if (const auto* why = std::get_if<std::string>(&*found)) return RomSpeciesNames{{}, *why};
        first = std::get<std::uint32_t>(*found);
    }
    std::vector<std::uint8_t> bytes(std::size_t(count) * length);
    auto got = readUpTo(file, first, bytes);
    if (!got) return got.error();
    if (*got < bytes.size()) return RomSpeciesNames{{}, "the file ends before them"};
    const Charset& charset = release.charset();
    const std::uint8_t terminator = charset.terminator();
    RomSpeciesNames read;
    read.names.reserve(std::size_t(count));
    for (int species = 1; species <= count; ++species) {
        const auto entry = std::span(bytes).subspan(std::size_t(species - 1) * length, length);
        const auto end = std::find(entry.begin(), entry.end(), terminator);
        const bool plain = std::all_of(entry.begin(), end, [&](std::uint8_t b) { return charset.printable(b); }) &&
                           std::all_of(end, entry.end(), [&](std::uint8_t b) { return b == terminator; });
        // Said only where an entry fails.
        auto where = [&] { return "entry " + std::to_string(species) + " (at " + hexOffset(first + std::uint32_t(species - 1) * length) + ")"; };
        if (end == entry.begin()) return RomSpeciesNames{{}, where() + " is empty"};
        if (!plain) return RomSpeciesNames{{}, where() + " is not plain game text"};
        read.names.push_back(toUtf8(decodeGameText(std::span(entry.begin(), end), charset)));
    }
    return read;
}

Result<std::optional<BaseData>> readBaseData(File& file, const GameBoyRow& release, std::int64_t size) {
    if (release.tables.baseDataForm == BaseDataForm::None) return std::optional<BaseData>();
    if (release.tables.baseDataForm == BaseDataForm::Indirect) return indirectBaseData(file, release, size);
    std::vector<std::uint8_t> bytes(kDexSpecies * kBaseDataEntry);
    auto got = readUpTo(file, release.tables.baseData, bytes);
    if (!got) return got.error();
    if (*got < bytes.size()) return std::optional<BaseData>();
    BaseData data;
    data.genderRatios.resize(kDexSpecies + 1);
    data.pictureSizes.resize(kDexSpecies + 1);
    for (int species = 1; species <= kDexSpecies; ++species) {
        const std::size_t entry = std::size_t(species - 1) * kBaseDataEntry;
        if (bytes[entry] != species) return std::optional<BaseData>();
        data.genderRatios[std::size_t(species)] = bytes[entry + kGenderRatioAt];
        data.pictureSizes[std::size_t(species)] = bytes[entry + kPictureSizeAt];
    }
    data.lastId = kDexSpecies;
    return std::optional<BaseData>(data);
}

}  // namespace kestrane
