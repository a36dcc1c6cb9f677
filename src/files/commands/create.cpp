// CREATE: text files from SYS$INPUT (a procedure's data lines, or lines
// typed at the terminal until Ctrl-Z), and CREATE/DIRECTORY: directories
// with every missing level. A new file is made private and given its
// protection before anything is written to it; an existing file is first
// kept as a numbered version.
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/file_errors.h"
#include "files/filespec.h"
#include "files/protection.h"
#include "files/unique_fd.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"
#include "tty/line_editor.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;
constexpr uint32_t kSelector = KW_NO_NEGATE;

// Shown at once with their own texts, as CREATE's informational messages.
constexpr uint32_t kCreateInformational = 0x910003;

constexpr KeywordRecord kFileRows[] = {
    {"DIRECT", kSelector, qual::CREATE_DIRECTORY, ValueKind::selector},
    {"FDL", kSelector | kValue, qual::CREATE_FDL, ValueKind::selector},
    {"LOG", 0, qual::CREATE_LOG},
    {"NAME_T", kSelector, qual::CREATE_NAME_TABLE, ValueKind::selector},
    {"OWNER_", kValue, qual::CREATE_OWNER, ValueKind::uic},
    {"PROTEC", kValue, qual::CREATE_PROTECTION, ValueKind::protection},
    {"TERMIN", kSelector, qual::CREATE_TERMINAL, ValueKind::selector},
    {"VOLUME", kValue, qual::CREATE_VOLUME, ValueKind::unsupported},
};
static_assert(std::size(kFileRows) == 8);

constexpr KeywordRecord kDirectoryRows[] = {
    {"LOG", 0, qual::CREATE_DIRECTORY_LOG},
    {"OWNER_", kValue, qual::CREATE_DIRECTORY_OWNER, ValueKind::uic},
    {"PROTEC", kValue, qual::CREATE_DIRECTORY_PROTECTION, ValueKind::protection},
    {"VERSIO", kValue, qual::CREATE_DIRECTORY_VERSIONS, ValueKind::unsupported},
    {"VOLUME", kValue, qual::CREATE_DIRECTORY_VOLUME, ValueKind::unsupported},
};
static_assert(std::size(kDirectoryRows) == 5);

// The mode of what is made: the session's default protection with the
// /PROTECTION value over it.
mode_t protection_mode(const ParsedCommand& cmd, uint32_t code) {
    int protection = session().default_protection;
    if (const ParsedQualifier* q = cmd.find(code); q && !q->negated())
        protection = merge_protection(q->protection, protection);
    return protection_to_mode(protection);
}

// /OWNER_UIC: anyone may name their own; only the superuser another.
// False when the owner may not be given.
bool owner_allowed(const ParsedQualifier* owner) {
    if (!owner || owner->negated() || geteuid() == 0) return true;
    return owner->uic.user == static_cast<uint32_t>(geteuid()) &&
           owner->uic.group == static_cast<uint32_t>(getegid());
}

// SYS$INPUT into `fd`: the procedure's data lines, a file, or the terminal.
// False when a write failed (errno tells why).
bool copy_input(int fd) {
    FILE* in = redirection().input;
    if (!in || is_terminal(fileno(in))) return read_terminal_lines(fd);
    char block[1 << 15];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0)
        if (!write_fully(fd, std::string_view(block, got))) return false;
    return true;
}

// SYS$OUTPUT and its kin take the input as it is; SYS$INPUT as a target
// is standard output.
FILE* stream_named(std::string_view spec) {
    if (equal_nocase(spec, "SYS$INPUT")) return stdout;
    return output_stream_named(spec);
}

uint32_t copy_input_to_stream(FILE* out) {
    std::fflush(out);
    return copy_input(fileno(out)) ? 1 : write_failure_reason(errno);
}

// A write that failed leaves no partial file as the newest version: the
// version kept aside comes back.
void undo_new_file(const std::string& path, int kept_version) {
    unlink(path.c_str());
    if (kept_version > 0) rename(backup_name(path, kept_version).c_str(), path.c_str());
}

uint32_t create_one_file(const std::string& path, const std::string& spec, mode_t mode,
                         const ParsedQualifier* owner) {
    int kept = new_version_qv(path);
    if (kept == 0 && access(path.c_str(), F_OK) == 0) {
        signal_condition(cond::CREATE_OPENOUT, path);
        return cond::FEX;
    }
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid()) {
        int error = errno;
        signal_condition(cond::DCL_OPENOUT, spec);
        return open_failure_reason(error, path);
    }
    // A protection that could not be set is reported; the contents are
    // written all the same.
    bool protected_as_asked = fchmod(fd.get(), mode) == 0;
    if (owner && !owner->negated() && fchown(fd.get(), owner->uic.user, owner->uic.group) != 0) {
        undo_new_file(path, kept);
        signal_condition(cond::CREATE_OPENOUT, spec);
        return cond::PRV;
    }
    if (!copy_input(fd.get()) || ::close(fd.release()) != 0) {
        int error = errno;
        undo_new_file(path, kept);
        signal_condition(cond::DCL_WRITEERR, spec);
        return write_failure_reason(error);
    }
    if (protected_as_asked) return 1;
    signal_condition(cond::PRONOTCHG, spec);
    return with_severity(cond::PRV, SEV_WARNING);
}

// The next specification's default: this one's directory and name, ".log".
std::string next_default(const std::string& path) {
    UnixPathParts parts;
    split_unix_path(parts, path, current_dotfile_mode());
    return parts.directory + parts.name + ".log";
}

}  // namespace

const KeywordTable kCreateQualifiers{verb::CREATE, kFileRows};
const KeywordTable kCreateDirectoryQualifiers{qual::CREATE_DIRECTORY_FORM, kDirectoryRows};

uint32_t create_command(const ParsedCommand& cmd, CommandStreams&) {
    mode_t mode = protection_mode(cmd, qual::CREATE_PROTECTION);
    const ParsedQualifier* owner = cmd.find(qual::CREATE_OWNER);
    bool log = cmd.flag(qual::CREATE_LOG, false);
    if (!owner_allowed(owner)) {
        signal_condition(cond::CREATE_OPENOUT, cmd.parameters.empty() ? "" : cmd.parameters[0].text);
        return cond::NOPRIV;
    }
    std::string default_spec = ".log";
    for (const ParsedParameter& p : cmd.parameters) {
        std::string spec = remove_quotes(p.text);
        if (FILE* stream = stream_named(spec)) {
            if (uint32_t status = copy_input_to_stream(stream); status != 1) return status;
            continue;
        }
        if (wildcard_kind(spec) != 0) {
            signal_condition(cond::CREATE_OPENOUT, spec);
            return with_severity(cond::WLD, SEV_SEVERE);
        }
        std::string path;
        uint32_t status = vms_to_unix(path, spec, default_spec);
        if (!is_success(status)) {
            signal_condition(cond::CREATE_OPENOUT, spec);
            return status;
        }
        if (status = create_one_file(path, spec, mode, owner); status != 1) return status;
        if (log) put_message(kCreateInformational, "CREATED", spec + " created");
        default_spec = next_default(path);
    }
    return 1;
}

uint32_t create_directory_command(const ParsedCommand& cmd, CommandStreams&) {
    mode_t mode = protection_mode(cmd, qual::CREATE_DIRECTORY_PROTECTION);
    const ParsedQualifier* owner = cmd.find(qual::CREATE_DIRECTORY_OWNER);
    bool log = cmd.flag(qual::CREATE_DIRECTORY_LOG, false);
    if (!owner_allowed(owner)) {
        signal_condition(cond::CREATE_DIRNOTCRE, cmd.parameters.empty() ? "" : cmd.parameters[0].text);
        return cond::NOPRIV;
    }
    for (const ParsedParameter& p : cmd.parameters) {
        std::string spec = remove_quotes(p.text);
        std::string path;
        uint32_t status = wildcard_kind(spec) != 0 ? with_severity(cond::WLD, SEV_SEVERE) : vms_to_unix(path, spec);
        if (!is_success(status)) {
            signal_condition(cond::CREATE_DIRNOTCRE, spec);
            return status;
        }
        if (is_directory(path)) {
            put_message(kCreateInformational, "EXISTS", spec + " already exists");
            continue;
        }
        // Every missing level, from the first.
        for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
            std::string level = path.substr(0, slash);
            if (!level.empty() && !is_directory(level)) {
                if (mkdir(level.c_str(), mode) != 0 && errno != EEXIST) {
                    int error = errno;
                    signal_condition(cond::CREATE_DIRNOTCRE, spec);
                    return open_failure_reason(error, level);
                }
                chmod(level.c_str(), mode);  // exactly the protection asked for, whatever the umask
                if (owner && !owner->negated() && chown(level.c_str(), owner->uic.user, owner->uic.group) != 0) {
                    signal_condition(cond::CREATE_DIRNOTCRE, spec);
                    return cond::PRV;
                }
                if (log) put_message(kCreateInformational, "CREATED", unix_path_to_vms(level + "/") + " created");
            }
            if (slash == std::string::npos || slash + 1 >= path.size()) break;
        }
    }
    return 1;
}

}  // namespace dcl
