// Synthetic ROM images for tests: random filler of the real size, a chosen
// game code in the header and chosen trade records. No game data.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kRomSize = 2 * 1024 * 1024;

// Game text of plain letters, digits and blanks, written out by hand here
// so that tests do not check the codec against itself: "AB" -> 80 81 50,
// then 0x50 padding to 10 bytes.
std::array<std::uint8_t, 10> nameField(std::string_view text);

// A made-up trade: Abra asked, Onix offered, "ROCKY" from "KYLE", ID 4660.
struct TradeBytes {
    std::uint8_t requested = 63;
    std::uint8_t offered = 95;
    std::array<std::uint8_t, 10> nickname = nameField("ROCKY");
    std::array<std::uint8_t, 10> trainer = nameField("KYLE");
    std::uint16_t id = 4660;
};

// A 2 MiB image of random bytes (fixed by seed) with gameCode at 0x13F.
Bytes makeRom(std::string_view gameCode, std::uint32_t seed = 1);
// Writes a record's five fields at base; bytes +12..+15 and +28..+31 keep the filler.
void putRecord(Bytes& rom, std::uint32_t base, const TradeBytes& trade);

// A folder of its own for one test, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder, and a file in it (not created), as UTF-8 paths.
    std::string folder() const;
    std::string file(const std::string& name) const;
    // Writes bytes to a file of that name in the folder and gives its path
    // (UTF-8, as the core takes paths).
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path path_;
};

Bytes readFile(const std::string& path);

// Paths as the core takes them (UTF-8), and back: the same bytes on POSIX,
// the conversion that keeps "é" on Windows.
std::string utf8(const std::filesystem::path& path);
std::filesystem::path fsPath(const std::string& utf8Path);

// Offsets at which two images differ; a length difference counts from the shorter end.
std::vector<std::size_t> differences(const Bytes& a, const Bytes& b);

}  // namespace kestrane::testing
