// The terminals the interpreter drives: one record per device with its
// original settings and VMS-style characteristics, the numbered modes, and
// the settings put back on every way out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>
#include <termios.h>
#include <vector>

#include "tty/capabilities.h"

namespace dcl {

// Characteristics, word 1.
inline constexpr uint32_t TT_NOECHO = 0x2;
inline constexpr uint32_t TT_ESCAPE = 0x8;  // escape sequences are decoded into keys
inline constexpr uint32_t TT_TTSYNC = 0x20;
inline constexpr uint32_t TT_LOWER = 0x80;
inline constexpr uint32_t TT_MECHTAB = 0x100;
inline constexpr uint32_t TT_WRAP = 0x200;
inline constexpr uint32_t TT_SCOPE = 0x1000;
inline constexpr uint32_t TT_EIGHTBIT = 0x8000;
inline constexpr uint32_t TT_NOBRDCST = 0x20000;
// Word 2.
inline constexpr uint32_t TT2_SETSPEED = 0x100;
inline constexpr uint32_t TT2_DECCRT4 = 0x400;
inline constexpr uint32_t TT2_EDITING = 0x1000;
inline constexpr uint32_t TT2_INSERT = 0x2000;
inline constexpr uint32_t TT2_DIALUP = 0x8000;
inline constexpr uint32_t TT2_PASTHRU = 0x40000;
inline constexpr uint32_t TT2_APP_KEYPAD = 0x800000;
inline constexpr uint32_t TT2_ANSICRT = 0x1000000;
inline constexpr uint32_t TT2_AVO = 0x8000000;
inline constexpr uint32_t TT2_EDIT_MODE = 0x10000000;
inline constexpr uint32_t TT2_DECCRT = 0x20000000;
inline constexpr uint32_t TT2_DECCRT2 = 0x40000000;
inline constexpr uint32_t TT2_DECCRT3 = 0x80000000;

// Control characters.
inline constexpr unsigned char CTRL_C = 3;
inline constexpr unsigned char CTRL_Y = 25;
inline constexpr unsigned char CTRL_Z = 26;

enum TerminalMode {
    TTY_ORIGINAL = 0,   // as found (exit)
    TTY_COMMAND = 1,    // the interpreter runs commands
    TTY_SINGLE_KEY = 2, // line editing: one key at a time, Ctrl-C read as a key
    TTY_SHELL = 3,      // a shell command runs
    TTY_KEYS_CRLF = 4,  // single keys, RETURN read as newline
    TTY_POLL = 5,       // single keys with a tenth-of-a-second time-out
    TTY_QUIT_ONLY = 7,  // only the quit and suspend characters fixed
    TTY_IMAGE = 8,      // an image runs
};

struct TerminalRecord {
    int fd = -1;
    bool owns_fd = false;
    uint32_t characteristics[3] = {0, 0, 0};
    tcflag_t iflag = 0, oflag = 0, cflag = 0, lflag = 0;  // what the modes start from
    int speed = 0;
    struct termios original {};
    std::string name;
    dev_t device = 0;
    bool not_terminal = false;  // a pipe standing in for a terminal
};

struct TerminalState {
    int pipes_count_as_terminals = -1;  // QV_TTY_PIPES, looked up once
    int drone_nocrlf = -1;              // DRONE_NOCRLF, looked up once
    bool exit_hook = false;             // restore_ttys registered with atexit
    std::vector<std::unique_ptr<TerminalRecord>> records;  // newest first
    Capabilities caps;
    int width = 0, height = 0;
};

TerminalState& terminal_state();
// This part alone back to its start value, closing the descriptors the
// records own (unit tests, and the interpreter's reset).
void reset_terminal_state();

// A descriptor counts as a terminal when isatty says so, or, with
// QV_TTY_PIPES set in the environment, when it is a FIFO.
bool is_terminal(int fd);

// Creates or refreshes the record of the descriptor's device and the
// capabilities. 1, RMS_DEV (not a terminal), NOPRIV (settings
// unreadable) or INTERR (the descriptor cannot be examined).
uint32_t init_tty(int fd);

// The record of the descriptor's device, or nullptr.
TerminalRecord* find_tty(int fd);

// Switches the device to a mode. 1, RMS_DEV or NOPRIV.
uint32_t set_tty_mode(int fd, TerminalMode mode);

// Every recorded device back to its original settings; the records go.
void restore_ttys();

// The same with async-signal-safe calls only, records kept.
void restore_ttys_from_signal();

// The screen size in use (width, height); 80 and 24 when unknown.
int screen_width();
int screen_height();

// ---- pieces exposed for tests ----------------------------------------------
// The characteristics that a device's termios settings give (word 1, 2, 3).
void characteristics_from_termios(const struct termios& t, uint32_t words[3]);

// The other way: the termios flags behind the characteristics bits of
// `changed` are set to match `words`; other flags stay as they are.
void termios_from_characteristics(const uint32_t words[3], const uint32_t changed[3],
                                  struct termios& t);

// The termios speed code of a baud rate; false when there is none.
bool speed_code(int baud, speed_t& code);

// The text form of saved settings in the environment, and back. Decoding
// is false for any text that encode did not produce.
std::string encode_termios(const struct termios& t);
bool decode_termios(std::string_view text, struct termios& t);

// The settings of a mode, from a record.
struct termios settings_for_mode(const TerminalRecord& record, TerminalMode mode, bool map_cr);

}  // namespace dcl
