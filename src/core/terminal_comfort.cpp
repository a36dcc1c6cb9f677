// The history file's place and hooks, and the names Tab completion offers,
// drawn from the verb table, the help library, the symbol tables, the
// logical-name store and the disk.
#include "core/terminal_comfort.h"

#include <dirent.h>
#include <memory>

#include "files/filespec.h"
#include "lang/command_table.h"
#include "names/logical_names.h"
#include "names/symbols.h"
#include "status/defaults_file.h"
#include "status/exit.h"
#include "status/session.h"
#include "status/text.h"
#include "tty/history.h"
#include "tty/line_editor.h"
#include "tty/recall.h"

namespace dcl {

namespace {

// "HISTORY OFF" (or NO, 0, FALSE) in a defaults file.
bool switched_on(std::string_view key) {
    std::optional<std::string> value = default_value(key);
    if (!value) return true;
    std::string v = upper_ascii(*value);
    return v != "OFF" && v != "NO" && v != "0" && v != "FALSE";
}

const HelpLibrary& vocabulary() {
    TerminalComfort& c = terminal_comfort();
    if (!c.vocabulary_read) {
        c.vocabulary_read = true;
        if (c.vocabulary.load(session().install_dir + "tesselhelp.hlb") != 1) c.vocabulary = HelpLibrary{};
    }
    return c.vocabulary;
}

bool begins_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// A row's name as its help topic spells it out; the table's short key when
// no topic has it.
std::string full_name(const CommandRow& row, const std::vector<HelpKey>& keys) {
    for (const HelpKey& key : keys)
        if (!key.qualifier() && begins_with(upper_ascii(key.name), row.key.name)) return upper_ascii(key.name);
    return row.key.name;
}

const HelpKey* topic_named(std::string_view name) {
    for (const HelpKey& key : vocabulary().topics())
        if (upper_ascii(key.name) == name) return &key;
    return nullptr;
}

// SET and SHOW run through their keywords' rows.
bool runnable(const CommandRow& row) { return row.handler || !row.subcommands.empty(); }

// The row DCL runs for a typed verb, by its abbreviation rules.
const CommandRow* verb_row(std::string_view word) {
    std::string typed = upper_ascii(word);
    if (typed.empty() || typed.size() > kMaxQualifierName) return nullptr;
    for (const CommandRow* row : verb_rows_starting_with(typed[0]))
        if (runnable(*row) && row->key.flags <= typed.size() && keyword_matches(typed, row->key.name)) return row;
    return nullptr;
}

// A symbol standing for a command ("DIR :== DIRECTORY/SIZE") stands for
// its first word; a foreign command ("$program") for no verb at all.
std::string verb_of(std::string_view word) {
    std::string value;
    uint32_t type = 0;
    if (!word.empty() && get_symbol(upper_ascii(word), value, type) == 1) {
        size_t start = value.find_first_not_of(" \t");
        if (start == std::string::npos || value[start] == '$') return {};
        word = std::string_view(value).substr(start, value.find_first_of(" \t/", start) - start);
    }
    const CommandRow* row = verb_row(word);
    return row ? full_name(*row, vocabulary().topics()) : std::string();
}

std::vector<std::string> verbs() {
    std::vector<std::string> names;
    for (char first = 'A'; first <= 'Z'; ++first)
        for (const CommandRow* row : verb_rows_starting_with(first))
            if (runnable(*row)) names.push_back(full_name(*row, vocabulary().topics()));
    return names;
}

LineWords line_words(std::string_view verb) {
    const CommandRow* row = verb_row(verb);
    return !row || row->tokens == TokenRule::rest_of_line ? LineWords::unix : LineWords::dcl;
}

std::vector<std::string> keywords(std::string_view verb) {
    std::vector<std::string> names;
    const CommandRow* row = verb_row(verb);
    const HelpKey* topic = topic_named(verb);
    if (!row || row->subcommands.empty()) return names;
    std::vector<HelpKey> below = topic ? vocabulary().below(*topic) : std::vector<HelpKey>();
    for (const CommandRow& keyword : row->subcommands)
        if (runnable(keyword)) names.push_back(full_name(keyword, below));
    return names;
}

std::vector<std::string> qualifiers(std::string_view verb, std::string_view keyword) {
    std::vector<std::string> names;
    const HelpKey* topic = topic_named(verb);
    if (!topic) return names;
    std::vector<HelpKey> entries = vocabulary().below(*topic);
    if (!keyword.empty()) {
        std::string typed = upper_ascii(keyword);
        std::vector<HelpKey> inner;
        for (const HelpKey& key : entries)
            if (!key.qualifier() && begins_with(upper_ascii(key.name), typed)) {
                inner = vocabulary().below(key);
                break;
            }
        entries = std::move(inner);
    }
    for (const HelpKey& key : entries)
        if (key.qualifier()) names.push_back(upper_ascii(key.name.substr(1)));
    return names;
}

std::vector<std::string> symbols() {
    std::vector<std::string> names;
    for (const SymbolTable* table : {&local_symbols(), &symbol_tables().global})
        for (const Symbol* symbol : table->sorted()) names.push_back(symbol->name);
    return names;
}

std::string unix_directory(std::string_view directory, bool vms) {
    if (directory.empty()) return ".";
    if (!vms) {
        if (begins_with(directory, "~/")) return session().home_dir + std::string(directory.substr(2));
        return std::string(directory);
    }
    // The directory part with a name after it translates as a file would.
    std::string path;
    if (vms_to_unix(path, std::string(directory) + "a") != 1) return {};
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

bool list_directory(std::string_view directory, bool vms, std::vector<DirectoryEntryName>& out) {
    std::string path = unix_directory(directory, vms);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(path.empty() ? nullptr : opendir(path.c_str()), closedir);
    if (!dir) return false;
    if (path.back() != '/') path += '/';
    while (dirent* entry = readdir(dir.get())) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool directory_entry = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) directory_entry = is_directory(path + entry->d_name);
        out.push_back({std::string(name), directory_entry});
    }
    return true;
}

}  // namespace

CompletionSources interpreter_completion_sources() {
    CompletionSources s;
    s.verbs = verbs;
    s.verb_of = verb_of;
    s.line_words = line_words;
    s.keywords = keywords;
    s.qualifiers = qualifiers;
    s.symbols = symbols;
    s.logical_names = [] { return logical_names_in("LNM$FILE_DEV"); };
    s.list_directory = list_directory;
    return s;
}

void start_terminal_comfort() {
    const Session& s = session();
    if (!s.interactive || s.one_shot) return;
    if (switched_on("HISTORY")) {
        terminal_comfort().history_path = s.home_dir + ".dclsh_history";
        load_history(terminal_comfort().history_path, recall_list());
        exit_hooks().save_history = [] { save_history(terminal_comfort().history_path, recall_list()); };
    }
    if (switched_on("COMPLETION")) {
        line_edit_state().completer = [sources = interpreter_completion_sources()](std::string_view line,
                                                                                  size_t cursor) {
            return complete_command_line(line, cursor, sources);
        };
    }
}

}  // namespace dcl
