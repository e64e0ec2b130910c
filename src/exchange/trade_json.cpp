#include "exchange/trade_json.h"

#include "exchange/trade_keys.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/creature_list.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane::exchange {

Json gameJson(const Rom& rom) {
    const Release& release = *rom.release;
    return Json{{"code", release.code},
                {"name", release.name},
                {"language", languageName(release.language)},
                {"layout", release.layout.key},
                {"revision", rom.version}};
}

Json tableInfoJson(const Rom& rom, const SourcePlaces* source) {
    if (!rom.table) return nullptr;
    Json table{{"offset", rom.table->offset}, {"records", rom.table->records}, {"foundBy", foundByText(rom.table->foundBy)}};
    if (source) table["source"] = source->file;
    return table;
}

Json tradeJson(const Rom& rom, const TradeReading& reading, const SourcePlaces* source) {
    Json trade{{"slot", reading.slot.number()}, {"hasTrade", reading.record.has_value()}};
    if (!reading.record) return trade;
    for (const TradeKey& key : tradeKeys()) {
        if (auto value = key.write(rom, *reading.record)) trade[std::string(key.key)] = std::move(*value);
    }
    writeNumbers(*reading.record, trade);
    if (source) {
        const std::size_t record = std::size_t(reading.slot.recordIndex(rom.release->slotOrder));
        if (record < source->lines.size()) trade["sourceLine"] = source->lines[record];
    }
    return trade;
}

Json tradesJson(const Rom& rom, const std::vector<TradeReading>& trades, const SourcePlaces* source) {
    Json list = Json::array();
    for (const TradeReading& reading : trades) list.push_back(tradeJson(rom, reading, source));
    return list;
}

Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades, const SourcePlaces* source) {
    return Json{{"game", gameJson(rom)}, {"table", tableInfoJson(rom, source)}, {"trades", tradesJson(rom, trades, source)}};
}

}  // namespace kestrane::exchange
