// DEFINE and ASSIGN: logical names from the command line. DEFINE also
// stands for DEFINE/KEY, DEFINE/FORM and DEFINE/CHARACTERISTIC, chosen by
// a qualifier.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
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

constexpr uint32_t kNoNeg = KW_NO_NEGATE;
constexpr uint32_t kValue = KW_VALUE_ALLOWED;

// ASSIGN takes the first 11 records.
constexpr KeywordRecord kRows[] = {
    {"EXECUT", 0, qual::DEFINE_EXECUTIVE, ValueKind::unsupported},
    {"GROUP", 0, qual::DEFINE_GROUP, ValueKind::unsupported},
    {"JOB", 0, qual::DEFINE_JOB},
    {"LOG", 0, qual::DEFINE_LOG},
    {"NAME_A", kValue, qual::DEFINE_NAME_ATTRIBUTES, ValueKind::keyword_list,
     qual::DEFINE_NAME_ATTRIBUTES},
    {"PROCES", 0, qual::DEFINE_PROCESS},
    {"SUPERV", 0, qual::DEFINE_SUPERVISOR},
    {"SYSTEM", 0, qual::DEFINE_SYSTEM, ValueKind::unsupported},
    {"TABLE", KW_NEEDS_VALUE, qual::DEFINE_TABLE, ValueKind::text},
    {"TRANSL", kValue, qual::DEFINE_TRANSLATION_ATTRIBUTES, ValueKind::keyword_list,
     qual::DEFINE_TRANSLATION_ATTRIBUTES},
    {"USER", 0, qual::DEFINE_USER},
    {"CHARAC", kNoNeg, qual::DEFINE_CHARACTERISTIC, ValueKind::selector},
    {"FORM", kNoNeg, qual::DEFINE_FORM, ValueKind::selector},
    {"KEY", kNoNeg, qual::DEFINE_KEY, ValueKind::selector},
};
static_assert(std::size(kRows) == 14);
constexpr size_t kAssignRows = 11;

struct DefineRequest {
    uint32_t options = DEFINE_INITIAL_OPTIONS;
    std::string table;
    const ParsedParameter* name = nullptr;
    std::vector<std::string> values;  // raw texts, list commas removed
};

// NAME_ATTRIBUTES' words (CONFINE, NO_ALIAS) are accepted and change
// nothing; the parser has refused any other.
void apply_translation_attributes(uint32_t& options, const ParsedQualifier& q) {
    if (q.negated()) {
        options &= ~(DEFINE_OPT_CONCEALED | DEFINE_OPT_TERMINAL);
        return;
    }
    for (uint32_t code : q.keywords)
        options |= code == qual::TRANSLATION_CONCEALED ? DEFINE_OPT_CONCEALED : DEFINE_OPT_TERMINAL;
}

// The qualifiers in the order given: a later one overrides an earlier one.
DefineRequest read_qualifiers(const ParsedCommand& cmd) {
    DefineRequest request;
    uint32_t& options = request.options;
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        bool on = !q.negated();
        switch (q.code) {
        case qual::DEFINE_JOB:
            set_exclusive_flag(options, DEFINE_OPT_JOB, DEFINE_OPT_PROCESS | DEFINE_OPT_TABLE, on);
            break;
        case qual::DEFINE_PROCESS:
            set_exclusive_flag(options, DEFINE_OPT_PROCESS, DEFINE_OPT_JOB | DEFINE_OPT_TABLE, on);
            break;
        case qual::DEFINE_SUPERVISOR:
            set_exclusive_flag(options, DEFINE_OPT_SUPERVISOR, DEFINE_OPT_USER, on);
            break;
        case qual::DEFINE_USER: set_exclusive_flag(options, DEFINE_OPT_USER, DEFINE_OPT_SUPERVISOR, on); break;
        case qual::DEFINE_LOG: set_exclusive_flag(options, DEFINE_OPT_LOG, 0, on); break;
        case qual::DEFINE_TABLE:
            set_exclusive_flag(options, DEFINE_OPT_TABLE, DEFINE_OPT_JOB | DEFINE_OPT_PROCESS, on);
            if (on) request.table = q.value;
            break;
        case qual::DEFINE_TRANSLATION_ATTRIBUTES: apply_translation_attributes(options, q); break;
        default: break;
        }
    }
    return request;
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

// DEFINE name value[,value...]: the values are one list, which may begin
// with a comma. False after queueing.
bool read_define_parameters(const ParsedCommand& cmd, DefineRequest& request) {
    for (const ParsedParameter& p : cmd.parameters) {
        if (!request.name) {
            request.name = &p;
            continue;
        }
        // A second list after values that continued the name is one too many.
        if (p.group == 1 && !p.continues_list && !request.values.empty()) {
            extra_parameter(p.token);
            return false;
        }
        request.values.emplace_back(p.text);
    }
    return true;
}

// ASSIGN value[,value...] name: the name is the first word after the
// values that does not continue their list. False after queueing.
bool read_assign_parameters(const ParsedCommand& cmd, DefineRequest& request) {
    for (const ParsedParameter& p : cmd.parameters) {
        if (request.name) {
            extra_parameter(p.token);
            return false;
        }
        if (p.group == 0)
            request.values.emplace_back(p.text);
        else
            request.name = &p;
    }
    return true;
}

uint32_t run_request(const DefineRequest& request) {
    return define_logical(request.options, request.table, request.name->text, request.values);
}

}  // namespace

const KeywordTable kDefineQualifiers{verb::DEFINE, kRows};
const KeywordTable kAssignQualifiers{verb::ASSIGN, std::span(kRows).first(kAssignRows)};

void set_exclusive_flag(uint32_t& options, uint32_t bit, uint32_t excluded, bool on) {
    if (!on) {
        options &= ~bit;
        return;
    }
    options |= bit;
    options &= ~excluded;
}

std::optional<StandardStream> standard_stream_named(std::string_view name) {
    if (name == "SYS$INPUT") return STREAM_INPUT;
    if (name == "SYS$OUTPUT") return STREAM_OUTPUT;
    if (name == "SYS$ERROR") return STREAM_ERROR;
    return std::nullopt;
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

uint32_t define_command(const ParsedCommand& cmd, CommandStreams&) {
    DefineRequest request = read_qualifiers(cmd);
    if (!read_define_parameters(cmd, request)) return 0;
    if (!request.name) return ask_for(cmd, 0);
    if (request.values.empty()) return ask_for(cmd, 1);
    return run_request(request);
}

uint32_t assign_command(const ParsedCommand& cmd, CommandStreams&) {
    DefineRequest request = read_qualifiers(cmd);
    if (!read_assign_parameters(cmd, request)) return 0;
    if (request.values.empty()) return ask_for(cmd, 0);
    if (!request.name) return ask_for(cmd, 1);
    return run_request(request);
}

}  // namespace dcl
