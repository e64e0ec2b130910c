#!/usr/bin/env python3
"""Writes a family's charset_tables.inc from the releases' character tables.

Usage: tools/charset_tables.py data/charsets > src/families/gameboy/charset_tables.inc
       tools/charset_tables.py data/charsets gen3 > src/families/gen3/charset_tables.inc
(a test checks that each file is what this makes of the data).

The folder holds english.tsv, french.tsv, spanish.tsv, japanese.tsv and
english-gen1.tsv (Red, Blue and Yellow), japanese-gen1.tsv (Japanese Red and Green),
polished-crystal.tsv (Polished Crystal, whose terminator is 0x53 and whose
n-grams 0x0A-0x51 are shown, never written): one
mapping a line, "byte<TAB>text<TAB>written", in the order of the games' own
character table (the first text of a byte is what it shows; a byte may be
listed again with another text, which typing writes to it: the kana twins).
Kestrane takes every text but the terminator and the control codes, with
these exceptions: <PK> and <MN> are the glyphs "[PK]" and "[MN]", <RIVAL> the
token "[RIVAL]", "#" the one-glyph "POKé", and <BLANK> a blank that is shown
but never written (a blank is written as the games' own, 0x7F). A text
marked "no" is shown, not written.
"""
import sys
import unicodedata

FAMILIES = {
    "gameboy": [("English", "english.tsv"), ("French", "french.tsv"), ("Spanish", "spanish.tsv"),
                ("Japanese", "japanese.tsv"), ("EnglishGen1", "english-gen1.tsv"), ("JapaneseGen1", "japanese-gen1.tsv"),
                ("PolishedCrystal", "polished-crystal.tsv")],
    # The third generation: one English table for all five games (english-gen3.tsv).
    "gen3": [("EnglishGen3", "english-gen3.tsv")],
}
NAMED = {"<PK>": ("[PK]", "Printable"), "<MN>": ("[MN]", "Printable"), "<RIVAL>": ("[RIVAL]", "Control"),
         "#": ("POK\u00e9", "Printable"), "<BLANK>": (" ", "ReadOnly")}
HINT = "or a token such as [PK] or \\h4A"


def cxx(text):
    return "".join(c if 0x20 <= ord(c) < 0x7F and c not in '"\\' else
                   ("\\\\" if c == "\\" else '\\"' if c == '"' else "\\u%04x" % ord(c)) for c in text)


def typeable(text):
    """The characters a message lists as typeable: accents and the signs of names, not the frames and arrows of menus."""
    if len(text) != 1 or text.isspace() or (text.isascii() and text.isalnum()):
        return False
    c = ord(text)
    if 0x2190 <= c <= 0x21FF or 0x2500 <= c <= 0x263F or c in (0x2032, 0x2033, 0x2042, 0x2116):
        return False
    return not unicodedata.name(text, "").startswith(("HIRAGANA", "KATAKANA", "FULLWIDTH DIGIT", "FULLWIDTH LATIN"))


def main():
    out = ["// Made by tools/charset_tables.py from data/charsets; do not edit.",
           "// Each entry: the byte, the text it shows (the first of a byte) or that typing writes."]
    for name, file in FAMILIES[sys.argv[2] if len(sys.argv) > 2 else "gameboy"]:
        entries, signs, seen = [], [], set()
        for line in open(f"{sys.argv[1]}/{file}", encoding="utf-8"):
            if line.startswith("#") or not line.strip():
                continue
            byte, text, written = line.rstrip("\n").split("\t")
            shown = byte not in seen  # what a byte shows is its first text
            seen.add(byte)
            if text in NAMED:
                text, glyph = NAMED[text]
            elif text == "@" or (text.startswith("<") and text.endswith(">")):
                continue
            else:
                glyph = "Printable" if written == "yes" else "ReadOnly"
                if shown and typeable(text) and text not in signs:
                    signs.append(text)
            entries.append(f"    {{0x{byte}, u\"{cxx(text)}\", Glyph::{glyph}}},")
        letters = "kana" if name.startswith("Japanese") else "letters"
        # A set without the [PK] glyph (Polished Crystal's) is told of bytes alone.
        tokens = HINT if any('"[PK]"' in e for e in entries) else "or a byte such as \\h4A"
        hint = f"{letters}, digits, blanks, {' '.join(signs)}, {tokens}"
        out.append(f"constexpr CharsetEntry k{name}Entries[] = {{")
        out.extend(entries)
        out.append("};")
        out.append(f"constexpr char k{name}Typeable[] = \"{cxx(hint)}\";")
    print("\n".join(out))


main()
