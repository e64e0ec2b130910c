// The trade's fields as rows: each field's name in every front end (its
// JSON key, its `set` option, its label in `show`, `list` and `diff`, its
// box in the window) and how a person gives it. The front ends make their
// keys, options, columns, read-outs and boxes from these rows; which fields
// a release's records hold, and where, is its record layout's to say.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "trades/values.h"

namespace kestrane {

// How a person gives the field's value, and so the box the window gives it.
enum class FieldInput : std::uint8_t {
    Species,  // a number or a name, from the ROM's species list
    Name,     // text in the release's character set
    Number,   // a whole number
    Item,     // a number or a name, from the ROM's item list
    Parts,    // several small numbers given together ("15/10/10/10")
    Choice,   // one of named values (a key, its label, or its number)
};

// Where the window edits the field: its main form, or More Fields.
enum class FieldPlace : std::uint8_t { MainForm, MoreFields };

// One of the numbers of a Parts field.
struct FieldPart {
    std::string_view key;         // "attack": its JSON key
    std::string_view label;       // "Attack:": its box's label in the window
    std::string_view objectName;  // "spnAttack"
};

// A number of a field that a word stands for ("female" for 1); `null`:
// JSON gives it as null (mail "none").
struct NumberWord {
    std::string_view word;
    std::uint32_t number;
    bool null = false;
};

inline constexpr NumberWord kTrainerGenders[] = {{"male", 0}, {"female", 1}};
inline constexpr NumberWord kNoMail[] = {{"none", 0xFF, true}};
inline constexpr NumberWord kCreatureGenders[] = {{"male", 0}, {"female", 1}};
inline constexpr NumberWord kAnyForm[] = {{"any", 0}};

struct FieldRow {
    Field field;
    std::string_view key;     // "originalTrainer": JSON
    std::string_view label;   // "Original trainer": show, diff, the window's list of changes
    std::string_view column;  // "Item": list's column; empty: no column
    std::string_view named;   // "ID": the field in a sentence about edits kept or dropped
    std::string_view noun;    // "trainer ID": the record's field, in a refusal
    std::string_view option;  // "--id": set's option
    // set's help for the option; "{lacking}" stands for the games whose
    // records lack the field.
    std::string_view optionHelp;
    FieldInput input;
    FieldPlace place;
    std::string_view boxLabel;    // "Held item:": its label in More Fields
    std::string_view objectName;  // "cboItem": its box in More Fields
    std::string_view toolTip;
    std::string_view warningName;      // "warnItem": the sign beside its box where a warning is of it
    std::span<const FieldPart> parts;  // a Parts field's numbers, in the order it is given
    std::span<const NumberWord> words = {};  // a one-number field's numbers that words stand for
    // A number that is an item's: shown with the ROM's item name, item 0
    // by this name (the ball a trade's creature was caught in); empty: none such.
    std::string_view itemZero = {};
};

inline constexpr FieldPart kDvParts[] = {
    {"attack", "Attack:", "spnAttack"},
    {"defense", "Defense:", "spnDefense"},
    {"speed", "Speed:", "spnSpeed"},
    {"special", "Special:", "spnSpecial"},
};

// In the summary screen's order (a layout's NumberPlace::order says where each is stored).
inline constexpr FieldPart kIvParts[] = {
    {"hp", "HP:", "spnIvHp"},
    {"attack", "Attack:", "spnIvAttack"},
    {"defense", "Defense:", "spnIvDefense"},
    {"spAttack", "Sp. Atk:", "spnIvSpAttack"},
    {"spDefense", "Sp. Def:", "spnIvSpDefense"},
    {"speed", "Speed:", "spnIvSpeed"},
};

// A DV a stat, in the summary screen's order, where a record holds six (Polished Crystal).
inline constexpr FieldPart kStatDvParts[] = {
    {"hp", "HP:", "spnDvHp"},
    {"attack", "Attack:", "spnDvAttack"},
    {"defense", "Defense:", "spnDvDefense"},
    {"spAttack", "Sp. Atk:", "spnDvSpAttack"},
    {"spDefense", "Sp. Def:", "spnDvSpDefense"},
    {"speed", "Speed:", "spnDvSpeed"},
};

inline constexpr FieldPart kContestParts[] = {
    {"cool", "Cool:", "spnCool"},    {"beauty", "Beauty:", "spnBeauty"}, {"cute", "Cute:", "spnCute"},
    {"smart", "Smart:", "spnSmart"}, {"tough", "Tough:", "spnTough"},
};

// In the order show prints them and More Fields shows them.
inline constexpr FieldRow kFieldRows[] = {
    {Field::RequestedSpecies, "requested", "Requested species", "Requested", "the requested species", "requested species",
     "--requested", "Species the player gives: number or name.", FieldInput::Species, FieldPlace::MainForm, {}, {}, {},
     "warnRequested", {}},
    {Field::OfferedSpecies, "offered", "Offered species", "Offered", "the offered species", "offered species", "--offered",
     "Species offered: number or name.", FieldInput::Species, FieldPlace::MainForm, {}, {}, {}, "warnOffered", {}},
    {Field::Nickname, "nickname", "Nickname", "Nickname", "the nickname", "nickname", "--nickname",
     "The offered creature's nickname.", FieldInput::Name, FieldPlace::MainForm, {}, {}, {}, "warnNickname", {}},
    {Field::TrainerName, "originalTrainer", "Original trainer", "Original trainer", "the original trainer",
     "original trainer's name", "--ot", "The trainer's name (OT); not in {lacking}, whose trades give one.", FieldInput::Name,
     FieldPlace::MainForm, {}, {}, {}, "warnOT", {}},
    {Field::TrainerId, "id", "ID", "ID", "the ID", "trainer ID", "--id",
     "The trainer ID, 0 to 65535; not in {lacking} (chosen at random).", FieldInput::Number, FieldPlace::MainForm, {}, {}, {},
     {}, {}},
    {Field::HeldItem, "heldItem", "Held item", "Item", "the held item", "held item", "--item",
     "The held item: its name as the ROM spells it, a number, or None.", FieldInput::Item, FieldPlace::MoreFields,
     "Held item:", "cboItem", "Choose an item, or type its name or number (0 to 255).", "warnItem", {}},
    // A field of plain numbers (RecordLayout::numbers), beside the item it goes with.
    {Field::Mail, "mail", "Mail", {}, "the mail", "mail", "--mail", "The mail: a row of the ROM's mail table, or none.",
     FieldInput::Number, FieldPlace::MoreFields, "Mail:", "spnMail", {}, "warnMail", {}, kNoMail},
    {Field::Dvs, "dvs", "DVs", "DVs", "the DVs", "DVs", "--dvs",
     "The DVs as Attack/Defense/Speed/Special, each 0 to 15 (15/10/10/10).", FieldInput::Parts, FieldPlace::MoreFields,
     "DVs", {}, {}, {}, kDvParts},
    {Field::GenderRequirement, "genderRequirement", "Gender requirement", {}, "the gender requirement",
     "gender requirement", "--gender-requirement", "The gender the given creature must have: either, male or female.",
     FieldInput::Choice, FieldPlace::MoreFields, "Gender requirement:", "cboGenderRequirement",
     "The gender the creature you give must have.", "warnGenderRequirement", {}},
    // The form bits beside a species (Polished Crystal): the offered
    // creature's form and gender, the form the given one must have.
    {Field::Form, "form", "Form", {}, "the form", "form", "--form",
     "The offered creature's form: 0 its plain one, else a form number (1 to 31; Galarian is 3).", FieldInput::Number,
     FieldPlace::MoreFields, "Form:", "spnForm", {}, {}, {}},
    {Field::OfferedGender, "offeredGender", "Gender", {}, "the offered creature's gender", "offered creature's gender",
     "--offered-gender", "The offered creature's gender: male or female.", FieldInput::Number, FieldPlace::MoreFields,
     "Gender:", "cboOfferedGender", {}, {}, {}, kCreatureGenders},
    {Field::RequestedForm, "requestedForm", "Requested form", {}, "the requested form", "requested form",
     "--requested-form", "The form the given creature must have: any (0), else a form number (1 to 31).",
     FieldInput::Number, FieldPlace::MoreFields, "Requested form:", "spnRequestedForm", {}, {}, {}, kAnyForm},
    {Field::StatDvs, "statDvs", "DVs", {}, "the DVs", "DVs", "--stat-dvs",
     "The DVs a stat as HP/Atk/Def/SpA/SpD/Spe (the summary screen's order), each 0 to 15 (15/15/15/15/15/15).",
     FieldInput::Parts, FieldPlace::MoreFields, "DVs", {}, {}, {}, kStatDvParts},
    {Field::Ball, "ball", "Ball", {}, "the ball", "ball", "--ball",
     "The ball it was caught in: an item number (0 is the Park Ball).", FieldInput::Number, FieldPlace::MoreFields,
     "Ball:", "spnBall", {}, {}, {}, {}, "Park Ball"},
    {Field::DialogSet, "dialogSet", "Dialog set", {}, "the dialog set", "dialog set", "--dialog",
     "The trader's lines: {dialog sets}.", FieldInput::Choice, FieldPlace::MoreFields, "Dialog set:", "cboDialogSet", {}, {}, {}},
    // Plain numbers, where a layout places them (RecordLayout::numbers).
    {Field::Personality, "personality", "Personality", {}, "the personality", "personality", "--personality",
     "The personality, decimal or 0x...: it decides the nature, the gender, shininess and Unown's letter.", FieldInput::Number,
     FieldPlace::MoreFields, "Personality:", "spnPersonality", {}, {}, {}},
    {Field::AbilityNum, "abilityNum", "Ability", {}, "the ability", "ability number", "--ability",
     "The ability: 0 the species' first, 1 its second (a species with one has none with 1).", FieldInput::Number, FieldPlace::MoreFields, "Ability:", "cboAbility", {}, "warnAbility",
     {}},
    {Field::Ivs, "ivs", "IVs", "IVs", "the IVs", "IVs", "--ivs",
     "The IVs as HP/Atk/Def/SpA/SpD/Spe (the summary screen's order), each 0 to 31 (31/31/31/31/31/31).", FieldInput::Parts, FieldPlace::MoreFields,
     "IVs", {}, {}, {}, kIvParts},
    {Field::SecretId, "secretId", "Secret ID", {}, "the secret ID", "secret ID", "--secret-id",
     "The original trainer's secret ID, 0 to 65535.", FieldInput::Number, FieldPlace::MoreFields, "Secret ID:", "spnSecretId", {}, {},
     {}},
    {Field::TrainerGender, "otGender", "OT gender", {}, "the trainer's gender", "trainer's gender", "--ot-gender",
     "The original trainer's gender: male or female.", FieldInput::Number, FieldPlace::MoreFields, "OT gender:", "cboOtGender", {},
     {}, {}, kTrainerGenders},
    {Field::Contest, "contest", "Contest conditions", {}, "the contest conditions", "contest conditions", "--contest",
     "The contest conditions as cool/beauty/cute/smart/tough, each 0 to 255.", FieldInput::Parts, FieldPlace::MoreFields, "Contest conditions", {}, {}, {},
     kContestParts},
    {Field::Sheen, "sheen", "Sheen", {}, "the sheen", "sheen", "--sheen", "The sheen, 0 to 255.", FieldInput::Number,
     FieldPlace::MoreFields, "Sheen:", "spnSheen", {}, {}, {}},
};

// The word a number of a one-number field stands for, if any.
constexpr const NumberWord* wordOf(const FieldRow& row, std::uint32_t number) {
    for (const NumberWord& word : row.words) {
        if (word.number == number) return &word;
    }
    return nullptr;
}

// The row of a field; none for Presence, which no row is (it is the trade
// itself, where one ROM has it and another does not).
constexpr const FieldRow* findFieldRow(Field field) {
    for (const FieldRow& row : kFieldRows) {
        if (row.field == field) return &row;
    }
    return nullptr;
}
// Precondition: not Presence (every other field has a row; a test holds them so).
constexpr const FieldRow& fieldRow(Field field) { return *findFieldRow(field); }

}  // namespace kestrane
