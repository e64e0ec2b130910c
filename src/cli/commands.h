// The command line's commands: each a row {name, help, options, run}, its
// code beside the commands of its kind (reading, writing, sharing). The
// parser builds only the command named, from its row.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/pictures.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

namespace kestrane::cli {

struct Context {
    std::ostream& out;
    std::ostream& err;
    FileSystem& fs;

    // Tells the user and gives the exit code the error calls for.
    int fail(const Error& error) const;
    // Every problem of an input that was refused as a whole.
    int refuse(const Problems& problems) const;
};

// What set, import and checksums --fix share.
struct WriteOptions {
    bool dryRun = false;
    bool leaveChecksums = false;
    bool makeWritable = false;
    std::string output;  // -o: write a copy there, the ROM untouched
    NamePadding padding = NamePadding::Release;  // of typed names
    bool paddingGiven = false;  // --pad-with-terminator
    bool source = false;        // --source: the build tree's trade file too
};

struct PictureOptions {
    std::string species;
    bool shiny = false;
    std::string unown;
    int scale = 1;
    std::string output;
};

// Every value an option or argument of a command gives; a command's
// options fill the part it reads.
struct Arguments {
    std::string rom;     // ROM, or CLEAN
    std::string edited;  // EDITED
    std::string output;
    std::string tableFile;
    std::string patchFile;
    std::string showPicture;
    int slot = 0;
    bool json = false;
    bool quiet = false;
    bool anyGame = false;
    bool fix = false;
    PictureOptions picture;
    GivenEdit given;
    std::vector<CLI::Option*> fieldOptions;  // set's: one of them must be given
    WriteOptions write;
};

struct Command {
    std::string_view name;
    std::string_view help;
    void (*options)(CLI::App& command, Arguments& into);
    int (*run)(const Context& ctx, Arguments& given);
};

// The commands, in the order --help lists them.
extern const Command kInfo, kList, kShow, kPicture, kSet, kSpecies, kItems, kPatch, kApply, kDiff, kExport, kImport,
    kChecksums;

// The options most commands share.
void romArgument(CLI::App& command, Arguments& into);
void jsonFlag(CLI::App& command, Arguments& into);
void writeOptions(CLI::App& command, WriteOptions& into);
void paddingOption(CLI::App& command, WriteOptions& into);
void sourceOption(CLI::App& command, WriteOptions& into);
inline constexpr const char* kSlotHelp =
    "The trade slot: 1 up to the slots the ROM lists (seven, or as many as its table has records).";

// The ROM and one slot of it.
struct OpenTrade {
    Rom rom;
    TradeReading reading;
};
Result<OpenTrade> openTrade(const Context& ctx, const std::string& path, int number);

// The front picture written as PNG to a file of its own.
int writePicture(const Context& ctx, const Rom& rom, int species, PictureLook look, int scale, const std::string& output);

}  // namespace kestrane::cli
