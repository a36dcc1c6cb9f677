// The line cache of procedure files. An entry is taken only while the
// facts its expansion rested on are unchanged: its first word is still no
// symbol, SET CLI's case mapping and passing of lines to the shell are as
// they were. Lines with substitution, continuation, a verb symbol or any
// message on the way are never kept, so the cache changes nothing a user
// can see.
#include "core/cached_lines.h"

#include "core/command_state.h"
#include "lang/lexer.h"
#include "names/symbols.h"
#include "status/cli_options.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"

namespace dcl {

namespace {

bool same_scope(const SymbolScope& a, const SymbolScope& b) {
    return a.environment == b.environment && a.global == b.global && a.local == b.local;
}

// Whether the verb word is still no symbol. A lookup in every table costs
// more than the rest of taking a line, so its answer is kept while no name
// like it was gained (names_added) and the verb scope is the same.
bool verb_word_still_free(CachedCommand& command) {
    if (command.verb_word.empty()) return true;
    const SymbolTables& tables = symbol_tables();
    SymbolScope scope = tables.levels.empty() ? tables.scope : tables.levels.back().scopes->verb;
    uint64_t added = names_added_like(command.verb_word);
    if (command.verb_free_as_of == added + 1 && same_scope(command.verb_free_in, scope))
        return true;
    if (is_verb_symbol(command.verb_word)) return false;
    command.verb_free_as_of = added + 1;
    command.verb_free_in = scope;
    return true;
}

bool still_valid(const CachedLine& line, CachedCommand& command) {
    const CliOptions& o = cli_options();
    return line.upper_case == o.upper_case && line.pass_to_shell == o.pass_to_shell &&
           verb_word_still_free(command);
}

// Nothing the expansion did depends on more than still_valid checks.
bool keepable(const std::string& raw) {
    static constexpr CharSet kSubstitution("'&");
    return kSubstitution.find_in(raw) == std::string::npos && !lexer_state().verb_symbol_found &&
           !lexer_state().reprompt && !error_queued();
}

void restore(const CachedCommand& cached) {
    CommandState& cs = command_state();
    cs.expanded = cached.expanded;
    // No copy of the tokens: copying them cost more than anything else
    // in taking a line.
    cs.cached_tokens = &cached.tokens;
    message_queue().verb = cached.verb;
    LexerState& lexer = lexer_state();
    lexer.assignment = cached.assignment;
    lexer.reprompt = false;
    lexer.verb_symbol_found = false;
}

void save(CachedCommand& cached) {
    const CommandState& cs = command_state();
    cached.expanded = cs.expanded;
    cached.tokens = cs.tokens_to_run();
    cached.verb = message_queue().verb;
    cached.assignment = lexer_state().assignment;
    cached.verb_word = lexer_state().verb_word;
    cached.verb_free_as_of = 0;
}

}  // namespace

bool line_cache_in_use() { return !session().verify && !cli_options().forced_verify; }

bool take_cached_line(LineCache& cache, long start) {
    auto it = cache.lines.find(start);
    if (it == cache.lines.end() || !still_valid(it->second, it->second.command)) return false;
    const CachedLine& line = it->second;
    // A line cache belongs to a text in memory.
    if (seek_memory_input(line.next) != 1) return false;
    CommandState& cs = command_state();
    cs.line = line.raw;
    cs.dollar_line = !line.raw.empty() && line.raw[0] == '$';
    restore(line.command);
    return true;
}

void keep_line(LineCache& cache, long start, long next, bool tokenized) {
    const CommandState& cs = command_state();
    if (!keepable(cs.line) || (!tokenized && !cs.expanded.empty())) return;
    CachedLine& line = cache.lines[start];
    line.next = next;
    line.raw = cs.line;
    save(line.command);
    if (!tokenized) line.command.tokens.clear();
    line.upper_case = cli_options().upper_case;
    line.pass_to_shell = cli_options().pass_to_shell;
    line.then_text.clear();
}

bool take_cached_then(LineCache& cache, long if_line, const std::string& text) {
    auto it = cache.lines.find(if_line);
    if (it == cache.lines.end()) return false;
    CachedLine& line = it->second;
    if (line.then_text.empty() || line.then_text != text) return false;
    if (!still_valid(line, line.then_command)) return false;
    command_state().line = text;
    restore(line.then_command);
    return true;
}

void keep_then(LineCache& cache, long if_line, const std::string& text) {
    auto it = cache.lines.find(if_line);
    if (it == cache.lines.end() || !keepable(text)) return;
    CachedLine& line = it->second;
    line.then_text = text;
    save(line.then_command);
}

}  // namespace dcl
