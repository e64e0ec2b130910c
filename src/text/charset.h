// A release's one-byte character set as editable text, both ways.
//
// Each release has its own table of bytes and the texts they show (one
// character, or a one-glyph text such as "POKé", "'s" or "c'"); the
// encoder takes the longest text it knows at each position. Besides a
// release's own texts, a set knows its family's tokens for control codes
// ("[Lv]", "\n" ...), the hex escape "\h4A" for any byte, and a lone "\"
// for the terminator. The sets themselves are the families' (families/).
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kestrane {

// What a person types for a set's terminator.
inline constexpr char16_t kTerminatorChar = u'\\';

// Kana: hiragana, katakana and the long-vowel mark ー (which counts as katakana).
inline bool isHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309F; }
inline bool isKatakana(char16_t c) { return c >= 0x30A0 && c <= 0x30FF; }

// How a byte of a release's table takes part in names.
enum class Glyph : std::uint8_t {
    Printable,  // shown, typed, and counts as a name's character in the record checks
    Control,    // shown and typed as a token ("[RIVAL]"), but no character of a name
    ReadOnly,   // shown only: typing its text writes another byte (0x00 shows a blank, typed as 0x7F)
};

// The text is kept in the entry itself: a table of entries holds no
// pointer, so it is part of the program's read-only bytes as built, with
// nothing for the loader to fix up (and copy) at every start.
struct CharsetEntry {
    static constexpr std::size_t kLongest = 8;  // "[RIVAL]" is 7

    template <std::size_t N>
    constexpr CharsetEntry(std::uint8_t byte, const char16_t (&text)[N], Glyph glyph = Glyph::Printable)
        : byte(byte), glyph(glyph), length(std::uint8_t(N - 1)) {
        static_assert(N - 1 <= kLongest, "a charset text longer than an entry holds");
        for (std::size_t i = 0; i + 1 < N; ++i) chars[i] = text[i];
    }
    constexpr std::u16string_view text() const { return {chars, length}; }

    std::uint8_t byte;
    Glyph glyph;
    std::uint8_t length;
    char16_t chars[kLongest]{};
};

class Charset {
public:
    // The first entry of a byte is what the byte shows; the first entry of a
    // text (not read-only) is the byte typing it writes. The entries are
    // kept, not copied: a table that lasts as long as the set.
    // `terminator`: the byte that ends a name; `tokens`: the control codes
    // the family's encoder knows, typed only, never shown.
    Charset(std::span<const CharsetEntry> entries, std::string_view typeable, std::uint8_t terminator,
            std::span<const CharsetEntry> tokens = {});

    // The byte that ends a name (and that a lone "\" types).
    std::uint8_t terminator() const { return terminator_; }

    // The text a byte shows; none for the terminator and unknown bytes.
    std::optional<std::u16string_view> text(std::uint8_t byte) const { return known_[byte] ? std::optional(text_[byte]) : std::nullopt; }
    // A byte's second text, where one tile is a hiragana and its katakana
    // twin (Japanese べ/ベ, ぺ/ペ, へ/ヘ, り/リ): the katakana; else empty.
    std::u16string_view katakanaTwin(std::uint8_t byte) const { return twin_[byte]; }
    // Whether any byte has a katakana twin.
    bool hasTwins() const { return hasTwins_; }
    // True for the bytes the games print as a character of a name.
    bool printable(std::uint8_t byte) const { return printable_[byte]; }
    // The byte a unit of exactly this text writes: a text of the table, a
    // shared token, "\" (the terminator); none for anything else.
    std::optional<std::uint8_t> byteOf(std::u16string_view unit) const;
    // The longest unit byteOf knows, in characters.
    std::size_t longestUnit() const { return typing().longest; }
    // False for a character that starts no unit longer than itself.
    bool startsLongUnit(char16_t c) const { return typing().startsLong.count(c) != 0; }
    // What a person can type, for messages about a character that cannot be.
    std::string_view typeable() const { return typeable_; }

private:
    std::array<std::u16string_view, 256> text_{};
    std::array<bool, 256> known_{};
    std::array<bool, 256> printable_{};
    std::array<std::u16string_view, 256> twin_{};
    bool hasTwins_ = false;
    std::string_view typeable_;
    std::span<const CharsetEntry> entries_;
    std::span<const CharsetEntry> tokens_;
    std::uint8_t terminator_;

    // The encoder's tables, made when text is first typed: reading a ROM
    // only decodes, and a program that only reads never makes them.
    struct Typing {
        std::unordered_map<std::u16string_view, std::uint8_t> bytes;
        std::unordered_set<char16_t> startsLong;
        std::size_t longest = 1;
    };
    const Typing& typing() const;
    mutable std::once_flag typingMade_;
    mutable Typing typing_;
};

}  // namespace kestrane
