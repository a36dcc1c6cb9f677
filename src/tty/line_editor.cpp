// The line editor. One call reads one line: the terminal is in single-key
// mode for its duration, each key is decoded by the key reader and acted
// on here, and the screen is redrawn through the display helpers.
#include "tty/line_editor.h"

#include <cctype>
#include <cstdio>
#include <unistd.h>

#include "core/cli_options.h"
#include "core/exit.h"
#include "names/key_definitions.h"
#include "status/condition.h"
#include "status/messages.h"
#include "tty/keys.h"
#include "tty/recall.h"
#include "tty/screen.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

LineEditState g_edit;

enum class KeyOutcome { more, done };

struct Editor {
    LineDisplay display;
    std::string text;       // the line being edited
    int cursor = 0;
    bool insert = true;
    bool full = false;      // cursor movement possible
    bool backspace_deletes = false;
    int remembered = 0;     // recall position at the start of the read
    uint32_t result = 1;
    size_t prompt_length = 0;
};

bool has(const std::string& a, const std::string& b) { return !a.empty() || !b.empty(); }

void write_now(Editor& e) { flush_display(e.display, STDOUT_FILENO); }

void newline(Editor& e) { e.display.out += "\r\n"; }

// Up and down arrows: the next read shows another recalled line.
KeyOutcome recall_key(Editor& e, bool up) {
    RecallList& r = recall_list();
    int count = static_cast<int>(r.count);
    if (e.remembered < 0) r.position = -1;
    else if (up) r.position = e.remembered + 1 <= count + 1 ? e.remembered + 1 : 0;
    else r.position = e.remembered > 0 ? e.remembered - 1 : 0;
    erase_display(e.display, static_cast<int>(e.prompt_length + e.text.size()));
    e.text.clear();
    g_edit.reprompt = true;
    return KeyOutcome::done;
}

void delete_before_cursor(Editor& e) {
    if (!e.full) {
        if (e.text.empty()) return;
        e.text.pop_back();
        e.display.out += "\b \b";
        --e.display.column;
        return;
    }
    if (e.cursor == 0) return;
    cursor_left(e.display, 1);
    --e.cursor;
    delete_chars(e.display, e.text, 1, e.cursor);
}

void delete_to_start(Editor& e) {
    int n = e.cursor;
    cursor_left(e.display, n);
    e.cursor = 0;
    delete_chars(e.display, e.text, n, 0);
}

void delete_word(Editor& e) {
    int n = 0;
    while (e.cursor - n > 0 && !std::isspace(static_cast<unsigned char>(e.text[e.cursor - n - 1])))
        ++n;
    cursor_left(e.display, n);
    e.cursor -= n;
    delete_chars(e.display, e.text, n, e.cursor);
}

// Puts characters into the line; a carriage return ends it. Stops when the
// line passes the length limit.
KeyOutcome insert_text(Editor& e, std::string_view chars) {
    for (char c : chars) {
        if (c == '\r') {
            newline(e);
            return KeyOutcome::done;
        }
        if (e.insert && e.full) {
            insert_char(e.display, e.text, c, e.cursor);
        } else {
            if (e.cursor < static_cast<int>(e.text.size())) e.text[static_cast<size_t>(e.cursor)] = c;
            else e.text.push_back(c);
            ++e.cursor;
            echo_char(e.display, c);
        }
        if (e.text.size() > kMaxEditLine) {
            // What was typed beyond the limit must not become a command.
            e.result = cond::RTB;
            discard_typeahead(STDIN_FILENO);
            return KeyOutcome::done;
        }
    }
    return KeyOutcome::more;
}

KeyOutcome defined_key(Editor& e, int code) {
    const KeyDefinition* def = find_key_definition(static_cast<uint32_t>(code));
    if (!def) {
        newline(e);
        return KeyOutcome::done;
    }
    std::string chars = def->text;
    if (def->flags & KEY_DEF_TERMINATE) chars.push_back('\r');
    bool echo = e.display.echo;
    e.display.echo = (def->flags & KEY_DEF_ECHO) != 0;
    KeyOutcome outcome = insert_text(e, chars);
    e.display.echo = echo;
    return outcome;
}

KeyOutcome end_of_input(Editor& e) {
    const Capabilities& caps = *e.display.caps;
    if (!caps.mr.empty() && !caps.me.empty())
        e.display.out += expand_cap(caps.mr) + " Exit " + expand_cap(caps.me) + "\r\n";
    else
        e.display.out += " Exit \r\n";
    e.result = cond::RMS_EOF;
    return KeyOutcome::done;
}

// The keys that need cursor movement; false for any other key.
bool editing_key(Editor& e, int key) {
    switch (key) {
    case 1: case KEY_F14: e.insert = !e.insert; return true;
    case 4: case KEY_LEFT:
        if (e.cursor > 0) cursor_left(e.display, 1), --e.cursor;
        return true;
    case 5:
        cursor_right(e.display, static_cast<int>(e.text.size()) - e.cursor);
        e.cursor = static_cast<int>(e.text.size());
        return true;
    case 6: case KEY_RIGHT:
        if (e.cursor < static_cast<int>(e.text.size())) cursor_right(e.display, 1), ++e.cursor;
        return true;
    case 8: case KEY_F12:
        cursor_left(e.display, e.cursor);
        e.cursor = 0;
        return true;
    case 10: case KEY_F13: delete_word(e); return true;
    default: return false;
    }
}

// Without cursor movement a control character other than the harmless
// ones ends the line; with it, it is dropped. A line feed ends the line.
KeyOutcome plain_character(Editor& e, int key) {
    char c = static_cast<char>(key);
    bool printable = std::isprint(static_cast<unsigned char>(c)) || c == '\t';
    if (e.full) {
        if (!printable) return KeyOutcome::more;
        return insert_text(e, std::string_view(&c, 1));
    }
    if (c == '\n') return insert_text(e, "\r");
    bool harmless = printable || c == '\b' || c == '\v' || c == '\f';
    std::string chars(1, c);
    if (!harmless) chars.push_back('\r');
    return insert_text(e, chars);
}

KeyOutcome handle_key(Editor& e, int key, char single_key) {
    if (key == KEY_INTERRUPTED) return KeyOutcome::done;
    if (key == KEY_END_OF_INPUT) {
        e.result = cond::RMS_EOF;
        newline(e);
        return KeyOutcome::done;
    }
    if (e.backspace_deletes && key == 8) key = KEY_DELETE;
    if (single_key && key == static_cast<unsigned char>(single_key)) {
        e.text.assign(1, single_key);
        e.display.out += std::string(1, single_key) + "\r\n";
        return KeyOutcome::done;
    }
    if (key == CTRL_C || key == CTRL_Y) {
        e.result = cond::CONTROLY;  // the interrupt notice starts a new line itself
        return KeyOutcome::done;
    }
    if (key == 13 || (key == 10 && cli_options().ctrlj_terminates)) {
        newline(e);
        return KeyOutcome::done;
    }
    if (key == CTRL_Z || key == KEY_F10) return end_of_input(e);
    if (key == 2 || key == KEY_UP) return recall_key(e, true);
    if (key == KEY_DOWN) return recall_key(e, false);
    if (key == KEY_DELETE) {
        delete_before_cursor(e);
        return KeyOutcome::more;
    }
    if (key == 21 || key == 24) {
        if (!e.full) {
            e.text.clear();
            newline(e);
            return KeyOutcome::done;
        }
        delete_to_start(e);
        return KeyOutcome::more;
    }
    if (e.full && editing_key(e, key)) return KeyOutcome::more;
    if (key >= KEY_FIRST_SEQUENCE) return defined_key(e, key);
    return plain_character(e, key);
}

void start_line(Editor& e, std::string& line, std::string& prefix) {
    RecallList& r = recall_list();
    e.remembered = r.position;
    r.position = 0;
    g_edit.reprompt = false;
    if (e.remembered > 0) {
        r.position = e.remembered;
        e.text = get_recall();
        r.position = 0;
        prefix = line;
    } else if (e.remembered < 0) {
        e.text = line;
    } else {
        prefix = line;
    }
    e.cursor = static_cast<int>(e.text.size());
}

void set_up_editor(Editor& e, const TerminalRecord& record) {
    const TerminalState& t = terminal_state();
    const Capabilities& caps = t.caps;
    e.display.caps = &caps;
    e.display.width = t.width;
    e.display.wraps = (record.characteristics[0] & TT_WRAP) != 0;
    e.display.echo = (record.characteristics[0] & TT_NOECHO) == 0;
    e.insert = (record.characteristics[1] & TT2_INSERT) != 0;
    e.full = (record.characteristics[1] & TT2_EDITING) && e.display.echo && has(caps.le, caps.LE) &&
             has(caps.up, caps.UP) && has(caps.nd, caps.RI);
    e.backspace_deletes = record.original.c_cc[VERASE] == 8;
}

// Without a terminal: one line of standard input.
uint32_t read_plain_line(std::string& line) {
    std::string text;
    int c;
    while ((c = std::getchar()) != EOF && c != '\n') {
        if (text.size() < kMaxEditLine) text.push_back(static_cast<char>(c));
    }
    if (c == EOF && text.empty()) {
        std::clearerr(stdin);
        return 0;
    }
    line += text;
    return 1;
}

}  // namespace

LineEditState& line_edit_state() { return g_edit; }

void reset_line_edit_state() { g_edit = LineEditState{}; }

uint32_t getline(std::string_view prompt, std::string& line, char single_key) {
    if (!is_terminal(STDIN_FILENO)) return read_plain_line(line);
    set_tty_mode(STDIN_FILENO, TTY_SINGLE_KEY);
    const TerminalRecord* record = find_tty(STDIN_FILENO);
    if (!record) {
        std::fputs("Fatal error in getline: cannot access terminal\n", redirection().error);
        interpreter_exit(0);
    }
    Editor e;
    set_up_editor(e, *record);
    std::string prefix;
    start_line(e, line, prefix);
    std::fflush(redirection().output);
    std::fflush(stdout);
    e.display.out += '\r';
    show_text(e.display, prompt);
    e.prompt_length = prompt.size();
    for (char c : e.text) echo_char(e.display, c);
    write_now(e);
    while (handle_key(e, read_key(STDIN_FILENO), single_key) == KeyOutcome::more) write_now(e);
    bool keep = (e.result == 1 || e.result == cond::RMS_EOF) && !error_queued();
    if (!keep && e.result != cond::CONTROLY) newline(e);
    write_now(e);
    line = keep ? prefix + e.text : prefix;
    set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    return e.result;
}

}  // namespace dcl
