// What a family of games does its own way, asked through one interface so
// that the generic core names none: its rows and its platform, whether its
// game counts its trades, what its ROMs carry, how many records its table
// must hold, how its game data is read and its pictures drawn. One object a
// family, in its own folder (families/); each release row names its family
// (Release::family), and the front ends pass the registry of them all
// (families::all()) to the opening.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/routine.h"
#include "support/file.h"
#include "support/result.h"
#include "trades/front_picture.h"
#include "trades/values.h"
#include "support/holding_file.h"

namespace kestrane {

struct Release;
struct Rom;
struct TradeRecord;
struct TradeEdit;
struct TradeWarning;

// What the game makes of a record's numbers when the trade happens (the
// gender its DVs give, the nature a personality gives): shown beside the
// fields, never stored.
struct ReadOut {
    std::string_view label;       // "Received gender": what `show` prints
    std::string_view shortLabel;  // "Gender": what the window's read-out says
    std::string text;             // "female", "Bold", "yes"
    Field field = Field::Dvs;     // what it is made from
    std::string_view key = {};    // "nature": JSON (a family's read-outs)
    std::optional<bool> flag = {};  // a yes or no (shiny): JSON gives it as true or false
    std::vector<std::uint32_t> numbers = {};  // numbers (a mail's words): JSON gives them as an array
};

// What one opening has found that its later steps reuse (a family's own:
// what it searched the whole file for once, say).
class OpeningNotes {
public:
    virtual ~OpeningNotes() = default;
};

// What a family read of an opened ROM for its own later use (where the
// game's code keeps its tables, say), kept with the Rom.
class FamilyData {
public:
    virtual ~FamilyData() = default;
};

// A release known by its identity whose bytes no public source rebuilds:
// recognised, named, and never guessed at.
struct KnownRelease {
    std::string_view code;                // or the title that stands for one
    std::optional<std::uint8_t> version;  // none: every version
    std::string_view name;                // "Pokémon <game> in Japanese"
    std::optional<std::uint8_t> destination = std::nullopt;  // none: either
};

// The routine of a ROM's code that reads its trade table, as its family
// found it.
struct TableRoutine {
    FoundRoutine found;               // no copies: the routine is nowhere in the file
    const Release* placed = nullptr;  // the row at whose own place it stood (none: found by a search, or not found)
    std::uint32_t ownPlace = 0;       // where that row (else the release) keeps it: what messages name
    const Release* shapedBy = nullptr;  // found by a search: the row whose form of it stands in the file
    // Where the family refuses the table whole (the code's pointers disagree,
    // a base whose records it does not read), the sentence that says why,
    // without its full stop; then no record is looked for.
    std::string refusal;
};

class GameFamily {
public:
    virtual ~GameFamily() = default;

    // Its releases and their variants, in the order messages list them.
    virtual std::span<const Release* const> rows() const = 0;
    // The releases it knows but does not edit.
    virtual std::span<const KnownRelease> knownReleases() const = 0;
    // The console its games run on.
    virtual const Platform& platform() const = 0;

    // A fresh opening's notes.
    virtual std::unique_ptr<OpeningNotes> beginOpening() const = 0;
    // Whether the game's code reads its own trades by a count, so that
    // those records are the release's by their place; where it keeps none,
    // every record is known by its bytes alone.
    virtual bool countsItsTrades() const = 0;
    // Whether the game's creatures hold items at all.
    virtual bool holdsItems() const = 0;
    // Whether the family's ROMs carry a check of its platform's (by its index).
    virtual bool holdsCheck(std::size_t check) const = 0;
    // The routine that reads the trade table of a ROM that may be any of
    // `rows` (a release first, then its variants): at a row's own place or
    // through a jump there, the first row that holds it deciding; else every
    // copy in the file. `notes` keeps what the search found for the
    // opening's later steps. Only a failing read is an error.
    virtual Result<TableRoutine> findTableRoutine(HoldingFile& file, std::span<const Release* const> rows, const RomSize& size,
                                                  OpeningNotes& notes) const = 0;
    // What the callers of the routine at `routine` ask of it.
    virtual Result<std::vector<RoutineCall>> tableRoutineCalls(HoldingFile& file, std::uint32_t routine) const = 0;
    // The fewest records a table of `row` must hold where the game's
    // routine points (the row's own trades, or what its scripts start).
    virtual Result<int> recordsRequired(File& file, const Release& row, std::int64_t fileSize, OpeningNotes& notes) const = 0;
    // The game data of an opened ROM, read into it: the species and their
    // names, the base data, the items, the traders' words.
    virtual Result<void> readGameData(HoldingFile& file, Rom& rom, OpeningNotes& notes) const = 0;
    // Kestrane's name of each trade's place, by slot: what is shown where
    // the ROM's are not read or fail.
    virtual std::vector<std::string> builtInPlaces(const Release& release) const = 0;
    // The label the games' public disassemblies give the trade table ("NPCTrades"),
    // as a build's symbol file names it.
    virtual std::string_view tableLabel() const = 0;
    // What the game makes of the record's numbers (none where its records
    // hold what the creature becomes).
    virtual std::vector<ReadOut> readOuts(const Rom&, const TradeRecord&) const { return {}; }
    // What the family's game does wrong with the record, beside what every
    // game does (trade_warnings.h), added to `warnings`.
    virtual void addWarnings(const Rom&, const TradeRecord&, std::vector<TradeWarning>&) const {}
    // A nature asked for, and shininess where the records hold no DVs: the
    // numbers that give it, put into the edit (its given numbers first);
    // refused where the family's creatures have no such thing.
    virtual Result<void> giveNature(const Rom& rom, TradeEdit& edit, std::string_view nature) const;
    virtual Result<void> makeShiny(const Rom& rom, TradeEdit& edit) const;
    // The natures a creature may have, by number ("Hardy" first); none where it has none.
    virtual std::span<const std::string_view> natures() const { return {}; }
    // How the trade's creature looks when it arrives: shiny or not, its
    // Unown form (where the records hold DVs, as they give it).
    virtual PictureLook pictureLook(const Rom& rom, const TradeRecord& record) const;
    // The forms Unown's pictures have, by the character that names each.
    virtual std::string_view unownForms() const { return "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; }
    // A species' front picture as the game draws it, or why there is none.
    virtual Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) const = 0;
};

// The families an opening may find a file to be, in the order messages
// list their games.
using Families = std::span<const GameFamily* const>;

}  // namespace kestrane
