// String and number lexical functions: F$ELEMENT, F$EXTRACT, F$INTEGER,
// F$LENGTH, F$LOCATE, F$STRING and F$TYPE, and the field splitter they
// share with the rest of the interpreter.
#include "lang/lexical_functions.h"
#include "lang/lexicals.h"
#include "names/symbols.h"
#include "status/condition.h"

namespace dcl {

bool extract_field(std::string& field, size_t index, char delimiter, std::string_view text) {
    size_t current = 0;
    size_t start = 0;
    bool quoted = false;
    bool bracketed = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            quoted = c != '"';
        } else if (bracketed) {
            bracketed = c != ']';
        } else if (c == delimiter) {
            if (current == index) {
                field.assign(text.substr(start, i - start));
                return true;
            }
            ++current;
            start = i + 1;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[') {
            bracketed = true;
        }
    }
    if (current != index) return false;
    field.assign(text.substr(start));
    return true;
}

// F$EXTRACT(start, length, string)
uint32_t lexical_extract(LexicalCall& call) {
    ExprValue start, length, text;
    uint32_t status = call.evaluate(0, start);
    if (status == 1) status = call.evaluate(1, length);
    if (status == 1) status = call.evaluate(2, text);
    if (status != 1) return status;
    if (start.integer < 0 || length.integer < 0) return cond::IVRANGE;
    size_t from = static_cast<size_t>(start.integer);
    if (from >= text.text.size()) return call.set_string({});
    return call.set_string(std::string_view(text.text).substr(from, static_cast<size_t>(length.integer)));
}

// F$ELEMENT(index, delimiter, string): the field, or the delimiter itself
// when there are not that many fields.
uint32_t lexical_element(LexicalCall& call) {
    ExprValue index, delimiter, text;
    uint32_t status = call.evaluate(0, index);
    if (status != 1) return status;
    if (index.integer < 0) return cond::IVRANGE;
    status = call.evaluate(1, delimiter);
    if (status != 1) return status;
    // DCL answers a delimiter that is not one character with this code.
    if (delimiter.text.size() != 1) return cond::PROMPTLEN;
    status = call.evaluate(2, text);
    if (status != 1) return status;
    if (!extract_field(call.result, static_cast<size_t>(index.integer), delimiter.text[0], text.text))
        call.result = delimiter.text;
    call.type = VALUE_STRING;
    return 1;
}

// F$INTEGER(expression)
uint32_t lexical_integer(LexicalCall& call) {
    ExprValue value;
    uint32_t status = call.evaluate(0, value);
    if (status != 1) return status;
    return call.set_integer(value.integer);
}

// F$LENGTH(expression)
uint32_t lexical_length(LexicalCall& call) {
    ExprValue value;
    uint32_t status = call.evaluate(0, value);
    if (status != 1) return status;
    // The value is at most 1024 bytes, far inside the integer range.
    return call.set_integer(static_cast<int32_t>(value.text.size()));
}

// F$LOCATE(substring, string): the offset, or the length when absent.
uint32_t lexical_locate(LexicalCall& call) {
    ExprValue wanted, text;
    uint32_t status = call.evaluate(0, wanted);
    if (status == 1) status = call.evaluate(1, text);
    if (status != 1) return status;
    size_t found = text.text.find(wanted.text);
    if (found == std::string::npos) found = text.text.size();
    return call.set_integer(static_cast<int32_t>(found));
}

// F$STRING(expression)
uint32_t lexical_string(LexicalCall& call) {
    ExprValue value;
    uint32_t status = call.evaluate(0, value);
    if (status != 1) return status;
    return call.set_string(value.text);
}

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// A string that reads as a number: signs, then a digit or "%" and a text
// the number converter accepts.
bool looks_like_integer(std::string_view text) {
    while (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '%')) return false;
    int32_t value = 0;
    return convert_dcl_number(value, text) == 1;
}

}  // namespace

// F$TYPE(symbol): the name is not evaluated. An undefined name gives the
// empty string; the lookup queues nothing, so the line does not fail.
uint32_t lexical_type(LexicalCall& call) {
    if (!call.given(0)) return cond::INSFARG;
    std::string value;
    uint32_t type = 0;
    if (!is_success(get_symbol_text(call.argument(0), value, type))) return call.set_string({});
    if (type & SYM_PROCESS_CONTEXT) return call.set_string("PROCESS_CONTEXT");
    if ((type & SYM_INTEGER) || looks_like_integer(trimmed(value)))
        return call.set_string("INTEGER");
    return call.set_string("STRING");
}

}  // namespace dcl
