// Every file call of a save fails in turn, in every way the platform fails:
// the save either succeeds with exactly the new bytes, or says it failed and
// what it may have left in the file.
#include <gtest/gtest.h>

#include "families/families.h"
#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/rom_image.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

struct Fault {
    const char* name;
    std::optional<Error> error;  // none: a short read or write
};

const Fault kFaults[] = {
    {"EIO", fileFailure(ErrorCode::DeviceIo, "the device reported an input/output error")},
    {"ENOSPC", fileFailure(ErrorCode::DiskFull, "the disk is full")},
    {"EACCES", fileFailure(ErrorCode::PermissionDenied, "permission denied")},
    {"short transfer", std::nullopt},
};

class FaultInjection : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    // A retail-like Crystal image (with consistent checksums, which the save
    // then writes too); the first N trades of it get new bytes.
    void SetUp() override {
        const auto [trades, consistent] = GetParam();
        untouched = retailLikeRom("BYTE", 11);
        if (consistent) buildChecksums(untouched);
        path = dir.write("crystal.gbc", untouched);
        rom = *openRom(path, families::all());
        for (int slot = 1; slot <= trades; ++slot) {
            const TradeRecord shown = *readTradeRecord(rom, Slot::fromNumber(slot))->record;
            TradeEdit edit = uneditedEdit(shown);
            edit.requestedSpecies = 1;
            edit.nickname = *resolveName(rom, shown, NameRole::Nickname, u"NEW");
            edit.trainerId = 258;
            edits.push_back(edit);
        }
        ASSERT_TRUE(saveTrades(rom, edits));
        saved = readFile(path);
        dir.write("crystal.gbc", untouched);
    }

    TempDir dir;
    Bytes untouched, saved;
    std::string path;
    Rom rom;
    std::vector<TradeEdit> edits;
};

TEST_P(FaultInjection, EveryCallOfASaveFailingInEveryWay) {
    FaultInjectingFileSystem counting;
    ASSERT_TRUE(saveTrades(rom, edits, {}, counting));
    const int calls = int(counting.calls().size());
    EXPECT_EQ(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Open), 1);
    EXPECT_EQ(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Flush), 1);
    dir.write("crystal.gbc", untouched);

    int injected = 0;
    for (const Fault& fault : kFaults) {
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE(std::string(fault.name) + " at call " + std::to_string(n));
            FaultInjectingFileSystem fs;
            if (fault.error) fs.failCall(n, *fault.error);
            else fs.shortenCall(n);
            ++injected;
            auto outcome = saveTrades(rom, edits, {}, fs);
            const Bytes after = readFile(path);
            ASSERT_EQ(after.size(), untouched.size());
            if (outcome) {
                EXPECT_EQ(after, saved);
            } else {
                const Error& e = outcome.error();
                EXPECT_EQ(e.code, fault.error->code);
                EXPECT_EQ(e.kind, ErrorKind::FileFailure);
                EXPECT_NE(describe(e).find(fault.error->message), std::string::npos);
                // Every byte that moved lies in a range the error owns up to.
                for (std::size_t at : differences(untouched, after)) {
                    ASSERT_EQ(e.effect, FileEffect::MayHoldNewData) << describe(e);
                    EXPECT_TRUE(std::any_of(e.mayHold.begin(), e.mayHold.end(),
                                            [&](ByteRange r) { return at >= r.first && at <= r.last; }))
                        << "byte " << at << ": " << describe(e);
                }
                if (after == untouched) {
                    EXPECT_NE(e.effect, FileEffect::NotWriting);
                }
            }
            dir.write("crystal.gbc", untouched);
        }
    }
    EXPECT_EQ(injected, 4 * calls);
    ::testing::Test::RecordProperty("faults_injected", injected);
}

TEST_P(FaultInjection, ARealFullDiskIsReported) {
    DiskFullFileSystem fs;
    auto outcome = saveTrades(rom, edits, {}, fs);
    if (!outcome && outcome.error().code == ErrorCode::PathNotFound) GTEST_SKIP() << "no /dev/full here";
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error().code, ErrorCode::DiskFull);
    EXPECT_NE(describe(outcome.error()).find("the disk is full"), std::string::npos);
    EXPECT_EQ(readFile(path), untouched);
}

// One trade, and a whole table of seven; checksums left stale, and kept.
INSTANTIATE_TEST_SUITE_P(Saves, FaultInjection, ::testing::Combine(::testing::Values(1, 7), ::testing::Bool()),
                         [](const auto& info) {
                             return (std::get<0>(info.param) == 1 ? std::string("OneTrade") : "SevenTrades") +
                                    (std::get<1>(info.param) ? "WithChecksums" : "");
                         });

}  // namespace
}  // namespace kestrane
