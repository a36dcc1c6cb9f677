// Tab completion: finding the word and its kind, then the longest text all
// fitting names share.
#include "core/completion.h"

#include <algorithm>

#include "status/text.h"

namespace dcl {

namespace {

struct Candidate {
    std::string text;     // the whole word it would make
    std::string display;  // as listed on a second Tab
    const char* after;    // added when it is the only one
    bool disk = false;    // a name as stored on disk (its case is its own)
};

struct Word {
    explicit Word(std::string_view t, bool blind = true) : typed(t), case_blind(blind) {}
    std::string_view typed;
    bool case_blind;
    std::vector<Candidate> candidates;
};

bool blank_char(char c) { return c == ' ' || c == '\t'; }

bool is_symbol_char(char c) { return is_ascii_letter(c) || is_ascii_digit(c) || c == '_' || c == '$'; }

bool inside_quotes(std::string_view text) {
    return std::count(text.begin(), text.end(), '"') % 2 == 1;
}

bool has_lower(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}
bool has_upper(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string lower_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool starts_with(std::string_view text, std::string_view prefix, bool case_blind) {
    if (text.size() < prefix.size()) return false;
    if (!case_blind) return text.substr(0, prefix.size()) == prefix;
    return upper_ascii(text.substr(0, prefix.size())) == upper_ascii(prefix);
}

// The case the word was typed in wins over the vocabulary's upper case;
// a disk name typed in upper case is shown in upper case only where the
// file specification's lower-case fallback still finds it.
std::string in_typed_case(const Candidate& c, std::string_view typed) {
    bool lower_typed = has_lower(typed) && !has_upper(typed);
    bool upper_typed = has_upper(typed) && !has_lower(typed);
    if (!c.disk) return lower_typed ? lower_ascii(c.text) : c.text;
    if (upper_typed && !has_upper(c.text)) return upper_ascii(c.text);
    return c.text;
}

size_t common_length(std::string_view a, std::string_view b, bool case_blind) {
    size_t n = 0;
    while (n < a.size() && n < b.size() &&
           (case_blind ? upper_ascii(a.substr(n, 1)) == upper_ascii(b.substr(n, 1)) : a[n] == b[n]))
        ++n;
    return n;
}

TabCompletion finish(Word& w) {
    TabCompletion out;
    std::vector<Candidate>& cs = w.candidates;
    std::sort(cs.begin(), cs.end(), [](const Candidate& a, const Candidate& b) { return a.display < b.display; });
    cs.erase(std::unique(cs.begin(), cs.end(),
                         [](const Candidate& a, const Candidate& b) { return a.display == b.display; }),
             cs.end());
    if (cs.empty()) return out;
    for (const Candidate& c : cs) out.choices.push_back(c.display);
    std::string common = in_typed_case(cs[0], w.typed);
    for (size_t i = 1; i < cs.size(); ++i)
        common.resize(common_length(common, in_typed_case(cs[i], w.typed), w.case_blind));
    if (cs.size() == 1) common += cs[0].after;
    if (common.size() > w.typed.size()) out.insert = common.substr(w.typed.size());
    return out;
}

void add_names(Word& w, const std::vector<std::string>& names, std::string_view prefix,
               const char* after, std::string_view display_prefix = {}, std::string_view display_suffix = {}) {
    for (const std::string& name : names)
        if (starts_with(name, prefix, true))
            w.candidates.push_back({std::string(w.typed.substr(0, w.typed.size() - prefix.size())) + name,
                                    std::string(display_prefix) + name + std::string(display_suffix), after});
}

// ---- the kinds of word ---------------------------------------------------------

TabCompletion verb_word(std::string_view typed, const CompletionSources& src) {
    Word w(typed);
    std::string runs = typed.empty() ? std::string() : src.verb_of(typed);
    if (!runs.empty() && starts_with(runs, typed, true)) add_names(w, {runs}, typed, " ");
    else add_names(w, src.verbs(), typed, " ");
    return finish(w);
}

TabCompletion qualifier_word(std::string_view typed, std::string_view verb, std::string_view keyword,
                             const CompletionSources& src) {
    Word w(typed);
    std::vector<std::string> names = src.qualifiers(verb, keyword);
    add_names(w, names, typed, "", "/");
    if (w.candidates.empty() && starts_with(typed, "NO", true)) {
        for (std::string& name : names) name.insert(0, "NO");
        add_names(w, names, typed, "", "/");
    }
    return finish(w);
}

TabCompletion symbol_word(std::string_view typed, const CompletionSources& src) {
    Word w(typed);
    std::vector<std::string> names = src.symbols();
    for (std::string& name : names) name.erase(std::remove(name.begin(), name.end(), '*'), name.end());
    add_names(w, names, typed, "'");
    return finish(w);
}

// "[.A.B" and the like: the subdirectories of the part before the last dot.
TabCompletion vms_directory_word(std::string_view typed, size_t open, const CompletionSources& src) {
    std::string_view inside = typed.substr(open + 1);
    size_t dot = inside.rfind('.');
    std::string_view partial = dot == std::string_view::npos ? inside : inside.substr(dot + 1);
    const char* close = typed[open] == '<' ? ">" : "]";
    std::string parent(typed.substr(0, open + 1));
    parent += dot == std::string_view::npos ? std::string_view("000000") : inside.substr(0, dot);
    parent += close;
    Word w(typed);
    std::vector<DirectoryEntryName> entries;
    if (!src.list_directory(parent, true, entries)) return finish(w);
    std::string kept(typed.substr(0, typed.size() - partial.size()));
    for (const DirectoryEntryName& e : entries)
        if (e.directory && e.name[0] != '.' && starts_with(e.name, partial, true))
            w.candidates.push_back({kept + e.name, e.name, close, true});
    return finish(w);
}

bool hidden(std::string_view name, std::string_view partial) {
    if (name[0] == '.' && (partial.empty() || partial[0] != '.')) return true;
    // Numbered backups are reached through versions, not by name.
    return name.back() == '~' && partial.find('~') == std::string_view::npos;
}

TabCompletion vms_file_word(std::string_view typed, const CompletionSources& src) {
    size_t open = typed.find_last_of("[<");
    size_t close = typed.find_last_of("]>");
    if (open != std::string_view::npos && (close == std::string_view::npos || close < open))
        return vms_directory_word(typed, open, src);
    size_t split = typed.find_last_of("]>:");
    std::string_view directory = split == std::string_view::npos ? std::string_view() : typed.substr(0, split + 1);
    std::string_view partial = typed.substr(directory.size());
    Word w(typed);
    std::vector<DirectoryEntryName> entries;
    if (src.list_directory(directory, true, entries)) {
        for (const DirectoryEntryName& e : entries) {
            if (hidden(e.name, partial) || !starts_with(e.name, partial, true)) continue;
            std::string name = e.directory ? e.name + ".dir" : e.name;
            w.candidates.push_back({std::string(directory) + name, name, " ", true});
        }
    }
    if (directory.empty() && !partial.empty() && partial.find('.') == std::string_view::npos)
        add_names(w, src.logical_names(), partial, ":", {}, ":");
    return finish(w);
}

TabCompletion unix_file_word(std::string_view typed, const CompletionSources& src) {
    size_t slash = typed.rfind('/');
    std::string_view directory = slash == std::string_view::npos ? std::string_view() : typed.substr(0, slash + 1);
    std::string_view partial = typed.substr(directory.size());
    Word w(typed, false);
    std::vector<DirectoryEntryName> entries;
    if (!src.list_directory(directory, false, entries)) return finish(w);
    for (const DirectoryEntryName& e : entries) {
        if ((e.name[0] == '.' && (partial.empty() || partial[0] != '.')) || !starts_with(e.name, partial, false))
            continue;
        std::string shown = e.directory ? e.name + "/" : e.name;
        w.candidates.push_back({std::string(directory) + e.name, shown, e.directory ? "/" : " ", true});
    }
    return finish(w);
}

// ---- the line ------------------------------------------------------------------

size_t skip_blanks(std::string_view text, size_t pos) {
    while (pos < text.size() && blank_char(text[pos])) ++pos;
    return pos;
}

// Where the word before `end` starts: after the last of `stops`.
size_t word_start(std::string_view text, size_t from, std::string_view stops) {
    size_t end = text.size();
    while (end > from && stops.find(text[end - 1]) == std::string_view::npos) --end;
    return end;
}

// Whether the words between the verb and the word being typed are all
// qualifiers: then the word is the first parameter.
bool no_parameter_before(std::string_view between) {
    size_t pos = 0;
    while ((pos = skip_blanks(between, pos)) < between.size()) {
        if (between[pos] != '/') return false;
        while (pos < between.size() && !blank_char(between[pos])) ++pos;
    }
    return true;
}

std::string keyword_of(std::string_view rest) {
    size_t pos = skip_blanks(rest, 0);
    size_t end = rest.find_first_of(" \t/", pos);
    return std::string(rest.substr(pos, end == std::string_view::npos ? rest.size() - pos : end - pos));
}

TabCompletion dcl_word(std::string_view head, size_t verb_end, const std::string& verb,
                       const CompletionSources& src) {
    size_t start = word_start(head, verb_end, " \t,=()+");
    if (start < verb_end) start = verb_end;
    std::string_view token = head.substr(start);
    if (size_t slash = token.rfind('/'); slash != std::string_view::npos) {
        std::string_view rest = head.substr(verb_end);
        bool keyed = !src.keywords(verb).empty() && !rest.empty() && rest[0] != '/';
        return qualifier_word(token.substr(slash + 1), verb, keyed ? keyword_of(rest) : std::string(), src);
    }
    if (!src.keywords(verb).empty() && no_parameter_before(head.substr(verb_end, start - verb_end))) {
        Word w(token);
        add_names(w, src.keywords(verb), token, " ");
        return finish(w);
    }
    return vms_file_word(token, src);
}

}  // namespace

TabCompletion complete_command_line(std::string_view line, size_t cursor, const CompletionSources& src) {
    std::string_view head = line.substr(0, std::min(cursor, line.size()));
    if (inside_quotes(head)) {
        TabCompletion tab;
        tab.insert_tab = true;
        return tab;
    }
    size_t name = head.size();
    while (name > 0 && is_symbol_char(head[name - 1])) --name;
    if (name > 0 && head[name - 1] == '\'') return symbol_word(head.substr(name), src);
    size_t pos = skip_blanks(head, 0);
    if (pos < head.size() && head[pos] == '$') pos = skip_blanks(head, pos + 1);
    if (pos < head.size() && head[pos] == '@') {
        std::string_view rest = head.substr(pos + 1);
        return vms_file_word(rest.substr(word_start(rest, 0, " \t,")), src);
    }
    size_t verb_end = pos;
    while (verb_end < head.size() && !blank_char(head[verb_end]) && head[verb_end] != '/') ++verb_end;
    std::string_view first = head.substr(pos, verb_end - pos);
    if (verb_end == head.size()) return verb_word(first, src);
    std::string verb = src.verb_of(first);
    if (src.line_words(verb.empty() ? first : verb) == LineWords::unix) {
        std::string_view rest = head.substr(verb_end);
        return unix_file_word(rest.substr(word_start(rest, 0, " \t")), src);
    }
    return dcl_word(head, verb_end, verb, src);
}

}  // namespace dcl
