#include "platform/gb/checksums.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "platform/gb/cartridge.h"
#include "support/holding_file.h"
#include "support/piece_search.h"

namespace kestrane {

// The header (0 to 0x14F), the 520 bytes of the Stadium data where the
// image has them (else none), and the half-banks' sums.
struct CheckBytes {
    std::span<const std::uint8_t> header;
    std::span<const std::uint8_t> stadium;
    const std::vector<std::uint32_t>& sums;
    bool hasGlobal() const { return header.size() > kGlobalChecksumAt + 1; }
};

namespace {

constexpr std::uint32_t kHalfBank = 0x2000;
constexpr std::uint32_t kSumsAt = kStadiumAt + 8;  // 0x1FFE00
constexpr std::uint32_t kCrcAt = kStadiumAt + 6;   // 0x1FFDFE
constexpr std::uint16_t kSumStart = 0xFEFE;
constexpr char kStadiumMark[] = "N64PS3";

constexpr std::array<std::uint16_t, 256> crcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t rem = 0;
        unsigned c = i;
        for (int step = 0; step < 8; ++step) {
            rem = static_cast<std::uint16_t>((rem >> 1) ^ (((rem ^ c) & 1) ? 0xC387 : 0));
            c >>= 1;
        }
        table[i] = rem;
    }
    return table;
}

std::uint32_t byteSum(std::span<const std::uint8_t> bytes) { return static_cast<std::uint32_t>(sumOfBytes(bytes)); }

// Only a 2 MiB image whose area at 0x1FFDF8 starts with the mark carries the Stadium data.
bool stadiumMarked(std::int64_t size, std::span<const std::uint8_t> area) {
    return size == kStadiumRomSize && area.size() >= 6 && std::memcmp(area.data(), kStadiumMark, 6) == 0;
}

bool hasStadiumMark(std::span<const std::uint8_t> rom) {
    return rom.size() == kStadiumRomSize && stadiumMarked(std::int64_t(rom.size()), rom.subspan(kStadiumAt));
}

std::uint8_t headerSumOf(const CheckBytes& b) {
    std::uint8_t x = 0;
    for (std::uint32_t at = 0x134; at < kHeaderChecksumAt; ++at) x = static_cast<std::uint8_t>(x - b.header[at] - 1);
    return x;
}

std::uint16_t globalSumOf(const CheckBytes& b) {
    std::uint32_t total = std::accumulate(b.sums.begin(), b.sums.end(), std::uint32_t{0});
    if (b.hasGlobal()) total -= b.header[kGlobalChecksumAt] + b.header[kGlobalChecksumAt + 1];
    return static_cast<std::uint16_t>(total);
}

// The 520 bytes the build would write from 0x1FFDF8, from the image as it is.
std::vector<std::uint8_t> stadiumDataOf(const CheckBytes& b) {
    std::vector<std::uint8_t> area(kStadiumLength, 0);
    std::copy_n(kStadiumMark, 6, area.begin());
    const std::span<std::uint8_t> sums = std::span(area).subspan(kSumsAt - kStadiumAt);
    const std::uint32_t markSum = byteSum(std::span(area).first(6));
    const std::uint32_t areaNow = byteSum(b.stadium);
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t content = b.sums[i];
        // The global checksum is 0 while the sums are made.
        if (i == 0) content -= b.header[kGlobalChecksumAt] + b.header[kGlobalChecksumAt + 1];
        // The last half-bank holds the data itself: the mark and the sums before it.
        if (i == 255) content = content - areaNow + markSum + byteSum(sums.first(2 * 255));
        putBigEndian16(sums.subspan(2 * i, 2), static_cast<std::uint16_t>(kSumStart + content));
    }
    putBigEndian16(std::span(area).subspan(kCrcAt - kStadiumAt, 2), stadiumCrc(sums));
    return area;
}

ChecksumState stateOf(const CheckBytes& b) {
    ChecksumState state;
    if (b.hasGlobal()) {
        state.set(Check::Header, headerSumOf(b) == b.header[kHeaderChecksumAt] ? ChecksumStatus::Consistent : ChecksumStatus::Stale);
        state.set(Check::Global, globalSumOf(b) == readBigEndian16(b.header.subspan(kGlobalChecksumAt, 2))
                                     ? ChecksumStatus::Consistent
                                     : ChecksumStatus::Stale);
    }
    if (!b.stadium.empty()) {
        const std::vector<std::uint8_t> expected = stadiumDataOf(b);
        state.set(Check::Stadium, std::equal(expected.begin(), expected.end(), b.stadium.begin()) ? ChecksumStatus::Consistent
                                                                                                   : ChecksumStatus::Stale);
    }
    return state;
}

constexpr std::uint32_t kHeaderEnd = kGlobalChecksumAt + 2;
// The sums keep nothing of a piece: 64 KiB pieces touch an eighth of the
// memory a search's do, for a few more reads.
constexpr std::int64_t kSumPiece = 64 * 1024;

}  // namespace

std::uint16_t stadiumCrc(std::span<const std::uint8_t> bytes) {
    static constexpr auto kTable = crcTable();
    std::uint16_t crc = kSumStart;
    for (std::uint8_t b : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ b) & 0xFF]);
    return crc;
}

void appendHalfBankSums(std::span<const std::uint8_t> bytes, std::vector<std::uint32_t>& sums) {
    for (std::size_t at = 0; at < bytes.size(); at += kHalfBank) {
        sums.push_back(byteSum(bytes.subspan(at, std::min<std::size_t>(kHalfBank, bytes.size() - at))));
    }
}

Result<std::vector<std::uint32_t>> holdWholeSummed(HoldingFile& held, std::int64_t size) {
    std::vector<std::uint32_t> sums;
    auto read = held.holdWhole(size, [&](std::size_t from, std::size_t to) {
        appendHalfBankSums(held.held(std::int64_t(from), to - from).value(), sums);
    });
    if (!read) return read.error();
    return sums;
}

Result<ChecksumState> readChecksumState(File& file, std::int64_t size) {
    std::vector<std::uint32_t> sums;
    std::array<std::uint8_t, kHeaderEnd> header{};
    std::array<std::uint8_t, kStadiumLength> stadium{};
    // What of [from, from + out.size()) a piece at `at` holds, copied.
    auto keep = [](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t from, std::span<std::uint8_t> out) {
        const std::int64_t first = std::max(at, from), last = std::min(at + std::int64_t(piece.size()), from + std::int64_t(out.size()));
        if (first < last) std::copy(piece.begin() + (first - at), piece.begin() + (last - at), out.begin() + (first - from));
    };
    auto read = searchInPieces(file, size, 0, [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t) {
        appendHalfBankSums(piece, sums);
        keep(piece, at, 0, header);
        keep(piece, at, kStadiumAt, stadium);
    }, kSumPiece);
    if (!read) return read.error();
    const bool marked = stadiumMarked(size, stadium);
    const auto headerRead = std::span<const std::uint8_t>(header).first(std::size_t(std::min<std::int64_t>(size, kHeaderEnd)));
    return stateOf({headerRead, marked ? std::span<const std::uint8_t>(stadium) : std::span<const std::uint8_t>(), sums});
}

RomChecks::RomChecks(std::span<std::uint8_t> rom) : rom_(rom) { appendHalfBankSums(rom, halfBankSums_); }

RomChecks::RomChecks(std::span<std::uint8_t> rom, std::vector<std::uint32_t> halfBankSums)
    : rom_(rom), halfBankSums_(std::move(halfBankSums)) {}

void RomChecks::set(std::uint32_t offset, std::uint8_t value) {
    std::uint32_t& sum = halfBankSums_[offset / kHalfBank];
    sum = sum - rom_[offset] + value;
    rom_[offset] = value;
}

CheckBytes RomChecks::bytes() const {
    return {rom_.first(std::min<std::size_t>(rom_.size(), kHeaderEnd)),
            hasStadiumMark(rom_) ? std::span<const std::uint8_t>(rom_.subspan(kStadiumAt, kStadiumLength)) : std::span<const std::uint8_t>(),
            halfBankSums_};
}

ChecksumState RomChecks::state() const { return stateOf(bytes()); }

void RomChecks::update(bool header, bool stadium, bool global) {
    if (rom_.size() <= kGlobalChecksumAt + 1) return;
    if (header) set(kHeaderChecksumAt, headerSumOf(bytes()));
    if (stadium && hasStadiumMark(rom_)) {
        const std::vector<std::uint8_t> area = stadiumDataOf(bytes());
        for (std::uint32_t i = 0; i < kStadiumLength; ++i) set(kStadiumAt + i, area[i]);
    }
    if (global) {
        std::array<std::uint8_t, 2> word{};
        putBigEndian16(word, globalSumOf(bytes()));
        set(kGlobalChecksumAt, word[0]);
        set(kGlobalChecksumAt + 1, word[1]);
    }
}

}  // namespace kestrane
