#include "cli/commands.h"

#include "exchange/trade_json.h"
#include "families/families.h"
#include "source/trade_source.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/creature_list.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "cli/cli.h"
#include "cli/reports.h"

namespace kestrane::cli {
namespace {

using namespace exchange;

std::string tableText(const Rom& rom) {
    if (!rom.table) return "not found";
    const TradeTable& t = *rom.table;
    std::string text = hexOffset(t.offset) + ", " + std::to_string(t.records) + " records (" +
                       std::string(t.foundBy == FoundBy::RecordScan ? kFoundByRecordsNote : foundByText(t.foundBy));
    if (rom.tableMoved()) text += "; moved from " + hexOffset(rom.release->usualTable);
    return text + ")";
}

// A ROM with its trade table, and every trade, read with one open each.
struct OpenTable {
    Rom rom;
    std::vector<TradeReading> trades;
};

Result<OpenTable> openTable(const Context& ctx, const std::string& path) {
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return rom.error();
    auto trades = readTradeTable(*rom, ctx.fs);
    if (!trades) return trades.error();
    return OpenTable{std::move(*rom), std::move(*trades)};
}

// {file, inStep, state}: the build tree's trade file (null where none was found).
Json sourceJson(const TradeSource* source) {
    return Json{{"file", source->file.empty() ? Json(nullptr) : Json(source->file)}, {"inStep", source->inStep()},
                {"state", source->state()}};
}

int info(const Context& ctx, Arguments& a) {
    const std::string& path = a.rom;
    const bool json = a.json;
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = true, .checksums = true});
    if (!rom) return ctx.fail(rom.error());
    auto source = openTradeSource(*rom, ctx.fs);
    if (!source) return ctx.fail(source.error());
    if (json) {
        Json info = gameJson(*rom);
        info["table"] = tableInfoJson(*rom);
        auto from = [](const std::string& why) { return why.empty() ? Json{{"from", "rom"}} : Json{{"from", "built in"}, {"why", why}}; };
        const Release& release = *rom->release;
        info["speciesNames"] = from(rom->speciesBuiltInWhy);
        info["traderLines"] = from(rom->words->linesWhyNot);
        info["places"] = from(rom->words->placesWhyNot);
        if (!release.layout.has(Field::TrainerName)) info["trainerName"] = from(rom->words->givenTrainerWhyNot);
        info["size"] = Json{{"file", rom->size.file}, {"header", rom->size.header ? Json(*rom->size.header) : Json(nullptr)},
                            {"cutOff", rom->size.cutOff()}};
        info["checksums"] = checksumsJson(rom->checksums, *rom->release);
        if (*source) info["source"] = sourceJson(&**source);
        if (rom->checksumsSkipped) info["checksumsNotComputed"] = checksumsSkippedText(rom->release->family().platform(), *rom->checksumsSkipped);
        ctx.out << info.dump(2) << '\n';
    } else {
        const Release& release = *rom->release;
        ctx.out << "Game:        " << release.name << "\nCode:        " << release.code
                << "\nLanguage:    " << languageName(release.language) << "\nTrade table: " << tableText(*rom) << '\n';
        if (release.reachedByLayout) ctx.out << "Records:     " << release.layout.description << '\n';
        if (rom->size.cutOff()) ctx.out << "Warning:     " << rom->size.cutOffNote() << '\n';
        auto from = [](const std::string& why) { return why.empty() ? std::string("from the ROM") : "built in (" + why + ")"; };
        ctx.out << "Species names: " << from(rom->speciesBuiltInWhy) << "\nTrader lines:  " << from(rom->words->linesWhyNot)
                << "\nPlaces:        " << from(rom->words->placesWhyNot) << '\n';
        // Records without a trainer: the one name the game gives every creature it trades away.
        if (!release.layout.has(Field::TrainerName)) ctx.out << "Trainer name:  " << from(rom->words->givenTrainerWhyNot) << '\n';
        if (*source) ctx.out << "Source:       " << (*source)->state() << '\n';
        printChecksums(ctx, *rom);
    }
    return rom->table ? kDone : ctx.fail(rom->noTable);
}

int list(const Context& ctx, Arguments& a) {
    const std::string& path = a.rom;
    const bool json = a.json;
    auto opened = openTable(ctx, path);
    if (!opened) return ctx.fail(opened.error());
    if (json) {
        // The trades as export writes them.
        auto tree = openTradeSource(opened->rom, ctx.fs);
        if (!tree) return ctx.fail(tree.error());
        const auto places = sourcePlaces(*tree);
        Json listed{{"game", gameJson(opened->rom)}, {"trades", tradesJson(opened->rom, opened->trades, places ? &*places : nullptr)}};
        if (places) listed["source"] = places->file;
        ctx.out << listed.dump(2) << '\n';
        for (const TradeReading& reading : opened->trades) {
            if (reading.pastEnd) return ctx.fail(*reading.pastEnd);
        }
        return kDone;
    }
    // The columns of the fields the release's trades hold.
    const Rom& rom = opened->rom;
    const RecordLayout& layout = rom.release->layout;
    std::vector<std::string> header = {"Slot", "Location"};
    for (const FieldRow& field : kFieldRows) {
        if (!field.column.empty() && layout.has(field.field)) header.emplace_back(field.column);
    }
    std::vector<std::vector<std::string>> rows = {header};
    const Error* pastEnd = nullptr;
    std::vector<std::string> warnings;
    for (const TradeReading& reading : opened->trades) {
        std::string slot = std::to_string(reading.slot.number());
        if (reading.pastEnd) pastEnd = &*reading.pastEnd;
        if (!reading.record) {
            rows.push_back({slot, reading.pastEnd ? "past the end of the file" : "no trade"});
            continue;
        }
        const TradeRecord& r = *reading.record;
        // A trade that can never happen is marked, and said below the table.
        const std::vector<TradeWarning> found = tradeWarnings(rom, r);
        for (const TradeWarning& warning : found) warnings.push_back(warningLine(r.slot, warning));
        if (!found.empty()) slot += "!";
        std::vector<std::string> row = {slot, std::string(r.location)};
        for (const FieldText& text : fieldTexts(rom, r)) {
            if (fieldRow(text.field).column.empty()) continue;
            // As show prints it, but the item without its number and the DVs marked shiny.
            if (text.field == Field::HeldItem) row.push_back(itemLabel(rom.items, *r.heldItem));
            else if (text.field == Field::Dvs) row.push_back(text.text + (isShiny(*r.dvs) ? " shiny" : ""));
            else row.push_back(text.text);
        }
        rows.push_back(std::move(row));
    }
    printTable(ctx, rows);
    for (const std::string& warning : warnings) ctx.out << warning << '\n';
    return pastEnd ? ctx.fail(*pastEnd) : kDone;
}

int show(const Context& ctx, Arguments& a) {
    const bool json = a.json;
    const std::string& pictureFile = a.showPicture;
    auto opened = openTrade(ctx, a.rom, a.slot);
    if (!opened) return ctx.fail(opened.error());
    const TradeReading& reading = opened->reading;
    // The offered creature as it will arrive: its species, shiny or not, its Unown form.
    if (!pictureFile.empty() && reading.record) {
        const TradeRecord& r = *reading.record;
        if (int code = writePicture(ctx, opened->rom, r.offeredSpecies, lookOf(opened->rom, r), 1, pictureFile); code != kDone) {
            return code;
        }
    }
    if (json) {
        ctx.out << Json{{"game", gameJson(opened->rom)}, {"trade", tradeJson(opened->rom, reading)}}.dump(2) << '\n';
        return kDone;
    }
    ctx.out << reading.slot.name();
    if (!reading.record) {
        ctx.out << ": " << kNoTradeMessage << '\n';
        return kDone;
    }
    const TradeRecord& r = *reading.record;
    const Rom& rom = opened->rom;
    ctx.out << " \u2014 " << r.location << " (record at " << hexOffset(r.offset)
            << (rom.table->foundBy == FoundBy::RecordScan ? ", in a table " + std::string(kFoundByRecordsNote) : std::string()) << ")\n";
    auto line = [&](std::string_view label, const std::string& text) { ctx.out << padded(std::string(label) + ":", 20) << text << '\n'; };
    for (const FieldText& field : fieldTexts(rom, r)) {
        line(field.label, field.text + (field.field == Field::Dvs ? " (Attack/Defense/Speed/Special)" : ""));
        if (field.field != Field::Dvs) continue;
        for (const ReadOut& out : dvReadOuts(rom, *r.dvs, r.offeredSpecies)) line(out.label, out.text);
    }
    // What the game makes of the numbers, after them.
    for (const ReadOut& out : rom.release->family().readOuts(rom, r)) line(out.label, out.text);
    if (const std::string given = givenAtTradeText(rom); !given.empty()) line(kGivenAtTradeLabel, given);
    const TraderWords said = traderWords(rom, r);
    if (rom.release->dialogSets.empty()) {
        // Each trader's lines are its own script's: no set of the record's to show.
    } else if (said.fromRom) {
        ctx.out << "Trader:\n";
        for (std::size_t phase = 0; phase < said.lines.size(); ++phase) line("  " + std::string(kLinePhases[phase].key), oneLine(said.lines[phase]));
    } else {
        line("Trader", said.lines[0] + " (" + kestranesWordsNote(said) + ")");
    }
    line("Record bytes", spacedHex(r.raw));
    for (const TradeWarning& warning : tradeWarnings(rom, r)) line("Warning", warning.text);
    return kDone;
}

enum class Names { Species, Items };

// Number and name of every species or item, as this ROM names them.
int names(const Context& ctx, const Arguments& a, Names which) {
    const std::string& path = a.rom;
    const bool json = a.json;
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return ctx.fail(rom.error());
    Json list = Json::array();
    std::vector<std::vector<std::string>> rows = {{"Number", "Name"}};
    auto add = [&](int number, const std::string& name, bool known) {
        list.push_back(Json{{"number", number}, {"name", known ? Json(name) : Json(nullptr)}});
        rows.push_back({std::to_string(number), name});
    };
    if (which == Names::Species) {
        // The list's rows, by the numbers people give.
        const SpeciesList& species = *rom->species;
        for (int row = 0; auto id = species.idOfRow(row); ++row) add(*species.numberOf(*id), std::string(species.name(*id)), true);
    } else if (!holdsItems(*rom->release)) {
        return ctx.fail(refused(ErrorCode::NoSuchField, std::string(rom->release->name) + " has no item list: " +
                                                            std::string(kNoItemsReason)));
    } else {
        const int count = rom->items ? int(rom->items->size()) : kItemCount;
        for (int n = 0; n < count; ++n) add(n, itemLabel(rom->items, ItemId(n)), n == 0 || rom->items);
    }
    if (json) ctx.out << list.dump(2) << '\n';
    else printTable(ctx, rows);
    return kDone;
}

void printingOnRom(CLI::App& command, Arguments& into) {
    romArgument(command, into);
    jsonFlag(command, into);
}

}  // namespace

const Command kInfo{"info", "Show the game of a ROM and where its trade table is.", printingOnRom, info};

const Command kList{"list", "List every trade slot.",
                    [](CLI::App& command, Arguments& into) {
                        romArgument(command, into);
                        command.add_flag("--json", into.json, "Print JSON: the trades as export writes them.");
                    },
                    list};

const Command kShow{"show", "Show one trade in detail.",
                    [](CLI::App& command, Arguments& into) {
                        romArgument(command, into);
                        command.add_option("SLOT", into.slot, kSlotHelp)->required();
                        command.add_flag("--json", into.json, "Print JSON.");
                        command.add_option("--picture", into.showPicture,
                                           "Also write the offered creature's front picture, as it will arrive, to this PNG file.");
                    },
                    show};

const Command kSpecies{"species", "List the species as this ROM names them, by number.", printingOnRom,
                       [](const Context& ctx, Arguments& a) { return names(ctx, a, Names::Species); }};

const Command kItems{"items", "List the held items as this ROM names them, by number.", printingOnRom,
                     [](const Context& ctx, Arguments& a) { return names(ctx, a, Names::Items); }};

}  // namespace kestrane::cli
