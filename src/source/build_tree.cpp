#include "source/build_tree.h"

#include "platform/gb/symbol_file.h"
#include "support/hex_text.h"
#include "trades/game_family.h"

namespace kestrane {
namespace {

// A build's symbol file lists every label of the game: a few hundred KiB.
constexpr std::int64_t kLargestSymbolFile = std::int64_t(16) << 20;

// "dir/" of "dir/name.gbc" (empty: the working folder), and "name".
std::pair<std::string, std::string> folderAndStem(const std::string& path) {
    const std::size_t slash = path.find_last_of(kPathSeparators);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return {folder, name};
}

}  // namespace

Result<bool> isRegularFile(FileSystem& fs, const std::string& path) {
    auto status = fs.status(path);
    if (!status) return inContext(status.error(), "Could not look for " + quoted(path));
    return status->type == FileStatus::Type::Regular;
}

Result<std::optional<BuildTree>> findBuildTree(const Rom& rom, FileSystem& fs) {
    const auto [folder, stem] = folderAndStem(rom.path);
    BuildTree tree{folder.empty() ? std::string(".") : folder, folder + stem + ".sym",
                   std::string(rom.release->family().tableLabel()), std::nullopt, std::nullopt};
    auto makefile = isRegularFile(fs, folder + "Makefile");
    if (!makefile) return makefile.error();
    if (!*makefile) return std::optional<BuildTree>();
    auto symbols = isRegularFile(fs, tree.symbolFile);
    if (!symbols) return symbols.error();
    if (!*symbols) return std::optional<BuildTree>();
    auto bytes = readWholeFile(fs, tree.symbolFile, kLargestSymbolFile);
    if (!bytes) return inContext(bytes.error(), "Could not read the symbol file " + quoted(tree.symbolFile));
    auto labels = readSymbolFile(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!labels) return inContext(labels.error(), "Could not read the symbol file " + quoted(tree.symbolFile));
    tree.table = labels->offsetOf(tree.tableLabel);
    if (tree.table) tree.tableEnd = labels->nextAfter(*tree.table);
    return std::optional<BuildTree>(std::move(tree));
}

std::string symbolsDisagree(const BuildTree& tree, const Rom& rom) {
    if (!tree.table) return quoted(tree.symbolFile) + " names no " + tree.tableLabel + ".";
    if (!rom.table) return "the game's code reads no trade table, but " + quoted(tree.symbolFile) + " puts " + tree.tableLabel + " at " +
                           hexOffset(*tree.table) + ".";
    if (*tree.table != rom.table->offset) {
        return quoted(tree.symbolFile) + " puts " + tree.tableLabel + " at " + hexOffset(*tree.table) +
               ", but the game's code reads the trades at " + hexOffset(rom.table->offset) + ": the ROM and the symbols are of two builds.";
    }
    return {};
}

}  // namespace kestrane
