#include "platform/gba/game_boy_advance.h"

#include <algorithm>
#include <array>
#include <memory>

#include "platform/gba/cartridge.h"
#include "support/hex_text.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {

using namespace gba;

// The header's only check: a save of trades never reaches it (onlyByFix).
constexpr CheckArea kChecks[] = {{kComplementAt, 1, "the header complement", "Header complement", "complement", "complement", true}};
constexpr RomFileKind kKinds[] = {{"gba", "application/x-gba-rom"}};

ChecksumState stateOf(std::span<const std::uint8_t> header) {
    ChecksumState state;
    if (header.size() > kComplementAt) {
        state.set(0, headerComplement(header) == header[kComplementAt] ? ChecksumStatus::Consistent : ChecksumStatus::Stale);
    }
    return state;
}

// An image held in memory, whole or its header alone: the complement is
// made of the header, and a trade's byte past what is held is none of its.
class HeaderChecks final : public ImageChecks {
public:
    explicit HeaderChecks(std::span<std::uint8_t> image) : image_(image) {}
    ChecksumState state() const override { return stateOf(image_); }
    void set(std::uint32_t offset, std::uint8_t value) override {
        if (offset < image_.size()) image_[offset] = value;
    }
    void update(const CheckSet& which) override {
        if (which[0] && image_.size() > kComplementAt) image_[kComplementAt] = headerComplement(image_);
    }

private:
    std::span<std::uint8_t> image_;
};

class GameBoyAdvance final : public Platform {
public:
    std::string_view name() const override { return "Game Boy Advance"; }

    Result<CartridgeIdentity> identify(File& file, const std::string& path,
                                       const std::function<std::string()>& choose) const override {
        std::array<std::uint8_t, kHeaderEnd> header{};
        auto read = readUpTo(file, 0, header);
        if (!read) return inContext(read.error(), "Could not read " + quoted(path));
        if (*read < kCodeAt + kCodeLength) {
            auto size = file.size();
            if (!size) return inContext(size.error(), "Could not read " + quoted(path));
            return refused(ErrorCode::FileTooShort, quoted(path) + " is too short to be a Game Boy Advance ROM (" + std::to_string(*size) +
                                                        " bytes): it ends before the game code of the cartridge header. Choose a " +
                                                        choose() + " ROM.");
        }
        CartridgeIdentity identity;
        identity.gameCode.assign(header.begin() + kCodeAt, header.begin() + kCodeAt + kCodeLength);
        for (std::uint32_t i = kTitleAt; i < kTitleAt + kTitleLength && header[i] != 0; ++i) identity.title += char(header[i]);
        identity.cartridgeHeader = *read > kFixedAt && header[kFixedAt] == kFixedValue;
        if (*read > kVersionAt) identity.version = header[kVersionAt];
        // The code's last letter is the region: J Japan.
        identity.destination = identity.gameCode[3] == 'J' ? 0 : 1;
        return identity;
    }

    std::string identityDetail(const CartridgeIdentity&, std::string_view shown) const override {
        return "The game code at " + hexOffset(kCodeAt) + " is \"" + printableGameCode(shown) + "\"";
    }
    std::string_view identityWord(std::string_view) const override { return "game code"; }
    std::int64_t largestImage() const override { return kLargestImage; }
    // The game reads its whole ROM through one window.
    std::uint32_t windowEnd(std::uint32_t) const override { return std::uint32_t(kLargestImage); }
    std::span<const CheckArea> checks() const override { return kChecks; }

    Result<ChecksumState> readChecksumState(File& file, std::int64_t size) const override {
        std::array<std::uint8_t, kHeaderEnd> header{};
        auto read = readUpTo(file, 0, std::span(header).first(std::size_t(std::min<std::int64_t>(size, kHeaderEnd))));
        if (!read) return read.error();
        return stateOf(std::span(header).first(*read));
    }
    Result<CheckSums> holdWholeSummed(HoldingFile& held, std::int64_t size) const override {
        if (auto whole = held.holdWhole(size); !whole) return whole.error();
        return CheckSums{};
    }
    std::int64_t checkedBytes(std::int64_t size) const override { return std::min<std::int64_t>(size, kHeaderEnd); }
    std::unique_ptr<ImageChecks> imageChecks(std::span<std::uint8_t> image, CheckSums) const override {
        return std::make_unique<HeaderChecks>(image);
    }
    std::span<const RomFileKind> fileKinds() const override { return kKinds; }

    Error notAnImage(const std::string& path, std::string_view choose) const override {
        Error error = refused(ErrorCode::UnsupportedRom, "This is not a Game Boy Advance ROM (no cartridge header).");
        error.detail = quoted(path) + " lacks the byte 0x96 every Game Boy Advance cartridge holds at " + hexOffset(kFixedAt) +
                       ", so it is no game's image. Choose a " + std::string(choose) + " ROM.";
        return error;
    }
};

}  // namespace

const Platform& gameBoyAdvancePlatform() {
    static const GameBoyAdvance platform;
    return platform;
}

}  // namespace kestrane
