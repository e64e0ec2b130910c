// The typed values a trade holds, as every layer passes them: what a
// record stores, never a rendered label.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrane {

// A species as a trade record stores it: a byte, or a word where a layout
// widens it. What it is shown as (a Pokédex number, a name) is the ROM's
// species list's to say (creature_list.h): some families' records hold
// internal indexes, not Pokédex numbers.
using SpeciesId = std::uint16_t;

// A held item as the record stores it (a byte; a word where a hack widens items).
using ItemId = std::uint16_t;

// The gender the creature the player gives must have: the record's byte.
enum class GenderRequirement : std::uint8_t { Either = 0, Male = 1, Female = 2 };
inline constexpr int kGenderRequirementCount = 3;

// A species' gender ratio in its base data: the chance of a female in
// 256ths, but for these three values.
inline constexpr std::uint8_t kAlwaysMale = 0x00;
inline constexpr std::uint8_t kAlwaysFemale = 0xFE;
inline constexpr std::uint8_t kGenderless = 0xFF;

// The language a release is in.
enum class Language : std::uint8_t { English, French, Spanish, Japanese };
// "English", "French", "Spanish", "Japanese"
std::string_view languageName(Language language);

// A trade's fields; Presence is the trade itself, where one ROM has it and
// another does not. Those after DialogSet are numbers a layout places
// (RecordLayout::numbers), read and written alike whatever they mean.
enum class Field : std::uint8_t {
    RequestedSpecies,
    OfferedSpecies,
    Nickname,
    TrainerName,
    TrainerId,
    HeldItem,
    Dvs,
    GenderRequirement,
    DialogSet,
    Presence,
    Ivs,
    Sheen,
    AbilityNum,
    Personality,
    SecretId,
    TrainerGender,
    Contest,
    Mail,
    RequestedForm,
    Form,
    OfferedGender,
    Ball,
    StatDvs,
};

}  // namespace kestrane
