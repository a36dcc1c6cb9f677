// Symbol substitution in command lines: 'name' (also inside quotes as
// ''name') and &name, and the labels at the start of a line.
#include <cctype>

#include "lang/lexer.h"
#include "lang/lexicals.h"
#include "names/symbols.h"
#include "status/command_source.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"

namespace dcl {

namespace {

// A symbol value may name another symbol in apostrophes; a value that
// names itself would be substituted for ever. Real procedures nest a few
// levels at most.
constexpr int kMaxSubstitutionPasses = 32;


// Characters of a substituted name. A double quote ends the name, so that
// "''p1" keeps its closing quote.
bool is_name_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '%' || c == '&' || c == '_' ||
           c == '$';
}

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool is_function_name(std::string_view name) {
    return name.size() > 2 && name[0] == 'F' && name[1] == '$' &&
           std::isalpha(static_cast<unsigned char>(name[2]));
}

// The argument list of a lexical function in a command line, from "(" to
// its ")": quoted sections whole, blank runs reduced to one blank.
uint32_t take_function_arguments(std::string& call, std::string_view line, size_t& i) {
    int depth = 0;
    bool quoted = false;
    while (i < line.size()) {
        char c = line[i];
        if (std::iscntrl(static_cast<unsigned char>(c)) && c != '\t') return cond::EXPSYN;
        ++i;
        if (c == '"') quoted = !quoted;
        if (!quoted && is_blank(c)) {
            if (call.back() != ' ') call.push_back(' ');
            continue;
        }
        call.push_back(c);
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return 1;
    }
    return cond::EXPSYN;
}

// Replaces a lexical function call by its value. Returns 1, or 0 after
// queueing the failure.
uint32_t substitute_function(std::string& out, std::string_view line, size_t& i,
                             std::string call) {
    uint32_t status = take_function_arguments(call, line, i);
    if (!is_success(status)) {
        signal_condition(status);
        return 0;
    }
    status = substitute_apostrophes(call, 0);
    if (!is_success(status)) {
        signal_condition(status);
        return 0;
    }
    std::string value;
    ValueType type = VALUE_STRING;
    status = call_lexical(value, type, call);
    if (!is_success(status)) {
        signal_condition(status);
        return 0;
    }
    out += value;
    return 1;
}

// One substitution starting at `i` (just after the apostrophes). Appends
// the replacement to `out`. Returns 1, or 0 after queueing a failure.
uint32_t substitute_one(std::string& out, std::string_view line, size_t& i) {
    std::string name;
    while (i < line.size() && is_name_char(line[i])) name.push_back(upper(line[i++]));
    size_t blanks = 0;
    while (i < line.size() && is_blank(line[i])) ++i, ++blanks;
    if (i < line.size() && line[i] == '(' && is_function_name(name)) {
        if (!substitute_function(out, line, i, name)) return 0;
        if (blanks == 0 && i < line.size() && line[i] == '\'') ++i;
        return 1;
    }
    if (blanks == 0 && i < line.size() && line[i] == '\'') ++i;
    std::string value;
    uint32_t type = 0;
    if (!name.empty() && get_symbol_text(name, value, type) == 1) {
        out += value;
        if (blanks > 0) out.push_back(' ');
    }
    return 1;
}

}  // namespace

uint32_t substitute_apostrophes(std::string& line, int depth) {
    for (int pass = depth; pass < kMaxSubstitutionPasses; ++pass) {
        if (line.size() > kMaxLineLength) return cond::BUFOVF;
        unmark_nonvms(line);
        if (line.find('\'') == std::string::npos) return 1;  // most lines: nothing to do
        std::string out;
        out.reserve(line.size());
        bool quoted = false;
        bool substituted = false;
        size_t i = 0;
        while (i < line.size()) {
            char c = line[i];
            if (c == '"') quoted = !quoted;
            if (c == '!' && !quoted) {
                out.append(line, i);
                break;
            }
            bool starts = c == '\'' && (!quoted || (pass == 0 && i + 1 < line.size() &&
                                                    line[i + 1] == '\''));
            if (!starts) {
                out.push_back(c);
                ++i;
                continue;
            }
            while (i < line.size() && line[i] == '\'') ++i;
            if (!substitute_one(out, line, i)) return 0;
            substituted = true;
        }
        line = std::move(out);
        if (!substituted) return line.size() > kMaxLineLength ? cond::BUFOVF : 1;
    }
    return cond::BUFOVF;
}

}  // namespace dcl

namespace dcl {

namespace {

bool starts_ampersand_name(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// "&name": the symbol's value, or nothing when it is undefined. `i` is at
// the "&".
void substitute_ampersand(std::string& out, std::string_view line, size_t& i) {
    ++i;
    if (i >= line.size() || !starts_ampersand_name(line[i])) return;
    std::string name;
    while (i < line.size() && is_name_char(line[i]) && name.size() < kMaxNameLength)
        name.push_back(upper(line[i++]));
    std::string value;
    uint32_t type = 0;
    if (get_symbol_text(name, value, type) == 1) out += value;
}

// A first word followed by a lone ":" is a label. On success appends
// "word: " and moves `i` past the colon.
bool take_label(std::string& out, std::string_view line, size_t& i) {
    char c = line[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    static constexpr CharSet kLabelEnd("!:=/ \t");
    size_t end = kLabelEnd.find_in(line, i);
    if (end == std::string_view::npos) return false;
    size_t colon = end;
    while (colon < line.size() && is_blank(line[colon])) ++colon;
    if (colon >= line.size() || line[colon] != ':') return false;
    if (colon + 1 < line.size() && line[colon + 1] == '=') return false;
    out.append(line.substr(i, end - i));
    out += ": ";
    i = colon + 1;
    return true;
}

size_t skip_leading_dollars(std::string_view line) {
    size_t i = 0;
    if (session().interactive && command_source().depth <= 0) {
        while (i < line.size() && (line[i] == '$' || is_blank(line[i]))) ++i;
        return i;
    }
    if (i < line.size() && line[i] == '$') ++i;
    while (i < line.size() && is_blank(line[i])) ++i;
    return i;
}

}  // namespace

uint32_t substitute_ampersands(std::string& line, size_t& labels) {
    labels = 0;
    if (line.size() > kMaxLineLength) return cond::BUFOVF;
    size_t i = skip_leading_dollars(line);
    // Most lines hold no "&", comment or label: only the dollars go.
    static constexpr CharSet kSpecial("&!:");
    if (kSpecial.find_in(line, i) == std::string::npos) {
        line.erase(0, i);
        return 1;
    }
    std::string out;
    out.reserve(line.size());
    bool first_word = true;
    while (i < line.size()) {
        char c = line[i];
        if (is_blank(c)) {
            if (!first_word) out.push_back(c);
            else if (!out.empty() && out.back() != ' ') out.push_back(' ');
            ++i;
            continue;
        }
        if (c == '!') break;
        if (c == '&') {
            substitute_ampersand(out, line, i);
            first_word = false;
            continue;
        }
        if (first_word && take_label(out, line, i)) {
            ++labels;
            continue;
        }
        first_word = false;
        if (c == '"') {
            size_t close = line.find('"', i + 1);
            size_t end = close == std::string::npos ? line.size() : close + 1;
            out.append(line, i, end - i);
            i = end;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    line = std::move(out);
    return line.size() > kMaxLineLength ? cond::BUFOVF : 1;
}

}  // namespace dcl
