// SET TERMINAL and SHOW TERMINAL: the characteristics of the terminal on
// standard input, and the termios settings, screen size, keypad mode,
// device permissions and terminal type behind them. SET TERMINAL reads
// and checks every value before anything changes; the changes that can
// fail are undone when a later one fails, so a refused command leaves the
// terminal as it was.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"
#include "tty/capabilities.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

// What the command returns when standard input is no terminal.
constexpr uint32_t kInputNotTerminal = 324;

// ---- SHOW TERMINAL ---------------------------------------------------------

// A characteristic as VMS names it: the name alone when it holds, with
// "No " before it when it does not.
std::string shown(bool holds, std::string_view name) {
    return (holds ? std::string() : std::string("No ")) + std::string(name);
}

void write_header(FILE* out, const TerminalRecord& r) {
    std::string_view device = r.name;
    if (device.starts_with("/dev/")) device.remove_prefix(5);
    const char* type = std::getenv("TERM");
    if (!type || !*type) type = "unknown";
    std::fprintf(out, "Terminal: %-12sDevice_Type: %-14sOwner: %s\n\n", std::string(device).c_str(), type,
                 session().user_name.c_str());
    int lf_fill = (r.oflag & NLDLY) ? 1 : 0;
    int cr_fill = static_cast<int>((r.oflag & CRDLY) / CR1);
    const char* parity = !(r.cflag & PARENB) ? "None" : (r.cflag & PARODD) ? "Odd" : "Even";
    std::fprintf(out, "   Input:   %-11dLFfill:  %-7dWidth:  %-7dParity: %s\n", r.speed, lf_fill, screen_width(),
                 parity);
    std::fprintf(out, "   Output:  %-11dCRfill:  %-7dPage:   %-7d\n\n", r.speed, cr_fill, screen_height());
}

// The 45 fields of the characteristics, in the order they are shown.
std::vector<std::string> characteristics_fields(const TerminalRecord& r) {
    uint32_t w1 = r.characteristics[0], w2 = r.characteristics[1];
    bool echo = !(w1 & TT_NOECHO);
    return {
        "Interactive", shown(echo, "Echo"), "Type_Ahead", "No Escape",
        "No Hostsync", shown(w1 & TT_TTSYNC, "TTsync"), (w1 & TT_LOWER) ? "Lowercase" : "Uppercase",
        shown(w1 & TT_MECHTAB, "Tab"),
        shown(w1 & TT_WRAP, "Wrap"), "Scope", "No Remote", shown(w1 & TT_EIGHTBIT, "Eightbit"),
        shown(!(w1 & TT_NOBRDCST), "Broadcast"), "No Readsync", "No Form", "Fulldup",
        "No Modem", shown(!echo, "Local_echo"), "No Autobaud", "No Hangup",
        "No Brdcstmbx", "No DMA", "No Altypeahd", shown(w2 & TT2_SETSPEED, "Set_speed"),
        shown(w2 & TT2_EDITING, "Line Editing"), (w2 & TT2_INSERT) ? "Insert editing" : "Overstrike editing",
        "No Fallback", shown(w2 & TT2_DIALUP, "Dialup"),
        "No Secure server", "No Disconnect", shown(w2 & TT2_PASTHRU, "Pasthru"), "No Syspassword",
        "No SIXEL Graphics", "No Soft Characters", "No Printer Port",
        (w2 & TT2_APP_KEYPAD) ? "Application keypad" : "Numeric keypad",
        shown(w2 & TT2_ANSICRT, "ANSI_CRT"), "No Regis", "No Block_mode", shown(w2 & TT2_AVO, "Advanced_video"),
        shown(w2 & TT2_EDIT_MODE, "Edit_mode"), shown(w2 & TT2_DECCRT, "DEC_CRT"),
        shown(w2 & TT2_DECCRT2, "DEC_CRT2"), shown(w2 & TT2_DECCRT3, "DEC_CRT3"),
        shown(w2 & TT2_DECCRT4, "DEC_CRT4"),
    };
}

void write_characteristics(FILE* out, const TerminalRecord& r) {
    std::fputs("Terminal Characteristics:\n", out);
    std::vector<std::string> fields = characteristics_fields(r);
    size_t i = 0;
    for (; i + 4 <= fields.size(); i += 4)
        std::fprintf(out, "   %-18s %-18s %-18s %s\n", fields[i].c_str(), fields[i + 1].c_str(),
                     fields[i + 2].c_str(), fields[i + 3].c_str());
    for (; i < fields.size(); ++i) std::fprintf(out, "   %s\n", fields[i].c_str());
}

// ---- SET TERMINAL: the qualifiers ------------------------------------------

constexpr uint32_t kValue = KW_VALUE_ALLOWED;
constexpr ValueKind kUnsupported = ValueKind::unsupported;

constexpr KeywordRecord kRows[] = {
    {"ADVANC", 0, qual::TERMINAL_ADVANCED_VIDEO},
    {"ALTYPE", 0, qual::TERMINAL_ALTYPEAHD, kUnsupported},
    {"ANSI_C", 0, qual::TERMINAL_ANSI_CRT},
    {"APPLIC", 0, qual::TERMINAL_APPLICATION_KEYPAD},
    {"AUTOBA", 0, qual::TERMINAL_AUTOBAUD, kUnsupported},
    {"BLOCK_", 0, qual::TERMINAL_BLOCK_MODE, kUnsupported},
    {"BRDCST", 0, qual::TERMINAL_BRDCSTMBX, kUnsupported},
    {"BROADC", 0, qual::TERMINAL_BROADCAST},
    {"CRFILL", kValue, qual::TERMINAL_CRFILL, ValueKind::string, 0, "0"},
    {"DEC_CR", kValue, qual::TERMINAL_DEC_CRT, ValueKind::list},
    {"DEVICE", KW_NEEDS_VALUE, qual::TERMINAL_DEVICE_TYPE, ValueKind::string},
    {"DIALUP", 0, qual::TERMINAL_DIALUP},
    {"DISCON", 0, qual::TERMINAL_DISCONNECT, kUnsupported},
    {"DISMIS", 0, qual::TERMINAL_DISMISS},
    {"DMA", 0, qual::TERMINAL_DMA, kUnsupported},
    {"ECHO", 0, qual::TERMINAL_ECHO},
    {"EDIT_M", 0, qual::TERMINAL_EDIT_MODE},
    {"EIGHT_", 0, qual::TERMINAL_EIGHT_BIT},
    {"ESCAPE", 0, qual::TERMINAL_ESCAPE, kUnsupported},
    {"FALLBA", 0, qual::TERMINAL_FALLBACK, kUnsupported},
    {"FORM", 0, qual::TERMINAL_FORM, kUnsupported},
    {"FRAME", kValue, qual::TERMINAL_FRAME, kUnsupported},
    {"FULLDU", 0, qual::TERMINAL_FULLDUP, kUnsupported},
    {"HALFDU", 0, qual::TERMINAL_HALFDUP, kUnsupported},
    {"HANGUP", 0, qual::TERMINAL_HANGUP, kUnsupported},
    {"HARDCO", 0, qual::TERMINAL_HARDCOPY, kUnsupported},
    {"HOSTSY", 0, qual::TERMINAL_HOSTSYNC, kUnsupported},
    {"INQUIR", 0, qual::TERMINAL_INQUIRE, ValueKind::ignored},
    {"INSERT", 0, qual::TERMINAL_INSERT},
    {"LFFILL", kValue, qual::TERMINAL_LFFILL, ValueKind::string, 0, "0"},
    {"LINE_E", 0, qual::TERMINAL_LINE_EDITING},
    {"LOCAL_", 0, qual::TERMINAL_LOCAL_ECHO},
    {"LOWERC", 0, qual::TERMINAL_LOWERCASE},
    {"MANUAL", 0, qual::TERMINAL_MANUAL, kUnsupported},
    {"MODEM", 0, qual::TERMINAL_MODEM, kUnsupported},
    {"NUMERI", 0, qual::TERMINAL_NUMERIC_KEYPAD},
    {"OVERST", 0, qual::TERMINAL_OVERSTRIKE},
    {"PAGE", kValue, qual::TERMINAL_PAGE, ValueKind::string, 0, "24"},
    {"PARITY", kValue, qual::TERMINAL_PARITY, ValueKind::string, 0, "EVEN"},
    {"PASTHR", 0, qual::TERMINAL_PASTHRU},
    {"PERMAN", 0, qual::TERMINAL_PERMANENT, kUnsupported},
    {"PRINTE", 0, qual::TERMINAL_PRINTER_PORT, kUnsupported},
    {"PROTOC", kValue, qual::TERMINAL_PROTOCOL, kUnsupported},
    {"READSY", 0, qual::TERMINAL_READSYNC, kUnsupported},
    {"REGIS", 0, qual::TERMINAL_REGIS, kUnsupported},
    {"SCOPE", 0, qual::TERMINAL_SCOPE, kUnsupported},
    {"SECURE", 0, qual::TERMINAL_SECURE_SERVER, kUnsupported},
    {"SET_SP", 0, qual::TERMINAL_SET_SPEED},
    {"SIXEL_", 0, qual::TERMINAL_SIXEL_GRAPHICS, kUnsupported},
    {"SOFT_C", 0, qual::TERMINAL_SOFT_CHARACTERS, kUnsupported},
    {"SPEED", kValue, qual::TERMINAL_SPEED, ValueKind::string, 0, "9600"},
    {"SWITCH", kValue, qual::TERMINAL_SWITCH, kUnsupported},
    {"SYSPAS", 0, qual::TERMINAL_SYSPASSWORD, kUnsupported},
    {"TAB", 0, qual::TERMINAL_TAB},
    {"TTSYNC", 0, qual::TERMINAL_TTSYNC},
    {"TYPE_A", 0, qual::TERMINAL_TYPE_AHEAD, kUnsupported},
    {"UNKNOW", 0, qual::TERMINAL_UNKNOWN},
    {"UPPERC", 0, qual::TERMINAL_UPPERCASE},
    {"WIDTH", kValue, qual::TERMINAL_WIDTH, ValueKind::string, 0, "80"},
    {"WRAP", 0, qual::TERMINAL_WRAP},
};
static_assert(std::size(kRows) == 60);

enum class Parity { none, odd, even };

// What one SET TERMINAL command asks for, read and checked in full before
// anything changes. Characteristics bits go to the set or the clear mask
// (word 1, 2, 3); the last qualifier that names a bit decides.
struct TerminalRequest {
    uint32_t set[3] = {};
    uint32_t clear[3] = {};
    std::optional<bool> application_keypad;
    std::optional<bool> broadcast;
    std::optional<int64_t> crfill, lffill, page, width, speed;
    std::optional<Parity> parity;
    std::optional<std::string> device;
};

constexpr int kWord1 = 0, kWord2 = 1;

// Qualifiers that stand for one characteristics bit.
struct BitQualifier {
    uint32_t code;
    int word;
    uint32_t bit;
    bool positive_sets;  // false: the positive form clears the bit
};

constexpr BitQualifier kBitQualifiers[] = {
    {qual::TERMINAL_ADVANCED_VIDEO, kWord2, TT2_AVO, true},
    {qual::TERMINAL_ANSI_CRT, kWord2, TT2_ANSICRT, true},
    {qual::TERMINAL_DIALUP, kWord2, TT2_DIALUP, true},
    // DISMISS has no meaning of its own on Unix; it acts as WRAP.
    {qual::TERMINAL_DISMISS, kWord1, TT_WRAP, true},
    {qual::TERMINAL_ECHO, kWord1, TT_NOECHO, false},
    {qual::TERMINAL_EDIT_MODE, kWord2, TT2_EDIT_MODE, true},
    {qual::TERMINAL_EIGHT_BIT, kWord1, TT_EIGHTBIT, true},
    {qual::TERMINAL_INSERT, kWord2, TT2_INSERT, true},
    {qual::TERMINAL_LINE_EDITING, kWord2, TT2_EDITING, true},
    {qual::TERMINAL_LOCAL_ECHO, kWord1, TT_NOECHO, true},
    {qual::TERMINAL_LOWERCASE, kWord1, TT_LOWER, true},
    {qual::TERMINAL_OVERSTRIKE, kWord2, TT2_INSERT, false},
    {qual::TERMINAL_PASTHRU, kWord2, TT2_PASTHRU, true},
    {qual::TERMINAL_SET_SPEED, kWord2, TT2_SETSPEED, true},
    {qual::TERMINAL_TAB, kWord1, TT_MECHTAB, true},
    {qual::TERMINAL_TTSYNC, kWord1, TT_TTSYNC, true},
    {qual::TERMINAL_UPPERCASE, kWord1, TT_LOWER, false},
    {qual::TERMINAL_WRAP, kWord1, TT_WRAP, true},
};

// Qualifiers that give a number, and the numbers they accept.
struct NumberQualifier {
    uint32_t code;
    const char* name;
    int64_t lowest, highest;
    std::optional<int64_t> TerminalRequest::*field;
};

constexpr NumberQualifier kNumberQualifiers[] = {
    {qual::TERMINAL_CRFILL, "CRFILL", 0, 3, &TerminalRequest::crfill},
    {qual::TERMINAL_LFFILL, "LFFILL", 0, 1, &TerminalRequest::lffill},
    // Fewer lines leave no room for a page of text under TYPE's prompt.
    {qual::TERMINAL_PAGE, "PAGE", 3, 255, &TerminalRequest::page},
    // Only the rates termios knows; 0 would hang up the line.
    {qual::TERMINAL_SPEED, "SPEED", 1, 115200, &TerminalRequest::speed},
    // The line editor needs a column beside the cursor.
    {qual::TERMINAL_WIDTH, "WIDTH", 2, 511, &TerminalRequest::width},
};

// The DEC_CRT levels, lowest first.
constexpr uint32_t kDecCrtLevels[] = {TT2_DECCRT, TT2_DECCRT2, TT2_DECCRT3, TT2_DECCRT4};

void bad_value(std::string_view value, std::string_view name) {
    signal_condition(cond::SET_BADVALUE, value, name);
}

void mark(TerminalRequest& r, int word, uint32_t bits, bool on) {
    (on ? r.set : r.clear)[word] |= bits;
    (on ? r.clear : r.set)[word] &= ~bits;
}

bool read_number(const ParsedQualifier& q, const NumberQualifier& n, TerminalRequest& r) {
    if (q.negated()) return true;
    int64_t value = 0;
    if (parse_number(value, q.value) != 1) {
        bad_value(q.value, n.name);
        return false;
    }
    speed_t code = B0;
    bool rate_unknown = n.code == qual::TERMINAL_SPEED && !speed_code(static_cast<int>(value), code);
    if (value < n.lowest || value > n.highest || rate_unknown) {
        bad_value(std::to_string(value), n.name);
        return false;
    }
    r.*n.field = value;
    return true;
}

// Level N sets the levels up to N; negated, it clears N and those above.
bool mark_dec_crt_level(const std::string& item, bool negated, TerminalRequest& r) {
    int64_t level = 0;
    if (parse_number(level, item) != 1 || level < 1 || level > 4) {
        bad_value(item, "DEC_CRT");
        return false;
    }
    uint32_t bits = 0;
    for (int64_t i = negated ? level : 1; i <= (negated ? 4 : level); ++i) bits |= kDecCrtLevels[i - 1];
    mark(r, kWord2, bits, !negated);
    return true;
}

bool read_dec_crt(const ParsedQualifier& q, TerminalRequest& r) {
    std::vector<std::string> items;
    if (!qualifier_value_list(items, q.token, false)) return false;
    if (items.empty()) return mark_dec_crt_level("1", q.negated(), r);
    for (const std::string& item : items)
        if (!mark_dec_crt_level(item, q.negated(), r)) return false;
    return true;
}

bool read_parity(const ParsedQualifier& q, TerminalRequest& r) {
    if (q.negated()) {
        r.parity = Parity::none;
        return true;
    }
    std::string value = upper_ascii(q.value);
    if (value == "NONE") r.parity = Parity::none;
    else if (value == "ODD") r.parity = Parity::odd;
    else if (value == "EVEN") r.parity = Parity::even;
    else {
        bad_value(value, "PARITY");
        return false;
    }
    return true;
}

// Terminal type names are lower case on Unix ("vt100", "xterm"): a name
// typed without quotes is taken in lower case, whatever case the command
// line was given in; a quoted one as it is.
std::string device_type(const ParsedQualifier& q) {
    std::string_view typed = q.token.substr(q.token.find('=') + 1);
    if (typed.find('"') != std::string_view::npos) return q.value;
    std::string name = q.value;
    for (char& c : name) c = lower_ascii(c);
    return name;
}

bool read_bit_qualifier(const ParsedQualifier& q, TerminalRequest& r) {
    for (const BitQualifier& b : kBitQualifiers) {
        if (b.code != q.code) continue;
        mark(r, b.word, b.bit, b.positive_sets != q.negated());
        return true;
    }
    return false;
}

bool read_number_qualifier(const ParsedQualifier& q, TerminalRequest& r, bool& ok) {
    for (const NumberQualifier& n : kNumberQualifiers) {
        if (n.code != q.code) continue;
        ok = read_number(q, n, r);
        return true;
    }
    return false;
}

// One qualifier into the request. False after queueing a value error.
bool read_qualifier(const ParsedQualifier& q, TerminalRequest& r) {
    bool ok = true;
    if (read_bit_qualifier(q, r) || read_number_qualifier(q, r, ok)) return ok;
    switch (q.code) {
    case qual::TERMINAL_APPLICATION_KEYPAD: r.application_keypad = !q.negated(); break;
    case qual::TERMINAL_NUMERIC_KEYPAD: r.application_keypad = q.negated(); break;
    case qual::TERMINAL_BROADCAST: r.broadcast = !q.negated(); break;
    case qual::TERMINAL_DEC_CRT: return read_dec_crt(q, r);
    case qual::TERMINAL_PARITY: return read_parity(q, r);
    case qual::TERMINAL_DEVICE_TYPE:
        if (!q.negated()) r.device = device_type(q);
        break;
    case qual::TERMINAL_UNKNOWN: r.device = "unknown"; break;
    default: break;  // unsupported and ignored ones: the parser has dealt with them
    }
    return true;
}

bool read_request(const ParsedCommand& cmd, TerminalRequest& r) {
    for (const ParsedQualifier& q : cmd.qualifiers())
        if (!read_qualifier(q, r)) return false;
    return true;
}

// ---- SET TERMINAL: applying -----------------------------------------------

// The masks, keypad and broadcast of the request on a copy of the words.
void apply_bits(uint32_t words[3], const TerminalRequest& r) {
    for (int w = 0; w < 3; ++w) words[w] = (words[w] | r.set[w]) & ~r.clear[w];
    if (r.application_keypad) {
        if (*r.application_keypad) words[kWord2] |= TT2_APP_KEYPAD;
        else words[kWord2] &= ~TT2_APP_KEYPAD;
    }
    if (r.broadcast) {
        if (*r.broadcast) words[kWord1] &= ~TT_NOBRDCST;
        else words[kWord1] |= TT_NOBRDCST;
    }
}

void set_field(tcflag_t& flags, tcflag_t mask, tcflag_t value) { flags = (flags & ~mask) | value; }

// The working termios flags the request gives; false when a speed is
// asked for and the characteristics do not allow setting it.
bool plan_settings(TerminalRecord& planned, const TerminalRequest& r) {
    struct termios t = planned.original;
    t.c_iflag = planned.iflag;
    t.c_oflag = planned.oflag;
    t.c_cflag = planned.cflag;
    t.c_lflag = planned.lflag;
    uint32_t changed[3] = {r.set[0] | r.clear[0], r.set[1] | r.clear[1], r.set[2] | r.clear[2]};
    termios_from_characteristics(planned.characteristics, changed, t);
    static constexpr tcflag_t kCrDelays[] = {CR0, CR1, CR2, CR3};
    if (r.crfill) set_field(t.c_oflag, CRDLY, kCrDelays[*r.crfill]);
    if (r.lffill) set_field(t.c_oflag, NLDLY, *r.lffill ? NL1 : NL0);
    if (r.parity == Parity::none) set_field(t.c_cflag, PARENB | PARODD, 0);
    if (r.parity == Parity::odd) set_field(t.c_cflag, PARENB | PARODD, PARENB | PARODD);
    if (r.parity == Parity::even) set_field(t.c_cflag, PARENB | PARODD, PARENB);
    if (r.speed) {
        speed_t code = B0;
        speed_code(static_cast<int>(*r.speed), code);
        if (!(planned.characteristics[kWord2] & TT2_SETSPEED) || cfsetispeed(&t, code) != 0 ||
            cfsetospeed(&t, code) != 0)
            return false;
        planned.speed = static_cast<int>(*r.speed);
    }
    planned.iflag = t.c_iflag;
    planned.oflag = t.c_oflag;
    planned.cflag = t.c_cflag;
    planned.lflag = t.c_lflag;
    return true;
}

void refuse(std::string_view what, uint32_t reason = 0) {
    signal_condition(cond::NOTSET, what);
    signal_condition(reason);
}

// Broadcast messages reach a terminal through its group write permission,
// as "mesg y" gives it; the world never gets to write to it.
struct DeviceMode {
    std::string name;
    mode_t before = 0, after = 0;
};

bool plan_broadcast(bool on, DeviceMode& mode) {
    const char* name = ttyname(STDIN_FILENO);
    struct stat st {};
    if (!name || stat(name, &st) != 0) return false;
    mode.name = name;
    mode.before = st.st_mode & 07777;
    mode.after = on ? (mode.before | S_IWGRP) : (mode.before & ~static_cast<mode_t>(S_IWGRP | S_IWOTH));
    return true;
}

// TERM as it was, to be put back when a later change fails.
struct SavedTerm {
    bool changed = false;
    std::optional<std::string> value;

    void restore() const {
        if (!changed) return;
        if (value) set_symbol("TERM", *value, SYM_ENVIRONMENT | SYM_STRING);
        else delete_symbol("TERM", SYM_ENVIRONMENT);
    }
};

bool set_term(const std::string& type, SavedTerm& saved) {
    if (const char* now = std::getenv("TERM")) saved.value = now;
    uint32_t status = set_symbol("TERM", type, SYM_ENVIRONMENT | SYM_STRING);
    if (status != 1) {
        refuse("terminal name", status);
        return false;
    }
    saved.changed = true;
    return true;
}

// A device may accept settings it cannot carry out and drop them quietly
// (a pseudo-terminal has no parity): the line settings it holds now are
// compared with those asked for.
bool line_settings_taken(const TerminalRecord& r) {
    if (r.not_terminal) return true;
    struct termios now {};
    if (tcgetattr(r.fd, &now) != 0) return false;
    struct termios wanted = settings_for_mode(r, TTY_COMMAND, false);
    constexpr tcflag_t kLine = PARENB | PARODD | CSIZE;
    return (now.c_cflag & kLine) == (wanted.c_cflag & kLine) && cfgetospeed(&now) == cfgetospeed(&wanted);
}

// The record's working settings into effect; on failure the previous ones
// come back.
uint32_t put_settings(TerminalRecord& record, const TerminalRecord& planned) {
    TerminalRecord before = record;
    record = planned;
    uint32_t status = set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    // The C library reports settings the device dropped as not valid.
    if ((status != 1 && errno == EINVAL) || (status == 1 && !line_settings_taken(record)))
        status = cond::BADPARAM;
    if (status == 1) return 1;
    record = before;
    set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    return status;
}

// The changes that can fail, in an order that lets each be undone when a
// later one fails: TERM, the device's permissions, then the settings.
bool apply_fallible(TerminalRecord& record, const TerminalRecord& planned, const TerminalRequest& r,
                    const DeviceMode* mode) {
    SavedTerm term;
    if (r.device && !set_term(*r.device, term)) return false;
    if (mode && mode->after != mode->before && chmod(mode->name.c_str(), mode->after) != 0) {
        term.restore();
        refuse("terminal state", cond::NOPRIV);
        return false;
    }
    uint32_t status = put_settings(record, planned);
    if (status == 1) return true;
    if (mode) chmod(mode->name.c_str(), mode->before);
    term.restore();
    refuse("terminal state", status);
    return false;
}

// DECCOLM switches a VT100-like screen between 80 and 132 columns.
void apply_screen_size(const TerminalRecord& record, const TerminalRequest& r) {
    TerminalState& state = terminal_state();
    if (r.page) state.height = static_cast<int>(*r.page);
    if (!r.width) return;
    state.width = static_cast<int>(*r.width);
    uint32_t vt100 = TT2_DECCRT | TT2_AVO;
    if ((record.characteristics[kWord2] & vt100) != vt100) return;
    if (*r.width == 80) put_cap("\x1b[?3l", STDOUT_FILENO);
    if (*r.width == 132) put_cap("\x1b[?3h", STDOUT_FILENO);
}

// What cannot fail comes last: a new terminal type's description (whose
// derived bits give way to the ones the command names), the keypad mode
// and the screen size.
void apply_rest(TerminalRecord& record, const TerminalRequest& r) {
    if (r.device) {
        init_tty(STDIN_FILENO);
        apply_bits(record.characteristics, r);
    }
    const Capabilities& caps = terminal_state().caps;
    if (r.application_keypad) put_cap(*r.application_keypad ? caps.ks : caps.ke, STDOUT_FILENO);
    apply_screen_size(record, r);
}

uint32_t apply_request(TerminalRecord& record, const TerminalRequest& r) {
    TerminalRecord planned = record;
    apply_bits(planned.characteristics, r);
    if (!plan_settings(planned, r)) {
        refuse("terminal state", cond::NOPRIV);
        return 0;
    }
    DeviceMode mode;
    if (r.broadcast && !plan_broadcast(*r.broadcast, mode)) {
        refuse("terminal state");
        return 0;
    }
    if (!apply_fallible(record, planned, r, r.broadcast ? &mode : nullptr)) return 0;
    apply_rest(record, r);
    return 1;
}

}  // namespace

const KeywordTable kSetTerminalQualifiers{verb::SET_TERMINAL, kRows};

// The device named as the parameter is always the terminal on standard
// input; the parser refuses a second parameter.
uint32_t set_terminal(const ParsedCommand& cmd, CommandStreams&) {
    TerminalRequest request;
    if (!read_request(cmd, request)) return 0;
    if (!is_terminal(STDIN_FILENO)) return kInputNotTerminal;
    TerminalRecord* record = find_tty(STDIN_FILENO);
    if (!record) return cond::NOPRIV;
    return apply_request(*record, request);
}

uint32_t show_terminal(const ParsedCommand&, CommandStreams& io) {
    if (!is_terminal(STDIN_FILENO)) return kInputNotTerminal;
    const TerminalRecord* record = find_tty(STDIN_FILENO);
    if (!record) return cond::NOPRIV;
    write_header(io.out, *record);
    write_characteristics(io.out, *record);
    return finish_listing(io.out, cond::SHOW_WRITEERR) ? 1 : 0;
}

}  // namespace dcl
