// F$EDIT(string, edit-list): the listed edits are applied in one fixed
// order, whatever the order of the list.
#include <array>
#include <string>
#include <string_view>

#include "lang/lexical_functions.h"
#include "lang/lexicals.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

bool same_keyword(std::string_view typed, std::string_view keyword) {
    if (typed.size() != keyword.size()) return false;
    for (size_t i = 0; i < typed.size(); ++i)
        if (ascii_upper(typed[i]) != keyword[i]) return false;
    return true;
}

// Removes white space outside quotes.
void collapse(std::string& text) {
    size_t n = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && is_blank(c)) continue;
        text[n++] = c;
    }
    text.resize(n);
}

// Runs of white space outside quotes become one blank.
void compress(std::string& text) {
    size_t n = 0;
    bool quoted = false;
    bool in_blanks = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && is_blank(c)) {
            if (!in_blanks) text[n++] = ' ';
            in_blanks = true;
            continue;
        }
        in_blanks = false;
        text[n++] = c;
    }
    text.resize(n);
}

void map_outside_quotes(std::string& text, char (*map)(char)) {
    bool quoted = false;
    for (char& c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted) c = map(c);
    }
}

void lowercase(std::string& text) { map_outside_quotes(text, ascii_lower); }
void upcase(std::string& text) { map_outside_quotes(text, ascii_upper); }

// Keeps the text before the first "!" outside quotes and brackets.
void uncomment(std::string& text) {
    bool quoted = false;
    bool bracketed = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '[') bracketed = true;
        if (c == ']') bracketed = false;
        if (c == '!' && !bracketed) {
            text.erase(i);
            return;
        }
    }
}

struct EditEntry {
    std::string_view keyword;
    void (*apply)(std::string& text);
};

// In the order the edits are applied.
constexpr std::array<EditEntry, 6> kEdits{{
    {"COLLAPSE", collapse},
    {"COMPRESS", compress},
    {"LOWERCASE", lowercase},
    {"TRIM", trim_blanks},
    {"UNCOMMENT", uncomment},
    {"UPCASE", upcase},
}};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// Which edits the list names, as bits in table order. Reports an unknown
// item and returns false.
bool parse_edit_list(std::string_view list, unsigned& selected) {
    std::string item;
    for (size_t index = 0; extract_field(item, index, ',', list); ++index) {
        std::string_view keyword = trimmed(item);
        size_t edit = 0;
        while (edit < kEdits.size() && !same_keyword(keyword, kEdits[edit].keyword)) ++edit;
        if (edit == kEdits.size()) {
            signal_condition(cond::IVKEYW, keyword);
            return false;
        }
        selected |= 1u << edit;
    }
    return true;
}

}  // namespace

uint32_t lexical_edit(LexicalCall& call) {
    ExprValue text, list;
    uint32_t status = call.evaluate(0, text);
    if (status == 1) status = call.evaluate(1, list);
    if (status != 1) return status;
    unsigned selected = 0;
    if (!parse_edit_list(list.text, selected)) return 0;
    for (size_t edit = 0; edit < kEdits.size(); ++edit)
        if (selected & (1u << edit)) kEdits[edit].apply(text.text);
    return call.set_string(text.text);
}

}  // namespace dcl
