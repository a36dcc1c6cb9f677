// RENAME: files moved to a new name completed from the old one ("*" and
// ".*" take the old name and type). An existing target is kept as a
// numbered version, never destroyed (/NEW_VERSION too); a file renamed
// onto itself stays as it is; across file systems the move copies, checks
// and syncs the copy before the source goes.
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/file_output.h"
#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;

// Shown at once with their own texts, as RENAME's informational messages.
constexpr uint32_t kRenameInformational = 0x900003;

constexpr KeywordRecord kRows[] = {
    {"BACKUP", 0, qual::RENAME_BACKUP, ValueKind::unsupported},
    {"BEFORE", kValue, qual::RENAME_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::RENAME_BY_OWNER, ValueKind::uic},
    {"CONFIR", 0, qual::RENAME_CONFIRM},
    {"CREATE", 0, qual::RENAME_CREATED},
    {"EXCLUD", kValue, qual::RENAME_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::RENAME_EXPIRED, ValueKind::unsupported},
    {"LOG", 0, qual::RENAME_LOG},
    {"MODIFI", 0, qual::RENAME_MODIFIED},
    {"NEW_VE", 0, qual::RENAME_NEW_VERSION},
    {"SINCE", kValue, qual::RENAME_SINCE, ValueKind::time},
};
static_assert(std::size(kRows) == 11);

struct RenameRun {
    bool confirm = false, log = false;
    size_t found = 0, renamed = 0;
};

// Moves one file. 1, or the condition that ends the command (reported).
uint32_t rename_one(const std::string& from, const std::string& to, const std::string& new_name) {
    struct stat source {};
    bool onto_itself = from == to || (stat(from.c_str(), &source) == 0 && names_file(to, source));
    if (onto_itself) return 1;  // nothing to do
    if (new_version_qv(to) == 0 && access(to.c_str(), F_OK) == 0) {
        signal_condition(cond::RENAME_OPENOUT, new_name);
        return cond::FEX;
    }
    while (move_indexed_file(from, to) != 0) {
        if (errno == EINTR) continue;
        int error = errno;
        signal_condition(cond::RENAME_OPENOUT, new_name);
        return error == ENOTDIR || error == ENOENT ? cond::DNF : cond::PRV;
    }
    return 1;
}

uint32_t rename_spec(const std::string& spec, const std::string& default_spec, const std::string& output,
                     const SearchSelection& selection, bool selecting, RenameRun& run) {
    FileWalker walker(spec, default_spec, selection, interrupt_requested);
    if (uint32_t status = walker.set_output(output, spec); status != 1) {
        signal_condition(cond::RENAME_OPENOUT, output);
        return status;
    }
    uint32_t status = walker.start();
    std::string base;
    if (status == cond::FNF && is_success(vms_to_unix(base, spec, default_spec)) && is_indexed_pair(base)) {
        // An indexed file named by its base moves as its two parts.
        std::string to, new_name;
        walker.output().complete(to, std::string_view(base).substr(base.rfind('/') + 1));
        new_name = unix_path_to_vms(to);
        if (uint32_t moved = rename_one(base, to, new_name); moved != 1) return moved;
        ++run.found;
        ++run.renamed;
        if (run.log) put_message(kRenameInformational, "RENAMED", unix_path_to_vms(base) + " renamed to " + new_name);
        return 1;
    }
    if (status == cond::FNF) {
        signal_condition(cond::RENAME_SEARCHFAIL, spec);
        return cond::FNF;
    }
    if (status != 1) return status;
    std::string old_name, new_name;
    while (walker.next()) {
        ++run.found;
        walker.vms_name(old_name);
        const std::string& to = walker.output_path();
        if (unix_to_vms(new_name, to) != 1) new_name = to;
        uint32_t end_status = 1;
        ConfirmStep step = confirm_file("Rename " + old_name + " to " + new_name + " ? [N]: ", run.confirm, end_status);
        if (step == ConfirmStep::skip) continue;
        if (step == ConfirmStep::end) return end_status;
        if (uint32_t moved = rename_one(walker.current().path, to, new_name); moved != 1) return moved;
        ++run.renamed;
        if (run.log) put_message(kRenameInformational, "RENAMED", old_name + " renamed to " + new_name);
    }
    if (walker.interrupted()) return 0;
    if (walker.taken() == 0 && !selecting) {
        signal_condition(cond::RENAME_SEARCHFAIL, spec);
        return cond::FNF;
    }
    return 1;
}

}  // namespace

const KeywordTable kRenameQualifiers{verb::RENAME, kRows};

uint32_t rename_command(const ParsedCommand& cmd, CommandStreams&) {
    static constexpr SelectionCodes kCodes{qual::RENAME_BEFORE, qual::RENAME_SINCE, qual::RENAME_BY_OWNER,
                                           qual::RENAME_EXCLUDE, qual::RENAME_CREATED, qual::RENAME_MODIFIED};
    SearchSelection selection;
    bool selecting = false;
    if (uint32_t status = file_selection(cmd, kCodes, selection, selecting); status != 1) return status;
    RenameRun run;
    run.confirm = cmd.flag(qual::RENAME_CONFIRM, false);
    run.log = cmd.flag(qual::RENAME_LOG, false);
    const ParsedParameter* output = cmd.parameter(1);
    if (!output) return cond::NOFILE;  // the dispatcher has asked for it already
    std::string output_spec = remove_quotes(output->text);
    std::string default_spec;
    for (const ParsedParameter& p : cmd.parameters) {
        if (p.group != 0) continue;
        std::string spec = remove_quotes(p.text);
        uint32_t status = rename_spec(spec, default_spec, output_spec, selection, selecting, run);
        if (status != 1) return status;
        default_spec = spec;
    }
    if (run.found > 0 && run.renamed == 0) put_message(kRenameInformational, "NOFILES", "no files selected");
    return 1;
}

}  // namespace dcl
