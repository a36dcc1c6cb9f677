// Data lines of a procedure collected for a command's SYS$INPUT.
#include "proc/input_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "files/scratch.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"
#include "unix/redirection.h"

namespace dcl {
namespace {

std::string read_line(FILE* f) {
    std::string line;
    for (int c; (c = std::getc(f)) != EOF && c != '\n';) line.push_back(static_cast<char>(c));
    return line;
}

// A procedure level whose file, also its SYS$INPUT, is `text`, read up to
// its first line (the command that reads the data).
struct DataProcedure {
    explicit DataProcedure(const std::string& text) {
        std::fputs(text.c_str(), file);
        std::rewind(file);
        read_line(file);
        push_procedure_level("");
        push_procedure_level("X.COM");
        procedure_stack().command_input = current_frame().input = redirection().input = file;
        redirection().output = output;
        session().null_device = null;
    }
    ~DataProcedure() {
        finish_input_data();
        remove_temporary_files();
        reset_redirection();
        session().null_device = nullptr;
        for (FILE* f : {file, null, output}) std::fclose(f);
    }
    FILE* file = std::tmpfile();
    FILE* null = std::tmpfile();
    FILE* output = std::tmpfile();
};

TEST(DataLines, PlainLinesUpToTheNextCommand) {
    test::CapturedErrors errors;
    DataProcedure p("$ COPY SYS$INPUT X\none\n  two\n\n$ NEXT\n");
    ASSERT_EQ(collect_input_data(true), 1u);
    FILE* data = redirection().input;
    ASSERT_NE(data, p.file);
    EXPECT_EQ(read_line(data), "one");
    EXPECT_EQ(read_line(data), "  two");
    EXPECT_EQ(read_line(data), "");
    EXPECT_EQ(std::getc(data), EOF);
    finish_input_data();
    EXPECT_EQ(redirection().input, p.file);
    EXPECT_FALSE(error_queued());
    EXPECT_EQ(read_line(p.file), "$ NEXT");
}

TEST(DataLines, UnreadDataIsReportedAndReadDataEchoed) {
    test::CapturedErrors errors;
    DataProcedure p("$ SHOW LOGICAL\nfirst\nsecond\n");
    session().image_verify = true;
    ASSERT_EQ(collect_input_data(true), 1u);
    EXPECT_EQ(read_line(redirection().input), "first");
    finish_input_data();
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, cond::SKPDAT);
    EXPECT_EQ(test::read_all(p.output), "first\n");
}

TEST(DataLines, DeckWithAMarkerTakesDollarLines) {
    test::CapturedErrors errors;
    DataProcedure p("$ TYPE SYS$INPUT\n$ DECK/DOLLARS=XX\n$ data\nxx end\n$ AFTER\n");
    ASSERT_EQ(collect_input_data(true), 1u);
    EXPECT_EQ(read_line(redirection().input), "$ data");
    EXPECT_EQ(std::getc(redirection().input), EOF);
    EXPECT_EQ(read_line(p.file), "$ AFTER");
}

TEST(DataLines, NoDataGivesTheNullDevice) {
    test::CapturedErrors errors;
    DataProcedure p("$ SHOW LOGICAL\n$ DECLARE\n");
    ASSERT_EQ(collect_input_data(true), 1u);
    EXPECT_EQ(redirection().input, p.null);
    finish_input_data();
    EXPECT_EQ(redirection().input, p.file);
    EXPECT_EQ(read_line(p.file), "$ DECLARE");
}

}  // namespace
}  // namespace dcl
