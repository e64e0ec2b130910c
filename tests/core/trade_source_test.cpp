// A ROM's build tree: its trade file read through its own row macro, in
// step with the ROM only where its rows make the ROM's table, and
// rewritten token by token.
#include "source/trade_source.h"
#include "source/source_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "families/families.h"
#include "support/build_tree_image.h"
#include "support/fault_injection.h"
#include "support/first_generation_image.h"
#include "support/rom_image.h"
#include "support/polished_crystal_image.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The 1-based line of the first line holding `needle`.
int lineHolding(const std::string& text, const std::string& needle) {
    const std::size_t at = text.find(needle);
    return at == std::string::npos ? 0 : int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n')) + 1;
}

std::string replacedOnce(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::invalid_argument("replacedOnce: no " + from);
    return text.replace(at, from.size(), to);
}

Bytes nameBytes(const std::string& text) {
    const auto field = nameField(text);
    return Bytes(field.begin(), field.end());
}

// A ROM in a tree of the form, as a build leaves them.
struct Tree {
    explicit Tree(TreeOptions options = {}) : options(options) {
        const bool first = options.form == RowForm::RedBlue || options.form == RowForm::PlainRows;
        const bool words = options.form == RowForm::Species16;
        const bool polished = options.form == RowForm::Polished;
        romName = first ? "pokered.gbc" : polished ? "polishedcrystal.gbc" : "pokecrystal.gbc";
        rom = first ? firstGenerationRom("POKEMON RED") : words ? species16Rom() : polished ? polishedCrystalRom() : retailLikeRom("BYTE");
        table = first ? kRedBlueTable : words ? kSpecies16Table : polished ? kPolishedTable : kCrystalTable;
        records = first ? 10 : words ? int(retailTrades16().size()) : polished ? 9 : 7;
        romPath = dir.write(romName, rom);
        files = writeBuildTree(dir, romName, rom, table, records, options);
    }
    void writeTrades(const std::string& text) { files.tradeText = text, dir.write(files.tradeFile, textBytes(text)); }
    // The ROM last written before (or after) the trade file.
    void romWritten(bool beforeSource) {
        const auto source = std::filesystem::last_write_time(fsPath(files.tradePath));
        std::filesystem::last_write_time(fsPath(romPath), beforeSource ? source - std::chrono::hours(1) : source + std::chrono::hours(1));
    }
    std::optional<TradeSource> open() {
        auto opened = openRom(romPath, families::all());
        if (!opened) throw std::runtime_error(opened.error().message);
        auto source = openTradeSource(*opened);
        if (!source) throw std::runtime_error(source.error().message);
        return *source;
    }
    TreeOptions options;
    TempDir dir;
    std::string romName, romPath;
    Bytes rom;
    std::uint32_t table = 0;
    int records = 0;
    TreeFiles files;
};

// The macro forms the trees use beyond the synthetic trees' own, each row's record as the assembler makes it.
TEST(TradeFile, RowsAsTheAssemblerMakesThem) {
    SourceConstants constants;
    ASSERT_TRUE(constants.read("\tconst_def 1\n\tconst ABRA\n\tconst MACHOP\nDEF NAME_LENGTH EQU 6\nDEF PLAYER_NAME_LENGTH EQU 8\n", "c.asm"));
    const SourceCharmap charmap({{"@", 0x50}, {"A", 0x80}, {"B", 0x81}, {"\xE3\x81\x82", 0xB1}});  // "あ"
    struct Case {
        const char* name;
        std::string text;
        Bytes record;  // of the one row; empty: refused with `refusal`
        std::string refusal;
    };
    for (const Case& c : std::vector<Case>{
             {"Japanese names: a length less two, kana", "MACRO npctrade\n\tdb \\1\n\tdname \\2, NAME_LENGTH - 2\nENDM\nNPCTrades:\n"
                                                          "\tnpctrade ABRA, \"\xE3\x81\x82" "A\"\n",
              {1, 0xB1, 0x80, 0x50, 0x50}, ""},
             {"words of species, a player's name length", "MACRO npctrade\n\tdw \\1, \\2\n\tdname \\3, PLAYER_NAME_LENGTH\nENDM\n"
                                                          "NPCTrades:\n\tnpctrade $0102, MACHOP + 256, \"AB\"\n",
              {0x02, 0x01, 0x02, 0x01, 0x80, 0x81, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50}, ""},
             {"the tenth argument, binary, a negative byte", "MACRO npctrade\n\tdb \\<10>, \\1, -1\nENDM\nNPCTrades::\n"
                                                             "\tnpctrade %101, 2, 3, 4, 5, 6, 7, 8, 9, 010\n",
              {10, 5, 0xFF}, ""},
             {"an argument the row does not give", "MACRO npctrade\n\tdb \\1, \\2\nENDM\nNPCTrades:\n\tnpctrade 1\n", {},
              "trades.asm is not a form Kestrane reads (line 5)"},
             {"a byte too wide", "NPCTrades:\n\tdb 256\n", {}, "trades.asm, line 2: 256 is 256, too large for a byte."},
             {"a macro never ended", "MACRO npctrade\n\tdb \\1\nNPCTrades:\n\tnpctrade 1\n", {},
              "trades.asm is not a form Kestrane reads (line 1)"},
             {"no label", "\tdb 1\n", {}, "trades.asm defines no NPCTrades."},
         }) {
        SCOPED_TRACE(c.name);
        auto file = readTradeFile(c.text, "NPCTrades", "trades.asm", constants, charmap);
        if (c.record.empty()) {
            ASSERT_FALSE(file);
            EXPECT_EQ(file.error().message, c.refusal);
            continue;
        }
        ASSERT_TRUE(file) << file.error().message;
        ASSERT_EQ(file->rows.size(), 1u);
        EXPECT_EQ(file->rows[0].bytes, c.record);
    }
}

TEST(TradeSource, InStepOnlyWhereItsRowsMakeTheRomsTable) {
    struct Case {
        const char* name;
        TreeOptions options;
        std::function<void(Tree&)> change;
        std::string state;  // {line:X}: the line holding X in the trade file as changed
    };
    const auto inStep = [](Tree&) {};
    for (const Case& c : std::vector<Case>{
             {"a Crystal tree, dname", {}, inStep, "data/events/npc_trades.asm (in step)"},
             {"names padded by hand, shift, CRLF, no final newline", {RowForm::HandPadded, true, false}, inStep,
              "data/events/npc_trades.asm (in step)"},
             {"Polished Crystal: seven lines a record, rawchar in its own charmap, dp", {RowForm::Polished}, inStep,
              "data/events/npc_trades.asm (in step)"},
             {"a Red tree", {RowForm::RedBlue}, inStep, "data/events/trades.asm (in step)"},
             {"rows of db, ended by the next label", {RowForm::PlainRows}, inStep, "data/events/trades.asm (in step)"},
             {"the 16-bit base: species as words", {RowForm::Species16}, inStep, "data/events/npc_trades.asm (in step)"},
             {"the source edited after the build", {},
              [](Tree& t) {
                  t.writeTrades(replacedOnce(t.files.tradeText, "KRABBY, ", "KADABRA,"));
                  t.romWritten(true);
              },
              "pokecrystal.gbc is older than data/events/npc_trades.asm (record 2 differs): run make, then open it again"},
             {"the ROM edited after the build", {},
              [](Tree& t) {
                  t.rom[kCrystalTable + 32 * 2 + 1] = 64;
                  t.dir.write(t.romName, t.rom);
                  t.romWritten(false);
              },
              "pokecrystal.gbc holds edits that data/events/npc_trades.asm does not (record 2 differs): the next build replaces them"},
             {"a row more than the ROM's", {},
              [](Tree& t) {
                  const std::size_t at = t.files.tradeText.find("\tnpctrade TRADE_DIALOGSET_HAPPY");
                  std::string text = t.files.tradeText;
                  text.insert(at, text.substr(at, text.find('\n', at) + 1 - at));
                  t.writeTrades(text);
                  t.romWritten(true);
              },
              "pokecrystal.gbc is older than data/events/npc_trades.asm (data/events/npc_trades.asm has 8 rows, the ROM's table 7 "
              "records): run make, then open it again"},
             {"IF in the table", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "\tnpctrade TRADE_DIALOGSET_HAPPY", "\tIF DEF(_GOLD)\n\tnpctrade TRADE_DIALOGSET_HAPPY")); },
              "data/events/npc_trades.asm is not a form Kestrane reads (line {line:IF DEF})"},
             {"REPT in the macro", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "\tdw \\8", "\tREPT 1\n\tdw \\8\n\tENDR")); },
              "data/events/npc_trades.asm is not a form Kestrane reads (line {line:REPT})"},
             {"a constant no file defines", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "KRABBY, ", "KRABBYX,")); },
              "data/events/npc_trades.asm, line {line:KRABBYX}: no constants file of the tree defines KRABBYX."},
             {"a name the charmap cannot write", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "\"VOLTY\"", "\"VOLT\xE2\x82\xAC\"")); },
              "data/events/npc_trades.asm, line {line:VOLT}: the tree's charmap cannot write \"VOLT\xE2\x82\xAC\"."},
             {"a name with @ where dname pads", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "\"VOLTY\"", "\"VOL@Y\"")); },
              "data/events/npc_trades.asm, line {line:VOL@Y}: \"VOL@Y\" holds \"@\", which dname refuses."},
             {"a name longer than dname's field", {},
              [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "\"VOLTY\"", "\"VOLTYVOLTYVO\"")); },
              "data/events/npc_trades.asm, line {line:VOLTYVOLTYVO}: \"VOLTYVOLTYVO\" is longer than the 11 characters dname gives it."},
             {"a byte order mark", {}, [](Tree& t) { t.writeTrades("\xEF\xBB\xBF" + t.files.tradeText); },
              "data/events/npc_trades.asm begins with a byte order mark, which the assembler does not expect: save it as UTF-8 without one."},
             {"not UTF-8", {}, [](Tree& t) { t.writeTrades(replacedOnce(t.files.tradeText, "; entries", "; \xFF entries")); },
              "data/events/npc_trades.asm is not UTF-8 text: save it as UTF-8."},
             {"two files define the label", {}, [](Tree& t) { t.dir.write("data/other.asm", textBytes("NPCTrades:\n\tdb 0\n")); },
              "Both data/events/npc_trades.asm and data/other.asm define NPCTrades: Kestrane cannot tell which one the build reads."},
             {"no file defines it", {}, [](Tree& t) { std::filesystem::remove(fsPath(t.files.tradePath)); },
              "No .asm file of the build tree defines NPCTrades, so Kestrane cannot find its trade file."},
             {"no charmap", {}, [](Tree& t) { std::filesystem::remove(t.dir.path() / "constants" / "charmap.asm"); },
              "The build tree has no charmap (constants/charmap.asm or charmap.asm), so Kestrane cannot read its names."},
             {"the symbols of another build", {},
              [](Tree& t) { t.dir.write("pokecrystal.sym", textBytes("3f:4000 NPCTrades\n")); },
              "\"{sym}\" puts NPCTrades at 0xFC000, but the game's code reads the trades at 0xFCE58: the ROM and the "
              "symbols are of two builds."},
         }) {
        SCOPED_TRACE(c.name);
        Tree tree(c.options);
        c.change(tree);
        auto source = tree.open();
        ASSERT_TRUE(source);
        std::string expected = c.state;
        if (const std::size_t at = expected.find("{line:"); at != std::string::npos) {
            const std::size_t end = expected.find('}', at);
            expected.replace(at, end + 1 - at, std::to_string(lineHolding(tree.files.tradeText, expected.substr(at + 6, end - at - 6))));
        }
        if (const std::size_t at = expected.find("{sym}"); at != std::string::npos) expected.replace(at, 5, source->tree.symbolFile);
        EXPECT_EQ(source->state(), expected);
        EXPECT_EQ(source->inStep(), expected.ends_with("(in step)"));
        if (source->inStep()) {
            EXPECT_EQ(source->lineOf(0), lineHolding(tree.files.tradeText, "the first trade"));
            EXPECT_EQ(source->rebuildsStadium, c.options.stadium);
        }
    }
    // A ROM beside no Makefile lies in no tree.
    TempDir bare;
    auto rom = openRom(bare.write("pokecrystal.gbc", retailLikeRom("BYTE")), families::all());
    auto none = openTradeSource(*rom);
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
}

TEST(TradeSource, RewrittenOnlyWhereTheBytesChange) {
    struct Case {
        const char* name;
        TreeOptions options;
        std::uint32_t at;  // in record 0
        Bytes bytes;
        std::string from, to;  // in record 0's line; an empty `to`: refused with `from`
    };
    for (const Case& c : std::vector<Case>{
             {"a species, as its constant, the columns kept", {}, 2, {84}, "MACHOP,     \"", "DODUO,      \""},
             {"a dialog set, as a dialog set", {}, 0, {1}, "TRADE_DIALOGSET_COLLECTOR, ABRA", "TRADE_DIALOGSET_HAPPY,     ABRA"},
             {"a gender, as a gender", {}, 30, {2}, "TRADE_GENDER_EITHER", "TRADE_GENDER_FEMALE"},
             {"an item", {}, 16, {0x53}, "ITEM_AE,", "ITEM_53,"},
             {"a byte of no constant, as a number", {}, 2, {0xFC}, "MACHOP,     \"", "$FC,        \""},
             {"a number in its radix and case", {}, 14, {0xA5}, "$37, $66", "$A5, $66"},
             {"an ID in its width", {}, 17, {0x1B, 0x01}, "37460", "00283"},
             {"a nickname, unpadded where dname pads", {}, 3, nameBytes("BOB"), "\"MUSCLE\", ", "\"BOB\",    "},
             {"a name with the charmap's two-letter entry", {}, 19, Bytes{0x80, 0xD0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50},
              "\"MIKE\",   ", "\"A'd\",    "},
             {"a name padded by hand, in CRLF", {RowForm::HandPadded, true, false}, 3, nameBytes("BOB"), "\"MUSCLE@@@@@\"",
              "\"BOB@@@@@@@@\""},
             {"a Red dialog set", {RowForm::RedBlue}, 2, {2}, "TRADE_DIALOGSET_CASUAL,    ", "TRADE_DIALOGSET_HAPPY,     "},
             {"a species word of the 16-bit base", {RowForm::Species16}, 3, {251, 0}, "MACHOP,", "CELEBI,"},
             {"a trainer padded to 8 by hand", {RowForm::Species16}, 21, Bytes{0x80, 0x8B, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50},
              "\"MIKE@@@@\"", "\"AL@@@@@@\""},
             // Polished Crystal: seven lines a record, rawchar names padded by hand, dp's species and its form bits.
             {"a nature: B of A | B, as another name of its file", {RowForm::Polished}, 19, {0x60 | 13}, "HIDDEN_ABILITY | NAT_ADAMANT, ",
              "HIDDEN_ABILITY | NAT_JOLLY,   "},
             {"an offered species of dp, its gender kept", {RowForm::Polished}, 3, {84, 0x80}, "MACHOP, FEMALE", "DODUO,  FEMALE"},
             {"an added species: its high part in dp's second byte", {RowForm::Polished}, 3, {0x01, 0xA0}, "MACHOP, FEMALE",
              "SPECIES_257, FEMALE"},
             {"a gender of dp", {RowForm::Polished}, 4, {0x00}, "MACHOP, FEMALE ;", "MACHOP, MALE   ;"},
             {"a rawchar nickname", {RowForm::Polished}, 5, polishedText("Strong", 11), "\"Muscle@@@@@\"", "\"Strong@@@@@\""},
             {"a trainer of 7 letters, no room for '@'", {RowForm::Polished}, 24, polishedText("Michael", 7), "\"Mike@@@\", $00",
              "\"Michael\", $00"},
             {"a ball, as an item", {RowForm::Polished}, 20, {0x05}, "ITEM_02, ITEM_1D", "ITEM_05, ITEM_1D"},
             {"shininess beside A | B: read-only", {RowForm::Polished}, 19, {0xE3},
              "HIDDEN_ABILITY | NAT_ADAMANT is an expression; Kestrane writes only numbers, constants and names (and the last name of "
              "A | B, where A holds).",
              ""},
             {"another ability: A no longer holds", {RowForm::Polished}, 19, {0x23},
              "HIDDEN_ABILITY | NAT_ADAMANT is an expression; Kestrane writes only numbers, constants and names (and the last name of "
              "A | B, where A holds).",
              ""},
             {"a byte the macro writes itself", {}, 31, {1}, "byte 31 of the record is the row macro's own; change it there.", ""},
             {"a name padded otherwise than dname pads", {}, 3, Bytes{0x81, 0x8E, 0x81, 0x50, 0, 0, 0, 0, 0, 0, 0},
              "the new name is not padded with \"@\" as dname pads it.", ""},
             {"a name the charmap cannot write", {}, 3, Bytes{0x81, 0x01, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50},
              "the tree's charmap cannot write the new name.", ""},
         }) {
        SCOPED_TRACE(c.name);
        Tree tree(c.options);
        auto source = tree.open();
        ASSERT_TRUE(source && source->inStep()) << (source ? source->state() : "");
        RowChange change{0, source->rows->rows[0].bytes};
        std::copy(c.bytes.begin(), c.bytes.end(), change.bytes.begin() + c.at);
        auto text = rewriteTradeFile(source->text, *source->rows, std::span(&change, 1), source->file, *source->constants, *source->charmap);
        if (c.to.empty()) {
            ASSERT_FALSE(text);
            EXPECT_EQ(text.error().message, "data/events/npc_trades.asm, line " + std::to_string(*source->lineOf(0)) + ": " + c.from);
            continue;
        }
        ASSERT_TRUE(text) << text.error().message;
        // Only the tokens changed, and the file now builds the planned bytes.
        EXPECT_EQ(*text, replacedOnce(source->text, c.from, c.to));
        auto again = readTradeFile(*text, tree.files.label, source->file, *source->constants, *source->charmap, source->rows->recordSize);
        ASSERT_TRUE(again) << again.error().message;
        EXPECT_EQ(again->rows[0].bytes, change.bytes);
        for (std::size_t r = 1; r < again->rows.size(); ++r) EXPECT_EQ(again->rows[r].bytes, source->rows->rows[r].bytes);
    }
}

TEST(TradeSource, SavedIntoBothOrNeither) {
    struct Case {
        const char* name;
        TreeOptions options;
        std::function<void(Tree&)> before;  // after the opening, before the save
        std::string refusal;                // empty: saved into both
        bool romTakenBack = false;          // refused after the ROM's save, which was undone
    };
    const auto nothing = [](Tree&) {};
    for (const Case& c : std::vector<Case>{
             {"a tree whose build rewrites the Stadium data", {}, nothing, ""},
             {"a tree whose build leaves it", {RowForm::Dname, false, true, false}, nothing, ""},
             {"a Red tree, names padded by hand", {RowForm::PlainRows}, nothing, ""},
             {"a Polished Crystal tree, seven lines a record", {RowForm::Polished}, nothing, ""},
             {"the trade file changed since it was read", {},
              [](Tree& t) { t.writeTrades(t.files.tradeText + "; a line added by another program\n"); },
              "data/events/npc_trades.asm was changed by another program since Kestrane read it; the ROM's save was taken back, "
              "so both are as they were.",
              true},
             {"a read-only trade file", {},
              [](Tree& t) {
                  std::filesystem::permissions(fsPath(t.files.tradePath), std::filesystem::perms::owner_write,
                                               std::filesystem::perm_options::remove);
              },
              "data/events/npc_trades.asm is read-only: make it writable, or save the ROM alone."},
             {"a trade file that is a link", {},
              [](Tree& t) {
#if defined(_WIN32)
                  // Links are the administrator's on Windows: none for tests.
                  throw std::filesystem::filesystem_error("no links", std::error_code());
#endif
                  std::filesystem::rename(fsPath(t.files.tradePath), t.dir.path() / "real_trades.asm");
                  std::filesystem::create_symlink(t.dir.path() / "real_trades.asm", fsPath(t.files.tradePath));
              },
              "data/events/npc_trades.asm is a symbolic link, which Kestrane does not write through: put the file itself in its "
              "place, or save the ROM alone."},
         }) {
        SCOPED_TRACE(c.name);
        Tree tree(c.options);
        auto rom = openRom(tree.romPath, families::all());
        auto opened = openTradeSource(*rom);
        ASSERT_TRUE(opened);
        std::optional<TradeSource> source = *opened;
        ASSERT_TRUE(source && source->inStep()) << (source ? source->state() : "");
        try {
            c.before(tree);
        } catch (const std::filesystem::filesystem_error&) {
            continue;  // a platform without links for tests
        }
        const std::string textBefore(tree.files.tradeText);
        const Slot slot = Slot::fromNumber(2);  // record 0
        auto shown = readTradeRecord(*rom, slot);
        ASSERT_TRUE(shown && shown->record);
        GivenEdit given;
        given.nickname = "BOB";
        given.padding = NamePadding::Terminator;  // as the macro pads
        given.requestedSpecies = Given{"3"};
        auto edit = resolveEdit(*rom, *shown->record, given);
        ASSERT_TRUE(edit);
        const SaveOptions options = asBuilt(*rom, *source, {});
        auto saved = saveTradesWithSource(*rom, *source, std::span(&*edit, 1), options);
        const Bytes romAfter = readFile(tree.romPath);
        const Bytes textAfter = readFile(tree.dir.file(tree.files.tradeFile));
        // No temporary file is left beside the trade file.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fsPath(tree.files.tradePath).parent_path()),
                                std::filesystem::directory_iterator()), 1);
        if (!c.refusal.empty()) {
            ASSERT_FALSE(saved);
            EXPECT_EQ(saved.error().message, c.refusal);
            EXPECT_EQ(romAfter, tree.rom);
            EXPECT_EQ(textAfter, textBytes(textBefore));
            continue;
        }
        ASSERT_TRUE(saved) << saved.error().message;
        // The trade file holds the edit in the row of slot 2's record (record 0, in Red record 1), and builds the ROM's table again.
        const bool red = c.options.form == RowForm::PlainRows;
        const bool polished = c.options.form == RowForm::Polished;  // slot 2 is record 1 there
        EXPECT_EQ(saved->after, red ? replacedOnce(replacedOnce(textBefore, "ABRA,       MR_MIME", "VENUSAUR,   MR_MIME"),
                                                   "\"MARCEL@@@@@\"", "\"BOB@@@@@@@@\"")
                                : polished ? replacedOnce(replacedOnce(textBefore, "\"Mimic@@@@@@\"", "\"BOB@@@@@@@@\""), "dp POLIWAG,",
                                                          "dp VENUSAUR,")
                                    : replacedOnce(replacedOnce(textBefore, "\"MUSCLE\", ", "\"BOB\",    "), "ABRA,      ", "VENUSAUR,  "));
        EXPECT_EQ(textAfter, textBytes(saved->after));
        auto reopened = openRom(tree.romPath, families::all(), nativeFileSystem(), RomParts{true, true, true});
        ASSERT_TRUE(reopened);
        auto again = openTradeSource(*reopened);
        ASSERT_TRUE(again && *again);
        EXPECT_EQ((*again)->state(), source->state());
        // The checksums as the tree's build makes them: rgbfix's always, the Stadium data only where its Makefile runs it.
        const std::span<const CheckArea> areas = reopened->release->family().platform().checks();
        for (std::size_t i = 0; i < areas.size(); ++i) {
            if (reopened->checksums->of(i) == ChecksumStatus::Absent) continue;
            const bool rebuilt = areas[i].key != "stadium" || c.options.stadium;
            EXPECT_EQ(reopened->checksums->of(i) == ChecksumStatus::Consistent, rebuilt) << areas[i].name;
        }
        // Undo takes back both; Redo makes both again.
        ASSERT_TRUE(rewindSaveWithSource(*rom, *source, saved->rom.changes, saved->before, saved->after, Rewind::Undo, options));
        EXPECT_EQ(readFile(tree.romPath), tree.rom);
        EXPECT_EQ(readFile(tree.files.tradePath), textBytes(textBefore));
        ASSERT_TRUE(rewindSaveWithSource(*rom, *source, saved->rom.changes, saved->before, saved->after, Rewind::Redo, options));
        EXPECT_EQ(readFile(tree.romPath), romAfter);
        EXPECT_EQ(readFile(tree.files.tradePath), textAfter);
    }
    // The new trade file cannot be put in place: the ROM's save is taken back, and nothing is left behind.
    Tree tree;
    auto rom = openRom(tree.romPath, families::all());
    std::optional<TradeSource> source = *openTradeSource(*rom);
    GivenEdit given;
    given.nickname = "BOB";
    given.padding = NamePadding::Terminator;
    auto edit = resolveEdit(*rom, *readTradeRecord(*rom, Slot::fromNumber(2))->record, given);
    ASSERT_TRUE(edit);
    FaultInjectingFileSystem fs;
    fs.failNext(FileOp::Replace, fileFailure(ErrorCode::DeviceIo, "the device reported an input/output error"));
    auto saved = saveTradesWithSource(*rom, *source, std::span(&*edit, 1), asBuilt(*rom, *source, {}), fs);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().message, "Could not put the new data/events/npc_trades.asm in place (the device reported an input/output "
                                     "error); the ROM's save was taken back, so both are as they were.");
    EXPECT_EQ(readFile(tree.romPath), tree.rom);
    EXPECT_EQ(readFile(tree.files.tradePath), textBytes(tree.files.tradeText));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fsPath(tree.files.tradePath).parent_path()),
                            std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace kestrane
