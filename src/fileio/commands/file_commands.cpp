// Channel names, label jumps and lines of the standard input streams for
// the file commands.
#include "fileio/commands/file_commands.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "fileio/open_files.h"
#include "lang/command_parser.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/streams.h"
#include "status/text.h"
#include "tty/line_editor.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

// One byte of `in`, again after an interruption that asked for nothing;
// EOF at the end, -2 when an interrupt is pending.
int next_byte(FILE* in) {
    for (;;) {
        int c = getc_unlocked(in);
        if (c != EOF) return c;
        if (!ferror(in) || errno != EINTR) {
            clearerr_unlocked(in);
            return EOF;
        }
        clearerr_unlocked(in);
        if (interrupt_requested()) return -2;
    }
}

// The next line of a stream. With `dollar_ends` a line beginning with
// "$" is not taken: it is put back and the data are at their end.
uint32_t read_stream_line(FILE* in, bool dollar_ends, std::string& line) {
    line.clear();
    int c = next_byte(in);
    if (c == -2) return 0;
    if (c == EOF) return cond::RMS_EOF;
    if (c == '$' && dollar_ends) {
        ungetc(c, in);
        return cond::RMS_EOF;
    }
    bool too_long = false;
    while (c != '\n' && c != EOF) {
        if (c == -2) return 0;
        if (line.size() < kMaxRecordLength) line.push_back(static_cast<char>(c));
        else too_long = true;
        c = next_byte(in);
    }
    return too_long ? cond::RTB : 1;
}

uint32_t read_terminal_line(std::string_view prompt, std::string& line) {
    line.clear();
    uint32_t status = getline(prompt, line);
    return status == 0 ? cond::RMS_EOF : status;
}

}  // namespace

std::string channel_name(std::string_view typed) {
    std::string name = remove_quotes(upper_outside_quotes(typed));
    if (!name.empty() && name.back() == ':') name.pop_back();
    return name;
}

std::string label_of(const ParsedCommand& cmd, uint32_t qualifier) {
    const ParsedQualifier* q = cmd.find(qualifier);
    return q ? remove_quotes(upper_outside_quotes(q->value)) : std::string();
}

void fail_or_jump(uint32_t status, std::string_view argument, const std::string& label) {
    if (!label.empty()) signal_condition(status | CONTINUE_AT_LABEL_BIT, label);
    else signal_condition(status, argument);
}

void channel_failed(uint32_t status, std::string_view name, const std::string& label) {
    bool names_channel = status == cond::UNDFIL || (status & ~SEVERITY_MASK) == (cond::FAC & ~SEVERITY_MASK);
    fail_or_jump(status, names_channel ? name : std::string_view(), label);
}

uint32_t read_standard_line(bool command, std::string_view prompt, std::string& line) {
    ProcedureStack& ps = procedure_stack();
    if (command) {
        if (is_terminal(STDIN_FILENO)) return read_terminal_line(prompt, line);
        FILE* level0 = ps.depth >= 0 && ps.frames[0].input ? ps.frames[0].input : stdin;
        return read_stream_line(level0, ps.script_input, line);
    }
    FILE* in = redirection().input;
    if (in == nullptr) return cond::RMS_EOF;
    if (is_terminal(fileno(in))) return read_terminal_line(prompt, line);
    bool commands_follow = in == ps.command_input && (ps.depth > 0 || ps.script_input);
    return read_stream_line(in, commands_follow, line);
}

}  // namespace dcl
