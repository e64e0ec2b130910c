#include "patch/patch_formats.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <optional>

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

namespace {

Error corrupt(const std::string& why) { return refused(ErrorCode::InvalidArgument, "The patch is damaged: " + why + "."); }

std::string crcText(std::uint32_t crc) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", crc);
    return text;
}

Result<AppliedPatch> applyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source, std::size_t largest) {
    constexpr std::size_t kCrcs = 12;
    if (patch.size() < 4 + 3 + kCrcs) return corrupt("it ends before its header does");
    const auto body = patch.first(patch.size() - kCrcs);
    if (crc32Of(patch.first(patch.size() - 4)) != readLittleEndian(patch.last(4))) {
        return corrupt("its own CRC32 is not the one it carries (it was cut or changed on its way)");
    }
    std::size_t at = 4;
    auto number = [&]() -> std::optional<std::uint64_t> {
        std::uint64_t n = 0, shift = 1;
        for (int i = 0; i < 10 && at < body.size(); ++i) {
            const std::uint8_t b = body[at++];
            n += (b & 0x7F) * shift;
            if (b & 0x80) return n;
            shift <<= 7;
            n += shift;
        }
        return std::nullopt;
    };
    const auto sourceSize = number(), targetSize = number(), metadata = number();
    if (!sourceSize || !targetSize || !metadata || *metadata > body.size() - at) return corrupt("its header is no BPS header");
    at += std::size_t(*metadata);
    const std::uint32_t sourceCrc = readLittleEndian(patch.last(kCrcs).first(4));
    const std::uint32_t targetCrc = readLittleEndian(patch.last(kCrcs).subspan(4, 4));
    const std::uint32_t sourceNow = crc32Of(source);
    if (*sourceSize != source.size() || sourceCrc != sourceNow) {
        return refused(ErrorCode::UnsupportedRom, "This patch was made for a ROM whose CRC32 is " + crcText(sourceCrc) + " (" +
                                                      groupedNumber(std::int64_t(*sourceSize)) + " bytes); this one's is " +
                                                      crcText(sourceNow) + " (" + groupedNumber(std::int64_t(source.size())) +
                                                      " bytes). Apply it to the ROM it was made from.");
    }
    if (*targetSize > largest) return corrupt("it makes a file of " + groupedNumber(std::int64_t(*targetSize)) + " bytes, larger than any ROM");
    AppliedPatch applied{AppliedFormat::Bps, {}};
    std::vector<std::uint8_t>& out = applied.target;
    out.reserve(std::size_t(*targetSize));
    std::int64_t sourceRelative = 0, targetRelative = 0;
    while (at < body.size()) {
        const auto action = number();
        if (!action) return corrupt("an action runs past its end");
        const std::uint64_t length = (*action >> 2) + 1;
        if (length > *targetSize - out.size()) return corrupt("an action writes past the target's end");
        auto offset = [&](std::int64_t& relative, std::size_t limit) -> bool {
            const auto n = number();
            if (!n) return false;
            relative += std::int64_t(*n >> 1) * ((*n & 1) ? -1 : 1);
            return relative >= 0 && std::uint64_t(relative) + length <= limit;
        };
        switch (*action & 3) {
        case 0:  // source-read
            if (out.size() + length > source.size()) return corrupt("it reads past the source's end");
            out.insert(out.end(), source.begin() + std::ptrdiff_t(out.size()), source.begin() + std::ptrdiff_t(out.size() + length));
            break;
        case 1:  // target-read
            if (length > body.size() - at) return corrupt("its bytes run past its end");
            out.insert(out.end(), body.begin() + std::ptrdiff_t(at), body.begin() + std::ptrdiff_t(at + length));
            at += std::size_t(length);
            break;
        case 2:  // source-copy
            if (!offset(sourceRelative, source.size())) return corrupt("it copies from outside the source");
            out.insert(out.end(), source.begin() + sourceRelative, source.begin() + sourceRelative + std::ptrdiff_t(length));
            sourceRelative += std::int64_t(length);
            break;
        default:  // target-copy, byte by byte: it may copy what it is writing
            if (!offset(targetRelative, out.size() + length) || std::uint64_t(targetRelative) >= out.size()) {
                return corrupt("it copies from outside what it has written");
            }
            for (std::uint64_t i = 0; i < length; ++i) out.push_back(out[std::size_t(targetRelative++)]);
            break;
        }
    }
    if (out.size() != *targetSize) return corrupt("it makes " + groupedNumber(std::int64_t(out.size())) + " bytes, not the " +
                                                  groupedNumber(std::int64_t(*targetSize)) + " it says");
    if (crc32Of(out) != targetCrc) return corrupt("what it makes is not the file it was made to make (its CRC32 differs)");
    return applied;
}

Result<AppliedPatch> applyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source, std::size_t largest) {
    AppliedPatch applied{AppliedFormat::Ips, std::vector<std::uint8_t>(source.begin(), source.end())};
    std::vector<std::uint8_t>& out = applied.target;
    std::size_t at = 5;
    auto take = [&](std::size_t n) -> std::optional<std::span<const std::uint8_t>> {
        if (n > patch.size() - at) return std::nullopt;
        const auto bytes = patch.subspan(at, n);
        at += n;
        return bytes;
    };
    for (;;) {
        const auto head = take(3);
        if (!head) return corrupt("it ends before its \"EOF\"");
        const std::uint32_t offset = readBigEndian(*head);
        if (offset == kIpsEof) break;
        const auto sizeBytes = take(2);
        if (!sizeBytes) return corrupt("a record at " + groupedNumber(offset) + " runs past its end");
        std::size_t size = readBigEndian16(*sizeBytes);
        std::optional<std::uint8_t> run;
        std::optional<std::span<const std::uint8_t>> data;
        if (size == 0) {
            const auto r = take(3);
            if (!r) return corrupt("a run at " + groupedNumber(offset) + " runs past its end");
            size = readBigEndian16(r->first(2));
            run = (*r)[2];
        } else if (!(data = take(size))) {
            return corrupt("a record at " + groupedNumber(offset) + " runs past its end");
        }
        if (offset + size > largest) return corrupt("it writes past " + groupedNumber(std::int64_t(largest)) + " bytes, larger than any ROM");
        if (out.size() < offset + size) out.resize(offset + size, 0x00);
        if (run) std::fill_n(out.begin() + offset, size, *run);
        else std::copy(data->begin(), data->end(), out.begin() + offset);
    }
    if (const auto truncated = take(3)) {
        const std::uint32_t size = readBigEndian(*truncated);
        if (size > out.size()) return corrupt("its truncation would lengthen the file");
        out.resize(size);
    }
    if (at != patch.size()) return corrupt("bytes follow its end");
    return applied;
}

}  // namespace

Result<AppliedPatch> applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source, std::size_t largest) {
    auto starts = [&](std::string_view magic) {
        return patch.size() >= magic.size() && std::equal(magic.begin(), magic.end(), patch.begin());
    };
    if (starts("BPS1")) return applyBps(patch, source, largest);
    if (starts("PATCH")) return applyIps(patch, source, largest);
    return refused(ErrorCode::InvalidArgument, "The file is no patch: a BPS patch starts with \"BPS1\", an IPS patch with \"PATCH\".");
}

}  // namespace kestrane
