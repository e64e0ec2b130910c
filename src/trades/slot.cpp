#include "trades/slot.h"

namespace kestrane {

std::string Slot::name() const { return slotName(number_); }

std::string slotName(int number) { return "Trade Number " + std::to_string(number); }

Result<Slot> slotFromNumber(long long number, int count) {
    if (number >= 1 && number <= count) return Slot::fromNumber(int(number));
    return refused(ErrorCode::SlotOutOfRange, "There is no trade slot " + std::to_string(number) + ": the slots are " +
                                                  slotName(1) + " to " + slotName(count) + ".");
}

}  // namespace kestrane
