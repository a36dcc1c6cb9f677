// READ: the next record of an opened file, or a line of SYS$INPUT or
// SYS$COMMAND, into a local symbol. At the end of the file the procedure
// goes on at /END_OF_FILE's label, else at /ERROR's, else the command
// fails with RMS-E-EOF.
#include <poll.h>
#include <string>
#include <unistd.h>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "fileio/commands/file_commands.h"
#include "fileio/open_files.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/streams.h"
#include "status/text.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

constexpr std::string_view kTerminalPrompt = "DATA: ";
constexpr int64_t kMaxTimeOut = 255;

constexpr KeywordRecord kRows[] = {
    {"DELETE", 0, qual::READ_DELETE, ValueKind::unsupported},
    {"END_OF", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::READ_END_OF_FILE, ValueKind::string, 0, ""},
    {"ERROR", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::READ_ERROR, ValueKind::string, 0, ""},
    {"INDEX", KW_VALUE_ALLOWED, qual::READ_INDEX, ValueKind::unsupported},
    {"KEY", KW_VALUE_ALLOWED, qual::READ_KEY, ValueKind::unsupported},
    {"LOCK", 0, qual::READ_LOCK, ValueKind::unsupported},
    {"MATCH", KW_VALUE_ALLOWED, qual::READ_MATCH, ValueKind::unsupported},
    {"PROMPT", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::READ_PROMPT, ValueKind::string, 0, ""},
    {"TIME_O", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::READ_TIME_OUT, ValueKind::number},
};

// /TIME_OUT at a terminal: waits up to `seconds` for the first key. 1 when
// input came, TIMEOUT, or 0 when an interrupt ended the wait.
uint32_t wait_for_input(int64_t seconds) {
    pollfd terminal{STDIN_FILENO, POLLIN, 0};
    for (;;) {
        int ready = poll(&terminal, 1, static_cast<int>(seconds * 1000));
        if (ready > 0) return 1;
        if (ready == 0) return with_severity(cond::TIMEOUT, SEV_SEVERE);
        if (interrupt_requested()) return 0;
    }
}

// A line of a standard stream; `name` is one of the standard names.
uint32_t read_standard(const ParsedCommand& cmd, std::string_view name, std::string& record) {
    if (name != "SYS$INPUT" && name != "SYS$COMMAND") return with_severity(cond::FAC, SEV_SEVERE);
    const bool command = name == "SYS$COMMAND";
    const ParsedQualifier* prompt = cmd.find(qual::READ_PROMPT);
    std::string shown = prompt ? prompt->value : std::string(kTerminalPrompt);
    FILE* in = command ? stdin : redirection().input;
    if (const ParsedQualifier* t = cmd.find(qual::READ_TIME_OUT); t && in && is_terminal(fileno(in))) {
        if (t->number < 0 || t->number > kMaxTimeOut) return cond::IVQUAL;
        if (uint32_t waited = wait_for_input(t->number); waited != 1) return waited;
    }
    return read_standard_line(command, shown, record);
}

// After the read: the symbol, or the jump or message the status asks for.
uint32_t finish_read(const ParsedCommand& cmd, uint32_t status, const std::string& symbol,
                     const std::string& record, std::string_view name) {
    if (status == 0 || status == cond::CONTROLY) return status;
    if (status == 1 || status == cond::RTB) {
        if (uint32_t set = set_symbol(symbol, record, SYM_LOCAL | SYM_STRING); set != 1) return set;
        if (status == 1) return 1;
    }
    std::string label;
    if (status == cond::RMS_EOF) label = label_of(cmd, qual::READ_END_OF_FILE);
    if (label.empty()) label = label_of(cmd, qual::READ_ERROR);
    channel_failed(status, name, label);
    return 0;
}

}  // namespace

const KeywordTable kReadQualifiers{verb::READ, kRows};

uint32_t read_command(const ParsedCommand& cmd, CommandStreams&) {
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    if (cmd.parameters.size() < 2) return ask_for(cmd, 1);
    std::string name = channel_name(cmd.parameters[0].text);
    std::string symbol = normalize_symbol_name(cmd.parameters[1].text);
    if (!symbol_name_valid(symbol)) return 0;
    std::string& record = open_file_table().record;
    uint32_t status;
    if (OpenFileEntry* entry = find_opened_file(name)) status = entry->file.read_record(record);
    else if (find_standard_stream(name)) status = read_standard(cmd, name, record);
    else status = cond::UNDFIL;
    return finish_read(cmd, status, symbol, record, name);
}

}  // namespace dcl
