#include "text/text_dialect.h"

#include <algorithm>

namespace kestrane {

const StringByte* inStringOf(const TextDialect& dialect, std::uint8_t byte) {
    for (std::span<const StringByte> table : {dialect.words, dialect.inString}) {
        const auto found = std::find_if(table.begin(), table.end(), [&](const StringByte& b) { return b.byte == byte; });
        if (found != table.end()) return &*found;
    }
    return nullptr;
}

const TextCommand* commandOf(const TextDialect& dialect, std::uint8_t byte) {
    const auto found = std::find_if(dialect.commands.begin(), dialect.commands.end(), [&](const TextCommand& c) { return c.byte == byte; });
    return found == dialect.commands.end() ? nullptr : &*found;
}

}  // namespace kestrane
