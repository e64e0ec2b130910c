#include "trades/rom_diff.h"

#include <algorithm>

#include "trades/rom.h"
#include "trades/trade_record.h"
#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {
namespace {

struct Opened {
    Rom rom;
    std::vector<TradeReading> trades;  // empty without a table
    std::vector<std::uint8_t> bytes;
};

Result<Opened> openWhole(const std::string& path, Families families, FileSystem& fs) {
    auto rom = openRom(path, families, fs, RomParts{.gameData = true, .checksums = true});
    if (!rom) return rom.error();
    Opened opened{std::move(*rom), {}, {}};
    if (opened.rom.table) {
        auto trades = readTradeTable(opened.rom, fs);
        if (!trades) return trades.error();
        opened.trades = std::move(*trades);
    }
    auto bytes = readWholeFile(fs, path, 2 * opened.rom.release->family().platform().largestImage());
    if (!bytes) return inContext(bytes.error(), "Could not read " + quoted(path));
    opened.bytes = std::move(*bytes);
    return opened;
}

// Whether a byte lies in one of the ROM's trade records.
bool inTable(const Rom& rom, std::size_t at) {
    return rom.table && at >= rom.table->offset &&
           at < rom.table->offset + std::size_t(rom.table->records) * rom.release->layout.size;
}

// The check a byte belongs to, where the release's ROMs carry it.
std::string_view checkAt(const Release& release, std::size_t at) {
    for (const auto& [check, area] : heldChecks(release)) {
        if (at >= area->at && at < area->at + area->length) return area->name;
    }
    return {};
}

}  // namespace

Result<RomDiff> diffRoms(const std::string& clean, const std::string& edited, Families families, FileSystem& fs) {
    auto a = openWhole(clean, families, fs);
    if (!a) return a.error();
    auto b = openWhole(edited, families, fs);
    if (!b) return b.error();
    RomDiff diff;
    diff.cleanChecksums = a->rom.checksums;
    diff.editedChecksums = b->rom.checksums;
    diff.cleanRelease = a->rom.release;
    diff.editedRelease = b->rom.release;
    const std::size_t slots = std::max(a->trades.size(), b->trades.size());
    for (std::size_t i = 0; i < slots; ++i) {
        const TradeRecord* before = i < a->trades.size() && a->trades[i].record ? &*a->trades[i].record : nullptr;
        const TradeRecord* after = i < b->trades.size() && b->trades[i].record ? &*b->trades[i].record : nullptr;
        if (before && after) {
            for (FieldChange& c : fieldChanges(a->rom, *before, b->rom, *after)) diff.trades.push_back(std::move(c));
        } else if (before || after) {
            diff.trades.push_back({Slot::fromNumber(int(i) + 1), Field::Presence, "Trade", before ? "a trade" : "no trade",
                                   after ? "a trade" : "no trade"});
        }
    }
    diff.identical = a->bytes == b->bytes;
    const Release& from = *a->rom.release;
    const Release& to = *b->rom.release;
    if (from.game != to.game) {
        diff.gamesNote = "The two ROMs are different games: " + std::string(from.name) + " (" + std::string(from.code) + ") and " +
                         std::string(to.name) + " (" + std::string(to.code) + "); their trades are compared slot by slot.";
    } else if (&from != &to) {
        diff.gamesNote = "The two ROMs are different releases of " + std::string(from.shortName()) + ": " + std::string(from.name) +
                         " (" + std::string(from.code) + ") and " + std::string(to.name) + " (" + std::string(to.code) + ").";
    }
    const std::size_t common = std::min(a->bytes.size(), b->bytes.size());
    auto add = [&](std::size_t at, std::size_t length, std::string_view what) {
        diff.otherBytes += length;
        const auto last = std::uint32_t(at + length - 1);
        if (!diff.otherRanges.empty() && diff.otherRanges.back().bytes.last + 1 == at && diff.otherRanges.back().what == what) {
            diff.otherRanges.back().bytes.last = last;
        } else {
            diff.otherRanges.push_back({{std::uint32_t(at), last}, what});
        }
    };
    for (std::size_t i = 0; i < common; ++i) {
        if (a->bytes[i] != b->bytes[i] && !inTable(a->rom, i) && !inTable(b->rom, i)) add(i, 1, checkAt(from, i));
    }
    if (a->bytes.size() != b->bytes.size()) add(common, std::max(a->bytes.size(), b->bytes.size()) - common, {});
    return diff;
}

std::string rangeText(const DiffRange& range) {
    const ByteRange& r = range.bytes;
    const std::string where = r.first == r.last ? hexOffset(r.first) : hexOffset(r.first) + "\u2013" + hexOffset(r.last);
    return range.what.empty() ? where : where + " (" + std::string(range.what) + ")";
}

std::string checksumsText(const std::optional<ChecksumState>& state, const Release& release) {
    if (!state) return "not computed";
    std::string text;
    for (const auto& [check, area] : heldChecks(release)) {
        text += (text.empty() ? "" : ", ") + std::string(area->shortName) + " " + std::string(checksumStatusText(state->of(check)));
    }
    return text;
}

std::vector<std::string> diffSummary(const RomDiff& diff) {
    std::vector<std::string> lines;
    if (!diff.gamesNote.empty()) lines.push_back(diff.gamesNote);
    for (const FieldChange& c : diff.trades) lines.push_back(changeLine(c));
    if (diff.trades.empty()) lines.emplace_back("The trades are the same.");
    std::string other = counted(std::int64_t(diff.otherBytes), "other byte") + (diff.otherBytes == 1 ? " differs" : " differ") +
                        " outside the trade tables";
    if (!diff.otherRanges.empty()) {
        std::vector<std::string> named;
        for (std::size_t i = 0; i < diff.otherRanges.size() && i < kNamedRanges; ++i) named.push_back(rangeText(diff.otherRanges[i]));
        const std::size_t more = diff.otherRanges.size() > kNamedRanges ? diff.otherRanges.size() - kNamedRanges : 0;
        other += ": " + joinedList(named, more);
    }
    lines.push_back(other + ".");
    return lines;
}

}  // namespace kestrane
