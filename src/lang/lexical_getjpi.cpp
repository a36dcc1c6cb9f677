// F$GETJPI(pid, item): facts about this process or another one, from
// /proc. VMS items that Linux has no counterpart for give 0 or "".
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "files/filespec.h"
#include "files/protection.h"
#include "files/vms_time.h"
#include "lang/lexical_functions.h"
#include "lang/lexical_process.h"
#include "lang/privileges.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

enum class JpiItem {
    zero, empty, bufio, cliname, cputim, curpriv, dirio, grp, imagname, logintim, master_pid, mem,
    mode, node_version, nodename, owner, pageflts, pid, prcnam, pri, prib, procpriv, state,
    terminal, uic, username, virtpeak, wspeak, wssize,
};

struct ItemEntry {
    std::string_view name;
    JpiItem item;
};

using enum JpiItem;

// The documented items, sorted by name in byte order for the binary search.
constexpr std::array<ItemEntry, 116> kItems{{
    {"ACCOUNT", empty}, {"APTCNT", zero}, {"ASTACT", zero}, {"ASTCNT", zero}, {"ASTEN", zero},
    {"ASTLM", zero}, {"AUTHPRI", prib}, {"AUTHPRIV", procpriv}, {"BIOCNT", zero},
    {"BIOLM", zero}, {"BUFIO", bufio}, {"BYTCNT", zero}, {"BYTLM", zero},
    {"CASE_LOOKUP_IMAGE", empty}, {"CASE_LOOKUP_PERM", empty}, {"CLINAME", cliname},
    {"CPULIM", zero}, {"CPUTIM", cputim}, {"CPU_ID", zero}, {"CREPRC_FLAGS", zero},
    {"CURPRIV", curpriv}, {"DFPFC", zero}, {"DFWSCNT", zero}, {"DIOCNT", zero}, {"DIOLM", zero},
    {"DIRIO", dirio}, {"EFCS", zero}, {"EFCU", zero}, {"EFWM", zero}, {"ENQCNT", zero},
    {"ENQLM", zero}, {"EXCVEC", zero}, {"FILCNT", zero}, {"FILLM", zero}, {"FINALEXC", zero},
    {"FREP0VA", zero}, {"FREP1VA", zero}, {"FREPTECNT", zero}, {"GPGCNT", zero}, {"GRP", grp},
    {"HOME_RAD", zero}, {"IMAGECOUNT", zero}, {"IMAGE_AUTHPRIV", empty},
    {"IMAGE_PERMPRIV", empty}, {"IMAGE_WORKPRIV", empty}, {"IMAGNAME", imagname},
    {"IMAGPRIV", empty}, {"JOBPRCCNT", zero}, {"JOBTYPE", zero}, {"KT_COUNT", zero},
    {"KT_LIMIT", zero}, {"LAST_LOGIN_I", empty}, {"LAST_LOGIN_N", empty},
    {"LOGINTIM", logintim}, {"LOGIN_FAILURES", zero}, {"LOGIN_FLAGS", zero},
    {"MASTER_PID", master_pid}, {"MAXDETACH", zero}, {"MAXJOBS", zero}, {"MEM", mem},
    {"MODE", mode}, {"MSGMASK", zero}, {"MULTITHREAD", zero}, {"NODENAME", nodename},
    {"NODE_CSID", zero}, {"NODE_VERSION", node_version}, {"OWNER", owner},
    {"PAGEFLTS", pageflts}, {"PAGFILCNT", zero}, {"PAGFILLOC", zero},
    {"PARSE_STYLE_IMAGE", empty}, {"PARSE_STYLE_PERM", empty}, {"PERSONA_AUTHPRIV", empty},
    {"PERSONA_ID", zero}, {"PERSONA_PERMPRIV", empty}, {"PERSONA_WORKPRIV", empty},
    {"PGFLQUOTA", zero}, {"PHDFLAGS", zero}, {"PID", pid}, {"PPGCNT", zero}, {"PRCCNT", zero},
    {"PRCLM", zero}, {"PRCNAM", prcnam}, {"PRI", pri}, {"PRIB", prib},
    {"PROCESS_RIGHTS", empty}, {"PROCPRIV", procpriv}, {"RIGHTSLIST", empty},
    {"RIGHTS_SIZE", zero}, {"SCHED_POLICY", zero}, {"SHRFILLM", zero}, {"SITESPEC", zero},
    {"SLOW_VM", zero}, {"STATE", state}, {"STS", zero}, {"STS2", zero}, {"SWPFILLOC", zero},
    {"SYSTEM_RIGHTS", empty}, {"TABLENAME", empty}, {"TERMINAL", terminal}, {"TMBU", zero},
    {"TQCNT", zero}, {"TQLM", zero}, {"TT_ACCPORNAM", empty}, {"TT_PHYDEVNAM", empty},
    {"UAF_FLAGS", zero}, {"UIC", uic}, {"USERNAME", username}, {"VIRTPEAK", virtpeak},
    {"VOLUMES", zero}, {"WSAUTH", zero}, {"WSAUTHEXT", zero}, {"WSEXTENT", zero},
    {"WSPEAK", wspeak}, {"WSQUOTA", zero}, {"WSSIZE", wssize},
}};

constexpr bool items_sorted() {
    for (size_t i = 1; i < kItems.size(); ++i)
        if (!(kItems[i - 1].name < kItems[i].name)) return false;
    return true;
}
static_assert(items_sorted(), "the item table must stay sorted for the binary search");

// An outer dclsh hands its master process id (8 hex digits) to the
// sessions it starts through this variable.
constexpr const char* kMasterPidVariable = "DCLSH_MASTER_PID";
constexpr std::string_view kOwnName = "dclsh";
constexpr size_t kUserNameWidth = 12;
constexpr size_t kWideUic = 2 * kMaxNameLength + 3;
constexpr int64_t kPageletSize = 512;

const ItemEntry* find_item(std::string_view name) {
    auto it = std::lower_bound(kItems.begin(), kItems.end(), name,
                               [](const ItemEntry& e, std::string_view n) { return e.name < n; });
    return it != kItems.end() && it->name == name ? &*it : nullptr;
}


int32_t clamped(uint64_t value) {
    return static_cast<int32_t>(std::min<uint64_t>(value, INT32_MAX));
}

int64_t clock_ticks_per_second() {
    long hz = sysconf(_SC_CLK_TCK);
    return hz > 0 ? hz : 100;
}

// What is known of the process asked about.
struct ProcessFacts {
    int64_t pid = 0;
    bool self = false;
    uid_t uid = 0;
    gid_t gid = 0;
    ProcStat stat;
    std::string status;  // /proc/<pid>/status
};

uint32_t load_facts(ProcessFacts& facts, int64_t pid) {
    std::optional<uid_t> owner = process_owner(pid);
    if (!owner) return cond::NONEXPR;
    if (!process_visible(*owner)) return cond::NOPRIV;
    std::optional<std::string> stat = read_proc_file(pid, "stat");
    if (!stat || !parse_proc_stat(*stat, facts.stat)) return cond::NONEXPR;  // gone meanwhile
    facts.pid = pid;
    facts.self = pid == getpid();
    facts.status = read_proc_file(pid, "status").value_or(std::string{});
    facts.uid = facts.self ? geteuid() : *owner;
    facts.gid = facts.self ? getegid() : static_cast<gid_t>(proc_field(facts.status, "Gid", 1).value_or(0));
    return 1;
}

std::string trimmed_command(int64_t pid) {
    std::string command = read_proc_file(pid, "comm").value_or(std::string{});
    while (!command.empty() && command.back() == '\n') command.pop_back();
    return command;
}

std::string executable(int64_t pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/exe";
    char target[4096];
    ssize_t n = readlink(path.c_str(), target, sizeof target);
    return n > 0 && static_cast<size_t>(n) < sizeof target ? std::string(target, static_cast<size_t>(n))
                                                           : std::string{};
}

// A process is a dclsh by its command name or by running this very program.
bool is_dclsh(int64_t pid) {
    if (trimmed_command(pid) == kOwnName) return true;
    std::string image = executable(pid);
    return !image.empty() && image == executable(getpid());
}

std::string owner_pid(const ProcessFacts& facts) {
    int64_t parent = facts.stat.parent;
    return parent > 0 && is_dclsh(parent) ? format_pid(parent) : std::string{};
}

// The value of a variable in another process's environment (NUL-separated).
std::optional<std::string> environment_value(int64_t pid, std::string_view name) {
    std::optional<std::string> environ = read_proc_file(pid, "environ");
    if (!environ) return std::nullopt;
    std::string_view rest = *environ;
    while (!rest.empty()) {
        std::string_view entry = rest.substr(0, rest.find('\0'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=')
            return std::string(entry.substr(name.size() + 1));
    }
    return std::nullopt;
}

std::string master_pid_text(const ProcessFacts& facts) {
    std::optional<std::string> passed;
    if (facts.self) {
        if (const char* value = std::getenv(kMasterPidVariable)) passed = value;
    } else {
        passed = environment_value(facts.pid, kMasterPidVariable);
    }
    std::optional<int64_t> master = passed ? parse_pid(*passed) : std::nullopt;
    return format_pid(master && *master > 0 ? *master : facts.pid);
}

std::string user_name(uid_t uid) {
    const passwd* pw = getpwuid(uid);
    return pw != nullptr ? pw->pw_name : std::to_string(uid);
}

std::string padded_user_name(const ProcessFacts& facts) {
    std::string name = facts.self ? own_user_name() : user_name(facts.uid);
    if (name.size() < kUserNameWidth) name.append(kUserNameWidth - name.size(), ' ');
    return name;
}

std::string uic_text(const ProcessFacts& facts) {
    std::string uic = format_uic(facts.gid, facts.uid, kWideUic);
    size_t end = uic.find_last_not_of(' ');
    uic.resize(end == std::string::npos ? 0 : end + 1);
    return uic;
}

// The start time: ticks after boot, plus the boot time of /proc/stat.
std::string login_time(const ProcessFacts& facts) {
    std::string system = read_text_file("/proc/stat").value_or(std::string{});
    size_t at = system.find("\nbtime ");  // "btime N": a blank, not a colon
    int64_t boot = at != std::string::npos ? std::atoll(system.c_str() + at + 7) : 0;
    int64_t hz = clock_ticks_per_second();
    auto ticks = static_cast<int64_t>(facts.stat.start_ticks);
    char hundredths[8];
    std::snprintf(hundredths, sizeof hundredths, ".%02d", static_cast<int>(ticks % hz * 100 / hz));
    return format_time(boot + ticks / hz) + hundredths;
}

std::string terminal_name(const ProcessFacts& facts) {
    std::string path = terminal_path(facts.stat.tty);
    return path.empty() ? path : unix_path_to_vms(path);
}

std::string image_name(const ProcessFacts& facts) {
    if (facts.self || is_dclsh(facts.pid)) return {};  // at DCL level
    std::string image = executable(facts.pid);
    return image.empty() ? image : unix_path_to_vms(image);
}

uint32_t mode_value(LexicalCall& call, const ProcessFacts& facts) {
    if (facts.self) return lexical_mode(call);
    return call.set_string(facts.stat.tty != 0 ? "INTERACTIVE" : "BATCH");
}

PrivilegeMask process_privileges(const ProcessFacts& facts, bool current) {
    if (facts.self) return current ? enabled_privileges() : own_authorised_privileges();
    return authorised_privileges(facts.uid == 0, false);
}

uint64_t io_field(const ProcessFacts& facts, std::string_view key) {
    std::string io = read_proc_file(facts.pid, "io").value_or(std::string{});
    return proc_field(io, key).value_or(0);
}

uint32_t counter_value(LexicalCall& call, const ProcessFacts& facts, JpiItem item) {
    const ProcStat& s = facts.stat;
    switch (item) {
    case bufio: return call.set_integer(clamped(io_field(facts, "syscr") + io_field(facts, "syscw")));
    case dirio:
        return call.set_integer(clamped((io_field(facts, "read_bytes") + io_field(facts, "write_bytes")) /
                                        kPageletSize));
    case cputim:
        return call.set_integer(clamped((s.user_ticks + s.system_ticks) * 100 /
                                        static_cast<uint64_t>(clock_ticks_per_second())));
    case pageflts: return call.set_integer(clamped(s.minor_faults + s.major_faults));
    case wssize: {
        long page = sysconf(_SC_PAGESIZE);
        uint64_t bytes = static_cast<uint64_t>(std::max<int64_t>(s.resident_pages, 0)) *
                         static_cast<uint64_t>(page > 0 ? page : kPageletSize);
        return call.set_integer(clamped(bytes / kPageletSize));
    }
    case wspeak: return call.set_integer(clamped(proc_field(facts.status, "VmHWM").value_or(0) * 2));
    case virtpeak: return call.set_integer(clamped(proc_field(facts.status, "VmPeak").value_or(0) * 2));
    case pri:
    case prib: return call.set_integer(vms_priority(s.nice));
    default: return call.set_integer(0);
    }
}

uint32_t item_value(LexicalCall& call, const ProcessFacts& facts, JpiItem item) {
    switch (item) {
    case pid: return call.set_string(format_pid(facts.pid));
    case master_pid: return call.set_string(master_pid_text(facts));
    case owner: return call.set_string(owner_pid(facts));
    case username: return call.set_string(padded_user_name(facts));
    case uic: return call.set_string(uic_text(facts));
    case grp: return call.set_integer(static_cast<int32_t>(facts.gid));
    case mem: return call.set_integer(static_cast<int32_t>(facts.uid));
    case prcnam: return call.set_string(facts.self ? own_user_name() : user_name(facts.uid));
    case mode: return mode_value(call, facts);
    case nodename: return call.set_string(session().node_name);
    case node_version: return call.set_string("V" + session().version);
    case imagname: return call.set_string(image_name(facts));
    case state: return call.set_string(facts.self ? "CUR" : vms_state(facts.stat.state));
    case logintim: return call.set_string(login_time(facts));
    case terminal: return call.set_string(terminal_name(facts));
    case cliname: return call.set_string("DCL");
    case curpriv: return call.set_string(privilege_names(process_privileges(facts, true)));
    case procpriv: return call.set_string(privilege_names(process_privileges(facts, false)));
    case empty: return call.set_string({});
    default: return counter_value(call, facts, item);
    }
}

}  // namespace

// F$GETJPI(pid, item): an empty pid is this process.
uint32_t lexical_getjpi(LexicalCall& call) {
    ExprValue pid_text, item_text;
    if (call.given(0))
        if (uint32_t status = call.evaluate(0, pid_text); status != 1) return status;
    if (uint32_t status = call.evaluate(1, item_text); status != 1) return status;
    std::string name = keyword_text(item_text.text);
    const ItemEntry* entry = find_item(name);
    if (entry == nullptr) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    int64_t target = getpid();
    if (pid_text.text.find_first_not_of(" \t") != std::string::npos) {
        std::optional<int64_t> parsed = parse_pid(pid_text.text);
        if (!parsed || *parsed == 0) return cond::NONEXPR;
        target = *parsed;
    }
    ProcessFacts facts;
    if (uint32_t status = load_facts(facts, target); status != 1) return status;
    return item_value(call, facts, entry->item);
}

}  // namespace dcl
