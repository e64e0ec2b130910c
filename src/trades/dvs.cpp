#include "trades/dvs.h"

#include <algorithm>
#include <string>

#include "support/words.h"

namespace kestrane {

bool isShiny(const Dvs& d) { return d.defense == 10 && d.speed == 10 && d.special == 10 && (d.attack & 2) != 0; }

int hpDv(const Dvs& d) { return (d.attack & 1) * 8 + (d.defense & 1) * 4 + (d.speed & 1) * 2 + (d.special & 1); }

ReceivedGender receivedGender(const Dvs& d, std::optional<std::uint8_t> ratio) {
    if (!ratio) return ReceivedGender::Unknown;
    if (*ratio == kGenderless) return ReceivedGender::Genderless;
    if (*ratio == kAlwaysMale) return ReceivedGender::Male;
    if (*ratio == kAlwaysFemale) return ReceivedGender::Female;
    return *ratio < d.attack * 16 + d.speed ? ReceivedGender::Male : ReceivedGender::Female;
}

std::string_view receivedGenderText(ReceivedGender gender) {
    switch (gender) {
    case ReceivedGender::Male: return "male";
    case ReceivedGender::Female: return "female";
    case ReceivedGender::Genderless: return "genderless";
    case ReceivedGender::Unknown: break;
    }
    return "unknown";
}

char unownLetter(const Dvs& d) {
    const int n = ((d.attack & 6) << 5) | ((d.defense & 6) << 3) | ((d.speed & 6) << 1) | ((d.special & 6) >> 1);
    return static_cast<char>('A' + n / 10);
}

Dvs makeShiny(const Dvs& d) {
    int attack = d.attack;
    while (attack < kMaxDv && (attack & 2) == 0) ++attack;
    return Dvs{attack, 10, 10, 10};
}

Result<Dvs> parseDvs(std::string_view text) {
    int values[4] = {};
    int count = 0;
    bool wellFormed = true;
    for (std::size_t at = 0; wellFormed && at <= text.size(); ++count) {
        const std::size_t end = std::min(text.find('/', at), text.size());
        const std::string_view part = trimmed(text.substr(at, end - at));
        const auto value = part.size() <= 4 && count < 4 ? parseNumber(part) : std::nullopt;
        wellFormed = value.has_value();
        if (wellFormed) values[count] = int(*value);
        at = end + 1;
    }
    if (!wellFormed || count != 4) {
        return refused(ErrorCode::DvOutOfRange, echoed(text) +
                                                    " are not four DVs: give Attack/Defense/Speed/Special, each 0 "
                                                    "to 15, such as 15/10/10/10.");
    }
    Dvs dvs{values[0], values[1], values[2], values[3]};
    if (auto checked = checkDvs(dvs); !checked) return checked.error();
    return dvs;
}

std::string dvsText(const Dvs& d) {
    return std::to_string(d.attack) + "/" + std::to_string(d.defense) + "/" + std::to_string(d.speed) + "/" +
           std::to_string(d.special);
}

Result<void> checkDvs(const Dvs& d) {
    const std::pair<const char*, int> all[] = {{"Attack", d.attack}, {"Defense", d.defense}, {"Speed", d.speed},
                                               {"Special", d.special}};
    for (auto [name, value] : all) {
        if (value < 0 || value > kMaxDv) {
            return refused(ErrorCode::DvOutOfRange, std::string("The ") + name + " DV " + std::to_string(value) +
                                                        " is out of range: each DV is 0 to 15.");
        }
    }
    return {};
}

}  // namespace kestrane
