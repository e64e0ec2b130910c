// Gold, Silver and Crystal (and the bases built on Crystal): a code in the
// header, a count the trade routine reads, the game data at the rows'
// places or through the code that reads them, items, the Stadium data.
#include <memory>

#include <algorithm>

#include "families/gameboy/game_data_reader.h"
#include "families/gameboy/game_boy_family.h"
#include "families/gameboy/text_reader.h"
#include "families/gen2/second_generation_pictures.h"
#include "families/gen2/second_generation_rows.h"
#include "platform/gb/banks.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/rom.h"
#include "trades/slot.h"
#include "trades/natures.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/trade_warnings.h"
#include "trades/front_picture.h"
#include "support/holding_file.h"
#include "support/byte_scan.h"
#include "support/piece_search.h"
#include "platform/gb/cartridge.h"
#include "trades/game_words.h"

namespace kestrane {
namespace {

// A landmark's name as the game shows it (a string, as the text engine
// prints it), or none where it is no name.
Result<std::optional<std::string>> landmarkName(RomPages& rom, const SecondGenerationRow& release, int id) {
    const std::uint32_t entry = release.landmarks.at + 4 * std::uint32_t(id);
    if (entry + 4 > rom.size()) return std::optional<std::string>();
    auto pointer = rom.littleEndian16(entry + 2);
    if (!pointer) return pointer.error();
    const auto at = offsetInBank(bankOf(release.landmarks.at), *pointer);
    if (!at || *at >= rom.size()) return std::optional<std::string>();
    auto string = readGameString(rom, release, *at);
    if (!string && string.error().code != ErrorCode::NotAText) return string.error();
    // A name is one line of characters, some of them not blanks.
    const GameText* name = string ? &string->text : nullptr;
    if (!name || string->endedText || string->end - *at > 32 || name->size() != 1 ||
        name->front().text.find(u'\n') != std::u16string::npos ||
        name->front().text.find_first_not_of(u" \u3000") == std::u16string::npos) {
        return std::optional<std::string>();
    }
    return std::optional<std::string>(toUtf8(name->front().text));
}


// Each own trade's landmark as the ROM names it, with its region
// (Kestrane's where a name fails, and why).
Result<void> readLandmarkPlaces(File& file, const SecondGenerationRow& release, const RomSize& size, TradeWordsRead& words) {
    RomPages rom(file, size.file);
    // The places: the ROM's names, or in an English release the usual
    // spelling where the ROM's is the retail one.
    std::array<std::string, kListedSlots> places;
    const std::uint32_t landmarks = release.landmarks.at;
    const std::uint32_t tableEnd = landmarks + 4u * (1u + *std::ranges::max_element(release.landmarks.ofSlot));
    if (tableEnd > rom.size()) {
        words.placesWhyNot = "the landmarks' table at " + hexOffset(landmarks) + " runs past the end of the file";
        return {};
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) {
        auto read = landmarkName(rom, release, release.landmarks.ofSlot[std::size_t(slot)]);
        if (!read) return read.error();
        const std::optional<std::string>& name = *read;
        if (!name) {
            words.placesWhyNot = "the landmark of " + slotName(slot + 1) + " at " +
                                 hexOffset(release.landmarks.at + 4u * release.landmarks.ofSlot[std::size_t(slot)]) +
                                 " is no name";
            return {};
        }
        const Place& place = release.places[std::size_t(slot)];
        const bool usual = release.language == Language::English && foldedName(*name) == foldedName(place.name);
        places[std::size_t(slot)] = (usual ? std::string(place.name) : *name) + ", " +
                                    std::string(release.landmarks.regionWords[std::size_t(place.region)]);
    }
    for (int slot = 0; slot < release.ownRecords && slot < kListedSlots; ++slot) words.places[std::size_t(slot)] = places[std::size_t(slot)];
    return {};
}



constexpr std::uint32_t kShinyBit = 0x80, kNatureBits = 0x1F, kAbilityShift = 5;

std::string_view abilityWord(std::uint32_t ability) {
    switch (ability) {
    case 1: return "first";
    case 2: return "second";
    case 3: return "hidden";
    default: return "none (0)";
    }
}

// Which trades the maps' object events start (Polished Crystal's): an
// object of 13 bytes whose type (the low nibble of byte 7) is 5, its
// command byte 8, then the trade's index and 0; its place on the map (bytes
// 1 and 2, each 4 more than it) plausible.
Result<std::vector<int>> tradesObjectsStart(File& file, const SecondGenerationRow& release, const RomSize& size, int records) {
    constexpr std::size_t kCommand = 8, kBefore = 8, kAfter = 5;
    std::vector<int> started;
    auto searched = searchInPieces(file, std::min(size.file, kLargestRomSize), kBefore + kAfter,
                                   [&](std::span<const std::uint8_t> piece, std::int64_t, std::int64_t) {
                                       forEachBytePair(piece, release.tradeCommand, 0x00, 2, [&](std::size_t at) {
                                           if (at < kCommand || at + kAfter > piece.size()) return;
                                           const std::uint8_t* object = piece.data() + at - kCommand;
                                           if ((object[7] & 0x0F) == 5 && object[9] < records && object[1] >= 4 && object[2] >= 4) {
                                               started.push_back(object[9]);
                                           }
                                       });
                                   });
    if (!searched) return searched.error();
    return started;
}

class SecondGeneration final : public GameBoyFamily {
public:
    std::span<const Release* const> rows() const override { return secondGenerationRows(); }
    std::span<const KnownRelease> knownReleases() const override { return secondGenerationKnownReleases(); }
    std::unique_ptr<OpeningNotes> beginOpening() const override { return std::make_unique<OpeningNotes>(); }
    bool countsItsTrades() const override { return true; }
    bool holdsItems() const override { return true; }
    bool holdsCheck(std::size_t) const override { return true; }

    Result<int> recordsRequired(File&, const Release& row, std::int64_t, OpeningNotes&) const override { return row.ownRecords; }

    Result<void> readGameData(HoldingFile& held, Rom& rom, OpeningNotes&) const override {
        // The base data first: it says how many species there are.
        const SecondGenerationRow& row = secondGenerationRow(*rom.release);
        auto base = readBaseData(held, row, rom.size.file);
        if (!base) return base.error();
        if (*base) {
            rom.genderRatios = (*base)->genderRatios;
            rom.pictureSizes = (*base)->pictureSizes;
        }
        const int count = *base ? (*base)->lastId : row.tables.speciesCount ? row.tables.speciesCount : kDexSpecies;
        auto species = row.tables.baseDataForm == BaseDataForm::Indirect && !*base
                           ? Result<RomSpeciesNames>(RomSpeciesNames{{}, "the base data, which says how many species there are, "
                                                                         "is not where the game keeps it"})
                           : readSpeciesNames(held, row, count, rom.size.file);
        if (!species) return species.error();
        rom.speciesBuiltInWhy = species->whyNot;
        if (species->whyNot.empty()) {
            rom.species = std::make_shared<const SpeciesList>(species->names, rom.release->language == Language::English);
            species->names.insert(species->names.begin(), std::string());
            rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->names));
        }
        auto words = readTradeWords(held, row, rom.size);
        if (!words) return words.error();
        if (row.tradeCommand) {
            auto started = tradesObjectsStart(held, row, rom.size, row.ownRecords);
            if (!started) return started.error();
            const std::vector<std::string> named = builtInPlaces(row);
            std::vector<std::string_view> own;
            for (const std::string& place : named) own.push_back(place == kUnusedPlace ? std::string_view() : std::string_view(place));
            words->places = placesOfStartedTrades(own, *started, row.ownRecords);
            words->placesWhyNot.clear();
        } else if (auto places = readLandmarkPlaces(held, row, rom.size, *words); !places) {
            return places.error();
        }
        rom.words = std::make_shared<const TradeWordsRead>(std::move(*words));
        auto items = readItemNames(held, row);
        if (!items) return items.error();
        rom.items = std::move(*items);
        return {};
    }

    std::string_view tableLabel() const override { return "NPCTrades"; }
    std::vector<std::string> builtInPlaces(const Release& release) const override {
        const SecondGenerationRow& row = secondGenerationRow(release);
        std::vector<std::string> places;
        for (const Place& place : row.places) {
            places.push_back(place.region == Region::None ? std::string(place.name)
                                                          : std::string(place.name) + ", " +
                                                                std::string(row.landmarks.regionWords[std::size_t(place.region)]));
        }
        return places;
    }

    // Polished Crystal's personality byte: bit 7 shiny, bits 5-6 the
    // ability (3 the hidden one), bits 0-4 the nature.
    std::vector<ReadOut> readOuts(const Rom& rom, const TradeRecord& record) const override {
        if (!rom.release->layout.has(Field::Personality)) return {};
        const std::uint32_t personality = numberOf(record, Field::Personality);
        const std::uint32_t nature = personality & kNatureBits;
        const bool shiny = (personality & kShinyBit) != 0;
        return {{"Nature", "Nature", nature < std::size(kNatureNames) ? std::string(kNatureNames[nature]) : "none (" + std::to_string(nature) + ")",
                 Field::Personality, "nature"},
                {"Ability", "Ability", std::string(abilityWord(personality >> kAbilityShift & 3)), Field::Personality, "ability"},
                {"Shiny", "Shiny", shiny ? "yes" : "no", Field::Personality, "shiny", shiny}};
    }
    // Only where the records hold a personality (Polished Crystal) is one asked for.
    std::span<const std::string_view> natures() const override { return kNatureNames; }
    Result<void> giveNature(const Rom& rom, TradeEdit& edit, std::string_view text) const override {
        if (!rom.release->layout.has(Field::Personality)) return GameFamily::giveNature(rom, edit, text);
        const std::string wanted = loweredAscii(trimmed(text));
        for (std::uint32_t nature = 0; nature < std::size(kNatureNames); ++nature) {
            if (loweredAscii(kNatureNames[nature]) != wanted) continue;
            edit.numbers[Field::Personality] = {(numberOf(edit, Field::Personality) & ~kNatureBits) | nature};
            return {};
        }
        std::vector<std::string> names(std::begin(kNatureNames), std::end(kNatureNames));
        return refused(ErrorCode::InvalidArgument, echoed(text) + " is no nature: give one of " + joinedList(names, 0, "or") + ".");
    }
    Result<void> makeShiny(const Rom& rom, TradeEdit& edit) const override {
        if (!rom.release->layout.has(Field::Personality)) return GameFamily::makeShiny(rom, edit);
        edit.numbers[Field::Personality] = {numberOf(edit, Field::Personality) | kShinyBit};
        return {};
    }
    PictureLook pictureLook(const Rom& rom, const TradeRecord& record) const override {
        if (!rom.release->layout.has(Field::Personality)) return GameFamily::pictureLook(rom, record);
        return {(numberOf(record, Field::Personality) & kShinyBit) != 0, 'A'};
    }

    void addWarnings(const Rom& rom, const TradeRecord& record, std::vector<TradeWarning>& warnings) const override {
        // The code takes the ID from +23 and +24: the stored word's high byte, then the name's first character.
        if (rom.release->layout.has(Field::Personality)) {
            if (const std::uint32_t nature = numberOf(record, Field::Personality) & kNatureBits; nature >= std::size(kNatureNames)) {
                warnings.push_back({Field::Personality, "The personality's nature bits hold " + std::to_string(nature) +
                                                            ", which is no nature (0 to 24): give the nature by name (--nature)."});
            }
        }
        const SecondGenerationRow& row = secondGenerationRow(*rom.release);
        if (!row.readsIdLate || !record.trainerId || !rom.release->layout.trainerName) return;
        const std::uint16_t given = std::uint16_t(*record.trainerId >> 8 | record.raw[rom.release->layout.trainerName->at] << 8);
        if (given == *record.trainerId) return;
        warnings.push_back({Field::TrainerId, "The game reads the ID one byte late: the creature gets the ID " + std::to_string(given) +
                                                  " (the stored ID's high byte, then the trainer's first character), not " +
                                                  std::to_string(*record.trainerId) + "."});
    }

    Result<FrontPicture> frontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) const override {
        if (secondGenerationRow(*rom.release).palettes == 0) {
            return noPicture(std::to_string(species), refused(ErrorCode::NoPicture, std::string(rom.release->shortName()) +
                                                                                         " keeps its pictures in a form of its own, which Kestrane does not read yet"));
        }
        return readSecondGenerationPicture(rom, species, look, fs);
    }
};

}  // namespace

const GameFamily& secondGenerationFamily() {
    static const SecondGeneration family;
    return family;
}

}  // namespace kestrane
