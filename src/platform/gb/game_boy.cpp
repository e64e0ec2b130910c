#include "platform/gb/game_boy.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>

#include "platform/gb/banks.h"
#include "platform/gb/cartridge.h"
#include "platform/gb/checksums.h"
#include "support/hex_text.h"
#include "support/words.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {

constexpr std::uint8_t kOldLicenseeUsed = 0x33;
constexpr std::int64_t kLicenseeOffset = 0x14B;

// The title at 0x134, up to its first zero byte (and short of the Game Boy
// Color flag at 0x143 where there is one).
std::string titleOf(std::span<const std::uint8_t> header) {
    std::size_t length = kTitleLength;
    if (header[kTitleLength - 1] & 0x80) --length;
    std::string title;
    for (std::size_t i = 0; i < length && header[i] != 0; ++i) title += char(header[i]);
    return title;
}

constexpr RomFileKind kKinds[] = {{"gb", "application/x-gameboy-rom"}, {"gbc", "application/x-gameboy-color-rom"}};

class GameBoy final : public Platform {
public:
    std::string_view name() const override { return "Game Boy"; }

    Result<CartridgeIdentity> identify(File& file, const std::string& path,
                                       const std::function<std::string()>& choose) const override {
        // The logo, title and game code and, with the same read, the header's ROM size, destination, licensee and version bytes.
        std::array<std::uint8_t, kVersionByteOffset + 1 - kLogoOffset> bytes{};
        auto read = readUpTo(file, kLogoOffset, bytes);
        if (!read) return inContext(read.error(), "Could not read " + quoted(path));
        const auto header = std::span(bytes).subspan(kTitleOffset - kLogoOffset);
        const std::size_t got = *read > std::size_t(kTitleOffset - kLogoOffset) ? *read - std::size_t(kTitleOffset - kLogoOffset) : 0;
        constexpr std::size_t kCodeAt = kGameCodeOffset - kTitleOffset;
        if (got < kCodeAt + kGameCodeLength) {
            // A device or pipe that gives nothing is no file too short: the size says which.
            auto size = file.size();
            if (!size) return inContext(size.error(), "Could not read " + quoted(path));
            return refused(ErrorCode::FileTooShort, quoted(path) + " is too short to be a Game Boy ROM (" +
                                                        std::to_string(*size) + " bytes)" +
                                                        ": it ends before the game code of the cartridge header. Choose a " +
                                                        choose() + " ROM.");
        }
        CartridgeIdentity identity;
        identity.cartridgeHeader = std::equal(std::begin(kLogo), std::end(kLogo), bytes.begin());
        identity.gameCode.assign(header.begin() + kCodeAt, header.begin() + kCodeAt + kGameCodeLength);
        if (got > kRomSizeByteOffset - kTitleOffset) {
            identity.headerSize = romSizeOfHeaderByte(header[kRomSizeByteOffset - kTitleOffset]);
        }
        if (got == header.size()) {
            identity.version = header.back();
            identity.destination = header[kDestinationOffset - kTitleOffset];
            // A title no longer than a code names no release known by its title (it would read as a code).
            if (std::string title = titleOf(header); title.size() > kGameCodeLength) identity.title = std::move(title);
            // A release without a code (Red, Blue and Yellow; Japanese Red and Green) is its title, with the old licensee byte 0x33.
            identity.titleStandsForCode = !identity.title.empty() && identity.destination <= 0x01 &&
                                          header[kLicenseeOffset - kTitleOffset] == kOldLicenseeUsed;
        }
        return identity;
    }

    std::string identityDetail(const CartridgeIdentity& identity, std::string_view shown) const override {
        const bool title = shown.size() > kGameCodeLength;
        return (title ? "The title at " + hexOffset(kTitleOffset) : "The game code at " + hexOffset(kGameCodeOffset)) +
               " is \"" + printableGameCode(shown) + "\"" +
               (title && identity.destination == kJapanDestination ? " (a Japanese cartridge)" : "");
    }

    std::string_view identityWord(std::string_view code) const override {
        return code.size() > kGameCodeLength ? "title" : "game code";
    }

    std::int64_t largestImage() const override { return kLargestRomSize; }
    std::span<const CheckArea> checks() const override { return kCheckAreas; }
    Result<ChecksumState> readChecksumState(File& file, std::int64_t size) const override {
        return kestrane::readChecksumState(file, size);
    }
    Result<CheckSums> holdWholeSummed(HoldingFile& held, std::int64_t size) const override {
        return kestrane::holdWholeSummed(held, size);
    }
    std::unique_ptr<ImageChecks> imageChecks(std::span<std::uint8_t> image, CheckSums sums) const override {
        return std::make_unique<RomChecks>(image, std::move(sums));
    }
    std::uint32_t windowEnd(std::uint32_t offset) const override { return bankWindowEnd(offset); }
    std::span<const RomFileKind> fileKinds() const override { return kKinds; }

    Error notAnImage(const std::string& path, std::string_view choose) const override {
        Error error = refused(ErrorCode::UnsupportedRom, "This is not a Game Boy ROM (no cartridge header).");
        error.detail = quoted(path) + " lacks the logo every Game Boy cartridge holds at " + hexOffset(kLogoOffset) +
                       ", so it is no game's image (a text or another file, perhaps). Choose a " + std::string(choose) +
                       " ROM.";
        return error;
    }
};

}  // namespace

const Platform& gameBoyPlatform() {
    static const GameBoy platform;
    return platform;
}

}  // namespace kestrane
