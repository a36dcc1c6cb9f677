// The help library reader: its index, its entries below a key, its texts,
// the matching of topic words, and libraries that are not right.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/help_library.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {
namespace {

const char* const kLibrary =
    "!<arch>\n"
    "1 TYPE\n"
    " Shows files.\n"
    "/PAGE\n"
    " A screen at a time.\n"
    "2 Example\n"
    " $ TYPE X.LIS\n"
    "/NOT_MINE\n"
    "1 COPY   \n"
    " Copies files.\n"
    "/CONFIRM\n"
    "/LOG\n"
    " Says what was copied.\n"
    "1 copy_more\n"
    "1 DIRECTORY\n";

std::vector<std::string> names(const std::vector<HelpKey>& keys) {
    std::vector<std::string> out;
    for (const HelpKey& k : keys) out.push_back(k.name);
    return out;
}

TEST(HelpLibrary, IndexesTopicsAndWhatIsBelowThem) {
    HelpLibrary library;
    ASSERT_EQ(library.load_text(kLibrary), 1u);
    EXPECT_EQ(names(library.topics()), (std::vector<std::string>{"COPY", "copy_more", "DIRECTORY", "TYPE"}));
    const HelpKey& type = library.topics()[3];
    // The qualifier after the subtopic belongs to the subtopic, not to TYPE.
    EXPECT_EQ(names(library.below(type)), (std::vector<std::string>{"/PAGE", "Example"}));
    std::vector<std::string_view> text = library.text(type);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0], " Shows files.");
    HelpKey example = library.below(type)[1];
    EXPECT_EQ(names(library.below(example)), std::vector<std::string>{"/NOT_MINE"});
    EXPECT_TRUE(library.below(type)[0].qualifier());
    // A qualifier entry has nothing below it: the next "/" line is its sibling.
    EXPECT_TRUE(library.below(library.below(library.topics()[0])[0]).empty());
}

TEST(HelpLibrary, RefusesWhatIsNoLibrary) {
    HelpLibrary library;
    EXPECT_EQ(library.load_text("1 TYPE\n"), with_severity(cond::ILLFMT, SEV_ERROR));
    EXPECT_EQ(library.load_text(""), with_severity(cond::ILLFMT, SEV_ERROR));
    EXPECT_EQ(library.load_text(std::string("\x7f" "ELF\0\1\2", 7)), with_severity(cond::ILLFMT, SEV_ERROR));
    EXPECT_EQ(library.load_text("!<arch>\n1 A\n1 B\n1 a\n"), cond::HELP_ILLFMT);
    EXPECT_EQ(library.problem(), "a");
    EXPECT_TRUE(library.topics().empty());
    EXPECT_LT(library.load("/nonexistent/help.hlb"), 0);
}

TEST(HelpLibrary, LongLinesStayWholeAndTruncatedFilesRead) {
    // A piece of a long line that happened to begin "1 " would be a topic.
    std::string long_line = " " + std::string(300, 'x') + "1 FALSE";
    HelpLibrary library;
    ASSERT_EQ(library.load_text("!<arch>\n1 A\n" + long_line + "\n1 B\n no newline at the end"), 1u);
    EXPECT_EQ(names(library.topics()), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(library.text(library.topics()[0])[0].size(), long_line.size());
    EXPECT_EQ(library.text(library.topics()[1])[0], " no newline at the end");
}

TEST(HelpLibrary, TopicWordsMatch) {
    struct Case {
        const char* pattern;
        const char* key;
        bool matches;
    } const cases[] = {
        {"DIR", "DIRECTORY", true}, {"dir", "DIRECTORY", true}, {"DIRECTORYX", "DIRECTORY", false},
        {"D*", "DIRECTORY", true},  {"*TORY", "DIRECTORY", true}, {"D%R*", "DIRECTORY", true},
        {"D%X*", "DIRECTORY", false}, {"/", "/LOG", false},     {"/L", "/LOG", true},
        {"", "X", false},            {"*", "", true},            {"%", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(match_help_key(c.pattern, c.key), c.matches) << c.pattern << " " << c.key;
}

}  // namespace
}  // namespace dcl
