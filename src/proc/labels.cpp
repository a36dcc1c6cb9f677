// Labels and jumps: the label list of a level, read from its input as far
// as its jumps need (each line once), and the positioning of the command
// input stream.
#include <cctype>
#include <cstdlib>
#include <limits>

#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"

namespace dcl {

namespace {

bool is_name_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// Upper-cases `label` up to its first ":" into `buffer`; false when the
// name is too long to be any label's.
bool label_key(std::string_view label, char (&buffer)[kMaxNameLength + 1], std::string_view& key) {
    label = label.substr(0, label.find(':'));
    if (label.size() > kMaxNameLength) return false;
    for (size_t i = 0; i < label.size(); ++i)
        buffer[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[i])));
    key = std::string_view(buffer, label.size());
    return true;
}

// Level 0 reading a script: its lines, labels included, may lack the "$".
bool labels_without_dollar() {
    const ProcedureStack& ps = procedure_stack();
    return ps.depth == 0 && ps.script_input;
}

// Extends the level's label list from where the last scan stopped. With
// `stop_position`, up to the first line that starts at or after it; with
// `wanted`, up to and including the first definition of that label. The
// input position is left wherever the scan ended. False when the input
// cannot be positioned.
bool scan_more_labels(ProcedureFrame& frame, long stop_position, std::string_view wanted) {
    FILE* in = procedure_stack().command_input;
    if (seek_input(frame.labels_scanned_to) != 1) return false;
    const bool dollar_optional = labels_without_dollar();
    std::string head;
    long position = frame.labels_scanned_to;
    for (long length; position < stop_position && (length = read_line_head(in, head)) > 0;) {
        std::string name = label_of_line(head, dollar_optional);
        bool found = !wanted.empty() && name == wanted;
        if (!name.empty()) frame.labels.push_back({std::move(name), position});
        position += length;
        frame.labels_scanned_to = position;
        if (found) break;
    }
    std::clearerr(in);
    return true;
}

// The position of the jump's target: the last definition before `current`,
// else the first at or after it. Lines are scanned only as far as that
// needs, so a script arriving through a pipe is read on only for a forward
// jump. -1 when there is no such label; -2 when the input cannot be
// positioned. `scanned` tells whether the input was read (and moved).
long locate_label(ProcedureFrame& frame, std::string_view key, long current, bool& scanned) {
    constexpr long kEverything = std::numeric_limits<long>::max();
    scanned = frame.labels_scanned_to < current;
    if (scanned && !scan_more_labels(frame, current, {})) return -2;
    long target = find_label(frame.labels, key, current);
    if (target >= 0) return target;
    scanned = true;
    if (!scan_more_labels(frame, kEverything, key)) return -2;
    return find_label(frame.labels, key, current);
}

// A script on standard input cannot be left to run on past a jump that
// failed: the next lines were meant to be skipped.
uint32_t failed_jump(uint32_t status) {
    if (!labels_without_dollar()) return status;
    signal_condition(status, status == cond::POSERR ? " " : "");
    end_session(status);
}

}  // namespace

long read_line_head(FILE* in, std::string& head) {
    head.clear();
    long length = 0;
    int c;
    while ((c = getc_unlocked(in)) != EOF) {
        ++length;
        if (c == '\n') break;
        if (head.size() < kMaxScanPiece) head.push_back(static_cast<char>(c));
    }
    return length;
}

std::string label_of_line(std::string_view line, bool dollar_optional) {
    size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i < line.size() && line[i] == '$') ++i;
    else if (!dollar_optional || line.empty()) return {};
    if (!dollar_optional && i != 1) return {};
    while (i < line.size() && (line[i] == '$' || is_blank(line[i]))) ++i;
    size_t start = i;
    while (i < line.size() && is_name_char(line[i])) ++i;
    size_t end = i;
    while (i < line.size() && is_blank(line[i])) ++i;
    if (end == start || end - start > kMaxNameLength) return {};
    if (i >= line.size() || line[i] != ':') return {};
    if (i + 1 < line.size() && line[i + 1] == '=') return {};
    std::string name(line.substr(start, end - start));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::vector<Label> scan_labels(FILE* in, long start) {
    std::vector<Label> labels;
    std::string head;
    long position = start;
    for (long length; (length = read_line_head(in, head)) > 0; position += length) {
        std::string name = label_of_line(head);
        if (!name.empty()) labels.push_back({std::move(name), position});
    }
    std::clearerr(in);
    return labels;
}

// A label on the line right after the jump (at `current`) counts as after
// it: from between two definitions the jump goes back to the first.
long find_label(const std::vector<Label>& labels, std::string_view name, long current) {
    long candidate = -1;
    for (const Label& label : labels) {
        if (candidate >= 0 && label.position >= current) break;
        if (label.name != name) continue;
        candidate = label.position;
        if (candidate >= current) break;
    }
    return candidate;
}

void discard_left_if_blocks(ProcedureFrame& frame, long target) {
    std::vector<IfBlock>& blocks = frame.if_blocks;
    while (!blocks.empty() && blocks.back().active == 0 &&
           (target < blocks.back().start || target >= blocks.back().end))
        blocks.pop_back();
}

void adjust_newest_if_block(int delta) {
    if (procedure_depth() < 0) return;
    std::vector<IfBlock>& blocks = current_frame().if_blocks;
    if (blocks.empty()) return;
    int& active = blocks.back().active;
    if (delta > 0) ++active;
    else if (active > 0) --active;
}

uint32_t goto_label(std::string_view label) {
    if (!procedure_stack().in_procedure || procedure_depth() < 0) return 1;
    char buffer[kMaxNameLength + 1];
    std::string_view key;
    if (!label_key(label, buffer, key)) key = {};
    long current = tell_input();
    ProcedureFrame& frame = current_frame();
    bool scanned = false;
    long target = current < 0 ? -2 : key.empty() ? -1 : locate_label(frame, key, current, scanned);
    if (target == -2) {
        signal_condition(failed_jump(cond::POSERR), " ");
        return 0;
    }
    if (target < 0) {
        failed_jump(cond::USGOTO);
        seek_input(-1);
        return cond::USGOTO;
    }
    discard_left_if_blocks(frame, target);
    procedure_stack().expect_subroutine = false;
    // Unless a scan moved it, the current position is known: no second
    // look at it.
    if ((scanned ? seek_input(target) : seek_input_from(target, current)) != 1) {
        signal_condition(failed_jump(cond::POSERR), " ");
        return 0;
    }
    return 1;
}

uint32_t seek_input(long position) {
    ProcedureStack& ps = procedure_stack();
    FILE* in = ps.command_input;
    if (in == nullptr) return cond::POSERR;
    ps.deferred_position = -1;
    return seek_input_from(position, position < 0 ? -1 : std::ftell(in));
}

uint32_t seek_input_from(long position, long current) {
    ProcedureStack& ps = procedure_stack();
    FILE* in = ps.command_input;
    if (in == nullptr) return cond::POSERR;
    // A deferred position is not where the stream is: only an absolute
    // seek is right then.
    if (ps.deferred_position >= 0) current = -1;
    ps.deferred_position = -1;
    int result;
    if (position < 0) {
        result = std::fseek(in, 0, SEEK_END);
    } else {
        long distance = current >= 0 ? std::labs(position - current) : position + 1;
        result = distance <= position ? std::fseek(in, position - current, SEEK_CUR)
                                      : std::fseek(in, position, SEEK_SET);
    }
    return result == 0 ? 1 : cond::POSERR;
}

uint32_t seek_memory_input(long position) {
    ProcedureStack& ps = procedure_stack();
    if (ps.command_input == nullptr || position < 0) return cond::POSERR;
    ps.deferred_position = position;
    return 1;
}

void settle_input() {
    ProcedureStack& ps = procedure_stack();
    if (ps.deferred_position < 0) return;
    long position = ps.deferred_position;
    ps.deferred_position = -1;
    // Within a text in memory, where the position came from a line read
    // there: an absolute seek cannot fail.
    if (ps.command_input) std::fseek(ps.command_input, position, SEEK_SET);
}

bool leaves_input_alone(uint32_t verb) {
    switch (verb) {
    case verb::GOTO: case verb::GOSUB: case verb::RETURN: case verb::IF:
    case verb::CALL: case verb::SUBROUTINE: case verb::ENDSUBROUTINE: case verb::EXIT:
        return true;
    default:
        return false;
    }
}

long tell_input() {
    const ProcedureStack& ps = procedure_stack();
    FILE* in = ps.command_input;
    if (in == nullptr) return -1;
    return ps.deferred_position >= 0 ? ps.deferred_position : std::ftell(in);
}

}  // namespace dcl
