// F$DIRECTORY: the default directory as it really is, never a directory
// kept from before (one too long to show is covered end to end).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/filespec.h"
#include "lang/lexical_files.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/session.h"
#include "support/capture.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

class LexicalDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(push_procedure_level(""), 1u);
    }

    // F$DIRECTORY's result, or "!status" when it failed.
    static std::string directory() {
        std::string result;
        ValueType type = VALUE_STRING;
        LexicalCall call{result, type};
        uint32_t status = lexical_directory(call);
        return status == 1 ? result : "!" + std::to_string(status);
    }
    static std::string vms_directory(const std::string& path) {
        std::string vms;
        EXPECT_EQ(unix_to_vms(vms, path + "/"), cond::NORMAL);
        return vms;
    }

    test::CapturedErrors errors;
    test::WorkDirectory work_{"dclsh-lexdir"};
    const std::string& root_ = work_.root();
};

TEST_F(LexicalDirectory, WhereTheProcessIs) {
    session().working_dir = root_ + "/";
    EXPECT_EQ(directory(), vms_directory(root_));
    // A name the session kept from elsewhere does not count.
    session().working_dir = "/";
    EXPECT_EQ(directory(), vms_directory(root_));
    session().working_dir.clear();
    EXPECT_EQ(directory(), vms_directory(root_));
}

// The path as the user went there, through a link, is what shows.
TEST_F(LexicalDirectory, TheNameTheUserGaveIsKept) {
    fs::create_directory("real");
    fs::create_directory_symlink(root_ + "/real", "link");
    fs::current_path("link");
    session().working_dir = root_ + "/link/";
    EXPECT_EQ(directory(), vms_directory(root_ + "/link"));
}

}  // namespace
}  // namespace dcl
