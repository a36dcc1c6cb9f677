// OPEN: a file for READ and WRITE, under a logical name of the process
// table that holds the file's VMS specification (so that F$TRNLNM tells
// whether it is open). /WRITE makes a new version: an existing file is
// kept as name.~N~, never overwritten.
#include <cerrno>
#include <string>
#include <sys/stat.h>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "fileio/commands/file_commands.h"
#include "fileio/open_files.h"
#include "files/file_errors.h"
#include "files/filespec.h"
#include "files/versions.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr std::string_view kDefaultType = ".dat";
constexpr std::string_view kProcessTable = "LNM$PROCESS";

constexpr KeywordRecord kRows[] = {
    {"APPEND", 0, qual::OPEN_APPEND},
    {"ERROR", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::OPEN_ERROR, ValueKind::string, 0, ""},
    {"READ", 0, qual::OPEN_READ},
    // Accepted for procedures written for shared files; nothing is locked.
    {"SHARE", KW_VALUE_ALLOWED, qual::OPEN_SHARE, ValueKind::ignored},
    {"WRITE", 0, qual::OPEN_WRITE},
};

// The access the qualifiers ask for; false after CONFQUAL (/APPEND with
// /WRITE).
bool open_mode(const ParsedCommand& cmd, OpenMode& mode) {
    bool write = cmd.flag(qual::OPEN_WRITE, false);
    bool append = cmd.flag(qual::OPEN_APPEND, false);
    if (write && append) return false;
    if (append) mode = OpenMode::append;
    else if (write) mode = cmd.flag(qual::OPEN_READ, false) ? OpenMode::read_write : OpenMode::write;
    else mode = OpenMode::read;
    return true;
}

// The Unix path to open: an existing file, or for /WRITE the name to
// create, the file there now moved aside as a version.
uint32_t file_path(std::string& path, const std::string& spec, OpenMode mode) {
    if (wildcard_kind(spec) != 0) return with_severity(cond::WLD, SEV_SEVERE);
    if (mode != OpenMode::write) {
        uint32_t status = find_file(path, spec, kDefaultType, {}, {});
        // Missing: the reason tells a missing directory from a missing file.
        if (status == cond::FNF || (status == 1 && !path_exists(path)))
            return vms_to_unix(path, spec, kDefaultType) == 1 ? open_failure_reason(ENOENT, path) : cond::FNF;
        return status;
    }
    uint32_t status = vms_to_unix(path, spec, kDefaultType);
    if (status != 1) return status;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) new_version_qv(path);
    return 1;
}

// The VMS form of the file, shown in messages and kept as the name's value.
std::string vms_form(const std::string& path) {
    std::string spec;
    return unix_to_vms(spec, path) == 1 ? spec : path;
}

uint32_t open_failed(uint32_t reason, std::string_view shown, OpenMode mode, const std::string& label) {
    uint32_t status = mode == OpenMode::read ? cond::DCL_OPENIN : cond::DCL_OPENOUT;
    fail_or_jump(status, shown, label);
    if (label.empty()) signal_condition(reason);
    return 0;
}

}  // namespace

const KeywordTable kOpenQualifiers{verb::OPEN, kRows};

uint32_t open_command(const ParsedCommand& cmd, CommandStreams&) {
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    if (cmd.parameters.size() < 2) return ask_for(cmd, 1);
    std::string label = label_of(cmd, qual::OPEN_ERROR);
    std::string name = channel_name(cmd.parameters[0].text);
    if (name.empty() || name.size() > kMaxLogicalName) return cond::IVLOGNAM;
    OpenMode mode = OpenMode::read;
    if (!open_mode(cmd, mode)) return cond::CONFQUAL;
    // A name already open keeps its file: the next READ reads on in it.
    if (find_opened_file(name)) return 1;
    std::string spec = remove_quotes(cmd.parameters[1].text);
    std::string path;
    if (uint32_t status = file_path(path, spec, mode); status != 1) {
        if (path.empty() && vms_to_unix(path, spec, kDefaultType) != 1) path.clear();
        return open_failed(status, path.empty() ? spec : vms_form(path), mode, label);
    }
    OpenFileEntry entry{vms_form(path), path, {}};
    if (int error = entry.file.open(path, mode)) {
        uint32_t reason = error == EEXIST ? with_severity(cond::FEX, SEV_ERROR) : open_failure_reason(error, path);
        return open_failed(reason, entry.spec, mode, label);
    }
    if (uint32_t status = lnm_create_name(kProcessTable, name, entry.spec, nullptr, 0); !is_success(status))
        return open_failed(status, entry.spec, mode, label);
    open_file_table().files.emplace(std::move(name), std::move(entry));
    return 1;
}

}  // namespace dcl
