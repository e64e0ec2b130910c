// A build tree's constants (constants/*.asm): the names its trade file
// writes for species, items, dialog sets and genders, and the lengths its
// macros pad names to. Read as the assembler counts them: `const_def`,
// `const`, `const_skip`, `DEF NAME EQU value` and `NAME EQU value`.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

class SourceConstants {
public:
    // The value of a name; none where the files define no such name.
    std::optional<std::int64_t> valueOf(std::string_view name) const;
    // The first name a file gives a value among names that begin with
    // `prefix` ("TRADE_GENDER_"; empty: any): what a changed value is
    // written as. None where no name has that value.
    std::optional<std::string> nameOf(std::int64_t value, std::string_view prefix = {}) const;

    // Adds a file's constants; a line of the forms above that is not well
    // formed is refused, naming the file and its line. Other lines (macros,
    // assertions, comments) are not constants and are passed over.
    Result<void> read(std::string_view text, const std::string& file);

private:
    std::map<std::string, std::int64_t, std::less<>> values_;
    std::vector<std::pair<std::string, std::int64_t>> inOrder_;  // as defined, for nameOf
};

}  // namespace kestrane
