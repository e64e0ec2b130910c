#include "families/gameboy/text_reader.h"

#include <algorithm>
#include <array>

#include "platform/gb/banks.h"
#include "platform/gb/code_search.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "text/game_text.h"
#include "text/text_dialect.h"

namespace kestrane {
namespace {

constexpr std::uint32_t kLinesBank = 0x3F;
// A text is a few dozen bytes: none is followed further than this, nor
// through more far pointers; a longer one is no text.
constexpr std::size_t kLongestText = 512;
constexpr int kDeepestJump = 4;

// Texts read out of the file as the game's text engine prints them
// (text_dialect.h), or why one is no text Kestrane can show (a failing read
// is an error of its own).
class TextReader {
public:
    // `lines`: the names a trader's text may fill in; none where a string alone is read.
    TextReader(RomPages& rom, const Release& release, const TradeLines* lines = nullptr)
        : rom_(rom), release_(release), dialect_(release.dialect()), lines_(lines) {}

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
        if (text.empty() || text.back().name != LineName::None) text.push_back({});
        text.back().text += s;
    }

    // Commands from `at` to the end of this text: its 0x50, or a string's
    // end of the text. A far text's end goes back to the text that jumped.
    Result<void> commands(std::uint32_t at, int depth, GameText& text) {
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
                const LineName name = !lines_                                 ? LineName::None
                                      : ram == lines_->requestedWithGender ? LineName::RequestedWithGender
                                      : ram == lines_->offered             ? LineName::Offered
                                      : ram == lines_->requested           ? LineName::Requested
                                                                           : LineName::None;
                if (name == LineName::None) {
                    return bad("a text at " + hexOffset(at - 3) + " prints the text at 0x" + toPaddedHex(ram, 4) +
                               " of the game's memory, which is none of the trade's names");
                }
                text.push_back({{}, name});
            } else if (dialect_.farText && *command == *dialect_.farText) {
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

    RomPages& rom_;
    const Release& release_;
    const TextDialect& dialect_;
    const TradeLines* lines_;
    std::size_t read_ = 0;
    std::uint32_t end_ = 0;
};

// The table the routine gives (code_search.h); a NoTradeTable refusal says
// why there is none. A failing read is a file failure.
Result<std::uint32_t> linesTable(File& file, RomPages& rom, const TradeLines& words) {
    const CodePlace& code = words.routine;
    auto found = findThroughRoutine(file, code.forms(), code.at, std::int64_t(rom.size()));
    if (!found) return found.error();
    if (!found->found()) return refused(ErrorCode::NoTradeTable, "the routine that reads them is not in the file");
    if (!found->agree()) {
        return refused(ErrorCode::NoTradeTable, counted(std::int64_t(found->copies.size()), "copy", "copies") +
                                                    " of the routine that reads them point to different tables (" +
                                                    copiesText(*found) + ")");
    }
    const auto& target = found->copies.front().pointers.at(words.pointer);
    if (!target) return refused(ErrorCode::NoTradeTable, "the routine that reads them, " + found->where(code.at) + ", points outside its bank");
    return *target;
}

// Where a set's text of a phase lies, through the table at `table`, or why not.
Result<std::uint32_t> lineAt(RomPages& rom, const GameBoyRow& release, std::uint32_t table, int set, std::size_t phase) {
    const TradeLines& words = release.tables.lines;
    auto pointerAt = [&](std::uint32_t entry, std::uint32_t bank) -> Result<std::uint32_t> {
        if (entry + 2 > rom.size()) return refused(ErrorCode::NoTradeTable, "their table at " + hexOffset(table) + " runs past the end of the file");
        auto pointer = rom.littleEndian16(entry);
        if (!pointer) return pointer.error();
        const auto at = offsetInBank(bank, *pointer);
        if (!at) return refused(ErrorCode::NoTradeTable, "their table's pointer at " + hexOffset(entry) + " lies outside bank 0x" + toPaddedHex(bank, 2));
        return *at;
    };
    if (words.layout == TradeLines::Layout::BySet) {
        auto setTable = pointerAt(table + 2 * std::uint32_t(set), bankOf(table));
        if (!setTable) return setTable;
        return pointerAt(*setTable + 2 * std::uint32_t(phase), bankOf(table));
    }
    return pointerAt(table + 2 * std::uint32_t(phase * std::size_t(words.sets) + std::size_t(set)), kLinesBank);
}

// Every set's five texts, through the table at `table`, or why not.
Result<std::vector<std::array<GameText, 5>>> readLines(RomPages& rom, const GameBoyRow& release, std::uint32_t table) {
    const TradeLines& words = release.tables.lines;
    TextReader reader(rom, release, &words);
    std::vector<std::array<GameText, 5>> sets(std::size_t(words.sets));
    for (std::size_t phase = 0; phase < kLinePhases.size(); ++phase) {
        for (int set = 0; set < words.sets; ++set) {
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

}  // namespace

Result<GameString> readGameString(RomPages& rom, const Release& release, std::uint32_t at) {
    if (at >= rom.size()) return refused(ErrorCode::NotAText, "past the end of the file");
    TextReader reader(rom, release);
    GameString string;
    auto end = reader.string(at, string.text, string.endedText);
    if (!end) return end.error();
    string.end = *end;
    return string;
}

Result<TradeWordsRead> readTradeWords(File& file, const GameBoyRow& release, const RomSize& size) {
    RomPages rom(file, size.file);
    TradeWordsRead words = builtInTradeWords(release, {});
    if (release.tables.lines.layout == TradeLines::Layout::FarTexts) {
        words.linesWhyNot = "they are far texts packed with n-grams and a Huffman code, which Kestrane does not read yet";
        return words;
    }
    auto table = linesTable(file, rom, release.tables.lines);
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

}  // namespace kestrane
