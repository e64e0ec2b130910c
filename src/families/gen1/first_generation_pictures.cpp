#include "families/gen1/first_generation_pictures.h"

#include <array>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "platform/gb/banks.h"
#include "families/gen1/first_generation_code.h"

namespace kestrane {
namespace {

constexpr int kCanvasTiles = 7;
constexpr std::uint32_t kSizeAt = 10, kFrontAt = 11;

Error badData(const std::string& why) { return refused(ErrorCode::NoPicture, "its data " + why); }

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    // The next bit, or none past the stream's end.
    std::optional<int> bit() {
        if (at_ / 8 >= bytes_.size()) return std::nullopt;
        const int b = bytes_[at_ / 8] >> (7 - at_ % 8) & 1;
        ++at_;
        return b;
    }
    std::optional<std::uint32_t> bits(int n) {
        std::uint32_t v = 0;
        while (n-- > 0) {
            auto b = bit();
            if (!b) return std::nullopt;
            v = v << 1 | std::uint32_t(*b);
        }
        return v;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// A plane: a byte an 8-pixel row, 8-pixel columns one after another, each
// heightTiles x 8 rows (the order the pairs are written in).
class Plane {
public:
    Plane(int width, int height) : height_(std::size_t(height) * 8), bytes_(std::size_t(width) * height_, 0) {}
    std::size_t pairs() const { return bytes_.size() * 4; }
    // The n-th pair in the stream's order.
    void put(std::size_t n, std::uint32_t pair) {
        const std::size_t column = n / (height_ * 4), within = n % (height_ * 4);
        const std::size_t pairInByte = within / height_, row = within % height_;
        bytes_[column * height_ + row] |= std::uint8_t(pair << (6 - 2 * pairInByte));
    }
    std::uint8_t& at(std::size_t column, std::size_t row) { return bytes_[column * height_ + row]; }
    std::size_t columns() const { return bytes_.size() / height_; }
    std::size_t rows() const { return height_; }

    // Each bit says whether a pixel differs from the one to its left, each row from 0.
    void deltaDecode() {
        for (std::size_t row = 0; row < rows(); ++row) {
            int previous = 0;
            for (std::size_t column = 0; column < columns(); ++column) {
                std::uint8_t& b = at(column, row);
                std::uint8_t out = 0;
                for (int bit = 7; bit >= 0; --bit) {
                    previous ^= b >> bit & 1;
                    out = std::uint8_t(out | previous << bit);
                }
                b = out;
            }
        }
    }
    void xorWith(const Plane& other) {
        for (std::size_t i = 0; i < bytes_.size(); ++i) bytes_[i] ^= other.bytes_[i];
    }

private:
    std::size_t height_;
    std::vector<std::uint8_t> bytes_;
};

Result<void> readPlane(BitReader& in, Plane& plane) {
    auto ended = [] { return badData("ends before its picture does"); };
    auto first = in.bit();
    if (!first) return ended();
    bool run = *first == 0;
    std::size_t n = 0;
    while (n < plane.pairs()) {
        if (run) {
            int ones = 0;
            for (;;) {
                auto b = in.bit();
                if (!b) return ended();
                if (*b == 0) break;
                if (++ones > 15) return badData("holds a run longer than any picture");
            }
            auto extra = in.bits(ones + 1);
            if (!extra) return ended();
            const std::size_t zeros = (std::size_t{2} << ones) - 1 + *extra;
            if (zeros > plane.pairs() - n) return badData("holds a run past its picture's end");
            n += zeros;  // the plane starts zeroed
        } else {
            for (;;) {
                auto pair = in.bits(2);
                if (!pair) return ended();
                if (*pair == 0) break;
                plane.put(n++, *pair);
                if (n == plane.pairs()) break;
            }
        }
        run = !run;
    }
    return {};
}

}  // namespace

Result<UnpackedPicture> unpackFirstGenerationPicture(std::span<const std::uint8_t> stream) {
    BitReader in(stream);
    auto size = in.bits(8);
    if (!size) return badData("is empty");
    const int width = int(*size >> 4), height = int(*size & 0x0F);
    if (width == 0 || height == 0 || width > kCanvasTiles || height > kCanvasTiles) {
        return badData("gives the size " + std::to_string(width) + " x " + std::to_string(height) +
                       " tiles, which is no picture of at most 7 x 7");
    }
    std::array<Plane, 2> planes{Plane(width, height), Plane(width, height)};
    auto order = in.bit();
    if (!order) return badData("ends before its picture does");
    const int first = *order, second = first ^ 1;
    if (auto read = readPlane(in, planes[std::size_t(first)]); !read) return read.error();
    auto modeBit = in.bit();
    if (!modeBit) return badData("ends before its picture does");
    int mode = *modeBit;
    if (mode == 1) {
        auto next = in.bit();
        if (!next) return badData("ends before its picture does");
        mode += *next;
    }
    if (auto read = readPlane(in, planes[std::size_t(second)]); !read) return read.error();
    Plane& a = planes[std::size_t(first)];
    Plane& b = planes[std::size_t(second)];
    switch (mode) {
    case 0:
        a.deltaDecode();
        b.deltaDecode();
        break;
    case 1:
        a.deltaDecode();
        b.xorWith(a);
        break;
    default:
        b.deltaDecode();
        a.deltaDecode();
        b.xorWith(a);
        break;
    }
    UnpackedPicture picture{width, height, {}};
    picture.shades.resize(std::size_t(width) * 8 * std::size_t(height) * 8);
    for (std::size_t row = 0; row < planes[0].rows(); ++row) {
        for (std::size_t column = 0; column < planes[0].columns(); ++column) {
            const std::uint8_t low = planes[0].at(column, row), high = planes[1].at(column, row);
            for (int x = 0; x < 8; ++x) {
                picture.shades[row * std::size_t(width) * 8 + column * 8 + std::size_t(x)] =
                    std::uint8_t((low >> (7 - x) & 1) | (high >> (7 - x) & 1) << 1);
            }
        }
    }
    return picture;
}

Result<FrontPicture> readFirstGenerationPicture(const Rom& rom, SpeciesId species, FileSystem& fs) {
    auto none = [&](const Error& why) { return noPicture(speciesNumberText(*rom.species, species), why); };
    const auto number = rom.species->numberOf(species);
    if (species < 1 || !number || *number < 1) return none(refused(ErrorCode::NoPicture, "it has no Pokédex entry"));
    const auto* code = dynamic_cast<const FirstGenerationCode*>(rom.familyData.get());
    if (!code) return none(refused(ErrorCode::NoPicture, "the ROM's code was not read"));
    if (!code->baseStats.at) return none(refused(ErrorCode::NoPicture, "its base stats are not proven: " + code->baseStats.whyNot));
    if (!code->pictureBanks) return none(refused(ErrorCode::NoPicture, "its bank is not proven: " + code->pictureBanksWhyNot));
    // Mew's entry stands apart where GetMonHeader says so, as the game reads it.
    const std::uint32_t entry = code->mewIndex && species == *code->mewIndex
                                    ? *code->mewBaseStats
                                    : *code->baseStats.at + std::uint32_t(*number - 1) * kBaseStatsEntry;
    if (entry + kBaseStatsEntry > bankWindowEnd(*code->baseStats.at) && entry != code->mewBaseStats) {
        return none(refused(ErrorCode::NoPicture, "its base stats at " + hexOffset(entry) + " lie past the end of their bank"));
    }
    auto where = [&] { return "Could not read the picture of species " + std::to_string(*number) + " from " + quoted(rom.path); };
    auto file = fs.open(rom.path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    std::array<std::uint8_t, kBaseStatsEntry> stats{};
    auto got = readUpTo(**file, entry, stats);
    if (!got) return inContext(got.error(), where());
    if (*got < stats.size() || stats[0] != *number) {
        return none(refused(ErrorCode::NoPicture, "its base stats at " + hexOffset(entry) + " are not where the game keeps them"));
    }
    const std::uint16_t address = readLittleEndian16(std::span(stats).subspan(kFrontAt, 2));
    const auto at = offsetInBank(code->pictureBanks->bankOf(species), address);
    if (!at || address < kBankSize) {
        return none(refused(ErrorCode::NoPicture, "its base stats at " + hexOffset(entry) + " point to " + hexOffset(address) +
                                                     ", outside the bank its picture lies in"));
    }
    // The data lies in one bank: the game reads no further than its end.
    std::vector<std::uint8_t> stream(2 * kBankSize - address);
    auto read = readUpTo(**file, *at, stream);
    if (!read) return inContext(read.error(), where());
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    stream.resize(*read);
    auto unpacked = unpackFirstGenerationPicture(stream);
    if (!unpacked) return none(unpacked.error());
    if (stats[kSizeAt] != (unpacked->widthTiles << 4 | unpacked->heightTiles)) {
        return none(refused(ErrorCode::NoPicture, "its size in the base stats (0x" + toPaddedHex(stats[kSizeAt], 2) +
                                                     ") is not its data's (" + std::to_string(unpacked->widthTiles) + " x " +
                                                     std::to_string(unpacked->heightTiles) + " tiles)"));
    }
    FrontPicture picture;
    picture.width = picture.height = kCanvasTiles * 8;
    picture.shades.assign(std::size_t(picture.width) * std::size_t(picture.height), 0);
    const int left = (8 - unpacked->widthTiles) / 2 * 8, top = (kCanvasTiles - unpacked->heightTiles) * 8;
    const int width = unpacked->widthTiles * 8;
    for (int y = 0; y < unpacked->heightTiles * 8; ++y) {
        std::copy_n(unpacked->shades.begin() + std::ptrdiff_t(y * width), width,
                    picture.shades.begin() + std::ptrdiff_t((top + y) * picture.width + left));
    }
    picture.colours = {Rgb{255, 255, 255}, Rgb{170, 170, 170}, Rgb{85, 85, 85}, Rgb{0, 0, 0}};
    return picture;
}

}  // namespace kestrane
