// Expansion of raw command lines.
#include "lang/lexer.h"

#include <cctype>
#include <cstdio>

#include "core/cli_options.h"
#include "core/command_state.h"
#include "core/session.h"
#include "lang/keywords.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void trim(std::string& s) {
    size_t b = 0;
    while (b < s.size() && is_blank(s[b])) ++b;
    size_t e = s.size();
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    s = s.substr(b, e - b);
}

bool starts_with_nocase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

// Lines meant for other DCL interpreters only are commands here.
void unmark_nonvms(std::string& line) {
    if (starts_with_nocase(line, "$!nonvms") || starts_with_nocase(line, "$!notvms"))
        line = "$" + line.substr(8);
}

// "cd -" means the previous directory, not a continuation line.
bool is_cd_dash(std::string_view s, size_t hyphen) {
    size_t i = hyphen;
    while (i > 0 && is_blank(s[i - 1])) --i;
    if (i == hyphen || i < 2 || s.substr(i - 2, 2) != "cd") return false;
    return i == 2 || is_blank(s[i - 3]) || s[i - 3] == '$';
}

// Leading "$" and blanks, and the "!" comment: the line as the verb
// recognition sees it.
std::string strip_dollar_and_comment(const std::string& line) {
    size_t i = 0;
    bool terminal_top = session().interactive && procedure_depth() == 0;
    if (terminal_top) {
        while (i < line.size() && (line[i] == '$' || is_blank(line[i]))) ++i;
    } else {
        if (i < line.size() && line[i] == '$') ++i;
        while (i < line.size() && is_blank(line[i])) ++i;
    }
    std::string out;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') quoted = !quoted;
        if (c == '!' && !quoted) break;
        out.push_back(c);
    }
    return out;
}

void map_case(std::string& s, bool upper) {
    bool quoted = false;
    for (char& c : s) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        unsigned char u = static_cast<unsigned char>(c);
        c = static_cast<char>(upper ? std::toupper(u) : std::tolower(u));
    }
}

bool keeps_case(uint32_t verb_number) {
    return verb_number == verb::NONE || verb_number == verb::SHELL ||
           verb_number == verb::FOREIGN || verb_number == verb::CD;
}

uint32_t recognise_verb(std::string& word, std::string& rest, uint32_t& verb_number) {
    verb_number = verb::NONE;
    if (word.empty() && !rest.empty()) return cond::NOCOMD;
    if (!word.empty() && word[0] == '@') {
        verb_number = verb::AT;
        if (word == "@") {
            size_t i = 0;
            while (i < rest.size() && is_blank(rest[i])) ++i;
            std::string next;
            i += copy_until(next, std::string_view(rest).substr(i), "/! ");
            word += next;
            while (i < rest.size() && is_blank(rest[i])) ++i;
            rest = rest.substr(i);
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

}  // namespace

size_t copy_until(std::string& dest, std::string_view src, std::string_view delimiters) {
    bool blank_stops = delimiters.find(' ') != std::string_view::npos;
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
        if (delimiters.find(c) != std::string_view::npos || (blank_stops && c == '\t')) break;
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
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (in_comment) continue;
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
    command_state().reprompt = true;
    return 1;
}

uint32_t expand_command_line(std::string& out, std::string& raw) {
    CommandState& cs = command_state();
    out.clear();
    cs.verb = verb::NONE;
    cs.assignment = false;
    std::string work = raw;
    if (cli_options().pass_to_shell && !work.empty() && work[0] == '#') return 1;
    cs.reprompt = false;
    if (uint32_t status = preprocess_line(work); !is_success(status)) return status;
    if (cs.reprompt) {
        cs.current_prompt = "_" + session().prompt;
        raw = work;
        return 1;
    }
    if (session().verify || cli_options().forced_verify) {
        std::fprintf(redirection().output, "%s\n", work.c_str());
        std::fflush(redirection().output);
    }
    std::string line = strip_dollar_and_comment(work);
    trim(line);
    if (line.empty()) return 1;

    std::string word;
    size_t used = copy_until(word, line, line[0] == '@' ? " (/!=" : " (/!:=");
    std::string rest = line.substr(used);
    if (!rest.empty() && is_blank(rest[0])) rest.erase(0, 1);
    if (uint32_t status = recognise_verb(word, rest, cs.verb); !is_success(status)) return status;

    out = rest.empty() ? word : word + " " + rest;
    trim(out);
    if (!keeps_case(cs.verb)) map_case(out, cli_options().upper_case);
    if (cs.verb == verb::RECALL) raw.clear();
    return 1;
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
