#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "cli/commands.h"
#include "cli/png.h"
#include "families/families.h"
#include "support/words.h"
#include "trades/releases.h"
#include "version.h"
#include "support/new_file.h"

namespace kestrane::cli {
namespace {

// The one place that turns a kind of error into an exit code.
int exitCodeOf(const Error& error) { return error.isFileFailure() ? kIoFailure : kRefused; }

// The commands, in the order --help lists them.
const Command* const kCommands[] = {&kInfo,  &kList,  &kShow, &kPicture, &kSet,    &kSpecies,  &kItems,
                                    &kPatch, &kApply, &kDiff, &kExport,  &kImport, &kChecksums};

// Runs the command named first, its parser alone made (making every
// command's options is most of a short command's time). Where none is
// named (help, a misspelt name, none), every command is made without its
// options, for the list --help prints and the usage error.
int runCommands(int argc, const char* const* argv, const Context& ctx) {
    CLI::App app{"Kestrane: read and edit the in-game trades of " + gamesText(families::all(), "and") + " ROMs."};
    app.name("kestrane-cli");
    // Options begin with "-" everywhere: on Windows too, "/roms/crystal.gbc" is a path.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("kestrane-cli ") + kVersionText);
    app.require_subcommand(1);

    const std::string named = argc > 1 ? argv[1] : "";
    const Command* chosen = nullptr;
    for (const Command* command : kCommands) {
        if (command->name == named) chosen = command;
    }
    Arguments arguments;
    for (const Command* command : kCommands) {
        if (chosen && command != chosen) continue;
        CLI::App* made = app.add_subcommand(std::string(command->name), std::string(command->help));
        if (chosen) command->options(*made, arguments);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, ctx.out, ctx.err);
        return code == 0 ? kDone : kUsage;
    }
    if (!chosen) {
        // Reached only where something came before the command's name ("--", say).
        ctx.err << "Give the command first: kestrane-cli COMMAND ARGUMENTS.\nRun with --help for more information.\n";
        return kUsage;
    }
    return chosen->run(ctx, arguments);
}

}  // namespace

int Context::fail(const Error& error) const {
    err << describe(error) << '\n';
    if (!error.detail.empty()) err << error.detail << '\n';
    return exitCodeOf(error);
}

int Context::refuse(const Problems& problems) const { return fail(nothingWritten(together(problems))); }

void romArgument(CLI::App& command, Arguments& into) {
    command.add_option("ROM", into.rom, "The " + romFileKindsText(families::all()) + " file.")->required();
}

void jsonFlag(CLI::App& command, Arguments& into) { command.add_flag("--json", into.json, "Print JSON."); }

void writeOptions(CLI::App& command, WriteOptions& o) {
    command.add_flag("--dry-run", o.dryRun, "Print what would change, field by field and byte by byte; write nothing.");
    command.add_flag("--leave-checksums", o.leaveChecksums, "Leave the global checksum and the Stadium data as they are.");
    command.add_flag("--make-writable", o.makeWritable, "Save into a read-only ROM, making it writable first.");
    command.add_option("-o,--output", o.output, "Write the result to FILE (replaced if it exists); the ROM is left as it is.");
}


// For the commands that write typed names.
void paddingOption(CLI::App& command, WriteOptions& o) {
    command.add_flag_callback("--pad-with-terminator", [&o] { o.padding = NamePadding::Terminator, o.paddingGiven = true; },
                      "Pad a typed name shorter than its field with the terminator (0x50, or Polished Crystal's 0x53), as the games' builds do (" +
                          gameNames(gamesWhere(families::all(), GameRows::Any, [](const Release& r) { return r.layout.nickname.padding == 0x20; })) +
                          " pad with 0x20 otherwise; " + gameNames(gamesWhere(families::all(), GameRows::Every, [](const Release& r) {
                              return r.layout.nickname.padding == r.charset().terminator();
                          })) +
                          " always with the terminator).");
}

// For the commands that save trades into a ROM that may lie in its build tree.
void sourceOption(CLI::App& command, WriteOptions& o) {
    command.add_flag("--source", o.source,
                     "Write the edit into the build tree's trade file too, so that the next build keeps it: names padded and "
                     "checksums made as the tree's build makes them. Refused where the trade file is not in step with the ROM.");
}

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

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, FileSystem& fs) {
    const int code = runCommands(argc, argv, Context{out, err, fs});
    // What was printed must have reached its reader: a full disk is no success.
    if (!out.flush()) {
        err << "Could not write to standard output: the disk may be full, or the program reading it has ended. "
               "The command's report is incomplete.\n";
        return code == kDone ? kIoFailure : code;
    }
    return code;
}

}  // namespace kestrane::cli
