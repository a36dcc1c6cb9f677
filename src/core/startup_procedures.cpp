// The start-up procedures, run in the first turns of the command loop.
#include "core/startup_procedures.h"

#include <unistd.h>

#include "files/filespec.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// The user's login procedure: -L's file, completed with the default.
bool user_login_spec(std::string& spec) {
    std::string given = session().login_procedure;
    uint32_t status =
        merge_file_spec(spec, given, "SYS$LOGIN:login.com", "", current_dotfile_mode());
    if (status == 1) return true;
    if (!given.empty()) {
        signal_condition(with_severity(cond::DCL_OPENIN, SEV_WARNING), given);
        signal_condition(status);
        show_messages();
    }
    return false;
}

// Pushes a level reading `spec`. False when there is no such file.
bool start_procedure(const std::string& spec) {
    std::string path;
    if (!is_success(vms_to_unix(path, spec)) || access(path.c_str(), R_OK) != 0) return false;
    std::string name;
    unix_to_vms(name, path);
    uint32_t status = push_procedure_level(name);
    if (status == 1) status = open_procedure_streams(path, "", {});
    if (status != 1) {
        signal_condition(status, name);
        show_messages();
        end_if_requested();
        return false;
    }
    return true;
}

}  // namespace

bool run_startup_stage() {
    Session& s = session();
    for (size_t stage = 0; stage < s.stages.size(); ++stage) {
        if (procedure_depth() != 0) return false;
        if (s.stages[stage]) continue;
        s.stages[stage] = 1;
        std::string spec;
        if (stage == 0) spec = s.install_dir + "dclstartup.com";
        if (stage == 1) spec = s.install_dir + "sylogin.com";
        if (stage == 2 && !user_login_spec(spec)) continue;
        if (start_procedure(spec)) return true;
    }
    return false;
}

}  // namespace dcl
