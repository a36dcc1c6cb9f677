// SEARCH: the lines of files (or SYS$INPUT) that hold the search strings,
// with context windows, numbers, headings and highlighting. The matching
// is the engine's (files/search_engine.h); the reading and printing of a
// file's lines are in search_output.cpp; here are the qualifiers and the
// walk over the files.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "files/commands/confirm.h"
#include "files/commands/file_selection.h"
#include "files/commands/search_output.h"
#include "files/file_errors.h"
#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/unique_fd.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
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
constexpr uint32_t kNeedsValue = KW_NEEDS_VALUE;

constexpr KeywordRecord kRows[] = {
    {"BACKUP", 0, qual::SEARCH_BACKUP, ValueKind::unsupported},
    {"BEFORE", kValue, qual::SEARCH_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::SEARCH_BY_OWNER, ValueKind::uic},
    {"CONFIR", 0, qual::SEARCH_CONFIRM},
    {"CREATE", 0, qual::SEARCH_CREATED},
    {"EXACT", 0, qual::SEARCH_EXACT},
    {"EXCLUD", kNeedsValue, qual::SEARCH_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::SEARCH_EXPIRED, ValueKind::unsupported},
    {"FORMAT", kNeedsValue, qual::SEARCH_FORMAT, ValueKind::keyword_list, qual::SEARCH_FORMAT},
    {"HEADIN", 0, qual::SEARCH_HEADING},
    {"HIGHLI", kValue, qual::SEARCH_HIGHLIGHT, ValueKind::keyword_list, qual::SEARCH_HIGHLIGHT},
    {"LOG", 0, qual::SEARCH_LOG},
    {"MATCH", kNeedsValue, qual::SEARCH_MATCH, ValueKind::keyword_list, qual::SEARCH_MATCH},
    {"MODIFI", 0, qual::SEARCH_MODIFIED},
    {"NUMBER", 0, qual::SEARCH_NUMBERS},
    {"OUTPUT", kValue, qual::SEARCH_OUTPUT, ValueKind::output},
    {"REMAIN", 0, qual::SEARCH_REMAINING},
    {"SINCE", kValue, qual::SEARCH_SINCE, ValueKind::time},
    {"STATIS", 0, qual::SEARCH_STATISTICS, ValueKind::unsupported},
    {"WINDOW", kValue, qual::SEARCH_WINDOW, ValueKind::list},
};
static_assert(std::size(kRows) == 20);

// The last keyword given to a keyword qualifier, 0 when none (or negated).
uint32_t keyword_of(const ParsedCommand& cmd, uint32_t code) {
    const ParsedQualifier* q = cmd.find(code);
    return q && !q->negated() && !q->keywords.empty() ? q->keywords.back() : 0;
}

LineFormat format_of(uint32_t keyword) {
    switch (keyword) {
    case qual::FORMAT_DUMP: return LineFormat::dump;
    case qual::FORMAT_NOFF: return LineFormat::noff;
    case qual::FORMAT_NONULL: return LineFormat::nonull;
    case qual::FORMAT_PASSALL: return LineFormat::passall;
    default: return LineFormat::text;
    }
}

MatchMode mode_of(uint32_t keyword) {
    switch (keyword) {
    case qual::MATCH_AND: return MatchMode::all;
    case qual::MATCH_NAND: return MatchMode::not_all;
    case qual::MATCH_NOR: return MatchMode::none;
    default: return MatchMode::any;
    }
}

// The highlight sequences for the keyword asked for, each falling back on
// another the terminal has; none when it has neither.
void resolve_highlight(uint32_t keyword, SearchOptions& options) {
    const Capabilities& caps = terminal_state().caps;
    const std::string* choices[2];
    switch (keyword) {
    case qual::HIGHLIGHT_UNDERLINE: choices[0] = &caps.us, choices[1] = &caps.mr; break;
    case qual::HIGHLIGHT_REVERSE: choices[0] = &caps.mr, choices[1] = &caps.us; break;
    case qual::HIGHLIGHT_BLINK: choices[0] = choices[1] = &caps.mb; break;
    default: choices[0] = &caps.md, choices[1] = &caps.mr; break;
    }
    if (caps.me.empty()) return;
    for (const std::string* cap : choices) {
        if (cap->empty()) continue;
        options.highlight_start = expand_cap(*cap);
        options.highlight_end = expand_cap(caps.me);
        return;
    }
}

// /WINDOW's counts; 1 or the condition that ends the command.
uint32_t read_window(const ParsedCommand& cmd, SearchOptions& options) {
    const ParsedQualifier* q = cmd.find(qual::SEARCH_WINDOW);
    if (!q || q->negated()) return 1;
    std::vector<int64_t> values;
    for (const std::string& item : q->items) {
        int64_t n = 0;
        if (uint32_t status = parse_number(n, item); status != 1) {
            signal_condition(status, item);
            return 0;
        }
        values.push_back(n);
    }
    if (uint32_t status = window_counts(values, options.before, options.after); status != 1) return status;
    // Only a window of 0 lines asks for file names alone: /WINDOW=1 is the
    // matched line without context, not no line at all.
    options.names_only = !values.empty() && std::all_of(values.begin(), values.end(), [](int64_t n) { return n == 0; });
    return 1;
}

// The options of the command; 1 or the condition that ends it.
uint32_t read_options(const ParsedCommand& cmd, FILE* out, SearchOptions& options) {
    options.confirm = cmd.flag(qual::SEARCH_CONFIRM, false);
    options.exact = cmd.flag(qual::SEARCH_EXACT, false);
    options.heading = cmd.flag(qual::SEARCH_HEADING, true);
    options.log = cmd.flag(qual::SEARCH_LOG, false);
    options.numbers = cmd.flag(qual::SEARCH_NUMBERS, false);
    options.remaining = cmd.flag(qual::SEARCH_REMAINING, false);
    options.output_wanted = cmd.output_wanted;
    options.format = format_of(keyword_of(cmd, qual::SEARCH_FORMAT));
    options.mode = mode_of(keyword_of(cmd, qual::SEARCH_MATCH));
    if (uint32_t status = read_window(cmd, options); status != 1) return status;
    if (options.names_only) options.heading = false;
    uint32_t highlight = keyword_of(cmd, qual::SEARCH_HIGHLIGHT);
    if (highlight == qual::HIGHLIGHT_HARDCOPY) return cond::DCL_NOTAVAIL;
    // Escape sequences only to a terminal, never into a file or a pipe.
    if (cmd.flag(qual::SEARCH_HIGHLIGHT, true) && is_terminal(fileno(out))) resolve_highlight(highlight, options);
    return 1;
}

// One SEARCH command under way.
struct SearchRun {
    FILE* out = nullptr;
    const SearchOptions* options = nullptr;
    SearchPrinter* printer = nullptr;
    std::vector<char> buffer;       // the line reader's, for every file
    struct stat output{};           // the output file, never to be searched
    bool output_is_file = false;
    bool asking = false;            // /CONFIRM until ALL
    bool quit = false;              // QUIT was the answer to /CONFIRM
    uint64_t searched = 0, matches = 0;
    uint32_t worst = 0;             // the worst failure shown
};

void note_failure(SearchRun& run, uint32_t reason) {
    // Warning 0, error 2, severe 4: the higher the worse.
    if (run.worst == 0 || (reason & 7) > (run.worst & 7)) run.worst = reason;
}

// Shows the failure just queued at once, after the lines before it, and
// goes on, unless an ON action wants the command to end: false then.
bool show_now(SearchRun& run, uint32_t reason) {
    note_failure(run, reason);
    if (current_frame().on_actions[ON_WARNING]) return false;
    std::fflush(run.out);
    show_messages();
    return true;
}

bool show_failure(SearchRun& run, std::string_view name, uint32_t reason) {
    signal_condition(cond::SEARCH_OPENIN, name);
    signal_condition(reason);
    return show_now(run, reason);
}

// A message shown at once, after the lines before it.
void tell(SearchRun& run, uint32_t value, std::string_view ident, std::string_view text) {
    std::fflush(run.out);
    put_message(value, ident, text);
}

// The /LOG line and the empty-file note at the end of a file.
void end_of_file(SearchRun& run, std::string_view name, bool cut_short) {
    const SearchPrinter& p = *run.printer;
    ++run.searched;
    run.matches += p.matches();
    std::string file(name);
    if (p.records() == 0 && !cut_short) tell(run, cond::SEARCH_NULLFILE, "NULLFILE", "file " + file + " contains no records");
    if (!run.options->log) return;
    std::string records = std::to_string(p.records());
    if (p.matches() > 0) {
        std::string matches = std::to_string(p.matches());
        tell(run, cond::SEARCH_MATCHED, "MATCHED", file + " - " + records + " records, " + matches + " matches");
    } else {
        tell(run, cond::SEARCH_NOMATCH, "NOMATCH", file + " - " + records + " records");
    }
}

// In OR mode, one search through all the data read finds where the next
// match can be at the earliest; the lines before it are only counted. One
// search of 256 KB costs far less than one search per line.
struct NoMatchBefore {
    const char* until = nullptr;  // no line that ends here or before matches
    uint64_t refill = ~uint64_t{0};
};

bool certainly_unmatched(const LineReader& reader, const SearchPrinter& printer, std::string_view line,
                         NoMatchBefore& known) {
    if (!printer.matcher().matches_any() || !printer.only_counts_unmatched()) return false;
    if (known.refill != reader.refills() || line.data() > known.until) {
        std::string_view rest = reader.rest_from(line);
        size_t first = printer.matcher().first_occurrence(rest);
        known = {rest.data() + (first == std::string_view::npos ? rest.size() : first), reader.refills()};
    }
    return line.data() + line.size() <= known.until;
}

// Feeds the lines of a reader to the printer. False when an interrupt
// ended the search.
bool search_lines(SearchRun& run, LineReader& reader, std::string_view name) {
    std::string_view line;
    NoMatchBefore known;
    for (;;) {
        if (interrupt_requested()) return false;
        switch (reader.next(line)) {
        case LineReader::Result::line:
            if (certainly_unmatched(reader, *run.printer, line, known)) run.printer->take_unmatched();
            else run.printer->take_line(line);
            continue;
        case LineReader::Result::end: end_of_file(run, name, false); return true;
        case LineReader::Result::overflow:
            tell(run, cond::SEARCH_LINBUFOVF, "LINBUFOVF", "line buffer overflow in " + std::string(name));
            note_failure(run, cond::SEARCH_LINBUFOVF);
            end_of_file(run, name, true);
            return true;
        case LineReader::Result::failure: {
            uint32_t reason = open_failure_reason(errno, name);
            end_of_file(run, name, true);
            return show_failure(run, name, reason);
        }
        }
    }
}

// SYS$INPUT: the current input, read with the line editor at a terminal.
bool search_input(SearchRun& run, bool show_names) {
    std::string_view name = "SYS$INPUT";
    run.printer->begin_file(name, show_names);
    FILE* in = redirection().input;
    if (in && !is_terminal(fileno(in))) {
        LineReader reader(run.buffer, in);
        return search_lines(run, reader, name);
    }
    std::string line;
    for (;;) {
        line.clear();
        if (getline("", line) != 1 || interrupt_requested()) break;
        run.printer->take_line(line);
    }
    end_of_file(run, name, false);
    return !interrupt_requested();
}

// Searches one file found. False when the command ends here.
bool search_file(SearchRun& run, const FoundFile& file, const std::string& name, bool show_names) {
    if (run.output_is_file && file.device == run.output.st_dev && file.inode == run.output.st_ino) {
        signal_condition(cond::SEARCH_INISOUT, name);
        return show_now(run, cond::SEARCH_INISOUT);
    }
    UniqueFd fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat st{};
    if (fd.valid() && fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fd.reset();
        errno = EISDIR;
    }
    if (!fd.valid()) return show_failure(run, name, open_failure_reason(errno, file.path));
    run.printer->begin_file(name, show_names);
    LineReader reader(run.buffer, fd.get());
    return search_lines(run, reader, name);
}

// The files of one specification. 1 to go on; else the status the command
// ends with.
uint32_t search_spec(SearchRun& run, std::string_view spec, std::string_view default_spec,
                     const SearchSelection& selection, bool selecting, bool show_names) {
    FileWalker walker(spec, default_spec, selection, interrupt_requested);
    uint32_t status = walker.start();
    if (status == cond::FNF) {
        signal_condition(cond::SEARCH_OPENIN, spec);
        return cond::FNF;
    }
    if (status != 1) return status;
    std::string name;
    while (walker.next()) {
        walker.vms_name(name);
        uint32_t end_status = 1;
        ConfirmStep step = confirm_file("Search file " + name + " ? [N]: ", run.asking, end_status);
        if (step == ConfirmStep::skip) continue;
        if (step == ConfirmStep::end) {
            run.quit = end_status == 1;
            return end_status;
        }
        if (!search_file(run, walker.current(), name, show_names)) return 0;
    }
    if (walker.interrupted() || interrupt_requested()) return 0;
    if (walker.taken() == 0 && !selecting) {
        if (!show_failure(run, spec, cond::FNF)) return 0;
    }
    return 1;
}

// Whether the files found for the specifications are named: always for
// several, for one when it has a wildcard or leaves the name to the default.
bool names_shown(const ParsedCommand& cmd) {
    const ParsedParameter* first = cmd.parameter(0);
    for (const ParsedParameter& p : cmd.parameters) {
        if (p.group == 0 && &p != first) return true;
    }
    std::string spec = remove_quotes(first->text);
    if (equal_nocase(spec, "SYS$INPUT")) return false;
    VmsSpecParts parts;
    parse_vms_spec(parts, spec);
    return wildcard_kind(spec) != 0 || parts.name.empty();
}

// Walks the file specifications. 1, or the status the command ends with.
uint32_t search_all(const ParsedCommand& cmd, SearchRun& run, const SearchSelection& selection, bool selecting) {
    bool show_names = names_shown(cmd);
    std::string default_spec = "*.*";
    for (const ParsedParameter& p : cmd.parameters) {
        if (p.group != 0) continue;
        std::string spec = remove_quotes(p.text);
        if (equal_nocase(spec, "SYS$INPUT")) {
            if (!search_input(run, show_names)) return 0;
            continue;
        }
        uint32_t status = search_spec(run, spec, default_spec, selection, selecting, show_names);
        if (status != 1 || run.quit) return status;
        default_spec = directory_and_name(spec, ".*");
    }
    return 1;
}

}  // namespace

const KeywordTable kSearchQualifiers{verb::SEARCH, kRows};

uint32_t search_command(const ParsedCommand& cmd, CommandStreams& io) {
    if (cmd.groups() < 1) return ask_for(cmd, 0);
    if (cmd.groups() < 2) return ask_for(cmd, 1);
    static constexpr SelectionCodes kCodes{qual::SEARCH_BEFORE,  qual::SEARCH_SINCE,   qual::SEARCH_BY_OWNER,
                                           qual::SEARCH_EXCLUDE, qual::SEARCH_CREATED, qual::SEARCH_MODIFIED};
    SearchSelection selection;
    bool selecting = false;
    if (uint32_t status = file_selection(cmd, kCodes, selection, selecting); status != 1) return status;
    SearchOptions options;
    if (uint32_t status = read_options(cmd, io.out, options); status != 1) return status;

    std::vector<std::string> strings;
    for (const ParsedParameter& p : cmd.parameters) {
        if (p.group == 1) strings.push_back(remove_quotes(upper_outside_quotes(p.text)));
    }
    LineMatcher matcher(strings, options.exact, options.mode);
    SearchPrinter printer(io.out, options, matcher);
    SearchRun run;
    run.out = io.out;
    run.options = &options;
    run.printer = &printer;
    run.asking = options.confirm;
    run.buffer.resize(LineReader::buffer_size());
    run.output_is_file = fstat(fileno(io.out), &run.output) == 0 && S_ISREG(run.output.st_mode);

    uint32_t status = search_all(cmd, run, selection, selecting);
    std::fflush(io.out);
    if (status != 1 || run.quit) return status;
    if (run.worst != 0) return run.worst | INHIBIT_BIT;
    if (run.searched == 0) return cond::SEARCH_NOFILES;
    return run.matches == 0 ? cond::SEARCH_NOMATCHES : 1;
}

}  // namespace dcl
