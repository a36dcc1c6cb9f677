// Which command lines need no shell.
#include "unix/plain_command.h"

#include <algorithm>
#include <array>
#include <sys/stat.h>
#include <unistd.h>

namespace dcl {
namespace {

// Characters that mean nothing to any shell inside a word.
constexpr std::array<bool, 256> kPlainCharacters = [] {
    std::array<bool, 256> table{};
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (char c : std::string_view("_-./,:+@%=")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

// Words a shell takes itself instead of running a program of that name
// (bash, dash, ksh and zsh together), sorted for the binary search. Some
// exist as programs too (echo, test, kill...) but behave differently.
constexpr std::string_view kShellWords[] = {
    ".",       ":",        "alias",   "autoload", "bg",       "bind",     "break",
    "builtin", "caller",   "case",    "cd",       "chdir",    "command",  "compgen",
    "complete", "compopt", "continue", "coproc",  "declare",  "dirs",     "disown",
    "do",      "done",     "echo",    "elif",     "else",     "enable",   "esac",
    "eval",    "exec",     "exit",    "export",   "false",    "fc",       "fg",
    "fi",      "for",      "function", "getopts", "hash",     "help",     "history",
    "if",      "in",       "jobs",    "kill",     "let",      "local",    "logout",
    "mapfile", "newgrp",   "popd",    "print",    "printf",   "pushd",    "pwd",
    "read",    "readarray", "readonly", "return", "select",   "set",      "shift",
    "shopt",   "source",   "suspend", "test",     "then",     "time",     "times",
    "trap",    "true",     "type",    "typeset",  "ulimit",   "umask",    "unalias",
    "unset",   "until",    "wait",    "whence",   "while",
};

static_assert(std::is_sorted(std::begin(kShellWords), std::end(kShellWords)));

bool is_shell_word(std::string_view word) {
    return std::binary_search(std::begin(kShellWords), std::end(kShellWords), word);
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

namespace {

bool all_plain(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return kPlainCharacters[static_cast<unsigned char>(c)]; });
}

// One redirection word ("2>&1", ">>log", or ">" with the file in `next`).
// False for anything a shell would read otherwise.
bool take_redirection(std::string_view word, std::string_view next, bool& used_next, PlainRedirection& r) {
    size_t op = word.find_first_of("<>");
    std::string_view number = word.substr(0, op);
    if (number.size() > 1 || (number.size() == 1 && (number[0] < '0' || number[0] > '2'))) return false;
    std::string_view rest = word.substr(op);
    bool input = rest[0] == '<';
    r.stream = number.empty() ? (input ? 0 : 1) : number[0] - '0';
    if (rest.substr(0, 2) == ">&") {
        r.kind = PlainRedirection::same_as;
        r.target = rest.substr(2);
        return (r.target == "1" || r.target == "2") && r.stream != 0;
    }
    r.kind = input ? PlainRedirection::read : rest.substr(0, 2) == ">>" ? PlainRedirection::append : PlainRedirection::write;
    r.target = rest.substr(r.kind == PlainRedirection::append ? 2 : 1);
    used_next = r.target.empty();
    if (used_next) r.target = next;
    return !r.target.empty() && all_plain(r.target);
}

}  // namespace

bool plain_command_words(std::string_view line, std::vector<std::string_view>& words,
                         std::vector<PlainRedirection>* redirections) {
    words.clear();
    if (redirections) redirections->clear();
    std::vector<std::string_view> chunks;
    for (size_t i = 0; i < line.size();) {
        if (is_blank(line[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        chunks.push_back(line.substr(start, i - start));
    }
    for (size_t k = 0; k < chunks.size(); ++k) {
        std::string_view chunk = chunks[k];
        if (all_plain(chunk)) {
            words.push_back(chunk);
            continue;
        }
        PlainRedirection r{};
        bool used_next = false;
        std::string_view next = k + 1 < chunks.size() ? chunks[k + 1] : std::string_view();
        if (!redirections || chunk.find_first_of("<>") == std::string_view::npos ||
            !take_redirection(chunk, next, used_next, r))
            return false;
        redirections->push_back(r);
        if (used_next) ++k;
    }
    if (words.empty()) return false;
    std::string_view first = words.front();
    return first.find('=') == std::string_view::npos && !is_shell_word(first);
}

std::string find_program(std::string_view name, std::string_view path_variable) {
    std::string candidate;
    for (;;) {
        size_t colon = path_variable.find(':');
        std::string_view element = path_variable.substr(0, colon);
        candidate.assign(element.empty() ? "." : element).append(1, '/').append(name);
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) return {};
        path_variable.remove_prefix(colon + 1);
    }
}

}  // namespace dcl
