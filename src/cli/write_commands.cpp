#include <algorithm>
#include <iostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reports.h"
#include "exchange/table_file.h"
#include "families/families.h"
#include "source/source_save.h"
#include "support/hex_text.h"
#include "support/words.h"
#include "trades/field_table.h"
#include "trades/rom_diff.h"
#include "trades/save.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane::cli {
namespace {

using namespace exchange;

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

// --source goes the tree's own way: a copy elsewhere, checksums left or
// names padded otherwise would not be what the next build makes.
int sourceUsage(const Context& ctx, const WriteOptions& o) {
    if (!o.source || (o.output.empty() && !o.leaveChecksums && !o.paddingGiven)) return kDone;
    ctx.err << "--source writes the ROM as the build tree's own build makes it (names padded with 0x50, the checksums made), "
               "so it cannot be given with -o, --leave-checksums or --pad-with-terminator.\n";
    return kUsage;
}

// The ROM's build tree, refused (nothing written) where --source asks to write a trade file that is not in step.
Result<std::optional<TradeSource>> sourceFor(const Context& ctx, const Rom& rom, const WriteOptions& o) {
    auto opened = openTradeSource(rom, ctx.fs);
    if (!opened) return nothingWritten(opened.error());
    std::optional<TradeSource> source = std::move(*opened);
    if (!o.source) return source;
    if (!source) {
        return nothingWritten(refused(ErrorCode::SourceNotInStep, quoted(rom.path) + " lies in no build tree (no Makefile and symbol "
                                                                                   "file beside it): --source has no trade file to write."));
    }
    if (!source->inStep()) {
        return nothingWritten(refused(ErrorCode::SourceNotInStep, "The build tree's trade file is not in step with the ROM, so "
                                                                  "--source writes nothing: " + sentence(source->state())));
    }
    return source;
}

// The edits (none: the checksums alone) saved into the ROM or a copy, or
// with dryRun what they would change printed: field by field, then byte by byte.
int save(const Context& ctx, const Rom& rom, std::span<const TradeEdit> edits, const WriteOptions& o, ChecksumPolicy policy,
         const std::optional<TradeSource>& tree = std::nullopt) {
    // With --source, the ROM as the tree's build makes it, and the trade file too.
    const TradeSource* source = o.source && tree ? &*tree : nullptr;
    const SaveOptions options = source ? asBuilt(rom, *source, {.makeWritable = o.makeWritable})
                                       : SaveOptions{.checksums = policy, .makeWritable = o.makeWritable};
    if (source) policy = options.checksums;
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
        if (source) {
            auto text = planSourceEdit(rom, *source, edits, options, ctx.fs);
            if (!text) return ctx.fail(nothingWritten(text.error()));
            const std::string diff = sourceDiff(*source, *text);
            ctx.out << '\n' << (diff.empty() ? "No line of " + source->file + " would change.\n" : diff);
        }
        ctx.out << std::flush;
        for (const TradeEdit& edit : edits) {
            auto bytes = planTradeRecord(rom, edit);
            if (bytes && *bytes != edit.shown.raw) warn(recordWith(*rom.release, edit.shown, *bytes));
        }
        return kDone;
    }
    Result<SaveReport> saved = SaveReport{};
    if (source) {
        auto both = saveTradesWithSource(rom, *source, edits, options, ctx.fs);
        saved = both ? Result<SaveReport>(std::move(both->rom)) : Result<SaveReport>(both.error());
    } else {
        saved = o.output.empty() ? saveTrades(rom, edits, options, ctx.fs) : saveTradesAs(rom, edits, o.output, options, ctx.fs);
    }
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
    if (source && saved->bytesChanged > 0) ctx.out << ' ' << sourceSavedNote(rom, *source, edits, *saved);
    ctx.out << '\n' << std::flush;
    // A ROM in its build tree, saved alone: the next build replaces the edit.
    if (!source && tree && o.output.empty() && saved->bytesChanged > 0) {
        ctx.err << "Note: " << tree->romName << " lies in a build tree, and its next build replaces this edit. "
                << (tree->inStep() ? "Give --source to write it into " + tree->file + " too."
                                   : "Its trade file is not in step: " + sentence(tree->state()))
                << '\n';
    }
    // After the news of the save, as a terminal shows the two streams together.
    for (std::size_t i = 0; i < edits.size(); ++i) {
        if (saved->records[i].raw != edits[i].shown.raw) warn(saved->records[i]);
    }
    return kDone;
}

int checksums(const Context& ctx, Arguments& a) {
    const std::string& path = a.rom;
    const bool fix = a.fix, json = a.json;
    const WriteOptions& o = a.write;
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = false, .checksums = true});
    if (!rom) return ctx.fail(rom.error());
    if (!fix) {
        if (json) ctx.out << checksumsJson(rom->checksums, *rom->release).dump(2) << '\n';
        else printChecksums(ctx, *rom);
        return kDone;
    }
    return save(ctx, *rom, {}, o, ChecksumPolicy::MakeConsistent);
}

int set(const Context& ctx, Arguments& a) {
    if (std::none_of(a.fieldOptions.begin(), a.fieldOptions.end(), [](const CLI::Option* o) { return o->count() > 0; })) {
        std::vector<std::string> names;
        for (const CLI::Option* option : a.fieldOptions) names.push_back(option->get_name());
        ctx.err << "Nothing to change: give one or more of " << joinedList(names, 0, "or")
                << ".\nRun with --help for more information.\n";
        return kUsage;
    }
    if (int usage = sourceUsage(ctx, a.write)) return usage;
    auto opened = openTrade(ctx, a.rom, a.slot);
    if (!opened) return ctx.fail(opened.error());
    const TradeReading& reading = opened->reading;
    if (!reading.record) return ctx.fail(nothingWritten(refused(ErrorCode::NoTrade, std::string(kNoTradeMessage))));
    auto source = sourceFor(ctx, opened->rom, a.write);
    if (!source) return ctx.fail(source.error());
    GivenEdit given = a.given;
    given.padding = a.write.source ? NamePadding::Terminator : a.write.padding;  // as the tree's macros pad
    auto edit = resolveEdit(opened->rom, *reading.record, given);
    if (!edit) return ctx.refuse(edit.error());
    return save(ctx, opened->rom, std::span(&*edit, 1), a.write, policyFor(!a.write.leaveChecksums), *source);
}

// A table from standard input, read no further than one byte past the
// largest table (which is then refused).
std::string standardInput() {
    std::string text(std::size_t(kLargestTable) + 1, '\0');
    std::cin.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(std::cin.gcount()));
    return text;
}

int importTable(const Context& ctx, Arguments& a) {
    const std::string& path = a.rom;
    const std::string& tableFile = a.tableFile;
    const WriteOptions& o = a.write;
    if (int usage = sourceUsage(ctx, o)) return usage;
    auto rom = openRom(path, families::all(), ctx.fs);
    if (!rom) return ctx.fail(rom.error());
    if (auto table = rom->tradeTable(); !table) return ctx.fail(table.error());
    auto source = sourceFor(ctx, *rom, o);
    if (!source) return ctx.fail(source.error());
    const NamePadding padding = o.source ? NamePadding::Terminator : o.padding;
    auto edits = tableFile == "-" ? importEdits(standardInput(), "standard input", *rom, padding, ctx.fs)
                                  : importEditsFrom(tableFile, *rom, padding, ctx.fs);
    if (!edits) return ctx.refuse(edits.error());
    if (edits->sister) ctx.out << sisterNote(*edits->sister) << '\n';
    return save(ctx, *rom, edits->edits, o, policyFor(!o.leaveChecksums), *source);
}

void setOptions(CLI::App& command, Arguments& into) {
    romArgument(command, into);
    command.add_option("SLOT", into.slot, kSlotHelp)->required();
    // Every field's option gives text, read by its field's parser.
    for (const FieldRow& row : kFieldRows) {
        // The fields some game's records hold.
        const Field field = row.field;
        if (gamesWhere(families::all(), GameRows::Any, [field](const Release& r) { return r.layout.has(field); }).empty()) continue;
        std::string help(row.optionHelp);
        if (auto at = help.find("{lacking}"); at != std::string::npos) {
            help.replace(at, 9, gameNames(gamesWhere(families::all(), GameRows::Every,
                                                     [field](const Release& r) { return !r.layout.has(field); })));
        }
        if (auto at = help.find("{dialog sets}"); at != std::string::npos) help.replace(at, 13, dialogSetKeysText(families::all()));
        into.fieldOptions.push_back(command.add_option_function<std::string>(
            std::string(row.option), [&given = into.given, field = row.field](const std::string& text) { given.giveText(field, text); },
            help));
        if (row.field == Field::Dvs) {
            into.fieldOptions.push_back(command.add_flag(
                "--shiny", into.given.shiny,
                "Make the offered creature shiny: its DVs (after --dvs, if given), or where the records keep a personality, "
                "its secret ID (the personality kept; in Polished Crystal, the personality's shiny bit)."));
        }
        if (row.field == Field::Personality) {
            into.fieldOptions.push_back(command.add_option(
                "--nature", into.given.nature,
                "The nature, by name: the nearest personality from the current one upward with it, the same gender and "
                "Unown letter (after --personality, if given); in Polished Crystal, the personality's nature bits."));
        }
    }
    writeOptions(command, into.write);
    paddingOption(command, into.write);
    sourceOption(command, into.write);
}

}  // namespace

const Command kSet{"set", "Change fields of one trade; the others keep their bytes.", setOptions, set};

const Command kImport{"import", "Apply a JSON trade table as one save; nothing is written if any value is refused.",
                      [](CLI::App& command, Arguments& into) {
                          romArgument(command, into);
                          command.add_option("FILE", into.tableFile, "The JSON table (\"-\" for standard input).")->required();
                          writeOptions(command, into.write);
                          paddingOption(command, into.write);
                          sourceOption(command, into.write);
                      },
                      importTable};

const Command kChecksums{
    "checksums", "Show whether the ROM's checksums are consistent, or make them so.",
    [](CLI::App& command, Arguments& into) {
        romArgument(command, into);
        command.add_flag("--fix", into.fix, "Make the header checksum, the global checksum and the Stadium data consistent.");
        command.add_flag("--dry-run", into.write.dryRun, "With --fix: print the bytes that would change; write nothing.");
        command.add_flag("--make-writable", into.write.makeWritable, "With --fix: save into a read-only ROM, making it writable.");
        command.add_option("-o,--output", into.write.output,
                           "With --fix: write a copy to FILE (replaced if it exists); the ROM is left as it is.");
        command.add_flag("--json", into.json, "Print JSON.");
    },
    checksums};

}  // namespace kestrane::cli
