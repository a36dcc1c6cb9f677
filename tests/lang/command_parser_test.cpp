// The command parser on rows of its own: what it hands a handler, and the
// first error that ends the walk.
#include "lang/command_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

enum : uint32_t { LOG = 1, OUT = 2, MODE = 3, ITEMS = 4, WIDTH = 5, OLD = 6, SINCE = 7 };

constexpr KeywordRecord kRows[] = {
    {"LOG", 0, LOG},
    {"OUTPUT", KW_VALUE_ALLOWED, OUT, ValueKind::string, 0, "X.LIS"},
    {"MODE", KW_NEEDS_VALUE, MODE, ValueKind::keyword, 236},  // SET VERIFY's words
    {"ITEMS", KW_NEEDS_VALUE, ITEMS, ValueKind::list},
    {"WIDTH", KW_VALUE_ALLOWED, WIDTH, ValueKind::number, 0, "%X50"},
    {"OLD", 0, OLD, ValueKind::unsupported},
    {"SINCE", KW_VALUE_ALLOWED | KW_NO_NEGATE, SINCE, ValueKind::time},
};
const KeywordTable kTable{9001, kRows};

constexpr CommandRow kListRow = {.key = {"LST", 3, 9001}, .qualifiers = &kTable,
                                 .traits = CMD_LISTS, .max_parameters = 2};
constexpr CommandRow kOneRow = {.key = {"ONE", 3, 9002}, .qualifiers = &kTable,
                                .max_parameters = 1};
constexpr CommandRow kBareRow = {.key = {"BARE", 3, 9003}};

TokenList tokens_of(const std::vector<std::string>& words) {
    TokenList tokens;
    tokens.add(TOKEN_VERB, "VERB");
    for (const std::string& w : words) tokens.add(w[0] == '/' ? TOKEN_QUALIFIER : TOKEN_PARAMETER, w);
    return tokens;
}

// "text@group" for each parameter, "CODE:value@after" for each qualifier.
std::string describe(const ParsedCommand& cmd) {
    std::string out;
    for (const ParsedParameter& p : cmd.parameters)
        out += std::string(p.text) + "@" + std::to_string(p.group) + " ";
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        out += (q.negated() ? "-" : "") + std::to_string(q.code) + ":" + q.value;
        for (const std::string& item : q.items) out += "[" + item + "]";
        if (q.keyword) out += "k" + std::to_string(q.keyword);
        if (q.code == WIDTH) out += "n" + std::to_string(q.number);
        out += "@" + std::to_string(q.after_parameters) + " ";
    }
    return out;
}

std::string first_error() {
    MessageQueue& q = message_queue();
    if (q.count == 0) return "";
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", q.entries[0].value);
    std::string text = std::string(hex) + ":" + q.entries[0].arg1;
    discard_messages();
    return text;
}

TEST(CommandParser, ParametersQualifiersAndWhereTheyStand) {
    struct Case {
        const CommandRow* row;
        std::vector<std::string> words;
        const char* parsed;
        const char* error;  // the first queued condition, "" when none
    } cases[] = {
        {&kListRow, {"A", ",B", "/LOG", "C"}, "A@0 B@0 C@1 1:@1 ", ""},
        {&kListRow, {"/NOLOG", "A"}, "A@0 -1:@0 ", ""},
        {&kListRow, {"A", "B", "C"}, "A@0 B@1 ", "38098:C"},
        {&kOneRow, {"A", ",B"}, "A@0 ", "380C0:,B"},
        {&kListRow, {"/OUTPUT", "/OUTPUT=\"y.lis\""}, "2:X.LIS@0 2:y.lis@0 ", ""},
        {&kListRow, {"/ITEMS=(a, \"b\" ,c)"}, "4:[a][\"b\"][c]@0 ", ""},
        {&kListRow, {"/MODE=image"}, "3:imagek800017@0 ", ""},
        {&kListRow, {"/WIDTH", "/WIDTH=%o20"}, "5:n80@0 5:n16@0 ", ""},
        {&kListRow, {"A", "/LOG=x"}, "A@0 ", "380D0:LOG="},
        {&kListRow, {"/MODE"}, "", "38150:MODE"},
        {&kListRow, {"/MODE=bogus"}, "", "38060:BOGUS"},
        {&kListRow, {"/LOG", "/NOSUCH", "/OLD"}, "1:@0 ", "38240:NOSUCH"},
        {&kListRow, {"/WIDTH=-1"}, "", "380E8:-1"},
        {&kListRow, {"/NOSINCE"}, "", "380D8:NOSINCE"},
        {&kBareRow, {"/LOG"}, "", "380C8:LOG"},
        {&kBareRow, {"A"}, "", "38098:A"},
    };
    test::CapturedErrors errors;
    for (const Case& c : cases) {
        TokenList tokens = tokens_of(c.words);
        ParsedCommand cmd;
        bool complete = parse_command(tokens, 0, *c.row, cmd);
        EXPECT_EQ(complete, std::string(c.error).empty()) << c.words[0];
        EXPECT_EQ(describe(cmd), c.parsed) << c.words[0];
        EXPECT_EQ(first_error(), c.error) << c.words[0];
    }
}

TEST(CommandParser, UnsupportedPolicyAndQualifiersAppliedAsRead) {
    test::CapturedErrors errors;
    TokenList tokens = tokens_of({"/OLD", "/LOG"});
    ParsedCommand cmd;
    cli_options().unsupported = UnsupportedPolicy::ignore;
    EXPECT_TRUE(parse_command(tokens, 0, kListRow, cmd));
    cli_options().unsupported = UnsupportedPolicy::error;
    EXPECT_FALSE(parse_command(tokens, 0, kListRow, cmd));
    EXPECT_EQ(first_error(), "3E21A:OLD");
    cli_options().unsupported = UnsupportedPolicy::inform;

    // Qualifiers before a failing one have taken effect.
    static std::vector<uint32_t> applied;
    applied.clear();
    CommandRow each = kListRow;
    each.apply_each = [](const ParsedQualifier& q) {
        applied.push_back(q.code);
        return q.code != WIDTH;
    };
    tokens = tokens_of({"/LOG", "/MODE=image", "/BOGUS", "/OUTPUT"});
    EXPECT_FALSE(parse_command(tokens, 0, each, cmd));
    EXPECT_EQ(applied, (std::vector<uint32_t>{LOG, MODE}));
    EXPECT_EQ(first_error(), "38240:BOGUS");
    tokens = tokens_of({"/WIDTH=3", "/LOG"});
    EXPECT_FALSE(parse_command(tokens, 0, each, cmd));  // the action refused it
    EXPECT_EQ(applied.back(), static_cast<uint32_t>(WIDTH));
}

}  // namespace
}  // namespace dcl
