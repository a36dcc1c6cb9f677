// The token list of one command line: what handlers walk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dcl {

enum TokenType : uint32_t {
    TOKEN_END = 0,
    TOKEN_VERB = 1,
    TOKEN_SYMBOL = 2,      // symbol name of an assignment
    TOKEN_QUALIFIER = 3,   // "/NAME[=value]"
    TOKEN_PARAMETER = 4,   // a parameter, or one word of an assignment's value
    TOKEN_OPERATOR = 6,    // assignment operator
    TOKEN_LABEL = 10,
    TOKEN_STOP = 88,       // an error was queued
};

struct Token {
    TokenType type;
    std::string text;
};

struct TokenList {
    static constexpr size_t kMaxTokens = 260;
    std::vector<Token> tokens;

    void clear() { tokens.clear(); }
    size_t size() const { return tokens.size(); }
    const Token& operator[](size_t i) const { return tokens[i]; }
    // False when the list is full: the caller reports the overflow.
    bool add(TokenType type, std::string text) {
        if (tokens.size() >= kMaxTokens) return false;
        tokens.push_back({type, std::move(text)});
        return true;
    }
};

}  // namespace dcl
