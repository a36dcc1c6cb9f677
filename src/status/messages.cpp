// The message queue and its display at the end of each command.
#include "status/messages.h"

#include <csignal>

#include "status/condition.h"
#include "status/exit.h"
#include "status/interrupts.h"

namespace dcl {

namespace {

constexpr uint32_t kVerbIf = 44;
constexpr uint32_t kVerbExit = 38;
constexpr uint32_t kVerbReturn = 72;
constexpr uint32_t kVerbRun = 73;

void store(size_t index, uint32_t value, std::string_view arg1, std::string_view arg2) {
    QueuedCondition& e = message_queue().entries[index];
    e.value = value;
    e.arg1.assign(arg1);
    e.arg2.assign(arg2);
}

bool fatal_to_interpreter(uint32_t value) {
    uint32_t base = value & ~SEVERITY_MASK;
    return base == cond::NOSERVER || base == (cond::INSFMEM & ~SEVERITY_MASK) ||
           base == cond::FAULT;
}

// A condition with the continue-at-label bit asks the procedure to go on
// at the label named by its first argument. Nothing is shown now: the
// command loop makes the jump, and shows the condition if it fails.
void defer_to_label() {
    MessageQueue& q = message_queue();
    const QueuedCondition& first = q.entries[0];
    q.label_condition = first.value & ~CONTINUE_AT_LABEL_BIT;
    q.label_to_continue_at = first.arg1;
    q.status = q.label_condition | INHIBIT_BIT;
    q.count = 0;
}

bool skipped(uint32_t value) {
    if (value & INHIBIT_BIT) return true;
    if ((value & 0xFFFF) == 1) return true;
    uint32_t verb = message_queue().verb;
    return is_success(value) && (verb == kVerbExit || verb == kVerbReturn || verb == kVerbRun);
}

}  // namespace

void reset_message_queue() { message_queue() = MessageQueue{}; }

void signal_condition(uint32_t value, std::string_view arg1, std::string_view arg2) {
    if (value == 0 || value == 1) return;
    MessageQueue& q = message_queue();
    if (same_message_number(value, cond::NOSERVER)) q.ending = true;
    if (q.count < 7) {
        store(q.count++, value, arg1, arg2);
    } else if (q.count == 7) {
        store(7, cond::ERROVF, {}, {});
        q.count = 8;
    } else if (q.count == 8 && severity_of(value) == SEV_FATAL) {
        store(6, cond::ERROVF, {}, {});
        store(7, value, arg1, arg2);
        q.count = 9;
    }
}

void discard_messages() { message_queue().count = 0; }

NextStep show_messages() {
    MessageQueue& q = message_queue();
    if (q.count == 0) {
        if (q.verb != kVerbIf) q.status = 1;
        return NextStep::go_on;
    }
    uint32_t count = static_cast<uint32_t>(std::min<size_t>(q.count, MessageQueue::kCapacity));
    q.status = q.entries[0].value;
    if (q.status & CONTINUE_AT_LABEL_BIT) {
        defer_to_label();
        return NextStep::continue_at_label;
    }

    bool first = true;
    uint32_t last = 0;
    bool fatal = false;
    for (uint32_t i = 0; i < count && !fatal; ++i) {
        uint32_t value = q.entries[i].value;
        if (value & INHIBIT_BIT) continue;
        if (value == cond::CONTROLY) raise_interrupt();
        if (skipped(value)) continue;
        std::string line = format_condition(q.entries[i], q.display);
        if (!line.empty()) {
            if (has_prefix(q.display)) line[0] = first ? '%' : '-';
            first = false;
            write_message(line, severity_of(value));
        }
        last = value;
        if (severity_of(value) == SEV_FATAL) fatal = fatal_to_interpreter(value);
    }
    q.count = 0;
    if (!q.ending && !fatal) return NextStep::go_on;
    q.end_requested = last;
    return NextStep::end_session;
}

void end_if_requested() {
    if (std::optional<uint32_t> status = message_queue().end_requested) interpreter_exit(*status);
}

}  // namespace dcl
