#include "helpers/rom_image.h"

#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

namespace kestrane::testing {

std::array<std::uint8_t, 10> nameField(std::string_view text) {
    std::array<std::uint8_t, 10> field{};
    field.fill(0x50);
    for (std::size_t i = 0; i < text.size() && i < field.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') field[i] = static_cast<std::uint8_t>(0x80 + (c - 'A'));
        else if (c >= 'a' && c <= 'z') field[i] = static_cast<std::uint8_t>(0xA0 + (c - 'a'));
        else if (c >= '0' && c <= '9') field[i] = static_cast<std::uint8_t>(0xF6 + (c - '0'));
        else if (c == ' ') field[i] = 0x00;
        else throw std::invalid_argument("nameField takes letters, digits and blanks");
    }
    return field;
}

Bytes makeRom(std::string_view gameCode, std::uint32_t seed) {
    Bytes rom(kRomSize);
    std::mt19937 random(seed);
    for (auto& b : rom) b = static_cast<std::uint8_t>(random());
    for (std::size_t i = 0; i < gameCode.size(); ++i) rom[0x13F + i] = static_cast<std::uint8_t>(gameCode[i]);
    return rom;
}

void putRecord(Bytes& rom, std::uint32_t base, const TradeBytes& trade) {
    rom.at(base) = trade.requested;
    rom.at(base + 1) = trade.offered;
    std::copy(trade.nickname.begin(), trade.nickname.end(), rom.begin() + base + 2);
    rom.at(base + 16) = static_cast<std::uint8_t>(trade.id & 0xFF);
    rom.at(base + 17) = static_cast<std::uint8_t>(trade.id >> 8);
    std::copy(trade.trainer.begin(), trade.trainer.end(), rom.begin() + base + 18);
}

TempDir::TempDir() {
    // random_device may be a fixed sequence (mingw); the clock tells parallel test processes apart.
    static std::mt19937_64 names(std::random_device{}() ^
                                 std::uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() / ("kestrane-test-" + std::to_string(names()));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("could not make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path fsPath(const std::string& utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string TempDir::folder() const { return utf8(path_); }

std::string TempDir::file(const std::string& name) const { return utf8(path_ / fsPath(name)); }

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    std::string file = utf8(path_ / fsPath(name));
    std::ofstream out(fsPath(file), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("could not write " + file);
    return file;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("could not read " + path);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("could not read " + path);
    return bytes;
}

std::vector<std::size_t> differences(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) at.push_back(i);
    }
    return at;
}

}  // namespace kestrane::testing
