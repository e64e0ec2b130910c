// Ruby, Sapphire, Emerald, FireRed and LeafGreen: a code in the GBA header,
// no count of the trades, the table through GetInGameTradeSpeciesInfo's
// pools, species by internal index shown by their Pokédex numbers, and what
// the game makes of a record's personality and IDs.
#include <algorithm>
#include <memory>

#include "families/gen3/third_generation_data.h"
#include "families/gen3/third_generation_pictures.h"
#include "families/gen3/third_generation_places.h"
#include "families/gen3/third_generation_record.h"
#include "families/gen3/third_generation_rows.h"
#include "families/gen3/third_generation_scripts.h"
#include "families/gen3/third_generation_table.h"
#include "platform/gba/cartridge.h"
#include "platform/gba/game_boy_advance.h"
#include "support/words.h"
#include "trades/creature_list.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/trade_warnings.h"

namespace kestrane {
namespace {

constexpr SpeciesId kUnown = 201;
constexpr ItemId kFirstMail = 121, kLastMail = 132;  // Orange Mail to Retro Mail
constexpr std::uint32_t kNoMail = 0xFF;
constexpr std::string_view kUnownForms = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!?";  // by the personality's letter number

std::string_view genderWord(gen3::CreatureGender gender) {
    switch (gender) {
    case gen3::CreatureGender::Male: return "male";
    case gen3::CreatureGender::Female: return "female";
    case gen3::CreatureGender::Genderless: return "genderless";
    }
    return {};
}

// The scripts, searched for once an opening: the table's finding and the
// places both need them.
struct ThirdGenerationNotes final : OpeningNotes {
    std::optional<std::vector<gen3::TradeScript>> scripts;

    Result<const std::vector<gen3::TradeScript>*> in(File& file, const Release& row, std::int64_t size) {
        if (!scripts) {
            auto found = gen3::findTradeScripts(file, size, thirdGenerationRow(row).speciesSpecial);
            if (!found) return found.error();
            scripts = std::move(*found);
        }
        return &*scripts;
    }
};

ThirdGenerationNotes& notesOf(OpeningNotes& notes, ThirdGenerationNotes& fresh) {
    auto* mine = dynamic_cast<ThirdGenerationNotes*>(&notes);
    return mine ? *mine : fresh;
}

// Each record's place as the ROM names it: the section of the map whose
// object event starts its script, in the usual spelling where an English
// release's name is the retail one; "Used in the game" where a script starts
// it from elsewhere, "Not used in the game" where none does. None where the
// ROM's maps or names are not found.
Result<std::optional<std::vector<std::string>>> romPlaces(File& file, const Release& release, std::int64_t size,
                                                          const std::vector<gen3::TradeScript>& scripts) {
    using Places = std::optional<std::vector<std::string>>;
    auto sections = gen3::mapSectionsOfScripts(file, size, scripts);
    if (!sections) return sections.error();
    if (!*sections) return Places();
    auto names = gen3::mapSectionNames(file, size, release.charset());
    if (!names) return names.error();
    if (!*names) return Places();
    const auto own = thirdGenerationRow(release).places;
    std::vector<std::string> places;
    for (int record = 0; record < kMaxRecords; ++record) {
        std::string place;
        bool started = false;
        for (const gen3::TradeScript& script : scripts) {
            if (script.trade != record) continue;
            started = true;
            const auto section = (*sections)->find(script.at);
            if (section == (*sections)->end() || section->second >= (*names)->size() || (**names)[section->second].empty()) continue;
            place = (**names)[section->second];
            const bool usual = release.language == Language::English && std::size_t(record) < own.size() &&
                               foldedName(place) == foldedName(own[std::size_t(record)]);
            if (usual) place = std::string(own[std::size_t(record)]);
            break;
        }
        places.push_back(!place.empty() ? place : std::string(started ? kUsedPlace : kUnusedPlace));
    }
    return Places(std::move(places));
}

class ThirdGeneration final : public GameFamily {
public:
    std::span<const Release* const> rows() const override { return thirdGenerationRows(); }
    std::span<const KnownRelease> knownReleases() const override { return thirdGenerationKnownReleases(); }
    const Platform& platform() const override { return gameBoyAdvancePlatform(); }
    std::unique_ptr<OpeningNotes> beginOpening() const override { return std::make_unique<ThirdGenerationNotes>(); }
    bool countsItsTrades() const override { return false; }
    bool holdsItems() const override { return true; }
    bool holdsCheck(std::size_t) const override { return true; }

    Result<TableRoutine> findTableRoutine(HoldingFile& file, std::span<const Release* const> rows, const RomSize& size,
                                          OpeningNotes& notes) const override {
        auto base = gen3::isExpansionBase(file);
        if (!base) return base.error();
        TableRoutine routine;
        if (*base) {
            routine.refusal = "This ROM is built on one of the community's expansion bases (the magic \"RHHEXP\" at 0x204), whose "
                              "trade records keep 60 bytes but move their fields, which Kestrane does not read yet";
            return routine;
        }
        // The scripts in the same pass: the records' count needs them next.
        auto found = gen3::findSpeciesInfoAndScripts(file, std::min(size.file, platform().largestImage()),
                                                     thirdGenerationRow(*rows.front()).speciesSpecial);
        if (!found) return found.error();
        if (auto* mine = dynamic_cast<ThirdGenerationNotes*>(&notes)) mine->scripts = std::move(found->scripts);
        const gen3::SpeciesInfo* info = &found->info;
        routine.refusal = info->refusal;
        const auto& copies = info->copies;
        routine.found.reached = RoutineReached::Search;
        for (const gen3::SpeciesInfoCopy& copy : copies) {
            routine.found.copies.push_back({copy.routine, {copy.table}, {copy.table + gba::kRomBase}});
        }
        // One copy pointing where the release keeps its table: the game as it was built.
        if (copies.size() == 1 && copies.front().table == rows.front()->usualTable) {
            routine.found.reached = RoutineReached::OwnPlace;
            routine.placed = rows.front();
        }
        routine.ownPlace = copies.empty() ? 0 : copies.front().routine;
        return routine;
    }
    Result<std::vector<RoutineCall>> tableRoutineCalls(HoldingFile&, std::uint32_t) const override {
        return std::vector<RoutineCall>();
    }
    // What the scripts start, the highest trade plus one; where none is found, the release's own.
    Result<int> recordsRequired(File& file, const Release& row, std::int64_t fileSize, OpeningNotes& notes) const override {
        ThirdGenerationNotes fresh;
        auto scripts = notesOf(notes, fresh).in(file, row, std::min(fileSize, platform().largestImage()));
        if (!scripts) return scripts.error();
        int records = 0;
        for (const gen3::TradeScript& script : **scripts) records = std::max(records, script.trade + 1);
        return records > 0 ? records : row.ownRecords;
    }

    Result<void> readGameData(HoldingFile& held, Rom& rom, OpeningNotes& notes) const override {
        auto species = readThirdGenerationSpecies(held, rom);
        if (!species) return species.error();
        rom.speciesBuiltInWhy = species->whyNot;
        if (species->whyNot.empty()) {
            rom.species = std::make_shared<const SpeciesList>(std::move(species->species), true);
            rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->gameNames));
        }
        const std::int64_t searched = std::min(rom.size.file, platform().largestImage());
        auto items = readThirdGenerationItems(held, *rom.release, searched);
        if (!items) return items.error();
        rom.items = std::move(*items);
        auto base = readThirdGenerationBaseData(held, searched, rom.release->charset());
        if (!base) return base.error();
        ThirdGenerationData data = base->value_or(ThirdGenerationData{});
        if (*base) rom.genderRatios = data.genderRatios;
        auto mail = readThirdGenerationMail(held, rom);
        if (!mail) return mail.error();
        data.mail = std::move(*mail);
        if (thirdGenerationRow(*rom.release).pictures) {
            // Ruby and Sapphire name their pictures' tables in no header: their code says where.
            auto pictures = findPictureTables(held, searched);
            if (!pictures) return pictures.error();
            data.pictures = *pictures;
        }
        rom.familyData = std::make_shared<const ThirdGenerationData>(std::move(data));
        ThirdGenerationNotes fresh;
        auto scripts = notesOf(notes, fresh).in(held, *rom.release, searched);
        if (!scripts) return scripts.error();
        TradeWordsRead words = builtInTradeWords(*rom.release, "no script of the maps that starts a trade was found");
        auto named = (*scripts)->empty() ? Result<std::optional<std::vector<std::string>>>(std::nullopt)
                                         : romPlaces(held, *rom.release, searched, **scripts);
        if (!named) return named.error();
        if (*named) {
            words.places = std::move(**named);
            words.placesWhyNot.clear();
        } else if (!(*scripts)->empty()) {
            std::vector<int> started;
            for (const gen3::TradeScript& script : **scripts) started.push_back(script.trade);
            words.places = placesOfStartedTrades(thirdGenerationRow(*rom.release).places, started, kMaxRecords);
            words.placesWhyNot = "Kestrane's names of the maps whose scripts start the trades; the ROM's map sections are not read";
        }
        words.linesWhyNot = "each trader's lines are in its map's script, which Kestrane does not read";
        rom.words = std::make_shared<const TradeWordsRead>(std::move(words));
        return {};
    }

    std::vector<std::string> builtInPlaces(const Release& release) const override {
        std::vector<std::string> places;
        const auto own = thirdGenerationRow(release).places;
        for (int record = 0; record < kMaxRecords; ++record) {
            places.emplace_back(std::size_t(record) < own.size() ? own[std::size_t(record)] : kUnusedPlace);
        }
        return places;
    }
    std::string_view tableLabel() const override { return "sIngameTrades"; }

    Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) const override {
        return readThirdGenerationPicture(rom, species, look, fs);
    }
    std::string_view unownForms() const override { return kUnownForms; }
    static char unownLetter(std::uint32_t personality) { return kUnownForms[std::size_t(gen3::unownLetterOf(personality))]; }

    std::vector<ReadOut> readOuts(const Rom& rom, const TradeRecord& record) const override {
        const std::uint32_t personality = numberOf(record, Field::Personality);
        std::vector<ReadOut> outs;
        outs.push_back({"Nature", "Nature", std::string(gen3::natureName(gen3::natureOf(personality))), Field::Personality, "nature"});
        if (auto ratio = genderRatioOf(rom.genderRatios, record.offeredSpecies)) {
            outs.push_back({"Gender", "Gender", std::string(genderWord(gen3::genderOf(*ratio, personality))), Field::Personality, "gender"});
        }
        const bool shiny = gen3::isShiny(record.trainerId.value_or(0), std::uint16_t(numberOf(record, Field::SecretId)), personality);
        outs.push_back({"Shiny", "Shiny", shiny ? "yes" : "no", Field::Personality, "shiny", shiny});
        // The ability the species has at the record's number, by the ROM's name.
        const auto* base = dynamic_cast<const ThirdGenerationData*>(rom.familyData.get());
        const std::uint32_t number = numberOf(record, Field::AbilityNum);
        if (base && !base->abilityNames.empty() && record.offeredSpecies < base->abilities.size() && number < 2) {
            const std::uint8_t ability = base->abilities[record.offeredSpecies][number];
            outs.push_back({"Ability name", "Ability", ability == 0 || ability >= base->abilityNames.size() ? std::string("none")
                                                                                                           : base->abilityNames[ability],
                            Field::AbilityNum, "abilityName"});
        }
        // The mail the game gives, its words as numbers (group << 9 | index).
        const std::uint32_t mail = numberOf(record, Field::Mail);
        const ItemId item = record.heldItem.value_or(0);
        if (base && item >= kFirstMail && item <= kLastMail && mail < base->mail.size()) {
            std::string words;
            for (std::uint16_t w : base->mail[mail]) words += (words.empty() ? "" : " ") + std::to_string(w);
            ReadOut out{"Mail words", "Mail", words, Field::Mail, "mailWords"};
            out.numbers.assign(base->mail[mail].begin(), base->mail[mail].end());
            outs.push_back(std::move(out));
        }
        if (record.offeredSpecies == kUnown) {
            outs.push_back({"Unown letter", "Letter", std::string(1, unownLetter(personality)), Field::Personality, "unownLetter"});
        }
        return outs;
    }

    std::span<const std::string_view> natures() const override { return gen3::natureNames(); }

    PictureLook pictureLook(const Rom&, const TradeRecord& record) const override {
        const std::uint32_t personality = numberOf(record, Field::Personality);
        return {gen3::isShiny(record.trainerId.value_or(0), std::uint16_t(numberOf(record, Field::SecretId)), personality),
                unownLetter(personality)};
    }

    void addWarnings(const Rom& rom, const TradeRecord& record, std::vector<TradeWarning>& warnings) const override {
        // The record's ability bit is taken as it is: a species without a second ability then has none.
        const auto* base = dynamic_cast<const ThirdGenerationData*>(rom.familyData.get());
        if (base && numberOf(record, Field::AbilityNum) == 1 && record.offeredSpecies < base->abilities.size() &&
            base->abilities[record.offeredSpecies][1] == 0 && rom.species->listed(record.offeredSpecies)) {
            warnings.push_back({Field::AbilityNum, std::string(rom.species->name(record.offeredSpecies)) +
                                                       " has no second ability, so with ability 1 the creature would have none."});
        }
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
