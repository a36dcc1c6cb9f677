// Eight-bit text at the terminal: how a line splits into characters and
// how the display counts columns (a UTF-8 sequence one column, any other
// byte one column). The key reader's side is in keys_test.cpp.
#include "tty/characters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tty/screen.h"
#include "tty/terminal.h"

namespace dcl {
namespace {

TEST(Characters, WellFormedSequencesOnlyAreOneCharacter) {
    const struct {
        const char* text;
        size_t first;  // length of the first character
        int columns;
    } cases[] = {
        {"a", 1, 1},
        {"\xc3\xaf", 2, 1},                 // ï
        {"\xe2\x82\xac!", 3, 2},            // € then !
        {"\xf0\x9f\x98\x80", 4, 1},         // an emoji
        {"\xe9t\xe9", 1, 3},                // Latin-1 é, t, é
        {"\xc3X", 1, 2},                    // a lead without its continuation
        {"\xc3", 1, 1},                     // cut off at the end
        {"\xe2\x82", 1, 2},
        {"\xc0\xaf", 1, 2},                 // overlong
        {"\xe0\x80\xaf", 1, 3},             // overlong
        {"\xed\xa0\x80", 1, 3},             // a surrogate
        {"\xf4\x90\x80\x80", 1, 4},         // beyond U+10FFFF
        {"\xa9\xa9", 1, 2},                 // continuations without a lead
    };
    for (const auto& c : cases) {
        std::string_view text(c.text);
        EXPECT_EQ(char_length(text, 0), c.first) << c.text;
        EXPECT_EQ(text_columns(text), c.columns) << c.text;
    }
}

TEST(Characters, StepsBackAndForthOverWholeCharacters) {
    std::string_view text = "n\xc3\xa4\xc3\xafve\xe9";  // n ä ï v e é(Latin-1)
    EXPECT_EQ(char_before(text, 9), 8u);
    EXPECT_EQ(char_before(text, 5), 3u);
    EXPECT_EQ(char_before(text, 3), 1u);
    EXPECT_EQ(char_before(text, 1), 0u);
    EXPECT_EQ(char_before(text, 0), 0u);
    EXPECT_EQ(chars_forward(text, 1, 2), 5u);
    EXPECT_EQ(chars_forward(text, 0, 99), text.size());
}

class EightBitDisplay : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(builtin_capabilities("vt100", caps_)); }
    LineDisplay display(int width, int column) {
        LineDisplay d;
        d.caps = &caps_;
        d.width = width;
        d.wraps = true;
        d.column = column;
        return d;
    }
    Capabilities caps_;
};

TEST_F(EightBitDisplay, InsertAndDeleteMoveByColumns) {
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
