// Foreign commands: "sym :== $image args" runs the image with an argument
// vector, connected to the interpreter by the symbol pipe.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/handlers.h"
#include "files/filespec.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "unix/child.h"
#include "unix/symbol_pipe.h"

namespace dcl {

namespace {

// One-command mode at the outermost level: the image replaces the
// interpreter, there being nothing left to do afterwards.
void replace_with_image(const std::vector<std::string>& words) {
    setenv("TQ_IMAGNAME", words[0].c_str(), 1);
    std::vector<char*> args;
    for (const std::string& w : words) args.push_back(const_cast<char*>(w.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    image_start_failure(words[0], errno);
}

}  // namespace

uint32_t foreign_command(const ParsedCommand& cmd, CommandStreams&) {
    const ParsedParameter* given = cmd.parameter(0);
    std::string text = given ? std::string(given->text) : std::string();
    std::vector<std::string> words;
    if (!split_image_words(text, words)) return cond::MAXPARM;
    if (words.empty()) {
        signal_condition(cond::ACTIMAGE, "");
        return 0;
    }
    std::string path;
    if (uint32_t status = vms_to_unix(path, words[0]); status != 1) {
        signal_condition(cond::ACTIMAGE, words[0]);
        return status;
    }
    words[0] = path;
    if (session().one_shot && procedure_depth() == 0) {
        replace_with_image(words);
        return 0;
    }
    uint32_t result = run_image(words);
    if (result == 1) return 1;
    // An image that a signal ended has failed and says so; any other
    // result is the image's own status, which it has reported itself.
    if (child_state().failed_by != 0) {
        queue_child_signal_end();
        return 0;
    }
    return result | INHIBIT_BIT;
}

}  // namespace dcl
