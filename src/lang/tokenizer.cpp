// Splitting an expanded line into tokens. What counts as one parameter
// depends on the verb: shell lines are one parameter, EXIT takes
// expressions, SET and SHOW take a keyword first.
#include <cctype>

#include "lang/command_table.h"
#include "lang/lexer.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {


TokenRule token_rule_of(uint32_t verb_number) {
    const CommandRow* row = command_row(verb_number);
    return row ? row->tokens : TokenRule::words;
}

// Copies a bracketed group "(...)" whole, quotes and nesting respected.
size_t copy_group(std::string& dest, std::string_view s, size_t i, char open, char close) {
    int depth = 0;
    bool quoted = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        dest.push_back(c);
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == open) ++depth;
        if (c == close && --depth == 0) return i + 1;
    }
    return i;
}

// An operand of an IF condition ends at an operator or a blank outside
// quotes and parentheses.
size_t operand_end(std::string_view s, size_t i) {
    int depth = 0;
    bool quoted = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && std::string_view("+-*/. \t").find(c) != std::string_view::npos) break;
    }
    return i;
}

}  // namespace

Tokenizer::Tokenizer(std::string_view line, uint32_t verb_number, bool assignment)
    : line_(line), rule_(token_rule_of(verb_number)), assignment_(assignment) {}

void Tokenizer::skip_blanks() {
    while (!at_end() && is_blank(line_[pos_])) ++pos_;
}

TokenType Tokenizer::next(std::string& text) {
    text.clear();
    skip_blanks();
    if (at_end()) return TOKEN_END;
    TokenType type = handed_out_ == 0 ? first_token(text)
                     : assignment_    ? assignment_token(text)
                                      : command_token(text);
    ++handed_out_;
    return type;
}

TokenType Tokenizer::first_token(std::string& text) {
    size_t start = pos_;
    std::string word;
    size_t used = copy_until(word, line_.substr(pos_), " (/!,:=");
    bool label_chars = !word.empty();
    for (char c : word)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') label_chars = false;
    size_t after = pos_ + used;
    if (label_chars && after < line_.size() && line_[after] == ':' &&
        (after + 1 >= line_.size() || line_[after + 1] != '=')) {
        pos_ = after + 1;
        text = word;
        --handed_out_;  // the verb still counts as the first token
        return TOKEN_LABEL;
    }
    pos_ = start;
    pos_ += copy_until(text, line_.substr(pos_), assignment_ ? " (/!=" : " (/!,=");
    if (text.empty()) return TOKEN_END;
    return assignment_ ? TOKEN_SYMBOL : TOKEN_VERB;
}

TokenType Tokenizer::assignment_token(std::string& text) {
    if (!operator_seen_) {
        operator_seen_ = true;
        if (peek() == ':') text.push_back(line_[pos_++]);
        if (!at_end()) text.push_back(line_[pos_++]);
        for (int i = 0; i < 2 && peek() == '='; ++i) text.push_back(line_[pos_++]);
        return TOKEN_OPERATOR;
    }
    pos_ += copy_until(text, line_.substr(pos_), " ");
    return TOKEN_PARAMETER;
}

TokenType Tokenizer::command_token(std::string& text) {
    switch (rule_) {
    case TokenRule::condition: return if_parameter(text);
    case TokenRule::rest_of_line: return rest_of_line(text);
    case TokenRule::expressions: return expression_parameter(text);
    case TokenRule::write:
        if (parameters_ == 0) return word_parameter(text);
        if (peek() == '/' && parameters_ == 1) return qualifier(text);
        return expression_parameter(text);
    case TokenRule::procedure_words: return word_parameter(text);
    case TokenRule::recall:
        if (peek() == '/') return qualifier(text);
        return rest_of_line(text);
    case TokenRule::keyword_first:
    case TokenRule::words: break;
    }
    if (peek() == '/') return qualifier(text);
    if (peek() == ',') {
        text.push_back(line_[pos_++]);
        pos_ += copy_until(text, line_.substr(pos_), "/!, ");
        if (parameters_ == 0) {
            signal_condition(cond::PARMDEL, text);
            return TOKEN_STOP;
        }
        ++parameters_;
        return TOKEN_PARAMETER;
    }
    if (parameters_ == 0 && rule_ == TokenRule::keyword_first) return keyword_parameter(text);
    pos_ += copy_until(text, line_.substr(pos_), "/!, ");
    ++parameters_;
    return TOKEN_PARAMETER;
}

TokenType Tokenizer::rest_of_line(std::string& text) {
    text = line_.substr(pos_);
    pos_ = line_.size();
    return TOKEN_PARAMETER;
}

// A blank-separated word; qualifiers come only before the first one.
TokenType Tokenizer::word_parameter(std::string& text) {
    if (peek() == '/' && parameters_ == 0) return qualifier(text);
    pos_ += copy_until(text, line_.substr(pos_), "! ");
    ++parameters_;
    return TOKEN_PARAMETER;
}

// The keyword of SET and SHOW, with an optional "=" and a value that is a
// parenthesised list or a word.
TokenType Tokenizer::keyword_parameter(std::string& text) {
    pos_ += copy_until(text, line_.substr(pos_), "=/!, ");
    if (peek() == '=') {
        text.push_back(line_[pos_++]);
        if (peek() == '(')
            pos_ = copy_group(text, line_, pos_, '(', ')');
        else
            pos_ += copy_until(text, line_.substr(pos_), "/!, ");
    }
    ++parameters_;
    return TOKEN_PARAMETER;
}

// IF takes the condition, the THEN word and the command after it.
TokenType Tokenizer::if_parameter(std::string& text) {
    ++parameters_;
    if (parameters_ == 1) return if_condition(text);
    if (parameters_ == 2) {
        while (!at_end() && std::isalpha(static_cast<unsigned char>(peek()))) text.push_back(line_[pos_++]);
        if (!text.empty()) return TOKEN_PARAMETER;
        ++parameters_;
    }
    if (parameters_ > 3) return TOKEN_END;
    text = line_.substr(pos_);
    pos_ = line_.size();
    return TOKEN_PARAMETER;
}

// The condition of an IF: operands, operators and parenthesised groups
// with the blanks between them. It ends where a second operand would
// follow an operand (the THEN).
TokenType Tokenizer::if_condition(std::string& text) {
    bool after_operand = false;
    for (;;) {
        size_t mark = pos_;
        skip_blanks();
        if (at_end()) break;
        size_t start = pos_;
        char c = peek();
        bool operand = true;
        if (c == '(') {
            std::string group;
            pos_ = copy_group(group, line_, pos_, '(', ')');
        } else if (c == '+' || c == '-' || c == '*' || c == '/') {
            ++pos_;
            operand = false;
        } else if (c == '.') {
            ++pos_;
            while (!at_end() && std::isalpha(static_cast<unsigned char>(peek()))) ++pos_;
            if (peek() == '.') ++pos_;
            operand = false;
        } else {
            pos_ = operand_end(line_, pos_);
        }
        if (operand && after_operand) {
            pos_ = mark;
            break;
        }
        if (!text.empty()) text.append(line_.substr(mark, start - mark));
        text.append(line_.substr(start, pos_ - start));
        after_operand = operand;
    }
    return TOKEN_PARAMETER;
}

// One expression: up to the end of the line or a comma outside quotes,
// parentheses and brackets. The comma is consumed, not copied.
TokenType Tokenizer::expression_parameter(std::string& text) {
    int depth = 0;
    bool quoted = false;
    for (; !at_end(); ++pos_) {
        char c = line_[pos_];
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '(' || c == '[')) ++depth;
        if (!quoted && (c == ')' || c == ']') && depth > 0) --depth;
        if (!quoted && depth == 0 && c == ',') {
            ++pos_;
            break;
        }
        text.push_back(c);
    }
    while (!text.empty() && is_blank(text.back())) text.pop_back();
    ++parameters_;
    return TOKEN_PARAMETER;
}

// "/NAME", optionally "=value"; ":" before the value is stored as "=".
TokenType Tokenizer::qualifier(std::string& text) {
    text.push_back(line_[pos_++]);
    skip_blanks();
    pos_ += copy_until(text, line_.substr(pos_), " /!,=:");
    size_t mark = pos_;
    skip_blanks();
    if (peek() != '=' && peek() != ':') {
        pos_ = mark;
        return TOKEN_QUALIFIER;
    }
    ++pos_;
    text.push_back('=');
    skip_blanks();
    if (peek() == '(') {
        pos_ = copy_group(text, line_, pos_, '(', ')');
    } else if (peek() == '[') {
        pos_ = copy_group(text, line_, pos_, '[', ']');
        pos_ += copy_until(text, line_.substr(pos_), "/! ");
    } else {
        pos_ += copy_until(text, line_.substr(pos_), ",/!=: ");
        size_t word_end = pos_;
        skip_blanks();
        if (peek() == '=' || peek() == ':') {
            text.push_back(line_[pos_++]);
            if (peek() == '(')
                pos_ = copy_group(text, line_, pos_, '(', ')');
            else if (peek() == '[')
                pos_ = copy_group(text, line_, pos_, '[', ']');
            else
                pos_ += copy_until(text, line_.substr(pos_), "/!, ");
        } else {
            pos_ = word_end;
        }
    }
    return TOKEN_QUALIFIER;
}

}  // namespace dcl
