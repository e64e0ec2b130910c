// Red, Blue and Yellow: a title for a code, no count of the trades (the
// table holds what the maps' scripts start), every table found through the
// game's code, no items, no Stadium data, pictures in four greys.
#include <memory>

#include "families/gen1/first_generation.h"
#include "families/gen1/first_generation_code.h"
#include "families/gen1/first_generation_pictures.h"
#include "families/gameboy/game_boy_family.h"
#include "platform/gb/checksums.h"
#include "families/gameboy/text_reader.h"
#include "families/gen1/first_generation_rows.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "trades/rom.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {

// The places, by the maps' scripts that start each trade, and the
// trainer's name where the game's code names it.
Result<void> readScriptPlaces(File& file, const Release& release, const RomSize& size, const FirstGenerationCode& code,
                              std::span<const TradeScript> scripts, TradeWordsRead& words) {
    RomPages rom(file, size.file);
    words.places = firstGenerationPlaces(release, scripts, kMaxRecords);
    // "TRAINER": a string the text engine prints, where the game's code reads it.
    words.givenTrainer = "TRAINER";
    if (!code.trainer.at) {
        words.givenTrainerWhyNot = code.trainer.whyNot;
        return {};
    }
    const std::uint32_t at = *code.trainer.at;
    auto trainer = readGameString(rom, release, at);
    if (!trainer && trainer.error().code != ErrorCode::NotAText) return trainer.error();
    if (!trainer || trainer->text.size() != 1) {
        words.givenTrainerWhyNot = "the trainer's name at " + hexOffset(at) + " is no plain game text";
        return {};
    }
    words.givenTrainer = toUtf8(trainer->text.front().text);
    return {};
}



// The scripts, searched for once an opening: the table's finding and the
// places both need them.
struct FirstGenerationNotes final : OpeningNotes {
    TradeScriptsOnce scripts;
};

// The scripts of an opening's notes; notes another family began (none
// should reach here) are searched afresh.
TradeScriptsOnce& scriptsOf(OpeningNotes& notes, FirstGenerationNotes& fresh) {
    auto* mine = dynamic_cast<FirstGenerationNotes*>(&notes);
    return (mine ? *mine : fresh).scripts;
}

class FirstGeneration final : public GameBoyFamily {
public:
    std::span<const Release* const> rows() const override { return firstGenerationRows(); }
    std::span<const KnownRelease> knownReleases() const override { return firstGenerationKnownReleases(); }
    std::unique_ptr<OpeningNotes> beginOpening() const override { return std::make_unique<FirstGenerationNotes>(); }
    bool countsItsTrades() const override { return false; }
    bool holdsItems() const override { return false; }
    // 1 MiB, smaller than the Stadium data's place; no build of these games makes it.
    bool holdsCheck(std::size_t check) const override { return check != std::size_t(Check::Stadium); }

    Result<int> recordsRequired(File& file, const Release& row, std::int64_t fileSize, OpeningNotes& notes) const override {
        FirstGenerationNotes fresh;
        auto found = scriptsOf(notes, fresh).in(file, fileSize);
        if (!found) return found.error();
        return recordsScriptsNeed(*found).value_or(row.ownRecords);
    }

    Result<void> readGameData(HoldingFile& held, Rom& rom, OpeningNotes& notes) const override {
        auto code = readFirstGenerationCode(held, *rom.release, rom.table ? rom.table->routine : std::nullopt, rom.size.file);
        if (!code) return code.error();
        const auto found = std::make_shared<const FirstGenerationCode>(std::move(*code));
        rom.familyData = found;
        auto species = readFirstGenerationSpecies(held, *rom.release, *found);
        if (!species) return species.error();
        rom.speciesBuiltInWhy = species->whyNot;
        rom.species = std::make_shared<const SpeciesList>(std::move(species->species), rom.release->language == Language::English);
        if (species->whyNot.empty()) rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->gameNames));
        auto words = readTradeWords(held, gameBoyRow(*rom.release), rom.size);
        if (!words) return words.error();
        FirstGenerationNotes fresh;
        auto scripts = scriptsOf(notes, fresh).in(held, rom.size.file);
        if (!scripts) return scripts.error();
        if (auto places = readScriptPlaces(held, *rom.release, rom.size, *found, *scripts, *words); !places) {
            return places.error();
        }
        rom.words = std::make_shared<const TradeWordsRead>(std::move(*words));
        return {};
    }

    // Every record the table may hold has a place: the map whose script
    // starts it in the release, or none.
    std::string_view tableLabel() const override { return "TradeMons"; }
    std::vector<std::string> builtInPlaces(const Release& release) const override {
        std::vector<std::string> places;
        const auto& own = firstGenerationRow(release).first.places;
        for (int slot = 0; slot < kMaxRecords; ++slot) {
            places.emplace_back(std::size_t(slot) < own.size() && !own[std::size_t(slot)].empty() ? own[std::size_t(slot)]
                                                                                                   : kUnusedPlace);
        }
        return places;
    }

    Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) const override {
        if (look.shiny) {
            return refused(ErrorCode::InvalidArgument,
                           std::string(rom.release->name) + " has no shiny creatures: every one of a species looks the same.");
        }
        return readFirstGenerationPicture(rom, species, fs);
    }
};

}  // namespace

const GameFamily& firstGenerationFamily() {
    static const FirstGeneration family;
    return family;
}

}  // namespace kestrane
