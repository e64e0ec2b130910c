#include "trades/trade_edit.h"

#include <algorithm>
#include <cstdio>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "text/game_text.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/creature_list.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

// Precondition: the layout has the name (every layout has a nickname).
const NameLayout& layoutOf(const Release& release, NameRole role) {
    return role == NameRole::Nickname ? release.layout.nickname : *release.layout.trainerName;
}

std::u16string shownText(const TradeRecord& shown, NameRole role) {
    return role == NameRole::Nickname ? shown.nickname : shown.trainerName.value_or(std::u16string());
}

// The refusal of a field the release's records do not hold: the game
// makes it when the trade happens, or (a held item before the second
// generation) has no such thing at all.
Error noSuchField(const Release& release, Field field) {
    const bool never = field == Field::HeldItem && !holdsItems(release);
    std::string why = ": the game sets it when the trade happens.";
    if (never) why = ": " + std::string(kNoItemsReason);
    // Where the records keep something else in its stead, that is said.
    else if (field == Field::Dvs && release.layout.has(Field::Ivs)) why = ": its creatures have IVs (" + std::string(fieldRow(Field::Ivs).option) + ").";
    else if (field == Field::DialogSet && !release.layout.has(Field::DialogSet) && release.layout.has(Field::Personality)) {
        why = ": each trader's lines are its own.";
    } else if (field == Field::GenderRequirement && release.layout.has(Field::Personality)) {
        why = ": a trader takes the species of either gender.";
    }
    return refused(ErrorCode::NoSuchField, std::string(release.name) + "'s trades have no " + std::string(fieldRow(field).noun) + why);
}

NameBytes storedName(const Rom& rom, const TradeRecord& shown, NameRole role) {
    const auto field = nameField(shown.raw, layoutOf(*rom.release, role));
    return NameBytes(field.begin(), field.end());
}

// Exact bytes given beside (perhaps) a text: the bytes, where the two agree
// or only the bytes were changed.
Result<NameBytes> exactName(const Rom& rom, const TradeRecord& shown, NameRole role, const NameBytes& bytes,
                            const std::optional<std::u16string>& text, NamePadding padding) {
    const std::string what(nameRoleText(role));
    if (role == NameRole::TrainerName && !rom.release->layout.trainerName) return noSuchField(*rom.release, Field::TrainerName);
    const std::size_t length = layoutOf(*rom.release, role).length;
    if (bytes.size() != length) {
        return refused(ErrorCode::NameTooLong, "The " + what + " was given as " + std::to_string(bytes.size()) +
                                                   " bytes; its field holds " + std::to_string(length) + ".");
    }
    if (!text || bytes == storedName(rom, shown, role)) {
        return text ? resolveName(rom, shown, role, *text, padding) : Result<NameBytes>(bytes);
    }
    // A table exported from another ROM carries both, and they agree.
    if (*text == shownName(bytes, rom.release->charset()) || *text == shownText(shown, role)) return bytes;
    return refused(ErrorCode::ConflictingName, "The " + what + " was given as the text " + echoed(toUtf8(*text)) +
                                                   " and as the bytes " + spacedHex(bytes) +
                                                   ", which show another text; give one of them only.");
}

// The bytes a typed name asks for, each typed "\" the terminator too; a "\" right
// after a name that fills its field is dropped, as a full field needs no end.
NameBytes typedNameBytes(std::u16string_view text, const Charset& charset, const NameLayout& field) {
    NameBytes bytes = encodeGameText(text, charset);
    if (bytes.size() == field.room() + 1 && bytes.back() == charset.terminator()) bytes.pop_back();
    return bytes;
}

// "The IVs": the field's noun as a refusal's sentence opens with it.
std::string theField(Field field) { return "The " + std::string(fieldRow(field).noun); }

// Numbers given for a field of plain numbers: as many as it holds, each within its range.
Result<std::vector<std::uint32_t>> checkedNumbers(const std::vector<std::int64_t>& given, const NumberPlace& place) {
    const FieldRow& row = fieldRow(place.field);
    if (given.size() != place.count) {
        return refused(ErrorCode::InvalidArgument, theField(place.field) + " take " + std::to_string(place.count) +
                                                       " numbers, not " + std::to_string(given.size()) + ".");
    }
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] < 0 || given[i] > std::int64_t(place.max)) {
            std::string part = row.parts.empty() ? std::string() : " " + std::string(row.parts[i].key);
            return refused(ErrorCode::InvalidArgument, theField(place.field) + part + " " + std::to_string(given[i]) +
                                                           " is out of range: give 0 to " + std::to_string(place.max) + ".");
        }
        numbers.push_back(std::uint32_t(given[i]));
    }
    return numbers;
}

// "31/31/31/31/31/31", or a number where the field holds one.
Result<std::vector<std::uint32_t>> parseNumbers(std::string_view text, const NumberPlace& place) {
    for (const NumberWord& word : fieldRow(place.field).words) {
        if (loweredAscii(trimmed(text)) == word.word) return std::vector<std::uint32_t>{word.number};
    }
    std::vector<std::int64_t> given;
    for (std::size_t from = 0;;) {
        const std::size_t slash = text.find('/', from);
        const std::string_view piece = text.substr(from, slash == std::string_view::npos ? std::string_view::npos : slash - from);
        const auto number = parseWideNumber(piece);
        if (!number) {
            std::vector<std::string> words;
            for (const NumberWord& word : fieldRow(place.field).words) words.emplace_back(word.word);
            words.emplace_back("a number");
            return refused(ErrorCode::InvalidArgument, echoed(text) + " is not " + (place.count > 1 ? "numbers" : "a number") +
                                                           " for " + std::string(fieldRow(place.field).noun) +
                                                           (words.size() > 1 ? ": give " + joinedList(words, 0, "or") : "") + ".");
        }
        given.push_back(std::int64_t(*number));
        if (slash == std::string_view::npos) break;
        from = slash + 1;
    }
    return checkedNumbers(given, place);
}

// Read-outs given beside the numbers agree with what those numbers make.
Result<void> readOutsAgree(const Rom& rom, const TradeEdit& edit, const std::vector<std::pair<std::string, std::string>>& given) {
    auto planned = planTradeRecord(rom, edit);
    if (!planned) return {};  // the plan's own problems are said where it is made
    const TradeRecord made = recordWith(*rom.release, edit.shown, *planned);
    std::vector<std::string> differ;
    for (const ReadOut& out : rom.release->family().readOuts(rom, made)) {
        for (const auto& [key, text] : given) {
            if (key == out.key && loweredAscii(text) != loweredAscii(out.text)) {
                differ.push_back("the " + std::string(out.key) + " " + echoed(text) + " (the numbers make it " + echoed(out.text) + ")");
            }
        }
    }
    if (differ.empty()) return {};
    return refused(ErrorCode::InvalidArgument,
                   "The trade gives " + joinedList(differ) +
                       ", which the game makes of the personality and IDs it sets: give those numbers, or leave the read-outs out.");
}

}  // namespace

// A one-number field of a record (0 where the layout has none).
std::uint32_t numberOf(const TradeRecord& record, Field field) {
    auto stored = record.numbers.find(field);
    return stored != record.numbers.end() && !stored->second.empty() ? stored->second.front() : 0;
}
// The same as an edit leaves it: given, else stored.
std::uint32_t numberOf(const TradeEdit& edit, Field field) {
    if (auto given = edit.numbers.find(field); given != edit.numbers.end() && !given->second.empty()) return given->second.front();
    return numberOf(edit.shown, field);
}

void GivenEdit::giveText(Field field, std::string text) {
    switch (field) {
    case Field::RequestedSpecies: requestedSpecies = std::move(text); break;
    case Field::OfferedSpecies: offeredSpecies = std::move(text); break;
    case Field::Nickname: nickname = std::move(text); break;
    case Field::TrainerName: trainerName = std::move(text); break;
    case Field::TrainerId: trainerId = std::move(text); break;
    case Field::HeldItem: heldItem = std::move(text); break;
    case Field::Dvs: dvs = std::move(text); break;
    case Field::GenderRequirement: genderRequirement = std::move(text); break;
    case Field::DialogSet: dialogSet = std::move(text); break;
    case Field::Presence: break;
    default: numbers[field] = std::move(text); break;
    }
}

TradeEdit uneditedEdit(const TradeRecord& shown) {
    TradeEdit edit;
    edit.shown = shown;
    return edit;
}

TradeRecord recordAsEdited(const TradeEdit& edit) {
    TradeRecord record = edit.shown;
    record.requestedSpecies = edit.requestedSpecies.value_or(record.requestedSpecies);
    record.offeredSpecies = edit.offeredSpecies.value_or(record.offeredSpecies);
    if (edit.trainerId) record.trainerId = edit.trainerId;
    if (edit.heldItem) record.heldItem = edit.heldItem;
    if (edit.dvs) record.dvs = edit.dvs;
    if (edit.genderRequirement) record.genderRequirement = edit.genderRequirement;
    if (edit.dialogSet) record.dialogSet = edit.dialogSet;
    for (const auto& [field, numbers] : edit.numbers) record.numbers[field] = numbers;
    return record;
}

void TradeEdit::keepStored(Field field) {
    switch (field) {
    case Field::RequestedSpecies: requestedSpecies.reset(); break;
    case Field::OfferedSpecies: offeredSpecies.reset(); break;
    case Field::Nickname: nickname.reset(); break;
    case Field::TrainerName: trainerName.reset(); break;
    case Field::TrainerId: trainerId.reset(); break;
    case Field::HeldItem: heldItem.reset(); break;
    case Field::Dvs: dvs.reset(); break;
    case Field::GenderRequirement: genderRequirement.reset(); break;
    case Field::DialogSet: dialogSet.reset(); break;
    case Field::Presence: break;
    default: numbers.erase(field); break;
    }
}

std::optional<std::string> dropFieldsNotHeld(const Release& release, Slot slot, std::set<Field>& edited,
                                             std::optional<TradeEdit>& more) {
    const RecordLayout& layout = release.layout;
    std::vector<std::string> shown, nouns;
    for (const FieldRow& row : kFieldRows) {
        if (layout.has(row.field)) continue;
        if (more) more->keepStored(row.field);
        if (edited.erase(row.field) == 0) continue;
        shown.emplace_back(row.named);
        nouns.emplace_back(row.noun);
    }
    if (shown.empty()) return std::nullopt;
    const std::string why = std::string(release.name) + "'s trades have no " + joinedList(nouns, 0, "or") + ".";
    if (edited.empty()) return "Kept none of your edits to " + slot.name() + ": " + why;
    return "Kept your edits to " + slot.name() + " except " + joinedList(shown) + ": " + why;
}

std::string_view nameRoleText(NameRole role) {
    return role == NameRole::Nickname ? "nickname" : "original trainer's name";
}

Result<NameBytes> resolveName(const Rom& rom, const TradeRecord& shown, NameRole role, std::u16string_view text,
                              NamePadding padding) {
    if (role == NameRole::TrainerName && !rom.release->layout.trainerName) return noSuchField(*rom.release, Field::TrainerName);
    // The editor shows a trimmed, lossy decoding; re-encoding an untouched
    // name would drop bytes the set has no character for.
    if (text == shownText(shown, role)) return storedName(rom, shown, role);
    const std::string what(nameRoleText(role));
    const Charset& charset = rom.release->charset();
    const NameLayout& field = layoutOf(*rom.release, role);
    if (auto bad = findUnencodable(text, charset)) {
        if (bad->malformedEscape) {
            return refused(ErrorCode::UnencodableName,
                           "The " + what + " holds " + echoed(toUtf8(text.substr(bad->position - 1, 4))) + " at character " +
                               std::to_string(bad->position) +
                               ", which names no byte: write a byte as \\h and two hex digits, such as \\h4A.");
        }
        char codePoint[12];
        std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(bad->character));
        return refused(ErrorCode::UnencodableName, "The " + what + " cannot hold \"" + toUtf8(bad->character) + "\" (" +
                                                       codePoint + "), character " + std::to_string(bad->position) +
                                                       ". Use " + std::string(charset.typeable()) + ".");
    }
    NameBytes bytes = typedNameBytes(text, charset, field);
    if (bytes.size() > field.room()) {
        return refused(ErrorCode::NameTooLong, "The " + what + " needs " + std::to_string(bytes.size()) +
                                                   " bytes, but " +
                                                   (field.letters ? "the game takes " : std::string("its field holds ")) +
                                                   std::to_string(field.room()) + ". Please shorten it.");
    }
    // A shorter name ends with the terminator in a terminated field (whose
    // last byte, always the terminator, lies past it); the rest is padding.
    if ((field.terminated || field.letters) && bytes.size() < field.length) bytes.push_back(charset.terminator());
    // A field whose game cuts names short is zeros after its terminator in every build.
    bytes.resize(field.length, padding == NamePadding::Terminator && !field.letters ? charset.terminator() : field.padding);
    return bytes;
}

std::optional<NameRoom> nameRoom(const Rom& rom, const TradeRecord& shown, NameRole role, std::u16string_view text) {
    if (role == NameRole::TrainerName && !rom.release->layout.trainerName) return std::nullopt;
    NameBytes bytes;
    if (text == shownText(shown, role)) {
        bytes = storedName(rom, shown, role);
        // The name as stored ends at its first terminator: the bytes after it are padding.
        const auto end = std::find(bytes.begin(), bytes.end(), rom.release->charset().terminator());
        return NameRoom{std::size_t(end - bytes.begin()), layoutOf(*rom.release, role).room()};
    }
    if (findUnencodable(text, rom.release->charset())) return std::nullopt;
    // Typed: every byte a save would write, a typed "\" too.
    const NameLayout& field = layoutOf(*rom.release, role);
    return NameRoom{typedNameBytes(text, rom.release->charset(), field).size(), field.room()};
}

Result<TradeEdit, Problems> resolveEdit(const Rom& rom, const TradeRecord& shown, const GivenEdit& given) {
    TradeEdit edit = uneditedEdit(shown);
    Problems problems;
    auto keep = [&](auto result, auto& target) {
        if (result) target = *result;
        else problems.push_back(result.error());
    };
    // Each given field through its parser, text or number; a problem is kept, the field left as it was.
    const RecordLayout& layout = rom.release->layout;
    auto take = [&](const auto& value, auto&& fromText, auto&& fromOther, auto& target) {
        if (!value) return;
        if (const auto* text = std::get_if<std::string>(&*value)) keep(fromText(*text), target);
        else keep(fromOther(std::get<1>(*value)), target);
    };
    // A field the release's records do not hold is refused by name, not read.
    auto held = [&](bool given, Field field) {
        if (given && !layout.has(field)) problems.push_back(noSuchField(*rom.release, field));
        return layout.has(field);
    };

    if (held(given.trainerId.has_value(), Field::TrainerId)) {
        take(given.trainerId, parseTrainerId, trainerIdNumbered, edit.trainerId);
    }
    for (auto [value, target, stored, role] :
         {std::tuple{&given.requestedSpecies, &edit.requestedSpecies, shown.requestedSpecies, SpeciesRole::Requested},
          std::tuple{&given.offeredSpecies, &edit.offeredSpecies, shown.offeredSpecies, SpeciesRole::Offered}}) {
        take(*value, [&, stored = stored, role = role](const std::string& s) { return resolveSpecies(s, stored, role, *rom.species); },
             [&, stored = stored, role = role](std::int64_t n) { return speciesNumbered(n, stored, role, *rom.species); }, *target);
    }
    for (auto [text, bytes, target, role] :
         {std::tuple{&given.nickname, &given.nicknameBytes, &edit.nickname, NameRole::Nickname},
          std::tuple{&given.trainerName, &given.trainerNameBytes, &edit.trainerName, NameRole::TrainerName}}) {
        std::optional<std::u16string> typed;
        if (*text) {
            typed = fromUtf8(**text);
            if (!typed) {
                problems.push_back(refused(ErrorCode::UnencodableName,
                                           "The " + std::string(nameRoleText(role)) + " is not valid UTF-8 text."));
                continue;
            }
        }
        if (*bytes) keep(exactName(rom, shown, role, **bytes, typed, given.padding), *target);
        else if (typed) keep(resolveName(rom, shown, role, *typed, given.padding), *target);
    }
    if (held(given.heldItem.has_value(), Field::HeldItem)) {
        take(given.heldItem, [&](const std::string& s) { return resolveItem(s, rom.items, rom.lastItem()); },
             [&](std::int64_t n) { return itemNumbered(n, rom.lastItem()); }, edit.heldItem);
    }
    if (held(given.dvs.has_value() || (given.shiny && !given.dvs && layout.has(Field::Dvs)), Field::Dvs)) {
        take(given.dvs, parseDvs, [](const Dvs& dvs) -> Result<Dvs> {
            if (auto checked = checkDvs(dvs); !checked) return checked.error();
            return dvs;
        }, edit.dvs);
        if (given.shiny && shown.dvs) edit.dvs = makeShiny(edit.dvs.value_or(*shown.dvs));
    }
    if (held(given.genderRequirement.has_value(), Field::GenderRequirement)) {
        take(given.genderRequirement, resolveGenderRequirement, genderRequirementNumbered, edit.genderRequirement);
    }
    if (held(given.dialogSet.has_value(), Field::DialogSet)) {
        take(given.dialogSet, [&](const std::string& s) { return resolveDialogSet(s, *rom.release); },
             [&](std::int64_t n) { return dialogSetNumbered(n, *rom.release); }, edit.dialogSet);
    }
    for (const auto& [field, value] : given.numbers) {
        const NumberPlace* place = layout.numberPlace(field);
        if (!held(true, field) || !place) continue;
        if (const auto* text = std::get_if<std::string>(&value)) keep(parseNumbers(*text, *place), edit.numbers[field]);
        else keep(checkedNumbers({std::get<std::int64_t>(value)}, *place), edit.numbers[field]);
    }
    // What the game makes of the numbers, wished for: after them, from what they now are.
    const GameFamily& family = rom.release->family();
    if (given.nature && problems.empty()) {
        if (auto made = family.giveNature(rom, edit, *given.nature); !made) problems.push_back(made.error());
    }
    if (given.shiny && !layout.has(Field::Dvs) && problems.empty()) {
        if (auto made = family.makeShiny(rom, edit); !made) problems.push_back(made.error());
    }
    if (!given.readOuts.empty() && problems.empty()) {
        if (auto agree = readOutsAgree(rom, edit, given.readOuts); !agree) problems.push_back(agree.error());
    }
    if (!problems.empty()) return problems;
    return edit;
}

Result<void> GameFamily::giveNature(const Rom& rom, TradeEdit&, std::string_view) const {
    return refused(ErrorCode::NoSuchField, std::string(rom.release->name) + "'s creatures have no nature.");
}

Result<void> GameFamily::makeShiny(const Rom& rom, TradeEdit&) const { return noSuchField(*rom.release, Field::Dvs); }

Result<RecordBytes, Problems> planTradeRecord(const Rom& rom, const TradeEdit& edit) {
    const TradeRecord& shown = edit.shown;
    const Release& release = *rom.release;
    const RecordLayout& layout = release.layout;
    RecordBytes out = shown.raw;
    const std::span<std::uint8_t> bytes = out;
    Problems problems;
    auto checked = [&](auto result) {
        if (!result) problems.push_back(result.error());
        return result.ok();
    };
    // A field the records do not hold: given, it is refused.
    auto held = [&](const auto& value, Field field) {
        if (value && !layout.has(field)) {
            problems.push_back(noSuchField(release, field));
            return false;
        }
        return value.has_value();
    };
    auto putWord = [&](std::uint32_t at, std::uint8_t width, std::uint16_t value) {
        if (width == 2) putLittleEndian16(bytes.subspan(at, 2), value);
        else bytes[at] = std::uint8_t(value);
    };

    if (held(edit.trainerId, Field::TrainerId)) putLittleEndian16(bytes.subspan(*layout.trainerIdAt, 2), *edit.trainerId);
    for (auto [species, at, role] : {std::tuple{edit.requestedSpecies, layout.requestedSpeciesAt, SpeciesRole::Requested},
                                     std::tuple{edit.offeredSpecies, layout.offeredSpeciesAt, SpeciesRole::Offered}}) {
        // A species without a list entry can be kept, never chosen.
        if (species && checked(speciesChosen(*species, speciesAt(out, layout, at), role, *rom.species))) {
            putSpecies(bytes, layout, at, *species);
        }
    }
    for (auto [name, role] : {std::pair{&edit.nickname, NameRole::Nickname}, std::pair{&edit.trainerName, NameRole::TrainerName}}) {
        if (!held(*name, role == NameRole::Nickname ? Field::Nickname : Field::TrainerName)) continue;
        const NameLayout& field = layoutOf(release, role);
        if ((*name)->size() != field.length) {
            problems.push_back(refused(ErrorCode::NameTooLong, "The " + std::string(nameRoleText(role)) + " must fill its field's " +
                                                                   std::to_string(field.length) + " bytes."));
            continue;
        }
        std::copy((*name)->begin(), (*name)->end(), out.begin() + field.at);
    }
    if (held(edit.heldItem, Field::HeldItem)) putWord(*layout.heldItemAt, layout.itemWidth, *edit.heldItem);
    if (held(edit.dvs, Field::Dvs) && checked(checkDvs(*edit.dvs))) std::ranges::copy(packDvs(*edit.dvs), out.begin() + *layout.dvsAt);
    if (held(edit.genderRequirement, Field::GenderRequirement) &&
        checked(genderRequirementNumbered(std::int64_t(*edit.genderRequirement)))) {
        out[*layout.genderRequirementAt] = std::uint8_t(*edit.genderRequirement);
    }
    if (held(edit.dialogSet, Field::DialogSet) && checked(dialogSetNumbered(*edit.dialogSet, release))) out[*layout.dialogSetAt] = *edit.dialogSet;
    for (const auto& [field, values] : edit.numbers) {
        const NumberPlace* place = layout.numberPlace(field);
        if (!place) {
            problems.push_back(noSuchField(release, field));
            continue;
        }
        const std::vector<std::int64_t> wide(values.begin(), values.end());
        if (!checked(checkedNumbers(wide, *place))) continue;
        for (std::uint32_t i = 0; i < place->count; ++i) place->write(out, i, values[i]);
    }
    if (!problems.empty()) return problems;
    return out;
}

}  // namespace kestrane
