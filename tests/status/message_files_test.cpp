// The message database files: lookups, load failures, damaged files, user
// message files, and the database built from data/messages.msg.
#include "status/message_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "status/conditions.h"
#include "status/messages.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

std::string le32(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

struct Fac {
    uint32_t number;
    std::string name;
};

struct Msg {
    uint32_t value;
    std::string ident, text;
    bool directives = false;
};

std::string facility_file(const std::vector<Fac>& facs, uint32_t magic = 0x0B60B600) {
    std::string out = le32(magic) + le32(facs.size()) + std::string(24, '\0');
    for (const Fac& f : facs) out += le32(f.number << 16) + f.name + '\0';
    return out;
}

std::string message_file(const std::vector<Msg>& msgs, uint32_t count) {
    std::string out = le32(0x0B6000B6) + le32(count) + std::string(24, '\0');
    for (const Msg& m : msgs)
        out += le32(m.value) + m.ident + '\0' + m.text + '\0' + le32(m.directives);
    return out;
}

std::string message_file(const std::vector<Msg>& msgs) { return message_file(msgs, msgs.size()); }

std::string facq(const std::string& name) { return "FACQ" + std::string(1, char(name.size())) + name; }

std::string msgq(uint32_t value, const std::string& ident, const std::string& text) {
    std::string v = le32(value);
    return "MSGQ" + std::string(1, char(ident.size())) + ident + char(text.size()) + text +
           std::string(v.rbegin(), v.rend()) + '\1' + '\0';
}

const std::vector<Fac> kFacilities = {{0, "SYSTEM"}, {1, "RMS"}, {3, "CLI"}, {108, "DIFF"}};
const std::vector<Msg> kMessages = {
    {0x1098, "OPENIN", "error opening !AS as input", true},
    {0x18290, "FNF", "file not found"},
    {0x38090, "IVVERB", "unrecognized command verb - check validity and spelling"},
};

class MessageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/dclsh-msgtest-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = std::string(name) + "/";
        unsetenv("TQ_LOADMSG");
        reset_message_files();
        set_message_directory(dir_);
    }
    void TearDown() override {
        reset_message_files();
        unsetenv("TQ_LOADMSG");
        fs::remove_all(dir_);
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ + name, std::ios::binary) << bytes;
    }
    void write_database() {
        write("facil.dat", facility_file(kFacilities));
        write("messages.dat", message_file(kMessages));
    }
    std::string line(uint32_t value, unsigned parts = PART_ALL) {
        std::string out;
        get_message_text(out, value, parts);
        return out;
    }
    std::string dir_;
};

TEST_F(MessageFilesTest, FormatsFoundAndMissingValues) {
    write_database();
    struct Case {
        uint32_t value;
        unsigned parts;
        uint32_t status;
        bool directives;
        std::string expected;
    } cases[] = {
        {0x18292, PART_ALL, 1, false, "%RMS-E-FNF, file not found"},
        {0x6C109C, PART_ALL, 1, true, "%DIFF-F-OPENIN, error opening !AS as input"},
        {0x70038090, PART_ALL, 1, false,
         "%CLI-W-IVVERB, unrecognized command verb - check validity and spelling"},
        {0x38090, PART_TEXT, 1, false, "unrecognized command verb - check validity and spelling"},
        {0x38090, PART_FACILITY | PART_TEXT, 1, false,
         "%CLI, unrecognized command verb - check validity and spelling"},
        {0x38090, PART_SEVERITY | PART_IDENT, 1, false, "%W-IVVERB"},
        {0x38090, PART_FACILITY | PART_IDENT, 1, false, "%CLI-IVVERB"},
        {0x38090, 0, 1, false, ""},
        {0x1FFF5, PART_ALL, cond::NOMSG, false, "%RMS-?-NOMSG, Message number 0001FFF5"},
        {0x5550001, PART_ALL, cond::NOMSG, false, "%NONAME-S-NOMSG, Message number 05550001"},
        {0x1FFF3, PART_FACILITY | PART_IDENT, cond::NOMSG, false, "%RMS-NOMSG"},
    };
    for (const Case& c : cases) {
        std::string out = "junk";
        bool directives = !c.directives;
        EXPECT_EQ(get_message_text(out, c.value, c.parts, &directives), c.status) << c.expected;
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(directives, c.directives) << c.expected;
    }
    EXPECT_EQ(get_facility_name(0x38090), "CLI");
    EXPECT_EQ(get_facility_name(0x800000), "NONAME");
}

TEST_F(MessageFilesTest, LoadFailuresAreReportedOnceAndLeaveTheFileEmpty) {
    struct Case {
        std::string facil, messages;  // "-" for a missing file
        std::string stderr_text;
        std::string rms_name, fnf_line;
    } cases[] = {
        {"-", message_file(kMessages), "QVLIB get_facdata: can't find @facil.dat\n", "NONAME",
         "%NONAME-E-FNF, file not found"},
        {"", message_file(kMessages), "QVLIB get_facdata: nothing read from @facil.dat\n",
         "NONAME", "%NONAME-E-FNF, file not found"},
        {facility_file(kFacilities, 0x12345678), message_file(kMessages),
         "QVLIB: bad facility file magic, 12345678 should be b60b600\n", "NONAME",
         "%NONAME-E-FNF, file not found"},
        {facility_file(kFacilities), "-", "QVLIB get_msgdata: can't find @messages.dat\n", "RMS",
         "%RMS-E-NOMSG, Message number 00018292"},
        {facility_file(kFacilities), facility_file(kFacilities),
         "QVLIB: bad message file magic, b60b600 should be b6000b6\n", "RMS",
         "%RMS-E-NOMSG, Message number 00018292"},
    };
    for (const Case& c : cases) {
        fs::remove(dir_ + "facil.dat");
        fs::remove(dir_ + "messages.dat");
        if (c.facil != "-") write("facil.dat", c.facil);
        if (c.messages != "-") write("messages.dat", c.messages);
        reset_message_files();
        set_message_directory(dir_);
        std::string expected = std::regex_replace(c.stderr_text, std::regex("@"), dir_);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(line(0x18292), c.fnf_line);
        EXPECT_EQ(get_facility_name(0x18292), c.rms_name);
        EXPECT_EQ(line(0x18292), c.fnf_line);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected);
    }
}

// Every prefix of each file, and absurd record counts: records before the
// damage are still found, nothing after it, and nothing reads out of bounds
// (the sanitizer build checks that part).
TEST_F(MessageFilesTest, DamagedFilesEndTheRecords) {
    std::string facil = facility_file(kFacilities);
    std::string messages = message_file(kMessages);
    write("facil.dat", facil);
    ::testing::internal::CaptureStderr();
    size_t found_before = 0;
    for (size_t cut = 0; cut <= messages.size(); ++cut) {
        write("messages.dat", messages.substr(0, cut));
        reset_message_files();
        set_message_directory(dir_);
        size_t found = 0;
        for (const Msg& m : kMessages) {
            std::string out = line(m.value, PART_IDENT);
            EXPECT_TRUE(out == "%" + m.ident || out == "%NOMSG") << out;
            found += out != "%NOMSG";
        }
        EXPECT_GE(found, found_before) << "cut at " << cut;
        found_before = found;
    }
    EXPECT_EQ(found_before, kMessages.size());
    for (uint32_t count : {0xFFFFFFFFu, 0x10000000u, 7u}) {
        write("messages.dat", message_file(kMessages, count));
        reset_message_files();
        set_message_directory(dir_);
        EXPECT_EQ(line(0x18292), "%RMS-E-FNF, file not found");
    }
    write("messages.dat", messages);
    for (size_t cut = 0; cut <= facil.size(); ++cut) {
        write("facil.dat", facil.substr(0, cut) + "X");  // no NUL at the end
        reset_message_files();
        set_message_directory(dir_);
        std::string name = get_facility_name(0x38090);
        EXPECT_TRUE(name == "CLI" || name == "NONAME") << name;
    }
    ::testing::internal::GetCapturedStderr();
}

TEST_F(MessageFilesTest, UserMessageFiles) {
    write_database();
    std::string user = msgq(0x8001012, "EARLY", "before any facility") + facq("MYFAC") +
                       msgq(0x8011008, "OLD", "older text") +
                       msgq(0x8011008, "NEW", "newer text") +
                       msgq(0x18292, "MINE", "not the main file's") + facq("CUT") + "MSGQ\3AB";
    write("user.dat", user);
    setenv("TQ_LOADMSG", (dir_ + "user.dat").c_str(), 1);
    struct Case {
        uint32_t value;
        std::string expected;
    } cases[] = {
        {0x8001012, "%SYSTEM-E-EARLY, before any facility"},
        {0x8011008, "%MYFAC-W-NEW, newer text"},
        {0x18292, "%RMS-E-FNF, file not found"},
        {0x8021008, "%NONAME-W-NOMSG, Message number 08021008"},
    };
    for (const Case& c : cases) EXPECT_EQ(line(c.value), c.expected);
}

TEST_F(MessageFilesTest, LoadMessageFileResults) {
    write_database();
    std::string path = dir_ + "user.dat";
    write("user.dat", facq("ONE") + msgq(0x8001008, "FIRST", "first text"));
    EXPECT_EQ(load_message_file(path), cond::NORMAL);
    ASSERT_NE(getenv("TQ_LOADMSG"), nullptr);
    EXPECT_EQ(std::string(getenv("TQ_LOADMSG")), path);

    // Each path is loaded once: a changed file is not read again.
    write("user.dat", facq("TWO") + msgq(0x8001008, "SECOND", "second text"));
    EXPECT_EQ(load_message_file(path), cond::NORMAL);
    EXPECT_EQ(line(0x8001008), "%ONE-W-FIRST, first text");

    EXPECT_EQ(load_message_file(dir_ + "none.dat"), cond::PRV);
    write("bad.dat", facq("BAD") + "XXXX");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(load_message_file(dir_ + "bad.dat"), cond::INTERR);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "QVLIB sysloadmsg: bad magic number 1482184792\n");
}

// Database messages follow the display options as the built-in ones do:
// the argument line goes with the text, the text alone stands bare.
TEST_F(MessageFilesTest, DisplayOptionsShapeDatabaseLines) {
    write_database();
    const QueuedCondition plain{0x38090, "FOO", ""};
    const QueuedCondition with_directive{0x3109A, "X.COM", ""};
    struct Case {
        const QueuedCondition& entry;
        DisplayOptions display;
        std::string expected;
    } cases[] = {
        {plain, {},
         "%DCL-W-IVVERB, unrecognized command verb - check validity and spelling\n /FOO/\n"},
        {plain, {true, true, true, false}, "%DCL-W-IVVERB\n"},
        {plain, {true, false, false, true},
         "%DCL, unrecognized command verb - check validity and spelling\n /FOO/\n"},
        {plain, {false, false, false, true},
         "unrecognized command verb - check validity and spelling\n /FOO/\n"},
        {plain, {false, false, false, false}, ""},
        {with_directive, {false, false, false, true}, "error opening X.COM as input\n"},
        {with_directive, {false, true, true, true}, "%E-OPENIN, error opening X.COM as input\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(format_condition(c.entry, c.display), c.expected);
}

// SET MESSAGE/DELETE: the user files are forgotten and not loaded again
// through TQ_LOADMSG, which no longer names them for child processes.
TEST_F(MessageFilesTest, DroppedUserFilesStayDropped) {
    write_database();
    write("user.dat", facq("ONE") + msgq(0x8001008, "FIRST", "first text"));
    write("bad.dat", facq("BAD") + "XXXX");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(load_message_file(dir_ + "bad.dat"), cond::INTERR);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(getenv("TQ_LOADMSG"), nullptr) << "a file that failed is not handed on";
    ASSERT_EQ(load_message_file(dir_ + "user.dat"), cond::NORMAL);
    EXPECT_EQ(line(0x8001008), "%ONE-W-FIRST, first text");
    drop_user_message_files();
    EXPECT_EQ(getenv("TQ_LOADMSG"), nullptr);
    EXPECT_EQ(line(0x8001008), "%NONAME-W-NOMSG, Message number 08001008");
    // Loaded again on request; TQ_LOADMSG set by someone else is kept.
    setenv("TQ_LOADMSG", (dir_ + "other.dat").c_str(), 1);
    EXPECT_EQ(load_message_file(dir_ + "user.dat"), cond::NORMAL);
    EXPECT_EQ(line(0x8001008), "%ONE-W-FIRST, first text");
    drop_user_message_files();
    EXPECT_EQ(std::string(getenv("TQ_LOADMSG")), dir_ + "other.dat");
}

// The directory holding the build's messages.dat: the one the build names,
// else the nearest above this test program.
std::string build_directory() {
#ifdef DCLSH_TEST_BUILD_DIR
    if (fs::exists(fs::path(DCLSH_TEST_BUILD_DIR) / "messages.dat")) return DCLSH_TEST_BUILD_DIR;
#endif
    std::error_code ec;
    for (fs::path p = fs::read_symlink("/proc/self/exe", ec); !ec && p.has_relative_path();
         p = p.parent_path())
        if (fs::exists(p / "messages.dat")) return p.string();
    return {};
}

TEST(BuiltDatabase, GeneratedConstantsFindTheirMessages) {
    std::string build = build_directory();
    if (build.empty()) GTEST_SKIP() << "no messages.dat in the build tree";
    unsetenv("TQ_LOADMSG");
    reset_message_files();
    set_message_directory(build + "/");
    std::string out;
    get_message_text(out, cond::IVVERB, PART_ALL);
    EXPECT_EQ(out, "%DCL-W-IVVERB, unrecognized command verb - check validity and spelling");
    get_message_text(out, cond::COPY_OPENIN, PART_ALL);
    EXPECT_EQ(out, "%COPY-E-OPENIN, error opening !AS as input");
    get_message_text(out, cond::DIRECT_NOFILES, PART_ALL);
    EXPECT_EQ(out, "%DIRECT-W-NOFILES, no files found");

    std::ifstream header(build + "/generated/status/conditions.h");
    std::stringstream buffer;
    buffer << header.rdbuf();
    const std::string text = buffer.str();
    std::regex constant("uint32_t (\\w+) = (0x[0-9A-F]+);");
    int seen = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), constant), end; it != end;
         ++it, ++seen) {
        uint32_t value = std::stoul((*it)[2], nullptr, 16);
        EXPECT_EQ(get_message_text(out, value, PART_ALL), cond::NORMAL) << (*it)[1] << " " << out;
    }
    EXPECT_GT(seen, 100);
    reset_message_files();
}

}  // namespace
}  // namespace dcl
