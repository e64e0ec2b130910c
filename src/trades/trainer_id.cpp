#include "trades/trainer_id.h"

#include "support/words.h"

namespace kestrane {

Result<std::uint16_t> trainerIdNumbered(std::int64_t number) {
    if (number < 0 || number > 65535) return refused(ErrorCode::IdOutOfRange, std::string(kIdRangeMessage));
    return std::uint16_t(number);
}

Result<std::uint16_t> parseTrainerId(std::string_view typed) {
    const std::string_view text = trimmed(typed);
    if (text.empty()) return refused(ErrorCode::IdNotANumber, "The ID number is empty. " + std::string(kIdRangeMessage));
    // "0x1F40", as every number may be written; a hex number has no sign or fraction.
    if (isHexForm(text)) {
        if (auto hex = parseNumber(text)) return trainerIdNumbered(*hex);
        return refused(ErrorCode::IdNotANumber, echoed(text) + " is not a number. " + std::string(kIdRangeMessage));
    }

    std::string_view rest = text;
    bool negative = false;
    if (rest.front() == '-' || rest.front() == '+') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const std::size_t point = rest.find('.');
    std::string_view whole = rest.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    if ((!whole.empty() && !isDigits(whole)) || (!fraction.empty() && !isDigits(fraction)) ||
        (whole.empty() && fraction.empty())) {
        return refused(ErrorCode::IdNotANumber, echoed(text) + " is not a number. " + std::string(kIdRangeMessage));
    }

    const bool fractionNonZero = fraction.find_first_not_of('0') != std::string_view::npos;
    const Error outOfRange = refused(ErrorCode::IdOutOfRange, std::string(kIdRangeMessage));
    std::uint32_t value = whole.empty() ? 0 : *parseNumber(whole);
    if (negative && (value > 0 || fractionNonZero)) return outOfRange;
    if (value > 65535 || (value == 65535 && fractionNonZero)) return outOfRange;
    if (!fraction.empty() && fraction.front() >= '5') ++value;
    return static_cast<std::uint16_t>(value);
}

}  // namespace kestrane
