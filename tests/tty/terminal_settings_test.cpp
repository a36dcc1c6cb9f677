// The way from characteristics back to termios flags, which SET TERMINAL
// takes, must agree with the way the record reads them from termios; and
// the line speeds SET TERMINAL accepts.
#include "tty/terminal.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dcl {
namespace {

struct termios with_flags(tcflag_t iflag, tcflag_t oflag, tcflag_t cflag, tcflag_t lflag) {
    struct termios t {};
    t.c_iflag = iflag;
    t.c_oflag = oflag;
    t.c_cflag = cflag;
    t.c_lflag = lflag;
    return t;
}

bool same_flags(const struct termios& a, const struct termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag;
}

TEST(TtyCharacteristicsToTermios, EachBitReadsBackAsSetAndTouchesNothingElse) {
    const struct termios starts[] = {
        with_flags(ICRNL | IXON, OPOST | ONLCR, CS8 | CREAD | HUPCL, ISIG | ICANON | ECHO),
        with_flags(ISTRIP | IUCLC, OPOST | OLCUC | TAB3 | CR2, CS7 | CLOCAL | PARENB, ISIG | XCASE),
    };
    const struct {
        int word;
        uint32_t bit;
    } mapped[] = {{0, TT_NOECHO}, {0, TT_TTSYNC}, {0, TT_MECHTAB}, {0, TT_EIGHTBIT}, {1, TT2_DIALUP}};
    for (const struct termios& start : starts) {
        uint32_t original[3] = {};
        characteristics_from_termios(start, original);
        for (const auto& m : mapped) {
            for (bool on : {false, true}) {
                uint32_t words[3] = {original[0], original[1], original[2]};
                words[m.word] = on ? words[m.word] | m.bit : words[m.word] & ~m.bit;
                uint32_t changed[3] = {};
                changed[m.word] = m.bit;
                struct termios t = start;
                termios_from_characteristics(words, changed, t);
                uint32_t read_back[3] = {};
                characteristics_from_termios(t, read_back);
                for (int w = 0; w < 3; ++w)
                    EXPECT_EQ(read_back[w], words[w]) << "bit " << std::hex << m.bit << " on " << on;
            }
        }
    }
}

TEST(TtyCharacteristicsToTermios, OnlyChangedBitsActAndUpperCaseLeavesTheDriverAlone) {
    struct termios start = with_flags(IUCLC | IXON, OLCUC | TAB3, CS7, XCASE);
    uint32_t none[3] = {TT_NOECHO | TT_MECHTAB | TT_EIGHTBIT, TT2_DIALUP, 0};
    uint32_t nothing_changed[3] = {};
    struct termios t = start;
    termios_from_characteristics(none, nothing_changed, t);
    EXPECT_TRUE(same_flags(t, start));

    // No driver flag turns typed lower case into upper case: UPPERCASE
    // changes nothing, LOWERCASE leaves the upper-case-only mode.
    uint32_t changed[3] = {TT_LOWER, 0, 0};
    uint32_t upper[3] = {0, 0, 0};
    termios_from_characteristics(upper, changed, t);
    EXPECT_TRUE(same_flags(t, start));
    uint32_t lower[3] = {TT_LOWER, 0, 0};
    termios_from_characteristics(lower, changed, t);
    EXPECT_EQ(t.c_iflag, static_cast<tcflag_t>(IXON));
    EXPECT_EQ(t.c_oflag, static_cast<tcflag_t>(TAB3));
    EXPECT_EQ(t.c_lflag, 0u);
}

TEST(TtySpeedCodes, KnownRatesOnly) {
    speed_t code = B0;
    ASSERT_TRUE(speed_code(9600, code));
    EXPECT_EQ(code, static_cast<speed_t>(B9600));
    ASSERT_TRUE(speed_code(115200, code));
    EXPECT_EQ(code, static_cast<speed_t>(B115200));
    EXPECT_FALSE(speed_code(12345, code));
    EXPECT_FALSE(speed_code(-9600, code));
}

}  // namespace
}  // namespace dcl
