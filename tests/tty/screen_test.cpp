// The line editor's drawing: echo that ends rows at the width, cursor moves
// across rows, insertion and deletion with the tail redrawn.
#include "tty/screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace dcl {
namespace {

class ScreenDisplay : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(builtin_capabilities("vt100", caps_)); }

    LineDisplay display(int width, int column, bool echo = true) {
        LineDisplay d;
        d.caps = &caps_;
        d.width = width;
        d.wraps = true;
        d.echo = echo;
        d.column = column;
        return d;
    }

    Capabilities caps_;
};

TEST_F(ScreenDisplay, TextAndCursorMoves) {
    const struct {
        const char* name;
        int width, column;
        std::function<void(LineDisplay&)> act;
        const char* out;
        int end_column;
    } cases[] = {
        {"text ends rows", 10, 0, [](LineDisplay& d) { show_text(d, "abcdefghijkl"); },
         "abcdefghij\r\nkl", 12},
        {"text on a full row", 10, 7, [](LineDisplay& d) { show_text(d, "abc"); }, "abc\r\n", 10},
        {"no width, no rows", 0, 0, [](LineDisplay& d) { show_text(d, "abcdefghijkl"); },
         "abcdefghijkl", 12},
        {"left across a row", 10, 12, [](LineDisplay& d) { cursor_left(d, 5); }, "\x1b[A\x1b[5C", 7},
        {"left within a row", 10, 12, [](LineDisplay& d) { cursor_left(d, 2); }, "\x1b[2D", 10},
        {"left by one", 10, 12, [](LineDisplay& d) { cursor_left(d, 1); }, "\b", 11},
        {"left to a row start", 10, 25, [](LineDisplay& d) { cursor_left(d, 15); }, "\x1b[A\x1b[5D", 10},
        {"left two rows", 10, 25, [](LineDisplay& d) { cursor_left(d, 22); }, "\x1b[2A\x1b[2D", 3},
        {"left past the start", 10, 3, [](LineDisplay& d) { cursor_left(d, 9); }, "\x1b[3D", 0},
        {"left by nothing", 10, 3, [](LineDisplay& d) { cursor_left(d, 0); }, "", 3},
        {"left without width", 0, 12, [](LineDisplay& d) { cursor_left(d, 5); }, "\x1b[5D", 7},
        {"right across a row", 10, 7, [](LineDisplay& d) { cursor_right(d, 5); }, "\r\n\x1b[2C", 12},
        {"right to a row start", 10, 7, [](LineDisplay& d) { cursor_right(d, 3); }, "\r\n", 10},
        {"right by one", 10, 2, [](LineDisplay& d) { cursor_right(d, 1); }, "\x1b[C", 3},
        {"right without width", 0, 7, [](LineDisplay& d) { cursor_right(d, 5); }, "\x1b[5C", 12},
    };
    for (const auto& c : cases) {
        LineDisplay d = display(c.width, c.column);
        c.act(d);
        EXPECT_EQ(d.out, c.out) << c.name;
        EXPECT_EQ(d.column, c.end_column) << c.name;
    }
}

TEST_F(ScreenDisplay, InsertAndDelete) {
    const struct {
        const char* name;
        int width;
        const char* before;
        int cursor;
        std::function<void(LineDisplay&, std::string&, int&)> act;
        const char* after;
        int end_cursor;
        const char* out;
    } cases[] = {
        {"insert in the middle", 10, "abcd", 1,
         [](LineDisplay& d, std::string& b, int& c) { insert_char(d, b, "X", c); }, "aXbcd", 2,
         "Xbcd\x1b[3D"},
        {"insert at the end", 10, "abcd", 4,
         [](LineDisplay& d, std::string& b, int& c) { insert_char(d, b, "X", c); }, "abcdX", 5, "X"},
        {"insert filling the row", 10, "abcdefghi", 9,
         [](LineDisplay& d, std::string& b, int& c) { insert_char(d, b, "j", c); }, "abcdefghij", 10,
         "j\r\n"},
        {"insert pushing onto the next row", 10, "abcdefghij", 5,
         [](LineDisplay& d, std::string& b, int& c) { insert_char(d, b, "X", c); }, "abcdeXfghij", 6,
         "Xfghi\r\nj\x1b[A\x1b[5C"},
        {"delete in the middle", 10, "abcdef", 2,
         [](LineDisplay& d, std::string& b, int& c) { delete_chars(d, b, 2, c); }, "abef", 2,
         "ef  \x1b[4D"},
        {"delete more than is left", 10, "abcdef", 4,
         [](LineDisplay& d, std::string& b, int& c) { delete_chars(d, b, 9, c); }, "abcd", 4,
         "  \x1b[2D"},
        {"delete at the end", 10, "abcd", 4,
         [](LineDisplay& d, std::string& b, int& c) { delete_chars(d, b, 1, c); }, "abcd", 4, ""},
        {"delete across a row", 10, "abcdefghijkl", 8,
         [](LineDisplay& d, std::string& b, int& c) { delete_chars(d, b, 1, c); }, "abcdefghjkl", 8,
         "jk\r\nl \x1b[A\x1b[6C"},
    };
    for (const auto& c : cases) {
        // The line starts in column 0 and the cursor is on the screen where
        // the buffer's cursor is.
        LineDisplay d = display(c.width, c.cursor);
        std::string buffer = c.before;
        int cursor = c.cursor;
        c.act(d, buffer, cursor);
        EXPECT_EQ(buffer, c.after) << c.name;
        EXPECT_EQ(cursor, c.end_cursor) << c.name;
        EXPECT_EQ(d.out, c.out) << c.name;
        EXPECT_EQ(d.column, c.end_cursor) << c.name;
    }
}

// Keys defined with DEFINE/KEY/NOECHO insert without echo: nothing is drawn,
// so the screen cursor must stay where it was.
TEST_F(ScreenDisplay, InsertWithoutEchoLeavesTheScreenAlone) {
    LineDisplay d = display(10, 1, false);
    std::string buffer = "abcd";
    int cursor = 1;
    insert_char(d, buffer, "X", cursor);
    EXPECT_EQ(buffer, "aXbcd");
    EXPECT_EQ(cursor, 2);
    EXPECT_EQ(d.out, "");
    EXPECT_EQ(d.column, 1);
}

// Eight-bit text: a UTF-8 sequence is one column, any other byte one.
TEST_F(ScreenDisplay, InsertAndDeleteMoveByColumns) {
    // "nave" with the cursor before v: ï goes in, the tail is redrawn and
    // the cursor goes back over two columns, not three bytes.
    LineDisplay d = display(80, 2);
    std::string buffer = "nave";
    int cursor = 2;
    insert_char(d, buffer, "\xc3\xaf", cursor);
    EXPECT_EQ(buffer, "na\xc3\xafve");
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(d.out, "\xc3\xafve\x1b[2D");
    EXPECT_EQ(d.column, 3);
    // Deleting the two characters "ïv": one blank per column.
    d.out.clear();
    d.column = 2;
    cursor = 2;
    delete_chars(d, buffer, 2, cursor);
    EXPECT_EQ(buffer, "nae");
    EXPECT_EQ(d.out, "e  \x1b[3D");
    EXPECT_EQ(d.column, 2);
}

}  // namespace
}  // namespace dcl
