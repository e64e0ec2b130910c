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
#include "text/text_dialect.h"
#include "platform/gb/banks.h"
#include "platform/gb/code_search.h"
#include "trades/first_generation.h"
#include "trades/first_generation_code.h"
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
        return kestrane::littleEndian16(*low, *high);
    }

private:
    static constexpr std::uint32_t kPage = 0x1000;
    File& file_;
    std::int64_t size_;
    std::unordered_map<std::uint32_t, std::vector<std::uint8_t>> pages_;
};

// Texts read out of the file as the game's text engine prints them
// (text_dialect.h), or why one is no text Kestrane can show (a failing read
// is an error of its own).
class TextReader {
public:
    TextReader(Pages& rom, const Release& release) : rom_(rom), release_(release), dialect_(release.dialect()) {}

    Result<GameText> read(std::uint32_t at) {
        GameText text;
        read_ = 0;
        end_ = bankWindowEnd(at);
        if (auto done = commands(at, 0, text); !done) return done.error();
        return text;
    }

    // The characters of a string from `at`; `ended` set where the string
    // ended the whole text. Shared with the place names, which are strings.
    Result<std::uint32_t> string(std::uint32_t at, GameText& text, bool& ended) {
        read_ = 0;
        end_ = bankWindowEnd(at);
        return characters(at, text, ended);
    }

private:
    static Error bad(const std::string& why) { return refused(ErrorCode::NotAText, why); }

    Result<std::uint32_t> characters(std::uint32_t at, GameText& text, bool& ended) {
        for (;;) {
            auto c = byteAt(at++);
            if (!c) return c.error();
            if (const StringByte* does = inStringOf(dialect_, *c)) {
                switch (does->does) {
                case InString::EndString: return at;
                case InString::EndText: ended = true; return at;
                case InString::NewLine: add(text, u"\n"); break;
                case InString::Paragraph: add(text, u"\n\n"); break;
                case InString::Prints: add(text, does->text); break;
                case InString::Unknown:
                    return bad("a text at " + hexOffset(at - 1) + " prints " + toUtf8(does->text) + " (0x" +
                               toPaddedHex(*c, 2) + "), which only the running game knows");
                }
                continue;
            }
            const auto shown = release_.charset().text(*c);
            if (!shown) return bad("a text holds the byte 0x" + toPaddedHex(*c, 2) + " at " + hexOffset(at - 1) + ", which shows no character");
            add(text, *shown);
        }
    }

    // The game reads a text through the window of the bank it lies in
    // (bank 0, or one switched in at 0x4000-0x7FFF): past its end is other
    // memory, so a text that runs on there is none.
    Result<std::uint8_t> byteAt(std::uint32_t at) {
        if (at >= rom_.size()) return bad("a text runs past the end of the file at " + hexOffset(at));
        if (at >= end_) return bad("a text runs past the end of its bank at " + hexOffset(at) + ", where the game would read other memory");
        if (++read_ > kLongestText) return bad("a text goes on past " + std::to_string(kLongestText) + " bytes");
        return rom_.at(at);
    }

    static void add(GameText& text, std::u16string_view s) {
        if (text.empty() || text.back().name != 0) text.push_back({});
        text.back().text += s;
    }

    // Commands from `at` to the end of this text: its 0x50, or a string's
    // end of the text. A far text's end goes back to the text that jumped.
    Result<void> commands(std::uint32_t at, int depth, GameText& text) {
        const TradeWords& words = release_.words;
        for (;;) {
            auto command = byteAt(at++);
            if (!command) return command.error();
            if (*command == 0x50) return {};
            if (*command == 0x00) {
                bool ended = false;
                auto next = characters(at, text, ended);
                if (!next) return next.error();
                if (ended) return {};
                at = *next;
            } else if (*command == 0x01) {
                auto low = byteAt(at++), high = byteAt(at++);
                if (!low || !high) return (!low ? low : high).error();
                const auto ram = littleEndian16(*low, *high);
                if (ram != words.requestedWithGender && ram != words.offered && ram != words.requested) {
                    return bad("a text at " + hexOffset(at - 3) + " prints the text at 0x" + toPaddedHex(ram, 4) +
                               " of the game's memory, which is none of the trade's names");
                }
                text.push_back({{}, ram});
            } else if (*command == dialect_.farText) {
                auto low = byteAt(at++), high = byteAt(at++), bank = byteAt(at++);
                if (!low || !high || !bank) return bad("a far pointer runs past the end of the file");
                const auto target = offsetInBank(*bank, littleEndian16(*low, *high));
                if (!target) return bad("a far pointer at " + hexOffset(at - 4) + " points outside its bank");
                if (depth >= kDeepestJump) return bad("far pointers lead on past " + std::to_string(kDeepestJump) + " texts");
                const std::uint32_t back = end_;
                end_ = bankWindowEnd(*target);
                if (auto far = commands(*target, depth + 1, text); !far) return far.error();
                end_ = back;
            } else if (const TextCommand* known = commandOf(dialect_, *command)) {
                std::uint8_t count = 1;
                for (std::uint8_t i = 0; i < known->arguments; ++i) {
                    auto argument = byteAt(at++);
                    if (!argument) return argument.error();
                    count = *argument;
                }
                switch (known->does) {
                case InString::NewLine: add(text, u"\n"); break;
                case InString::Prints:
                    for (int i = 0; i < (known->arguments == 1 ? count : 1); ++i) add(text, known->text);
                    break;
                default:
                    return bad("a text at " + hexOffset(at - 1 - known->arguments) + " shows " + toUtf8(known->text) +
                               " (command 0x" + toPaddedHex(*command, 2) + "), which only the running game knows");
                }
            } else {
                return bad("a text holds the command byte 0x" + toPaddedHex(*command, 2) + " at " + hexOffset(at - 1));
            }
        }
    }

    Pages& rom_;
    const Release& release_;
    const TextDialect& dialect_;
    std::size_t read_ = 0;
    std::uint32_t end_ = 0;
};

// The table the routine gives (code_search.h); a NoTradeTable refusal says
// why there is none. A failing read is a file failure.
Result<std::uint32_t> linesTable(File& file, Pages& rom, const TradeWords& words) {
    const CodePlace& code = words.linesRoutine;
    auto found = findThroughRoutine(file, code.forms(), code.at, std::int64_t(rom.size()));
    if (!found) return found.error();
    if (!found->found()) return refused(ErrorCode::NoTradeTable, "the routine that reads them is not in the file");
    if (!found->agree()) {
        return refused(ErrorCode::NoTradeTable, counted(std::int64_t(found->copies.size()), "copy", "copies") +
                                                    " of the routine that reads them point to different tables (" +
                                                    copiesText(*found) + ")");
    }
    const auto& target = found->copies.front().pointers.at(words.linesPointer);
    if (!target) return refused(ErrorCode::NoTradeTable, "the routine that reads them, " + found->where(code.at) + ", points outside its bank");
    return *target;
}

// Where a set's text of a phase lies, through the table at `table`, or why not.
Result<std::uint32_t> lineAt(Pages& rom, const Release& release, std::uint32_t table, int set, std::size_t phase) {
    const TradeWords& words = release.words;
    auto pointerAt = [&](std::uint32_t entry, std::uint32_t bank) -> Result<std::uint32_t> {
        if (entry + 2 > rom.size()) return refused(ErrorCode::NoTradeTable, "their table at " + hexOffset(table) + " runs past the end of the file");
        auto pointer = rom.littleEndian16(entry);
        if (!pointer) return pointer.error();
        const auto at = offsetInBank(bank, *pointer);
        if (!at) return refused(ErrorCode::NoTradeTable, "their table's pointer at " + hexOffset(entry) + " lies outside bank 0x" + toPaddedHex(bank, 2));
        return *at;
    };
    if (words.linesLayout == TradeWords::Layout::BySet) {
        auto setTable = pointerAt(table + 2 * std::uint32_t(set), bankOf(table));
        if (!setTable) return setTable;
        return pointerAt(*setTable + 2 * std::uint32_t(phase), bankOf(table));
    }
    return pointerAt(table + 2 * std::uint32_t(phase * std::size_t(words.lineSets) + std::size_t(set)), kLinesBank);
}

// Every set's five texts, through the table at `table`, or why not.
Result<std::vector<std::array<GameText, 5>>> readLines(Pages& rom, const Release& release, std::uint32_t table) {
    const TradeWords& words = release.words;
    TextReader reader(rom, release);
    std::vector<std::array<GameText, 5>> sets(std::size_t(words.lineSets));
    for (std::size_t phase = 0; phase < kLinePhases.size(); ++phase) {
        for (int set = 0; set < words.lineSets; ++set) {
            auto text = lineAt(rom, release, table, set, phase);
            if (!text) return text.error();
            auto read = reader.read(*text);
            if (!read && read.error().code != ErrorCode::NotAText) return read.error();
            if (!read) return refused(ErrorCode::NoTradeTable, "the text at " + hexOffset(*text) + " is no text: " + read.error().message);
            sets[std::size_t(set)][phase] = std::move(*read);
        }
    }
    return sets;
}

// A landmark's name as the game shows it (a string, as the text engine
// prints it), or none where it is no name.
Result<std::optional<std::string>> landmarkName(Pages& rom, const Release& release, int id) {
    const TradeWords& words = release.words;
    const std::uint32_t entry = words.landmarks + 4 * std::uint32_t(id);
    if (entry + 4 > rom.size()) return std::optional<std::string>();
    auto pointer = rom.littleEndian16(entry + 2);
    if (!pointer) return pointer.error();
    const auto at = offsetInBank(bankOf(words.landmarks), *pointer);
    if (!at || *at >= rom.size()) return std::optional<std::string>();
    TextReader reader(rom, release);
    GameText name;
    bool ended = false;
    auto end = reader.string(*at, name, ended);
    if (!end && end.error().code != ErrorCode::NotAText) return end.error();
    // A name is one line of characters, some of them not blanks.
    if (!end || ended || *end - *at > 32 || name.size() != 1 || name.front().text.find(u'\n') != std::u16string::npos ||
        name.front().text.find_first_not_of(u" \u3000") == std::u16string::npos) {
        return std::optional<std::string>();
    }
    return std::optional<std::string>(toUtf8(name.front().text));
}

}  // namespace

TradeWordsRead builtInTradeWords(const Release& release, std::string why) {
    TradeWordsRead words;
    words.linesWhyNot = why;
    words.placesWhyNot = why;
    words.places = release.family().builtInPlaces(release);
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
    return words;
}

Result<void> readScriptPlaces(File& file, const Release& release, const RomSize& size, const FirstGenerationCode& code,
                              std::span<const TradeScript> scripts, TradeWordsRead& words) {
    Pages rom(file, size.file);
    words.places = firstGenerationPlaces(release, scripts, kMaxRecords);
    // "TRAINER": a string the text engine prints, where the game's code reads it.
    words.givenTrainer = "TRAINER";
    if (!code.trainer.at) {
        words.givenTrainerWhyNot = code.trainer.whyNot;
        return {};
    }
    TextReader reader(rom, release);
    GameText trainer;
    bool ended = false;
    const std::uint32_t at = *code.trainer.at;
    auto end = at < rom.size() ? reader.string(at, trainer, ended) : Result<std::uint32_t>(refused(ErrorCode::NotAText, "past the end"));
    if (!end && end.error().code != ErrorCode::NotAText) return end.error();
    if (!end || trainer.size() != 1) {
        words.givenTrainerWhyNot = "the trainer's name at " + hexOffset(at) + " is no plain game text";
        return {};
    }
    words.givenTrainer = toUtf8(trainer.front().text);
    return {};
}

Result<void> readLandmarkPlaces(File& file, const Release& release, const RomSize& size, TradeWordsRead& words) {
    Pages rom(file, size.file);
    // The places: the ROM's names, or in an English release the usual
    // spelling where the ROM's is the retail one.
    std::array<std::string, kListedSlots> places;
    const std::uint32_t landmarks = release.words.landmarks;
    const std::uint32_t tableEnd = landmarks + 4u * (1u + *std::ranges::max_element(release.words.slotLandmarks));
    if (tableEnd > rom.size()) {
        words.placesWhyNot = "the landmarks' table at " + hexOffset(landmarks) + " runs past the end of the file";
        return {};
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) {
        auto read = landmarkName(rom, release, release.words.slotLandmarks[std::size_t(slot)]);
        if (!read) return read.error();
        const std::optional<std::string>& name = *read;
        if (!name) {
            words.placesWhyNot = "the landmark of " + slotName(slot + 1) + " at " +
                                 hexOffset(release.words.landmarks + 4u * release.words.slotLandmarks[std::size_t(slot)]) +
                                 " is no name";
            return {};
        }
        const Place& place = release.places[std::size_t(slot)];
        const bool usual = release.language == Language::English && foldedName(*name) == foldedName(place.name);
        places[std::size_t(slot)] = (usual ? std::string(place.name) : *name) + ", " +
                                    std::string(release.words.regionWords[std::size_t(place.region)]);
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) words.places[std::size_t(slot)] = places[std::size_t(slot)];
    return {};
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
    const char* sign = names.genderRequirement == GenderRequirement::Male     ? "\u2642"
                       : names.genderRequirement == GenderRequirement::Female ? "\u2640"
                                                                               : "";
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
