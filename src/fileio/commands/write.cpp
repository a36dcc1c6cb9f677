// WRITE and ECHO: the values of expressions as one line, to a file OPEN
// gave a logical name, to a standard stream, or to the current output.
#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "fileio/commands/file_commands.h"
#include "fileio/open_files.h"
#include "lang/expression.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr size_t kMaxWriteLength = 2048;

constexpr KeywordRecord kRows[] = {
    {"ERROR", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::WRITE_ERROR, ValueKind::string, 0, ""},
    {"SYMBOL", 0, qual::WRITE_SYMBOL, ValueKind::ignored},
    {"UPDATE", 0, qual::WRITE_UPDATE},
};

// Evaluates the expressions and joins their texts. False after queueing a
// failure.
bool join_expressions(std::string& line, std::span<const ParsedParameter> expressions) {
    ExprValue value;
    for (const ParsedParameter& p : expressions) {
        uint32_t status = evaluate_expression(value, p.text);
        if (status != 1) {
            signal_condition(status);
            return false;
        }
        line += value.text;
        if (line.size() > kMaxWriteLength) {
            signal_condition(cond::BUFOVF);
            return false;
        }
    }
    return true;
}

bool write_line(FILE* stream, const std::string& line) {
    bool ok = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
    ok = std::fputc('\n', stream) != EOF && ok;
    return std::fflush(stream) == 0 && ok;
}

}  // namespace

const KeywordTable kWriteQualifiers{verb::WRITE, kRows};

// A record for a file OPEN gave the name: appended, or with /UPDATE in
// place of the record last read.
uint32_t write_to_file(const ParsedCommand& cmd, OpenFile& file, const std::string& line) {
    if (cmd.flag(qual::WRITE_UPDATE, false)) return file.update_record(line);
    return file.write_record(line);
}

// The channel is the first parameter, the expressions follow it.
uint32_t write_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string label = label_of(cmd, qual::WRITE_ERROR);
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    if (cmd.parameters.size() == 1) return ask_for(cmd, 1);
    std::string name = channel_name(cmd.parameters[0].text);
    std::string line;
    if (!join_expressions(line, std::span(cmd.parameters).subspan(1))) return 0;
    uint32_t status;
    if (OpenFileEntry* entry = find_opened_file(name)) {
        status = write_to_file(cmd, entry->file, line);
    } else if (std::optional<NamedStream> stream = find_standard_stream(name)) {
        bool written = stream->writable && write_line(stream->stream, line);
        status = written ? 1 : with_severity(cond::FAC, SEV_SEVERE);
    } else {
        status = cond::UNDFIL;
    }
    if (status == 1) return 1;
    channel_failed(status, name, label);
    return 0;
}

uint32_t echo_command(const ParsedCommand& cmd, CommandStreams& io) {
    std::string line;
    if (!join_expressions(line, cmd.parameters)) return 0;
    if (!write_line(io.out, line)) return with_severity(cond::FAC, SEV_SEVERE);
    return 1;
}

}  // namespace dcl
