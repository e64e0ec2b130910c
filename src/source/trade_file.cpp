#include "source/trade_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "source/assembly_number.h"
#include "support/words.h"

namespace kestrane {
namespace {

constexpr std::uint8_t kAt = 0x50;  // "@": what dname pads with, in every tree's charmap
constexpr std::uint8_t kSpeciesHigh = 0x20;  // dp: the species' high part in a word's second byte

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '#' || c == '@';
}

bool isName(std::string_view word) {
    return !word.empty() && !(word[0] >= '0' && word[0] <= '9') && word[0] != '@' &&
           std::all_of(word.begin(), word.end(), isNameChar);
}

// The first word of code and what follows it.
std::pair<std::string_view, std::string_view> splitWord(std::string_view code) {
    const std::size_t end = std::min(code.find_first_of(" \t"), code.size());
    return {code.substr(0, end), trimmed(code.substr(end))};
}

// The operands of a directive or a macro's call: split at commas outside
// string literals, each without the blanks around it, placed in `text`.
std::vector<SourceToken> operandsOf(std::string_view text, std::string_view operands) {
    std::vector<SourceToken> tokens;
    if (trimmed(operands).empty()) return tokens;
    const std::size_t base = std::size_t(operands.data() - text.data());
    bool quoted = false;
    std::size_t start = 0;
    auto add = [&](std::size_t end) {
        const std::string_view piece = operands.substr(start, end - start);
        const std::string_view token = trimmed(piece);
        // An empty operand is an empty token where it stands (trimmed gives it no place).
        tokens.push_back({base + start + (token.empty() ? 0 : std::size_t(token.data() - piece.data())), token.size()});
    };
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (operands[i] == '\\' && quoted) ++i;
        else if (operands[i] == '"') quoted = !quoted;
        else if (operands[i] == ',' && !quoted) add(i), start = i + 1;
    }
    add(operands.size());
    return tokens;
}

// The text of a string literal, escapes read; none where the token is no single literal.
std::optional<std::string> literalText(std::string_view token) {
    if (token.size() < 2 || token.front() != '"' || token.back() != '"') return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        if (token[i] == '"') return std::nullopt;
        if (token[i] == '\\') {
            if (i + 2 >= token.size()) return std::nullopt;
            ++i;
        }
        text += token[i];
    }
    return text;
}

std::string literalToken(std::string_view text) {
    std::string token = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '{') token += '\\';
        token += c;
    }
    return token + "\"";
}

// "\3", "\<10>": the macro argument an operand is, 1-based; 0 where it is none.
int argumentReference(std::string_view operand) {
    if (operand.size() < 2 || operand[0] != '\\') return 0;
    operand.remove_prefix(1);
    if (operand.front() == '<' && operand.back() == '>') operand = operand.substr(1, operand.size() - 2);
    int n = 0;
    const auto [end, error] = std::from_chars(operand.data(), operand.data() + operand.size(), n);
    return error == std::errc() && end == operand.data() + operand.size() && n > 0 ? n : 0;
}

class Reader {
public:
    Reader(std::string_view text, const std::string& name, const SourceConstants& constants, const SourceCharmap& charmap)
        : text_(text), name_(name), constants_(constants), charmap_(charmap) {}

    Error notAForm(int line) const {
        return refused(ErrorCode::NotASourceForm, name_ + " is not a form Kestrane reads (line " + std::to_string(line) + ")");
    }
    Error atLine(int line, const std::string& what) const {
        return refused(ErrorCode::NotASourceForm, name_ + ", line " + std::to_string(line) + ": " + what);
    }

    // A number: a number, a constant, sums and differences of them, and `|` of those.
    Result<std::int64_t> number(std::string_view expression, int line) const {
        if (const std::size_t bar = expression.find('|'); bar != std::string_view::npos) {
            auto left = sum(expression.substr(0, bar), line);
            if (!left) return left;
            auto right = number(expression.substr(bar + 1), line);
            if (!right) return right;
            return *left | *right;
        }
        return sum(expression, line);
    }

    Result<std::int64_t> sum(std::string_view expression, int line) const {
        std::int64_t total = 0;
        int sign = 1;
        bool wantTerm = true;
        for (std::size_t i = 0; i < expression.size();) {
            const char c = expression[i];
            if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '+' || c == '-') {
                if (!wantTerm) sign = c == '-' ? -1 : 1;  // the operator between two terms
                else if (c == '-') sign = -sign;           // a term's own sign
                else return notAForm(line);
                wantTerm = true;
                ++i;
            } else {
                if (!wantTerm) return notAForm(line);
                std::size_t end = i;
                while (end < expression.size() && (isNameChar(expression[end]) || expression[end] == '$' || expression[end] == '%')) ++end;
                const std::string_view term = expression.substr(i, end - i);
                if (term.empty()) return notAForm(line);
                std::optional<std::int64_t> value = assemblyNumber(term);
                if (!value && isName(term)) {
                    value = constants_.valueOf(term);
                    if (!value) return atLine(line, "no constants file of the tree defines " + std::string(term) + ".");
                }
                if (!value) return notAForm(line);
                total += sign * *value;
                sign = 1;
                wantTerm = false;
                i = end;
            }
        }
        if (wantTerm) return notAForm(line);
        return total;
    }

    Result<std::vector<std::uint8_t>> encoded(const std::string& literal, int line) const {
        auto bytes = charmap_.encode(literal);
        if (!bytes) return atLine(line, "the tree's charmap cannot write \"" + literal + "\".");
        return *bytes;
    }

    // One operand of db, dw or dname, made of `operand` (the row's own
    // argument `argument`, or the macro's value where -1), into the row.
    Result<void> emit(std::string_view directive, std::string_view operand, std::optional<std::string_view> length, int argument,
                      int line, SourceRow& row) const {
        SourcePiece piece{SourcePiece::Kind::Byte, std::uint32_t(row.bytes.size()), 1, argument};
        if (directive == "dname") {
            const auto literal = literalText(operand);
            if (!literal || !length) return notAForm(line);
            auto n = number(*length, line);
            if (!n) return n.error();
            if (literal->find('@') != std::string::npos) return atLine(line, "\"" + *literal + "\" holds \"@\", which dname refuses.");
            auto bytes = encoded(*literal, line);
            if (!bytes) return bytes.error();
            if (*n < 0 || *n > 64 || std::int64_t(bytes->size()) > *n) {
                return atLine(line, "\"" + *literal + "\" is longer than the " + std::to_string(*n) + " characters dname gives it.");
            }
            bytes->resize(std::size_t(*n), kAt);
            piece.kind = SourcePiece::Kind::Name;
            piece.length = std::uint32_t(*n);
            row.bytes.insert(row.bytes.end(), bytes->begin(), bytes->end());
        } else if (const auto literal = literalText(operand); literal && directive == "db") {
            auto bytes = encoded(*literal, line);
            if (!bytes) return bytes.error();
            piece.kind = SourcePiece::Kind::Text;
            piece.length = std::uint32_t(bytes->size());
            row.bytes.insert(row.bytes.end(), bytes->begin(), bytes->end());
        } else {
            auto value = number(operand, line);
            if (!value) return value.error();
            const bool word = directive == "dw";
            if (*value < (word ? -0x8000 : -0x80) || *value > (word ? 0xFFFF : 0xFF)) {
                return atLine(line, std::string(operand) + " is " + std::to_string(*value) + ", too large for " +
                                        (word ? "a word." : "a byte."));
            }
            row.bytes.push_back(std::uint8_t(*value));
            if (word) row.bytes.push_back(std::uint8_t(*value >> 8)), piece.kind = SourcePiece::Kind::Word, piece.length = 2;
        }
        if (row.bytes.size() > 255) return notAForm(line);
        row.pieces.push_back(piece);
        return {};
    }

    struct Line {
        int number;
        std::string_view code;
    };

    // A row written as the data itself (db …, one record a line), or one
    // line of a record over several: its operands after those before.
    Result<void> plainRow(std::string_view directive, std::string_view operands, int line, SourceRow& row) const {
        const std::vector<SourceToken> tokens = operandsOf(text_, operands);
        const int first = int(row.arguments.size());
        row.arguments.insert(row.arguments.end(), tokens.begin(), tokens.end());
        if (tokens.empty()) return notAForm(line);
        if (directive == "dname") {
            if (tokens.size() != 2) return notAForm(line);
            return emit(directive, token(tokens[0]), token(tokens[1]), first, line, row);
        }
        if (directive == "dp") return speciesPair(tokens, first, line, row);
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (auto done = emit(directive == "rawchar" ? "db" : directive, token(tokens[i]), std::nullopt, first + int(i), line, row); !done) {
                return done;
            }
        }
        return {};
    }

    // dp SPECIES[, FORM]: the species' low byte, then its high part << 5 | the form (and gender) bits.
    Result<void> speciesPair(std::span<const SourceToken> tokens, int first, int line, SourceRow& row) const {
        if (tokens.size() > 2) return notAForm(line);
        auto species = number(token(tokens[0]), line);
        if (!species) return species.error();
        auto form = tokens.size() == 2 ? number(token(tokens[1]), line) : Result<std::int64_t>(0);
        if (!form) return form.error();
        if (*species < 0 || *species > 0x1FF || *form < 0 || (*form & ~std::int64_t(0xFF & ~kSpeciesHigh))) {
            return atLine(line, std::string(token(tokens[0])) + " and its form make no species word dp writes.");
        }
        row.pieces.push_back({SourcePiece::Kind::Species, std::uint32_t(row.bytes.size()), 2, first, tokens.size() == 2 ? first + 1 : -1});
        row.bytes.push_back(std::uint8_t(*species));
        row.bytes.push_back(std::uint8_t((*species >> 8) << 5 | *form));
        return {};
    }

    // A row written as a call of the row macro: the macro's lines with the row's arguments.
    Result<void> macroRow(std::span<const Line> body, std::string_view operands, int line, SourceRow& row) const {
        row.arguments = operandsOf(text_, operands);
        int shift = 0;
        // An operand of the macro's line: the row's argument it names, or the macro's own value.
        auto resolve = [&](std::string_view operand, int& argument) -> Result<std::string_view> {
            argument = -1;
            if (const int n = argumentReference(operand); n > 0) {
                argument = shift + n - 1;
                if (argument >= int(row.arguments.size())) return notAForm(line);
                return token(row.arguments[std::size_t(argument)]);
            }
            if (operand.find('\\') != std::string_view::npos) return notAForm(line);
            return operand;
        };
        for (const Line& part : body) {
            const auto [word, rest] = splitWord(part.code);
            const std::string directive = loweredAscii(word);
            if (directive == "shift") {
                auto by = rest.empty() ? Result<std::int64_t>(1) : number(rest, part.number);
                if (!by || *by < 0) return notAForm(part.number);
                shift += int(*by);
                continue;
            }
            if (directive != "db" && directive != "dw" && directive != "dname") return notAForm(part.number);
            const std::vector<SourceToken> operandTokens = operandsOf(text_, rest);
            if (operandTokens.empty()) return notAForm(part.number);
            if (directive == "dname") {
                if (operandTokens.size() != 2) return notAForm(part.number);
                int argument = -1, unused = -1;
                auto name = resolve(token(operandTokens[0]), argument);
                auto length = resolve(token(operandTokens[1]), unused);
                if (!name) return name.error();
                if (!length) return length.error();
                if (auto done = emit(directive, *name, *length, argument, line, row); !done) return done;
                continue;
            }
            for (const SourceToken& operand : operandTokens) {
                int argument = -1;
                auto value = resolve(token(operand), argument);
                if (!value) return value.error();
                if (auto done = emit(directive, *value, std::nullopt, argument, argument < 0 ? part.number : line, row); !done) return done;
            }
        }
        return {};
    }

    std::string_view token(const SourceToken& t) const { return text_.substr(t.at, t.length); }

private:
    std::string_view text_;
    const std::string& name_;
    const SourceConstants& constants_;
    const SourceCharmap& charmap_;
};

// Whether a line of the table ends it: the next label, a section, the table's assertion.
bool endsTable(std::string_view line, std::string_view directive) {
    if (!line.empty() && line[0] != ' ' && line[0] != '\t' && line[0] != ';') return true;  // a label at the line's start
    return directive == "assert_table_length" || directive == "section" || directive == "endsection";
}

}  // namespace

Result<TradeFile> readTradeFile(std::string_view text, std::string_view label, const std::string& name,
                                const SourceConstants& constants, const SourceCharmap& charmap, std::uint32_t recordSize) {
    const Reader reader(text, name, constants, charmap);
    const std::vector<std::string_view> lines = linesOf(text);
    std::map<std::string, std::vector<Reader::Line>, std::less<>> macros;
    std::optional<std::size_t> labelLine;
    // The macros first: a row may call one defined anywhere in the file.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view code = codeOfLine(lines[i]);
        const auto [first, rest] = splitWord(code);
        std::string macro;
        if (loweredAscii(first) == "macro") macro = std::string(splitWord(rest).first);
        else if (first.size() > 1 && first.back() == ':' && loweredAscii(rest) == "macro") macro = std::string(first.substr(0, first.size() - 1));
        if (!macro.empty()) {
            std::vector<Reader::Line> body;
            std::size_t j = i + 1;
            for (; j < lines.size() && loweredAscii(codeOfLine(lines[j])) != "endm"; ++j) {
                if (!codeOfLine(lines[j]).empty()) body.push_back({int(j) + 1, codeOfLine(lines[j])});
            }
            if (j == lines.size() || !isName(macro)) return reader.notAForm(int(i) + 1);
            macros[macro] = std::move(body);
            i = j;
            continue;
        }
        if (lines[i].starts_with(label) && lines[i].size() > label.size() && lines[i][label.size()] == ':') {
            std::string_view after = lines[i].substr(label.size() + 1);
            if (after.starts_with(":")) after.remove_prefix(1);
            if (!codeOfLine(after).empty()) return reader.notAForm(int(i) + 1);
            labelLine = i;
        }
    }
    if (!labelLine) return refused(ErrorCode::NotASourceForm, name + " defines no " + std::string(label) + ".");
    TradeFile file;
    file.recordSize = recordSize;
    std::optional<SourceRow> pending;  // a record over several lines, until it has its bytes
    for (std::size_t i = *labelLine + 1; i < lines.size(); ++i) {
        const std::string_view code = codeOfLine(lines[i]);
        if (code.empty()) continue;
        const int number = int(i) + 1;
        const auto [word, rest] = splitWord(code);
        const std::string directive = loweredAscii(word);
        if (endsTable(lines[i], directive)) break;
        if (directive == "table_width") continue;  // the assertion's set-up
        const bool data = directive == "db" || directive == "dw" || directive == "dname" || directive == "dp" || directive == "rawchar";
        const auto macro = macros.find(word);
        if (macro == macros.end() && !data) return reader.notAForm(number);
        if (!pending) {
            pending.emplace();
            pending->line = number;
        }
        SourceRow& row = *pending;
        Result<void> done = macro != macros.end() ? reader.macroRow(macro->second, rest, number, row)
                                                  : reader.plainRow(directive, rest, number, row);
        if (!done) return done.error();
        if (recordSize && macro == macros.end()) {
            if (row.bytes.size() > recordSize) {
                return reader.atLine(row.line, "the record's lines make " + std::to_string(row.bytes.size()) +
                                                   " bytes by line " + std::to_string(number) + ", more than the game's " +
                                                   std::to_string(recordSize) + ".");
            }
            if (row.bytes.size() < recordSize) continue;
        }
        SourceRow finished = std::move(row);
        pending.reset();
        if (!file.rows.empty() && finished.bytes.size() != file.rows.front().bytes.size()) {
            return reader.atLine(number, "the row makes " + std::to_string(finished.bytes.size()) + " bytes, the first row " +
                                             std::to_string(file.rows.front().bytes.size()) + ".");
        }
        file.rows.push_back(std::move(finished));
    }
    if (pending) {
        return reader.atLine(pending->line, "the table ends within a record: its lines make " + std::to_string(pending->bytes.size()) +
                                                " of the game's " + std::to_string(recordSize) + " bytes.");
    }
    if (file.rows.empty()) return reader.notAForm(int(*labelLine) + 1);
    return file;
}

bool writesRawNames(std::string_view text) {
    return std::ranges::any_of(linesOf(text), [](std::string_view line) { return loweredAscii(splitWord(codeOfLine(line)).first) == "rawchar"; });
}

namespace {

// Whether the file writes its hexadecimal digits in upper case (where a
// changed number's own token has no letter to tell).
bool upperHexIn(std::string_view text) {
    int upper = 0, lowerCount = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '$') continue;
        for (std::size_t j = i + 1; j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j])); ++j) {
            if (text[j] >= 'A' && text[j] <= 'F') ++upper;
            if (text[j] >= 'a' && text[j] <= 'f') ++lowerCount;
        }
    }
    return upper >= lowerCount;
}

// `value` written as `old` writes its number: its radix, at least its width, its case.
std::string numberLike(std::string_view old, std::uint32_t value, bool upperHex) {
    std::string prefix;
    int base = 10;
    if (old.starts_with("$")) prefix = "$", base = 16;
    else if (old.starts_with("%")) prefix = "%", base = 2;
    const std::string_view digits = old.substr(prefix.size());
    if (std::any_of(digits.begin(), digits.end(), [](char c) { return c >= 'a' && c <= 'f'; })) upperHex = false;
    if (std::any_of(digits.begin(), digits.end(), [](char c) { return c >= 'A' && c <= 'F'; })) upperHex = true;
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, base).ptr;
    std::string out(buffer, end);
    if (upperHex) for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (out.size() < digits.size()) out.insert(0, digits.size() - out.size(), '0');
    return prefix + out;
}

struct Replacement {
    std::size_t at, length;
    std::string token;
    std::optional<bool> aligned;  // whether what follows stands in a column; none: judge by its spaces
};

std::size_t columnOf(std::string_view text, std::size_t at) { return at - (text.rfind('\n', at) + 1); }

// Whether the argument after row's `argument` starts in the same column in another row.
std::optional<bool> nextInColumn(std::string_view text, const TradeFile& file, const SourceRow& row, std::size_t argument) {
    if (argument + 1 >= row.arguments.size()) return std::nullopt;
    const std::size_t column = columnOf(text, row.arguments[argument + 1].at);
    return std::any_of(file.rows.begin(), file.rows.end(), [&](const SourceRow& other) {
        return &other != &row && other.arguments.size() > argument + 1 && columnOf(text, other.arguments[argument + 1].at) == column;
    });
}

}  // namespace

Result<std::string> rewriteTradeFile(std::string_view text, const TradeFile& file, std::span<const RowChange> changes,
                                     const std::string& name, const SourceConstants& constants, const SourceCharmap& charmap) {
    const Reader reader(text, name, constants, charmap);
    const bool upperHex = upperHexIn(text);
    std::map<std::size_t, Replacement> replacements;  // by the token's place
    for (const RowChange& change : changes) {
        if (change.row >= file.rows.size()) return refused(ErrorCode::NotASourceForm, name + " has no row for record " + std::to_string(change.row) + ".");
        const SourceRow& row = file.rows[change.row];
        if (change.bytes.size() != row.bytes.size()) return reader.atLine(row.line, "the row makes a record of another length.");
        for (const SourcePiece& piece : row.pieces) {
            const auto begin = [&](const std::vector<std::uint8_t>& b) { return b.begin() + piece.at; };
            if (std::equal(begin(row.bytes), begin(row.bytes) + piece.length, begin(change.bytes))) continue;
            const std::span<const std::uint8_t> now(change.bytes.data() + piece.at, piece.length);
            if (piece.argument < 0) {
                return reader.atLine(row.line, "byte " + std::to_string(piece.at) + " of the record is the row macro's own; change it there.");
            }
            // The new token of an argument that now makes `value`.
            auto numberToken = [&](int index, std::uint32_t value) -> Result<std::string> {
                const std::string_view old = reader.token(row.arguments[std::size_t(index)]);
                if (assemblyNumber(old)) return numberLike(old, value, upperHex);
                if (isName(old)) return constants.nameLike(value, old).value_or(numberLike("$00", value, upperHex));
                // A | B whose A still holds: B alone rewritten, as another name of its own file.
                const std::size_t bar = old.find('|');
                const std::string_view a = trimmed(old.substr(0, bar)), b = bar == old.npos ? std::string_view() : trimmed(old.substr(bar + 1));
                const auto kept = isName(a) ? constants.valueOf(a) : assemblyNumber(a);
                if (bar != old.npos && isName(b) && kept && (value & *kept) == *kept) {
                    if (auto name = constants.nameLike(value & ~std::uint32_t(*kept), b)) {
                        return std::string(old.substr(0, std::size_t(b.data() - old.data()))) + *name;
                    }
                }
                return reader.atLine(row.line, std::string(old) + " is an expression; Kestrane writes only numbers, constants and names" +
                                                   (bar != old.npos ? " (and the last name of A | B, where A holds)" : "") + ".");
            };
            std::vector<std::pair<int, std::string>> tokens;  // each argument the piece's new bytes rewrite
            if (piece.kind == SourcePiece::Kind::Byte || piece.kind == SourcePiece::Kind::Word) {
                auto token = numberToken(piece.argument, piece.kind == SourcePiece::Kind::Byte ? now[0] : std::uint32_t(now[0] | now[1] << 8));
                if (!token) return token.error();
                tokens.emplace_back(piece.argument, std::move(*token));
            } else if (piece.kind == SourcePiece::Kind::Species) {
                const auto was = std::span<const std::uint8_t>(row.bytes).subspan(piece.at, 2);
                auto speciesOf = [](std::span<const std::uint8_t> b) { return std::uint32_t(b[0] | (b[1] & kSpeciesHigh) << 3); };
                if (speciesOf(now) != speciesOf(was)) {
                    auto token = numberToken(piece.argument, speciesOf(now));
                    if (!token) return token.error();
                    tokens.emplace_back(piece.argument, std::move(*token));
                }
                if ((now[1] & ~kSpeciesHigh) != (was[1] & ~kSpeciesHigh)) {
                    if (piece.formArgument < 0) {
                        return reader.atLine(row.line, "its dp gives no form, so Kestrane cannot write one; add \", NO_FORM\" to it.");
                    }
                    auto token = numberToken(piece.formArgument, std::uint32_t(now[1] & ~kSpeciesHigh));
                    if (!token) return token.error();
                    tokens.emplace_back(piece.formArgument, std::move(*token));
                }
            } else {
                std::span<const std::uint8_t> letters = now;
                if (piece.kind == SourcePiece::Kind::Name) {
                    const auto end = std::find(now.begin(), now.end(), kAt);
                    if (!std::all_of(end, now.end(), [](std::uint8_t b) { return b == kAt; })) {
                        return reader.atLine(row.line, "the new name is not padded with \"@\" as dname pads it.");
                    }
                    letters = now.first(std::size_t(end - now.begin()));
                }
                const auto written = charmap.decode(letters);
                if (!written || charmap.encode(*written) != std::vector<std::uint8_t>(letters.begin(), letters.end())) {
                    return reader.atLine(row.line, "the tree's charmap cannot write the new name.");
                }
                if (piece.kind == SourcePiece::Kind::Name && written->find('@') != std::string::npos) {
                    return reader.atLine(row.line, "the new name holds \"@\", which dname refuses.");
                }
                tokens.emplace_back(piece.argument, literalToken(*written));
            }
            for (auto& [index, token] : tokens) {
                const SourceToken& argument = row.arguments[std::size_t(index)];
                auto [place, added] = replacements.try_emplace(
                    argument.at, Replacement{argument.at, argument.length, token, nextInColumn(text, file, row, std::size_t(index))});
                if (!added && place->second.token != token) {
                    return reader.atLine(row.line, std::string(reader.token(argument)) + " makes two parts of the record that now differ.");
                }
            }
        }
        // An argument the macro uses twice makes both parts: one may not change alone.
        for (const SourcePiece& piece : row.pieces) {
            if (piece.argument < 0 || !replacements.count(row.arguments[std::size_t(piece.argument)].at)) continue;
            const auto begin = [&](const std::vector<std::uint8_t>& b) { return b.begin() + piece.at; };
            if (std::equal(begin(row.bytes), begin(row.bytes) + piece.length, begin(change.bytes))) {
                return reader.atLine(row.line, std::string(reader.token(row.arguments[std::size_t(piece.argument)])) +
                                                   " makes two parts of the record that now differ.");
            }
        }
    }
    std::string out;
    out.reserve(text.size() + 64);
    std::size_t from = 0;
    for (const auto& [at, r] : replacements) {
        out.append(text.substr(from, at - from));
        out += r.token;
        from = at + r.length;
        // Keep the next column where it was: the spaces after the comma (or
        // before a comment) give or take what the token took or gave.
        std::size_t spaces = from;
        if (spaces < text.size() && text[spaces] == ',') out += ',', spaces = ++from;
        std::size_t run = 0;
        while (spaces + run < text.size() && text[spaces + run] == ' ') ++run;
        const bool column = run > 0 && spaces + run < text.size() && text[spaces + run] != '\n' && text[spaces + run] != '\r' &&
                            r.aligned.value_or(run > 1);
        if (column) {
            const std::ptrdiff_t wanted = std::ptrdiff_t(run) + std::ptrdiff_t(r.length) - std::ptrdiff_t(r.token.size());
            out.append(std::size_t(std::max<std::ptrdiff_t>(1, wanted)), ' ');
            from = spaces + run;
        }
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace kestrane
