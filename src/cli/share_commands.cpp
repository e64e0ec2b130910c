#include <cctype>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reports.h"
#include "exchange/table_file.h"
#include "families/families.h"
#include "patch/patch_file.h"
#include "support/words.h"
#include "trades/creature_list.h"
#include "trades/rom_diff.h"
#include "trades/save.h"

namespace kestrane::cli {
namespace {

using namespace exchange;

int picture(const Context& ctx, Arguments& a) {
    const PictureOptions& o = a.picture;
    auto rom = openRom(a.rom, families::all(), ctx.fs);
    if (!rom) return ctx.fail(rom.error());
    auto species = findSpecies(o.species, *rom->species);
    if (!species) return ctx.fail(species.error());
    PictureLook look{o.shiny, 'A'};
    if (!o.unown.empty()) {
        const std::string_view forms = rom->release->family().unownForms();
        const char letter = o.unown.size() == 1 ? char(std::toupper(static_cast<unsigned char>(o.unown[0]))) : 0;
        if (letter == 0 || forms.find(letter) == std::string_view::npos) {
            return ctx.fail(refused(ErrorCode::InvalidArgument, echoed(o.unown) + " is no Unown form: give a letter, A to Z" +
                                                                    (forms.size() > 26 ? ", ! or ?." : ".")));
        }
        look.unownLetter = letter;
    }
    return writePicture(ctx, *rom, *species, look, o.scale, o.output);
}

int exportCommand(const Context& ctx, Arguments& a) {
    const std::string& path = a.rom;
    const std::string& output = a.output;
    // The table is only read: whether the ROM is marked read-only is not asked.
    auto rom = openRom(path, families::all(), ctx.fs, RomParts{.gameData = true, .checksums = false, .readOnly = false});
    if (!rom) return ctx.fail(rom.error());
    auto tree = openTradeSource(*rom, ctx.fs);
    if (!tree) return ctx.fail(tree.error());
    const auto places = sourcePlaces(*tree);
    const exchange::SourcePlaces* source = places ? &*places : nullptr;
    if (!output.empty() && output != "-") {
        auto written = exchange::exportTable(*rom, output, ctx.fs, source);
        return written ? kDone : ctx.fail(written.error());
    }
    auto written = exchange::writeExport(*rom, ctx.out, ctx.fs, source);
    return written ? kDone : ctx.fail(written.error());
}

int patch(const Context& ctx, Arguments& a) {
    const std::string& output = a.output;
    auto written = createPatch(a.rom, a.edited, output, a.anyGame ? GameCheck::AnyGame : GameCheck::SameGame, ctx.fs);
    if (!written) return ctx.fail(written.error());
    ctx.out << "Wrote " << (written->format == PatchFormat::Bps ? "a BPS" : "an IPS") << " patch of "
            << counted(std::int64_t(written->patchSize), "byte") << " to " << quoted(output) << ": "
            << counted(std::int64_t(written->bytesDiffer), "byte") << (written->bytesDiffer == 1 ? " differs" : " differ")
            << ".\n";
    return kDone;
}

int apply(const Context& ctx, Arguments& a) {
    const std::string& patchFile = a.patchFile;
    const std::string& rom = a.rom;
    const std::string& output = a.output;
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
int diff(const Context& ctx, Arguments& a) {
    const bool json = a.json, quiet = a.quiet;
    auto found = diffRoms(a.rom, a.edited, families::all(), ctx.fs);
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

}  // namespace

const Command kPicture{"picture", "Write a species' front picture, as the ROM draws it, to a PNG file.",
                       [](CLI::App& command, Arguments& into) {
                           PictureOptions& o = into.picture;
                           romArgument(command, into);
                           command.add_option("SPECIES", o.species, "The species: number or name.")->required();
                           command.add_flag("--shiny", o.shiny, "In its shiny colours.");
                           command.add_option("--unown", o.unown, "For Unown: the form's letter, A to Z (the third generation also ! and ?).");
                           command.add_option("--scale", o.scale, "Each pixel as N x N pixels (1 to 16).")->check(CLI::Range(1, 16));
                           command.add_option("-o,--output", o.output, "The PNG file to write.")->required();
                       },
                       picture};

const Command kPatch{"patch", "Write a patch (BPS or IPS, by the file's name) that turns CLEAN into EDITED.",
                     [](CLI::App& command, Arguments& into) {
                         command.add_option("CLEAN", into.rom, "The clean ROM the players have.")->required();
                         command.add_option("EDITED", into.edited, "The edited ROM.")->required();
                         command.add_option("-o,--output", into.output, "The patch file: a name ending in .bps or .ips.")->required();
                         command.add_flag("--any", into.anyGame, "Make the patch even when the two are not the same game.");
                     },
                     patch};

const Command kApply{"apply", "Apply a patch (BPS or IPS, by what it holds) to ROM, writing the patched ROM to OUT.",
                     [](CLI::App& command, Arguments& into) {
                         command.add_option("PATCH", into.patchFile, "The .bps or .ips patch.")->required();
                         command.add_option("ROM", into.rom, "The ROM the patch was made for; it is left as it is.")->required();
                         command.add_option("-o,--output", into.output,
                                            "The patched ROM: a new file (replaced if it exists; never ROM or PATCH).")
                             ->required();
                     },
                     apply};

const Command kDiff{"diff", "Show what differs between two ROMs: their trades field by field, then the rest.",
                    [](CLI::App& command, Arguments& into) {
                        command.add_option("CLEAN", into.rom, "The clean ROM.")->required();
                        command.add_option("EDITED", into.edited, "The edited ROM.")->required();
                        command.add_flag("--json", into.json, "Print JSON.");
                        command.add_flag("-q,--quiet", into.quiet,
                                         "Print nothing: the exit status alone says whether the ROMs differ (0 the same, 1 different).");
                    },
                    diff};

const Command kExport{"export", "Write the whole trade table as JSON.",
                      [](CLI::App& command, Arguments& into) {
                          romArgument(command, into);
                          command.add_option("-o,--output", into.output, "Write to this file instead of standard output.");
                      },
                      exportCommand};

}  // namespace kestrane::cli
