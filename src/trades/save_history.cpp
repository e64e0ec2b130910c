#include "trades/save_history.h"

namespace kestrane {

void SaveHistory::saved(std::string what, std::vector<ByteChange> changes, std::optional<Alongside> alongside) {
    if (changes.empty()) return;
    entries_.resize(done_);
    entries_.push_back({std::move(what), std::move(changes), std::move(alongside)});
    done_ = entries_.size();
}

}  // namespace kestrane
