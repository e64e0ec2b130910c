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

Json tableInfoJson(const Rom& rom) {
    if (!rom.table) return nullptr;
    return Json{{"offset", rom.table->offset}, {"records", rom.table->records}, {"foundBy", foundByText(rom.table->foundBy)}};
}

Json tradeJson(const Rom& rom, const TradeReading& reading) {
    Json trade{{"slot", reading.slot.number()}, {"hasTrade", reading.record.has_value()}};
    if (!reading.record) return trade;
    for (const TradeKey& key : tradeKeys()) {
        if (auto value = key.write(rom, *reading.record)) trade[std::string(key.key)] = std::move(*value);
    }
    writeNumbers(*reading.record, trade);
    return trade;
}

Json tradesJson(const Rom& rom, const std::vector<TradeReading>& trades) {
    Json list = Json::array();
    for (const TradeReading& reading : trades) list.push_back(tradeJson(rom, reading));
    return list;
}

Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades) {
    return Json{{"game", gameJson(rom)}, {"table", tableInfoJson(rom)}, {"trades", tradesJson(rom, trades)}};
}

}  // namespace kestrane::exchange
