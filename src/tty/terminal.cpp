// Terminal records: the original settings (kept in the environment so that
// a nested interpreter puts back the first one's), the characteristics,
// the numbered modes and the way back on exit.
#include "tty/terminal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "status/condition.h"

namespace dcl {

namespace {

// Speed codes of termios and their baud rates.
struct SpeedEntry {
    speed_t code;
    int baud;
};
constexpr SpeedEntry kSpeeds[] = {
    {B0, 0},         {B50, 50},       {B75, 75},       {B110, 110},     {B134, 134},
    {B150, 150},     {B200, 200},     {B300, 300},     {B600, 600},     {B1200, 1200},
    {B1800, 1800},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},   {B19200, 19200},
    {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
};

int baud_of(speed_t code) {
    for (const SpeedEntry& s : kSpeeds)
        if (s.code == code) return s.baud;
    return 0;
}

// How the termios settings of a device show as characteristics, and how
// SET TERMINAL puts a characteristic back into them. Bits not listed here
// come from the capabilities (scope, wrap, escape, editing, the DEC_CRT
// levels) or only from SET TERMINAL.
struct TermiosMapping {
    int word;       // 0, 1 or 2
    uint32_t bit;
    bool (*holds)(const struct termios&);
    void (*make)(struct termios&, bool on);
};

void set_flags(tcflag_t& flags, tcflag_t bits, bool on) {
    if (on) flags |= bits;
    else flags &= ~bits;
}

constexpr TermiosMapping kTermiosMapping[] = {
    // No Echo only when the device itself does not echo.
    {0, TT_NOECHO, [](const termios& t) { return (t.c_lflag & ECHO) == 0; },
     [](termios& t, bool on) { set_flags(t.c_lflag, ECHO, !on); }},
    // XON/XOFF flow control.
    {0, TT_TTSYNC, [](const termios& t) { return (t.c_iflag & IXON) != 0; },
     [](termios& t, bool on) { set_flags(t.c_iflag, IXON, on); }},
    // Lower case unless the device is in upper-case-only mode. The way
    // back only leaves that mode: no driver flag turns typed lower case
    // into upper case, which is what an upper-case terminal means here
    // (the key reader does it for the interpreter's own input).
    {0, TT_LOWER,
     [](const termios& t) { return (t.c_iflag & IUCLC) == 0 && (t.c_lflag & XCASE) == 0; },
     [](termios& t, bool on) {
         if (!on) return;
         t.c_iflag &= ~static_cast<tcflag_t>(IUCLC);
         t.c_oflag &= ~static_cast<tcflag_t>(OLCUC);
         t.c_lflag &= ~static_cast<tcflag_t>(XCASE);
     }},
    // Tabs are not expanded on output: the terminal has tab stops.
    {0, TT_MECHTAB, [](const termios& t) { return (t.c_oflag & TABDLY) != TAB3; },
     [](termios& t, bool on) {
         t.c_oflag &= ~static_cast<tcflag_t>(TABDLY);
         t.c_oflag |= on ? TAB0 : TAB3;
     }},
    // Eight data bits, not stripped. Seven bits are had by stripping the
    // input: the character size is the line's framing, left alone.
    {0, TT_EIGHTBIT,
     [](const termios& t) { return (t.c_cflag & CSIZE) == CS8 && (t.c_iflag & ISTRIP) == 0; },
     [](termios& t, bool on) {
         set_flags(t.c_iflag, ISTRIP, !on);
         if (on) t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS8;
     }},
    // Line editing inserts by default, as Unix line editors do.
    {1, TT2_INSERT, [](const termios&) { return true; }, [](termios&, bool) {}},
    // A modem line: hang-up on close and no local mode.
    {1, TT2_DIALUP,
     [](const termios& t) { return (t.c_cflag & HUPCL) != 0 && (t.c_cflag & CLOCAL) == 0; },
     [](termios& t, bool on) {
         set_flags(t.c_cflag, HUPCL, on);
         set_flags(t.c_cflag, CLOCAL, !on);
     }},
};

// Capability-derived bits of words 1 and 2, refreshed at every init_tty.
void apply_capability_bits(TerminalRecord& r, Capabilities& caps, bool fresh) {
    uint32_t& w1 = r.characteristics[0];
    uint32_t& w2 = r.characteristics[1];
    if (fresh) {
        w1 |= caps.cl.empty() ? TT_WRAP : TT_SCOPE | TT_WRAP;
        w2 |= TT2_SETSPEED;
    }
    w2 &= 0x96fffbffu;
    const char* term = std::getenv("TERM");
    if (!caps.ho.empty() && !caps.cl.empty() && term && (term[0] == 'v' || term[0] == 'V') &&
        (term[1] == 't' || term[1] == 'T')) {
        int level = std::atoi(term + 2);
        if (level > 99) w2 |= TT2_DECCRT;
        if (level > 199) w2 |= TT2_DECCRT2;
        if (level > 299) w2 |= TT2_DECCRT3;
        if (level > 399) w2 |= TT2_DECCRT4;
    }
    if (!caps.le.empty() && !caps.up.empty() && !caps.nd.empty()) {
        w2 |= TT2_EDITING;
        w1 |= TT_ESCAPE;
    }
    if (w2 & TT2_DECCRT) {
        w2 |= TT2_AVO;
        if (caps.ks.size() <= 6) caps.ks = "\x1b[?1h\x1b=";
        if (caps.ke.size() <= 6) caps.ke = "\x1b[?1l\x1b>";
    }
    if (caps.ho == "\x1b[H") w2 |= TT2_ANSICRT;
    if (!caps.ce.empty()) w2 |= TT2_EDIT_MODE;
}

std::string saved_settings_variable(const std::string& name) {
    std::string_view tail = name;
    if (tail.size() > 5) tail.remove_prefix(5);  // without "/dev/"
    return "TQ_ORIGTTY" + std::string(tail);
}

// The first interpreter on a terminal records its settings; nested ones
// find them and put those back when they end.
uint32_t take_original_settings(TerminalRecord& r) {
    std::string variable = saved_settings_variable(r.name);
    if (const char* saved = std::getenv(variable.c_str())) {
        if (decode_termios(saved, r.original)) return 1;
        std::fprintf(stderr, "warning in init_tty_qv: asc2bin status %u\n", 0u);
    }
    if (tcgetattr(r.fd, &r.original) != 0) return cond::NOPRIV;
    if (setenv(variable.c_str(), encode_termios(r.original).c_str(), 1) != 0)
        std::fprintf(stderr, "warning in init_tty_qv: bin2asc status %u\n", 0u);
    return 1;
}

uint32_t create_record(int fd, struct stat& st) {
    auto record = std::make_unique<TerminalRecord>();
    TerminalRecord& r = *record;
    r.device = st.st_rdev;
    r.not_terminal = !isatty(fd);
    if (r.not_terminal) {
        char name[32];
        std::snprintf(name, sizeof name, "pipe%lx", static_cast<unsigned long>(st.st_rdev));
        r.name = name;
        r.fd = fd;
        r.lflag = ISIG | ECHO;
        r.speed = 115200;
        r.characteristics[0] = TT_LOWER;
    } else {
        const char* name = ttyname(fd);
        r.name = name ? name : "/dev/tty";
        r.fd = open(r.name.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        r.owns_fd = r.fd >= 0;
        if (r.fd < 0) r.fd = fd;
        if (uint32_t status = take_original_settings(r); status != 1) {
            if (r.owns_fd) close(r.fd);
            return status;
        }
        r.iflag = r.original.c_iflag;
        r.oflag = r.original.c_oflag;
        r.cflag = r.original.c_cflag;
        r.lflag = r.original.c_lflag;
        r.speed = baud_of(cfgetospeed(&r.original));
        characteristics_from_termios(r.original, r.characteristics);
    }
    auto& records = terminal_state().records;
    records.insert(records.begin(), std::move(record));
    return 1;
}

int environment_number(const char* name) {
    const char* text = std::getenv(name);
    return text ? std::atoi(text) : 0;
}

void load_screen_data() {
    TerminalState& t = terminal_state();
    t.width = environment_number("COLS");
    t.height = environment_number("LINES");
    bool known = false;
    load_capabilities(std::getenv("TERM"), t.caps, known);
    if (known) {
        if (t.height <= 0) t.height = t.caps.lines;
        if (t.width <= 0) t.width = t.caps.columns;
    }
    if (t.height <= 0) t.height = 24;
    if (t.width <= 0) t.width = 80;
}

void apply_common_reading_settings(struct termios& t, const TerminalRecord& r) {
    bool pass_through = (r.characteristics[1] & TT2_PASTHRU) != 0;
    t.c_cc[VINTR] = pass_through ? _POSIX_VDISABLE : CTRL_C;
    t.c_cc[VQUIT] = pass_through ? _POSIX_VDISABLE : CTRL_Y;
    t.c_cc[VEOF] = CTRL_Z;
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
    if (r.characteristics[0] & TT_TTSYNC) t.c_iflag |= IXON;
    else t.c_iflag &= ~static_cast<tcflag_t>(IXON);
    t.c_oflag &= ~static_cast<tcflag_t>(TABDLY);
    t.c_oflag |= (r.characteristics[0] & TT_MECHTAB) ? TAB0 : TAB3;
    // Keys typed while a command runs wait for the line editor exactly as
    // typed: no line discipline editing (which would eat Ctrl-Z, Ctrl-U
    // and DELETE) and RETURN not turned into Ctrl-J. So even the command
    // mode reads single characters; it differs from the editor's mode in
    // keeping Ctrl-C and Ctrl-Y as signals.
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | IEXTEN);
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
    // Typed text keeps its eighth bit: UTF-8 and Latin-1 arrive whole.
    t.c_iflag &= ~static_cast<tcflag_t>(ISTRIP);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    t.c_lflag |= ISIG;
    if (pass_through) t.c_lflag &= ~static_cast<tcflag_t>(ISIG);
}

void single_keys(struct termios& t, cc_t minimum, cc_t tenths) {
    t.c_cc[VMIN] = minimum;
    t.c_cc[VTIME] = tenths;
}

}  // namespace

void reset_terminal_state() {
    TerminalState& t = terminal_state();
    for (auto& r : t.records)
        if (r->owns_fd) close(r->fd);
    t = TerminalState{};
}

bool is_terminal(int fd) {
    if (isatty(fd)) return true;
    int& pipes = terminal_state().pipes_count_as_terminals;
    if (pipes < 0) pipes = std::getenv("QV_TTY_PIPES") != nullptr;
    if (!pipes) return false;
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

void characteristics_from_termios(const struct termios& t, uint32_t words[3]) {
    for (const TermiosMapping& m : kTermiosMapping) {
        if (m.holds(t)) words[m.word] |= m.bit;
        else words[m.word] &= ~m.bit;
    }
}

void termios_from_characteristics(const uint32_t words[3], const uint32_t changed[3],
                                  struct termios& t) {
    for (const TermiosMapping& m : kTermiosMapping)
        if (changed[m.word] & m.bit) m.make(t, (words[m.word] & m.bit) != 0);
}

bool speed_code(int baud, speed_t& code) {
    for (const SpeedEntry& s : kSpeeds) {
        if (s.baud == baud) {
            code = s.code;
            return true;
        }
    }
    return false;
}

TerminalRecord* find_tty(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return nullptr;
    for (auto& r : terminal_state().records)
        if (r->device == st.st_rdev) return r.get();
    return nullptr;
}

uint32_t init_tty(int fd) {
    if (!is_terminal(fd)) return cond::RMS_DEV;
    TerminalState& t = terminal_state();
    if (t.drone_nocrlf < 0) t.drone_nocrlf = std::getenv("DRONE_NOCRLF") != nullptr;
    TerminalRecord* record = find_tty(fd);
    bool fresh = record == nullptr;
    if (fresh) {
        struct stat st {};
        if (fstat(fd, &st) != 0) {
            std::fputs("init_tty: can't stat tty file descriptor\n", stderr);
            return cond::INTERR;
        }
        if (uint32_t status = create_record(fd, st); status != 1) return status;
        record = t.records.front().get();
    }
    load_screen_data();
    apply_capability_bits(*record, t.caps, fresh);
    return 1;
}

struct termios settings_for_mode(const TerminalRecord& r, TerminalMode mode, bool map_cr) {
    struct termios t = r.original;
    if (mode == TTY_ORIGINAL) return t;
    t.c_iflag = r.iflag;
    t.c_oflag = r.oflag;
    t.c_cflag = r.cflag;
    t.c_lflag = r.lflag;
    switch (mode) {
    case TTY_COMMAND: apply_common_reading_settings(t, r); break;
    case TTY_SINGLE_KEY:
    case TTY_KEYS_CRLF:
    case TTY_POLL:
        apply_common_reading_settings(t, r);
        if (mode == TTY_POLL) single_keys(t, 0, 1);
        if (mode == TTY_SINGLE_KEY) t.c_lflag &= ~static_cast<tcflag_t>(ISIG);
        if (mode == TTY_KEYS_CRLF && map_cr) t.c_iflag |= ICRNL;
        break;
    case TTY_SHELL:
    case TTY_IMAGE:
        t.c_cc[VEOF] = CTRL_Z;
        // Ctrl-Y stops a running command as it stops an image: the
        // interpreter sees it as the quit signal and ends the child.
        t.c_cc[VQUIT] = CTRL_Y;
        if (mode == TTY_IMAGE) t.c_cc[VINTR] = CTRL_C;
        break;
    default: break;
    }
    if (t.c_cc[VQUIT] == _POSIX_VDISABLE) t.c_cc[VQUIT] = CTRL_Y;
    t.c_cc[VSUSP] = _POSIX_VDISABLE;
    return t;
}

uint32_t set_tty_mode(int fd, TerminalMode mode) {
    TerminalRecord* r = find_tty(fd);
    if (!r) {
        if (uint32_t status = init_tty(fd); status != 1) return status;
        r = find_tty(fd);
        if (!r) return cond::RMS_DEV;
    }
    if (r->not_terminal) return 1;
    // A background job leaves the terminal to the foreground: changing it
    // would stop this process (SIGTTOU) or disturb the shell in front.
    pid_t foreground = tcgetpgrp(r->fd);
    if (foreground != -1 && foreground != getpgrp()) return 1;
    TerminalState& state = terminal_state();
    if (!state.exit_hook) {
        state.exit_hook = true;
        std::atexit(restore_ttys);
    }
    struct termios t = settings_for_mode(*r, mode, state.drone_nocrlf == 0);
    return tcsetattr(r->fd, TCSADRAIN, &t) == 0 ? 1 : cond::NOPRIV;
}

void restore_ttys() {
    auto& records = terminal_state().records;
    for (auto& r : records) {
        if (!r->not_terminal) tcsetattr(r->fd, TCSADRAIN, &r->original);
        if (r->owns_fd) close(r->fd);
    }
    records.clear();
}

void restore_ttys_from_signal() {
    for (auto& r : terminal_state().records)
        if (!r->not_terminal) tcsetattr(r->fd, TCSANOW, &r->original);
}

int screen_width() {
    int width = terminal_state().width;
    return width > 0 ? width : 80;
}

int screen_height() {
    int height = terminal_state().height;
    return height > 0 ? height : 24;
}

std::string encode_termios(const struct termios& t) {
    static const char kHex[] = "0123456789abcdef";
    const auto* bytes = reinterpret_cast<const unsigned char*>(&t);
    std::string text = "v1:";
    for (size_t i = 0; i < sizeof t; ++i) {
        text.push_back(kHex[bytes[i] >> 4]);
        text.push_back(kHex[bytes[i] & 0xF]);
    }
    return text;
}

bool decode_termios(std::string_view text, struct termios& t) {
    if (!text.starts_with("v1:") || text.size() != 3 + 2 * sizeof t) return false;
    text.remove_prefix(3);
    unsigned char bytes[sizeof t];
    for (size_t i = 0; i < sizeof t; ++i) {
        int value = 0;
        for (char c : {text[2 * i], text[2 * i + 1]}) {
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0) return false;
            value = value * 16 + digit;
        }
        bytes[i] = static_cast<unsigned char>(value);
    }
    std::memcpy(&t, bytes, sizeof t);
    return true;
}

}  // namespace dcl
