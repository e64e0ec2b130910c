// Gold, Silver and Crystal (and the bases built on Crystal): a code in the
// header, a count the trade routine reads, the game data at the rows'
// places or through the code that reads them, items, the Stadium data.
#include <memory>

#include "trades/game_data.h"
#include "trades/game_family.h"
#include "trades/game_words.h"
#include "trades/pictures.h"
#include "trades/rom.h"

namespace kestrane {
namespace {

class SecondGeneration final : public GameFamily {
public:
    std::unique_ptr<OpeningNotes> beginOpening() const override { return std::make_unique<OpeningNotes>(); }
    bool countsItsTrades() const override { return true; }
    bool holdsItems() const override { return true; }
    bool holdsCheck(Check) const override { return true; }

    Result<int> recordsRequired(File&, const Release& row, std::int64_t, OpeningNotes&) const override { return row.ownRecords; }

    Result<void> readGameData(HoldingFile& held, Rom& rom, OpeningNotes&) const override {
        // The base data first: it says how many species there are.
        auto base = readBaseData(held, *rom.release, rom.size.file);
        if (!base) return base.error();
        if (*base) {
            rom.genderRatios = (*base)->genderRatios;
            rom.pictureSizes = (*base)->pictureSizes;
        }
        const int count = *base ? (*base)->lastId : kDexSpecies;
        auto species = rom.release->baseDataForm == BaseDataForm::Indirect && !*base
                           ? Result<RomSpeciesNames>(RomSpeciesNames{{}, "the base data, which says how many species there are, "
                                                                         "is not where the game keeps it"})
                           : readSpeciesNames(held, *rom.release, count, rom.size.file);
        if (!species) return species.error();
        rom.speciesBuiltInWhy = species->whyNot;
        if (species->whyNot.empty()) {
            rom.species = std::make_shared<const SpeciesList>(species->names, rom.release->language == Language::English);
            species->names.insert(species->names.begin(), std::string());
            rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->names));
        }
        auto words = readTradeWords(held, *rom.release, rom.size);
        if (!words) return words.error();
        if (auto places = readLandmarkPlaces(held, *rom.release, rom.size, *words); !places) return places.error();
        rom.words = std::make_shared<const TradeWordsRead>(std::move(*words));
        auto items = readItemNames(held, *rom.release);
        if (!items) return items.error();
        rom.items = std::move(*items);
        return {};
    }

    std::vector<std::string> builtInPlaces(const Release& release) const override {
        std::vector<std::string> places;
        for (const Place& place : release.places) {
            places.push_back(std::string(place.name) + ", " + std::string(release.words.regionWords[std::size_t(place.region)]));
        }
        return places;
    }

    Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) const override {
        return readSecondGenerationPicture(rom, species, look, fs);
    }
};

}  // namespace

const GameFamily& secondGenerationFamily() {
    static const SecondGeneration family;
    return family;
}

}  // namespace kestrane
