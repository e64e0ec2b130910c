// What a build tree's folders hold: its files by extension, links, and
// which of two files was written last. Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane {

// The regular files under `root` whose names end with `extension` (".asm"),
// relative to it with "/" between folders, in sorted order. Hidden files
// and folders (a leading dot: .git) are passed over, and links to folders
// are not followed (a tree's link to itself would never end). A folder
// that cannot be read is passed over too: the files found are what a
// caller may look at, never a promise that there are no others.
std::vector<std::string> filesUnder(const std::string& root, std::string_view extension);

// Whether the path is a symbolic link (whatever it leads to).
bool isSymbolicLink(const std::string& path);

// Whether `a` was last written before `b`; none where either cannot be told.
std::optional<bool> writtenBefore(const std::string& a, const std::string& b);

}  // namespace kestrane
