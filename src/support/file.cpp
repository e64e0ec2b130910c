#include "support/file.h"

#include <algorithm>
#include <atomic>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

Result<std::size_t> readUpTo(File& file, std::int64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        auto got = file.readAt(offset + static_cast<std::int64_t>(done), out.subspan(done));
        if (!got) return got.error();
        if (*got == 0) break;
        done += *got;
    }
    return done;
}

namespace {

// The process keeps one search's memory for the next search: an opening may
// search for several routines, the window opens again after each rebuild,
// and only the first search of a process then touches fresh memory (one
// huge page where the system gives one). Small pieces (the checksums' sums)
// take a few pages of the heap instead of a huge page kept.
constexpr std::size_t kKeptSearchMemory = std::size_t(2) << 20;
constexpr std::size_t kSmallestKept = kKeptSearchMemory / 8;
std::atomic<LargeMemory*> keptSearchMemory{nullptr};

// The kept memory; memory of its own where another search holds the kept
// one, or the pieces are smaller or larger than it serves. The kept memory
// is given back, the other freed.
class SearchMemory {
public:
    explicit SearchMemory(std::size_t size) {
        if (size >= kSmallestKept && size <= kKeptSearchMemory) {
            LargeMemory* kept = keptSearchMemory.exchange(nullptr);
            memory_.reset(kept ? kept : new LargeMemory(kKeptSearchMemory));
            keep_ = true;
        } else {
            memory_ = std::make_unique<LargeMemory>(size);
        }
    }
    ~SearchMemory() {
        if (keep_) delete keptSearchMemory.exchange(memory_.release());
    }
    SearchMemory(const SearchMemory&) = delete;
    SearchMemory& operator=(const SearchMemory&) = delete;
    std::span<std::uint8_t> bytes() const { return memory_->bytes(); }

private:
    std::unique_ptr<LargeMemory> memory_;
    bool keep_ = false;
};

}  // namespace

Result<void> searchInPieces(File& file, std::int64_t size, std::size_t overlap, const PieceSearch& search, std::int64_t piece) {
    // Bytes held already (the whole file, held by a save that keeps the checksums) are searched where they are.
    const auto* holding = dynamic_cast<const HoldingFile*>(&file);
    if (auto held = holding ? holding->held(0, std::size_t(size)) : std::nullopt; held && held->size() == std::size_t(size)) {
        for (std::int64_t at = 0; at < size; at += piece) {
            const auto length = std::size_t(std::min(piece + std::int64_t(overlap), size - at));
            search(held->subspan(std::size_t(at), length), at, at + piece);
        }
        return {};
    }
    // Else through one buffer of a piece: its lines stay in the cache from
    // one read to the next, where a fresh buffer of the whole file would
    // have the search wait for memory.
    const SearchMemory memory(std::size_t(piece) + overlap);
    const std::span<std::uint8_t> buffer = memory.bytes();
    for (std::int64_t at = 0; at < size; at += piece) {
        const auto length = std::size_t(std::min(piece + std::int64_t(overlap), size - at));
        if (auto read = readExactly(file, at, buffer.first(length)); !read) return read;
        search(buffer.first(length), at, at + piece);
    }
    return {};
}

Result<void> HoldingFile::hold(std::int64_t from, std::size_t length) {
    // The whole file, once held, is never given up for a part of it (a bank
    // at the end of a file cut inside it is no part it holds): a save
    // changes the whole in memory. What it lacks is read from the file.
    if (whole_ || held(from, length)) return {};
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[length]);
    auto got = readUpTo(file_, from, std::span(bytes.get(), length));
    if (!got) return got.error();
    holdPart(std::move(bytes), from, *got, *got < length);
    return {};
}

void HoldingFile::keep(std::int64_t from, std::span<const std::uint8_t> bytes) {
    if (whole_ || held(from, bytes.size())) return;
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    holdPart(std::move(copy), from, bytes.size(), false);
}

void HoldingFile::holdPart(std::unique_ptr<std::uint8_t[]> bytes, std::int64_t from, std::size_t length, bool toEnd) {
    bytes_ = std::move(bytes);
    from_ = from;
    length_ = length;
    toEnd_ = toEnd;
    whole_ = false;
}

Result<void> HoldingFile::holdWhole(std::int64_t size, const std::function<void(std::size_t, std::size_t)>& landed) {
    if (whole_ && std::int64_t(length_) >= size) {
        if (landed) landed(0, std::size_t(size));
        return {};
    }
    // Held as they land: [0, to) is what `landed` may look at.
    const auto length = std::size_t(size);
    bytes_.reset(new std::uint8_t[length]);
    from_ = 0;
    length_ = 0;
    toEnd_ = whole_ = false;
    for (std::size_t at = 0; at < length; at += std::size_t(kSearchPiece)) {
        const std::size_t to = std::min(length, at + std::size_t(kSearchPiece));
        if (auto read = readExactly(file_, std::int64_t(at), std::span(bytes_.get() + at, to - at)); !read) {
            bytes_.reset();
            length_ = 0;
            return read;
        }
        length_ = to;
        if (landed) landed(at, to);
    }
    whole_ = true;
    return {};
}

std::optional<std::span<const std::uint8_t>> HoldingFile::held(std::int64_t from, std::size_t length) const {
    if (!bytes_ || from < from_) return std::nullopt;
    const auto start = std::size_t(from - from_);
    if (start + length <= length_) return std::span<const std::uint8_t>(bytes_.get() + start, length);
    // Past the held bytes: the file's end where they run to it.
    if (toEnd_ && start <= length_) return std::span<const std::uint8_t>(bytes_.get() + start, length_ - start);
    return std::nullopt;
}

std::optional<std::span<std::uint8_t>> HoldingFile::whole() {
    if (!whole_) return std::nullopt;
    return std::span<std::uint8_t>(bytes_.get(), length_);
}

Result<std::size_t> HoldingFile::readAt(std::int64_t offset, std::span<std::uint8_t> out) {
    if (auto bytes = held(offset, out.size())) {
        std::copy(bytes->begin(), bytes->end(), out.begin());
        return bytes->size();
    }
    return file_.readAt(offset, out);
}

Result<std::size_t> HoldingFile::writeAt(std::int64_t offset, std::span<const std::uint8_t> data) {
    // What is held is what was read: a write here makes it stale.
    bytes_.reset();
    length_ = 0;
    whole_ = toEnd_ = false;
    return file_.writeAt(offset, data);
}

Result<void> readExactly(File& file, std::int64_t offset, std::span<std::uint8_t> out) {
    auto got = readUpTo(file, offset, out);
    if (!got) return got.error();
    if (*got < out.size()) {
        // A device or pipe that gives nothing is no file too short: the size says which.
        if (auto size = file.size(); !size) return size.error();
        return fileFailure(ErrorCode::InputPastEnd, "the file ends before the bytes that are needed");
    }
    return {};
}

Result<void> writeExactly(File& file, std::int64_t offset, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        auto put = file.writeAt(offset + static_cast<std::int64_t>(done), data.subspan(done));
        if (!put) return put.error();
        // A write that moves nothing and reports no error would loop for ever.
        if (*put == 0) return fileFailure(ErrorCode::DeviceIo, "the device accepted no bytes");
        done += *put;
    }
    return {};
}

Result<std::vector<std::uint8_t>> readWholeFile(FileSystem& fs, const std::string& path, std::int64_t limit) {
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return file.error();
    auto size = (*file)->size();
    if (!size) return size.error();
    if (*size > limit) {
        return refused(ErrorCode::TooLarge, "it is " + groupedNumber(*size) + " bytes, more than the " +
                                                groupedNumber(limit) + " Kestrane reads");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    if (auto read = readExactly(**file, 0, bytes); !read) return read.error();
    if (auto closed = (*file)->close(); !closed) return closed.error();
    return bytes;
}

namespace {

// "dir/name" -> "dir/.name.kestrane-1a2b3c.tmp": beside the file, hidden
// where a leading dot hides, and never a name a user chose.
std::string temporaryBeside(const std::string& path, unsigned attempt) {
    const std::size_t slash = path.find_last_of(kPathSeparators);
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    static std::atomic<unsigned> counter{0};
    const auto tick = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto mixed = std::uint32_t((tick * 0x9E3779B97F4A7C15u) >> 32) ^ (++counter << 20) ^ attempt;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + ".kestrane-" + toPaddedHex(std::int32_t(mixed), 8) + ".tmp";
}

Result<void> checkOutput(FileSystem& fs, const std::string& path, std::span<const ProtectedFile> never) {
    auto status = fs.status(path);
    if (!status) return status.error();
    using Type = FileStatus::Type;
    switch (status->type) {
    case Type::Missing: return {};
    case Type::Folder: return refused(ErrorCode::NotAnOutput, quoted(path) + " is a folder; give a file name");
    case Type::Other:
        return refused(ErrorCode::NotAnOutput, quoted(path) + " is not a regular file (a device, pipe or socket); give "
                                                              "the name of a file");
    case Type::Regular: break;
    }
    for (const ProtectedFile& p : never) {
        auto other = fs.status(p.path);
        if (other && other->type == Type::Regular && other->identity == status->identity) {
            return refused(ErrorCode::NotAnOutput, quoted(path) + " is " + std::string(p.what) + " itself" +
                                                       (path == p.path ? "" : " (the same file as " + quoted(p.path) + ")") +
                                                       "; choose another file");
        }
    }
    if (status->readOnly) {
        return refused(ErrorCode::ReadOnlyFile, quoted(path) + " is read-only; choose another file, or make it writable first");
    }
    return {};
}

// Writes, flushes, reads back and compares the new file, then closes it.
Result<void> fill(File& file, std::span<const std::uint8_t> bytes) {
    if (auto written = writeExactly(file, 0, bytes); !written) return written.error();
    if (auto flushed = file.flush(); !flushed) return flushed.error();
    std::vector<std::uint8_t> back(bytes.size());
    if (auto read = readExactly(file, 0, back); !read) return read.error();
    if (!std::equal(back.begin(), back.end(), bytes.begin(), bytes.end())) {
        return differsFromWritten(ErrorCode::VerifyFailed, "the bytes read back differ from those written");
    }
    return file.close();
}

}  // namespace

Result<void> writeNewFile(FileSystem& fs, const std::string& path, std::span<const std::uint8_t> bytes,
                          std::span<const ProtectedFile> never) {
    if (path.empty()) return fileFailure(ErrorCode::FileNotFound, "no file name was given");
    if (auto fit = checkOutput(fs, path, never); !fit) return fit.error();
    std::string temporary;
    Result<std::unique_ptr<File>> created = fileFailure(ErrorCode::FileExists, "");
    for (unsigned attempt = 0; attempt < 8; ++attempt) {
        temporary = temporaryBeside(path, attempt);
        created = fs.createNew(temporary);
        if (created || created.error().code != ErrorCode::FileExists) break;
    }
    if (!created) return created.error();
    auto done = fill(**created, bytes);
    if (done) done = fs.replace(temporary, path);
    if (!done) {
        created->reset();  // closed before it is removed
        Error error = done.error();
        if (auto removed = fs.remove(temporary); !removed) {
            error.message += "; the unfinished copy " + quoted(temporary) + " is left behind";
        }
        return error;
    }
    // The rename itself onto the disk: without it a crash may bring back the old file.
    return fs.syncFolderOf(path);
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

Error inContext(Error error, const std::string& what) {
    error.message = what + ": " + error.message + ".";
    return error;
}

}  // namespace kestrane
