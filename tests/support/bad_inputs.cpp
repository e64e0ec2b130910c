#include "support/bad_inputs.h"

#include "support/file_systems.h"

namespace kestrane::testing {

std::vector<BadOpen> badOpens(const TempDir& dir) {
    Bytes header = randomImage("AAUE");
    header.resize(0x142);
    Bytes random = randomImage("", 99);
    random[0x13F] = 0x13;  // no game code Kestrane knows, whatever the seed gives
    // A symbol file of a build: lines of text where a header would be.
    std::string symbols;
    while (symbols.size() < 0x400) symbols += "01:4000 Func_" + std::to_string(symbols.size()) + "\n";
    std::string longFolder;
    while (longFolder.size() <= 300) longFolder += std::string(60, 'd') + "/";
    auto crystalAt = [&](const std::string& folder) {
        std::filesystem::create_directories(fsPath(dir.file(folder)));
        return dir.write(folder + "Kristall \u00e9.gbc", retailLikeRom("BYTE", 3));
    };
    using enum ErrorKind;
    std::vector<BadOpen> rows = {
        {"missing path", dir.file("missing.gb"), ErrorCode::FileNotFound, FileFailure, "the file does not exist"},
        {"empty path", "", ErrorCode::FileNotFound, FileFailure, "no file name was given"},
        {"a directory", dir.folder(), ErrorCode::PathFileAccess, FileFailure, "it is a folder, not a file"},
        {"an empty file", dir.write("empty.gb", {}), ErrorCode::FileTooShort, Refused, "too short to be a Game Boy ROM (0 bytes)"},
        {"0x142 bytes", dir.write("short.gb", header), ErrorCode::FileTooShort, Refused, "(322 bytes)"},
        {"random bytes", dir.write("random.gb", random), ErrorCode::UnsupportedRom, Refused, "Unsupported ROM."},
        {"lower-case code", dir.write("lower.gb", randomImage("byte")), ErrorCode::UnsupportedRom, Refused, "Unsupported ROM."},
        {"a text file", dir.write("pokered.sym", Bytes(symbols.begin(), symbols.end())), ErrorCode::UnsupportedRom, Refused,
         "This is not a Game Boy ROM (no cartridge header)."},
        {"a device", deviceFile(), ErrorCode::PathFileAccess, FileFailure, "not a regular file"},
        {"spaces and accents", crystalAt("My ROMs \u00e9t\u00e9 \u30ed\u30e0/"), std::nullopt, Refused, ""},
        {"a long path", crystalAt(longFolder), std::nullopt, Refused, ""},
    };
    if (auto fifo = makeFifo(dir.file("pipe.gb"))) {
        rows.push_back({"a FIFO", *fifo, ErrorCode::PathFileAccess, FileFailure, "not a regular file"});
    }
    return rows;
}

}  // namespace kestrane::testing
