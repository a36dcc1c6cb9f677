// Reading the defaults files.
#include "status/defaults_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"

namespace dcl {
namespace {

std::string write_temp(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return path;
}

TEST(DefaultsFile, KeysValuesAndPrecedence) {
    test::CapturedErrors errors;
    read_defaults_file(write_temp("user.def",
                                  "NETCP   scp\t -p\n"
                                  "# a comment\n"
                                  "\n"
                                  "  INDENTED x\n"
                                  "ELEVENCHARS x\n"
                                  "EMPTY\n"
                                  "NETCP second\n"));
    read_defaults_file(write_temp("site.def", "NETCP rcp\nNETDIR ls\n"));
    const auto& e = defaults_list().entries;
    EXPECT_EQ(e.size(), 3u);
    EXPECT_EQ(default_value("NETCP"), "scp -p");  // first definition wins
    EXPECT_EQ(default_value("NETDIR"), "ls");
    EXPECT_EQ(default_value("EMPTY"), "");
    EXPECT_FALSE(default_value("ELEVENCHARS"));
    EXPECT_FALSE(default_value("INDENTED"));
    EXPECT_EQ(errors.take(), "");
}

TEST(DefaultsFile, LineWithoutNewlineEndsTheFile) {
    test::CapturedErrors errors;
    read_defaults_file(write_temp("long.def", "A 1\n" + std::string(300, 'x') + "\nB 2\n"));
    EXPECT_EQ(default_value("A"), "1");
    EXPECT_FALSE(default_value("B"));
    EXPECT_EQ(errors.take(), "%DCL-E-ERROR, CLI error\n /defaults file line too long/\n");
}

}  // namespace
}  // namespace dcl
