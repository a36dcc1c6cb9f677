// The logical-name store: definitions, limits, search lists, the user-mode
// overlay, table listings and the command-level privilege rule.
#include "names/logical_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "names/lnm_internal.h"
#include "status/condition.h"
#include "support/capture.h"
#include "support/scoped_env.h"

namespace dcl {
namespace {

using test::CapturedErrors;
using test::ScopedEnv;

constexpr std::string_view kProcessDir = "LNM$PROCESS_DIRECTORY";
constexpr std::string_view kSystemDir = "LNM$SYSTEM_DIRECTORY";

// "value@table" of a translation, or the status number when it failed.
std::string translate(std::string_view table, std::string_view name, uint32_t index = 0,
                      uint32_t attributes = 0) {
    std::string value, where;
    uint32_t status = lnm_translate(table, name, &value, &where, attributes, index, nullptr);
    if (status != cond::NORMAL) return std::to_string(status);
    return value + "@" + where;
}

std::string job_table() {
    char name[32];
    std::snprintf(name, sizeof name, "LNM$JOB_%05d", static_cast<int>(getpid()));
    return name;
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class LogicalNames : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lnm_testXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A table of its own in the process directory.
    void make_table(std::string_view name, uint32_t quota = 0) {
        ASSERT_EQ(lnm_create_table(kProcessDir, name, nullptr, 0, quota, 0), cond::CREATED);
    }
    std::string file(std::string_view leaf) const { return (dir_ / leaf).string(); }

    CapturedErrors errors_;
    std::filesystem::path dir_;
};

TEST_F(LogicalNames, StartUpDefinesTheStandardNames) {
    EXPECT_EQ(translate(kSystemDir, "LNM$FILE_DEV", 0), "LNM$PROCESS@LNM$SYSTEM_DIRECTORY");
    EXPECT_EQ(translate(kSystemDir, "LNM$FILE_DEV", 1), "LNM$JOB@LNM$SYSTEM_DIRECTORY");
    EXPECT_EQ(translate(kSystemDir, "LNM$FILE_DEV", 2), "444");
    EXPECT_EQ(translate(kProcessDir, "LNM$JOB"), job_table() + "@LNM$PROCESS_DIRECTORY");
    EXPECT_EQ(translate("LNM$PROCESS", "NL"), "[dev]null.@LNM$PROCESS_TABLE");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty() && home.back() != '/') home += '/';
    if (!home.empty()) {
        EXPECT_EQ(translate("LNM$JOB", "SYS$LOGIN"), home + "@" + job_table());
    }
    // initc_log again keeps the tables that exist.
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "MINE", "kept", nullptr, 0), cond::NORMAL);
    initc_log();
    EXPECT_EQ(translate("LNM$PROCESS", "MINE"), "kept@LNM$PROCESS_TABLE");
}

TEST_F(LogicalNames, RedefiningSupersedesAndAppendingAddsIndexes) {
    std::string where;
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "FOO", "one", &where, 0), cond::NORMAL);
    EXPECT_EQ(where, "LNM$PROCESS_TABLE");
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "FOO", "two", nullptr, LNM_APPEND), cond::NORMAL);
    EXPECT_EQ(translate("LNM$PROCESS", "FOO", 1), "two@LNM$PROCESS_TABLE");
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "FOO", "new", &where, 0), cond::SS_SUPERSEDE);
    EXPECT_EQ(where, "LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "FOO"), "new@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "FOO", 1), "444");  // all old values went

    // NO_ALIAS refuses a replacement and keeps the old value.
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "KEEP", "old", nullptr, LNM_NO_ALIAS), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "KEEP", "x", &where, 0), cond::DUPLNAM);
    EXPECT_EQ(where, "");
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "KEEP", "x", nullptr, LNM_APPEND), cond::DUPLNAM);
    EXPECT_EQ(translate("LNM$PROCESS", "KEEP"), "old@LNM$PROCESS_TABLE");

    // An empty value is a value; attributes come back with the exists bit.
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "EMPTY", "", nullptr, LNM_CONCEALED), cond::NORMAL);
    uint32_t attributes = 0;
    std::string value = "x";
    EXPECT_EQ(lnm_translate("LNM$PROCESS", "EMPTY", &value, nullptr, 0, 0, &attributes),
              cond::NORMAL);
    EXPECT_EQ(value, "");
    EXPECT_EQ(attributes, LNM_CONCEALED | LNM_EXISTS);
}

TEST_F(LogicalNames, A129thValueIsRefusedAndChangesNothing) {
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "LIST", "v0", nullptr, 0), cond::NORMAL);
    for (int i = 1; i <= 127; ++i)
        ASSERT_EQ(lnm_create_name("LNM$PROCESS", "LIST", "v" + std::to_string(i), nullptr,
                                  LNM_APPEND),
                  cond::NORMAL);
    EXPECT_EQ(lnm_create_name("LNM$PROCESS", "LIST", "extra", nullptr, LNM_APPEND),
              cond::EXLNMQUOTA);
    EXPECT_EQ(translate("LNM$PROCESS", "LIST", 127), "v127@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "LIST", 0), "v0@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "LIST", 128), std::to_string(cond::BADPARAM));
}

TEST_F(LogicalNames, AFullTableRefusesNewNamesButStillReplacesOldOnes) {
    make_table("FULL");
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(lnm_create_name("FULL", "N" + std::to_string(i), "v", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("FULL", "N256", "v", nullptr, 0), cond::EXLNMQUOTA);
    EXPECT_EQ(lnm_create_name("FULL", "N0", "more", nullptr, LNM_APPEND), cond::EXLNMQUOTA);
    EXPECT_EQ(translate("FULL", "N256"), "444");
    EXPECT_EQ(translate("FULL", "N0", 1), "444");
    EXPECT_EQ(translate("FULL", "N255"), "v@FULL");
    // The old value's slot makes room for its replacement.
    EXPECT_EQ(lnm_create_name("FULL", "N7", "replaced", nullptr, 0), cond::SS_SUPERSEDE);
    EXPECT_EQ(translate("FULL", "N7"), "replaced@FULL");

    // A quota gives quota/16 slots; one below 16 gives none.
    make_table("SMALL", 32);
    EXPECT_EQ(lnm_create_name("SMALL", "A", "1", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("SMALL", "B", "2", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("SMALL", "C", "3", nullptr, 0), cond::EXLNMQUOTA);
    make_table("NONE", 8);
    EXPECT_EQ(lnm_create_name("NONE", "A", "1", nullptr, 0), cond::EXLNMQUOTA);
    EXPECT_EQ(lnm_create_table(kProcessDir, "HUGE", nullptr, 0, 0xFFFFFFF0u, 0), cond::INSFMEM);
}

TEST_F(LogicalNames, AFullDirectoryRefusesNewEntries) {
    int stored = 0;
    uint32_t status = cond::NORMAL;
    for (int i = 0; i < 200 && status == cond::NORMAL; ++i) {
        status = lnm_create_name(kProcessDir, "D" + std::to_string(i), "v", nullptr, 0);
        if (status == cond::NORMAL) ++stored;
    }
    EXPECT_EQ(status, cond::NOSLOT);
    EXPECT_GT(stored, 100);
    EXPECT_EQ(lnm_create_table(kProcessDir, "ONE_MORE", nullptr, 0, 0, 0), cond::NOSLOT);
    EXPECT_EQ(lnm_create_name(kProcessDir, "D0", "again", nullptr, LNM_APPEND), cond::NOSLOT);
    // Replacing a directory name reuses its own entry.
    EXPECT_EQ(lnm_create_name(kProcessDir, "D0", "again", nullptr, 0), cond::SS_SUPERSEDE);
    EXPECT_EQ(translate(kProcessDir, "D0"), "again@LNM$PROCESS_DIRECTORY");
}

TEST_F(LogicalNames, LengthLimits) {
    const std::string name255(255, 'N'), name256(256, 'N');
    const std::string table31(31, 'T'), table32(32, 'T');
    struct Case {
        const char* what;
        uint32_t status;
        uint32_t expected;
    } cases[] = {
        {"255-character name", lnm_create_name("LNM$PROCESS", name255, "v", nullptr, 0), cond::NORMAL},
        {"256-character name", lnm_create_name("LNM$PROCESS", name256, "v", nullptr, 0), cond::IVLOGNAM},
        {"empty name", lnm_create_name("LNM$PROCESS", "", "v", nullptr, 0), cond::IVLOGNAM},
        {"255-character value", lnm_create_name("LNM$PROCESS", "V", name255, nullptr, 0), cond::NORMAL},
        {"256-character value", lnm_create_name("LNM$PROCESS", "V", name256, nullptr, 0), cond::IVLOGNAM},
        {"31-character table", lnm_create_name(table31, "X", "v", nullptr, 0), cond::NOLOGTAB},
        {"32-character table", lnm_create_name(table32, "X", "v", nullptr, 0), cond::IVLOGNAM},
        {"translate in 32", lnm_translate(table32, "X", nullptr, nullptr, 0, 0, nullptr), cond::IVLOGNAM},
        {"translate 256", lnm_translate("LNM$PROCESS", name256, nullptr, nullptr, 0, 0, nullptr), cond::IVLOGNAM},
        {"delete in 32", lnm_delete_name(table32, "X"), cond::IVLOGTAB},
        {"delete 256", lnm_delete_name("LNM$PROCESS", name256), cond::IVLOGNAM},
        {"new table of 32", lnm_create_table(kProcessDir, table32, nullptr, 0, 0, 0), cond::IVLOGTAB},
        {"parent of 32", lnm_create_table(table32, "T", nullptr, 0, 0, 0), cond::IVLOGNAM},
        {"long directory name", lnm_create_name(kProcessDir, table32, "v", nullptr, 0), cond::IVLOGNAM},
    };
    for (const Case& c : cases) EXPECT_EQ(c.status, c.expected) << c.what;
    EXPECT_EQ(translate("LNM$PROCESS", name255), "v@LNM$PROCESS_TABLE");
}

TEST_F(LogicalNames, TrailingColons) {
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "DISK", "[dir]", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(translate("LNM$PROCESS", "DISK:"), "[dir]@LNM$PROCESS_TABLE");
    EXPECT_EQ(trnlnm_qv("LNM$PROCESS", "DISK::", nullptr, nullptr, 0, 0, nullptr), cond::NOLOGNAM);
    EXPECT_EQ(translate("LNM$PROCESS", "DISK::"), "[dir]@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", ":"), std::to_string(cond::IVLOGNAM));
}

TEST_F(LogicalNames, FileDevSearchesProcessThenJob) {
    ASSERT_EQ(lnm_create_name("LNM$JOB", "BOTH", "job", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "BOTH", "process", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("LNM$JOB", "JOBONLY", "j", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(translate("LNM$FILE_DEV", "BOTH"), "process@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$FILE_DEV", "JOBONLY"), "j@" + job_table());
    EXPECT_EQ(translate("LNM$FILE_DEV", "NOWHERE"), "444");
    EXPECT_EQ(translate("NO_SUCH_TABLE", "BOTH"), "8852");

    // Deleting through the search list removes the name from every table.
    EXPECT_EQ(lnm_delete_name("LNM$FILE_DEV", "BOTH"), cond::NORMAL);
    EXPECT_EQ(translate("LNM$FILE_DEV", "BOTH"), "444");
    EXPECT_EQ(lnm_delete_name("LNM$FILE_DEV", "BOTH"), cond::NOLOGNAM);
    EXPECT_EQ(lnm_delete_name("NO_SUCH_TABLE", "BOTH"), cond::NOLOGTAB);
    // Without a name the tables are emptied but kept.
    EXPECT_EQ(lnm_delete_name("LNM$JOB", ""), cond::NORMAL);
    EXPECT_EQ(translate("LNM$JOB", "JOBONLY"), "444");
    EXPECT_EQ(lnm_create_name("LNM$JOB", "AGAIN", "a", nullptr, 0), cond::NORMAL);
}

TEST_F(LogicalNames, UserModeNamesHideOthersOnlyThroughTheProcessSearchLists) {
    ASSERT_EQ(lnm_create_table(kProcessDir, "LNM$USERMODE", nullptr, LNM_CREATE_IF, 0,
                               kStandardTableProtection),
              cond::CREATED);
    ASSERT_EQ(lnm_create_name(kProcessDir, "LNM$DCL_LOGICAL", "LNM$FILE_DEV", nullptr, 0),
              cond::NORMAL);
    initc_log();  // notices the user-mode table
    ASSERT_TRUE(logical_name_store().usermode_switch);
    ASSERT_EQ(lnm_create_name("LNM$USERMODE", "X", "user", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "X", "process", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("LNM$JOB", "X", "job", nullptr, 0), cond::NORMAL);
    for (const char* table : {"LNM$PROCESS", "lnm$file_dev", "LNM$DCL_LOGICAL"})
        EXPECT_EQ(translate(table, "X"), "user@LNM$USERMODE") << table;
    EXPECT_EQ(translate("LNM$PROCESS_TABLE", "X"), "process@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$JOB", "X"), "job@" + job_table());
    logical_name_store().usermode_switch = false;
    EXPECT_EQ(translate("LNM$PROCESS", "X"), "process@LNM$PROCESS_TABLE");
}

TEST_F(LogicalNames, CaseMattersUnlessTranslationIsCaseBlind) {
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "abc", "lower", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "ABC", "upper", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(translate("LNM$PROCESS", "abc"), "lower@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "ABC"), "upper@LNM$PROCESS_TABLE");
    EXPECT_EQ(translate("LNM$PROCESS", "Abc"), "444");
    // Of names that differ only in case, the one defined first is found.
    EXPECT_EQ(translate("LNM$PROCESS", "Abc", 0, LNM_CASE_BLIND), "lower@LNM$PROCESS_TABLE");
    // Table names resolve without regard to case.
    EXPECT_EQ(translate("lnm$process", "ABC"), "upper@LNM$PROCESS_TABLE");
    EXPECT_EQ(lnm_delete_name("LNM$PROCESS", "abc"), cond::NORMAL);
    EXPECT_EQ(translate("LNM$PROCESS", "ABC"), "upper@LNM$PROCESS_TABLE");
}

TEST_F(LogicalNames, TablesInDirectories) {
    // A table's own name translates to "" with the table bit.
    uint32_t attributes = 0;
    std::string value = "x", where;
    EXPECT_EQ(lnm_translate(kProcessDir, "LNM$PROCESS_TABLE", &value, &where, 0, 0, &attributes),
              cond::NORMAL);
    EXPECT_EQ(value, "");
    EXPECT_EQ(where, "LNM$PROCESS_DIRECTORY");
    EXPECT_TRUE(attributes & LNM_TABLE);

    // Unnamed tables are numbered in lower-case hexadecimal.
    std::string created;
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(lnm_create_table(kProcessDir, "", &created, 0, 0, 0), cond::CREATED);
    EXPECT_EQ(created, "LNM$0009");
    EXPECT_EQ(lnm_create_table(kProcessDir, "", &created, 0, 0, 0), cond::CREATED);
    EXPECT_EQ(created, "LNM$000a");

    // Create-if keeps a table; without it the table is emptied.
    make_table("T");
    ASSERT_EQ(lnm_create_name("T", "A", "1", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(lnm_create_table(kProcessDir, "T", &created, LNM_CREATE_IF, 0, 0), cond::NORMAL);
    EXPECT_EQ(created, "");
    EXPECT_EQ(translate("T", "A"), "1@T");
    EXPECT_EQ(lnm_create_table("T", "T", nullptr, 0, 0, 0), cond::SS_SUPERSEDE);  // parent: T's directory
    EXPECT_EQ(translate("T", "A"), "444");
    EXPECT_EQ(lnm_create_table(kProcessDir, "LOCKED", nullptr, LNM_NO_ALIAS, 0, 0), cond::CREATED);
    EXPECT_EQ(lnm_create_table(kProcessDir, "LOCKED", nullptr, 0, 0, 0), cond::DUPLNAM);
    EXPECT_EQ(lnm_create_table("NO_PARENT", "X", nullptr, 0, 0, 0), cond::NOLOGTAB);

    // Deleting a table's name in its directory deletes the table.
    EXPECT_EQ(lnm_delete_name(kProcessDir, "T"), cond::NORMAL);
    EXPECT_EQ(translate("T", "A"), "8852");
    EXPECT_EQ(lnm_delete_name(kProcessDir, "T"), cond::NOLOGNAM);
}

TEST_F(LogicalNames, DirectoryNamesAsAliasesAndSearchLists) {
    make_table("T1");
    make_table("T2");
    ASSERT_EQ(lnm_create_name(kProcessDir, "BOTH", "T1", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name(kProcessDir, "BOTH", "T2", nullptr, LNM_APPEND), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T2", "X", "two", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(translate("BOTH", "X"), "two@T2");
    // New names go into the first table of the list.
    EXPECT_EQ(lnm_create_name("BOTH", "X", "one", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(translate("BOTH", "X"), "one@T1");

    // A TERMINAL directory name is not followed.
    ASSERT_EQ(lnm_create_name(kProcessDir, "STOP", "T1", nullptr, LNM_TERMINAL), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("STOP", "Y", "y", nullptr, 0), cond::NOLOGTAB);
    EXPECT_EQ(translate("STOP", "X"), "8852");
    // A directory name that leads nowhere is no table.
    ASSERT_EQ(lnm_create_name(kProcessDir, "DANGLING", "NOWHERE", nullptr, 0), cond::NORMAL);
    EXPECT_EQ(lnm_create_name("DANGLING", "Y", "y", nullptr, 0), cond::NOLOGTAB);
}

TEST_F(LogicalNames, SelfReferencingDirectoryNamesEnd) {
    ASSERT_EQ(lnm_create_name(kProcessDir, "LOOP", "LOOP", nullptr, 0), cond::NORMAL);
    // Many values fanning out into themselves: the work stays bounded.
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(lnm_create_name(kProcessDir, "LOOP", "LOOP", nullptr, LNM_APPEND), cond::NORMAL);
    ASSERT_EQ(lnm_create_name(kProcessDir, "PING", "PONG", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name(kProcessDir, "PONG", "PING", nullptr, 0), cond::NORMAL);
    for (const char* table : {"LOOP", "PING"}) {
        EXPECT_EQ(translate(table, "X"), "444") << table;
        EXPECT_EQ(lnm_create_name(table, "X", "v", nullptr, 0), cond::NOLOGTAB) << table;
        EXPECT_EQ(lnm_delete_name(table, "X"), cond::NOLOGTAB) << table;
        EXPECT_EQ(prtlnt_qv(table, file("out.lis"), LISTING_STYLE_SHOW), cond::NOLOGTAB) << table;
    }
}

TEST_F(LogicalNames, ListingStyleOne) {
    make_table("T");
    ASSERT_EQ(lnm_create_name("T", "ZED", "z", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T", "ALPHA", "a0", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T", "ALPHA", "a1", nullptr, LNM_APPEND), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T", "ALPHA", "a2", nullptr, LNM_APPEND), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T", "beta", "b", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name("T", "HIDDEN", "h", nullptr, LNM_CONFINE), cond::NORMAL);
    make_table("U");
    ASSERT_EQ(lnm_create_name("U", "ONE", "1", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name(kProcessDir, "LIST", "T", nullptr, 0), cond::NORMAL);
    ASSERT_EQ(lnm_create_name(kProcessDir, "LIST", "U", nullptr, LNM_APPEND), cond::NORMAL);
    // The output name is a logical name for the file.
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", "OUT", file("list.lis"), nullptr, 0), cond::NORMAL);

    EXPECT_EQ(prtlnt_qv("LIST", "OUT", LISTING_STYLE_SHOW), cond::NORMAL);
    EXPECT_EQ(read_file(file("list.lis")),
              "(T)\n\n"
              "  \"ALPHA\" = \"a0\"\n"
              "        = \"a1\"\n"
              "        = \"a2\"\n"
              "  \"beta\" = \"b\"\n"
              "  \"ZED\" = \"z\"\n"
              "\n"
              "(U)\n\n"
              "  \"ONE\" = \"1\"\n"
              "\n");

    EXPECT_EQ(prtlnt_qv(kSystemDir, file("dir.lis"), LISTING_STYLE_SHOW), cond::NORMAL);
    EXPECT_EQ(read_file(file("dir.lis")), "(LNM$SYSTEM_DIRECTORY)\n\n"
                                          "  \"LNM$FILE_DEV\" = \"LNM$PROCESS\"\n"
                                          "        = \"LNM$JOB\"\n"
                                          "  \"" + job_table() + "\" [table] = \"\"\n"
                                          "\n");
    EXPECT_EQ(errors_.take(), "");
}

TEST_F(LogicalNames, ListingFailures) {
    EXPECT_EQ(prtlnt_qv("NO_TABLE", file("none.lis"), LISTING_STYLE_SHOW), cond::NOLOGTAB);
    EXPECT_TRUE(std::filesystem::exists(file("none.lis")));
    EXPECT_EQ(prtlnt_qv("LNM$PROCESS", file("missing/x.lis"), LISTING_STYLE_SHOW), cond::BADPARAM);
    EXPECT_EQ(errors_.take(), "QVLIB: error 2 in prtlnt\nfopen of file " + file("missing/x.lis") +
                                  ": No such file or directory\n");
    EXPECT_EQ(prtlnt_qv("LNM$PROCESS", std::string(256, 'f'), LISTING_STYLE_SHOW), cond::IVLOGNAM);
    // A name that translates to itself does not keep the listing going.
    const std::string self = file("self.lis");
    ASSERT_EQ(lnm_create_name("LNM$PROCESS", self, self, nullptr, 0), cond::NORMAL);
    EXPECT_EQ(prtlnt_qv("LNM$PROCESS", self, LISTING_STYLE_SHOW), cond::NORMAL);
    EXPECT_TRUE(std::filesystem::exists(self));
}

// Drops the effective user id for a scope when the tests run as root.
class UnprivilegedScope {
public:
    UnprivilegedScope() : was_root_(geteuid() == 0) {
        if (was_root_) dropped_ = seteuid(65534) == 0;
    }
    ~UnprivilegedScope() {
        if (dropped_) (void)!seteuid(0);
    }
    bool unprivileged() const { return geteuid() != 0; }

private:
    bool was_root_;
    bool dropped_ = false;
};

TEST_F(LogicalNames, SystemTableNeedsPrivilege) {
    ScopedEnv no_fake("DCL_FAKE_SYSPRV", nullptr);
    {
        UnprivilegedScope scope;
        if (scope.unprivileged()) {
            EXPECT_EQ(lnm_create_name("LNM$SYSTEM", "X", "v", nullptr, 0), cond::NOPRIV);
            EXPECT_EQ(lnm_create_name("lnm$system_table", "X", "v", nullptr, 0), cond::NOPRIV);
            EXPECT_EQ(lnm_delete_name("LNM$SYSTEM", "X"), cond::NOPRIV);
            ScopedEnv fake("DCL_FAKE_SYSPRV", "");
            EXPECT_EQ(lnm_create_name("LNM$SYSTEM", "X", "v", nullptr, 0), cond::NOLOGTAB);
            EXPECT_EQ(lnm_delete_name("LNM$SYSTEM", "X"), cond::NOLOGTAB);
        }
    }
    if (geteuid() == 0) {
        EXPECT_EQ(lnm_create_name("LNM$SYSTEM", "X", "v", nullptr, 0), cond::NOLOGTAB);
        EXPECT_EQ(lnm_delete_name("LNM$SYSTEM_TABLE", "X"), cond::NOLOGTAB);
    }
}

TEST_F(LogicalNames, DiskDeviceListAndUnknownRequests) {
    logical_name_store().disk_devices_stale = false;
    EXPECT_EQ(lnm_create_name("LNM$JOB", "tq_disk_devices", "DKA0", nullptr, 0), cond::NORMAL);
    EXPECT_TRUE(logical_name_store().disk_devices_stale);

    lnm::RequestHeader unknown;
    unknown.code = 99;
    EXPECT_EQ(lnm::dispatch(unknown), cond::LNM_BADREQUEST);
}

}  // namespace
}  // namespace dcl
