#include "platform/platform.h"

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

std::string RomSize::cutOffNote() const {
    return "The file is " + groupedNumber(file) + " bytes; its header says " + groupedNumber(header.value_or(0)) +
           ": it may be cut off.";
}

std::string printableGameCode(std::string_view gameCode) {
    bool printable = true;
    for (char c : gameCode) printable = printable && c >= 0x20 && c < 0x7F;
    if (printable) return std::string(gameCode);
    return spacedHex({reinterpret_cast<const std::uint8_t*>(gameCode.data()), gameCode.size()});
}

std::string_view checksumStatusText(ChecksumStatus status) {
    switch (status) {
    case ChecksumStatus::Consistent: return "consistent";
    case ChecksumStatus::Stale: return "stale";
    case ChecksumStatus::Absent: break;
    }
    return "absent";
}

std::optional<ChecksumsSkipped> checksumsSkipped(const Platform& platform, const RomSize& size) {
    if (size.file > platform.largestImage()) return ChecksumsSkipped::TooLarge;
    if (size.cutOff()) return ChecksumsSkipped::CutOff;
    return std::nullopt;
}

std::string largestImageText(const Platform& platform) { return std::to_string(platform.largestImage() >> 20) + " MiB"; }

std::string checksumsSkippedText(const Platform& platform, ChecksumsSkipped why) {
    return why == ChecksumsSkipped::TooLarge
               ? "the file is larger than any " + std::string(platform.name()) + " ROM (" + largestImageText(platform) + ")"
               : std::string("the file is shorter than its header says and may be cut off");
}

const CheckArea* checkOfByte(const Platform& platform, std::uint32_t offset) {
    for (const CheckArea& area : platform.checks()) {
        if (offset >= area.at && offset < area.at + area.length) return &area;
    }
    return nullptr;
}

}  // namespace kestrane
