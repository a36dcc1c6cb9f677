// Tab completion against a made-up vocabulary and directory tree: which
// word is completed, from which names, in which case, and what a unique
// name gets after it.
#include "core/completion.h"

#include <gtest/gtest.h>
#include <map>

namespace dcl {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

CompletionSources fake_sources() {
    CompletionSources s;
    static const std::vector<std::string> verbs = {"DIRECTORY", "DIFFERENCES", "DELETE", "DEFINE",
                                                   "SET", "SHOW", "CD", "TYPE"};
    s.verbs = [] { return verbs; };
    s.verb_of = [](std::string_view word) -> std::string {
        std::string w = upper(std::string(word));
        if (w.size() >= 3 && std::string("DIRECTORY").starts_with(w)) return "DIRECTORY";
        for (const std::string& v : verbs)
            if (v == w) return v;
        return {};
    };
    s.line_words = [](std::string_view verb) { return verb == "CD" || verb == "ls" ? LineWords::unix : LineWords::dcl; };
    s.keywords = [](std::string_view verb) {
        return verb == "SET" ? std::vector<std::string>{"DEFAULT", "TERMINAL", "PROMPT"} : std::vector<std::string>{};
    };
    s.qualifiers = [](std::string_view verb, std::string_view keyword) {
        if (verb == "SET" && upper(std::string(keyword)) == "TERM")
            return std::vector<std::string>{"WIDTH", "PAGE"};
        if (verb == "DIRECTORY") return std::vector<std::string>{"SIZE", "SINCE", "DATE", "CONFIRM"};
        return std::vector<std::string>{};
    };
    s.symbols = [] { return std::vector<std::string>{"COUNT", "COUNTER", "TOTAL", "SH*OW_IT"}; };
    s.logical_names = [] { return std::vector<std::string>{"SYS$LOGIN", "SYS$SCRATCH", "TT"}; };
    s.list_directory = [](std::string_view dir, bool vms, std::vector<DirectoryEntryName>& out) {
        static const std::vector<DirectoryEntryName> current = {
            {"login.com", false}, {"logs", true},           {"sub", true},
            {".hidden", false},   {"login.com.~1~", false}, {"Mixed", true}};
        static const std::map<std::string, std::vector<DirectoryEntryName>> tree = {
            {"vms:", current},
            {"vms:[]", current},
            {"vms:[000000]", {{"usr", true}, {"home", true}}},
            {"vms:[.sub]", {{"deeper", true}, {"data.txt", false}}},
            {"unix:", {{"src", true}, {"setup.sh", false}, {"Makefile", false}}},
            {"unix:src/", {{"main.cpp", false}, {"core", true}}},
        };
        auto it = tree.find(std::string(vms ? "vms:" : "unix:") + std::string(dir));
        if (it == tree.end()) return false;
        out = it->second;
        return true;
    };
    return s;
}

struct Case {
    const char* line;
    const char* insert;   // what Tab puts in at the end of the line
    size_t choices;       // how many names fit
};

TEST(Completion, CompletesEachKindOfWord) {
    const Case cases[] = {
        // Verbs: by the abbreviation DCL runs, else by prefix.
        {"DIR", "ECTORY ", 1},
        {"dir", "ectory ", 1},
        {"$ DIRE", "CTORY ", 1},
        {"DI", "", 2},
        {"DE", "", 2},
        {"DEF", "INE ", 1},
        {"XYZ", "", 0},
        // Qualifiers, negated ones too.
        {"DIR/SI", "", 2},
        {"DIRECTORY/SIZE/DA", "TE", 1},
        {"dir /da", "te", 1},
        {"DIR/NOCON", "FIRM", 1},
        // SET keywords, then the keyword's qualifiers.
        {"SET TE", "RMINAL ", 1},
        {"SET TERM/WI", "DTH", 1},
        // Symbols after an apostrophe, abbreviation marks dropped.
        {"WRITE SYS$OUTPUT 'COU", "NT", 2},
        {"type 'tot", "al'", 1},
        {"SHOW SYMBOL 'SH", "OW_IT'", 1},
        // VMS files: dotfiles and backups hidden, directories as .DIR.
        {"TYPE log", "", 2},
        {"TYPE login", ".com ", 1},
        {"TYPE LOGIN", ".COM ", 1},
        {"DELETE su", "b.dir ", 1},
        {"TYPE .h", "idden ", 1},
        {"TYPE []LOGI", "N.COM ", 1},
        // VMS directories: the subdirectory and the closing bracket.
        {"TYPE [.s", "ub]", 1},
        {"TYPE [.S", "UB]", 1},
        {"TYPE [.sub.d", "eeper]", 1},
        {"DIR [u", "sr]", 1},
        {"TYPE [.M", "ixed]", 1},
        // Logical names for a bare word, with their colon.
        {"TYPE SYS$L", "OGIN:", 1},
        {"TYPE SYS$", "", 2},
        {"SET DEFAULT SYS$L", "OGIN:", 1},
        // Unix lines: paths, case kept, directories with a slash.
        {"ls s", "", 2},
        {"ls sr", "c/", 1},
        {"ls src/m", "ain.cpp ", 1},
        {"CD src/c", "ore/", 1},
        {"ls m", "", 0},
        // Procedures.
        {"@log", "", 2},
    };
    CompletionSources sources = fake_sources();
    for (const Case& c : cases) {
        std::string_view line = c.line;
        TabCompletion t = complete_command_line(line, line.size(), sources);
        EXPECT_FALSE(t.insert_tab) << c.line;
        EXPECT_EQ(t.insert, c.insert) << c.line;
        EXPECT_EQ(t.choices.size(), c.choices) << c.line;
    }
}

TEST(Completion, TabInsideQuotesIsATab) {
    CompletionSources sources = fake_sources();
    std::string_view line = "WRITE SYS$OUTPUT \"a DIR";
    EXPECT_TRUE(complete_command_line(line, line.size(), sources).insert_tab);
    line = "WRITE SYS$OUTPUT \"a\" + DIR";
    EXPECT_FALSE(complete_command_line(line, line.size(), sources).insert_tab);
}

TEST(Completion, CompletesTheWordBeforeTheCursor) {
    CompletionSources sources = fake_sources();
    std::string_view line = "DIR/DA [.sub]";
    TabCompletion t = complete_command_line(line, 6, sources);
    EXPECT_EQ(t.insert, "TE");
    EXPECT_EQ(t.choices, std::vector<std::string>{"/DATE"});
}

TEST(Completion, ListsChoicesAsTheyAreShown) {
    CompletionSources sources = fake_sources();
    std::string_view line = "TYPE lo";
    TabCompletion t = complete_command_line(line, line.size(), sources);
    EXPECT_EQ(t.choices, (std::vector<std::string>{"login.com", "logs.dir"}));
    line = "ls ";
    t = complete_command_line(line, line.size(), sources);
    EXPECT_EQ(t.choices, (std::vector<std::string>{"Makefile", "setup.sh", "src/"}));
}

}  // namespace
}  // namespace dcl
