// COPY and APPEND. Inputs come from wildcard searches or SYS$INPUT; COPY
// writes one new file per input, or all of them into one when the output
// names a single file; APPEND adds them to an existing file. No output is
// ever left half-written (file_output.h), a command never reads what it
// writes, and specifications with a node go to the network copy program.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/commands/network_copy.h"
#include "files/file_errors.h"
#include "files/file_output.h"
#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/protection.h"
#include "files/unique_fd.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;
constexpr ValueKind kUnsupported = ValueKind::unsupported;

// Shown at once with their own texts, as each facility's success and
// informational messages.
constexpr uint32_t kCopySuccess = 0x670001, kAppendSuccess = 0x710001, kAppendInformational = 0x710003;

constexpr KeywordRecord kCopyRows[] = {
    {"ALLOCA", kValue, qual::COPY_ALLOCATION, kUnsupported}, {"BACKUP", 0, qual::COPY_BACKUP, kUnsupported},
    {"BEFORE", kValue, qual::COPY_BEFORE, ValueKind::time},  {"BY_OWN", kValue, qual::COPY_BY_OWNER, ValueKind::uic},
    {"CONCAT", 0, qual::COPY_CONCATENATE, kUnsupported},     {"CONFIR", 0, qual::COPY_CONFIRM},
    {"CONTIG", 0, qual::COPY_CONTIGUOUS, kUnsupported},      {"CREATE", 0, qual::COPY_CREATED},
    {"EXCLUD", kValue, qual::COPY_EXCLUDE, ValueKind::list}, {"EXPIRE", 0, qual::COPY_EXPIRED, kUnsupported},
    {"EXTENS", kValue, qual::COPY_EXTENSION, kUnsupported},  {"LOG", 0, qual::COPY_LOG},
    {"MODIFI", 0, qual::COPY_MODIFIED},                      {"OVERLA", 0, qual::COPY_OVERLAY, kUnsupported},
    {"PROTEC", kValue, qual::COPY_PROTECTION, ValueKind::protection},
    {"READ_C", 0, qual::COPY_READ_CHECK, kUnsupported},      {"REPLAC", 0, qual::COPY_REPLACE},
    {"SINCE", kValue, qual::COPY_SINCE, ValueKind::time},    {"TRUNCA", 0, qual::COPY_TRUNCATE, kUnsupported},
    {"VOLUME", kValue, qual::COPY_VOLUME, kUnsupported},     {"WRITE_", 0, qual::COPY_WRITE_CHECK, kUnsupported},
    {"IMAGE", 0, qual::COPY_IMAGE},
};
static_assert(std::size(kCopyRows) == 22);

constexpr KeywordRecord kAppendRows[] = {
    {"ALLOCA", kValue, qual::APPEND_ALLOCATION, kUnsupported}, {"BACKUP", 0, qual::APPEND_BACKUP, kUnsupported},
    {"BEFORE", kValue, qual::APPEND_BEFORE, ValueKind::time},  {"BY_OWN", kValue, qual::APPEND_BY_OWNER, ValueKind::uic},
    {"CONFIR", 0, qual::APPEND_CONFIRM},                       {"CONTIG", 0, qual::APPEND_CONTIGUOUS, kUnsupported},
    {"CREATE", 0, qual::APPEND_CREATED},                       {"EXCLUD", kValue, qual::APPEND_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::APPEND_EXPIRED, kUnsupported},         {"EXTENS", kValue, qual::APPEND_EXTENSION, kUnsupported},
    {"LOG", 0, qual::APPEND_LOG},                              {"MODIFI", 0, qual::APPEND_MODIFIED},
    {"NEW_VE", 0, qual::APPEND_NEW_VERSION},
    {"PROTEC", kValue, qual::APPEND_PROTECTION, ValueKind::protection},
    {"READ_C", 0, qual::APPEND_READ_CHECK, kUnsupported},      {"SINCE", kValue, qual::APPEND_SINCE, ValueKind::time},
    {"WRITE_", 0, qual::APPEND_WRITE_CHECK, kUnsupported},
};
static_assert(std::size(kAppendRows) == 17);

// One COPY or APPEND command.
struct CopyRun {
    bool append = false, confirm = false, log = false;
    bool replace = false;     // COPY /REPLACE
    bool new_version = false; // APPEND /NEW_VERSION
    int protection = kProtectionUnchanged;
    std::string output_spec;  // as typed
    uint32_t openin = 0, openout = 0;
    size_t created = 0;
    // One output for every input (COPY to a single file).
    bool concatenating = false;
    NewFileOutput concatenation;
    bool concatenation_open = false;
    size_t concatenated = 0;  // inputs written into it
    uint32_t worst = 0;
};

const char* verb_word(const CopyRun& run) { return run.append ? "Append" : "Copy"; }

void log_success(const CopyRun& run, const char* ident, const std::string& from, const std::string& to) {
    std::string text = from + (std::string_view(ident) == "COPIED" ? " copied to " : " appended to ") + to;
    put_message(run.append ? kAppendSuccess : kCopySuccess, ident, text);
}

// The permission bits of an output: the input's (the session default for
// SYS$INPUT) with /PROTECTION over them.
mode_t output_mode(const CopyRun& run, const struct stat* input) {
    int base = input ? mode_to_protection(input->st_mode) : session().default_protection;
    return protection_to_mode(merge_protection(run.protection, base));
}


struct Input {
    std::string path;        // empty for SYS$INPUT
    std::string name;        // as shown
    int fd = -1;
    FILE* stream = nullptr;  // SYS$INPUT: read through its stream, to its end
    bool terminal = false;
    struct stat st {};
    bool has_stat = false;
};

// The contents of one input into `fd`. 0, or the errno of the failure.
int copy_input(const Input& in, int fd) {
    if (in.terminal) return read_terminal_lines(fd) ? 0 : (errno ? errno : EIO);
    if (!in.stream) return copy_descriptor(in.fd, fd);
    char block[1 << 15];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, in.stream)) > 0)
        if (!write_fully(fd, std::string_view(block, got))) return errno ? errno : EIO;
    return std::ferror(in.stream) ? EIO : 0;
}

uint32_t failed_write(const CopyRun& run, const std::string& output, int error) {
    signal_condition(run.openout, output);
    return write_failure_reason(error);
}

// An input that is the output file itself is skipped with an error: the
// command would read what it writes (APPEND A A, COPY *.TXT ALL.TXT) or
// empty what it reads (COPY A A/REPLACE).
bool reads_its_output(const Input& in, const std::string& out_path, CopyRun& run) {
    if (!in.has_stat || !names_file(out_path, in.st)) return false;
    signal_condition(run.openin, in.name);
    signal_condition(with_severity(cond::FEX, SEV_ERROR));
    run.worst = with_severity(cond::FEX, SEV_ERROR);
    show_messages();
    return true;
}

// COPY of one input to its own new file, or into the concatenation.
uint32_t copy_to_file(const Input& in, const std::string& out_path, CopyRun& run) {
    std::string out_name = unix_path_to_vms(out_path);
    if (reads_its_output(in, out_path, run)) return 1;
    bool into_concatenation = run.concatenating && run.concatenation_open;
    NewFileOutput single;
    NewFileOutput& out = run.concatenating ? run.concatenation : single;
    if (!into_concatenation) {
        if (int error = out.open(out_path, output_mode(run, in.has_stat ? &in.st : nullptr), run.replace)) {
            signal_condition(run.openout, out_name);
            return open_failure_reason(error, out_path);
        }
        run.concatenation_open = run.concatenating;
        if (!out.mode_set()) signal_condition(cond::PRONOTCHG, out_name);
    }
    if (int error = copy_input(in, out.fd())) {
        out.abandon();
        run.concatenation_open = false;
        return failed_write(run, out_name, error);
    }
    if (run.concatenating) ++run.concatenated;
    if (!run.concatenating) {
        if (uint32_t status = out.commit(); status != 1) {
            signal_condition(run.openout, out_name);
            return status;
        }
        ++run.created;
    }
    if (run.log) log_success(run, into_concatenation ? "APPENDED" : "COPIED", in.name, out_name);
    return 1;
}

// APPEND of one input: the output must exist, unless /NEW_VERSION.
uint32_t append_to_file(const Input& in, const std::string& out_path, CopyRun& run) {
    std::string out_name = unix_path_to_vms(out_path);
    if (reads_its_output(in, out_path, run)) return 1;
    if (access(out_path.c_str(), F_OK) != 0) {
        if (!run.new_version) {
            signal_condition(run.openout, run.output_spec);
            return cond::FNF;
        }
        NewFileOutput created;
        if (int error = created.open(out_path, output_mode(run, in.has_stat ? &in.st : nullptr), false)) {
            signal_condition(run.openout, run.output_spec);
            return open_failure_reason(error, out_path);
        }
        if (int error = copy_input(in, created.fd())) return failed_write(run, out_name, error);
        if (uint32_t status = created.commit(); status != 1) return status;
        if (run.log) put_message(kAppendInformational, "CREATED", run.output_spec + " created");
        if (run.log) log_success(run, "COPIED", in.name, out_name);
        return 1;
    }
    AppendOutput out;
    if (int error = out.open(out_path)) {
        signal_condition(run.openout, run.output_spec);
        return open_failure_reason(error, out_path);
    }
    if (int error = copy_input(in, out.fd())) {
        out.cut_back();
        return failed_write(run, out_name, error);
    }
    if (run.protection != kProtectionUnchanged) {
        struct stat now {};
        if (fstat(out.fd(), &now) != 0 || fchmod(out.fd(), output_mode(run, &now)) != 0)
            signal_condition(cond::PRONOTCHG, out_name);
    }
    if (uint32_t status = out.finish(); status != 1) return failed_write(run, out_name, errno);
    if (run.log) log_success(run, "APPENDED", in.name, out_name);
    return 1;
}

// One input to wherever the output is.
uint32_t transfer(const Input& in, const FileWalker& walker, CopyRun& run) {
    if (FILE* stream = output_stream_named(run.output_spec)) {
        std::fflush(stream);
        if (int error = copy_input(in, fileno(stream))) return failed_write(run, run.output_spec, error);
        return 1;
    }
    std::string out_path;
    walker.output().complete(out_path, in.path.empty() ? std::string_view() : std::string_view(in.path).substr(in.path.rfind('/') + 1));
    return run.append ? append_to_file(in, out_path, run) : copy_to_file(in, out_path, run);
}

// An indexed file named by its base: its two parts are copied in binary,
// each to the output name with its own type. Nothing when the
// specification names none; else the status to go on with.
std::optional<uint32_t> copy_indexed(const std::string& spec, const std::string& default_spec,
                                     const FileWalker& outputs, CopyRun& run) {
    std::string base;
    if (!is_success(vms_to_unix(base, spec, default_spec)) || !is_indexed_pair(base)) return std::nullopt;
    std::string name = unix_path_to_vms(base);
    if (run.append || output_stream_named(run.output_spec)) {
        signal_condition(run.append ? run.openin : run.openout, run.append ? name : run.output_spec);
        return cond::FAC;
    }
    std::string out;
    outputs.output().complete(out, std::string_view(base).substr(base.rfind('/') + 1));
    for (const char* type : {".dat", ".idx"}) {
        Input in;
        in.path = base + type;
        in.name = name + type;
        UniqueFd fd(::open(in.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!fd.valid() || fstat(fd.get(), &in.st) != 0) {
            signal_condition(run.openin, in.name);
            return with_severity(cond::PRV, SEV_ERROR);
        }
        in.fd = fd.get();
        in.has_stat = true;
        NewFileOutput part;
        std::string out_path = out + type;
        if (int error = part.open(out_path, output_mode(run, &in.st), run.replace)) {
            signal_condition(run.openout, out_path);
            return open_failure_reason(error, out_path);
        }
        if (int error = copy_descriptor(in.fd, part.fd())) return failed_write(run, out_path, error);
        if (uint32_t status = part.commit(); status != 1) return status;
        ++run.created;
    }
    if (run.log) log_success(run, "COPIED", name, unix_path_to_vms(out));
    return 1;
}

uint32_t copy_spec(const std::string& spec, const std::string& default_spec, const SearchSelection& selection,
                   FileWalker& outputs, CopyRun& run, bool& quit) {
    FileWalker walker(spec, default_spec, selection, interrupt_requested);
    uint32_t status = walker.start();
    if (status == cond::FNF) {
        if (std::optional<uint32_t> indexed = copy_indexed(spec, default_spec, outputs, run)) return *indexed;
        signal_condition(run.openin, spec);
        return cond::FNF;
    }
    if (status != 1) return status;
    std::string name;
    while (walker.next()) {
        walker.vms_name(name);
        uint32_t end_status = 1;
        std::string question = std::string(verb_word(run)) + " " + name + " to " + run.output_spec + " ? [N]: ";
        ConfirmStep step = confirm_file(question, run.confirm, end_status);
        if (step == ConfirmStep::skip) continue;
        if (step == ConfirmStep::end) {
            quit = true;
            return end_status;
        }
        Input in;
        in.path = walker.current().path;
        in.name = name;
        UniqueFd fd(::open(in.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!fd.valid() || fstat(fd.get(), &in.st) != 0 || S_ISDIR(in.st.st_mode)) {
            int error = fd.valid() ? EISDIR : errno;
            signal_condition(run.openin, name);
            if (error != EISDIR) return with_severity(cond::PRV, SEV_ERROR);
            signal_condition(open_failure_reason(error, in.path));  // a directory: skipped
            run.worst = cond::PRV;
            show_messages();
            continue;
        }
        in.fd = fd.get();
        in.has_stat = true;
        if (uint32_t moved = transfer(in, outputs, run); moved != 1) return moved;
    }
    return walker.interrupted() ? 0 : 1;
}

}  // namespace

const KeywordTable kCopyQualifiers{verb::COPY, kCopyRows};
const KeywordTable kAppendQualifiers{verb::APPEND, kAppendRows};

namespace {

struct VerbCodes {
    SelectionCodes selection;
    uint32_t confirm, log, protection, replace_or_new, openin, openout;
    bool append;
};

uint32_t copy_or_append(const ParsedCommand& cmd, const VerbCodes& codes) {
    SearchSelection selection;
    bool selecting = false;
    if (uint32_t status = file_selection(cmd, codes.selection, selection, selecting); status != 1) return status;
    CopyRun run;
    run.append = codes.append;
    run.confirm = cmd.flag(codes.confirm, false);
    run.log = cmd.flag(codes.log, false);
    (codes.append ? run.new_version : run.replace) = cmd.flag(codes.replace_or_new, false);
    if (const ParsedQualifier* p = cmd.find(codes.protection); p && !p->negated()) run.protection = p->protection;
    run.openin = codes.openin;
    run.openout = codes.openout;
    const ParsedParameter* output = cmd.parameter(1);
    if (!output) return cond::NOFILE;  // the dispatcher has asked for it already
    run.output_spec = remove_quotes(output->text);
    std::vector<std::string> inputs;
    for (const ParsedParameter& p : cmd.parameters)
        if (p.group == 0) inputs.push_back(remove_quotes(p.text));
    if (has_node(run.output_spec) || std::any_of(inputs.begin(), inputs.end(), has_node))
        return network_copy(inputs, run.output_spec, cmd.flag(qual::COPY_IMAGE, false) && !codes.append);
    FileWalker outputs;
    if (!output_stream_named(run.output_spec)) {
        if (uint32_t status = outputs.set_output(run.output_spec); status != 1) {
            signal_condition(run.openout, run.output_spec);
            return status;
        }
        run.concatenating = !codes.append && outputs.output().single_file();
    }
    std::string default_spec;
    uint32_t status = 1;
    bool quit = false;
    for (const std::string& spec : inputs) {
        if (equal_nocase(spec, "SYS$INPUT")) {
            FILE* in = redirection().input;
            Input input;
            input.name = "SYS$INPUT";
            input.fd = in ? fileno(in) : STDIN_FILENO;
            input.terminal = !in || is_terminal(input.fd);
            input.stream = input.terminal ? nullptr : in;
            status = transfer(input, outputs, run);
        } else {
            status = copy_spec(spec, default_spec, selection, outputs, run, quit);
            default_spec = spec;
        }
        if (status != 1 || quit) break;
    }
    if (run.concatenation_open) {
        // Nothing written into it: the old file stays as it is.
        if (status == 1 && run.concatenated > 0) {
            uint32_t committed = run.concatenation.commit();
            if (committed != 1) {
                signal_condition(run.openout, run.output_spec);
                status = committed;
            } else {
                ++run.created;
            }
        }
        run.concatenation.abandon();
    }
    if (!run.append && run.log && run.created > 1) signal_condition(cond::COPY_NEWFILES, std::to_string(run.created));
    if (status != 1) return status;
    return run.worst != 0 ? run.worst | INHIBIT_BIT : 1;
}

}  // namespace

uint32_t copy_command(const ParsedCommand& cmd, CommandStreams&) {
    static constexpr VerbCodes kCodes{
        {qual::COPY_BEFORE, qual::COPY_SINCE, qual::COPY_BY_OWNER, qual::COPY_EXCLUDE, qual::COPY_CREATED,
         qual::COPY_MODIFIED},
        qual::COPY_CONFIRM, qual::COPY_LOG, qual::COPY_PROTECTION, qual::COPY_REPLACE,
        cond::COPY_OPENIN, cond::COPY_OPENOUT, false};
    return copy_or_append(cmd, kCodes);
}

uint32_t append_command(const ParsedCommand& cmd, CommandStreams&) {
    static constexpr VerbCodes kCodes{
        {qual::APPEND_BEFORE, qual::APPEND_SINCE, qual::APPEND_BY_OWNER, qual::APPEND_EXCLUDE,
         qual::APPEND_CREATED, qual::APPEND_MODIFIED},
        qual::APPEND_CONFIRM, qual::APPEND_LOG, qual::APPEND_PROTECTION, qual::APPEND_NEW_VERSION,
        cond::APPEND_OPENIN, cond::APPEND_OPENOUT, true};
    return copy_or_append(cmd, kCodes);
}

}  // namespace dcl
