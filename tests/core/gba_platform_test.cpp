// The Game Boy Advance platform: a cartridge header's identity and its
// complement, routines found by their bytes in 16 and 32 MiB images read in
// pieces, and the pointers their literal pools hold; and the third
// generation's table found through them, its records, read-outs and characters.
#include "platform/gba/game_boy_advance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "families/gen3/third_generation_charset.h"
#include "families/gen3/third_generation_record.h"
#include "families/gen3/third_generation_table.h"
#include "platform/gba/cartridge.h"
#include "platform/gba/thumb_search.h"
#include "support/gba_image.h"
#include "support/rom_image.h"
#include "text/game_text.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(GameBoyAdvance, TheHeadersIdentityAndComplement) {
    const Platform& platform = gameBoyAdvancePlatform();
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        std::string code, title;
        bool header;
        ChecksumStatus complement;
        std::string refusal;
    };
    for (const Case& c : std::vector<Case>{
             {"Emerald", [](Bytes&) {}, "BPEE", "POKEMON EMER", true, ChecksumStatus::Consistent, ""},
             {"a stale complement", [](Bytes& b) { b[gba::kComplementAt] ^= 1; }, "BPEE", "POKEMON EMER", true, ChecksumStatus::Stale, ""},
             {"no fixed byte", [](Bytes& b) { b[gba::kFixedAt] = 0; }, "BPEE", "POKEMON EMER", false, ChecksumStatus::Stale, ""},
             {"cut before the code", [](Bytes& b) { b.resize(0xAE); }, "", "", false, ChecksumStatus::Absent,
              "is too short to be a Game Boy Advance ROM (174 bytes): it ends before the game code of the cartridge header. "
              "Choose a Pok\u00e9mon Emerald ROM."},
         }) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Bytes image = gbaImage("POKEMON EMER", "BPEE", 0, 0x200);
        c.change(image);
        const std::string path = dir.write("rom.gba", image);
        auto file = nativeFileSystem().open(path, OpenMode::Read);
        ASSERT_TRUE(file);
        auto identity = platform.identify(**file, path, "Pok\u00e9mon Emerald");
        if (!c.refusal.empty()) {
            ASSERT_FALSE(identity);
            EXPECT_NE(identity.error().message.find(c.refusal), std::string::npos) << identity.error().message;
            continue;
        }
        ASSERT_TRUE(identity) << identity.error().message;
        EXPECT_EQ(identity->gameCode, c.code);
        EXPECT_EQ(identity->title, c.title);
        EXPECT_EQ(identity->cartridgeHeader, c.header);
        auto state = platform.readChecksumState(**file, std::int64_t(image.size()));
        ASSERT_TRUE(state);
        EXPECT_EQ(state->of(0), c.complement);
        // A fix makes it consistent; no save of trades reaches the header.
        EXPECT_TRUE(platform.checks()[0].onlyByFix);
        auto checks = platform.imageChecks(image, {});
        checks->update(CheckSet{true});
        EXPECT_EQ(checks->state().of(0), ChecksumStatus::Consistent);
    }
    EXPECT_EQ(platform.fileKinds()[0].mimeType, "application/x-gba-rom");
    EXPECT_EQ(platform.largestImage(), 32 << 20);
}

TEST(GameBoyAdvance, RoutinesFoundByTheirBytesAndTheirPoolsRead) {
    static constexpr int kForm[] = {0x70, 0xB5, 0x0C, 0x48, -1, -1, -1, -1, 0x08, 0x48, 0x21, 0x8F};
    const gba::ThumbPattern pattern{kForm, 0};
    const auto piece = std::uint32_t(kSearchPiece);
    struct Case {
        const char* name;
        std::size_t size;
        std::vector<std::uint32_t> at;     // where the routine is put
        std::vector<std::uint32_t> found;  // where it is found
    };
    for (const Case& c : std::vector<Case>{
             {"a 16 MiB image", 16 << 20, {0x7E774}, {0x7E774}},
             {"across a piece's end", 16 << 20, {piece - 6}, {piece - 6}},
             {"a copy in the upper half of 32 MiB", 32 << 20, {0x7E774, 0x1800000}, {0x7E774, 0x1800000}},
             {"at an odd place: no Thumb code", 16 << 20, {0x7E775}, {}},
             {"cut short by the file's end", 16 << 20, {(16u << 20) - 6}, {}},
         }) {
        SCOPED_TRACE(c.name);
        Bytes image(c.size);
        std::mt19937 random(7);
        for (auto& b : image) b = std::uint8_t(random());
        for (std::uint32_t at : c.at) {
            for (std::size_t i = 0; i < std::size(kForm) && at + i < image.size(); ++i) {
                if (kForm[i] >= 0) image[at + i] = std::uint8_t(kForm[i]);
            }
        }
        TempDir dir;
        const std::string path = dir.write("rom.gba", image);
        auto file = nativeFileSystem().open(path, OpenMode::Read);
        ASSERT_TRUE(file);
        auto found = gba::findPattern(**file, std::int64_t(image.size()), pattern);
        ASSERT_TRUE(found) << found.error().message;
        EXPECT_EQ(*found, c.found);
    }
    // A pool's word names a byte of the ROM (0x08000000 on), or nothing.
    Bytes image(16 << 20, 0);
    for (auto [at, word] : {std::pair{0x100u, 0x08338ED0u}, std::pair{0x104u, 0x02000000u}, std::pair{0x108u, 0x09FFFFFFu}}) {
        for (int i = 0; i < 4; ++i) image[at + i] = std::uint8_t(word >> (8 * i));
    }
    TempDir dir;
    auto file = nativeFileSystem().open(dir.write("rom.gba", image), OpenMode::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(*gba::poolPointer(**file, 0x100, std::int64_t(image.size())), 0x338ED0u);
    EXPECT_EQ(*gba::poolPointer(**file, 0x104, std::int64_t(image.size())), std::nullopt);  // work RAM
    EXPECT_EQ(*gba::poolPointer(**file, 0x108, std::int64_t(image.size())), std::nullopt);  // past this 16 MiB file
    EXPECT_EQ(*gba::poolPointer(**file, (16u << 20) - 2, std::int64_t(image.size())), std::nullopt);
}


// The third generation's trade table, through the game's code or by its records alone.
TEST(ThirdGenerationTable, FoundThroughTheCodeOrItsRecords) {
    const std::vector<Trade60> trades(4, Trade60{});
    struct Case {
        const char* name;
        std::size_t size;
        std::function<void(Bytes&)> place;
        std::optional<gen3::FoundTable> found;
        std::string refusal;
    };
    const auto inPlace = [&](Bytes& rom) {
        putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, kEmeraldTable, 0x3185C8);
        putTable60(rom, kEmeraldTable, trades);
    };
    for (const Case& c : std::vector<Case>{
             {"Emerald's table in place", kGbaRomSize, inPlace,
              gen3::FoundTable{gen3::TableFoundBy::Routine, kEmeraldTable, kEmeraldSpeciesInfo, 0x3185C8}, ""},
             {"moved to the upper half of 32 MiB, every pool changed", kGbaLargestSize,
              [&](Bytes& rom) {
                  putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, 0x3185C8);
                  putTable60(rom, 0x1F00000, trades);
              },
              gen3::FoundTable{gen3::TableFoundBy::Routine, 0x1F00000, kEmeraldSpeciesInfo, 0x3185C8}, ""},
             {"a pool left at the old place", kGbaLargestSize,
              [&](Bytes& rom) { putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, 0x3185C8, kEmeraldTable); }, std::nullopt,
              "The game's code reads the trade table at two places: GetInGameTradeSpeciesInfo at 0x1F00000, "
              "CreateInGameTradePokemonInternal at 0x338ED0. A hack that moved it must change every pointer; Kestrane writes none."},
             {"two copies of the code", kGbaRomSize,
              [&](Bytes& rom) {
                  inPlace(rom);
                  putSpeciesInfoRoutine(rom, 0x100000, kEmeraldTable, 0x3185C8);
              },
              std::nullopt, "stands at 2 places, 0x7E73C and 0x100000"},
             {"no code: the one run of records", kGbaRomSize, [&](Bytes& rom) { putTable60(rom, 0x9A0000, trades); },
              gen3::FoundTable{gen3::TableFoundBy::Records, 0x9A0000, std::nullopt, std::nullopt}, ""},
             {"no code, two runs: none", kGbaRomSize,
              [&](Bytes& rom) {
                  putTable60(rom, 0x9A0000, trades);
                  putTable60(rom, 0xA00000, trades);
              },
              std::nullopt, ""},
         }) {
        SCOPED_TRACE(c.name);
        Bytes rom = gbaImage("POKEMON EMER", "BPEE", 0, c.size);
        c.place(rom);
        TempDir dir;
        auto file = nativeFileSystem().open(dir.write("rom.gba", rom), OpenMode::Read);
        ASSERT_TRUE(file);
        auto found = gen3::findTradeTable(**file, std::int64_t(rom.size()));
        if (!c.refusal.empty()) {
            ASSERT_FALSE(found);
            EXPECT_NE(found.error().message.find(c.refusal), std::string::npos) << found.error().message;
            continue;
        }
        ASSERT_TRUE(found) << found.error().message;
        ASSERT_EQ(found->has_value(), c.found.has_value());
        if (!c.found) continue;
        EXPECT_EQ((*found)->by, c.found->by);
        EXPECT_EQ((*found)->table, c.found->table);
        EXPECT_EQ((*found)->routine, c.found->routine);
        EXPECT_EQ((*found)->speciesNames, c.found->speciesNames);
    }
}

TEST(ThirdGenerationTable, RecordsPassTheGamesChecks) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        bool passes;
    };
    for (const Case& c : std::vector<Case>{
             {"a record as the games hold them", [](Bytes&) {}, true},
             {"a pad byte set", [](Bytes& r) { r[0x22] = 1; }, false},
             {"an IV of 32", [](Bytes& r) { r[0x13] = 32; }, false},
             {"ability 2", [](Bytes& r) { r[0x14] = 2; }, false},
             {"OT gender 2", [](Bytes& r) { r[0x36] = 2; }, false},
             {"species 412", [](Bytes& r) { r[0x0C] = 412 & 0xFF, r[0x0D] = 412 >> 8; }, false},
             {"requested species 411", [](Bytes& r) { r[0x38] = 411 & 0xFF, r[0x39] = 411 >> 8; }, true},
             {"a nickname without its end", [](Bytes& r) { std::fill(r.begin(), r.begin() + 11, 0xBB); }, false},
             {"a trainer's name without its end", [](Bytes& r) { std::fill(r.begin() + 0x2B, r.begin() + 0x36, 0xBB); }, false},
         }) {
        SCOPED_TRACE(c.name);
        Bytes record = record60(Trade60{});
        c.change(record);
        EXPECT_EQ(gen3::isTradeRecord(record), c.passes);
    }
    // The eleven releases, each by its code and version.
    EXPECT_EQ(gen3::releaseFacts().size(), 11u);
    EXPECT_EQ(gen3::factsOf("AXPE", 2)->usualTable, 0x215A6Cu);
    EXPECT_EQ(gen3::factsOf("BPRE", 1)->records, 9);
    EXPECT_EQ(gen3::factsOf("BPEE", 1), nullptr);
    // An expansion base is told by its magic.
    Bytes base = gbaImage("POKEMON EMER", "BPEE", 0, 0x1000);
    std::copy_n("RHHEXP", 6, base.begin() + 0x204);
    TempDir dir;
    auto file = nativeFileSystem().open(dir.write("base.gba", base), OpenMode::Read);
    EXPECT_TRUE(*gen3::isExpansionBase(**file));
    auto plain = nativeFileSystem().open(dir.write("plain.gba", gbaImage("POKEMON EMER", "BPEE", 0, 0x1000)), OpenMode::Read);
    EXPECT_FALSE(*gen3::isExpansionBase(**plain));
}


// What the game makes of a record's personality and IDs, and the record's fields read and written.
TEST(ThirdGenerationRecord, TheGamesReadOutsOfAPersonality) {
    EXPECT_EQ(gen3::natureName(gen3::natureOf(0x84)), "Relaxed");  // 132 % 25 = 7
    EXPECT_EQ(gen3::natureName(gen3::natureOf(24)), "Quirky");
    struct GenderCase {
        std::uint8_t ratio;
        std::uint32_t personality;
        gen3::CreatureGender gender;
    };
    for (const GenderCase& c : std::vector<GenderCase>{{127, 0x84, gen3::CreatureGender::Male},
                                                       {127, 0x7E, gen3::CreatureGender::Female},
                                                       {31, 0x10, gen3::CreatureGender::Female},
                                                       {0, 0x00, gen3::CreatureGender::Male},
                                                       {254, 0xFF, gen3::CreatureGender::Female},
                                                       {255, 0x00, gen3::CreatureGender::Genderless}}) {
        EXPECT_EQ(gen3::genderOf(c.ratio, c.personality), c.gender) << int(c.ratio) << " " << c.personality;
    }
    EXPECT_FALSE(gen3::isShiny(0x1234, 0x0001, 0x84));
    const std::uint16_t secret = gen3::shinySecretId(0x1234, 0xDEADBEEF);
    EXPECT_TRUE(gen3::isShiny(0x1234, secret, 0xDEADBEEF));
    for (auto [personality, letter] : {std::pair{0x00000000u, 0}, std::pair{0x00000003u, 3}, std::pair{0x00000300u, 12},
                                       std::pair{0x03000000u, 192 % 28}, std::pair{0xFFFFFFFFu, 255 % 28}}) {
        EXPECT_EQ(gen3::unownLetterOf(personality), letter) << personality;
    }
    // A nature chosen: the nearest personality upward that keeps the gender and the letter.
    for (auto [current, nature, ratio] : {std::tuple{0x84u, 0, std::uint8_t(127)}, std::tuple{0xFFFFFFF0u, 12, std::uint8_t(31)},
                                          std::tuple{0x12345678u, 24, std::uint8_t(255)}}) {
        const std::uint32_t p = gen3::personalityWithNature(current, nature, ratio);
        EXPECT_EQ(gen3::natureOf(p), nature);
        EXPECT_EQ(gen3::genderOf(ratio, p), gen3::genderOf(ratio, current));
        EXPECT_EQ(gen3::unownLetterOf(p), gen3::unownLetterOf(current));
        for (std::uint32_t q = current; q != p; ++q) {
            ASSERT_FALSE(gen3::natureOf(q) == nature && gen3::genderOf(ratio, q) == gen3::genderOf(ratio, current) &&
                         gen3::unownLetterOf(q) == gen3::unownLetterOf(current))
                << q;
        }
    }
    // The IVs in the summary screen's order and back.
    const std::array<std::uint8_t, 6> stored = {31, 20, 21, 22, 23, 24};  // HP, Atk, Def, Spe, SpA, SpD
    EXPECT_EQ(gen3::summaryOrder(stored), (std::array<std::uint8_t, 6>{31, 20, 21, 23, 24, 22}));
    EXPECT_EQ(gen3::storedOrder(gen3::summaryOrder(stored)), stored);
    // Every field read where the record keeps it, and written back over the same bytes.
    Trade60 trade;
    trade.item = 0x0123, trade.mail = 2, trade.otGender = 1, trade.ability = 1, trade.requested = 0x0110;
    const Bytes bytes = record60(trade);
    const gen3::Record60 r = gen3::readRecord60(bytes);
    EXPECT_EQ(r.species, 95);
    EXPECT_EQ(r.ivs, trade.ivs);
    EXPECT_EQ(r.trainerId, 0x1234);
    EXPECT_EQ(r.secretId, 0x0001);
    EXPECT_EQ(r.personality, 0x84u);
    EXPECT_EQ(r.heldItem, 0x0123);
    EXPECT_EQ(r.mail, 2);
    EXPECT_EQ(r.trainerGender, 1);
    EXPECT_EQ(r.abilityNum, 1);
    EXPECT_EQ(r.sheen, 10);
    EXPECT_EQ(r.requested, 0x0110);
    EXPECT_EQ(r.contest, trade.contest);
    EXPECT_EQ(r.nickname[5], 0xFF);
    Bytes again(0x3C, 0);
    gen3::writeRecord60(r, again);
    EXPECT_EQ(again, bytes);
}


// Names in the third generation's own characters, both ways.
TEST(ThirdGenerationCharset, NamesInTheGamesCharacters) {
    const Charset& charset = gen3::englishCharset();
    for (auto [text, bytes] : {std::pair{u"ROCKY", Bytes{0xCC, 0xC9, 0xBD, 0xC5, 0xD3}},
                               std::pair{u"Mr. Mime", Bytes{0xC7, 0xE6, 0xAD, 0x00, 0xC7, 0xDD, 0xE1, 0xD9}},
                               std::pair{u"FARFETCH\u2019D", Bytes{0xC0, 0xBB, 0xCC, 0xC0, 0xBF, 0xCE, 0xBD, 0xC2, 0xB4, 0xBE}},
                               std::pair{u"\u00c9l\u00e8ve \u2642", Bytes{0x06, 0xE0, 0x1A, 0xEA, 0xD9, 0x00, 0xB5}}}) {
        EXPECT_EQ(encodeGameText(text, charset), bytes);
        Bytes terminated = bytes;
        terminated.push_back(0xFF);
        terminated.push_back(0x00);
        EXPECT_EQ(decodeGameText(terminated, charset), text);
    }
    EXPECT_EQ(charset.terminator(), 0xFF);
    EXPECT_TRUE(findUnencodable(u"A\u3042", charset).has_value());  // kana belong to the Japanese font
}

}  // namespace
}  // namespace kestrane
