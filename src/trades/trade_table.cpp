#include "trades/trade_table.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/words.h"
#include "trades/banks.h"
#include "trades/fields.h"
#include "trades/slot.h"

namespace kestrane {
namespace {

constexpr int kMinScanRun = 6;
// How many of a kind a message names before "and N more".
constexpr std::size_t kNamed = 4;

// The routine that reads the table; -1 marks bytes that differ between
// games. Each "add hl, de" (0x19) after the address adds the index once
// more: the layout says how many.
constexpr std::array<int, 16> kRoutineStart = {0x16, 0x00, 0xD5, 0xFA, -1, -1,   0xE6, 0x0F,
                                               0xCB, 0x37, 0x5F, 0x16, 0x00, 0x21, -1, -1};
constexpr std::array<int, 3> kRoutineEnd = {0xD1, 0x19, 0xC9};
constexpr std::size_t kRoutineAddressAt = 14;
constexpr std::size_t kAnchor = 8;  // CB 37, "swap a": a rare pair to search for

std::size_t routineLength(const RecordLayout& layout) {
    return kRoutineStart.size() + layout.routineAdds + kRoutineEnd.size();
}

bool routineAt(std::span<const std::uint8_t> bytes, std::size_t at, const RecordLayout& layout) {
    if (at + routineLength(layout) > bytes.size()) return false;
    for (std::size_t i = 0; i < kRoutineStart.size(); ++i) {
        if (kRoutineStart[i] >= 0 && bytes[at + i] != kRoutineStart[i]) return false;
    }
    std::size_t i = at + kRoutineStart.size();
    for (std::uint32_t add = 0; add < layout.routineAdds; ++add) {
        if (bytes[i++] != 0x19) return false;
    }
    return std::equal(kRoutineEnd.begin(), kRoutineEnd.end(), bytes.begin() + std::ptrdiff_t(i));
}

// Where a routine at file offset `at` (its bytes first in `routine`) says the
// table is, or none when the address lies outside the routine's own bank.
std::optional<std::uint32_t> routineTarget(std::span<const std::uint8_t> routine, std::uint32_t at) {
    return offsetInBank(bankOf(at), readLittleEndian16(routine.subspan(kRoutineAddressAt, 2)));
}

struct Count {
    int records = 0;
    bool endedByFile = false;  // the next record would have run past the bytes
    RecordFault fault = RecordFault::None;  // of the record that ended the count, if one did
};

// The records that pass from the start of `bytes`, the table's first byte.
Count countRecords(std::span<const std::uint8_t> bytes, const Release& release, FoundBy how) {
    const std::size_t size = release.layout.size;
    Count count;
    while (count.records < kMaxRecords) {
        if (std::size_t(count.records + 1) * size > bytes.size()) {
            count.endedByFile = true;
            break;
        }
        count.fault = tradeRecordFault(bytes.subspan(std::size_t(count.records) * size, size), count.records, release, how);
        if (count.fault != RecordFault::None) break;
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

// Why the records at a place are no table, for a message.
std::string whyNoTable(const Count& count, std::span<const std::uint8_t> bytes, const Release& release) {
    if (count.fault == RecordFault::None) return "the file ends before the table's end";
    const RecordView record = bytes.subspan(std::size_t(count.records) * release.layout.size, release.layout.size);
    return "the record of " + Slot::ofRecord(count.records).name() + " fails the checks: " +
           recordFaultText(count.fault, record, release.layout);
}

// Bytes of the file read into memory, without clearing them first.
struct FileBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t length = 0;
    std::span<const std::uint8_t> bytes() const { return {data.get(), length}; }
};

Result<void> readRegion(File& file, std::int64_t from, std::int64_t to, FileBytes& region) {
    region.length = std::size_t(std::max<std::int64_t>(0, to - from));
    region.data.reset(new std::uint8_t[region.length]);
    return readExactly(file, from, std::span(region.data.get(), region.length));
}

// A table the game's routine points to, or why it is none.
struct Pointed {
    std::optional<TradeTable> table;
    std::string why;  // "points outside its own bank", "points to 0x..., where ..."
};

// `read`: bytes already read from the file at `readAt` (the whole read,
// however short); where they hold the table's place it is not read again.
Result<Pointed> tableAt(File& file, const Release& release, std::optional<std::uint32_t> target, const RomSize& size,
                        std::span<const std::uint8_t> read = {}, std::uint32_t readAt = 0, std::size_t readWanted = 0) {
    if (!target) return Pointed{std::nullopt, "points outside its own bank"};
    if (*target >= std::uint64_t(size.file)) {
        return Pointed{std::nullopt, "points to " + hexOffset(*target) + ", past the end of the file"};
    }
    std::array<std::uint8_t, kMaxRecordSize * kMaxRecords> buffer;
    const std::size_t wanted = release.layout.size * kMaxRecords;
    std::span<const std::uint8_t> bytes;
    std::size_t got = 0;
    if (*target >= readAt && *target - readAt + wanted <= readWanted) {
        const std::size_t from = std::min<std::size_t>(*target - readAt, read.size());
        bytes = read.subspan(from, std::min(wanted, read.size() - from));
        got = bytes.size();
    } else {
        auto length = readUpTo(file, *target, std::span(buffer).first(wanted));
        if (!length) return length.error();
        got = *length;
        bytes = std::span<const std::uint8_t>(buffer).first(got);
    }
    const FoundBy how = *target == release.usualTable ? FoundBy::UsualPlace : FoundBy::TableRoutine;
    const Count count = countRecords(bytes, release, how);
    if (auto records = tableRecords(count, got < wanted, release, size)) {
        return Pointed{TradeTable{*target, *records, how}, {}};
    }
    return Pointed{std::nullopt, "points to " + hexOffset(*target) + ", where " + whyNoTable(count, bytes, release)};
}

struct FoundRoutine {
    std::uint32_t at;
    std::optional<std::uint32_t> target;
};

// Every copy of the routine in `bytes`, which start at file offset `base`.
std::vector<FoundRoutine> findRoutines(std::span<const std::uint8_t> bytes, std::uint32_t base, const RecordLayout& layout) {
    std::vector<FoundRoutine> found;
    forEachBytePair(bytes, 0xCB, 0x37, 1, [&](std::size_t anchor) {
        if (anchor < kAnchor || !routineAt(bytes, anchor - kAnchor, layout)) return;
        const auto at = std::uint32_t(base + anchor - kAnchor);
        found.push_back({at, routineTarget(bytes.subspan(anchor - kAnchor), at)});
    });
    return found;
}

// Every copy of the routine in the file's first `searched` bytes.
Result<std::vector<FoundRoutine>> findRoutinesIn(File& file, std::int64_t searched, const RecordLayout& layout) {
    std::vector<FoundRoutine> found;
    auto searchedAll = searchInPieces(file, searched, routineLength(layout) - 1,
                                      [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
                                          for (const FoundRoutine& routine : findRoutines(piece, std::uint32_t(at), layout)) {
                                              if (routine.at < next) found.push_back(routine);
                                          }
                                      });
    if (!searchedAll) return searchedAll.error();
    return found;
}

struct Run {
    std::uint32_t start;
    int records;
};

struct Scan {
    std::vector<Run> runs;    // six to sixteen records: candidates
    std::size_t tooLong = 0;  // runs of more records than a table holds
};

// Maximal runs of records that pass the stricter checks. A run that the
// end of a cut-off file ends is the game's whole table, cut.
Scan scanForRuns(std::span<const std::uint8_t> bytes, const Release& release, const RomSize& size) {
    const RecordLayout& layout = release.layout;
    Scan scan;
    if (bytes.size() < layout.size) return scan;
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
        if (length > kMaxRecords) {
            ++scan.tooLong;
            continue;
        }
        const bool endedByFile = start + std::uint64_t(length + 1) * layout.size > bytes.size();
        const auto records = tableRecords({length, endedByFile, RecordFault::None}, bytes.size() >= std::uint64_t(size.file),
                                          release, size);
        scan.runs.push_back({start, records.value_or(length)});
    }
    return scan;
}

// "0xFCDC2, 0xFEB2A, 0x100000 and 12 more"
template <typename T, typename Text>
std::string someOf(const std::vector<T>& all, Text text) {
    std::vector<std::string> named;
    for (std::size_t i = 0; i < all.size() && i < kNamed; ++i) named.push_back(text(all[i]));
    return joinedList(named, all.size() > kNamed ? all.size() - kNamed : 0);
}

Error noTable(const Release& release, const std::string& why) {
    return refused(ErrorCode::NoTradeTable,
                   std::string(release.name) + " keeps its trade table at " + hexOffset(release.usualTable) + ", but " +
                       why + ". This ROM may keep its trades in another format; Kestrane shows and changes none of "
                             "them. The file was not changed.");
}

// The game's routine points to no table: the game reads none other, so
// neither does Kestrane.
Error routineRefused(const Release& release, const std::string& where, const std::string& why) {
    return noTable(release, "the game's own routine that reads it, " + where + ", " + why +
                                "; Kestrane takes no other place for the table, since the game reads none other");
}

}  // namespace

RecordFault tradeRecordFault(RecordView record, int recordIndex, const Release& release, FoundBy foundBy) {
    const int dialogSets = int(release.dialogSets.size());
    return recordIndex < release.ownRecords && foundBy != FoundBy::RecordScan
               ? recordFault(record, release.layout, dialogSets)
               : strictRecordFault(record, release.layout, dialogSets, release.charset());
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
    const RecordLayout& layout = release.layout;

    // 1. The routine at its own place; one read takes it and the usual table after it.
    std::array<std::uint8_t, 0x200 + kMaxRecordSize * kMaxRecords> near;
    const std::size_t usualAt = release.usualTable - release.tableRoutine;
    const std::size_t wanted = usualAt + layout.size * kMaxRecords;
    auto length = readUpTo(file, release.tableRoutine, std::span(near).first(wanted));
    if (!length) return inContext(length.error(), where());
    const auto nearBytes = std::span<const std::uint8_t>(near).first(*length);
    if (routineAt(nearBytes, 0, layout)) {
        auto pointed = tableAt(file, release, routineTarget(nearBytes, release.tableRoutine), size, nearBytes, release.tableRoutine, wanted);
        if (!pointed) return inContext(pointed.error(), where());
        if (pointed->table) return *pointed->table;
        return routineRefused(release, "at " + hexOffset(release.tableRoutine), pointed->why);
    }

    // 2. The routine anywhere else, in no more than the largest ROM.
    const std::int64_t searched = std::min(size.file, kLargestRomSize);
    auto foundRoutines = findRoutinesIn(file, searched, layout);
    if (!foundRoutines) return inContext(foundRoutines.error(), where());
    const std::vector<FoundRoutine>& routines = *foundRoutines;
    if (!routines.empty()) {
        const auto target = routines.front().target;
        const auto other = std::find_if(routines.begin(), routines.end(), [&](const FoundRoutine& r) { return r.target != target; });
        if (other != routines.end()) {
            return noTable(release, counted(std::int64_t(routines.size()), "copy", "copies") +
                                        " of the routine that reads it point to different places (" +
                                        someOf(routines, [](const FoundRoutine& r) {
                                            return "at " + hexOffset(r.at) + " to " + (r.target ? hexOffset(*r.target) : "outside its bank");
                                        }) +
                                        "), so Kestrane cannot tell which table the game reads");
        }
        auto pointed = tableAt(file, release, target, size);
        if (!pointed) return inContext(pointed.error(), where());
        if (pointed->table) return *pointed->table;
        std::string at = "at " + hexOffset(routines.front().at);
        if (routines.size() > 1) at += " (and " + counted(std::int64_t(routines.size() - 1), "copy", "copies") + " more)";
        return routineRefused(release, at, pointed->why);
    }

    // 3. No routine at all: the usual place, else the scan.
    const auto usual = nearBytes.subspan(std::min(usualAt, nearBytes.size()));
    const Count count = countRecords(usual, release, FoundBy::UsualPlace);
    if (auto records = tableRecords(count, *length < wanted, release, size)) {
        return TradeTable{release.usualTable, *records, FoundBy::UsualPlace};
    }
    FileBytes region;
    if (auto read = readRegion(file, 0, searched, region); !read) return inContext(read.error(), where());
    const Scan scan = scanForRuns(region.bytes(), release, size);
    if (scan.runs.size() == 1) return TradeTable{scan.runs[0].start, scan.runs[0].records, FoundBy::RecordScan};
    const std::int64_t tableEnd = release.usualTable + std::int64_t(release.ownRecords) * layout.size;
    std::string why = size.file < tableEnd ? "the file ends at " + std::to_string(size.file) + " bytes, before that table's end"
                                           : "the bytes there are not trade records (" + whyNoTable(count, usual, release) + ")";
    why += ". No other trade table was found: the routine that reads the table is not in the file, and a search of the "
           "whole file found ";
    if (scan.runs.empty()) {
        why += "no run of trade records";
    } else {
        why += std::to_string(scan.runs.size()) + " runs of trade records (at " +
               someOf(scan.runs, [](const Run& r) { return hexOffset(r.start); }) + "), so it cannot tell which is the table";
    }
    if (scan.tooLong) why += " (and " + counted(std::int64_t(scan.tooLong), "run") + " longer than a table can be)";
    return noTable(release, why);
}

}  // namespace kestrane
