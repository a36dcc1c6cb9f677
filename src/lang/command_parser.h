// The command parser: from a command's token list to its parameters and
// qualifiers, each qualifier looked up in the command's table and its value
// read by the kind its row gives.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/protection.h"
#include "files/vms_time.h"
#include "lang/command_table.h"
#include "lang/tokens.h"

namespace dcl {

struct ParsedParameter {
    std::string_view token; // as typed
    std::string_view text;  // without the comma that joined it to a list
    bool continues_list;    // it followed a comma
    uint16_t group;         // which parameter it belongs to: a list is one parameter
};

struct ParsedQualifier {
    const KeywordRecord* row = nullptr;
    uint32_t code = 0;
    uint32_t flags = 0;          // RESULT_NEGATED, RESULT_VALUE and the caller bits
    std::string_view token;      // "/NAME=value" as typed
    std::string_view name;       // the typed name, without "/" and value
    size_t after_parameters = 0; // parameter groups that came before it on the line
    std::string value;           // string kinds; the fallback when none was typed
    std::vector<std::string> items;  // list kinds, keyword lists
    uint32_t keyword = 0;        // keyword kind: the value's code
    std::vector<uint32_t> keywords;  // keyword list: the codes of the items
    int64_t number = 0;
    VmsTime time{};
    Uic uic;
    int protection = 888;

    bool negated() const { return (flags & RESULT_NEGATED) != 0; }
    bool has_value() const { return (flags & RESULT_VALUE) != 0; }
};

struct ParsedCommand {
    const CommandRow* row = nullptr;  // the verb's, SET/SHOW keyword's or form's row
    const TokenList* tokens = nullptr;
    size_t verb_index = 0;            // of the verb, or of the SET/SHOW keyword
    uint32_t keyword_flags = 0;       // the SET/SHOW keyword's result flags
    std::vector<ParsedParameter> parameters;
    bool complete = false;            // false: a failure was queued after what is here
    bool output_wanted = true;        // false after /NOOUTPUT: judge, do not write

    uint32_t code() const { return row ? row->code() : 0; }
    std::span<const ParsedQualifier> qualifiers() const { return {pool_.data(), count_}; }
    // The last of the qualifier's occurrences (the one that counts), or nullptr.
    const ParsedQualifier* find(uint32_t code) const;
    // Of qualifiers that exclude one another, the code of the one given last;
    // 0 when none was.
    uint32_t last_of(std::initializer_list<uint32_t> codes) const;
    // A flag qualifier's setting: `otherwise` when it was not given.
    bool flag(uint32_t code, bool otherwise) const;
    size_t groups() const { return parameters.empty() ? 0 : parameters.back().group + 1u; }
    // The first item of a parameter group, or nullptr.
    const ParsedParameter* parameter(size_t group) const;
    // The tokens after the verb, for the commands that read them as they are.
    std::span<const Token> rest() const;

    void clear(const CommandRow* r, const TokenList* list, size_t verb);
    ParsedQualifier& add_qualifier();
    void drop_last_qualifier() { --count_; }

private:
    std::vector<ParsedQualifier> pool_;  // reused from command to command
    size_t count_ = 0;
};

// Parses the tokens after `verb_index` by `row`'s rules, leaving out token
// `skip` (the qualifier that selected a form). Errors are queued at the
// token where they arise and end the walk: `out.complete` is false then,
// and `out` holds what came before. Returns `out.complete`.
bool parse_command(const TokenList& tokens, size_t verb_index, const CommandRow& row,
                   ParsedCommand& out, size_t skip = SIZE_MAX, size_t ignore_up_to = 0);

// The form of a command that a qualifier selects (DEFINE/KEY, DELETE/SYMBOL).
struct FormChoice {
    const CommandForm* form = nullptr;  // nullptr: the verb's own form
    size_t token = SIZE_MAX;            // the selecting qualifier
    bool failed = false;                // an error was queued
};
FormChoice choose_form(const TokenList& tokens, size_t verb_index, const CommandRow& row);

}  // namespace dcl
