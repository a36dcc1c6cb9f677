// Fuzzes DIRECTORY with the wildcard matchers under it. The input names a
// few files (made of safe characters only, some with sizes) created in a
// private directory and its subdirectory [.SUB], then a DIRECTORY command
// with qualifiers from a table and file specifications drawn from the
// input (no node, no device, no parent directory: nothing outside the
// private directory is listed). It runs through the real dispatcher with
// the shell passthrough off and its output thrown away; it must not crash.
// Beside it, match_name and wildcard_match are checked against a plain
// recursive matcher on patterns and names from the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/dispatch.h"
#include "core/state_reset.h"
#include "files/search.h"
#include "files/wildcard.h"
#include "lang/lexer.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/messages.h"

#include "private_directory.h"

namespace {

// The scratch directory, with a subdirectory [.SUB], and /dev/null for
// the listing.
struct Scratch {
    PrivateDirectory dir{"dclsh-directory-fuzz"};
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
};

Scratch& scratch() {
    static Scratch s;
    static const bool ready = s.null >= 0 && mkdir((s.dir.path + "/sub").c_str(), 0700) == 0;
    if (!ready) std::abort();
    return s;
}

std::string_view take(std::string_view& in, size_t n) {
    std::string_view part = in.substr(0, n);
    in.remove_prefix(part.size());
    return part;
}

unsigned byte(std::string_view& in) { return in.empty() ? 0 : static_cast<unsigned char>(take(in, 1)[0]); }

// Up to `length` bytes of the input as characters of `alphabet`.
std::string mapped(std::string_view& in, size_t length, std::string_view alphabet) {
    std::string out;
    for (unsigned char c : take(in, length)) out += alphabet[c % alphabet.size()];
    return out;
}

void create_files(std::string_view& in) {
    unsigned count = byte(in) % 8;
    for (unsigned k = 0; k < count; ++k) {
        unsigned head = byte(in);
        std::string name = mapped(in, 1 + head % 10, "abcAB_$-0.~1");
        if (name == "." || name == ".." || name == "sub") continue;
        if (head & 0x80) name = "sub/" + name;
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) continue;
        if (head & 0x40) (void)ftruncate(fd, (head & 0x3F) * 300);
        close(fd);
    }
}

const char* const kQualifiers[] = {
    "/FULL", "/SIZE", "/SIZE=ALL", "/SIZE=USED", "/DATE", "/DATE=ALL", "/OWNER", "/PROTECTION",
    "/TOTAL", "/GRAND_TOTAL", "/NOHEADING", "/NOTRAILING", "/FILE_ID", "/SECURITY", "/BRIEF",
    "/DOTFILES", "/MODIFIED", "/BY_OWNER", "/BEFORE=TOMORROW", "/SINCE=YESTERDAY", "/NOOUTPUT",
    "/OUTPUT=listing.out", "/COLUMNS=", "/WIDTH=FILENAME=", "/WIDTH=(DISPLAY=", "/WIDTH=SIZE=",
    "/SELECT=SIZE=MINIMUM=", "/SELECT=SIZE=(MAXIMUM=", "/EXCLUDE=",
};
const char* const kDirectories[] = {"", "[]", "[.sub]", "[...]", "[.sub...]", "[.*]", "[.s*]"};
const char* const kVersions[] = {"", ";", ";*", ";0", ";-1", ";1", ";~1~"};
constexpr std::string_view kNameCharacters = "abcAB_$*%?.~1";

std::string spec(std::string_view& in) {
    std::string s = kDirectories[byte(in) % 7];
    unsigned shape = byte(in);
    s += mapped(in, shape % 6, kNameCharacters);
    if (shape & 8) s += "." + mapped(in, (shape >> 4) % 4, kNameCharacters);
    return s + kVersions[(shape >> 6) % 4 + (shape & 1) * 3];
}

std::string command(std::string_view& in) {
    std::string line = "DIRECTORY";
    for (unsigned count = byte(in) % 5; count > 0; --count) {
        std::string q = kQualifiers[byte(in) % std::size(kQualifiers)];
        if (q.back() == '=') q += q.find("EXCLUDE") != std::string::npos ? spec(in) : std::to_string(byte(in) * 3);
        if (q.find('(') != std::string::npos) q += ")";
        line += q;
    }
    for (unsigned k = 0, count = 1 + byte(in) % 3; k < count; ++k) line += (k % 2 == 0 ? " " : ",") + spec(in);
    return line;
}

void run_directory(std::string line) {
    using namespace dcl;
    reset_process_state();
    // Whatever the line turns out to be, no shell may run it.
    cli_options().pass_to_shell = false;
    push_procedure_level("");
    std::fflush(stdout);
    int saved = dup(1);
    dup2(scratch().null, 1);
    std::string expanded;
    if (expand_command_line(expanded, line) == 1) run_command_line(expanded);
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    discard_messages();
    reset_process_state();
}

// The plain matcher: "*" any run and "%" or "?" one character (neither
// crossing "/" when `names`), letters without case when `names`, quoted
// text as written, an unquoted final "." optional, and a final "." of the
// name matched by a pattern used up.
struct Element {
    char c;
    bool exact, run, one;
};

bool plain(const std::vector<Element>& p, size_t i, std::string_view t, size_t j, bool names) {
    auto fold = [names](char c) { return names && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (; i < p.size(); ++i, ++j) {
        if (p[i].run) {
            for (size_t k = j; k <= t.size(); ++k) {
                if (plain(p, i + 1, t, k, names)) return true;
                if (k < t.size() && names && t[k] == '/') return false;
            }
            return false;
        }
        if (j >= t.size() || (p[i].one && names && t[j] == '/')) return false;
        if (!p[i].one && (p[i].exact ? t[j] != p[i].c : fold(t[j]) != fold(p[i].c))) return false;
    }
    return j == t.size();
}

bool plain_name(std::string_view pattern, std::string_view text) {
    std::vector<Element> p;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '"' && quoted && pattern.substr(i, 2) == "\"\"") p.push_back({'"', true, false, false}), ++i;
        else if (c == '"') quoted = !quoted;
        else p.push_back({c, quoted, !quoted && c == '*', !quoted && (c == '%' || c == '?')});
    }
    bool dot = !p.empty() && p.back().c == '.' && !p.back().exact;
    auto whole = [&](std::string_view t) {
        return plain(p, 0, t, 0, true) || (dot && plain({p.begin(), p.end() - 1}, 0, t, 0, true));
    };
    return whole(text) || (!text.empty() && text.back() == '.' && whole(text.substr(0, text.size() - 1)));
}

bool plain_wildcard(std::string_view pattern, std::string_view text) {
    std::vector<Element> p;
    for (char c : pattern) p.push_back({c, true, c == '*', c == '%'});
    return plain(p, 0, text, 0, false);
}

void check_matchers(std::string_view& in) {
    std::string pattern = mapped(in, byte(in) % 10, "ab.AB*%?\"/");
    std::string text = mapped(in, byte(in) % 12, "abAB./\"*%");
    if (dcl::match_name(pattern, text) != plain_name(pattern, text)) __builtin_trap();
    if (dcl::wildcard_match(pattern, text) != plain_wildcard(pattern, text)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    check_matchers(in);
    enter_fresh(scratch().dir);
    empty_directory("sub");
    create_files(in);
    run_directory(command(in));
    leave(scratch().dir);
    return 0;
}
