// Procedure levels, labels and jumps.
#include "proc/procedure.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

// A temporary procedure file that a level reads from, positioned after
// `skip` lines.
class ProcFile {
public:
    ProcFile(const std::string& text, int skip) : file_(std::tmpfile()) {
        std::fputs(text.c_str(), file_);
        std::rewind(file_);
        for (int n = 0; n < skip; ++n) next_line();
        push_procedure_level("");
        push_procedure_level("X.COM");
        procedure_stack().command_input = file_;
        current_frame().input = file_;
    }
    ~ProcFile() { std::fclose(file_); }
    ProcFile(const ProcFile&) = delete;
    ProcFile& operator=(const ProcFile&) = delete;

    FILE* file() const { return file_; }
    std::string next_line() const {
        std::string line;
        for (int c; (c = std::getc(file_)) != EOF && c != '\n';)
            line.push_back(static_cast<char>(c));
        return line;
    }

private:
    FILE* file_;
};

std::string symbol(const char* name) {
    std::string value;
    uint32_t type = 0;
    return get_symbol_text(name, value, type) == 1 ? value : "<undefined>";
}

TEST(ProcLabels, LabelLines) {
    EXPECT_EQ(label_of_line("$ loop:"), "LOOP");
    EXPECT_EQ(label_of_line("$$ L :"), "L");
    EXPECT_EQ(label_of_line("$ \t$ Next_1:  write sys$output 1"), "NEXT_1");
    EXPECT_EQ(label_of_line("$ L := 1"), "");
    EXPECT_EQ(label_of_line("$ L:=1"), "");
    EXPECT_EQ(label_of_line("$ x = 1"), "");
    EXPECT_EQ(label_of_line("loop:"), "");
    EXPECT_EQ(label_of_line("$ :"), "");
    EXPECT_EQ(label_of_line("$ a b:"), "");
    EXPECT_EQ(label_of_line("$ " + std::string(256, 'A') + ":"), "");
}

TEST(ProcLabels, ScanKeepsFileOrderAndSkipsLongLinesWhole) {
    // The second line is longer than one piece; its tail looks like a label
    // line but is no line of its own.
    std::string long_line = "$ !" + std::string(kMaxScanPiece - 3, 'a') + "$ FAKE:";
    std::string text = "$ A:\n" + long_line + "\n$ B: x\n$ A:\n$ C:";
    std::FILE* f = std::tmpfile();
    std::fputs(text.c_str(), f);
    std::rewind(f);
    std::vector<Label> labels = scan_labels(f, 0);
    std::fclose(f);
    ASSERT_EQ(labels.size(), 4u);
    long b = static_cast<long>(5 + long_line.size() + 1);
    EXPECT_EQ(labels[0].name, "A");
    EXPECT_EQ(labels[0].position, 0);
    EXPECT_EQ(labels[1].name, "B");
    EXPECT_EQ(labels[1].position, b);
    EXPECT_EQ(labels[2].position, b + 7);
    EXPECT_EQ(labels[3].name, "C");  // last line without a newline
}

TEST(ProcLabels, LastBeforeElseFirstAfter) {
    std::vector<Label> labels = {{"A", 10}, {"B", 20}, {"A", 30}, {"C", 40}};
    EXPECT_EQ(find_label(labels, "A", 25), 10);  // between the two: back to the first
    EXPECT_EQ(find_label(labels, "A", 30), 10);  // the second right after the jump
    EXPECT_EQ(find_label(labels, "A", 5), 10);   // before both: the first
    EXPECT_EQ(find_label(labels, "A", 45), 30);  // after both: the last
    EXPECT_EQ(find_label(labels, "C", 5), 40);   // none before: the first after
    EXPECT_EQ(find_label(labels, "D", 25), -1);
}

TEST(ProcLabels, GotoScansOnlyAsFarAsTheJumpNeeds) {
    test::CapturedErrors errors;
    const std::string text = "$ GOTO L\n$ X\n$ l :\n$ Y\n$ L:\n";
    ProcFile p(text, 1);
    EXPECT_EQ(goto_label("l:"), 1u);
    EXPECT_EQ(p.next_line(), "$ l :");
    // A forward jump stops reading at the label it found: a pipe is not
    // read to its end.
    EXPECT_EQ(current_frame().labels_scanned_to, 19);
    // From the end, the last definition before the jump wins; the lines
    // not yet scanned are scanned now.
    seek_input(static_cast<long>(text.size()));
    EXPECT_EQ(goto_label("L"), 1u);
    EXPECT_EQ(p.next_line(), "$ L:");
    EXPECT_EQ(goto_label("NEW"), cond::USGOTO);
    EXPECT_EQ(std::getc(p.file()), EOF);  // a missing label leaves the input at its end
}

TEST(ProcLabels, ScriptLabelsMayLackTheDollar) {
    EXPECT_EQ(label_of_line("loop:", true), "LOOP");
    EXPECT_EQ(label_of_line("  _done: write sys$output 1", true), "_DONE");
    EXPECT_EQ(label_of_line("$ again:", true), "AGAIN");
    EXPECT_EQ(label_of_line("x := 1", true), "");
    EXPECT_EQ(label_of_line("write sys$output \"a:b\"", true), "");
    EXPECT_EQ(label_of_line("  $ l:"), "");  // a procedure's label starts the line
}

TEST(ProcLabels, GotoOutsideAProcedureDoesNothing) {
    test::CapturedErrors errors;
    push_procedure_level("");
    procedure_stack().in_procedure = false;
    EXPECT_EQ(goto_label("ANY"), 1u);
}

TEST(ProcLabels, JumpsLeaveInactiveBlocksOnly) {
    ProcedureFrame frame;
    frame.if_blocks = {{0, 100, 120, 1}, {40, 60, 70, 0}};
    discard_left_if_blocks(frame, 50);
    EXPECT_EQ(frame.if_blocks.size(), 2u);
    discard_left_if_blocks(frame, 60);  // the end is outside the range
    ASSERT_EQ(frame.if_blocks.size(), 1u);
    discard_left_if_blocks(frame, 10);  // active: kept
    EXPECT_EQ(frame.if_blocks.size(), 1u);
}

TEST(ProcLabels, SeekToEndAndBack) {
    test::CapturedErrors errors;
    ProcFile p("$ A\n$ B\n$ C\n", 0);
    EXPECT_EQ(seek_input(-1), 1u);
    EXPECT_EQ(tell_input(), 12);
    EXPECT_EQ(seek_input(8), 1u);  // relative
    EXPECT_EQ(p.next_line(), "$ C");
    EXPECT_EQ(seek_input(4), 1u);  // absolute
    EXPECT_EQ(p.next_line(), "$ B");
}

TEST(ProcLevels, ThirtyTwoLevelsAtMost) {
    test::CapturedErrors errors;
    for (int level = 0; level < ProcedureStack::kMaxLevels; ++level)
        ASSERT_EQ(push_procedure_level("P"), 1u) << level;
    EXPECT_EQ(push_procedure_level("P"), cond::STKOVF);
    EXPECT_EQ(procedure_depth(), ProcedureStack::kMaxLevels - 1);
}

TEST(ProcLevels, ParametersAreLocalToTheLevel) {
    test::CapturedErrors errors;
    ProcFile p("$ CALL S\n$ S: SUBROUTINE\n", 1);
    set_symbol_text("P1", "outer", SYM_LOCAL | SYM_STRING);
    ASSERT_EQ(push_procedure_level("X.COM"), 1u);
    current_frame().called = true;
    current_frame().return_position = 9;
    ASSERT_EQ(open_procedure_streams("", "", {"A", "b c"}), 1u);
    EXPECT_EQ(symbol("P1"), "A");
    EXPECT_EQ(symbol("P2"), "b c");
    EXPECT_EQ(symbol("P8"), "");
    EXPECT_EQ(procedure_stack().command_input, p.file());
    std::fseek(p.file(), 0, SEEK_END);
    pop_procedure_level();
    EXPECT_EQ(procedure_depth(), 1);
    EXPECT_EQ(symbol("P1"), "outer");
    EXPECT_EQ(p.next_line(), "$ S: SUBROUTINE");  // back after the CALL line
}

TEST(ProcLevels, FileLevelReadsItsFileAndGivesBackTheStream) {
    test::CapturedErrors errors;
    ProcFile p("$ @Y\n", 1);
    char path[] = "/tmp/dclsh_proc_testXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(push_procedure_level("Y.COM"), 1u);
    ASSERT_EQ(open_procedure_streams(path, "", {}), 1u);
    EXPECT_NE(procedure_stack().command_input, p.file());
    EXPECT_EQ(redirection().input, procedure_stack().command_input);
    pop_procedure_level();
    EXPECT_EQ(procedure_stack().command_input, p.file());
    EXPECT_EQ(redirection().input, stdin);
    std::remove(path);
}

TEST(ProcLevels, FailedOpenPopsTheLevel) {
    test::CapturedErrors errors;
    push_procedure_level("");
    ASSERT_EQ(push_procedure_level("Y.COM"), 1u);
    EXPECT_EQ(open_procedure_streams("/nonexistent/dir/y.com", "", {}), cond::PRV);
    EXPECT_EQ(procedure_depth(), 0);
    discard_messages();
}

}  // namespace
}  // namespace dcl
