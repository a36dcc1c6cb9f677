// The command-line lexer: expansion of a raw line into the line the parser
// reads (comments, continuation, verb recognition, case mapping), and its
// splitting into tokens by verb-specific rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/command_table.h"
#include "lang/tokens.h"

namespace dcl {

// The command being assembled, as the lexer and its callers share it.
struct LexerState {
    bool assignment = false;      // the line is "symbol = ..."
    bool reprompt = false;        // the command is incomplete: read more
    std::string current_prompt;   // prompt of the next interactive read
    bool echo_suppressed = false; // verification already showed this text
    // The first word, looked up as a symbol that would stand for the verb
    // (empty when no word was), and whether it was one: the line's meaning
    // then follows that symbol.
    std::string verb_word;
    bool verb_symbol_found = false;
};

LexerState& lexer_state();

// Expands `raw` into `out` and sets the command's verb number. `raw` may be
// rewritten: it receives the joined text while a continuation is pending.
uint32_t expand_command_line(std::string& out, std::string& raw);

// Strips trailing blanks and "!" comments, maps "$!nonvms" lines, and
// detects a continuation hyphen (setting the reprompt flag).
uint32_t preprocess_line(std::string& line);

// Reduces a "$!nonvms" or "$!notvms" marker (any case) to "$": such lines
// are comments to other interpreters and commands here.
void unmark_nonvms(std::string& line);

// Replaces 'name', ''name' inside quotes and 'F$fn(...)' by their values,
// pass after pass until none is left. Returns 1, 0 after queueing, or a
// condition (BUFOVF).
uint32_t substitute_apostrophes(std::string& line, int depth);

// Drops the leading "$", the "!" comment and replaces &name; marks the
// labels at the start of the line as "label: " and counts them.
uint32_t substitute_ampersands(std::string& line, size_t& labels);

// Copies from `src` up to the first character of `delimiters` outside
// double quotes; a blank among the delimiters also stops at a TAB.
size_t copy_until(std::string& dest, std::string_view src, std::string_view delimiters);

// Hands out the tokens of an expanded line.
class Tokenizer {
public:
    Tokenizer(std::string_view line, uint32_t verb, bool assignment);
    // The next token's type; its text goes to `text`.
    TokenType next(std::string& text);

private:
    TokenType first_token(std::string& text);
    TokenType command_token(std::string& text);
    TokenType assignment_token(std::string& text);
    TokenType qualifier(std::string& text);
    TokenType expression_parameter(std::string& text);
    TokenType keyword_parameter(std::string& text);
    TokenType if_parameter(std::string& text);
    TokenType if_condition(std::string& text);
    TokenType rest_of_line(std::string& text);
    TokenType word_parameter(std::string& text);
    void skip_blanks();
    bool at_end() const { return pos_ >= line_.size(); }
    char peek() const { return at_end() ? '\0' : line_[pos_]; }

    std::string_view line_;
    size_t pos_ = 0;
    TokenRule rule_;
    bool assignment_;
    size_t handed_out_ = 0;
    size_t parameters_ = 0;
    bool operator_seen_ = false;
};

// Whether `word` is a symbol that stands for a verb where it begins a line.
bool is_verb_symbol(std::string_view word);

// Splits an expanded line into the command's token list. Returns 1, or 0
// after queueing an error.
uint32_t tokenize_line(TokenList& list, std::string_view line, uint32_t verb, bool assignment);

}  // namespace dcl
