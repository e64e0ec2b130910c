// The trade list's entries: "Trade Number 1", "Trade Number 2", ...
//
// A slot is 1-based. A release's slot order (its row's) says which record
// each shows: where the games number their trades with the first two
// swapped, slot 1 shows the table's second record, slot 2 its first, slot
// k (3 and up) record k - 1; in table order, slot k shows record k - 1.
#pragma once

#include <string>

#include "support/result.h"

namespace kestrane {

// A table has at most 16 records: the game masks the index with 0x0F.
inline constexpr int kMaxRecords = 16;

enum class SlotOrder { FirstTwoSwapped, TableOrder };

class Slot {
public:
    // The slot of a number the caller has checked (1..kMaxRecords);
    // slotFromNumber checks one that a person gave.
    static constexpr Slot fromNumber(int number) { return Slot(number); }
    // The slot that shows the table's record `index` (0-based).
    static constexpr Slot ofRecord(int index, SlotOrder order) {
        return Slot(order == SlotOrder::TableOrder ? index + 1 : index == 0 ? 2 : index == 1 ? 1 : index + 1);
    }

    constexpr int number() const { return number_; }
    constexpr int index() const { return number_ - 1; }  // the list row
    constexpr int recordIndex(SlotOrder order) const {
        return order == SlotOrder::TableOrder ? number_ - 1 : number_ == 1 ? 1 : number_ == 2 ? 0 : number_ - 1;
    }
    // "Trade Number 3"
    std::string name() const;

    friend constexpr bool operator==(Slot, Slot) = default;

private:
    constexpr explicit Slot(int number) : number_(number) {}
    int number_;
};

// "Trade Number N": the one place that spells a slot's name.
std::string slotName(int number);

// A slot a person gave, checked against the slots a ROM lists (1..count).
Result<Slot> slotFromNumber(long long number, int count);

}  // namespace kestrane
