#include "support/build_tree_image.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

#include "support/first_generation_image.h"
#include "trades/natures.h"

namespace kestrane::testing {
namespace {

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The tree's charmap: the letters the test images' names use, a
// two-character entry ('d) that encoding must prefer, and a second charmap
// that reading must pass over.
const std::vector<std::pair<std::string, int>>& charmapEntries() {
    static const std::vector<std::pair<std::string, int>> entries = [] {
        std::vector<std::pair<std::string, int>> e{{"@", 0x50}, {"#", 0x54}, {" ", 0x7F}};
        for (int c = 0; c < 26; ++c) e.push_back({std::string(1, char('A' + c)), 0x80 + c});
        for (int c = 0; c < 26; ++c) e.push_back({std::string(1, char('a' + c)), 0xA0 + c});
        e.push_back({"'d", 0xD0});
        e.push_back({"'", 0xE0});
        e.push_back({"-", 0xE3});
        e.push_back({"?", 0xE6});
        e.push_back({".", 0xE8});
        e.push_back({"é", 0xEA});
        for (int c = 0; c < 10; ++c) e.push_back({std::string(1, char('0' + c)), 0xF6 + c});
        return e;
    }();
    return entries;
}

std::string charmapText() {
    std::string text = "; the main charmap\n";
    for (const auto& [chars, byte] : charmapEntries()) {
        char line[64];
        std::snprintf(line, sizeof line, "\tcharmap \"%s\", $%02x\n", chars.c_str(), byte);
        text += line;
    }
    return text + "\n\tnewcharmap unown\n\tcharmap \"A\", $00\n";
}

std::string decoded(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        const auto& entries = charmapEntries();
        const auto found = std::find_if(entries.begin(), entries.end(), [b](const auto& e) { return e.second == b; });
        if (found == entries.end()) throw std::invalid_argument("decoded: a byte the test charmap lacks");
        text += found->first;
    }
    return text;
}

std::string hex(int value, bool upper) {
    char text[8];
    std::snprintf(text, sizeof text, upper ? "$%02X" : "$%02x", value);
    return text;
}

std::string constantName(std::string spelling) {
    for (auto [sign, letter] : {std::pair{"\xEF", "_M"}, std::pair{"\xF5", "_F"}}) {  // the games' bytes of the signs
        if (const std::size_t at = spelling.find(sign); at != std::string::npos) spelling.replace(at, std::string_view(sign).size(), letter);
    }
    for (char& c : spelling) c = std::isalnum(static_cast<unsigned char>(c)) ? char(std::toupper(static_cast<unsigned char>(c))) : '_';
    return spelling;
}

std::string speciesConstants(bool firstGeneration) {
    std::string text = "; species\n\tconst_def\n\tconst NO_MON ; $00\n";
    for (int value = 1; value <= (firstGeneration ? 190 : 251); ++value) text += "\tconst " + speciesConstant(value, firstGeneration) + "\n";
    return text + "DEF NUM_POKEMON EQU const_value - 1\n\n\tconst_def $fd\n\tconst EGG\n";
}

std::string itemConstants() {
    std::string text = "\tconst_def\n\tconst NO_ITEM\n";
    for (int value = 1; value <= 0xFF; ++value) text += "\tconst " + itemConstant(value) + "\n";
    return text + "DEF PARK_BALL_ALIAS EQU $01\n";
}

// The rows, aligned in columns as the trees align them, a comment (with a
// comma and quotes) after the first.
std::string rowsText(std::vector<std::vector<std::string>> rows, const std::string& call) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) widths.resize(std::max(widths.size(), i + 1)), widths[i] = std::max(widths[i], row[i].size());
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string line = "\t" + call + " ";
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            line += rows[r][i];
            if (i + 1 < rows[r].size()) line += "," + std::string(widths[i] - rows[r][i].size() + 1, ' ');
        }
        if (r == 0) line += " ; the first trade, \"given\" first";
        text += line + "\n";
    }
    return text;
}

Bytes slice(const Bytes& rom, std::uint32_t at, std::uint32_t length) { return Bytes(rom.begin() + at, rom.begin() + at + length); }

std::string nameArgument(const Bytes& field, bool padded) {
    if (padded) return "\"" + decoded(field) + "\"";
    const auto end = std::find(field.begin(), field.end(), std::uint8_t(0x50));
    return "\"" + decoded(Bytes(field.begin(), end)) + "\"";
}

std::string placeText(std::uint32_t offset) {
    char place[16];
    std::snprintf(place, sizeof place, "%02x:%04x", offset / 0x4000, offset < 0x4000 ? offset : 0x4000 + offset % 0x4000);
    return place;
}

// Polished Crystal's charmap: its names' own (no_ngrams, its entries with
// their Huffman codes) after the main charmap's set-up, and the n-grams' in
// another block that reading passes over.
std::string polishedCharmapText() {
    std::string text = "MACRO ctxtmap\n\tDEF x = \\2\n\tcharmap \\1, x\nENDM\n\nDEF ROOT_NODE_ID EQU $00\n\n\tnewcharmap no_ngrams\n"
                       "\tcharmap \"<START>\", $00\n\tctxtmap \"@\", $53, 111101000\n\tctxtmap \" \", $7f, 011\n";
    char line[64];
    for (int c = 0; c < 26; ++c) std::snprintf(line, sizeof line, "\tctxtmap \"%c\", $%02x, 1011\n", 'A' + c, 0x80 + c), text += line;
    for (int c = 0; c < 26; ++c) std::snprintf(line, sizeof line, "\tctxtmap \"%c\", $%02x, 0100\n", 'a' + c, 0xA0 + c), text += line;
    for (int c = 0; c < 10; ++c) std::snprintf(line, sizeof line, "\tctxtmap \"%c\", $%02x, 1101\n", '0' + c, 0xE0 + c), text += line;
    return text + "\tcharmap \"<PHONE>\", $f6\n\n\tnewcharmap default, no_ngrams\n\tcharmap \"ou\", $0a\n\n\tsetcharmap default\n\n"
                  "MACRO rawchar\n\tsetcharmap no_ngrams\n\tdb \\#\n\tsetcharmap default\nENDM\n";
}

std::string polishedDecoded(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        if (b == 0x53) text += '@';
        else if (b == 0x7F) text += ' ';
        else if (b >= 0x80 && b < 0x80 + 26) text += char('A' + (b - 0x80));
        else if (b >= 0xA0 && b < 0xA0 + 26) text += char('a' + (b - 0xA0));
        else if (b >= 0xE0 && b < 0xEA) text += char('0' + (b - 0xE0));
        else throw std::invalid_argument("polishedDecoded: a byte the test charmap lacks");
    }
    return text;
}

std::string polishedSpeciesConstant(int value) {
    if (value <= 251) return speciesConstant(value, false);
    return "SPECIES_" + std::to_string(value);
}

// The trade file of Polished Crystal's form, from the table's records.
std::string polishedTradeText(const Bytes& rom, std::uint32_t table, int records) {
    static const char* kDialogs[] = {"TRADE_DIALOGSET_COLLECTOR", "TRADE_DIALOGSET_HAPPY", "TRADE_DIALOGSET_NEWBIE", "TRADE_DIALOGSET_GIRL"};
    std::string text = "NPCTrades:\n\ttable_width NPCTRADE_STRUCT_LENGTH\n";
    for (int r = 0; r < records; ++r) {
        const Bytes record = slice(rom, table + std::uint32_t(r) * 32, 32);
        auto species = [&](std::size_t at) { return polishedSpeciesConstant(record[at] | (record[at + 1] & 0x20) << 3); };
        const std::uint8_t offeredBits = record[4] & ~0x20;
        const std::string gender = offeredBits & 0x80 ? "FEMALE" : "MALE";
        const std::string offeredForm = (offeredBits & 0x1F) == 3 ? "GALARIAN_FORM | " + gender : gender;
        const std::uint8_t personality = record[19];
        const std::string traits = (personality & 0x80 ? "SHINY_MASK | " : "") + std::string("HIDDEN_ABILITY | ") +
                                   natureConstant(personality & 0x1F);
        char id[8];
        std::snprintf(id, sizeof id, "%05d", record[22] | record[23] << 8);
        text += "; NPC_TRADE_" + std::to_string(r) + "\n\tdb " + kDialogs[record[0] % 4] + (r == 0 ? " ; the first trade, \"given\" first" : "") + "\n\tdp " + species(1) +
                ((record[2] & ~0x20) ? ", " + hex(record[2] & ~0x20, true) : std::string(", NO_FORM")) + " ; wants\n\tdp " + species(3) + ", " +
                offeredForm + " ; gives\n\trawchar \"" + polishedDecoded(slice(record, 5, 11)) + "\"\n\tdb " + hex(record[16], true) +
                ", " + hex(record[17], true) + ", " + hex(record[18], true) + ", " + traits + ", " + (record[20] ? itemConstant(record[20]) : std::string("NO_ITEM")) + ", " +
                itemConstant(record[21]) + "\n\tdw " + id + "\n\trawchar \"" + polishedDecoded(slice(record, 24, 7)) + "\", $00\n";
    }
    return text + "\tassert_table_length NUM_NPC_TRADES\n";
}

}  // namespace

std::string natureConstant(int nature) {
    std::string name = "NAT_" + std::string(kNatureNames[std::size_t(nature) % kNatureCount]);
    for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::string speciesConstant(int value, bool firstGeneration) {
    if (!firstGeneration) return constantName(gameSpelling(value));
    const int number = pokedexNumberOf(std::uint8_t(value));
    return number == 0 ? "MISSINGNO_" + std::to_string(value) : constantName(gameSpelling(number));
}

std::string itemConstant(int value) {
    char name[16];
    std::snprintf(name, sizeof name, "ITEM_%02X", value);
    return name;
}

TreeFiles writeBuildTree(const TempDir& dir, const std::string& romName, const Bytes& rom, std::uint32_t table, int records,
                         TreeOptions options) {
    const bool first = options.form == RowForm::RedBlue || options.form == RowForm::PlainRows;
    const std::uint32_t size = first ? 14 : 32;
    const std::string stem = romName.substr(0, romName.rfind('.'));
    TreeFiles files{first ? "data/events/trades.asm" : "data/events/npc_trades.asm", "", "", first ? "TradeMons" : "NPCTrades"};

    std::string makefile = stem + ".gbc: $(objs)\n\trgblink -n " + stem + ".sym -o $@ $^\n\trgbfix -Cjv -t PM_CRYSTAL $@\n";
    if (options.stadium) makefile += "\ttools/stadium $@\n";
    dir.write("Makefile", textBytes(makefile));
    dir.write(stem + ".sym", textBytes("; File generated by rgblink\n00:0150 Start\n" + placeText(table) + " " + files.label + "\n" +
                                       placeText(table + std::uint32_t(records) * size) + " GetTradeAttr\n05 NAME_LENGTH_EXPORTED\n"));
    std::filesystem::create_directories(dir.path() / "constants");
    std::filesystem::create_directories(dir.path() / "data" / "events");
    std::filesystem::create_directories(dir.path() / "engine" / "events");
    if (options.form == RowForm::Polished) {
        std::string species = "\tconst_def\n\tconst NO_MON\n";
        for (int value = 1; value <= 254; ++value) species += "\tconst " + polishedSpeciesConstant(value) + "\n";
        species += "\tconst EGG\n\tconst_skip\n";
        for (int value = 257; value <= 291; ++value) species += "\tconst " + polishedSpeciesConstant(value) + "\n";
        dir.write("constants/pokemon_constants.asm", textBytes(species + "DEF NUM_SPECIES EQU const_value - 1\n"));
        std::string natures = "\tconst_def\n";
        for (int nature = 0; nature < kNatureCount; ++nature) natures += "\tconst " + natureConstant(nature) + "\n";
        dir.write("constants/nature_constants.asm", textBytes(natures));
        dir.write("constants/ability_constants.asm", textBytes("DEF ABILITY_1 EQU $20\nDEF ABILITY_2 EQU $40\nDEF HIDDEN_ABILITY EQU $60\n"
                                                               "DEF SHINY_MASK EQU $80\n"));
        dir.write("constants/gender_constants.asm", textBytes("DEF MALE EQU $00\nDEF FEMALE EQU $80\n"));
        dir.write("constants/form_constants.asm", textBytes("DEF NO_FORM EQU 0\nDEF PLAIN_FORM EQU 1\nDEF GALARIAN_FORM EQU 3\n"));
    } else {
        dir.write("constants/pokemon_constants.asm", textBytes(speciesConstants(first)));
    }
    dir.write("constants/item_constants.asm", textBytes(itemConstants()));
    dir.write("constants/text_constants.asm", textBytes("DEF NAME_LENGTH EQU 11\nDEF PLAYER_NAME_LENGTH EQU 8\n"));
    dir.write("constants/charmap.asm", textBytes(options.form == RowForm::Polished ? polishedCharmapText() : charmapText()));
    if (first) {
        dir.write("constants/script_constants.asm",
                  textBytes("\tconst_def\n\tconst TRADE_DIALOGSET_CASUAL\n\tconst TRADE_DIALOGSET_EVOLUTION\n\tconst TRADE_DIALOGSET_HAPPY\n"));
    } else {
        dir.write("constants/npc_trade_constants.asm",
                  textBytes("\tconst_def\n\tconst TRADE_DIALOGSET_COLLECTOR\n\tconst TRADE_DIALOGSET_HAPPY\n\tconst TRADE_DIALOGSET_NEWBIE\n"
                            "\tconst TRADE_DIALOGSET_GIRL\n\n\tconst_def\n\tconst TRADE_GENDER_EITHER\n\tconst TRADE_GENDER_MALE\n"
                            "\tconst TRADE_GENDER_FEMALE\n"));
    }
    static const char* kDialogs1[] = {"TRADE_DIALOGSET_CASUAL", "TRADE_DIALOGSET_EVOLUTION", "TRADE_DIALOGSET_HAPPY"};
    static const char* kDialogs2[] = {"TRADE_DIALOGSET_COLLECTOR", "TRADE_DIALOGSET_HAPPY", "TRADE_DIALOGSET_NEWBIE", "TRADE_DIALOGSET_GIRL"};
    static const char* kGenders[] = {"TRADE_GENDER_EITHER", "TRADE_GENDER_MALE", "TRADE_GENDER_FEMALE"};
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < records && options.form != RowForm::Polished; ++r) {
        const Bytes record = slice(rom, table + std::uint32_t(r) * size, size);
        if (first) {
            rows.push_back({speciesConstant(record[0], true), speciesConstant(record[1], true), kDialogs1[record[2] % 3],
                            nameArgument(slice(record, 3, 11), options.form == RowForm::PlainRows)});
            continue;
        }
        if (options.form == RowForm::Species16) {
            char id[8];
            std::snprintf(id, sizeof id, "%05d", record[19] | record[20] << 8);
            rows.push_back({kDialogs2[record[0] % 4], speciesConstant(record[1] | record[2] << 8, false),
                            speciesConstant(record[3] | record[4] << 8, false), nameArgument(slice(record, 5, 11), true),
                            hex(record[16], true), hex(record[17], true), itemConstant(record[18]), id,
                            nameArgument(slice(record, 21, 8), true), kGenders[record[29] % 3]});
            continue;
        }
        const bool padded = options.form == RowForm::HandPadded;
        char id[8];
        std::snprintf(id, sizeof id, "%05d", record[17] | record[18] << 8);
        rows.push_back({kDialogs2[record[0] % 4], speciesConstant(record[1], false), speciesConstant(record[2], false),
                        nameArgument(slice(record, 3, 11), padded), hex(record[14], !padded), hex(record[15], !padded),
                        itemConstant(record[16]), id, nameArgument(slice(record, 19, 11), padded), kGenders[record[30] % 3]});
    }
    std::string text;
    switch (options.form) {
    case RowForm::Dname:
        text = "MACRO npctrade\n; dialog set, requested mon, offered mon, nickname, dvs, item, OT ID, OT name, gender requested\n"
               "\tdb \\1, \\2, \\3\n\tdname \\4, NAME_LENGTH\n\tdb \\5, \\6, \\7\n\tdw \\8\n\tdname \\9, NAME_LENGTH\n\tdb \\<10>, 0\nENDM\n\n"
               "NPCTrades:\n; entries correspond to NPCTRADE_* constants\n\ttable_width NPCTRADE_STRUCT_LENGTH\n" +
               rowsText(rows, "npctrade") + "\tassert_table_length NUM_NPC_TRADES\n";
        break;
    case RowForm::HandPadded:
        text = "npctrade: MACRO\n; dialog set, requested mon, offered mon, nickname, dvs, item, OT ID, OT name, gender requested\n"
               "\tdb \\1, \\2, \\3, \\4, \\5, \\6, \\7\n\tshift\n\tdw \\7\n\tdb \\8, \\9, 0\n\tENDM\n\nNPCTrades:\n" +
               rowsText(rows, "npctrade") + "\nGetTradeAttr:\n\tret\n";
        break;
    case RowForm::Species16:
        text = "npctrade: MACRO\n\tdb \\1 ; dialog set\n\tdw \\2, \\3 ; requested, offered\n\tdb \\4, \\5, \\6, \\7\n\tshift\n"
               "\tdw \\7 ; OT ID\n\tdb \\8, \\9\n\tdb 0, 0\nENDM\n\nNPCTrades:\n" +
               rowsText(rows, "npctrade") + "\tassert_table_length NUM_NPC_TRADES\n";
        break;
    case RowForm::RedBlue:
        text = "MACRO npctrade\n; give mon, get mon, dialog id, nickname\n\tdb \\1, \\2, \\3\n\tdname \\4, NAME_LENGTH\nENDM\n\n"
               "TradeMons:\n; entries correspond to TRADE_FOR_* constants\n\ttable_width 3 + NAME_LENGTH\n" +
               rowsText(rows, "npctrade") + "\tassert_table_length NUM_NPC_TRADES\n";
        break;
    case RowForm::Polished: text = polishedTradeText(rom, table, records); break;
    case RowForm::PlainRows:
        text = "TradeMons:\n; givemonster, getmonster, textstring, nickname (11 bytes), 14 bytes total\n" + rowsText(rows, "db") +
               "\nNextTable:\n\tdb 0\n";
        break;
    }
    if (options.crlf) {
        std::string crlf;
        for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        text = crlf;
    }
    if (!options.finalNewline) text.erase(text.find_last_not_of("\r\n") + 1);
    files.tradeText = text;
    files.tradePath = dir.write(files.tradeFile, textBytes(text));
    // Another file of the tree, mentioning the label without defining it.
    dir.write("engine/events/npc_trade.asm", textBytes("GetTradeAttr:\n\tld hl, " + files.label + "\n\tret\n"));
    return files;
}

}  // namespace kestrane::testing
