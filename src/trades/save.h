// Saving edits of trades into the ROM, in place, as one transaction:
//   every edit is planned and every check made before the first byte is
//   written (the file still has the size and game it was opened with, and
//   each record still holds what was shown); then only the changed bytes
//   are written, flushed to disk once, read back and compared; the size is
//   checked again and the close too.
// A failure before the first write leaves the file untouched; one after it
// names every byte range that may hold part of the new data.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

namespace kestrane {

// What the front ends say after a save the core confirmed.
inline constexpr std::string_view kSavedMessage = "Trade Data Saved.";

struct ByteChange {
    std::uint32_t offset = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

struct SaveReport {
    std::vector<ByteRange> written;    // empty when nothing needed to change
    std::size_t bytesChanged = 0;
    std::vector<TradeRecord> records;  // the trades as the file now holds them, in the edits' order
};

// Saves several trades (at most one edit per slot) in one transaction.
Result<SaveReport> saveTrades(const Rom& rom, std::span<const TradeEdit> edits, FileSystem& fs = nativeFileSystem());

// The one-trade case of saveTrades.
Result<SaveReport> writeTradeRecord(const Rom& rom, const TradeEdit& edit, FileSystem& fs = nativeFileSystem());

// Every byte the save would change, from the file as it is now; nothing is written.
Result<std::vector<ByteChange>> previewSave(const Rom& rom, std::span<const TradeEdit> edits,
                                            FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
