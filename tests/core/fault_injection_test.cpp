// Every file call of a save fails in turn, in every way the platform fails:
// the save either succeeds with exactly the new record, or says it failed.
#include <gtest/gtest.h>

#include "helpers/file_systems.h"
#include "helpers/rom_image.h"
#include "support/fault_injection.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

constexpr std::uint32_t kCrystalSlot7 = 0xFCF19;

struct Fault {
    const char* name;
    std::optional<Error> error;  // none: a short read or write
};

const Fault kFaults[] = {
    {"EIO", makeError(ErrorCode::DeviceIo, "the device reported an input/output error")},
    {"ENOSPC", makeError(ErrorCode::DiskFull, "the disk is full")},
    {"EACCES", makeError(ErrorCode::PermissionDenied, "permission denied")},
    {"short transfer", std::nullopt},
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        original = makeRom("BYTE", 11);
        path = dir.write("crystal.gbc", original);
        auto reading = readTradeRecord(path, "BYTE", 6);
        ASSERT_TRUE(reading && reading->record);
        edit.shown = *reading->record;
        edit.requestedSpecies = 1;
        edit.offeredSpecies = 2;
        edit.nickname = u"NEW";
        edit.trainerName = u"OT";
        edit.trainerId = u"258";
        ASSERT_TRUE(writeTradeRecord(path, "BYTE", 6, edit));
        saved = readFile(path);
        dir.write("crystal.gbc", original);
    }

    TempDir dir;
    Bytes original, saved;
    std::string path;
    TradeEdit edit;
};

TEST_F(FaultInjection, EveryCallOfASaveFailingInEveryWay) {
    FaultInjectingFileSystem counting;
    ASSERT_TRUE(writeTradeRecord(path, "BYTE", 6, edit, counting));
    const int calls = int(counting.calls().size());
    dir.write("crystal.gbc", original);

    int injected = 0;
    for (const Fault& fault : kFaults) {
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE(std::string(fault.name) + " at call " + std::to_string(n));
            FaultInjectingFileSystem fs;
            if (fault.error) fs.failCall(n, *fault.error);
            else fs.shortenCall(n);
            ++injected;
            auto outcome = writeTradeRecord(path, "BYTE", 6, edit, fs);
            const Bytes after = readFile(path);
            ASSERT_EQ(after.size(), original.size());
            if (outcome) {
                EXPECT_EQ(after, saved);
            } else {
                EXPECT_EQ(outcome.error().code, fault.error->code);
                EXPECT_NE(outcome.error().message.find(fault.error->message), std::string::npos);
                // Bytes outside the record never move; inside, the message owns up.
                const auto recordEnd = std::ptrdiff_t(kCrystalSlot7 + 28);
                ASSERT_TRUE(std::equal(after.begin(), after.begin() + kCrystalSlot7, original.begin()));
                ASSERT_TRUE(std::equal(after.begin() + recordEnd, after.end(), original.begin() + recordEnd));
                if (after != original) {
                    EXPECT_NE(outcome.error().message.find("may hold part of the new trade"), std::string::npos)
                        << outcome.error().message;
                } else {
                    bool honest = outcome.error().message.find("Nothing was written.") != std::string::npos ||
                                  outcome.error().message.find("may hold part") != std::string::npos;
                    EXPECT_TRUE(honest) << outcome.error().message;
                }
            }
            dir.write("crystal.gbc", original);
        }
    }
    EXPECT_EQ(injected, 4 * calls);
    ::testing::Test::RecordProperty("faults_injected", injected);
}

TEST_F(FaultInjection, ARealFullDiskIsReported) {
    DiskFullFileSystem fs;
    auto outcome = writeTradeRecord(path, "BYTE", 6, edit, fs);
    if (!outcome && outcome.error().code == ErrorCode::PathNotFound) GTEST_SKIP() << "no /dev/full here";
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error().code, ErrorCode::DiskFull);
    EXPECT_NE(outcome.error().message.find("the disk is full"), std::string::npos) << outcome.error().message;
    EXPECT_EQ(readFile(path), original);
}

}  // namespace
}  // namespace kestrane
