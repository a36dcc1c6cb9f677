// A $STATUS reported through the symbol pipe: any 32-bit value is taken,
// but never as an order to continue the procedure at a label.
#include <gtest/gtest.h>

#include <string>

#include "status/condition.h"
#include "unix/symbol_pipe.h"

namespace dcl {
namespace {

uint32_t reported(const std::string& text) {
    PipeMessage set;
    set.function = sympipe::SET;
    set.scope = sympipe::SCOPE_GLOBAL;
    set.data = std::string("$status") + '\0' + text + '\0';
    ImageRun run;
    EXPECT_EQ(serve_request(set, run).status, sympipe::REPLY_OK);
    EXPECT_TRUE(run.status_reported);
    return run.image_status;
}

TEST(SymbolPipeStatus, ContinueAtLabelBitIsDroppedInhibitKept) {
    EXPECT_EQ(reported("44"), 44u);
    EXPECT_EQ(reported("4294967295"), ~CONTINUE_AT_LABEL_BIT);  // -1 as an image has it
    EXPECT_EQ(reported("-1"), ~CONTINUE_AT_LABEL_BIT);
    EXPECT_EQ(reported("536870914"), 2u);                        // bit 29 and an error
    EXPECT_EQ(reported("805306372"), INHIBIT_BIT | 4u);          // bits 28 and 29
}

}  // namespace
}  // namespace dcl
