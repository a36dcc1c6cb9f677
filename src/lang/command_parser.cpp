// The one walk over a command's tokens that every handler relies on.
#include "lang/command_parser.h"

#include <optional>

#include "lang/qualifiers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

const ParsedQualifier* ParsedCommand::find(uint32_t code) const {
    for (size_t i = count_; i-- > 0;)
        if (pool_[i].code == code) return &pool_[i];
    return nullptr;
}

uint32_t ParsedCommand::last_of(std::initializer_list<uint32_t> codes) const {
    for (size_t i = count_; i-- > 0;)
        for (uint32_t code : codes)
            if (pool_[i].code == code) return code;
    return 0;
}

bool ParsedCommand::flag(uint32_t code, bool otherwise) const {
    const ParsedQualifier* q = find(code);
    return q ? !q->negated() : otherwise;
}

const ParsedParameter* ParsedCommand::parameter(size_t group) const {
    for (const ParsedParameter& p : parameters)
        if (p.group == group) return &p;
    return nullptr;
}

std::span<const Token> ParsedCommand::rest() const {
    std::span<const Token> all(tokens->tokens);
    return verb_index + 1 < all.size() ? all.subspan(verb_index + 1) : std::span<const Token>();
}

void ParsedCommand::clear(const CommandRow* r, const TokenList* list, size_t verb) {
    row = r;
    tokens = list;
    verb_index = verb;
    parameters.clear();
    complete = false;
    output_wanted = true;
    count_ = 0;
}

// Entries are kept from command to command so that their strings keep
// their storage.
ParsedQualifier& ParsedCommand::add_qualifier() {
    if (count_ == pool_.size()) pool_.emplace_back();
    ParsedQualifier& q = pool_[count_++];
    q.value.clear();
    q.items.clear();
    q.keywords.clear();
    q.keyword = 0;
    q.number = 0;
    q.uic = {};
    q.protection = 888;
    return q;
}

namespace {

std::string_view typed_name(std::string_view token) {
    if (!token.empty() && token.front() == '/') token.remove_prefix(1);
    return token.substr(0, token.find('='));
}

// A string value, or the row's fallback when none is typed.
bool read_string(ParsedQualifier& q, bool unquote) {
    uint32_t ignored_options = 0;
    std::optional<std::string_view> fallback;
    if (q.row->fallback) fallback = q.row->fallback;
    return qualifier_string(q.value, ignored_options, q.token, fallback, 1, q.flags, unquote);
}

bool read_keyword(ParsedQualifier& q) {
    if (!qualifier_value(q.value, q.token, true)) return false;
    uint32_t flags = 0;
    q.keyword = lookup_keyword(q.value, q.row->values, flags);
    return q.keyword != 0;
}

bool read_keyword_list(ParsedQualifier& q) {
    if (q.negated()) return true;
    if (!qualifier_value_list(q.items, q.token, false)) return false;
    for (std::string item : q.items) {
        uint32_t flags = 0;
        uint32_t code = lookup_keyword(item, q.row->values, flags);
        if (code == 0) return false;
        q.keywords.push_back(code);
    }
    return true;
}

// Reads the value by the kind of the qualifier's row. False after queueing.
bool read_value(ParsedQualifier& q) {
    uint32_t ignored_options = 0;
    switch (q.row->kind) {
    case ValueKind::flag:
        if (!q.has_value()) return true;
        signal_condition(cond::NOVALU, upper_ascii(q.name) + "=");
        return false;
    case ValueKind::text: return read_string(q, false);
    case ValueKind::string:
    case ValueKind::file_spec: return read_string(q, true);
    case ValueKind::list: return q.negated() || qualifier_value_list(q.items, q.token, false);
    case ValueKind::keyword: return read_keyword(q);
    case ValueKind::keyword_list: return read_keyword_list(q);
    case ValueKind::number: {
        int64_t fallback = 0;
        if (q.row->fallback) parse_number(fallback, q.row->fallback);
        return qualifier_number(q.number, ignored_options, q.token, fallback, 1, q.flags);
    }
    case ValueKind::time: return qualifier_time(q.time, ignored_options, q.token, 1, q.flags);
    case ValueKind::uic: return qualifier_uic(q.uic, ignored_options, q.token, 1, q.flags);
    case ValueKind::protection: return q.negated() || parse_protection(q.protection, q.token);
    case ValueKind::unsupported: return !unsupported_qualifier(q.token);
    case ValueKind::output:
    case ValueKind::selector:
    case ValueKind::ignored: return true;
    }
    return true;
}

bool read_qualifier(const Token& t, const CommandRow& row, ParsedCommand& out) {
    if (!row.qualifiers || row.has(CMD_NO_QUALIFIERS)) {
        signal_condition(cond::NOQUAL, std::string_view(t.text).substr(1));
        return false;
    }
    uint32_t flags = 0;
    const KeywordRecord* record = match_qualifier(t.text, row.qualifiers, flags);
    if (!record) return false;
    ParsedQualifier& q = out.add_qualifier();
    q.row = record;
    q.code = record->code;
    q.flags = flags;
    q.token = t.text;
    q.name = typed_name(t.text);
    q.after_parameters = out.groups();
    if (read_value(q) && (!row.apply_each || row.apply_each(q))) return true;
    out.drop_last_qualifier();
    return false;
}

// Where the tokenizer splits words at commas, a comma continues the
// parameter before it when the command takes lists, and is one parameter
// too many elsewhere. Other rules keep commas as text.
bool add_parameter(const Token& t, const CommandRow& row, ParsedCommand& out) {
    std::string_view text = t.text;
    if (row.has(CMD_WORDS_AFTER_FIRST)) {
        if (text.starts_with(',')) text.remove_prefix(1);
        if (!text.empty()) out.parameters.push_back({t.text, text, false, static_cast<uint16_t>(out.groups())});
        return true;
    }
    bool split_at_commas = row.tokens == TokenRule::words || row.tokens == TokenRule::keyword_first;
    bool comma = split_at_commas && !text.empty() && text.front() == ',';
    bool joins = comma && row.has(CMD_LISTS) && !out.parameters.empty();
    size_t group = joins ? out.parameters.back().group : out.groups();
    bool too_many = row.max_parameters != CommandRow::kAnyNumber && group >= row.max_parameters;
    if (too_many || (comma && !joins)) {
        extra_parameter(t.text);
        return false;
    }
    if (joins) text.remove_prefix(1);
    out.parameters.push_back({t.text, text, comma, static_cast<uint16_t>(group)});
    return true;
}

const KeywordRecord* selector_record(const CommandRow& row, uint32_t code) {
    if (!row.qualifiers) return nullptr;
    for (const KeywordRecord& r : row.qualifiers->records)
        if (r.code == code) return &r;
    return nullptr;
}

// The form whose selecting qualifier the typed name stands for.
const CommandForm* form_named(const CommandRow& row, std::string_view token) {
    std::string name = upper_ascii(typed_name(token).substr(0, kMaxQualifierName));
    for (const CommandForm& form : row.forms) {
        const KeywordRecord* r = selector_record(row, form.selector);
        if (r && keyword_matches(name, r->name)) return &form;
    }
    return nullptr;
}

const CommandForm* form_selected_by(const CommandRow& row, uint32_t code) {
    for (const CommandForm& form : row.forms)
        if (form.selector == code) return &form;
    return nullptr;
}

// DEFINE: the first qualifier that names a form selects it; qualifiers
// before it were meant for DEFINE itself, and the user is told they are
// ignored.
FormChoice choose_form_by_name(const TokenList& tokens, size_t verb_index, const CommandRow& row) {
    bool qualifier_seen = false;
    for (size_t i = verb_index + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.type != TOKEN_QUALIFIER) continue;
        const CommandForm* form = form_named(row, t.text);
        if (!form) {
            qualifier_seen = true;
            continue;
        }
        if (qualifier_seen) {
            signal_condition(cond::IGNQUAL,
                             upper_ascii(typed_name(t.text).substr(0, kMaxQualifierName)));
            show_messages();
        }
        // The lookup reports a value or a "NO" given to the selector.
        uint32_t flags = 0;
        bool failed = match_qualifier(t.text, row.qualifiers, flags) == nullptr;
        return {form, i, failed};
    }
    return {};
}

// DELETE: each qualifier is looked up in the verb's table until one selects.
FormChoice choose_form_by_lookup(const TokenList& tokens, size_t verb_index, const CommandRow& row) {
    for (size_t i = verb_index + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.type != TOKEN_QUALIFIER) continue;
        uint32_t flags = 0;
        const KeywordRecord* r = match_qualifier(t.text, row.qualifiers, flags);
        if (!r) return {nullptr, SIZE_MAX, true};
        if (const CommandForm* form = form_selected_by(row, r->code)) return {form, i, false};
    }
    return {};
}

}  // namespace

FormChoice choose_form(const TokenList& tokens, size_t verb_index, const CommandRow& row) {
    switch (row.form_rule) {
    case FormRule::by_name: return choose_form_by_name(tokens, verb_index, row);
    case FormRule::by_lookup: return choose_form_by_lookup(tokens, verb_index, row);
    case FormRule::none: break;
    }
    return {};
}

bool parse_command(const TokenList& tokens, size_t verb_index, const CommandRow& row,
                   ParsedCommand& out, size_t skip, size_t ignore_up_to) {
    out.clear(&row, &tokens, verb_index);
    if (row.has(CMD_RAW)) return out.complete = true;
    for (size_t i = verb_index + 1; i < tokens.size(); ++i) {
        if (i == skip) continue;
        const Token& t = tokens[i];
        bool ok = true;
        if (t.type == TOKEN_QUALIFIER && !(row.has(CMD_WORDS_AFTER_FIRST) && !out.parameters.empty())) {
            if (i < ignore_up_to) continue;
            ok = read_qualifier(t, row, out);
        } else {
            ok = add_parameter(t, row, out);
        }
        if (!ok) return false;
    }
    return out.complete = true;
}

}  // namespace dcl
