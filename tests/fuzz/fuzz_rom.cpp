// identifyRom and readTradeRecord on arbitrary file contents, and saves
// that must touch nothing but the record's own fields.
#include <cstdlib>

#include "support/memory_file_system.h"
#include "trades/games.h"
#include "trades/trade_record.h"

using namespace kestrane;

namespace {

constexpr std::size_t kImageSize = 0xFCF40;  // just past Crystal's last record
constexpr const char* kCodes[] = {"AAUE", "AAXE", "BYTE"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // data[0]: the game code (or four bytes of the input); data[1]: where the
    // rest goes in the trade tables, and whether the file is cut short.
    std::vector<std::uint8_t> image(kImageSize, 0);
    const char* code = data[0] % 4 < 3 ? kCodes[data[0] % 4] : nullptr;
    for (std::size_t i = 0; i < 4; ++i) {
        image[kGameCodeOffset + i] = code ? std::uint8_t(code[i]) : data[(2 + i) % size];
    }
    std::copy(data + 2, data + size, image.begin() + std::ptrdiff_t(0xFCC25 + (data[1] & 0x3F) * 8));
    if (data[1] == 0xFF) image.resize(std::size_t(data[2]) * 2);
    else if (data[1] & 0x80) image.resize(kImageSize - std::size_t(data[1] & 0x3F) * (data[1] & 0x40 ? 8000 : 1));

    MemoryFileSystem fs;
    fs.put("rom", image);
    auto identity = identifyRom("rom", fs);
    if (image.size() < std::size_t(kMinimumRomSize)) {
        if (identity || identity.error().code != ErrorCode::FileTooShort) std::abort();
        return 0;
    }
    if (!identity || identity->gameCode.size() != 4) std::abort();
    if ((identity->game != nullptr) != (code != nullptr || findGame(identity->gameCode) != nullptr)) std::abort();
    const std::string gameCode = identity->gameCode;

    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto reading = readTradeRecord("rom", gameCode, slot, fs);
        const TradeSlot layout = tradeLayout(gameCode, slot);
        if (layout.answer != LookupAnswer::Trade) {
            if (!reading || reading->record || reading->answer != layout.answer) std::abort();
            continue;
        }
        if (layout.recordBase + kRecordSpan > image.size()) {
            if (reading || reading.error().code != ErrorCode::FileTooShort) std::abort();
            continue;
        }
        if (!reading || !reading->record) std::abort();
        const TradeRecord& r = *reading->record;
        if (!std::equal(r.raw.begin(), r.raw.end(), image.begin() + layout.recordBase)) std::abort();
        if (r.trainerId != (r.raw[16] | r.raw[17] << 8)) std::abort();
        for (const std::u16string* name : {&r.nickname, &r.trainerName}) {
            if (name->size() > kNameLength) std::abort();
            if (!name->empty() && (name->front() == u' ' || name->back() == u' ')) std::abort();
        }
        // An unedited save writes nothing.
        const TradeEdit edit = uneditedEdit(r);
        auto saved = writeTradeRecord("rom", gameCode, slot, edit, fs);
        if (!saved || !saved->written.empty() || fs.bytes("rom") != image) std::abort();
    }
    return 0;
}
