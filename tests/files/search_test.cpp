// The wildcard search over a small directory tree built for each test, and
// the name, directory, type and exclusion matchers.
#include "files/search.h"

#include "files/file_walker.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/signals.h"
#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

// ---- the matchers -------------------------------------------------------------

struct MatchCase {
    const char* pattern;
    const char* text;
    bool match;
};

TEST(MatchName, Rules) {
    const std::string many_a(60, 'a');  // would take a backtracking matcher for ever
    const MatchCase cases[] = {
        {"*", "anything", true},      {"FOO", "foo", true},         {"FOO", "fox", false},
        {"F%O", "fOo", true},         {"F%O", "fo", false},         {"?OO", "foo", true},
        {"*%%", "ab", true},          {"*%%", "a", false},          {"A*%%B", "AXB", false},
        {"A*%%B", "AXYB", true},      {"\"F*\"", "F*", true},       {"\"F*\"", "FX", false},
        {"\"f\"OO", "Foo", false},    {"\"a\"\"b\"", "a\"b", true}, {"FOO", "foo.", true},
        {"", ".", true},              {"", "", true},               {"FOO.", "foo", true},
        {"FOO*", "foo", true},        {"*.*", "a.b", true},         {"%", "/", false},
        {"*a*a*a*a*a*a*a*b", many_a.c_str(), false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(match_name(c.pattern, c.text), c.match) << c.pattern << " ~ " << c.text;
}

TEST(MatchDirectory, RulesAndEllipsis) {
    const MatchCase cases[] = {
        {"/a/b/", "/A/B/", true},        {"/a/*/", "/a/xyz/", true},
        {"/a/*/", "/a/x/y/", false},     {"/a/%/", "/a/x/", true},
        {"/a%b/", "/a/b/", false},       {"/a/./", "/a/", true},
        {"/a/./", "/a/x/y/z/", true},    {"/a/./c/", "/a/c/", true},
        {"/a/./c/", "/a/x/y/c/", true},  {"/a/./c/", "/a/x/y/d/", false},
        {"/b/./", "/a/x/", false},       {"[a]", "<A>", true},
        {"<a.b>", "[a.b]", true},        {"/a/./*/", "/a/q/r/", true},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(match_directory(c.pattern, c.text), c.match) << c.pattern << " ~ " << c.text;
}

TEST(MatchType, UntypedFilesAndDefaults) {
    const MatchCase cases[] = {
        {"", "", true},         {".", "", true},         {".*", "", true},
        {".*", ".", true},      {"", ".c", false},       {".", ".c", false},
        {".C", ".c", true},     {".%", ".c", true},      {".*", ".dir", true},
        {".TXT", "", false},    {".T*", ".txt", true},   {".T*", ".c", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(match_type(c.pattern, c.text), c.match) << c.pattern << " ~ " << c.text;
}

TEST(MatchExclude, DirectoryNameAndType) {
    test::CapturedErrors errors;
    const MatchCase cases[] = {
        {"/d/*.LIS", "/d/x.lis", true},   {"/d/*.LIS", "/e/x.lis", false},
        {"/d/X", "/d/x.c", true},         {"/d/X.", "/d/x", true},
        {"/d/X.", "/d/x.c", false},       {"/d/X.*", "/d/x", true},
        {"/d/./*.C", "/d/e/f/y.c", true}, {"/d/Y*.C", "/d/x.c", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(match_exclude(c.pattern, c.text), c.match) << c.pattern << " ~ " << c.text;
}

// ---- the search -----------------------------------------------------------------

class Search : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* dir : {"Alpha", "apple", "beta", "beta/deep"}) fs::create_directory(dir);
        for (const char* file : {"a.txt", "b.txt", "main.c", "foo", "foo.txt", "foo.c",
                                 "notes.lis", "Alpha/x.c", "Alpha/list.lis", "apple/z.c",
                                 "beta/w.h", "beta/deep/w.c"})
            std::ofstream(file) << "x";
        // A link back up the tree: the ellipsis must not follow it.
        fs::create_directory_symlink("..", "beta/deep/up");
    }

    // The files found, relative to the tree.
    Paths found() {
        Paths paths;
        while (walker_.next()) paths.push_back(relative(walker_.current().path));
        return paths;
    }
    std::string relative(const std::string& path) const {
        return path.starts_with(root_ + "/") ? path.substr(root_.size() + 1) : path;
    }
    uint32_t search(std::string_view specs, const SearchSelection& selection = {}) {
        walker_ = FileWalker(specs, {}, selection, interrupt_requested);
        return walker_.start();
    }
    void set_modified(const char* file, time_t when) {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, file, times, 0), 0) << file;
    }

    test::CapturedErrors errors_;
    test::WorkDirectory work_{"dclsh-search"};
    const std::string& root_ = work_.root();
    FileWalker walker_;
};

TEST_F(Search, PatternsFindTheirFiles) {
    const Paths c_files = {"foo.c", "main.c", "Alpha/x.c", "apple/z.c", "beta/deep/w.c"};
    const std::string unix_pattern = root_ + "/*.txt";
    const struct {
        const char* specs;
        uint32_t status;
        Paths files;
    } cases[] = {
        {"*.TXT;2", cond::VER, {}},
        {"*.TXT", 1, {"a.txt", "b.txt", "foo.txt"}},
        {"*.TXT;*", 1, {"a.txt", "b.txt", "foo.txt"}},
        {"*.TXT;", 1, {"a.txt", "b.txt", "foo.txt"}},
        {"[...]*.C", 1, c_files},
        {"[...]*.LIS,[...]*.C", 1,
         {"foo.c", "main.c", "notes.lis", "Alpha/list.lis", "Alpha/x.c", "apple/z.c", "beta/deep/w.c"}},
        {"[.A*]*.*", 1, {"Alpha/list.lis", "Alpha/x.c", "apple/z.c"}},
        {"FOO", 1, {"foo"}},
        {"FOO.*", 1, {"foo", "foo.c", "foo.txt"}},
        {"*.DIR", 1, {"Alpha", "apple", "beta"}},
        {"[.beta...]*.DIR", 1, {"beta/deep", "beta/deep/up"}},
        {"[.nosuch...]*.C", cond::FNF, {}},
        {"\"foo.c\"", 1, {"foo.c"}},
        {"*.NONE", cond::FNF, {}},
        {unix_pattern.c_str(), 1, {"a.txt", "b.txt", "foo.txt"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search(c.specs), c.status) << c.specs;
        EXPECT_EQ(found(), c.files) << c.specs;
    }
}

TEST_F(Search, EllipsisListsEachDirectoryOnce) {
    ASSERT_EQ(search("[...]*.*"), 1u);
    Paths directories;
    for (const SearchDirectory& d : walker_.tree().directories) directories.push_back(relative(d.path));
    EXPECT_EQ(directories, (Paths{"", "Alpha/", "apple/", "beta/", "beta/deep/"}));
}

TEST_F(Search, ExclusionsApplyInEveryDirectory) {
    SearchSelection selection;
    selection.excludes = {"*.LIS", "[.beta...]*.*"};
    EXPECT_EQ(search("[...]*.LIS,[...]*.C", selection), 1u);
    EXPECT_EQ(found(), (Paths{"foo.c", "main.c", "Alpha/x.c", "apple/z.c"}));
    selection.excludes = {"*.*"};
    EXPECT_EQ(search("*.TXT", selection), 1u);  // files matched, the filter took them all
    EXPECT_EQ(found(), Paths{});
}

TEST_F(Search, BeforeAndSinceAreStrict) {
    const time_t t0 = 1000000000;
    set_modified("a.txt", t0);
    set_modified("b.txt", t0 + 100);
    set_modified("foo.txt", t0 + 200);
    const struct {
        std::optional<int64_t> since, before;
        Paths files;
    } cases[] = {
        {t0 + 50, t0 + 150, {"b.txt"}},
        {t0 + 100, t0 + 200, {}},
        {t0, std::nullopt, {"b.txt", "foo.txt"}},
        {std::nullopt, t0 + 100, {"a.txt"}},
    };
    for (const auto& c : cases) {
        SearchSelection selection;
        selection.time_selector = TIME_MODIFIED;
        if (c.since) selection.since = VmsTime{*c.since, 0};
        if (c.before) selection.before = VmsTime{*c.before, 0};
        EXPECT_EQ(search("*.TXT", selection), 1u);
        EXPECT_EQ(found(), c.files);
    }
}

TEST_F(Search, OwnerFilter) {
    SearchSelection selection;
    const Uic own{static_cast<uint32_t>(getegid()), static_cast<uint32_t>(geteuid())};
    selection.owner = own;
    EXPECT_EQ(search("*.TXT", selection), 1u);
    EXPECT_EQ(found().size(), 3u);
    for (Uic other : {Uic{own.group, own.user ^ 1}, Uic{own.group + 0x10000, own.user},
                      Uic{own.group, own.user + 0x10000}}) {
        selection.owner = other;  // the same 16 low bits are not the same id
        EXPECT_EQ(search("*.TXT", selection), 1u);
        EXPECT_EQ(found(), Paths{});
    }
}

TEST_F(Search, ErrorsAreReportedWhereTheyHappen) {
    EXPECT_EQ(search("A::*.*"), 0u);
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, cond::NONODE);
    EXPECT_EQ(message_queue().entries[0].arg1, "A");
    discard_messages();

    SearchSelection selection;
    selection.time_selector = 7;
    selection.before = VmsTime{0, 0};
    EXPECT_EQ(search("*.TXT", selection), 0u);
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, with_severity(cond::FAULT, SEV_FATAL));
    EXPECT_EQ(message_queue().entries[0].arg1, "bad before mode");
    discard_messages();

    selection = {};
    selection.excludes.assign(20, std::string(500, 'x'));
    EXPECT_EQ(search("*.TXT", selection), cond::BUFOVF);
}

TEST_F(Search, InterruptEndsTheWalk) {
    interrupts().pending = 1;
    EXPECT_EQ(search("[...]*.C"), 0u);
    interrupts().pending = 0;
    EXPECT_EQ(search(" [...]*.C , FOO "), 1u);
    EXPECT_EQ(found(), (Paths{"foo", "foo.c", "main.c", "Alpha/x.c", "apple/z.c", "beta/deep/w.c"}));
}

TEST_F(Search, ResultantSpecIsTheLastPatternTranslated) {
    EXPECT_EQ(search("*.NONE"), cond::FNF);
    std::string expected;
    unix_to_vms(expected, root_ + "/*.NONE");
    EXPECT_EQ(walker_.resultant_spec(), expected);
    EXPECT_EQ(search("*.NONE,*.TXT"), 1u);
    unix_to_vms(expected, root_ + "/*.TXT");
    EXPECT_EQ(walker_.resultant_spec(), expected);
}

TEST_F(Search, NextFoundFileGivesVmsNames) {
    ASSERT_EQ(search("A*.*"), 1u);
    Paths names;
    for (std::string name; walker_.next();) {
        walker_.vms_name(name);
        names.push_back(name);
    }
    std::string alpha, text, apple;
    unix_to_vms(alpha, root_ + "/Alpha");
    unix_to_vms(text, root_ + "/a.txt");
    unix_to_vms(apple, root_ + "/apple");
    ASSERT_TRUE(alpha.ends_with('.') && apple.ends_with('.'));
    alpha.pop_back();
    apple.pop_back();
    EXPECT_EQ(names, (Paths{alpha + ".dir", text, apple + ".dir"}));
    EXPECT_FALSE(walker_.next());
}

TEST_F(Search, DeviceSearchListsAndDefaultDisk) {
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "TWO", "[.apple]", nullptr, 0), 1u);
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "TWO", "[.Alpha]", nullptr, LNM_APPEND), 1u);
    EXPECT_EQ(search("TWO:*.C"), 1u);
    EXPECT_EQ(found(), (Paths{"apple/z.c", "Alpha/x.c"}));

    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "DEF$DISK", "[.beta.deep]", nullptr, 0), 1u);
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "DEF$DISK", "[.Alpha]", nullptr, LNM_APPEND), 1u);
    EXPECT_EQ(search("*.C"), 1u);
    EXPECT_EQ(found(), (Paths{"beta/deep/w.c", "Alpha/x.c"}));
}

}  // namespace
}  // namespace dcl
