// A file that keeps what it read, for the later steps of one opening or one save.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "support/file.h"

namespace kestrane {

// A file whose bytes are kept in memory as they are read, so that every
// later step of one opening or one save reads them from there: a window
// (the bank where a routine, its callers and its table lie), or the whole
// file where something needs it whole (the checksums, a copy).
// Reads outside what is held go to the file. The file itself must outlive it.
class HoldingFile final : public File {
public:
    explicit HoldingFile(File& file) : file_(file) {}

    // Holds [from, from + length), what there is of it, unless held already
    // or the whole file is held (which is kept).
    Result<void> hold(std::int64_t from, std::size_t length);
    // Holds `bytes`, just read from this file at `from` (a piece of a
    // search), unless held already or the whole file is: a copy instead of a
    // second read.
    void keep(std::int64_t from, std::span<const std::uint8_t> bytes);
    // Holds the file's first `size` bytes (the whole file), read in pieces;
    // `landed(from, to)` is called as each piece is in (a pass over it then
    // finds it nearer the processor than a pass over the whole file would):
    // bytes [0, to) are held then.
    Result<void> holdWhole(std::int64_t size, const std::function<void(std::size_t from, std::size_t to)>& landed = {});
    // The held bytes [from, from + length), what there is of them before
    // the file's end; none where they are not all held.
    std::optional<std::span<const std::uint8_t>> held(std::int64_t from, std::size_t length) const;
    // The whole file, once held, to change in memory (a plan's image).
    std::optional<std::span<std::uint8_t>> whole();

    Result<std::int64_t> size() override { return file_.size(); }
    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override;
    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override;
    Result<void> flush() override { return file_.flush(); }
    Result<void> lock(std::chrono::milliseconds wait) override { return file_.lock(wait); }
    Result<FileIdentity> identity() override { return file_.identity(); }
    Result<void> close() override { return file_.close(); }

private:
    // What hold and keep took: `length` bytes from `from`, `toEnd` where the file ends there.
    void holdPart(std::unique_ptr<std::uint8_t[]> bytes, std::int64_t from, std::size_t length, bool toEnd);

    File& file_;
    std::unique_ptr<std::uint8_t[]> bytes_;  // not cleared first: every byte is read before it is held
    std::int64_t from_ = 0;
    std::size_t length_ = 0;
    bool toEnd_ = false;  // the held bytes run to the file's end
    bool whole_ = false;  // from 0: the whole file
};

}  // namespace kestrane
