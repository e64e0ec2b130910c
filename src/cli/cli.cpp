#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "cli/table.h"
#include "support/utf.h"
#include "text/game_text.h"
#include "version.h"

namespace kestrane::cli {
namespace {

struct Context {
    std::ostream& out;
    std::ostream& err;
    FileSystem& fs;

    // Tells the user and gives the exit code the error calls for.
    int fail(const Error& error) const {
        err << error.message << '\n';
        bool io = error.number() < 1000 && error.code != ErrorCode::InvalidArgument &&
                  error.code != ErrorCode::TypeMismatch;
        io = io || error.code == ErrorCode::VerifyFailed || error.code == ErrorCode::FileSizeChanged;
        return io ? kIoFailure : kRefused;
    }
};

struct Rom {
    std::string path;
    const GameInfo* game;
};

Error unsupported(const RomIdentity& identity) {
    return makeError(ErrorCode::UnsupportedRom,
                     std::string(kUnsupportedRomMessage) + "\nThe game code at 0x13F is \"" +
                         printableGameCode(identity.gameCode) +
                         "\"; Kestrane edits Pok\u00e9mon Gold (AAUE), Silver (AAXE) and Crystal (BYTE).");
}

Result<Rom> openRom(const Context& ctx, const std::string& path) {
    auto identity = identifyRom(path, ctx.fs);
    if (!identity) return identity.error();
    if (!identity->game) return unsupported(*identity);
    return Rom{path, identity->game};
}

// The game and every trade, with one open of the file.
Result<std::pair<Rom, TradeTable>> openTable(const Context& ctx, const std::string& path) {
    auto table = readRomTable(path, ctx.fs);
    if (!table) return table.error();
    if (!table->identity.game) return unsupported(table->identity);
    return std::pair{Rom{path, table->identity.game}, std::move(table->trades)};
}

// UTF-8 text as a path, so that "é" reaches the file system on every platform.
std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

Result<int> slotIndex(int slot) {
    if (slot >= 1 && slot <= kSlotCount) return slot - 1;
    return makeError(ErrorCode::SlotOutOfRange, "There is no trade slot " + std::to_string(slot) +
                                                    ": the slots are 1 to 7.");
}

// Printed width of UTF-8 text: one column per code point.
std::size_t columns(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width > columns(text) ? width - columns(text) : 0, ' ');
}

// The bytes an edit would change: offset, old, new.
void printChanges(const Context& ctx, const TradeRecord& shown, const RecordBytes& planned) {
    bool any = false;
    for (std::uint32_t i = 0; i < kRecordSpan; ++i) {
        if (shown.raw[i] == planned[i]) continue;
        if (!any) ctx.out << "offset    old new\n";
        any = true;
        ctx.out << "0x" << toPaddedHex(std::int32_t(shown.base + i), 5) << "   " << toPaddedHex(shown.raw[i], 2)
                << "  " << toPaddedHex(planned[i], 2) << '\n';
    }
    if (!any) ctx.out << "No byte would change.\n";
}

int info(const Context& ctx, const std::string& path, bool json) {
    auto rom = openRom(ctx, path);
    if (!rom) return ctx.fail(rom.error());
    if (json) {
        ctx.out << gameJson(*rom->game).dump(2) << '\n';
    } else {
        ctx.out << "Game:     " << rom->game->name << "\nCode:     " << rom->game->code
                << "\nLanguage: " << rom->game->language << '\n';
    }
    return kDone;
}

int list(const Context& ctx, const std::string& path) {
    auto opened = openTable(ctx, path);
    if (!opened) return ctx.fail(opened.error());
    const TradeTable* table = &opened->second;
    std::vector<std::vector<std::string>> rows = {
        {"Slot", "Location", "Requested", "Offered", "Nickname", "Original trainer", "ID"}};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto& record = (*table)[std::size_t(slot)].record;
        if (!record) {
            rows.push_back({std::to_string(slot + 1), "no trade"});
            continue;
        }
        rows.push_back({std::to_string(slot + 1), std::string(record->location), speciesLabel(record->requestedSpecies),
                        speciesLabel(record->offeredSpecies), toUtf8(record->nickname), toUtf8(record->trainerName),
                        std::to_string(record->trainerId)});
    }
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], columns(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) line += c + 1 < row.size() ? padded(row[c], widths[c] + 2) : row[c];
        ctx.out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
    }
    return kDone;
}

struct OpenTrade {
    Rom rom;
    int index;  // list index, 0-6
    TradeReading reading;
};

// The game of the ROM and one slot (1-7) of it.
Result<OpenTrade> openTrade(const Context& ctx, const std::string& path, int slot) {
    auto index = slotIndex(slot);
    if (!index) return index.error();
    auto rom = openRom(ctx, path);
    if (!rom) return rom.error();
    auto reading = readTradeRecord(rom->path, rom->game->code, *index, ctx.fs);
    if (!reading) return reading.error();
    return OpenTrade{*rom, *index, std::move(*reading)};
}

int show(const Context& ctx, const std::string& path, int slot, bool json) {
    auto opened = openTrade(ctx, path, slot);
    if (!opened) return ctx.fail(opened.error());
    const Rom& rom = opened->rom;
    const int index = opened->index;
    const TradeReading& reading = opened->reading;
    if (json) {
        ctx.out << Json{{"game", gameJson(*rom.game)}, {"trade", tradeJson(index, reading)}}.dump(2) << '\n';
        return kDone;
    }
    ctx.out << "Trade Number " << slot;
    if (!reading.record) {
        ctx.out << ": " << kNoTradeMessage << '\n';
        return kDone;
    }
    const TradeRecord& r = *reading.record;
    ctx.out << " \u2014 " << r.location << " (record at 0x" << toPaddedHex(std::int32_t(r.base), 5) << ")\n"
            << "Requested species:  " << speciesLabel(r.requestedSpecies) << '\n'
            << "Offered species:    " << speciesLabel(r.offeredSpecies) << '\n'
            << "Nickname:           " << toUtf8(r.nickname) << '\n'
            << "Original trainer:   " << toUtf8(r.trainerName) << '\n'
            << "ID:                 " << r.trainerId << '\n'
            << "Bytes +0..+27:      " << spacedHex(r.raw) << '\n';
    return kDone;
}

struct SetOptions {
    std::string requested, offered, nickname, trainer, id;
    bool hasRequested = false, hasOffered = false, hasNickname = false, hasTrainer = false, hasId = false;
    bool dryRun = false;
};

Result<std::u16string> argumentText(const std::string& text, const std::string& what) {
    auto utf16 = fromUtf8(text);
    if (!utf16) return makeError(ErrorCode::UnencodableName, "The " + what + " is not valid UTF-8 text.");
    return *utf16;
}

int set(const Context& ctx, const std::string& path, int slot, const SetOptions& o) {
    auto opened = openTrade(ctx, path, slot);
    if (!opened) return ctx.fail(opened.error());
    const Rom& rom = opened->rom;
    const int index = opened->index;
    const TradeReading& reading = opened->reading;
    if (!reading.record) return ctx.fail(makeError(ErrorCode::NoTrade, std::string(kNoTradeMessage)));
    const TradeRecord& shown = *reading.record;

    TradeEdit edit = uneditedEdit(shown);
    for (auto [has, given, target, stored, what] :
         {std::tuple{o.hasRequested, &o.requested, &edit.requestedSpecies, shown.requestedSpecies, "requested species"},
          std::tuple{o.hasOffered, &o.offered, &edit.offeredSpecies, shown.offeredSpecies, "offered species"}}) {
        if (!has) continue;
        auto value = speciesValue(*given, stored, what);
        if (!value) return ctx.fail(value.error());
        *target = *value;
    }
    for (auto [has, given, target, what] : {std::tuple{o.hasNickname, &o.nickname, &edit.nickname, "nickname"},
                                            std::tuple{o.hasTrainer, &o.trainer, &edit.trainerName, "original trainer's name"},
                                            std::tuple{o.hasId, &o.id, &edit.trainerId, "ID"}}) {
        if (!has) continue;
        auto text = argumentText(*given, what);
        if (!text) return ctx.fail(text.error());
        *target = *text;
    }
    auto planned = planTradeRecord(edit);
    if (!planned) return ctx.fail(planned.error());
    if (o.dryRun) {
        printChanges(ctx, shown, *planned);
        return kDone;
    }
    auto saved = writeTradeRecord(rom.path, rom.game->code, index, edit, ctx.fs);
    if (!saved) return ctx.fail(saved.error());
    ctx.out << "Trade Data Saved. " << saved->bytesChanged << (saved->bytesChanged == 1 ? " byte" : " bytes")
            << " changed.\n";
    return kDone;
}

int exportTable(const Context& ctx, const std::string& path, const std::string& output) {
    auto opened = openTable(ctx, path);
    if (!opened) return ctx.fail(opened.error());
    const std::string text = tableJson(*opened->first.game, opened->second).dump(2) + "\n";
    if (output.empty() || output == "-") {
        ctx.out << text;
        return kDone;
    }
    std::error_code ec;
    if (std::filesystem::equivalent(pathOf(output), pathOf(path), ec)) {
        return ctx.fail(makeError(ErrorCode::InvalidArgument,
                                  "\"" + output + "\" is the ROM itself; choose another file for the table."));
    }
    std::ofstream file(pathOf(output), std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) return ctx.fail(makeError(ErrorCode::DeviceIo, "Could not write the table to \"" + output + "\"."));
    return kDone;
}

int importTable(const Context& ctx, const std::string& path, const std::string& tableFile, bool dryRun) {
    auto opened = openTable(ctx, path);
    if (!opened) return ctx.fail(opened.error());
    const Rom* rom = &opened->first;
    std::stringstream text;
    if (tableFile == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(pathOf(tableFile), std::ios::binary);
        if (!in) return ctx.fail(makeError(ErrorCode::FileNotFound, "Could not read the table \"" + tableFile + "\"."));
        text << in.rdbuf();
    }
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (json.is_discarded()) {
        return ctx.fail(makeError(ErrorCode::TypeMismatch, "\"" + tableFile + "\" is not valid JSON. Nothing was written."));
    }
    ImportPlan plan = planImport(json, *rom->game, opened->second);
    if (!plan.problems.empty()) {
        for (const std::string& problem : plan.problems) ctx.err << problem << '\n';
        ctx.err << "Nothing was written.\n";
        return kRefused;
    }
    std::vector<int> saved;
    std::size_t bytesChanged = 0;
    for (const auto& [slot, edit] : plan.edits) {
        if (dryRun) {
            ctx.out << "Trade Number " << slot + 1 << ":\n";
            printChanges(ctx, edit.shown, planTradeRecord(edit).value());
            continue;
        }
        auto written = writeTradeRecord(rom->path, rom->game->code, slot, edit, ctx.fs);
        if (!written) {
            std::string before;
            for (int s : saved) before += (before.empty() ? "" : ", ") + std::to_string(s + 1);
            ctx.err << (saved.empty() ? "No trade was saved before this failure.\n"
                                      : "Trades saved before this failure: " + before + ".\n");
            return ctx.fail(written.error());
        }
        saved.push_back(slot);
        bytesChanged += written->bytesChanged;
    }
    if (!dryRun) {
        ctx.out << "Trade Data Saved. " << bytesChanged << (bytesChanged == 1 ? " byte" : " bytes") << " changed in "
                << saved.size() << (saved.size() == 1 ? " trade.\n" : " trades.\n");
    }
    return kDone;
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, FileSystem& fs) {
    const Context ctx{out, err, fs};
    CLI::App app{"Kestrane: read and edit the in-game trades of Pok\u00e9mon Gold, Silver and Crystal ROMs."};
    app.name("kestrane-cli");
    app.set_version_flag("--version", std::string("kestrane-cli ") + kVersionText);
    app.require_subcommand(1);

    std::string rom, output, tableFile;
    int slot = 0;
    bool json = false;
    SetOptions setOptions;

    auto* infoCmd = app.add_subcommand("info", "Show the game of a ROM.");
    infoCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();
    infoCmd->add_flag("--json", json, "Print JSON.");

    auto* listCmd = app.add_subcommand("list", "List the seven trade slots.");
    listCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();

    auto* showCmd = app.add_subcommand("show", "Show one trade in detail.");
    showCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();
    showCmd->add_option("SLOT", slot, "The trade slot, 1 to 7.")->required();
    showCmd->add_flag("--json", json, "Print JSON.");

    auto* setCmd = app.add_subcommand("set", "Change fields of one trade; the others keep their bytes.");
    setCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();
    setCmd->add_option("SLOT", slot, "The trade slot, 1 to 7.")->required();
    auto* requested = setCmd->add_option("--requested", setOptions.requested, "Species the player gives: number or name.");
    auto* offered = setCmd->add_option("--offered", setOptions.offered, "Species offered: number or name.");
    auto* nickname = setCmd->add_option("--nickname", setOptions.nickname, "The offered creature's nickname.");
    auto* trainer = setCmd->add_option("--ot", setOptions.trainer, "The original trainer's name.");
    auto* id = setCmd->add_option("--id", setOptions.id, "The trainer ID, 0 to 65535.");
    setCmd->add_flag("--dry-run", setOptions.dryRun, "Print the bytes that would change; write nothing.");

    auto* exportCmd = app.add_subcommand("export", "Write the whole trade table as JSON.");
    exportCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();
    exportCmd->add_option("-o,--output", output, "Write to this file instead of standard output.");

    bool importDryRun = false;
    auto* importCmd = app.add_subcommand("import", "Apply a JSON trade table; nothing is written if any value is refused.");
    importCmd->add_option("ROM", rom, "The .gb or .gbc file.")->required();
    importCmd->add_option("FILE", tableFile, "The JSON table (\"-\" for standard input).")->required();
    importCmd->add_flag("--dry-run", importDryRun, "Print the bytes that would change; write nothing.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kDone : kUsage;
    }
    setOptions.hasRequested = requested->count() > 0;
    setOptions.hasOffered = offered->count() > 0;
    setOptions.hasNickname = nickname->count() > 0;
    setOptions.hasTrainer = trainer->count() > 0;
    setOptions.hasId = id->count() > 0;

    if (*infoCmd) return info(ctx, rom, json);
    if (*listCmd) return list(ctx, rom);
    if (*showCmd) return show(ctx, rom, slot, json);
    if (*setCmd) return set(ctx, rom, slot, setOptions);
    if (*exportCmd) return exportTable(ctx, rom, output);
    return importTable(ctx, rom, tableFile, importDryRun);
}

}  // namespace kestrane::cli
