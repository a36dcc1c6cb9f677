// F$PARSE, F$SEARCH, F$FUV and F$FVU, called directly with
// their argument texts, in a temporary directory.
#include "lang/lexical_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/filespec.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

class LexicalFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(push_procedure_level(""), 1u);
        reset_lexical_search_state();
        fs::create_directory("sub");
        for (const char* file : {"a.txt", "b.txt", "c.txt", "plain", "sub/x.c"})
            std::ofstream(file) << "x";
    }
    void TearDown() override {
        reset_lexical_search_state();
    }

    // Runs `function` with the given argument texts; the result text, or
    // "!status" when it failed.
    std::string call(LexicalFunction function, std::vector<std::string> arguments) {
        std::string result;
        ValueType type = VALUE_STRING;
        LexicalCall lexical{result, type};
        args_ = std::move(arguments);
        for (size_t i = 0; i < args_.size(); ++i) lexical.arguments[i] = args_[i];
        lexical.count = args_.size();
        uint32_t status = function(lexical);
        if (status != 1) return "!" + std::to_string(status);
        return result;
    }
    std::string search(const std::string& spec, const std::string& stream = "") {
        std::vector<std::string> arguments{"\"" + spec + "\""};
        if (!stream.empty()) arguments.push_back(stream);
        return call(lexical_search, arguments);
    }
    std::string vms(const std::string& relative_path) const {
        std::string out;
        unix_to_vms(out, root_ + "/" + relative_path);
        return out;
    }

    test::CapturedErrors errors_;
    test::WorkDirectory work_{"dclsh-lexfiles"};
    const std::string& root_ = work_.root();
    std::vector<std::string> args_;
};

TEST_F(LexicalFiles, SearchReturnsEachMatchThenRestarts) {
    std::vector<std::string> got, expected{vms("a.txt"), vms("b.txt"), vms("c.txt"), "", vms("a.txt")};
    for (int i = 0; i < 5; ++i) got.push_back(search("*.TXT"));
    EXPECT_EQ(got, expected);
}

TEST_F(LexicalFiles, StreamsAreIndependent) {
    std::vector<std::string> got{search("*.TXT", "1"), search("*.TXT", "2"), search("*.TXT", "1"),
                                 search("[.SUB]*.*", "2"), search("*.TXT", "1")};
    std::vector<std::string> expected{vms("a.txt"), vms("a.txt"), vms("b.txt"), vms("sub/x.c"),
                                      vms("c.txt")};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(search("*.TXT", "-1"), "!" + std::to_string(cond::IVRANGE));
}

TEST_F(LexicalFiles, InnerStreamRunsToTheEndForEachOuterMatch) {
    std::vector<std::string> got, expected;
    for (std::string outer; !(outer = search("*.TXT", "1")).empty();) {
        got.push_back(outer);
        for (std::string inner; !(inner = search("[...]*.C", "2")).empty();) got.push_back(inner);
    }
    for (const char* file : {"a.txt", "b.txt", "c.txt"})
        expected.insert(expected.end(), {vms(file), vms("sub/x.c")});
    EXPECT_EQ(got, expected);
}

TEST_F(LexicalFiles, SearchWithoutWildcardsSearchesEveryTime) {
    std::vector<std::string> got{search("A.TXT"), search("A.TXT"), search("NONE.TXT")};
    EXPECT_EQ(got, (std::vector<std::string>{vms("a.txt"), vms("a.txt"), ""}));
    EXPECT_TRUE(lexical_search_state().contexts.empty());
}

TEST_F(LexicalFiles, ContextsEndWithTheirProcedure) {
    EXPECT_EQ(search("*.TXT"), vms("a.txt"));
    ASSERT_EQ(push_procedure_level("inner"), 1u);
    EXPECT_EQ(search("*.TXT"), vms("a.txt"));  // a level of its own
    EXPECT_EQ(search("*.TXT"), vms("b.txt"));
    pop_procedure_level();
    note_procedure_level_popped(procedure_depth());
    ASSERT_EQ(push_procedure_level("again"), 1u);
    EXPECT_EQ(search("*.TXT"), vms("a.txt"));  // the ended level's search is gone
    pop_procedure_level();
    note_procedure_level_popped(procedure_depth());
    EXPECT_EQ(search("*.TXT"), vms("b.txt"));  // the outer one goes on
}

TEST_F(LexicalFiles, SearchReportsExplicitVersions) {
    EXPECT_EQ(search("*.TXT;2"), "!" + std::to_string(cond::VER));
}

TEST_F(LexicalFiles, ParseFields) {
    std::string directory = vms("plain");
    directory.resize(directory.find(']') + 1);
    const struct {
        std::vector<std::string> arguments;
        std::string result;
    } cases[] = {
        {{"\"PLAIN\"", "", "", "\"TYPE\""}, "."},
        {{"\"PLAIN\"", "", "", "\"VERSION\""}, ";"},
        {{"\"A.TXT;3\"", "", "", "\"VERSION\""}, ";"},
        {{"\"a.txt\"", "", "", "\"type\""}, ".txt"},
        {{"\"a\"", "\".txt\"", "", "\"NAME\""}, "a"},
        {{"\"a\"", "\".txt\"", "", "\"TYPE\""}, ".txt"},
        {{"\"a.txt\"", "", "", "\"DIRECTORY\""}, directory},
        {{"\"NODE::a.txt\"", "", "", "\"NODE\""}, "NODE::"},
        {{"\"NODE::a.txt\""}, "NODE::" + vms("a.txt")},
        {{"\"[.sub]x.c\""}, vms("sub/x.c")},
        {{"\"[.sub]new.c\""}, vms("sub/new.c")},
        {{"\"[.nosuch]new.c\""}, ""},
        {{"\"[.nosuch]new.c\"", "", "", "", "\"SYNTAX_ONLY\""}, vms("nosuch/new.c")},
        {{"\"a.txt\"", "", "", "\"COLOR\""}, "!0"},
        {{"\"a.txt\"", "", "", "", "\"FAST\""}, "!0"},
    };
    for (const auto& c : cases) EXPECT_EQ(call(lexical_parse, c.arguments), c.result) << c.arguments[0];
    discard_messages();
}

TEST_F(LexicalFiles, UnixAndVmsRoundTrips) {
    for (const char* spec : {"[.sub]x.c", "a.txt", "[.sub]"}) {
        std::string unix_path = call(lexical_fvu, {std::string("\"") + spec + "\""});
        std::string vms_form = call(lexical_fuv, {"\"" + unix_path + "\""});
        EXPECT_EQ(call(lexical_fvu, {"\"" + vms_form + "\""}), unix_path) << spec;
    }
    EXPECT_EQ(call(lexical_fvu, {"\"[.sub]x.c\""}), root_ + "/sub/x.c");
    EXPECT_EQ(call(lexical_fuv, {"\"/x\""}), "[000000]x.");
}

}  // namespace
}  // namespace dcl
