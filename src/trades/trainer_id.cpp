#include "trades/trainer_id.h"

#include "support/utf.h"

namespace kestrane {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

Result<std::uint16_t> parseTrainerId(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    const std::string shown = toUtf8(text);
    if (text.empty()) return refused(ErrorCode::IdNotANumber, "The ID number is empty. " + std::string(kIdRangeMessage));

    std::u16string_view rest = text;
    bool negative = false;
    if (rest.front() == u'-' || rest.front() == u'+') {
        negative = rest.front() == u'-';
        rest.remove_prefix(1);
    }
    std::size_t point = rest.find(u'.');
    std::u16string_view whole = rest.substr(0, point);
    std::u16string_view fraction = point == std::u16string_view::npos ? std::u16string_view() : rest.substr(point + 1);
    bool digitsOnly = true;
    for (char16_t c : whole) digitsOnly = digitsOnly && isDigit(c);
    for (char16_t c : fraction) digitsOnly = digitsOnly && isDigit(c);
    if (!digitsOnly || (whole.empty() && fraction.empty())) {
        return refused(ErrorCode::IdNotANumber, "\"" + shown + "\" is not a number. " + std::string(kIdRangeMessage));
    }

    while (!whole.empty() && whole.front() == u'0') whole.remove_prefix(1);
    bool fractionNonZero = fraction.find_first_not_of(u'0') != std::u16string_view::npos;
    Error outOfRange = refused(ErrorCode::IdOutOfRange, std::string(kIdRangeMessage));
    if (whole.size() > 5) return outOfRange;
    std::uint32_t value = 0;
    for (char16_t c : whole) value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    if (negative && (value > 0 || fractionNonZero)) return outOfRange;
    if (value > 65535 || (value == 65535 && fractionNonZero)) return outOfRange;
    if (!fraction.empty() && fraction.front() >= u'5') ++value;
    return static_cast<std::uint16_t>(value);
}

}  // namespace kestrane
