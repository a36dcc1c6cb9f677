// The network listing. Every piece of a command line that comes from the
// user (node, user name, password, path) is quoted for the local shell, and
// what a remote shell reads is quoted once more for it, so that nothing in
// a file specification runs as shell syntax on either side. The programs
// come from the defaults file: they are the administrator's, not quoted.
#include "files/commands/directory_network.h"

#include <cstdlib>

#include "files/directory_listing.h"
#include "files/filespec.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/child.h"

namespace dcl {

namespace {

}  // namespace

bool split_network_spec(std::string_view spec, NetworkSpec& out) {
    size_t colons = spec.find("::");
    if (colons == std::string_view::npos) return false;
    std::string_view head = spec.substr(0, colons);
    out.rest = std::string(spec.substr(colons + 2));
    size_t quote = head.find('"');
    out.node = std::string(head.substr(0, quote));
    if (quote == std::string_view::npos) return true;
    std::string_view control = head.substr(quote + 1);
    if (!control.empty() && control.back() == '"') control.remove_suffix(1);
    size_t blank = control.find(' ');
    out.user = std::string(control.substr(0, blank));
    if (blank != std::string_view::npos) out.password = std::string(control.substr(blank + 1));
    return true;
}

namespace {

// Mode 0: one remote-shell command per specification.
uint32_t list_by_remote_shell(const std::string& program, const NetworkSpec& spec, bool full, FILE* out) {
    std::string lister;
    if (find_unix_command(lister, "NETDIR", "ls", false) != 1) return 0;
    std::string path;
    uint32_t status = vms_to_unix(path, spec.rest);
    if (!is_success(status) && status != cond::NOLOGNAM) path = spec.rest;
    std::string vms = path;
    unix_to_vms(vms, path);
    std::fprintf(out, "\n%s:%s\n\n", spec.node.c_str(), vms.c_str());
    std::fflush(out);
    std::string remote = lister + (full ? " -l " : " ") + shell_word(path);
    std::string command = program + " " + shell_word(spec.node) + " " + shell_word(remote);
    return static_cast<uint32_t>(unix_cmd(command));
}

// Modes 1 to 3: one command for all specifications.
std::string network_program_line(const std::string& program, int mode, bool full,
                                 const std::vector<NetworkSpec>& specs) {
    std::string options = full ? (mode == 1 ? " -full" : " -l") : "";
    std::string line = program;
    for (const NetworkSpec& s : specs) {
        bool control = !s.user.empty();
        if (mode == 3 && control && options.substr(0, 3) != " -u")
            line += " -u " + shell_word(s.user) + " -p " + shell_word(s.password) + options;
        else
            line += options;
        std::string word = s.node;
        if (control && mode == 1) word += "\"" + s.user + " " + s.password + "\"";
        if (control && mode == 2) word += "/" + s.user + "/" + s.password;
        word += "::" + s.rest;
        line += " " + shell_word(word);
    }
    return line;
}

}  // namespace

std::string shell_word(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    out += '\'';
    return out;
}

uint32_t list_network_directories(const std::vector<std::string>& specs, uint32_t word, FILE* out) {
    std::string mode_text;
    if (find_unix_command(mode_text, "NETMODE", "0", false) != 1) return 0;
    int mode = std::atoi(mode_text.c_str());
    static const char* const kDefaults[] = {"/usr/ucb/rsh", "/usr/kinet/bin/dap dir", "/usr/bin/dls dir",
                                            "/usr/bin/netls"};
    if (mode < 0 || mode > 3) {
        signal_condition(with_severity(cond::ERROR, SEV_ERROR), "Unsupported network type - " + std::to_string(mode));
        return 0;
    }
    std::string program;
    if (find_unix_command(program, mode == 0 ? "RSH" : "NETDIR", kDefaults[mode], true) != 1) return 0;
    std::vector<NetworkSpec> parsed;
    for (const std::string& spec : specs) {
        NetworkSpec s;
        if (!split_network_spec(spec, s)) continue;
        // A shortened host name would list another host.
        if (s.node.size() > kMaxNodeName) {
            signal_condition(cond::NOSUCHNODE, s.node);
            return 0;
        }
        parsed.push_back(std::move(s));
    }
    bool full = (word & DIR_FULL) != 0;
    if (mode == 0) {
        for (const NetworkSpec& s : parsed) {
            uint32_t code = list_by_remote_shell(program, s, full, out);
            if (code == 0) continue;
            signal_condition(cond::UNIXERR, std::to_string(code));
            return 0;
        }
        return 1;
    }
    int code = unix_cmd(network_program_line(program, mode, full, parsed));
    if (code == 0) return 1;
    signal_condition(cond::UNIXERR, std::to_string(code));
    return 0;
}

}  // namespace dcl
