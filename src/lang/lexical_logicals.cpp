// F$LOGICAL and F$TRNLNM: logical-name translations in expressions. A name
// that does not translate, in whatever way the store refuses it (no such
// name, no such table, an index out of range), yields the empty string:
// procedures probe names and tables that need not exist.
#include <array>
#include <string>
#include <string_view>

#include "lang/lexical_functions.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

// Set on names made by the old CRELOG service; the store never sets it,
// but the item exists and must answer.
constexpr uint32_t kCrelogAttribute = 0x4;

struct AttributeItem {
    std::string_view item;
    uint32_t bit;
};

constexpr std::array<AttributeItem, 6> kAttributeItems{{
    {"CONCEALED", LNM_CONCEALED}, {"CONFINE", LNM_CONFINE},   {"CRELOG", kCrelogAttribute},
    {"NO_ALIAS", LNM_NO_ALIAS},   {"TABLE", LNM_TABLE},       {"TERMINAL", LNM_TERMINAL},
}};

constexpr std::array<std::string_view, 5> kOtherItems{
    "ACCESS_MODE", "LENGTH", "MAX_INDEX", "TABLE_NAME", "VALUE",
};

constexpr std::array<std::string_view, 4> kModes{"USER", "SUPERVISOR", "EXECUTIVE", "KERNEL"};

struct TranslationRequest {
    std::string name;
    std::string table = "LNM$FILE_DEV";
    uint32_t index = 0;
    uint32_t case_attribute = LNM_CASE_BLIND;
    std::string item = "VALUE";
};

// An evaluated keyword argument with its blanks removed, in upper case;
// empty when the argument is absent.
uint32_t keyword_argument(const LexicalCall& call, size_t index, std::string& keyword) {
    keyword.clear();
    if (!call.given(index)) return 1;
    ExprValue value;
    uint32_t status = call.evaluate(index, value);
    if (status != 1) return status;
    for (char c : value.text)
        if (!is_blank(c)) keyword.push_back(ascii_upper(c));
    return 1;
}

template <size_t N>
bool listed(const std::array<std::string_view, N>& words, std::string_view word) {
    for (std::string_view w : words)
        if (w == word) return true;
    return false;
}

bool known_item(std::string_view item) {
    for (const AttributeItem& a : kAttributeItems)
        if (a.item == item) return true;
    return listed(kOtherItems, item);
}

// Mode, case and item: a word that is not one of the choices is refused
// with the word.
uint32_t read_keywords(const LexicalCall& call, TranslationRequest& request) {
    std::string word;
    if (uint32_t status = keyword_argument(call, 3, word); status != 1) return status;
    if (!word.empty() && !listed(kModes, word)) {
        signal_condition(cond::IVKEYW, word);
        return 0;
    }
    if (uint32_t status = keyword_argument(call, 4, word); status != 1) return status;
    if (word == "CASE_SENSITIVE") {
        request.case_attribute = 0;
    } else if (!word.empty() && word != "CASE_BLIND") {
        signal_condition(cond::IVKEYW, word);
        return 0;
    }
    if (uint32_t status = keyword_argument(call, 5, word); status != 1) return status;
    if (!word.empty() && !known_item(word)) {
        signal_condition(cond::IVKEYW, word);
        return 0;
    }
    if (!word.empty()) request.item = word;
    return 1;
}

uint32_t read_translation_arguments(const LexicalCall& call, TranslationRequest& request) {
    ExprValue value;
    if (uint32_t status = call.evaluate(0, value); status != 1) return status;
    request.name = value.text;
    if (call.given(1)) {
        if (uint32_t status = call.evaluate(1, value); status != 1) return status;
        std::string table = logical_name_argument(value.text);
        if (!table.empty()) request.table = table;
    }
    if (call.given(2)) {
        if (uint32_t status = call.evaluate(2, value); status != 1) return status;
        request.index = value.integer > 0 ? static_cast<uint32_t>(value.integer) : 0;
    }
    return read_keywords(call, request);
}

// The highest index of a search list. A table's own entry translates at
// every index; it counts as one value and ends the count.
uint32_t max_index(LexicalCall& call, const TranslationRequest& request) {
    uint32_t count = 0;
    uint32_t attributes = 0;
    while (count <= kMaxValueIndex) {
        if (lnm_translate(request.table, request.name, nullptr, nullptr, request.case_attribute,
                          count, &attributes) != 1)
            break;
        ++count;
        if (attributes & LNM_TABLE) break;
    }
    if (count == 0) return call.set_string({});
    return call.set_integer(static_cast<int32_t>(count - 1));
}

uint32_t translation_result(LexicalCall& call, const TranslationRequest& request) {
    std::string value, table;
    uint32_t attributes = 0;
    if (lnm_translate(request.table, request.name, &value, &table, request.case_attribute,
                      request.index, &attributes) != 1)
        return call.set_string({});
    const std::string& item = request.item;
    if (item == "VALUE") return call.set_string(value);
    if (item == "LENGTH") return call.set_integer(static_cast<int32_t>(value.size()));
    if (item == "TABLE_NAME") return call.set_string(upper_outside_quotes(table));
    if (item == "ACCESS_MODE") return call.set_string("UNKNOWN");
    for (const AttributeItem& a : kAttributeItems)
        if (a.item == item) return call.set_string((attributes & a.bit) ? "TRUE" : "FALSE");
    return call.set_string({});
}

}  // namespace

// F$LOGICAL(name): the first translation through LNM$FILE_DEV.
uint32_t lexical_logical(LexicalCall& call) {
    ExprValue name;
    if (uint32_t status = call.evaluate(0, name); status != 1) return status;
    std::string value;
    if (lnm_translate("LNM$FILE_DEV", name.text, &value, nullptr, LNM_CASE_BLIND, 0, nullptr) != 1)
        value.clear();
    return call.set_string(value);
}

// F$TRNLNM(name, table, index, mode, case, item).
uint32_t lexical_trnlnm(LexicalCall& call) {
    TranslationRequest request;
    if (uint32_t status = read_translation_arguments(call, request); status != 1) return status;
    if (request.item == "MAX_INDEX") return max_index(call, request);
    return translation_result(call, request);
}

}  // namespace dcl
