// The assignment statement. A plain target takes a whole value: the
// expression's result for "=", "==", "===", or the verbatim text for the
// ":" forms. A target "NAME[offset,size]" changes part of a value: bytes
// with the string forms, bits with the expression forms.
#include "names/commands/assignment.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "lang/expression.h"
#include "lang/qualifiers.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

constexpr int64_t kMaxSubstringOffset = 768;
constexpr int64_t kMaxSubstringEnd = 769;    // offset + size of a substring
constexpr int64_t kMaxBitFieldEnd = 6152;    // 769 bytes of bits
constexpr int64_t kWordBits = 32;
constexpr size_t kWorkBuffer = 1024;

struct Target {
    std::string name;
    bool has_range = false;
    std::string offset_text;  // as written, for messages
    std::string size_text;
    int64_t offset = 0;
    int64_t size = 0;
};

struct Operator {
    bool verbatim = false;  // ":=" forms: the text itself, not its value
    uint32_t kind = SYM_LOCAL;
};

// The current value of the symbol in a blank-filled work buffer.
struct OldValue {
    std::string buffer;
    size_t length = 0;
    uint32_t type = SYM_STRING;
};

// Position of `wanted` outside double quotes and parentheses.
size_t find_outside(std::string_view text, char wanted) {
    bool quoted = false;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == wanted && depth == 0) return i;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
    }
    return std::string_view::npos;
}

// Checks the token shape: labels, symbol, operator, value words. Returns
// the index of the symbol token, or the token count after queueing SYNERR.
size_t find_symbol_token(const TokenList& tokens) {
    size_t first = 0;
    while (first < tokens.size() && tokens[first].type == TOKEN_LABEL) ++first;
    size_t bad = tokens.size();
    if (first >= tokens.size() || tokens[first].type != TOKEN_SYMBOL) {
        bad = first;
    } else if (first + 1 >= tokens.size() || tokens[first + 1].type != TOKEN_OPERATOR) {
        bad = first + 1;
    } else {
        for (size_t i = first + 2; i < tokens.size() && bad == tokens.size(); ++i)
            if (tokens[i].type != TOKEN_PARAMETER) bad = i;
        if (bad == tokens.size()) return first;
    }
    signal_condition(cond::SYNERR, bad < tokens.size() ? std::string_view(tokens[bad].text) : "");
    return tokens.size();
}

// Splits "NAME[offset,size]". False after queueing.
bool parse_target(std::string_view text, Target& target) {
    size_t open = find_outside(text, '[');
    target.name = text.substr(0, open);
    if (open == std::string_view::npos) return true;
    target.has_range = true;
    std::string_view rest = text.substr(open + 1);
    size_t comma = find_outside(rest, ',');
    if (comma == std::string_view::npos) {
        signal_condition(cond::SYMDEL, rest);
        return false;
    }
    target.offset_text = rest.substr(0, comma);
    rest = rest.substr(comma + 1);
    size_t close = find_outside(rest, ']');
    if (target.offset_text.empty() || close == 0) {
        signal_condition(cond::EXPSYN);
        return false;
    }
    if (close == std::string_view::npos) {
        signal_condition(cond::SYMDEL, rest);
        return false;
    }
    target.size_text = rest.substr(0, close);
    return true;
}

uint32_t evaluate_integer(std::string_view text, int64_t& number) {
    ExprValue value;
    uint32_t status = evaluate_expression(value, text);
    if (!is_success(status)) return status;
    number = value.integer;
    return 1;
}

uint32_t evaluate_range(Target& target) {
    uint32_t status = evaluate_integer(target.offset_text, target.offset);
    if (status != 1) return status;
    return evaluate_integer(target.size_text, target.size);
}

bool parse_operator(std::string_view text, Operator& op) {
    op.verbatim = !text.empty() && text[0] == ':';
    if (op.verbatim) text.remove_prefix(1);
    if (text == "=") {
        op.kind = SYM_LOCAL;
    } else if (text == "==") {
        op.kind = SYM_GLOBAL;
    } else if (text == "===") {
        op.kind = SYM_ENVIRONMENT;
    } else {
        // The misspelling is the message text users of this system know.
        signal_condition(with_severity(cond::ERROR, SEV_ERROR), "unkown assign-op");
        return false;
    }
    return true;
}

// The value words joined with single blanks. False after queueing.
bool join_value(const TokenList& tokens, size_t from, std::string& text) {
    for (size_t i = from; i < tokens.size(); ++i) {
        if (i > from) text.push_back(' ');
        text += tokens[i].text;
    }
    if (text.size() <= kMaxSymbolValue) return true;
    signal_condition(cond::BUFOVF);
    return false;
}

void report_range(const Target& target) {
    signal_condition(cond::IVRANGE, target.offset_text + "," + target.size_text);
}

OldValue read_old_value(std::string_view name) {
    OldValue old;
    if (get_symbol(name, old.buffer, old.type) != 1) {
        old.buffer.clear();
        old.type = SYM_STRING;
    }
    old.length = std::min(old.buffer.size(), kWorkBuffer);
    old.buffer.resize(kWorkBuffer, ' ');
    return old;
}

uint32_t assign_substring(const Target& target, uint32_t kind, std::string_view text) {
    if (target.offset < 0 || target.offset > kMaxSubstringOffset || target.size <= 0 ||
        target.offset + target.size > kMaxSubstringEnd) {
        report_range(target);
        return 0;
    }
    size_t offset = static_cast<size_t>(target.offset);
    size_t size = static_cast<size_t>(target.size);
    OldValue old = read_old_value(target.name);
    std::string replacement = remove_quotes(text);
    replacement.resize(size, ' ');
    old.buffer.replace(offset, size, replacement);
    size_t length = std::max(old.length, offset + size);
    return set_symbol(target.name, std::string_view(old.buffer).substr(0, length), kind | SYM_STRING);
}

uint32_t read_le_word(const std::string& bytes, size_t at) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) word |= uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return word;
}

void write_le_word(std::string& bytes, size_t at, uint32_t word) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((word >> (8 * i)) & 0xFF);
}

// The field never spans two 32-bit words: bits shifted past bit 31 are lost.
uint32_t assign_bit_field(const Target& target, uint32_t kind, std::string_view text) {
    int64_t size = target.size < 0 || target.size > kWordBits ? kWordBits : target.size;
    if (target.offset < 0 || target.offset + size > kMaxBitFieldEnd) {
        report_range(target);
        return 0;
    }
    OldValue old = read_old_value(target.name);
    int64_t number = 0;
    if (uint32_t status = evaluate_integer(text, number); status != 1) return status;
    uint32_t shift = static_cast<uint32_t>(target.offset % kWordBits);
    uint32_t mask = size == kWordBits ? 0xFFFFFFFFu : (1u << size) - 1;
    mask <<= shift;
    uint32_t bits = static_cast<uint32_t>(number) << shift;
    uint32_t type_bits = old.type & (SYM_STRING | SYM_INTEGER);
    if (!(old.type & SYM_STRING)) {
        std::string_view old_text = std::string_view(old.buffer).substr(0, old.length);
        uint32_t word = static_cast<uint32_t>(symbol_integer_value(old_text));
        word = (word & ~mask) | (bits & mask);
        char printed[16];
        int n = std::snprintf(printed, sizeof printed, "%d", static_cast<int32_t>(word));
        return set_symbol(target.name, std::string_view(printed, static_cast<size_t>(n)),
                          kind | type_bits);
    }
    size_t at = 4 * static_cast<size_t>(target.offset / kWordBits);
    uint32_t word = read_le_word(old.buffer, at);
    write_le_word(old.buffer, at, (word & ~mask) | (bits & mask));
    size_t needed = static_cast<size_t>((target.offset + size + 7) / 8);
    size_t length = std::max(old.length, needed);
    return set_symbol(target.name, std::string_view(old.buffer).substr(0, length), kind | type_bits);
}

uint32_t assign_whole(const Target& target, const Operator& op, std::string_view text) {
    if (op.verbatim) return set_symbol(target.name, remove_quotes(text), op.kind | SYM_STRING);
    ExprValue value;
    uint32_t status = evaluate_expression(value, text);
    if (!is_success(status)) return status;
    return set_symbol(target.name, value.text, op.kind | value.type);
}

}  // namespace

uint32_t run_assignment(const TokenList& tokens) {
    size_t first = find_symbol_token(tokens);
    if (first == tokens.size()) return 0;
    Target target;
    if (!parse_target(tokens[first].text, target)) return 0;
    if (target.has_range) {
        if (uint32_t status = evaluate_range(target); status != 1) return status;
    }
    Operator op;
    if (!parse_operator(tokens[first + 1].text, op)) return 0;
    std::string text;
    if (!join_value(tokens, first + 2, text)) return 0;
    if (!target.has_range) return assign_whole(target, op, text);
    if (target.size == 0) return 1;
    return op.verbatim ? assign_substring(target, op.kind, text)
                       : assign_bit_field(target, op.kind, text);
}

}  // namespace dcl
