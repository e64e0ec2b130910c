// What a console's images say about themselves, read the same way for
// every family of games on it: the identity bytes of the header, and what
// an image of it is. One object a platform (the Game Boy's in
// platform/gb/game_boy.h); each family names its platform.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <functional>
#include <string>
#include <string_view>

#include "platform/checks.h"
#include "support/file.h"
#include "support/result.h"
#include "support/holding_file.h"

namespace kestrane {

// What Kestrane knows of a file's size against its header's.
struct RomSize {
    std::int64_t file = 0;
    std::optional<std::int64_t> header;
    // Shorter than its header says: the end of the game is missing.
    bool cutOff() const { return header && file < *header; }
    // "The file is 1,036,077 bytes; its header says 2,097,152: it may be cut off."
    std::string cutOffNote() const;
};

// What a header says of the game it holds.
// The destination byte of a cartridge made for Japan.
inline constexpr std::uint8_t kJapanDestination = 0x00;

struct CartridgeIdentity {
    std::string gameCode;  // the code, one char per byte
    // The title, where the platform lets it stand for a code (the Game
    // Boy's games that have none); empty where it does not.
    std::string title;
    // The header lets the title be the code: a release known by its title,
    // of the header's market, is this one (the Game Boy: the old licensee byte).
    bool titleStandsForCode = false;
    std::optional<std::int64_t> headerSize;  // what the header's ROM size byte says, if anything
    std::uint8_t version = 0;                // the header's version byte
    std::uint8_t destination = 1;            // the header's destination byte (kJapanDestination: Japan)
    // Whether the file begins such a header at all: the logo the console
    // checks before it starts any game.
    bool cartridgeHeader = true;
};

// A name a platform's image files go by, and the type each is on the
// desktop: what the window takes when a file is dropped on it, and how it
// lists a recent ROM.
struct RomFileKind {
    std::string_view extension;  // without the dot, lower case
    std::string_view mimeType;
};

class Platform {
public:
    virtual ~Platform() = default;

    // "Game Boy": what its images are called in messages.
    virtual std::string_view name() const = 0;
    // The header's identity, from a file the caller has open; path only
    // names it in messages, `choose` what the user should choose instead
    // ("Pokémon Gold, … or Yellow"), made only for a refusal. A file that
    // ends before the identity bytes is a FileTooShort error.
    virtual Result<CartridgeIdentity> identify(File& file, const std::string& path,
                                               const std::function<std::string()>& choose) const = 0;
    // "The game code at 0x13F is "ABCD"" or "The title at 0x134 is "…" (a
    // Japanese cartridge)": what a refusal says the header holds; `shown`
    // is the code or the title it was known by.
    virtual std::string identityDetail(const CartridgeIdentity& identity, std::string_view shown) const = 0;
    // "game code" or "title": what a release's identity is called.
    virtual std::string_view identityWord(std::string_view code) const = 0;
    // The largest image of the platform: no table is looked for past it,
    // and a larger file's checks are not computed.
    virtual std::int64_t largestImage() const = 0;
    // The end of the window of memory through which the game reads the
    // byte at `offset` (the Game Boy: the end of its bank): what the game
    // reads from there on is other memory.
    virtual std::uint32_t windowEnd(std::uint32_t offset) const = 0;
    // The checks its images carry, in the order its build makes them last.
    virtual std::span<const CheckArea> checks() const = 0;
    // The checks' state of a file's first `size` bytes, read through one
    // piece's buffer: an image costs a piece of memory, not its size.
    virtual Result<ChecksumState> readChecksumState(File& file, std::int64_t size) const = 0;
    // Reads the whole file into `held`, the checks' sums made as each piece
    // lands; gives the sums.
    virtual Result<CheckSums> holdWholeSummed(HoldingFile& held, std::int64_t size) const = 0;
    // How many of an image's first bytes its checks are made of: what a
    // save that keeps them holds (the Game Boy: the whole image).
    virtual std::int64_t checkedBytes(std::int64_t size) const { return size; }
    // The checks of a whole image held in memory (which must outlive them),
    // with the sums holdWholeSummed made of it.
    virtual std::unique_ptr<ImageChecks> imageChecks(std::span<std::uint8_t> image, CheckSums sums) const = 0;
    // The names its images' files go by, the usual first.
    virtual std::span<const RomFileKind> fileKinds() const = 0;
    // The refusal of a file that holds no header of the platform's.
    virtual Error notAnImage(const std::string& path, std::string_view choose) const = 0;
};

// A header's identity bytes as text a person can read: the code itself
// when it is printable ASCII, else its bytes in hexadecimal ("00 FF 41 42").
std::string printableGameCode(std::string_view gameCode);

// Why a file of this size has no checks computed, if it has none: larger
// than any image of the platform, or cut off.
std::optional<ChecksumsSkipped> checksumsSkipped(const Platform& platform, const RomSize& size);
// "the file is larger than any Game Boy ROM (8 MiB)", "the file is shorter than its header says …"
std::string checksumsSkippedText(const Platform& platform, ChecksumsSkipped why);
// "8 MiB"
std::string largestImageText(const Platform& platform);
// The check a byte of an image belongs to, if any.
const CheckArea* checkOfByte(const Platform& platform, std::uint32_t offset);

}  // namespace kestrane
