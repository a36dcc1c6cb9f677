// WRITE and ECHO: the values of expressions as one line, to a standard
// stream named by a logical name or to the current output.
#include "proc/write.h"

#include <string>

#include "core/command_state.h"
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

// Evaluates the parameters from `first` on and joins their texts. False
// after queueing a failure.
bool join_expressions(std::string& line, const TokenList& tokens, size_t first) {
    ExprValue value;
    for (size_t i = first; i < tokens.size(); ++i) {
        if (tokens[i].type != TOKEN_PARAMETER) continue;
        uint32_t status = evaluate_expression(value, tokens[i].text);
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

void write_command(CommandContext& cmd) {
    std::string error_label;
    size_t name_index = 0, expressions = 0;
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        const Token& t = cmd.tokens[i];
        if (t.type == TOKEN_PARAMETER) {
            if (name_index == 0) name_index = i;
            else ++expressions;
            continue;
        }
        uint32_t flags = 0;
        uint32_t code = lookup_qualifier(t.text, verb::WRITE, flags);
        if (code == 0) return;
        if (code == qual::WRITE_ERROR) {
            if (!qualifier_value(error_label, t.text, true)) return;
            error_label = upper_outside_quotes(error_label);
        } else if (code == qual::WRITE_UPDATE && unsupported_qualifier(t.text)) {
            return;
        }
    }
    if (name_index == 0) return ask_for_parameter("_Log name: ");
    if (expressions == 0) return ask_for_parameter("_Expression: ");
    std::string name = remove_quotes(upper_outside_quotes(cmd.tokens[name_index].text));
    if (!name.empty() && name.back() == ':') name.pop_back();
    std::string line;
    if (!join_expressions(line, cmd.tokens, name_index + 1)) return;
    std::optional<OpenStream> file = find_open_file(name);
    if (!file) return write_failed(cond::UNDFIL, name, error_label);
    if (file->access != ACCESS_WRITE || !write_line(file->stream, line))
        return write_failed(with_severity(cond::FAC, SEV_SEVERE), name, error_label);
}

void echo_command(CommandContext& cmd) {
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        if (cmd.tokens[i].type == TOKEN_QUALIFIER) {
            signal_condition(cond::NOQUAL, std::string_view(cmd.tokens[i].text).substr(1));
            return;
        }
    }
    std::string line;
    if (!join_expressions(line, cmd.tokens, cmd.verb_index + 1)) return;
    if (!write_line(cmd.out, line)) signal_condition(with_severity(cond::FAC, SEV_SEVERE));
}

}  // namespace dcl
