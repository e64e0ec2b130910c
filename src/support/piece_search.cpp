#include "support/piece_search.h"

#include <atomic>

#include "support/large_memory.h"
#include "support/holding_file.h"

namespace kestrane {

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

}  // namespace kestrane
