// The line editor. One call reads one line: the terminal is in single-key
// mode for its duration, each key is decoded by the key reader and acted
// on here, and the screen is redrawn through the display helpers.
#include "tty/line_editor.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unistd.h>

#include "names/key_definitions.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/exit.h"
#include "status/messages.h"
#include "status/streams.h"
#include "tty/characters.h"
#include "tty/keys.h"
#include "tty/recall.h"
#include "tty/screen.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

enum class KeyOutcome { more, done };

// How long the rest of a UTF-8 sequence may take to arrive once its lead
// byte has; a lead byte alone after that is a Latin-1 character.
constexpr int kSequenceRestMs = 100;

struct Editor {
    LineDisplay display;
    std::string text;       // the line being edited
    int cursor = 0;         // a byte offset, always at a character's start
    std::string partial;    // the bytes of a UTF-8 sequence still arriving
    bool insert = true;
    bool full = false;      // cursor movement possible
    bool backspace_deletes = false;
    int remembered = 0;     // recall position at the start of the read
    uint32_t result = 1;
    std::string_view prompt;
    std::string_view before;  // the command's earlier lines (continuations, reprompts)
    bool completing = false;  // Tab completes: the line is a command
    int prompt_columns = 0;
    int previous_key = 0;
};

// Columns from the start of the line to the cursor, and from the cursor
// to the end.
int columns_to_cursor(const Editor& e) {
    return text_columns(std::string_view(e.text).substr(0, static_cast<size_t>(e.cursor)));
}
int columns_after_cursor(const Editor& e) {
    return text_columns(std::string_view(e.text).substr(static_cast<size_t>(e.cursor)));
}

bool is_blank_at(const std::string& text, size_t pos) {
    auto c = static_cast<unsigned char>(text[pos]);
    return c < 0x80 && std::isspace(c);
}

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
    erase_display(e.display, e.prompt_columns + text_columns(e.text));
    e.text.clear();
    line_edit_state().reprompt = true;
    return KeyOutcome::done;
}

void delete_before_cursor(Editor& e) {
    if (!e.full) {
        if (e.text.empty()) return;
        e.text.resize(char_before(e.text, e.text.size()));
        e.cursor = static_cast<int>(e.text.size());
        e.display.out += "\b \b";
        --e.display.column;
        return;
    }
    if (e.cursor == 0) return;
    cursor_left(e.display, 1);
    e.cursor = static_cast<int>(char_before(e.text, static_cast<size_t>(e.cursor)));
    delete_chars(e.display, e.text, 1, e.cursor);
}

void delete_to_start(Editor& e) {
    int n = columns_to_cursor(e);
    cursor_left(e.display, n);
    e.cursor = 0;
    delete_chars(e.display, e.text, n, 0);
}

void delete_word(Editor& e) {
    size_t start = static_cast<size_t>(e.cursor);
    int n = 0;
    while (start > 0) {
        size_t before = char_before(e.text, start);
        if (start - before == 1 && is_blank_at(e.text, before)) break;
        start = before;
        ++n;
    }
    cursor_left(e.display, n);
    e.cursor = static_cast<int>(start);
    delete_chars(e.display, e.text, n, e.cursor);
}

// Puts characters into the line; a carriage return ends it. Stops when the
// line passes the length limit.
KeyOutcome insert_text(Editor& e, std::string_view chars) {
    for (size_t pos = 0; pos < chars.size();) {
        std::string_view c = chars.substr(pos, char_length(chars, pos));
        pos += c.size();
        if (c == "\r") {
            newline(e);
            return KeyOutcome::done;
        }
        if (e.insert && e.full) {
            insert_char(e.display, e.text, c, e.cursor);
        } else {
            // Overstrike: the character under the cursor, all its bytes, goes.
            auto at = static_cast<size_t>(e.cursor);
            size_t old = at < e.text.size() ? char_length(e.text, at) : 0;
            e.text.replace(at, old, c);
            e.cursor += static_cast<int>(c.size());
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
        if (e.cursor == 0) return true;
        cursor_left(e.display, 1);
        e.cursor = static_cast<int>(char_before(e.text, static_cast<size_t>(e.cursor)));
        return true;
    case 5:
        cursor_right(e.display, columns_after_cursor(e));
        e.cursor = static_cast<int>(e.text.size());
        return true;
    case 6: case KEY_RIGHT:
        if (e.cursor >= static_cast<int>(e.text.size())) return true;
        cursor_right(e.display, 1);
        e.cursor += static_cast<int>(char_length(e.text, static_cast<size_t>(e.cursor)));
        return true;
    case 8: case KEY_F12:
        cursor_left(e.display, columns_to_cursor(e));
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

// A byte of 160 or more standing alone is a Latin-1 character (or a piece
// of a broken sequence) of its own; a C1 control (128-159) is treated as
// the other control characters are.
KeyOutcome single_byte(Editor& e, unsigned char byte) {
    char c = static_cast<char>(byte);
    if (byte >= 0xA0) return insert_text(e, std::string_view(&c, 1));
    if (e.full) return KeyOutcome::more;
    return insert_text(e, std::string(1, c) + "\r");
}

// The bytes gathered so far, each a character of its own.
KeyOutcome flush_partial(Editor& e) {
    std::string bytes = std::move(e.partial);
    e.partial.clear();
    for (char b : bytes) {
        if (single_byte(e, static_cast<unsigned char>(b)) == KeyOutcome::done)
            return KeyOutcome::done;
    }
    return KeyOutcome::more;
}

KeyOutcome wait_for_rest(Editor& e) {
    if (key_waiting(STDIN_FILENO, kSequenceRestMs)) return KeyOutcome::more;
    return flush_partial(e);
}

// Bytes of 128 and more: the bytes of a UTF-8 sequence are gathered into
// one character; any other such byte is a character by itself.
KeyOutcome eight_bit_byte(Editor& e, unsigned char byte) {
    if (!e.partial.empty() && is_continuation(byte)) {
        e.partial.push_back(static_cast<char>(byte));
        auto lead = static_cast<unsigned char>(e.partial[0]);
        size_t wanted = 1 + static_cast<size_t>(utf8_continuations(lead));
        if (e.partial.size() < wanted) return wait_for_rest(e);
        if (char_length(e.partial, 0) != wanted) return flush_partial(e);
        std::string character = std::move(e.partial);
        e.partial.clear();
        return insert_text(e, character);
    }
    if (flush_partial(e) == KeyOutcome::done) return KeyOutcome::done;
    if (utf8_continuations(byte) == 0) return single_byte(e, byte);
    e.partial.assign(1, static_cast<char>(byte));
    return wait_for_rest(e);
}

// Beyond this many choices a listing says how many more there are: a
// listing of a huge directory would scroll the line away.
constexpr size_t kMaxListedChoices = 200;

// The choices in columns below the line, ordered down the columns; then
// the prompt and the line again, the cursor where it was.
void list_choices(Editor& e, const std::vector<std::string>& choices) {
    size_t shown = std::min(choices.size(), kMaxListedChoices);
    int widest = 0;
    for (size_t i = 0; i < shown; ++i) widest = std::max(widest, text_columns(choices[i]));
    int width = e.display.width > 0 ? e.display.width : 80;
    size_t columns = static_cast<size_t>(std::max(1, width / (widest + 2)));
    size_t rows = (shown + columns - 1) / columns;
    cursor_right(e.display, columns_after_cursor(e));
    std::string& out = e.display.out;
    out += "\r\n";
    for (size_t row = 0; row < rows; ++row) {
        for (size_t i = row; i < shown; i += rows) {
            out += choices[i];
            if (i + rows < shown) out.append(static_cast<size_t>(widest + 2 - text_columns(choices[i])), ' ');
        }
        out += "\r\n";
    }
    if (shown < choices.size()) out += "(" + std::to_string(choices.size() - shown) + " more)\r\n";
    e.display.column = 0;
    show_text(e.display, e.prompt);
    echo_text(e.display, e.text);
    cursor_left(e.display, columns_after_cursor(e));
}

// Tab: what the completer adds goes in at the cursor (always inserted);
// when it can add nothing, a Tab right after another lists the choices,
// and otherwise the bell rings.
KeyOutcome tab_key(Editor& e) {
    std::string command = std::string(e.before) + e.text;
    TabCompletion c = line_edit_state().completer(command, e.before.size() + static_cast<size_t>(e.cursor));
    if (c.insert_tab) return insert_text(e, "\t");
    // A completion that would not fit is not made: typing past the limit
    // throws the line away, which a Tab must never do.
    if (!c.insert.empty() && e.text.size() + c.insert.size() <= kMaxEditLine) {
        bool insert = e.insert;
        e.insert = true;
        KeyOutcome outcome = insert_text(e, c.insert);
        e.insert = insert;
        return outcome;
    }
    if (c.choices.size() > 1 && e.previous_key == '\t') list_choices(e, c.choices);
    else e.display.out += '\a';
    return KeyOutcome::more;
}

KeyOutcome handle_key(Editor& e, int key, char single_key) {
    if (key >= 0x80 && key <= 0xFF) return eight_bit_byte(e, static_cast<unsigned char>(key));
    if (!e.partial.empty() && flush_partial(e) == KeyOutcome::done) return KeyOutcome::done;
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
    if (key == '\t' && e.completing) return tab_key(e);
    if (key >= KEY_FIRST_SEQUENCE) return defined_key(e, key);
    return plain_character(e, key);
}

void start_line(Editor& e, std::string& line, std::string& prefix) {
    RecallList& r = recall_list();
    e.remembered = r.position;
    r.position = 0;
    line_edit_state().reprompt = false;
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

uint32_t getline(std::string_view prompt, std::string& line, char single_key, bool command) {
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
    e.before = prefix;
    e.completing = command && e.full && line_edit_state().completer;
    std::fflush(redirection().output);
    std::fflush(stdout);
    e.display.out += '\r';
    show_text(e.display, prompt);
    e.prompt = prompt;
    e.prompt_columns = text_columns(prompt);
    echo_text(e.display, e.text);
    write_now(e);
    for (;;) {
        int key = read_key(STDIN_FILENO);
        if (handle_key(e, key, single_key) == KeyOutcome::done) break;
        e.previous_key = key;
        write_now(e);
    }
    bool keep = (e.result == 1 || e.result == cond::RMS_EOF) && !error_queued();
    if (!keep && e.result != cond::CONTROLY) newline(e);
    write_now(e);
    line = keep ? prefix + e.text : prefix;
    set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    return e.result;
}

}  // namespace dcl
