// openRom (identifying and locating the trade table) and readTradeTable on
// arbitrary file contents, and saves that must write nothing when nothing
// was edited.
#include <cstdlib>
#include <optional>

#include "families/families.h"
#include "families/gameboy/game_boy_row.h"
#include "platform/gb/cartridge.h"
#include "support/memory_file_system.h"
#include "trades/save.h"

using namespace kestrane;

namespace {

constexpr std::size_t kImageSize = 0x100000;  // past both games' usual tables
constexpr const char* kCodes[] = {"AAUE", "AAXE", "BYTE", "BYTU", "BYTF", "BYTS", "AAUJ", "AAXJ"};

void check(bool holds) {
    if (!holds) std::abort();
}

// The routine of a code place, its wildcards 0, its one pointer naming `target` (in its bank).
void putRoutineOf(std::vector<std::uint8_t>& image, const CodePlace& code, std::uint32_t target) {
    const RoutinePattern& form = *code.routine;
    for (std::size_t i = 0; i < form.bytes.size(); ++i) image[code.at + i] = std::uint8_t(form.bytes[i] < 0 ? 0 : form.bytes[i]);
    const std::uint32_t address = target % 0x4000 + 0x4000;
    image[code.at + form.pointersAt[0]] = std::uint8_t(address);
    image[code.at + form.pointersAt[0] + 1] = std::uint8_t(address >> 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // data[0]: the game code (or four bytes of the input); data[1]: where the
    // rest goes, around the usual tables or anywhere; data[2]: whether the
    // file is cut short (0x80) and whether the game's routine stands at its
    // own place, pointing to where the bytes went (0x40) or to the usual
    // table (0x20), and whether the routine that reads the traders' lines
    // stands at its own place pointing to where the bytes went (0x10, in a
    // whole file); from data[3]: the bytes.
    std::vector<std::uint8_t> image(kImageSize, 0);
    const char* code = data[0] % 9 < 8 ? kCodes[data[0] % 9] : nullptr;
    for (std::size_t i = 0; i < 4; ++i) {
        image[kGameCodeOffset + i] = code ? std::uint8_t(code[i]) : data[(3 + i) % size];
    }
    const std::size_t at = data[1] < 128 ? 0xFCC00 + std::size_t(data[1]) * 8 : std::size_t(data[1]) * 4096;
    std::copy(data + 3, data + std::min(size, 3 + (kImageSize - at)), image.begin() + std::ptrdiff_t(at));
    const Release* chosen = code ? findRelease(families::all(), code) : nullptr;
    std::optional<std::uint32_t> pointer;  // where the routine at its own place points
    if (chosen && (data[2] & 0x60) && at / 0x4000 == gameBoyRow(*chosen).tables.tableRoutine.at / 0x4000) {
        pointer = (data[2] & 0x40) ? std::uint32_t(at) : chosen->usualTable;
        putRoutineOf(image, gameBoyRow(*chosen).tables.tableRoutine, *pointer);
    }
    if (chosen && (data[2] & 0x90) == 0x10 && at / 0x4000 == gameBoyRow(*chosen).tables.lines.routine.at / 0x4000) {
        putRoutineOf(image, gameBoyRow(*chosen).tables.lines.routine, std::uint32_t(at));
    }
    if (data[2] & 0x80) image.resize(std::size_t(data[2] & 0x7F) * 8300);

    MemoryFileSystem fs;
    fs.put("rom", image);
    auto rom = openRom("rom", families::all(), fs);
    if (image.size() < std::size_t(kMinimumRomSize)) {
        check(!rom && rom.error().code == ErrorCode::FileTooShort);
        return 0;
    }
    const std::string gameCode(image.begin() + kGameCodeOffset, image.begin() + kGameCodeOffset + 4);
    if (!findRelease(families::all(), gameCode, image.size() > 0x14C ? image[0x14C] : 0)) {
        check(!rom && rom.error().code == ErrorCode::UnsupportedRom);
        return 0;
    }
    check(rom.ok());
    // The traders' words: the ROM's, whole, or Kestrane's and why.
    const TradeWordsRead& words = *rom->words;
    check(words.lines.empty() ? !words.linesWhyNot.empty() : int(words.lines.size()) == gameBoyRow(*rom->release).tables.lines.sets);
    for (int set = 0; set < 4; ++set) {
        const auto said = rom->traderLines(std::uint8_t(set), 63, 95, GenderRequirement::Male);
        for (const std::string& line : said) check(line.size() < 4096);
    }
    for (int slot = 0; slot < rom->release->ownRecords && slot < int(words.places.size()); ++slot) check(!words.places[std::size_t(slot)].empty());
    if (!rom->table) {
        check(rom->noTable.code == ErrorCode::NoTradeTable && !rom->noTable.message.empty());
        check(!readTradeRecord(*rom, Slot::fromNumber(1), fs));
        return 0;
    }
    const TradeTable& table = *rom->table;
    const Release& release = *rom->release;
    // The routine at its own place decides: its pointer, or no table at all.
    const CodePlace& routine = gameBoyRow(release).tables.tableRoutine;
    const bool routineKept = pointer && image.size() > routine.at + routine.routine->bytes.size();
    check(!routineKept || table.offset == *pointer);
    const std::size_t recordSize = release.layout.size;
    // A scan takes a run of six; the other ways need the game's own number.
    check(table.records >= (table.foundBy == FoundBy::RecordScan ? 6 : release.ownRecords));
    check(table.records <= kMaxRecords);
    check(table.offset + std::size_t(table.records) * recordSize <= image.size());
    for (int i = 0; i < table.records; ++i) {
        check(isTradeRecord(RecordView(image.data() + table.offset + std::size_t(i) * recordSize, recordSize), i, release,
                            table.foundBy));
    }

    auto trades = readTradeTable(*rom, fs);
    check(trades.ok() && int(trades->size()) == rom->slotCount());
    for (const TradeReading& reading : *trades) {
        if (!reading.record) {
            // No record: none in the table, or one past the end of a cut file.
            check(reading.slot.recordIndex(rom->release->slotOrder) >= table.records || (reading.pastEnd && rom->size.cutOff()));
            continue;
        }
        const TradeRecord& r = *reading.record;
        check(std::equal(r.raw.begin(), r.raw.end(), image.begin() + r.offset));
        const std::uint32_t idAt = *release.layout.trainerIdAt;
        check(r.trainerId == (r.raw[idAt] | r.raw[idAt + 1] << 8));
        for (const std::u16string& name : {r.nickname, r.trainerName.value_or(u"")}) {
            check(name.empty() || (name.front() != u' ' && name.back() != u' '));
        }
        // An unedited save writes nothing.
        auto saved = writeTradeRecord(*rom, uneditedEdit(r), {}, fs);
        check(saved.ok() && saved->written.empty() && fs.bytes("rom") == image);
    }
    return 0;
}
