// Terminal records without a terminal: the saved-settings text, the
// characteristics read from termios, the settings of each mode, and which
// descriptors count as terminals.
#include "tty/terminal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/scoped_env.h"

namespace dcl {
namespace {

struct termios patterned() {
    struct termios t;
    auto* bytes = reinterpret_cast<unsigned char*>(&t);
    for (size_t i = 0; i < sizeof t; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + 0xA5);
    return t;
}

TEST(TtySavedSettings, RoundTripAndRefusals) {
    const struct termios in = patterned();
    const std::string text = encode_termios(in);
    ASSERT_EQ(text.size(), 3 + 2 * sizeof in);
    EXPECT_EQ(text.substr(0, 3), "v1:");
    EXPECT_EQ(text.find_first_not_of("0123456789abcdef", 3), std::string::npos);
    struct termios out {};
    ASSERT_TRUE(decode_termios(text, out));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);

    std::string upper = text;
    upper[upper.find_first_of("abcdef", 3)] = 'A';
    std::string bad_digit = text;
    bad_digit[10] = 'g';
    const std::string refused[] = {
        "v2:" + text.substr(3), "V1:" + text.substr(3), text.substr(3), text.substr(0, text.size() - 2),
        text + "00", text.substr(0, text.size() - 1), upper, bad_digit, "",
    };
    for (const std::string& r : refused) {
        struct termios t = patterned();
        EXPECT_FALSE(decode_termios(r, t)) << r;
        EXPECT_EQ(std::memcmp(&t, &in, sizeof t), 0) << "changed by a refused text: " << r;
    }
}

TEST(TtyCharacteristics, FromTermios) {
    // Bits set beforehand: the mapped ones follow the settings, the rest stay.
    const uint32_t before1 = TT_NOECHO | TT_TTSYNC | TT_SCOPE;
    const uint32_t base1 = TT_SCOPE | TT_LOWER | TT_MECHTAB | TT_EIGHTBIT;
    const struct {
        const char* name;
        tcflag_t iflag, oflag, cflag, lflag;
        uint32_t word1, word2;
    } cases[] = {
        {"base", 0, 0, CS8, ECHO, base1, TT2_PASTHRU | TT2_INSERT},
        {"no echo", 0, 0, CS8, 0, base1 | TT_NOECHO, TT2_PASTHRU | TT2_INSERT},
        {"ixon", IXON, 0, CS8, ECHO, base1 | TT_TTSYNC, TT2_PASTHRU | TT2_INSERT},
        {"iuclc", IUCLC, 0, CS8, ECHO, base1 & ~TT_LOWER, TT2_PASTHRU | TT2_INSERT},
        {"xcase", 0, 0, CS8, ECHO | XCASE, base1 & ~TT_LOWER, TT2_PASTHRU | TT2_INSERT},
        {"tab3", 0, TAB3, CS8, ECHO, base1 & ~TT_MECHTAB, TT2_PASTHRU | TT2_INSERT},
        {"tab1", 0, TAB1, CS8, ECHO, base1, TT2_PASTHRU | TT2_INSERT},
        {"cs7", 0, 0, CS7, ECHO, base1 & ~TT_EIGHTBIT, TT2_PASTHRU | TT2_INSERT},
        {"istrip", ISTRIP, 0, CS8, ECHO, base1 & ~TT_EIGHTBIT, TT2_PASTHRU | TT2_INSERT},
        {"modem", 0, 0, CS8 | HUPCL, ECHO, base1, TT2_PASTHRU | TT2_INSERT | TT2_DIALUP},
        {"local", 0, 0, CS8 | HUPCL | CLOCAL, ECHO, base1, TT2_PASTHRU | TT2_INSERT},
    };
    for (const auto& c : cases) {
        struct termios t {};
        t.c_iflag = c.iflag;
        t.c_oflag = c.oflag;
        t.c_cflag = c.cflag;
        t.c_lflag = c.lflag;
        uint32_t words[3] = {before1, TT2_PASTHRU | TT2_DIALUP, 0x55};
        characteristics_from_termios(t, words);
        EXPECT_EQ(words[0], c.word1) << c.name;
        EXPECT_EQ(words[1], c.word2) << c.name;
        EXPECT_EQ(words[2], 0x55u) << c.name;
    }
}

TerminalRecord cooked_record(uint32_t word1, uint32_t word2) {
    TerminalRecord r;
    struct termios& t = r.original;
    t.c_iflag = ICRNL | IXON;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS8 | CREAD;
    t.c_lflag = ICANON | ISIG | ECHO | ECHOE | IEXTEN;
    t.c_cc[VINTR] = 3;
    t.c_cc[VQUIT] = 28;
    t.c_cc[VSUSP] = 26;
    t.c_cc[VEOF] = 4;
    t.c_cc[VMIN] = 5;
    t.c_cc[VTIME] = 7;
    r.iflag = t.c_iflag;
    r.oflag = t.c_oflag;
    r.cflag = t.c_cflag;
    r.lflag = t.c_lflag;
    r.characteristics[0] = word1;
    r.characteristics[1] = word2;
    return r;
}

TEST(TtyModes, SettingsOfEachMode) {
    constexpr int OFF = _POSIX_VDISABLE;
    constexpr int ANY = -1;
    const TerminalRecord plain = cooked_record(TT_TTSYNC | TT_MECHTAB, 0);
    const TerminalRecord passthru = cooked_record(TT_TTSYNC | TT_MECHTAB, TT2_PASTHRU);
    const struct {
        const char* name;
        const TerminalRecord& record;
        TerminalMode mode;
        bool icanon, isig, echo, icrnl;
        int vintr, vquit, vsusp, veof, vmin, vtime;
    } cases[] = {
        // Typed-ahead keys reach the editor untouched: single characters, no
        // RETURN-to-Ctrl-J mapping, even while commands run.
        {"command", plain, TTY_COMMAND, false, true, false, false, 3, 25, OFF, 26, 1, 0},
        {"single key", plain, TTY_SINGLE_KEY, false, false, false, false, 3, 25, OFF, 26, 1, 0},
        {"keys crlf", plain, TTY_KEYS_CRLF, false, true, false, true, 3, 25, OFF, 26, 1, 0},
        {"poll", plain, TTY_POLL, false, true, false, false, 3, 25, OFF, 26, 0, 1},
        {"shell", plain, TTY_SHELL, true, true, true, true, 3, 25, OFF, 26, 5, 7},
        {"image", plain, TTY_IMAGE, true, true, true, true, 3, 25, OFF, 26, 5, 7},
        {"quit only", plain, TTY_QUIT_ONLY, true, true, true, true, 3, 28, OFF, 4, 5, 7},
        {"passthru command", passthru, TTY_COMMAND, false, false, false, false, OFF, ANY, OFF, 26, 1, 0},
        {"passthru single", passthru, TTY_SINGLE_KEY, false, false, false, false, OFF, ANY, OFF, 26, 1, 0},
    };
    for (const auto& c : cases) {
        const struct termios t = settings_for_mode(c.record, c.mode, true);
        EXPECT_EQ((t.c_lflag & ICANON) != 0, c.icanon) << c.name;
        EXPECT_EQ((t.c_lflag & ISIG) != 0, c.isig) << c.name;
        EXPECT_EQ((t.c_lflag & ECHO) != 0, c.echo) << c.name;
        EXPECT_EQ((t.c_iflag & ICRNL) != 0, c.icrnl) << c.name;
        EXPECT_EQ(t.c_cc[VINTR], c.vintr) << c.name;
        if (c.vquit != ANY) {
            EXPECT_EQ(t.c_cc[VQUIT], c.vquit) << c.name;
        }
        EXPECT_EQ(t.c_cc[VSUSP], c.vsusp) << c.name;
        EXPECT_EQ(t.c_cc[VEOF], c.veof) << c.name;
        EXPECT_EQ(t.c_cc[VMIN], c.vmin) << c.name;
        EXPECT_EQ(t.c_cc[VTIME], c.vtime) << c.name;
        EXPECT_EQ(t.c_cflag, c.record.cflag) << c.name;
    }
    // Without Ctrl-J mapping RETURN is not turned into a newline.
    EXPECT_EQ(settings_for_mode(plain, TTY_KEYS_CRLF, false).c_iflag & ICRNL, 0u);
}

TEST(TtyModes, OriginalIsUntouchedAndCharacteristicsDecideFlowAndTabs) {
    const TerminalRecord r = cooked_record(TT_TTSYNC | TT_MECHTAB, TT2_PASTHRU);
    const struct termios original = settings_for_mode(r, TTY_ORIGINAL, true);
    EXPECT_EQ(std::memcmp(&original, &r.original, sizeof original), 0);

    const struct termios with = settings_for_mode(r, TTY_COMMAND, true);
    EXPECT_NE(with.c_iflag & IXON, 0u);
    EXPECT_EQ(with.c_oflag & TABDLY, static_cast<tcflag_t>(TAB0));
    const struct termios without = settings_for_mode(cooked_record(0, 0), TTY_COMMAND, true);
    EXPECT_EQ(without.c_iflag & IXON, 0u);
    EXPECT_EQ(without.c_oflag & TABDLY, static_cast<tcflag_t>(TAB3));
}

TEST(TtyIsTerminal, PipesCountOnlyWithTheVariableLookedUpOnce) {
    test::ScopedEnv unset("QV_TTY_PIPES", nullptr);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    reset_terminal_state();
    EXPECT_FALSE(is_terminal(fds[0]));
    {
        test::ScopedEnv set("QV_TTY_PIPES", "1");
        EXPECT_FALSE(is_terminal(fds[0]));  // the first answer is kept
        reset_terminal_state();
        EXPECT_TRUE(is_terminal(fds[0]));
        EXPECT_TRUE(is_terminal(fds[1]));
    }
    reset_terminal_state();
    EXPECT_FALSE(is_terminal(fds[0]));
    close(fds[0]);
    close(fds[1]);
    reset_terminal_state();
}

}  // namespace
}  // namespace dcl
