// The names people give the values of a record's small fields. Here and
// not in fields.h, so that the record checks can know the gender
// requirements without reaching up to the releases.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrane {

struct FieldName {
    std::string_view key;    // "either": what the command line and JSON take
    std::string_view label;  // "Either": what the window shows
};

// By the record's gender requirement byte.
inline constexpr std::array<FieldName, 3> kGenderRequirements = {{
    {"either", "Either"},
    {"male", "Male"},
    {"female", "Female"},
}};

// "either, male or female (0 to 2)": what a gender requirement may be.
std::string genderRequirementChoices();

}  // namespace kestrane
