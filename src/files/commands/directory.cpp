// DIRECTORY: its qualifiers become the option word and record of the
// listing (files/directory_listing.h); its parameters become the list of
// specifications to search, each with the pattern of its numbered
// versions, and the specifications with a node are listed over the
// network (directory_network.cpp).
#include <string>
#include <vector>

#include "core/command_state.h"
#include "core/handlers.h"
#include "files/commands/directory_network.h"
#include "files/directory_listing.h"
#include "files/filespec.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

constexpr uint32_t kValue = KW_VALUE_ALLOWED;

constexpr KeywordRecord kRows[] = {
    {"ACL", 0, qual::DIR_ACL, ValueKind::unsupported},
    {"BACKUP", 0, qual::DIR_BACKUP, ValueKind::unsupported},
    {"BEFORE", kValue, qual::DIR_BEFORE, ValueKind::time},
    {"BRIEF", 0, qual::DIR_BRIEF, ValueKind::ignored},
    {"BY_OWN", kValue, qual::DIR_BY_OWNER, ValueKind::uic},
    {"COLUMN", kValue, qual::DIR_COLUMNS, ValueKind::number, 0, "4"},
    {"CREATE", 0, qual::DIR_CREATED},
    {"DATE", kValue, qual::DIR_DATE, ValueKind::keyword_list, qual::DATE_VALUES},
    {"EXCLUD", kValue, qual::DIR_EXCLUDE, ValueKind::list},
    {"EXPIRE", 0, qual::DIR_EXPIRED, ValueKind::unsupported},
    {"FILE_I", 0, qual::DIR_FILE_ID},
    {"FULL", 0, qual::DIR_FULL},
    {"GRAND_", 0, qual::DIR_GRAND_TOTAL},
    {"HEADIN", 0, qual::DIR_HEADING},
    {"MODIFI", 0, qual::DIR_MODIFIED},
    {"OUTPUT", kValue, qual::DIR_OUTPUT, ValueKind::output},
    {"OWNER", 0, qual::DIR_OWNER},
    {"PRINTE", 0, qual::DIR_PRINTER, ValueKind::unsupported},
    {"PROTEC", 0, qual::DIR_PROTECTION},
    {"SECURI", 0, qual::DIR_SECURITY},
    {"SELECT", kValue, qual::DIR_SELECT, ValueKind::text},
    {"SINCE", kValue, qual::DIR_SINCE, ValueKind::time},
    {"SIZE", kValue, qual::DIR_SIZE, ValueKind::keyword_list, qual::DIR_SIZE},
    {"TOTAL", 0, qual::DIR_TOTAL},
    {"TRAILI", 0, qual::DIR_TRAILING},
    {"VERSIO", 0, qual::DIR_VERSIONS, ValueKind::unsupported},
    {"WIDTH", kValue, qual::DIR_WIDTH, ValueKind::list},
    {"ACCESS", 0, qual::DIR_ACCESSED},
    {"STATUS", 0, qual::DIR_STATUS},
    {"DOTFIL", 0, qual::DIR_DOTFILES},
};
static_assert(std::size(kRows) == 30);

void set_bits(uint32_t& word, uint32_t bits, bool on) { word = on ? word | bits : word & ~bits; }

// The bit of each qualifier that only sets or clears bits.
uint32_t bits_of(uint32_t code) {
    switch (code) {
    case qual::DIR_CREATED: return DIR_SELECT_STATUS;
    case qual::DIR_FILE_ID: return DIR_FILE_ID;
    case qual::DIR_FULL: return DIR_FULL;
    case qual::DIR_GRAND_TOTAL: return DIR_GRAND_TOTAL;
    case qual::DIR_HEADING: return DIR_HEADING;
    case qual::DIR_MODIFIED: return DIR_SELECT_MODIFIED;
    case qual::DIR_OWNER: return DIR_OWNER;
    case qual::DIR_PROTECTION: return DIR_PROTECTION;
    case qual::DIR_SECURITY: return DIR_OWNER | DIR_PROTECTION;
    case qual::DIR_TOTAL: return DIR_TOTAL;
    case qual::DIR_TRAILING: return DIR_TRAILING;
    case qual::DIR_ACCESSED: return DIR_SELECT_ACCESSED;
    case qual::DIR_STATUS: return DIR_SELECT_STATUS;
    case qual::DIR_DOTFILES: return DIR_DOTFILES;
    default: return 0;
    }
}

uint32_t date_bits(uint32_t keyword) {
    switch (keyword) {
    case qual::DATE_ACCESS: return DIR_ACCESS_DATE;
    case qual::DATE_MODIFIED: return DIR_MODIFIED_DATE;
    case qual::DATE_CREATE:
    case qual::DATE_STATUS: return DIR_STATUS_DATE;
    case qual::DATE_ALL: return DIR_DATES;
    default: return 0;
    }
}

uint32_t default_date_bits() {
    switch (cli_options().directory_date) {
    case DirectoryDate::modification: return DIR_MODIFIED_DATE;
    case DirectoryDate::access: return DIR_ACCESS_DATE;
    case DirectoryDate::all: return DIR_DATES;
    case DirectoryDate::status_change: break;
    }
    return DIR_STATUS_DATE;
}

// A number within `low`..`high` after "KEYWORD=" in `item`; false after
// reporting a value that is malformed or out of range.
bool number_in(int64_t& out, std::string_view item, int64_t low, int64_t high) {
    size_t equals = item.find('=');
    std::string_view text = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    uint32_t status = parse_number(out, text);
    if (status != 1) {
        signal_condition(status, text);
        return false;
    }
    if (out < low || out > high) {
        signal_condition(cond::IVVALU, text);
        return false;
    }
    return true;
}

bool has_number(std::string_view item) { return item.find('=') != std::string_view::npos; }

bool apply_width(const ParsedQualifier& q, DirectoryOptions& o) {
    if (q.negated()) {
        set_bits(o.word, DIR_WIDTHS, false);
        return true;
    }
    o.word |= DIR_COLUMNS;
    o.display_width = 0;
    o.file_width = kDefaultFileWidth;
    o.owner_width = kDefaultOwnerWidth;
    o.size_width = kDefaultSizeWidth;
    for (std::string item : q.items) {
        uint32_t flags = 0;
        uint32_t code = lookup_keyword(item, qual::DIR_WIDTH, flags);
        if (code == 0) return false;
        struct Target {
            uint32_t bit;
            int* width;
            int high;
        } const targets[] = {{DIR_WIDTH_DISPLAY, &o.display_width, kMaxDisplayWidth},
                             {DIR_WIDTH_FILE, &o.file_width, kMaxFileWidth},
                             {DIR_WIDTH_OWNER, &o.owner_width, kMaxOwnerWidth},
                             {DIR_WIDTH_SIZE, &o.size_width, kMaxSizeWidth}};
        const Target& t = targets[code - qual::WIDTH_DISPLAY];
        o.word |= t.bit;
        int64_t number = 0;
        if (!has_number(item)) continue;
        if (!number_in(number, item, 1, t.high)) return false;
        *t.width = static_cast<int>(number);
    }
    return true;
}

// /SELECT=SIZE=(MAXIMUM[=n],MINIMUM=n).
bool apply_select(const ParsedQualifier& q, DirectoryOptions& o) {
    o.max_blocks = o.min_blocks = 0;
    if (q.negated()) return true;
    // The whole text after "/SELECT=": it holds "=" of its own.
    size_t first = q.token.find_first_of("=:");
    std::string value(first == std::string_view::npos ? std::string_view() : q.token.substr(first + 1));
    if (value.starts_with('(') && !strip_parentheses(value)) return false;
    uint32_t flags = 0;
    if (lookup_keyword(value, qual::DIR_SELECT, flags) == 0) return false;
    size_t equals = value.find('=');
    std::string limits = equals == std::string::npos ? std::string() : value.substr(equals + 1);
    if (!strip_parentheses(limits)) return false;
    size_t start = 0;
    while (start <= limits.size() && !limits.empty()) {
        size_t comma = limits.find(',', start);
        std::string item = limits.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        uint32_t code = lookup_keyword(item, qual::SELECT_SIZE_LIMITS, flags);
        if (code == 0) return false;
        int64_t number = code == qual::SELECT_MAXIMUM ? 0x3fffffff : 0;
        if ((code == qual::SELECT_MINIMUM || has_number(item)) && !number_in(number, item, 0, INT64_MAX))
            return false;
        (code == qual::SELECT_MAXIMUM ? o.max_blocks : o.min_blocks) = static_cast<uint64_t>(number);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool apply_size(const ParsedQualifier& q, DirectoryOptions& o) {
    set_bits(o.word, DIR_SIZES, false);
    if (q.negated()) return true;
    if (q.keywords.empty()) o.word |= DIR_USED;
    for (uint32_t keyword : q.keywords)
        o.word |= keyword == qual::SIZE_ALL ? DIR_SIZES : keyword == qual::SIZE_ALLOCATION ? DIR_ALLOCATED : DIR_USED;
    return true;
}

bool apply_qualifier(const ParsedQualifier& q, DirectoryOptions& o) {
    bool on = !q.negated();
    if (uint32_t bits = bits_of(q.code)) {
        set_bits(o.word, bits, on);
        return true;
    }
    switch (q.code) {
    case qual::DIR_BEFORE: set_bits(o.word, DIR_BEFORE, on); o.before = q.time; return true;
    case qual::DIR_SINCE: set_bits(o.word, DIR_SINCE, on); o.since = q.time; return true;
    case qual::DIR_BY_OWNER: set_bits(o.word, DIR_BY_OWNER, on); o.owner = q.uic; return true;
    case qual::DIR_EXCLUDE: set_bits(o.word, DIR_EXCLUDE, on); o.excludes = q.items; return true;
    case qual::DIR_COLUMNS:
        o.columns = on ? static_cast<int>(q.number) : 1;
        if (on && (q.number < 1 || q.number > kMaxDisplayWidth)) {
            signal_condition(cond::IVVALU, std::to_string(q.number));
            return false;
        }
        return true;
    case qual::DIR_DATE:
        set_bits(o.word, DIR_DATES, false);
        if (on && q.keywords.empty()) o.word |= default_date_bits();
        for (uint32_t keyword : q.keywords) o.word |= date_bits(keyword);
        return true;
    case qual::DIR_SIZE: return apply_size(q, o);
    case qual::DIR_WIDTH: return apply_width(q, o);
    case qual::DIR_SELECT: return apply_select(q, o);
    default: return true;  // output, brief and the unsupported ones
    }
}

// Step 1 of the listing: which date /BEFORE and /SINCE compare. A
// condition to report when the qualifiers do not agree.
uint32_t choose_time_selector(DirectoryOptions& o) {
    const uint32_t kinds[] = {DIR_SELECT_MODIFIED, DIR_SELECT_ACCESSED, DIR_SELECT_STATUS};
    const int selectors[] = {TIME_MODIFIED, TIME_ACCESSED, TIME_STATUS_CHANGE};
    int given = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (!(o.word & kinds[i])) continue;
        ++given;
        o.time_selector = selectors[i];
    }
    if (given > 1) return cond::CONFQUAL;
    if (given == 1 && !(o.word & (DIR_BEFORE | DIR_SINCE))) return cond::DCL_QUALMISS;
    if (given == 0) {
        DirectoryDate date = cli_options().directory_date;
        o.time_selector = date == DirectoryDate::modification ? TIME_MODIFIED
                          : date == DirectoryDate::access     ? TIME_ACCESSED
                                                              : TIME_STATUS_CHANGE;
    }
    return 1;
}

struct SpecLists {
    std::string local;                 // comma-separated
    std::vector<std::string> network;  // with a node
};

// Each parameter completed from the one before (directory, name, type),
// with the pattern of its numbered versions after it.
void gather_specs(const ParsedCommand& cmd, SpecLists& lists) {
    VmsSpecParts previous;
    for (const ParsedParameter& p : cmd.parameters) {
        std::string_view text = p.text;
        text = text.substr(0, text.find(';'));
        VmsSpecParts parts;
        parse_vms_spec(parts, text);
        if (parts.directory.empty()) parts.directory = previous.directory;
        if (parts.name.empty()) parts.name = previous.name;
        if (parts.type.empty()) parts.type = previous.type;
        previous = parts;
        std::string spec = parts.node;
        spec.append(parts.device).append(parts.directory).append(parts.name).append(parts.type);
        if (!parts.node.empty()) {
            lists.network.push_back(std::move(spec));
            continue;
        }
        if (!lists.local.empty()) lists.local += ',';
        lists.local += spec;
        bool all_wild = parts.name.find('*') != std::string::npos && parts.type.find('*') != std::string::npos;
        if (spec.find('~') != std::string::npos || parts.type.empty() || all_wild) continue;
        lists.local.append(1, ',').append(spec).append(parts.type == "." ? "~*~" : ".~*~");
    }
    if (lists.local.empty() && lists.network.empty()) lists.local.assign(1, '*');
}

}  // namespace

const KeywordTable kDirectoryQualifiers{verb::DIRECTORY, kRows};

uint32_t directory_command(const ParsedCommand& cmd, CommandStreams& io) {
    // A listing that finds nothing is no reason for an ON action.
    command_state().skip_on_once = true;
    DirectoryOptions options;
    for (const ParsedQualifier& q : cmd.qualifiers())
        if (!apply_qualifier(q, options)) return 0;
    if (uint32_t status = choose_time_selector(options); status != 1) return status;
    SpecLists lists;
    gather_specs(cmd, lists);
    if (lists.local.empty()) return list_network_directories(lists.network, options.word, io.out);
    ListingTarget target{io.out, cmd.output_wanted, screen_width()};
    uint32_t status = list_directory(options, lists.local, target, interrupt_requested);
    if (status != 1 || lists.network.empty()) return status;
    return list_network_directories(lists.network, options.word, io.out);
}

}  // namespace dcl
