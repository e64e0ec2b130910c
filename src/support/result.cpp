#include "support/result.h"

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

Error nothingWritten(Error error) {
    error.effect = FileEffect::NothingWritten;
    error.mayHold.clear();
    return error;
}

Error mayHoldNewData(Error error, std::vector<ByteRange> ranges) {
    error.effect = ranges.empty() ? FileEffect::NothingWritten : FileEffect::MayHoldNewData;
    error.mayHold = std::move(ranges);
    return error;
}

Error together(const Problems& problems) {
    // Enough to see what is wrong; a table with thousands of bad entries
    // makes no message of megabytes.
    constexpr std::size_t kTold = 20;
    Error first = problems.front();
    for (std::size_t i = 1; i < problems.size() && i < kTold; ++i) first.message += "\n" + problems[i].message;
    if (problems.size() > kTold) {
        first.message += "\n\u2026and " + groupedNumber(std::int64_t(problems.size() - kTold)) + " more problems like these.";
    }
    return first;
}

std::string describe(const Error& error) {
    switch (error.effect) {
    case FileEffect::NotWriting:
    case FileEffect::WentElsewhere: return error.message;
    case FileEffect::NothingWritten:
        return error.message + (error.message.find('\n') == std::string::npos ? " " : "\n") + "Nothing was written.";
    case FileEffect::MayHoldNewData: break;
    }
    std::vector<std::string> ranges;
    for (const ByteRange& r : error.mayHold) {
        ranges.push_back(hexOffset(r.first) + (r.last != r.first ? " to " + hexOffset(r.last) : ""));
    }
    return error.message + " Bytes " + joinedList(ranges) +
           " may hold part of the new data; read the trades again to see what the file holds.";
}

}  // namespace kestrane
