// Output that fails to be written is reported: the end of a listing and
// the descriptors a caller left closed.
#include "unix/redirection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "lang/qualifiers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

// The queued values, then emptied.
std::vector<uint32_t> queued() {
    std::vector<uint32_t> values;
    MessageQueue& q = message_queue();
    for (size_t i = 0; i < q.count; ++i) values.push_back(q.entries[i].value);
    discard_messages();
    return values;
}

TEST(FinishListing, AFullDeviceIsReportedOnceAndCleared) {
    test::CapturedErrors errors;
    FILE* full = std::fopen("/dev/full", "we");
    if (!full) GTEST_SKIP() << "no /dev/full";
    std::fputs("listing line\n", full);
    EXPECT_FALSE(finish_listing(full, cond::SHOW_WRITEERR));
    EXPECT_EQ(queued(), (std::vector<uint32_t>{cond::SHOW_WRITEERR, cond::DEVICEFULL}));
    EXPECT_EQ(message_queue().count, 0u);
    // The error was cleared: a stream with nothing more to write is fine.
    EXPECT_TRUE(finish_listing(full, cond::SHOW_WRITEERR));
    EXPECT_TRUE(queued().empty());
    std::fclose(full);
}

TEST(FinishListing, WrittenListingIsQuiet) {
    test::CapturedErrors errors;
    FILE* file = std::tmpfile();
    std::fputs("listing line\n", file);
    EXPECT_TRUE(finish_listing(file, cond::SHOW_WRITEERR));
    EXPECT_TRUE(queued().empty());
    std::fclose(file);
}

// A stream whose descriptor takes no writes (a closed standard output, as
// start-up holds it) fails with the plain write error.
TEST(FinishListing, ADescriptorThatRefusesWrites) {
    test::CapturedErrors errors;
    FILE* out = std::tmpfile();
    int read_only = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(read_only, 0);
    ASSERT_GE(dup2(read_only, fileno(out)), 0);
    close(read_only);
    std::fputs("x\n", out);
    EXPECT_FALSE(finish_listing(out, cond::SHOW_WRITEERR));
    EXPECT_EQ(queued(), (std::vector<uint32_t>{cond::SHOW_WRITEERR, cond::WER}));
    std::fclose(out);
}

// Whatever command wrote its /OUTPUT file, output lost there is reported
// when the command's redirection ends.
TEST(CommandOutput, LostOutputIsReportedWhenTheCommandEnds) {
    test::CapturedErrors errors;
    uint32_t options = 0;
    ASSERT_EQ(redirect_command_output("/OUTPUT=\"/dev/full\"", options, RESULT_VALUE, "show.lis"), 1u);
    ASSERT_TRUE(redirection().cmd_output_redirected);
    std::fputs("listing line\n", redirection().output);
    restore_command_output();
    EXPECT_EQ(redirection().output, stdout);
    EXPECT_EQ(queued(), (std::vector<uint32_t>{with_severity(cond::WRITEERR, SEV_ERROR),
                                               cond::DEVICEFULL}));
}

}  // namespace
}  // namespace dcl
