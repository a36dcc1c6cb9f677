// SET MESSAGE [file]: which parts of a message line are shown, and user
// message files (the format TQ_LOADMSG names) loaded or dropped. The
// settings are the process's: a procedure's change outlives it.
#include <string>
#include <string_view>

#include "core/handlers.h"
#include "files/filespec.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/message_files.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"DELETE", KW_NO_NEGATE, qual::MESSAGE_DELETE},
    {"FACILI", 0, qual::MESSAGE_FACILITY},
    {"IDENTI", 0, qual::MESSAGE_IDENTIFICATION},
    {"SEVERI", 0, qual::MESSAGE_SEVERITY},
    {"TEXT", 0, qual::MESSAGE_TEXT},
};

// The default type of a message file, as VMS names its message images.
constexpr std::string_view kDefaultType = ".exe";

// The options the command names change; the others keep their state.
DisplayOptions changed_display(const ParsedCommand& cmd, DisplayOptions d) {
    d.facility = cmd.flag(qual::MESSAGE_FACILITY, d.facility);
    d.severity = cmd.flag(qual::MESSAGE_SEVERITY, d.severity);
    d.ident = cmd.flag(qual::MESSAGE_IDENTIFICATION, d.ident);
    d.text = cmd.flag(qual::MESSAGE_TEXT, d.text);
    return d;
}

// Reports a message file that cannot be used: a warning naming the file,
// then why. The session goes on.
void report_unusable(std::string_view name, uint32_t reason) {
    signal_condition(cond::ACTIMAGE, name);
    signal_condition(reason);
}

// The Unix path of the message file; false after reporting that it
// cannot be found.
bool locate_file(std::string_view typed, std::string& path) {
    std::string spec = remove_quotes(typed);
    uint32_t status = find_file(path, spec, kDefaultType, "", "");
    if (is_success(status)) return true;
    std::string shown;
    merge_file_spec(shown, spec, kDefaultType, "", current_dotfile_mode());
    report_unusable(shown, status);
    return false;
}

bool load_file(const std::string& path) {
    uint32_t status = load_message_file(path);
    if (is_success(status)) return true;
    std::string shown;
    if (!is_success(unix_to_vms(shown, path))) shown = path;
    report_unusable(shown, status);
    return false;
}

}  // namespace

const KeywordTable kSetMessageQualifiers{verb::SET_MESSAGE, kRows};

// A file that cannot be found or loaded leaves the display options as they
// were; /DELETE drops the files loaded before, then the named one is added.
uint32_t set_message(const ParsedCommand& cmd, CommandStreams&) {
    MessageQueue& q = message_queue();
    DisplayOptions display = changed_display(cmd, q.display);
    const ParsedParameter* file = cmd.parameter(0);
    std::string path;
    if (file && !locate_file(file->text, path)) return 0;
    if (cmd.find(qual::MESSAGE_DELETE)) drop_user_message_files();
    if (file && !load_file(path)) return 0;
    q.display = display;
    return 1;
}

}  // namespace dcl
