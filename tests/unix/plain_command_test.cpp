// Which command lines run without a shell, and the PATH search for them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "unix/plain_command.h"

namespace dcl {
namespace {

TEST(PlainCommand, WordsOnlyWhenTheShellWouldDoNothingElse) {
    struct Case {
        const char* line;
        std::vector<std::string_view> words;  // empty: the shell is needed
    };
    const Case cases[] = {
        {"ls", {"ls"}},
        {"  /bin/true \t", {"/bin/true"}},
        {"cp -p a.txt dir/b,1:2+x@y%z", {"cp", "-p", "a.txt", "dir/b,1:2+x@y%z"}},
        {"dd if=a of=b", {"dd", "if=a", "of=b"}},
        {"", {}},
        {"   ", {}},
        {"X=1 env", {}},           // an assignment
        {"echo hi", {}},           // built into the shells
        {"time ls", {}},           // a reserved word
        {"cd /tmp", {}},
        {"ls *.c", {}},            // expansion, quoting, operators...
        {"ls ~", {}},
        {"echo $HOME", {}},
        {"ls 'a b'", {}},
        {"ls a\\ b", {}},
        {"ls > out", {}},
        {"ls | wc", {}},
        {"ls; ls", {}},
        {"ls &", {}},
        {"ls {a,b}", {}},
        {"ls #x", {}},
        {"ls a^b", {}},
        {"ls caf\xc3\xa9", {}},  // left to the shell's locale
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> words;
        bool plain = plain_command_words(c.line, words);
        EXPECT_EQ(plain, !c.words.empty()) << c.line;
        if (plain) {
            EXPECT_EQ(words, c.words) << c.line;
        }
    }
}

TEST(PlainCommand, SimpleRedirectionsOfTheStandardStreams) {
    using R = PlainRedirection;
    struct Case {
        const char* line;
        std::vector<std::string_view> words;  // empty: the shell is needed
        std::vector<std::string> redirections;  // "kind stream target"
    };
    auto text = [](const R& r) {
        const char* kinds[] = {"read", "write", "append", "same_as"};
        return std::string(kinds[r.kind]) + " " + std::to_string(r.stream) + " " + std::string(r.target);
    };
    const Case cases[] = {
        {"ls >out", {"ls"}, {"write 1 out"}},
        {"ls > out -l", {"ls", "-l"}, {"write 1 out"}},
        {"sort <in >>log", {"sort"}, {"read 0 in", "append 1 log"}},
        {"make 2>err.txt", {"make"}, {"write 2 err.txt"}},
        {"make >all.log 2>&1", {"make"}, {"write 1 all.log", "same_as 2 1"}},
        {"cmd 2>&1 >/dev/null", {"cmd"}, {"same_as 2 1", "write 1 /dev/null"}},
        {"cmd >&2", {"cmd"}, {"same_as 1 2"}},
        {"ls >", {}, {}},            // no file
        {"ls >$HOME/x", {}, {}},     // expansion in the file
        {"ls 3>x", {}, {}},          // other descriptors
        {"ls >&3", {}, {}},
        {"ls 0>&1", {}, {}},
        {"ls >|x", {}, {}},          // noclobber override
        {"cat <<END", {}, {}},       // here-document
        {"ls a>b", {}, {}},          // a word glued to the operator
        {">out", {}, {}},            // no program
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> words;
        std::vector<R> redirections;
        bool plain = plain_command_words(c.line, words, &redirections);
        EXPECT_EQ(plain, !c.words.empty()) << c.line;
        if (!plain) continue;
        EXPECT_EQ(words, c.words) << c.line;
        std::vector<std::string> got;
        for (const R& r : redirections) got.push_back(text(r));
        EXPECT_EQ(got, c.redirections) << c.line;
    }
}

TEST(PlainCommand, FindsTheFirstExecutableRegularFileAlongThePath) {
    char dir_template[] = "/tmp/dcl-plain-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    std::string dir = dir_template;
    ASSERT_EQ(mkdir((dir + "/a").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/b").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/a/prog").c_str(), 0700), 0);  // a directory: skipped
    int fd = open((dir + "/b/prog").c_str(), O_CREAT | O_WRONLY, 0600);  // not executable
    close(fd);
    fd = open((dir + "/a/tool").c_str(), O_CREAT | O_WRONLY, 0700);
    close(fd);
    std::string path = dir + "/a:" + dir + "/b";
    EXPECT_EQ(find_program("tool", path), dir + "/a/tool");
    EXPECT_EQ(find_program("prog", path), "");
    EXPECT_EQ(find_program("none", path), "");
    ASSERT_EQ(chmod((dir + "/b/prog").c_str(), 0700), 0);
    EXPECT_EQ(find_program("prog", path), dir + "/b/prog");
    for (const char* name : {"/a/tool", "/b/prog"}) unlink((dir + name).c_str());
    for (const char* name : {"/a/prog", "/a", "/b", ""}) rmdir((dir + name).c_str());
}

}  // namespace
}  // namespace dcl
