// Processes: the /proc readers F$GETJPI shares, F$PID and F$PROCESS.
#include "lang/lexical_process.h"

#include <array>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "files/unique_fd.h"
#include "lang/lexical_functions.h"
#include "lang/privileges.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// Reads one unsigned decimal number after optional blanks.
std::optional<uint64_t> take_number(std::string_view& text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    uint64_t value = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        value = value * 10 + static_cast<uint64_t>(text.front() - '0');
        text.remove_prefix(1);
    }
    return negative ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : value;
}

// The terminal majors: the pseudo-terminal slaves and the virtual consoles
// and serial lines (Documentation/admin-guide/devices.txt).
constexpr int64_t kPtsFirstMajor = 136, kPtsLastMajor = 143;
constexpr int64_t kTtyMajor = 4;
constexpr int64_t kFirstSerialMinor = 64;
constexpr int64_t kPtsPerMajor = 256;

}  // namespace

bool parse_proc_stat(std::string_view text, ProcStat& stat) {
    size_t open = text.find('(');
    size_t close = text.rfind(')');  // the command itself may hold ")"
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
    std::string_view head = text.substr(0, open);
    std::optional<uint64_t> pid = take_number(head);
    if (!pid) return false;
    stat.pid = static_cast<int64_t>(*pid);
    stat.command.assign(text.substr(open + 1, close - open - 1));
    std::string_view rest = text.substr(close + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) return false;
    stat.state = rest.front();
    rest.remove_prefix(1);
    // Fields 4 to 24 of proc(5); field 3 was the state.
    std::array<uint64_t, 21> fields{};
    for (uint64_t& field : fields) {
        std::optional<uint64_t> value = take_number(rest);
        if (!value) return false;
        field = *value;
    }
    auto at = [&fields](size_t number) { return fields[number - 4]; };
    stat.parent = static_cast<int64_t>(at(4));
    stat.tty = static_cast<int64_t>(at(7));
    stat.minor_faults = at(10);
    stat.major_faults = at(12);
    stat.user_ticks = at(14);
    stat.system_ticks = at(15);
    stat.nice = static_cast<int64_t>(at(19));
    stat.start_ticks = at(22);
    stat.resident_pages = static_cast<int64_t>(at(24));
    return true;
}

std::optional<uint64_t> proc_field(std::string_view text, std::string_view key, size_t index) {
    size_t at = 0;
    while (at < text.size()) {
        std::string_view line = text.substr(at, text.find('\n', at) - at);
        at += line.size() + 1;
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == ':') {
            line.remove_prefix(key.size() + 1);
            std::optional<uint64_t> value = take_number(line);
            for (size_t i = 0; i < index && value; ++i) value = take_number(line);
            return value;
        }
    }
    return std::nullopt;
}

std::string_view vms_state(char state) {
    switch (state) {
    case 'R': return "COM";
    case 'S':
    case 'I': return "LEF";
    case 'D':
    case 'T':
    case 't': return "SUSP";
    default: return "MWAIT";  // zombies and the dying wait on their parent
    }
}

int32_t vms_priority(int64_t nice) {
    int64_t priority = 4 - nice / 5;
    return static_cast<int32_t>(priority < 0 ? 0 : priority > 15 ? 15 : priority);
}

std::string terminal_path(int64_t tty) {
    int64_t major = (tty >> 8) & 0xFFF;
    int64_t minor = (tty & 0xFF) | ((tty >> 12) & 0xFFF00);
    if (major >= kPtsFirstMajor && major <= kPtsLastMajor)
        return "/dev/pts/" + std::to_string((major - kPtsFirstMajor) * kPtsPerMajor + minor);
    if (major == kTtyMajor && minor < kFirstSerialMinor) return "/dev/tty" + std::to_string(minor);
    if (major == kTtyMajor) return "/dev/ttyS" + std::to_string(minor - kFirstSerialMinor);
    return {};
}

std::string format_pid(int64_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(pid & 0xFFFFFFFF));
    return text;
}

std::optional<int64_t> parse_pid(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 8) return std::nullopt;
    int64_t pid = 0;
    for (char c : text) {
        char u = ascii_upper(c);
        int digit = (u >= '0' && u <= '9') ? u - '0' : (u >= 'A' && u <= 'F') ? u - 'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        pid = pid * 16 + digit;
    }
    return pid;
}

std::optional<std::string> read_proc_file(int64_t pid, std::string_view name) {
    std::string path = "/proc/" + std::to_string(pid) + "/";
    path.append(name);
    return read_text_file(path);
}

std::optional<std::string> read_text_file(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return std::nullopt;
    constexpr size_t kLimit = 64 * 1024;  // /proc texts F$GETJPI reads are far smaller
    std::string text(kLimit, '\0');
    ssize_t n = read_fully(fd.get(), text.data(), text.size());
    if (n < 0) return std::nullopt;
    text.resize(static_cast<size_t>(n));
    return text;
}

std::optional<uid_t> process_owner(int64_t pid) {
    if (pid <= 0) return std::nullopt;
    struct stat st {};
    std::string path = "/proc/" + std::to_string(pid);
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_uid;
}

bool process_visible(uid_t owner) { return owner == geteuid() || may_see_all_processes(); }

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The smallest visible process id above `after`, or 0.
int64_t next_visible_process(int64_t after) {
    std::unique_ptr<DIR, DirCloser> dir(opendir("/proc"));
    if (!dir) return 0;
    int64_t best = 0;
    while (const dirent* entry = readdir(dir.get())) {
        std::string_view name = entry->d_name;
        std::optional<uint64_t> number = take_number(name);
        if (!number || !name.empty()) continue;  // not all digits
        auto pid = static_cast<int64_t>(*number);
        if (pid <= after || (best != 0 && pid >= best)) continue;
        std::optional<uid_t> owner = process_owner(pid);
        if (owner && process_visible(*owner)) best = pid;
    }
    return best;
}

}  // namespace

// F$PID(context): the next visible process, then "" once they are all
// given. The context is the symbol itself: the last process id given, so
// each call walks /proc afresh from there.
uint32_t lexical_pid(LexicalCall& call) {
    if (!call.given(0)) return cond::INSFARG;
    std::string_view name = call.argument(0);
    std::string value, stored_name;
    uint32_t type = 0;
    if (get_symbol_text(name, value, type, SELECT_ANY, &stored_name) != 1) {
        signal_condition(cond::UNDSYM, name);
        return 0;
    }
    int64_t after = 0;
    if (type & SYM_PROCESS_CONTEXT) after = parse_pid(value).value_or(0);
    int64_t next = next_visible_process(after);
    std::string pid = next != 0 ? format_pid(next) : std::string{};
    uint32_t flags = (type & SYM_KIND_MASK) | SYM_STRING | SYM_PROCESS_CONTEXT;
    if (uint32_t status = set_symbol(stored_name, pid, flags); status != 1) return status;
    return call.set_string(pid);
}

std::string own_user_name() {
    const std::string& name = session().user_name;
    if (!name.empty()) return name;
    const passwd* pw = getpwuid(geteuid());
    return pw != nullptr ? pw->pw_name : std::to_string(geteuid());
}

// F$PROCESS(): the process name, which is the user name until a process
// name is set.
uint32_t lexical_process(LexicalCall& call) { return call.set_string(own_user_name()); }

}  // namespace dcl
