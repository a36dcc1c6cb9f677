// FileWalker over a small tree built for each test: walkers side by side,
// output names completed from the inputs, the interrupt check and the
// confirmation and log hooks.
#include "files/file_walker.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/filespec.h"
#include "status/condition.h"
#include "support/capture.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

class Walker : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* dir : {"BAK", "sub", "sub/deep"}) fs::create_directory(dir);
        for (const char* file : {"a.txt", "b.txt", "c.txt", "main.c", "foo", ".login",
                                 "sub/x.c", "sub/deep/y.c"})
            std::ofstream(file) << "x";
    }

    std::string relative(const std::string& path) const {
        return path.starts_with(root_ + "/") ? path.substr(root_.size() + 1) : path;
    }
    // Everything the walker has left, relative to the tree.
    Paths rest(FileWalker& walker) const {
        Paths paths;
        while (walker.next()) paths.push_back(relative(walker.current().path));
        return paths;
    }

    test::CapturedErrors errors_;
    test::WorkDirectory work_{"dclsh-walker"};
    const std::string& root_ = work_.root();
};

TEST_F(Walker, WalkersSideBySideStayIndependent) {
    const Paths text = {"a.txt", "b.txt", "c.txt"};
    const Paths c_files = {"main.c", "sub/x.c", "sub/deep/y.c"};
    const struct {
        const char* first;
        const char* second;
        Paths first_files, second_files;
    } cases[] = {
        {"*.TXT", "[...]*.C", text, c_files},
        {"[...]*.C", "[...]*.C", c_files, c_files},
        {"*.TXT", "*.NONE", text, {}},
        {"[.sub]*.C,*.TXT", "[.sub...]*.C", {"sub/x.c", "a.txt", "b.txt", "c.txt"},
         {"sub/x.c", "sub/deep/y.c"}},
    };
    for (const auto& c : cases) {
        FileWalker first(c.first), second(c.second);
        Paths got_first, got_second;
        // In turns, the second started only after the first has begun.
        bool more_first = true, more_second = true;
        while (more_first || more_second) {
            if (more_first && (more_first = first.next()))
                got_first.push_back(relative(first.current().path));
            if (more_second && (more_second = second.next()))
                got_second.push_back(relative(second.current().path));
        }
        EXPECT_EQ(got_first, c.first_files) << c.first;
        EXPECT_EQ(got_second, c.second_files) << c.second;
    }
}

TEST_F(Walker, OutputNamesAreCompletedFromTheInput) {
    const struct {
        const char* output;
        const char* default_spec;
        const char* input;
        uint32_t status;
        const char* expected;  // relative to the tree
        bool single_file;
    } cases[] = {
        {"[.BAK]*.OLD", "", "main.c", 1, "BAK/main.OLD", false},
        {"[.BAK]*.OLD;*", "", "main.c", 1, "BAK/main.OLD", false},
        {"[.BAK]*.OLD;3", "", "main.c", 1, "BAK/main.OLD", false},
        {"[.BAK]", "", "main.c", 1, "BAK/main.c", false},
        {"*.OLD", "[.BAK]", "main.c", 1, "BAK/main.OLD", false},
        {"[.sub]*.OLD", "[.BAK]", "main.c", 1, "sub/main.OLD", false},
        {"X.*", "", "a.txt", 1, "X.txt", false},
        {"X.*", "", "foo", 1, "X", false},
        {"X", "", "a.txt", 1, "X.txt", false},
        {"*.*", "", "a.txt", 1, "a.txt", false},
        {"*", "", ".login", 1, ".login", false},
        {"*.OLD", "", ".login", 1, ".login.OLD", false},
        {"Y.C", "", "a.txt", 1, "Y.C", true},
        {"Y.", "", "a.txt", 1, "Y", true},
        {"Y.DIR", "", "a.txt", 1, "Y", true},
        {"NL:", "", "a.txt", 1, "/dev/null", false},
        {"A*.C", "", "a.txt", cond::FNM, "", false},
        {"*.C*", "", "a.txt", cond::FNM, "", false},
        {"%.C", "", "a.txt", cond::FNM, "", false},
        {"[.B*]*.*", "", "a.txt", cond::FNM, "", false},
        {"[...]*.*", "", "a.txt", cond::FNM, "", false},
    };
    for (const auto& c : cases) {
        OutputNames names;
        ASSERT_EQ(names.prepare(c.output, c.default_spec, DotfileMode::unix_names), c.status)
            << c.output;
        if (c.status != 1) continue;
        std::string out;
        names.complete(out, c.input);
        EXPECT_EQ(relative(out), c.expected) << c.output << " <- " << c.input;
        EXPECT_EQ(names.single_file(), c.single_file) << c.output;
    }
}

TEST_F(Walker, EachFileComesWithItsOutputPath) {
    FileWalker walker("[...]*.C");
    ASSERT_EQ(walker.set_output("[.BAK]*.OLD"), 1u);
    Paths outputs;
    while (walker.next()) outputs.push_back(relative(walker.output_path()));
    EXPECT_EQ(outputs, (Paths{"BAK/main.OLD", "BAK/x.OLD", "BAK/y.OLD"}));
}

TEST_F(Walker, InterruptCheckEndsTheWalk) {
    const struct {
        int stop_after;  // files taken before the check says stop; -1: at once
        Paths files;
        uint32_t start_status;
    } cases[] = {
        {-1, {}, 0},
        {0, {}, 1},
        {2, {"a.txt", "b.txt"}, 1},
    };
    for (const auto& c : cases) {
        bool stop = c.stop_after < 0;
        FileWalker walker("*.TXT", {}, {}, [&stop] { return stop; });
        EXPECT_EQ(walker.start(), c.start_status) << c.stop_after;
        Paths got;
        for (int taken = 0;; ++taken) {
            if (taken == c.stop_after) stop = true;
            if (!walker.next()) break;
            got.push_back(relative(walker.current().path));
        }
        EXPECT_EQ(got, c.files) << c.stop_after;
        EXPECT_TRUE(walker.interrupted()) << c.stop_after;
        EXPECT_EQ(walker.status(), 0u) << c.stop_after;
    }
}

TEST_F(Walker, ConfirmAndLogHooks) {
    using A = WalkAnswer;
    const struct {
        std::vector<WalkAnswer> answers;  // for a.txt, b.txt, c.txt in turn
        int fail_on;                      // the action fails on this file (-1: never)
        Paths done, logged;
        uint32_t status;
    } cases[] = {
        {{A::take, A::take, A::take}, -1, {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, 1},
        {{A::skip, A::take, A::skip}, -1, {"b.txt"}, {"b.txt"}, 1},
        {{A::take, A::quit, A::take}, -1, {"a.txt"}, {"a.txt"}, 1},
        {{A::skip, A::abort, A::take}, -1, {}, {}, 0},
        {{A::take, A::take, A::take}, 1, {"a.txt", "b.txt"}, {"a.txt"}, cond::FNF},
    };
    for (const auto& c : cases) {
        FileWalker walker("*.TXT");
        ASSERT_EQ(walker.set_output("X.*"), 1u);
        Paths asked, done, logged;
        walker.set_confirm([&](const FoundFile& file, const std::string& output) {
            asked.push_back(relative(output));
            return c.answers[asked.size() - 1];
        });
        walker.set_log([&](const FoundFile& file, const std::string&) {
            logged.push_back(relative(file.path));
        });
        uint32_t status = walker.walk([&](const FoundFile& file, const std::string&) {
            done.push_back(relative(file.path));
            return static_cast<int>(done.size()) - 1 == c.fail_on ? cond::FNF : 1u;
        });
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(walker.taken(), c.done.size());
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked[0], "X.txt");  // the hook sees the output name
    }
}

TEST_F(Walker, WalkReportsWhatTheSearchFound) {
    int calls = 0;
    auto count = [&calls](const FoundFile&, const std::string&) {
        ++calls;
        return 1u;
    };
    EXPECT_EQ(FileWalker("*.NONE").walk(count), cond::FNF);
    EXPECT_EQ(FileWalker("*.TXT;2").walk(count), cond::VER);
    SearchSelection none;
    none.excludes = {"*.*"};
    FileWalker excluded("*.TXT", {}, none);
    EXPECT_EQ(excluded.walk(count), 1u);  // matched, then all excluded
    EXPECT_EQ(excluded.taken(), 0u);
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace dcl
