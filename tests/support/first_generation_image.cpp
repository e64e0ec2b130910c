#include "support/first_generation_image.h"

#include <algorithm>
#include <stdexcept>

namespace kestrane::testing {
namespace {

// Internal index 1-190 -> Pokédex number (0: a slot with no creature), as the games order them.
constexpr std::uint8_t kPokedexOrder[190] = {
    112, 115, 32,  35,  21,  100, 34,  80,  2,   103, 108, 102, 88,  94,  29,  31,  104, 111, 131,
    59,  151, 130, 90,  72,  92,  123, 120, 9,   127, 114, 0,   0,   58,  95,  22,  16,  79,  64,
    75,  113, 67,  122, 106, 107, 24,  47,  54,  96,  76,  0,   126, 0,   125, 82,  109, 0,   56,
    86,  50,  128, 0,   0,   0,   83,  48,  149, 0,   0,   0,   84,  60,  124, 146, 144, 145, 132,
    52,  98,  0,   0,   0,   37,  38,  25,  26,  0,   0,   147, 148, 140, 141, 116, 117, 0,   0,
    27,  28,  138, 139, 39,  40,  133, 136, 135, 134, 66,  41,  23,  46,  61,  62,  13,  14,  15,
    0,   85,  57,  51,  49,  87,  0,   0,   10,  11,  12,  68,  0,   55,  97,  42,  150, 143, 129,
    0,   0,   89,  0,   99,  91,  0,   101, 36,  110, 53,  105, 0,   93,  63,  65,  17,  18,  121,
    1,   3,   73,  0,   118, 119, 0,   0,   0,   0,   77,  78,  19,  20,  33,  30,  74,  137, 142,
    0,   81,  0,   0,   4,   7,   5,   8,   6,   0,   0,   0,   0,   43,  44,  45,  69,  70,  71,
};

struct Facts {
    bool yellow;
    std::uint32_t routine, table, texts, trainer, names, order, mew;
    std::uint8_t textBank;
    std::uint32_t prepareTradeData, copyDataToReceivedMon;
};
const Facts& factsOf(std::string_view title) {
    static const Facts redBlue{false, kRedBlueTrades, kRedBlueTable, 0x71D64, 0x71D59, 0x1C21E, 0x41024, 0x425B, 0x2A, 0x71C89, 0x71D19};
    static const Facts yellow{true, kYellowTrades, kYellowTable, 0x71E38, 0x71E2D, 0xE8000, 0x410B1, 0, 0x2D, 0x71CF0, 0x71D80};
    return title == "POKEMON YELLOW" ? yellow : redBlue;
}

std::uint16_t address(std::uint32_t offset) { return std::uint16_t(offset < 0x4000 ? offset : 0x4000 + offset % 0x4000); }
void putWord(Bytes& rom, std::uint32_t at, std::uint16_t word) {
    rom[at] = std::uint8_t(word & 0xFF);
    rom[at + 1] = std::uint8_t(word >> 8);
}

// Capital letters, digits, blanks, . ' - and the games' own bytes (0x80 and up) as they are.
Bytes text(std::string_view s) {
    Bytes bytes;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z') bytes.push_back(std::uint8_t(0x80 + (c - 'A')));
        else if (c >= '0' && c <= '9') bytes.push_back(std::uint8_t(0xF6 + (c - '0')));
        else if (c == ' ') bytes.push_back(0x7F);
        else if (c == '.') bytes.push_back(0xE8);
        else if (c == '\'') bytes.push_back(0xE0);
        else if (c == '-') bytes.push_back(0xE3);
        else if (c >= 0x80) bytes.push_back(c);
        else throw std::invalid_argument("no byte for this character");
    }
    return bytes;
}

Trade14 trade(int requested, int offered, std::uint8_t dialog, std::string_view nickname) {
    return Trade14{internalIndexOf(requested), internalIndexOf(offered), dialog, nameField(nickname)};
}

class BitWriter {
public:
    void bit(int b) {
        if (n_ % 8 == 0) bytes_.push_back(0);
        if (b) bytes_.back() |= std::uint8_t(0x80 >> (n_ % 8));
        ++n_;
    }
    void bits(std::uint32_t v, int count) {
        while (count-- > 0) bit(int(v >> count & 1));
    }
    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
    std::size_t n_ = 0;
};

// One plane's bits (row by row), delta-coded, as pairs in the stream's order, then packed.
void writePlane(BitWriter& out, const TestPicture& p, int bitOfShade) {
    const int width = p.width * 8, height = p.height * 8;
    std::vector<int> coded(std::size_t(width * height));
    for (int y = 0; y < height; ++y) {
        int previous = 0;
        for (int x = 0; x < width; ++x) {
            const int bit = p.shades[std::size_t(y * width + x)] >> bitOfShade & 1;
            coded[std::size_t(y * width + x)] = bit ^ previous;
            previous = bit;
        }
    }
    std::vector<std::uint32_t> pairs;
    for (int column = 0; column < p.width; ++column) {
        for (int pair = 0; pair < 4; ++pair) {
            for (int y = 0; y < height; ++y) {
                const int x = column * 8 + pair * 2;
                pairs.push_back(std::uint32_t(coded[std::size_t(y * width + x)] << 1 | coded[std::size_t(y * width + x + 1)]));
            }
        }
    }
    std::size_t at = 0;
    out.bit(pairs[0] != 0);
    bool run = pairs[0] == 0;
    while (at < pairs.size()) {
        if (run) {
            std::uint32_t length = 0;
            while (at < pairs.size() && pairs[at] == 0) ++length, ++at;
            int ones = 0;
            while ((std::uint32_t{2} << (ones + 1)) - 1 <= length) ++ones;
            for (int i = 0; i < ones; ++i) out.bit(1);
            out.bit(0);
            out.bits(length - ((std::uint32_t{2} << ones) - 1), ones + 1);
        } else {
            while (at < pairs.size() && pairs[at] != 0) out.bits(pairs[at++], 2);
            if (at < pairs.size()) out.bits(0, 2);
        }
        run = !run;
    }
}

void put(Bytes& rom, std::uint32_t at, const Bytes& code) { std::copy(code.begin(), code.end(), rom.begin() + at); }
std::uint8_t lo(std::uint32_t offset) { return std::uint8_t(address(offset) & 0xFF); }
std::uint8_t hi(std::uint32_t offset) { return std::uint8_t(address(offset) >> 8); }
std::uint8_t bankOf(std::uint32_t offset) { return std::uint8_t(offset / 0x4000); }
// The bank switch after ld a, n: Red and Blue's ldh and store, or Yellow's call.
Bytes bankSwitch(bool yellow) { return yellow ? Bytes{0xCD, 0xC5, 0x3E} : Bytes{0xE0, 0xB8, 0xEA, 0x00, 0x20}; }

// Japanese Red and Green's banks of pictures: Mew's, then by internal index (no fossil's case).
const std::vector<PictureBankCase> kJapanesePictureBanks = {
    {false, 0x15, 0x01}, {true, 0x1F, 0x09}, {true, 0x4A, 0x0A}, {true, 0x75, 0x0B}, {true, 0x9A, 0x0C}};

// The bank UncompressMonSprite's cases choose for an internal index.
std::uint8_t pictureBank(const std::vector<PictureBankCase>& cases, std::uint8_t otherwise, std::uint8_t internal) {
    for (const PictureBankCase& c : cases) {
        if (c.below ? internal < c.value : internal == c.value) return c.bank;
    }
    return otherwise;
}

// Each Pokédex number's base stats from `baseStats` (Mew's at `mew`, where
// apart), pointing to its bank's first byte; the pictures of `drawn` in the
// banks the cases choose, one after another (in bank 1 past Mew's stats).
void putBaseStatsAndPictures(Bytes& rom, std::uint32_t baseStats, std::optional<std::uint32_t> mew, const std::vector<int>& drawn,
                             const std::vector<PictureBankCase>& banks, std::uint8_t otherwise) {
    std::array<std::uint32_t, 0x0E> bankFree{};
    for (int number = 1; number <= 151; ++number) {
        const std::uint32_t entry = number == 151 && mew ? *mew : baseStats + 28u * std::uint32_t(number - 1);
        const TestPicture picture = testPicture(number);
        rom[entry] = std::uint8_t(number);
        rom[entry + 10] = std::uint8_t(picture.width << 4 | picture.height);
        putWord(rom, entry + 11, 0x4000);
        if (std::find(drawn.begin(), drawn.end(), number) == drawn.end()) continue;
        const std::uint8_t bank = pictureBank(banks, otherwise, internalIndexOf(number));
        const Bytes stream = compressFirstGenerationPicture(picture);
        std::uint32_t& free = bankFree[bank];
        if (free == 0) free = bank == 0x01 ? 0x7000 : std::uint32_t(bank) * 0x4000;
        if (free % 0x4000 + stream.size() > 0x4000) throw std::logic_error("the test pictures overfill a bank");
        std::copy(stream.begin(), stream.end(), rom.begin() + free);
        putWord(rom, entry + 11, address(free));
        free += std::uint32_t(stream.size());
    }
}

}  // namespace

namespace {

// The kana the Japanese image writes, by the bytes of Japanese Red and Green's set.
std::uint8_t kanaByte(char16_t c) {
    static constexpr std::pair<char16_t, std::uint8_t> kKana[] = {
        {u'\u30a2', 0x80}, {u'\u30a4', 0x81}, {u'\u30a6', 0x82}, {u'\u30a8', 0x83}, {u'\u30aa', 0x84}, {u'\u30ab', 0x85},
        {u'\u30ad', 0x86}, {u'\u30af', 0x87}, {u'\u30b1', 0x88}, {u'\u30b3', 0x89}, {u'\u3051', 0xB9}, {u'\u3064', 0xC2},
        {u'\u3070', 0x3A}, {u'\u3093', 0xDE}, {u'\u305b', 0xBE}, {u'\u308a', 0xD8}, {u'\u3075', 0xCC}, {u'\u3000', 0x7F},
        {u'\uff01', 0xE7}};
    if (c >= u'\uff10' && c <= u'\uff19') return std::uint8_t(0xF6 + (c - u'\uff10'));
    for (auto [kana, byte] : kKana) {
        if (kana == c) return byte;
    }
    throw std::invalid_argument("no byte for this kana");
}
Bytes kanaText(std::u16string_view s) {
    Bytes bytes;
    for (char16_t c : s) bytes.push_back(kanaByte(c));
    return bytes;
}

}  // namespace

std::u16string japaneseTestName(int number) {
    if (number == 0) return u"\u3051\u3064\u3070\u3093";
    static constexpr char16_t kDigits[] = u"\u30b3\u30a2\u30a4\u30a6\u30a8\u30aa\u30ab\u30ad\u30af\u30b1";
    std::u16string name;
    for (char c : std::to_string(number)) name += kDigits[c - '0'];
    return name;
}

std::vector<Trade8> retailTrades8() {
    // The nicknames' bytes: テリー, バリバリ, ピピん, パウーン, おしょう, なめぞう, まさこ, おマル, リンダ, チャッピー (full: no end).
    auto trade = [](int requested, int offered, std::uint8_t dialog, std::initializer_list<std::uint8_t> nick) {
        Trade8 t{internalIndexOf(requested), internalIndexOf(offered), dialog, {}};
        t.nickname.fill(0x50);
        std::copy(nick.begin(), nick.end(), t.nickname.begin());
        return t;
    };
    return {trade(33, 30, 0, {0x92, 0xD8, 0xE3}),        trade(63, 122, 0, {0x19, 0xD8, 0x19, 0xD8}),
            trade(12, 15, 2, {0x41, 0x41, 0xDE}),        trade(77, 86, 0, {0x40, 0x82, 0xE3, 0xAB}),
            trade(21, 83, 1, {0xB5, 0xBC, 0xE2, 0xB3}),  trade(80, 108, 1, {0xC5, 0xD2, 0x2F, 0xB3}),
            trade(61, 124, 1, {0xCF, 0xBB, 0xBA}),       trade(26, 101, 1, {0xB5, 0x9D, 0xA6}),
            trade(48, 114, 2, {0xD8, 0xAB, 0x0F}),       trade(29, 32, 2, {0x90, 0xAD, 0xAC, 0x41, 0xE3})};
}

void putTable8(Bytes& rom, std::uint32_t at, const std::vector<Trade8>& trades) {
    for (const Trade8& t : trades) {
        rom[at] = t.requested, rom[at + 1] = t.offered, rom[at + 2] = t.dialog;
        std::copy(t.nickname.begin(), t.nickname.end(), rom.begin() + at + 3);
        at += 8;
    }
    rom[at] = 0x00;  // what follows is no record
}

void putJapaneseTradesRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, std::uint32_t texts) {
    put(rom, at, {0xCD, 0x9E, 0x37, 0x21, lo(table), hi(table), 0xFA, 0x3D, 0xCD, 0xCB, 0x37, 0xCB, 0x3F, 0x4F, 0x06, 0x00, 0x09,
                  0x2A, 0xEA, 0x0F, 0xCD, 0x2A, 0xEA, 0x34, 0xCD, 0x2A, 0xF5, 0x11, 0x29, 0xCD, 0x01, 0x06, 0x00, 0xCD, 0xB5, 0x00,
                  0x3E, 0x50, 0xEA, 0x2E, 0xCD, 0xF1, 0x6F, 0x26, 0x00, 0x11, lo(texts), hi(texts), 0x29, 0x19});
}

void putGetMonName(Bytes& rom, std::uint32_t at, bool yellowForm, std::uint32_t names, std::uint8_t length) {
    Bytes code = {0xE5, 0xF0, 0xB8, 0xF5, 0x3E, bankOf(names)};
    const Bytes rest = {0xFA, 0x1E, 0xD1, 0x3D, 0x21, lo(names), hi(names), 0x0E, length, 0x06, 0x00, 0xCD, 0x87, 0x3A,
                        0x11, 0x6D, 0xCD, 0xD5, 0x01, length, 0x00, 0xCD, 0xB5, 0x00};
    for (const Bytes& part : {bankSwitch(yellowForm), rest}) code.insert(code.end(), part.begin(), part.end());
    put(rom, at, code);
}

void putGetMonHeader(Bytes& rom, std::uint32_t at, bool yellowForm, std::uint32_t baseStats, std::optional<std::uint32_t> mew) {
    Bytes code = {0xF0, 0xB8, 0xF5, 0x3E, bankOf(baseStats)};
    const Bytes cases = {0xC5, 0xD5, 0xE5, 0xFA, 0x1E, 0xD1, 0xF5, 0xFA, 0xB5, 0xD0, 0xEA, 0x1E, 0xD1, 0x11, 0x00, 0x60, 0x06, 0x66, 0xFE,
                         0xB6, 0x28, 0x30, 0x11, 0x00, 0x61, 0xFE, 0xB8, 0x28, 0x29, 0x11, 0x00, 0x62, 0x06, 0x77, 0xFE, 0xB7, 0x28, 0x22};
    for (const Bytes& part : {bankSwitch(yellowForm), cases}) code.insert(code.end(), part.begin(), part.end());
    std::size_t mewJump = 0;
    if (mew) {
        code.insert(code.end(), {0xFE, 0x15, 0x28, 0x00});
        mewJump = code.size() - 1;
    }
    code.insert(code.end(), {0x3E, 0x3A, 0xCD, 0x6D, 0x3E, 0xFA, 0x1E, 0xD1, 0x3D, 0x01, 0x1C, 0x00, 0x21, lo(baseStats), hi(baseStats),
                             0xCD, 0x87, 0x3A, 0x11, 0x8B, 0xD0, 0x01, 0x1C, 0x00, 0xCD, 0xB5, 0x00, 0x18, 0x10});
    if (mew) {
        code[mewJump] = std::uint8_t(code.size() - (mewJump + 1));
        code.insert(code.end(), {0x21, lo(*mew), hi(*mew), 0x11, 0x8B, 0xD0, 0x01, 0x1C, 0x00, 0x3E, bankOf(*mew), 0xCD, 0xD1, 0x00});
    }
    put(rom, at, code);
}

void putUncompressMonSprite(Bytes& rom, std::uint32_t at, const std::vector<PictureBankCase>& cases, std::uint8_t otherwise) {
    Bytes code = {0x01, 0x8B, 0xD0, 0x09, 0x2A, 0xEA, 0xD0, 0xD0, 0x7E, 0xEA, 0xD1, 0xD0, 0xFA, 0x91, 0xCF, 0x47};
    std::vector<std::size_t> jumps;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (i > 0) code.push_back(0x78);
        code.insert(code.end(), {0xFE, cases[i].value, 0x3E, cases[i].bank, std::uint8_t(cases[i].below ? 0x38 : 0x28), 0x00});
        jumps.push_back(code.size() - 1);
    }
    code.insert(code.end(), {0x3E, otherwise});
    for (std::size_t jump : jumps) code[jump] = std::uint8_t(code.size() - (jump + 1));
    code.insert(code.end(), {0xC3, 0xDA, 0x24});
    put(rom, at, code);
}

std::vector<PictureBankCase> retailPictureBanks(std::string_view title) {
    std::vector<PictureBankCase> cases = {{false, 0xB6, 0x0B}, {true, 0x1F, 0x09}, {true, 0x4A, 0x0A}, {true, 0x74, 0x0B}, {true, 0x99, 0x0C}};
    if (!factsOf(title).yellow) cases.insert(cases.begin(), {false, 0x15, 0x01});  // Mew
    return cases;
}

void putIndexToPokedex(Bytes& rom, std::uint32_t at, std::uint32_t order) {
    put(rom, at, {0xC5, 0xE5, 0xFA, 0x1E, 0xD1, 0x3D, 0x21, lo(order), hi(order), 0x06, 0x00, 0x4F, 0x09, 0x7E, 0xEA, 0x1E, 0xD1, 0xE1,
                  0xC1, 0xC9});
}

void putTrainerRoutines(Bytes& rom, std::uint32_t prepareAt, std::uint32_t copyAt, std::uint32_t trainer, std::uint32_t received,
                        std::uint8_t nameLength) {
    const std::uint8_t n = nameLength;
    put(rom, prepareAt,
        {0x21, 0x4C, 0xD1, 0xFA, 0x2F, 0xCD, 0x22, 0xFA, 0x30, 0xCD, 0x77, 0x21, 0xA3, 0xD2, 0x01, n,    0x00, 0xFA, 0x92, 0xCF,
         0xCD, 0x87, 0x3A, 0x11, 0x4E, 0xD1, 0x01, n,    0x00, 0xCD, 0x00, 0x60, 0x21, lo(trainer), hi(trainer), 0x11, 0x59, 0xD1,
         0xCD, 0x00, 0x60, 0x11, 0x9D, 0xD8, 0xCD, 0x00, 0x60});
    put(rom, copyAt,
        {0x21, 0xB5, 0xD2, 0x01, n,    0x00, 0xCD, 0x50, 0x5D, 0x21, 0x41, 0xCD, 0x01, n,    0x00, 0xCD, 0xB5, 0x00,
         0x21, 0x73, 0xD2, 0x01, n,    0x00, 0xCD, 0x50, 0x5D, 0x21, lo(received), hi(received), 0x01, n, 0x00, 0xCD, 0xB5, 0x00,
         0x21, 0x77, 0xD1, 0x01, 0x2C, 0x00, 0xCD, 0x50, 0x5D, 0x21, 0x63, 0xD1, 0x01, 0x02, 0x00, 0xC3, 0xB5, 0x00});
}

void putJapaneseGetMonName(Bytes& rom, std::uint32_t at, std::uint32_t names) {
    // ld e, a; ld d, 0; add hl, de five times (a name of 5 bytes); ld bc, 5
    put(rom, at, {0xE5, 0xF0, 0xB8, 0xF5, 0x3E, bankOf(names), 0xE0, 0xB8, 0xEA, 0x00, 0x20, 0xFA, 0x1E, 0xD1, 0x3D, 0x21, lo(names),
                  hi(names), 0x5F, 0x16, 0x00, 0x19, 0x19, 0x19, 0x19, 0x19, 0x11, 0x6D, 0xCD, 0xD5, 0x01, 0x05, 0x00, 0xCD, 0xB5, 0x00});
}

std::uint8_t internalIndexOf(int number) {
    const auto* found = std::find(std::begin(kPokedexOrder), std::end(kPokedexOrder), number);
    return found == std::end(kPokedexOrder) || number == 0 ? 0 : std::uint8_t(found - std::begin(kPokedexOrder) + 1);
}

int pokedexNumberOf(std::uint8_t internal) { return internal >= 1 && internal <= 190 ? kPokedexOrder[internal - 1] : 0; }

std::vector<Trade14> retailTrades14(std::string_view title) {
    if (factsOf(title).yellow) {
        return {trade(108, 51, 0, "GURIO"),  trade(35, 122, 0, "MILES"), trade(12, 15, 2, "STINGER"),
                trade(115, 89, 0, "STICKY"), trade(151, 151, 2, "BART"), trade(114, 47, 0, "SPIKE"),
                trade(18, 18, 2, "MARTY"),   trade(55, 112, 2, "BUFFY"), trade(58, 87, 0, "CEZANNE"),
                trade(104, 67, 1, "RICKY")};
    }
    return {trade(33, 30, 0, "TERRY"), trade(63, 122, 0, "MARCEL"), trade(12, 15, 2, "CHIKUCHIKU"),
            trade(77, 86, 0, "SAILOR"), trade(21, 83, 2, "DUX"),     trade(80, 108, 0, "MARC"),
            trade(61, 124, 1, "LOLA"), trade(26, 101, 1, "DORIS"),  trade(48, 114, 2, "CRINKLES"),
            trade(32, 29, 2, "SPOT")};
}

Bytes record14(const Trade14& t) {
    Bytes r(14);
    r[0] = t.requested, r[1] = t.offered, r[2] = t.dialog;
    std::copy(t.nickname.begin(), t.nickname.end(), r.begin() + 3);
    return r;
}

void putTable14(Bytes& rom, std::uint32_t at, const std::vector<Trade14>& trades) {
    for (const Trade14& t : trades) {
        const Bytes r = record14(t);
        std::copy(r.begin(), r.end(), rom.begin() + at);
        at += 14;
    }
    rom[at] = 0x00;  // what follows is no record
}

void putTradesRoutine(Bytes& rom, std::string_view title, std::uint32_t at, std::uint32_t table, std::uint32_t texts) {
    const std::uint16_t t = address(table), x = address(texts);
    const auto lo = [](std::uint16_t a) { return std::uint8_t(a & 0xFF); };
    const auto hi = [](std::uint16_t a) { return std::uint8_t(a >> 8); };
    const Bytes code =
        factsOf(title).yellow
            ? Bytes{0xCD, 0xEC, 0x36, 0x21, lo(t), hi(t), 0xFA, 0x3D, 0xCD, 0x01, 0x0E, 0x00, 0xCD, 0x74, 0x3A,
                    0x2A, 0xEA, 0x0F, 0xCD, 0x2A, 0xEA, 0x34, 0xCD, 0x2A, 0xF5, 0x11, 0x29, 0xCD, 0x01, 0x0B,
                    0x00, 0xCD, 0xB1, 0x00, 0xF1, 0x6F, 0x26, 0x00, 0x11, lo(x), hi(x), 0x29, 0x19}
            : Bytes{0xCD, 0xF4, 0x36, 0x21, lo(t), hi(t), 0xFA, 0x3D, 0xCD, 0x47, 0xCB, 0x37, 0x90, 0x90, 0x4F, 0x06,
                    0x00, 0x09, 0x2A, 0xEA, 0x0F, 0xCD, 0x2A, 0xEA, 0x34, 0xCD, 0x2A, 0xF5, 0x11, 0x29, 0xCD, 0x01,
                    0x0B, 0x00, 0xCD, 0xB5, 0x00, 0xF1, 0x6F, 0x26, 0x00, 0x11, lo(x), hi(x), 0x29, 0x19};
    std::copy(code.begin(), code.end(), rom.begin() + at);
}

void putTradeScript(Bytes& rom, std::uint32_t at, int trade) {
    Bytes code = trade == 0 ? Bytes{0xAF} : Bytes{0x3E, std::uint8_t(trade)};
    code.insert(code.end(), {0xEA, 0x3D, 0xCD, 0x3E, 0x54, 0xCD, 0xD6, 0x3E, 0xC3, 0xD7, 0x24});
    std::copy(code.begin(), code.end(), rom.begin() + at);
}

void putJumpingTradeScripts(Bytes& rom, std::uint32_t at, int first, int second) {
    // text_asm; ld a, first; ld [wWhichTrade], a; jr .doTrade — text_asm; ld a, second; ld [wWhichTrade], a;
    // .doTrade: predef DoInGameTradeDialogue; jp TextScriptEnd
    const Bytes code = {0x08, 0x3E, std::uint8_t(first),  0xEA, 0x3D, 0xCD, 0x18, 0x06, 0x08, 0x3E, std::uint8_t(second),
                        0xEA, 0x3D, 0xCD, 0x3E, 0x54, 0xCD, 0xD6, 0x3E, 0xC3, 0xD7, 0x24};
    std::copy(code.begin(), code.end(), rom.begin() + at);
}

std::vector<int> retailScriptTrades(std::string_view title) {
    // Trades 7 and 8 are the Cinnabar Lab trade room's, written apart (putJumpingTradeScripts).
    return factsOf(title).yellow ? std::vector<int>{0, 1, 3, 5, 9} : std::vector<int>{0, 1, 3, 4, 5, 6, 9};
}

TestPicture testPicture(int number) {
    TestPicture p{5 + number % 3, 4 + number / 3 % 4, {}};
    const int width = p.width * 8, height = p.height * 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Runs of one shade with edges: zero pairs and given pairs both.
            const int band = (x / 3 + y / 5 + number) % 7;
            p.shades.push_back(std::uint8_t(band < 3 ? 0 : (band + x * y) % 4));
        }
    }
    return p;
}

Bytes compressFirstGenerationPicture(const TestPicture& picture) {
    BitWriter out;
    out.bits(std::uint32_t(picture.width << 4 | picture.height), 8);
    out.bit(0);  // the low bits' plane first
    writePlane(out, picture, 0);
    out.bit(0);  // mode 0
    writePlane(out, picture, 1);
    return out.bytes();
}

Bytes firstGenerationRom(std::string_view title, std::uint32_t seed) {
    const Facts& f = factsOf(title);
    Bytes rom = randomImage("", seed);
    rom.resize(0x100000);
    std::fill_n(rom.begin() + 0x134, 16, 0x00);
    std::copy(title.begin(), title.end(), rom.begin() + 0x134);
    rom[0x143] = f.yellow ? 0x80 : 0x00;
    rom[0x147] = f.yellow ? 0x1B : 0x13;
    rom[0x148] = 0x05;
    rom[0x14A] = 0x01;
    rom[0x14B] = 0x33;
    rom[0x14C] = 0x00;

    putTradesRoutine(rom, title, f.routine, f.table, f.texts);
    putTable14(rom, f.table, retailTrades14(title));
    // The trainer's name every trade gives: TRAINER (0x5D), then ten ends,
    // named by the two routines that give it.
    rom[f.trainer] = 0x5D;
    std::fill_n(rom.begin() + f.trainer + 1, 10, 0x50);
    putTrainerRoutines(rom, f.prepareTradeData, f.copyDataToReceivedMon, f.trainer, f.trainer);
    // The home routines that read the species' tables, and IndexToPokedex just before its table.
    putGetMonName(rom, kGetMonNameAt, f.yellow, f.names, 10);
    putGetMonHeader(rom, kGetMonHeaderAt, f.yellow, 0x383DE, f.yellow ? std::nullopt : std::optional<std::uint32_t>(f.mew));
    putUncompressMonSprite(rom, kUncompressMonSpriteAt, retailPictureBanks(title), 0x0D);
    putIndexToPokedex(rom, f.order - 20, f.order);
    // The texts' pointers: a word a set to five words (the phases), each to a far text to the text bank.
    std::uint32_t setTables = f.texts + 6, stubs = setTables + 30;
    std::uint32_t texts = std::uint32_t(f.textBank) * 0x4000 + 0x100;
    for (int set = 0; set < 3; ++set) {
        putWord(rom, f.texts + 2 * std::uint32_t(set), address(setTables + 10 * std::uint32_t(set)));
        for (int phase = 0; phase < 5; ++phase) {
            putWord(rom, setTables + 10 * std::uint32_t(set) + 2 * std::uint32_t(phase), address(stubs));
            const Bytes stub = {0x17, std::uint8_t(address(texts) & 0xFF), std::uint8_t(address(texts) >> 8), f.textBank, 0x50};
            std::copy(stub.begin(), stub.end(), rom.begin() + stubs);
            stubs += 5;
            // "LINE s p " the requested creature, a line, the offered one, "!", the end of the text.
            Bytes line = {0x00};
            const Bytes words = text(std::string(kTestLineWords) + " " + std::to_string(set) + " " + std::to_string(phase) + " ");
            line.insert(line.end(), words.begin(), words.end());
            line.insert(line.end(), {0x50, 0x01, 0x13, 0xCD, 0x00, 0x4F, 0x50, 0x01, 0x1E, 0xCD, 0x00, 0xE7, 0x57});
            std::copy(line.begin(), line.end(), rom.begin() + texts);
            texts += std::uint32_t(line.size());
        }
    }
    std::uint32_t script = kScriptsAt;
    for (int trade : retailScriptTrades(title)) {
        putTradeScript(rom, script, trade);
        script += 16;
    }
    putJumpingTradeScripts(rom, kCinnabarTradeRoomScripts, 7, 8);
    // The species: names by internal index, the Pokédex order, the base stats with the pictures.
    for (std::uint8_t index = 1; index <= 190; ++index) {
        const int number = kPokedexOrder[index - 1];
        Bytes name = text(number ? gameSpelling(number) : "MISSINGNO.");
        name.resize(10, 0x50);
        std::copy(name.begin(), name.end(), rom.begin() + f.names + 10u * (index - 1u));
        rom[f.order + index - 1u] = std::uint8_t(number);
    }
    // Pictures for the trades' species, Pikachu and Mew; the others' pointers name their bank's first byte.
    std::vector<int> drawn = {25, 151};
    for (const Trade14& t : retailTrades14(title)) drawn.insert(drawn.end(), {pokedexNumberOf(t.requested), pokedexNumberOf(t.offered)});
    putBaseStatsAndPictures(rom, 0x383DE, f.yellow ? std::nullopt : std::optional<std::uint32_t>(f.mew), drawn, retailPictureBanks(title),
                            0x0D);
    buildChecksums(rom, false);
    return rom;
}

Bytes japaneseFirstGenerationRom(std::string_view title, std::uint8_t version, std::uint32_t seed) {
    Bytes rom = randomImage("", seed);
    rom.resize(0x80000);
    std::fill_n(rom.begin() + 0x134, 16, 0x00);
    std::copy(title.begin(), title.end(), rom.begin() + 0x134);
    rom[0x143] = 0x00;
    rom[0x147] = 0x03;  // MBC1, RAM and battery
    rom[0x148] = 0x04;  // 512 KiB
    rom[0x14A] = 0x00;  // Japan
    rom[0x14B] = 0x33;
    rom[0x14C] = version;

    putJapaneseTradesRoutine(rom, kJapaneseTrades, kJapaneseTable, kJapaneseTexts);
    putTable8(rom, kJapaneseTable, retailTrades8());
    // InGameTrade_TrainerString: トレーナー (0x5D), its end; the two routines that name it, before the trade routine.
    constexpr std::uint32_t kTrainer = 0x721DC;
    rom[kTrainer] = 0x5D, rom[kTrainer + 1] = 0x50;
    putTrainerRoutines(rom, 0x71F00, 0x71F40, kTrainer, kTrainer, 0x06);
    putJapaneseGetMonName(rom, kGetMonNameAt, kJapaneseNames);
    putGetMonHeader(rom, kGetMonHeaderAt, false, kJapaneseBaseStats, 0x4200);
    putUncompressMonSprite(rom, kUncompressMonSpriteAt, kJapanesePictureBanks, 0x0D);
    putIndexToPokedex(rom, kJapaneseOrder - 20, kJapaneseOrder);
    // The texts inline: a word a set to its five phases' words, each to a text of its own.
    const std::uint32_t setTables = kJapaneseTexts + 6;
    std::uint32_t texts = setTables + 30;
    for (int set = 0; set < 3; ++set) {
        putWord(rom, kJapaneseTexts + 2 * std::uint32_t(set), address(setTables + 10 * std::uint32_t(set)));
        for (int phase = 0; phase < 5; ++phase) {
            putWord(rom, setTables + 10 * std::uint32_t(set) + 2 * std::uint32_t(phase), address(texts));
            // "せりふ s p " the requested creature, a line, the offered one, "！", the end.
            Bytes line = {0x00};
            const std::u16string digits = {u'\u3000', char16_t(u'\uff10' + set), u'\u3000', char16_t(u'\uff10' + phase), u'\u3000'};
            const Bytes words = kanaText(std::u16string(kJapaneseTestLineWords) + digits);
            line.insert(line.end(), words.begin(), words.end());
            line.insert(line.end(), {0x50, 0x01, 0x13, 0xCD, 0x00, 0x4F, 0x50, 0x01, 0x19, 0xCD, 0x00, 0xE7, 0x57});
            std::copy(line.begin(), line.end(), rom.begin() + texts);
            texts += std::uint32_t(line.size());
        }
    }
    std::uint32_t script = kScriptsAt;
    for (int trade : retailScriptTrades("POKEMON RED")) {
        putTradeScript(rom, script, trade);
        script += 16;
    }
    putJumpingTradeScripts(rom, kCinnabarTradeRoomScripts, 7, 8);
    for (std::uint8_t index = 1; index <= 190; ++index) {
        const int number = kPokedexOrder[index - 1];
        Bytes name = kanaText(japaneseTestName(number));
        name.resize(5, 0x50);
        std::copy(name.begin(), name.end(), rom.begin() + kJapaneseNames + 5u * (index - 1u));
        rom[kJapaneseOrder + index - 1u] = std::uint8_t(number);
    }
    // Base stats, Mew's in bank 1; pictures for the trades' species.
    std::vector<int> drawn = {151};
    for (const Trade8& t : retailTrades8()) drawn.insert(drawn.end(), {pokedexNumberOf(t.requested), pokedexNumberOf(t.offered)});
    putBaseStatsAndPictures(rom, kJapaneseBaseStats, 0x4200, drawn, kJapanesePictureBanks, 0x0D);
    buildChecksums(rom, false);
    return rom;
}

}  // namespace kestrane::testing
