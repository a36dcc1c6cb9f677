// VMS file specifications and Unix paths: parsing, merging, translation
// both ways, logical names as devices and the search for existing files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "support/capture.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

// A fresh interpreter whose current directory is an empty temporary tree
// (with the work directory "u" inside, so "[-]" has somewhere to go).
class FileSpecTree : public ::testing::Test {
protected:
    void SetUp() override {
        old_cwd_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "dclsh-filespec-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = fs::canonical(pattern).string();
        fs::create_directory(root_ + "/u");
        fs::current_path(root_ + "/u");
        cwd_ = root_ + "/u";
    }
    void TearDown() override {
        fs::current_path(old_cwd_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    static void write(const std::string& path, const char* text) { std::ofstream(path) << text; }
    static std::string read(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void define(const char* name, const std::string& value, uint32_t attributes = 0) {
        ASSERT_EQ(lnm_create_name("LNM$PROCESS", name, value, nullptr, attributes) & 1, 1u) << name;
    }

    test::CapturedErrors errors_;
    fs::path old_cwd_;
    std::string root_;
    std::string cwd_;
};

struct Fields {
    std::string node, device, directory, name, type;
    bool operator==(const Fields&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Fields& f) {
    return os << '{' << f.node << '|' << f.device << '|' << f.directory << '|' << f.name << '|'
              << f.type << '}';
}

TEST(FileSpecParse, Fields) {
    test::CapturedErrors errors;
    struct Case {
        const char* spec;
        Fields fields;
    } cases[] = {
        {"NODE::DEV:[A.B]NAME.TYP;3", {"NODE::", "DEV:", "[A.B]", "NAME", ".TYP;3"}},
        {"[A.B]C;3", {"", "", "[A.B]", "C;3", ""}},
        {"X.Y", {"", "", "", "X", ".Y"}},
        {"a.b.c", {"", "", "", "a.b", ".c"}},
        {"DEV:<A>X.", {"", "DEV:", "<A>", "X", "."}},
        {"/usr/lib/x.c", {"", "", "/usr/lib/", "x", ".c"}},
        {"SYS$LOGIN:.login", {"", "SYS$LOGIN:", "", "", ".login"}},
        {"[usr.local.][bin]x", {"", "", "[usr.local.][bin]", "x", ""}},
        {"NODE::", {"NODE::", "", "", "", ""}},
        {"FOO", {"", "", "", "FOO", ""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        VmsSpecParts p;
        parse_vms_spec(p, c.spec);
        EXPECT_EQ((Fields{p.node, p.device, p.directory, p.name, p.type}), c.fields) << c.spec;
    }
    VmsSpecParts p;
    parse_vms_spec(p, "DEV:[A]X", true);
    EXPECT_EQ((Fields{p.node, p.device, p.directory, p.name, p.type}),
              (Fields{"", "", "DEV:[A]", "X", ""}));
}

TEST(FileSpecParse, SplitUnixPath) {
    struct Case {
        const char* path;
        DotfileMode mode;
        const char *directory, *name, *type;
    } cases[] = {
        {"/home/u/x.c", DotfileMode::unix_names, "/home/u/", "x", ".c"},
        {"/home/u/.login", DotfileMode::unix_names, "/home/u/", ".login", ""},
        {"/home/u/.login", DotfileMode::vms_types, "/home/u/", "", ".login"},
        {"a.b/c", DotfileMode::unix_names, "a.b/", "c", ""},
        {"/d/\"x/y.z\"", DotfileMode::unix_names, "/d/", "\"x/y.z\"", ""},
        {"plain", DotfileMode::vms_types, "", "plain", ""},
    };
    for (const Case& c : cases) {
        UnixPathParts p;
        split_unix_path(p, c.path, c.mode);
        EXPECT_EQ(p.directory + "|" + p.name + "|" + p.type,
                  std::string(c.directory) + "|" + c.name + "|" + c.type)
            << c.path;
    }
}

TEST(FileSpecParse, WildcardKindAndDirectorySyntax) {
    struct Kind {
        const char* spec;
        int kind;
    } kinds[] = {{"X.Y", 0},    {"*.C", 1},       {"A%.C", 2},      {"[A...]X", 2},
                 {"/a/./b", 2}, {"\"*%\".C", 0},  {"*.C?", 2},      {"A...B", 0}};
    for (const Kind& k : kinds) EXPECT_EQ(wildcard_kind(k.spec), k.kind) << k.spec;

    struct Syntax {
        const char* spec;
        bool valid;
    } syntax[] = {{"[A...]", true},    {"[A..B]", false}, {"[A....]", false}, {"[a.][b]x", true},
                  {"[a][b]", false},   {"[a.]x[b]", false}, {"A]", false},    {"[A", false},
                  {"X.Y..Z", true},    {"[.A]", true},    {"[-.-]", true},    {"<A.B>", true}};
    for (const Syntax& s : syntax) EXPECT_EQ(check_directory_syntax(s.spec), s.valid) << s.spec;
}

TEST(FileSpecMerge, FieldsFromDefaultThenRelated) {
    test::CapturedErrors errors;
    struct Case {
        const char *spec, *default_spec, *related;
        DotfileMode mode;
        const char* out;
        uint32_t status;
    } cases[] = {
        {"X", ".COM", "", DotfileMode::unix_names, "X.COM", cond::NORMAL},
        {"", "SYS$LOGIN:LOGIN.COM", "", DotfileMode::unix_names, "SYS$LOGIN:LOGIN.COM", cond::NORMAL},
        {".login", "", "", DotfileMode::unix_names, ".login", cond::NORMAL},
        {".login", ".COM", "", DotfileMode::unix_names, ".login.COM", cond::NORMAL},
        {".login", "X.COM", "", DotfileMode::vms_types, "X.login", cond::NORMAL},
        // A default type stays a type: the related name fills the name.
        {"[A]", ".LIS", "Y.TXT", DotfileMode::unix_names, "[A]Y.LIS", cond::NORMAL},
        {"[A]X", "DEV:[B]Y.Z", "", DotfileMode::unix_names, "[A]X.Z", cond::NORMAL},
        {"X.TXT;5", "[A]", "", DotfileMode::unix_names, "[A]X.TXT;5", cond::NORMAL},
        {"/home/u/x", ".c", "", DotfileMode::unix_names, "/home/u/x.c", cond::NORMAL},
        {"/dev/tty", ".c", "", DotfileMode::unix_names, "/dev/tty", cond::NORMAL},
        {"NODE::X", "", "", DotfileMode::unix_names, "X", cond::NOSUCHNODE},
        {"X", "", "N::[A]", DotfileMode::unix_names, "[A]X", cond::NOSUCHNODE},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(merge_file_spec(out, c.spec, c.default_spec, c.related, c.mode), c.status)
            << c.spec;
        EXPECT_EQ(out, c.out) << c.spec << " + " << c.default_spec;
    }
}

TEST_F(FileSpecTree, VmsToUnixTranslations) {
    std::string parent = root_;
    struct Case {
        std::string spec, unix_path;
    } cases[] = {
        {"[A.B]C.D;3", "/A/B/C.D"},       {"[.SUB]X.Y", cwd_ + "/SUB/X.Y"},
        {"[-]X", parent + "/X"},          {"[A.-.B]F", "/B/F"},
        {"[000000]X", "/X"},              {"[A...]X", "/A/X"},
        {"FOO.TXT;2", cwd_ + "/FOO.TXT"}, {"X.", cwd_ + "/X"},
        {"X.DIR", cwd_ + "/X"},           {"X.TXT;5", cwd_ + "/X.TXT"},
        {"%.C", cwd_ + "/?.C"},           {"/usr/Some Path.", "/usr/Some Path."},
        {"[]X  ", cwd_ + "/X"},           {"[usr.local.][bin]cc", "/usr/local/bin/cc"},
        {"[.]X", cwd_ + "/X"},            {"[...]X", cwd_ + "/X"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(vms_to_unix(out, c.spec), cond::NORMAL) << c.spec;
        EXPECT_EQ(out, c.unix_path) << c.spec;
    }
    std::string out;
    EXPECT_EQ(vms_to_unix_core(out, "[A...]X", "", "", DotfileMode::unix_names), cond::NORMAL);
    EXPECT_EQ(out, "/A/./X");
}

TEST_F(FileSpecTree, VmsToUnixConditionsAndLimits) {
    struct Case {
        std::string spec;
        uint32_t status;
        std::string out;
    } cases[] = {
        {"NODE::X", cond::NOSUCHNODE, cwd_ + "/X"},
        {"[A..B]X", cond::RMS_DIR, "[A..B]X"},
        {"[A....]", cond::RMS_DIR, "[A....]"},
        {"[A...]", cond::NORMAL, "/A/"},
        {"NOSUCH:F.TXT", cond::NOLOGNAM, cwd_ + "/F.TXT"},
        {std::string(2000, 'x'), cond::BUFOVF, "untouched"},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        EXPECT_EQ(vms_to_unix(out, c.spec), c.status) << c.spec;
        EXPECT_EQ(out, c.out) << c.spec;
    }
    std::string out;
    EXPECT_EQ(unix_path_to_vms(out, "/" + std::string(1500, 'y')), cond::BUFOVF);
    EXPECT_EQ(unix_path_to_vms(std::string(1500, 'y')), "");
}

TEST_F(FileSpecTree, LowerCaseFoundOnDisk) {
    fs::create_directories("sub/deeper");
    write("sub/file.txt", "x");
    struct Case {
        std::string spec, unix_path;
    } cases[] = {
        {"[.SUB]FILE.TXT", cwd_ + "/sub/file.txt"},
        {"[.SUB.DEEPER]NEW.TXT", cwd_ + "/sub/deeper/NEW.TXT"},
        {"[.SUB]DEEPER.DIR", cwd_ + "/sub/deeper"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(vms_to_unix(out, c.spec), cond::NORMAL) << c.spec;
        EXPECT_EQ(out, c.unix_path) << c.spec;
    }
}

TEST_F(FileSpecTree, DotfileModes) {
    std::string out;
    EXPECT_EQ(current_dotfile_mode(), DotfileMode::unix_names);
    EXPECT_EQ(vms_to_unix_core(out, ".login", ".COM", "", current_dotfile_mode()), cond::NORMAL);
    EXPECT_EQ(out, cwd_ + "/.login.COM");
    cli_options().vms_dotfiles = true;
    EXPECT_EQ(current_dotfile_mode(), DotfileMode::vms_types);
    EXPECT_EQ(vms_to_unix_core(out, ".login", "X.COM", "", current_dotfile_mode()), cond::NORMAL);
    EXPECT_EQ(out, cwd_ + "/X.login");
    // The single-file translation reads dotfiles the Unix way regardless.
    EXPECT_EQ(vms_to_unix(out, ".login"), cond::NORMAL);
    EXPECT_EQ(out, cwd_ + "/.login");
}

TEST(UnixToVms, PathsWithoutDevices) {
    test::CapturedErrors errors;
    struct Case {
        const char *path, *vms;
    } cases[] = {
        {"/home/u/x.c", "[home.u]x.c"}, {"/x", "[000000]x."},    {"sub/x", "[.sub]x."},
        {"x.c", "x.c"},                 {"/a/../b/f", "[a.-.b]f."}, {"/a.b/f", "[a_b]f."},
        {"/a/./b/", "[a...b]"},         {"/dev/null", "[dev]null."}, {"/home/ann/", "[home.ann]"},
        {"x", "x."},                    {"//x", "[000000]x."},    {"/a b/c d", "[ab]cd."},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(unix_to_vms(out, c.path), cond::NORMAL) << c.path;
        EXPECT_EQ(out, c.vms) << c.path;
        EXPECT_EQ(unix_path_to_vms(c.path), c.vms) << c.path;
    }
}

TEST_F(FileSpecTree, RelativeUnixPathTakesTheCurrentDirectory) {
    EXPECT_EQ(unix_path_to_vms("./x"), unix_path_to_vms(cwd_ + "/x"));
}

TEST_F(FileSpecTree, LogicalNamesAsDevicesAndSpecifications) {
    define("SYS$LOGIN", root_ + "/home/");
    define("NL", "[dev]null.");
    define("MYFILE", "[A]B.C");
    define("ROOTED", "[usr.local.]");
    define("LOOP", "LOOP2");
    define("LOOP2", "LOOP");
    struct Case {
        const char* spec;
        uint32_t status;
        std::string out;
    } cases[] = {
        {"SYS$LOGIN:F", cond::NORMAL, root_ + "/home/F"},
        {"SYS$LOGIN:[.SUB]F", cond::NORMAL, root_ + "/home/SUB/F"},
        {"sys$login", cond::NORMAL, root_ + "/home/"},
        {"NL", cond::NORMAL, "/dev/null"},
        {"NL:", cond::NORMAL, "/dev/null"},
        {"MYFILE", cond::NORMAL, "/A/B.C"},
        {"ROOTED:[bin]cc", cond::NORMAL, "/usr/local/bin/cc"},
        {"LOOP:X", cond::TOOMANYLNAM, "untouched"},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        EXPECT_EQ(vms_to_unix(out, c.spec), c.status) << c.spec;
        EXPECT_EQ(out, c.out) << c.spec;
    }
}

TEST_F(FileSpecTree, UnixToVmsWithDiskDevices) {
    define("TQ_DISK_DEVICES", "DKA0:");
    define("DKA0", "[home.]");
    struct Case {
        const char *path, *vms;
    } cases[] = {
        {"/home/u/x.c", "DKA0:[u]x.c"},
        {"/home/x", "DKA0:[000000]x."},
        {"/homestead/x", "[homestead]x."},
        {"/usr/x", "[usr]x."},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(unix_to_vms(out, c.path), cond::NORMAL) << c.path;
        EXPECT_EQ(out, c.vms) << c.path;
    }
    // A new definition is read again at the next conversion.
    define("TQ_DISK_DEVICES", "DKB1");
    define("DKB1", "[usr.]");
    std::string out;
    unix_to_vms(out, "/usr/x");
    EXPECT_EQ(out, "DKB1:[000000]x.");
}

TEST_F(FileSpecTree, FindFileWithoutRegardToCase) {
    fs::create_directory("Sub");
    write("foo.com", "plain");
    write("login.com", "login");
    write("Sub/Data.Txt", "data");
    write("plain", "not a directory");
    struct Case {
        const char *spec, *default_spec, *hint;
        uint32_t status;
        std::string out;
    } cases[] = {
        {"FOO.COM", "", "", cond::NORMAL, cwd_ + "/foo.com"},
        {"LOGIN", ".COM", "", cond::NORMAL, cwd_ + "/login.com"},
        {"LOGIN", "", ".com", cond::NORMAL, cwd_ + "/login.com"},
        {"", "FOO.COM", "", cond::NORMAL, cwd_ + "/foo.com"},
        {"[.SUB]DATA.TXT", "", "", cond::NORMAL, cwd_ + "/Sub/Data.Txt"},
        {"SUB.DIR", "", "", cond::NORMAL, cwd_ + "/Sub"},
        {"NOSUCH.COM", "", "", cond::FNF, "untouched"},
        {"NOSUCH:X.COM", "", "", cond::NOLOGNAM, "untouched"},
        {"[.PLAIN]X", "", "", cond::DNF, "untouched"},
        {"", "", "", cond::FNF, "untouched"},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        EXPECT_EQ(find_file(out, c.spec, c.default_spec, "", c.hint), c.status) << c.spec;
        EXPECT_EQ(out, c.out) << c.spec;
    }
}

TEST_F(FileSpecTree, FindFileRestoresTheNewestBackup) {
    write("foo.com.~2~", "two");
    write("foo.com.~3~", "three");
    std::string out;
    ASSERT_EQ(find_file(out, "FOO.COM", "", "", ""), cond::NORMAL);
    EXPECT_EQ(out, cwd_ + "/foo.com");
    EXPECT_EQ(read("foo.com"), "three");
    EXPECT_FALSE(fs::exists("foo.com.~3~"));
    EXPECT_TRUE(fs::exists("foo.com.~2~"));
}

TEST_F(FileSpecTree, FindFileThroughSearchList) {
    fs::create_directories(root_ + "/one");
    fs::create_directories(root_ + "/two");
    write(root_ + "/two/x.com", "x");
    define("DIRS", root_ + "/one/");
    define("DIRS", root_ + "/two/", LNM_APPEND);
    define("ALIAS", "DIRS");
    std::string out;
    EXPECT_EQ(find_file(out, "DIRS:X.COM", "", "", ""), cond::NORMAL);
    EXPECT_EQ(out, root_ + "/two/x.com");
    out.clear();
    EXPECT_EQ(find_file(out, "ALIAS:X", ".COM", "", ""), cond::NORMAL);
    EXPECT_EQ(out, root_ + "/two/x.com");
    EXPECT_EQ(find_file(out, "DIRS:NONE.COM", "", "", ""), cond::FNF);
    define("SELF", "SELF");
    EXPECT_EQ(find_file(out, "SELF:X", "", "", ""), cond::TOOMANYLNAM);
}

TEST(FileSpecNormalize, CollapsesSlashesAndParents) {
    struct Case {
        const char *path, *normal;
        bool map_percent;
    } cases[] = {
        {"/a//b///c", "/a/b/c", false},     {"/home/u/../X", "/home/X", false},
        {"/a/b/../../c", "/c", false},      {"/../x", "/../x", false},
        {"/a/../../b", "/b", false},        {"a/../b", "b", false},
        {"../x", "../x", false},            {"a/../../b", "../b", false},
        {"/%x\"%/\"/%", "/?x\"%/\"/?", true}, {"//x", "/x", false},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        normalize_unix_path(path, c.map_percent);
        EXPECT_EQ(path, c.normal) << c.path;
    }
}

}  // namespace
}  // namespace dcl
