// TYPE: files (or SYS$INPUT) copied to the current output; with /PAGE a
// screen at a time at a terminal, with the "Press RETURN" pause.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/commands/network_copy.h"
#include "files/file_output.h"
#include "files/file_walker.h"
#include "files/unique_fd.h"
#include "files/filespec.h"
#include "files/scratch.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/text.h"
#include "tty/capabilities.h"
#include "tty/line_editor.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr KeywordRecord kRows[] = {
    {"BACKUP", 0, qual::TYPE_BACKUP, ValueKind::unsupported},
    {"BEFORE", kValue, qual::TYPE_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::TYPE_BY_OWNER, ValueKind::uic},
    {"CONFIR", 0, qual::TYPE_CONFIRM},
    {"CREATE", 0, qual::TYPE_CREATED},
    {"EXCLUD", kValue, qual::TYPE_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::TYPE_EXPIRED, ValueKind::unsupported},
    {"MODIFI", 0, qual::TYPE_MODIFIED},
    {"OUTPUT", kValue, qual::TYPE_OUTPUT, ValueKind::output},
    {"PAGE", 0, qual::TYPE_PAGE},
    {"SINCE", kValue, qual::TYPE_SINCE, ValueKind::time},
};
static_assert(std::size(kRows) == 11);

// One TYPE command: where it writes and how far the paging has come.
struct TypeRun {
    FILE* out = nullptr;
    bool output_wanted = true;
    bool confirm = false;
    bool paging = false;  // /PAGE, and the output is a terminal
    int width = 80, page_length = 24;
    int lines = 0;        // shown since the last pause
    int files = 0;        // typed so far
};

// Counts a line shown; false when the pause asked to stop.
bool count_line(TypeRun& run) {
    if (!run.paging || ++run.lines < run.page_length - 2) return true;
    run.lines = 0;
    return page_prompt();
}

// Without paging the bytes go across in large pieces with plain system
// calls: stdio would copy each block once more.
bool copy_blocks(FILE* in, bool own_file, TypeRun& run) {
    if (!run.output_wanted) return true;
    std::fflush(run.out);
    int in_fd = fileno(in), out_fd = fileno(run.out);
    if (own_file && in_fd >= 0 && out_fd >= 0) return copy_descriptor(in_fd, out_fd, interrupt_requested) == 0;
    // A stream TYPE did not open itself may hold input in its buffer.
    char block[1 << 15];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        if (std::fwrite(block, 1, got, run.out) != got || interrupt_requested()) return false;
    }
    return !std::ferror(in);
}

// Large blocks when nothing is counted; pieces of a screen's width when
// paging. False when the file was cut short (interrupt, pause, failure).
bool copy_stream(FILE* in, bool own_file, TypeRun& run) {
    if (!run.paging) return copy_blocks(in, own_file, run);
    std::string piece(static_cast<size_t>(run.width) + 1, '\0');
    while (std::fgets(piece.data(), static_cast<int>(piece.size()), in)) {
        if (run.output_wanted) std::fputs(piece.c_str(), run.out);
        if (interrupt_requested() || !count_line(run)) return false;
    }
    return true;
}

// SYS$INPUT: the current input stream, read with the line editor at a
// terminal.
void type_input(TypeRun& run) {
    FILE* in = redirection().input;
    if (in && !is_terminal(fileno(in))) {
        copy_stream(in, false, run);
        return;
    }
    std::string line;
    for (;;) {
        line.clear();
        uint32_t status = getline("", line);
        if (status != 1 && line.empty()) break;
        if (run.output_wanted) std::fprintf(run.out, "%s\n", line.c_str());
        if (status != 1 || !count_line(run)) break;
    }
}

// Types one file found. Nothing when the command goes on; else the status
// it ends with (1 when the pause before the file asked to stop).
std::optional<uint32_t> type_file(const FileWalker& walker, bool wildcard, TypeRun& run) {
    std::string name;
    walker.vms_name(name);
    if (run.paging && run.files > 0 && !page_prompt()) return 1;
    OwnedFile in(std::fopen(walker.current().path.c_str(), "re"));
    if (!in) {
        signal_condition(cond::TYPE_OPENIN, name);
        return cond::PRV;
    }
    ++run.files;
    if (run.paging) {
        put_cap(terminal_state().caps.cl, STDOUT_FILENO);
        run.lines = 0;
    }
    if (wildcard && run.output_wanted) {
        std::fprintf(run.out, "\n%s\n\n", name.c_str());
        run.lines += 4;
    }
    copy_stream(in.get(), true, run);
    return std::nullopt;
}

// The files of one specification. 1, or the condition that ends the
// command (reported).
uint32_t type_spec(std::string_view spec, std::string_view default_spec, const SearchSelection& selection,
                   bool selecting, TypeRun& run) {
    FileWalker walker(spec, default_spec, selection, interrupt_requested);
    uint32_t status = walker.start();
    if (status == cond::FNF) {
        signal_condition(cond::TYPE_OPENIN, spec);
        return cond::FNF;
    }
    if (status != 1) return status;
    bool wildcard = wildcard_kind(spec) != 0;
    bool ask = run.confirm;
    while (walker.next()) {
        std::string name;
        walker.vms_name(name);
        uint32_t end_status = 1;
        ConfirmStep step = confirm_file("Type " + name + " ? [N]: ", ask, end_status);
        if (step == ConfirmStep::skip) continue;
        if (step == ConfirmStep::end) return end_status;
        if (std::optional<uint32_t> end = type_file(walker, wildcard, run)) return *end;
    }
    if (walker.interrupted()) return 0;
    if (walker.taken() == 0 && !selecting) {
        signal_condition(cond::TYPE_SEARCHFAIL, spec);
        return cond::FNF;
    }
    return 1;
}


}  // namespace

const KeywordTable kTypeQualifiers{verb::TYPE, kRows};

uint32_t type_command(const ParsedCommand& cmd, CommandStreams& io) {
    SearchSelection selection;
    bool selecting = false;
    static constexpr SelectionCodes kCodes{qual::TYPE_BEFORE, qual::TYPE_SINCE, qual::TYPE_BY_OWNER,
                                           qual::TYPE_EXCLUDE, qual::TYPE_CREATED, qual::TYPE_MODIFIED};
    if (uint32_t status = file_selection(cmd, kCodes, selection, selecting); status != 1) return status;
    const ParsedQualifier* output = cmd.find(qual::TYPE_OUTPUT);
    bool page = cmd.flag(qual::TYPE_PAGE, false);
    if (page && output && !output->negated() && output->has_value()) return cond::CONFQUAL;

    TypeRun run;
    run.out = io.out;
    run.output_wanted = cmd.output_wanted;
    run.confirm = cmd.flag(qual::TYPE_CONFIRM, false);
    run.paging = page && is_terminal(fileno(io.out));
    run.width = screen_width() > 0 ? screen_width() : 80;
    run.page_length = screen_height() > 2 ? screen_height() : 24;
    std::string default_spec = ".lis";
    uint32_t status = 1;
    for (const ParsedParameter& p : cmd.parameters) {
        std::string spec = remove_quotes(p.text);
        if (equal_nocase(spec, "SYS$INPUT")) {
            type_input(run);
            continue;
        }
        if (has_node(spec)) {
            // Fetched into a scratch file, which the command loop removes.
            std::string scratch = create_temporary_file();
            if (scratch.empty()) {
                signal_condition(cond::TYPE_OPENIN, spec);
                status = cond::PRV;
                break;
            }
            if (network_copy({spec}, scratch, false) != 1) {
                status = 0;
                break;
            }
            status = type_spec(scratch, "", SearchSelection{}, false, run);
        } else {
            status = type_spec(spec, default_spec, selection, selecting, run);
        }
        if (status != 1) break;
        default_spec = directory_and_name(spec, ".lis");
    }
    std::fflush(io.out);
    return status;
}

}  // namespace dcl
