// RECALL/ALL written to an output that takes nothing is a failure.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/verbs.h"
#include "lang/tokens.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"
#include "tty/recall.h"

namespace dcl {
namespace {

TEST(RecallOutput, AListingToAFullDeviceIsReported) {
    test::CapturedErrors errors;
    FILE* full = std::fopen("/dev/full", "we");
    if (!full) GTEST_SKIP() << "no /dev/full";
    add_recall("WRITE SYS$OUTPUT 1");
    TokenList tokens;
    tokens.add(TOKEN_VERB, "RECALL");
    tokens.add(TOKEN_QUALIFIER, "/ALL");
    run_command_row(*command_row(verb::RECALL), tokens, 0, 0, {full, full});
    MessageQueue& q = message_queue();
    ASSERT_EQ(q.count, 2u);
    EXPECT_EQ(q.entries[0].value, cond::DCL_WRITEERR);
    EXPECT_EQ(q.entries[0].arg1, "SYS$OUTPUT");
    EXPECT_EQ(q.entries[1].value, cond::DEVICEFULL);
    discard_messages();
    std::fclose(full);
}

}  // namespace
}  // namespace dcl
