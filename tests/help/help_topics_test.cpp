// Finding topics by their words, where the prompt then stands, prompt
// answers split into words, and the layout of what HELP shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/help_display.h"
#include "help/help_topics.h"

namespace dcl {
namespace {

const char* const kLibrary =
    "!<arch>\n"
    "1 COPY\n"
    "  Copies.\n"
    "/LOG\n"
    "  Says so.\n"
    "2 Examples\n"
    "  $ COPY A B\n"
    "1 CREATE\n"
    "1 DELETE\n"
    "2 Files\n"
    "3 Versions\n"
    "2 Examples\n"
    "1 DEL\n";

std::string joined(const HelpPath& path) {
    std::string out;
    for (const HelpKey& key : path) out += (out.empty() ? "" : " ") + key.name;
    return out;
}

TEST(HelpTopics, WordsPickKeysLevelByLevel) {
    HelpLibrary library;
    ASSERT_EQ(library.load_text(kLibrary), 1u);
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> found;
        std::string position;
    };
    const Case cases[] = {
        {{"COP"}, {"COPY"}, "COPY"},                        // abbreviation; COPY has entries below
        {{"COPY", "/LOG"}, {"COPY /LOG"}, "COPY"},          // a leaf: the prompt stays above it
        {{"C*"}, {"COPY", "CREATE"}, ""},
        {{"DEL"}, {"DEL"}, ""},                             // the exact key alone, not DELETE
        {{"DELE", "F", "V"}, {"DELETE Files Versions"}, "DELETE Files"},
        {{"*", "EXAMPLES"}, {"COPY Examples", "DELETE Examples"}, ""},
        {{"COPY", "NOSUCH"}, {}, "COPY"},              // nothing: the prompt stands where the words led
        {{"%%%%"}, {"COPY"}, "COPY"},
    };
    for (const Case& c : cases) {
        HelpLookup lookup = find_help_topics(library, {}, c.words);
        std::vector<std::string> found;
        for (const HelpPath& path : lookup.found) found.push_back(joined(path));
        EXPECT_EQ(found, c.found) << c.words.front();
        EXPECT_EQ(joined(lookup.position), c.position) << c.words.front();
    }
    // From a prompt below the top, words are looked up there.
    HelpLookup below = find_help_topics(library, find_help_topics(library, {}, std::vector<std::string>{"DELETE"}).position,
                                        std::vector<std::string>{"F"});
    ASSERT_EQ(below.found.size(), 1u);
    EXPECT_EQ(joined(below.found[0]), "DELETE Files");
}

TEST(HelpTopics, AnswersSplitIntoWords) {
    EXPECT_EQ(help_answer_words("  copy/log   /page "), (std::vector<std::string>{"copy", "/log", "/page"}));
    EXPECT_EQ(help_answer_words("\"two words\" x"), (std::vector<std::string>{"two words", "x"}));
    EXPECT_TRUE(help_answer_words(" \t ").empty());
    EXPECT_EQ(help_answer_words(std::string(5000, '/')).size(), 5000u);
}

TEST(HelpDisplay, ColumnsOfElevenWithinTheWidth) {
    std::vector<std::string> names = {"A", "ELEVEN_CHAR", "B", "C", "D"};
    std::string out;
    append_columns(out, "", names, 40);
    // ELEVEN_CHAR takes two columns; a name that would reach column 36 starts a line.
    EXPECT_EQ(out, "  A          ELEVEN_CHAR\n  B          C          D\n\n");
}

TEST(HelpDisplay, TopicsWithTheirPathAndEntries) {
    HelpLibrary library;
    ASSERT_EQ(library.load_text(kLibrary), 1u);
    HelpLookup lookup = find_help_topics(library, {}, std::vector<std::string>{"COPY"});
    std::string out;
    append_topic(out, library, lookup.found[0]);
    append_entries(out, library, lookup.found[0], 80);
    EXPECT_EQ(out, "\nCOPY\n\n  Copies.\n\n  Additional information available:\n\n  Examples\n  /LOG\n\n");
    out.clear();
    append_topic(out, library, find_help_topics(library, {}, std::vector<std::string>{"COPY", "/LOG"}).found[0]);
    EXPECT_EQ(out, "\nCOPY\n\n  /LOG\n\n  Says so.\n\n");
    out.clear();
    append_entries(out, library, {}, 80);
    EXPECT_EQ(out, "\n  Information available:\n\n  COPY       CREATE     DEL        DELETE\n\n");
    out.clear();
    append_not_found(out, std::vector<std::string>{"COPY", "/NOSUCH"});
    EXPECT_EQ(out, "  Sorry, no documentation on COPY /NOSUCH \n\n");
    EXPECT_EQ(help_prompt("", {}), "Topic? ");
    EXPECT_EQ(help_prompt("mine", lookup.found[0]), "@mine COPY Subtopic? ");
}

}  // namespace
}  // namespace dcl
