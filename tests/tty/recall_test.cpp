// The recall buffer and the RECALL command that lists, erases or picks
// from it.
#include "tty/recall.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/command_state.h"
#include "core/dispatch.h"
#include "lang/lexer.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"

namespace dcl {
namespace {

// The entries from the newest back, as RECALL/ALL numbers them.
std::vector<std::string> entries() {
    std::vector<std::string> out;
    for (size_t n = 1; const std::string* line = recalled(n); ++n) out.push_back(*line);
    return out;
}

TEST(RecallList, WhatIsStored) {
    using Lines = std::vector<std::string>;
    const struct {
        const char* name;
        Lines added;
        Lines expected;
    } cases[] = {
        {"newest first", {"one", "two", "three"}, {"three", "two", "one"}},
        {"empty lines skipped", {"one", "", "two", ""}, {"two", "one"}},
        {"repeat of the newest skipped", {"one", "two", "two", "one"}, {"one", "two", "one"}},
        {"case matters for repeats", {"dir", "DIR"}, {"DIR", "dir"}},
        {"long lines cut", {std::string(300, 'x'), std::string(256, 'x')}, {std::string(255, 'x')}},
    };
    for (const auto& c : cases) {
        reset_recall_list();
        for (const std::string& line : c.added) add_recall(line);
        EXPECT_EQ(entries(), c.expected) << c.name;
    }
    reset_recall_list();
}

TEST(RecallList, KeepsTheNewestTwentyAndFollowsThePosition) {
    reset_recall_list();
    for (int i = 1; i <= 21; ++i) add_recall("line " + std::to_string(i));
    ASSERT_EQ(recall_list().count, 20u);
    EXPECT_EQ(*recalled(1), "line 21");
    EXPECT_EQ(*recalled(20), "line 2");
    EXPECT_EQ(recalled(21), nullptr);
    EXPECT_EQ(recalled(0), nullptr);
    add_recall("line 22");
    EXPECT_EQ(*recalled(20), "line 3");

    const struct {
        int position;
        const char* line;
    } cases[] = {{0, ""}, {-1, ""}, {1, "line 22"}, {5, "line 18"}, {20, "line 3"}, {21, ""}};
    for (const auto& c : cases) {
        recall_list().position = c.position;
        EXPECT_EQ(get_recall(), c.line) << c.position;
    }
    reset_recall_list();
}

class RecallCommand : public ::testing::Test {
protected:
    void SetUp() override {
        session().interactive = true;  // RECALL is skipped otherwise
        redirection().output = out_;
        for (const char* line : {"show time", "dir *.com", "write sys$output 1"}) add_recall(line);
    }
    void TearDown() override {
        redirection().output = stdout;
        std::fclose(out_);
    }

    // The conditions queued by one command line; the queue is emptied.
    std::vector<uint32_t> run(const char* line) {
        message_queue().verb = verb::RECALL;  // the command loop finds it before the split
        run_command_line(line);
        std::vector<uint32_t> values;
        for (size_t i = 0; i < message_queue().count; ++i) values.push_back(message_queue().entries[i].value);
        reset_message_queue();
        return values;
    }

    test::CapturedErrors errors_;
    FILE* out_ = std::tmpfile();
};

TEST_F(RecallCommand, ListsEveryEntryNewestFirst) {
    EXPECT_EQ(run("RECALL/ALL"), std::vector<uint32_t>{});
    EXPECT_EQ(test::read_all(out_), " 1 write sys$output 1\n 2 dir *.com\n 3 show time\n");
    EXPECT_EQ(recall_list().position, 0);
}

// A pick offers the line at the next read; a failure leaves all as it was.
TEST_F(RecallCommand, PicksByNumberOrPrefix) {
    const struct {
        const char* line;
        int position;        // 0: nothing offered
        uint32_t condition;  // 0: none queued
    } cases[] = {
        {"RECALL", 1, 0},          {"RECALL 2", 2, 0},       {"RECALL 3", 3, 0},
        {"RECALL 15", 3, 0},       {"RECALL 20", 3, 0},      {"RECALL sh", 3, 0},
        {"RECALL SHOW", 3, 0},     {"RECALL DI", 2, 0},      {"recall w", 1, 0},
        {"RECALL 25", 0, cond::IVVALU},      {"RECALL 0", 0, cond::IVVALU},
        {"RECALL zzz", 0, cond::CMDNOTFND},  {"RECALL/ALL X", 0, cond::MAXPARM},
        {"RECALL/ERASE X", 0, cond::MAXPARM},
    };
    for (const auto& c : cases) {
        recall_list().position = 0;
        lexer_state().reprompt = false;
        const std::vector<uint32_t> queued = run(c.line);
        EXPECT_EQ(queued, c.condition ? std::vector<uint32_t>{c.condition} : std::vector<uint32_t>{})
            << c.line;
        EXPECT_EQ(recall_list().position, c.position) << c.line;
        EXPECT_EQ(lexer_state().reprompt, c.position != 0) << c.line;
        EXPECT_EQ(recall_list().count, 3u) << c.line;
    }
    EXPECT_EQ(test::read_all(out_), "");
}

TEST_F(RecallCommand, EraseEmptiesTheList) {
    EXPECT_EQ(run("RECALL/ERASE"), std::vector<uint32_t>{});
    EXPECT_EQ(recalled(1), nullptr);
    EXPECT_EQ(get_recall(), "");
    add_recall("again");
    EXPECT_EQ(entries(), std::vector<std::string>{"again"});
}

TEST_F(RecallCommand, SkippedWhenNotInteractive) {
    session().interactive = false;
    EXPECT_EQ(run("RECALL/ERASE"), std::vector<uint32_t>{});
    EXPECT_EQ(recall_list().count, 3u);
}

}  // namespace
}  // namespace dcl
