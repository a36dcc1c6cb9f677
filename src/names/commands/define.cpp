// DEFINE and ASSIGN: logical names from the command line. DEFINE also
// stands for DEFINE/KEY, DEFINE/FORM and DEFINE/CHARACTERISTIC, chosen by
// a qualifier.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_state.h"
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/commands/logical_commands.h"
#include "names/key_definitions.h"
#include "names/logical_names.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

// DCL informational messages shown at once (facility 3, severity I).
constexpr uint32_t kDclInformational = 0x30003;

// The longest qualifier name worth comparing; keyword lookups stop there too.
constexpr size_t kMaxTypedQualifier = 19;

// "/NAME=value" -> "NAME", upper case.
std::string qualifier_name(std::string_view token_text) {
    if (!token_text.empty() && token_text.front() == '/') token_text.remove_prefix(1);
    token_text = token_text.substr(0, std::min(token_text.find('='), kMaxTypedQualifier));
    std::string name;
    for (char c : token_text) name.push_back(upper_ascii(c));
    return name;
}

struct DefineRequest {
    uint32_t options = DEFINE_INITIAL_OPTIONS;
    std::string table;
    const Token* name = nullptr;
    std::vector<std::string> values;  // raw texts, list commas removed
};

// /NAME_ATTRIBUTES: CONFINE and NO_ALIAS are accepted and change nothing;
// any other word (SUPERSEDE included) is refused by the keyword lookup.
bool apply_name_attributes(std::string_view token_text, uint32_t result_flags) {
    if (result_flags & RESULT_NEGATED) return true;
    std::vector<std::string> items;
    if (!qualifier_value_list(items, token_text, false)) return false;
    for (std::string& item : items) {
        uint32_t item_flags = 0;
        if (lookup_keyword(item, qual::DEFINE_NAME_ATTRIBUTES, item_flags) == 0) return false;
    }
    return true;
}

bool apply_translation_attributes(uint32_t& options, std::string_view token_text,
                                  uint32_t result_flags) {
    if (result_flags & RESULT_NEGATED) {
        options &= ~(DEFINE_OPT_CONCEALED | DEFINE_OPT_TERMINAL);
        return true;
    }
    std::vector<std::string> items;
    if (!qualifier_value_list(items, token_text, false)) return false;
    for (std::string& item : items) {
        uint32_t item_flags = 0;
        uint32_t code = lookup_keyword(item, qual::DEFINE_TRANSLATION_ATTRIBUTES, item_flags);
        if (code == 0) return false;
        options |= code == qual::TRANSLATION_CONCEALED ? DEFINE_OPT_CONCEALED : DEFINE_OPT_TERMINAL;
    }
    return true;
}

bool apply_define_qualifier(DefineRequest& request, uint32_t code, std::string_view token,
                            uint32_t flags) {
    uint32_t& options = request.options;
    switch (code) {
    case qual::DEFINE_JOB:
        return apply_exclusive_flag(options, DEFINE_OPT_JOB, DEFINE_OPT_PROCESS | DEFINE_OPT_TABLE,
                                    flags, token);
    case qual::DEFINE_PROCESS:
        return apply_exclusive_flag(options, DEFINE_OPT_PROCESS, DEFINE_OPT_JOB | DEFINE_OPT_TABLE,
                                    flags, token);
    case qual::DEFINE_SUPERVISOR:
        return apply_exclusive_flag(options, DEFINE_OPT_SUPERVISOR, DEFINE_OPT_USER, flags, token);
    case qual::DEFINE_USER:
        return apply_exclusive_flag(options, DEFINE_OPT_USER, DEFINE_OPT_SUPERVISOR, flags, token);
    case qual::DEFINE_LOG:
        return apply_flag(options, DEFINE_OPT_LOG, flags, qualifier_name(token));
    case qual::DEFINE_TABLE:
        if (!qualifier_string(request.table, options, token, std::nullopt, DEFINE_OPT_TABLE, flags,
                              false))
            return false;
        if (options & DEFINE_OPT_TABLE) options &= ~(DEFINE_OPT_JOB | DEFINE_OPT_PROCESS);
        return true;
    case qual::DEFINE_NAME_ATTRIBUTES:
        return apply_name_attributes(token, flags);
    case qual::DEFINE_TRANSLATION_ATTRIBUTES:
        return apply_translation_attributes(options, token, flags);
    default:
        return !unsupported_qualifier(token);
    }
}

bool comma_led(const Token& t) { return !t.text.empty() && t.text.front() == ','; }

std::string without_list_comma(const Token& t) { return comma_led(t) ? t.text.substr(1) : t.text; }

// DEFINE name value[,value...]: a comma-led first value loses its comma.
bool add_define_parameter(DefineRequest& request, const Token& t) {
    if (!request.name) {
        if (comma_led(t)) {
            extra_parameter(t.text);
            return false;
        }
        request.name = &t;
    } else if (request.values.empty() || comma_led(t)) {
        request.values.push_back(without_list_comma(t));
    } else {
        extra_parameter(t.text);
        return false;
    }
    return true;
}

// ASSIGN value[,value...] name: the name is the first word after the
// values that does not continue their list.
bool add_assign_parameter(DefineRequest& request, const Token& t) {
    if (request.name) {
        extra_parameter(t.text);
        return false;
    }
    if (request.values.empty() || comma_led(t))
        request.values.push_back(without_list_comma(t));
    else
        request.name = &t;
    return true;
}

using ParameterRule = bool (*)(DefineRequest&, const Token&);

bool read_request(const CommandContext& cmd, uint32_t table_id, ParameterRule add_parameter,
                  DefineRequest& request) {
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        const Token& t = cmd.tokens[i];
        if (t.type == TOKEN_QUALIFIER) {
            uint32_t flags = 0;
            uint32_t code = lookup_qualifier(t.text, table_id, flags);
            if (code == 0 || !apply_define_qualifier(request, code, t.text, flags)) return false;
        } else if (!add_parameter(request, t)) {
            return false;
        }
    }
    return true;
}

void run_request(const DefineRequest& request) {
    signal_condition(define_logical(request.options, request.table, request.name->text,
                                    request.values));
}

enum class DefineForm { logical, key, form, characteristic };

// Which command a DEFINE qualifier selects. Typed names compare as the
// keyword lookup compares them: at most four characters count.
DefineForm form_selected_by(std::string_view token_text) {
    struct Selector {
        std::string_view keyword;
        DefineForm form;
    };
    constexpr std::array<Selector, 3> selectors{{{"CHARAC", DefineForm::characteristic},
                                                  {"FORM", DefineForm::form},
                                                  {"KEY", DefineForm::key}}};
    std::string name = qualifier_name(token_text);
    if (name.empty()) return DefineForm::logical;
    size_t significant = std::min<size_t>(name.size(), 4);
    for (const Selector& s : selectors)
        if (s.keyword.size() >= significant && name.compare(0, significant, s.keyword, 0, significant) == 0)
            return s.form;
    return DefineForm::logical;
}

struct FormChoice {
    DefineForm form = DefineForm::logical;
    size_t index = 0;  // token of the selecting qualifier
};

// The first pass over DEFINE's qualifiers. Qualifiers before the selecting
// one do not belong to the selected command: the user is told they are
// ignored, and the command goes on.
FormChoice choose_form(const CommandContext& cmd) {
    bool qualifier_seen = false;
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        const Token& t = cmd.tokens[i];
        if (t.type != TOKEN_QUALIFIER) continue;
        DefineForm form = form_selected_by(t.text);
        if (form == DefineForm::logical) {
            qualifier_seen = true;
            continue;
        }
        if (qualifier_seen) {
            signal_condition(cond::IGNQUAL, qualifier_name(t.text));
            show_messages();
        }
        return {form, i};
    }
    return {};
}

// Stores the values in order: the first replaces an earlier definition,
// the others are appended as further indexes. Values stored before a
// failure stay.
uint32_t store_values(uint32_t options, const std::string& table, const std::string& name,
                      std::span<const std::string> values) {
    bool upper_values =
        equal_nocase(name, "LNM$FILE_DEV") || equal_nocase(name, "LNM$DCL_LOGICAL");
    uint32_t shared = options & (DEFINE_OPT_CONCEALED | DEFINE_OPT_TERMINAL);
    for (size_t i = 0; i < values.size(); ++i) {
        std::string value = upper_values ? logical_name_argument(values[i]) : remove_quotes(values[i]);
        uint32_t attributes = shared | (i > 0 ? LNM_APPEND : 0);
        uint32_t status = lnm_create_name(table, name, value, nullptr, attributes);
        if (status == 1) continue;
        if (status == cond::SS_SUPERSEDE) {
            if (options & DEFINE_OPT_LOG)
                put_message(kDclInformational, "SUPERSEDE",
                            "previous value of " + name + " has been superseded");
            continue;
        }
        signal_condition(status, name);
        return 0;
    }
    return 1;
}

}  // namespace

std::optional<StandardStream> standard_stream_named(std::string_view name) {
    if (name == "SYS$INPUT") return STREAM_INPUT;
    if (name == "SYS$OUTPUT") return STREAM_OUTPUT;
    if (name == "SYS$ERROR") return STREAM_ERROR;
    return std::nullopt;
}

bool apply_exclusive_flag(uint32_t& options, uint32_t bit, uint32_t excluded,
                          uint32_t result_flags, std::string_view token_text) {
    if (!apply_flag(options, bit, result_flags, qualifier_name(token_text))) return false;
    if (options & bit) options &= ~excluded;
    return true;
}

uint32_t define_logical(uint32_t options, std::string_view table_text, std::string_view name_text,
                        std::span<const std::string> values) {
    std::string table = (options & DEFINE_OPT_JOB)     ? std::string("LNM$JOB")
                        : (options & DEFINE_OPT_TABLE) ? logical_name_argument(table_text)
                                                       : std::string("LNM$PROCESS");
    std::string name = logical_name_argument(name_text);
    if (table.starts_with("LNM$PROCESS")) {
        bool one_command = (options & DEFINE_OPT_USER) != 0;
        if (one_command) {
            table = "LNM$USERMODE";
            ++logical_name_store().usermode_definitions;
        }
        // The standard streams of the process are the redirection layer's
        // to keep: a plain name would redirect nothing.
        if (std::optional<StandardStream> stream = standard_stream_named(name)) {
            std::string file = values.empty() ? std::string() : remove_quotes(values.front());
            return define_stream(*stream, file, one_command);
        }
    }
    return store_values(options, table, name, values);
}

void define_command(CommandContext& cmd) {
    FormChoice choice = choose_form(cmd);
    if (choice.form != DefineForm::logical) {
        // The lookup reports a value or a /NO given to the selector.
        uint32_t flags = 0;
        if (lookup_qualifier(cmd.tokens[choice.index].text, verb::DEFINE, flags) == 0) return;
        if (choice.form == DefineForm::key)
            define_key_command(cmd, choice.index);
        else
            signal_condition(cond::NOTAVAIL);
        return;
    }
    DefineRequest request;
    if (!read_request(cmd, verb::DEFINE, add_define_parameter, request)) return;
    if (!request.name)
        ask_for_parameter("_Log name: ");
    else if (request.values.empty())
        ask_for_parameter("_Equ name: ");
    else
        run_request(request);
}

void assign_command(CommandContext& cmd) {
    DefineRequest request;
    if (!read_request(cmd, verb::ASSIGN, add_assign_parameter, request)) return;
    if (request.values.empty())
        ask_for_parameter("_Equ name: ");
    else if (!request.name)
        ask_for_parameter("_Log name: ");
    else
        run_request(request);
}

}  // namespace dcl
