// The trainer ID as the user types it (UTF-8).
#pragma once

#include <cstdint>
#include <string_view>

#include "support/result.h"

namespace kestrane {

inline constexpr std::string_view kIdRangeMessage = "Please enter an ID number between 0 and 65535.";

// A decimal number with blanks around it allowed and an optional fraction,
// rounded half away from zero; 0-65535. Anything else (empty, "0x10",
// "1e5", "12abc") is an IdNotANumber error, a number outside the range an
// IdOutOfRange error with kIdRangeMessage. No floating point: "65535.0001"
// is refused however many digits follow.
Result<std::uint16_t> parseTrainerId(std::string_view text);
// An ID given as a whole number: 0-65535, else IdOutOfRange.
Result<std::uint16_t> trainerIdNumbered(std::int64_t number);

}  // namespace kestrane
