#include "trades/games.h"

#include <gtest/gtest.h>

#include "helpers/rom_image.h"
#include "support/fault_injection.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(IdentifyRom, RecognisesTheThreeGamesExactly) {
    TempDir dir;
    struct Case {
        const char* code;
        const char* name;  // nullptr: unsupported
    };
    for (const Case& c : {Case{"AAUE", "Pok\u00e9mon Gold"}, Case{"AAXE", "Pok\u00e9mon Silver"},
                          Case{"BYTE", "Pok\u00e9mon Crystal"}, Case{"aaue", nullptr}, Case{"byte", nullptr},
                          Case{"AAUF", nullptr}, Case{"\x00\x00\x00\x00", nullptr}}) {
        const Bytes rom = makeRom(std::string_view(c.code, 4));
        const std::string path = dir.write("rom.gbc", rom);
        auto identity = identifyRom(path);
        ASSERT_TRUE(identity) << identity.error().message;
        EXPECT_EQ(identity->gameCode, std::string(c.code, 4));
        if (c.name) {
            ASSERT_NE(identity->game, nullptr) << c.code;
            EXPECT_EQ(identity->game->name, c.name);
            EXPECT_EQ(identity->game->code, c.code);
            EXPECT_EQ(identity->game->language, "English");
        } else {
            EXPECT_EQ(identity->game, nullptr) << c.code;
        }
        EXPECT_EQ(readFile(path), rom);
    }
    EXPECT_EQ(printableGameCode("AAUF"), "AAUF");
    EXPECT_EQ(printableGameCode(std::string("\x00\xFF" "AB", 4)), "00 FF 41 42");
}

TEST(IdentifyRom, RefusesWhatIsNoRomFileWithAMessage) {
    TempDir dir;
    Bytes header = makeRom("BYTE");
    header.resize(0x143);
    const std::string exact = dir.write("exact.gb", header);
    ASSERT_TRUE(identifyRom(exact));  // the header is all it needs

    header.resize(0x142);
    const std::string cut = dir.write("cut.gb", header);
    const std::string empty = dir.write("empty.gb", {});

    struct Case {
        std::string path;
        ErrorCode code;
    };
    for (const Case& c : {Case{dir.file("missing.gb"), ErrorCode::FileNotFound},
                          Case{"", ErrorCode::FileNotFound},
                          Case{dir.folder(), ErrorCode::PathFileAccess},
                          Case{cut, ErrorCode::FileTooShort},
                          Case{empty, ErrorCode::FileTooShort},
                          Case{dir.file("cut.gb/x"), ErrorCode::PathNotFound}}) {
        auto identity = identifyRom(c.path);
        ASSERT_FALSE(identity) << c.path;
        EXPECT_EQ(identity.error().code, c.code) << c.path << ": " << identity.error().message;
        EXPECT_FALSE(identity.error().message.empty());
    }
    EXPECT_EQ(readFile(cut).size(), 0x142u);

    FaultInjectingFileSystem failing;
    failing.failCall(2, makeError(ErrorCode::DeviceIo, "injected"));  // open, then the read
    auto broken = identifyRom(exact, failing);
    ASSERT_FALSE(broken);
    EXPECT_EQ(broken.error().code, ErrorCode::DeviceIo);
    EXPECT_NE(broken.error().message.find("exact.gb"), std::string::npos);
}

}  // namespace
}  // namespace kestrane
