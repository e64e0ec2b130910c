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

// A release's Huffman code: the tree its code walks, two children a node.
struct PackedCode {
    std::vector<std::uint8_t> tree;  // 2 x 0x7F bytes: nodes 0x00-0x7E
    std::uint32_t at = 0;            // where the tree lies
};
constexpr std::uint8_t kFirstCharacter = 0x7F, kFirstShifted = 0xEC, kShiftedTo = 0x4D;

// Texts read out of the file as the game's text engine prints them
// (text_dialect.h), or why one is no text Kestrane can show (a failing read
// is an error of its own).
class TextReader {
public:
    // `lines`: the names a trader's text may fill in; none where a string
    // alone is read. `packed`: the release's Huffman code, or why there is none.
    TextReader(RomPages& rom, const Release& release, const TradeLines* lines = nullptr,
               const Result<PackedCode>* packed = nullptr)
        : rom_(rom), release_(release), dialect_(release.dialect()), lines_(lines), packed_(packed) {}

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

    enum class Step { Next, EndString, EndText };

    // One character of a string, read at `where` (where a packed run's starts).
    Result<Step> place(std::uint8_t c, std::uint32_t where, GameText& text) {
        if (const StringByte* does = inStringOf(dialect_, c)) {
            switch (does->does) {
            case InString::EndString: return Step::EndString;
            case InString::EndText: return Step::EndText;
            case InString::NewLine: add(text, u"\n"); break;
            case InString::Paragraph: add(text, u"\n\n"); break;
            case InString::Prints: add(text, does->text); break;
            case InString::Unknown:
                return bad("a text at " + hexOffset(where) + " prints " + toUtf8(does->text) + " (0x" + toPaddedHex(c, 2) +
                           "), which only the running game knows");
            }
            return Step::Next;
        }
        const auto shown = release_.charset().text(c);
        if (!shown) return bad("a text holds the byte 0x" + toPaddedHex(c, 2) + " at " + hexOffset(where) + ", which shows no character");
        add(text, *shown);
        return Step::Next;
    }

    Result<std::uint32_t> characters(std::uint32_t at, GameText& text, bool& ended) {
        for (;;) {
            auto c = byteAt(at++);
            if (!c) return c.error();
            if (dialect_.commandsBelow && *c < *dialect_.commandsBelow) return at - 1;
            if (dialect_.packedRun && *c == *dialect_.packedRun) return packedRun(at, text, ended);
            auto step = place(*c, at - 1, text);
            if (!step) return step.error();
            if (*step == Step::EndText) ended = true;
            if (*step != Step::Next) return at;
        }
    }

    // The characters of a Huffman-coded run from `at` (past its 0x5D) up to
    // one that ends the string: the run ends the string with it, and what
    // follows is the byte after the last one its bits came from.
    Result<std::uint32_t> packedRun(std::uint32_t at, GameText& text, bool& ended) {
        const std::uint32_t run = at - 1;
        if (!packed_) return bad("a text at " + hexOffset(run) + " is packed in a Huffman code, which Kestrane does not read for this release");
        if (!*packed_) return bad("a text at " + hexOffset(run) + " is packed in a Huffman code, and " + packed_->error().message);
        const std::vector<std::uint8_t>& tree = (*packed_)->tree;
        std::uint8_t bits = 0;
        int left = 0;
        for (;;) {
            std::uint8_t node = 0, child = 0;
            for (int depth = 0;; ++depth) {
                // A tree whose walk goes deeper than it has nodes loops.
                if (depth > kFirstCharacter) return bad("the Huffman tree at " + hexOffset((*packed_)->at) + " loops");
                if (left == 0) {
                    auto next = byteAt(at++);
                    if (!next) return next.error();
                    bits = *next, left = 8;
                }
                child = tree[2u * node + (bits >> 7)];
                bits = std::uint8_t(bits << 1), --left;
                if (child >= kFirstCharacter) break;
                node = child;
            }
            const std::uint8_t c = child >= kFirstShifted ? std::uint8_t(child - kFirstShifted + kShiftedTo) : child;
            if (c == *dialect_.packedRun) return bad("a packed text at " + hexOffset(run) + " unpacks to another packed run");
            auto step = place(c, run, text);
            if (!step) return step.error();
            if (*step == Step::EndText) ended = true;
            if (*step != Step::Next) return at;
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

    // A far text's pointer after its command at `at`: its target, and
    // whether the text that jumped ends after it.
    struct FarTarget {
        std::uint32_t at;
        std::uint32_t next;
        bool ends;
    };
    Result<FarTarget> farTarget(std::uint32_t at) {
        auto first = byteAt(at++), second = byteAt(at++), bank = byteAt(at++);
        if (!first || !second || !bank) return bad("a far pointer runs past the end of the file");
        const bool bigEndian = dialect_.farPointer == FarPointer::BigEndianMayEnd;
        const std::uint16_t address =
            bigEndian ? std::uint16_t((*first & 0x7F) << 8 | *second) : littleEndian16(*first, *second);
        const auto target = offsetInBank(*bank, address);
        if (!target) return bad("a far pointer at " + hexOffset(at - 4) + " points outside its bank");
        return FarTarget{*target, at, bigEndian && (*first & 0x80) != 0};
    }

    // Commands from `at` to the end of this text: its end, or a string's
    // end of the text. A far text's end goes back to the text that jumped.
    Result<void> commands(std::uint32_t at, int depth, GameText& text) {
        for (;;) {
            auto command = byteAt(at++);
            if (!command) return command.error();
            const bool implicit = dialect_.commandsBelow && *command >= *dialect_.commandsBelow;
            if (implicit || *command == 0x00) {
                if (implicit) {
                    const StringByte* does = inStringOf(dialect_, *command);
                    if (does && (does->does == InString::EndString || does->does == InString::EndText)) return {};
                    --at;  // the byte is the string's first
                }
                bool ended = false;
                auto next = characters(at, text, ended);
                if (!next) return next.error();
                if (ended) return {};
                at = *next;
            } else if (!dialect_.commandsBelow && *command == 0x50) {
                return {};
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
                auto far = farTarget(at);
                if (!far) return far.error();
                if (depth >= kDeepestJump) return bad("far pointers lead on past " + std::to_string(kDeepestJump) + " texts");
                const std::uint32_t back = end_;
                end_ = bankWindowEnd(far->at);
                if (auto done = commands(far->at, depth + 1, text); !done) return done.error();
                end_ = back;
                if (far->ends) return {};
                at = far->next;
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
    const Result<PackedCode>* packed_;
    std::size_t read_ = 0;
    std::uint32_t end_ = 0;
};

// The copy of the routine that decides (code_search.h); a NoTradeTable
// refusal says why there is none. A failing read is a file failure.
Result<RoutineCopy> linesRoutine(File& file, RomPages& rom, const TradeLines& words) {
    const CodePlace& code = words.routine;
    auto found = findThroughRoutine(file, code.forms(), code.at, std::int64_t(rom.size()));
    if (!found) return found.error();
    if (!found->found()) return refused(ErrorCode::NoTradeTable, "the routine that reads them is not in the file");
    if (!found->agree()) {
        return refused(ErrorCode::NoTradeTable, counted(std::int64_t(found->copies.size()), "copy", "copies") +
                                                    " of the routine that reads them point to different tables (" +
                                                    copiesText(*found) + ")");
    }
    for (const auto& target : found->copies.front().pointers) {
        if (!target) return refused(ErrorCode::NoTradeTable, "the routine that reads them, " + found->where(code.at) + ", points outside its bank");
    }
    return std::move(found->copies.front());
}

// Where the names a release's texts fill in lie, read from the code that
// copies them there (GetTradeMonNames): the offered species' name, then the
// requested one's, each copied to a buffer (ld de, buffer; call), then the
// end of the requested one still in the name buffer found to add its
// gender (ld hl, buffer; ld a, [hli]; cp '@'; jr nz). A NoTradeTable
// refusal where the code is in no such form.
Result<TradeLines> namesFromCode(RomPages& rom, const Release& release, TradeLines words, std::uint32_t code) {
    constexpr std::uint32_t kLongestCode = 96;
    const std::uint32_t end = std::min({code + kLongestCode, bankWindowEnd(code), std::uint32_t(rom.size())});
    auto inRam = [](std::uint16_t address) { return address >= 0xC000 && address < 0xE000; };
    std::vector<std::uint16_t> copied;
    for (std::uint32_t at = code; at + 9 <= end; ++at) {
        auto op = rom.at(at);
        if (!op) return op.error();
        if (*op != 0x11 && *op != 0x21) continue;
        auto address = rom.littleEndian16(at + 1);
        if (!address) return address.error();
        if (!inRam(*address)) continue;
        std::array<std::uint8_t, 6> after{};
        for (std::uint32_t i = 0; i < after.size(); ++i) {
            auto b = rom.at(at + 3 + i);
            if (!b) return b.error();
            after[i] = *b;
        }
        if (*op == 0x11 && after[0] == 0xCD && copied.size() < 2) {
            copied.push_back(*address);
        } else if (*op == 0x21 && copied.size() == 2 && after[0] == 0x2A && after[1] == 0xFE &&
                   after[2] == release.charset().terminator() && after[3] == 0x20 && after[4] == 0xFB) {
            words.offered = copied[0], words.requested = copied[1], words.requestedWithGender = *address;
            return words;
        }
    }
    return refused(ErrorCode::NoTradeTable, "the code at " + hexOffset(code) +
                                                " that copies the names they fill in is not in a form Kestrane reads");
}

// The release's Huffman code: the tree its routine (in bank 0, where every
// bank's text can reach it) walks. A NoTradeTable refusal says why there is
// none; a failing read is a file failure.
Result<PackedCode> packedCodeOf(File& file, RomPages& rom, const PackedCodeForm& form) {
    std::vector<std::uint8_t> home(std::min<std::size_t>(kBankSize, rom.size()));
    if (auto read = readExactly(file, 0, home); !read) return read.error();
    const auto copies = copiesIn(home, 0, *form.routine);
    auto whyNot = [](const std::string& why) { return refused(ErrorCode::NoTradeTable, why); };
    if (copies.empty()) return whyNot("the code that reads it is not in the file's first bank");
    std::optional<std::uint16_t> tree;
    for (const RoutineCopy& copy : copies) {
        const auto address = std::uint16_t(home[copy.at + form.treeLow] | home[copy.at + form.treeHigh] << 8);
        if (tree && *tree != address) return whyNot(counted(std::int64_t(copies.size()), "copy", "copies") + " of the code that reads it walk different trees");
        tree = address;
    }
    PackedCode code{std::vector<std::uint8_t>(2u * kFirstCharacter), *tree};
    if (*tree + code.tree.size() > home.size()) return whyNot("its tree at 0x" + toPaddedHex(*tree, 4) + " does not lie in the file's first bank");
    std::copy_n(home.begin() + *tree, code.tree.size(), code.tree.begin());
    return code;
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
    const std::uint32_t bank = words.layout == TradeLines::Layout::FarTexts ? bankOf(table) : kLinesBank;
    return pointerAt(table + 2 * std::uint32_t(phase * std::size_t(words.sets) + std::size_t(set)), bank);
}

// Every set's five texts, through the table at `table`, with the names
// `words` gives and the Huffman code `packed`, or why not.
Result<std::vector<std::array<GameText, 5>>> readLines(RomPages& rom, const GameBoyRow& release, std::uint32_t table,
                                                       const TradeLines& words, const Result<PackedCode>* packed) {
    TextReader reader(rom, release, &words, packed);
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

// The lines as the ROM holds them, or a NoTradeTable refusal saying why
// they are not read; a failing read is a file failure.
Result<std::vector<std::array<GameText, 5>>> romLines(File& file, RomPages& rom, const GameBoyRow& release) {
    TradeLines words = release.tables.lines;
    auto routine = linesRoutine(file, rom, words);
    if (!routine) return routine.error();
    if (words.namesPointer >= 0) {
        auto named = namesFromCode(rom, release, words, *routine->pointers.at(std::size_t(words.namesPointer)));
        if (!named) return named.error();
        words = *named;
    }
    std::optional<Result<PackedCode>> packed;
    if (words.packedCode) {
        packed = packedCodeOf(file, rom, *words.packedCode);
        if (!*packed && packed->error().code != ErrorCode::NoTradeTable) return packed->error();
    }
    return readLines(rom, release, *routine->pointers.at(words.pointer), words, packed ? &*packed : nullptr);
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
    auto lines = romLines(file, rom, release);
    if (!lines && lines.error().code != ErrorCode::NoTradeTable) return lines.error();
    if (!lines) {
        words.linesWhyNot = lines.error().message;
    } else {
        words.lines = std::move(*lines);
    }
    return words;
}

}  // namespace kestrane
