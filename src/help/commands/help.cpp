// HELP: topics from the help library, shown level by level, with the
// Topic? and Subtopic? prompts and paging at a terminal.
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/handlers.h"
#include "files/file_errors.h"
#include "help/help_display.h"
#include "help/help_library.h"
#include "help/help_topics.h"
#include "help/user_libraries.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"
#include "tty/capabilities.h"
#include "tty/line_editor.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr KeywordRecord kRows[] = {
    {"INSTRU", 0, qual::HELP_INSTRUCTIONS},
    {"LIBLIS", 0, qual::HELP_LIBLIST},
    {"LIBRAR", KW_NEEDS_VALUE, qual::HELP_LIBRARY, ValueKind::string, 0, ""},
    {"OUTPUT", kValue, qual::HELP_OUTPUT, ValueKind::output},
    {"PAGE", 0, qual::HELP_PAGE},
    {"PROMPT", 0, qual::HELP_PROMPT},
    {"USERLI", kValue, qual::HELP_USERLIBRARY, ValueKind::keyword_list, qual::HELP_USERLIBRARY},
};
static_assert(std::size(kRows) == 7);

// The option word and its bits; the user-library tables are 0x700.
constexpr uint32_t kInitialOptions = 0x4000071f;
constexpr uint32_t HELP_INSTRUCTIONS = 0x1;
constexpr uint32_t HELP_LIBLIST = 0x2;
constexpr uint32_t HELP_OWN_LIBRARY = 0x4;
constexpr uint32_t HELP_PAGE = 0x8;
constexpr uint32_t HELP_PROMPT = 0x10;

// The message for a library without the archive line: OPENIN, severe.
constexpr uint32_t HELP_NOT_LIBRARY = with_severity(cond::HELP_OPENIN, SEV_SEVERE);

constexpr std::string_view kUserLibrariesHeading =
    "  Additional help libraries available (type @name for topics):\n\n";

// One HELP command: where it writes, how, and what it knows of libraries.
struct HelpRun {
    FILE* out = nullptr;
    uint32_t options = kInitialOptions;
    std::string library_spec{kHelpLibraryDefault};
    int width = 80, page_length = 24;
    bool paging = false, prompting = false;
    int lines = 0;         // written since the last pause
    bool cut = false;      // the user ended this display at a pause
    uint32_t stop = 1;     // an interrupt at a pause: HELP ends with it
    std::vector<UserLibrary> user_libraries;
};

// The library in use: the main one or a user library ("@name").
struct HelpPlace {
    HelpLibrary* library = nullptr;
    std::string user_name;  // empty for the main library
    HelpPath path;
};

void set_bit(uint32_t& word, uint32_t bit, bool on) { word = on ? word | bit : word & ~bit; }

uint32_t user_tables(const ParsedQualifier& q) {
    if (q.negated()) return 0;
    uint32_t tables = q.keywords.empty() ? HELP_USER_ALL : 0;
    for (uint32_t keyword : q.keywords) {
        switch (keyword) {
        case qual::USERLIB_ALL: tables |= HELP_USER_ALL; break;
        case qual::USERLIB_GROUP: tables |= HELP_USER_GROUP; break;
        case qual::USERLIB_PROCESS: tables |= HELP_USER_PROCESS; break;
        case qual::USERLIB_SYSTEM: tables |= HELP_USER_SYSTEM; break;
        case qual::USERLIB_NONE: tables = 0; break;
        default: break;
        }
    }
    return tables;
}

void apply_qualifiers(const ParsedCommand& cmd, HelpRun& run) {
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        bool on = !q.negated();
        switch (q.code) {
        case qual::HELP_INSTRUCTIONS: set_bit(run.options, HELP_INSTRUCTIONS, on); break;
        case qual::HELP_LIBLIST: set_bit(run.options, HELP_LIBLIST, on); break;
        case qual::HELP_PAGE: set_bit(run.options, HELP_PAGE, on); break;
        case qual::HELP_PROMPT: set_bit(run.options, HELP_PROMPT, on); break;
        case qual::HELP_LIBRARY:
            set_bit(run.options, HELP_OWN_LIBRARY, on);
            run.library_spec = on ? remove_quotes(q.value) : std::string(kHelpLibraryDefault);
            break;
        case qual::HELP_USERLIBRARY: run.options = (run.options & ~HELP_USER_ALL) | user_tables(q); break;
        default: break;
        }
    }
}

// Reads and indexes a library. 1, or 0 with the failure queued: the
// library's own message names `spec`, and `index_failure` (for a user
// library) comes first and names it too.
uint32_t open_library(HelpLibrary& library, const std::string& spec, const std::string& path,
                      uint32_t index_failure) {
    int64_t status = library.load(path);
    if (status == 1) return 1;
    if (index_failure != 0) signal_condition(index_failure, spec);
    if (status < 0) {
        if (index_failure == 0) signal_condition(cond::HELP_OPENIN, spec);
        signal_condition(open_failure_reason(static_cast<int>(-status), path));
    } else if (static_cast<uint32_t>(status) == cond::HELP_ILLFMT) {
        signal_condition(cond::HELP_ILLFMT, "duplicate keys");
    } else {
        if (index_failure == 0) signal_condition(HELP_NOT_LIBRARY, spec);
        signal_condition(static_cast<uint32_t>(status));
    }
    return 0;
}

// ---- writing, with the pause of a paging display ----------------------------

void begin_display(HelpRun& run) {
    run.cut = false;
    run.lines = 0;
    if (!run.paging) return;
    std::fflush(run.out);
    put_cap(terminal_state().caps.cl, fileno(run.out));
}

// " Press return to continue ... ": false when the user ended the display.
bool pause_display(HelpRun& run) {
    std::fputc('\n', run.out);
    std::fflush(run.out);
    std::string answer;
    uint32_t status = getline(" Press return to continue ... ", answer, '?');
    run.lines = 0;
    if (status != 1 && status != cond::RMS_EOF) run.stop = status;
    return status == 1;
}

void show(HelpRun& run, std::string_view text) {
    if (run.cut) return;
    if (!run.paging) {
        std::fwrite(text.data(), 1, text.size(), run.out);
        return;
    }
    while (!text.empty()) {
        size_t end = text.find('\n');
        size_t length = end == std::string_view::npos ? text.size() : end + 1;
        std::fwrite(text.data(), 1, length, run.out);
        text.remove_prefix(length);
        if (end != std::string_view::npos && ++run.lines >= run.page_length - 4 && !text.empty() &&
            !pause_display(run)) {
            run.cut = true;
            return;
        }
    }
}

// ---- what is shown ----------------------------------------------------------

// The entries at the place's level; at the top of the main library the
// user libraries too.
void append_level(const HelpRun& run, const HelpPlace& place, std::string& out) {
    append_entries(out, *place.library, place.path, run.width);
    if (!place.path.empty() || !place.user_name.empty() || !(run.options & HELP_LIBLIST) ||
        run.user_libraries.empty())
        return;
    std::vector<std::string> names;
    for (const UserLibrary& library : run.user_libraries) names.push_back(library.name);
    append_columns(out, kUserLibrariesHeading, names, run.width);
}

// HELP without a topic: the library's HELP topic as the instructions.
void append_instructions(const HelpRun& run, const HelpPlace& place, std::string& out) {
    if (!(run.options & HELP_INSTRUCTIONS)) return;
    for (const HelpKey& key : place.library->topics()) {
        if (!equal_nocase(key.name, "HELP")) continue;
        out += '\n';
        append_text(out, *place.library, key);
        if (out.ends_with("\n\n")) out.pop_back();  // the list's heading begins with a blank line
        return;
    }
}

// Shows the topics `words` pick below the place, and moves the place to
// where the next prompt stands.
void append_lookup(const HelpRun& run, HelpPlace& place, std::span<const std::string> words, std::string& out) {
    HelpLookup lookup = find_help_topics(*place.library, place.path, words);
    for (const HelpPath& path : lookup.found) {
        append_topic(out, *place.library, path);
        append_entries(out, *place.library, path, run.width);
    }
    place.path = std::move(lookup.position);
    if (lookup.found.empty()) {
        out += '\n';
        append_not_found(out, words);
        append_level(run, place, out);
    }
}

// ---- the dialogue -------------------------------------------------------------

// The libraries of one HELP command.
struct HelpLibraries {
    HelpLibrary main;
    HelpLibrary user;
};

// A first word "@name" moves to that user library. 1; 0 when it could
// not be read (queued); 3 when no library has that name.
uint32_t enter_user_library(HelpRun& run, HelpLibraries& libraries, std::string_view word, HelpPlace& place) {
    const UserLibrary* found = user_library_named(run.user_libraries, word.substr(1));
    if (!found) return 3;
    if (open_library(libraries.user, found->spec, found->path, cond::IDXERR) != 1) return 0;
    place = {&libraries.user, found->name, {}};
    return 1;
}

// Shows what `words` ask for at the place (nothing: the entries there).
// 1; 0 when a user library failed (queued); an interrupt at a pause.
uint32_t show_request(HelpRun& run, HelpLibraries& libraries, HelpPlace& place,
                      std::span<const std::string> words, bool first) {
    std::string out;
    if (!words.empty() && words.front().starts_with('@') && place.path.empty()) {
        uint32_t status = enter_user_library(run, libraries, words.front(), place);
        if (status == 0) return 0;
        if (status == 1) words = words.subspan(1);
    }
    begin_display(run);
    if (words.empty()) {
        if (first && place.user_name.empty()) append_instructions(run, place, out);
        append_level(run, place, out);
    } else {
        append_lookup(run, place, words, out);
    }
    show(run, out);
    std::fflush(run.out);
    return run.stop;
}

// An empty answer: up one level, out of a user library, or the end.
bool go_up(HelpLibraries& libraries, HelpPlace& place) {
    if (!place.path.empty()) {
        place.path.pop_back();
        return true;
    }
    if (place.user_name.empty()) return false;
    place = {&libraries.main, {}, {}};
    return true;
}

uint32_t converse(HelpRun& run, HelpLibraries& libraries, std::vector<std::string> words) {
    HelpPlace place{&libraries.main, {}, {}};
    if (uint32_t status = show_request(run, libraries, place, words, true); status != 1) return status;
    while (run.prompting) {
        std::string answer;
        uint32_t status = getline(help_prompt(place.user_name, place.path), answer, '?');
        if (status == cond::RMS_EOF) break;
        if (status != 1) return status;
        words = help_answer_words(upper_ascii(answer));
        if (words.size() == 1 && words.front() == "?") words.clear();
        else if (words.empty() && !go_up(libraries, place)) break;
        if (uint32_t status = show_request(run, libraries, place, words, false); status != 1) return status;
    }
    return 1;
}

}  // namespace

const KeywordTable kHelpQualifiers{verb::HELP, kRows};

uint32_t help_command(const ParsedCommand& cmd, CommandStreams& io) {
    HelpRun run;
    run.out = io.out;
    apply_qualifiers(cmd, run);
    if (is_terminal(fileno(io.out))) {
        run.width = screen_width() > 0 ? screen_width() : 80;
        run.page_length = screen_height() > 0 ? screen_height() : 24;
        run.paging = (run.options & HELP_PAGE) != 0 && run.page_length > 5;
        run.prompting = (run.options & HELP_PROMPT) != 0 && is_terminal(STDIN_FILENO);
    } else {
        run.width = 132;
    }
    run.user_libraries = find_user_libraries(run.options);
    HelpLibraries libraries;
    if (open_library(libraries.main, run.library_spec, help_library_path(run.library_spec), 0) != 1) return 0;
    std::vector<std::string> words;
    for (const ParsedParameter& p : cmd.parameters) words.push_back(upper_ascii(p.text));
    uint32_t status = converse(run, libraries, std::move(words));
    std::fflush(io.out);
    return status;
}

}  // namespace dcl
