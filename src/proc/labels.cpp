// Labels and jumps: the label list of a level, built once at its first
// jump, and the positioning of the command input stream.
#include <cctype>
#include <cstdlib>

#include "core/command_state.h"
#include "core/session.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

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

// Builds the level's label list from the start of its input.
bool build_labels(ProcedureFrame& frame) {
    if (seek_input(0) != 1) return false;
    frame.labels = scan_labels(procedure_stack().command_input, 0);
    frame.labels_built = true;
    return true;
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

std::string label_of_line(std::string_view line) {
    if (line.empty() || line[0] != '$') return {};
    size_t i = 1;
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

// At level 0 commands may come from a pipe: its lines cannot be read
// again, so a jump there fails to position (POSERR) instead of searching.
uint32_t goto_label(std::string_view label) {
    if (!procedure_stack().in_procedure || procedure_depth() < 0) return 1;
    char buffer[kMaxNameLength + 1];
    std::string_view key;
    if (!label_key(label, buffer, key)) key = {};
    long current = tell_input();
    ProcedureFrame& frame = current_frame();
    if (current < 0 || (!frame.labels_built && !build_labels(frame))) {
        signal_condition(cond::POSERR, " ");
        return 0;
    }
    long target = key.empty() ? -1 : find_label(frame.labels, key, current);
    if (target < 0) {
        seek_input(-1);
        return cond::USGOTO;
    }
    discard_left_if_blocks(frame, target);
    command_state().expected_verb = 0;
    if (seek_input(target) != 1) {
        signal_condition(cond::POSERR, " ");
        return 0;
    }
    return 1;
}

uint32_t seek_input(long position) {
    FILE* in = procedure_stack().command_input;
    if (in == nullptr) return cond::POSERR;
    int result;
    if (position < 0) {
        result = std::fseek(in, 0, SEEK_END);
    } else {
        long current = std::ftell(in);
        long distance = current >= 0 ? std::labs(position - current) : position + 1;
        result = distance <= position ? std::fseek(in, position - current, SEEK_CUR)
                                      : std::fseek(in, position, SEEK_SET);
    }
    return result == 0 ? 1 : cond::POSERR;
}

long tell_input() {
    FILE* in = procedure_stack().command_input;
    return in == nullptr ? -1 : std::ftell(in);
}

}  // namespace dcl
