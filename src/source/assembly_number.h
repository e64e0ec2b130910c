// A number as a build's assembly writes it: "$50", "%0101", "80".
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrane {

inline std::optional<std::int64_t> assemblyNumber(std::string_view token) {
    int base = 10;
    if (!token.empty() && token[0] == '$') base = 16, token.remove_prefix(1);
    else if (!token.empty() && token[0] == '%') base = 2, token.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (token.empty() || token[0] == '-' || error != std::errc() || end != token.data() + token.size()) return std::nullopt;
    return value;
}

}  // namespace kestrane
