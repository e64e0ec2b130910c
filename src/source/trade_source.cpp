#include "source/trade_source.h"

#include <algorithm>

#include "support/folders.h"
#include "support/utf.h"

namespace kestrane {
namespace {

// A trade file, a constants file, the charmap, the Makefile: a few KiB each.
constexpr std::int64_t kLargestSourceFile = std::int64_t(4) << 20;

std::string joined(const std::string& root, const std::string& relative) {
    return root.empty() || root == "." ? relative : (root.back() == '/' || root.back() == '\\' ? root : root + "/") + relative;
}

Result<std::string> readText(FileSystem& fs, const std::string& path) {
    auto bytes = readWholeFile(fs, path, kLargestSourceFile);
    if (!bytes) return bytes.error();
    return std::string(bytes->begin(), bytes->end());
}

// Why a file's text is none the assembler reads as Kestrane does, or empty.
std::string textFault(const std::string& text, const std::string& file) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        return file + " begins with a byte order mark, which the assembler does not expect: save it as UTF-8 without one.";
    }
    if (!fromUtf8(text)) return file + " is not UTF-8 text: save it as UTF-8.";
    return {};
}

bool definesLabel(std::string_view text, std::string_view label) {
    for (std::size_t at = text.find(label); at != std::string_view::npos; at = text.find(label, at + 1)) {
        if ((at == 0 || text[at - 1] == '\n') && at + label.size() < text.size() && text[at + label.size()] == ':') return true;
    }
    return false;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of(kPathSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why the tree's constants and charmap cannot be read, or empty; read into source.
std::string readNames(FileSystem& fs, TradeSource& source) {
    auto constants = std::make_shared<SourceConstants>();
    std::vector<std::string> files;
    for (const std::string& file : filesUnder(joined(source.tree.root, "constants"), ".asm")) files.push_back("constants/" + file);
    auto rootConstants = isRegularFile(fs, joined(source.tree.root, "constants.asm"));
    if (!rootConstants) return rootConstants.error().message;
    if (*rootConstants) files.push_back("constants.asm");
    for (const std::string& file : files) {
        auto text = readText(fs, joined(source.tree.root, file));
        if (!text) return inContext(text.error(), "Could not read " + file).message;
        if (auto done = constants->read(*text, file); !done) return done.error().message;
    }
    std::string charmapFile;
    for (const char* file : {"constants/charmap.asm", "charmap.asm"}) {
        auto there = isRegularFile(fs, joined(source.tree.root, file));
        if (!there) return there.error().message;
        if (*there && charmapFile.empty()) charmapFile = file;
    }
    if (charmapFile.empty()) {
        return "The build tree has no charmap (constants/charmap.asm or charmap.asm), so Kestrane cannot read its names.";
    }
    auto text = readText(fs, joined(source.tree.root, charmapFile));
    if (!text) return inContext(text.error(), "Could not read " + charmapFile).message;
    // Names written with rawchar are in its charmap, not the main one.
    auto charmap = readCharmap(*text, writesRawNames(source.text) ? kRawCharmap : std::string_view());
    if (!charmap) return inContext(charmap.error(), charmapFile).message;
    source.constants = std::move(constants);
    source.charmap = std::make_shared<SourceCharmap>(std::move(*charmap));
    return {};
}

// Why the rows are not the ROM's table, or empty; an error where the ROM cannot be read.
Result<std::string> compareWithRom(FileSystem& fs, const Rom& rom, const TradeSource& source) {
    const RecordLayout& layout = rom.release->layout;
    const std::vector<SourceRow>& rows = source.rows->rows;
    const std::string rowsMake = source.file + "'s rows make records of " + std::to_string(rows.front().bytes.size()) + " bytes";
    if (rows.front().bytes.size() != layout.size) {
        return rowsMake + ", but the game reads " + std::to_string(layout.size) + ": Kestrane cannot tell its rows from the ROM's records.";
    }
    std::vector<std::uint8_t> table(std::size_t(rom.table->records) * layout.size);
    auto file = fs.open(rom.path, OpenMode::Read);
    auto read = file ? readExactly(**file, rom.table->offset, table) : Result<void>(file.error());
    if (!read) return inContext(read.error(), "Could not read the table of " + quoted(rom.path));
    const bool romOlder = writtenBefore(rom.path, source.path).value_or(true);
    auto differs = [&](const std::string& what) {
        return romOlder ? source.romName + " is older than " + source.file + " (" + what + "): run make, then open it again"
                        : source.romName + " holds edits that " + source.file + " does not (" + what +
                              "): the next build replaces them";
    };
    if (rows.size() != std::size_t(rom.table->records)) {
        return differs(source.file + " has " + std::to_string(rows.size()) + " rows, the ROM's table " +
                       std::to_string(rom.table->records) + " records");
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!std::equal(rows[i].bytes.begin(), rows[i].bytes.end(), table.begin() + std::ptrdiff_t(i * layout.size))) {
            return differs("record " + std::to_string(i) + " differs");
        }
    }
    return std::string();
}

}  // namespace

std::string TradeSource::state() const {
    return inStep() ? file + " (in step)" : notInStep;
}

std::optional<int> TradeSource::lineOf(std::size_t record) const {
    if (!rows || record >= rows->rows.size()) return std::nullopt;
    return rows->rows[record].line;
}

std::vector<int> TradeSource::lines() const {
    std::vector<int> all;
    if (rows) for (const SourceRow& row : rows->rows) all.push_back(row.line);
    return all;
}

Result<std::optional<TradeSource>> openTradeSource(const Rom& rom, FileSystem& fs) {
    if (!rom.table) return std::optional<TradeSource>();
    auto tree = findBuildTree(rom, fs);
    TradeSource source;
    source.romName = fileName(rom.path);
    if (!tree) {
        if (tree.error().code != ErrorCode::NotASourceForm && tree.error().code != ErrorCode::TooLarge) return tree.error();
        source.notInStep = tree.error().message;
        return std::optional<TradeSource>(std::move(source));
    }
    if (!*tree) return std::optional<TradeSource>();
    source.tree = std::move(**tree);
    auto done = [&]() -> Result<std::optional<TradeSource>> { return std::optional<TradeSource>(std::move(source)); };
    if (source.notInStep = symbolsDisagree(source.tree, rom); !source.inStep()) return done();

    // The file the build reads the table from: the one .asm that defines its label.
    std::vector<std::string> defining;
    std::string text;
    const std::vector<std::string> files = filesUnder(source.tree.root, "");
    const std::string stem = source.romName.substr(0, source.romName.rfind('.'));
    for (const std::string& file : files) {
        // Another build's symbols beside its ROM at the root: a ROM made from the same files.
        if (file.find('/') == std::string::npos && file.ends_with(".sym") && file != stem + ".sym") {
            for (const char* extension : {".gbc", ".gb"}) {
                const std::string rom = file.substr(0, file.size() - 4) + extension;
                if (std::binary_search(files.begin(), files.end(), rom)) source.otherRoms.push_back(rom);
            }
        }
        if (!file.ends_with(".asm")) continue;
        auto read = readText(fs, joined(source.tree.root, file));
        if (!read && read.error().code == ErrorCode::TooLarge) continue;  // no trade file is so large
        if (!read) {
            source.notInStep = inContext(read.error(), "Could not read " + file).message;
            return done();
        }
        if (!definesLabel(*read, source.tree.tableLabel)) continue;
        defining.push_back(file);
        text = std::move(*read);
    }
    if (defining.empty()) {
        source.notInStep = "No .asm file of the build tree defines " + source.tree.tableLabel + ", so Kestrane cannot find its trade file.";
        return done();
    }
    if (defining.size() > 1) {
        source.notInStep = "Both " + defining[0] + " and " + defining[1] + " define " + source.tree.tableLabel +
                           ": Kestrane cannot tell which one the build reads.";
        return done();
    }
    source.file = defining.front();
    source.path = joined(source.tree.root, source.file);
    source.text = std::move(text);
    if (source.notInStep = textFault(source.text, source.file); !source.inStep()) return done();
    if (source.notInStep = readNames(fs, source); !source.inStep()) return done();
    auto rows = readTradeFile(source.text, source.tree.tableLabel, source.file, *source.constants, *source.charmap,
                              rom.release->layout.size);
    if (!rows) {
        source.notInStep = rows.error().message;
        return done();
    }
    source.rows = std::move(*rows);
    auto compared = compareWithRom(fs, rom, source);
    if (!compared) return compared.error();
    if (source.notInStep = *compared; !source.inStep()) return done();
    if (auto makefile = readText(fs, joined(source.tree.root, "Makefile"))) {
        source.rebuildsStadium = makefile->find("tools/stadium") != std::string::npos;
    }
    return done();
}

}  // namespace kestrane
