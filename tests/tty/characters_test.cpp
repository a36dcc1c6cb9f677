// Eight-bit text at the terminal: how a line splits into characters (a
// UTF-8 sequence one character and one column, any other byte one each).
// The key reader's and the display's sides are in keys_test.cpp and
// screen_test.cpp.
#include "tty/characters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace dcl
