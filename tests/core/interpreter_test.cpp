// The interpreter's reset: unit tests start from a fresh interpreter, so
// nothing one test leaves behind may reach the next.
#include "core/interpreter.h"

#include <gtest/gtest.h>

#include "core/state_reset.h"
#include "status/condition.h"
#include "status/interrupts.h"

namespace dcl {
namespace {

TEST(InterpreterReset, LeavesNoLevelOrSymbolBehind) {
    reset_process_state();
    ASSERT_EQ(push_procedure_level(""), 1u);
    ASSERT_EQ(push_procedure_level("INNER"), 1u);
    ASSERT_EQ(set_symbol("OUTER_LOCAL", "1", SYM_LOCAL | SYM_STRING), 1u);
    ASSERT_EQ(set_symbol("SOME_GLOBAL", "2", SYM_GLOBAL | SYM_STRING), 1u);
    reset_process_state();
    EXPECT_EQ(procedure_depth(), -1);
    EXPECT_EQ(current_local_table(), nullptr);
    std::string value;
    uint32_t type = 0;
    EXPECT_EQ(get_symbol("SOME_GLOBAL", value, type), cond::UNDSYM);
    // A level pushed afresh has a table of its own that lookups reach.
    ASSERT_EQ(push_procedure_level(""), 1u);
    EXPECT_EQ(get_symbol("OUTER_LOCAL", value, type), cond::UNDSYM);
    ASSERT_EQ(set_symbol("FRESH", "3", SYM_LOCAL | SYM_STRING), 1u);
    EXPECT_EQ(get_symbol("FRESH", value, type), 1u);
    EXPECT_EQ(value, "3");
    reset_process_state();
}

// The lower layers reach the upper ones through what the interpreter wires
// into their state: a reset must not cut them off.
TEST(InterpreterReset, KeepsTheLayersConnected) {
    reset_process_state();
    std::string scratch, null_device;
    EXPECT_EQ(lnm_translate("LNM$FILE_DEV", "SYS$SCRATCH", &scratch, nullptr, 0, 0, nullptr), 1u);
    EXPECT_FALSE(scratch.empty());
    EXPECT_EQ(lnm_translate("LNM$FILE_DEV", "NL", &null_device, nullptr, 0, 0, nullptr), 1u);
    EXPECT_EQ(null_device.find('/'), std::string::npos) << null_device;  // VMS form
    ASSERT_EQ(push_procedure_level(""), 1u);
    EXPECT_EQ(current_frame().streams.base[STREAM_OUTPUT], stdout);
    reset_process_state();
}

TEST(InterpreterReset, ClearsPendingInterrupts) {
    interrupts().pending = 1;
    interrupts().deferred = 1;
    reset_process_state();
    EXPECT_FALSE(interrupt_requested());
    interrupts().pending = 1;
    EXPECT_TRUE(interrupt_requested());
    reset_process_state();
}

}  // namespace
}  // namespace dcl
