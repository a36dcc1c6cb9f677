// Expansion of raw lines and their splitting into tokens.
#include "lang/lexer.h"

#include <gtest/gtest.h>

#include "core/command_state.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"

namespace dcl {
namespace {

using test::CapturedErrors;

// Renders a token list as "type:text" items for whole-list comparison.
std::string render(const TokenList& list) {
    std::string out;
    for (const Token& t : list.tokens) {
        if (!out.empty()) out += " | ";
        out += std::to_string(t.type) + ":" + t.text;
    }
    return out;
}

struct ExpandCase {
    const char* raw;
    const char* expanded;
    uint32_t verb;
};

TEST(ExpandCommandLine, CommentsDollarsAndCase) {
    const ExpandCase cases[] = {
        {"$ SHOW TIME", "show time", verb::SHOW},
        {"DIR ! list", "dir", verb::DIRECTORY},
        {"# shell comment", "", verb::NONE},
        {"$!nonvms ls -l", "ls -l", verb::NONE},
        {"$!NOTVMS ls", "ls", verb::NONE},
        {"TYPE \"Mixed.Txt\" OTHER", "type \"Mixed.Txt\" other", verb::TYPE},
        {"ls -l \"A!B\"  ", "ls -l \"A!B\"", verb::NONE},
        {"CD /Tmp", "CD /Tmp", verb::CD},
        {"@ proc.com a", "@proc.com a", verb::AT},
        {"@Proc/OUT=x", "@proc /out=x", verb::AT},
        {"   ", "", verb::NONE},
        {"WRITE sys$output \"Hi!\" ! greet", "write sys$output \"Hi!\"", verb::WRITE},
    };
    for (const ExpandCase& c : cases) {
        CapturedErrors errors;
        push_procedure_level("");
        std::string raw = c.raw, out;
        EXPECT_EQ(expand_command_line(out, raw), 1u) << c.raw;
        EXPECT_EQ(out, c.expanded) << c.raw;
        EXPECT_EQ(message_queue().verb, c.verb) << c.raw;
        EXPECT_FALSE(lexer_state().reprompt) << c.raw;
    }
}

TEST(ExpandCommandLine, UpperCaseMappingAndUnknownVerbs) {
    CapturedErrors errors;
    push_procedure_level("");
    cli_options().upper_case = true;
    std::string raw = "show \"x\" time", out;
    expand_command_line(out, raw);
    EXPECT_EQ(out, "SHOW \"x\" TIME");
    cli_options().pass_to_shell = false;
    raw = "ls -l";
    EXPECT_EQ(expand_command_line(out, raw), 0u);
    EXPECT_EQ(message_queue().entries[0].value, cond::IVVERB);
    EXPECT_EQ(message_queue().entries[0].arg1, "ls");
}

TEST(ExpandCommandLine, Continuation) {
    CapturedErrors errors;
    push_procedure_level("");
    session().prompt = "QV$ ";
    std::string raw = "copy a - ! more", out;
    EXPECT_EQ(expand_command_line(out, raw), 1u);
    EXPECT_TRUE(lexer_state().reprompt);
    EXPECT_EQ(raw, "copy a  ");
    EXPECT_EQ(lexer_state().current_prompt, "_QV$ ");
    raw += "b";
    expand_command_line(out, raw);
    EXPECT_FALSE(lexer_state().reprompt);
    EXPECT_EQ(out, "copy a  b");

    for (const char* not_continued : {"cd -", "$ cd -", "x \"a -\""}) {
        raw = not_continued;
        expand_command_line(out, raw);
        EXPECT_FALSE(lexer_state().reprompt) << not_continued;
    }
}

TEST(ExpandCommandLine, AssignmentsAndLabels) {
    const ExpandCase cases[] = {
        {"$ x = 5", "x = 5", verb::NONE},
        {"x := abc", "x := abc", verb::NONE},
        {"x:=abc", "x := abc", verb::NONE},
        {"CDEFS\t= \"A\"", "cdefs = \"A\"", verb::NONE},
        {"S[0,3] :== \"ABC\" ! set", "s[0,3] :== \"ABC\"", verb::NONE},
        {"$ _DONE: show time", "show time", verb::SHOW},
        {"$ a1: b2 : dir", "dir", verb::DIRECTORY},
        {"dev:=x", "dev := x", verb::NONE},
    };
    for (const ExpandCase& c : cases) {
        CapturedErrors errors;
        push_procedure_level("");
        std::string raw = c.raw, out;
        EXPECT_EQ(expand_command_line(out, raw), 1u) << c.raw;
        EXPECT_EQ(out, c.expanded) << c.raw;
        EXPECT_EQ(message_queue().verb, c.verb) << c.raw;
        EXPECT_EQ(lexer_state().assignment, c.verb == verb::NONE) << c.raw;
        EXPECT_FALSE(error_queued()) << c.raw;
    }
}

TEST(ExpandCommandLine, SymbolSubstitution) {
    const ExpandCase cases[] = {
        {"write sys$output 'g'", "write sys$output hello", verb::WRITE},
        {"write sys$output \"''g' world\"", "write sys$output \"hello world\"", verb::WRITE},
        {"write sys$output \"it's 'g'\"", "write sys$output \"it's 'g'\"", verb::WRITE},
        {"write sys$output \"''p1\"", "write sys$output \"\"", verb::WRITE},
        {"x = 'g 'g'", "x = hello hello", verb::NONE},
        {"x = 'nested'", "x = hello", verb::NONE},
        {"x = a&g", "x = ahello", verb::NONE},
        {"x = &undefined.", "x = .", verb::NONE},
        {"x = \"&g\" ! &g", "x = \"&g\"", verb::NONE},
        {"di x", "dir /size x", verb::DIRECTORY},
        {"ed Notes.TXT", "FOREIGN /usr/bin/vi Notes.TXT", verb::FOREIGN},
        {"img a", "FOREIGN sys$system:tool.exe -x a", verb::FOREIGN},
        {"bare", "FOREIGN SYS$SYSTEM:prog.exe", verb::FOREIGN},
        {"'verb' time", "show time", verb::SHOW},
    };
    for (const ExpandCase& c : cases) {
        CapturedErrors errors;
        push_procedure_level("");
        set_symbol("G", "hello", SYM_LOCAL | SYM_STRING);
        set_symbol("NESTED", "'G'", SYM_GLOBAL | SYM_STRING);
        set_symbol("DI", "dir/size", SYM_GLOBAL | SYM_STRING);
        set_symbol("ED", "$ /usr/bin/vi", SYM_GLOBAL | SYM_STRING);
        set_symbol("IMG", "$sys$system:tool -x", SYM_GLOBAL | SYM_STRING);
        set_symbol("VERB", "SHOW", SYM_LOCAL | SYM_STRING);
        set_symbol("BARE", "$prog", SYM_GLOBAL | SYM_STRING);
        std::string raw = c.raw, out;
        EXPECT_EQ(expand_command_line(out, raw), 1u) << c.raw;
        EXPECT_EQ(out, c.expanded) << c.raw;
        EXPECT_EQ(message_queue().verb, c.verb) << c.raw;
    }
}

TEST(ExpandCommandLine, SelfReferenceAndEnvironmentVerbs) {
    CapturedErrors errors;
    push_procedure_level("");
    set_symbol("LOOP", "'LOOP'", SYM_GLOBAL | SYM_STRING);
    std::string raw = "x = 'loop'", out;
    EXPECT_EQ(expand_command_line(out, raw), cond::BUFOVF);
    // Environment symbols are not verbs.
    set_symbol("DIRX", "show time", SYM_ENVIRONMENT | SYM_STRING);
    raw = "dirx";
    EXPECT_EQ(expand_command_line(out, raw), 1u);
    EXPECT_EQ(out, "dirx");
    EXPECT_EQ(message_queue().verb, verb::NONE);
}

TEST(ExpandCommandLine, OverlongLineIsRefused) {
    CapturedErrors errors;
    push_procedure_level("");
    std::string raw(1025, 'a'), out;
    EXPECT_EQ(expand_command_line(out, raw), cond::BUFOVF);
}

struct TokenCase {
    const char* line;
    uint32_t verb;
    const char* tokens;
};

TEST(Tokenizer, VerbSpecificRules) {
    const TokenCase cases[] = {
        {"show time", verb::SHOW, "1:show | 4:time"},
        {"set prompt=\"a b\"/x", verb::SET, "1:set | 4:prompt=\"a b\" | 3:/x"},
        {"set term=(a,b) c", verb::SET, "1:set | 4:term=(a,b) | 4:c"},
        {"dir/size [.sub]*.com", verb::DIRECTORY, "1:dir | 3:/size | 4:[.sub]*.com"},
        {"dir a,b", verb::DIRECTORY, "1:dir | 4:a | 4:,b"},
        {"dir /output = x.lis", verb::DIRECTORY, "1:dir | 3:/output=x.lis"},
        {"dir /date:(a,b)", verb::DIRECTORY, "1:dir | 3:/date=(a,b)"},
        {"dir/exc=[a.b]x.y/size", verb::DIRECTORY, "1:dir | 3:/exc=[a.b]x.y | 3:/size"},
        {"ls -l /tmp", verb::NONE, "1:ls | 4:-l /tmp"},
        {"exit 1+2, 3", verb::EXIT, "1:exit | 4:1+2 | 4:3"},
        {"echo f(a,b), \"x,y\"", verb::ECHO, "1:echo | 4:f(a,b) | 4:\"x,y\""},
        {"write/error=x sys$output a, b", verb::WRITE,
         "1:write | 3:/error=x | 4:sys$output | 4:a | 4:b"},
        {"@p/out=x a b", verb::AT, "1:@p | 3:/out=x | 4:a | 4:b"},
        {"recall/all", verb::RECALL, "1:recall | 3:/all"},
        {"lab: show time", verb::SHOW, "1:show | 4:time"},
        {"if i .lt. n then goto loop", verb::IF, "1:if | 4:i .lt. n | 4:then | 4:goto loop"},
        {"if (a .eq. 1) .and. f$len(x, \"a b\") .gt. 0 then x = 1", verb::IF,
         "1:if | 4:(a .eq. 1) .and. f$len(x, \"a b\") .gt. 0 | 4:then | 4:x = 1"},
        {"if x .eq. -1 then", verb::IF, "1:if | 4:x .eq. -1 | 4:then"},
        {"if \"a b\".eqs.x", verb::IF, "1:if | 4:\"a b\".eqs.x"},
    };
    for (const TokenCase& c : cases) {
        CapturedErrors errors;
        TokenList list;
        EXPECT_EQ(tokenize_line(list, c.line, c.verb, false), 1u) << c.line;
        EXPECT_EQ(render(list), c.tokens) << c.line;
    }
}

TEST(Tokenizer, CommaBeforeFirstParameterAndOverflow) {
    CapturedErrors errors;
    TokenList list;
    EXPECT_EQ(tokenize_line(list, "dir ,a", verb::DIRECTORY, false), 0u);
    EXPECT_EQ(message_queue().entries[0].value, cond::PARMDEL);
    EXPECT_EQ(message_queue().entries[0].arg1, ",a");
    discard_messages();
    std::string many = "dir";
    for (int i = 0; i < 300; ++i) many += " a";
    EXPECT_EQ(tokenize_line(list, many, verb::DIRECTORY, false), 0u);
    EXPECT_EQ(message_queue().entries[0].value, cond::BUFOVF);
}

TEST(Tokenizer, Assignment) {
    CapturedErrors errors;
    TokenList list;
    tokenize_line(list, "x :== a b", verb::NONE, true);
    EXPECT_EQ(render(list), "2:x | 6::== | 4:a | 4:b");
}

}  // namespace
}  // namespace dcl
