// The message queue: handlers queue condition values with up to two text
// arguments; the command loop shows them once the command is done and sets
// $STATUS from the first.
#pragma once

#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

struct QueuedCondition {
    uint32_t value = 0;
    std::string arg1;
    std::string arg2;
};

// Which parts of a message line are shown (SET MESSAGE).
struct DisplayOptions {
    bool facility = true;
    bool severity = true;
    bool ident = true;
    bool text = true;
};

// Whether a message line begins with the "%FAC-S-IDENT" prefix: without
// facility, severity and identification the text stands alone.
inline bool has_prefix(const DisplayOptions& d) { return d.facility || d.severity || d.ident; }

struct MessageQueue {
    static constexpr size_t kCapacity = 8;  // the last place is kept for ERROVF
    std::array<QueuedCondition, kCapacity> entries;
    size_t count = 0;           // may reach 9 when a fatal condition overflows
    uint32_t status = 1;        // $STATUS
    DisplayOptions display;
    bool ending = false;        // a NOSERVER condition ends the interpreter
    // A condition that ends the interpreter has been shown: the caller ends
    // the session with it (see end_if_requested).
    std::optional<uint32_t> end_requested;
    // The verb of the command whose messages these are: IF leaves $STATUS
    // alone, and EXIT, RETURN and RUN do not show their own success.
    uint32_t verb = 0;
    // A condition asked to continue at a label (its first argument): the
    // messages were not shown, and the command loop makes the jump.
    std::optional<std::string> label_to_continue_at;
    uint32_t label_condition = 0;  // that condition, without the request bit
};

MessageQueue& message_queue();
// This part alone back to its start value (unit tests).
void reset_message_queue();

// A non-empty queue is the interpreter's error flag.
inline bool error_queued() { return message_queue().count != 0; }

// Queues a condition; 0 and 1 are ignored.
void signal_condition(uint32_t value, std::string_view arg1 = {}, std::string_view arg2 = {});

// What the caller of show_messages must do next.
enum class NextStep : uint8_t {
    go_on,
    continue_at_label,  // label_to_continue_at holds where
    end_session,        // end_requested holds the status
};

// Shows and empties the queue and sets $STATUS. It does not jump or exit:
// it reports a label to continue at, or a fatal condition that ends the
// interpreter, for the command loop to act on.
NextStep show_messages();

// Ends the interpreter when a shown condition asked for it.
void end_if_requested();

// Empties the queue without showing it (interrupt re-entry).
void discard_messages();

// Formats one queued condition as its message line ("%FAC-S-IDENT, text\n"),
// empty when every part is switched off.
std::string format_condition(const QueuedCondition& entry, const DisplayOptions& display);

// Replaces the !AS-style directives of a database text by the queued
// arguments, or by what a missing argument shows as.
std::string expand_directives(std::string_view text, const QueuedCondition& entry);

// Prints one message at once, not queued.
void put_message(uint32_t value, std::string_view ident, std::string_view text);

// Routes a finished message line to the output and error streams.
void write_message(std::string_view text, uint32_t severity);

// A message from the database names the facility CLI as DCL, whatever
// parts follow it.
void show_cli_as_dcl(std::string& line);

std::string facility_name(uint32_t value);
char severity_letter(uint32_t value);

}  // namespace dcl
