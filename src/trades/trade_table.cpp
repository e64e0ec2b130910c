#include "trades/trade_table.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <unordered_set>
#include <variant>
#include <vector>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/piece_search.h"
#include "support/words.h"
#include "trades/fields.h"
#include "trades/slot.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {

constexpr int kMinScanRun = 6;
// How many of a kind a message names before "and N more".
constexpr std::size_t kNamed = 12;

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
// `required`: what the family requires (the game's own count, or what its scripts start).
std::optional<int> tableRecords(Count count, bool atEnd, int required, const RomSize& size) {
    if (count.records >= required) return count.records;
    if (count.endedByFile && atEnd && size.cutOff() && count.records > 0) return required;
    return std::nullopt;
}

// Why the records at a place are no table, for a message.
std::string whyNoTable(const Count& count, std::span<const std::uint8_t> bytes, const Release& release) {
    if (count.fault == RecordFault::None) return "the file ends before the table's end";
    const RecordView record = bytes.subspan(std::size_t(count.records) * release.layout.size, release.layout.size);
    return "the record of " + Slot::ofRecord(count.records, release.slotOrder).name() + " fails the checks: " +
           recordFaultText(count.fault, record, release.layout, release.charset());
}

// A table the game's routine points to, or why it is none; `refusal`: a
// table the game would read past its bank's end, said whole.
struct Pointed {
    std::optional<TradeTable> table;
    std::string why;  // "points outside its own bank", "points to 0x..., where ..."
    std::string refusal;
};

// "The trade table at 0x73FF2 runs past the end of its bank (record 2 at 0x74000): …", without its full stop.
std::string pastItsBank(std::uint32_t table, std::uint32_t windowEnd, std::uint32_t recordSize) {
    const std::uint32_t crossing = (windowEnd - table) / recordSize;
    return "The trade table at " + hexOffset(table) + " runs past the end of its bank (record " + std::to_string(crossing + 1) +
           " at " + hexOffset(table + crossing * recordSize) + "): the game would read other memory there";
}

// `atOwnPlace`: the routine that points here stands where the release keeps it.
Result<Pointed> tableAt(File& file, const Release& release, const Platform& platform, std::optional<std::uint32_t> target,
                        int required, const RomSize& size, bool atOwnPlace) {
    if (!target) return Pointed{std::nullopt, "points outside its own bank", {}};
    if (*target >= std::uint64_t(size.file)) {
        return Pointed{std::nullopt, "points to " + hexOffset(*target) + ", past the end of the file", {}};
    }
    // The game reads its records through the bank the pointer addresses:
    // none lies past that bank's window.
    std::array<std::uint8_t, kMaxRecordSize * kMaxRecords> buffer;
    const std::uint32_t recordSize = release.layout.size;
    const std::size_t wanted = recordSize * kMaxRecords;
    const std::uint32_t windowEnd = platform.windowEnd(*target);
    const std::size_t room = std::min<std::size_t>(wanted, windowEnd - *target);
    auto got = readUpTo(file, *target, std::span(buffer).first(room));
    if (!got) return got.error();
    const auto bytes = std::span<const std::uint8_t>(buffer).first(*got);
    const FoundBy how = atOwnPlace && *target == release.usualTable ? FoundBy::UsualPlace : FoundBy::TableRoutine;
    const Count count = countRecords(bytes, release, how);
    const auto records = tableRecords(count, *got < room, required, size);
    const bool endedByBank = count.endedByFile && *got == room && room < wanted;
    if ((!records && endedByBank) || (records && *target + std::uint64_t(*records) * recordSize > windowEnd)) {
        return Pointed{std::nullopt, {}, pastItsBank(*target, windowEnd, recordSize)};
    }
    if (records) return Pointed{TradeTable{*target, *records, how, std::nullopt, RoutineReached::OwnPlace, &release}, {}, {}};
    return Pointed{std::nullopt, "points to " + hexOffset(*target) + ", where " + whyNoTable(count, bytes, release), {}};
}

struct Run {
    std::uint32_t start;
    int records;
};

struct Scan {
    std::vector<Run> runs;    // six to sixteen records: candidates
    std::size_t tooLong = 0;  // runs of more records than a table holds
};

// Maximal runs of records that pass the stricter checks, in the file's
// first `searched` bytes, read a piece at a time. A run that the end of a
// cut-off file ends is the game's whole table, cut.
Result<Scan> scanForRuns(File& file, std::int64_t searched, const Release& release, const Platform& platform, const RomSize& size) {
    const RecordLayout& layout = release.layout;
    Scan scan;
    if (searched < std::int64_t(layout.size)) return scan;
    std::vector<std::uint32_t> passing;
    // A name's ending terminator a few bytes before a zero byte is a rare pair;
    // without one, most offsets fail the first checks (a dialog set and a
    // gender requirement the games know, the pads between fields).
    std::optional<std::uint32_t> nameEnd;
    for (const auto& name : {std::optional<NameLayout>(layout.nickname), layout.trainerName}) {
        if (name && name->terminated && layout.zeroCount > 0 && name->at + name->length < layout.zeroAt &&
            layout.zeroAt - (name->at + name->length) <= 16) {
            nameEnd = name->at + name->length;
        }
    }
    auto search = [&](std::span<const std::uint8_t> bytes, std::int64_t at, std::int64_t next) {
        // The game reads a record through one window of memory: none crosses its end.
        auto consider = [&](std::size_t offset) {
            const std::int64_t place = at + std::int64_t(offset);
            if (place < next && offset + layout.size <= bytes.size() &&
                std::uint64_t(place) + layout.size <= platform.windowEnd(std::uint32_t(place)) &&
                passesStrictRecordChecks(bytes.subspan(offset, layout.size), layout, int(release.dialogSets.size()),
                                         release.charset())) {
                passing.push_back(std::uint32_t(place));
            }
        };
        if (nameEnd) {
            forEachBytePair(bytes, release.charset().terminator(), 0x00, layout.zeroAt - *nameEnd, [&](std::size_t i) {
                if (i >= *nameEnd) consider(i - *nameEnd);
            });
            return;
        }
        for (std::size_t offset = 0; offset + layout.size <= bytes.size() && at + std::int64_t(offset) < next; ++offset) {
            if ((!layout.dialogSetAt || bytes[offset + *layout.dialogSetAt] < release.dialogSets.size()) &&
                (!layout.genderRequirementAt || bytes[offset + *layout.genderRequirementAt] < kGenderRequirementCount) &&
                std::ranges::all_of(layout.zeroBytes, [&](std::uint32_t z) { return bytes[offset + z] == 0x00; })) {
                consider(offset);
            }
        }
    };
    if (auto done = searchInPieces(file, searched, layout.size, search); !done) return done.error();
    // A table holds at least the game's own trades, and a run of six is rare enough to be one.
    const int shortest = std::min(kMinScanRun, std::max(release.ownRecords, 1));
    const std::unordered_set<std::uint32_t> passes(passing.begin(), passing.end());
    for (std::uint32_t start : passing) {
        if (start >= layout.size && passes.count(start - layout.size)) continue;  // inside a longer run
        int length = 0;
        while (passes.count(start + std::uint32_t(length) * layout.size)) ++length;
        if (length < shortest) continue;
        if (length > kMaxRecords) {
            ++scan.tooLong;
            continue;
        }
        const bool endedByFile = start + std::uint64_t(length + 1) * layout.size > std::uint64_t(searched);
        const auto records = tableRecords({length, endedByFile, RecordFault::None}, searched >= size.file, release.ownRecords, size);
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

// A table refused whole: its own sentence, then where the release keeps it.
struct WholeRefusal {
    std::string message;  // without its full stop
};

Error noTable(const Release& release, const WholeRefusal& refusal) {
    return refused(ErrorCode::NoTradeTable, refusal.message + ". " + std::string(release.name) + " keeps its trade table at " +
                                                hexOffset(release.usualTable) +
                                                "; Kestrane shows and changes none of this ROM's trades. The file was not changed.");
}

Error noTable(const Release& release, const std::string& why) {
    return refused(ErrorCode::NoTradeTable,
                   std::string(release.name) + " keeps its trade table at " + hexOffset(release.usualTable) + ", but " +
                       why + ". This ROM may keep its trades in another format; Kestrane shows and changes none of "
                             "them. The file was not changed.");
}


}  // namespace

RecordFault tradeRecordFault(RecordView record, int recordIndex, const Release& release, FoundBy foundBy) {
    const int dialogSets = int(release.dialogSets.size());
    // Without a count every record is known by its bytes alone.
    return recordIndex < release.ownRecords && foundBy != FoundBy::RecordScan && countsItsTrades(release)
               ? recordFault(record, release.layout, dialogSets, release.charset())
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

namespace {

// The table, or why there is none (the second half of a sentence that
// starts with where the release keeps it).
using Located = std::variant<TradeTable, std::string, WholeRefusal>;

// "0, 1, 2, 3, 14 (a word)": the offsets calls pass, for a message.
std::string callsText(const std::vector<RoutineCall>& calls) {
    std::vector<std::string> seen;
    for (const RoutineCall& call : calls) {
        std::string text = std::to_string(call.e) + (call.readsWord ? " (read as a word)" : "");
        if (std::find(seen.begin(), seen.end(), text) == seen.end()) seen.push_back(text);
    }
    return joinedList(seen);
}

Result<Located> locate(File& opened, const Release& release, const RomSize& size, OpeningNotes* notes) {
    // What one step reads, the next reads through.
    auto* holding = dynamic_cast<HoldingFile*>(&opened);
    std::optional<HoldingFile> local;
    if (!holding) holding = &local.emplace(opened);
    HoldingFile& file = *holding;
    const GameFamily& family = release.family();
    const Platform& platform = family.platform();
    const std::vector<const Release*> rows = variantsOf(release);
    const std::int64_t searched = std::min(size.file, platform.largestImage());

    // The routine: at a row's own place or through a jump there, the first
    // that holds it deciding; else anywhere.
    std::unique_ptr<OpeningNotes> own = notes ? nullptr : family.beginOpening();
    OpeningNotes& opening = notes ? *notes : *own;
    auto routine = family.findTableRoutine(file, rows, size, opening);
    if (!routine) return routine.error();
    if (!routine->refusal.empty()) return Located(WholeRefusal{routine->refusal});
    const std::optional<FoundRoutine> found =
        routine->found.found() ? std::optional<FoundRoutine>(std::move(routine->found)) : std::nullopt;
    const Release* placed = routine->placed;
    const std::uint32_t ownPlace = routine->ownPlace;
    if (found) {
        if (!found->agree()) {
            return Located(counted(std::int64_t(found->copies.size()), "copy", "copies") +
                           " of the routine that reads it point to different places (" + copiesText(*found) +
                           "), so Kestrane cannot tell which table the game reads");
        }
        // The records' shape: what the routine's callers read, where they pass the field.
        const Release* row = placed ? placed : routine->shapedBy ? routine->shapedBy : &release;
        auto calls = release.layout.callerOffsets.empty() ? Result<std::vector<RoutineCall>>(std::vector<RoutineCall>())
                                                          : family.tableRoutineCalls(file, found->copies.front().at);
        if (!calls) return calls.error();
        if (!calls->empty()) {
            std::vector<const Release*> fit;
            for (const Release* candidate : rows) {
                if (fitsCalls(candidate->layout, *calls)) fit.push_back(candidate);
            }
            if (fit.empty()) {
                return Located("the game's own routine that reads it, " + found->where(ownPlace) + ", is called for the offsets " +
                               callsText(*calls) + ", which fit no record layout Kestrane knows; it reads no table it is not sure of");
            }
            if (std::find(fit.begin(), fit.end(), row) == fit.end()) row = fit.front();
        }
        // The row's own trades, or (a game that keeps no count) what its scripts start.
        auto required = row->family().recordsRequired(file, *row, size.file, opening);
        if (!required) return required.error();
        auto pointed = tableAt(file, *row, platform, found->copies.front().pointers.front(), *required, size,
                               found->reached == RoutineReached::OwnPlace);
        if (!pointed) return pointed.error();
        if (!pointed->refusal.empty()) return Located(WholeRefusal{pointed->refusal});
        if (!pointed->table) {
            // The game reads no other place, so neither does Kestrane.
            return Located("the game's own routine that reads it, " + found->where(ownPlace) + ", " + pointed->why +
                           "; Kestrane takes no other place for the table, since the game reads none other");
        }
        TradeTable table = *pointed->table;
        table.routine = found->copies.front().at;
        table.reached = found->reached;
        table.release = row;
        return Located(table);
    }

    // No routine at all: the records alone, and only where exactly one run of them is in the file.
    auto scanned = scanForRuns(file, searched, release, platform, size);
    if (!scanned) return scanned.error();
    const Scan& scan = *scanned;
    if (scan.runs.size() == 1) {
        return Located(TradeTable{scan.runs[0].start, scan.runs[0].records, FoundBy::RecordScan, std::nullopt,
                                  RoutineReached::OwnPlace, &release});
    }
    std::string why = "the routine that reads it is not in the file (nor a jump at " + hexOffset(ownPlace) +
                      " to it), and a search of the whole file for the records themselves found ";
    if (scan.runs.empty()) {
        why += "no run of trade records";
    } else {
        why += std::to_string(scan.runs.size()) + " runs of trade records (at " +
               someOf(scan.runs, [](const Run& r) { return hexOffset(r.start); }) + "), so it cannot tell which is the table";
    }
    if (scan.tooLong) why += " (and " + counted(std::int64_t(scan.tooLong), "run") + " longer than a table can be)";
    return Located(why);
}

}  // namespace

Result<TradeTable> locateTradeTable(File& file, const Release& release, const std::string& path, const RomSize& size,
                                    OpeningNotes* notes) {
    auto located = locate(file, release, size, notes);
    if (!located) return inContext(located.error(), "Could not read the trade table of " + quoted(path));
    if (const auto* why = std::get_if<std::string>(&*located)) return noTable(release, *why);
    if (const auto* whole = std::get_if<WholeRefusal>(&*located)) return noTable(release, *whole);
    return std::get<TradeTable>(*located);
}

Result<void> confirmTradeTable(File& file, const Release& release, const TradeTable& found, int records,
                               const std::string& path, const RomSize& size) {
    auto located = locate(file, release, size, nullptr);
    if (!located) return inContext(located.error(), "Could not read the trade table of " + quoted(path));
    const auto* now = std::get_if<TradeTable>(&*located);
    if (now && now->offset == found.offset && now->foundBy == found.foundBy && now->routine == found.routine &&
        now->release == found.release && now->records >= records) {
        return {};
    }
    std::string message = "The trade table of " + quoted(path) + " is no longer where it was when the ROM was opened (" +
                          hexOffset(found.offset) + "): ";
    if (now) {
        message += now->offset == found.offset && now->records < records
                       ? "it now ends after " + counted(now->records, "record")
                       : "the game now reads " + std::to_string(now->records) + " trades at " + hexOffset(now->offset);
        message += (now->routine ? " (its routine is at " + hexOffset(*now->routine) + ")"
                                 : " (" + std::string(kFoundByRecordsNote) + ")");
    } else if (const auto* whole = std::get_if<WholeRefusal>(&*located)) {
        message += whole->message;
    } else {
        message += std::string(release.name) + " keeps it at " + hexOffset(release.usualTable) + ", but " + std::get<std::string>(*located);
    }
    return changedByOther(ErrorCode::TableMoved, message + ". Nothing was written; reload the ROM to edit the table the game reads.");
}

}  // namespace kestrane
