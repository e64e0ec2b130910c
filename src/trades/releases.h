// The releases Kestrane knows, each a row of its family's table, and how a
// file is recognised as one: by the identity its platform reads from the
// header (a game code, compared exactly and case-sensitively, or a title
// that stands for one), against the rows of the families the front end
// passes (families/families.h).
#pragma once

#include <functional>
#include <array>
#include <optional>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "text/charset.h"
#include "text/text_dialect.h"
#include "platform/platform.h"
#include "trades/game_family.h"
#include "trades/record_layout.h"
#include "trades/slot.h"

namespace kestrane {

// The slots the trade list always shows.
inline constexpr int kListedSlots = 7;

// One set of lines a trader speaks (the record's dialog set byte).
struct DialogSet {
    std::string_view key;      // "collector": what the command line and JSON take
    std::string_view label;    // "Collector"
    std::string_view opening;  // the line the trader opens with
};

struct Release {
    std::string_view code;      // "AAUE"
    std::string_view name;      // "Pokémon <game>" (UTF-8)
    Language language;
    // A variant's name without what sets it apart (the release it was made from).
    std::string_view nameInShort = {};
    std::string_view game;      // the game's own name, as lists of games name it
    // The header's version bytes (0x14C) of the revisions this row edits;
    // empty: every one.
    std::span<const std::uint8_t> revisions;
    // A row reached only through its record layout, read from the game's
    // code: a base that hacks are built on, with the header of the release
    // it was made from.
    bool reachedByLayout = false;
    const RecordLayout& layout;
    const Charset& (*charset)();
    const TextDialect& (*dialect)();  // what its text engine does with bytes that are no characters
    std::uint32_t usualTable;    // the trade table's first record, where the release keeps it
    int ownRecords;             // the release's own trades
    std::span<const DialogSet> dialogSets;   // by the record's dialog set byte

    const GameFamily& (*family)();  // how its game counts its trades, reads its game data, draws its pictures
    SlotOrder slotOrder = SlotOrder::FirstTwoSwapped;

    // The name where room is short (the window's game name).
    std::string_view shortName() const { return nameInShort.empty() ? name : nameInShort; }
};

// The games the families edit: "Pokémon <game>, <game> or <game>" (last: "or"),
// "Pokémon <game>, <game> and <game>".
std::string gamesText(Families families, std::string_view last);
// The platforms the families' games run on, each once: "Game Boy", "Game Boy and Game Boy Advance".
std::string platformsText(Families families);

// The names the families' image files go by, each once, in the families' order.
std::vector<RomFileKind> romFileKinds(Families families);
// The games (their names, each once, in the families' order) whose rows
// hold for `test`: any row of the game, or every row of it.
enum class GameRows { Any, Every };
std::vector<std::string_view> gamesWhere(Families families, GameRows rows, const std::function<bool(const Release&)>& test);
// "Red, Blue and Yellow"
std::string gameNames(const std::vector<std::string_view>& games);
// "collector, happy, newbie or (Crystal) girl; in Red, Blue and Yellow
// casual, evolution or happy": the dialog sets' keys, each list once, a
// longer list's further keys said with its games.
std::string dialogSetKeysText(Families families);

// ".gb or .gbc": the same for a sentence.
std::string romFileKindsText(Families families);

// The release of a code (and version byte), or nullptr when it is none
// the families edit; never a variant.
const Release* findRelease(Families families, std::string_view gameCode, std::uint8_t version = 0);
// The rows a ROM of a release may be: the release itself first, then its
// variants (the record layouts hacks built on it use), then another
// market's release of its title (Japanese and English Red), which the
// game's routine tells apart.
std::vector<const Release*> variantsOf(const Release& release);

// Sister releases keep their trades alike (the record layout, the
// character set, the game's own trades and its dialog sets): a trade table
// of one fits the other (two versions of one game, or one game's releases in two countries).
bool sisterReleases(const Release& a, const Release& b);

// "The table is from Pokémon <game> (<code>), a sister release: its trades fit this ROM's."
std::string sisterNote(const Release& from);

// What sets the families apart, each asked of the release's family.
inline bool holdsCheck(const Release& release, std::size_t check) { return release.family().holdsCheck(check); }
// The checks of its platform a release's ROMs carry, each with its index, in the platform's order.
struct HeldCheck {
    std::size_t index;
    const CheckArea* area;
};
std::vector<HeldCheck> heldChecks(const Release& release);
inline bool countsItsTrades(const Release& release) { return release.family().countsItsTrades(); }
inline bool holdsItems(const Release& release) { return release.family().holdsItems(); }

struct RomIdentity {
    // The header's code, one char per byte; where the release matched is
    // known by its title, or the title names a release, the title.
    std::string gameCode;
    const Release* release = nullptr; // nullptr: unsupported
    CartridgeIdentity header;         // what the platform read
    const Platform* platform = nullptr;
};

// Reads the identity of a file the caller has open; path only names it in
// messages. A file that ends before the identity bytes is an error; a file
// no family edits is a RomIdentity without a release.
Result<RomIdentity> identifyRom(File& file, const std::string& path, Families families);
// The same by path: opens, reads the identity, closes.
Result<RomIdentity> identifyRom(const std::string& path, Families families, FileSystem& fs = nativeFileSystem());

// Whether a header's identity is still the release's: its code, or the
// title that stands for it.
bool identifies(const CartridgeIdentity& header, const Release& release);

// Why a file no family edits is refused: no image of the platform at all,
// a release Kestrane knows but does not edit (named), or an unknown one
// ("Unsupported ROM."); the detail says what the header holds and what is edited.
Error unsupportedRom(const RomIdentity& identity, const std::string& path, Families families);

}  // namespace kestrane
