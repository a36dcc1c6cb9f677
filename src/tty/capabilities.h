// Terminal capabilities: the strings the line editor and the screen
// commands use, from the terminal description (termcap interface of
// ncurses) or built-in ANSI strings, and how they are written.
#pragma once

#include <string>
#include <string_view>

namespace dcl {

struct Capabilities {
    std::string cd, ce, cl, ho, cm, me, cs, us, cr, mb, md, mr, sf, sr;
    std::string up, down, nd, le, UP, DO, RI, LE, ks, ke;
    int lines = 0, columns = 0;  // "li" and "co"; 0 when not given
};

// Fills `caps` for the terminal type `term` (nullptr: unset). With no
// description, ANSI-like types get built-in strings and any other type
// gets only "le"; `known` then tells whether a description was found.
// Key capabilities found are handed to the key table.
void load_capabilities(const char* term, Capabilities& caps, bool& known);

// The built-in strings for a type without a description: true when the
// type is ANSI-like (ansi, xterm, vtN).
bool builtin_capabilities(std::string_view term, Capabilities& caps);

// Expands the "%" escapes of a parameterised capability with two
// parameters, in either the terminfo form (%p1%d, %i) or the termcap form
// (%d, %2, %., %+c, %r, %i). Unknown escapes are copied.
std::string cap_format(std::string_view cap, int first, int second);

// A capability with its padding applied, as bytes to write.
std::string expand_cap(std::string_view cap);

// Writes a capability (padding applied) to `fd`; to standard output,
// flushed around, when fd is 0, 1 or 2 and standard output is a terminal.
void put_cap(std::string_view cap, int fd);

}  // namespace dcl
