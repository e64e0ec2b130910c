#include "support/folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kestrane {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::vector<std::string> filesUnder(const std::string& root, std::string_view extension) {
    std::vector<std::string> found;
    std::error_code error;
    const fs::path base = pathOf(root);
    fs::recursive_directory_iterator it(base, fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        const std::string name = utf8Of(it->path().filename());
        if (name.starts_with(".")) {
            if (it->is_directory(error)) it.disable_recursion_pending();
            continue;
        }
        if (!name.ends_with(extension) || !it->is_regular_file(error)) continue;
        found.push_back(utf8Of(it->path().lexically_relative(base)));
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool isSymbolicLink(const std::string& path) {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(pathOf(path), error));
}

std::optional<bool> writtenBefore(const std::string& a, const std::string& b) {
    std::error_code errorA, errorB;
    const auto timeA = fs::last_write_time(pathOf(a), errorA);
    const auto timeB = fs::last_write_time(pathOf(b), errorB);
    if (errorA || errorB) return std::nullopt;
    return timeA < timeB;
}

}  // namespace kestrane
