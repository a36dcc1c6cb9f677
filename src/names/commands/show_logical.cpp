// SHOW LOGICAL: the translations of names, one level of translation after
// another, or the names of whole tables that match wildcard patterns.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/handlers.h"
#include "core/signals.h"
#include "files/scratch.h"
#include "files/wildcard.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/commands/logical_commands.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t SHOWLOG_GROUP = 0x2;
constexpr uint32_t SHOWLOG_JOB = 0x4;
constexpr uint32_t SHOWLOG_PROCESS = 0x8;
constexpr uint32_t SHOWLOG_SYSTEM = 0x10;
constexpr uint32_t SHOWLOG_TABLE = 0x20;
constexpr uint32_t SHOWLOG_WRITE = OUTPUT_WANTED;  // the listing is written, not only judged
constexpr uint32_t kInitialOptions = SHOWLOG_WRITE | 0x1;

constexpr size_t kMaxTables = 128;
// A value that translates back to itself would be followed for ever; the
// store gives up on table nesting at the same depth.
constexpr int kMaxTranslationLevels = 10;

// "%SHOW-S-NOTRAN, no translation for logical name X", shown at once.
constexpr uint32_t kNoTranslationMessage = 0x780001;
// The name looked up to learn whether a table exists (444 if it does).
constexpr std::string_view kProbeName = "BoZOtheCLowN";
const uint32_t kListingFileFailure = with_severity(cond::ERROR, SEV_ERROR);

constexpr KeywordRecord kRows[] = {
    {"ACCESS", KW_NEEDS_VALUE, qual::LOGICAL_ACCESS_MODE, ValueKind::unsupported},
    {"ALL", 0, qual::LOGICAL_ALL, ValueKind::ignored},
    {"DESCEN", 0, qual::LOGICAL_DESCENDANTS, ValueKind::unsupported},
    {"FULL", 0, qual::LOGICAL_FULL, ValueKind::unsupported},
    {"GROUP", 0, qual::LOGICAL_GROUP},
    {"JOB", 0, qual::LOGICAL_JOB},
    {"OUTPUT", KW_VALUE_ALLOWED, qual::LOGICAL_OUTPUT, ValueKind::output},
    {"PROCES", 0, qual::LOGICAL_PROCESS},
    {"STRUCT", 0, qual::LOGICAL_STRUCTURE, ValueKind::unsupported},
    {"SYSTEM", 0, qual::LOGICAL_SYSTEM},
    {"TABLE", KW_NEEDS_VALUE, qual::LOGICAL_TABLE, ValueKind::list},
};

struct ShowRequest {
    uint32_t options = kInitialOptions;
    std::vector<std::string> tables;    // /TABLE values as typed
    std::vector<std::string> patterns;  // parameters as typed, list commas removed
};

bool add_table_values(ShowRequest& request, const ParsedQualifier& q) {
    if (q.negated()) {
        request.tables.clear();
        request.options &= ~SHOWLOG_TABLE;
        return true;
    }
    for (const std::string& item : q.items) {
        if (request.tables.size() == kMaxTables) {
            signal_condition(cond::MAXPARM, item);
            return false;
        }
        request.tables.push_back(item);
    }
    request.options |= SHOWLOG_TABLE;
    return true;
}

void set_flag(uint32_t& options, uint32_t bit, const ParsedQualifier& q) {
    if (q.negated())
        options &= ~bit;
    else
        options |= bit;
}

// The qualifiers in the order given. False after queueing.
bool read_request(const ParsedCommand& cmd, ShowRequest& request) {
    if (!cmd.output_wanted) request.options &= ~SHOWLOG_WRITE;
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        switch (q.code) {
        case qual::LOGICAL_GROUP: set_flag(request.options, SHOWLOG_GROUP, q); break;
        case qual::LOGICAL_JOB: set_flag(request.options, SHOWLOG_JOB, q); break;
        case qual::LOGICAL_PROCESS: set_flag(request.options, SHOWLOG_PROCESS, q); break;
        case qual::LOGICAL_SYSTEM: set_flag(request.options, SHOWLOG_SYSTEM, q); break;
        case qual::LOGICAL_TABLE:
            if (!add_table_values(request, q)) return false;
            break;
        default: break;
        }
    }
    for (const ParsedParameter& p : cmd.parameters) request.patterns.emplace_back(p.text);
    return true;
}

// The tables to look in, each once; user-mode names come before the
// process table they override.
class TableList {
public:
    void add(std::string table) {
        if (usermode_in_use_ && table.starts_with("LNM$PROCESS")) add_once("LNM$USERMODE");
        add_once(std::move(table));
    }
    std::vector<std::string>& names() { return names_; }

private:
    void add_once(std::string table) {
        for (const std::string& known : names_)
            if (known == table) return;
        names_.push_back(std::move(table));
    }
    bool usermode_in_use_ = logical_name_store().usermode_definitions != 0;
    std::vector<std::string> names_;
};

// The tables of the LNM$FILE_DEV search list.
std::vector<std::string> default_tables() {
    for (std::string_view directory : {"LNM$PROCESS_DIRECTORY", "LNM$SYSTEM_DIRECTORY"}) {
        std::vector<std::string> values;
        std::string value;
        for (uint32_t index = 0; index <= kMaxValueIndex; ++index) {
            if (lnm_translate(directory, "LNM$FILE_DEV", &value, nullptr, 0, index, nullptr) != 1)
                break;
            values.push_back(value);
        }
        if (!values.empty()) return values;
    }
    return {};
}

std::vector<std::string> table_list(const ShowRequest& request) {
    TableList list;
    const uint32_t o = request.options;
    if (o & SHOWLOG_SYSTEM) list.add("LNM$SYSTEM");
    if (o & SHOWLOG_GROUP) list.add("LNM$GROUP");
    if (o & SHOWLOG_JOB) list.add("LNM$JOB");
    if (o & SHOWLOG_PROCESS) list.add("LNM$PROCESS");
    for (const std::string& table : request.tables) list.add(logical_name_argument(table));
    if (list.names().empty())
        for (std::string& table : default_tables()) list.add(std::move(table));
    return std::move(list.names());
}

bool table_exists(const std::string& table) {
    uint32_t status = lnm_translate(table, kProbeName, nullptr, nullptr, 0, 0, nullptr);
    return status == 1 || status == cond::NOLOGNAM;
}

struct Listing {
    FILE* out;
    bool write;
    const std::vector<std::string>& tables;
};

// One name in every table, then what its values translate to, a level
// deeper each time. Returns false when the name has no translation.
bool list_name(const Listing& listing, const std::string& name, int level) {
    char indent[16];
    std::snprintf(indent, sizeof indent, level == 0 ? "   " : "%-3d", level);
    std::vector<std::string> kept;
    bool translated = false;
    std::string value, found_in;
    uint32_t attributes = 0;
    for (const std::string& table : listing.tables) {
        for (uint32_t index = 0; index <= kMaxValueIndex; ++index) {
            if (lnm_translate(table, name, &value, &found_in, 0, index, &attributes) != 1) break;
            translated = true;
            bool names_table = index == 0 && (attributes & LNM_TABLE);
            if (listing.write) {
                if (index > 0)
                    std::fprintf(listing.out, "%s     = \"%s\"\n", indent, value.c_str());
                else
                    std::fprintf(listing.out, "%s\"%s\"%s = \"%s\" (%s)\n", indent, name.c_str(),
                                 names_table ? " [table]" : "", value.c_str(), found_in.c_str());
            }
            if (names_table) break;
            kept.push_back(upper_outside_quotes(value));
        }
    }
    if (level + 1 < kMaxTranslationLevels)
        for (const std::string& next : kept) list_name(listing, next, level + 1);
    return translated;
}

// Translations through LNM$PROCESS normally look in LNM$USERMODE first.
// The listing names LNM$USERMODE itself whenever it holds anything, so
// while it runs every table must answer for itself, or a user-mode name
// would be shown twice and the process name it hides not at all.
class UserModeOverlayPause {
public:
    UserModeOverlayPause() : saved_(logical_name_store().usermode_switch) {
        logical_name_store().usermode_switch = false;
    }
    ~UserModeOverlayPause() { logical_name_store().usermode_switch = saved_; }
    UserModeOverlayPause(const UserModeOverlayPause&) = delete;
    UserModeOverlayPause& operator=(const UserModeOverlayPause&) = delete;

private:
    bool saved_;
};

void list_exact(const Listing& listing, const std::vector<std::string>& names) {
    UserModeOverlayPause pause;
    for (const std::string& name : names)
        if (!list_name(listing, name, 0))
            put_message(kNoTranslationMessage, "NOTRAN", "no translation for logical name " + name);
}

// Passes on the lines of a table listing that belong to matching names.
class ListingFilter {
public:
    ListingFilter(FILE* out, bool write, const std::vector<std::string>& patterns)
        : out_(out), write_(write), patterns_(patterns) {}

    void take(const std::string& line) {
        size_t first = line.find_first_not_of(" \t");
        char lead = first == std::string::npos ? '\0' : line[first];
        bool shown = true;
        if (lead == '\0') {
            shown = !last_written_blank_;
        } else if (lead == '"') {
            last_name_matched_ = name_matches(std::string_view(line).substr(first + 1));
            if (last_name_matched_) ++matches_;
            shown = last_name_matched_;
        } else if (lead == '=') {
            shown = last_name_matched_;
        }
        if (!shown) return;
        if (write_) std::fprintf(out_, "%s\n", line.c_str());
        last_written_blank_ = lead == '\0';
    }
    size_t matches() const { return matches_; }

private:
    bool name_matches(std::string_view quoted_rest) const {
        std::string_view name = quoted_rest.substr(0, quoted_rest.find('"'));
        for (const std::string& pattern : patterns_)
            if (wildcard_match(pattern, name)) return true;
        return false;
    }

    FILE* out_;
    bool write_;
    const std::vector<std::string>& patterns_;
    bool last_written_blank_ = false;
    bool last_name_matched_ = false;
    size_t matches_ = 0;
};

// A whole line, however long: a name and its value may each take 255
// characters, so a fixed line buffer would split the longest ones.
bool read_line(FILE* file, std::string& line) {
    line.clear();
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, file)) {
        line.append(chunk);
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            return true;
        }
    }
    return !line.empty();
}

// The store writes the table's listing into a temporary file (the command
// loop removes it after the command, also on failure), read back here.
bool filter_table(ListingFilter& filter, const std::string& table) {
    std::string path = create_temporary_file();
    if (path.empty()) {
        signal_condition(kListingFileFailure, "can't get logical name file");
        return false;
    }
    uint32_t status = prtlnt_qv(table, path, LISTING_STYLE_SHOW);
    if (status != 1) {
        signal_condition(status == cond::NOLOGTAB ? cond::IVLOGTAB : status, table);
        return false;
    }
    OwnedFile file(std::fopen(path.c_str(), "re"));
    if (!file) {
        signal_condition(kListingFileFailure, "can't get logical name file");
        return false;
    }
    std::string line;
    while (read_line(file.get(), line)) filter.take(line);
    return true;
}

// An interrupt stops the listing between tables, not inside one.
void list_matching(FILE* out, bool write, const std::vector<std::string>& tables,
                   const std::vector<bool>& exists, const std::vector<std::string>& patterns) {
    ListingFilter filter(out, write, patterns);
    bool complete = true;
    defer_interrupts();
    for (size_t i = 0; i < tables.size() && complete; ++i) {
        if (!exists[i]) continue;
        if (interrupts().pending) break;
        complete = filter_table(filter, tables[i]);
    }
    resume_interrupts();
    if (complete && filter.matches() == 0) signal_condition(cond::SHOW_NOTRAN, patterns.front());
}

void run_show_logical(FILE* out, const ShowRequest& request) {
    std::vector<std::string> tables = table_list(request);
    std::vector<std::string> patterns;
    for (const std::string& pattern : request.patterns) patterns.push_back(logical_name_argument(pattern));
    if (patterns.empty()) patterns.emplace_back("*");
    std::vector<bool> exists;
    bool any_exists = false;
    for (const std::string& table : tables) {
        exists.push_back(table_exists(table));
        any_exists = any_exists || exists.back();
    }
    if (!any_exists) {
        signal_condition(cond::SHOW_IVLOGTAB, tables.empty() ? std::string() : tables.front());
        return;
    }
    bool write = (request.options & SHOWLOG_WRITE) != 0;
    bool wildcard = false;
    for (const std::string& pattern : patterns) wildcard = wildcard || has_wildcard(pattern);
    if (wildcard)
        list_matching(out, write, tables, exists, patterns);
    else
        list_exact(Listing{out, write, tables}, patterns);
}

}  // namespace

const KeywordTable kShowLogicalQualifiers{verb::SHOW_LOGICAL, kRows};

uint32_t show_logical(const ParsedCommand& cmd, CommandStreams& io) {
    ShowRequest request;
    if (!read_request(cmd, request)) return 0;
    run_show_logical(io.out, request);
    finish_listing(io.out, cond::SHOW_WRITEERR);
    return 1;
}

}  // namespace dcl
