// The Game Boy families' text engines: what each does with the bytes of a
// text that are not plain characters.
#pragma once

#include "text/text_dialect.h"

namespace kestrane {

// English Gold, Silver and Crystal (and their French and Spanish); Japanese Gold and Silver.
const TextDialect& englishDialect();
const TextDialect& japaneseDialect();
// English Red, Blue and Yellow; Japanese Red and Green.
const TextDialect& firstGenerationDialect();
const TextDialect& japaneseFirstGenerationDialect();
// Polished Crystal's engine: commands 0x00-0x09, '@' 0x53, n-grams, Huffman-coded runs.
const TextDialect& polishedCrystalDialect();

}  // namespace kestrane
