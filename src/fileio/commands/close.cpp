// CLOSE: the file OPEN gave a logical name, and the name with it.
// /DISPOSITION=DELETE removes the file as well; the standard names are
// never closed.
#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "fileio/commands/file_commands.h"
#include "fileio/open_files.h"
#include "files/versions.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

constexpr std::string_view kProcessTable = "LNM$PROCESS";

constexpr KeywordRecord kRows[] = {
    {"DISPOS", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::CLOSE_DISPOSITION, ValueKind::keyword,
     qual::CLOSE_DISPOSITION},
    {"ERROR", KW_NO_NEGATE | KW_NEEDS_VALUE, qual::CLOSE_ERROR, ValueKind::string, 0, ""},
    {"LOG", 0, qual::CLOSE_LOG},
};

uint32_t disposition(const ParsedCommand& cmd) {
    const ParsedQualifier* q = cmd.find(qual::CLOSE_DISPOSITION);
    return q ? q->keyword : qual::DISPOSITION_KEEP;
}

// Closes and forgets the entry; then carries out the disposition.
uint32_t close_entry(const std::string& name, uint32_t how) {
    auto& files = open_file_table().files;
    auto found = files.find(name);
    OpenFileEntry entry = std::move(found->second);
    files.erase(found);
    lnm_delete_name(kProcessTable, name);
    uint32_t status = entry.file.close();
    if (how == qual::DISPOSITION_DELETE) {
        uint32_t deleted = delete_file(entry.path);
        if (status == 1 && deleted != 1) status = deleted;
    }
    // Queues are not available: the file is kept.
    if (status == 1 && (how == qual::DISPOSITION_PRINT || how == qual::DISPOSITION_SUBMIT))
        status = cond::NOTAVAIL;
    return status;
}

}  // namespace

const KeywordTable kCloseQualifiers{verb::CLOSE, kRows};

uint32_t close_command(const ParsedCommand& cmd, CommandStreams&) {
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    std::string label = label_of(cmd, qual::CLOSE_ERROR);
    std::string name = channel_name(cmd.parameters[0].text);
    if (!find_opened_file(name)) {
        if (find_standard_stream(name)) return 1;
        if (!label.empty()) channel_failed(cond::UNDFIL, name, label);
        else if (cmd.flag(qual::CLOSE_LOG, true)) signal_condition(cond::UNDFIL, name);
        return label.empty() && !cmd.flag(qual::CLOSE_LOG, true) ? 1 : 0;
    }
    uint32_t status = close_entry(name, disposition(cmd));
    if (status == 1) return 1;
    channel_failed(status, name, label);
    return 0;
}

}  // namespace dcl
