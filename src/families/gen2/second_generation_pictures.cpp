#include "families/gen2/second_generation_pictures.h"

#include <algorithm>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "platform/gb/banks.h"
#include "trades/dvs.h"
#include "families/gen2/second_generation_rows.h"

namespace kestrane {
namespace {

constexpr std::uint32_t kPointerSize = 6;
constexpr std::uint32_t kTileBytes = 16;

enum Command : int { Literal, Iterate, Alternate, ZeroFill, Repeat, Flip, Reverse, Long };

Error badData(const std::string& why) { return refused(ErrorCode::NoPicture, "its data " + why); }

std::uint8_t reversedBits(std::uint8_t b) {
    b = std::uint8_t((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = std::uint8_t((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return std::uint8_t((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

std::uint32_t realBank(std::uint8_t stored, PictureBanks rule) {
    if (rule == PictureBanks::Crystal) return stored + 0x36u;
    if (rule == PictureBanks::Real) return stored;
    switch (stored) {
    case 0x13: return 0x1F;
    case 0x14: return 0x20;
    case 0x1F: return 0x2E;
    default: return stored;
    }
}

Rgb fromRgb555(std::span<const std::uint8_t> two) {
    const std::uint16_t v = readLittleEndian16(two);
    auto eight = [](unsigned five) { return std::uint8_t(five << 3 | five >> 2); };
    return {eight(v & 0x1F), eight(v >> 5 & 0x1F), eight(v >> 10 & 0x1F)};
}

}  // namespace

Result<std::vector<std::uint8_t>> decompressPicture(std::span<const std::uint8_t> stream, std::size_t wanted) {
    std::vector<std::uint8_t> out;
    out.reserve(std::min(wanted, kMaxPictureOutput));
    std::size_t at = 0;
    auto next = [&]() -> std::optional<std::uint8_t> {
        if (at >= stream.size()) return std::nullopt;
        return stream[at++];
    };
    const std::string runsPast = "runs past the end of the bank or file";
    while (out.size() < wanted) {
        const auto head = next();
        if (!head) return badData(runsPast);
        if (*head == 0xFF) break;
        int command = *head >> 5;
        std::size_t count = (*head & 0x1F) + 1u;
        if (command == Long) {
            command = (*head >> 2) & 7;
            const auto low = next();
            if (!low) return badData(runsPast);
            count = (std::size_t(*head & 3) << 8 | *low) + 1;
            if (command == Long) return badData("holds a long command inside a long one, at byte " + std::to_string(at - 2));
        }
        if (out.size() + count > kMaxPictureOutput) {
            return badData("makes more than the " + std::to_string(kMaxPictureOutput) + " bytes a picture can have");
        }
        switch (command) {
        case Literal:
            if (stream.size() - at < count) return badData(runsPast);
            out.insert(out.end(), stream.begin() + std::ptrdiff_t(at), stream.begin() + std::ptrdiff_t(at + count));
            at += count;
            break;
        case Iterate:
        case Alternate: {
            const auto first = next();
            const auto second = command == Alternate ? next() : first;
            if (!first || !second) return badData(runsPast);
            for (std::size_t i = 0; i < count; ++i) out.push_back(i % 2 ? *second : *first);
            break;
        }
        case ZeroFill: out.insert(out.end(), count, 0); break;
        default: {  // Repeat, Flip, Reverse: from output made before
            const auto first = next();
            if (!first) return badData(runsPast);
            std::size_t start;
            if (*first & 0x80) {
                const std::size_t back = (*first & 0x7Fu) + 1;
                if (back > out.size()) return badData("refers to bytes before its start");
                start = out.size() - back;
            } else {
                const auto low = next();
                if (!low) return badData(runsPast);
                start = std::size_t(*first) << 8 | *low;
            }
            for (std::size_t i = 0; i < count; ++i) {
                // Forward copies may read what they have just written.
                const std::size_t from = command == Reverse ? start - i : start + i;
                if ((command == Reverse && i > start) || from >= out.size()) {
                    return badData("refers to bytes " + std::string(command == Reverse ? "before its start" : "not made yet"));
                }
                out.push_back(command == Flip ? reversedBits(out[from]) : out[from]);
            }
            break;
        }
        }
    }
    if (out.size() < wanted) {
        return badData("ends after " + std::to_string(out.size()) + " of the " + std::to_string(wanted) +
                       " bytes its picture needs");
    }
    out.resize(wanted);
    return out;
}

Result<FrontPicture> readSecondGenerationPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) {
    const SecondGenerationRow& release = secondGenerationRow(*rom.release);
    auto none = [&](const Error& why) { return noPicture(std::to_string(species), why); };
    if (species < 1 || !rom.species->listed(species)) return none(refused(ErrorCode::NoPicture, "it has no Pokédex entry"));
    if (!rom.pictureSizes) {
        return none(refused(ErrorCode::NoPicture, "the ROM's base data, which gives its size, is not where the game keeps it"));
    }
    if (species >= rom.pictureSizes->size()) return none(refused(ErrorCode::NoPicture, "the ROM's base data has no entry for it"));
    const std::uint8_t size = (*rom.pictureSizes)[species];
    const int width = size & 0x0F, height = size >> 4;
    if (width == 0 || height == 0) return none(refused(ErrorCode::NoPicture, "its size in the base data is 0"));

    auto where = [&] { return "Could not read the picture of species " + std::to_string(species) + " from " + quoted(rom.path); };
    auto file = fs.open(rom.path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    const bool unown = species == kUnown;
    const char letter = look.unownLetter >= 'A' && look.unownLetter <= 'Z' ? look.unownLetter : 'A';
    const std::uint32_t pointerAt = unown ? release.pictures.unownPointers + std::uint32_t(letter - 'A') * kPointerSize
                                          : release.pictures.pointers + std::uint32_t(species - 1) * kPointerSize;
    std::array<std::uint8_t, 3> pointer{};
    auto got = readUpTo(**file, pointerAt, pointer);
    if (!got) return inContext(got.error(), where());
    if (*got < pointer.size()) return none(refused(ErrorCode::NoPicture, "its pointer at " + hexOffset(pointerAt) + " lies past the end of the file"));
    const std::uint16_t address = readLittleEndian16(std::span(pointer).subspan(1));
    const auto at = offsetInBank(realBank(pointer[0], release.pictures.banks), address);
    if (!at || address < kBankSize) {
        return none(refused(ErrorCode::NoPicture, "its pointer at " + hexOffset(pointerAt) + " holds the address " +
                                                     hexOffset(address) + ", outside the banks pictures lie in"));
    }
    const std::uint32_t offset = *at;
    // The data lies in one bank: the game reads no further than its end.
    // A picture's data is a few hundred bytes: the first KiB nearly always
    // holds it, and the rest of the bank is read only when it does not.
    const std::size_t inBank = 2 * kBankSize - address;
    std::vector<std::uint8_t> stream(std::min<std::size_t>(inBank, 1024));
    auto read = readUpTo(**file, offset, stream);
    if (!read) return inContext(read.error(), where());
    if (*read == 0) {
        return none(refused(ErrorCode::NoPicture, "its pointer at " + hexOffset(pointerAt) + " points to " +
                                                     hexOffset(offset) + ", past the end of the file"));
    }
    stream.resize(*read);
    const std::size_t tiles = std::size_t(width) * std::size_t(height);
    auto data = decompressPicture(stream, tiles * kTileBytes);
    if (!data && stream.size() < inBank && *read == stream.size()) {
        stream.resize(inBank);
        auto rest = readUpTo(**file, offset, stream);
        if (!rest) return inContext(rest.error(), where());
        stream.resize(*rest);
        data = decompressPicture(stream, tiles * kTileBytes);
    }
    std::array<std::uint8_t, 8> palette{};
    auto paletteRead = readUpTo(**file, release.palettes + std::uint32_t(species) * 8, palette);
    if (!paletteRead) return inContext(paletteRead.error(), where());
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    if (!data) return none(data.error());
    if (*paletteRead < palette.size()) return none(refused(ErrorCode::NoPicture, "its colours lie past the end of the file"));
    FrontPicture picture;
    picture.width = width * 8;
    picture.height = height * 8;
    picture.shades.resize(std::size_t(picture.width) * std::size_t(picture.height));
    for (std::size_t tile = 0; tile < tiles; ++tile) {
        const std::size_t column = tile / std::size_t(height), row = tile % std::size_t(height);
        const std::uint8_t* bytes = data->data() + tile * kTileBytes;
        for (std::size_t y = 0; y < 8; ++y) {
            const unsigned low = bytes[2 * y], high = bytes[2 * y + 1];
            std::uint8_t* pixel = picture.shades.data() + (row * 8 + y) * std::size_t(picture.width) + column * 8;
            for (int bit = 7; bit >= 0; --bit) *pixel++ = std::uint8_t((low >> bit & 1) | (high >> bit & 1) << 1);
        }
    }
    const std::size_t colours = look.shiny ? 4 : 0;
    picture.colours = {Rgb{255, 255, 255}, fromRgb555(std::span(palette).subspan(colours, 2)),
                       fromRgb555(std::span(palette).subspan(colours + 2, 2)), Rgb{0, 0, 0}};
    return picture;
}

}  // namespace kestrane
