// Searching a file a piece at a time, each piece searched while it is in the cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "support/file.h"

namespace kestrane {

// Reads the file's first `size` bytes a piece at a time and hands each piece
// to `search` with its offset; pieces overlap by `overlap` bytes, and a find
// that starts at `next` or later belongs to the next piece. Each piece is
// searched as soon as it is read, while it is still in the cache. A
// HoldingFile that holds the bytes already has them searched where they are.
// Pieces of kSearchPiece (file.h) by default; a single pass that keeps
// nothing of a piece (a sum) takes smaller ones: fewer pages to touch.
using PieceSearch = std::function<void(std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next)>;
Result<void> searchInPieces(File& file, std::int64_t size, std::size_t overlap, const PieceSearch& search,
                            std::int64_t piece = kSearchPiece);

}  // namespace kestrane
