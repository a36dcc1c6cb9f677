// DELETE: one verb for several commands. A form-selecting qualifier
// (/SYMBOL, and in time /KEY, /ENTRY, ...) picks the command; without one
// the files named are deleted: "NAME;*" takes its numbered versions too, a
// directory goes when it is empty, and a failure is shown and the next
// file tried, unless an ON WARNING action wants the command to end.
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr uint32_t kNoNeg = KW_NO_NEGATE;
constexpr uint32_t kValue = KW_VALUE_ALLOWED;

// Shown at once with their own texts, as DELETE's informational messages.
constexpr uint32_t kDeleteInformational = 0x930003;

constexpr KeywordRecord kRows[] = {
    {"BACKUP", 0, qual::DELETE_BACKUP, ValueKind::unsupported},
    {"BEFORE", kValue, qual::DELETE_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::DELETE_BY_OWNER, ValueKind::uic},
    {"CHARAC", kNoNeg, qual::DELETE_CHARACTERISTIC, ValueKind::selector},
    {"CONFIR", 0, qual::DELETE_CONFIRM},
    {"CREATE", 0, qual::DELETE_CREATED},
    {"ENTRY", kNoNeg, qual::DELETE_ENTRY, ValueKind::selector},
    {"ERASE", 0, qual::DELETE_ERASE, ValueKind::unsupported},
    {"EXCLUD", KW_NEEDS_VALUE, qual::DELETE_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::DELETE_EXPIRED, ValueKind::unsupported},
    {"FORM", kNoNeg, qual::DELETE_FORM, ValueKind::selector},
    {"INTRUS", kNoNeg, qual::DELETE_INTRUSION, ValueKind::selector},
    {"KEY", kNoNeg, qual::DELETE_KEY, ValueKind::selector},
    {"LOG", 0, qual::DELETE_LOG},
    {"MODIFI", 0, qual::DELETE_MODIFIED},
    {"QUEUE", kNoNeg, qual::DELETE_QUEUE, ValueKind::selector},
    {"SINCE", kValue, qual::DELETE_SINCE, ValueKind::time},
    {"SYMBOL", kNoNeg, qual::DELETE_SYMBOL, ValueKind::selector},
};
static_assert(std::size(kRows) == 18);

// One DELETE command: what it has done and the worst failure it showed.
struct DeleteRun {
    bool confirm = false, log = false;
    uint64_t files = 0, blocks = 0;
    uint32_t worst = 0;
};

uint32_t rmdir_failure(int error) {
    if (error == ENOENT) return cond::DNF;
    if (error == EEXIST || error == ENOTEMPTY) return cond::DIRNOTEMPTY;
    return cond::PRV;
}

// Removes one file or empty directory. 1, or the reason it stays.
uint32_t remove_one(const FoundFile& file) {
    if (S_ISDIR(file.mode)) {
        while (rmdir(file.path.c_str()) != 0) {
            if (errno != EINTR) return rmdir_failure(errno);
        }
        return 1;
    }
    if (access(file.path.c_str(), W_OK) != 0) return cond::PRV;
    return delete_file(file.path);
}

// The failures a command goes on after are shown at once; the worst one
// becomes the command's status.
void note_failure(DeleteRun& run, uint32_t reason) {
    // Warning 0, error 2, severe 4: the higher the worse.
    if (run.worst == 0 || (reason & 7) > (run.worst & 7)) run.worst = reason;
}

void log_deleted(const std::string& name, uint64_t blocks) {
    std::string text = name + " deleted (" + std::to_string(blocks) + (blocks == 1 ? " block)" : " blocks)");
    put_message(kDeleteInformational, "FILDEL", text);
}

// An indexed file named by its base goes as its two parts. False when the
// specification names none.
bool delete_indexed(const std::string& spec, const std::string& default_spec, DeleteRun& run) {
    std::string base;
    if (!is_success(vms_to_unix(base, spec, default_spec)) || !is_indexed_pair(base)) return false;
    std::string name = unix_path_to_vms(base);
    uint64_t blocks = 0;
    for (const char* type : {".dat", ".idx"}) {
        std::string part = base + type;
        struct stat st {};
        stat(part.c_str(), &st);
        uint32_t removed = access(part.c_str(), W_OK) != 0 ? cond::PRV : delete_file(part);
        if (removed != 1) {
            signal_condition(cond::DELETE_FILNOTDEL, name);
            signal_condition(removed);
            note_failure(run, removed);
            return true;
        }
        blocks += blocks_of(static_cast<uint64_t>(st.st_size));
    }
    ++run.files;
    run.blocks += blocks;
    if (run.log) log_deleted(name, blocks);
    return true;
}

// Deletes the files of one specification. 1 to go on; else the status the
// command ends with.
uint32_t delete_spec(const std::string& spec, const std::string& default_spec, const SearchSelection& selection,
                     bool selecting, bool may_be_empty, DeleteRun& run) {
    FileWalker walker(spec, default_spec, selection, interrupt_requested);
    uint32_t status = walker.start();
    if (status == cond::FNF && may_be_empty) return 1;
    if (status == cond::FNF && delete_indexed(spec, default_spec, run)) return 1;
    if (status == cond::FNF) {
        signal_condition(cond::DELETE_FILNOTDEL, spec);
        return cond::FNF;
    }
    if (status != 1) return status;
    std::string name;
    while (walker.next()) {
        walker.vms_name(name);
        uint32_t end_status = 1;
        ConfirmStep step = confirm_file("Delete " + name + " ? [N]: ", run.confirm, end_status);
        if (step == ConfirmStep::skip) continue;
        if (step == ConfirmStep::end) return end_status;
        const FoundFile& file = walker.current();
        uint32_t removed = remove_one(file);
        if (removed != 1) {
            signal_condition(cond::DELETE_FILNOTDEL, name);
            signal_condition(removed);
            note_failure(run, removed);
            if (current_frame().on_actions[ON_WARNING]) return 0;
            show_messages();
            continue;
        }
        ++run.files;
        run.blocks += blocks_of(file.size);
        if (run.log) log_deleted(name, blocks_of(file.size));
    }
    if (walker.interrupted()) return 0;
    if (walker.taken() == 0 && !selecting && !may_be_empty) {
        signal_condition(cond::DELETE_SEARCHFAIL, spec);
        return cond::FNF;
    }
    return 1;
}


}  // namespace

const KeywordTable kDeleteQualifiers{verb::DELETE, kRows};

uint32_t delete_files_command(const ParsedCommand& cmd, CommandStreams&) {
    static constexpr SelectionCodes kCodes{qual::DELETE_BEFORE, qual::DELETE_SINCE, qual::DELETE_BY_OWNER,
                                           qual::DELETE_EXCLUDE, qual::DELETE_CREATED, qual::DELETE_MODIFIED};
    SearchSelection selection;
    bool selecting = false;
    if (uint32_t status = file_selection(cmd, kCodes, selection, selecting); status != 1) return status;
    DeleteRun run;
    run.confirm = cmd.flag(qual::DELETE_CONFIRM, false);
    run.log = cmd.flag(qual::DELETE_LOG, false);
    std::string default_spec;
    uint32_t status = 1;
    for (const ParsedParameter& p : cmd.parameters) {
        std::string spec = remove_quotes(p.text);
        // NAME;* is every numbered version, then the name itself; a name
        // without older versions is deleted all the same.
        bool all_versions = spec.size() >= 2 && spec.ends_with(";*");
        if (all_versions) {
            spec.resize(spec.size() - 2);
            status = delete_spec(spec + ".~*~", default_spec, selection, selecting, true, run);
        }
        if (status == 1) status = delete_spec(spec, default_spec, selection, selecting, false, run);
        if (status != 1) break;
        default_spec = directory_and_name(spec, ".");
    }
    if (run.log && run.files >= 2 && run.blocks != 0) {
        put_message(kDeleteInformational, "TOTAL",
                    std::to_string(run.files) + " files deleted (" + std::to_string(run.blocks) +
                        (run.blocks == 1 ? " block)" : " blocks)"));
    }
    if (status != 1) return status;
    return run.worst != 0 ? run.worst | INHIBIT_BIT : 1;
}

}  // namespace dcl
