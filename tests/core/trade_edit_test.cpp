// Planning an edit: what a person gives, checked and fitted; every problem at once.
#include "trades/trade_edit.h"

#include <gtest/gtest.h>

#include <functional>

#include "families/gen2/second_generation_layouts.h"

#include "core/trade_fixture.h"
#include "families/families.h"
#include "support/utf.h"
#include "trades/releases.h"
#include "trades/field_table.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

class TradeEditTest : public TradeRecordTest {};

TEST_F(TradeEditTest, TrainerIdIsCheckedRoundedAndWrittenLowByteFirst) {
    struct Accepted {
        std::string text;
        std::uint8_t low, high;
    };
    for (const Accepted& c : std::vector<Accepted>{{"0", 0x00, 0x00},
                                                   {"65535", 0xFF, 0xFF},
                                                   {"37460", 0x54, 0x92},
                                                   {" 12 ", 0x0C, 0x00},
                                                   {"1.4", 0x01, 0x00},
                                                   {"0.5", 0x01, 0x00},
                                                   {"1.5", 0x02, 0x00},
                                                   {"2.5", 0x03, 0x00},
                                                   {"65534.5", 0xFF, 0xFF},
                                                   {"65535.000", 0xFF, 0xFF},
                                                   {"-0", 0x00, 0x00},
                                                   {"+7", 0x07, 0x00},
                                                   {"007", 0x07, 0x00},
                                                   {".9", 0x01, 0x00},
                                                   // The 0x form every number may be written in.
                                                   {"0x10", 0x10, 0x00},
                                                   {"0xFFFF", 0xFF, 0xFF}}) {
        GivenEdit text;
        text.trainerId = c.text;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(record[17], c.low) << c.text;
        EXPECT_EQ(record[18], c.high) << c.text;
    }

    struct Refused {
        std::string text;
        ErrorCode code;
    };
    for (const Refused& c : std::vector<Refused>{{"", ErrorCode::IdNotANumber},
                                                 {"   ", ErrorCode::IdNotANumber},
                                                 {"1e5", ErrorCode::IdNotANumber},
                                                 {"0x", ErrorCode::IdNotANumber},
                                                 {"0x1G", ErrorCode::IdNotANumber},
                                                 {"0x10000", ErrorCode::IdOutOfRange},
                                                 {"12abc", ErrorCode::IdNotANumber},
                                                 {"1.2.3", ErrorCode::IdNotANumber},
                                                 {".", ErrorCode::IdNotANumber},
                                                 {"1 2", ErrorCode::IdNotANumber},
                                                 {"\uff11", ErrorCode::IdNotANumber},
                                                 {"-1", ErrorCode::IdOutOfRange},
                                                 {"-0.5", ErrorCode::IdOutOfRange},
                                                 {"65536", ErrorCode::IdOutOfRange},
                                                 {"70000", ErrorCode::IdOutOfRange},
                                                 {"65535.0001", ErrorCode::IdOutOfRange},
                                                 {"99999999999999999999", ErrorCode::IdOutOfRange}}) {
        GivenEdit text;
        text.trainerId = c.text;
        SCOPED_TRACE(c.text);
        expectRefused(text, c.code);
        auto parsed = parseTrainerId(c.text);
        ASSERT_FALSE(parsed);
        if (c.code == ErrorCode::IdOutOfRange) EXPECT_EQ(parsed.error().message, kIdRangeMessage);
        else EXPECT_NE(parsed.error().message.find(kIdRangeMessage), std::string::npos);
    }
}

TEST_F(TradeEditTest, EditedNamesAreEncodedAndFittedToTenBytes) {
    struct Case {
        std::string text;
        Bytes field;
    };
    for (const Case& c : std::vector<Case>{
             {"", {0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             {"A", {0x80, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             // Ten characters leave no room for the terminator: the 11th byte, never written, is it.
             {"ABCDEFGHIJ", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}},
             {"[PK][PK][PK][PK][PK][PK][PK][PK][PK]", {0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0x50}},
             {"a b", {0xA0, 0x7F, 0xA1, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             {"HO-OH", {0x87, 0x8E, 0xE3, 0x8E, 0x87, 0x50, 0x20, 0x20, 0x20, 0x20}},
             {"MR. ZAP", {0x8C, 0x91, 0xE8, 0x7F, 0x99, 0x80, 0x8F, 0x50, 0x20, 0x20}},
             {"\u2642'sPOK\u00e9", {0xEF, 0xD4, 0x54, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             // A typed "\" is a byte like any other; after a full field it is dropped (a full field needs no end).
             {"ABCDEFGHIJ\\", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}},
             {"AB\\CD", {0x80, 0x81, 0x50, 0x82, 0x83, 0x50, 0x20, 0x20, 0x20, 0x20}},
         }) {
        GivenEdit text;
        text.nickname = c.text;
        text.trainerName = c.text;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(Bytes(record.begin() + 3, record.begin() + 13), c.field) << c.text;
        EXPECT_EQ(Bytes(record.begin() + 19, record.begin() + 29), c.field) << c.text;
        EXPECT_EQ(record[13], 0x50);
        EXPECT_EQ(record[29], 0x50);
        // Padded as the games' builds pad, where the user asks: 0x50 for every 0x20 after the name.
        text.padding = NamePadding::Terminator;
        GivenEdit first;  // another name first, so that the text is typed anew
        first.nickname = first.trainerName = std::string("Q");
        saveAndReadRecord(edited(first));
        record = saveAndReadRecord(edited(text));
        Bytes games = c.field;
        for (std::size_t at = std::size_t(std::find(games.begin(), games.end(), 0x50) - games.begin()); at < games.size(); ++at) {
            if (games[at] == 0x20) games[at] = 0x50;
        }
        EXPECT_EQ(Bytes(record.begin() + 3, record.begin() + 13), games) << c.text;
        EXPECT_EQ(Bytes(record.begin() + 19, record.begin() + 29), games) << c.text;
    }
    // The room a box shows counts every byte a save writes: it agrees with the save.
    struct Room {
        std::u16string text;
        std::size_t used;
        bool saves;
    };
    for (const Room& r : {Room{u"ABCDEFGHIJ\\", 10, true}, Room{u"AB\\CDEFGHIJKLMN", 15, false}, Room{u"ABCDEFGHIJK", 11, false},
                          Room{u"[PK]\\", 2, true}, Room{u"ABCDEFGHI\\\\", 10, true}}) {
        EXPECT_EQ(nameRoom(value, read(), NameRole::Nickname, r.text)->used, r.used) << toUtf8(r.text);
        EXPECT_EQ(resolveName(value, read(), NameRole::Nickname, r.text).ok(), r.saves) << toUtf8(r.text);
    }
}

TEST_F(TradeEditTest, EveryProblemOfAnEditIsToldAtOnce) {
    struct Case {
        std::u16string text;
        ErrorCode code;
        std::string named;
    };
    for (const Case& c : std::vector<Case>{{u"AB%C", ErrorCode::UnencodableName, "\"%\" (U+0025), character 3"},
                                           {u"R@D", ErrorCode::UnencodableName, "\"@\" (U+0040), character 2"},
                                           {u"Caf\u00e8", ErrorCode::UnencodableName, "(U+00E8), character 4"},
                                           {u"{", ErrorCode::UnencodableName, "\"{\" (U+007B), character 1"},
                                           {u"\U0001F600", ErrorCode::UnencodableName, "(U+1F600), character 1"},
                                           {u"\u00a3", ErrorCode::UnencodableName, "(U+00A3), character 1"},
                                           {u"a\tb", ErrorCode::UnencodableName, "(U+0009), character 2"},
                                           {std::u16string(1, u'\0'), ErrorCode::UnencodableName, "(U+0000)"},
                                           {u"\u3042", ErrorCode::UnencodableName, "(U+3042), character 1"},
                                           {std::u16string(1, u'\xD800'), ErrorCode::UnencodableName, "(U+FFFD)"},
                                           {u"ABCDEFGHIJK", ErrorCode::NameTooLong, "needs 11 bytes"}}) {
        SCOPED_TRACE(toUtf8(c.text));
        GivenEdit text;
        text.nickname = toUtf8(c.text);
        text.trainerName = toUtf8(c.text);
        text.trainerId = "70000";
        text.offeredSpecies = "";
        text.heldItem = "Lucky Eg";
        text.dvs = "0/16/0/0";
        text.genderRequirement = "3";
        text.dialogSet = "girl";  // Crystal's alone
        auto resolved = resolveEdit(value, read(), text);
        ASSERT_FALSE(resolved);
        const Problems& problems = resolved.error();
        ASSERT_EQ(problems.size(), 8u);
        EXPECT_EQ(problems[4].code, ErrorCode::UnknownItem);
        EXPECT_EQ(problems[5].code, ErrorCode::DvOutOfRange);
        EXPECT_EQ(problems[6].code, ErrorCode::UnknownGenderRequirement);
        EXPECT_EQ(problems[7].code, ErrorCode::UnknownDialogSet);
        EXPECT_EQ(problems[0].code, ErrorCode::IdOutOfRange);
        EXPECT_EQ(problems[1].code, ErrorCode::SpeciesNotChosen);
        for (int i : {2, 3}) {
            EXPECT_EQ(problems[std::size_t(i)].code, c.code);
            EXPECT_NE(problems[std::size_t(i)].message.find(c.named), std::string::npos) << problems[std::size_t(i)].message;
            EXPECT_NE(problems[std::size_t(i)].message.find(i == 2 ? "nickname" : "trainer"), std::string::npos);
        }
    }
    // Typed values the text door cannot give are refused by the plan, all at once too.
    TradeEdit typed = uneditedEdit(read());
    typed.offeredSpecies = 252;
    typed.dvs = Dvs{0, 16, 0, 0};
    typed.genderRequirement = GenderRequirement(3);
    typed.dialogSet = 3;
    typed.nickname = NameBytes(11, 0x80);
    auto planned = planTradeRecord(value, typed);
    ASSERT_FALSE(planned);
    EXPECT_EQ(planned.error().size(), 5u);
    expectRefused(typed, ErrorCode::SpeciesOutOfRange);
}

TEST_F(TradeEditTest, AnUneditedNameKeepsBytesTheEditorCannotShow) {
    // 0x4B and 0x01 have no character, the blanks around are trimmed, and
    // the bytes after the terminator are arbitrary: all must survive.
    const Bytes field = {0x00, 0x80, 0x4B, 0x01, 0x81, 0x00, 0x50, 0x12, 0x34, 0x56};
    std::copy(field.begin(), field.end(), rom.begin() + kGoldSlot1 + 3);
    use(rom);
    GivenEdit text;
    text.nickname = "AB";  // what the box shows
    text.trainerId = "1";
    Bytes record = saveAndReadRecord(edited(text));
    EXPECT_EQ(Bytes(record.begin() + 3, record.begin() + 13), field);
    EXPECT_EQ(record[17], 1);
}

TEST_F(TradeEditTest, ExactNameBytesAreWrittenAsGivenButNotBesideAnEditedText) {
    const NameBytes exact = {0x80, 0xE1, 0x50, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    // As a table from another ROM carries them: bytes and the text they show.
    for (const char* beside : {"", "A[PK]", "KYLE"}) {
        GivenEdit text;
        text.trainerNameBytes = exact;
        if (*beside) text.trainerName = beside;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(Bytes(record.begin() + 19, record.begin() + 29), exact) << beside;
        use(retailLikeRom("AAUE"));
    }
    GivenEdit both;
    both.nicknameBytes = exact;
    both.nickname = "OTHER";  // neither the bytes' text nor the file's
    expectRefused(both, ErrorCode::ConflictingName);
    both.nicknameBytes = NameBytes(9, 0x80);
    expectRefused(both, ErrorCode::NameTooLong);
}

TEST_F(TradeEditTest, SpeciesMustBeChosenUnlessTheStoredOneHasNoEntry) {
    for (auto [requested, offered, code] :
         {std::tuple{"", "95", ErrorCode::SpeciesNotChosen}, std::tuple{"69", "", ErrorCode::SpeciesNotChosen},
          std::tuple{"69", "252", ErrorCode::SpeciesOutOfRange}, std::tuple{"300", "95", ErrorCode::SpeciesOutOfRange},
          std::tuple{"69", "-2", ErrorCode::SpeciesNotChosen}}) {
        GivenEdit text;
        text.requestedSpecies = requested;
        text.offeredSpecies = offered;
        expectRefused(text, code);
    }

    rom[kGoldSlot1 + 1] = 252;
    rom[kGoldSlot1 + 2] = 255;
    use(rom);
    GivenEdit kept;
    kept.requestedSpecies = "";
    kept.offeredSpecies = "#255";
    kept.trainerId = "2";
    Bytes record = saveAndReadRecord(edited(kept));
    EXPECT_EQ(record[1], 252);
    EXPECT_EQ(record[2], 255);
    GivenEdit chosen;
    chosen.requestedSpecies = "0";
    EXPECT_EQ(saveAndReadRecord(edited(chosen))[1], 0);
}

// Trades the game can never carry out are saved, with a warning that says
// why, as far as the ROM's own data tells.
TEST_F(TradeEditTest, TradesThatCanNeverHappenAreSaid) {
    struct Case {
        GivenEdit given;
        std::vector<std::pair<Field, std::string>> warnings;
        int storedRequested = -1, storedOffered = -1;  // as a record holds them (an edit cannot give these)
    };
    auto gender = [](const char* species, const char* requirement) {
        GivenEdit e;
        e.requestedSpecies = std::string(species);
        e.genderRequirement = std::string(requirement);
        return e;
    };
    GivenEdit noCreature, unusedItem, noNames;
    noCreature.requestedSpecies = std::int64_t(0);
    unusedItem.heldItem = std::int64_t(250);
    noNames.nickname = "";
    noNames.trainerName = "";
    for (const Case& c : std::vector<Case>{
             {gender("Chansey", "male"),
              {{Field::GenderRequirement, "Chansey is always female, so a trader asking for a male one can never trade."}}},
             {gender("Tauros", "female"),
              {{Field::GenderRequirement, "Tauros is always male, so a trader asking for a female one can never trade."}}},
             {gender("Magnemite", "male"),
              {{Field::GenderRequirement, "Magnemite has no gender, so a trader asking for a male one can never trade."}}},
             {gender("Chansey", "female"), {}},
             // The game's check takes a genderless creature for a female one.
             {gender("Magnemite", "female"), {}},
             {gender("Tauros", "either"), {}},
             {noCreature, {{Field::RequestedSpecies, "Species 0 is no creature, so no player can ever give the trader one."}}},
             {{}, {{Field::RequestedSpecies, "Species 252 is past the last creature (251), so no player can ever give the trader one."}}, 252},
             {{}, {{Field::OfferedSpecies, "Species 253 is the egg, not a creature, so the player would receive a broken one."}}, -1, 253},
             {unusedItem,
              {{Field::HeldItem, "Item 250 (TERU-SAMA) is an unused slot, not an item, so the creature would hold nothing real."}}},
             {noNames,
              {{Field::Nickname, "The nickname is empty, so the creature would arrive without a name."},
               {Field::TrainerName, "The original trainer's name is empty, so the creature would show no trainer."}}},
         }) {
        TradeRecord stored = read();
        if (c.storedRequested >= 0) stored.requestedSpecies = std::uint8_t(c.storedRequested);
        if (c.storedOffered >= 0) stored.offeredSpecies = std::uint8_t(c.storedOffered);
        auto edit = resolveEdit(value, read(), c.given);
        ASSERT_TRUE(edit) << edit.error().front().message;
        std::vector<std::pair<Field, std::string>> said;
        for (const TradeWarning& w : c.storedRequested >= 0 || c.storedOffered >= 0 ? tradeWarnings(value, stored) : tradeWarnings(value, *edit)) {
            said.emplace_back(w.field, w.text);
        }
        EXPECT_EQ(said, c.warnings);
    }
    // A ROM whose base data is not where the release keeps it says nothing of genders.
    Bytes image = retailLikeRom("AAUE");
    image[0x51B0B + 32 * 10] = 0;
    use(image);
    ASSERT_FALSE(value.genderRatios);
    EXPECT_TRUE(tradeWarnings(value, edited(gender("Chansey", "male"))).empty());
    EXPECT_EQ(warningLine(Slot::fromNumber(4), {Field::Nickname, "The nickname is empty."}), "Warning: Trade Number 4: The nickname is empty.");
}

// Edits carried into another game (the file rebuilt as Red): what its
// records cannot hold is dropped, from the edited fields and More Fields'
// values alike, and named.
TEST_F(TradeEditTest, EditsAnotherGameCannotHoldAreDroppedByName) {
    const Release& red = *findRelease(families::all(), "POKEMON RED");
    const Release& crystal = *findRelease(families::all(), "BYTE");
    struct Case {
        const Release* into;
        std::set<Field> edited;
        std::set<Field> kept;
        std::optional<std::string> note;
    };
    for (const Case& c : std::vector<Case>{
             {&red, {Field::Nickname, Field::TrainerId}, {Field::Nickname},
              "Kept your edits to Trade Number 1 except the ID: Pok\u00e9mon Red's trades have no trainer ID."},
             {&red, {Field::TrainerId}, {},
              "Kept none of your edits to Trade Number 1: Pok\u00e9mon Red's trades have no trainer ID."},
             {&red, {Field::OfferedSpecies, Field::TrainerName, Field::HeldItem, Field::Dvs}, {Field::OfferedSpecies},
              "Kept your edits to Trade Number 1 except the original trainer, the held item and the DVs: Pok\u00e9mon Red's "
              "trades have no original trainer's name, held item or DVs."},
             {&red, {Field::Nickname, Field::DialogSet}, {Field::Nickname, Field::DialogSet}, std::nullopt},
             {&crystal, {Field::TrainerId, Field::HeldItem, Field::Dvs}, {Field::TrainerId, Field::HeldItem, Field::Dvs}, std::nullopt},
         }) {
        SCOPED_TRACE(c.note.value_or("kept whole"));
        std::set<Field> edited = c.edited;
        std::optional<TradeEdit> more = TradeEdit{};
        more->trainerId = 4242;
        more->heldItem = 3;
        more->dvs = Dvs{1, 2, 3, 4};
        EXPECT_EQ(dropFieldsNotHeld(*c.into, Slot::fromNumber(1), edited, more), c.note);
        EXPECT_EQ(edited, c.kept);
        const bool holds = c.into == &crystal;
        EXPECT_EQ(more->trainerId.has_value(), holds);
        EXPECT_EQ(more->heldItem.has_value(), holds);
        EXPECT_EQ(more->dvs.has_value(), holds);
    }
}

}  // namespace
}  // namespace kestrane

namespace kestrane {
namespace {

using namespace kestrane::testing;

// A layout that places fields of plain numbers, as the next families' records
// do: Gold's, with six IVs where its trainer's name lies and the sheen in
// its last byte; numbers narrower than a byte after the IVs, as Polished
// Crystal packs its DVs (two a byte, the first high) and keeps a form
// beside a species (bits of one byte, each field its own).
// Nothing but the layout and the field table's rows is new.
constexpr NumberPlace kPlacedNumbers[] = {{Field::Ivs, 19, 1, 6, 31},
                                          {Field::Sheen, 31, 1, 1, 255},
                                          {Field::Contest, 25, 1, 5, 15, {}, 4},
                                          {Field::TrainerGender, 28, 1, 1, 1, {}, 1, 7},
                                          {Field::Mail, 28, 1, 1, 31, {}, 5, 0}};

TEST_F(TradeEditTest, FieldsOfPlainNumbersAreReadEditedWrittenAndShownFromTheirPlaces) {
    RecordLayout layout = value.release->layout;
    layout.trainerName.reset();
    layout.zeroCount = 0;
    layout.numbers = kPlacedNumbers;
    const Release& gold = *value.release;
    const Release placed{gold.code, gold.name, gold.language, gold.nameInShort, gold.game, gold.revisions,
                         gold.reachedByLayout, layout, gold.charset, gold.dialect, gold.usualTable, gold.ownRecords,
                         gold.dialogSets, gold.family, gold.slotOrder};
    Rom rom = value;
    rom.release = &placed;
    auto reading = readTradeRecord(rom, Slot::fromNumber(2));
    ASSERT_TRUE(reading && reading->record);
    TradeRecord shown = *reading->record;
    shown.raw[19] = 31, shown.raw[31] = 7;
    shown.raw[25] = 0x9A, shown.raw[26] = 0xBC, shown.raw[27] = 0xDE, shown.raw[28] = 0xF5;
    shown = recordWith(placed, shown, shown.raw);
    ASSERT_TRUE(shown.numbers.contains(Field::Ivs));
    EXPECT_EQ(shown.numbers[Field::Sheen], std::vector<std::uint32_t>{7});
    EXPECT_EQ(shown.numbers[Field::Contest], (std::vector<std::uint32_t>{9, 10, 11, 12, 13}));
    EXPECT_EQ(shown.numbers[Field::TrainerGender], std::vector<std::uint32_t>{1});  // bit 7 of 0xF5
    EXPECT_EQ(shown.numbers[Field::Mail], std::vector<std::uint32_t>{21});          // its bits 0-4

    struct Case {
        Field field;
        Given given;
        std::string refusal;  // empty: planned into these bytes
        std::vector<std::uint8_t> bytes;
    };
    for (const Case& c : std::vector<Case>{
             {Field::Ivs, std::string("31/0/1/2/30/31"), "", {31, 0, 1, 2, 30, 31}},
             {Field::Ivs, std::string("31/0/1"), "The IVs take 6 numbers, not 3.", {}},
             {Field::Ivs, std::string("31/0/1/2/32/31"), "The IVs spDefense 32 is out of range: give 0 to 31.", {}},
             {Field::Ivs, std::string("31/x/1/2/3/4"), "\"31/x/1/2/3/4\" is not numbers for IVs.", {}},
             {Field::Sheen, std::string("255"), "", {255}},
             {Field::Sheen, std::int64_t(256), "The sheen 256 is out of range: give 0 to 255.", {}},
             // Packed: only the number's own bits change (the fifth nibble's byte keeps its low one).
             {Field::Contest, std::string("1/2/3/4/15"), "", {0x12, 0x34, 0xFE}},
             {Field::Contest, std::string("1/2/3/4/16"), "The contest conditions tough 16 is out of range: give 0 to 15.", {}},
             {Field::TrainerGender, std::string("male"), "", {0x75}},
             {Field::Mail, std::int64_t(3), "", {0xE3}},
             {Field::Mail, std::int64_t(32), "The mail 32 is out of range: give 0 to 31.", {}},
         }) {
        GivenEdit given;
        given.numbers[c.field] = c.given;
        auto edit = resolveEdit(rom, shown, given);
        if (!c.refusal.empty()) {
            ASSERT_FALSE(edit);
            EXPECT_EQ(edit.error().front().message, c.refusal);
            continue;
        }
        ASSERT_TRUE(edit) << edit.error().front().message;
        auto bytes = planTradeRecord(rom, *edit);
        ASSERT_TRUE(bytes);
        const std::uint32_t at = rom.release->layout.numberPlace(c.field)->at;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes->begin() + at, bytes->begin() + at + c.bytes.size()), c.bytes);
        // Shown, and told as a change, by the field's row.
        const TradeRecord after = recordWith(placed, shown, *bytes);
        const auto changes = fieldChanges(rom, shown, after);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].label, fieldRow(c.field).label);
    }
    // Every field but the trade itself is a row of the field table.
    for (int f = 0; f <= int(Field::StatDvs); ++f) EXPECT_EQ(findFieldRow(Field(f)) == nullptr, Field(f) == Field::Presence) << f;
    // and no two rows share a JSON key, an option or a box's name: each front end tells the fields apart by them.
    std::set<std::string_view> keys, options, boxes;
    for (const FieldRow& row : kFieldRows) {
        EXPECT_TRUE(keys.insert(row.key).second) << row.key;
        EXPECT_TRUE(options.insert(row.option).second) << row.option;
        for (std::string_view box : {row.objectName, row.warningName}) EXPECT_TRUE(box.empty() || boxes.insert(box).second) << box;
        for (const FieldPart& part : row.parts) EXPECT_TRUE(boxes.insert(part.objectName).second) << part.objectName;
    }
    // A record with no other evidence passes only with every number within its place's most.
    RecordBytes over = shown.raw;
    for (std::uint32_t i = 0; i < 6; ++i) over[19 + i] = std::uint8_t(i);
    EXPECT_EQ(strictRecordFault(over, layout, int(gold.dialogSets.size()), gold.charset()), RecordFault::None);
    over[21] = 32;
    EXPECT_EQ(strictRecordFault(over, layout, int(gold.dialogSets.size()), gold.charset()), RecordFault::Number);
    EXPECT_EQ(recordFaultText(RecordFault::Number, over, layout, gold.charset()), "one of its IVs is 32, more than 31");
    // A species word sharing its second byte with other fields (Polished Crystal's
    // ext << 5 | form): each reads and writes its own bits alone.
    static constexpr NumberPlace kSharing[] = {{Field::Mail, 2, 1, 1, 31, {}, 5, 0}, {Field::TrainerGender, 4, 1, 1, 1, {}, 1, 7}};
    RecordLayout wide = kRecordWideSpecies;
    wide.speciesHighShift = 5, wide.speciesHighBits = 2, wide.numbers = kSharing;
    const Release sharing{gold.code, gold.name, gold.language, gold.nameInShort, gold.game, gold.revisions,
                          gold.reachedByLayout, wide, gold.charset, gold.dialect, gold.usualTable, gold.ownRecords,
                          gold.dialogSets, gold.family, gold.slotOrder};
    Rom shared = value;
    shared.release = &sharing;
    RecordBytes raw(std::uint32_t(32));  // zeros
    raw[1] = 0x19, raw[2] = 0x2A, raw[3] = 0x40, raw[4] = 0x83;  // species 0x119 with 10 beside it; 64, bit 7 set
    const TradeRecord both = recordWith(sharing, shown, raw);
    EXPECT_EQ(both.requestedSpecies, 0x119);
    EXPECT_EQ(both.offeredSpecies, 64);
    EXPECT_EQ(both.numbers.at(Field::Mail), std::vector<std::uint32_t>{10});
    EXPECT_EQ(both.numbers.at(Field::TrainerGender), std::vector<std::uint32_t>{1});
    for (auto [give, at, byte1, byte2] : {std::tuple{std::function<void(GivenEdit&)>([](GivenEdit& g) { g.requestedSpecies = std::int64_t(25); }),
                                                     1u, 0x19, 0x0A},
                                          std::tuple{std::function<void(GivenEdit&)>([](GivenEdit& g) { g.numbers[Field::Mail] = std::int64_t(3); }),
                                                     1u, 0x19, 0x23},
                                          std::tuple{std::function<void(GivenEdit&)>([](GivenEdit& g) { g.offeredSpecies = std::int64_t(25); }),
                                                     3u, 0x19, 0x83}}) {
        GivenEdit given;
        give(given);
        auto edit = resolveEdit(shared, both, given);
        ASSERT_TRUE(edit) << edit.error().front().message;
        auto bytes = planTradeRecord(shared, *edit);
        ASSERT_TRUE(bytes) << bytes.error().front().message;
        EXPECT_EQ((*bytes)[at], byte1) << at;
        EXPECT_EQ((*bytes)[at + 1], byte2) << at;
    }
    // The release without them refuses them by name.
    GivenEdit sheen;
    sheen.giveText(Field::Sheen, "3");
    auto refused = resolveEdit(value, read(), sheen);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().front().code, ErrorCode::NoSuchField);
}

}  // namespace
}  // namespace kestrane
