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
    // What a value is written as where `like` stood: the first name with
    // that value in the file that defines `like`, among them first those
    // sharing its prefix up to its last underscore ("TRADE_GENDER_"), as
    // other names of that file do (a dialog set is not written as a gender).
    // None where that file names no such value.
    std::optional<std::string> nameLike(std::int64_t value, std::string_view like) const;

    // Adds a file's constants; a line of the forms above that is not well
    // formed is refused, naming the file and its line. Other lines (macros,
    // assertions, comments) are not constants and are passed over, and so
    // are values of other forms (expressions, names of files read later):
    // only a name the trade file uses must be known.
    Result<void> read(std::string_view text, const std::string& file);

private:
    struct Defined {
        std::string name;
        std::int64_t value;
        std::size_t file;  // the files' order of reading
    };
    std::map<std::string, std::size_t, std::less<>> byName_;  // into inOrder_, the last definition
    std::vector<Defined> inOrder_;                            // as defined, for nameLike
    std::size_t files_ = 0;
};

}  // namespace kestrane
