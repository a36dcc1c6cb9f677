// WRITE and ECHO: the values of expressions as one line, to a standard
// stream named by a logical name or to the current output.
#include "proc/write.h"

#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
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
    {"UPDATE", 0, qual::WRITE_UPDATE, ValueKind::unsupported},
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

// A failure of WRITE: with /ERROR=label the procedure continues there
// instead of reporting it.
void write_failed(uint32_t status, std::string_view name, const std::string& error_label) {
    if (!error_label.empty())
        signal_condition(status | CONTINUE_AT_LABEL_BIT, error_label);
    else
        signal_condition(status, name);
}

bool write_line(FILE* stream, const std::string& line) {
    bool ok = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
    ok = std::fputc('\n', stream) != EOF && ok;
    return std::fflush(stream) == 0 && ok;
}

}  // namespace

std::optional<OpenStream> find_open_file(std::string_view name) {
    const Redirection& r = redirection();
    if (name == "SYS$INPUT") return OpenStream{r.input, ACCESS_READ};
    if (name == "SYS$OUTPUT") return OpenStream{r.output, ACCESS_WRITE};
    if (name == "SYS$ERROR") return OpenStream{r.error, ACCESS_WRITE};
    if (name == "SYS$COMMAND") return OpenStream{stdout, ACCESS_WRITE};
    return std::nullopt;
}

const KeywordTable kWriteQualifiers{verb::WRITE, kRows};

// The channel is the first parameter, the expressions follow it.
uint32_t write_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string error_label;
    if (const ParsedQualifier* error = cmd.find(qual::WRITE_ERROR))
        error_label = upper_outside_quotes(error->value);
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    if (cmd.parameters.size() == 1) return ask_for(cmd, 1);
    std::string name = remove_quotes(upper_outside_quotes(cmd.parameters[0].text));
    if (!name.empty() && name.back() == ':') name.pop_back();
    std::string line;
    if (!join_expressions(line, std::span(cmd.parameters).subspan(1))) return 0;
    std::optional<OpenStream> file = find_open_file(name);
    if (!file) {
        write_failed(cond::UNDFIL, name, error_label);
        return 0;
    }
    if (file->access == ACCESS_WRITE && write_line(file->stream, line)) return 1;
    write_failed(with_severity(cond::FAC, SEV_SEVERE), name, error_label);
    return 0;
}

uint32_t echo_command(const ParsedCommand& cmd, CommandStreams& io) {
    std::string line;
    if (!join_expressions(line, cmd.parameters)) return 0;
    if (!write_line(io.out, line)) return with_severity(cond::FAC, SEV_SEVERE);
    return 1;
}

}  // namespace dcl
