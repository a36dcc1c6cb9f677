// Fuzzes Tab completion: any line, the cursor anywhere in it (the first
// byte chooses where), against a fixed vocabulary and directory tree. It
// checks that completion never crashes, that nothing is offered where no
// name fits, and that what it inserts holds no control character and
// makes the word longer only by what the names share.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/completion.h"

namespace {

using dcl::CompletionSources;
using dcl::DirectoryEntryName;

std::vector<std::string> names(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

CompletionSources sources() {
    CompletionSources s;
    s.verbs = [] { return names({"DIRECTORY", "DIFFERENCES", "SET", "SHOW", "CD", "TYPE"}); };
    s.verb_of = [](std::string_view word) -> std::string {
        return word.size() >= 3 && std::string_view("DIRECTORY").starts_with(word) ? "DIRECTORY" : "";
    };
    s.line_words = [](std::string_view verb) {
        return verb.empty() || verb == "CD" ? dcl::LineWords::unix : dcl::LineWords::dcl;
    };
    s.keywords = [](std::string_view verb) { return verb == "DIRECTORY" ? names({"A", "AB"}) : names({}); };
    s.qualifiers = [](std::string_view, std::string_view) { return names({"SIZE", "SINCE", "NOTE"}); };
    s.symbols = [] { return names({"A*BC", "ABD", "*", ""}); };
    s.logical_names = [] { return names({"SYS$LOGIN", "SYS$DISK", "TT"}); };
    s.list_directory = [](std::string_view dir, bool, std::vector<DirectoryEntryName>& out) {
        if (dir.size() > 40) return false;
        out = {{"a.txt", false}, {"sub", true}, {".dot", false}, {"x~", false}, {"A.TXT", false}};
        return true;
    };
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const CompletionSources s = sources();
    std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t cursor = data[0] % (line.size() + 1);
    dcl::TabCompletion t = dcl::complete_command_line(line, cursor, s);
    if (t.insert_tab && (!t.insert.empty() || !t.choices.empty())) std::abort();
    if (t.choices.empty() && !t.insert.empty()) std::abort();
    for (char c : t.insert)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
    return 0;
}
