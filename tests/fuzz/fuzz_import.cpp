// The command line's JSON import: any text, against a fixed Crystal image.
// Refused tables write nothing; accepted ones touch only the trades' fields.
#include <cstdlib>

#include "cli/table.h"
#include "support/memory_file_system.h"

using namespace kestrane;

namespace {

constexpr std::size_t kImageSize = 0xFCF40;

std::vector<std::uint8_t> image() {
    std::vector<std::uint8_t> bytes(kImageSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 7 + (i >> 8));
    std::copy_n("BYTE", 4, bytes.begin() + kGameCodeOffset);
    return bytes;
}

bool ownedByATrade(std::size_t at) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::uint32_t base = tradeLayout("BYTE", slot).recordBase;
        if (at >= base && at < base + kRecordSpan && (at - base < 12 || at - base >= 16)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> original = image();
    const auto json = nlohmann::json::parse(data, data + size, nullptr, false);
    if (json.is_discarded()) return 0;

    MemoryFileSystem fs;
    fs.put("rom", original);
    cli::TradeTable table;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto reading = readTradeRecord("rom", "BYTE", slot, fs);
        if (!reading) std::abort();
        table.push_back(*reading);
    }
    const GameInfo& crystal = *findGame("BYTE");
    cli::ImportPlan plan = cli::planImport(json, crystal, table);
    if (!plan.problems.empty()) return 0;  // nothing is written then; the command checks that
    for (const auto& [slot, edit] : plan.edits) {
        if (!planTradeRecord(edit)) std::abort();  // accepted means writable
        if (!writeTradeRecord("rom", "BYTE", slot, edit, fs)) std::abort();
    }
    const auto& after = fs.bytes("rom");
    if (after.size() != original.size()) std::abort();
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != original[i] && !ownedByATrade(i)) std::abort();
    }
    return 0;
}
