#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/png.h"
#include "exchange/table_file.h"
#include "exchange/trade_json.h"
#include "families/families.h"
#include "patch/patch_file.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/creature_list.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/rom_diff.h"
#include "trades/save.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "version.h"

namespace kestrane::cli {
namespace {

using namespace exchange;

// The one place that turns a kind of error into an exit code.
int exitCodeOf(const Error& error) { return error.isFileFailure() ? kIoFailure : kRefused; }

struct Context {
    std::ostream& out;
    std::ostream& err;
    FileSystem& fs;

    // Tells the user and gives the exit code the error calls for.
    int fail(const Error& error) const {
        err << describe(error) << '\n';
        if (!error.detail.empty()) err << error.detail << '\n';
        return exitCodeOf(error);
    }
    // Every problem of an input that was refused as a whole.
    int refuse(const Problems& problems) const { return fail(nothingWritten(together(problems))); }
};

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width > terminalColumns(text) ? width - terminalColumns(text) : 0, ' ');
}

void printTable(const Context& ctx, const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], terminalColumns(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) line += c + 1 < row.size() ? padded(row[c], widths[c] + 2) : row[c];
        ctx.out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
    }
}

// The bytes a save would change: offset, old, new.
void printChanges(const Context& ctx, const std::vector<ByteChange>& changes) {
    if (changes.empty()) {
        ctx.out << "No byte would change.\n";
        return;
    }
    ctx.out << "offset    old new\n";
    for (const ByteChange& c : changes) {
        ctx.out << padded(hexOffset(c.offset), 10) << toPaddedHex(c.before, 2) << "  " << toPaddedHex(c.after, 2) << '\n';
    }
}

std::string bytesChanged(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes") + " changed"; }

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

// null where the checksums are not computed. A release without Stadium
// data (its ROMs are smaller than the data's place) has no such key.
Json checksumsJson(const std::optional<ChecksumState>& state, const Release& release) {
    if (!state) return nullptr;
    Json checks = Json::object();
    for (const auto& [check, area] : heldChecks(release)) checks[std::string(area->key)] = checksumStatusText(state->of(check));
    return checks;
}

void printChecksums(const Context& ctx, const Rom& rom) {
    const std::optional<ChecksumState>& state = rom.checksums;
    if (!state) {
        const ChecksumsSkipped why = rom.checksumsSkipped.value_or(ChecksumsSkipped::TooLarge);
        ctx.out << "Checksums:   not computed: " << checksumsSkippedText(rom.release->family().platform(), why) << '\n';
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& [check, area] : heldChecks(*rom.release)) {
        rows.push_back({std::string(area->title) + " (" + hexOffset(area->at) + "):", std::string(checksumStatusText(state->of(check)))});
    }
    printTable(ctx, rows);
}

int info(const Context& ctx, const std::string& path, bool json) {
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = true, .checksums = true});
    if (!rom) return ctx.fail(rom.error());
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
        printChecksums(ctx, *rom);
    }
    return rom->table ? kDone : ctx.fail(rom->noTable);
}

// What set, import and checksums --fix share.
struct WriteOptions {
    bool dryRun = false;
    bool leaveChecksums = false;
    bool makeWritable = false;
    std::string output;  // -o: write a copy there, the ROM untouched
    bool padWithTerminator = false;  // typed names padded with 0x50, as the games' builds pad them
};

// The edits (none: the checksums alone) saved into the ROM or a copy, or
// with dryRun what they would change printed: field by field, then byte by byte.
int save(const Context& ctx, const Rom& rom, std::span<const TradeEdit> edits, const WriteOptions& o, ChecksumPolicy policy) {
    const SaveOptions options{.checksums = policy, .makeWritable = o.makeWritable};
    // What the changed trades could never do, said on standard error: a
    // warning, the save goes on.
    auto warn = [&](const TradeRecord& record) {
        for (const TradeWarning& warning : tradeWarnings(rom, record)) ctx.err << warningLine(record.slot, warning) << '\n';
    };
    if (o.dryRun) {
        if (auto fields = plannedChanges(rom, edits)) {
            for (const FieldChange& change : *fields) ctx.out << changeLine(change) << '\n';
            if (!fields->empty()) ctx.out << '\n';
        }
        auto changes = previewSave(rom, edits, options, ctx.fs);
        if (!changes) return ctx.fail(changes.error());
        printChanges(ctx, *changes);
        ctx.out << std::flush;
        for (const TradeEdit& edit : edits) {
            auto bytes = planTradeRecord(rom, edit);
            if (bytes && *bytes != edit.shown.raw) warn(recordWith(*rom.release, edit.shown, *bytes));
        }
        return kDone;
    }
    auto saved = o.output.empty() ? saveTrades(rom, edits, options, ctx.fs) : saveTradesAs(rom, edits, o.output, options, ctx.fs);
    if (!saved) {
        // A read-only copy names itself; a read-only ROM is offered the ways past it.
        if (saved.error().code != ErrorCode::ReadOnlyFile || !o.output.empty()) return ctx.fail(saved.error());
        ctx.err << quoted(rom.path) << " is read-only; nothing was written. Give --make-writable to save into it anyway, "
                                       "or -o FILE to write a copy.\n";
        return kRefused;
    }
    if (edits.empty()) {
        const std::string which = checksumsChanged(*rom.release, *saved);
        ctx.out << (which.empty() ? std::string("The checksums were already consistent.") : "Made consistent: " + which + ".");
    } else {
        // The trades whose bytes the save changed, of those it was given.
        std::size_t trades = 0;
        for (std::size_t i = 0; i < edits.size(); ++i) trades += saved->records[i].raw != edits[i].shown.raw;
        const std::string note = checksumNote(*rom.release, *saved, policy);
        ctx.out << kSavedMessage << ' ' << bytesChanged(saved->bytesChanged)
                << (edits.size() > 1 ? " in " + counted(std::int64_t(trades), "trade") : "") << (note.empty() ? "" : "; ")
                << note << '.';
    }
    if (!o.output.empty()) ctx.out << " Written to " << quoted(o.output) << "; " << quoted(rom.path) << " was not changed.";
    if (!edits.empty() && !rom.tableNote().empty()) ctx.out << ' ' << rom.tableNote();
    ctx.out << '\n' << std::flush;
    // After the news of the save, as a terminal shows the two streams together.
    for (std::size_t i = 0; i < edits.size(); ++i) {
        if (saved->records[i].raw != edits[i].shown.raw) warn(saved->records[i]);
    }
    return kDone;
}

int checksums(const Context& ctx, const std::string& path, bool fix, bool json, const WriteOptions& o) {
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = false, .checksums = true});
    if (!rom) return ctx.fail(rom.error());
    if (!fix) {
        if (json) ctx.out << checksumsJson(rom->checksums, *rom->release).dump(2) << '\n';
        else printChecksums(ctx, *rom);
        return kDone;
    }
    return save(ctx, *rom, {}, o, ChecksumPolicy::MakeConsistent);
}

int list(const Context& ctx, const std::string& path, bool json) {
    auto opened = openTable(ctx, path);
    if (!opened) return ctx.fail(opened.error());
    if (json) {
        // The trades as export writes them.
        ctx.out << Json{{"game", gameJson(opened->rom)}, {"trades", tradesJson(opened->rom, opened->trades)}}.dump(2) << '\n';
        for (const TradeReading& reading : opened->trades) {
            if (reading.pastEnd) return ctx.fail(*reading.pastEnd);
        }
        return kDone;
    }
    // The columns of the fields the release's trades hold.
    const Rom& rom = opened->rom;
    const RecordLayout& layout = rom.release->layout;
    std::vector<std::string> header = {"Slot", "Location", "Requested", "Offered", "Nickname"};
    for (auto [field, name] : {std::pair{Field::TrainerName, "Original trainer"}, std::pair{Field::TrainerId, "ID"},
                               std::pair{Field::HeldItem, "Item"}, std::pair{Field::Dvs, "DVs"}}) {
        if (layout.has(field)) header.push_back(name);
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
        std::vector<std::string> row = {slot, std::string(r.location), speciesLabel(rom, r.requestedSpecies),
                                        speciesLabel(rom, r.offeredSpecies), toUtf8(r.nickname)};
        if (r.trainerName) row.push_back(toUtf8(*r.trainerName));
        if (r.trainerId) row.push_back(std::to_string(*r.trainerId));
        if (r.heldItem) row.push_back(itemLabel(rom.items, *r.heldItem));
        if (r.dvs) row.push_back(dvsText(*r.dvs) + (isShiny(*r.dvs) ? " shiny" : ""));
        rows.push_back(std::move(row));
    }
    printTable(ctx, rows);
    for (const std::string& warning : warnings) ctx.out << warning << '\n';
    return pastEnd ? ctx.fail(*pastEnd) : kDone;
}

struct OpenTrade {
    Rom rom;
    TradeReading reading;
};

// The ROM and one slot of it.
Result<OpenTrade> openTrade(const Context& ctx, const std::string& path, int number) {
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return rom.error();
    if (auto table = rom->tradeTable(); !table) return table.error();
    auto slot = slotFromNumber(number, rom->slotCount());
    if (!slot) return slot.error();
    auto reading = readTradeRecord(*rom, *slot, ctx.fs);
    if (!reading) return reading.error();
    return OpenTrade{std::move(*rom), std::move(*reading)};
}

// The picture written as PNG to a file of its own.
int writePicture(const Context& ctx, const Rom& rom, int species, PictureLook look, int scale, const std::string& output) {
    auto picture = readFrontPicture(rom, species, look, ctx.fs);
    if (!picture) return ctx.fail(picture.error());
    const std::vector<std::uint8_t> png = pngOf(*picture, scale);
    const ProtectedFile never[] = {{rom.path, "the ROM"}};
    if (auto written = writeNewFile(ctx.fs, output, png, never); !written) {
        return ctx.fail(inContext(written.error(), "Could not write the picture to " + quoted(output)));
    }
    return kDone;
}

struct PictureOptions {
    std::string species;
    bool shiny = false;
    std::string unown;
    int scale = 1;
    std::string output;
};

int picture(const Context& ctx, const std::string& path, const PictureOptions& o) {
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return ctx.fail(rom.error());
    auto species = findSpecies(o.species, *rom->species);
    if (!species) return ctx.fail(species.error());
    PictureLook look{o.shiny, 'A'};
    if (!o.unown.empty()) {
        const char letter = o.unown.size() == 1 ? lowerAscii(o.unown[0]) : 0;
        if (letter < 'a' || letter > 'z') {
            return ctx.fail(refused(ErrorCode::InvalidArgument, echoed(o.unown) + " is no Unown form: give a letter, A to Z."));
        }
        look.unownLetter = char(letter - 'a' + 'A');
    }
    return writePicture(ctx, *rom, *species, look, o.scale, o.output);
}

int show(const Context& ctx, const std::string& path, int number, bool json, const std::string& pictureFile) {
    auto opened = openTrade(ctx, path, number);
    if (!opened) return ctx.fail(opened.error());
    const TradeReading& reading = opened->reading;
    // The offered creature as it will arrive: its species, shiny or not, its Unown form.
    if (!pictureFile.empty() && reading.record) {
        const TradeRecord& r = *reading.record;
        if (int code = writePicture(ctx, opened->rom, r.offeredSpecies, lookOf(r.dvs), 1, pictureFile); code != kDone) {
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
    if (const std::string given = givenAtTradeText(rom); !given.empty()) line(kGivenAtTradeLabel, given);
    const TraderWords said = traderWords(rom, r);
    if (said.fromRom) {
        ctx.out << "Trader:\n";
        for (std::size_t phase = 0; phase < said.lines.size(); ++phase) line("  " + std::string(kLinePhases[phase].key), oneLine(said.lines[phase]));
    } else {
        line("Trader", said.lines[0] + " (" + kestranesWordsNote(said) + ")");
    }
    line("Record bytes", spacedHex(r.raw));
    for (const TradeWarning& warning : tradeWarnings(rom, r)) line("Warning", warning.text);
    return kDone;
}

struct SetOptions {
    GivenEdit given;
    WriteOptions write;
};

int set(const Context& ctx, const std::string& path, int number, const SetOptions& o) {
    auto opened = openTrade(ctx, path, number);
    if (!opened) return ctx.fail(opened.error());
    const TradeReading& reading = opened->reading;
    if (!reading.record) return ctx.fail(nothingWritten(refused(ErrorCode::NoTrade, std::string(kNoTradeMessage))));
    opened->rom.padNamesWithTerminator = o.write.padWithTerminator;
    auto edit = resolveEdit(opened->rom, *reading.record, o.given);
    if (!edit) return ctx.refuse(edit.error());
    return save(ctx, opened->rom, std::span(&*edit, 1), o.write, policyFor(!o.write.leaveChecksums));
}

enum class Names { Species, Items };

// Number and name of every species or item, as this ROM names them.
int names(const Context& ctx, const std::string& path, bool json, Names which) {
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

int exportCommand(const Context& ctx, const std::string& path, const std::string& output) {
    // The table is only read: whether the ROM is marked read-only is not asked.
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = true, .checksums = false, .readOnly = false});
    if (!rom) return ctx.fail(rom.error());
    if (!output.empty() && output != "-") {
        auto written = exchange::exportTable(*rom, output, ctx.fs);
        return written ? kDone : ctx.fail(written.error());
    }
    auto written = exchange::writeExport(*rom, ctx.out, ctx.fs);
    return written ? kDone : ctx.fail(written.error());
}

// A table from standard input, read no further than one byte past the
// largest table (which is then refused).
std::string standardInput() {
    std::string text(std::size_t(kLargestTable) + 1, '\0');
    std::cin.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(std::cin.gcount()));
    return text;
}

int importTable(const Context& ctx, const std::string& path, const std::string& tableFile, const WriteOptions& o) {
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return ctx.fail(rom.error());
    if (auto table = rom->tradeTable(); !table) return ctx.fail(table.error());
    rom->padNamesWithTerminator = o.padWithTerminator;
    auto edits = tableFile == "-" ? importEdits(standardInput(), "standard input", *rom, ctx.fs)
                                  : importEditsFrom(tableFile, *rom, ctx.fs);
    if (!edits) return ctx.refuse(edits.error());
    if (edits->sister) ctx.out << sisterNote(*edits->sister) << '\n';
    return save(ctx, *rom, edits->edits, o, policyFor(!o.leaveChecksums));
}

int patch(const Context& ctx, const std::string& clean, const std::string& edited, const std::string& output, bool anyGame) {
    auto written = createPatch(clean, edited, output, anyGame ? GameCheck::AnyGame : GameCheck::SameGame, ctx.fs);
    if (!written) return ctx.fail(written.error());
    ctx.out << "Wrote " << (written->format == PatchFormat::Bps ? "a BPS" : "an IPS") << " patch of "
            << counted(std::int64_t(written->patchSize), "byte") << " to " << quoted(output) << ": "
            << counted(std::int64_t(written->bytesDiffer), "byte") << (written->bytesDiffer == 1 ? " differs" : " differ")
            << ".\n";
    return kDone;
}

int apply(const Context& ctx, const std::string& patchFile, const std::string& rom, const std::string& output) {
    auto applied = applyPatchFile(patchFile, rom, output, ctx.fs);
    if (!applied) return ctx.fail(applied.error());
    const bool bps = applied->format == PatchFormat::Bps;
    ctx.out << "Applied the " << (bps ? "BPS" : "IPS") << " patch " << quoted(patchFile) << " to " << quoted(rom) << ": wrote "
            << quoted(output) << ", " << counted(std::int64_t(applied->bytesDiffer), "byte")
            << (applied->bytesDiffer == 1 ? " differs" : " differ") << " from the ROM.\n";
    if (!bps) ctx.out << kIpsUncheckedNote << '\n';
    return kDone;
}

// As cmp: 0 the same, 1 different; a refusal 2, an input/output failure 3.
int diff(const Context& ctx, const std::string& clean, const std::string& edited, bool json, bool quiet) {
    auto found = diffRoms(clean, edited, families::all(), ctx.fs);
    if (!found) {
        const int code = ctx.fail(found.error());
        return code == kRefused ? kUsage : code;
    }
    const int result = found->identical ? kDone : kRefused;
    if (quiet) return result;
    if (json) {
        Json trades = Json::array();
        for (const FieldChange& c : found->trades) {
            trades.push_back(Json{{"slot", c.slot.number()}, {"field", c.label}, {"before", c.before}, {"after", c.after}});
        }
        Json ranges = Json::array();
        for (std::size_t i = 0; i < found->otherRanges.size() && i < kNamedRanges; ++i) {
            const DiffRange& r = found->otherRanges[i];
            Json range{{"offset", r.bytes.first}, {"length", r.bytes.last - r.bytes.first + 1}};
            if (!r.what.empty()) range["what"] = r.what;
            ranges.push_back(range);
        }
        ctx.out << Json{{"identical", found->identical},
                        {"games", found->gamesNote.empty() ? Json() : Json(found->gamesNote)},
                        {"trades", trades},
                        {"otherBytes", found->otherBytes},
                        {"otherRanges", ranges},
                        {"moreRanges", found->otherRanges.size() - ranges.size()},
                        {"checksums", {{"clean", checksumsJson(found->cleanChecksums, *found->cleanRelease)},
                                       {"edited", checksumsJson(found->editedChecksums, *found->editedRelease)}}}}
                       .dump(2)
                << '\n';
        return result;
    }
    for (const std::string& line : diffSummary(*found)) ctx.out << line << '\n';
    ctx.out << "Checksums: clean: " << checksumsText(found->cleanChecksums, *found->cleanRelease)
            << "; edited: " << checksumsText(found->editedChecksums, *found->editedRelease) << ".\n";
    return result;
}

// For the commands that write typed names.
void addPaddingOption(CLI::App* command, WriteOptions& o) {
    command->add_flag("--pad-with-terminator", o.padWithTerminator,
                      "Pad a typed name shorter than its field with 0x50, as the games' builds do (" +
                          gameNames(gamesWhere(families::all(), GameRows::Any, [](const Release& r) { return r.layout.nickname.padding == 0x20; })) +
                          " pad with 0x20 otherwise; " + gameNames(gamesWhere(families::all(), GameRows::Every, [](const Release& r) {
                              return r.layout.nickname.padding == r.charset().terminator();
                          })) +
                          " always with 0x50).");
}

void addWriteOptions(CLI::App* command, WriteOptions& o) {
    command->add_flag("--dry-run", o.dryRun, "Print what would change, field by field and byte by byte; write nothing.");
    command->add_flag("--leave-checksums", o.leaveChecksums, "Leave the global checksum and the Stadium data as they are.");
    command->add_flag("--make-writable", o.makeWritable, "Save into a read-only ROM, making it writable first.");
    command->add_option("-o,--output", o.output, "Write the result to FILE (replaced if it exists); the ROM is left as it is.");
}

}  // namespace

namespace {

// With `onlyNamed`, only the command named first is made; none when no
// command has that name (help, a misspelt name, none), and then nothing is
// run. Without it, every command is made (for the list of --help), only
// the named one with its options.
std::optional<int> runCommands(int argc, const char* const* argv, std::ostream& out, std::ostream& err, FileSystem& fs,
                               bool onlyNamed) {
    const Context ctx{out, err, fs};
    CLI::App app{"Kestrane: read and edit the in-game trades of " + gamesText(families::all(), "and") + " ROMs."};
    app.name("kestrane-cli");
    // Options begin with "-" everywhere: on Windows too, "/roms/crystal.gbc" is a path.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("kestrane-cli ") + kVersionText);
    app.require_subcommand(1);

    const std::string named = argc > 1 ? argv[1] : "";
    // Stands for each command not made: never parsed, so never chosen.
    CLI::App notMade;
    auto building = [&](const CLI::App* command) { return command != &notMade && command->get_name() == named; };
    bool made = false;
    auto command = [&](const char* name, const char* help) {
        if (onlyNamed && named != name) return &notMade;
        made = true;
        return app.add_subcommand(name, help);
    };

    std::string rom, output, tableFile;
    int slot = 0;
    bool json = false;
    SetOptions setOptions;
    const char* slotHelp = "The trade slot: 1 up to the slots the ROM lists (seven, or as many as its table has records).";
    // Most commands read one ROM; those that print take --json too.
    auto onRom = [&](const char* name, const char* help) {
        auto* made = command(name, help);
        if (building(made)) made->add_option("ROM", rom, "The " + romFileKindsText(families::all()) + " file.")->required();
        return made;
    };
    auto printingOnRom = [&](const char* name, const char* help) {
        auto* made = onRom(name, help);
        if (building(made)) made->add_flag("--json", json, "Print JSON.");
        return made;
    };

    auto* infoCmd = printingOnRom("info", "Show the game of a ROM and where its trade table is.");

    auto* listCmd = onRom("list", "List every trade slot.");
    if (building(listCmd)) listCmd->add_flag("--json", json, "Print JSON: the trades as export writes them.");

    std::string showPicture;
    auto* showCmd = onRom("show", "Show one trade in detail.");
    if (building(showCmd)) {
        showCmd->add_option("SLOT", slot, slotHelp)->required();
        showCmd->add_flag("--json", json, "Print JSON.");
        showCmd->add_option("--picture", showPicture, "Also write the offered creature's front picture, as it will arrive, "
                                                      "to this PNG file.");
    }

    PictureOptions pictureOptions;
    auto* pictureCmd = onRom("picture", "Write a species' front picture, as the ROM draws it, to a PNG file.");
    if (building(pictureCmd)) {
        pictureCmd->add_option("SPECIES", pictureOptions.species, "The species: number or name.")->required();
        pictureCmd->add_flag("--shiny", pictureOptions.shiny, "In its shiny colours.");
        pictureCmd->add_option("--unown", pictureOptions.unown, "For Unown: the form's letter, A to Z.");
        pictureCmd->add_option("--scale", pictureOptions.scale, "Each pixel as N x N pixels (1 to 16).")
            ->check(CLI::Range(1, 16));
        pictureCmd->add_option("-o,--output", pictureOptions.output, "The PNG file to write.")->required();
    }

    auto* setCmd = onRom("set", "Change fields of one trade; the others keep their bytes.");
    GivenEdit& given = setOptions.given;
    // The options that change a field: a set without any is a usage error.
    std::vector<CLI::Option*> fields;
    if (building(setCmd)) {
        setCmd->add_option("SLOT", slot, slotHelp)->required();
        // Every option gives text, read by its field's parser.
        auto field = [&](const char* name, auto& target, const std::string& help) {
            fields.push_back(setCmd->add_option_function<std::string>(name, [&target](const std::string& text) { target = text; }, help));
        };
        field("--requested", given.requestedSpecies, "Species the player gives: number or name.");
        field("--offered", given.offeredSpecies, "Species offered: number or name.");
        field("--nickname", given.nickname, "The offered creature's nickname.");
        const std::string noTrainer = gameNames(gamesWhere(families::all(), GameRows::Every, [](const Release& r) {
            return !r.layout.trainerName;
        }));
        field("--ot", given.trainerName, "The trainer's name (OT); not in " + noTrainer + ", whose trades give one.");
        field("--id", given.trainerId, "The trainer ID, 0 to 65535; not in " + noTrainer + " (chosen at random).");
        field("--item", given.heldItem, "The held item: its name as the ROM spells it, a number, or None.");
        field("--dvs", given.dvs, "The DVs as Attack/Defense/Speed/Special, each 0 to 15 (15/10/10/10).");
        fields.push_back(setCmd->add_flag("--shiny", given.shiny, "Make the offered creature shiny (after --dvs, if given)."));
        field("--gender-requirement", given.genderRequirement, "The gender the given creature must have: either, male or female.");
        field("--dialog", given.dialogSet,
              "The trader's lines: " + dialogSetKeysText(families::all()) + ".");
        addWriteOptions(setCmd, setOptions.write);
        addPaddingOption(setCmd, setOptions.write);
    }

    auto* speciesCmd = printingOnRom("species", "List the species as this ROM names them, by number.");

    auto* itemsCmd = printingOnRom("items", "List the held items as this ROM names them, by number.");

    std::string edited;
    bool anyGame = false;
    auto* patchCmd = command("patch", "Write a patch (BPS or IPS, by the file's name) that turns CLEAN into EDITED.");
    if (building(patchCmd)) {
        patchCmd->add_option("CLEAN", rom, "The clean ROM the players have.")->required();
        patchCmd->add_option("EDITED", edited, "The edited ROM.")->required();
        patchCmd->add_option("-o,--output", output, "The patch file: a name ending in .bps or .ips.")->required();
        patchCmd->add_flag("--any", anyGame, "Make the patch even when the two are not the same game.");
    }

    std::string patchFile;
    auto* applyCmd = command("apply", "Apply a patch (BPS or IPS, by what it holds) to ROM, writing the patched ROM to OUT.");
    if (building(applyCmd)) {
        applyCmd->add_option("PATCH", patchFile, "The .bps or .ips patch.")->required();
        applyCmd->add_option("ROM", rom, "The ROM the patch was made for; it is left as it is.")->required();
        applyCmd->add_option("-o,--output", output, "The patched ROM: a new file (replaced if it exists; never ROM or PATCH).")->required();
    }

    auto* diffCmd = command("diff", "Show what differs between two ROMs: their trades field by field, then the rest.");
    bool quiet = false;
    if (building(diffCmd)) {
        diffCmd->add_option("CLEAN", rom, "The clean ROM.")->required();
        diffCmd->add_option("EDITED", edited, "The edited ROM.")->required();
        diffCmd->add_flag("--json", json, "Print JSON.");
        diffCmd->add_flag("-q,--quiet", quiet, "Print nothing: the exit status alone says whether the ROMs differ (0 the same, 1 different).");
    }

    auto* exportCmd = onRom("export", "Write the whole trade table as JSON.");
    if (building(exportCmd)) exportCmd->add_option("-o,--output", output, "Write to this file instead of standard output.");

    WriteOptions importOptions;
    auto* importCmd = onRom("import", "Apply a JSON trade table as one save; nothing is written if any "
                                                   "value is refused.");
    if (building(importCmd)) {
        importCmd->add_option("FILE", tableFile, "The JSON table (\"-\" for standard input).")->required();
        addWriteOptions(importCmd, importOptions);
        addPaddingOption(importCmd, importOptions);
    }

    bool fix = false;
    WriteOptions fixOptions;
    auto* checksumsCmd = onRom("checksums", "Show whether the ROM's checksums are consistent, or make them so.");
    if (building(checksumsCmd)) {
        checksumsCmd->add_flag("--fix", fix, "Make the header checksum, the global checksum and the Stadium data consistent.");
        checksumsCmd->add_flag("--dry-run", fixOptions.dryRun, "With --fix: print the bytes that would change; write nothing.");
        checksumsCmd->add_flag("--make-writable", fixOptions.makeWritable, "With --fix: save into a read-only ROM, making it writable.");
        checksumsCmd->add_option("-o,--output", fixOptions.output,
                                 "With --fix: write a copy to FILE (replaced if it exists); the ROM is left as it is.");
        checksumsCmd->add_flag("--json", json, "Print JSON.");
    }

    if (!made) return std::nullopt;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kDone : kUsage;
    }

    if (*infoCmd) return info(ctx, rom, json);
    if (*listCmd) return list(ctx, rom, json);
    if (*showCmd) return show(ctx, rom, slot, json, showPicture);
    if (*pictureCmd) return picture(ctx, rom, pictureOptions);
    if (*setCmd) {
        if (std::none_of(fields.begin(), fields.end(), [](const CLI::Option* o) { return o->count() > 0; })) {
            std::vector<std::string> names;
            for (const CLI::Option* option : fields) names.push_back(option->get_name());
            err << "Nothing to change: give one or more of " << joinedList(names, 0, "or")
                << ".\nRun with --help for more information.\n";
            return kUsage;
        }
        return set(ctx, rom, slot, setOptions);
    }
    if (*speciesCmd) return names(ctx, rom, json, Names::Species);
    if (*itemsCmd) return names(ctx, rom, json, Names::Items);
    if (*exportCmd) return exportCommand(ctx, rom, output);
    if (*patchCmd) return patch(ctx, rom, edited, output, anyGame);
    if (*applyCmd) return apply(ctx, patchFile, rom, output);
    if (*diffCmd) return diff(ctx, rom, edited, json, quiet);
    if (*checksumsCmd) return checksums(ctx, rom, fix, json, fixOptions);
    return importTable(ctx, rom, tableFile, importOptions);
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, FileSystem& fs) {
    // Making every command's parser is most of a short command's time: a
    // command named first is made alone, the others only where none is.
    const auto named = runCommands(argc, argv, out, err, fs, true);
    const int code = named ? *named : *runCommands(argc, argv, out, err, fs, false);
    // What was printed must have reached its reader: a full disk is no success.
    if (!out.flush()) {
        err << "Could not write to standard output: the disk may be full, or the program reading it has ended. "
               "The command's report is incomplete.\n";
        return code == kDone ? kIoFailure : code;
    }
    return code;
}

}  // namespace kestrane::cli
