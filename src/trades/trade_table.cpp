#include "trades/trade_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "trades/fields.h"
#include "trades/record.h"
#include "trades/slot.h"

namespace kestrane {
namespace {

constexpr std::uint32_t kBankSize = 0x4000;
constexpr int kMinScanRun = 6;

// The routine that reads the table; -1 marks bytes that differ between
// games. Each "add hl, de" (0x19) after the address adds the index once more:
// two for 32-byte records, one for 16-byte ones.
constexpr std::array<int, 16> kRoutineStart = {0x16, 0x00, 0xD5, 0xFA, -1, -1,   0xE6, 0x0F,
                                               0xCB, 0x37, 0x5F, 0x16, 0x00, 0x21, -1, -1};
constexpr std::array<int, 4> kRoutineEnd = {0x19, 0xD1, 0x19, 0xC9};
constexpr std::size_t kRoutineAddressAt = 14;

std::size_t routineLength(const RecordLayout& layout) {
    return kRoutineStart.size() + (layout.size == 32 ? 1 : 0) + kRoutineEnd.size();
}

struct Count {
    int records = 0;
    bool endedByFile = false;  // the next record would have run past the bytes
};

// The records that pass from the start of `bytes`, the table's first byte.
Count countRecords(std::span<const std::uint8_t> bytes, const Release& release) {
    const std::size_t size = release.layout.size;
    Count count;
    while (count.records < kMaxRecords) {
        if (std::size_t(count.records + 1) * size > bytes.size()) {
            count.endedByFile = true;
            break;
        }
        if (!isTradeRecord(bytes.subspan(std::size_t(count.records) * size, size), count.records, release)) break;
        ++count.records;
    }
    return count;
}

// The records a table is taken to have, or none where it is no table: its
// records pass up to the game's own count, or, in a file cut off, up to the
// file's end (then the game's own count, those past the end missing).
// `atEnd`: the counted bytes run to the end of the file.
std::optional<int> tableRecords(Count count, bool atEnd, const Release& release, const RomSize& size) {
    if (count.records >= release.ownRecords) return count.records;
    if (count.endedByFile && atEnd && size.cutOff() && count.records > 0) return release.ownRecords;
    return std::nullopt;
}

bool routineAt(std::span<const std::uint8_t> bytes, std::size_t at, const RecordLayout& layout) {
    for (std::size_t i = 0; i < kRoutineStart.size(); ++i) {
        if (kRoutineStart[i] >= 0 && bytes[at + i] != kRoutineStart[i]) return false;
    }
    std::size_t i = at + kRoutineStart.size();
    if (layout.size == 32 && bytes[i++] != 0x19) return false;
    return std::equal(kRoutineEnd.begin(), kRoutineEnd.end(), bytes.begin() + std::ptrdiff_t(i));
}

// Where a routine (its bytes, at file offset `at`) says the table is, or
// nothing when its address lies outside its own bank.
std::optional<std::uint32_t> routineTarget(std::span<const std::uint8_t> routine, std::size_t at) {
    const std::uint16_t address = readLittleEndian16(routine.subspan(kRoutineAddressAt, 2));
    const auto bank = std::uint32_t(at / kBankSize);
    if (bank == 0) return address < kBankSize ? std::optional<std::uint32_t>(address) : std::nullopt;
    if (address < kBankSize || address >= 2 * kBankSize) return std::nullopt;
    return bank * kBankSize + (address - kBankSize);
}

struct Search {
    std::vector<std::string> routineNotes;  // what each routine found pointed to
    std::vector<std::pair<std::uint32_t, int>> routineTables;  // start, records
    std::vector<std::pair<std::uint32_t, int>> runs;           // start, records
};

// Routines in `bytes`, which start at file offset `base` and run to the
// end of the file or of a bank (a routine's table lies in its own bank).
void findByRoutine(std::span<const std::uint8_t> bytes, std::uint32_t base, const Release& release,
                   const RomSize& size, Search& found) {
    constexpr std::size_t kAnchor = 8;  // CB 37: "swap a", then the table's index is a multiple of 16
    forEachBytePair(bytes, 0xCB, 0x37, 1, [&](std::size_t anchor) {
        if (anchor < kAnchor || anchor - kAnchor + routineLength(release.layout) > bytes.size()) return;
        const std::size_t at = anchor - kAnchor;
        if (!routineAt(bytes, at, release.layout)) return;
        const std::size_t offset = base + at;
        auto target = routineTarget(bytes.subspan(at), offset);
        const std::string where = "the routine that reads the table, at " + hexOffset(std::uint32_t(offset));
        if (!target || *target < base || *target >= base + bytes.size()) {
            found.routineNotes.push_back(where + ", points outside " + (target ? "the file" : "its own bank"));
            return;
        }
        const bool atEnd = base + bytes.size() >= std::uint64_t(size.file);
        auto records = tableRecords(countRecords(bytes.subspan(*target - base), release), atEnd, release, size);
        if (!records) {
            found.routineNotes.push_back(where + ", points to " + hexOffset(*target) +
                                         ", where there are no trade records either");
            return;
        }
        auto same = [&](const auto& table) { return table.first == *target; };
        if (std::none_of(found.routineTables.begin(), found.routineTables.end(), same)) {
            found.routineTables.emplace_back(*target, *records);
        }
    });
}

// Maximal runs of at least six records that pass the stricter checks. A
// run that the end of a cut-off file ends is the game's whole table, cut.
void findByScan(std::span<const std::uint8_t> bytes, const Release& release, const RomSize& size, Search& found) {
    const RecordLayout& layout = release.layout;
    if (bytes.size() < layout.size) return;
    std::vector<std::uint32_t> passing;
    auto consider = [&](std::size_t offset) {
        if (offset + layout.size <= bytes.size() &&
            passesStrictRecordChecks(bytes.subspan(offset, layout.size), layout, int(release.dialogSets.size()),
                                     release.charset())) {
            passing.push_back(std::uint32_t(offset));
        }
    };
    if (layout.zeroAt && layout.trainerName.terminated) {
        // The trainer's name is ended by 0x50 two bytes before the zero: a rare pair.
        const std::size_t anchor = layout.trainerName.at + layout.trainerName.length;
        forEachBytePair(bytes, kTerminator, 0x00, *layout.zeroAt - anchor, [&](std::size_t at) {
            if (at >= anchor) consider(at - anchor);
        });
    } else {
        for (std::size_t offset = 0; offset + layout.size <= bytes.size(); ++offset) {
            // Most bytes fail the first checks: a dialog set and a gender requirement the games know.
            if (bytes[offset + layout.dialogSetAt] < release.dialogSets.size() &&
                bytes[offset + layout.genderRequirementAt] < kGenderRequirements.size()) {
                consider(offset);
            }
        }
    }
    const std::unordered_set<std::uint32_t> passes(passing.begin(), passing.end());
    for (std::uint32_t start : passing) {
        if (start >= layout.size && passes.count(start - layout.size)) continue;  // inside a longer run
        int length = 0;
        while (passes.count(start + std::uint32_t(length) * layout.size)) ++length;
        if (length < kMinScanRun) continue;
        const bool endedByFile = start + std::uint64_t(length + 1) * layout.size > bytes.size();
        const auto records = tableRecords({length, endedByFile}, bytes.size() >= std::uint64_t(size.file), release, size);
        found.runs.emplace_back(start, std::min(records.value_or(length), kMaxRecords));
    }
}

// Bytes of the file read into memory, without clearing them first.
struct Region {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t length = 0;
    std::span<const std::uint8_t> bytes() const { return {data.get(), length}; }
};

Result<void> readRegion(File& file, std::int64_t from, std::int64_t to, Region& region) {
    region.length = std::size_t(std::max<std::int64_t>(0, to - from));
    region.data.reset(new std::uint8_t[region.length]);
    return readExactly(file, from, std::span(region.data.get(), region.length));
}

Error noTable(const Release& release, std::int64_t size, const Search& found) {
    std::string text = std::string(release.name) + " keeps its trade table at " + hexOffset(release.usualTable) + ", but ";
    const std::int64_t tableEnd = release.usualTable + std::int64_t(release.ownRecords) * release.layout.size;
    text += size < tableEnd ? "the file ends at " + std::to_string(size) + " bytes, before that table's end"
                            : "the bytes there are not trade records";
    text += ". No other trade table was found: ";
    if (found.routineNotes.empty()) text += "the routine that reads the table is not in the file";
    for (std::size_t i = 0; i < found.routineNotes.size(); ++i) text += (i ? "; " : "") + found.routineNotes[i];
    if (found.runs.empty()) {
        text += ", and a search of the whole file found no run of trade records";
    } else {
        text += ", and a search of the whole file found " + std::to_string(found.runs.size()) +
                " runs of trade records (at ";
        for (std::size_t i = 0; i < found.runs.size() && i < 4; ++i) {
            text += (i ? ", " : "") + hexOffset(found.runs[i].first);
        }
        text += std::string(found.runs.size() > 4 ? ", ..." : "") + "), so it cannot tell which is the table";
    }
    text += ". This ROM may keep its trades in another format; Kestrane shows and changes none of them. The file "
            "was not changed.";
    return refused(ErrorCode::NoTradeTable, text);
}

}  // namespace

bool isTradeRecord(RecordView record, int recordIndex, const Release& release) {
    const int dialogSets = int(release.dialogSets.size());
    return recordIndex < release.ownRecords ? passesRecordChecks(record, release.layout, dialogSets)
                                            : passesStrictRecordChecks(record, release.layout, dialogSets, release.charset());
}

std::string_view foundByText(FoundBy how) {
    switch (how) {
    case FoundBy::UsualPlace: return "usual place";
    case FoundBy::TableRoutine: return "table routine";
    case FoundBy::RecordScan: return "record scan";
    }
    return {};
}

Result<TradeTable> locateTradeTable(File& file, const Release& release, const std::string& path, const RomSize& size) {
    auto where = [&] { return "Could not read the trade table of " + quoted(path); };

    // 1. The usual place: one read of the largest table there can be.
    std::array<std::uint8_t, kMaxRecordSize * kMaxRecords> usual;
    const std::size_t wanted = release.layout.size * kMaxRecords;
    auto length = readUpTo(file, release.usualTable, std::span(usual).first(wanted));
    if (!length) return inContext(length.error(), where());
    const Count count = countRecords(std::span(usual).first(*length), release);
    if (auto records = tableRecords(count, *length < wanted, release, size)) {
        return TradeTable{release.usualTable, *records, FoundBy::UsualPlace};
    }

    // 2. The routine, first in the bank of the usual place (where the builds
    // keep it), then anywhere; 3. the scan. No further than the largest ROM.
    const std::int64_t searched = std::min(size.file, kLargestRomSize);
    const std::int64_t bank = release.usualTable / kBankSize * kBankSize;
    Search found;
    Region region;
    for (auto [from, to] : {std::pair{bank, std::min(bank + kBankSize, searched)}, std::pair{std::int64_t{0}, searched}}) {
        if (auto read = readRegion(file, from, to, region); !read) return inContext(read.error(), where());
        found = Search{};
        findByRoutine(region.bytes(), std::uint32_t(from), release, size, found);
        if (found.routineTables.size() == 1) {
            const auto [at, records] = found.routineTables.front();
            return TradeTable{at, records, FoundBy::TableRoutine};
        }
    }
    if (found.routineTables.size() > 1) {
        found.routineNotes.push_back(std::to_string(found.routineTables.size()) +
                                     " routines that read a table point to different tables");
    }
    const std::span<const std::uint8_t> bytes = region.bytes();
    findByScan(bytes, release, size, found);
    if (found.runs.size() == 1) return TradeTable{found.runs[0].first, found.runs[0].second, FoundBy::RecordScan};
    return noTable(release, size.file, found);
}

}  // namespace kestrane
