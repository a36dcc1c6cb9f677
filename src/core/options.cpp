// The interpreter's command line: options "CcSsVvL:p:O:" and an optional
// procedure with its parameters. Parsing stops at the first operand, so a
// parameter such as "-x" after the procedure name reaches the procedure.
#include "core/options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr const char* kOptionLetters = "CcSsVvL:p:O:";

bool takes_argument(char letter) {
    const char* p = std::strchr(kOptionLetters, letter);
    return p && p[1] == ':';
}

[[noreturn]] void usage_error(const char* program, const char* what, char letter) {
    std::fprintf(stderr, "%s: %s -- '%c'\n", program, what, letter);
    std::fprintf(stderr, "usage: %s [-CcSsVv] [-L file] [-p prompt] [-O file] "
                         "[-c command | procedure [parameter...]]\n", program);
    std::exit(1);
}

void set_prompt(const char* prompt) {
    if (std::strlen(prompt) > kMaxPromptLength) {
        signal_condition(cond::PROMPTLEN);
        show_messages();
        return;
    }
    session().prompt = prompt;
}

void open_output_file(const char* name) {
    FILE* f = std::fopen(name, "ae");
    if (!f) {
        std::fprintf(stderr, "Error: can't open output file %s\n", name);
        std::exit(1);
    }
    // The streams' logical names follow them, in VMS form.
    char resolved[PATH_MAX];
    std::string vms = unix_path_to_vms(realpath(name, resolved) ? resolved : name);
    set_session_output(OwnedFile(f), vms);
}

// The procedure operand in VMS form, so that it reads as one file
// specification, and the words after it as its parameters, verbatim.
void take_operands(CommandLine& cl, int argc, char** argv, int first) {
    std::string name = unix_path_to_vms(argv[first]);
    if (name.empty()) name = argv[first];
    if (!name.empty() && name.back() == '.') name.pop_back();
    cl.procedure = name;
    cl.procedure_parameters.assign(argv + first + 1, argv + argc);
}

// Everything after -s is a parameter; one more option letter is refused.
void take_s_parameters(CommandLine& cl, int argc, char** argv, int next, const char* rest) {
    if (*rest && !std::strchr("CcVvSsLpO", *rest)) usage_error(argv[0], "invalid option", *rest);
    char letter = *rest;
    if (!letter && next < argc && argv[next][0] == '-') letter = argv[next][1];
    if (letter && std::strchr("CcVvSsLpO", letter)) {
        std::fprintf(stderr, "-s%c: bad option\n", letter);
        std::exit(1);
    }
    cl.s_given = true;
    for (int i = next; i < argc && cl.parameters.size() < 8; ++i) cl.parameters.push_back(argv[i]);
}

void apply_flag(CommandLine& cl, char letter) {
    Session& s = session();
    switch (letter) {
    case 'C': s.quiet = true; break;
    case 'S': s.skip_logins = true; break;
    case 'V': cli_options().forced_verify = true; break;
    case 'v': s.verify = s.image_verify = true; break;
    default: break;
    }
}

void apply_argument(char letter, const char* value) {
    switch (letter) {
    case 'L': session().login_procedure = value; break;
    case 'p': set_prompt(value); break;
    case 'O': open_output_file(value); break;
    default: break;
    }
}

}  // namespace

CommandLine parse_command_line(int argc, char** argv) {
    CommandLine cl;
    const char* program = argc > 0 ? argv[0] : "dclsh";
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        for (const char* p = argv[i] + 1; *p; ++p) {
            char letter = *p;
            if (!std::strchr("CcSsVvLpO", letter)) usage_error(program, "invalid option", letter);
            if (letter == 's') {
                take_s_parameters(cl, argc, argv, i + 1, p + 1);
                return cl;
            }
            if (letter == 'c') {
                if (i + 1 >= argc) usage_error(program, "option requires a command", 'c');
                cl.command = argv[i + 1];
                session().quiet = true;
                session().skip_logins = true;
                return cl;
            }
            if (!takes_argument(letter)) {
                apply_flag(cl, letter);
                continue;
            }
            const char* value = p[1] ? p + 1 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!value) usage_error(program, "option requires an argument", letter);
            apply_argument(letter, value);
            break;
        }
    }
    if (i < argc) take_operands(cl, argc, argv, i);
    return cl;
}

}  // namespace dcl
