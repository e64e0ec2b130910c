#include "text/charset.h"

#include <algorithm>

namespace kestrane {
namespace {


}  // namespace

Charset::Charset(std::span<const CharsetEntry> entries, std::string_view typeable, std::uint8_t terminator,
                 std::span<const CharsetEntry> tokens)
    : typeable_(typeable), entries_(entries), tokens_(tokens), terminator_(terminator) {
    for (const CharsetEntry& e : entries) {
        if (!known_[e.byte]) {
            known_[e.byte] = true;
            text_[e.byte] = e.text();
            printable_[e.byte] = e.glyph == Glyph::Printable;
        } else if (e.length == 1 && text_[e.byte].size() == 1 && isHiragana(text_[e.byte][0]) && isKatakana(e.chars[0])) {
            twin_[e.byte] = e.text();
            hasTwins_ = true;
        }
    }
}

const Charset::Typing& Charset::typing() const {
    std::call_once(typingMade_, [this] {
        for (const CharsetEntry& e : entries_) {
            if (e.glyph != Glyph::ReadOnly) typing_.bytes.emplace(e.text(), e.byte);
        }
        for (const CharsetEntry& token : tokens_) typing_.bytes.emplace(token.text(), token.byte);
        typing_.bytes.emplace(std::u16string_view(&kTerminatorChar, 1), terminator_);
        for (const auto& [text, byte] : typing_.bytes) {
            typing_.longest = std::max(typing_.longest, text.size());
            if (text.size() > 1) typing_.startsLong.insert(text[0]);
        }
        typing_.startsLong.insert(u'\\');  // the hex escape
    });
    return typing_;
}

std::optional<std::uint8_t> Charset::byteOf(std::u16string_view unit) const {
    const auto& bytes = typing().bytes;
    auto found = bytes.find(unit);
    if (found == bytes.end()) return std::nullopt;
    return found->second;
}

}  // namespace kestrane
