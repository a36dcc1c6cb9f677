// The shape of the command vocabulary: one row per verb (and per SET or
// SHOW keyword, and per command form that a qualifier selects) holding all
// that is known of it. The rows themselves are the interpreter's top layer's
// to fill in, since they name the handlers; this layer reads them through
// verb_rows_starting_with() and command_row().
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "lang/keywords.h"

namespace dcl {

struct ParsedCommand;
struct ParsedQualifier;

// The streams a handler writes to: the command's output (already the
// /OUTPUT file when one was asked for) and its error stream.
struct CommandStreams {
    FILE* out;
    FILE* err;
};

// Returns 1, 0 when the failure has been queued, or a condition for the
// dispatcher to queue.
using CommandHandler = uint32_t (*)(const ParsedCommand&, CommandStreams&);

// Applies one qualifier as soon as it is read; false ends the command.
using QualifierAction = bool (*)(const ParsedQualifier&);

// How the tokenizer splits the rest of the command line.
enum class TokenRule : uint8_t {
    words,            // qualifiers, and parameters separated by blanks and commas
    rest_of_line,     // the whole rest is one parameter (Unix command lines)
    expressions,      // each parameter is an expression (EXIT, RETURN, ECHO)
    procedure_words,  // blank-separated words, qualifiers only before the first (@, CALL)
    write,            // a channel word, then expressions (WRITE)
    recall,           // qualifiers, then the rest as one parameter
    condition,        // IF's condition, THEN and the command after it
    keyword_first,    // the first parameter is a keyword with its value (SET, SHOW)
};

// Traits of a command.
inline constexpr uint32_t CMD_IMAGE = 0x1;          // runs a program: reads data lines, ends user-mode names
inline constexpr uint32_t CMD_KEEPS_CASE = 0x2;     // the line keeps the case it was typed in
inline constexpr uint32_t CMD_LISTS = 0x4;          // a comma list continues a parameter
inline constexpr uint32_t CMD_RAW = 0x8;            // the handler reads the tokens as they are
inline constexpr uint32_t CMD_INTERACTIVE = 0x10;   // does nothing unless the session is interactive
inline constexpr uint32_t CMD_NO_QUALIFIERS = 0x20; // any qualifier is refused
// From the first parameter on, every token is a parameter of its own,
// qualifiers and comma words included (HELP's topic words).
inline constexpr uint32_t CMD_WORDS_AFTER_FIRST = 0x40;

// How DEFINE and DELETE find the qualifier that selects another form of
// the command (DEFINE/KEY, DELETE/SYMBOL).
enum class FormRule : uint8_t {
    none,
    by_lookup,  // each qualifier is looked up in the verb's table until one selects
    by_name,    // the first qualifier whose name selects; earlier ones are ignored, with a message
};

struct CommandRow;

struct CommandForm {
    uint32_t selector;       // the qualifier code that selects it
    const CommandRow* row;   // nullptr: recognised, not available
};

struct CommandRow {
    KeywordRecord key;                 // name, abbreviation or keyword flags, code
    CommandHandler handler = nullptr;  // nullptr: recognised, not available
    const KeywordTable* qualifiers = nullptr;  // nullptr: the command takes none
    uint32_t traits = 0;
    TokenRule tokens = TokenRule::words;
    uint8_t max_parameters = 0;        // parameter groups accepted; kAnyNumber for no limit
    const char* listing = nullptr;     // /OUTPUT: the default listing name
    const char* prompts[2] = {};       // asked for when a parameter is missing
    std::span<const CommandRow> subcommands = {};  // SET and SHOW: their keywords
    std::span<const CommandForm> forms = {};
    FormRule form_rule = FormRule::none;
    // Set for commands whose qualifiers take effect one by one, so that
    // earlier ones stay in effect when a later one fails (SET CLI).
    QualifierAction apply_each = nullptr;

    static constexpr uint8_t kAnyNumber = 0xFF;
    constexpr uint32_t code() const { return key.code; }
    constexpr bool has(uint32_t trait) const { return (traits & trait) != 0; }
};

// The verb rows whose name begins with `first` (upper case), in table order.
std::span<const CommandRow* const> verb_rows_starting_with(char first);

// The row of a verb, SET/SHOW keyword or form code; nullptr when none.
const CommandRow* command_row(uint32_t code);

}  // namespace dcl
