#include "trades/trade_layout.h"

#include <array>

namespace kestrane {
namespace {

constexpr std::uint32_t kGoldSilverTable = 0xFCC25;
constexpr std::uint32_t kCrystalTable = 0xFCE59;

// ROM position of each slot's record: the first two records are swapped.
constexpr std::array<std::uint32_t, kSlotCount> kRomPosition = {1, 0, 2, 3, 4, 5, 6};

constexpr std::array<std::string_view, kSlotCount> kGoldSilverLocations = {
    "Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
    "Pewter City, Kanto", "Route 14, Kanto",       "",  // slot 7: no trade
};

constexpr std::array<std::string_view, kSlotCount> kCrystalLocations = {
    "Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
    "Pewter City, Johto", "Route 14, Kanto",       "Power Plant, Kanto",
};

}  // namespace

TradeSlot tradeLayout(std::string_view gameCode, int slotIndex) {
    bool goldSilver = gameCode == "AAUE" || gameCode == "AAXE";
    if (!goldSilver && gameCode != "BYTE") return {LookupAnswer::NoLayout, {}, 0};
    if (slotIndex < 0 || slotIndex >= kSlotCount || (goldSilver && slotIndex == 6)) {
        return {LookupAnswer::NoTrade, {}, 0};
    }
    auto slot = static_cast<std::size_t>(slotIndex);
    std::uint32_t table = goldSilver ? kGoldSilverTable : kCrystalTable;
    const auto& locations = goldSilver ? kGoldSilverLocations : kCrystalLocations;
    return {LookupAnswer::Trade, locations[slot], table + kRecordStride * kRomPosition[slot]};
}

}  // namespace kestrane
