#include "trades/game_words.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "text/game_text.h"
#include "trades/banks.h"
#include "trades/code_search.h"
#include "trades/slot.h"

namespace kestrane {
namespace {

constexpr std::uint32_t kLinesBank = 0x3F;
// A text is a few dozen bytes: none is followed further than this, nor
// through more far pointers; a longer one is no text.
constexpr std::size_t kLongestText = 512;
constexpr int kDeepestJump = 4;

// The file's bytes, read a page at a time where they are asked for: the
// words are a few hundred bytes here and there.
class Pages {
public:
    Pages(File& file, std::int64_t size) : file_(file), size_(std::min(size, kLargestRomSize)) {}
    std::size_t size() const { return std::size_t(size_); }
    // The byte at `at` (which the caller checked is in the file).
    Result<std::uint8_t> at(std::uint32_t at) {
        auto& page = pages_[at / kPage];
        if (page.empty()) {
            page.resize(std::min<std::size_t>(kPage, std::size_t(size_) - at / kPage * kPage));
            if (auto read = readExactly(file_, at / kPage * kPage, page); !read) return read.error();
        }
        return page[at % kPage];
    }
    Result<std::uint16_t> littleEndian16(std::uint32_t at) {
        auto low = this->at(at);
        if (!low) return low.error();
        auto high = this->at(at + 1);
        if (!high) return high.error();
        return std::uint16_t(*low | *high << 8);
    }

private:
    static constexpr std::uint32_t kPage = 0x1000;
    File& file_;
    std::int64_t size_;
    std::unordered_map<std::uint32_t, std::vector<std::uint8_t>> pages_;
};

// Texts read out of the file, or why one is no text (a failing read is an error of its own).
class TextReader {
public:
    TextReader(Pages& rom, const Release& release) : rom_(rom), release_(release) {}

    Result<GameText> read(std::uint32_t at) {
        GameText text;
        read_ = 0;
        if (auto done = commands(at, 0, text); !done) return done.error();
        return text;
    }

private:
    static Error bad(const std::string& why) { return refused(ErrorCode::NoTradeTable, why); }

    Result<std::uint8_t> byteAt(std::uint32_t at) {
        if (at >= rom_.size()) return bad("a text runs past the end of the file at " + hexOffset(at));
        if (++read_ > kLongestText) return bad("a text goes on past " + std::to_string(kLongestText) + " bytes");
        return rom_.at(at);
    }

    void characters(const std::vector<std::uint8_t>& run, GameText& text) {
        if (run.empty()) return;
        std::vector<std::uint8_t> name = run;
        name.push_back(kTerminator);
        if (text.empty() || text.back().name != 0) text.push_back({});
        text.back().text += decodeGameText(name, 0, release_.charset());
    }

    void add(GameText& text, std::u16string_view s) {
        if (text.empty() || text.back().name != 0) text.push_back({});
        text.back().text += s;
    }

    // Commands from `at` to their end; false: the text was ended for good (0x57).
    Result<bool> commands(std::uint32_t at, int depth, GameText& text) {
        const bool japanese = release_.layout.size == 16;
        for (;;) {
            auto command = byteAt(at++);
            if (!command) return command.error();
            switch (*command) {
            case 0x50: return true;
            case 0x01: {
                auto low = byteAt(at++), high = byteAt(at++);
                if (!low || !high) return (!low ? low : high).error();
                text.push_back({{}, std::uint16_t(*low | *high << 8)});
                break;
            }
            case 0x16: {
                auto low = byteAt(at++), high = byteAt(at++), bank = byteAt(at++);
                if (!low || !high || !bank) return bad("a far pointer runs past the end of the file");
                const auto target = offsetInBank(*bank, std::uint32_t(*low | *high << 8));
                if (!target) return bad("a far pointer at " + hexOffset(at - 4) + " points outside its bank");
                if (depth >= kDeepestJump) return bad("far pointers lead on past " + std::to_string(kDeepestJump) + " texts");
                auto more = commands(*target, depth + 1, text);
                if (!more) return more.error();
                if (!*more) return false;
                break;
            }
            case 0x00: {
                std::vector<std::uint8_t> run;
                for (;;) {
                    auto c = byteAt(at++);
                    if (!c) return c.error();
                    if (*c == 0x50) break;
                    if (*c == 0x57) {
                        characters(run, text);
                        return false;
                    }
                    if (*c == 0x4F || *c == 0x55 || *c == 0x51 || *c == 0x54 || (japanese && (*c == 0x4A || *c == 0x56))) {
                        characters(run, text);
                        run.clear();
                        add(text, *c == 0x51 ? u"\n\n"
                                  : *c == 0x54 ? (japanese ? u"\u30dd\u30b1\u30e2\u30f3" : u"POK\u00e9")
                                  : *c == 0x4A ? u"\u304c"
                                  : *c == 0x56 ? u"\u22ef\u22ef"
                                               : u"\n");
                        continue;
                    }
                    run.push_back(*c);
                }
                characters(run, text);
                break;
            }
            default: return bad("a text holds the command byte 0x" + toPaddedHex(*command, 2) + " at " + hexOffset(at - 1));
            }
        }
    }

    Pages& rom_;
    const Release& release_;
    std::size_t read_ = 0;
};

// The table the routine gives (code_search.h); a NoTradeTable refusal says
// why there is none. A failing read is a file failure.
Result<std::uint32_t> linesTable(File& file, Pages& rom, const TradeWords& words) {
    const CodePlace& code = words.linesRoutine;
    auto found = findThroughRoutine(file, *code.routine, code.at, std::int64_t(rom.size()));
    if (!found) return found.error();
    if (!found->found()) return refused(ErrorCode::NoTradeTable, "the routine that reads them is not in the file");
    if (!found->agree()) {
        return refused(ErrorCode::NoTradeTable, counted(std::int64_t(found->copies.size()), "copy", "copies") +
                                                    " of the routine that reads them point to different tables (" +
                                                    copiesText(*found) + ")");
    }
    const auto& target = found->copies.front().pointers.front();
    if (!target) return refused(ErrorCode::NoTradeTable, "the routine that reads them, " + found->where(code.at) + ", points outside its bank");
    return *target;
}

// Every set's five texts, through the table at `table`, or why not.
Result<std::vector<std::array<GameText, 5>>> readLines(Pages& rom, const Release& release, std::uint32_t table) {
    const TradeWords& words = release.words;
    TextReader reader(rom, release);
    std::vector<std::array<GameText, 5>> sets(std::size_t(words.lineSets));
    for (std::size_t phase = 0; phase < kLinePhases.size(); ++phase) {
        for (int set = 0; set < words.lineSets; ++set) {
            const std::uint32_t entry = table + 2 * std::uint32_t(phase * std::size_t(words.lineSets) + std::size_t(set));
            if (entry + 2 > rom.size()) return refused(ErrorCode::NoTradeTable, "their table at " + hexOffset(table) + " runs past the end of the file");
            auto pointer = rom.littleEndian16(entry);
            if (!pointer) return pointer.error();
            const auto text = offsetInBank(kLinesBank, *pointer);
            if (!text) return refused(ErrorCode::NoTradeTable, "their table's pointer at " + hexOffset(entry) + " lies outside bank 0x3F");
            auto read = reader.read(*text);
            if (!read && read.error().code != ErrorCode::NoTradeTable) return read.error();
            if (!read) return refused(ErrorCode::NoTradeTable, "the text at " + hexOffset(*text) + " is no text: " + read.error().message);
            sets[std::size_t(set)][phase] = std::move(*read);
        }
    }
    return sets;
}

// A landmark's name as the game shows it, or none where it is no name.
Result<std::optional<std::string>> landmarkName(Pages& rom, const Release& release, int id) {
    const TradeWords& words = release.words;
    const std::uint32_t entry = words.landmarks + 4 * std::uint32_t(id);
    if (entry + 4 > rom.size()) return std::optional<std::string>();
    auto pointer = rom.littleEndian16(entry + 2);
    if (!pointer) return pointer.error();
    const auto at = offsetInBank(bankOf(words.landmarks), *pointer);
    if (!at || *at >= rom.size()) return std::optional<std::string>();
    const bool japanese = release.layout.size == 16;
    std::u16string name;
    std::vector<std::uint8_t> run;
    auto flush = [&] {
        run.push_back(kTerminator);
        name += decodeGameText(run, 0, release.charset());
        run.clear();
    };
    for (std::uint32_t i = *at; i < rom.size() && i < *at + 32; ++i) {
        auto read = rom.at(i);
        if (!read) return read.error();
        const std::uint8_t b = *read;
        if (b == kTerminator) {
            flush();
            if (name.empty()) return std::optional<std::string>();
            return std::optional<std::string>(toUtf8(name));
        }
        if (b == 0x1F || b == 0x1E || b == 0x25 || (japanese && b == 0x35)) {
            flush();
            name += b == 0x1F ? u" " : b == 0x35 ? u"\u3070\u3093\u3000\u3069\u3046\u308d" : u"";
        } else if (release.charset().printable(b)) {
            run.push_back(b);
        } else {
            return std::optional<std::string>();
        }
    }
    return std::optional<std::string>();
}

std::string builtInPlace(const Release& release, int slot) {
    const Place& place = release.places[std::size_t(slot)];
    return std::string(place.name) + ", " + std::string(release.words.regionWords[std::size_t(place.region)]);
}

}  // namespace

TradeWordsRead builtInTradeWords(const Release& release, std::string why) {
    TradeWordsRead words;
    words.linesWhyNot = why;
    words.placesWhyNot = why;
    for (int slot = 0; slot < kListedSlots; ++slot) words.places[std::size_t(slot)] = builtInPlace(release, slot);
    return words;
}

std::shared_ptr<const TradeWordsRead> wordsNotRead(const Release& release) {
    static std::mutex guard;
    static std::unordered_map<const Release*, std::shared_ptr<const TradeWordsRead>> made;
    const std::lock_guard<std::mutex> lock(guard);
    auto& words = made[&release];
    if (!words) words = std::make_shared<const TradeWordsRead>(builtInTradeWords(release, "not read"));
    return words;
}

Result<TradeWordsRead> readTradeWords(File& file, const Release& release, const RomSize& size) {
    Pages rom(file, size.file);
    TradeWordsRead words = builtInTradeWords(release, {});
    auto table = linesTable(file, rom, release.words);
    if (!table && table.error().code != ErrorCode::NoTradeTable) return table.error();
    if (!table) {
        words.linesWhyNot = table.error().message;
    } else if (auto lines = readLines(rom, release, *table); !lines) {
        if (lines.error().code != ErrorCode::NoTradeTable) return lines.error();
        words.linesWhyNot = lines.error().message;
    } else {
        words.lines = std::move(*lines);
    }
    // The places: the ROM's names, or in an English release the usual
    // spelling where the ROM's is the retail one.
    std::array<std::string, kListedSlots> places;
    const std::uint32_t landmarks = release.words.landmarks;
    const std::uint32_t tableEnd = landmarks + 4u * (1u + *std::ranges::max_element(release.words.slotLandmarks));
    if (tableEnd > rom.size()) {
        words.placesWhyNot = "the landmarks' table at " + hexOffset(landmarks) + " runs past the end of the file";
        return words;
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) {
        auto read = landmarkName(rom, release, release.words.slotLandmarks[std::size_t(slot)]);
        if (!read) return read.error();
        const std::optional<std::string>& name = *read;
        if (!name) {
            words.placesWhyNot = "the landmark of " + slotName(slot + 1) + " at " +
                                 hexOffset(release.words.landmarks + 4u * release.words.slotLandmarks[std::size_t(slot)]) +
                                 " is no name";
            return words;
        }
        const Place& place = release.places[std::size_t(slot)];
        const bool usual = release.language == "English" && foldedName(*name) == foldedName(place.name);
        places[std::size_t(slot)] = usual ? builtInPlace(release, slot)
                                          : *name + ", " + std::string(release.words.regionWords[std::size_t(place.region)]);
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) words.places[std::size_t(slot)] = places[std::size_t(slot)];
    return words;
}

std::array<std::string, 5> traderLines(const TradeWordsRead& words, const Release& release, std::uint8_t set,
                                       const LineNames& names) {
    std::array<std::string, 5> lines;
    if (words.lines.empty()) {
        // Kestrane's own: the set's opening.
        if (set < release.dialogSets.size()) lines[0] = std::string(release.dialogSets[set].opening);
        return lines;
    }
    if (set >= words.lines.size()) return lines;
    const TradeWords& at = release.words;
    const char* sign = names.genderRequirement == 1 ? "\u2642" : names.genderRequirement == 2 ? "\u2640" : "";
    for (std::size_t phase = 0; phase < lines.size(); ++phase) {
        for (const TextPiece& piece : words.lines[set][phase]) {
            if (piece.name == 0) lines[phase] += toUtf8(piece.text);
            else if (piece.name == at.requestedWithGender) lines[phase] += names.requested + sign;
            else if (piece.name == at.offered) lines[phase] += names.offered;
            else if (piece.name == at.requested) lines[phase] += names.requested;
        }
    }
    return lines;
}

}  // namespace kestrane
