#include "cli/cli.h"

#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

#include "exchange/trade_keys.h"
#include "families/families.h"
#include "families/gen2/second_generation_layouts.h"
#include "platform/gb/cartridge.h"
#include "platform/gb/checksums.h"
#include "support/bad_inputs.h"
#include "support/build_tree_image.h"
#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/first_generation_image.h"
#include "support/gba_image.h"
#include "support/patch_applier.h"
#include "support/processes.h"
#include "support/rom_image.h"
#include "support/polished_crystal_image.h"
#include "support/utf.h"
#include "trades/dvs.h"
#include "trades/pictures.h"
#include "trades/record_layout.h"
#include "trades/releases.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;
using nlohmann::json;

const std::uint32_t kGoldSlot1 = slotOffset(kGoldSilverTable, 1);  // the record's first byte
const std::uint32_t kCrystalSlot1 = slotOffset(kCrystalTable, 1);

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    Outcome run(std::vector<std::string> args, FileSystem& fs = nativeFileSystem()) {
        args.insert(args.begin(), "kestrane-cli");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream out, err;
        int code = cli::runCli(int(argv.size()), argv.data(), out, err, fs);
        return {code, out.str(), err.str()};
    }

    // A retail-like image of the game with trade 1 made up: Abra asked, Onix offered.
    std::string rom(const char* code, const std::string& name = "rom.gbc") {
        Bytes image = retailLikeRom(code, 5);
        putRecord(image, code[0] == 'B' ? kCrystalSlot1 : kGoldSlot1, TradeBytes{});
        return dir.write(name, image);
    }

    // Expects the command refused (exit code) with the file byte for byte as it was.
    void expectUnchanged(const std::vector<std::string>& args, int code, const std::string& path,
                         const std::string& message = {}) {
        const Bytes before = readFile(path);
        Outcome r = run(args);
        EXPECT_EQ(r.code, code) << args.back() << ": " << r.err;
        if (!message.empty()) {
            EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        }
        EXPECT_EQ(readFile(path), before) << args.back();
    }

    TempDir dir;
};

TEST_F(CliTest, InfoNamesTheGameOrRefuses) {
    for (auto [code, name] : {std::pair{"AAUE", "Pok\u00e9mon Gold"}, std::pair{"AAXE", "Pok\u00e9mon Silver"},
                              std::pair{"BYTE", "Pok\u00e9mon Crystal"}, std::pair{"BYTU", "Pok\u00e9mon Crystal (Australia)"}}) {
        const std::string path = rom(code);
        const bool crystal = code[0] == 'B';
        Outcome text = run({"info", path});
        EXPECT_EQ(text.code, 0);
        EXPECT_EQ(text.out, std::string("Game:        ") + name + "\nCode:        " + code +
                                "\nLanguage:    English\nTrade table: " +
                                (crystal ? "0xFCE58, 7 records" : "0xFCC24, 6 records") +
                                " (usual place)\nSpecies names: from the ROM\nTrader lines:  from the ROM\nPlaces:        from the ROM\nHeader checksum (0x14D):  stale\nGlobal checksum (0x14E):  stale\n"
                                "Stadium data (0x1FFDF8):  absent\n");
        Outcome js = run({"info", path, "--json"});
        EXPECT_EQ(json::parse(js.out), (json{{"code", code}, {"name", name}, {"language", "English"}, {"layout", "vanilla"},
                                             {"revision", 0},
                                             {"table", {{"offset", crystal ? 0xFCE58 : 0xFCC24},
                                                        {"records", crystal ? 7 : 6},
                                                        {"foundBy", "usual place"}}},
                                             {"size", {{"file", 2097152}, {"header", 2097152}, {"cutOff", false}}},
                                             {"speciesNames", {{"from", "rom"}}},
                                             {"traderLines", {{"from", "rom"}}},
                                             {"places", {{"from", "rom"}}},
                                             {"checksums", {{"header", "stale"}, {"global", "stale"}, {"stadium", "absent"}}}}));
    }
    // Red: one trainer name for every trade; what its family lacks is omitted or refused by name.
    const std::string red = dir.write("red.gb", firstGenerationRom("POKEMON RED"));
    struct Lacking {
        std::vector<std::string> args;
        int code;
        std::string says;  // the whole of standard output, or (code 1) of standard error
    };
    for (const Lacking& c : std::vector<Lacking>{
             {{"info", red}, 0,
              "Game:        Pok\u00e9mon Red\nCode:        POKEMON RED\nLanguage:    English\nTrade table: 0x71B7B, 10 records (usual place)\n"
              "Species names: from the ROM\nTrader lines:  from the ROM\nPlaces:        from the ROM\nTrainer name:  from the ROM\n"
              "Header checksum (0x14D):  consistent\nGlobal checksum (0x14E):  consistent\n"},
             {{"checksums", red}, 0, "Header checksum (0x14D):  consistent\nGlobal checksum (0x14E):  consistent\n"},
             {{"items", red}, 1, "Pok\u00e9mon Red has no item list: creatures hold no items in this game.\n"},
             {{"picture", red, "25", "--shiny", "-o", dir.file("p.png")}, 1,
              "Pok\u00e9mon Red has no shiny creatures: every one of a species looks the same.\n"},
             {{"set", red, "1", "--item", "None"}, 1,
              "Pok\u00e9mon Red's trades have no held item: creatures hold no items in this game. Nothing was written.\n"},
         }) {
        SCOPED_TRACE(c.args[0]);
        const Bytes before = readFile(red);
        Outcome out = run(c.args);
        EXPECT_EQ(out.code, c.code) << out.err;
        EXPECT_EQ(c.code == 0 ? out.out : out.err, c.says);
        EXPECT_EQ(readFile(red), before);
        EXPECT_FALSE(std::filesystem::exists(fsPath(dir.file("p.png"))));
    }
    const json redInfo = json::parse(run({"info", red, "--json"}).out);
    EXPECT_EQ(redInfo["trainerName"], (json{{"from", "rom"}}));
    EXPECT_EQ(redInfo["checksums"], (json{{"header", "consistent"}, {"global", "consistent"}}));

    const std::string other = dir.write("other.gb", randomImage("aaue"));
    Outcome unsupported = run({"info", other});
    EXPECT_EQ(unsupported.code, 1);
    EXPECT_EQ(unsupported.err, "Unsupported ROM.\nThe game code at 0x13F is \"aaue\"; Kestrane edits Pok\u00e9mon "
                               "Gold (AAUE, AAUJ), Silver (AAXE, AAXJ), Crystal (BYTE, BYTU, BYTF, BYTS), Polished Crystal (PKPC), Red (POKEMON RED), "
                               "Blue (POKEMON BLUE), Yellow (POKEMON YELLOW) and Green (POKEMON GREEN), the releases "
                               "whose every byte is known, and never guesses the layout of another.\n");
    EXPECT_EQ(run({"info", dir.file("missing.gb")}).code, 3);
    EXPECT_EQ(run({"info", dir.write("short.gb", Bytes(0x142))}).code, 1);
}

TEST_F(CliTest, ListAndShowEverySlot) {
    const std::string gold = rom("AAUE");
    Outcome list = run({"list", gold});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(list.out.find("1     Violet City, Johto      63 Abra"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("4     Blackthorn City, Johto  148 Dragonair  112 Rhydon      DON"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\n7     no trade\n"), std::string::npos) << list.out;

    Outcome show = run({"show", gold, "1"});
    EXPECT_EQ(show.code, 0);
    EXPECT_NE(show.out.find("(record at 0xFCC44)"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("Record bytes:       00 3F 5F 91 8E 82 8A 98 50"), std::string::npos) << show.out;
    // What the trader says, from the ROM, this trade's names filled in.
    EXPECT_NE(show.out.find("Trader:\n  intro:            I COLLECT POK\u00e9MON. / DO YOU HAVE / ABRA? // WANT TO TRADE IT / FOR MY "
                            "ONIX?\n  cancel:           SET 0 PHASE 1\n"),
              std::string::npos)
        << show.out;

    json one = json::parse(run({"show", gold, "1", "--json"}).out);
    EXPECT_EQ(one["game"]["code"], "AAUE");
    EXPECT_EQ(one["trade"]["slot"], 1);
    EXPECT_EQ(one["trade"]["requested"], 63);
    EXPECT_EQ(one["trade"]["nickname"], "ROCKY");
    EXPECT_EQ(one["trade"]["nicknameBytes"], "91 8E 82 8A 98 50 50 50 50 50");
    EXPECT_EQ(one["trade"]["id"], 4660);
    EXPECT_EQ(one["trade"]["dialog"]["from"], "rom");
    EXPECT_EQ(one["trade"]["dialog"]["after"], "SET 0 PHASE 4");
    // Where the ROM's lines are not to be found, Kestrane's own opening, and why.
    Bytes noLines = readFile(gold);
    std::fill_n(noLines.begin() + linesRoutineOf("AAUE"), 24, 0x00);
    const std::string other = dir.write("no-lines.gb", noLines);
    EXPECT_NE(run({"show", other, "1"}).out.find("\nTrader:             I collect POK\u00e9MON. Do you have \u2026? (Kestrane's words; the "
                                                "ROM's lines are not shown: the routine that reads them is not in the file)\n"),
              std::string::npos);
    EXPECT_EQ(json::parse(run({"show", other, "1", "--json"}).out)["trade"]["dialog"],
              (json{{"from", "built in"}, {"why", "the routine that reads them is not in the file"},
                    {"intro", "I collect POK\u00e9MON. Do you have \u2026?"}, {"cancel", nullptr}, {"wrong", nullptr},
                    {"complete", nullptr}, {"after", nullptr}}));
    EXPECT_EQ(json::parse(run({"show", gold, "7", "--json"}).out)["trade"],
              (json{{"slot", 7}, {"hasTrade", false}}));
    EXPECT_EQ(run({"show", gold, "7"}).out, "Trade Number 7: There is no trade assigned to this slot.\n");
    for (const char* slot : {"0", "8"}) EXPECT_EQ(run({"show", gold, slot}).code, 1);
}

TEST_F(CliTest, SetChangesOnlyTheGivenFields) {
    const std::string path = rom("BYTE");
    const Bytes before = readFile(path);
    struct Case {
        std::vector<std::string> options;
        std::vector<std::pair<std::uint32_t, std::uint8_t>> bytes;  // offset in the record, new value
    };
    for (const Case& c : std::vector<Case>{
             {{"--requested", "abra"}, {}},  // already Abra: nothing changes
             {{"--requested", "25"}, {{1, 25}}},
             {{"--offered", "Celebi"}, {{2, 251}}},
             {{"--offered", "vaporeon"}, {{2, 134}}},
             {{"--id", "37460"}, {{17, 0x54}, {18, 0x92}}},
             {{"--nickname", "ROCK"}, {{7, 0x50}, {8, 0x20}, {9, 0x20}, {10, 0x20}, {11, 0x20}, {12, 0x20}}},
             // Padded as the games' builds pad, where asked; a name not typed anew keeps its bytes.
             {{"--nickname", "ROCK", "--pad-with-terminator"}, {{7, 0x50}, {8, 0x50}, {9, 0x50}, {10, 0x50}, {11, 0x50}, {12, 0x50}}},
             {{"--ot", "KYLE", "--pad-with-terminator"}, {}},
             {{"--ot", "KYLE"}, {}},  // the shown name: its bytes stay
             // The PK and MN glyphs, and the rival's name.
             {{"--nickname", "[PK][MN]ROCK"}, {{3, 0xE1}, {4, 0xE2}, {5, 0x91}, {6, 0x8E}, {7, 0x82}, {8, 0x8A}, {9, 0x50}, {10, 0x20}, {11, 0x20}, {12, 0x20}}},
             {{"--ot", "[RIVAL]"}, {{19, 0x53}, {20, 0x50}, {21, 0x20}, {22, 0x20}, {23, 0x20}, {24, 0x20}, {25, 0x20}, {26, 0x20}, {27, 0x20}, {28, 0x20}}},
             // Names as people type them.
             {{"--offered", "mr mime", "--item", "kings rock"}, {{2, 122}, {16, 82}}},
             {{"--item", "Lucky Egg"}, {{16, 0x7E}}},
             {{"--item", "none"}, {{16, 0x00}}},
             {{"--item", "0xAE"}, {{16, 0xAE}}},
             {{"--dvs", "15/10/10/10"}, {{14, 0xFA}, {15, 0xAA}}},
             {{"--shiny"}, {{14, 0xAA}, {15, 0xAA}}},  // 9/6/6/6: Attack up to 10
             {{"--dvs", "0/0/0/0", "--shiny"}, {{14, 0x2A}, {15, 0xAA}}},
             {{"--gender-requirement", "Female"}, {{30, 2}}},
             {{"--dialog", "girl"}, {{0, 3}}},
             {{"--dialog", "newbie", "--dvs", "15/10/10/10", "--item", "Lucky Egg", "--gender-requirement", "male"},
              {{0, 0x02}, {14, 0xFA}, {15, 0xAA}, {16, 0x7E}, {30, 0x01}}},
         }) {
        dir.write("rom.gbc", before);
        std::vector<std::string> args = {"set", path, "1"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Outcome r = run(args);
        ASSERT_EQ(r.code, 0) << c.options[0] << ": " << r.err;
        Bytes expected = before;
        for (auto [offset, value] : c.bytes) expected[kCrystalSlot1 + offset] = value;
        EXPECT_EQ(differences(readFile(path), expected), std::vector<std::size_t>{}) << c.options[0];
    }
    Outcome shown = run({"show", path, "1"});
    EXPECT_NE(shown.out.find("Held item:          LUCKY EGG (126)\nDVs:                15/10/10/10 "
                             "(Attack/Defense/Speed/Special)\nShiny:              yes\nHP DV:              8\n"),
              std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Gender requirement: male\nDialog set:         newbie (2)"), std::string::npos) << shown.out;

    dir.write("rom.gbc", before);
    Outcome dry = run({"set", path, "1", "--id", "65535", "--dry-run"});
    EXPECT_EQ(dry.code, 0);
    EXPECT_EQ(dry.out, "Trade Number 1  ID  4660 \u2192 65535\n\noffset    old new\n0xFCE89   34  FF\n0xFCE8A   12  FF\n");
    // Every problem at once.
    Outcome problems = run({"set", path, "1", "--id", "x", "--offered", "Pikachoo", "--nickname", "A%B"});
    EXPECT_EQ(problems.code, 1);
    EXPECT_EQ(std::count(problems.err.begin(), problems.err.end(), '\n'), 4) << problems.err;
    EXPECT_EQ(readFile(path), before);

    // A copy: the ROM as it was, the result in a new file; never the ROM itself.
    const std::string copy = dir.file("copy.gbc");
    Outcome copied = run({"set", path, "1", "--id", "65535", "--leave-checksums", "-o", copy});
    EXPECT_EQ(copied.out, "Trade Data Saved. 2 bytes changed; checksums left as they were. Written to \"" + copy + "\"; \"" + path + "\" was not changed.\n");
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(differences(readFile(copy), before), (std::vector<std::size_t>{kCrystalSlot1 + 17, kCrystalSlot1 + 18}));
    expectUnchanged({"set", path, "1", "--id", "1", "-o", path}, 1, path, "is the ROM itself; choose another file.");
    // Read-only stays read-only, for root too, until asked.
    ASSERT_TRUE(nativeFileSystem().setReadOnly(path, true));
    expectUnchanged({"set", path, "1", "--id", "1"}, 1, path,
                    "\"" + path + "\" is read-only; nothing was written. Give --make-writable to save into it anyway, "
                                  "or -o FILE to write a copy.\n");
    EXPECT_TRUE(nativeFileSystem().status(path)->readOnly);
    EXPECT_EQ(run({"checksums", path, "--fix", "-o", copy}).code, 0);
    EXPECT_TRUE(nativeFileSystem().status(path)->readOnly);
    EXPECT_EQ(run({"set", path, "1", "--id", "1", "--make-writable"}).code, 0);
    EXPECT_FALSE(nativeFileSystem().status(path)->readOnly);
    EXPECT_EQ(readFile(path)[kCrystalSlot1 + 17], 1);
}

// A report that cannot be written (a full disk behind standard output) is
// no success; a save done before it stays done, and the message says so.
TEST_F(CliTest, AReportThatCannotBeWrittenIsNoSuccess) {
    const std::string path = rom("BYTE");
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"kestrane-cli", "export", path.c_str()}, {"kestrane-cli", "set", path.c_str(), "1", "--id", "4661"}}) {
        SCOPED_TRACE(args[1]);
        std::ostream lost(nullptr);  // every write fails
        std::ostringstream err;
        EXPECT_EQ(cli::runCli(int(args.size()), args.data(), lost, err, nativeFileSystem()), cli::kIoFailure);
        EXPECT_NE(err.str().find("Could not write to standard output"), std::string::npos) << err.str();
    }
    EXPECT_EQ(json::parse(run({"export", path}).out)["trades"][0]["id"], 4661) << "the save itself was done";
}

TEST_F(CliTest, RefusalsAndUsageErrorsLeaveTheFileAlone) {
    const std::string gold = rom("AAUE");
    struct Case {
        std::vector<std::string> options;
        int code;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{"1", "--id", ""}, 1, "empty"},
             {{"1", "--id", "-1"}, 1, "between 0 and 65535"},
             {{"1", "--id", "65536"}, 1, "between 0 and 65535"},
             {{"1", "--id", "1e5"}, 1, "not a number"},
             {{"1", "--id", "0x1G"}, 1, "not a number"},
             {{"1", "--id", "0x10000"}, 1, "between 0 and 65535"},
             {{"1", "--id", "12abc"}, 1, "not a number"},
             {{"1", "--requested", "300"}, 1, "give a number from 0 to 251"},
             {{"1", "--requested", "252"}, 1, "give a number from 0 to 251"},
             {{"1", "--offered", "Pikachoo"}, 1, "is not a species"},
             {{"1", "--nickname", "A%B"}, 1, "(U+0025), character 2"},
             {{"1", "--ot", "\xff"}, 1, "UTF-8"},
             {{"1", "--nickname", "ABCDEFGHIJK"}, 1, "needs 11 bytes"},
             {{"7", "--id", "1"}, 1, "There is no trade assigned to this slot."},
             {{"1", "--dvs", "16/0/0/0"}, 1, "The Attack DV 16 is out of range"},
             {{"1", "--dvs", "1/2/3"}, 1, "are not four DVs"},
             {{"1", "--dvs", "1/2/3/4/5"}, 1, "are not four DVs"},
             {{"1", "--dialog", "girl"}, 1, "no dialog set of Pok\u00e9mon Gold: give collector, happy or newbie (0 to 2)"},
             {{"1", "--dialog", "3"}, 1, "no dialog set of Pok\u00e9mon Gold"},
             {{"1", "--gender-requirement", "3"}, 1, "give either, male or female"},
             {{"1", "--item", "Lucky Eg"}, 1, "is not an item of this ROM"},
             {{"1", "--item", "256"}, 1, "item numbers are 0 to 255"},
             {{"x", "--id", "1"}, 2, ""},
             {{"1", "--colour", "red"}, 2, ""},
             {{"1"}, 2, "Nothing to change: give one or more of --requested, --offered, --nickname, --ot, --id, --item, "
                        "--mail, --dvs, --shiny, --gender-requirement, --form, --offered-gender, --requested-form, --stat-dvs, "
                        "--ball, --dialog, --personality, --nature, --ability, --ivs, --secret-id, --ot-gender, --contest or --sheen."},
             {{"1", "--offered", "Pikachoo"}, 1, "Did you mean Pikachu?"},
             {{"1", "--nickname", "\\hZZ"}, 1, "holds \"\\hZZ\" at character 1, which names no byte"},
             // Echoed input is short and shows control characters escaped.
             {{"1", "--offered", std::string(10'000'000, 'x')}, 1, "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\u2026\" (10,000,000 bytes) is not a species"},
             {{"1", "--item", "\x1b[31m"}, 1, "\"\\x1B[31m\" is not an item"},
         }) {
        std::vector<std::string> args = {"set", gold};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(c.options.back().substr(0, 40));
        expectUnchanged(args, c.code, gold, c.message);
    }
    EXPECT_EQ(run({}).code, 2);
    EXPECT_EQ(run({"set"}).code, 2);
    EXPECT_EQ(run({"exprot", gold}).code, 2);  // no command of that name
    EXPECT_EQ(run({"info", gold, "list"}).code, 2);  // one command a run
    EXPECT_EQ(run({"--", "info", gold}).code, 2);  // the command named first
    // Each command's help names its own options, and says which games lack
    // a field as the families' rows say; the program's help, every command.
    const Outcome all = run({"--help"});
    for (auto [command, option] :
         {std::pair{"info", "--json"}, {"list", "--json"}, {"show", "--picture"}, {"picture", "--scale"}, {"set", "--nickname"},
          {"set", "not in Red, Blue, Yellow and Green, whose trades give one"},
          {"set", "collector, happy, newbie or (Crystal and Polished Crystal) girl; in Red, Blue and Yellow casual, evolution or happy; in Red and "
                  "Green casual, polite or happy."},
          {"set", "(Gold, Silver and Crystal pad with 0x20 otherwise; Polished Crystal, Red, Blue, Yellow and Green always with the terminator)"},
          {"species", "--json"}, {"items", "--json"}, {"patch", "--any"}, {"apply", "PATCH"}, {"diff", "--quiet"},
          {"export", "--output"}, {"import", "--dry-run"}, {"checksums", "--fix"}, {"show", "The .gb, .gbc or .gba file."}}) {
        Outcome help = run({command, "--help"});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_NE(help.out.find("Usage"), std::string::npos) << command;
        EXPECT_NE(help.out.find(option), std::string::npos) << command;
        EXPECT_NE(all.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    }
    Outcome version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_NE(version.out.find("1.00.0001"), std::string::npos);
}

TEST_F(CliTest, ExportThenImportChangesNothing) {
    for (const char* code : {"AAUE", "AAXE", "BYTE"}) {
        // Bytes the editor cannot show must survive the round trip too.
        Bytes image = readFile(rom(code));
        const std::uint32_t base = code[0] == 'B' ? kCrystalSlot1 : kGoldSlot1;
        image[base + 1] = 253;
        image[base + 4] = 0xE1;
        // Every new field at its extremes, in two trades.
        const std::uint32_t third = slotOffset(usualTable(code), 3);
        image[base] = code[0] == 'B' ? 3 : 2;
        image[base + 14] = image[base + 15] = 0xFF;
        image[base + 16] = 0xFF;
        image[base + 30] = 2;
        image[third] = 0;
        image[third + 14] = image[third + 15] = 0x00;
        image[third + 16] = 0;
        image[third + 30] = 0;
        const std::string exported = dir.write("exported.gbc", image);
        const std::string table = dir.file("table.json");
        ASSERT_EQ(run({"export", exported, "-o", table}).code, 0);
        const std::string copy = dir.write("copy.gbc", image);
        Outcome imported = run({"import", copy, table});
        EXPECT_EQ(imported.code, 0) << code << ": " << imported.err;
        EXPECT_EQ(imported.out, "Trade Data Saved. 0 bytes changed in 0 trades.\n");
        EXPECT_EQ(readFile(copy), image) << code;
        const auto written = readFile(table);
        EXPECT_EQ(run({"export", copy}).out, std::string(written.begin(), written.end())) << "standard output and a file hold the same text";
        const json first = json::parse(readFile(table))["trades"][0];
        EXPECT_EQ(first["heldItem"], 255);
        EXPECT_EQ(first["heldItemName"], "TERU-SAMA");  // the ROM's own text
        EXPECT_EQ(first["dvs"], (json{{"attack", 15}, {"defense", 15}, {"speed", 15}, {"special", 15}}));
        EXPECT_EQ(first["shiny"], false);
        EXPECT_EQ(first["hpDv"], 15);
        EXPECT_EQ(first["genderRequirement"], "female");
        EXPECT_EQ(first["dialogSet"], code[0] == 'B' ? "girl" : "newbie");
        EXPECT_EQ(json::parse(readFile(table))["trades"][2]["heldItemName"], "None");

        // A table exported before these fields existed changes none of their bytes.
        json old = json::parse(readFile(table));
        for (auto& trade : old["trades"]) {
            for (const char* key : {"heldItem", "heldItemName", "dvs", "shiny", "hpDv", "genderRequirement", "dialogSet"}) {
                trade.erase(key);
            }
        }
        old["trades"][0]["id"] = 1;
        std::ofstream(fsPath(table), std::ios::trunc) << old.dump();
        ASSERT_EQ(run({"import", copy, table}).code, 0);
        EXPECT_EQ(differences(readFile(copy), image), (std::vector<std::size_t>{base + 17, base + 18})) << code;
        // A name given as text alone is typed anew, padded as asked.
        json renamed = json::parse(readFile(table));
        renamed["trades"][0].erase("nicknameBytes");
        renamed["trades"][0]["nickname"] = "AB";
        std::ofstream(fsPath(table), std::ios::trunc) << renamed.dump();
        ASSERT_EQ(run({"import", copy, table, "--pad-with-terminator"}).code, 0);
        const Bytes padded = readFile(copy);
        EXPECT_EQ(Bytes(padded.begin() + base + 5, padded.begin() + base + 13), Bytes(8, 0x50)) << code;
    }
    const std::string path = rom("BYTE");
    expectUnchanged({"export", path, "-o", path}, 1, path, "the ROM itself");

    // Carried to another ROM whose names differ: the trades arrive byte for byte.
    const std::string other = dir.write("other.gbc", retailLikeRom("BYTE", 12));
    const std::string carried = dir.file("carried.json");
    ASSERT_EQ(run({"export", path, "-o", carried}).code, 0);
    Outcome moved = run({"import", other, carried});
    EXPECT_EQ(moved.code, 0) << moved.err;
    const Bytes from = readFile(path), to = readFile(other);
    for (int slot = 1; slot <= 7; ++slot) {
        const std::uint32_t at = slotOffset(kCrystalTable, slot);
        EXPECT_TRUE(std::equal(from.begin() + at, from.begin() + at + 32, to.begin() + at)) << slot;
    }
}

TEST_F(CliTest, SpeciesAndItemsAsThisRomNamesThem) {
    Bytes hack = retailLikeRom("BYTE", 5);
    renameSpecies(hack, "BYTE", 66, "BRAWLER");
    const std::string path = dir.write("hack.gbc", hack);
    const Outcome species = run({"species", path});
    EXPECT_EQ(species.code, 0);
    EXPECT_EQ(species.out.find("Number  Name\n0       ?????\n1       Bulbasaur\n"), 0u) << species.out.substr(0, 60);
    EXPECT_NE(species.out.find("\n66      BRAWLER\n67      Machoke\n"), std::string::npos) << species.out;
    EXPECT_EQ(json::parse(run({"species", path, "--json"}).out)[66], (json{{"number", 66}, {"name", "BRAWLER"}}));
    EXPECT_NE(run({"items", path}).out.find("\n126     LUCKY EGG\n"), std::string::npos);
    EXPECT_EQ(json::parse(run({"items", path, "--json"}).out)[0], (json{{"number", 0}, {"name", "None"}}));
    // The hack's trade 2 offers species 66: shown and typed under its new name, the usual one still taken.
    EXPECT_NE(run({"list", path}).out.find("66 BRAWLER"), std::string::npos);
    EXPECT_NE(run({"show", path, "2"}).out.find("Offered species:    66 BRAWLER\n"), std::string::npos);
    EXPECT_EQ(json::parse(run({"export", path}).out)["trades"][1]["offeredName"], "BRAWLER");
    EXPECT_EQ(run({"set", path, "1", "--offered", "brawler"}).code, 0);
    EXPECT_EQ(readFile(path)[kCrystalSlot1 + 2], 66);
    EXPECT_EQ(run({"set", path, "1", "--offered", "machop"}).code, 0);
    EXPECT_EQ(readFile(path)[kCrystalSlot1 + 2], 66);
    EXPECT_NE(run({"info", path}).out.find("Species names: from the ROM\n"), std::string::npos);
    // Names not where the game keeps them: the built-in ones, and why.
    hack[0x53384 + 11 * 10] = 0x50;  // species 12's name empty
    const std::string bare = dir.write("bare.gbc", hack);
    EXPECT_NE(run({"info", bare}).out.find("Species names: built in (entry 12 (at 0x533F2) is empty)\n"), std::string::npos);
    EXPECT_NE(run({"show", bare, "2"}).out.find("66 Machop"), std::string::npos);
}

TEST_F(CliTest, ImportValidatesEverySlotBeforeWriting) {
    const std::string path = rom("BYTE");
    json table = json::parse(run({"export", path}).out);
    table["trades"][0]["nickname"] = "A%B";
    table["trades"][0]["id"] = 70000;
    table["trades"][1]["requested"] = "Pikachoo";
    table["trades"][2]["nicknameBytes"] = "zz";
    table["trades"][3]["offered"] = 25;  // valid, yet not written: others are refused
    table["trades"][4]["dvs"]["attack"] = 16;
    table["trades"][4]["heldItem"] = "Lucky Eg";
    table["trades"][5]["dialogSet"] = "boss";
    table["trades"][5]["genderRequirement"] = 5;
    table["trades"][6]["dvs"] = "15/10/10/10";
    const std::string bad = dir.file("bad.json");
    std::ofstream(bad) << table.dump();
    const Bytes before = readFile(path);
    Outcome refused = run({"import", path, bad});
    EXPECT_EQ(refused.code, 1);
    for (const char* problem : {"Trade Number 1: The nickname cannot hold", "Trade Number 1: Please enter an ID",
                                "Trade Number 2: \"Pikachoo\" is not a species", "Trade Number 3: \"nicknameBytes\"",
                                "Trade Number 5: The Attack DV 16 is out of range",
                                "Trade Number 5: \"Lucky Eg\" is not an item", "Trade Number 6: \"boss\" is no dialog set",
                                "Trade Number 6: 5 is no gender requirement", "Trade Number 7: \"dvs\" must be an object",
                                "Nothing was written."}) {
        EXPECT_NE(refused.err.find(problem), std::string::npos) << refused.err;
    }
    EXPECT_EQ(readFile(path), before);

    json other = json::parse(run({"export", path}).out);
    other["game"]["code"] = "AAUE";
    std::ofstream(bad) << other.dump();
    expectUnchanged({"import", path, bad}, 1, path, "exported from \"AAUE\"");
    // The release check is never skipped: a "game" named otherwise than export names it is refused.
    for (const char* game : {R"("AAUE")", "{}", R"({"code": 7})", "[]"}) {
        std::ofstream(bad) << R"({"game": )" << game << R"(, "trades": [{"slot": 1, "id": 1}]})";
        expectUnchanged({"import", path, bad}, 1, path, "\"game\" must be an object with the \"code\" of the ROM");
    }
    {
        // Found by attack: a value nested sixty thousand deep ended the program; now refused unbuilt.
        std::ofstream out(fsPath(bad));
        out << R"({"game": {"code": )" << std::string(60'000, '[') << std::string(60'000, ']') << "}, \"trades\": []}";
    }
    expectUnchanged({"import", path, bad}, 1, path, "nests its values more than 16 levels deep");
    std::ofstream(bad) << "{ not json";
    expectUnchanged({"import", path, bad}, 1, path, "not valid JSON");
    std::ofstream(bad) << R"({"trades": [{"slot": 9}]})";
    expectUnchanged({"import", path, bad}, 1, path, "\"slot\" from 1 to 7");
    // Found by fuzzing: a "hasTrade" that is no boolean ended the program.
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "hasTrade": "yes"}]})";
    expectUnchanged({"import", path, bad}, 1, path, "\"hasTrade\" must be true or false.");
    // JSON numbers are the numbers they are: a fraction or an exponent is no whole number.
    for (const char* number : {"4660.6", "1e3", "63.0"}) {
        std::ofstream(bad) << R"({"trades": [{"slot": 1, "id": )" << number << "}]}";
        expectUnchanged({"import", path, bad}, 1, path, std::string("\"id\" must be a whole number or a text"));
    }
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "requested": 63}, {"slot": 2, "requested": "63"},
                                         {"slot": 3, "requested": "Abra", "id": 1000}, {"slot": 4, "offered": 300}]})";
    expectUnchanged({"import", path, bad}, 1, path, "Trade Number 4: The offered species (Offered Pok\u00e9mon) 300 is not in the list");
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "requested": 63}, {"slot": 2, "requested": "63"},
                                         {"slot": 3, "requested": "Abra", "id": 1000}]})";
    ASSERT_EQ(run({"import", path, bad}).code, 0);
    for (int slot : {1, 2, 3}) EXPECT_EQ(readFile(path)[slotOffset(kCrystalTable, slot) + 1], 63) << slot;
    EXPECT_EQ(readFile(path)[slotOffset(kCrystalTable, 3) + 17], 1000 & 0xFF);
    dir.write("rom.gbc", before);
    // A key given twice is refused, not taken last-wins.
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "id": 1}], "trades": []})";
    expectUnchanged({"import", path, bad}, 1, path, "gives the key \"trades\" twice in one object");
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "id": 1, "id": 2}]})";
    expectUnchanged({"import", path, bad}, 1, path, "gives the key \"id\" twice");
    {
        // Sixty thousand keys in one object: told at once (each key looked up, not compared with every other).
        std::ofstream out(fsPath(bad));
        out << R"({"trades": [{"slot": 1)";
        for (int i = 0; i < 60'000; ++i) out << ", \"k" << i << "\": 0";
        out << R"(, "k7": 1}]})";
    }
    const auto started = std::chrono::steady_clock::now();
    expectUnchanged({"import", path, bad}, 1, path, "gives the key \"k7\" twice");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    // Thousands of bad entries: the first twenty told, and how many more.
    {
        json many = {{"trades", json::array()}};
        for (int i = 0; i < 80'000; ++i) many["trades"].push_back({{"slot", 99}});
        std::ofstream(bad) << many.dump();
    }
    Outcome manyBad = run({"import", path, bad});
    EXPECT_EQ(manyBad.code, 1);
    EXPECT_LT(manyBad.err.size(), 3000u);
    EXPECT_NE(manyBad.err.find("\u2026and 79,980 more problems like these."), std::string::npos) << manyBad.err.substr(0, 400);
    // A table file larger than any table is refused unread, from a file or standard input.
    growPastAnyRead(bad);
    expectUnchanged({"import", path, bad}, 1, path, "bytes, more than the 1,048,576 Kestrane reads");
    std::filesystem::resize_file(fsPath(bad), 0);

    // A valid table: texts, names of species and exact name bytes.
    std::ofstream(bad) << R"({"trades": [{"slot": 1, "offered": "celebi", "id": "1", "unknownKey": true,
                                          "originalTrainerBytes": "80 81 E1 50 12 34 56 78 9A BC",
                                          "heldItem": "gold berry", "dvs": {"speed": 15}, "dialogSet": 3,
                                          "genderRequirement": "Male", "shiny": true, "hpDv": 1}]})";
    Outcome dry = run({"import", path, bad, "--dry-run"});
    EXPECT_EQ(dry.code, 0) << dry.err;
    EXPECT_EQ(readFile(path), before);
    Outcome applied = run({"import", path, bad});
    EXPECT_EQ(applied.code, 0) << applied.err;
    Bytes expected = before;
    expected[kCrystalSlot1] = 3;
    expected[kCrystalSlot1 + 2] = 251;
    expected[kCrystalSlot1 + 15] = 0xF6;
    expected[kCrystalSlot1 + 16] = 0xAE;
    expected[kCrystalSlot1 + 30] = 1;
    expected[kCrystalSlot1 + 17] = 1;
    expected[kCrystalSlot1 + 18] = 0;
    const Bytes trainer = {0x80, 0x81, 0xE1, 0x50, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    std::copy(trainer.begin(), trainer.end(), expected.begin() + kCrystalSlot1 + 19);
    EXPECT_EQ(differences(readFile(path), expected), std::vector<std::size_t>{});
}

// Sharing an edit: what differs between two ROMs, a patch of it, and
// tables carried between sister releases.
TEST_F(CliTest, SharingAnEdit) {
    const std::string clean = rom("BYTE", "clean.gbc");
    const Bytes cleanBytes = readFile(clean);
    const std::string hack = dir.write("hack.gbc", cleanBytes);
    ASSERT_EQ(run({"set", hack, "1", "--nickname", "PEBBLE", "--item", "none"}).code, 0);
    Bytes edited = readFile(hack);
    edited[0x100000] ^= 1;  // and a byte of the hack elsewhere, and of a checksum: named as what it is
    edited[0x14F] ^= 1;
    dir.write("hack.gbc", edited);
    Outcome diff = run({"diff", clean, hack});
    EXPECT_EQ(diff.code, 1);
    EXPECT_EQ(diff.out, "Trade Number 1  Nickname  ROCKY \u2192 PEBBLE\nTrade Number 1  Held item  BITTER BERRY (83) \u2192 None (0)\n"
                        "2 other bytes differ outside the trade tables: 0x14F (the global checksum) and 0x100000.\n"
                        "Checksums: clean: header stale, global stale, Stadium data absent; edited: header stale, global "
                        "stale, Stadium data absent.\n") << diff.err;
    const json diffJson = json::parse(run({"diff", clean, hack, "--json"}).out);
    EXPECT_EQ(diffJson["trades"][0], (json{{"slot", 1}, {"field", "Nickname"}, {"before", "ROCKY"}, {"after", "PEBBLE"}}));
    EXPECT_EQ(diffJson["otherBytes"], 2);
    EXPECT_EQ(diffJson["otherRanges"],
              json::parse(R"([{"offset": 335, "length": 1, "what": "the global checksum"}, {"offset": 1048576, "length": 1}])"));
    // Across families a species is the same by its Pokédex number, whatever index each game stores.
    Bytes likeRed = cleanBytes;
    likeRed[kCrystalSlot1 + 1] = 33, likeRed[kCrystalSlot1 + 2] = 30;  // Nidorino for Nidorina, as Red's trade 1
    const Outcome families = run({"diff", dir.write("red.gb", firstGenerationRom("POKEMON RED")), dir.write("like-red.gbc", likeRed)});
    EXPECT_EQ(families.out.find("Trade Number 1  Requested"), std::string::npos) << families.out;
    EXPECT_EQ(families.out.find("Trade Number 1  Offered"), std::string::npos) << families.out;
    EXPECT_NE(families.out.find("Trade Number 2  Offered species  122 Mr. Mime \u2192 66 Machop\n"), std::string::npos) << families.out;
    EXPECT_NE(families.out.find("Checksums: clean: header consistent, global consistent; edited:"), std::string::npos) << families.out;
    // As cmp: 0 the same, 1 different, 2 refused, 3 a file that cannot be read; --quiet prints nothing.
    Bytes scattered = cleanBytes;
    for (std::uint32_t at = 0x100000; at < 0x100000 + 25 * 4; at += 4) scattered[at] ^= 1;
    scattered[0x100200] ^= 1, scattered[0x100201] ^= 1;
    const std::string many = dir.write("many.gbc", scattered);
    Bytes checks = cleanBytes;
    checks[0x14D] ^= 1, checks[0x1FFE10] ^= 1, checks[0x1FFE11] ^= 1;
    const std::string checked = dir.write("checks.gbc", checks);
    const std::string gold = dir.write("gold.gbc", retailLikeRom("AAUE"));
    struct Exit {
        std::vector<std::string> args;
        int code;
        const char* says;  // a part of the output, or of standard error
    };
    for (const Exit& e : std::vector<Exit>{
             {{"diff", clean, clean}, 0, "The trades are the same.\n0 other bytes differ outside the trade tables.\n"},
             {{"diff", clean, clean, "--quiet"}, 0, ""},
             {{"diff", clean, hack, "-q"}, 1, ""},
             {{"diff", clean, many}, 1, "27 other bytes differ outside the trade tables: 0x100000, 0x100004,"},
             {{"diff", clean, many}, 1, "0x100048, 0x10004C and 6 more."},
             {{"diff", clean, checked}, 1, ": 0x14D (the header checksum) and 0x1FFE10\u20130x1FFE11 (the Stadium data).\n"},
             {{"diff", clean, gold}, 1, "The two ROMs are different games: Pok\u00e9mon Crystal (BYTE) and Pok\u00e9mon Gold (AAUE)"},
             {{"diff", clean, dir.write("other.gb", randomImage("aaue"))}, 2, "Unsupported ROM."},
             {{"diff", clean, dir.file("missing.gbc")}, 3, "does not exist"},
         }) {
        Outcome out = run(e.args);
        EXPECT_EQ(out.code, e.code) << e.args.back() << out.err;
        if (*e.says) EXPECT_NE((out.out + out.err).find(e.says), std::string::npos) << out.out << out.err;
        else EXPECT_EQ(out.out, "");
    }
    EXPECT_EQ(json::parse(run({"diff", clean, many, "--json"}).out)["moreRanges"], 6);
    Outcome patch = run({"patch", clean, hack, "-o", dir.file("hack.bps")});
    ASSERT_EQ(patch.code, 0) << patch.err;
    EXPECT_EQ(patch.out, "Wrote a BPS patch of " + std::to_string(readFile(dir.file("hack.bps")).size()) + " bytes to \"" +
                             dir.file("hack.bps") + "\": " + std::to_string(differences(cleanBytes, edited).size()) + " bytes differ.\n");
    EXPECT_EQ(applyBps(cleanBytes, readFile(dir.file("hack.bps"))).target, edited);
    EXPECT_EQ(run({"patch", clean, hack, "-o", dir.file("hack.ips")}).code, 0);
    EXPECT_EQ(applyIps(cleanBytes, readFile(dir.file("hack.ips"))).target, edited);
    // Applied again by Kestrane: the edited ROM, byte for byte; a BPS made for another ROM is refused naming both CRC32s.
    for (const char* format : {"bps", "ips"}) {
        const std::string out = dir.file(std::string("applied.") + format + ".gbc");
        Outcome applied = run({"apply", dir.file(std::string("hack.") + format), clean, "-o", out});
        EXPECT_EQ(applied.code, 0) << applied.err;
        EXPECT_EQ(readFile(out), edited);
        EXPECT_NE(applied.out.find(std::string("Applied the ") + (format[0] == 'b' ? "BPS" : "IPS") + " patch"), std::string::npos);
        EXPECT_EQ(applied.out.find("could not check") != std::string::npos, format[0] == 'i');  // an IPS names no base
    }
    expectUnchanged({"apply", dir.file("hack.bps"), hack, "-o", dir.file("twice.gbc")}, 1, hack,
                    "This patch was made for a ROM whose CRC32 is 0x");
    expectUnchanged({"apply", dir.file("hack.bps"), clean, "-o", clean}, 1, clean, "is the ROM itself");
    expectUnchanged({"patch", clean, clean, "-o", dir.file("same.bps")}, 1, clean, "nothing differs; no patch written.");
    expectUnchanged({"patch", clean, hack, "-o", dir.file("hack.zip")}, 1, clean, "names no patch format");
    expectUnchanged({"patch", clean, hack, "-o", hack}, 1, hack, "names no patch format");

    // Gold's table into Silver and back, Crystal's into the Australian Crystal; not Gold's into Crystal.
    struct Pair {
        const char* from;
        const char* to;
        bool taken;
    };
    for (const Pair& p : {Pair{"AAUE", "AAXE", true}, Pair{"AAXE", "AAUE", true}, Pair{"BYTE", "BYTU", true},
                          Pair{"BYTU", "BYTE", true}, Pair{"AAUE", "BYTE", false}, Pair{"BYTE", "BYTF", false}}) {
        SCOPED_TRACE(std::string(p.from) + " -> " + p.to);
        Bytes source = retailLikeRom(p.from, 7);
        putRecord(source, slotOffset(usualTable(p.from), 1), TradeBytes{});
        const std::string table = dir.file("sister.json");
        ASSERT_EQ(run({"export", dir.write("from.gbc", source), "-o", table}).code, 0);
        const std::string target = dir.write("to.gbc", retailLikeRom(p.to, 7));
        Outcome imported = run({"import", target, table});
        EXPECT_EQ(imported.code, p.taken ? 0 : 1) << imported.err;
        if (p.taken) {
            EXPECT_NE(imported.out.find(std::string("The table is from Pok\u00e9mon ") + (p.from[2] == 'U' ? "Gold" : p.from[2] == 'X' ? "Silver" : "Crystal")),
                      std::string::npos) << imported.out;
            EXPECT_EQ(readFile(target)[slotOffset(usualTable(p.to), 1) + 2], 95);  // Onix, from the made-up trade
        } else {
            EXPECT_NE(imported.err.find("The table was exported from"), std::string::npos);
        }
    }
    // Red, Blue and Yellow are sisters too; a field their records lack is refused by name.
    const std::string red = dir.write("red.gb", firstGenerationRom("POKEMON RED"));
    const std::string yellow = dir.write("yellow.gbc", firstGenerationRom("POKEMON YELLOW"));
    const std::string redTable = dir.file("red.json");
    ASSERT_EQ(run({"export", red, "-o", redTable}).code, 0);
    Outcome imported = run({"import", yellow, redTable});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_NE(imported.out.find("The table is from Pok\u00e9mon Red (POKEMON RED), a sister release"), std::string::npos);
    EXPECT_EQ(readFile(yellow)[kYellowTable + 1], internalIndexOf(30));  // Nidorina, Red's trade 1
    std::ofstream(fsPath(redTable)) << R"({"trades": [{"slot": 1, "id": 5, "dvs": "1/2/3/4"}]})";
    expectUnchanged({"import", red, redTable}, 1, red, "Pok\u00e9mon Red's trades have no trainer ID: the game sets it when the trade happens.");
}

// Japanese Red and Green as their sources write them: 8-byte records, kana
// names of 5 bytes (a full one without its end), the trainer トレーナー,
// the texts inline; Red and Green sisters.
TEST_F(CliTest, JapaneseRedAndGreen) {
    const std::string red = dir.write("red.gb", japaneseFirstGenerationRom("POKEMON RED"));
    const std::string green = dir.write("green.gb", japaneseFirstGenerationRom("POKEMON GREEN", 1));
    EXPECT_EQ(run({"info", red}).out,
              "Game:        Pok\u00e9mon Red\nCode:        POKEMON RED\nLanguage:    Japanese\nTrade table: 0x72043, 10 records (usual place)\n"
              "Species names: from the ROM\nTrader lines:  from the ROM\nPlaces:        from the ROM\nTrainer name:  from the ROM\n"
              "Header checksum (0x14D):  consistent\nGlobal checksum (0x14E):  consistent\n");
    const std::string shown = run({"show", red, "10"}).out;
    for (const char* line : {"Trade Number 10 \u2014 Underground Path (Route 5) (record at 0x7208B)\n",
                             "Requested species:  29 \u30a4\u30b1\n", "Offered species:    32 \u30a6\u30a4\n",
                             "Nickname:           \u30c1\u30e3\u30c3\u30d4\u30fc\n", "Dialog set:         happy (2)\n",
                             "At the trade:       OT \u30c8\u30ec\u30fc\u30ca\u30fc, ID and DVs chosen at random when the trade happens\n"}) {
        EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
    }
    const json trade = json::parse(run({"show", red, "1", "--json"}).out)["trade"];
    EXPECT_EQ(trade["nickname"], "\u30c6\u30ea\u30fc");
    // Written as the source writes a name: padded with 0x50, a full one without its end.
    struct Case {
        std::string nickname;
        Bytes bytes;
    };
    for (const Case& c : std::vector<Case>{{"\u30a2\u30a4", {0x80, 0x81, 0x50, 0x50, 0x50}},
                                           {"\u30a2\u30a4\u30a6\u30a8\u30aa", {0x80, 0x81, 0x82, 0x83, 0x84}}}) {
        ASSERT_EQ(run({"set", red, "1", "--nickname", c.nickname}).code, 0);
        const Bytes now = readFile(red);
        EXPECT_EQ(Bytes(now.begin() + kJapaneseTable + 3, now.begin() + kJapaneseTable + 8), c.bytes);
    }
    expectUnchanged({"set", red, "1", "--nickname", "\u30a2\u30a4\u30a6\u30a8\u30aa\u30ab"}, 1, red, "The nickname needs 6 bytes, but its field holds 5.");
    expectUnchanged({"set", red, "1", "--dialog", "evolution"}, 1, red, "casual, polite or happy");
    // Sisters: Red's table fits Green; English Red's does not fit Japanese Red.
    const std::string table = dir.file("red.json");
    ASSERT_EQ(run({"export", red, "-o", table}).code, 0);
    const Outcome imported = run({"import", green, table});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(readFile(green)[kJapaneseTable + 3], 0x80);
    const std::string english = dir.file("english.json");
    ASSERT_EQ(run({"export", dir.write("english.gb", firstGenerationRom("POKEMON RED")), "-o", english}).code, 0);
    expectUnchanged({"import", red, english}, 1, red, "The table was exported from Pok\u00e9mon Red in \"English\"; this ROM is its Japanese release");
}

TEST_F(CliTest, PolishedCrystal) {
    const std::string master = dir.write("polishedcrystal.gbc", polishedCrystalRom());
    const std::string info = run({"info", master}).out;
    for (const char* line : {"Game:        Pok\u00e9mon Polished Crystal\nCode:        PKPC\n", "Trade table: 0xFD67B, 9 records (usual place)\n",
                             "Species names: from the ROM\n", "Places:        from the ROM\n"}) {
        EXPECT_NE(info.find(line), std::string::npos) << line << info;
    }
    const std::string shown = run({"show", master, "9"}).out;
    for (const char* line : {"Trade Number 9 \u2014 Not used in the game (record at 0xFD77B)\n", "Offered species:    110 Weezing\n",
                             "Original trainer:   Jeeves\n", "Form:               3\n", "Gender:             male (0)\n",
                             "Requested form:     any (0)\n", "DVs:                14/14/14/14/14/14\n",
                             // Items and balls by the ROM's item names, found through its GetName; ball 0 the Park Ball.
                             "Held item:          Item 37 (37)\n", "Ball:               Friend Ball (9)\n",
                             "Nature:             Bold\n", "Ability:            hidden\n", "Shiny:              no\n",
                             "the creature gets the ID 35106"}) {
        EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
    }
    EXPECT_EQ(shown.find("chosen at random"), std::string::npos) << shown;
    EXPECT_NE(run({"show", master, "5"}).out.find("Ball:               Park Ball (0)\n"), std::string::npos);
    // The places by the object events that start the trades: a hack's object starting the ninth too.
    Bytes hack = polishedCrystalRom();
    putTradeObject(hack, kPolishedObjects + 0x100, 8);
    const std::string hacked = dir.write("hack.gbc", hack);
    EXPECT_NE(run({"show", hacked, "9"}).out.find("Trade Number 9 \u2014 Used in the game"), std::string::npos);
    EXPECT_NE(run({"show", hacked, "1"}).out.find("Trade Number 1 \u2014 Used in the game"), std::string::npos);
    const json trade = json::parse(run({"show", master, "1", "--json"}).out)["trade"];
    EXPECT_EQ(trade["location"], "Goldenrod City, Johto");
    EXPECT_EQ(trade["offeredGender"], "female");
    EXPECT_EQ(trade["requestedForm"], "any");
    EXPECT_EQ(trade["form"], 0);
    EXPECT_EQ(trade["ball"], 2);
    EXPECT_EQ(trade["nature"], "Adamant");
    EXPECT_EQ(trade["ability"], "hidden");
    EXPECT_EQ(trade["statDvs"]["speed"], 14);
    // The ID the game gives: the stored word's high byte, then the trainer's 'M' (0x8C).
    EXPECT_NE(trade["warnings"][0]["text"].get<std::string>().find("gets the ID 35986"), std::string::npos) << trade["warnings"];
    // An edit writes what the source's rebuild of the same trade holds.
    PolishedTrade mike = polishedTrades()[0];
    mike.nickname = "Strong", mike.trainer = "Michael", mike.female = false, mike.offeredForm = 2, mike.requestedForm = 1;
    mike.dvs[0] = 0xFE, mike.dvs[1] = 0xDA, mike.dvs[2] = 0xCB, mike.personality = 0x80 | 0x60 | 13, mike.ball = 0;
    ASSERT_EQ(run({"set", master, "1", "--nickname", "Strong", "--ot", "Michael", "--offered-gender", "male", "--form", "2",
                   "--requested-form", "1", "--stat-dvs", "15/14/13/12/11/10", "--nature", "Jolly", "--shiny", "--ball", "0"})
                  .code,
              0);
    Bytes now = readFile(master);
    EXPECT_EQ(Bytes(now.begin() + kPolishedTable, now.begin() + kPolishedTable + 32), polishedRecord(mike));
    for (auto [args, message] : {std::pair{std::vector<std::string>{"--nickname", "Abcdefghijk"}, "needs 11 bytes, but its field holds 10"},
                                 {{"--ot", "Abcdefgh"}, "needs 8 bytes, but its field holds 7"},
                                 {{"--form", "32"}, "The form 32 is out of range: give 0 to 31."},
                                 {{"--nature", "Grumpy"}, "\"Grumpy\" is no nature"},
                                 {{"--requested", "292"}, "give a number from 0 to 291"}}) {
        std::vector<std::string> command = {"set", master, "2"};
        command.insert(command.end(), args.begin(), args.end());
        expectUnchanged(command, 1, master, message);
    }
    // A personality whose nature bits name no nature is saved, and said.
    const Outcome odd = run({"set", master, "3", "--personality", "0x7F"});
    EXPECT_EQ(odd.code, 0) << odd.err;
    EXPECT_NE(odd.err.find("The personality's nature bits hold 31, which is no nature (0 to 24)"), std::string::npos) << odd.err;
    // 3.x: the trainer's name ends with its own '@'; a table of master's records is refused there.
    const std::string release3 = dir.write("polishedcrystal-3.gbc", polishedCrystalRom(true));
    ASSERT_EQ(run({"set", release3, "2", "--ot", "Kylemon"}).code, 0);
    PolishedTrade kyle = polishedTrades()[1];
    kyle.trainer = "Kylemon";
    now = readFile(release3);
    EXPECT_EQ(Bytes(now.begin() + kPolishedTable + 33, now.begin() + kPolishedTable + 66), polishedRecord(kyle, true));
    const std::string table = dir.file("master.json");
    ASSERT_EQ(run({"export", master, "-o", table}).code, 0);
    expectUnchanged({"import", release3, table}, 1, release3, "laid out as \"vanilla\"; this ROM's are \"3.x\"");
}

TEST_F(CliTest, AFailingDiskIsExitThree) {
    const std::string path = rom("AAUE");
    FaultInjectingFileSystem fs;
    fs.failNext(FileOp::Write, fileFailure(ErrorCode::DiskFull, "the disk is full"));
    Outcome r = run({"set", path, "1", "--id", "9"}, fs);
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find("the disk is full"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace kestrane

namespace kestrane {
namespace {

// The bad-input table of docs/reliability.md, through the command line.
TEST_F(CliTest, BadInputTable) {
    for (const BadOpen& row : badOpens(dir)) {
        SCOPED_TRACE(row.name);
        const bool exists = std::filesystem::is_regular_file(fsPath(row.path));
        const Bytes before = exists ? readFile(row.path) : Bytes{};
        Outcome r = run({"info", row.path});
        if (!row.code) {
            EXPECT_EQ(r.code, 0) << r.err;
            EXPECT_EQ(run({"set", row.path, "1", "--id", "9"}).code, 0);
            continue;
        }
        EXPECT_EQ(r.code, row.kind == ErrorKind::FileFailure ? 3 : 1) << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        if (exists) {
            EXPECT_EQ(readFile(row.path), before);
        }
    }

    const std::string gold = rom("AAUE", "gold.gb");
    Bytes cut = readFile(gold);
    cut.resize(kGoldSlot1 + 27);  // inside the table: none is found
    const std::string shortRom = dir.write("cut.gb", cut);
    EXPECT_EQ(run({"show", shortRom, "1"}).code, 1);
    EXPECT_EQ(run({"list", shortRom}).code, 1);
    EXPECT_EQ(readFile(shortRom), cut);

    const Bytes goldBytes = readFile(gold);
    ReadOnlyFileSystem readOnly;
    Outcome denied = run({"set", gold, "1", "--id", "9"}, readOnly);
    EXPECT_EQ(denied.code, 3);
    EXPECT_NE(denied.err.find("permission denied. Nothing was written."), std::string::npos) << denied.err;
    MeanwhileFileSystem replaced([&] { dir.write("gold.gb", retailLikeRom("AAXE")); });
    Outcome other = run({"set", gold, "1", "--id", "9"}, replaced);
    EXPECT_EQ(other.code, 1);
    EXPECT_NE(other.err.find("no longer holds the game"), std::string::npos) << other.err;
    EXPECT_EQ(readFile(gold), retailLikeRom("AAXE"));
    MeanwhileFileSystem deleted([&] { std::filesystem::remove(fsPath(gold)); });
    Outcome gone = run({"set", gold, "1", "--id", "9"}, deleted);
    EXPECT_EQ(gone.code, 3);
    EXPECT_NE(gone.err.find("does not exist. Nothing was written."), std::string::npos) << gone.err;
    EXPECT_FALSE(std::filesystem::exists(fsPath(gold)));
    dir.write("gold.gb", goldBytes);
    DiskFullFileSystem full;
    Outcome noSpace = run({"set", gold, "1", "--id", "9"}, full);
    EXPECT_EQ(noSpace.code, 3);
    if (noSpace.err.find("no /dev/full") == std::string::npos) {  // where the platform has one
        EXPECT_NE(noSpace.err.find("the disk is full"), std::string::npos) << noSpace.err;
    }
    EXPECT_EQ(readFile(gold), goldBytes);

    struct Value {
        std::vector<std::string> option;
        int code;
    };
    for (const Value& v : std::vector<Value>{{{"--nickname", "A%B"}, 1},     {{"--nickname", "R@D"}, 1},
                                             {{"--nickname", "{"}, 1},       {{"--ot", "Jos\u00e8"}, 1},
                                             {{"--nickname", "HO-OH"}, 0},  {{"--ot", "\u2642 & \u2640"}, 0},
                                             {{"--ot", "\u3042"}, 1},       {{"--ot", "\U0001F600"}, 1},
                                             {{"--ot", "a\tb"}, 1},         {{"--id", ""}, 1},
                                             {{"--id", "-1"}, 1},           {{"--id", "65536"}, 1},
                                             {{"--id", "1e5"}, 1},          {{"--id", "0x10"}, 0},
                                             {{"--id", "12abc"}, 1},        {{"--requested", "-1"}, 1},
                                             {{"--requested", "252"}, 1},   {{"--offered", "300"}, 1},
                                             {{"--id", " 12 "}, 0},         {{"--id", "1.5"}, 0},
                                             // Every number may be written as --item takes it, 0x and hex digits.
                                             {{"--dvs", "0xF/0xA/10/0x0A"}, 0}, {{"--requested", "0x3F"}, 0},
                                             {{"--dialog", "0x1"}, 0},      {{"--gender-requirement", "0x2"}, 0}}) {
        SCOPED_TRACE(v.option[0] + " " + v.option[1]);
        dir.write("gold.gb", goldBytes);
        std::vector<std::string> args = {"set", gold, "1"};
        args.insert(args.end(), v.option.begin(), v.option.end());
        Outcome r = run(args);
        EXPECT_EQ(r.code, v.code) << r.err;
        if (v.code != 0) {
            EXPECT_EQ(readFile(gold), goldBytes);
        }
    }
}

TEST_F(CliTest, EveryFailingCallOfASaveIsExitThree) {
    const std::string crystal = rom("BYTE");
    const Bytes before = readFile(crystal);
    // An import of seven trades is one save: every call of it fails in turn.
    json table = json::parse(run({"export", crystal}).out);
    for (auto& trade : table["trades"]) trade["id"] = 7;
    const std::string tableFile = dir.file("table.json");
    std::ofstream(fsPath(tableFile)) << table.dump();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set", crystal, "1", "--nickname", "NEW"},
          std::vector<std::string>{"import", crystal, tableFile}}) {
        SCOPED_TRACE(args[0]);
        dir.write("rom.gbc", before);
        FaultInjectingFileSystem counting;
        Outcome first = run(args, counting);
        ASSERT_EQ(first.code, 0) << first.err;
        const int calls = int(counting.calls().size());
        for (int n = 1; n <= calls; ++n) {
            dir.write("rom.gbc", before);
            FaultInjectingFileSystem fs;
            fs.failCall(n, fileFailure(ErrorCode::DeviceIo, "injected"));
            Outcome r = run(args, fs);
            EXPECT_EQ(r.code, 3) << "call " << n << ": " << r.err;
            EXPECT_EQ(r.out.find("Trade Data Saved."), std::string::npos) << "call " << n;
            if (readFile(crystal) != before) {
                EXPECT_NE(r.err.find("may hold part of the new data"), std::string::npos) << "call " << n << ": " << r.err;
            }
        }
    }
    // The table file's own failures are named too.
    FaultInjectingFileSystem unreadable;
    // The table file's is the second size asked for, after the ROM's.
    unreadable.failNext(FileOp::Size, fileFailure(ErrorCode::DeviceIo, "the device reported an input/output error"), 2);
    Outcome r = run({"import", crystal, tableFile}, unreadable);
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("Could not read the table"), std::string::npos) << r.err;
    FaultInjectingFileSystem full;
    full.failNext(FileOp::Write, fileFailure(ErrorCode::DiskFull, "the disk is full"));
    r = run({"export", crystal, "-o", dir.file("out.json")}, full);
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("Could not write the table to"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the disk is full"), std::string::npos) << r.err;
}

// ROM hacks: a moved table is found and only its true records are written;
// a ROM whose table cannot be found is refused and left byte for byte.
TEST_F(CliTest, HacksWithMovedOrMissingTables) {
    Bytes moved = randomImage("BYTE", 8);
    putTable(moved, kCrystalTable + 48, retailTrades("BYTE"));
    putRoutine(moved, kCrystalRoutine + 48, kCrystalTable + 48);
    const std::string hack = dir.write("hack.gbc", moved);
    Outcome info = run({"info", hack});
    EXPECT_NE(info.out.find("Trade table: 0xFCE88, 7 records (table routine; moved from 0xFCE58)"), std::string::npos)
        << info.out;
    Outcome list = run({"list", hack});
    EXPECT_NE(list.out.find("3     Olivine City, Johto     98 Krabby      100 Voltorb     VOLTY     TIM"),
              std::string::npos) << list.out;
    EXPECT_EQ(json::parse(run({"export", hack}).out)["table"],
              (json{{"offset", kCrystalTable + 48}, {"records", 7}, {"foundBy", "table routine"}}));
    ASSERT_EQ(run({"set", hack, "3", "--nickname", "ZAP"}).code, 0);
    Bytes expected = moved;
    const Bytes zap = {0x99, 0x80, 0x8F, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(zap.begin(), zap.end(), expected.begin() + kCrystalTable + 48 + 64 + 3);
    EXPECT_EQ(differences(readFile(hack), expected), std::vector<std::size_t>{});

    Bytes nine = retailLikeRom("AAUE");
    auto trades = retailTrades("AAUE");
    trades.resize(9);
    putTable(nine, kGoldSilverTable, trades);
    const std::string added = dir.write("nine.gb", nine);
    EXPECT_NE(run({"list", added}).out.find("9     Added in this ROM"), std::string::npos);
    EXPECT_EQ(run({"set", added, "9", "--id", "1"}).code, 0);
    EXPECT_EQ(run({"set", added, "10", "--id", "1"}).code, 1);

    // The game's routine decides: one bad byte where it points is refused, a copy it points to is the table.
    Bytes bad = retailLikeRom("BYTE");
    bad[kCrystalTable] = 9;
    const std::string badPath = dir.write("bad.gbc", bad);
    expectUnchanged({"set", badPath, "1", "--nickname", "TEST"}, 1, badPath, "its dialog set byte is 9");
    Bytes copied = retailLikeRom("BYTE");
    putTable(copied, 0xFF000, retailTrades("BYTE"));
    putRoutine(copied, kCrystalRoutine, 0xFF000);
    const std::string copiedPath = dir.write("copied.gbc", copied);
    ASSERT_EQ(run({"set", copiedPath, "1", "--nickname", "EDITED"}).code, 0);
    for (std::size_t at : differences(copied, readFile(copiedPath))) EXPECT_TRUE(at >= 0xFF020 && at < 0xFF040) << at;
    // A table found by its records alone keeps them recognisable.
    Bytes scanned = randomImage("BYTE", 5);
    putTable(scanned, 0x123456, retailTrades("BYTE"));
    const std::string scannedPath = dir.write("scanned.gbc", scanned);
    expectUnchanged({"set", scannedPath, "1", "--offered", "0"}, 1, scannedPath,
                    "The offered species 0 is no creature; a table found by its records alone must keep every record "
                    "recognisable. Nothing was written.");
    // Such a table says so wherever it is named, and after a save's news.
    const std::string foundAlone = "found by its records alone; the game's routine was not recognised";
    Outcome scannedInfo = run({"info", scannedPath});
    EXPECT_EQ(scannedInfo.code, 0);
    EXPECT_NE(scannedInfo.out.find("Trade table: 0x123456, 7 records (" + foundAlone + "; moved from 0xFCE58)"), std::string::npos) << scannedInfo.out;
    EXPECT_NE(run({"show", scannedPath, "2"}).out.find("(record at 0x123456, in a table " + foundAlone + ")"), std::string::npos);
    Outcome scannedSave = run({"set", scannedPath, "2", "--id", "7"});
    EXPECT_NE(scannedSave.out.find("Trade Data Saved. 2 bytes changed; the checksums were already stale and were left as they "
                                   "were (\"kestrane-cli checksums --fix\" makes them consistent). The trade table was " +
                                   foundAlone + ".\n"),
              std::string::npos) << scannedSave.out;

    const std::string none = dir.write("none.gbc", randomImage("BYTE", 8));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", none}, {"list", none}, {"show", none, "1"}, {"set", none, "1", "--id", "1"},
          {"export", none}, {"import", none, dir.file("missing.json")}}) {
        SCOPED_TRACE(args[0]);
        expectUnchanged(args, 1, none, "Pok\u00e9mon Crystal keeps its trade table at 0xFCE58, but the routine that reads "
                                       "it is not in the file (nor a jump at 0xFCDC2 to it), and a search of the whole "
                                       "file for the records themselves found no run of trade records.");
    }
}

}  // namespace
}  // namespace kestrane

namespace kestrane {
namespace {

// A save leaves a consistent ROM consistent, exactly as the games' build
// would make it; stale check data stays as it was; --fix mends it.
TEST_F(CliTest, ChecksumsAreKeptConsistent) {
    Bytes image = readFile(rom("BYTE"));
    buildChecksums(image);
    const std::string path = dir.write("rom.gbc", image);
    Outcome info = run({"info", path});
    EXPECT_NE(info.out.find("Header checksum (0x14D):  consistent\nGlobal checksum (0x14E):  consistent\n"
                            "Stadium data (0x1FFDF8):  consistent\n"),
              std::string::npos) << info.out;
    EXPECT_EQ(json::parse(run({"info", path, "--json"}).out)["checksums"],
              (json{{"header", "consistent"}, {"global", "consistent"}, {"stadium", "consistent"}}));

    Outcome dry = run({"set", path, "1", "--nickname", "ZAP", "--dry-run"});
    EXPECT_NE(dry.out.find("\n0x14F     "), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("\n0x1FFDFE  "), std::string::npos) << dry.out;
    Outcome saved = run({"set", path, "1", "--nickname", "ZAP"});
    EXPECT_EQ(saved.out, "Trade Data Saved. 10 bytes changed; checksums updated.\n") << saved.err;
    Bytes expected = readFile(path);
    buildChecksums(expected);
    EXPECT_EQ(differences(readFile(path), expected), std::vector<std::size_t>{});

    const Bytes consistent = readFile(path);
    Outcome left = run({"set", path, "1", "--nickname", "ZIP", "--leave-checksums"});
    EXPECT_EQ(left.out, "Trade Data Saved. 1 byte changed; checksums left as they were.\n");
    EXPECT_EQ(differences(readFile(path), consistent), std::vector<std::size_t>{kCrystalSlot1 + 4});
    Outcome stale = run({"set", path, "1", "--nickname", "ZOP"});
    EXPECT_EQ(stale.out, "Trade Data Saved. 1 byte changed; the checksums were already stale and were left as "
                         "they were (\"kestrane-cli checksums --fix\" makes them consistent).\n");

    EXPECT_NE(run({"checksums", path}).out.find("Global checksum (0x14E):  stale"), std::string::npos);
    Bytes before = readFile(path);
    before[0x14D] ^= 0xFF;  // and the header checksum, which only a fix changes
    dir.write("rom.gbc", before);
    Outcome preview = run({"checksums", path, "--fix", "--dry-run"});
    EXPECT_NE(preview.out.find("\n0x14F     "), std::string::npos) << preview.out;
    EXPECT_EQ(readFile(path), before);
    Outcome fixed = run({"checksums", path, "--fix"});
    EXPECT_EQ(fixed.out, "Made consistent: the header checksum, the global checksum and the Stadium data.\n");
    Bytes rebuilt = before;
    buildChecksums(rebuilt);
    EXPECT_EQ(readFile(path), rebuilt);
    EXPECT_EQ(json::parse(run({"checksums", path, "--json"}).out)["global"], "consistent");

    // A 1 MiB image has no Stadium data: only the global checksum is kept.
    Bytes small = readFile(rom("BYTE"));
    small.resize(0x100000);
    small[0x148] = 0x05;  // the header says so
    buildChecksums(small, false);
    const std::string one = dir.write("small.gbc", small);
    EXPECT_EQ(run({"set", one, "1", "--id", "7"}).out, "Trade Data Saved. 2 bytes changed; checksums updated.\n");
    Bytes smallExpected = readFile(one);
    buildChecksums(smallExpected, false);
    EXPECT_EQ(readFile(one), smallExpected);

    // A file larger than any ROM has no checksums to keep: they are neither
    // read nor written, and fixing them is refused.
    const std::string huge = dir.write("huge.gbc", readFile(rom("BYTE")));
    std::filesystem::resize_file(fsPath(huge), kLargestRomSize + 1);
    EXPECT_NE(run({"info", huge}).out.find("Checksums:   not computed: the file is larger than any Game Boy ROM"),
              std::string::npos);
    EXPECT_TRUE(json::parse(run({"checksums", huge, "--json"}).out).is_null());
    const Bytes hugeBefore = readFile(huge);
    Outcome refusedFix = run({"checksums", huge, "--fix"});
    EXPECT_EQ(refusedFix.code, 1);
    EXPECT_NE(refusedFix.err.find("more than any Game Boy ROM holds (8 MiB)"), std::string::npos) << refusedFix.err;
    EXPECT_EQ(readFile(huge), hugeBefore);
    EXPECT_EQ(run({"set", huge, "1", "--id", "7"}).out,
              "Trade Data Saved. 2 bytes changed; checksums left as they were: the file is larger than any Game Boy "
              "ROM (8 MiB).\n");
    EXPECT_EQ(differences(readFile(huge), hugeBefore),
              (std::vector<std::size_t>{kCrystalSlot1 + *kRecordOf32Bytes.trainerIdAt, kCrystalSlot1 + *kRecordOf32Bytes.trainerIdAt + 1}));
}

// Saves from several programs at once, as real processes: each waits for
// the one before, so every edit lands and the checksums end consistent; a
// save that cannot get its turn says so and writes nothing.
TEST_F(CliTest, SavesFromSeveralProgramsTakeTurns) {
    Bytes image = retailLikeRom("BYTE", 8);
    buildChecksums(image);
    const std::string path = dir.write("crystal.gbc", image);
    for (int round = 1; round <= 3; ++round) {
        std::vector<Command> saves;
        for (int slot = 1; slot <= 7; ++slot) {
            saves.push_back({{cliProgram(), "set", path, std::to_string(slot), "--id", std::to_string(round * 100 + slot)}, ""});
        }
        EXPECT_EQ(runTogether(saves), std::vector<int>(7, 0)) << "round " << round;
        Bytes after = readFile(path);
        for (int slot = 1; slot <= 7; ++slot) {
            const std::uint32_t at = slotOffset(kCrystalTable, slot) + *kRecordOf32Bytes.trainerIdAt;
            EXPECT_EQ(after[at] | after[at + 1] << 8, round * 100 + slot) << "round " << round << ", slot " << slot;
        }
        const ChecksumState state = RomChecks(after).state();
        EXPECT_EQ(state.of(Check::Global), ChecksumStatus::Consistent) << "round " << round;
        EXPECT_EQ(state.of(Check::Stadium), ChecksumStatus::Consistent) << "round " << round;
    }

    // Another program's save holds the file: a save waits for its turn...
    auto held = nativeFileSystem().open(path, OpenMode::ReadWrite);
    ASSERT_TRUE(held && (*held)->lock(std::chrono::milliseconds(0)));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        (void)(*held)->close();
    });
    EXPECT_EQ(runTogether({{{cliProgram(), "set", path, "1", "--id", "9"}, ""}}), std::vector<int>{0});
    release.join();
    EXPECT_EQ(readFile(path)[slotOffset(kCrystalTable, 1) + *kRecordOf32Bytes.trainerIdAt], 9);
    // ...and refuses after five seconds, naming the file; nothing is written.
    const Bytes waited = readFile(path);
    held = nativeFileSystem().open(path, OpenMode::ReadWrite);
    ASSERT_TRUE(held && (*held)->lock(std::chrono::milliseconds(0)));
    const std::string said = dir.file("said.txt");
    EXPECT_EQ(runTogether({{{cliProgram(), "set", path, "1", "--id", "10"}, said}}), std::vector<int>{1});
    const Bytes text = readFile(said);
    std::string told(text.begin(), text.end());
    std::erase(told, '\r');  // a Windows console's line ends
    EXPECT_EQ(told,
              "Could not save Trade Number 1 to " + quoted(path) +
                  ": another program is saving it; try again when it has finished. Nothing was written.\n");
    EXPECT_EQ(readFile(path), waited);
}

// A file shorter than its header says: shown, never as if it were whole.
TEST_F(CliTest, CutFilesAreToldAsCut) {
    Bytes image = retailLikeRom("BYTE", 6);
    image.resize(slotOffset(kCrystalTable, 7) + 21);  // ends inside record 7
    const std::string path = dir.write("cut.gbc", image);
    const std::string note = "The file is 1,036,077 bytes; its header says 2,097,152: it may be cut off.";
    Outcome info = run({"info", path});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("Trade table: 0xFCE58, 7 records (usual place)\nWarning:     " + note +
                            "\nSpecies names: from the ROM\nTrader lines:  built in (the routine that reads them is not in the file)\n"
                            "Places:        built in (the landmarks' table at 0x1CA8C3 runs past the end of the file)\nChecksums:   not computed: the file is shorter than its header says"),
              std::string::npos)
        << info.out;
    EXPECT_EQ(json::parse(run({"info", path, "--json"}).out)["size"],
              (json{{"file", 1036077}, {"header", 2097152}, {"cutOff", true}}));
    const std::string pastEnd = "Trade Number 7 lies past the end of the file: its record would start at 0xFCF18, but " +
                                quoted(path) + " ends at 1,036,077 bytes. " + note + "\n";
    struct Row {
        std::vector<std::string> args;
        int code;
        std::string err;  // all of it, or "" for none
    };
    for (const Row& row : std::vector<Row>{
             {{"show", path, "7"}, 1, pastEnd},
             {{"list", path}, 1, pastEnd},
             {{"export", path}, 1, pastEnd},
             {{"set", path, "7", "--id", "1"}, 1, pastEnd},
             {{"checksums", path, "--fix"}, 1, note + " Kestrane computes no checksums for a file that may be cut off. "
                                                      "Nothing was written.\n"},
             {{"show", path, "6"}, 0, ""},
         }) {
        SCOPED_TRACE(row.args[0] + " " + row.args.back());
        Outcome r = run(row.args);
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(readFile(path), image);
    }
    EXPECT_NE(run({"list", path}).out.find("\n7     past the end of the file\n"), std::string::npos);
    EXPECT_EQ(run({"export", path}).out, "") << "a refused table prints no part of itself";
    // Inside the file, saves go on; the checksums of a cut file are left alone.
    EXPECT_EQ(run({"set", path, "6", "--id", "1"}).out,
              "Trade Data Saved. 2 bytes changed; checksums left as they were: the file is shorter than its header says "
              "and may be cut off.\n");
    EXPECT_EQ(differences(readFile(path), image).size(), 2u);
}

// Pictures as PNG files: the picture's own size and exactly its colours.
TEST_F(CliTest, PicturesAsTheRomDrawsThem) {
    Bytes image = retailLikeRom("BYTE", 5);
    putPictures(image, "BYTE");
    const std::string path = dir.write("pictures.gbc", image);
    const Rom rom = *openRom(path, families::all());
    // The decoded PNG against the core's own picture.
    auto expectPng = [&](const std::string& png, int species, PictureLook look, int scale) {
        const Bytes bytes = readFile(png);
        int width = 0, height = 0, channels = 0;
        std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
            stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3), stbi_image_free);
        ASSERT_TRUE(pixels) << png;
        const FrontPicture picture = *readFrontPicture(rom, species, look);
        EXPECT_EQ(width, picture.width * scale);
        EXPECT_EQ(height, picture.height * scale);
        EXPECT_EQ(channels, 3);
        const Bytes rgb = picture.rgb();
        for (int y = 0; y < height; y += scale) {
            for (int x = 0; x < width; x += scale) {
                const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
                const std::size_t own = (std::size_t(y / scale) * std::size_t(picture.width) + std::size_t(x / scale)) * 3;
                ASSERT_TRUE(std::equal(pixels.get() + at, pixels.get() + at + 3, rgb.begin() + std::ptrdiff_t(own))) << x << "," << y;
            }
        }
    };
    const std::string png = dir.file("pikachu.png");
    EXPECT_EQ(run({"picture", path, "pikachu", "-o", png}).code, 0);
    expectPng(png, 25, {}, 1);
    EXPECT_EQ(run({"picture", path, "25", "--shiny", "--scale", "3", "-o", png}).code, 0);
    expectPng(png, 25, {true, 'A'}, 3);
    EXPECT_EQ(run({"picture", path, "unown", "--unown", "q", "-o", png}).code, 0);
    expectPng(png, kUnown, {false, 'Q'}, 1);
    // The offered creature of trade 1 as it will arrive.
    EXPECT_EQ(run({"show", path, "1", "--picture", png}).code, 0);
    const TradeRecord trade = *readTradeRecord(rom, Slot::fromNumber(1))->record;
    expectPng(png, trade.offeredSpecies, lookOf(rom, trade), 1);
    struct Refused {
        std::vector<std::string> args;
        const char* message;
    };
    std::vector<Refused> refusals = {
             {{"picture", path, "0", "-o", png}, "The picture of species 0 cannot be drawn: it has no Pok\u00e9dex entry."},
             {{"picture", path, "pikachoo", "-o", png}, "Did you mean Pikachu?"},
             {{"picture", path, "unown", "--unown", "AB", "-o", png}, "\"AB\" is no Unown form: give a letter, A to Z."},
             {{"picture", dir.write("plain.gbc", retailLikeRom("BYTE", 5)), "25", "-o", png}, "The picture of species 25 cannot be drawn: "},
             // Never written over the ROM (through links too), never into a pipe or device.
             {{"picture", path, "pikachu", "-o", path}, "is the ROM itself; choose another file."},
             {{"export", path, "-o", path}, "is the ROM itself; choose another file."},
             {{"export", path, "-o", deviceFile()}, "is not a regular file"},
    };
    std::error_code noLinks;
    std::filesystem::create_symlink(fsPath(path), fsPath(dir.file("link.png")), noLinks);
    if (!noLinks) refusals.push_back({{"show", path, "1", "--picture", dir.file("link.png")}, "is the ROM itself (the same file as"});
    if (auto fifo = makeFifo(dir.file("fifo.png"))) refusals.push_back({{"picture", path, "25", "-o", *fifo}, "is not a regular file"});
    for (const Refused& r : refusals) {
        Outcome out = run(r.args);
        EXPECT_EQ(out.code, 1) << out.err;
        EXPECT_NE(out.err.find(r.message), std::string::npos) << out.err;
        EXPECT_EQ(readFile(path), image);
    }
    EXPECT_EQ(run({"picture", path, "25", "--scale", "17", "-o", png}).code, 2);
}

// Every release Kestrane edits: read, a name in its own characters written,
// one too long refused, every name written back as shown changing nothing,
// export → import unchanged, and a table of another release refused.
TEST_F(CliTest, EveryReleaseInItsOwnCharacters) {
    struct Case {
        const char* code;
        const char* name;
        const char* language;
        const char* nickname;  // in the release's characters
        Bytes bytes;           // as the field holds it
        const char* tooLong;
        const char* limit;
        Bytes (*image)() = nullptr;    // else the release's retail-like image
        std::uint32_t nicknameAt = 0;  // trade 1's, else the release's own place
        const char* layout = "vanilla";
    };
    for (const Case& c : std::vector<Case>{
             {"AAUE", "Pok\u00e9mon Gold", "English", "HO-OH", {0x87, 0x8E, 0xE3, 0x8E, 0x87, 0x50}, "ABCDEFGHIJK", "holds 10"},
             {"BYTE", "Pok\u00e9mon Crystal", "English", "[PK][MN]", {0xE1, 0xE2, 0x50}, "ABCDEFGHIJK", "holds 10"},
             {"BYTF", "Pok\u00e9mon Crystal", "French", "\u00e7a c'est", {0xBF, 0xA0, 0x7F, 0xD4, 0xA4, 0xB2, 0xB3, 0x50},
              "ABCDEFGHIJK", "holds 10"},
             {"BYTS", "Pok\u00e9mon Crystal", "Spanish", "\u00d1O\u00d1O", {0xCA, 0x8E, 0xCA, 0x8E, 0x50}, "ABCDEFGHIJK",
              "holds 10"},
             {"AAUJ", "Pok\u00e9mon Gold", "Japanese", "\u30ac\u30fc\u30c7\u30a3", {0x05, 0xE3, 0x12, 0xB0}, "\u30a2\u30a4\u30a6\u30a8\u30aa",
              "needs 5 bytes, but its field holds 4"},
             {"AAXJ", "Pok\u00e9mon Silver", "Japanese", "\u304c\u3042", {0x26, 0xB1, 0x50, 0x50}, "\u30a2\u30a4\u30a6\u30a8",
              "original trainer's name needs 4 bytes, but its field holds 3"},
             {"BYTE", "Pok\u00e9mon Crystal (16-bit species base)", "English", "[PK][MN]", {0xE1, 0xE2, 0x50}, "ABCDEFGHIJK",
              "holds 10", [] { return species16Rom(false, 300); }, kSpecies16Table + 32 + 5, "16-bit species"},
             {"BYTE", "Pok\u00e9mon Crystal (16-bit species and items base)", "English", "KESTRANE", gameText("KESTRANE"),
              "ABCDEFGHIJK", "holds 10", [] { return species16Rom(true); }, kItems16Table + 32 + 5, "16-bit species and items"},
             // Red's own characters: 'd and é are single bytes there; its records hold no trainer.
             {"POKEMON RED", "Pok\u00e9mon Red", "English", "JOE'd \u00e9", {0x89, 0x8E, 0x84, 0xBB, 0x7F, 0xBA, 0x50},
              "ABCDEFGHIJK", "holds 10", [] { return firstGenerationRom("POKEMON RED"); }, kRedBlueTable + 3},
         }) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write(std::string(c.code) + ".gbc", c.image ? c.image() : retailLikeRom(c.code, 5));
        const Bytes before = readFile(path);
        const json info = json::parse(run({"info", path, "--json"}).out);
        EXPECT_EQ(info["name"], c.name);
        EXPECT_EQ(info["language"], c.language);
        EXPECT_EQ(info["layout"], c.layout);
        EXPECT_EQ(info["speciesNames"]["from"], "rom");
        EXPECT_EQ(info["traderLines"]["from"], "rom");
        EXPECT_EQ(info["places"]["from"], "rom");
        // list's columns line up in a terminal, kana taking two columns each.
        const std::string list = run({"list", path}).out;
        const json trades = json::parse(run({"list", path, "--json"}).out)["trades"];
        const std::size_t header = list.find("Requested");
        for (std::size_t row = 0, at = list.find('\n') + 1; row < 2; ++row, at = list.find('\n', at) + 1) {
            const std::string line = list.substr(at, list.find('\n', at) - at);
            const std::string requested = "  " + std::to_string(int(trades[row]["requested"])) + " ";
            ASSERT_NE(line.find(requested), std::string::npos) << line;
            EXPECT_EQ(terminalColumns(line.substr(0, line.find(requested) + 2)), header) << line;
        }
        // Every name written back as the text Kestrane shows leaves the file as it was.
        const json table = json::parse(run({"export", path}).out);
        EXPECT_EQ(table["game"]["language"], c.language);
        EXPECT_EQ(table["trades"], trades);  // list --json: the same trades
        for (const json& trade : table["trades"]) {
            if (!trade["hasTrade"]) continue;
            std::vector<std::string> names = {"set", path, std::to_string(int(trade["slot"])), "--nickname", trade["nickname"]};
            if (trade.contains("originalTrainer")) names.insert(names.end(), {"--ot", trade["originalTrainer"]});
            Outcome same = run(names);
            EXPECT_EQ(same.out, "Trade Data Saved. 0 bytes changed.\n") << trade.dump() << same.err;
        }
        const std::string tableFile = dir.file(std::string(c.code) + ".json");
        ASSERT_EQ(run({"export", path, "-o", tableFile}).code, 0);
        EXPECT_EQ(run({"import", path, tableFile}).out, "Trade Data Saved. 0 bytes changed in 0 trades.\n");
        EXPECT_EQ(readFile(path), before);

        // A name in the release's own characters; one too long for its field.
        const bool japanese = c.code[3] == 'J';
        const std::string field = c.limit[0] == 'o' ? "--ot" : "--nickname";
        ASSERT_EQ(run({"set", path, "1", "--nickname", c.nickname}).code, 0);
        const std::uint32_t at = c.nicknameAt ? c.nicknameAt : slotOffset(usualTable(c.code), 1, recordSizeOf(c.code)) + 3;
        const Bytes after = readFile(path);
        EXPECT_EQ(Bytes(after.begin() + at, after.begin() + at + std::ptrdiff_t(c.bytes.size())), c.bytes);
        EXPECT_EQ(json::parse(run({"show", path, "1", "--json"}).out)["trade"]["nickname"], c.nickname);
        expectUnchanged({"set", path, "1", field, c.tooLong}, 1, path, c.limit);
        // A table of this release is refused by another, and by this release with records laid out otherwise.
        const std::string other = dir.write("other.gbc", retailLikeRom(japanese ? "AAUE" : "AAUJ", 5));
        expectUnchanged({"import", other, tableFile}, 1, other, std::string("exported from \"") + c.code + "\"");
        if (std::string_view(c.layout) != "vanilla") {
            const std::string vanilla = dir.write("vanilla.gbc", retailLikeRom(c.code, 5));
            expectUnchanged({"import", vanilla, tableFile}, 1, vanilla,
                            std::string("laid out as \"") + c.layout + "\"; this ROM's are \"vanilla\"");
            EXPECT_NE(run({"info", path}).out.find(std::string("Records:     16-bit species")), std::string::npos);
        }
    }
}

// A trade the game can never carry out is saved with a warning on standard
// error (exit 0); show, list and JSON say it too.
TEST_F(CliTest, TradesThatCanNeverHappenAreSavedWithAWarning) {
    const std::string path = rom("BYTE");
    // A dry run warns as the save would, and writes nothing.
    expectUnchanged({"set", path, "1", "--requested", "Chansey", "--gender-requirement", "male", "--dry-run"}, 0, path,
                    "Warning: Trade Number 1: Chansey is always female");
    struct Case {
        std::vector<std::string> set;
        const char* warning;
    };
    for (const Case& c : std::vector<Case>{
             {{"--requested", "Chansey", "--gender-requirement", "male"}, "Chansey is always female, so a trader asking for a male one can never trade."},
             {{"--requested", "Tauros", "--gender-requirement", "female"}, "Tauros is always male, so a trader asking for a female one can never trade."},
             {{"--requested", "Magnemite", "--gender-requirement", "male"}, "Magnemite has no gender, so a trader asking for a male one can never trade."},
             {{"--requested", "0", "--gender-requirement", "either"}, "Species 0 is no creature, so no player can ever give the trader one."},
             {{"--requested", "Abra", "--offered", "0"}, "Species 0 is no creature, so the player would receive a broken one."},
             {{"--offered", "Onix", "--item", "250"},
              "Item 250 (TERU-SAMA) is an unused slot, not an item, so the creature would hold nothing real."},
             {{"--item", "None", "--nickname", ""}, "The nickname is empty, so the creature would arrive without a name."},
             {{"--nickname", "ROCKY", "--ot", ""}, "The original trainer's name is empty, so the creature would show no trainer."},
         }) {
        std::vector<std::string> args = {"set", path, "1"};
        args.insert(args.end(), c.set.begin(), c.set.end());
        Outcome saved = run(args);
        EXPECT_EQ(saved.code, 0);
        EXPECT_TRUE(saved.out.starts_with("Trade Data Saved. ")) << saved.out;
        EXPECT_EQ(saved.err, std::string("Warning: Trade Number 1: ") + c.warning + "\n");
        // The same trade saved again changes nothing, and says nothing.
        EXPECT_EQ(run(args).err, "");
    }
    Outcome list = run({"list", path});
    EXPECT_NE(list.out.find("\n1!    "), std::string::npos) << list.out;
    EXPECT_TRUE(list.out.ends_with("\nWarning: Trade Number 1: The original trainer's name is empty, so the creature would show no trainer.\n"))
        << list.out;
    EXPECT_NE(run({"show", path, "1"}).out.find("\nWarning:            The original trainer's name is empty"), std::string::npos);
    EXPECT_EQ(json::parse(run({"show", path, "1", "--json"}).out)["trade"]["warnings"],
              (json::array({{{"field", "originalTrainer"},
                             {"text", "The original trainer's name is empty, so the creature would show no trainer."}}})));
    EXPECT_EQ(json::parse(run({"show", path, "2", "--json"}).out)["trade"]["warnings"], json::array());
}

// Fields of plain numbers in a trade's JSON: written under their rows' keys,
// and read back with the parts left out kept as the record holds them.
// A ROM in its build tree: each step in order, on the tree the steps before left.
TEST_F(CliTest, WorkingFromTheBuildTree) {
    const Bytes image = retailLikeRom("BYTE");
    const std::string path = dir.write("pokecrystal.gbc", image);
    const TreeFiles tree = writeBuildTree(dir, "pokecrystal.gbc", image, kCrystalTable, 7);
    // A second ROM built from the same files.
    dir.write("pokecrystal_au.gbc", image);
    dir.write("pokecrystal_au.sym", Bytes{'\n'});
    struct Step {
        std::vector<std::string> args;
        int code;
        std::string out, err;  // each held by the stream; empty: anything
        bool romWritten, sourceWritten;
    };
    const std::string row = "\tnpctrade TRADE_DIALOGSET_COLLECTOR, ABRA,       MACHOP,     ";
    for (const Step& s : std::vector<Step>{
             {{"info", path}, 0, "\nSource:       data/events/npc_trades.asm (in step)\n", "", false, false},
             {{"set", path, "2", "--nickname", "BOB", "--source", "--dry-run"}, 0,
              "\n--- a/data/events/npc_trades.asm\n+++ b/data/events/npc_trades.asm\n@@ -14 +14 @@\n-" + row + "\"MUSCLE\", $37" +
                  ", $66, ITEM_AE, 37460, \"MIKE\",   TRADE_GENDER_EITHER ; the first trade, \"given\" first\n+" + row +
                  "\"BOB\",    $37, $66, ITEM_AE, 37460, \"MIKE\",   TRADE_GENDER_EITHER ; the first trade, \"given\" first\n",
              "", false, false},
             {{"set", path, "2", "--nickname", "BOB", "--source", "-o", dir.file("copy.gbc")}, 2, "",
              "so it cannot be given with -o, --leave-checksums or --pad-with-terminator.", false, false},
             {{"set", path, "2", "--nickname", "BOB", "--source", "--leave-checksums"}, 2, "", "cannot be given with -o", false, false},
             {{"set", path, "2", "--nickname", "BOB", "--source", "--pad-with-terminator"}, 2, "", "cannot be given with -o", false, false},
             {{"set", path, "2", "--nickname", "BOB", "--source"}, 0,
              "Trade Data Saved. 6 bytes changed; checksums updated as the tree's build makes them. data/events/npc_trades.asm "
              "written too (line 14). pokecrystal_au.gbc is built from it too: the next build of each takes the edit as well.\n",
              "", true, true},
             {{"list", path, "--json"}, 0, "\"sourceLine\": 14", "", false, false},
             {{"export", path}, 0, "\"source\": \"data/events/npc_trades.asm\"", "", false, false},
             {{"set", path, "1", "--nickname", "ZED"}, 0, "Trade Data Saved.",
              "Note: pokecrystal.gbc lies in a build tree, and its next build replaces this edit. Give --source to write it into "
              "data/events/npc_trades.asm too.\n",
              true, false},
             {{"set", path, "1", "--nickname", "ZOE", "--source"}, 1, "",
              "The build tree's trade file is not in step with the ROM, so --source writes nothing: pokecrystal.gbc holds edits that "
              "data/events/npc_trades.asm does not (record 1 differs): the next build replaces them.",
              false, false},
             {{"info", path, "--json"}, 0, "\"inStep\": false", "", false, false},
         }) {
        SCOPED_TRACE(s.args[0] + " " + s.args.back());
        const Bytes romBefore = readFile(path), sourceBefore = readFile(tree.tradePath);
        Outcome r = run(s.args);
        EXPECT_EQ(r.code, s.code) << r.err;
        EXPECT_NE(r.out.find(s.out), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(s.err), std::string::npos) << r.err;
        EXPECT_EQ(readFile(path) != romBefore, s.romWritten);
        EXPECT_EQ(readFile(tree.tradePath) != sourceBefore, s.sourceWritten);
    }
}

TEST(TradeJson, FieldsOfPlainNumbersAreTheirRowsKeys) {
    TradeRecord record;
    record.numbers[Field::Ivs] = {31, 30, 29, 28, 27, 26};
    record.numbers[Field::Sheen] = {7};
    exchange::Json written = exchange::Json::object();
    exchange::writeNumbers(record, written);
    EXPECT_EQ(written.dump(), R"({"ivs":{"hp":31,"attack":30,"defense":29,"spAttack":28,"spDefense":27,"speed":26},"sheen":7})");
    struct Case {
        const char* json;
        std::string ivs, sheen;  // the text given, empty: none
        std::string wrong;
    };
    for (const Case& c : {Case{R"({"ivs": {"speed": 1}, "sheen": 200})", "31/30/29/28/27/1", "200", ""},
                          Case{R"({"ivs": [1, 2]})", "", "", "\"ivs\" must be an object of whole numbers, one for each of "
                                                                "hp, attack, defense, spAttack, spDefense and speed."},
                          Case{R"({"sheen": "a lot"})", "", "", "\"sheen\" must be a whole number."}}) {
        GivenEdit given;
        std::vector<std::string> wrong;
        exchange::readNumbers(nlohmann::json::parse(c.json), given, record, wrong);
        auto text = [&](Field f) -> std::string {
            if (!given.numbers.contains(f)) return "";
            const Given& g = given.numbers.at(f);
            return std::holds_alternative<std::string>(g) ? std::get<std::string>(g) : std::to_string(std::get<std::int64_t>(g));
        };
        EXPECT_EQ(text(Field::Ivs), c.ivs) << c.json;
        EXPECT_EQ(text(Field::Sheen), c.sheen) << c.json;
        EXPECT_EQ(wrong.empty() ? "" : wrong.front(), c.wrong) << c.json;
    }
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Where two images first differ (comparing 16 MiB, a test names the byte, not the image).
std::optional<std::size_t> firstDifference(const Bytes& a, const Bytes& b) {
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (x == a.end() && y == b.end()) return std::nullopt;
    return std::size_t(x - a.begin());
}

// The third generation from the command line: every field of the 60-byte
// record set where the record keeps it (and nothing else), what the game
// makes of the personality, the fields these records lack refused by name,
// and the table's JSON carried back.
TEST_F(CliTest, TheThirdGenerationFieldByField) {
    Trade60 first;
    first.nickname = "DOTS", first.species = 298, first.personality = 0x12345678;
    const Bytes image = emeraldImage({first, Trade60{}, Trade60{}, Trade60{}});
    const std::string path = dir.write("emerald.gba", image);
    struct Case {
        std::vector<std::string> options;
        std::vector<std::pair<std::uint32_t, Bytes>> bytes;  // what the record then holds, by its offset
        std::string shows;                                   // a line `show` then prints
    };
    for (const Case& c : std::vector<Case>{
             {{"--ivs", "1/2/3/4/5/6"}, {{0x0E, {1, 2, 3, 6, 4, 5}}}, "IVs:                1/2/3/4/5/6"},
             {{"--personality", "0x0000012C"}, {{0x24, {0x2C, 0x01, 0, 0}}}, "Nature:             Hardy"},
             {{"--nature", "bold"}, {{0x24, {0x50, 0x5A, 0x34, 0x12}}}, "Personality:        0x12345A50 (305420880)"},
             {{"--offered", "Onix"}, {{0x0C, {95, 0}}}, "Ability name:       STURDY"},
             {{"--offered", "Onix", "--ability", "1"}, {{0x0C, {95, 0}}, {0x14, {1}}}, "Warning:            Onix has no second ability, so with ability 1 the creature would have none."},
             {{"--shiny"}, {{0x1A, {0x78, 0x56}}}, "Shiny:              yes"},
             {{"--secret-id", "7"}, {{0x1A, {7, 0}}}, "Secret ID:          7"},
             {{"--ability", "1"}, {{0x14, {1}}}, "Ability:            1"},
             {{"--ot-gender", "female"}, {{0x36, {1}}}, "OT gender:          female (1)"},
             {{"--contest", "1/2/3/4/255"}, {{0x1C, {1, 2, 3, 4, 255}}}, "Contest conditions: 1/2/3/4/255"},
             {{"--sheen", "255"}, {{0x37, {255}}}, "Sheen:              255"},
             {{"--mail", "2"}, {{0x2A, {2}}}, "Mail:               2"},
             {{"--item", "0x0123"}, {{0x28, {0x23, 0x01}}}, "Held item:          I291 (291)"},
             {{"--item", "orange mail", "--mail", "1"}, {{0x28, {121, 0}}, {0x2A, {1}}},
              "Mail words:         2576 2577 2578 2579 2580 2581 2582 2583 2584"},
             {{"--item", "orange mail", "--mail", "none"}, {{0x28, {121, 0}}, {0x2A, {0xFF}}},
              "Warning:            Item 121 is a mail, but the trade gives no mail, so the game would read its words from beyond its mail table."},
             {{"--id", "65535"}, {{0x18, {0xFF, 0xFF}}}, "ID:                 65535"},
             {{"--offered", "273"}, {{0x0C, {0x2A, 0x01}}}, "Offered species:    273 SEEDOT"},
             {{"--requested", "Onix"}, {{0x38, {95, 0}}}, "Requested species:  95 Onix"},
             {{"--nickname", "ABCDEFGHIJ"}, {{0x00, {0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xFF}}},
              "Nickname:           ABCDEFGHIJ"},
             {{"--ot", "AB"}, {{0x2B, {0xBB, 0xBC, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}}}, "Original trainer:   AB"},
         }) {
        SCOPED_TRACE(c.options.front());
        dir.write("emerald.gba", image);
        std::vector<std::string> args = {"set", path, "1"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome set = run(args);
        ASSERT_EQ(set.code, 0) << set.err;
        Bytes expected = image;
        for (const auto& [at, bytes] : c.bytes) std::copy(bytes.begin(), bytes.end(), expected.begin() + kEmeraldTable + at);
        EXPECT_EQ(firstDifference(readFile(path), expected), std::nullopt);
        EXPECT_NE(run({"show", path, "1"}).out.find(c.shows + "\n"), std::string::npos) << run({"show", path, "1"}).out;
    }
    // Refused by name: what these records lack, and values past the game's.
    dir.write("emerald.gba", image);
    for (auto [option, value, message] :
         {std::tuple{"--dvs", "15/10/10/10", "Pok\u00e9mon Emerald's trades have no DVs: its creatures have IVs (--ivs)."},
          {"--dialog", "happy", "Pok\u00e9mon Emerald's trades have no dialog set: each trader's lines are its own."},
          {"--gender-requirement", "male", "trades have no gender requirement: a trader takes the species of either gender."},
          {"--ivs", "1/2/3/4/5/32", "The IVs speed 32 is out of range: give 0 to 31."},
          {"--ability", "2", "The ability number 2 is out of range: give 0 to 1."},
          {"--personality", "0x100000000", "The personality 4294967296 is out of range"},
          {"--nature", "grumpy", "\"grumpy\" is no nature: give one of Hardy, Lonely"},
          {"--ot-gender", "x", "\"x\" is not a number for trainer's gender: give male, female or a number."},
          {"--nickname", "ABCDEFGHIJK", "The nickname needs 11 bytes, but the game takes 10."},
          {"--ot", "ABCDEFGH", "The original trainer's name needs 8 bytes, but the game takes 7."},
          {"--offered", "387", "is not in the list"},
          {"--item", "377", "is out of range: item numbers are 0 to 376."}}) {
        SCOPED_TRACE(option);
        expectUnchanged({"set", path, "1", option, value}, 1, path, message);
    }
    // Unown's 28 forms; a picture the header does not point to is no picture, said.
    const std::string png = dir.file("unown.png");
    EXPECT_EQ(run({"picture", path, "201", "--unown", "#", "-o", png}).err, "\"#\" is no Unown form: give a letter, A to Z, ! or ?.\n");
    const Outcome unownPicture = run({"picture", path, "201", "--unown", "!", "-o", png});
    EXPECT_EQ(unownPicture.code, 1);
    EXPECT_NE(unownPicture.err.find("The picture of species 201 cannot be drawn: "), std::string::npos) << unownPicture.err;
    // The JSON: every key, read-outs beside the numbers, mail as null; carried back unchanged.
    const json shown = json::parse(run({"show", path, "1", "--json"}).out)["trade"];
    EXPECT_EQ(shown["offered"], 273);
    EXPECT_EQ(shown["ivs"], (json{{"hp", 31}, {"attack", 20}, {"defense", 21}, {"spAttack", 23}, {"spDefense", 24}, {"speed", 22}}));
    EXPECT_EQ(shown["personality"], 0x12345678);
    EXPECT_EQ(shown["nature"], "Gentle");
    EXPECT_EQ(shown["gender"], "female");  // 0x78 below the species' 127
    EXPECT_EQ(shown["abilityName"], "A1");
    EXPECT_EQ(shown["shiny"], false);
    EXPECT_EQ(shown["otGender"], "male");
    EXPECT_EQ(shown["mail"], nullptr);
    EXPECT_EQ(shown["contest"]["tough"], 30);
    EXPECT_FALSE(shown.contains("dvs") || shown.contains("dialogSet") || shown.contains("dialog"));
    const std::string table = dir.file("emerald.json");
    ASSERT_EQ(run({"export", path, "-o", table}).code, 0);
    EXPECT_EQ(run({"import", path, table}).out, "Trade Data Saved. 0 bytes changed in 0 trades.\n");
    EXPECT_EQ(firstDifference(readFile(path), image), std::nullopt);
    // A read-out that disagrees with the numbers it is made of is refused, naming it.
    const Bytes exported = readFile(table);
    json edited = json::parse(exported.begin(), exported.end());
    edited["trades"][0]["nature"] = "Hardy";
    dir.write("emerald.json", bytesOf(edited.dump()));
    expectUnchanged({"import", path, table}, 1, path, "the nature \"Hardy\" (the numbers make it \"Gentle\")");
    // The header complement: a trade save leaves a stale one stale; a fix makes it, its one byte.
    Bytes stale = image;
    stale[0xBD] ^= 1;
    dir.write("stale.gba", stale);
    const std::string stalePath = dir.file("stale.gba");
    EXPECT_EQ(run({"checksums", stalePath}).out, "Header complement (0xBD):  stale\n");
    ASSERT_EQ(run({"set", stalePath, "1", "--sheen", "3"}).code, 0);
    EXPECT_EQ(readFile(stalePath)[0xBD], stale[0xBD]);
    EXPECT_EQ(run({"checksums", stalePath, "--fix"}).out, "Made consistent: the header complement.\n");
    EXPECT_EQ(readFile(stalePath)[0xBD], image[0xBD]);
    edited["trades"][0]["personality"] = 300;  // 300 % 25 = 0, Hardy
    edited["trades"][0]["mail"] = nullptr;
    dir.write("emerald.json", bytesOf(edited.dump()));
    ASSERT_EQ(run({"import", path, table}).code, 0);
    EXPECT_EQ(json::parse(run({"show", path, "1", "--json"}).out)["trade"]["personality"], 300);

    // Pictures in the ROM's colours, colour 0 left clear (the alpha of a
    // fourth channel); `show --picture` draws the trade as it will arrive,
    // shiny by its IDs and personality.
    Bytes pictured = image;
    putEmeraldPictures(pictured, {298});
    const std::string picturedPath = dir.write("pictured.gba", pictured);
    const Rom rom = *openRom(picturedPath, families::all());
    auto pixels = [&](const std::string& file) {
        const Bytes bytes = readFile(file);
        int width = 0, height = 0, channels = 0;
        std::unique_ptr<stbi_uc, void (*)(void*)> decoded(stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4),
                                                          stbi_image_free);
        EXPECT_EQ(channels, 4);
        return std::pair{Bytes(decoded.get(), decoded.get() + width * height * 4), width};
    };
    auto expectDrawn = [&](const std::string& file, PictureLook look) {
        const auto [drawn, width] = pixels(file);
        ASSERT_EQ(width, 64);
        const FrontPicture picture = *readFrontPicture(rom, 298, look);
        for (std::size_t at = 0; at < picture.shades.size(); at += 13) {
            const Rgb c = picture.colours[picture.shades[at]];
            ASSERT_EQ(Bytes(drawn.begin() + std::ptrdiff_t(at * 4), drawn.begin() + std::ptrdiff_t(at * 4 + 4)),
                      (Bytes{c.red, c.green, c.blue, std::uint8_t(picture.shades[at] == 0 ? 0 : 0xFF)}))
                << at;
        }
    };
    EXPECT_EQ(run({"picture", picturedPath, "273", "--shiny", "-o", png}).code, 0);
    expectDrawn(png, {true, 'A'});
    ASSERT_EQ(run({"set", picturedPath, "1", "--shiny"}).code, 0);
    const std::string arriving = dir.file("arriving.png");
    EXPECT_EQ(run({"show", picturedPath, "1", "--picture", arriving}).code, 0);
    expectDrawn(arriving, {true, 'A'});
}

}  // namespace
}  // namespace kestrane
