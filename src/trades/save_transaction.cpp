#include "trades/save_transaction.h"

#include "support/words.h"

namespace kestrane {
namespace {

// The path still names the file the save wrote, not one another program put there.
Result<bool> stillThere(File& file, FileSystem& fs, const std::string& path) {
    auto written = file.identity();
    if (!written) return written.error();
    auto there = fs.status(path);
    if (!there) return there.error();
    return there->type == FileStatus::Type::Regular && there->identity == *written;
}

// Runs of consecutive changed bytes: one write each.
std::vector<std::pair<ByteRange, std::vector<std::uint8_t>>> runsOf(const std::vector<ByteChange>& changes) {
    std::vector<std::pair<ByteRange, std::vector<std::uint8_t>>> runs;
    for (const ByteChange& c : changes) {
        if (runs.empty() || runs.back().first.last + 1 != c.offset) runs.push_back({{c.offset, c.offset}, {}});
        runs.back().first.last = c.offset;
        runs.back().second.push_back(c.after);
    }
    return runs;
}

}  // namespace

Result<std::vector<ByteRange>> writeChanges(File& file, FileSystem& fs, const std::string& path,
                                            const std::vector<ByteChange>& changes, std::int64_t expectedSize,
                                            const std::string& where) {
    const auto runs = runsOf(changes);
    std::vector<ByteRange> touched;
    auto failed = [&](const Error& e) { return mayHoldNewData(inWhere(e, where), touched); };
    for (const auto& [range, bytes] : runs) {
        // Every write lands in the file of the size the checks saw: one cut
        // short meanwhile would be grown back with zeros.
        auto now = file.size();
        if (!now) return failed(now.error());
        if (*now != expectedSize) {
            return failed(changedByOther(ErrorCode::FileSizeChanged,
                                         where + ": another program changed the file's size while it was being saved "
                                                 "(from " + groupedNumber(expectedSize) + " to " + groupedNumber(*now) +
                                                 " bytes)."));
        }
        touched.push_back(range);
        if (auto written = writeExactly(file, range.first, bytes); !written) return failed(written.error());
    }
    if (touched.empty()) return touched;
    if (auto flushed = file.flush(); !flushed) return failed(flushed.error());
    for (const auto& [range, bytes] : runs) {
        std::vector<std::uint8_t> back(bytes.size());
        if (auto read = readExactly(file, range.first, back); !read) return failed(read.error());
        if (back != bytes) {
            return failed(differsFromWritten(ErrorCode::VerifyFailed, where + ": the bytes read back differ from those written."));
        }
    }
    auto sizeAfter = file.size();
    if (!sizeAfter) return failed(sizeAfter.error());
    if (*sizeAfter != expectedSize) {
        return failed(differsFromWritten(ErrorCode::FileSizeChanged, where + ": the file's length changed from " +
                                                                         std::to_string(expectedSize) + " to " +
                                                                         std::to_string(*sizeAfter) + " bytes."));
    }
    auto there = stillThere(file, fs, path);
    if (!there) return failed(there.error());
    if (!*there) {
        Error replaced = changedByOther(ErrorCode::FileReplaced,
                                        where + ": another program replaced the file while it was being saved. The new "
                                                "bytes went to the file it replaced; " + quoted(path) +
                                                " now names the file the other program put there, which Kestrane did not "
                                                "change. Open it again.");
        replaced.effect = FileEffect::WentElsewhere;
        return replaced;
    }
    return touched;
}

}  // namespace kestrane
