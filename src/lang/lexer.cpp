// Expansion of raw command lines: comments, continuation, substitution,
// labels, assignments, verb symbols and foreign commands, verb recognition
// and case mapping.
#include "lang/lexer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "files/filespec.h"
#include "lang/keywords.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "status/cli_options.h"
#include "status/command_source.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/streams.h"
#include "status/text.h"

namespace dcl {

namespace {

void trim(std::string& s) {
    size_t b = 0;
    while (b < s.size() && is_blank(s[b])) ++b;
    size_t e = s.size();
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    s.erase(e);
    s.erase(0, b);
}

size_t skip_blanks(std::string_view s, size_t i) {
    while (i < s.size() && is_blank(s[i])) ++i;
    return i;
}

// "cd -" means the previous directory, not a continuation line.
bool is_cd_dash(std::string_view s, size_t hyphen) {
    size_t i = hyphen;
    while (i > 0 && is_blank(s[i - 1])) --i;
    if (i == hyphen || i < 2 || s.substr(i - 2, 2) != "cd") return false;
    return i == 2 || is_blank(s[i - 3]) || s[i - 3] == '$';
}

// ASCII only, whatever the locale: command words are ASCII.
void map_case(std::string& s, bool upper) {
    bool quoted = false;
    for (char& c : s) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

bool keeps_case(uint32_t verb_number) {
    const CommandRow* row = command_row(verb_number);
    return row && row->has(CMD_KEEPS_CASE);
}

// Skips the labels that substitute_ampersands marked. Typed at the
// terminal they mean nothing: each is reported and the command still runs.
size_t skip_labels(std::string_view line, size_t labels) {
    size_t i = 0;
    for (size_t k = 0; k < labels && i < line.size(); ++k) {
        std::string label;
        i += copy_until(label, line.substr(i), ":");
        if (!reading_from_file()) {
            signal_condition(cond::NOLBLS, label);
            show_messages();
        }
        i = skip_blanks(line, std::min(i + 1, line.size()));
    }
    return i;
}

// "name = ...", "name :== ...": the line becomes "name op rest".
bool take_assignment(std::string& out, const std::string& word, std::string_view rest) {
    size_t i = skip_blanks(rest, 0);
    bool is_assignment = i < rest.size() && (rest[i] == '=' || rest.substr(i, 2) == ":=");
    if (!is_assignment) return false;
    size_t op_end = i;
    while (op_end < rest.size() && (rest[op_end] == '=' || rest[op_end] == ':')) ++op_end;
    out = word;
    out += ' ';
    out.append(rest.substr(i, op_end - i));
    out += ' ';
    out.append(rest.substr(skip_blanks(rest, op_end)));
    trim(out);
    map_case(out, cli_options().upper_case);
    return true;
}

// A foreign command "$image [args]": the line becomes "FOREIGN image args".
// An image name that begins with "/" or "." is a Unix path and runs to the
// first blank; any other is completed with the default SYS$SYSTEM:.exe.
// Returns 1, or a condition after queueing ACTIMAGE.
uint32_t foreign_command_line(std::string& line, std::string_view value) {
    size_t i = skip_blanks(value, 1);
    bool unix_path = i < value.size() && (value[i] == '/' || value[i] == '.');
    size_t end = i;
    while (end < value.size() && !is_blank(value[end]) && (unix_path || value[end] != '/')) ++end;
    std::string image(value.substr(i, end - i));
    if (!unix_path) {
        std::string completed;
        uint32_t status =
            merge_file_spec(completed, image, "SYS$SYSTEM:.exe", "", current_dotfile_mode());
        if (status != 1) {
            signal_condition(cond::ACTIMAGE, image);
            return status;
        }
        image = std::move(completed);
    }
    line = "FOREIGN ";
    line += image;
    if (end < value.size()) {
        if (!is_blank(value[end])) line += ' ';
        line.append(value.substr(end));
    }
    return 1;
}

// A verb that is a symbol is replaced by the symbol's value, once. Sets
// `rewritten` when `line` changed; returns 1 or a failure.
uint32_t substitute_verb_symbol(std::string& line, const std::string& word, std::string_view rest,
                                bool& rewritten) {
    rewritten = false;
    if (word.empty() || word.size() > kMaxNameLength) return 1;
    lexer_state().verb_word = word;
    std::string value;
    uint32_t type = 0;
    {
        VerbSymbolScope verb_scope;
        if (get_symbol_text(word, value, type) != 1) return 1;
    }
    lexer_state().verb_symbol_found = true;
    trim(value);
    if (value.empty()) return 1;
    std::string new_line = value;
    if (value[0] == '$') {
        if (uint32_t status = foreign_command_line(new_line, value); status != 1) return status;
    }
    new_line += ' ';
    new_line.append(rest);
    line = std::move(new_line);
    rewritten = true;
    return 1;
}

uint32_t recognise_verb(std::string& word, std::string& rest, uint32_t& verb_number) {
    verb_number = verb::NONE;
    if (word.empty() && !rest.empty()) return cond::NOCOMD;
    if (!word.empty() && word[0] == '@') {
        verb_number = verb::AT;
        if (word == "@") {
            size_t i = skip_blanks(rest, 0);
            std::string next;
            i += copy_until(next, std::string_view(rest).substr(i), "/! ");
            word += next;
            rest.erase(0, skip_blanks(rest, i));
        }
        return 1;
    }
    uint32_t status = lookup_verb(word, verb_number);
    if (!is_success(status)) return status;
    if (verb_number == verb::NONE && !cli_options().pass_to_shell && !word.empty() &&
        std::isalnum(static_cast<unsigned char>(word[0]))) {
        signal_condition(cond::IVVERB, word);
        return 0;
    }
    return 1;
}

// Takes the first word of `line` and the rest after one blank.
void split_first_word(const std::string& line, std::string_view delimiters, std::string& word,
                      std::string& rest) {
    word.clear();
    size_t used = copy_until(word, line, delimiters);
    if (used < line.size() && is_blank(line[used])) ++used;
    rest.assign(line, used);
}

// Steps after substitution: labels, assignment, verb symbol, verb, case.
uint32_t recognise_command(std::string& out, std::string& line, size_t labels) {
    line.erase(0, skip_labels(line, labels));
    std::string word, rest;
    size_t used = copy_until(word, line, !line.empty() && line[0] == '@' ? " (/!=" : " (/!:=");
    if (take_assignment(out, word, std::string_view(line).substr(used))) {
        lexer_state().assignment = true;
        return 1;
    }
    if (used < line.size() && is_blank(line[used])) ++used;
    rest.assign(line, used);
    bool rewritten = false;
    if (uint32_t status = substitute_verb_symbol(line, word, rest, rewritten); status != 1)
        return status;
    if (rewritten) split_first_word(line, "(/! ", word, rest);
    if (uint32_t status = recognise_verb(word, rest, message_queue().verb); !is_success(status)) return status;
    out = word;
    if (!rest.empty()) {
        out += ' ';
        out += rest;
    }
    trim(out);
    if (!keeps_case(message_queue().verb)) map_case(out, cli_options().upper_case);
    return 1;
}

}  // namespace

void unmark_nonvms(std::string& line) {
    if (line.size() < 8 || line[0] != '$' || line[1] != '!') return;
    if (starts_with_nocase(line, "$!nonvms") || starts_with_nocase(line, "$!notvms"))
        line.erase(1, 7);
}

// Delimiter sets are a handful of characters: a plain loop beats a call
// per character.
static bool is_delimiter(char c, std::string_view delimiters) {
    for (char d : delimiters)
        if (c == d) return true;
    return false;
}

size_t copy_until(std::string& dest, std::string_view src, std::string_view delimiters) {
    bool blank_stops = is_delimiter(' ', delimiters);
    size_t i = 0;
    while (i < src.size()) {
        char c = src[i];
        if (c == '"') {
            size_t close = src.find('"', i + 1);
            size_t end = close == std::string_view::npos ? src.size() : close + 1;
            dest.append(src.substr(i, end - i));
            i = end;
            continue;
        }
        if (is_delimiter(c, delimiters) || (blank_stops && c == '\t')) break;
        dest.push_back(c);
        ++i;
    }
    return i;
}

uint32_t preprocess_line(std::string& line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    if (line.size() > kMaxLineLength) return cond::BUFOVF;
    unmark_nonvms(line);
    bool quoted = false;
    size_t last_text = std::string::npos;  // last non-blank character outside a comment
    bool in_comment = false;
    for (size_t i = 0; i < line.size() && !in_comment; ++i) {
        char c = line[i];
        if (c == '"') quoted = !quoted;
        if (c == '!' && !quoted) {
            in_comment = true;
            continue;
        }
        if (quoted || !is_blank(c)) last_text = i;
    }
    if (quoted || last_text == std::string::npos || line[last_text] != '-') return 1;
    if (is_cd_dash(line, last_text)) return 1;
    line.resize(last_text);
    line.push_back(' ');
    lexer_state().reprompt = true;
    return 1;
}

uint32_t expand_command_line(std::string& out, std::string& raw) {
    out.clear();
    message_queue().verb = verb::NONE;
    lexer_state().assignment = false;
    lexer_state().verb_symbol_found = false;
    lexer_state().verb_word.clear();
    if (cli_options().pass_to_shell && !raw.empty() && raw[0] == '#') return 1;
    std::string work = raw;
    lexer_state().reprompt = false;
    if (uint32_t status = preprocess_line(work); !is_success(status)) return status;
    if (lexer_state().reprompt) {
        lexer_state().current_prompt = "_" + session().prompt;
        raw = work;
        return 1;
    }
    if (uint32_t status = substitute_apostrophes(work, 0); !is_success(status)) return status;
    if ((session().verify || cli_options().forced_verify) && !lexer_state().echo_suppressed) {
        std::fprintf(redirection().output, "%s\n", work.c_str());
        std::fflush(redirection().output);
    }
    size_t labels = 0;
    if (uint32_t status = substitute_ampersands(work, labels); !is_success(status)) return status;
    trim(work);
    if (work.empty()) return 1;
    if (uint32_t status = recognise_command(out, work, labels); !is_success(status)) return status;
    if (message_queue().verb == verb::RECALL) raw.clear();
    return 1;
}

bool is_verb_symbol(std::string_view word) {
    VerbSymbolScope verb_scope;
    std::string value;
    uint32_t type = 0;
    return get_symbol_text(word, value, type) == 1;
}

uint32_t tokenize_line(TokenList& list, std::string_view line, uint32_t verb, bool assignment) {
    list.clear();
    Tokenizer tokenizer(line, verb, assignment);
    for (;;) {
        std::string text;
        TokenType type = tokenizer.next(text);
        if (type == TOKEN_END) return 1;
        if (type == TOKEN_STOP) return 0;
        if (type == TOKEN_LABEL) continue;
        if (!list.add(type, std::move(text))) {
            signal_condition(cond::BUFOVF);
            return 0;
        }
    }
}

}  // namespace dcl
