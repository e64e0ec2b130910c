// Finding the trade table: for every way a ROM can keep it, and every way it can fail.
#include "trades/trade_table.h"

#include <gtest/gtest.h>

#include "families/families.h"
#include "support/first_generation_image.h"
#include "support/hex_text.h"
#include "support/rom_image.h"
#include "support/polished_crystal_image.h"
#include "trades/rom.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

struct Locating {
    const char* name;
    const char* code;
    std::function<void(Bytes&)> build;  // on a random image of the code
    std::uint32_t offset;               // 0: no table
    int records;
    FoundBy foundBy;
    const char* refusal;  // a part of the message when there is no table
    const char* layout = "vanilla";  // the layout the game's code reads
    std::optional<Language> language = std::nullopt;  // the row's, where two markets share the code
};

void PrintTo(const Locating& c, std::ostream* os) { *os << c.name; }

std::vector<TradeBytes> ownTrades(const char* code) { return retailTrades(code); }

const Locating kLocating[] = {
    {"retail Crystal", "BYTE", [](Bytes& r) { r = retailLikeRom("BYTE"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"retail Gold", "AAUE", [](Bytes& r) { r = retailLikeRom("AAUE"); }, kGoldSilverTable, 6, FoundBy::UsualPlace, ""},
    {"retail Silver", "AAXE", [](Bytes& r) { r = retailLikeRom("AAXE"); }, kGoldSilverTable, 6, FoundBy::UsualPlace, ""},
    {"Australian Crystal", "BYTU", [](Bytes& r) { r = retailLikeRom("BYTU"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"French Crystal", "BYTF", [](Bytes& r) { r = retailLikeRom("BYTF"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"Spanish Crystal", "BYTS", [](Bytes& r) { r = retailLikeRom("BYTS"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"Japanese Gold", "AAUJ", [](Bytes& r) { r = retailLikeRom("AAUJ"); }, 0xFCC23, 6, FoundBy::UsualPlace, ""},
    {"Japanese Silver moved by 40, its 16-byte routine pointing to it", "AAXJ",
     [](Bytes& r) {
         putTable(r, 0xFCC23 + 40, ownTrades("AAXJ"), 16);
         putRoutine(r, 0xFCB8E + 40, 0xFCC23 + 40, 16);
     },
     0xFCC23 + 40, 6, FoundBy::TableRoutine, ""},
    {"Japanese Gold moved, routine gone: the scan finds it", "AAUJ",
     [](Bytes& r) { putTable(r, 0x123457, ownTrades("AAUJ"), 16); }, 0x123457, 6, FoundBy::RecordScan, ""},
    {"a 32-byte routine in a Japanese ROM points nowhere it counts", "AAUJ",
     [](Bytes& r) {
         putTable(r, 0x40000, ownTrades("AAUJ"), 16);
         putTable(r, 0x80000, ownTrades("AAUJ"), 16);
         putRoutine(r, 0xFCB8E, 0xFCC23, 32);
     },
     0, 0, FoundBy::UsualPlace, "found 2 runs of trade records"},
    {"moved by 48, routine points to it", "BYTE",
     [](Bytes& r) {
         putTable(r, kCrystalTable + 48, ownTrades("BYTE"));
         putRoutine(r, kCrystalRoutine + 48, kCrystalTable + 48);
     },
     kCrystalTable + 48, 7, FoundBy::TableRoutine, ""},
    // The routine straddles the end of the search's first piece.
    {"code moved across a piece of the search", "BYTE",
     [](Bytes& r) {
         putTable(r, std::uint32_t(kSearchPiece) - 0x2000, ownTrades("BYTE"));
         putRoutine(r, std::uint32_t(kSearchPiece) - 10, std::uint32_t(kSearchPiece) - 0x2000);
     },
     std::uint32_t(kSearchPiece) - 0x2000, 7, FoundBy::TableRoutine, ""},
    {"moved, routine gone: the scan finds it", "AAUE",
     [](Bytes& r) { putTable(r, 0x123456, ownTrades("AAUE")); }, 0x123456, 6, FoundBy::RecordScan, ""},
    {"nine records", "BYTE",
     [](Bytes& r) {
         auto trades = ownTrades("BYTE");
         trades.push_back(TradeBytes{});
         trades.push_back(TradeBytes{3, 1, 251, nameField("ADDED"), {1, 2}, 0, 7, nameField("ME"), 2});
         putTable(r, kCrystalTable, trades);
         putRoutine(r, kCrystalRoutine, kCrystalTable);
     },
     kCrystalTable, 9, FoundBy::UsualPlace, ""},
    {"Gold with a seventh record added", "AAUE",
     [](Bytes& r) {
         auto trades = ownTrades("AAUE");
         trades.push_back(TradeBytes{});
         putTable(r, kGoldSilverTable, trades);
         putRoutine(r, kGoldSilverRoutine, kGoldSilverTable);
     },
     kGoldSilverTable, 7, FoundBy::UsualPlace, ""},
    {"two candidate runs", "BYTE",
     [](Bytes& r) {
         putTable(r, 0x40000, ownTrades("BYTE"));
         putTable(r, 0x80000, ownTrades("BYTE"));
     },
     0, 0, FoundBy::UsualPlace, "found 2 runs of trade records (at 0x40000 and 0x80000)"},
    {"records in another format", "BYTE",
     [](Bytes& r) {
         // 16-bit species and an 8-byte trainer name: +29 holds the gender byte.
         for (int i = 0; i < 7; ++i) {
             Bytes record(32, 0x50);
             record[0] = 0;
             record[1] = 0x3F, record[2] = 0, record[3] = 0x42, record[4] = 0;
             record[29] = 0, record[30] = 0, record[31] = 0;
             std::copy(record.begin(), record.end(), r.begin() + kCrystalTable + 32 * i);
         }
         putRoutine(r, kCrystalRoutine, kCrystalTable);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, where the record of Trade Number 2 fails the checks"},
    {"routine points outside its bank", "BYTE",
     [](Bytes& r) {
         putRoutine(r, kCrystalRoutine, kCrystalTable);
         r[kCrystalRoutine + 15] = 0x80;  // address 0x8E58
     },
     0, 0, FoundBy::UsualPlace, "points outside its own bank"},
    {"routine points past the end of the file", "BYTE",
     [](Bytes& r) {
         putRoutine(r, 0x1FC000, 0x1FF000);
         r.resize(0x1FE000);
     },
     0, 0, FoundBy::UsualPlace, "at 0x1FC000, points to 0x1FF000, past the end of the file"},
    // Files shorter than their headers say: the table is the game's whole
    // table, cut, whichever way it is found; cut before it, there is none.
    {"file cut inside the table", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r.resize(kCrystalTable + 100);
     },
     kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"moved table cut inside record 7", "BYTE",
     [](Bytes& r) {
         putTable(r, kCrystalTable + 48, ownTrades("BYTE"));
         putRoutine(r, kCrystalRoutine + 48, kCrystalTable + 48);
         r.resize(kCrystalTable + 48 + 6 * 32 + 20);
     },
     kCrystalTable + 48, 7, FoundBy::TableRoutine, ""},
    {"table found by the scan, cut inside record 7", "BYTE",
     [](Bytes& r) {
         putTable(r, 0x123456, ownTrades("BYTE"));
         r.resize(0x123456 + 6 * 32 + 20);
     },
     0x123456, 7, FoundBy::RecordScan, ""},
    {"file cut before the table", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r.resize(kCrystalTable - 100);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, past the end of the file"},
    {"header says 512 KiB: a table at the end is no cut one", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[0x148] = 0x04;
         r.resize(kCrystalTable + 100);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, where the file ends before the table's end"},
    // The game's own routine decides: one bad byte is no reason to take another place.
    {"record 0's dialog set byte 9: refused, no scan", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[kCrystalTable] = 9;
     },
     0, 0, FoundBy::UsualPlace, "at 0xFCDC2, points to 0xFCE58, where the record of Trade Number 2 fails the checks: its "
                                "dialog set byte is 9"},
    {"record 0's last byte 1: refused, no scan", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[kCrystalTable + 31] = 1;
     },
     0, 0, FoundBy::UsualPlace, "its last byte is 0x01, not 0x00"},
    {"the routine points to a copy; the old table at the usual place is stale", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         auto trades = ownTrades("BYTE");
         trades[1].nickname = nameField("EDITED");
         putTable(r, 0xFF000, trades);
         putRoutine(r, kCrystalRoutine, 0xFF000);
     },
     0xFF000, 7, FoundBy::TableRoutine, ""},
    {"the routine points to bytes that are no table, though the usual place holds one", "AAUE",
     [](Bytes& r) {
         r = retailLikeRom("AAUE");
         putRoutine(r, kGoldSilverRoutine, 0xFF000);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFF000, where the record of Trade Number 2 fails the checks"},
    {"Japanese Silver's stale copies of the routine and the table in unused space", "AAXJ",
     [](Bytes& r) {
         r = retailLikeRom("AAXJ");
         auto trades = ownTrades("AAXJ");
         trades[0].requested = 1;
         putTable(r, 0xFEBBF, trades, 16);
         putRoutine(r, 0xFEB2A, 0xFEBBF, 16);
     },
     0xFCC23, 6, FoundBy::UsualPlace, ""},
    {"code moved: two copies of the routine point to different tables", "BYTE",
     [](Bytes& r) {
         putTable(r, 0xFD000, ownTrades("BYTE"));
         putTable(r, 0xFE000, ownTrades("BYTE"));
         putRoutine(r, 0xFC100, 0xFD000);
         putRoutine(r, 0xFC200, 0xFE000);
     },
     0, 0, FoundBy::UsualPlace,
     "2 copies of the routine that reads it point to different places (at 0xFC100 to 0xFD000 and at 0xFC200 to 0xFE000)"},
    {"8 MiB with 299,593 copies of the routine, none usable: told in short", "BYTE",
     [](Bytes& r) {
         r.resize(8 * 1024 * 1024);
         for (std::uint32_t at = 0x4000, n = 0; n < 299593; ++n, at += 21) putRoutine(r, at, at + 0x40);
     },
     0, 0, FoundBy::UsualPlace, "299,593 copies of the routine that reads it point to different places (at 0x4000 to "
                                "0x4040, at 0x4015 to 0x4055, at 0x402A to 0x406A, at 0x403F to 0x407F, at 0x4054 to "
                                "0x4094, at 0x4069 to 0x40A9, at 0x407E to 0x40BE, at 0x4093 to 0x40D3, at 0x40A8 to "
                                "0x40E8, at 0x40BD to 0x40FD, at 0x40D2 to 0x4112, at 0x40E7 to 0x4127 and 299,581 more)"},
    // Where the routine is not at its own place, nothing is guessed.
    {"a jump at the routine's place to the routine, moved with its table", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         putTable(r, 0xFD300, ownTrades("BYTE"));
         putRoutine(r, 0xFD200, 0xFD300);
         putJump(r, kCrystalRoutine, 0xFD200);
     },
     0xFD300, 7, FoundBy::TableRoutine, ""},
    {"a jump to a routine of another form; the old records stay and a copy is read: two runs, refused", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         putTable(r, 0xFD300, ownTrades("BYTE"));
         putJump(r, kCrystalRoutine, 0xFD200);
         const Bytes rewritten = {0x21, 0x00, 0x53, 0x09, 0xC9};  // ld hl, $5300; add hl, bc; ret
         std::copy(rewritten.begin(), rewritten.end(), r.begin() + 0xFD200);
     },
     0, 0, FoundBy::UsualPlace, "found 2 runs of trade records (at 0xFCE58 and 0xFD300)"},
    {"no routine anywhere, one run of records at the usual place: found by them alone", "AAUE",
     [](Bytes& r) { putTable(r, kGoldSilverTable, ownTrades("AAUE")); }, kGoldSilverTable, 6, FoundBy::RecordScan, ""},
    // The shape is the game's code's too: what the routine's callers read names the layout.
    {"the 16-bit species base", "BYTE", [](Bytes& r) { r = species16Rom(); }, kSpecies16Table, 7, FoundBy::UsualPlace, "",
     "16-bit species"},
    {"the 16-bit species and items base", "BYTE", [](Bytes& r) { r = species16Rom(true); }, kItems16Table, 7, FoundBy::UsualPlace,
     "", "16-bit species and items"},
    {"the 16-bit species base with its table moved", "BYTE",
     [](Bytes& r) {
         r = species16Rom();
         putTable16(r, 0xFD300, retailTrades16(), false);
         putRoutine16(r, kSpecies16Routine, 0xFD300, false);
     },
     0xFD300, 7, FoundBy::TableRoutine, "", "16-bit species"},
    {"vanilla Crystal with its routine's callers", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         const Bytes calls = {0x1E, 0x10, 0xCD, 0xC2, 0x4D, 0x1E, 0x1E, 0xCD, 0xC2, 0x4D, 0x1E, 0x02, 0xCD, 0xC2, 0x4D};
         std::copy(calls.begin(), calls.end(), r.begin() + 0xFC100);
     },
     kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"callers that fit no layout: refused, named", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         const Bytes calls = {0x1E, 0x02, 0xCD, 0xC2, 0x4D, 0x1E, 0x05, 0xCD, 0xC2, 0x4D};
         std::copy(calls.begin(), calls.end(), r.begin() + 0xFC100);
     },
     0, 0, FoundBy::UsualPlace, "is called for the offsets 2 and 5, which fit no record layout Kestrane knows"},
    // Japanese Gold 1.1 keeps 1.0's places; its debug build has the routine at 0xFEB2A, other code at 0xFCB8E.
    {"Japanese Gold 1.1", "AAUJ",
     [](Bytes& r) {
         r = retailLikeRom("AAUJ");
         r[0x14C] = 1;
     },
     0xFCC23, 6, FoundBy::UsualPlace, ""},
    {"the Japanese Gold 1.1 debug build", "AAUJ",
     [](Bytes& r) {
         r = retailLikeRom("AAUJ");
         r[0x14C] = 1;
         std::fill_n(r.begin() + 0xFCB8E, 0x100, 0x00);
         putTable(r, 0xFEBBF, ownTrades("AAUJ"), 16);
         putRoutine(r, 0xFEB2A, 0xFEBBF, 16);
     },
     0xFEBBF, 6, FoundBy::TableRoutine, ""},
    {"Japanese Silver 1.0 with the debug arrangement's stale copy: its own routine decides", "AAXJ",
     [](Bytes& r) {
         r = retailLikeRom("AAXJ");
         putTable(r, 0xFEBBF, ownTrades("AAXJ"), 16);
         putRoutine(r, 0xFEB2A, 0xFEBBF, 16);
     },
     0xFCC23, 6, FoundBy::UsualPlace, ""},
    // Red, Blue and Yellow: DoInGameTradeDialogue's pointer decides; the records pass up to what the scripts start.
    {"retail Red", "POKEMON RED", [](Bytes& r) { r = firstGenerationRom("POKEMON RED"); }, kRedBlueTable, 10,
     FoundBy::UsualPlace, ""},
    {"retail Blue", "POKEMON BLUE", [](Bytes& r) { r = firstGenerationRom("POKEMON BLUE"); }, kRedBlueTable, 10,
     FoundBy::UsualPlace, ""},
    {"retail Yellow", "POKEMON YELLOW", [](Bytes& r) { r = firstGenerationRom("POKEMON YELLOW"); }, kYellowTable, 10,
     FoundBy::UsualPlace, ""},
    {"Red with 48 bytes inserted before its table", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         putTable14(r, 0x71BAB, retailTrades14("POKEMON RED"));
         putTradesRoutine(r, "POKEMON RED", kRedBlueTrades, 0x71BAB, 0x71D64);
     },
     0x71BAB, 10, FoundBy::TableRoutine, ""},
    {"Yellow with 48 bytes inserted, its routine moved", "POKEMON YELLOW",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON YELLOW");
         putTable14(r, 0x71C4D, retailTrades14("POKEMON YELLOW"));
         std::fill_n(r.begin() + kYellowTrades, 43, 0x00);
         putTradesRoutine(r, "POKEMON YELLOW", 0x73000, 0x71C4D, 0x71E38);
     },
     0x71C4D, 10, FoundBy::TableRoutine, ""},
    // Japanese Red and Green: their own routine (the index times 8) and records of 8 bytes; the
    // title is English Red's too, and the routine, not the header's destination, decides.
    {"Japanese Red", "POKEMON RED", [](Bytes& r) { r = japaneseFirstGenerationRom("POKEMON RED"); }, kJapaneseTable, 10,
     FoundBy::UsualPlace, "", "vanilla", Language::Japanese},
    {"Japanese Green 1.1", "POKEMON GREEN", [](Bytes& r) { r = japaneseFirstGenerationRom("POKEMON GREEN", 1); }, kJapaneseTable,
     10, FoundBy::UsualPlace, "", "vanilla", Language::Japanese},
    {"Japanese Red whose header says English: its routine decides", "POKEMON RED",
     [](Bytes& r) {
         r = japaneseFirstGenerationRom("POKEMON RED");
         r[0x14A] = 0x01;
     },
     kJapaneseTable, 10, FoundBy::UsualPlace, "", "vanilla", Language::Japanese},
    {"English Red whose header says Japan: its routine decides", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         r[0x14A] = 0x00;
     },
     kRedBlueTable, 10, FoundBy::UsualPlace, "", "vanilla", Language::English},
    {"Japanese Green, its table and routine moved", "POKEMON GREEN",
     [](Bytes& r) {
         r = japaneseFirstGenerationRom("POKEMON GREEN");
         putTable8(r, 0x73000, retailTrades8());
         std::fill_n(r.begin() + kJapaneseTrades, 50, 0x00);
         putJapaneseTradesRoutine(r, 0x73400, 0x73000, kJapaneseTexts);
     },
     0x73000, 10, FoundBy::TableRoutine, "", "vanilla", Language::Japanese},
    {"Polished Crystal", "PKPC", [](Bytes& r) { r = polishedCrystalRom(); }, kPolishedTable, 9, FoundBy::UsualPlace, ""},
    {"Polished Crystal 3.x: master's header, its routine's ld bc, 33", "PKPC", [](Bytes& r) { r = polishedCrystalRom(true); },
     kPolishedTable, 9, FoundBy::UsualPlace, "", "3.x"},
    {"Polished Crystal 3.0 by its version byte", "PKPC", [](Bytes& r) { r = polishedCrystalRom(true, 0x30); }, kPolishedTable, 9,
     FoundBy::UsualPlace, "", "3.x"},
    {"Polished Crystal, its routine and table moved: the routine's form says the record", "PKPC",
     [](Bytes& r) {
         r = polishedCrystalRom();
         std::fill_n(r.begin() + kPolishedRoutine, 15, 0x00);
         putPolishedTable(r, 0xF9000, polishedTrades(), true);
         putPolishedRoutine(r, 0xF8F00, 0xF9000, true);
     },
     0xF9000, 9, FoundBy::TableRoutine, "", "3.x"},
    // No record lies past the bank the game reads it through.
    {"Red's routine reads ld hl, $7FF2: the second record would lie past its bank", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         putTable14(r, 0x73FF2, retailTrades14("POKEMON RED"));
         putTradesRoutine(r, "POKEMON RED", kRedBlueTrades, 0x73FF2, 0x71D64);
     },
     0, 0, FoundBy::UsualPlace,
     "The trade table at 0x73FF2 runs past the end of its bank (record 2 at 0x74000): the game would read other memory there."},
    {"Crystal's routine points to 3f:7FD0: its records run into the next bank", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         putTable(r, 0xFFFD0, ownTrades("BYTE"));
         putRoutine(r, kCrystalRoutine, 0xFFFD0);
     },
     0, 0, FoundBy::UsualPlace, "The trade table at 0xFFFD0 runs past the end of its bank (record 2 at 0xFFFF0)"},
    // At a first-generation release's place both forms of DoInGameTradeDialogue are the routine.
    {"Yellow's form at Red's place reading a new table, the old records dead and a stale copy elsewhere", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         putTable14(r, 0x73D00, retailTrades14("POKEMON RED"));
         std::fill_n(r.begin() + kRedBlueTrades, 46, 0x00);
         putTradesRoutine(r, "POKEMON YELLOW", kRedBlueTrades, 0x73D00, 0x71D64);
         putTradesRoutine(r, "POKEMON RED", 0x73000, kRedBlueTable, 0x71D64);
     },
     0x73D00, 10, FoundBy::TableRoutine, ""},
    {"Red's routine only as a copy elsewhere: its table is no usual place", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         std::fill_n(r.begin() + kRedBlueTrades, 46, 0x00);
         putTradesRoutine(r, "POKEMON RED", 0x73000, kRedBlueTable, 0x71D64);
     },
     kRedBlueTable, 10, FoundBy::TableRoutine, ""},
    {"a hack of twelve trades, its scripts starting the twelfth", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         auto trades = retailTrades14("POKEMON RED");
         trades.resize(12, Trade14{});
         putTable14(r, kRedBlueTable, trades);
         putTradeScript(r, kScriptsAt + 0x200, 11);
     },
     kRedBlueTable, 12, FoundBy::UsualPlace, ""},
    {"a script starts trade 11 of a table of ten: refused", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         putTradeScript(r, kScriptsAt + 0x200, 10);
     },
     0, 0, FoundBy::UsualPlace, "points to 0x71B7B, where the record of Trade Number 11 fails the checks"},
    {"a hack of eight trades its scripts start", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         auto trades = retailTrades14("POKEMON RED");
         trades.resize(8);
         putTable14(r, kRedBlueTable, trades);
         std::fill_n(r.begin() + kScriptsAt, 0x120, 0x00);
         for (int trade = 0; trade < 8; ++trade) putTradeScript(r, kScriptsAt + 16 * std::uint32_t(trade), trade);
     },
     kRedBlueTable, 8, FoundBy::UsualPlace, ""},
    {"a species that is no internal index: refused where the routine points", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         r[kRedBlueTable + 14 * 3 + 1] = 191;
     },
     0, 0, FoundBy::UsualPlace, "the record of Trade Number 4 fails the checks: the offered species 191 is no creature"},
    {"Red without its routine: the records alone", "POKEMON RED",
     [](Bytes& r) {
         r = firstGenerationRom("POKEMON RED");
         std::fill_n(r.begin() + kRedBlueTrades, 46, 0x00);
     },
     kRedBlueTable, 10, FoundBy::RecordScan, ""},
    {"8 MiB Japanese: a repeated record pattern is no table", "AAUJ",
     [](Bytes& r) {
         r.resize(8 * 1024 * 1024);
         putTable(r, 0x100000, std::vector<TradeBytes>(40, ownTrades("AAUJ")[0]), 16);
     },
     0, 0, FoundBy::UsualPlace, "found no run of trade records (and 1 run longer than a table can be)"},
};

class LocatingTable : public ::testing::TestWithParam<Locating> {};

TEST_P(LocatingTable, FindsTheTableOrSaysWhyNot) {
    const Locating& c = GetParam();
    TempDir dir;
    Bytes image = randomImage(c.code, 5);
    c.build(image);
    const std::string path = dir.write("rom.gbc", image);
    auto rom = openRom(path, families::all());
    ASSERT_TRUE(rom) << rom.error().message;
    if (c.offset) {
        ASSERT_TRUE(rom->table) << rom->noTable.message;
        EXPECT_EQ(rom->table->offset, c.offset);
        EXPECT_EQ(rom->table->records, c.records);
        EXPECT_EQ(rom->table->foundBy, c.foundBy);
        EXPECT_EQ(rom->release->layout.key, c.layout);
        EXPECT_EQ(rom->slotCount(), std::max(7, c.records));
        EXPECT_EQ(rom->release->code, c.code);
        if (c.language) {
            EXPECT_EQ(rom->release->language, *c.language);
        }
    } else {
        ASSERT_FALSE(rom->table) << rom->table->offset;
        EXPECT_EQ(rom->noTable.code, ErrorCode::NoTradeTable);
        EXPECT_EQ(rom->noTable.kind, ErrorKind::Refused);
        EXPECT_NE(rom->noTable.message.find(c.refusal), std::string::npos) << rom->noTable.message;
        EXPECT_NE(rom->noTable.message.find("keeps its trade table at " + hexOffset(usualTable(c.code))), std::string::npos);
        EXPECT_NE(rom->noTable.message.find("The file was not changed."), std::string::npos);
        auto reading = readTradeRecord(*rom, Slot::fromNumber(1));
        ASSERT_FALSE(reading);
        EXPECT_EQ(reading.error().code, ErrorCode::NoTradeTable);
    }
    EXPECT_EQ(readFile(path), image);
}

INSTANTIATE_TEST_SUITE_P(Rom, LocatingTable, ::testing::ValuesIn(kLocating),
                         [](const auto& info) {
                             std::string name;
                             for (char c : std::string(info.param.name)) name += std::isalnum(c) ? c : '_';
                             return name;
                         });

}  // namespace
}  // namespace kestrane
