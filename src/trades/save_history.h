// The saves made while a ROM is open, newest last, to be undone and done
// again in turn (with rewindSave). A save that changed no byte is none.
#pragma once

#include <optional>

#include <string>
#include <vector>

#include "trades/save.h"

namespace kestrane {

class SaveHistory {
public:
    // A text file the save wrote whole beside the ROM (the build tree's trade file).
    struct Alongside {
        std::string before, after;
    };
    struct Entry {
        std::string what;  // "Save of Trade Number 3", "Import", "Checksum Fix"
        std::vector<ByteChange> changes;
        std::optional<Alongside> alongside;
    };

    // A new save: what could be done again is gone.
    void saved(std::string what, std::vector<ByteChange> changes, std::optional<Alongside> alongside = std::nullopt);
    // The save an undo would take back, the one a redo would make again (nullptr: none).
    const Entry* toUndo() const { return done_ > 0 ? &entries_[done_ - 1] : nullptr; }
    const Entry* toRedo() const { return done_ < entries_.size() ? &entries_[done_] : nullptr; }
    void undone() { --done_; }
    void redone() { ++done_; }
    void clear() { entries_.clear(), done_ = 0; }

private:
    std::vector<Entry> entries_;
    std::size_t done_ = 0;  // entries_[0, done_) are in the file
};

}  // namespace kestrane
