// The pure parts of the process lexicals: privilege lists, /proc texts and
// the Linux-to-VMS mappings of process facts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/lexical_process.h"
#include "lang/privileges.h"
#include "status/condition.h"

namespace dcl {
namespace {

// Renders parsed requests back as "NAME,NONAME" for comparison.
std::string requests_text(const std::vector<PrivilegeRequest>& requests) {
    std::string text;
    for (const PrivilegeRequest& r : requests) {
        if (!text.empty()) text += ',';
        text += (r.enable ? "" : "NO") + std::string(r.name);
    }
    return text;
}

TEST(PrivilegeList, ParsesNamesAndNegations) {
    struct Case {
        std::string_view input, expected;
    };
    const Case cases[] = {
        {"tmpmbx", "TMPMBX"},
        {"NOSYSPRV", "NOSYSPRV"},
        {" netmbx , NoWorld ", "NETMBX,NOWORLD"},
        {"detach,impersonate", "DETACH,IMPERSONATE"},
        {"LOG_IO,NOPHY_IO", "LOG_IO,NOPHY_IO"},
    };
    for (const Case& c : cases) {
        std::vector<PrivilegeRequest> requests;
        std::string bad;
        ASSERT_EQ(parse_privilege_list(c.input, requests, bad), 1u) << c.input;
        EXPECT_EQ(requests_text(requests), c.expected) << c.input;
    }
}

TEST(PrivilegeList, RefusesUnknownNamesAndEmptyElements) {
    struct Case {
        std::string_view input, bad;
    };
    const Case cases[] = {
        {"TMPMBX,FLY", "FLY"}, {"NONO", "NONO"}, {"", ""}, {"TMPMBX,", ""},
        {"NO", "NO"},          {"TMP", "TMP"},   // names are not abbreviated
    };
    for (const Case& c : cases) {
        std::vector<PrivilegeRequest> requests;
        std::string bad;
        EXPECT_EQ(parse_privilege_list(c.input, requests, bad), cond::IVKEYW) << c.input;
        EXPECT_EQ(bad, c.bad) << c.input;
    }
}

TEST(PrivilegeList, NamesFollowBitOrderAndAuthorisation) {
    EXPECT_EQ(privilege_names(authorised_privileges(false, false)), "TMPMBX,NETMBX");
    EXPECT_EQ(privilege_names(authorised_privileges(false, true)), "TMPMBX,NETMBX,SYSPRV");
    std::string all = privilege_names(authorised_privileges(true, false));
    EXPECT_TRUE(all.starts_with("CMKRNL,CMEXEC,SYSNAM,GRPNAM,ALLSPOOL,IMPERSONATE,")) << all;
    EXPECT_TRUE(all.ends_with(",READALL,IMPORT,AUDIT,SECURITY")) << all;
    EXPECT_EQ(all.find("DETACH"), std::string::npos);
}

TEST(ProcStatText, ReadsFieldsAroundAnAwkwardCommand) {
    // The command holds a blank and ")": the fields start after the last ")".
    const std::string text =
        "4242 (a b) c) S 4000 4242 4242 34817 4242 4194304 120 0 3 0 250 75 0 0 20 -5 1 0 "
        "987654 12345678 300 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 0 0 0 0\n";
    ProcStat stat;
    ASSERT_TRUE(parse_proc_stat(text, stat));
    EXPECT_EQ(stat.pid, 4242);
    EXPECT_EQ(stat.command, "a b) c");
    EXPECT_EQ(stat.state, 'S');
    EXPECT_EQ(stat.parent, 4000);
    EXPECT_EQ(stat.tty, 34817);
    EXPECT_EQ(stat.minor_faults, 120u);
    EXPECT_EQ(stat.major_faults, 3u);
    EXPECT_EQ(stat.user_ticks, 250u);
    EXPECT_EQ(stat.system_ticks, 75u);
    EXPECT_EQ(stat.nice, -5);
    EXPECT_EQ(stat.start_ticks, 987654u);
    EXPECT_EQ(stat.resident_pages, 300);
}

TEST(ProcStatText, RefusesTruncatedText) {
    ProcStat stat;
    EXPECT_FALSE(parse_proc_stat("", stat));
    EXPECT_FALSE(parse_proc_stat("12 (sh S 1 2", stat));
    EXPECT_FALSE(parse_proc_stat("12 (sh) S 1 2 3 4", stat));
}

TEST(ProcFieldText, FindsTheKeyAtALineStart) {
    const std::string status =
        "Name:\tdclsh\nUid:\t1000\t1001\t1002\t1003\nVmPeak:\t   20480 kB\nVmPeakX:\t1 kB\n";
    EXPECT_EQ(proc_field(status, "Uid"), 1000u);
    EXPECT_EQ(proc_field(status, "Uid", 1), 1001u);
    EXPECT_EQ(proc_field(status, "VmPeak"), 20480u);
    EXPECT_FALSE(proc_field(status, "Peak").has_value());
    EXPECT_FALSE(proc_field(status, "Name").has_value());
    EXPECT_FALSE(proc_field(status, "Uid", 4).has_value());
    EXPECT_EQ(proc_field("syscr: 7\nsyscw: 9", "syscw"), 9u);
}

TEST(ProcessMapping, StatesPrioritiesAndTerminals) {
    EXPECT_EQ(vms_state('R'), "COM");
    EXPECT_EQ(vms_state('S'), "LEF");
    EXPECT_EQ(vms_state('D'), "SUSP");
    EXPECT_EQ(vms_state('T'), "SUSP");

    const std::pair<int64_t, int32_t> priorities[] = {{0, 4}, {4, 4}, {5, 3}, {19, 1},
                                                      {-20, 8}, {-5, 5}, {100, 0}, {-100, 15}};
    for (auto [nice, priority] : priorities) EXPECT_EQ(vms_priority(nice), priority) << nice;

    EXPECT_EQ(terminal_path(0), "");
    EXPECT_EQ(terminal_path((136 << 8) | 3), "/dev/pts/3");
    EXPECT_EQ(terminal_path((137 << 8) | 1), "/dev/pts/257");
    EXPECT_EQ(terminal_path((4 << 8) | 2), "/dev/tty2");
    EXPECT_EQ(terminal_path((4 << 8) | 65), "/dev/ttyS1");
}

TEST(ProcessMapping, ProcessIdsRoundTripAsHex) {
    EXPECT_EQ(format_pid(0x1A2B), "00001A2B");
    EXPECT_EQ(parse_pid("00001a2b"), 0x1A2B);
    EXPECT_EQ(parse_pid(" 1A2B "), 0x1A2B);
    EXPECT_FALSE(parse_pid("").has_value());
    EXPECT_FALSE(parse_pid("123456789").has_value());
    EXPECT_FALSE(parse_pid("12G4").has_value());
}

}  // namespace
}  // namespace dcl
