// DIFFERENCES: two text files compared record by record, the sections in
// which they differ listed as blocks or side by side, then a summary. The
// comparison is the engine's (files/compare_files.h), the listing text
// files/compare_listing.h's; here are the qualifiers, the reading of the
// two files and the output.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "files/compare_files.h"
#include "files/compare_listing.h"
#include "files/file_errors.h"
#include "files/file_output.h"
#include "files/filespec.h"
#include "files/unique_fd.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/text.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;
// The warning that a count was lowered to /MATCH's.
constexpr uint32_t kDiffWarning = 0x006C0000;

constexpr KeywordRecord kRows[] = {
    {"CHANGE", kValue, qual::DIFF_CHANGE_BAR, ValueKind::unsupported},
    {"COMMEN", kValue, qual::DIFF_COMMENT_DELIMITER, ValueKind::unsupported},
    {"IGNORE", kValue, qual::DIFF_IGNORE, ValueKind::keyword_list, qual::DIFF_IGNORE},
    {"MATCH", kValue, qual::DIFF_MATCH, ValueKind::number, 0, "3"},
    {"MAXIMU", kValue, qual::DIFF_MAXIMUM_DIFFERENCES, ValueKind::number, 0, "0"},
    {"MERGED", kValue, qual::DIFF_MERGED, ValueKind::number, 0, "1"},
    {"MODE", kValue, qual::DIFF_MODE, ValueKind::unsupported},
    {"NUMBER", 0, qual::DIFF_NUMBER},
    {"OUTPUT", kValue, qual::DIFF_OUTPUT, ValueKind::file_spec, 0, ""},
    {"PARALL", kValue, qual::DIFF_PARALLEL, ValueKind::number, 0, "0"},
    {"SEPARA", kValue, qual::DIFF_SEPARATED, ValueKind::unsupported},
    {"SLP", kValue, qual::DIFF_SLP, ValueKind::unsupported},
    {"WIDTH", kValue, qual::DIFF_WIDTH, ValueKind::number, 0, "1"},
    {"WINDOW", kValue, qual::DIFF_WINDOW, ValueKind::number, 0, "0"},
};
static_assert(std::size(kRows) == 14);

// The records of the last comparison: kept, so that their room serves
// the next command.
DiffRecords& record_list(int file) {
    static DiffRecords lists[2];
    return lists[file];
}

// A count qualifier into `field`; `reset` when negated. False after
// reporting a negative value.
bool read_count(const ParsedCommand& cmd, uint32_t code, uint32_t bit, int reset, DiffSettings& s, int& field) {
    const ParsedQualifier* q = cmd.find(code);
    if (!q) return true;
    if (q->negated()) {
        s.options &= ~bit;
        field = reset;
        return true;
    }
    if (q->number < 0 || q->number > 0x7FFFFFFF) {
        signal_condition(cond::DIFF_VALERR, q->token);
        return false;
    }
    s.options |= bit;
    field = static_cast<int>(q->number);
    return true;
}

uint32_t ignore_bit(uint32_t keyword) {
    using namespace diff_option;
    switch (keyword) {
    case qual::IGNORE_BLANK_LINES: return BLANK_LINES;
    case qual::IGNORE_COMMENTS: return COMMENTS;
    case qual::IGNORE_EXACT: return EXACT;
    case qual::IGNORE_FORM_FEEDS: return FORM_FEEDS;
    case qual::IGNORE_HEADER: return HEADER;
    case qual::IGNORE_PRETTY: return PRETTY;
    case qual::IGNORE_SPACING: return SPACING;
    case qual::IGNORE_TRAILING_SPACES: return TRAILING_SPACES;
    default: return 0;  // EDITED: accepted, nothing to do
    }
}

// /IGNORE's keywords; HEADER may carry its count ("HEADER=3").
bool read_ignore(const ParsedCommand& cmd, DiffSettings& s) {
    const ParsedQualifier* q = cmd.find(qual::DIFF_IGNORE);
    if (!q) return true;
    if (q->negated()) {
        s.options &= ~(diff_option::IGNORE | diff_option::IGNORE_KEYWORDS);
        return true;
    }
    s.options |= diff_option::IGNORE;
    for (size_t k = 0; k < q->keywords.size(); ++k) {
        s.options |= ignore_bit(q->keywords[k]);
        if (q->keywords[k] != qual::IGNORE_HEADER) continue;
        const std::string& item = q->items[k];
        size_t at = item.find_first_of("=:");
        int64_t count = 2;
        if (at != std::string::npos) {
            if (uint32_t status = parse_number(count, item.substr(at + 1)); status != 1 || count < 0) {
                signal_condition(status != 1 ? status : cond::DIFF_VALERR, item);
                return false;
            }
        }
        s.header_count = static_cast<int>(std::min<int64_t>(count, 0x7FFFFFFF));
    }
    return true;
}

bool read_settings(const ParsedCommand& cmd, DiffSettings& s, std::string& output_spec) {
    using namespace diff_option;
    if (!read_ignore(cmd, s)) return false;
    if (!read_count(cmd, qual::DIFF_MATCH, MATCH, 3, s, s.match_count)) return false;
    if (!read_count(cmd, qual::DIFF_MAXIMUM_DIFFERENCES, MAXIMUM, 0, s, s.maximum)) return false;
    if (!read_count(cmd, qual::DIFF_MERGED, MERGED, 1, s, s.merged_count)) return false;
    if (!read_count(cmd, qual::DIFF_PARALLEL, PARALLEL, 0, s, s.parallel_count)) return false;
    if (!read_count(cmd, qual::DIFF_WIDTH, WIDTH, 132, s, s.width)) return false;
    if (!read_count(cmd, qual::DIFF_WINDOW, WINDOW, 0, s, s.window)) return false;
    if (!cmd.flag(qual::DIFF_NUMBER, true)) s.options &= ~NUMBER;
    if (const ParsedQualifier* q = cmd.find(qual::DIFF_OUTPUT); q && !q->negated()) {
        s.options |= OUTPUT;
        output_spec = q->value;
    }
    return true;
}

// A count above /MATCH's is lowered to it, with a warning shown at once.
void limit_to_match(FILE* out, int& count, const char* ident, const char* qualifier, int match) {
    if (match >= count) return;
    std::string m = std::to_string(match);
    std::fflush(out);
    put_message(kDiffWarning, ident,
                "value of " + std::to_string(count) + " for " + qualifier + " is greater than /MATCH value of " + m +
                    "\n\t" + qualifier + " set to " + m);
    count = match;
}

// An input file read whole from its open descriptor, to its end.
struct InputFile {
    std::string path, name;  // Unix path; the name shown
    std::string bytes;
    struct stat st {};
};

uint32_t read_input(InputFile& in) {
    UniqueFd fd(::open(in.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.valid() && fstat(fd.get(), &in.st) == 0 && S_ISDIR(in.st.st_mode)) {
        fd.reset();
        errno = EISDIR;
    }
    if (!fd.valid()) return open_failure_reason(errno, in.path);
    in.bytes.clear();
    if (S_ISREG(in.st.st_mode)) in.bytes.reserve(static_cast<size_t>(in.st.st_size) + 1);
    constexpr size_t kBlock = 1 << 17;
    for (;;) {
        if (interrupt_requested()) return 0;
        size_t have = in.bytes.size();
        in.bytes.resize(have + kBlock);
        ssize_t got = read_fully(fd.get(), in.bytes.data() + have, kBlock);
        if (got < 0) return open_failure_reason(errno, in.path);
        in.bytes.resize(have + static_cast<size_t>(got));
        if (static_cast<size_t>(got) < kBlock) return 1;
    }
}

// Finds and reads one input. 1, or the status the command ends with
// (the message about the file queued before it).
uint32_t open_input(InputFile& in, const std::string& spec, const std::string& default_spec) {
    uint32_t status = wildcard_kind(spec) != 0 ? cond::WLD : find_file(in.path, spec, default_spec, {}, {});
    if (status == 1 && access(in.path.c_str(), F_OK) != 0) status = cond::FNF;
    if (status == 1) status = read_input(in);
    if (status == 1) {
        if (unix_to_vms(in.name, in.path) != 1) in.name = in.path;
        return 1;
    }
    if (status != 0) signal_condition(cond::DIFF_OPENIN, in.path.empty() ? spec : in.path);
    return status;
}

// /OUTPUT's file: file 1's directory and name with ".dif" by default.
uint32_t output_path(std::string& path, const std::string& spec, const InputFile (&inputs)[2]) {
    std::string base = inputs[0].path;
    size_t slash = base.rfind('/');
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.resize(dot);
    uint32_t status = vms_to_unix(path, remove_quotes(spec), base + ".dif");
    if (status != 1 || wildcard_kind(path) != 0) {
        signal_condition(cond::DIFF_OPENOUT, spec);
        return status != 1 ? status : cond::WLD;
    }
    for (const InputFile& in : inputs) {
        if (names_file(path, in.st)) {
            // The listing would replace what it describes.
            signal_condition(cond::DIFF_OPENOUT, path);
            return with_severity(cond::FEX, SEV_ERROR);
        }
    }
    return 1;
}

uint32_t write_to_file(const std::string& path, const std::string& text) {
    NewFileOutput out;
    mode_t mask = umask(0);
    umask(mask);
    if (int error = out.open(path, 0666 & ~mask, false)) {
        signal_condition(cond::DIFF_OPENOUT, path);
        return open_failure_reason(error, path);
    }
    if (!write_fully(out.fd(), text)) {
        int error = errno;
        out.abandon();
        signal_condition(cond::DIFF_OPENOUT, path);
        return open_failure_reason(error, path);
    }
    uint32_t status = out.commit();
    if (status != 1) signal_condition(cond::DIFF_OPENOUT, path);
    return status;
}

// Width, the /WINDOW check and the counts lowered to /MATCH's. False
// when the command ends here (reported).
bool settle_settings(DiffSettings& s, FILE* out, bool terminal) {
    using namespace diff_option;
    if (!(s.options & WIDTH) && terminal) s.width = screen_width() > 0 ? screen_width() : 80;
    s.width = std::clamp(s.width, 12, 65535);
    if ((s.options & WINDOW) && s.window < 1) {
        signal_condition(cond::DIFF_VALERR, std::to_string(s.window));
        return false;
    }
    limit_to_match(out, s.merged_count, "MRGGTMTCH", "/MERGE", s.match_count);
    limit_to_match(out, s.parallel_count, "PARGTMTCH", "/PARALLEL", s.match_count);
    return true;
}

uint32_t compare_files(DiffSettings& s, const std::string& spec1, const std::string& spec2,
                       const std::string& output_spec, FILE* out) {
    bool to_file = (s.options & diff_option::OUTPUT) != 0;
    DiffListing listing;
    listing.terminal = !to_file && is_terminal(fileno(out));
    if (!settle_settings(s, out, listing.terminal)) return 0;
    InputFile inputs[2];
    if (uint32_t status = open_input(inputs[0], spec1, {}); status != 1) return status;
    if (uint32_t status = open_input(inputs[1], spec2, spec1); status != 1) return status;
    std::string path;
    if (to_file) {
        if (uint32_t status = output_path(path, output_spec, inputs); status != 1) return status;
        if (unix_to_vms(listing.output_name, path) != 1) listing.output_name = path;
    }
    for (int f = 0; f < 2; ++f) {
        if (cut_records(inputs[f].bytes, record_list(f)) != 1) {
            signal_condition(cond::DIFF_RECTOOLNG);
            return cond::RSZ;
        }
        prepare_records(record_list(f), s);
    }
    DiffResult result;
    compare_records(record_list(0), record_list(1), s, result, interrupt_requested);
    if (result.interrupted) return 0;
    listing.files[0] = &record_list(0);
    listing.files[1] = &record_list(1);
    listing.result = &result;
    listing.settings = &s;
    listing.names[0] = inputs[0].name;
    listing.names[1] = inputs[1].name;
    std::string text;
    write_sections(text, listing);
    write_summary(text, listing);
    if (to_file) {
        if (uint32_t status = write_to_file(path, text); status != 1) return status;
    } else {
        std::fwrite(text.data(), 1, text.size(), out);
        std::fflush(out);
    }
    return result.cut ? cond::DIFF_MAXDIF : 1;
}

}  // namespace

const KeywordTable kDifferencesQualifiers{verb::DIFFERENCES, kRows};

uint32_t differences_command(const ParsedCommand& cmd, CommandStreams& io) {
    if (cmd.groups() < 1) return ask_for(cmd, 0);
    if (cmd.groups() < 2) return ask_for(cmd, 1);
    DiffSettings settings;
    std::string output_spec;
    if (!read_settings(cmd, settings, output_spec)) return 0;
    std::string spec1 = remove_quotes(cmd.parameter(0)->text);
    std::string spec2 = remove_quotes(cmd.parameter(1)->text);
    return compare_files(settings, spec1, spec2, output_spec, io.out);
}

}  // namespace dcl
