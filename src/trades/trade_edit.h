// An edit of one trade, and the plan of the bytes it leaves in the record.
//
// A TradeEdit holds typed values: species and item numbers, the name
// fields' bytes, the ID, DVs and the numbers of the gender requirement and
// dialog set. A field left empty (std::nullopt) keeps its bytes. Front ends
// get those values from what a person gave through the core's parsers:
// resolveEdit for a whole edit given as text and numbers (the command line,
// a table import), or the one parser of a field (the window, whose lists
// already give numbers). planTradeRecord checks the values against the ROM
// and gives the record's new bytes, or every problem at once. Neither reads
// or writes the file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "support/result.h"
#include "trades/record_layout.h"
#include "trades/rom.h"
#include "trades/trade_record.h"

namespace kestrane {

// The bytes of a name field (as many as the layout's name length).
using NameBytes = std::vector<std::uint8_t>;

struct TradeEdit {
    TradeRecord shown;  // the trade as it was read
    std::optional<SpeciesId> requestedSpecies;
    std::optional<SpeciesId> offeredSpecies;
    std::optional<NameBytes> nickname;
    std::optional<NameBytes> trainerName;
    std::optional<std::uint16_t> trainerId;
    std::optional<ItemId> heldItem;
    std::optional<Dvs> dvs;
    std::optional<GenderRequirement> genderRequirement;
    std::optional<std::uint8_t> dialogSet;
    std::map<Field, std::vector<std::uint32_t>> numbers;  // fields of plain numbers

    // Drops the edit of a field: it keeps the bytes the file holds.
    void keepStored(Field field);
};

// A one-number field of a record (0 where the layout has none); the same
// as an edit leaves it (given, else stored).
std::uint32_t numberOf(const TradeRecord& record, Field field);
std::uint32_t numberOf(const TradeEdit& edit, Field field);

// The edit that changes nothing.
TradeEdit uneditedEdit(const TradeRecord& shown);

// The trade as the edit's typed values make it, for what the game makes of
// it while it is edited (read-outs, the look of its picture): the names as
// they were read, every other field given in its place.
TradeRecord recordAsEdited(const TradeEdit& edit);

// How a typed name shorter than its field fills the rest: with the
// release's padding (the layout's own: a space in some releases), or with
// the terminator, as the games' own builds pad them. The user's preference,
// given with each edit; where the padding is the terminator, either way.
enum class NamePadding : std::uint8_t { Release, Terminator };

// A value as given: text a person typed (UTF-8), read by the field's text
// parser, or a whole number a table gave, checked as that number.
using Given = std::variant<std::string, std::int64_t>;

// What a person or a table gave for a trade, field by field; an absent
// field keeps its bytes.
struct GivenEdit {
    std::optional<Given> requestedSpecies;  // number or name; "" means none chosen
    std::optional<Given> offeredSpecies;
    std::optional<std::string> nickname;
    std::optional<std::string> trainerName;
    std::optional<Given> trainerId;
    std::optional<Given> heldItem;           // "None", a number or a name the ROM has
    std::optional<std::variant<std::string, Dvs>> dvs;  // "15/10/10/10", or the four
    std::optional<Given> genderRequirement;  // "either", "male", "female" or 0-2
    std::optional<Given> dialogSet;          // "collector", ... or a number the game has
    // Exact bytes for a name field (a table import), written when they
    // differ from the file's; a text beside them must agree with them.
    std::optional<NameBytes> nicknameBytes;
    std::optional<NameBytes> trainerNameBytes;
    // Fields of plain numbers: "31/31/31/31/31/31" (a field of several), or a number.
    std::map<Field, Given> numbers;
    bool shiny = false;  // the DVs (given or stored) made shiny, or where there are none, what the family makes shiny
    std::optional<std::string> nature;  // the personality nearest the stored one with this nature
    // What the game makes of the record (ReadOut keys and texts), given
    // beside the numbers (a table import): refused where they disagree.
    std::vector<std::pair<std::string, std::string>> readOuts;
    NamePadding padding = NamePadding::Release;  // of the typed names

    // Text a person typed for a field (an option of `set`), to be read by
    // the field's parser.
    void giveText(Field field, std::string text);
};

// The typed edit that the text asks for, or every problem of it, in the
// order of the fields above.
Result<TradeEdit, Problems> resolveEdit(const Rom& rom, const TradeRecord& shown, const GivenEdit& given);

// Why a game without held items has no item to give or list.
inline constexpr std::string_view kNoItemsReason = "creatures hold no items in this game.";

enum class NameRole { Nickname, TrainerName };
// "nickname", "original trainer's name"
std::string_view nameRoleText(NameRole role);

// The bytes of a name field for a text typed into it: the bytes it holds
// when the text is the one shown (so that bytes the text cannot show
// survive), else the text encoded in the release's character set.
Result<NameBytes> resolveName(const Rom& rom, const TradeRecord& shown, NameRole role, std::u16string_view text,
                              NamePadding padding = NamePadding::Release);

// How much of its field a typed name fills, for a read-out while it is typed:
// the bytes it takes (a token or a glyph is one) and the field's length.
// None while the text holds a character the set cannot write.
struct NameRoom {
    std::size_t used = 0;
    std::size_t length = 0;
};
std::optional<NameRoom> nameRoom(const Rom& rom, const TradeRecord& shown, NameRole role, std::u16string_view text);

// Keeps of an edit only the fields the release's records hold: typed into
// one release's trade and carried over to another (the file rebuilt as
// another game), an edit of a field this one lacks can never be saved.
// Gives the sentence that names what was dropped ("Kept your edits to
// Trade Number 1 except the ID: <the release>'s trades have no trainer ID."),
// or nothing where every edit was kept.
std::optional<std::string> dropFieldsNotHeld(const Release& release, Slot slot, std::set<Field>& edited,
                                             std::optional<TradeEdit>& more);

// The record's bytes after the edit, or every reason to refuse it.
Result<RecordBytes, Problems> planTradeRecord(const Rom& rom, const TradeEdit& edit);

}  // namespace kestrane
