// The keys of a trade's JSON object, once: what export writes for each and
// what import takes from it. `export`, `list --json` and `show --json`
// write every key in this order; an import reads the keys a person may give
// and ignores the informative ones. A key of a field the release's trades do
// not hold is not written, and given, it is refused by the edit's plan.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/values.h"

namespace kestrane::exchange {

using Json = nlohmann::ordered_json;

struct TradeKey {
    std::string_view key;  // "requested"
    Field field;           // the field it writes or carries
    // The value of a trade, or none where the trade has no such field.
    std::optional<Json> (*write)(const Rom& rom, const TradeRecord& record);
    // Takes a given value into the edit, or says what it must be ("must be a
    // text."); null for a key an import does not read.
    std::optional<std::string> (*read)(const nlohmann::json& value, GivenEdit& edit, const TradeRecord& shown);
};

// Every key of a trade that has a record, in the order they are written.
std::span<const TradeKey> tradeKeys();

// The fields of plain numbers a record holds (its layout's), each under its
// row's key: a number, or an object of the field's parts ({"hp": 31, ...}).
void writeNumbers(const TradeRecord& record, Json& trade);
// Those a trade's JSON gives into the edit (a part left out keeps the
// record's); the problem of each key not of its form, as "\"ivs\" must be …".
void readNumbers(const nlohmann::json& trade, GivenEdit& edit, const TradeRecord& shown, std::vector<std::string>& wrong);

// The key of the JSON that holds a field's given value ("originalTrainer").
std::string_view keyOf(Field field);

}  // namespace kestrane::exchange
