#include "trades/checksums.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "support/byte_scan.h"
#include "support/bytes.h"
#include "trades/releases.h"

namespace kestrane {
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

bool hasStadiumMark(std::span<const std::uint8_t> rom) {
    return rom.size() == kStadiumRomSize && std::memcmp(rom.data() + kStadiumAt, kStadiumMark, 6) == 0;
}

}  // namespace

std::string checksumsSkippedText(ChecksumsSkipped why) {
    return why == ChecksumsSkipped::TooLarge
               ? "the file is larger than any Game Boy ROM (" + largestRomSizeText() + ")"
               : std::string("the file is shorter than its header says and may be cut off");
}

std::optional<ChecksumsSkipped> checksumsSkipped(const RomSize& size) {
    if (size.file > kLargestRomSize) return ChecksumsSkipped::TooLarge;
    if (size.cutOff()) return ChecksumsSkipped::CutOff;
    return std::nullopt;
}

std::string_view checksumStatusText(ChecksumStatus status) {
    switch (status) {
    case ChecksumStatus::Consistent: return "consistent";
    case ChecksumStatus::Stale: return "stale";
    case ChecksumStatus::Absent: break;
    }
    return "absent";
}

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

RomChecks::RomChecks(std::span<std::uint8_t> rom) : rom_(rom) { appendHalfBankSums(rom, halfBankSums_); }

RomChecks::RomChecks(std::span<std::uint8_t> rom, std::vector<std::uint32_t> halfBankSums)
    : rom_(rom), halfBankSums_(std::move(halfBankSums)) {}

void RomChecks::set(std::uint32_t offset, std::uint8_t value) {
    std::uint32_t& sum = halfBankSums_[offset / kHalfBank];
    sum = sum - rom_[offset] + value;
    rom_[offset] = value;
}

std::uint16_t RomChecks::globalSum() const {
    std::uint32_t total = std::accumulate(halfBankSums_.begin(), halfBankSums_.end(), std::uint32_t{0});
    if (rom_.size() > kGlobalChecksumAt + 1) total -= rom_[kGlobalChecksumAt] + rom_[kGlobalChecksumAt + 1];
    return static_cast<std::uint16_t>(total);
}

// The 520 bytes the build would write from 0x1FFDF8, from the image as it is.
std::vector<std::uint8_t> RomChecks::stadiumData() const {
    std::vector<std::uint8_t> area(kStadiumLength, 0);
    std::copy_n(kStadiumMark, 6, area.begin());
    const std::span<std::uint8_t> sums = std::span(area).subspan(kSumsAt - kStadiumAt);
    const std::uint32_t markSum = byteSum(std::span(area).first(6));
    const std::uint32_t areaNow = byteSum(rom_.subspan(kStadiumAt, kStadiumLength));
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t content = halfBankSums_[i];
        // The global checksum is 0 while the sums are made.
        if (i == 0) content -= rom_[kGlobalChecksumAt] + rom_[kGlobalChecksumAt + 1];
        // The last half-bank holds the data itself: the mark and the sums before it.
        if (i == 255) content = content - areaNow + markSum + byteSum(sums.first(2 * 255));
        putBigEndian16(sums.subspan(2 * i, 2), static_cast<std::uint16_t>(kSumStart + content));
    }
    putBigEndian16(std::span(area).subspan(kCrcAt - kStadiumAt, 2), stadiumCrc(sums));
    return area;
}

std::uint8_t RomChecks::headerSum() const {
    std::uint8_t x = 0;
    for (std::uint32_t at = 0x134; at < kHeaderChecksumAt; ++at) x = static_cast<std::uint8_t>(x - rom_[at] - 1);
    return x;
}

ChecksumState RomChecks::state() const {
    ChecksumState state;
    if (rom_.size() > kGlobalChecksumAt + 1) {
        state.header = headerSum() == rom_[kHeaderChecksumAt] ? ChecksumStatus::Consistent : ChecksumStatus::Stale;
        state.global = globalSum() == readBigEndian16(rom_.subspan(kGlobalChecksumAt, 2)) ? ChecksumStatus::Consistent
                                                                                          : ChecksumStatus::Stale;
    }
    if (hasStadiumMark(rom_)) {
        const std::vector<std::uint8_t> expected = stadiumData();
        state.stadium = std::equal(expected.begin(), expected.end(), rom_.begin() + kStadiumAt) ? ChecksumStatus::Consistent
                                                                                              : ChecksumStatus::Stale;
    }
    return state;
}

void RomChecks::update(bool header, bool stadium, bool global) {
    if (rom_.size() <= kGlobalChecksumAt + 1) return;
    if (header) set(kHeaderChecksumAt, headerSum());
    if (stadium && hasStadiumMark(rom_)) {
        const std::vector<std::uint8_t> area = stadiumData();
        for (std::uint32_t i = 0; i < kStadiumLength; ++i) set(kStadiumAt + i, area[i]);
    }
    if (global) {
        std::array<std::uint8_t, 2> bytes{};
        putBigEndian16(bytes, globalSum());
        set(kGlobalChecksumAt, bytes[0]);
        set(kGlobalChecksumAt + 1, bytes[1]);
    }
}

}  // namespace kestrane
