// Parameterised capabilities in both description forms, and the built-in
// strings for terminal types without a description.
#include "tty/capabilities.h"

#include <gtest/gtest.h>

#include <string>

namespace dcl {
namespace {

TEST(CapFormat, TerminfoAndTermcapForms) {
    const struct {
        const char* cap;
        int first, second;
        const char* expected;
    } cases[] = {
        // terminfo
        {"\x1b[%p1%dD", 4, 0, "\x1b[4D"},
        {"\x1b[%i%p1%d;%p2%dH", 2, 5, "\x1b[3;6H"},
        {"\x1b[%p2%d;%p1%dH", 2, 5, "\x1b[5;2H"},
        {"%p1%p2%+%d", 2, 5, "7"},
        {"%p1%{10}%+%d", 5, 0, "15"},
        {"%p1%c", 65, 0, "A"},
        {"%%%p1%d%z", 3, 0, "%3%z"},
        // termcap
        {"\x1b[%d;%dH", 2, 5, "\x1b[2;5H"},
        {"\x1b[%i%d;%dH", 2, 5, "\x1b[3;6H"},
        {"%2;%3", 5, 7, "05;007"},
        {"%2", 123, 0, "123"},
        {"%.%.", 65, 66, "AB"},
        {"\x1b=%+ %+ ", 2, 5, "\x1b=\"%"},
        {"%r%d;%d", 2, 5, "5;2"},
        {"%i%r%d,%d", 2, 5, "6,3"},
        {"%%d", 2, 5, "%d"},
        {"%z%d", 4, 0, "%z4"},
        {"abc%", 1, 2, "abc%"},
        {"\x1b[K", 1, 2, "\x1b[K"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cap_format(c.cap, c.first, c.second), c.expected) << testing::PrintToString(c.cap);
}

TEST(CapBuiltin, AnsiLikeTypesGetTheirStrings) {
    const struct {
        const char* term;
        bool ansi;
        bool scroll_region;
    } cases[] = {
        {"vt100", true, true}, {"VT220", true, true},  {"vt52", true, true},
        {"xterm", true, false}, {"ansi", true, false}, {"ANSI", true, false},
        {"dumb", false, false}, {"", false, false},    {"vt", false, false},
        {"vtx", false, false},  {"ansi2", false, false}, {"xterm-256color", true, false},
    };
    for (const auto& c : cases) {
        Capabilities caps;
        caps.cd = "stale";
        caps.lines = 7;
        EXPECT_EQ(builtin_capabilities(c.term, caps), c.ansi) << c.term;
        EXPECT_EQ(caps.le, "\b") << c.term;
        EXPECT_EQ(caps.lines, 0) << c.term;
        EXPECT_EQ(caps.ce, c.ansi ? "\x1b[K" : "") << c.term;
        EXPECT_EQ(caps.cd, c.ansi ? "\x1b[J" : "") << c.term;
        EXPECT_EQ(caps.up, c.ansi ? "\x1b[A" : "") << c.term;
        EXPECT_EQ(caps.cm.empty(), !c.ansi) << c.term;
        EXPECT_EQ(caps.cs.empty(), !c.scroll_region) << c.term;
    }
}

}  // namespace
}  // namespace dcl
