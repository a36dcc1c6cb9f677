// The block IF scan and the closing of blocks, and ON outside a procedure.
#include "proc/if_blocks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

// A procedure level reading `text`, positioned after its first line (the
// IF line itself).
class ProcedureFile {
public:
    explicit ProcedureFile(const std::string& text) : file_(std::tmpfile()) {
        std::fputs(text.c_str(), file_);
        std::rewind(file_);
        next_line();
        push_procedure_level("");
        push_procedure_level("X.COM");
        procedure_stack().command_input = file_;
        procedure_stack().in_procedure = true;
    }
    ~ProcedureFile() { std::fclose(file_); }
    ProcedureFile(const ProcedureFile&) = delete;
    ProcedureFile& operator=(const ProcedureFile&) = delete;

    FILE* file() const { return file_; }
    std::string next_line() const {
        std::string line;
        for (int c; (c = std::getc(file_)) != EOF && c != '\n';) line.push_back(static_cast<char>(c));
        return line;
    }

private:
    FILE* file_;
};

TEST(IfBlockScan, FindsThenElseAndEndif) {
    test::CapturedErrors errors;
    ProcedureFile p("$ IF X\n$ THEN\n$ A\n$ ELSE\n$ B\n$ ENDIF\n$ C\n");
    IfScan scan = scan_if_block(p.file());
    ASSERT_TRUE(scan.complete);
    EXPECT_EQ(*scan.then_start, 14);
    EXPECT_EQ(scan.else_line, 18);
    EXPECT_EQ(*scan.else_start, 25);
    EXPECT_EQ(scan.endif_line, 29);
    EXPECT_EQ(scan.after_endif, 37);
    EXPECT_EQ(p.next_line(), "$ C");
}

TEST(IfBlockScan, SkipsNestedBlocksOnLinesAndData) {
    test::CapturedErrors errors;
    ProcedureFile p(
        "$ IF X\n$ THEN\n$  IF Y\n$  THEN\n$   IF Z THEN A\n$  ELSE\n$  ENDIF\n"
        "$ ON ERROR THEN GOTO X\nLBL: data ENDIF\n$ ELSE\n$ ENDIF\n$ AFTER\n");
    IfScan scan = scan_if_block(p.file());
    ASSERT_TRUE(scan.complete);
    EXPECT_EQ(p.next_line(), "$ AFTER");
    std::fseek(p.file(), scan.else_line, SEEK_SET);
    EXPECT_EQ(p.next_line(), "$ ELSE");
}

TEST(IfBlockScan, KeepsCommandsOnThenAndElseLines) {
    test::CapturedErrors errors;
    ProcedureFile p("$ IF X\n$ lbl: THEN  write sys$output  \"a  b\" ! note\n$ ELSE X = -\n 1\n$ ENDIF\n");
    IfScan scan = scan_if_block(p.file());
    ASSERT_TRUE(scan.complete);
    EXPECT_EQ(scan.then_command, "WRITE SYS$OUTPUT \"a  b\" ");
    EXPECT_EQ(scan.else_command, "X = 1 ");
}

TEST(IfBlockScan, MissingEndifOrThenAndDuplicatesAreIncomplete) {
    test::CapturedErrors errors;
    for (const char* text : {"$ IF X\n$ THEN\n$ A\n", "$ IF X\n$ ENDIF\n",
                             "$ IF X\n$ THEN\n$ ELSE\n$ ELSE\n$ ENDIF\n"}) {
        ProcedureFile p(text);
        EXPECT_FALSE(scan_if_block(p.file()).complete) << text;
    }
}

TEST(IfBlockClose, ResumesAfterEndifUnlessActive) {
    test::CapturedErrors errors;
    ProcedureFile p("$ IF 1\n$ THEN\n$ A\n$ ELSE\n$ ENDIF\n$ C\n");
    IfScan scan = scan_if_block(p.file());
    current_frame().if_blocks.push_back({*scan.then_start, scan.else_line, scan.after_endif, 1});
    std::fseek(p.file(), scan.else_line, SEEK_SET);
    close_finished_if_blocks();
    EXPECT_EQ(current_frame().if_blocks.size(), 1u);
    current_frame().if_blocks.back().active = 0;
    close_finished_if_blocks();
    EXPECT_TRUE(current_frame().if_blocks.empty());
    EXPECT_EQ(p.next_line(), "$ C");
}

TEST(OnCommand, KeepsQualifiersAndNeedsAProcedure) {
    test::CapturedErrors errors;
    ProcedureFile p("$ ON\n");
    TokenList tokens;
    for (const char* word : {"ON", "err", "then", "DIRECTORY"}) tokens.add(TOKEN_PARAMETER, word);
    tokens.add(TOKEN_QUALIFIER, "/SIZE");
    const CommandRow& on = *command_row(verb::ON);
    run_command_row(on, tokens, 0, 0, {stdout, stderr});
    EXPECT_EQ(current_frame().on_actions[ON_ERROR].value_or("-"), "DIRECTORY /SIZE ");
    procedure_stack().in_procedure = false;
    run_command_row(on, tokens, 0, 0, {stdout, stderr});
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, cond::ONLEVL);
    discard_messages();
}

}  // namespace
}  // namespace dcl
