// A ROM as one value: identified and located once, then handed to every
// read and save. It names the file, the game, where the trade table is and
// how many records it has, and answers which record each slot shows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"
#include "platform/checks.h"
#include "trades/game_data.h"
#include "trades/game_words.h"
#include "trades/releases.h"
#include "trades/slot.h"
#include "trades/trade_table.h"

namespace kestrane {

inline constexpr std::string_view kNoTradeMessage = "There is no trade assigned to this slot.";
inline constexpr std::string_view kAddedLocation = "Added in this ROM";

struct RecordPlace {
    std::uint32_t offset = 0;   // the record's first byte
    std::string location;       // "Violet City, Johto", or kAddedLocation
};

struct Rom {
    Rom() = default;
    // With the species list to be set later (openRom: the ROM's own names,
    // so that the built-in list is not made for nothing).
    explicit Rom(std::shared_ptr<const SpeciesList> species) : species(std::move(species)) {}

    std::string path;               // UTF-8
    const Release* release = nullptr;  // never null in a Rom that openRom gave
    std::uint8_t version = 0;          // the header's version byte: the release's revision
    std::optional<TradeTable> table;
    Error noTable;                  // why there is no table, when there is none
    // The species names: the ROM's own where its bytes hold names, else the
    // built-in ones. Shared, as copies of a Rom are made freely.
    std::shared_ptr<const SpeciesList> species = builtInSpeciesListShared();
    std::string speciesBuiltInWhy;             // why the built-in names are used, when they are ("" : the ROM's)
    std::optional<ItemNames> items;            // none where the ROM's bytes are not the names
    std::optional<GenderRatios> genderRatios;  // likewise, from the base data
    std::optional<PictureSizes> pictureSizes;  // from the base data too
    // The species' names as the game prints them (in its lines), by ID
    // ([0] unused); empty where the ROM's are not taken.
    std::shared_ptr<const std::vector<std::string>> gameSpeciesNames;
    // What the family read with the game data for its own later use.
    std::shared_ptr<const FamilyData> familyData;
    // What the traders say and where (the ROM's words, else Kestrane's).
    std::shared_ptr<const TradeWordsRead> words;
    RomSize size;                   // the file's, when it was opened, and its header's
    bool readOnly = false;          // the user's mark on the file when it was opened (saves ask first)
    // When asked for (it costs a read of the whole file); none where they
    // are not computed, and then why.
    std::optional<ChecksumState> checksums;
    std::optional<ChecksumsSkipped> checksumsSkipped;

    // The slots the trade list shows: seven, or as many as the table has records.
    int slotCount() const;
    // Where a slot's record lies, or none when the table has no record for it.
    // Precondition: there is a table.
    std::optional<RecordPlace> place(Slot slot) const;
    // The highest item number a trade may hold.
    int lastItem() const;
    // The table, or the error that says why a trade cannot be shown or saved.
    Result<TradeTable> tradeTable() const;
    // The table lies elsewhere than where the release keeps it (a hack moved it).
    bool tableMoved() const { return table && table->offset != release->usualTable; }
    // "The trade table was found by its records alone; …" where it was, what
    // every save on it says after its news; else empty.
    std::string tableNote() const;
    // None where a slot's record lies in the file; else the RecordPastEnd
    // error that says so (a file cut off before the table's end).
    std::optional<Error> pastEnd(Slot slot, const RecordPlace& place) const;
    // The five lines a trader of this dialog set speaks, this trade's names filled in.
    std::array<std::string, 5> traderLines(std::uint8_t set, SpeciesId requested, SpeciesId offered,
                                           std::optional<GenderRequirement> genderRequirement) const;
};

// What openRom reads besides the game and the table.
struct RomParts {
    bool gameData = true;    // the species and item names and the gender ratios
    bool checksums = false;  // the checksums' state
    bool readOnly = true;    // the user's read-only mark (a look at the path; saves check it again themselves)
};

// Opens the file once: identifies the game among the families' (one no
// family edits is an UnsupportedRom error), locates its trade table and reads the parts asked
// for. A supported game without a table that passes is a Rom without a
// table, not an error.
Result<Rom> openRom(const std::string& path, Families families, FileSystem& fs = nativeFileSystem(), RomParts parts = {});

}  // namespace kestrane
