#include "families/gen3/third_generation_rows.h"

#include "families/gen3/third_generation_charset.h"
#include "families/gen3/third_generation_table.h"

namespace kestrane {
namespace {

// The IVs as the summary screen gives them (HP, Atk, Def, SpA, SpD, Spe),
// each at its index in the record's order (HP, Atk, Def, Spe, SpA, SpD).
constexpr std::uint8_t kIvsStored[] = {0, 1, 2, 4, 5, 3};
constexpr NumberPlace kNumbers[] = {
    {Field::Ivs, 0x0E, 1, 6, 31, kIvsStored},
    {Field::AbilityNum, 0x14, 1, 1, 1},
    {Field::SecretId, 0x1A, 2, 1, 0xFFFF},
    {Field::Contest, 0x1C, 1, 5, 0xFF},
    {Field::Personality, 0x24, 4, 1, 0xFFFFFFFF},
    {Field::Mail, 0x2A, 1, 1, 0xFF},
    {Field::TrainerGender, 0x36, 1, 1, 1},
    {Field::Sheen, 0x37, 1, 1, 0xFF},
};
constexpr std::uint32_t kPads[] = {0x0B, 0x15, 0x16, 0x17, 0x21, 0x22, 0x23, 0x3A, 0x3B};

// Every release's record: names of 11 bytes holding their 0xFF (the game
// copies 10 letters of the nickname, 7 of the trainer's), zeros after.
constexpr RecordLayout kRecord60{
    .key = kOwnLayoutKey,
    .description = "60-byte records (the third generation's)",
    .size = gen3::kRecordSize,
    .dialogSetAt = std::nullopt,
    .requestedSpeciesAt = 0x38,
    .offeredSpeciesAt = 0x0C,
    .speciesWidth = 2,
    .lastSpecies = 411,
    .nickname = {0x00, 11, false, 0x00, 10},
    .dvsAt = std::nullopt,
    .heldItemAt = 0x28,
    .itemWidth = 2,
    .trainerIdAt = 0x18,
    .trainerName = NameLayout{0x2B, 11, false, 0x00, 7},
    .genderRequirementAt = std::nullopt,
    .callerOffsets = {},
    .wordReads = {},
    .numbers = kNumbers,
    .zeroBytes = kPads,
};

const TextDialect& noDialect() {
    static const TextDialect dialect{{}, {}, {}, 0xFF};
    return dialect;
}

constexpr std::string_view kEmeraldPlaces[] = {"Rustboro City", "Fortree City", "Pacifidlog Town", "Battle Frontier"};
constexpr std::string_view kKantoPlaces[] = {"Route 2",        "Cerulean City",   "Underground Path", "Vermilion City",
                                             "Route 11",       "Route 18",        "Cinnabar Island",  "Cinnabar Island",
                                             "Cinnabar Island"};

using Row = ThirdGenerationRow;

// GetInGameTradeSpeciesInfo in the tables of specials the scripts call.
constexpr std::uint16_t kEmeraldSpecial = 0xFF, kOtherSpecial = 0xFC;

constexpr std::uint8_t kFirst[] = {0}, kSecond[] = {1}, kLater[] = {1, 2};

constexpr Row row(std::string_view code, std::string_view name, std::string_view game, std::span<const std::uint8_t> revisions,
                  std::uint32_t table, int records, std::uint32_t pokedex, int mailRows, std::span<const std::string_view> places,
                  std::uint16_t special, std::optional<FrontPictureTables> pictures = std::nullopt,
                  DeoxysFrame deoxys = DeoxysFrame::Second) {
    return Row{{.code = code, .name = name, .language = Language::English, .game = game,
                .revisions = revisions, .layout = kRecord60, .charset = &gen3::englishCharset, .dialect = &noDialect,
                .usualTable = table, .ownRecords = records, .dialogSets = {}, .family = &thirdGenerationFamily,
                .slotOrder = SlotOrder::TableOrder},
               pokedex, mailRows, places, special, pictures, deoxys};
}

constexpr Row kRows[] = {
    row("BPEE", "Pok\u00e9mon Emerald", "Emerald", kFirst, 0x338ED0, 4, 0x31DC82, 3, kEmeraldPlaces, kEmeraldSpecial),
    row("BPRE", "Pok\u00e9mon FireRed", "FireRed", kFirst, 0x26CF8C, 9, 0x251FEE, 1, kKantoPlaces, kOtherSpecial),
    row("BPRE", "Pok\u00e9mon FireRed", "FireRed", kSecond, 0x26CFFC, 9, 0x25205E, 1, kKantoPlaces, kOtherSpecial),
    row("BPGE", "Pok\u00e9mon LeafGreen", "LeafGreen", kFirst, 0x26CF6C, 9, 0x251FCA, 1, kKantoPlaces, kOtherSpecial),
    row("BPGE", "Pok\u00e9mon LeafGreen", "LeafGreen", kSecond, 0x26CFDC, 9, 0x25203A, 1, kKantoPlaces, kOtherSpecial),
    row("AXVE", "Pok\u00e9mon Ruby", "Ruby", kFirst, 0x215AC4, 3, 0x1FC516, 2, std::span(kEmeraldPlaces).first(3), kOtherSpecial,
        FrontPictureTables{0x1E8354, 0x1EA5B4, 0x1EB374}, DeoxysFrame::First),
    row("AXVE", "Pok\u00e9mon Ruby", "Ruby", kLater, 0x215ADC, 3, 0x1FC52E, 2, std::span(kEmeraldPlaces).first(3), kOtherSpecial,
        FrontPictureTables{0x1E836C, 0x1EA5CC, 0x1EB38C}, DeoxysFrame::First),
    row("AXPE", "Pok\u00e9mon Sapphire", "Sapphire", kFirst, 0x215A54, 3, 0x1FC4A6, 2, std::span(kEmeraldPlaces).first(3), kOtherSpecial,
        FrontPictureTables{0x1E82E4, 0x1EA544, 0x1EB304}, DeoxysFrame::First),
    row("AXPE", "Pok\u00e9mon Sapphire", "Sapphire", kLater, 0x215A6C, 3, 0x1FC4BE, 2, std::span(kEmeraldPlaces).first(3), kOtherSpecial,
        FrontPictureTables{0x1E82FC, 0x1EA55C, 0x1EB31C}, DeoxysFrame::First),
};

constexpr const Release* kRowList[] = {&kRows[0], &kRows[1], &kRows[2], &kRows[3], &kRows[4],
                                       &kRows[5], &kRows[6], &kRows[7], &kRows[8]};

// The Japanese and European releases: known by their codes, not edited.
constexpr KnownRelease kKnown[] = {
    {"BPEJ", std::nullopt, "Pok\u00e9mon Emerald in Japanese"},   {"BPRJ", std::nullopt, "Pok\u00e9mon FireRed in Japanese"},
    {"BPGJ", std::nullopt, "Pok\u00e9mon LeafGreen in Japanese"}, {"AXVJ", std::nullopt, "Pok\u00e9mon Ruby in Japanese"},
    {"AXPJ", std::nullopt, "Pok\u00e9mon Sapphire in Japanese"},
};

}  // namespace

std::span<const Release* const> thirdGenerationRows() { return kRowList; }
std::span<const KnownRelease> thirdGenerationKnownReleases() { return kKnown; }

}  // namespace kestrane
