// make bench: Kestrane's work measured side by side with the physical limit
// of the same work, in one run, and printed as a table of ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "families/families.h"
#include "families/gameboy/charsets.h"
#include "platform/gb/cartridge.h"
#include "families/gen2/second_generation_layouts.h"
#include "platform/gb/banks.h"
#include "support/gba_image.h"
#include "support/rom_image.h"
#include "text/game_text.h"
#include "trades/pictures.h"
#include "trades/releases.h"
#include "trades/save.h"

extern char** environ;

namespace {

using namespace kestrane;

constexpr std::uint32_t kSlot1 = 0xFCE78;  // Crystal, trade 1: the record's first byte
constexpr int kWindowWidth = 641, kWindowHeight = 465;  // Kestrane's window, as the one-label yardstick is sized (bare_window.cpp)
testing::TempDir* dir;
std::string rom;       // a retail-like Crystal image
std::string movedRom;  // the same with its table moved by 48 bytes, the routine pointing to it
std::string scannedRom;  // a table moved elsewhere without its routine: found by the scan alone
std::string checkedRom;  // a retail-like Crystal image with consistent checksums
Rom romValue;
Rom checkedValue;
std::string gbaRom;       // Emerald in 16 MiB, its table in place
std::string gbaMovedRom;  // the same, its table moved near the end, every pointer to it changed
std::string gbaLargeRom;  // 32 MiB, its table moved to the upper half
std::vector<std::pair<std::int64_t, std::size_t>> gbaReads;  // what identifying and locating the first reads

// The reads a step of Kestrane's makes (offset and length), kept to replay them bare.
class RecordingFile final : public File {
public:
    RecordingFile(std::unique_ptr<File> file, std::vector<std::pair<std::int64_t, std::size_t>>& reads)
        : file_(std::move(file)), reads_(reads) {}
    Result<std::int64_t> size() override { return file_->size(); }
    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        reads_.emplace_back(offset, out.size());
        return file_->readAt(offset, out);
    }
    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override { return file_->writeAt(offset, data); }
    Result<void> flush() override { return file_->flush(); }
    Result<void> lock(std::chrono::milliseconds wait) override { return file_->lock(wait); }
    Result<FileIdentity> identity() override { return file_->identity(); }
    Result<void> close() override { return file_->close(); }

private:
    std::unique_ptr<File> file_;
    std::vector<std::pair<std::int64_t, std::size_t>>& reads_;
};

class RecordingFileSystem final : public FileSystem {
public:
    std::vector<std::pair<std::int64_t, std::size_t>> reads;
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
        auto file = nativeFileSystem().open(path, mode);
        if (!file) return file.error();
        return std::unique_ptr<File>(std::make_unique<RecordingFile>(std::move(*file), reads));
    }
    Result<FileStatus> status(const std::string& path) override { return nativeFileSystem().status(path); }
    Result<void> setReadOnly(const std::string& path, bool readOnly) override { return nativeFileSystem().setReadOnly(path, readOnly); }
    Result<std::unique_ptr<File>> createNew(const std::string& path) override { return nativeFileSystem().createNew(path); }
    Result<void> replace(const std::string& from, const std::string& to) override { return nativeFileSystem().replace(from, to); }
    Result<void> remove(const std::string& path) override { return nativeFileSystem().remove(path); }
    Result<void> syncFolderOf(const std::string& path) override { return nativeFileSystem().syncFolderOf(path); }
};
std::vector<ByteRange> checkedWrites;  // what one save with checksums writes

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// --- the work and its limit -------------------------------------------------

void ShowTrade(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readTradeRecord(romValue, Slot::fromNumber(1)));
}

void ShowLimit(benchmark::State& state) {
    std::uint8_t record[kMaxRecordSize];
    for (auto _ : state) {
        int fd = ::open(rom.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::pread(fd, record, sizeof record, kSlot1));
        ::close(fd);
    }
}

// Each save changes the ID, so every iteration writes two bytes and syncs.
void SaveTrade(benchmark::State& state) {
    TradeEdit edit = uneditedEdit(*readTradeRecord(romValue, Slot::fromNumber(1))->record);
    std::uint16_t id = 0;
    for (auto _ : state) {
        edit.trainerId = ++id % 2 ? 4660 : 4661;
        auto saved = writeTradeRecord(romValue, edit, SaveOptions{ChecksumPolicy::Leave});
        if (!saved) state.SkipWithError(saved.error().message.c_str());
        else edit.shown = saved->records.front();
    }
}

// The same save on a ROM whose checksums are consistent: the whole file is
// read once and the global checksum and the Stadium data are written too.
void SaveWithChecksums(benchmark::State& state) {
    TradeEdit edit = uneditedEdit(*readTradeRecord(checkedValue, Slot::fromNumber(1))->record);
    for (auto _ : state) {
        edit.trainerId = edit.shown.trainerId == 4660 ? 4661 : 4660;
        auto saved = writeTradeRecord(checkedValue, edit);
        if (!saved) state.SkipWithError(saved.error().message.c_str());
        else if (!saved->checksumsUpdated) state.SkipWithError("the save did not keep the checksums");
        else edit.shown = saved->records.front();
    }
}

// Open, one read of the whole file, the same writes, fsync, close.
void SaveWithChecksumsLimit(benchmark::State& state) {
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[testing::kRomSize]);
    for (auto _ : state) {
        int fd = ::open(checkedRom.c_str(), O_RDWR | O_CLOEXEC);
        benchmark::DoNotOptimize(::pread(fd, bytes.get(), testing::kRomSize, 0));
        // The bytes as read: the disk does the same work, the checksums stay consistent.
        for (const ByteRange& range : checkedWrites) {
            const std::size_t length = range.last - range.first + 1;
            benchmark::DoNotOptimize(::pwrite(fd, bytes.get() + range.first, length, range.first));
        }
        ::fsync(fd);
        ::close(fd);
    }
}

void SaveLimit(benchmark::State& state) {
    std::uint16_t id = 0;
    for (auto _ : state) {
        std::uint8_t bytes[2] = {std::uint8_t(++id % 2 ? 0x34 : 0x35), 0x12};
        int fd = ::open(rom.c_str(), O_RDWR | O_CLOEXEC);
        benchmark::DoNotOptimize(::pwrite(fd, bytes, 2, kSlot1 + *kRecordOf32Bytes.trainerIdAt));
        ::fsync(fd);
        ::close(fd);
    }
}

void IdentifyRom(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(identifyRom(rom, families::all()));
}

// Identify and locate: the table at its usual place.
void OpenRom(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(openRom(rom, families::all(), nativeFileSystem(), RomParts{.gameData = false, .checksums = false, .readOnly = false}));
}

// The least that identifies the ROM and locates its table: open, the size
// (a file cut inside its table is known by it), the header's code, and the
// routine's bank, which holds the routine, the calls whose offsets give the
// records' layout, and the table itself, then close.
void OpenLimit(benchmark::State& state) {
    char code[4];
    std::unique_ptr<std::uint8_t[]> bank(new std::uint8_t[kBankSize]);
    for (auto _ : state) {
        int fd = ::open(rom.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        benchmark::DoNotOptimize(::fstat(fd, &status));
        benchmark::DoNotOptimize(::pread(fd, code, sizeof code, kGameCodeOffset));
        benchmark::DoNotOptimize(::pread(fd, bank.get(), kBankSize, kSlot1 / kBankSize * kBankSize));
        ::close(fd);
    }
}

// Identify and locate: the table moved, found by the routine in the whole file.
void OpenMovedRom(benchmark::State& state) {
    for (auto _ : state) {
        auto opened = openRom(movedRom, families::all(), nativeFileSystem(), RomParts{.gameData = false, .checksums = false, .readOnly = false});
        if (!opened || !opened->table) state.SkipWithError("the moved table was not found");
        benchmark::DoNotOptimize(opened);
    }
}

// The slowest way: the whole file read, searched for the routine, then scanned.
void OpenScannedRom(benchmark::State& state) {
    for (auto _ : state) {
        auto opened = openRom(scannedRom, families::all(), nativeFileSystem(), RomParts{.gameData = false, .checksums = false, .readOnly = false});
        if (!opened || !opened->table) state.SkipWithError("the scanned table was not found");
        benchmark::DoNotOptimize(opened);
    }
}

void WholeFileLimit(benchmark::State& state) {
    for (auto _ : state) {
        int fd = ::open(movedRom.c_str(), O_RDONLY | O_CLOEXEC);
        std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[testing::kRomSize]);
        benchmark::DoNotOptimize(::pread(fd, bytes.get(), testing::kRomSize, 0));
        benchmark::DoNotOptimize(bytes.get());
        ::close(fd);
    }
}

// A 16 MiB GBA image: identify and locate, the table in place.
void OpenGbaRom(benchmark::State& state) {
    for (auto _ : state) {
        auto opened = openRom(gbaRom, families::all(), nativeFileSystem(), RomParts{.gameData = false, .checksums = false, .readOnly = false});
        if (!opened || !opened->table) state.SkipWithError("the GBA table was not found");
        benchmark::DoNotOptimize(opened);
    }
}

// The least: open, the size, and the very byte ranges the opening reads (the
// header, the code, the records), read bare.
void OpenGbaLimit(benchmark::State& state) {
    std::size_t longest = 0;
    for (const auto& read : gbaReads) longest = std::max(longest, read.second);
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[longest]);
    for (auto _ : state) {
        int fd = ::open(gbaRom.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        benchmark::DoNotOptimize(::fstat(fd, &status));
        for (const auto& [at, length] : gbaReads) benchmark::DoNotOptimize(::pread(fd, bytes.get(), length, at));
        ::close(fd);
    }
}

void OpenGbaMoved(const std::string& path, benchmark::State& state) {
    for (auto _ : state) {
        auto opened = openRom(path, families::all(), nativeFileSystem(), RomParts{.gameData = false, .checksums = false, .readOnly = false});
        if (!opened || !opened->table || opened->table->foundBy != FoundBy::TableRoutine) state.SkipWithError("the moved GBA table was not found");
        benchmark::DoNotOptimize(opened);
    }
}
void OpenGbaMovedRom(benchmark::State& state) { OpenGbaMoved(gbaMovedRom, state); }
void OpenGbaLargeRom(benchmark::State& state) { OpenGbaMoved(gbaLargeRom, state); }

// One sequential read of the whole file, in the pieces a search reads it in.
void WholeGbaLimit(const std::string& path, std::size_t size, benchmark::State& state) {
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[kSearchPiece]);
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        for (std::size_t at = 0; at < size; at += kSearchPiece) benchmark::DoNotOptimize(::pread(fd, bytes.get(), kSearchPiece, off_t(at)));
        ::close(fd);
    }
}
void WholeGbaMovedLimit(benchmark::State& state) { WholeGbaLimit(gbaMovedRom, testing::kGbaRomSize, state); }
void WholeGbaLargeLimit(benchmark::State& state) { WholeGbaLimit(gbaLargeRom, testing::kGbaLargestSize, state); }

void IdentifyLimit(benchmark::State& state) {
    char code[4];
    for (auto _ : state) {
        int fd = ::open(rom.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::pread(fd, code, sizeof code, kGameCodeOffset));
        ::close(fd);
    }
}

void DecodeName(benchmark::State& state) {
    const std::uint8_t field[10] = {0x91, 0x8E, 0x82, 0x8A, 0x98, 0x50, 0x20, 0x20, 0x20, 0x20};
    for (auto _ : state) benchmark::DoNotOptimize(decodeGameText(field, englishCharset()));
    state.SetItemsProcessed(state.iterations());
}

void EncodeName(benchmark::State& state) {
    const std::u16string name = u"[PK]ROCKY\\h4A\\";
    for (auto _ : state) benchmark::DoNotOptimize(encodeGameText(name, englishCharset()));
    state.SetItemsProcessed(state.iterations());
}

// One front picture: pointer, data, colours read, decompressed and drawn
// into its shades, which the window shows as they are (an indexed image).
void DrawPicture(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readFrontPicture(romValue, 25, PictureLook{}).value());
}

// The same reads, nothing decoded: the pointer, the data's own bytes, the colours.
void PictureLimit(benchmark::State& state) {
    std::uint8_t pointer[3], data[414], palette[8];
    for (auto _ : state) {
        int fd = ::open(rom.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::pread(fd, pointer, sizeof pointer, 0x120000 + 24 * 6));
        const std::uint32_t at = std::uint32_t(pointer[0] + 0x36) * 0x4000 + (pointer[1] | pointer[2] << 8) - 0x4000;
        benchmark::DoNotOptimize(::pread(fd, data, sizeof data, at));
        benchmark::DoNotOptimize(::pread(fd, palette, sizeof palette, 0xA8CE + 25 * 8));
        ::close(fd);
    }
}

// --- whole programs ------------------------------------------------------------

struct ProgramRun {
    double millis;
    long peakKiB;
};

ProgramRun runProgram(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = extraEnv;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "could not start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss};
}


struct ProgramStats {
    double millis;
    double peakKiB;
};

// Runs the two programs alternately, `runs` times each, and gives their medians.
// The order turns every round (a b, b a, a b ...): on this kind of virtual
// machine every other process can start 20 ms slower, and a fixed order gave
// all the slow starts to one side.
std::pair<ProgramStats, ProgramStats> compare(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                              const std::vector<std::string>& env, int runs) {
    std::vector<double> ta, tb, ra, rb;
    runProgram(a, env);  // warm the page cache
    runProgram(b, env);
    for (int i = 0; i < runs; ++i) {
        ProgramRun x, y;
        if (i % 2 == 0) {
            x = runProgram(a, env);
            y = runProgram(b, env);
        } else {
            y = runProgram(b, env);
            x = runProgram(a, env);
        }
        ta.push_back(x.millis);
        ra.push_back(double(x.peakKiB));
        tb.push_back(y.millis);
        rb.push_back(double(y.peakKiB));
    }
    return {{median(ta), median(ra)}, {median(tb), median(rb)}};
}

// --- the table ------------------------------------------------------------------

// Keeps every run's time by name; the medians are taken over the rounds.
class RunCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            if (run.counters.count("items_per_second")) {
                perSecond[run.run_name.function_name].push_back(run.counters.at("items_per_second"));
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double medianTime(const std::string& name) { return median(times[name]); }
    double medianRate(const std::string& name) { return median(perSecond[name]); }

private:
    std::map<std::string, std::vector<double>> times;  // microseconds
    std::map<std::string, std::vector<double>> perSecond;
};

void row(const char* what, double ours, double limit, const char* unit, double target) {
    const double ratio = ours / limit;
    std::printf("%-38s %10.1f %-3s %10.1f %-3s %6.2f   <= %.2f  %s\n", what, ours, unit, limit, unit, ratio, target,
                ratio <= target ? "met" : "MISSED");
}

// The whole programs: Kestrane's window and command line against their
// yardsticks, run from a process that holds nothing else (see main).
int programRows(const std::string& rom, const std::string& gbaRom, const std::string& gbaMovedRom) {
    const int runs = 22;
    const std::vector<std::string> offscreen = {"QT_QPA_PLATFORM=offscreen", "KESTRANE_QUIT_AFTER_FIRST_PAINT=1"};
    // The yardstick: a window of Kestrane's size showing one label (a window
    // that draws no text skips the fonts every window with text loads).
    std::vector<std::string> withText = offscreen;
    withText.push_back("KESTRANE_BARE_WITH_TEXT=1");
    auto [window, labelled] = compare({KESTRANE_APP_PATH, rom}, {BARE_WINDOW_PATH}, withText, runs);
    auto [gbaWindow, labelledAgain] = compare({KESTRANE_APP_PATH, gbaRom}, {BARE_WINDOW_PATH}, withText, runs);
    auto [gbaMovedWindow, labelledOnceMore] = compare({KESTRANE_APP_PATH, gbaMovedRom}, {BARE_WINDOW_PATH}, withText, runs);
    std::vector<double> bareTimes, bareRss;
    for (int i = 0; i < runs; ++i) {
        ProgramRun r = runProgram({BARE_WINDOW_PATH}, offscreen);
        bareTimes.push_back(r.millis);
        bareRss.push_back(double(r.peakKiB));
    }
    auto [cli, reader] = compare({KESTRANE_CLI_PATH, "export", rom}, {TRIVIAL_READER_PATH, rom}, {}, runs);

    std::printf("\nMedians of %d alternating runs (programs), windows against a %dx%d window showing one label.\n\n", runs,
                kWindowWidth, kWindowHeight);
    row("start-up to first frame", window.millis, labelled.millis, "ms", 1.2);
    row("start-up peak RSS", window.peakKiB / 1024, labelled.peakKiB / 1024, "MiB", 1.15);
    row("peak RSS, 16 MiB GBA image, in place", gbaWindow.peakKiB / 1024, labelledAgain.peakKiB / 1024, "MiB", 1.3);
    row("peak RSS, 16 MiB GBA image, moved", gbaMovedWindow.peakKiB / 1024, labelledOnceMore.peakKiB / 1024, "MiB", 1.3);
    std::printf("%-38s %10.1f ms %10.1f MiB   (informative: the bare window, no text)\n", "bare window", median(bareTimes),
                median(bareRss) / 1024);
    row("kestrane-cli export", cli.millis, reader.millis, "ms", 1.5);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 5 && std::string(argv[1]) == "--programs") return programRows(argv[2], argv[3], argv[4]);
    constexpr int kRepetitions = 9;
    testing::TempDir temp;
    dir = &temp;
    testing::Bytes retail = testing::retailLikeRom("BYTE");
    testing::putPictures(retail, "BYTE");
    rom = temp.write("crystal.gbc", retail);
    romValue = *openRom(rom, families::all());
    testing::Bytes moved = testing::randomImage("BYTE");
    testing::putTable(moved, testing::kCrystalTable + 48, testing::retailTrades("BYTE"));
    testing::putRoutine(moved, testing::kCrystalRoutine + 48, testing::kCrystalTable + 48);
    movedRom = temp.write("moved.gbc", moved);
    testing::Bytes scanned = testing::randomImage("BYTE");
    testing::putTable(scanned, 0x123456, testing::retailTrades("BYTE"));
    scannedRom = temp.write("scanned.gbc", scanned);
    testing::Bytes checked = testing::retailLikeRom("BYTE");
    testing::buildChecksums(checked);
    checkedRom = temp.write("checked.gbc", checked);
    checkedValue = *openRom(checkedRom, families::all());
    {
        TradeEdit edit = uneditedEdit(*readTradeRecord(checkedValue, Slot::fromNumber(1))->record);
        edit.trainerId = 4661;
        checkedWrites = writeTradeRecord(checkedValue, edit)->written;
        temp.write("checked.gbc", checked);
    }

    {
        const std::vector<testing::Trade60> trades(4, testing::Trade60{});
        gbaRom = temp.write("emerald.gba", testing::emeraldImage(trades, testing::kGbaRomSize));
        RecordingFileSystem recording;
        if (!openRom(gbaRom, families::all(), recording, RomParts{.gameData = false, .checksums = false, .readOnly = false})) return 1;
        gbaReads = recording.reads;
        auto moved = [&](std::size_t size, std::uint32_t table) {
            testing::Bytes image = testing::emeraldImage(trades, size);
            testing::putSpeciesInfoRoutine(image, testing::kEmeraldSpeciesInfo, table, testing::kEmeraldNames);
            testing::putTradeSceneStrings(image, testing::kEmeraldSceneStrings, table);
            testing::putTable60(image, table, trades);
            return image;
        };
        gbaMovedRom = temp.write("emerald-moved.gba", moved(testing::kGbaRomSize, 0xF00000));
        gbaLargeRom = temp.write("emerald-32.gba", moved(testing::kGbaLargestSize, 0x1F00000));
    }

    struct Entry {
        const char* name;
        void (*run)(benchmark::State&);
        bool syncs;  // a disk sync per iteration: fewer, longer runs
    };
    const Entry entries[] = {{"ShowTrade", ShowTrade, false},     {"ShowLimit", ShowLimit, false},
                             {"IdentifyRom", IdentifyRom, false}, {"IdentifyLimit", IdentifyLimit, false},
                             {"OpenRom", OpenRom, false},         {"OpenLimit", OpenLimit, false},
                             {"OpenMovedRom", OpenMovedRom, false}, {"WholeFileLimit", WholeFileLimit, false},
                             {"OpenScannedRom", OpenScannedRom, false},
                             {"SaveTrade", SaveTrade, true},      {"SaveLimit", SaveLimit, true},
                             {"SaveWithChecksums", SaveWithChecksums, true},
                             {"SaveWithChecksumsLimit", SaveWithChecksumsLimit, true},
                             {"DecodeName", DecodeName, false},   {"EncodeName", EncodeName, false},
                             {"DrawPicture", DrawPicture, false}, {"PictureLimit", PictureLimit, false},
                             {"OpenGbaRom", OpenGbaRom, false},   {"OpenGbaLimit", OpenGbaLimit, false},
                             {"OpenGbaMovedRom", OpenGbaMovedRom, false}, {"WholeGbaMovedLimit", WholeGbaMovedLimit, false},
                             {"OpenGbaLargeRom", OpenGbaLargeRom, false}, {"WholeGbaLargeLimit", WholeGbaLargeLimit, false}};
    // Rounds of every benchmark one after the other, so that a slow moment
    // of the disk or the machine falls on both sides of a ratio alike.
    for (int round = 0; round < kRepetitions; ++round) {
        for (const Entry& e : entries) {
            auto* b = benchmark::RegisterBenchmark(e.name, e.run);
            b->Unit(benchmark::kMicrosecond)->UseRealTime();
            if (e.syncs) b->MinTime(0.3);
        }
    }
    benchmark::Initialize(&argc, argv);
    RunCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto m = [&](const char* name) { return collector.medianTime(name); };

    std::printf("\nMedians of %d interleaved rounds (core), in this run.\n\n", kRepetitions);
    std::printf("%-38s %14s %14s %6s   %s\n", "", "Kestrane", "limit", "ratio", "target");
    row("show a trade (readTradeRecord)", m("ShowTrade"), m("ShowLimit"), "us", 1.5);
    row("save a trade (writeTradeRecord, fsync)", m("SaveTrade"), m("SaveLimit"), "us", 1.5);
    row("save with checksums", m("SaveWithChecksums"), m("SaveWithChecksumsLimit"), "us", 1.5);
    row("identify a ROM (identifyRom)", m("IdentifyRom"), m("IdentifyLimit"), "us", 1.5);
    row("identify + locate, table in place", m("OpenRom"), m("OpenLimit"), "us", 1.3);
    row("identify + locate, table moved", m("OpenMovedRom"), m("WholeFileLimit"), "us", 1.5);
    std::printf("%-38s %10.1f us %10.1f us %6.2f   (informative: no routine, the record scan)\n",
                "identify + locate, by the scan", m("OpenScannedRom"), m("WholeFileLimit"),
                m("OpenScannedRom") / m("WholeFileLimit"));
    row("GBA 16 MiB: identify + locate, in place", m("OpenGbaRom"), m("OpenGbaLimit"), "us", 1.3);
    row("GBA 16 MiB: identify + locate, moved", m("OpenGbaMovedRom"), m("WholeGbaMovedLimit"), "us", 1.5);
    row("GBA 32 MiB: identify + locate, moved", m("OpenGbaLargeRom"), m("WholeGbaLargeLimit"), "us", 1.5);
    row("draw a front picture (readFrontPicture)", m("DrawPicture"), m("PictureLimit"), "us", 1.5);
    std::printf("%-38s %10.0f names/s\n", "decode a 10-byte name", collector.medianRate("DecodeName"));
    std::printf("%-38s %10.0f names/s\n", "encode a name", collector.medianRate("EncodeName"));
    std::fflush(stdout);
    // The programs from a process of its own, started before this one grew:
    // a child's peak RSS counts the memory of the process it was spawned from.
    const std::string self = "/proc/self/exe";
    std::vector<std::string> args = {self, "--programs", rom, gbaRom, gbaMovedRom};
    std::vector<char*> argvOut;
    for (std::string& a : args) argvOut.push_back(a.data());
    argvOut.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argvOut.data(), environ) != 0) return 1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
