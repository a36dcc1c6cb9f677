// F$GETSYI and F$USER.
#include "lang/lexical_system.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "core/state_reset.h"
#include "files/protection.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {
namespace {

class Getsyi : public ::testing::Test {
protected:
    void SetUp() override {
        reset_process_state();
        push_procedure_level("");
    }
    void TearDown() override { reset_process_state(); }

    // Runs the function with one argument text, as the dispatcher would.
    uint32_t run(LexicalFunction function, std::string_view argument) {
        LexicalCall call{result, type};
        if (!argument.empty()) {
            call.arguments[0] = argument;
            call.count = 1;
        }
        return function(call);
    }

    std::string result;
    ValueType type = VALUE_STRING;
};

TEST_F(Getsyi, Items) {
    session().node_name = "ZEPHYR";
    struct Case {
        const char* argument;
        ValueType type;
        std::string value;
    } cases[] = {
        {"\"VERSION\"", VALUE_STRING, "V1.91"},
        {"\"node_swvers\"", VALUE_STRING, "V1.91"},
        {"\"HW_NAME\"", VALUE_STRING, "Tessel CLI"},
        {"\" node name \"", VALUE_STRING, "ZEPHYR"},
        {"\"ARCH_TYPE\"", VALUE_INTEGER, "88"},
        {"\"PAGE_SIZE\"", VALUE_INTEGER, std::to_string(sysconf(_SC_PAGESIZE))},
        {"\"SCS_EXISTS\"", VALUE_STRING, "FALSE"},
        {"\"G_FLOAT_EMULATED\"", VALUE_STRING, "TRUE"},
        {"\"ACTIVECPU_CNT\"", VALUE_STRING, "UNKNOWN"},  // first of the table
        {"\"VP_NUMBER\"", VALUE_STRING, "UNKNOWN"},      // last of the table
    };
    for (const Case& c : cases) {
        ASSERT_EQ(run(lexical_getsyi, c.argument), 1u) << c.argument;
        EXPECT_EQ(std::pair(type, result), std::pair(c.type, c.value)) << c.argument;
    }
}

TEST_F(Getsyi, SystemIdIsStable) {
    ASSERT_EQ(run(lexical_getsyi, "\"SID\""), 1u);
    std::string first = result;
    EXPECT_EQ(type, VALUE_INTEGER);
    EXPECT_GE(std::stoll(first), 0);
    ASSERT_EQ(run(lexical_getsyi, "\"SID\""), 1u);
    EXPECT_EQ(result, first);
}

TEST_F(Getsyi, UnknownItems) {
    // Exact names only: an abbreviation is unknown too.
    const std::pair<const char*, const char*> cases[] = {
        {"\"vers\"", "VERS"}, {"\"NO_SUCH_ITEM\"", "NO_SUCH_ITEM"}, {"\"\"", ""}};
    for (auto [argument, reported] : cases) {
        EXPECT_EQ(run(lexical_getsyi, argument), 0u) << argument;
        ASSERT_EQ(message_queue().count, 1u) << argument;
        EXPECT_EQ(message_queue().entries[0].value, cond::IVKEYW);
        EXPECT_EQ(message_queue().entries[0].arg1, reported);
        discard_messages();
    }
    EXPECT_EQ(run(lexical_getsyi, ""), cond::INSFARG);
}

TEST_F(Getsyi, UserIsTheEffectiveUic) {
    ASSERT_EQ(run(lexical_user, ""), 1u);
    EXPECT_EQ(type, VALUE_STRING);
    if (geteuid() == 0 && getegid() == 0)
        EXPECT_EQ(result, "[root,root]");
    else
        EXPECT_EQ(result, format_uic(getegid(), geteuid(), result.size()));
}

}  // namespace
}  // namespace dcl
