// Lines for the Unix shell: a word that is no DCL verb, and SHELL, UNIX
// and NT with the command text as their parameter.
#include <string>
#include <string_view>

#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/child.h"

namespace dcl {
namespace {

std::string_view trim(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The parameters after the verb, joined by blanks.
std::string parameter_text(const ParsedCommand& cmd) {
    std::string text;
    for (const ParsedParameter& p : cmd.parameters) {
        if (!text.empty()) text += ' ';
        text += p.text;
    }
    return text;
}

// Exit codes 0 and 1 are success; the others are reported.
uint32_t run_and_report(const std::string& command) {
    int code = unix_cmd(command);
    if (code > 1) signal_condition(cond::UNIXERR, std::to_string(code));
    return 1;
}

}  // namespace

uint32_t unix_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string command = (*cmd.tokens)[cmd.verb_index].text;
    std::string rest = parameter_text(cmd);
    if (!rest.empty()) command += ' ' + rest;
    return run_and_report(command);
}

uint32_t shell_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string full = parameter_text(cmd);
    std::string_view text = trim(full);
    if (text.empty()) return 1;
    // The shell's cd would only change the shell's directory: the
    // interpreter follows it itself.
    if (text.substr(0, 3) == "cd ") {
        uint32_t result = change_directory(trim(text.substr(3)));
        if (result != 0 && !is_success(result)) signal_condition(result);
    }
    return run_and_report(std::string(text));
}

}  // namespace dcl
