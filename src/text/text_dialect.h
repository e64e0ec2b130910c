// What a game's text engine does with the bytes of a text that are not
// plain characters: a release's dialect (each family's own, in families/).
//
// A text is a run of commands: 0x00 and a string of characters up to 0x50,
// 0x01 and a RAM address (a name filled in at run time), a far text (an
// address and a bank; that text, then on with this one), 0x50 the end.
// Inside a string the engine reads some bytes as commands of their own:
// line and paragraph breaks, the end of the whole text (0x57; 0x58 after a
// button press), words it prints from a dictionary ("POKé", in Japanese
// "が　") and names only the running game knows (the player's). The end of a text ends the text being read:
// a far text's end goes back to the text that jumped to it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrane {

enum class InString : std::uint8_t {
    EndString,  // 0x50: on with the next command
    EndText,    // the whole text read so far ends (0x57, 0x58)
    NewLine,
    Paragraph,
    Prints,     // the entry's text
    Unknown,    // something only the running game knows: no line shows it
};

struct StringByte {
    std::uint8_t byte;
    InString does;
    std::u16string_view text;  // Prints: what; Unknown: what it prints ("the player's name")
};

// The commands outside strings, besides 0x00, 0x01, the far text and 0x50:
// those that print nothing (sounds, pauses) are skipped with their argument
// bytes; others print what only the running game knows.
struct TextCommand {
    std::uint8_t byte;
    std::uint8_t arguments;  // bytes after the command
    InString does;           // Prints ("…" per argument count), NewLine, or Unknown
    std::u16string_view text;
};

// How a far text's pointer is written after its command byte: the address
// little-endian then the bank; or the address big-endian with its top bit
// saying the text that jumped ends after the far one, then the bank.
enum class FarPointer : std::uint8_t { LittleEndian, BigEndianMayEnd };

struct TextDialect {
    std::span<const StringByte> words;     // the language's own, first
    std::span<const StringByte> inString;  // the engine's, in every language
    std::span<const TextCommand> commands;
    std::optional<std::uint8_t> farText;  // the far text's command byte; none where texts hold no far text
    // An engine whose commands are the bytes below this one: a string ends
    // at such a byte, which is then read as the next command; where a
    // command stands, a byte from it on begins a string (or, where a string
    // would end at it, ends the text). None: 0x00 begins a string, 0x50
    // ends the text.
    std::optional<std::uint8_t> commandsBelow = std::nullopt;
    FarPointer farPointer = FarPointer::LittleEndian;
    // The byte after which a string's characters are packed in a Huffman
    // code, up to the first that ends a string; none where there is no such code.
    std::optional<std::uint8_t> packedRun = std::nullopt;
    // The RAM names the trade's lines fill in, and the code's tree, are the
    // release's; this is everything else the engine reads.
};

// What a byte of a string does, or none where it is a character of the
// release's set (or none at all).
const StringByte* inStringOf(const TextDialect& dialect, std::uint8_t byte);
// A command outside strings, or none where the engine knows none such.
const TextCommand* commandOf(const TextDialect& dialect, std::uint8_t byte);

}  // namespace kestrane
