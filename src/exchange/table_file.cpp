#include "exchange/table_file.h"

#include <nlohmann/json.hpp>

#include "exchange/trade_json.h"
#include "exchange/trade_keys.h"

#include <algorithm>
#include <climits>
#include <iomanip>
#include <ostream>
#include <unordered_set>

#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/fields.h"
#include "trades/trade_edit.h"
#include "trades/creature_list.h"
#include "support/new_file.h"

namespace kestrane::exchange {
namespace {

// The edit's values from one trade's keys, or the problem of each key that is not of its form.
GivenEdit givenEdit(const nlohmann::json& trade, const TradeRecord& shown, Problems& problems, const std::string& where) {
    GivenEdit edit;
    for (const TradeKey& k : tradeKeys()) {
        const std::string key(k.key);
        if (!k.read || !trade.contains(key)) continue;
        if (auto wrong = k.read(trade[key], edit, shown)) {
            problems.push_back(refused(ErrorCode::TypeMismatch, where + "\"" + key + "\" " + *wrong));
        }
    }
    std::vector<std::string> wrong;
    readNumbers(trade, edit, shown, wrong);
    for (const std::string& problem : wrong) problems.push_back(refused(ErrorCode::TypeMismatch, where + problem));
    return edit;
}

// A table nests its values five deep (trades, a trade, its DVs); nothing
// deeper is read, so that no later step walks a hostile depth.
constexpr std::size_t kDeepest = 16;

// A pass over the text, before any value is built from it: the first key an
// object gives twice, or a nesting deeper than kDeepest.
struct KeysGivenTwice final : nlohmann::json_sax<nlohmann::json> {
    // The keys of each object being read: a set, since a hostile table may
    // give a hundred thousand keys in one object.
    std::vector<std::unordered_set<std::string>> open;
    std::size_t depth = 0;
    std::optional<std::string> first;
    bool tooDeep = false;
    bool invalid = false;

    bool deeper() {
        tooDeep = ++depth > kDeepest;
        return !tooDeep;
    }

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        open.emplace_back();
        return deeper();
    }
    bool key(string_t& key) override {
        if (!open.back().insert(key).second && !first) first = key;
        return !first;
    }
    bool end_object() override {
        open.pop_back();
        --depth;
        return true;
    }
    bool start_array(std::size_t) override { return deeper(); }
    bool end_array() override {
        --depth;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        invalid = true;
        return false;
    }
};

// A JSON table read against the ROM's current trades: the edits it asks
// for, resolved by the core, or every problem of its shape and its values.
Result<ImportPlan, Problems> planImport(const nlohmann::json& table, const Rom& rom, const std::vector<TradeReading>& current,
                                        NamePadding padding) {
    Problems problems;
    auto problem = [&](const std::string& message) { problems.push_back(refused(ErrorCode::TypeMismatch, message)); };
    if (!table.is_object() || !table.contains("trades") || !table["trades"].is_array()) {
        problem("The table must be a JSON object with a \"trades\" list, as \"export\" writes it.");
        return problems;
    }
    const Release& release = *rom.release;
    ImportPlan plan;
    // Where the table names its game, it names it as export does: an object with the release's code.
    const std::string dropGame = " Remove the \"game\" entry from the table to import it anyway.";
    if (table.contains("game")) {
        const auto& game = table["game"];
        const nlohmann::json* code = game.is_object() && game.contains("code") ? &game["code"] : nullptr;
        if (!code || !code->is_string()) {
            problem("\"game\" must be an object with the \"code\" of the ROM the table was exported from, such as "
                    "{\"code\": \"" + std::string(release.code) + "\"}, as export writes it." + dropGame);
        } else {
            // A table fits a ROM of the same record layout: the layout its game says, the vanilla one where it says none.
            const std::string from = !game.contains("layout")       ? std::string(kOwnLayoutKey)
                                     : game["layout"].is_string() ? game["layout"].get<std::string>()
                                                                  : std::string();
            // Japanese and English Red share their title: the language tells them apart.
            const bool otherLanguage = game.contains("language") && game["language"].is_string() &&
                                       game["language"].get<std::string>() != languageName(release.language);
            if (*code == release.code && otherLanguage) {
                problem("The table was exported from " + std::string(release.name) + " in " + echoed(game["language"].get<std::string>()) +
                        "; this ROM is its " + std::string(languageName(release.language)) +
                        " release, whose records are laid out otherwise." + dropGame);
            } else if (*code == release.code && from != release.layout.key) {
                problem("The table was exported from a ROM whose trade records are laid out as " +
                        (from.empty() ? std::string("another layout") : echoed(from)) + "; this ROM's are \"" +
                        std::string(release.layout.key) + "\"." + dropGame);
            } else if (*code != release.code) {
                // A release of the code whose trades fit this ROM's (of the title's two markets, the sister one).
                const Release* sister = nullptr;
                for (const Release* row : release.family().rows()) {
                    if (!sister && row->code == code->get<std::string>() && sisterReleases(*row, release)) sister = row;
                }
                if (sister && from == release.layout.key) {
                    plan.sister = sister;
                } else {
                    problem("The table was exported from " + echoed(code->get<std::string>()) + ", this ROM is \"" +
                            std::string(release.code) + "\"." + dropGame);
                }
            }
        }
    }
    const int slots = rom.slotCount();
    std::vector<TradeEdit>& edits = plan.edits;
    std::vector<int> seen;
    for (const auto& trade : table["trades"]) {
        if (!trade.is_object() || !trade.contains("slot") || !trade["slot"].is_number_integer() ||
            trade["slot"].get<long long>() < 1 || trade["slot"].get<long long>() > slots) {
            problem("Every entry of \"trades\" needs a \"slot\" from 1 to " + std::to_string(slots) + ".");
            continue;
        }
        const Slot slot = Slot::fromNumber(trade["slot"].get<int>());
        const std::string where = slot.name() + ": ";
        if (std::find(seen.begin(), seen.end(), slot.number()) != seen.end()) {
            problem(where + "it appears twice in the table.");
            continue;
        }
        seen.push_back(slot.number());
        const TradeReading& reading = current[std::size_t(slot.index())];
        if (trade.contains("hasTrade") && !trade["hasTrade"].is_boolean()) {
            problem(where + "\"hasTrade\" must be true or false.");
            continue;
        }
        const bool hasTrade = trade.value("hasTrade", true);
        if (reading.pastEnd) {
            problem(reading.pastEnd->message);
            continue;
        }
        if (!reading.record) {
            if (hasTrade) problem(where + std::string(kNoTradeMessage));
            continue;
        }
        if (!hasTrade) {
            problem(where + "the table says it has no trade, but this ROM has one.");
            continue;
        }
        GivenEdit given = givenEdit(trade, *reading.record, problems, where);
        given.padding = padding;
        auto edit = resolveEdit(rom, *reading.record, given);
        if (!edit) {
            for (const Error& e : edit.error()) problems.push_back(refused(e.code, where + e.message));
            continue;
        }
        edits.push_back(std::move(*edit));
    }
    if (!problems.empty()) return problems;
    return plan;
}

// The table as export writes it, or why it is none to carry elsewhere.
Result<Json> exportJson(const Rom& rom, FileSystem& fs, const SourcePlaces* source) {
    auto trades = readTradeTable(rom, fs);
    if (!trades) return trades.error();
    for (const TradeReading& reading : *trades) {
        if (reading.pastEnd) return *reading.pastEnd;
    }
    return tableJson(rom, *trades, source);
}

}  // namespace

Result<std::string> exportText(const Rom& rom, FileSystem& fs, const SourcePlaces* source) {
    auto json = exportJson(rom, fs, source);
    if (!json) return json.error();
    return json->dump(2) + "\n";
}

Result<void> writeExport(const Rom& rom, std::ostream& out, FileSystem& fs, const SourcePlaces* source) {
    auto json = exportJson(rom, fs, source);
    if (!json) return json.error();
    // The stream's width is the indent of the same text exportText makes.
    out << std::setw(2) << *json << '\n';
    return {};
}

Result<void> exportTable(const Rom& rom, const std::string& tablePath, FileSystem& fs, const SourcePlaces* source) {
    auto text = exportText(rom, fs, source);
    if (!text) return text.error();
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text->data()), text->size());
    const ProtectedFile never[] = {{rom.path, "the ROM"}};
    if (auto written = writeNewFile(fs, tablePath, bytes, never); !written) {
        return inContext(written.error(), "Could not write the table to " + quoted(tablePath));
    }
    return {};
}

Result<ImportPlan, Problems> importEdits(std::string_view text, const std::string& tableName, const Rom& rom,
                                         NamePadding padding, FileSystem& fs) {
    if (text.size() > std::size_t(kLargestTable)) {
        return Problems{refused(ErrorCode::TooLarge, quoted(tableName) + " holds more than " + groupedNumber(kLargestTable) +
                                                         " bytes, which no trade table does.")};
    }
    // A key given twice in one object is refused, not taken last-wins: a
    // second "trades" list would silently drop the first.
    KeysGivenTwice keys;
    nlohmann::json::sax_parse(text, &keys);
    if (keys.tooDeep) {
        return Problems{refused(ErrorCode::TooLarge, quoted(tableName) + " nests its values more than " +
                                                         std::to_string(kDeepest) + " levels deep; a trade table has five.")};
    }
    if (keys.first) {
        return Problems{refused(ErrorCode::DuplicateKey, quoted(tableName) + " gives the key " + echoed(*keys.first) +
                                                             " twice in one object; remove one of them.")};
    }
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (keys.invalid || json.is_discarded()) return Problems{refused(ErrorCode::TypeMismatch, quoted(tableName) + " is not valid JSON.")};
    auto current = readTradeTable(rom, fs);
    if (!current) return Problems{current.error()};
    return planImport(json, rom, *current, padding);
}

Result<ImportPlan, Problems> importEditsFrom(const std::string& tablePath, const Rom& rom, NamePadding padding,
                                             FileSystem& fs) {
    auto bytes = readWholeFile(fs, tablePath, kLargestTable);
    if (!bytes) {
        Error e = bytes.error();
        if (e.code == ErrorCode::TooLarge) e.message += ", and no trade table is that large";
        return Problems{inContext(e, "Could not read the table " + quoted(tablePath))};
    }
    return importEdits(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), tablePath, rom, padding, fs);
}

}  // namespace kestrane::exchange
