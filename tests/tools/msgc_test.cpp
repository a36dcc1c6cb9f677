// The message compiler, run as the build runs it: what it refuses, and files
// that the message database reads back as written.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "status/conditions.h"
#include "status/message_files.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

// The built compiler: where the build says, else beside or above this test.
std::string compiler_path() {
#ifdef DCLSH_TEST_BUILD_DIR
    if (fs::exists(fs::path(DCLSH_TEST_BUILD_DIR) / "dclsh-msgc"))
        return (fs::path(DCLSH_TEST_BUILD_DIR) / "dclsh-msgc").string();
#endif
    std::error_code ec;
    for (fs::path p = fs::read_symlink("/proc/self/exe", ec); !ec && p.has_relative_path();
         p = p.parent_path())
        if (fs::exists(p / "dclsh-msgc")) return (p / "dclsh-msgc").string();
    return {};
}

class MsgcTest : public ::testing::Test {
protected:
    void SetUp() override {
        msgc_ = compiler_path();
        if (msgc_.empty()) GTEST_SKIP() << "dclsh-msgc not built";
        char name[] = "/tmp/dclsh-msgc-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = std::string(name) + "/";
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
        reset_message_files();
        unsetenv("TQ_LOADMSG");
    }
    // Compiles `source` with the given outputs; true when the compiler accepts it.
    bool compile(const std::string& source, const std::string& outputs) {
        std::ofstream(dir_ + "test.msg") << source;
        std::string command = msgc_ + " " + dir_ + "test.msg " + outputs + " 2>/dev/null";
        return std::system(command.c_str()) == 0;
    }
    std::string msgc_, dir_;
};

TEST_F(MsgcTest, RefusesAmbiguousOrMalformedSources) {
    const std::string fac = "facility 1 RMS\n";
    const char* refused[] = {
        "0x18292 FNF \"file not found\"\n0x18294 FNF2 \"same value, other severity\"\n",
        "0x18292 FNF \"one\"\n0x182A2 FNF \"one name, two values\"\n",
        "0x18292 FNF \"t\"\nconst LOST 0x00011234\n",
        "0x18292 FNF \"t\"\nconst FNF 0x00018292\n",
        "0x18292 FNF builtin=4 \"t\"\n",
        "0x18292 FNF colour=red \"t\"\n",
        "0x18292 FNF unquoted\n",
        "-1 FNF \"t\"\n",
        "0x38090 IVVERB \"facility 3 has no line\"\n",
        "facility 4096 BIG\n",
    };
    for (const char* source : refused)
        EXPECT_FALSE(compile(fac + source, "--messages " + dir_ + "m.dat")) << source;
    EXPECT_TRUE(compile("facility 0 SYSTEM\n0x1098 OPENIN \"t\"\nconst COPY_OPENIN 0x0067109A\n",
                        "--messages " + dir_ + "m.dat"));
    // A user file shows a message under the facility line above it.
    EXPECT_FALSE(compile(fac + "0x38090 IVVERB \"t\"\n", "--user " + dir_ + "u.dat"));
    EXPECT_TRUE(compile("0x38090 IVVERB \"t\"\n" + fac, "--user " + dir_ + "u.dat"));
}

TEST_F(MsgcTest, CompiledFilesReadBack) {
    const std::string source =
        "facility 1 RMS\n"
        "0x00011008 RMSMSG \"a \"quoted\" word\"\n"
        "facility 1000 MYFAC\n"
        "0x03E81012 HELLO \"hello, !AS\"\n"
        "0x03E81018 PLAIN directives=1 \"no directive here\"\n"
        "const MYFAC_HELLO_F 0x03E81014\n";
    ASSERT_TRUE(compile(source, "--facil " + dir_ + "facil.dat --messages " + dir_ +
                                    "messages.dat --user " + dir_ + "user.dat --header " +
                                    dir_ + "conditions.h"));
    std::ifstream header(dir_ + "conditions.h");
    std::stringstream text;
    text << header.rdbuf();
    EXPECT_NE(text.str().find("inline constexpr uint32_t MYFAC_HELLO_F = 0x03E81014;"),
              std::string::npos);

    struct Case {
        uint32_t value;
        std::string expected;
        bool directives;
    } cases[] = {
        {0x03E81012, "%MYFAC-E-HELLO, hello, !AS", true},
        {0x03E81018, "%MYFAC-W-PLAIN, no directive here", true},
        {0x00011008, "%RMS-W-RMSMSG, a \"quoted\" word", false},
    };
    // Once from the facility and message files, once from the user file alone.
    for (bool user : {false, true}) {
        reset_message_files();
        unsetenv("TQ_LOADMSG");
        set_message_directory(user ? dir_ + "none/" : dir_);
        if (user) {
            EXPECT_EQ(load_message_file(dir_ + "user.dat"), cond::NORMAL);
        }
        ::testing::internal::CaptureStderr();
        for (const Case& c : cases) {
            std::string out;
            bool directives = !c.directives;
            get_message_text(out, c.value, PART_ALL, &directives);
            EXPECT_EQ(out, c.expected) << (user ? "user file" : "database");
            EXPECT_EQ(directives, c.directives) << c.expected;
        }
        ::testing::internal::GetCapturedStderr();
    }
}

}  // namespace
}  // namespace dcl
