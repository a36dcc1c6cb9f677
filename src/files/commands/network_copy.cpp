// The network copy. Mode 0 (rcp, scp) takes "node:path", and the path is
// read again by the remote shell, so it is quoted for that shell inside
// the word quoted for the local one; the other modes take
// NODE"user password"::REST as one word.
#include "files/commands/network_copy.h"

#include <cstdlib>

#include "files/commands/directory_network.h"
#include "files/filespec.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/child.h"

namespace dcl {

namespace {

// One specification as the copy program's argument; false after reporting.
bool copy_argument(std::string& out, const std::string& spec, int mode) {
    NetworkSpec net;
    if (!split_network_spec(spec, net)) {
        std::string path;
        uint32_t status = vms_to_unix(path, spec);
        out = shell_word(is_success(status) ? path : spec);
        return true;
    }
    if (net.node.size() > kMaxNodeName) {
        signal_condition(cond::NOSUCHNODE, net.node);
        return false;
    }
    if (mode == 0) {
        std::string node = net.user.empty() ? net.node : net.user + "@" + net.node;
        out = shell_word(node + ":" + shell_word(net.rest));
        return true;
    }
    std::string word = net.node;
    if (!net.user.empty() && mode == 1) word += "\"" + net.user + " " + net.password + "\"";
    if (!net.user.empty() && mode != 1) word += "/" + net.user + "/" + net.password;
    out = shell_word(word + "::" + net.rest);
    return true;
}

}  // namespace

bool has_node(const std::string& spec) { return spec.find("::") != std::string::npos; }

uint32_t network_copy(const std::vector<std::string>& inputs, const std::string& output, bool image) {
    std::string program, mode_text;
    if (find_unix_command(mode_text, "NETMODE", "0", false) != 1) return 0;
    if (find_unix_command(program, "NETCP", "rcp", true) != 1) return 0;
    int mode = std::atoi(mode_text.c_str());
    static const char* const kImageFlags[] = {"", " -binary", " -i", " -v"};
    std::string line = program;
    if (image && mode >= 0 && mode <= 3) line += kImageFlags[mode];
    std::string word;
    for (const std::string& input : inputs) {
        if (!copy_argument(word, input, mode)) return 0;
        line += " " + word;
    }
    if (!copy_argument(word, output, mode)) return 0;
    line += " " + word;
    int code = unix_cmd(line);
    if (code == 0) return 1;
    signal_condition(cond::UNIXERR, std::to_string(code));
    return 0;
}

}  // namespace dcl
