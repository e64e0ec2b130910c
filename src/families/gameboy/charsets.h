// The Game Boy families' character sets, made from data/charsets by
// tools/charset_tables.py.
#pragma once

#include "text/charset.h"

namespace kestrane {

// What ends a name in every Game Boy set.
inline constexpr std::uint8_t kTerminator = 0x50;

// English; French and Spanish, English's letters, digits and signs with
// accented letters, elisions (c', l' …) and signs of their own in bytes
// English uses otherwise; Japanese (kana, voiced kana single bytes).
const Charset& englishCharset();
const Charset& frenchCharset();
const Charset& spanishCharset();
const Charset& japaneseCharset();
// Red, Blue and Yellow; Japanese Red and Green (japaneseCharset's kana,
// without Gold and Silver's dictionary codes, full-width digits only).
const Charset& englishGen1Charset();
const Charset& japaneseGen1Charset();
// Polished Crystal: mixed case, its n-grams (0x0A-0x51) shown in texts and
// never written, names ended by 0x53.
inline constexpr std::uint8_t kPolishedCrystalTerminator = 0x53;
const Charset& polishedCrystalCharset();

}  // namespace kestrane
