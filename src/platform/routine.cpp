#include "platform/routine.h"

#include <algorithm>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {
namespace {

// How many copies a message names before "and N more".
constexpr std::size_t kNamedCopies = 12;

}  // namespace

bool FoundRoutine::agree() const {
    return std::all_of(copies.begin(), copies.end(), [&](const RoutineCopy& c) { return c.pointers == copies.front().pointers; });
}

std::string FoundRoutine::where(std::uint32_t ownPlace) const {
    if (copies.empty()) return "nowhere";
    switch (reached) {
    case RoutineReached::OwnPlace: return "at " + hexOffset(ownPlace);
    case RoutineReached::Jump: return "through the jump at " + hexOffset(ownPlace) + " to " + hexOffset(copies.front().at);
    case RoutineReached::Search: break;
    }
    std::string at = "at " + hexOffset(copies.front().at);
    if (copies.size() > 1) at += " (and " + counted(std::int64_t(copies.size() - 1), "copy", "copies") + " more)";
    return at;
}

std::string copiesText(const FoundRoutine& found) {
    std::vector<std::string> named;
    for (std::size_t i = 0; i < found.copies.size() && i < kNamedCopies; ++i) {
        const RoutineCopy& c = found.copies[i];
        const auto& target = c.pointers.empty() ? std::optional<std::uint32_t>() : c.pointers.front();
        named.push_back("at " + hexOffset(c.at) + " to " + (target ? hexOffset(*target) : std::string("outside its bank")));
    }
    return joinedList(named, found.copies.size() > kNamedCopies ? found.copies.size() - kNamedCopies : 0);
}

}  // namespace kestrane
