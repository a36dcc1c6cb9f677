// The message queue and the built-in message format.
#include "status/messages.h"

#include <gtest/gtest.h>

#include "core/command_state.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "support/capture.h"

namespace dcl {
namespace {

using test::CapturedErrors;

TEST(MessageQueue, NineErrorsShowSevenThenOverflow) {
    CapturedErrors errors;
    for (int i = 0; i < 9; ++i) signal_condition(cond::NOTAVAIL);
    EXPECT_EQ(message_queue().count, 8u);
    show_messages();
    std::string expected = "%SYSTEM-W-NOTAVAIL, option not available in Tessel version\n";
    for (int i = 0; i < 6; ++i)
        expected += "-SYSTEM-W-NOTAVAIL, option not available in Tessel version\n";
    expected += "-DCL-W-ERROVF, too many errors - error output truncated\n";
    EXPECT_EQ(errors.take(), expected);
    EXPECT_EQ(message_queue().status, cond::NOTAVAIL);
    EXPECT_EQ(message_queue().count, 0u);
}

TEST(MessageQueue, FatalConditionStillFindsRoomInFullQueue) {
    CapturedErrors errors;
    for (int i = 0; i < 8; ++i) signal_condition(cond::NOTAVAIL);
    signal_condition(with_severity(cond::GOTSIG, SEV_FATAL), "11");
    ASSERT_EQ(message_queue().count, 9u);
    EXPECT_EQ(message_queue().entries[6].value, cond::ERROVF);
    EXPECT_EQ(message_queue().entries[7].arg1, "11");
    signal_condition(with_severity(cond::GOTSIG, SEV_FATAL), "12");
    EXPECT_EQ(message_queue().count, 9u);  // nothing more is taken
}

TEST(MessageQueue, SuccessValuesAreNotQueued) {
    CapturedErrors errors;
    signal_condition(0);
    signal_condition(1);
    EXPECT_FALSE(error_queued());
    show_messages();
    EXPECT_EQ(message_queue().status, 1u);
    EXPECT_EQ(errors.take(), "");
}

TEST(MessageQueue, InhibitedConditionSetsStatusSilently) {
    CapturedErrors errors;
    signal_condition(cond::NOTAVAIL | INHIBIT_BIT);
    show_messages();
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(message_queue().status, cond::NOTAVAIL | INHIBIT_BIT);
}

TEST(MessageQueue, EmptyQueueAfterIfKeepsStatus) {
    CapturedErrors errors;
    message_queue().status = cond::NOTAVAIL;
    message_queue().verb = verb::IF;
    show_messages();
    EXPECT_EQ(message_queue().status, cond::NOTAVAIL);
    message_queue().verb = verb::SHOW;
    show_messages();
    EXPECT_EQ(message_queue().status, 1u);
}

TEST(MessageQueue, SuccessMessagesAfterExitAreNotShown) {
    CapturedErrors errors;
    message_queue().verb = verb::EXIT;
    signal_condition(with_severity(cond::NOTAVAIL, SEV_INFO));
    show_messages();
    EXPECT_EQ(errors.take(), "");
}

struct FormatCase {
    const char* name;
    QueuedCondition entry;
    DisplayOptions display;
    const char* expected;
};

TEST(MessageFormat, BuiltinTableLayouts) {
    const DisplayOptions all;
    const FormatCase cases[] = {
        {"all parts", {cond::NOTAVAIL, "", ""}, all,
         "%SYSTEM-W-NOTAVAIL, option not available in Tessel version\n"},
        {"argument on a second line", {FATAL_FAULT, "cannot get user name", ""}, all,
         "%DCL-L-FAULT, internal CLI fault - contact Quorvane\n /cannot get user name/\n"},
        {"empty argument of a one-%s text", {cond::UNIXERR, "", ""}, all,
         "%SYSTEM-W-UNIXERR, command generated Unix error code !AS\n"},
        {"two arguments", {cond::MOUNTED, "DKA0:", "/mnt"}, all,
         "%SYSTEM-W-MOUNTED, DKA0: mounted on /mnt\n"},
        {"text off", {cond::NOTAVAIL, "", ""}, {true, true, true, false},
         "%SYSTEM-W-NOTAVAIL\n"},
        {"identification off", {cond::NOTAVAIL, "", ""}, {true, true, false, true},
         "%SYSTEM-W, option not available in Tessel version\n"},
        {"only the text: bare, without the percent sign", {cond::NOTAVAIL, "", ""},
         {false, false, false, true}, "option not available in Tessel version\n"},
        {"facility off", {cond::NOTAVAIL, "", ""}, {false, true, true, true},
         "%W-NOTAVAIL, option not available in Tessel version\n"},
        {"severity off", {cond::NOTAVAIL, "", ""}, {true, false, true, true},
         "%SYSTEM-NOTAVAIL, option not available in Tessel version\n"},
        {"facility and text", {cond::NOTAVAIL, "", ""}, {true, false, false, true},
         "%SYSTEM, option not available in Tessel version\n"},
        {"identification alone", {cond::NOTAVAIL, "", ""}, {false, false, true, false},
         "%NOTAVAIL\n"},
        {"text off drops the argument line", {FATAL_FAULT, "why", ""}, {true, true, true, false},
         "%DCL-L-FAULT\n"},
        {"argument line kept with the text alone", {FATAL_FAULT, "why", ""},
         {false, false, false, true}, "internal CLI fault - contact Quorvane\n /why/\n"},
        {"nothing", {cond::NOTAVAIL, "", ""}, {false, false, false, false}, ""},
        {"severity letter of a success", {cond::NOTAVAIL | 1, "", ""}, all,
         "%SYSTEM-S-NOTAVAIL, option not available in Tessel version\n"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(format_condition(c.entry, c.display), c.expected) << c.name;
}

// The display options as SET MESSAGE leaves them apply to the whole queue
// and to immediate messages; $STATUS is set whatever is shown.
TEST(MessageFormat, DisplayOptionsApplyToEveryMessageShown) {
    CapturedErrors errors;
    DisplayOptions& display = message_queue().display;
    display = {false, false, false, true};
    signal_condition(cond::NOTAVAIL);
    signal_condition(cond::NOSUCHUSER, "kim");
    show_messages();
    EXPECT_EQ(errors.take(),
              "option not available in Tessel version\nno processes found for user kim\n");
    put_message(cond::NOTAVAIL, "NOTAVAIL", "immediate");
    EXPECT_EQ(errors.take(), "immediate\n");

    display = {false, true, true, true};
    signal_condition(cond::NOTAVAIL);
    signal_condition(cond::NOTAVAIL);
    show_messages();
    EXPECT_EQ(errors.take(),
              "%W-NOTAVAIL, option not available in Tessel version\n"
              "-W-NOTAVAIL, option not available in Tessel version\n");
    put_message(cond::NOTAVAIL | 1, "DONE", "immediate");
    EXPECT_EQ(errors.take(), "%S-DONE, immediate\n");

    display = {false, false, false, false};
    signal_condition(cond::NOTAVAIL);
    show_messages();
    put_message(cond::NOTAVAIL, "NOTAVAIL", "immediate");
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(message_queue().status, cond::NOTAVAIL);
}

TEST(MessageFormat, DirectiveArgumentsAndFallbacks) {
    struct Case {
        const char* text;
        QueuedCondition entry;
        const char* expected;
    } cases[] = {
        {"error opening !AS as input", {0x31098, "X.COM", ""}, "error opening X.COM as input"},
        {"error opening !AS as input", {0x31098, "", ""}, "error opening !AS as input"},
        {"!UL byte record too large", {0x181B8, "", ""}, "0 byte record too large"},
        {"value !XL, length !UL", {0x181B8, "", ""}, "value        0, length 98744"},
        {"width !XW and !XB", {0x12, "", ""}, "width    0 and 12"},
        {"trailing list !AD", {0x12, "", ""}, "trailing list "},
        {"unknown !ZZ stays", {0x12, "", ""}, "unknown !ZZ stays"},
        {"third !UL !UL !UL", {0x12, "a", "b"}, "third a b 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(expand_directives(c.text, c.entry), c.expected) << c.text;
}

TEST(MessageRouting, RedirectedOutputGetsEverySuccessOnlyOnce) {
    CapturedErrors errors;
    FILE* out = std::tmpfile();
    redirection().output = out;
    write_message("%X-S-DONE, done\n", SEV_SUCCESS);
    write_message("%X-E-FAIL, failed\n", SEV_ERROR);
    EXPECT_EQ(test::read_all(out), "%X-S-DONE, done\n%X-E-FAIL, failed\n");
    EXPECT_EQ(errors.take(), "%X-E-FAIL, failed\n");
    // A command's own /OUTPUT or /NOOUTPUT keeps messages off the file.
    redirection().cmd_output_redirected = true;
    write_message("%X-S-DONE, done\n", SEV_SUCCESS);
    EXPECT_EQ(errors.take(), "%X-S-DONE, done\n");
    redirection().cmd_output_redirected = false;
    redirection().no_output = true;
    write_message("%X-W-ODD, odd\n", SEV_WARNING);
    EXPECT_EQ(errors.take(), "%X-W-ODD, odd\n");
    EXPECT_EQ(test::read_all(out), "%X-S-DONE, done\n%X-E-FAIL, failed\n");
    redirection().no_output = false;
    redirection().output = stdout;
    std::fclose(out);
}

}  // namespace
}  // namespace dcl
