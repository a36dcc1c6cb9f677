// PURGE: deletes the older versions of files, the backups name.~N~ beside
// each plain file, keeping the plain file and, with /KEEP=n, the n-1
// newest backups. Specifications and /EXCLUDE name the plain files; a file
// whose plain name is gone still keeps its newest backup. As with DELETE,
// a failure is shown and the next version tried, unless an ON WARNING
// action wants the command to end.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/commands/purge_versions.h"
#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/unique_fd.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/streams.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr KeywordRecord kRows[] = {
    {"BACKUP", 0, qual::PURGE_BACKUP},
    {"BEFORE", kValue, qual::PURGE_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::PURGE_BY_OWNER, ValueKind::uic},
    {"CONFIR", 0, qual::PURGE_CONFIRM},
    {"CREATE", 0, qual::PURGE_CREATED},
    {"ERASE", 0, qual::PURGE_ERASE},
    {"EXCLUD", KW_NEEDS_VALUE, qual::PURGE_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::PURGE_EXPIRED},
    {"KEEP", KW_NEEDS_VALUE | KW_NO_NEGATE, qual::PURGE_KEEP, ValueKind::number},
    {"LOG", 0, qual::PURGE_LOG},
    {"MODIFI", 0, qual::PURGE_MODIFIED},
    {"SINCE", kValue, qual::PURGE_SINCE, ValueKind::time},
};
static_assert(std::size(kRows) == 12);

constexpr size_t kEraseBlock = 65536;

// One PURGE command: how it selects, and what it has done.
struct PurgeRun {
    SearchSelection dates;                // /BEFORE, /SINCE, /BY_OWNER: each backup's own
    std::vector<std::string> excludes;    // as typed
    std::vector<std::string> exclusions;  // in Unix form, against the plain names
    int64_t keep = 1;
    bool no_dates = false;  // /BACKUP or /EXPIRED: dates Unix does not keep
    bool confirm = false, log = false, erase = false;
    uint32_t worst = 0;
};

// The versions of the files of one directory, by plain name.
using VersionGroups = std::map<std::string, std::vector<PurgeVersion>, std::less<>>;

// How `cmd` selects the files. 1, or the condition the command ends with.
uint32_t read_qualifiers(const ParsedCommand& cmd, PurgeRun& run) {
    static constexpr SelectionCodes kCodes{qual::PURGE_BEFORE, qual::PURGE_SINCE, qual::PURGE_BY_OWNER,
                                           qual::PURGE_EXCLUDE, qual::PURGE_CREATED, qual::PURGE_MODIFIED};
    int dates = 0;
    for (uint32_t code : {qual::PURGE_CREATED, qual::PURGE_MODIFIED, qual::PURGE_BACKUP, qual::PURGE_EXPIRED})
        dates += cmd.flag(code, false) ? 1 : 0;
    if (dates > 1) return cond::CONFQUAL;
    run.no_dates = cmd.flag(qual::PURGE_BACKUP, false) || cmd.flag(qual::PURGE_EXPIRED, false);
    bool timed = cmd.flag(qual::PURGE_BEFORE, false) || cmd.flag(qual::PURGE_SINCE, false);
    if (run.no_dates && !timed) return cond::DCL_QUALMISS;
    bool selecting = false;
    if (uint32_t status = file_selection(cmd, kCodes, run.dates, selecting); status != 1) return status;
    run.excludes = std::move(run.dates.excludes);
    run.dates.excludes.clear();
    if (const ParsedQualifier* keep = cmd.find(qual::PURGE_KEEP)) {
        if (keep->number < 1) {
            signal_condition(cond::IVVALU, std::to_string(keep->number));
            return 0;
        }
        run.keep = keep->number;
    }
    run.confirm = cmd.flag(qual::PURGE_CONFIRM, false);
    run.log = cmd.flag(qual::PURGE_LOG, false);
    run.erase = cmd.flag(qual::PURGE_ERASE, false);
    return 1;
}

// `directory` ends in "/".
bool excluded(const PurgeRun& run, const std::string& directory, std::string_view plain) {
    std::string path = directory + std::string(plain);
    std::string local;
    return path_excluded(run.exclusions, path, directory.size(), local);
}

// The name and type a specification asks for, to test plain names that
// are left only as backups the way the search tests the names it finds.
class PlainPattern {
public:
    PlainPattern(std::string_view spec, std::string_view default_spec) : mode_(current_dotfile_mode()) {
        std::string unix_form;
        uint32_t status = vms_to_unix_core(unix_form, spec, default_spec, {}, mode_);
        if (status != 1 && status != cond::NOLOGNAM) return;
        UnixPathParts parts;
        split_unix_path(parts, unix_form, mode_);
        std::string& last = parts.type.empty() ? parts.name : parts.type;
        if (size_t semicolon = last.find(';'); semicolon != std::string::npos) last.resize(semicolon);
        name_.emplace(parts.name, false);
        type_ = std::move(parts.type);
    }
    bool matches(std::string_view plain) const {
        std::string_view name, type;
        split_file_name(plain, mode_, name, type);
        return name_ && name_->matches(name) && match_type(type_, type);
    }

private:
    DotfileMode mode_;
    std::optional<WildcardPattern> name_;
    std::string type_;
};

// The backups of `directory` (ends in "/") under the plain names in
// `groups`, and under names `pattern` takes that have no plain file left.
// 1, or 0 when interrupted.
uint32_t add_backups(const std::string& directory, const PlainPattern& pattern, const PurgeRun& run,
                     VersionGroups& groups) {
    FileWalker walker(directory + "*.~*~", {}, run.dates, interrupt_requested);
    uint32_t status = walker.start();
    if (status != 1) return status == cond::FNF ? 1 : status;
    std::unordered_set<std::string> selected;
    while (walker.next()) {
        if (!run.no_dates) selected.insert(walker.current().path);
    }
    if (walker.interrupted()) return 0;
    for (const SearchDirectory& found : walker.tree().directories) {
        for (const FoundFile& file : found.files) {
            std::string_view plain;
            int64_t number = backup_number(file.name(), plain);
            if (number < 0 || S_ISDIR(file.mode)) continue;
            auto group = groups.find(plain);
            if (group == groups.end()) {
                if (!pattern.matches(plain)) continue;
                group = groups.emplace(std::string(plain), std::vector<PurgeVersion>{}).first;
            }
            group->second.push_back({file, number, selected.contains(file.path)});
        }
    }
    return 1;
}

// The plain files the search found in one directory, then their backups.
uint32_t gather_versions(const SearchDirectory& directory, const PlainPattern& pattern, const PurgeRun& run,
                         VersionGroups& groups) {
    for (const FoundFile& file : directory.files) {
        std::string_view plain;
        if (S_ISDIR(file.mode) || backup_number(file.name(), plain) >= 0) continue;
        groups[std::string(file.name())].push_back({file, -1, false});
    }
    return add_backups(directory.path, pattern, run, groups);
}

// /ERASE: the contents overwritten with zeros, on the disk, before the name
// goes. A file whose data another name shares is left as it is. 1 or WER.
uint32_t erase_contents(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1) return 1;
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) return errno == EACCES || errno == EPERM ? cond::PRV : cond::WER;
    const std::string zeros(kEraseBlock, '\0');
    for (off_t left = st.st_size; left > 0;) {
        size_t n = static_cast<size_t>(std::min<off_t>(left, static_cast<off_t>(kEraseBlock)));
        if (!write_fully(fd.get(), std::string_view(zeros.data(), n))) return cond::WER;
        left -= static_cast<off_t>(n);
    }
    return fsync(fd.get()) == 0 && fd.close_checked() ? 1 : cond::WER;
}

uint32_t remove_version(const FoundFile& file, bool erase) {
    if (access(file.path.c_str(), W_OK) != 0) return cond::PRV;
    if (erase) {
        if (uint32_t erased = erase_contents(file.path); erased != 1) return erased;
    }
    return delete_file(file.path);
}

// The failures the command goes on after are shown at once; the worst one
// becomes the command's status. Warning 0, error 2, severe 4.
void note_failure(PurgeRun& run, uint32_t reason) {
    if (run.worst == 0 || (reason & 7) > (run.worst & 7)) run.worst = reason;
}

// Deletes one older version. Nothing to go on; else the status the command
// ends with.
std::optional<uint32_t> purge_version(const FoundFile& file, PurgeRun& run) {
    struct stat st {};
    // Gone already: the companion of a version deleted before it.
    if (lstat(file.path.c_str(), &st) != 0) return std::nullopt;
    std::string name;
    if (unix_to_vms(name, file.path) != 1) name = file.path;
    uint32_t end_status = 1;
    ConfirmStep step = confirm_file("Purge " + name + " ? [N]: ", run.confirm, end_status);
    if (step == ConfirmStep::skip) return std::nullopt;
    if (step == ConfirmStep::end) return end_status;
    uint32_t removed = remove_version(file, run.erase);
    if (removed != 1) {
        signal_condition(cond::PURGE_FILNOTDEL, name);
        signal_condition(removed);
        note_failure(run, removed);
        if (current_frame().on_actions[ON_WARNING]) return 0;
        show_messages();
        return std::nullopt;
    }
    if (run.log) {
        uint64_t blocks = blocks_of(file.size);
        put_message(cond::PURGE_FILPURG, "FILPURG",
                    name + " deleted (" + std::to_string(blocks) + (blocks == 1 ? " block)" : " blocks)"));
    }
    return std::nullopt;
}

std::optional<uint32_t> purge_directory(const std::string& directory, VersionGroups& groups, PurgeRun& run) {
    for (auto& [plain, versions] : groups) {
        if (excluded(run, directory, plain)) continue;
        order_versions(versions);
        for (size_t i : versions_to_purge(versions, run.keep)) {
            if (interrupt_requested()) return 0;
            if (std::optional<uint32_t> end = purge_version(versions[i].file, run)) return end;
        }
    }
    return std::nullopt;
}

// Purges the files of one specification. Nothing to go on; else the
// status the command ends with.
std::optional<uint32_t> purge_spec(const std::string& spec, const std::string& default_spec, PurgeRun& run) {
    FileWalker walker(spec, default_spec, {}, interrupt_requested);
    uint32_t status = walker.start();
    if (status != 1 && status != cond::FNF) return status;
    PlainPattern pattern(spec, default_spec);
    bool any = false;
    for (const SearchDirectory& directory : walker.tree().directories) {
        if (interrupt_requested()) return 0;
        VersionGroups groups;
        uint32_t gathered = gather_versions(directory, pattern, run, groups);
        if (gathered != 1) return gathered;
        any = any || !groups.empty();
        if (std::optional<uint32_t> end = purge_directory(directory.path, groups, run)) return end;
    }
    if (!any) {
        signal_condition(cond::PURGE_SEARCHFAIL, spec);
        return cond::FNF;
    }
    return std::nullopt;
}

// Only ";" may follow a name: PURGE chooses the versions itself.
bool names_a_version(std::string_view spec) {
    size_t semicolon = spec.rfind(';');
    return semicolon != std::string_view::npos && semicolon + 1 < spec.size();
}

// A further specification takes the device and directory of the one
// before it, not its name or type.
std::string directory_of(std::string_view spec) {
    VmsSpecParts parts;
    parse_vms_spec(parts, spec);
    return parts.node + parts.device + parts.directory;
}

}  // namespace

const KeywordTable kPurgeQualifiers{verb::PURGE, kRows};

uint32_t purge_command(const ParsedCommand& cmd, CommandStreams&) {
    std::vector<std::string> specs;
    for (const ParsedParameter& p : cmd.parameters) specs.push_back(remove_quotes(p.text));
    if (specs.empty()) specs.emplace_back("*.*");
    for (const std::string& spec : specs) {
        if (names_a_version(spec)) return cond::VER;
    }
    PurgeRun run;
    if (uint32_t status = read_qualifiers(cmd, run); status != 1) return status;
    if (uint32_t status = translate_exclusions(run.exclusions, run.excludes, current_dotfile_mode()); status != 1)
        return status;
    std::string default_spec;
    for (const std::string& spec : specs) {
        std::optional<uint32_t> end = purge_spec(spec, default_spec, run);
        // QUIT ends the command with the status of what went before.
        if (end && *end != 1) return *end;
        if (end) break;
        default_spec = directory_of(spec);
    }
    return run.worst != 0 ? run.worst | INHIBIT_BIT : 1;
}

}  // namespace dcl
