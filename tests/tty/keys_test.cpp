// The key reader fed through a pipe: escape sequences of the cursor,
// keypad and function keys in their 7-bit, 8-bit and VT52 forms, unknown
// and cut-short sequences, and the key table itself.
#include "tty/keys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "tty/terminal.h"

namespace dcl {
namespace {

class KeyReader : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        reset_key_input();
        reset_terminal_state();
    }

    // Every key the bytes give, up to and including the end of input.
    std::vector<int> keys_of(const std::string& bytes) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fds[1]);
        std::vector<int> keys;
        for (int i = 0; i < 20; ++i) {
            keys.push_back(read_key(fds[0]));
            if (keys.back() == KEY_END_OF_INPUT) break;
        }
        close(fds[0]);
        return keys;
    }

    // A pipe must not pass for a terminal here: the reader then uses the
    // defaults (lower case kept, sequences decoded).
    test::ScopedEnv no_pipes_{"QV_TTY_PIPES", nullptr};
};

TEST_F(KeyReader, SequencesAndPlainBytes) {
    constexpr int END = KEY_END_OF_INPUT;
    const struct {
        std::string bytes;
        std::vector<int> keys;
    } cases[] = {
        {"\x1b[A", {274, END}},
        {"\x1bOA", {274, END}},
        {"\x1b" "A", {274, END}},
        {"\x1b[B\x1b[D\x1b[C", {275, 276, 277, END}},
        {"\x1bOP", {256, END}},
        {"\x1bOp", {260, END}},
        {"\x1b?p", {260, END}},
        {"\x1bOM", {270, END}},
        {"\x1b[21~", {290, END}},
        {"\x1b[28~", {295, END}},
        {"\x1b[3~", {313, END}},
        {"\x9b" "A", {274, END}},
        {"\x9b" "21~", {290, END}},
        {"\x1b[99~x", {'x', END}},
        {"ab\x1b[Ac", {'a', 'b', 274, 'c', END}},
        {"aZ\t\r\x7f", {'a', 'Z', '\t', '\r', 127, END}},
        {"\xe9", {233, END}},
        {"x\x1b[", {'x', END}},
        {"\x1b", {END}},
        {"", {END}},
    };
    for (const auto& c : cases) EXPECT_EQ(keys_of(c.bytes), c.keys) << testing::PrintToString(c.bytes);
}

TEST_F(KeyReader, MatchTakesBracketAndOAsOneAndKnowsTheAlternates) {
    const struct {
        const char* sequence;
        int code;
    } cases[] = {
        {"\x1b[A", 274}, {"\x1bOA", 274}, {"\x1b" "A", 274}, {"\x1b[P", 256},
        {"\x1bP", 256},  {"\x1b?x", 268}, {"\x1b[17~", 286}, {"\x1b[34~", 300},
        {"\x1b[22~", 0}, {"\x1b[", 0},    {"\x1b", 0},       {"A", 0},
        {"\x1b[1;5A", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(match_key_sequence(c.sequence), c.code) << testing::PrintToString(c.sequence);
}

TEST_F(KeyReader, ReplacedPrimaryTakesOverAndResetRestores) {
    replace_primary_key(KEY_UP, "\x1b[Z");
    EXPECT_EQ(match_key_sequence("\x1b[Z"), KEY_UP);
    EXPECT_EQ(match_key_sequence("\x1b[A"), 0);
    EXPECT_EQ(match_key_sequence("\x1b" "A"), KEY_UP);  // the VT52 form stays
    EXPECT_EQ(keys_of("\x1b[Z"), (std::vector<int>{KEY_UP, KEY_END_OF_INPUT}));
    reset_key_input();
    EXPECT_EQ(match_key_sequence("\x1b[A"), KEY_UP);
    EXPECT_EQ(match_key_sequence("\x1b[Z"), 0);
}

// The 8-bit CSI is also a continuation byte (U+011B is C4 9B): after a lead
// byte it is text; on its own it still starts a sequence.
TEST_F(KeyReader, BytesOfASequenceAreNeverTakenForCsi) {
    constexpr int END = KEY_END_OF_INPUT;
    EXPECT_EQ(keys_of("\xc4\x9b"), (std::vector<int>{0xC4, 0x9B, END}));
    EXPECT_EQ(keys_of("\xe2\x9b\x9b"), (std::vector<int>{0xE2, 0x9B, 0x9B, END}));
    EXPECT_EQ(keys_of("\x9b" "A"), (std::vector<int>{KEY_UP, END}));
    // Only as many bytes as the lead announced are passed over.
    EXPECT_EQ(keys_of("\xc4\x9b\x9b" "A"), (std::vector<int>{0xC4, 0x9B, KEY_UP, END}));
    EXPECT_EQ(keys_of("\xe9\xa9"), (std::vector<int>{0xE9, 0xA9, END}));
}

TEST_F(KeyReader, ReadAheadCountsAsWaiting) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_FALSE(key_waiting(fds[0], 0));
    ASSERT_EQ(write(fds[1], "ab", 2), 2);
    EXPECT_TRUE(key_waiting(fds[0], 0));
    EXPECT_EQ(read_key(fds[0]), 'a');  // 'b' is now read ahead
    EXPECT_TRUE(key_waiting(fds[0], 0));
    EXPECT_EQ(read_key(fds[0]), 'b');
    EXPECT_FALSE(key_waiting(fds[0], 0));
    close(fds[0]);
    close(fds[1]);
}

}  // namespace
}  // namespace dcl
