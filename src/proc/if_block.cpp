// Block IF: the look-ahead scan once to a block's ELSE and ENDIF lines, the
// record of where the chosen branch starts and ends, and its closing.
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "proc/if_blocks.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// One physical line without its newline; characters beyond the line limit
// are read and dropped. False at the end of the file.
bool read_physical_line(FILE* in, std::string& line) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getc(in)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() + 1 < kMaxLineLength) line.push_back(static_cast<char>(c));
    }
    if (c == EOF) std::clearerr(in);
    return any;
}

// Runs of white space become one blank and "!" ends the line, both outside
// quotes; upper case outside quotes; blanks trimmed. Returns true when the
// line ends inside a quoted string.
bool prepare_line(std::string& line) {
    std::string out;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '!') break;
        if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
            continue;
        }
        out.push_back(quoted ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    line = std::move(out);
    return quoted;
}

// Joins continuation lines: the next physical line replaces the hyphen as
// long as the whole stays within the line limit.
void prepare_with_continuations(FILE* in, std::string& line) {
    bool open_quote = prepare_line(line);
    std::string next;
    while (!open_quote && !line.empty() && line.back() == '-') {
        if (!read_physical_line(in, next)) break;
        line.pop_back();
        if (line.size() + next.size() >= kMaxLineLength) break;
        line += next;
        open_quote = prepare_line(line);
    }
}

// The words of a prepared line: leading "$" and blanks and a label are
// dropped; words are split at blanks outside quotes.
std::vector<std::string> split_words(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == '$' || line[i] == ' ')) ++i;
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (; i <= line.size(); ++i) {
        char c = i < line.size() ? line[i] : ' ';
        if (c == '"') quoted = !quoted;
        if (quoted || c != ' ') {
            word.push_back(c);
            continue;
        }
        if (words.empty() && word.find(':') != std::string::npos) word.erase(0, word.find(':') + 1);
        if (!word.empty()) words.push_back(std::move(word));
        word.clear();
    }
    return words;
}

std::string join_from(const std::vector<std::string>& words, size_t first) {
    std::string text;
    for (size_t i = first; i < words.size(); ++i) text += words[i] + " ";
    return text;
}

struct ScanState {
    int depth = 1;
    bool duplicate = false;
};

// Looks at the words of one line that starts at `start` and ends at `after`.
void examine_words(const std::vector<std::string>& words, long start, long after, ScanState& st,
                   IfScan& scan) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (!std::isalpha(static_cast<unsigned char>(w[0]))) continue;
        if (w == "IF") {
            bool one_line = false;
            for (size_t k = i + 1; k < words.size(); ++k) one_line = one_line || words[k] == "THEN";
            if (!one_line) ++st.depth;
            return;
        }
        if (w == "ON") return;
        if (w == "THEN") {
            if (st.depth > 1) return;
            if (scan.then_start) {
                st.duplicate = true;
                return;
            }
            scan.then_start = after;
            scan.then_command = join_from(words, i + 1);
            return;
        }
        if (w == "ELSE") {
            if (st.depth > 1) continue;
            if (scan.else_start) {
                st.duplicate = true;
                return;
            }
            scan.else_line = start;
            scan.else_start = after;
            scan.else_command = join_from(words, i + 1);
            return;
        }
        if (w == "ENDIF") {
            if (--st.depth == 0) {
                scan.endif_line = start;
                scan.after_endif = after;
            }
            return;
        }
    }
}

}  // namespace

IfScan scan_if_block(FILE* in, bool dollar_optional) {
    IfScan scan;
    ScanState st;
    std::string line;
    while (!st.duplicate && st.depth > 0) {
        long start = std::ftell(in);
        if (!read_physical_line(in, line)) break;
        if (line.empty() || (line[0] != '$' && !dollar_optional)) continue;
        prepare_with_continuations(in, line);
        examine_words(split_words(line), start, std::ftell(in), st, scan);
    }
    scan.complete = st.depth == 0 && scan.then_start.has_value();
    return scan;
}

void close_finished_if_blocks() {
    if (procedure_depth() < 0 || procedure_stack().command_input == nullptr) return;
    std::vector<IfBlock>& blocks = current_frame().if_blocks;
    while (!blocks.empty() && blocks.back().active == 0) {
        long position = tell_input();
        if (position < blocks.back().end) return;
        if (seek_input(blocks.back().resume) != 1)
            signal_condition(with_severity(cond::POSERR, SEV_ERROR), " ");
        blocks.pop_back();
    }
}

// The block form: the input moves to the start of the chosen branch, and a
// record tells the loop where that branch ends.
void open_if_block(bool condition) {
    if (!procedure_stack().in_procedure || procedure_stack().command_input == nullptr) {
        signal_condition(cond::OUTOFPLACE);
        return;
    }
    settle_input();
    const ProcedureStack& ps = procedure_stack();
    IfScan scan = scan_if_block(ps.command_input, ps.depth == 0 && ps.script_input);
    if (!scan.complete) {
        signal_condition(cond::OUTOFPLACE);
        return;
    }
    // False without ELSE: the scan stopped right after the ENDIF.
    if (!condition && !scan.else_start) return;
    IfBlock block;
    block.start = condition ? *scan.then_start : *scan.else_start;
    block.end = condition && scan.else_start ? scan.else_line : scan.endif_line;
    block.resume = scan.after_endif;
    if (block.start < 0 || seek_input(block.start) != 1) {
        signal_condition(cond::POSERR, " ");
        return;
    }
    ProcedureFrame& frame = current_frame();
    frame.if_blocks.push_back(block);
    const std::string& command = condition ? scan.then_command : scan.else_command;
    if (!command.empty()) frame.pending_command = command;
}

}  // namespace dcl
