#include "trades/record_layout.h"

#include "support/hex_text.h"

#include <algorithm>
#include "support/bytes.h"
#include "trades/field_table.h"

namespace kestrane {
namespace {

bool plausibleName(std::span<const std::uint8_t> field, const Charset& charset, std::uint8_t padding) {
    std::size_t at = 0;
    while (at < field.size() && field[at] != charset.terminator()) {
        if (!charset.printable(field[at])) return false;
        ++at;
    }
    for (; at < field.size(); ++at) {
        if (field[at] != charset.terminator() && field[at] != 0x20 && field[at] != padding) return false;
    }
    return true;
}

// The name's bytes, and where the layout has one, the terminator after them.
std::span<const std::uint8_t> wholeField(RecordView r, const NameLayout& name) {
    return r.subspan(name.at, name.length + (name.terminated ? 1 : 0));
}

// Whether a name field ends as every record's does: the terminator right
// after it, or (a field whose names the game cuts short) somewhere in it.
bool nameEnded(RecordView r, const NameLayout& name, std::uint8_t terminator) {
    if (name.terminated) return r[name.at + name.length] == terminator;
    if (!name.letters) return true;
    const auto field = nameField(r, name);
    return std::find(field.begin(), field.end(), terminator) != field.end();
}

// The first of the layout's zero bytes that is not zero, if any.
std::optional<std::uint32_t> nonZero(RecordView r, const RecordLayout& layout) {
    for (std::uint32_t at = layout.zeroAt; at < layout.zeroAt + layout.zeroCount; ++at) {
        if (r[at] != 0x00) return at;
    }
    for (std::uint32_t at : layout.zeroBytes) {
        if (r[at] != 0x00) return at;
    }
    return std::nullopt;
}

// The first plain number above its place's most, with its place.
std::optional<std::pair<const NumberPlace*, std::uint32_t>> overMost(RecordView r, const RecordLayout& layout) {
    for (const NumberPlace& place : layout.numbers) {
        for (std::uint32_t n : numbersAt(r, place)) {
            if (n > place.max) return std::pair{&place, n};
        }
    }
    return std::nullopt;
}

}  // namespace

bool RecordLayout::has(Field field) const {
    switch (field) {
    case Field::Dvs: return dvsAt.has_value();
    case Field::HeldItem: return heldItemAt.has_value();
    case Field::TrainerId: return trainerIdAt.has_value();
    case Field::TrainerName: return trainerName.has_value();
    case Field::GenderRequirement: return genderRequirementAt.has_value();
    case Field::DialogSet: return dialogSetAt.has_value();
    case Field::RequestedSpecies:
    case Field::OfferedSpecies:
    case Field::Nickname:
    case Field::Presence: return true;
    default: return numberPlace(field) != nullptr;  // a field of plain numbers
    }
}

const NumberPlace* RecordLayout::numberPlace(Field field) const {
    for (const NumberPlace& place : numbers) {
        if (place.field == field) return &place;
    }
    return nullptr;
}

std::uint32_t NumberPlace::shiftOf(std::uint32_t i) const {
    if (!packed()) return shift;
    const std::uint32_t stored = order.empty() ? i : order[i];
    return stored % 2 == 0 ? 4 : 0;  // the first of a byte's two its high nibble
}

std::uint32_t NumberPlace::read(std::span<const std::uint8_t> record, std::uint32_t i) const {
    const std::uint32_t bytes = packed() ? 1 : width;
    std::uint32_t value = 0;
    for (std::uint32_t b = 0; b < bytes; ++b) value |= std::uint32_t(record[partAt(i) + b]) << (8 * b);
    return value >> shiftOf(i) & mask();
}

void NumberPlace::write(std::span<std::uint8_t> record, std::uint32_t i, std::uint32_t value) const {
    const std::uint32_t bytes = packed() ? 1 : width;
    std::uint32_t whole = 0;
    for (std::uint32_t b = 0; b < bytes; ++b) whole |= std::uint32_t(record[partAt(i) + b]) << (8 * b);
    whole = (whole & ~(mask() << shiftOf(i))) | (value & mask()) << shiftOf(i);
    for (std::uint32_t b = 0; b < bytes; ++b) record[partAt(i) + b] = std::uint8_t(whole >> (8 * b));
}

std::vector<std::uint32_t> numbersAt(RecordView record, const NumberPlace& place) {
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t i = 0; i < place.count; ++i) numbers.push_back(place.read(record, i));
    return numbers;
}

bool fitsCalls(const RecordLayout& layout, std::span<const RoutineCall> calls) {
    auto in = [](std::span<const std::uint8_t> set, std::uint8_t e) { return std::find(set.begin(), set.end(), e) != set.end(); };
    return std::all_of(calls.begin(), calls.end(), [&](const RoutineCall& call) {
        return in(layout.callerOffsets, call.e) && call.readsWord == in(layout.wordReads, call.e);
    });
}

RecordFault recordFault(RecordView r, const RecordLayout& layout, int dialogSets, const Charset& charset) {
    const std::uint8_t terminator = charset.terminator();
    if (!nameEnded(r, layout.nickname, terminator)) return RecordFault::NicknameEnd;
    if (layout.trainerName && !nameEnded(r, *layout.trainerName, terminator)) return RecordFault::TrainerNameEnd;
    if (nonZero(r, layout)) return RecordFault::ZeroByte;
    if (layout.dialogSetAt && r[*layout.dialogSetAt] >= dialogSets) return RecordFault::DialogSet;
    if (layout.genderRequirementAt && r[*layout.genderRequirementAt] >= kGenderRequirementCount) return RecordFault::GenderRequirement;
    return RecordFault::None;
}

RecordFault strictRecordFault(RecordView r, const RecordLayout& layout, int dialogSets, const Charset& charset) {
    if (auto fault = recordFault(r, layout, dialogSets, charset); fault != RecordFault::None) return fault;
    auto creature = [&](std::uint32_t at) {
        const SpeciesId s = speciesAt(r, layout, at);
        return s >= 1 && s <= (layout.lastSpecies ? layout.lastSpecies : layout.speciesWidth == 1 ? 254 : 0xFFFC);
    };
    if (!creature(layout.requestedSpeciesAt)) return RecordFault::RequestedSpecies;
    if (!creature(layout.offeredSpeciesAt)) return RecordFault::OfferedSpecies;
    if (!plausibleName(wholeField(r, layout.nickname), charset, layout.nickname.padding)) return RecordFault::NicknameText;
    if (layout.trainerName && !plausibleName(wholeField(r, *layout.trainerName), charset, layout.trainerName->padding)) {
        return RecordFault::TrainerNameText;
    }
    if (overMost(r, layout)) return RecordFault::Number;
    return RecordFault::None;
}

std::string recordFaultText(RecordFault fault, RecordView r, const RecordLayout& layout, const Charset& charset) {
    auto byte = [&](std::uint32_t at) { return "0x" + toPaddedHex(r[at], 2); };
    const std::string terminator = "0x" + toPaddedHex(charset.terminator(), 2);
    auto name = [&](const NameLayout& n, const char* what) {
        return std::string("the ") + what + " holds bytes that are no plain name (" + spacedHex(nameField(r, n)) +
               "): only characters, then " + terminator;
    };
    switch (fault) {
    case RecordFault::None: break;
    case RecordFault::DialogSet: return "its dialog set byte is " + std::to_string(r[*layout.dialogSetAt]) + ", which the game has no lines for";
    case RecordFault::GenderRequirement:
        return "its gender requirement byte is " + std::to_string(r[*layout.genderRequirementAt]) + ", not 0, 1 or 2";
    case RecordFault::NicknameEnd:
        if (!layout.nickname.terminated) return name(layout.nickname, "nickname") + " within its " + std::to_string(layout.nickname.length) + " bytes";
        return "the byte after its nickname is " + byte(layout.nickname.at + layout.nickname.length) + ", not " + terminator;
    case RecordFault::TrainerNameEnd:
        if (!layout.trainerName->terminated) {
            return name(*layout.trainerName, "trainer's name") + " within its " + std::to_string(layout.trainerName->length) + " bytes";
        }
        return "the byte after its trainer's name is " + byte(layout.trainerName->at + layout.trainerName->length) + ", not " +
               terminator;
    case RecordFault::ZeroByte: {
        const std::uint32_t at = nonZero(r, layout).value_or(layout.zeroAt);
        return (at + 1 == layout.size ? std::string("its last byte is ") : "its byte +" + std::to_string(at) + " is ") + byte(at) +
               ", not 0x00";
    }
    case RecordFault::RequestedSpecies:
        return "the requested species " + std::to_string(speciesAt(r, layout, layout.requestedSpeciesAt)) + " is no creature";
    case RecordFault::OfferedSpecies:
        return "the offered species " + std::to_string(speciesAt(r, layout, layout.offeredSpeciesAt)) + " is no creature";
    case RecordFault::NicknameText: return name(layout.nickname, "nickname");
    case RecordFault::TrainerNameText: return name(*layout.trainerName, "trainer's name");
    case RecordFault::Number: {
        const auto over = overMost(r, layout);
        if (!over) break;
        return (over->first->count > 1 ? "one of its " : "its ") + std::string(fieldRow(over->first->field).noun) + " is " +
               std::to_string(over->second) + ", more than " + std::to_string(over->first->max);
    }
    }
    return {};
}

}  // namespace kestrane
