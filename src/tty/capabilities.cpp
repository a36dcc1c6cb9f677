// Loading, formatting and writing terminal capabilities.
#include "tty/capabilities.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <termcap.h>
#include <unistd.h>

#include "files/unique_fd.h"
#include "tty/keys.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

struct NamedString {
    const char* id;
    std::string Capabilities::*field;
};

constexpr NamedString kStrings[] = {
    {"cd", &Capabilities::cd}, {"ce", &Capabilities::ce}, {"cl", &Capabilities::cl},
    {"ho", &Capabilities::ho}, {"cm", &Capabilities::cm}, {"me", &Capabilities::me},
    {"cs", &Capabilities::cs}, {"us", &Capabilities::us}, {"cr", &Capabilities::cr},
    {"mb", &Capabilities::mb}, {"md", &Capabilities::md}, {"mr", &Capabilities::mr},
    {"sf", &Capabilities::sf}, {"sr", &Capabilities::sr}, {"up", &Capabilities::up},
    {"do", &Capabilities::down}, {"nd", &Capabilities::nd}, {"le", &Capabilities::le},
    {"UP", &Capabilities::UP}, {"DO", &Capabilities::DO}, {"RI", &Capabilities::RI},
    {"LE", &Capabilities::LE}, {"ks", &Capabilities::ks}, {"ke", &Capabilities::ke},
};

// Key capabilities and the key codes whose primary sequence they replace.
struct KeyCapability {
    const char* id;
    int code;
};

constexpr KeyCapability kKeyCapabilities[] = {
    {"kb", 8},    {"kD", 127},  {"kd", 275},  {"kl", 276},  {"kr", 277},  {"ku", 274},
    {"@8", 270},  {"k6", 286},  {"k7", 287},  {"k8", 288},  {"k9", 289},  {"k;", 290},
    {"F1", 291},  {"F2", 292},  {"F3", 293},  {"F4", 294},  {"F5", 295},  {"F6", 296},
    {"F7", 297},  {"F8", 298},  {"F9", 299},  {"FA", 300},
};

std::string capability(const char* id) {
    char area[2048];
    char* cursor = area;
    const char* value = tgetstr(id, &cursor);
    if (!value || value == reinterpret_cast<const char*>(-1)) return {};
    return value;
}

bool starts_vt_digit(std::string_view term) {
    return term.size() > 2 && (term[0] == 'v' || term[0] == 'V') &&
           (term[1] == 't' || term[1] == 'T') && std::isdigit(static_cast<unsigned char>(term[2]));
}

// The collector of tputs: one buffer per put_cap call.
std::string* g_put_target = nullptr;

int collect(int c) {
    if (g_put_target) g_put_target->push_back(static_cast<char>(c));
    return c;
}

void append_number(std::string& out, int value, int width) {
    char text[16];
    if (width > 0) std::snprintf(text, sizeof text, "%0*d", width, value);
    else std::snprintf(text, sizeof text, "%d", value);
    out += text;
}

// The small stack of the terminfo form; the termcap form takes the
// parameters in order instead, which an empty stack falls back to.
struct FormatValues {
    int params[2];
    int next = 0;
    int stack[8] = {};
    int depth = 0;
    void push(int v) {
        if (depth < 8) stack[depth++] = v;
    }
    int take() { return depth > 0 ? stack[--depth] : next < 2 ? params[next++] : 0; }
};

int read_constant(std::string_view cap, size_t& i) {
    int value = 0;
    while (i + 1 < cap.size() && std::isdigit(static_cast<unsigned char>(cap[i + 1])))
        value = value * 10 + (cap[++i] - '0');
    if (i + 1 < cap.size() && cap[i + 1] == '}') ++i;
    return value;
}

}  // namespace

bool builtin_capabilities(std::string_view term, Capabilities& caps) {
    caps = Capabilities{};
    caps.le = "\b";
    // "xterm-256color" and the like are xterms too.
    std::string name(term);
    bool ansi = strcasecmp(name.c_str(), "ansi") == 0 || strncasecmp(name.c_str(), "xterm", 5) == 0 ||
                starts_vt_digit(term);
    if (!ansi) return false;
    caps.cd = "\x1b[J";
    caps.ce = "\x1b[K";
    caps.cl = "\x1b[H\x1b[J";
    caps.ho = "\x1b[H";
    caps.cm = "\x1b[%i%p1%d;%p2%dH";
    caps.me = "\x1b[0m";
    caps.us = "\x1b[4m";
    caps.cr = "\r";
    caps.mb = "\x1b[5m";
    caps.md = "\x1b[1m";
    caps.mr = "\x1b[7m";
    caps.up = "\x1b[A";
    caps.nd = "\x1b[C";
    caps.UP = "\x1b[%p1%dA";
    caps.DO = "\x1b[%p1%dB";
    caps.RI = "\x1b[%p1%dC";
    caps.LE = "\x1b[%p1%dD";
    if (term[0] == 'v' || term[0] == 'V') {
        caps.cs = "\x1b[%i%p1%d;%p2%dr";
        caps.sr = "\x1bM";
    }
    return true;
}

void load_capabilities(const char* term, Capabilities& caps, bool& known) {
    char entry[4096];
    known = term && *term && tgetent(entry, term) == 1;
    if (!known) {
        if (!builtin_capabilities(term ? term : "", caps)) {
            static char unknown[] = "TERM=unknown";
            putenv(unknown);
        }
        return;
    }
    caps = Capabilities{};
    for (const NamedString& s : kStrings) caps.*(s.field) = capability(s.id);
    caps.lines = tgetnum("li");
    caps.columns = tgetnum("co");
    for (const KeyCapability& k : kKeyCapabilities) {
        std::string sequence = capability(k.id);
        if (!sequence.empty()) replace_primary_key(k.code, sequence);
    }
}

std::string cap_format(std::string_view cap, int first, int second) {
    const bool terminfo = cap.find("%p") != std::string_view::npos;
    FormatValues v{{first, second}};
    std::string out;
    for (size_t i = 0; i < cap.size(); ++i) {
        if (cap[i] != '%' || i + 1 >= cap.size()) {
            out.push_back(cap[i]);
            continue;
        }
        char c = cap[++i];
        if (c == '%') out.push_back('%');
        else if (c == 'i') ++v.params[0], ++v.params[1];
        else if (c == 'd') append_number(out, v.take(), 0);
        else if (c == 'c' || c == '.') out.push_back(static_cast<char>(v.take()));
        else if (c == 'r') std::swap(v.params[0], v.params[1]);
        else if (terminfo && c == 'p' && i + 1 < cap.size() && (cap[i + 1] == '1' || cap[i + 1] == '2'))
            v.push(v.params[cap[++i] - '1']);
        else if (terminfo && c == '{') v.push(read_constant(cap, i));
        else if (terminfo && c == '+') v.push(v.take() + v.take());
        else if (!terminfo && (c == '2' || c == '3')) append_number(out, v.take(), c - '0');
        else if (!terminfo && c == '+' && i + 1 < cap.size())
            out.push_back(static_cast<char>(v.take() + cap[++i]));
        else {
            out.push_back('%');
            out.push_back(c);
        }
    }
    return out;
}

std::string expand_cap(std::string_view cap) {
    std::string bytes;
    if (cap.empty()) return bytes;
    std::string text(cap);
    g_put_target = &bytes;
    tputs(text.c_str(), 1, collect);
    g_put_target = nullptr;
    return bytes;
}

void put_cap(std::string_view cap, int fd) {
    if (cap.empty()) return;
    std::string bytes = expand_cap(cap);
    bool to_stdout = fd >= 0 && fd <= 2 && isatty(STDOUT_FILENO);
    if (to_stdout) {
        std::fflush(stdout);
        fd = STDOUT_FILENO;
    }
    write_fully(fd, bytes);
    if (to_stdout) std::fflush(stdout);
}

}  // namespace dcl
