#include "families/gen3/third_generation_places.h"

#include <algorithm>
#include <array>

#include "platform/gba/cartridge.h"
#include "platform/gba/thumb_search.h"
#include "support/utf.h"
#include "text/game_text.h"

namespace kestrane::gen3 {
namespace {

// Overworld_GetMapHeaderByGroupAndId, the same in every release:
// gMapGroups[group][map], its `ldr r2, [pc, #n]` at +4.
constexpr int kMapHeaderRoutine[] = {0x00, 0x04, 0x09, 0x04, -1,   0x4A, 0x80, 0x0B, 0x80, 0x18,
                                     0x00, 0x68, 0x89, 0x0B, 0x09, 0x18, 0x08, 0x68, 0x70, 0x47};
constexpr gba::ThumbPattern kMapHeaderForm{kMapHeaderRoutine, 6};
constexpr std::uint32_t kMapGroupsLoad = 4;

// GetMapName: Ruby and Sapphire's and Emerald's read a table of 8-byte
// entries (the name's pointer at +4) up to the section their `cmp r1, #n`
// allows; FireRed and LeafGreen's a table of pointers from the section
// their pool's word subtracts (0xFFA80000: from 0x58), up to their `cmp r5, #n`.
constexpr int kRubyMapName[] = {0x00, 0xB5, 0x03, 0x1C, 0x09, 0x04, 0x09, 0x0C, 0x12, 0x04, 0x12, 0x0C, -1,   0x29,
                                -1,   0xD1, -1,   -1,   -1,   -1,   -1,   0xE0, -1,   0x29, -1,   0xD8, -1,   0x48,
                                0xC9, 0x00, 0x04, 0x30, 0x09, 0x18, 0x09, 0x68};
constexpr int kEmeraldMapName[] = {0x30, 0xB5, 0x05, 0x1C, 0x09, 0x04, 0x09, 0x0C, 0x12, 0x04, 0x14, 0x0C, -1,   0x29,
                                   -1,   0xD1, -1,   -1,   -1,   -1,   0x01, 0x1C, -1,   0xE0, -1,   0x29, -1,   0xD8,
                                   -1,   0x48, 0xC9, 0x00, 0x04, 0x30, 0x09, 0x18, 0x09, 0x68};
constexpr int kKantoMapName[] = {0x70, 0xB5, 0x06, 0x1C, 0x09, 0x04, 0x12, 0x04, 0x14, 0x0C, 0x08, 0x0C, -1,   0x4A,
                                 0x89, 0x18, 0x0D, 0x0C, -1,   0x2D, -1,   0xD8, -1,   -1,   -1,   -1,   0x01, 0x28,
                                 -1,   0xD1, -1,   0x49, -1,   0xE0, -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,
                                 -1,   -1,   -1,   0x48, 0xA9, 0x00, 0x09, 0x18, 0x09, 0x68};
struct MapNameForm {
    gba::ThumbPattern form;
    std::uint32_t last;      // the byte of the `cmp` that gives the last section
    std::uint32_t load;      // the `ldr` of the table's pointer
    std::optional<std::uint32_t> baseLoad;  // the `ldr` of the word that subtracts the first section
    std::uint32_t entry;     // bytes an entry
    std::uint32_t nameAt;    // where in the entry the name's pointer lies
};
const MapNameForm kMapNameForms[] = {
    {{kRubyMapName, 28}, 22, 26, std::nullopt, 8, 4},
    {{kEmeraldMapName, 30}, 24, 28, std::nullopt, 8, 4},
    {{kKantoMapName, 46}, 18, 44, 12, 4, 0},
};

constexpr std::uint32_t kMostGroups = 64, kMostMaps = 256, kObjectEvent = 24, kScriptAt = 0x10, kMapSectionAt = 0x14;
// How far before the setvar an object event's script may begin (lock, faceplayer and the like).
constexpr std::uint32_t kScriptLead = 16;
constexpr std::size_t kMostNameBytes = 32;

// The file offset a pointer names, where it is one into this file.
std::optional<std::uint32_t> inFile(std::uint32_t pointer, std::int64_t size, std::uint32_t length = 1) {
    auto offset = gba::romOffsetOf(pointer);
    if (!offset || std::int64_t(*offset) + length > size) return std::nullopt;
    return offset;
}

}  // namespace

Result<std::optional<std::map<std::uint32_t, std::uint8_t>>> mapSectionsOfScripts(File& file, std::int64_t size,
                                                                                     const std::vector<TradeScript>& scripts) {
    using Found = std::optional<std::map<std::uint32_t, std::uint8_t>>;
    auto routine = gba::onlyCopy(file, size, kMapHeaderForm);
    if (!routine) return routine.error();
    if (!*routine) return Found();
    auto groupsPointer = gba::loadedWord(file, **routine + kMapGroupsLoad);
    if (!groupsPointer) return groupsPointer.error();
    const auto groups = inFile(*groupsPointer, size, 4);
    if (!groups) return Found();
    std::map<std::uint32_t, std::uint8_t> sections;
    // Each group's maps run up to the next group's (or the first pointer that is no map's).
    std::vector<std::uint32_t> groupAt;
    for (std::uint32_t g = 0; g < kMostGroups; ++g) {
        auto pointer = gba::wordAt(file, *groups + 4 * g);
        if (!pointer) return pointer.error();
        const auto at = inFile(*pointer, size, 4);
        if (!at) break;
        groupAt.push_back(*at);
    }
    for (std::size_t g = 0; g < groupAt.size(); ++g) {
        for (std::uint32_t m = 0; m < kMostMaps; ++m) {
            const std::uint32_t entry = groupAt[g] + 4 * m;
            if ((m > 0 && std::ranges::find(groupAt, entry) != groupAt.end()) || entry == *groups) break;
            auto headerPointer = gba::wordAt(file, entry);
            if (!headerPointer) return headerPointer.error();
            const auto header = inFile(*headerPointer, size, kMapSectionAt + 1);
            if (!header) break;
            auto eventsPointer = gba::wordAt(file, *header + 4);
            if (!eventsPointer) return eventsPointer.error();
            const auto events = inFile(*eventsPointer, size, 8);
            if (!events) continue;
            std::array<std::uint8_t, 8> counts{};
            if (auto read = readExactly(file, *events, counts); !read) return read.error();
            const auto objects = inFile(gba::readWord(counts, 4), size, std::uint32_t(counts[0]) * kObjectEvent);
            if (!objects || counts[0] == 0) continue;
            std::vector<std::uint8_t> templates(counts[0] * std::size_t(kObjectEvent));
            if (auto read = readExactly(file, *objects, templates); !read) return read.error();
            std::array<std::uint8_t, 1> section{};
            if (auto read = readExactly(file, *header + kMapSectionAt, section); !read) return read.error();
            for (std::size_t o = 0; o < counts[0]; ++o) {
                const auto script = gba::romOffsetOf(gba::readWord(templates, o * kObjectEvent + kScriptAt));
                if (!script) continue;
                for (const TradeScript& trade : scripts) {
                    if (*script <= trade.at && trade.at - *script <= kScriptLead) sections.emplace(trade.at, section[0]);
                }
            }
        }
    }
    return Found(std::move(sections));
}

Result<std::optional<std::vector<std::string>>> mapSectionNames(File& file, std::int64_t size, const Charset& charset) {
    using Names = std::optional<std::vector<std::string>>;
    for (const MapNameForm& form : kMapNameForms) {
        auto routine = gba::onlyCopy(file, size, form.form);
        if (!routine) return routine.error();
        if (!*routine) continue;
        std::array<std::uint8_t, 1> last{};
        if (auto read = readExactly(file, **routine + form.last, last); !read) return read.error();
        std::uint32_t first = 0;
        if (form.baseLoad) {
            auto subtracted = gba::loadedWord(file, **routine + *form.baseLoad);
            if (!subtracted) return subtracted.error();
            first = (0x10000u - (*subtracted >> 16)) & 0xFFFF;
        }
        auto tablePointer = gba::loadedWord(file, **routine + form.load);
        if (!tablePointer) return tablePointer.error();
        const std::uint32_t count = std::uint32_t(last[0]) + 1;
        const auto table = inFile(*tablePointer, size, count * form.entry);
        if (!table) return Names();
        std::vector<std::string> names(first + count);
        for (std::uint32_t i = 0; i < count; ++i) {
            auto namePointer = gba::wordAt(file, *table + i * form.entry + form.nameAt);
            if (!namePointer) return namePointer.error();
            const auto at = inFile(*namePointer, size);
            if (!at) continue;
            std::array<std::uint8_t, kMostNameBytes> bytes{};
            auto got = readUpTo(file, *at, bytes);
            if (!got) return got.error();
            const auto text = std::span<const std::uint8_t>(bytes).first(*got);
            // A name is characters up to its 0xFF, none of the engine's codes among them.
            const auto end = std::find(text.begin(), text.end(), charset.terminator());
            if (end == text.end() || end == text.begin() ||
                !std::all_of(text.begin(), end, [&](std::uint8_t b) { return charset.printable(b); })) {
                continue;
            }
            names[first + i] = toUtf8(decodeGameText(std::span<const std::uint8_t>(text.begin(), end + 1), charset));
        }
        return Names(std::move(names));
    }
    return Names();
}

}  // namespace kestrane::gen3
