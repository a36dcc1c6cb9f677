// F$FAO, F$MESSAGE and F$UNIQUE: texts built from arguments, from the
// message database, and from the process and the clock.
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "lang/fao.h"
#include "lang/lexical_functions.h"
#include "status/builtin_tables.h"
#include "status/condition.h"
#include "status/message_files.h"
#include "status/messages.h"

namespace dcl {

namespace {

// !%I: the group of the UIC's upper half and the user of its lower half,
// as F$IDENTIFIER numbers them.
bool unix_identifier_names(uint32_t uic, std::string& group, std::string& user) {
    std::vector<char> buffer(16384);
    struct group g{};
    struct group* found_group = nullptr;
    if (getgrgid_r(uic >> 16, &g, buffer.data(), buffer.size(), &found_group) != 0 ||
        found_group == nullptr)
        return false;
    group = found_group->gr_name;
    struct passwd p{};
    struct passwd* found_user = nullptr;
    if (getpwuid_r(uic & 0xFFFFu, &p, buffer.data(), buffer.size(), &found_user) != 0 ||
        found_user == nullptr)
        return false;
    user = found_user->pw_name;
    return true;
}

// Components of F$MESSAGE: a comma-separated list of part names, case-blind,
// blanks ignored. Returns false after queueing IVKEYW for an unknown one.
bool message_parts(std::string_view list, DisplayOptions& parts) {
    parts = {false, false, false, false};
    while (true) {
        size_t comma = list.find(',');
        std::string name;
        for (char c : list.substr(0, comma))
            if (!is_blank(c)) name.push_back(ascii_upper(c));
        if (name == "FACILITY") parts.facility = true;
        else if (name == "SEVERITY") parts.severity = true;
        else if (name == "IDENT") parts.ident = true;
        else if (name == "TEXT") parts.text = true;
        else if (!name.empty()) {
            signal_condition(cond::IVKEYW, name);
            return false;
        }
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

bool is_builtin_message(uint32_t value) {
    for (uint32_t key : {value & 0x1FFFFFF8u, value & MESSAGE_NUMBER_MASK})
        for (const BuiltinMessage& m : builtin_messages())
            if (m.value == key) return true;
    return false;
}

// The message of `value` with the chosen parts, whatever SET MESSAGE says.
// Database texts keep their directives, as nothing fills them here.
std::string message_text(uint32_t value, const DisplayOptions& d) {
    uint32_t code = value & 0x0FFFFFFFu;  // the control bits name no message
    if (is_builtin_message(code)) {
        std::string line = format_condition(QueuedCondition{code, {}, {}}, d);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        return line;
    }
    unsigned parts = (d.facility ? PART_FACILITY : 0u) | (d.severity ? PART_SEVERITY : 0u) |
                     (d.ident ? PART_IDENT : 0u) | (d.text ? PART_TEXT : 0u);
    std::string text;
    get_message_text(text, value, parts);
    show_cli_as_dcl(text);
    return text;
}

}  // namespace

// F$FAO(control[,argument...])
uint32_t lexical_fao(LexicalCall& call) {
    ExprValue control;
    if (uint32_t status = call.evaluate(0, control); status != 1) return status;
    std::vector<FaoArgument> arguments;
    for (size_t i = 1; i < call.count && i < LexicalCall::kMaxArguments; ++i) {
        ExprValue value;
        if (uint32_t status = call.evaluate(i, value); status != 1) return status;
        FaoArgument& argument = arguments.emplace_back(std::string_view(value.text));
        argument.integer = value.integer;
    }
    FaoEnvironment environment{current_time(), unix_identifier_names};
    std::string text;
    FaoResult result = format_fao(text, control.text, arguments, environment);
    if (result.status == cond::IVKEYW) {
        signal_condition(cond::IVKEYW, result.directive);
        return 0;
    }
    if (result.status != 1) return result.status;
    return call.set_string(text);
}

// F$MESSAGE(code[,components])
uint32_t lexical_message(LexicalCall& call) {
    ExprValue code;
    if (uint32_t status = call.evaluate(0, code); status != 1) return status;
    DisplayOptions parts;
    if (call.given(1)) {
        ExprValue list;
        if (uint32_t status = call.evaluate(1, list); status != 1) return status;
        if (!message_parts(list.text, parts)) return 0;
    }
    return call.set_string(message_text(static_cast<uint32_t>(code.integer), parts));
}

// F$UNIQUE(): the process id, the clock in microseconds and a count, in
// upper-case hexadecimal: 25 characters, a valid file name.
uint32_t lexical_unique(LexicalCall& call) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    auto micro = static_cast<unsigned long long>(now.tv_sec) * 1000000ull +
                 static_cast<unsigned long long>(now.tv_nsec / 1000);
    char text[48];
    std::snprintf(text, sizeof text, "%08X%013llX%04X", static_cast<unsigned>(getpid()),
                  micro & 0xFFFFFFFFFFFFFull, unique_names().issued++ & 0xFFFFu);
    return call.set_string(text);
}

}  // namespace dcl
