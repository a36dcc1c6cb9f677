// Protection codes on Unix modes, rights letters, and UICs both ways.
#include "files/protection.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "core/state_reset.h"
#include "lang/keywords.h"
#include "lang/qualifiers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {
namespace {

constexpr uint32_t kNoSuchId = with_severity(cond::NOSUCHID, SEV_SEVERE);
constexpr uint32_t kUnusedId = 3999999;  // no user or group has it

class ProtectionTest : public ::testing::Test {
protected:
    void SetUp() override { reset_process_state(); }
    void TearDown() override { reset_process_state(); }
};

TEST_F(ProtectionTest, QualifierValueToMode) {
    struct Case {
        const char* token;
        int current;  // the code the value is merged with
        mode_t mode;
    } cases[] = {
        {"/PROTECTION=(O:RWE,G:RE,W)", 644, 0750},
        {"/PROTECTION=(G:R)", 755, 0745},  // 848: owner and world keep theirs
        {"/PROTECTION=(S:RWED)", 640, 0640},
        {"/PROTECTION=W:R", 700, 0704},
        {"/PROTECTION", 751, 0751},
        {"/PROTECTION=(O,G,W)", 777, 0},
    };
    for (const Case& c : cases) {
        int code = 0;
        ASSERT_TRUE(parse_protection(code, c.token)) << c.token;
        EXPECT_EQ(protection_to_mode(merge_protection(code, c.current)), c.mode) << c.token;
    }
}

TEST_F(ProtectionTest, RightsLetters) {
    const char* expected[] = {"", "E", "WD", "WED", "R", "RE", "RWD", "RWED"};
    for (int triple = 0; triple < 8; ++triple) EXPECT_EQ(rights_text(triple), expected[triple]);
    std::string owner = "x", group = "x", world = "x";
    mode_rights(owner, group, world, 0750);
    EXPECT_EQ((std::array{owner, group, world}), (std::array<std::string, 3>{"RWED", "RE", ""}));
}

TEST_F(ProtectionTest, DevicePathsAreLeftAlone) {
    // chmod of a missing file would fail; a /dev/ path is not even tried.
    EXPECT_EQ(set_file_mode("/dev/dclsh-no-such-device", 0), 0);
    EXPECT_NE(set_file_mode("/nonexistent-dclsh-dir/file", 0644), 0);
}

TEST_F(ProtectionTest, UicParsing) {
    struct Case {
        const char* text;
        uint32_t status;
        uint32_t group, user;
    } cases[] = {
        {"[100,200]", 1, 100, 200},
        {"[ROOT,ROOT]", 1, 0, 0},
        {"[,root]", 1, 0, 0},  // empty group: the member's own
        {"[0,ROOT]", 1, 0, 0},
        {"root", 1, 0, 0},
        {"[dclsh-no-group,root]", kNoSuchId, 9, 9},
        {"[,dclsh-no-user]", kNoSuchId, 9, 9},
        {"[,3999999]", kNoSuchId, 9, 9},  // a bare id has no own group
        {"dclsh-no-user", kNoSuchId, 9, 9},
        {"[100,200", cond::IVUIC, 9, 9},
        {"100,200", cond::IVUIC, 9, 9},
        {"[100]", cond::IVUIC, 9, 9},
        {"[100,]", cond::IVUIC, 9, 9},
        {"[1,2,3]", cond::IVUIC, 9, 9},
        {"[99999999999,1]", kNoSuchId, 9, 9},  // too large for an id: read as a name
        {"", cond::IVUIC, 9, 9},
    };
    for (const Case& c : cases) {
        uint32_t group = 9, user = 9;
        EXPECT_EQ(parse_uic(group, user, c.text), c.status) << c.text;
        EXPECT_EQ(std::pair(group, user), std::pair(c.group, c.user)) << c.text;
    }
}

TEST_F(ProtectionTest, UicFormatting) {
    struct Case {
        size_t width;
        const char* shown;
    } cases[] = {
        {14, "[root,root]   "}, {11, "[root,root]"}, {10, "[roo,root]"}, {8, "[r,root]"},
        {7, "[,root]"},         {6, "[,roo]"},       {4, "[,r]"},        {3, "[,]"},
        {2, "[,"},              {0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(format_uic(0, 0, c.width), c.shown) << c.width;
    EXPECT_EQ(format_uic(kUnusedId, kUnusedId + 1, 20), "[3999999,4000000]   ");
}

TEST_F(ProtectionTest, QualifierUic) {
    uint32_t options = 0;
    Uic code;
    EXPECT_TRUE(qualifier_uic(code, options, "/BY_OWNER=[100,200]", 2, RESULT_VALUE));
    EXPECT_EQ(options, 2u);
    EXPECT_EQ(code, (Uic{100, 200}));
    EXPECT_TRUE(qualifier_uic(code, options, "/BY_OWNER=[70000,200]", 2, RESULT_VALUE));
    EXPECT_EQ(code, (Uic{70000, 200}));  // all of the id, not its 16 low bits
    EXPECT_TRUE(qualifier_uic(code, options, "/BY_OWNER", 2, 0));
    EXPECT_EQ(code, (Uic{static_cast<uint32_t>(getegid()), static_cast<uint32_t>(geteuid())}));
    EXPECT_FALSE(qualifier_uic(code, options, "/BY_OWNER=\"[dclsh-no-group,root]\"", 2, RESULT_VALUE));
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, kNoSuchId);
    EXPECT_EQ(message_queue().entries[0].arg1, "[dclsh-no-group,root]");
    EXPECT_TRUE(qualifier_uic(code, options, "/NOBY_OWNER", 2, RESULT_NEGATED));
    EXPECT_EQ(options, 0u);
}

}  // namespace
}  // namespace dcl
