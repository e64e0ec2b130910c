#include "patch/patch_formats.h"

#include <zlib.h>

#include <algorithm>

#include "support/bytes.h"
#include "support/words.h"

namespace kestrane {
namespace {

void putNumber(std::vector<std::uint8_t>& out, std::uint64_t n) {
    for (;;) {
        const auto low = std::uint8_t(n & 0x7F);
        n >>= 7;
        if (n == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --n;
    }
}


enum BpsAction : std::uint64_t { SourceRead = 0, TargetRead = 1, TargetCopy = 3 };
// A run of one byte is one byte read and a copy of itself from there on.
constexpr std::size_t kBpsRunWorth = 8;

constexpr std::uint32_t kIpsLimit = 0x1000000;   // 16 MiB: three bytes of offset
constexpr std::uint32_t kIpsEof = 0x454F46;      // "EOF"
constexpr std::size_t kIpsMaxRecord = 0xFFFF;
// A run of equal bytes is shorter as a run record (8 bytes) than as data
// once it is longer than that plus the header a split costs.
constexpr std::size_t kIpsRunWorth = 13;
// Equal bytes between changes are kept in one record up to the header a new record costs.
constexpr std::size_t kIpsGapWorth = 5;

}  // namespace

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt: feed large spans in pieces.
    for (std::size_t at = 0; at < bytes.size(); at += 1u << 30) {
        const std::size_t piece = std::min<std::size_t>(bytes.size() - at, 1u << 30);
        crc = crc32(crc, bytes.data() + at, uInt(piece));
    }
    return std::uint32_t(crc);
}

std::vector<std::uint8_t> bpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
    std::vector<std::uint8_t> out = {'B', 'P', 'S', '1'};
    putNumber(out, source.size());
    putNumber(out, target.size());
    putNumber(out, 0);  // no metadata
    auto same = [&](std::size_t at) { return at < source.size() && source[at] == target[at]; };
    auto action = [&](std::size_t length, BpsAction kind) { putNumber(out, (std::uint64_t(length) - 1) << 2 | kind); };
    auto literal = [&](std::size_t from, std::size_t to) {
        if (from == to) return;
        action(to - from, TargetRead);
        out.insert(out.end(), target.begin() + std::ptrdiff_t(from), target.begin() + std::ptrdiff_t(to));
    };
    std::int64_t copiedTo = 0;  // where the last target-copy ended: the next one's offset is relative to it
    for (std::size_t at = 0; at < target.size();) {
        std::size_t end = at;
        const bool reading = same(at);
        while (end < target.size() && same(end) == reading) ++end;
        if (reading) {
            action(end - at, SourceRead);
            at = end;
            continue;
        }
        // What differs: literal bytes, and runs of one byte as a copy of themselves.
        std::size_t from = at;
        for (std::size_t run = at; run < end;) {
            std::size_t runEnd = run + 1;
            while (runEnd < end && target[runEnd] == target[run]) ++runEnd;
            if (runEnd - run >= kBpsRunWorth) {
                literal(from, run + 1);
                action(runEnd - run - 1, TargetCopy);
                const std::int64_t relative = std::int64_t(run) - copiedTo;
                putNumber(out, std::uint64_t(relative < 0 ? -relative : relative) << 1 | (relative < 0 ? 1 : 0));
                copiedTo = std::int64_t(runEnd) - 1;
                from = runEnd;
            }
            run = runEnd;
        }
        literal(from, end);
        at = end;
    }
    appendLittleEndian(out, crc32Of(source), 4);
    appendLittleEndian(out, crc32Of(target), 4);
    appendLittleEndian(out, crc32Of(out), 4);
    return out;
}

Result<std::vector<std::uint8_t>> ipsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
    std::vector<std::uint8_t> out = {'P', 'A', 'T', 'C', 'H'};
    auto differs = [&](std::size_t at) { return at >= source.size() || source[at] != target[at]; };
    auto record = [&](std::size_t at, std::size_t length) {
        appendBigEndian(out, std::uint32_t(at), 3);
        // A run of one byte where that is shorter.
        if (length > kIpsRunWorth && std::all_of(target.begin() + std::ptrdiff_t(at), target.begin() + std::ptrdiff_t(at + length),
                                                 [&](std::uint8_t b) { return b == target[at]; })) {
            appendBigEndian(out, 0, 2);
            appendBigEndian(out, std::uint32_t(length), 2);
            out.push_back(target[at]);
            return;
        }
        appendBigEndian(out, std::uint32_t(length), 2);
        out.insert(out.end(), target.begin() + std::ptrdiff_t(at), target.begin() + std::ptrdiff_t(at + length));
    };
    for (std::size_t at = 0; at < target.size();) {
        if (!differs(at)) {
            ++at;
            continue;
        }
        // A region of changes, joined across short equal gaps.
        std::size_t end = at + 1;
        for (std::size_t gap = 0; end < target.size() && gap <= kIpsGapWorth; ++end) gap = differs(end) ? 0 : gap + 1;
        while (end > at && !differs(end - 1)) --end;
        std::size_t start = at;
        if (start == kIpsEof) --start;  // the record would read as "EOF": it starts a byte earlier
        if (end > kIpsLimit) {
            return refused(ErrorCode::TooLarge, "the files differ at " + groupedNumber(std::int64_t(std::max(start, std::size_t(kIpsLimit)))) +
                                                    " bytes and beyond, past the 16 MiB an IPS patch can reach; write a .bps patch instead");
        }
        for (std::size_t piece = start; piece < end;) {
            // Runs within the region, as run records; the rest in records of at most 64 KiB.
            std::size_t runEnd = piece + 1;
            while (runEnd < end && target[runEnd] == target[piece] && runEnd - piece < kIpsMaxRecord) ++runEnd;
            std::size_t length = runEnd - piece;
            if (length <= kIpsRunWorth) {
                length = 1;
                while (piece + length < end && length < kIpsMaxRecord) {
                    std::size_t next = piece + length, run = 1;
                    while (next + run < end && target[next + run] == target[next] && run <= kIpsRunWorth) ++run;
                    if (run > kIpsRunWorth) break;
                    ++length;
                }
            }
            std::size_t recordAt = piece;
            if (recordAt == kIpsEof) {  // a piece may start there too
                --recordAt;
                length = std::min(length + 1, kIpsMaxRecord);
            }
            record(recordAt, length);
            piece = recordAt + length;
        }
        at = end;
    }
    out.insert(out.end(), {'E', 'O', 'F'});
    if (target.size() < source.size()) appendBigEndian(out, std::uint32_t(target.size()), 3);
    return out;
}

}  // namespace kestrane
