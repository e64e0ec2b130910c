// Random edits on random images (fixed seeds): what must hold for every save.
#include <gtest/gtest.h>

#include <random>

#include "families/families.h"
#include "families/gameboy/charsets.h"
#include "library/char_map.h"
#include "platform/gb/checksums.h"
#include "support/memory_file_system.h"
#include "support/rom_image.h"
#include "text/game_text.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

constexpr const char* kGames[] = {"AAUE", "AAXE", "BYTE"};
const std::string kPath = "rom.gbc";

// Units the encoder knows: characters of the standard map, tokens, escapes,
// the terminator. At most ten of them fit a field.
std::u16string randomName(std::mt19937& rng) {
    static const std::u16string plain = u" ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz?!.,0123456789";
    static const std::u16string_view tokens[] = {u"[PK]", u"[MN]", u"[Lv]", u"[K\u00e9]", u"[u]", u"[>]",
                                                 u"[\"]", u"\\n", u"\\x", u"\\"};
    std::u16string name;
    // A terminator before an "h" would begin a hex escape that names no byte, which is refused.
    while (name.empty() || findUnencodable(name, englishCharset())) {
        name.clear();
        for (int units = int(rng() % 11); units > 0; --units) {
            switch (rng() % 8) {
            case 0: name += tokens[rng() % std::size(tokens)]; break;
            case 1: name += u"\\h" + std::u16string{u"0123456789abcdefABCDEF"[rng() % 22], u"0123456789ABCDEF"[rng() % 16]}; break;
            default: name += plain[rng() % plain.size()];
            }
        }
    }
    return name;
}


TEST(Properties, RandomSavesTouchOnlyTheFieldsOfTheirRecord) {
    // Seed 3's image has consistent checksums, which every save must keep so.
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        const char* game = kGames[seed % 3];
        const bool checksums = seed == 3;
        const SaveOptions options{checksums ? ChecksumPolicy::KeepConsistent : ChecksumPolicy::Leave};
        MemoryFileSystem fs;
        Bytes image = retailLikeRom(game, seed);
        if (checksums) buildChecksums(image);
        fs.put(kPath, image);
        const Rom rom = *openRom(kPath, families::all(), fs);
        const int slots = game[0] == 'B' ? 7 : 6;
        // What the file must hold: only the saved record's fields (and the checksums) move on.
        Bytes model = fs.bytes(kPath);
        for (int i = 0; i < (checksums ? 300 : 700); ++i) {
            const Slot slot = Slot::fromNumber(1 + int(rng() % std::uint32_t(slots)));
            auto reading = readTradeRecord(rom, slot, fs);
            ASSERT_TRUE(reading && reading->record) << i;
            const TradeRecord& shown = *reading->record;

            // Saved as shown, nothing changes at all.
            TradeEdit edit = uneditedEdit(shown);
            auto unchanged = writeTradeRecord(rom, edit, options, fs);
            ASSERT_TRUE(unchanged) << describe(unchanged.error());
            ASSERT_TRUE(unchanged->written.empty());
            ASSERT_EQ(fs.bytes(kPath), model) << "edit " << i;

            const int requested = int(rng() % 252);
            if (rng() % 2) edit.requestedSpecies = std::uint8_t(requested);
            if (rng() % 2) edit.offeredSpecies = std::uint8_t(rng() % 252);
            if (rng() % 2) edit.nickname = *resolveName(rom, shown, NameRole::Nickname, randomName(rng));
            if (rng() % 2) edit.trainerName = *resolveName(rom, shown, NameRole::TrainerName, randomName(rng));
            const std::uint32_t id = rng() % 65536;
            if (rng() % 2) edit.trainerId = std::uint16_t(id);
            auto saved = writeTradeRecord(rom, edit, options, fs);
            ASSERT_TRUE(saved) << "edit " << i << ": " << describe(saved.error());

            const Bytes& after = fs.bytes(kPath);
            ASSERT_EQ(after.size(), model.size());
            // Outside the record's fields (and never its +13, +29, +31), every byte is as it was.
            for (std::uint32_t k = 0; k < 32; ++k) {
                if (k != 13 && k != 29 && k != 31) model[shown.offset + k] = after[shown.offset + k];
            }
            if (checksums) {
                Bytes now = after;
                const ChecksumState state = RomChecks(now).state();
                ASSERT_EQ(state.of(Check::Global), ChecksumStatus::Consistent) << "edit " << i;
                ASSERT_EQ(state.of(Check::Stadium), ChecksumStatus::Consistent) << "edit " << i;
                std::copy_n(after.begin() + kGlobalChecksumAt, 2, model.begin() + kGlobalChecksumAt);
                std::copy_n(after.begin() + kStadiumAt, kStadiumLength, model.begin() + kStadiumAt);
            }
            ASSERT_EQ(after, model) << "edit " << i;
            if (edit.requestedSpecies) {
                ASSERT_EQ(after[shown.offset + 1], requested);
            }
            if (edit.trainerId) {
                ASSERT_EQ(after[shown.offset + 17] | after[shown.offset + 18] << 8, int(id));
            }
        }
    }
}

TEST(Properties, StandardMapFieldsSurviveDecodeThenEncode) {
    // Every byte with a text, but those that can join a neighbour into a
    // longer unit ("[", "'", "é") and 0x00, which is written back as 0x7F.
    std::vector<std::uint8_t> standard;
    for (int b = 1; b < 256; ++b) {
        if (standardText(std::uint8_t(b)) && b != 0x9E && b != 0xE0 && b != 0xEA) standard.push_back(std::uint8_t(b));
    }
    std::mt19937 rng(42);
    for (int i = 0; i < 20000; ++i) {
        // Standard bytes, then (usually) a terminator and anything after it.
        Bytes field(10);
        const std::size_t length = rng() % 11;
        for (std::size_t k = 0; k < 10; ++k) {
            field[k] = k < length ? standard[rng() % standard.size()] : k == length ? 0x50 : std::uint8_t(rng());
        }
        Bytes upToTerminator(field.begin(), field.begin() + std::ptrdiff_t(std::min<std::size_t>(length + 1, 10)));
        Bytes encoded = encodeGameText(decodeGameText(field, englishCharset()) + u"\\", englishCharset());
        if (length == 10) encoded.pop_back();  // a full field has no terminator of its own
        ASSERT_EQ(encoded, upToTerminator) << "case " << i;
    }
}

}  // namespace
}  // namespace kestrane
