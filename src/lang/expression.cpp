// The expression evaluator. A text is prepared (blanks reduced, upper case
// outside quotes), cut into items (operands, signs, operators) and then
// evaluated by recursive descent over the items. Parenthesised groups and
// lexical calls are evaluated while the items are built, so the descent
// itself never recurses into a new expression.
//
// Everything lives in fixed-size automatic storage: the common loop lines
// ("I = I + 1", "I .LT. N") allocate nothing here.
#include "lang/expression.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "lang/lexicals.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kMaxExpressionText = 1024;
constexpr size_t kItemTextCapacity = 1024;  // all item texts, each with its NUL
constexpr size_t kMaxItems = 215;           // the end marker included

enum ItemKind : uint8_t {
    ITEM_END = 0,
    ITEM_SIGN = 1,
    ITEM_INTEGER = 2,
    ITEM_STRING = 3,
    OP_DIVIDE = 4,
    OP_MULTIPLY,
    OP_PLUS,
    OP_MINUS,
    OP_EQS,
    OP_GES,
    OP_GTS,
    OP_LES,
    OP_LTS,
    OP_NES,
    OP_EQ,
    OP_GE,
    OP_GT,
    OP_LE,
    OP_LT,
    OP_NE,
    OP_NOT,
    OP_AND,
    OP_OR,
    OP_XOR,
};

struct OperatorEntry {
    std::string_view text;
    ItemKind kind;
};

constexpr std::array<OperatorEntry, 20> kOperators{{
    {"/", OP_DIVIDE},   {"*", OP_MULTIPLY}, {"+", OP_PLUS},     {"-", OP_MINUS},
    {".EQS.", OP_EQS},  {".GES.", OP_GES},  {".GTS.", OP_GTS},  {".LES.", OP_LES},
    {".LTS.", OP_LTS},  {".NES.", OP_NES},  {".EQ.", OP_EQ},    {".GE.", OP_GE},
    {".GT.", OP_GT},    {".LE.", OP_LE},    {".LT.", OP_LT},    {".NE.", OP_NE},
    {".NOT.", OP_NOT},  {".AND.", OP_AND},  {".OR.", OP_OR},    {".XOR.", OP_XOR},
}};

ItemKind lookup_operator(std::string_view text) {
    for (const OperatorEntry& entry : kOperators)
        if (entry.text == text) return entry.kind;
    return ITEM_END;
}

bool is_white(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// The character classes are tables: they are tested for every character
// of every expression, where a search of a short string is a library call.
constexpr CharSet kParameterDelimiters("#^=:;?<>");
constexpr CharSet kOperatorStarts("+-*/.");
constexpr CharSet kNameChars("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%&_\"$");
constexpr CharSet kNameStarts("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz&_$");
constexpr CharSet kNumberEnds("#^=:;?<>+-./* ");
constexpr CharSet kQuotedConstantEnds("#^=:;?<>+-/* ");
constexpr CharSet kSignChars("+- ");
constexpr CharSet kTrueInitials("YyTt");

// Characters that can never appear in an expression outside quotes.
bool is_parameter_delimiter(char c) { return kParameterDelimiters.contains(c); }
bool is_operator_start(char c) { return kOperatorStarts.contains(c); }
bool is_name_char(char c) { return kNameChars.contains(c); }
bool is_name_start(char c) { return kNameStarts.contains(c); }
bool ends_number(char c) { return kNumberEnds.contains(c); }
bool ends_quoted_constant(char c) { return kQuotedConstantEnds.contains(c); }

bool is_operand(ItemKind kind) { return kind == ITEM_INTEGER || kind == ITEM_STRING; }
bool is_string_relation(ItemKind kind) { return kind >= OP_EQS && kind <= OP_NES; }
bool is_relation(ItemKind kind) { return kind >= OP_EQS && kind <= OP_NE; }

// A name that calls a lexical function: "F$" and a letter.
bool is_function_name(std::string_view name) {
    return name.size() >= 3 && name[0] == 'F' && name[1] == '$' && is_letter(name[2]);
}

// Signed 32-bit arithmetic wraps: it is done on unsigned values and
// converted back (a modular conversion), never overflowing a signed type.
int32_t wrapped(uint32_t value) { return static_cast<int32_t>(value); }
int32_t negated(int32_t v) { return wrapped(0u - static_cast<uint32_t>(v)); }

int32_t divided(int32_t dividend, int32_t divisor) {
    if (divisor == 0) return 2147483647;  // DCL's answer, not an error
    // The true quotient 2147483648 does not fit; like the other operations
    // it wraps, to -2147483648, instead of trapping.
    if (divisor == -1) return negated(dividend);
    return dividend / divisor;
}

// Removes double quotes; a doubled quote inside quotes stands for one.
// `out` has room for at least text.size() bytes.
size_t remove_quotes(std::string_view text, char* out) {
    size_t n = 0;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '"') {
            out[n++] = c;
        } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
            out[n++] = '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return n;
}

// Walks the significant characters of a number: lower case, blanks outside
// quotes skipped.
class NumberCursor {
public:
    explicit NumberCursor(std::string_view text) : text_(text) {}

    // The next significant character, or -1 at the end.
    int next() {
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '"') quoted_ = !quoted_;
            if (!quoted_ && is_white(c)) continue;
            return static_cast<unsigned char>(ascii_lower(c));
        }
        return -1;
    }
    int peek() const { return NumberCursor(*this).next(); }

    // Consumes `prefix` (lower case) when the text continues with it.
    bool take(std::string_view prefix) {
        NumberCursor probe = *this;
        for (char c : prefix)
            if (probe.next() != static_cast<unsigned char>(c)) return false;
        *this = probe;
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
    bool quoted_ = false;
};

int digit_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

// Reads the rest of the number in `base`. Values beyond 32 bits wrap
// modulo 2^32, as the arithmetic does.
uint32_t read_digits(NumberCursor& cursor, uint32_t base, int32_t& value) {
    if (cursor.peek() < 0) return cond::NUMBER;  // a radix prefix alone
    uint32_t acc = 0;
    for (int c; (c = cursor.next()) >= 0;) {
        int digit = digit_value(c);
        if (digit >= static_cast<int>(base)) return cond::IVCHAR;
        acc = acc * base + static_cast<uint32_t>(digit);
    }
    value = wrapped(acc);
    return 1;
}

}  // namespace

uint32_t convert_dcl_number(int32_t& value, std::string_view text) {
    value = 0;
    if (text.empty()) return 1;
    // Plain decimal digits, the form of every integer symbol's value, need
    // none of the cursor's work on blanks, quotes and radix prefixes.
    if (std::all_of(text.begin(), text.end(), is_digit)) {
        uint32_t acc = 0;
        for (char c : text) acc = acc * 10 + static_cast<uint32_t>(c - '0');
        value = wrapped(acc);
        return 1;
    }
    NumberCursor cursor(text);
    cursor.take("%d");
    int first = cursor.peek();
    if (first >= '0' && first <= '9') return read_digits(cursor, 10, value);
    if (cursor.take("%o")) return read_digits(cursor, 8, value);
    if (cursor.take("%x")) return read_digits(cursor, 16, value);
    return cond::NUMBER;
}

int32_t string_integer_value(std::string_view text) {
    if (text.empty()) return 0;
    if (kTrueInitials.contains(text[0])) return 1;
    bool negative = false;
    size_t i = 0;
    for (; i < text.size() && (text[i] == '+' || text[i] == '-'); ++i)
        if (text[i] == '-') negative = !negative;
    int32_t value = 0;
    if (convert_dcl_number(value, text.substr(i)) != 1) return 0;
    return negative ? negated(value) : value;
}

namespace {

// One expression item; its text lives in the evaluation's text area.
struct Item {
    uint16_t offset;
    uint16_t length;
    ItemKind kind;
    int32_t value;  // operands: the integer; signs: +1 or -1
};

// A value during the descent. A computed integer has no text until one is
// needed (`printed` false); then it is the "%d" form.
struct Operand {
    ValueType type = VALUE_INTEGER;
    int32_t integer = 0;
    std::string_view text;
    bool printed = false;
};

Operand integer_operand(int32_t value) { return Operand{VALUE_INTEGER, value, {}, false}; }

std::string_view text_of(const Operand& value, char (&digits)[16]) {
    if (value.printed) return value.text;
    // to_chars prints what "%d" prints, without the format machinery.
    auto end = std::to_chars(digits, digits + sizeof digits, value.integer).ptr;
    return {digits, static_cast<size_t>(end - digits)};
}

// The finished value of one evaluation; the text points into its storage.
struct Outcome {
    ValueType type = VALUE_STRING;
    int32_t integer = 0;
    std::string_view text;
};

class Evaluation {
public:
    explicit Evaluation(int depth) : depth_(depth) {}
    Evaluation(const Evaluation&) = delete;
    Evaluation& operator=(const Evaluation&) = delete;

    uint32_t run(std::string_view text, Outcome& out);

private:
    void prepare(std::string_view text);
    uint32_t build_items();
    uint32_t take_operator(size_t& pos);
    uint32_t take_dotted_operator(size_t& pos, std::string_view& text);
    uint32_t take_sign(size_t& pos);
    uint32_t take_subexpression(size_t& pos);
    uint32_t take_quoted_constant(size_t& pos);
    uint32_t take_number(size_t& pos);
    uint32_t take_name(size_t& pos);
    uint32_t take_function_call(size_t& pos, std::string_view name);
    uint32_t take_symbol(std::string_view name);
    uint32_t add_integer_operand(std::string_view text);
    uint32_t add_string_operand(std::string_view text);
    uint32_t add_item(ItemKind kind, std::string_view text, int32_t value);

    uint32_t either_or(Operand& out);
    uint32_t both(Operand& out);
    uint32_t complement(Operand& out);
    uint32_t relation(Operand& out);
    uint32_t sum(Operand& out);
    uint32_t product(Operand& out);
    uint32_t primary(Operand& out);
    uint32_t join_strings(Operand& left, ItemKind op, std::string_view right);
    uint32_t move_to_arena_top(std::string_view& text, size_t extra);

    ItemKind kind_at(size_t i) const { return i < count_ ? items_[i].kind : ITEM_END; }
    ItemKind previous_kind() const { return count_ == 0 ? ITEM_END : items_[count_ - 1].kind; }
    std::string_view item_text(const Item& item) const {
        return {texts_ + item.offset, item.length};
    }

    int depth_;
    // Deliberately left uninitialised: only the used parts are ever read.
    char prepared_[kMaxExpressionText];
    size_t length_ = 0;
    char texts_[kItemTextCapacity];
    size_t texts_used_ = 0;
    Item items_[kMaxItems];
    size_t count_ = 0;       // items built; the end marker is implicit
    size_t next_ = 0;        // the item the descent looks at
    // String results of + and -. Each item text is copied here at most once
    // and a running result grows in place, so the texts' capacity suffices.
    char arena_[kItemTextCapacity];
    size_t arena_used_ = 0;
    char digits_[16];
};

uint32_t Evaluation::run(std::string_view text, Outcome& out) {
    if (text.size() > kMaxExpressionText) return cond::BUFOVF;
    prepare(text);
    uint32_t status = build_items();
    if (status != 1) return status;
    Operand value;
    status = either_or(value);
    if (status != 1) return status;
    if (next_ < count_) return cond::EXPSYN;  // e.g. a binary .NOT.
    out.type = value.type;
    out.integer = value.integer;
    out.text = value.type == VALUE_INTEGER ? text_of(integer_operand(value.integer), digits_)
                                           : value.text;
    return 1;
}

// Upper case and single blanks outside double quotes.
void Evaluation::prepare(std::string_view text) {
    bool quoted = false;
    bool in_blanks = false;
    length_ = 0;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && is_white(c)) {
            if (!in_blanks) prepared_[length_++] = ' ';
            in_blanks = true;
            continue;
        }
        in_blanks = false;
        prepared_[length_++] = quoted ? c : ascii_upper(c);
    }
}

uint32_t Evaluation::build_items() {
    size_t pos = 0;
    while (pos < length_) {
        char c = prepared_[pos];
        uint32_t status;
        if (c == ' ') {
            ++pos;
            continue;
        }
        if (is_parameter_delimiter(c)) {
            signal_condition(cond::PARMDEL, std::string_view(&c, 1));
            return 0;
        }
        if (is_operator_start(c)) {
            status = take_operator(pos);
        } else if (c == ')') {
            return cond::EXPSYN;  // unbalanced
        } else if (c != '(' && c != '"' && c != '%' && !is_digit(c) && !is_name_start(c)) {
            // Nothing can start with this character (",", "[", "@", ...).
            signal_condition(cond::EXPSYN, std::string_view(&c, 1));
            return 0;
        } else if (is_operand(previous_kind())) {
            return cond::EXPSYN;  // two operands in a row
        } else if (c == '(') {
            status = take_subexpression(pos);
        } else if (c == '"') {
            status = take_quoted_constant(pos);
        } else if (c == '%' || is_digit(c)) {
            status = take_number(pos);
        } else {
            status = take_name(pos);
        }
        if (status != 1) return status;
    }
    return 1;
}

uint32_t Evaluation::take_operator(size_t& pos) {
    ItemKind before = previous_kind();
    bool binary = is_operand(before) || before == ITEM_SIGN;
    char c = prepared_[pos];
    if (!binary && (c == '+' || c == '-')) return take_sign(pos);
    std::string_view text(prepared_ + pos, 1);
    if (c == '.') {
        uint32_t status = take_dotted_operator(pos, text);
        if (status != 1) return status;
    } else {
        ++pos;
    }
    ItemKind kind = lookup_operator(text);
    if (kind == ITEM_END) {
        signal_condition(cond::IVOPER, text);
        return 0;
    }
    if (!binary && kind != OP_NOT && before != OP_NOT) {
        signal_condition(cond::EXPSYN, text);
        return 0;
    }
    return add_item(kind, text, 0);
}

// ".XX." or, when a blank comes first, ".XX".
uint32_t Evaluation::take_dotted_operator(size_t& pos, std::string_view& text) {
    for (size_t end = pos + 1; end < length_; ++end) {
        if (prepared_[end] == '.' || prepared_[end] == ' ') {
            if (prepared_[end] == '.') ++end;
            text = std::string_view(prepared_ + pos, end - pos);
            pos = end;
            return 1;
        }
    }
    return cond::EXPSYN;
}

// A run of "+", "-" and blanks in operand position is one sign.
uint32_t Evaluation::take_sign(size_t& pos) {
    int32_t sign = 1;
    for (; pos < length_ && kSignChars.contains(prepared_[pos]); ++pos)
        if (prepared_[pos] == '-') sign = -sign;
    return add_item(ITEM_SIGN, sign < 0 ? "-" : "+", sign);
}

uint32_t Evaluation::take_subexpression(size_t& pos) {
    size_t nesting = 0;
    bool quoted = false;
    size_t close = pos;
    for (; close < length_; ++close) {
        char c = prepared_[close];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++nesting;
        if (c == ')' && --nesting == 0) break;
    }
    if (close >= length_) return cond::EXPSYN;
    std::string_view inner(prepared_ + pos + 1, close - pos - 1);
    pos = close + 1;
    if (depth_ + 1 > kMaxExpressionNesting) return cond::BUFOVF;
    Evaluation sub(depth_ + 1);
    Outcome result;
    uint32_t status = sub.run(inner, result);
    if (status != 1) return status;
    ItemKind kind = result.type == VALUE_INTEGER ? ITEM_INTEGER : ITEM_STRING;
    return add_item(kind, result.text, result.integer);
}

// "text": runs to an operator character or blank, or a "." outside
// brackets; quoted sections are taken whole and the quotes then removed.
uint32_t Evaluation::take_quoted_constant(size_t& pos) {
    size_t end = pos;
    bool quoted = false;
    bool bracketed = false;
    for (; end < length_; ++end) {
        char c = prepared_[end];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (ends_quoted_constant(c) || (c == '.' && !bracketed)) break;
        if (c == '[') bracketed = true;
        if (c == ']') bracketed = false;
    }
    std::string_view raw(prepared_ + pos, end - pos);
    pos = end;
    char unquoted[kMaxExpressionText];
    size_t n = remove_quotes(raw, unquoted);
    return add_string_operand(std::string_view(unquoted, n));
}

uint32_t Evaluation::take_number(size_t& pos) {
    size_t end = pos;
    while (end < length_ && !ends_number(prepared_[end])) ++end;
    std::string_view text(prepared_ + pos, end - pos);
    pos = end;
    return add_integer_operand(text);
}

uint32_t Evaluation::take_name(size_t& pos) {
    size_t end = pos;
    while (end < length_ && is_name_char(prepared_[end])) ++end;
    std::string_view name(prepared_ + pos, end - pos);
    if (end + 1 < length_ && prepared_[end] == ' ' && prepared_[end + 1] == '(') ++end;
    pos = end;
    if (pos < length_ && prepared_[pos] == '(' && is_function_name(name))
        return take_function_call(pos, name);
    return take_symbol(name);
}

// Cuts out "F$NAME(...)" (quoted sections whole, blanks reduced) and runs it.
uint32_t Evaluation::take_function_call(size_t& pos, std::string_view name) {
    char call[kMaxExpressionText];
    std::memcpy(call, name.data(), name.size());
    size_t n = name.size();
    size_t nesting = 0;
    bool quoted = false;
    for (;;) {
        if (pos >= length_) return cond::EXPSYN;  // no closing parenthesis
        char c = prepared_[pos++];
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            if (c != '\t') return cond::EXPSYN;
        }
        if (c == '"') quoted = !quoted;
        if (!quoted && is_white(c) && call[n - 1] == ' ') continue;
        call[n++] = c;  // never more than the prepared text holds
        if (quoted) continue;
        if (c == '(') ++nesting;
        if (c == ')' && --nesting == 0) break;
    }
    std::string value;
    ValueType type = VALUE_STRING;
    uint32_t status = call_lexical_nested(value, type, std::string_view(call, n), depth_ + 1);
    if (status != 1) return status;
    return type == VALUE_INTEGER ? add_integer_operand(value) : add_string_operand(value);
}

uint32_t Evaluation::take_symbol(std::string_view name) {
    std::string value;
    uint32_t type = 0;
    uint32_t status = get_symbol_text(name, value, type);
    if (status == cond::UNDSYM) {
        signal_condition(cond::UNDSYM, name);
        return 0;
    }
    if (!is_success(status)) return status;
    if (type & SYM_INTEGER) return add_integer_operand(value);
    return add_string_operand(value);
}

// An integer operand keeps its text as written ("%X1F", "-5").
uint32_t Evaluation::add_integer_operand(std::string_view text) {
    if (text.size() >= kItemTextCapacity) return cond::BUFOVF;  // could not be stored
    char digits[kItemTextCapacity];
    std::string_view number(digits, remove_quotes(text, digits));
    bool negative = !number.empty() && number[0] == '-';
    if (negative) number.remove_prefix(1);
    int32_t value = 0;
    uint32_t status = convert_dcl_number(value, number);
    if (status != 1) {
        signal_condition(status, text);
        return 0;
    }
    return add_item(ITEM_INTEGER, text, negative ? negated(value) : value);
}

uint32_t Evaluation::add_string_operand(std::string_view text) {
    return add_item(ITEM_STRING, text, string_integer_value(text));
}

uint32_t Evaluation::add_item(ItemKind kind, std::string_view text, int32_t value) {
    if (count_ + 1 >= kMaxItems) return cond::BUFOVF;  // one place stays for the end
    if (text.size() + 1 > kItemTextCapacity - texts_used_) return cond::BUFOVF;
    if (!text.empty()) std::memcpy(texts_ + texts_used_, text.data(), text.size());
    texts_[texts_used_ + text.size()] = '\0';
    items_[count_++] = Item{static_cast<uint16_t>(texts_used_),
                            static_cast<uint16_t>(text.size()), kind, value};
    texts_used_ += text.size() + 1;
    return 1;
}

// ---- the descent, lowest precedence first -----------------------------------

uint32_t Evaluation::either_or(Operand& out) {
    uint32_t status = both(out);
    while (status == 1 && (kind_at(next_) == OP_OR || kind_at(next_) == OP_XOR)) {
        ItemKind op = items_[next_++].kind;
        Operand right;
        status = both(right);
        if (status != 1) break;
        uint32_t a = static_cast<uint32_t>(out.integer);
        uint32_t b = static_cast<uint32_t>(right.integer);
        out = integer_operand(wrapped(op == OP_OR ? (a | b) : (a ^ b)));
    }
    return status;
}

uint32_t Evaluation::both(Operand& out) {
    uint32_t status = complement(out);
    while (status == 1 && kind_at(next_) == OP_AND) {
        ++next_;
        Operand right;
        status = complement(right);
        if (status != 1) break;
        out = integer_operand(out.integer & right.integer);
    }
    return status;
}

// [sign] .NOT. a, where a may again start with .NOT.; the depth is bounded
// by the item count.
uint32_t Evaluation::complement(Operand& out) {
    int32_t sign = 1;
    if (kind_at(next_) == ITEM_SIGN && kind_at(next_ + 1) == OP_NOT) sign = items_[next_++].value;
    if (kind_at(next_) != OP_NOT) return relation(out);
    ++next_;
    uint32_t status = complement(out);
    if (status != 1) return status;
    int32_t value = wrapped(~static_cast<uint32_t>(out.integer));
    out = integer_operand(sign < 0 ? negated(value) : value);
    return 1;
}

bool relation_holds(ItemKind op, int order) {
    switch (op) {
    case OP_EQS: case OP_EQ: return order == 0;
    case OP_GES: case OP_GE: return order >= 0;
    case OP_GTS: case OP_GT: return order > 0;
    case OP_LES: case OP_LE: return order <= 0;
    case OP_LTS: case OP_LT: return order < 0;
    default: return order != 0;  // .NES. .NE.
    }
}

uint32_t Evaluation::relation(Operand& out) {
    uint32_t status = sum(out);
    while (status == 1 && is_relation(kind_at(next_))) {
        ItemKind op = items_[next_++].kind;
        Operand right;
        status = sum(right);
        if (status != 1) break;
        int order;
        if (is_string_relation(op)) {
            char left_digits[16], right_digits[16];
            order = text_of(out, left_digits).compare(text_of(right, right_digits));
        } else {
            order = out.integer < right.integer ? -1 : (out.integer > right.integer ? 1 : 0);
        }
        out = integer_operand(relation_holds(op, order) ? 1 : 0);
    }
    return status;
}

uint32_t Evaluation::sum(Operand& out) {
    uint32_t status = product(out);
    while (status == 1 && (kind_at(next_) == OP_PLUS || kind_at(next_) == OP_MINUS)) {
        ItemKind op = items_[next_++].kind;
        Operand right;
        status = product(right);
        if (status != 1) break;
        if (out.type == VALUE_STRING && right.type == VALUE_STRING) {
            status = join_strings(out, op, right.text);
            continue;
        }
        uint32_t a = static_cast<uint32_t>(out.integer);
        uint32_t b = static_cast<uint32_t>(right.integer);
        out = integer_operand(wrapped(op == OP_PLUS ? a + b : a - b));
    }
    return status;
}

// Makes `text` the last thing in the arena, with `extra` bytes free after it.
uint32_t Evaluation::move_to_arena_top(std::string_view& text, size_t extra) {
    auto address = [](const char* p) { return reinterpret_cast<uintptr_t>(p); };
    bool on_top = address(text.data()) >= address(arena_) &&
                  address(text.data()) + text.size() == address(arena_ + arena_used_);
    if (on_top) {
        if (extra > sizeof arena_ - arena_used_) return cond::BUFOVF;
        return 1;
    }
    if (text.size() + extra > sizeof arena_ - arena_used_) return cond::BUFOVF;
    if (!text.empty()) std::memcpy(arena_ + arena_used_, text.data(), text.size());
    text = std::string_view(arena_ + arena_used_, text.size());
    arena_used_ += text.size();
    return 1;
}

// String + appends; string - removes the first occurrence of the right text.
uint32_t Evaluation::join_strings(Operand& left, ItemKind op, std::string_view right) {
    std::string_view text = left.text;
    size_t found = op == OP_MINUS ? text.find(right) : 0;
    if (op == OP_MINUS && (right.empty() || found == std::string_view::npos)) return 1;
    uint32_t status = move_to_arena_top(text, op == OP_PLUS ? right.size() : 0);
    if (status != 1) return status;
    char* start = arena_ + (text.data() - arena_);
    size_t length = text.size();
    if (op == OP_PLUS) {
        if (!right.empty()) std::memcpy(start + length, right.data(), right.size());
        length += right.size();
    } else {
        std::memmove(start + found, start + found + right.size(), length - found - right.size());
        length -= right.size();
    }
    arena_used_ = static_cast<size_t>(start - arena_) + length;
    left.text = std::string_view(start, length);
    left.integer = string_integer_value(left.text);
    return 1;
}

uint32_t Evaluation::product(Operand& out) {
    uint32_t status = primary(out);
    while (status == 1 && (kind_at(next_) == OP_MULTIPLY || kind_at(next_) == OP_DIVIDE)) {
        ItemKind op = items_[next_++].kind;
        Operand right;
        status = primary(right);
        if (status != 1) break;
        int32_t value = op == OP_MULTIPLY
                            ? wrapped(static_cast<uint32_t>(out.integer) *
                                      static_cast<uint32_t>(right.integer))
                            : divided(out.integer, right.integer);
        out = integer_operand(value);
    }
    return status;
}

uint32_t Evaluation::primary(Operand& out) {
    int32_t sign = 0;
    if (kind_at(next_) == ITEM_SIGN) sign = items_[next_++].value;
    if (!is_operand(kind_at(next_))) return cond::EXPSYN;
    const Item& item = items_[next_++];
    if (sign != 0) {
        out = integer_operand(sign < 0 ? negated(item.value) : item.value);
        return 1;
    }
    out = Operand{item.kind == ITEM_INTEGER ? VALUE_INTEGER : VALUE_STRING, item.value,
                  item_text(item), true};
    return 1;
}

}  // namespace

uint32_t evaluate_expression_nested(ExprValue& result, std::string_view text, int depth) {
    if (depth > kMaxExpressionNesting) return cond::BUFOVF;
    Evaluation evaluation(depth);
    Outcome outcome;
    uint32_t status = evaluation.run(text, outcome);
    if (status != 1) return status;
    result.text.assign(outcome.text);
    result.type = outcome.type;
    result.integer = outcome.integer;
    return 1;
}

uint32_t evaluate_expression(ExprValue& result, std::string_view text) {
    return evaluate_expression_nested(result, text, 0);
}

}  // namespace dcl
