// Qualifier walking and value parsers shared by the command handlers.
#include "lang/qualifiers.h"

#include <cctype>

#include <unistd.h>

#include "files/protection.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

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

namespace dcl {

namespace {

constexpr size_t kMaxListItems = 16;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Splits at commas outside double quotes.
std::vector<std::string_view> split_list(std::string_view s) {
    std::vector<std::string_view> items;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i < s.size() && s[i] == '"') quoted = !quoted;
        if (i == s.size() || (s[i] == ',' && !quoted)) {
            items.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    return items;
}

// The raw list after "=", parentheses removed. False after queueing.
bool list_value(std::string& value, std::string_view text, bool& present) {
    size_t eq = text.find('=');
    present = eq != std::string_view::npos;
    value.clear();
    if (!present) return true;
    value = text.substr(eq + 1);
    if (value.empty()) {
        signal_condition(cond::VALREQ);
        return false;
    }
    bool parenthesised = value.front() == '(';
    if (!strip_parentheses(value)) return false;
    if (!parenthesised && value.find(',') != std::string::npos) {
        signal_condition(cond::PARMDEL, ",");
        return false;
    }
    return true;
}

// Access letters of one protection class: R 4, W and D 2, E 1.
bool protection_access(int& bits, std::string_view letters) {
    bits = 0;
    for (char c : letters) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'R': bits |= 4; break;
        case 'W':
        case 'D': bits |= 2; break;
        case 'E': bits |= 1; break;
        default:
            signal_condition(cond::IVPROT, letters);
            return false;
        }
    }
    return true;
}

// Which digit a class word sets: 2 owner, 1 group, 0 world, -1 system.
bool protection_class(int& place, std::string_view word) {
    std::string upper;
    for (char c : word) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    struct Class {
        std::string_view name;
        int place;
    } classes[] = {{"WORLD", 0}, {"GROUP", 1}, {"OWNER", 2}, {"SYSTEM", -1}};
    for (const Class& c : classes) {
        if (!upper.empty() && upper.size() <= c.name.size() && c.name.substr(0, upper.size()) == upper) {
            place = c.place;
            return true;
        }
    }
    signal_condition(cond::IVKEYW, word);
    return false;
}

}  // namespace

bool qualifier_value_list(std::vector<std::string>& items, std::string_view text, bool unquote) {
    items.clear();
    std::string value;
    bool present = false;
    if (!list_value(value, text, present)) return false;
    if (!present) return true;
    for (std::string_view item : split_list(value)) {
        if (items.size() == kMaxListItems) {
            signal_condition(cond::MAXPARM, item);
            return false;
        }
        item = trimmed(item);
        items.push_back(unquote ? remove_quotes(item) : std::string(item));
    }
    return true;
}

bool parse_protection(int& code, std::string_view text) {
    int digits[3] = {8, 8, 8};  // world, group, owner
    code = 888;
    std::string value;
    bool present = false;
    if (!list_value(value, text, present)) return false;
    if (!present) return true;
    value = remove_quotes(value);
    std::vector<std::string_view> items = split_list(value);
    if (items.size() > kMaxListItems) {
        signal_condition(cond::MAXPARM, items[kMaxListItems]);
        return false;
    }
    for (std::string_view item : items) {
        static constexpr CharSet kValueMark("=:");
        size_t sep = kValueMark.find_in(item);
        int place = 0, bits = 0;
        if (!protection_class(place, trimmed(item.substr(0, sep)))) return false;
        if (sep != std::string_view::npos) {
            std::string_view letters = trimmed(item.substr(sep + 1));
            if (letters.empty()) {
                signal_condition(cond::VALREQ);
                return false;
            }
            if (!protection_access(bits, letters)) return false;
        }
        if (place >= 0) digits[place] = bits;
    }
    code = digits[2] * 100 + digits[1] * 10 + digits[0];
    return true;
}

bool qualifier_string(std::string& value, uint32_t& options, std::string_view text,
                      std::optional<std::string_view> fallback, uint32_t bit,
                      uint32_t result_flags, bool unquote) {
    if (result_flags & RESULT_NEGATED) {
        options &= ~bit;
        return true;
    }
    options |= bit;
    if (!qualifier_value(value, text, unquote)) return false;
    if (!value.empty()) return true;
    if (!fallback) {
        signal_condition(cond::VALREQ, text.substr(1));
        return false;
    }
    value = *fallback;
    return true;
}

bool qualifier_number(int64_t& value, uint32_t& options, std::string_view text, int64_t fallback,
                      uint32_t bit, uint32_t result_flags) {
    if (result_flags & RESULT_NEGATED) {
        options &= ~bit;
        return true;
    }
    options |= bit;
    size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        value = fallback;
        return true;
    }
    std::string_view number = text.substr(eq + 1);
    if (uint32_t status = parse_number(value, number); !is_success(status)) {
        signal_condition(status, number);
        return false;
    }
    return true;
}

bool qualifier_time(VmsTime& time, uint32_t& options, std::string_view text, uint32_t bit,
                    uint32_t result_flags) {
    if (result_flags & RESULT_NEGATED) {
        options &= ~bit;
        return true;
    }
    options |= bit;
    std::string value;
    if (!qualifier_value(value, text, true)) return false;
    return parse_time(time, value.empty() ? std::string_view("TODAY") : std::string_view(value)) == 1;
}

// The UIC "[group,member]" holds a comma, so its value is taken whole
// rather than through qualifier_value, which refuses lists.
bool qualifier_uic(Uic& uic, uint32_t& options, std::string_view text, uint32_t bit,
                   uint32_t result_flags) {
    if (result_flags & RESULT_NEGATED) {
        options &= ~bit;
        return true;
    }
    options |= bit;
    size_t eq = text.find('=');
    std::string value = eq == std::string_view::npos ? std::string() : remove_quotes(text.substr(eq + 1));
    if (value.empty()) {
        uic = Uic{static_cast<uint32_t>(getegid()), static_cast<uint32_t>(geteuid())};
        return true;
    }
    uint32_t group = 0, user = 0;
    if (uint32_t status = parse_uic(group, user, value); status != 1) {
        signal_condition(status, value);
        return false;
    }
    uic = Uic{group, user};
    return true;
}

}  // namespace dcl
