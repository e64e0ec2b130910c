// Ruby, Sapphire, Emerald, FireRed and LeafGreen: a code in the GBA header,
// no count of the trades, the table through GetInGameTradeSpeciesInfo's
// pools, species by internal index shown by their Pokédex numbers, and what
// the game makes of a record's personality and IDs.
#include <algorithm>
#include <memory>

#include "families/gen3/third_generation_record.h"
#include "families/gen3/third_generation_rows.h"
#include "families/gen3/third_generation_table.h"
#include "platform/gba/game_boy_advance.h"
#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "text/game_text.h"
#include "trades/creature_list.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/trade_warnings.h"

namespace kestrane {
namespace {

constexpr int kInternalSpecies = 411;  // the table's entries, from species 1
constexpr int kKantoJohto = 251;       // internal = Pokédex number up to here
constexpr int kUnusedFirst = 252, kUnusedLast = 276;  // no creature; the table maps them to 387-411
constexpr std::uint32_t kNameLength = 11;
constexpr SpeciesId kUnown = 201;
constexpr ItemId kFirstMail = 121, kLastMail = 132;  // Orange Mail to Retro Mail
constexpr std::uint32_t kNoMail = 0xFF;

// Whether the u16s read are the internal-to-Pokédex table: 1-251 their own
// numbers, the unused 252-276 387-411, the Hoenn ones each of 252-386 once.
bool isPokedexTable(std::span<const std::uint8_t> bytes) {
    std::vector<bool> seen(kInternalSpecies + 1, false);
    for (int i = 0; i < kInternalSpecies; ++i) {
        const int id = i + 1, number = int(readLittleEndian(bytes.subspan(std::size_t(2 * i), 2)));
        if (id <= kKantoJohto ? number != id
                              : id <= kUnusedLast ? number != id - kUnusedFirst + 387
                                                  : number <= kKantoJohto || number > 386 || seen[std::size_t(number)]) {
            return false;
        }
        seen[std::size_t(number)] = true;
    }
    return true;
}

struct SpeciesRead {
    std::vector<Species> species;
    std::vector<std::string> gameNames;  // by internal index, as the game prints them
    std::string whyNot;                  // why the built-in list is shown
};

// The species as the ROM numbers and names them: the Pokédex table where
// the release keeps it and it is one, the names where the trade routine reads them.
Result<SpeciesRead> readSpecies(File& file, const Rom& rom) {
    const ThirdGenerationRow& row = thirdGenerationRow(*rom.release);
    SpeciesRead read;
    if (!rom.table || !rom.table->routine) {
        read.whyNot = "the routine that names the species was not found";
        return read;
    }
    auto names = gen3::speciesNamesOf(file, *rom.table->routine, rom.size.file);
    if (!names) return names.error();
    std::vector<std::uint8_t> bytes(std::size_t(kInternalSpecies + 1) * kNameLength);
    if (!*names || **names + bytes.size() > std::uint64_t(rom.size.file)) {
        read.whyNot = "the species names' table the trade routine reads lies past the end of the file";
        return read;
    }
    if (auto got = readExactly(file, **names, bytes); !got) return got.error();
    std::vector<std::uint8_t> pokedex(2 * kInternalSpecies);
    auto got = readUpTo(file, row.pokedexTable, pokedex);
    if (!got) return got.error();
    const bool numbered = *got == pokedex.size() && isPokedexTable(pokedex);
    const Charset& charset = rom.release->charset();
    read.gameNames.resize(std::size_t(kInternalSpecies + 1));
    for (int id = 1; id <= kInternalSpecies; ++id) {
        const auto field = std::span<const std::uint8_t>(bytes).subspan(std::size_t(id) * kNameLength, kNameLength);
        if (std::find(field.begin(), field.end(), charset.terminator()) == field.end()) {
            read.whyNot = "the species name of " + std::to_string(id) + " at " + hexOffset(**names + std::uint32_t(id) * kNameLength) +
                          " has no end";
            return read;
        }
        const std::string name = toUtf8(shownName(field, charset));
        read.gameNames[std::size_t(id)] = name;
        if (id >= kUnusedFirst && id <= kUnusedLast) continue;
        const int number = numbered ? int(readLittleEndian(std::span<const std::uint8_t>(pokedex).subspan(std::size_t(2 * (id - 1)), 2))) : id;
        read.species.push_back({SpeciesId(id), number, name});
    }
    return read;
}

// A record's numbers, as an edit leaves them (given, else stored).
std::uint32_t numberOf(const TradeEdit& edit, Field field) {
    if (auto given = edit.numbers.find(field); given != edit.numbers.end() && !given->second.empty()) return given->second.front();
    auto stored = edit.shown.numbers.find(field);
    return stored != edit.shown.numbers.end() && !stored->second.empty() ? stored->second.front() : 0;
}
std::uint32_t numberOf(const TradeRecord& record, Field field) {
    auto stored = record.numbers.find(field);
    return stored != record.numbers.end() && !stored->second.empty() ? stored->second.front() : 0;
}

std::string_view genderWord(gen3::CreatureGender gender) {
    switch (gender) {
    case gen3::CreatureGender::Male: return "male";
    case gen3::CreatureGender::Female: return "female";
    case gen3::CreatureGender::Genderless: return "genderless";
    }
    return {};
}

class ThirdGeneration final : public GameFamily {
public:
    std::span<const Release* const> rows() const override { return thirdGenerationRows(); }
    std::span<const KnownRelease> knownReleases() const override { return thirdGenerationKnownReleases(); }
    const Platform& platform() const override { return gameBoyAdvancePlatform(); }
    std::unique_ptr<OpeningNotes> beginOpening() const override { return std::make_unique<OpeningNotes>(); }
    bool countsItsTrades() const override { return false; }
    bool holdsItems() const override { return true; }
    bool holdsCheck(std::size_t) const override { return true; }

    Result<TableRoutine> findTableRoutine(HoldingFile& file, std::span<const Release* const> rows, const RomSize& size) const override {
        auto base = gen3::isExpansionBase(file);
        if (!base) return base.error();
        if (*base) {
            return refused(ErrorCode::NoTradeTable,
                           "This ROM is built on one of the community's expansion bases (the magic \"RHHEXP\" at 0x204), whose "
                           "trade records keep 60 bytes but move their fields; Kestrane does not read them yet, and shows and "
                           "changes none of its trades. The file was not changed.");
        }
        auto copies = gen3::findSpeciesInfo(file, std::min(size.file, platform().largestImage()));
        if (!copies) return copies.error();
        TableRoutine routine;
        routine.found.reached = RoutineReached::Search;
        for (const gen3::SpeciesInfoCopy& copy : *copies) {
            routine.found.copies.push_back({copy.routine, {copy.table}, {copy.table + 0x08000000u}});
        }
        // One copy pointing where the release keeps its table: the game as it was built.
        if (copies->size() == 1 && copies->front().table == rows.front()->usualTable) {
            routine.found.reached = RoutineReached::OwnPlace;
            routine.placed = rows.front();
        }
        routine.ownPlace = copies->empty() ? 0 : copies->front().routine;
        return routine;
    }
    Result<std::vector<RoutineCall>> tableRoutineCalls(HoldingFile&, std::uint32_t) const override {
        return std::vector<RoutineCall>();
    }
    Result<int> recordsRequired(File&, const Release& row, std::int64_t, OpeningNotes&) const override { return row.ownRecords; }

    Result<void> readGameData(HoldingFile& held, Rom& rom, OpeningNotes&) const override {
        auto species = readSpecies(held, rom);
        if (!species) return species.error();
        rom.speciesBuiltInWhy = species->whyNot;
        if (species->whyNot.empty()) {
            rom.species = std::make_shared<const SpeciesList>(std::move(species->species), true);
            rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->gameNames));
        }
        TradeWordsRead words = builtInTradeWords(*rom.release, "Kestrane's names: the maps' scripts are not read for this family yet");
        words.linesWhyNot = "each trader's lines are in its map's script, which Kestrane does not read";
        rom.words = std::make_shared<const TradeWordsRead>(std::move(words));
        return {};
    }

    std::vector<std::string> builtInPlaces(const Release& release) const override {
        std::vector<std::string> places;
        const auto own = thirdGenerationRow(release).places;
        for (int record = 0; record < kMaxRecords; ++record) {
            places.emplace_back(std::size_t(record) < own.size() ? own[std::size_t(record)] : "Not used in the game");
        }
        return places;
    }
    std::string_view tableLabel() const override { return "sIngameTrades"; }

    Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId, PictureLook, FileSystem&) const override {
        return refused(ErrorCode::NoPicture, std::string(rom.release->name) + "'s pictures are not read yet.");
    }

    std::vector<ReadOut> readOuts(const Rom& rom, const TradeRecord& record) const override {
        const std::uint32_t personality = numberOf(record, Field::Personality);
        std::vector<ReadOut> outs;
        outs.push_back({"Nature", "Nature", std::string(gen3::natureName(gen3::natureOf(personality))), Field::Personality, "nature"});
        if (auto ratio = genderRatioOf(rom.genderRatios, record.offeredSpecies)) {
            outs.push_back({"Gender", "Gender", std::string(genderWord(gen3::genderOf(*ratio, personality))), Field::Personality, "gender"});
        }
        const bool shiny = gen3::isShiny(record.trainerId.value_or(0), std::uint16_t(numberOf(record, Field::SecretId)), personality);
        outs.push_back({"Shiny", "Shiny", shiny ? "yes" : "no", Field::Personality, "shiny", shiny});
        if (record.offeredSpecies == kUnown) {
            const int letter = gen3::unownLetterOf(personality);
            outs.push_back({"Unown letter", "Letter", letter < 26 ? std::string(1, char('A' + letter)) : letter == 26 ? "!" : "?",
                            Field::Personality, "unownLetter"});
        }
        return outs;
    }

    void addWarnings(const Rom& rom, const TradeRecord& record, std::vector<TradeWarning>& warnings) const override {
        // The game gives mail only with a mail item, and reads its words from the row the record names.
        const ItemId item = record.heldItem.value_or(0);
        const std::uint32_t mail = numberOf(record, Field::Mail);
        const int rows = thirdGenerationRow(*rom.release).mailRows;
        if (item >= kFirstMail && item <= kLastMail && (mail == kNoMail || mail >= std::uint32_t(rows))) {
            warnings.push_back({Field::Mail, "Item " + std::to_string(item) + " is a mail, but " +
                                                 (mail == kNoMail ? std::string("the trade gives no mail")
                                                                  : "mail " + std::to_string(mail) + " is past the game's " +
                                                                        counted(rows, "row") + " of mail") +
                                                 ", so the game would read its words from beyond its mail table."});
        }
    }

    Result<void> giveNature(const Rom& rom, TradeEdit& edit, std::string_view text) const override {
        const std::string wanted = loweredAscii(trimmed(text));
        for (int nature = 0; nature < gen3::kNatures; ++nature) {
            if (loweredAscii(gen3::natureName(nature)) != wanted) continue;
            const SpeciesId species = edit.offeredSpecies.value_or(edit.shown.offeredSpecies);
            const std::uint32_t current = numberOf(edit, Field::Personality);
            // Without the species' ratio, the low byte kept: the same gender whatever the ratio.
            edit.numbers[Field::Personality] = {gen3::personalityWithNature(current, nature, genderRatioOf(rom.genderRatios, species))};
            return {};
        }
        std::vector<std::string> names;
        for (int nature = 0; nature < gen3::kNatures; ++nature) names.emplace_back(gen3::natureName(nature));
        return refused(ErrorCode::InvalidArgument, echoed(text) + " is no nature: give one of " + joinedList(names, 0, "or") + ".");
    }

    Result<void> makeShiny(const Rom&, TradeEdit& edit) const override {
        const std::uint16_t trainer = edit.trainerId.value_or(edit.shown.trainerId.value_or(0));
        edit.numbers[Field::SecretId] = {gen3::shinySecretId(trainer, numberOf(edit, Field::Personality))};
        return {};
    }
};

}  // namespace

const GameFamily& thirdGenerationFamily() {
    static const ThirdGeneration family;
    return family;
}

}  // namespace kestrane
