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
    int error = errno;
    signal_condition(cond::ACTIMAGE, words[0]);
    signal_condition(error == ENOENT ? cond::FNF : cond::PRV);
}

}  // namespace

void foreign_command(CommandContext& cmd) {
    size_t param = cmd.verb_index + 1;
    std::string text;
    if (param < cmd.tokens.size() && cmd.tokens[param].type == TOKEN_PARAMETER) text = cmd.tokens[param].text;
    std::vector<std::string> words;
    if (!split_image_words(text, words)) {
        signal_condition(cond::MAXPARM);
        return;
    }
    if (words.empty()) {
        signal_condition(cond::ACTIMAGE, "");
        return;
    }
    std::string path;
    if (uint32_t status = vms_to_unix(path, words[0]); status != 1) {
        signal_condition(cond::ACTIMAGE, words[0]);
        signal_condition(status);
        return;
    }
    words[0] = path;
    if (session().one_shot && procedure_depth() == 0) {
        replace_with_image(words);
        return;
    }
    uint32_t result = run_image(words);
    if (result == 1) return;
    // An image that a signal ended has failed and says so; any other
    // result is the image's own status, which it has reported itself.
    if (child_state().failed_by != 0) queue_child_signal_end();
    else signal_condition(result | INHIBIT_BIT);
}

}  // namespace dcl
