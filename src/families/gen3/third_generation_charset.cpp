#include "families/gen3/third_generation_charset.h"

namespace kestrane::gen3 {
namespace {

// The text engine's codes a name may hold, typed by their tokens, never shown.
constexpr CharsetEntry kTokens[] = {{0xFA, u"\\l"}, {0xFB, u"\\p"}, {0xFE, u"\\n"}};

#include "families/gen3/charset_tables.inc"

}  // namespace

const Charset& englishCharset() {
    static const Charset charset(kEnglishGen3Entries, kEnglishGen3Typeable, kTerminator, kTokens);
    return charset;
}

}  // namespace kestrane::gen3
