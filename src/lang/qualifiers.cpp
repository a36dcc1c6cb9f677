// Qualifier walking and value parsers shared by the command handlers.
#include "lang/qualifiers.h"

#include <cctype>

#include "core/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

bool unsupported_qualifier(std::string_view text) {
    std::string_view name = text.substr(!text.empty() && text[0] == '/' ? 1 : 0);
    name = name.substr(0, name.find('='));
    switch (cli_options().unsupported) {
    case UnsupportedPolicy::ignore:
        return false;
    case UnsupportedPolicy::inform:
        signal_condition(with_severity(cond::UNSUPQ, SEV_INFO), name);
        show_messages();
        return false;
    case UnsupportedPolicy::error:
        signal_condition(with_severity(cond::UNSUPQ, SEV_ERROR), name);
        return true;
    }
    return true;
}

void extra_parameter(std::string_view text) {
    signal_condition(!text.empty() && text[0] == ',' ? cond::NOLIST : cond::MAXPARM, text);
}

bool apply_flag(uint32_t& options, uint32_t bit, uint32_t result_flags, std::string_view name) {
    if (result_flags & 2) {
        signal_condition(cond::NOVALU, std::string(name) + "=");
        return false;
    }
    if (result_flags & 1)
        options &= ~bit;
    else
        options |= bit;
    return true;
}

std::string remove_quotes(std::string_view text) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '"') {
            out.push_back(c);
        } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
            out.push_back('"');
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return out;
}

bool strip_parentheses(std::string& value) {
    std::string compact;
    bool quoted = false;
    for (char c : value) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == ' ' || c == '\t')) continue;
        compact.push_back(c);
    }
    bool opens = !compact.empty() && compact.front() == '(';
    bool closes = !compact.empty() && compact.back() == ')';
    if (opens && !closes) {
        signal_condition(cond::PARENS, compact);
        return false;
    }
    if (closes && !opens) {
        signal_condition(cond::PARMDEL, ")");
        return false;
    }
    value = opens ? compact.substr(1, compact.size() - 2) : compact;
    return true;
}

bool qualifier_value(std::string& value, std::string_view text, bool unquote) {
    value.clear();
    size_t eq = text.find('=');
    if (eq == std::string_view::npos) return true;
    std::string_view raw = text.substr(eq + 1);
    raw = raw.substr(0, raw.find('='));
    if (raw.find(',') != std::string_view::npos) {
        if (!raw.empty() && raw[0] == '(')
            signal_condition(cond::ONEVAL, raw.substr(1));
        else
            signal_condition(cond::PARMDEL, ",");
        return false;
    }
    value = raw;
    if (!strip_parentheses(value)) return false;
    if (unquote) value = remove_quotes(value);
    return true;
}

uint32_t parse_number(int64_t& out, std::string_view text) {
    out = 0;
    std::string t;
    for (char c : text)
        if (c != ' ' && c != '\t') t.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (t.empty()) return 1;
    int base = 10;
    if (t.rfind("%d", 0) == 0) t.erase(0, 2);
    else if (t.rfind("%o", 0) == 0) base = 8, t.erase(0, 2);
    else if (t.rfind("%x", 0) == 0) base = 16, t.erase(0, 2);
    if (base == 10 && (t.empty() || !std::isdigit(static_cast<unsigned char>(t[0]))))
        return cond::NUMBER;
    int64_t value = 0;
    for (char c : t) {
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                                : 99;
        if (digit >= base) return cond::IVCHAR;
        value = value * base + digit;
        if (value > 0xFFFFFFFFll) return cond::NUMBER;  // beyond 32 bits
    }
    out = value;
    return 1;
}

}  // namespace dcl
