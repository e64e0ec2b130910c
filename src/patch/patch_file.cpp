#include "patch/patch_file.h"
#include "platform/gb/cartridge.h"

#include <algorithm>

#include "patch/patch_formats.h"
#include "support/byte_scan.h"
#include "support/words.h"
#include "trades/releases.h"
#include "support/new_file.h"

namespace kestrane {
namespace {

// No file larger than this is read as a ROM to patch: twice the largest ROM.
constexpr std::int64_t kLargestPatched = 2 * kLargestRomSize;

Result<std::vector<std::uint8_t>> romBytes(FileSystem& fs, const std::string& path) {
    auto bytes = readWholeFile(fs, path, kLargestPatched);
    if (!bytes) return inContext(bytes.error(), "Could not read " + quoted(path));
    return bytes;
}

std::string gameCodeOf(const std::vector<std::uint8_t>& rom) {
    if (rom.size() < std::size_t(kMinimumRomSize)) return {};
    return std::string(rom.begin() + kGameCodeOffset, rom.begin() + kMinimumRomSize);
}

}  // namespace

Result<PatchFormat> patchFormatOf(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::string_view extension = dot == std::string::npos ? std::string_view() : std::string_view(path).substr(dot);
    for (const PatchKind& kind : kPatchKinds) {
        if (sameLetters(extension, kind.extension)) return kind.format;
    }
    return refused(ErrorCode::InvalidArgument, quoted(path) + " names no patch format: give a file name ending in .bps "
                                                              "(the format that checks what it patches) or .ips.");
}

Result<PatchReport> createPatch(const std::string& clean, const std::string& edited, const std::string& patchPath,
                                GameCheck games, FileSystem& fs) {
    auto format = patchFormatOf(patchPath);
    if (!format) return format.error();
    auto source = romBytes(fs, clean);
    if (!source) return source.error();
    auto target = romBytes(fs, edited);
    if (!target) return target.error();
    if (*source == *target) {
        return refused(ErrorCode::InvalidArgument, quoted(clean) + " and " + quoted(edited) + " are the same: nothing differs; no patch written.");
    }
    const std::string from = gameCodeOf(*source), to = gameCodeOf(*target);
    if (from != to && games == GameCheck::SameGame) {
        return refused(ErrorCode::UnsupportedRom,
                       quoted(clean) + " is not the same game as " + quoted(edited) + " (game code \"" +
                           printableGameCode(from) + "\", not \"" + printableGameCode(to) +
                           "\"): a patch made from it would not fit the players' copies. Give --any to make one anyway.");
    }
    PatchReport report;
    report.format = *format;
    report.bytesDiffer = countDifferences(*source, *target);
    std::vector<std::uint8_t> patch;
    if (*format == PatchFormat::Bps) {
        patch = bpsPatch(*source, *target);
    } else {
        auto ips = ipsPatch(*source, *target);
        if (!ips) return inContext(ips.error(), "Could not make an IPS patch of " + quoted(edited));
        patch = std::move(*ips);
    }
    const ProtectedFile never[] = {{clean, "the clean ROM"}, {edited, "the edited ROM"}};
    if (auto written = writeNewFile(fs, patchPath, patch, never); !written) {
        return inContext(written.error(), "Could not write the patch to " + quoted(patchPath));
    }
    report.patchSize = patch.size();
    return report;
}

Result<ApplyReport> applyPatchFile(const std::string& patchPath, const std::string& romPath, const std::string& outPath,
                                   FileSystem& fs) {
    // A whole hack's patch is about as large as the ROM it makes.
    auto patch = readWholeFile(fs, patchPath, kLargestPatched);
    if (!patch) return inContext(patch.error(), "Could not read the patch " + quoted(patchPath));
    auto source = romBytes(fs, romPath);
    if (!source) return source.error();
    auto applied = applyPatch(*patch, *source, std::size_t(kLargestPatched));
    if (!applied) return applied.error();  // a refusal that says what is wrong with the patch
    const ProtectedFile never[] = {{romPath, "the ROM"}, {patchPath, "the patch"}};
    if (auto written = writeNewFile(fs, outPath, applied->target, never); !written) {
        return inContext(written.error(), "Could not write the patched ROM to " + quoted(outPath));
    }
    return ApplyReport{applied->format == AppliedFormat::Bps ? PatchFormat::Bps : PatchFormat::Ips,
                       countDifferences(*source, applied->target)};
}

}  // namespace kestrane
