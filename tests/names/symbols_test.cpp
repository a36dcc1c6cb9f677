// The symbol store and the SHOW SYMBOL and DELETE/SYMBOL commands.
#include "names/symbols.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/command_state.h"
#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/verbs.h"
#include "lang/lexer.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

using test::CapturedErrors;

// "value/type" of what a reference finds, "UNDSYM" when nothing.
std::string lookup(std::string_view name, SymbolSelector selector = SELECT_ANY) {
    std::string value, stored;
    uint32_t type = 0;
    if (get_symbol(name, value, type, selector, &stored) != 1) return "UNDSYM";
    return stored + "/" + value + "/" + std::to_string(type);
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// The queued conditions as "VALUE:arg" items, then emptied.
std::string queued() {
    std::string out;
    MessageQueue& q = message_queue();
    for (size_t i = 0; i < q.count; ++i)
        out += (i ? " " : "") + hex(q.entries[i].value) + ":" + q.entries[i].arg1;
    discard_messages();
    return out;
}

constexpr uint32_t LS = SYM_LOCAL | SYM_STRING;
constexpr uint32_t GS = SYM_GLOBAL | SYM_STRING;
constexpr uint32_t ES = SYM_ENVIRONMENT | SYM_STRING;

class Symbols : public ::testing::Test {
protected:
    void SetUp() override { push_procedure_level(""); }
    CapturedErrors errors;
};

TEST(SymbolAbbrevMatch, StarMarksTheShortestForm) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"SH*OW", "SH", true},     {"SH*OW", "SHO", true},  {"SH*OW", "SHOW", true},
        {"SH*OW", "S", false},     {"SH*OW", "SHOWS", false}, {"SH*OW", "SH*OW", true},
        {"A*", "A", true},         {"AB", "A", false},      {"A", "AB", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(symbol_abbrev_match(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST_F(Symbols, NamesAreCheckedAndUpperCased) {
    std::string longest(255, 'L'), too_long(256, 'L');
    struct Case {
        std::string name;
        uint32_t result;
        std::string messages;
    } cases[] = {
        {"_ab$9*c", 1, ""},
        {"$x", 1, ""},
        {longest, 1, ""},
        {"", 1, ""},
        {"9A", 0, hex(cond::IVSYMB) + ":9A"},
        {"A-B", 0, hex(cond::IVSYMB) + ":A-B"},
        {too_long, 0, hex(cond::IVSYMB) + ":" + too_long},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(set_symbol(c.name, "v", LS), c.result) << c.name;
        EXPECT_EQ(queued(), c.messages) << c.name;
    }
    EXPECT_EQ(lookup("_AB$9C"), "_AB$9*C/v/5");
    EXPECT_EQ(lookup("$X"), "$X/v/5");
}

TEST_F(Symbols, LocalHidesGlobalUntilDeleted) {
    ASSERT_EQ(set_symbol("A", "1", SYM_LOCAL | SYM_INTEGER), 1u);
    ASSERT_EQ(set_symbol("a", "2", SYM_GLOBAL | SYM_INTEGER), 1u);
    EXPECT_EQ(lookup("a"), "A/1/6");
    EXPECT_EQ(lookup("A", SELECT_GLOBAL), "A/2/10");
    EXPECT_EQ(delete_symbol("a", SYM_LOCAL), 1u);
    EXPECT_EQ(lookup("A"), "A/2/10");
    EXPECT_EQ(delete_symbol("A", SYM_LOCAL), cond::UNDSYM);
}

TEST_F(Symbols, AbbreviatedNamesReplaceKeepOrClash) {
    ASSERT_EQ(set_symbol("SH*OW", "x", GS), 1u);
    for (const char* name : {"SH", "SHO", "SHOW"}) EXPECT_EQ(lookup(name), "SH*OW/x/9") << name;
    EXPECT_EQ(lookup("S"), "UNDSYM");
    EXPECT_EQ(lookup("SHOWN"), "UNDSYM");
    EXPECT_EQ(set_symbol("SHO", "1", GS), 1u);   // a symbol of its own
    EXPECT_EQ(set_symbol("SH*OW", "y", GS), 1u); // replaces the first
    EXPECT_EQ(set_symbol("S*HOP", "z", GS), cond::ABSYMD);
    std::string names;
    for (const Symbol* s : symbol_tables().global.sorted()) names += s->name + "=" + s->value + " ";
    EXPECT_EQ(names, "SH*OW=y SHO=1 ");
}

TEST_F(Symbols, ThousandsOfNamesAndTheFirstInNameOrder) {
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(set_symbol("S" + std::to_string(i), std::to_string(i), GS), 1u);
    EXPECT_EQ(lookup("S4321"), "S4321/4321/9");
    for (int i = 0; i < 5000; i += 2) ASSERT_EQ(delete_symbol("S" + std::to_string(i), SYM_GLOBAL), 1u);
    EXPECT_EQ(lookup("S4320"), "UNDSYM");
    EXPECT_EQ(symbol_tables().global.size(), 2500u);
    // Where an abbreviation and a full name both accept a reference, the
    // first in name order is meant.
    ASSERT_EQ(set_symbol("A*BCD", "short", GS), 1u);
    ASSERT_EQ(set_symbol("ABC", "full", GS), 1u);
    EXPECT_EQ(lookup("ABC"), "A*BCD/short/9");
    // The whole word replaces the abbreviated name.
    ASSERT_EQ(set_symbol("ABCD", "whole", GS), 1u);
    EXPECT_EQ(lookup("AB"), "UNDSYM");
    EXPECT_EQ(lookup("ABC"), "ABC/full/9");
    EXPECT_EQ(lookup("ABCD"), "ABCD/whole/9");
}

TEST_F(Symbols, StatusPseudoSymbolsAreGlobalAndReserved) {
    message_queue().status = 0x1000002C;
    EXPECT_EQ(lookup("$status"), "$STATUS/%X1000002C/9");
    EXPECT_EQ(lookup("$SEVERITY"), "$SEVERITY/4/9");
    EXPECT_EQ(lookup("$STATUS", SELECT_ENVIRONMENT), "UNDSYM");
    EXPECT_EQ(set_symbol("$STATUS", "1", GS), 0u);
    EXPECT_EQ(set_symbol("$SEV*ERITY", "1", GS), 0u);
    EXPECT_EQ(queued(), hex(cond::RESSYM) + ":$STATUS " + hex(cond::RESSYM) + ":$SEV*ERITY");
    EXPECT_EQ(delete_symbol("$STATUS", SYM_GLOBAL), 1u);
    ASSERT_EQ(set_symbol("$STATUS", "1", LS), 1u);
    EXPECT_EQ(lookup("$STATUS"), "$STATUS/1/5");
}

TEST_F(Symbols, ScopeSwitchesAndLevels) {
    ASSERT_EQ(set_symbol("X", "0", LS), 1u);
    ASSERT_EQ(set_symbol("E", "env", ES), 1u);
    push_procedure_level("inner");
    EXPECT_EQ(lookup("X"), "X/0/5");             // callers' locals are visible
    ASSERT_EQ(set_symbol("X", "1", LS), 1u);
    EXPECT_EQ(lookup("X"), "X/1/5");
    {
        VerbSymbolScope verb_scope;
        EXPECT_EQ(lookup("E"), "UNDSYM");        // environment symbols are no verbs
    }
    EXPECT_EQ(lookup("E"), "E/env/17");
    symbol_tables().scope = {false, false, false};
    EXPECT_EQ(lookup("X"), "UNDSYM");
    EXPECT_EQ(set_symbol("G", "1", GS), cond::NOSCOPE);
    EXPECT_EQ(set_symbol("E", "1", ES), cond::NOSCOPE);
    EXPECT_EQ(set_symbol("X", "2", LS), 1u);
    pop_procedure_level();
    EXPECT_EQ(lookup("X"), "X/0/5");
    unsetenv("E");
}

TEST(SymbolsBeforeLevelZero, NoLocalTable) {
    CapturedErrors errors;
    EXPECT_EQ(set_symbol("L", "1", LS), cond::NOSCOPE);
    EXPECT_EQ(set_symbol("G", "1", GS), 1u);
    EXPECT_EQ(lookup("G"), "G/1/9");
    EXPECT_EQ(delete_symbol("L", SYM_LOCAL), cond::UNDSYM);
    EXPECT_TRUE(local_symbols().empty());
}

TEST_F(Symbols, EnvironmentSymbolsAreMirrored) {
    ASSERT_EQ(set_symbol("dclsh_t1", std::string("ab\0c", 4), ES), 1u);
    ASSERT_NE(std::getenv("DCLSH_T1"), nullptr);
    EXPECT_STREQ(std::getenv("DCLSH_T1"), "ab");  // the environment stops at NUL
    std::string value;
    uint32_t type = 0;
    ASSERT_EQ(get_symbol_text("DCLSH_T1", value, type), 1u);
    EXPECT_EQ(value, "abc");
    EXPECT_EQ(delete_symbol("\"DCLSH_T1\"", SYM_ENVIRONMENT), 1u);
    EXPECT_EQ(std::getenv("DCLSH_T1"), nullptr);
    EXPECT_EQ(lookup("DCLSH_T1"), "UNDSYM");
}

TEST_F(Symbols, ValueLimitIsEnforced) {
    EXPECT_EQ(set_symbol("V", std::string(1024, 'v'), LS), 1u);
    EXPECT_EQ(set_symbol("V", std::string(1025, 'w'), LS), cond::BUFOVF);
    EXPECT_EQ(lookup("V"), "V/" + std::string(1024, 'v') + "/5");
}

TEST_F(Symbols, ImportKeepsOrderCutsAndReplaces) {
    std::string long_value = "L=" + std::string(2000, 'x');
    std::string long_name = std::string(300, 'N') + "=1";
    std::vector<std::string> entries = {"b=2", "A=1", "A=3", "NOEQ", long_value, long_name, "=x"};
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    import_environment(envp.data());
    std::string listing;
    for (const Symbol* s : symbol_tables().environment.sorted())
        listing += s->name.substr(0, 4) + ":" + std::to_string(s->name.size()) + ":" +
                   std::to_string(s->value.size()) + ":" + std::to_string(s->flags) + " ";
    EXPECT_EQ(listing, "A:1:1:17 B:1:1:17 L:1:1023:17 NNNN:255:1:17 NOEQ:4:0:17 ");
    EXPECT_EQ(lookup("A"), "A/3/17");
}

// ---- SHOW SYMBOL and DELETE/SYMBOL ----------------------------------------

// Runs "SHOW SYMBOL words" or "DELETE/SYMBOL words"; returns the output.
std::string run(bool show, const std::vector<std::string>& words) {
    TokenList tokens;
    tokens.add(TOKEN_VERB, show ? "SHOW" : "DELETE");
    tokens.add(show ? TOKEN_PARAMETER : TOKEN_QUALIFIER, show ? "SYMBOL" : "/SYMBOL");
    for (const std::string& w : words) tokens.add(w[0] == '/' ? TOKEN_QUALIFIER : TOKEN_PARAMETER, w);
    FILE* out = std::tmpfile();
    if (show)
        run_command_row(*command_row(verb::SHOW_SYMBOL), tokens, 1, 0, {out, out});
    else
        run_command_row(*command_row(verb::DELETE), tokens, 0, 0, {out, out});
    std::string text = test::read_all(out);
    std::fclose(out);
    return text;
}
std::string show(const std::vector<std::string>& words) { return run(true, words); }
void delete_command(const std::vector<std::string>& words) { run(false, words); }

TEST_F(Symbols, ShowSymbolFormats) {
    set_symbol("N", "7", SYM_LOCAL | SYM_INTEGER);
    set_symbol("M", "-1", SYM_GLOBAL | SYM_INTEGER);
    set_symbol("SH*OW", std::string("a\tb\0\x80~", 6), GS);
    set_symbol("DCLSH_T2", "e", ES);
    EXPECT_EQ(show({"N"}), "  N = 7   Hex = 00000007  Octal = 00000000007\n");
    EXPECT_EQ(show({"m"}), "  M == -1   Hex = FFFFFFFF  Octal = 37777777777\n");
    EXPECT_EQ(show({"SHO"}), "  SH*OW == \"a.b..~\"\n");
    EXPECT_EQ(show({"/ENVIRONMENT", "DCLSH_T2"}), "  DCLSH_T2 === \"e\"\n");
    EXPECT_EQ(show({"/LOCAL", "m"}), "");
    EXPECT_EQ(queued(), hex(cond::UNDSYM) + ":M");
    unsetenv("DCLSH_T2");
}

TEST_F(Symbols, ShowSymbolCutsLongValues) {
    set_symbol("L", std::string(300, 'z'), LS);
    std::string line = "  L = \"" + std::string(255, 'z') + "\"\n";
    EXPECT_EQ(show({"L"}), line);
    EXPECT_EQ(queued(), hex(cond::SYMTRUNC) + ":");
    EXPECT_EQ(show({"L", "/NOLOG"}), line);
    EXPECT_EQ(queued(), "");
}

TEST_F(Symbols, ShowSymbolListsMergedLevels) {
    message_queue().status = 1;
    set_symbol("B", "b0", LS);
    set_symbol("A", "a", GS);
    set_symbol("B", "bg", GS);
    push_procedure_level("inner");
    set_symbol("B", "b1", LS);
    EXPECT_EQ(show({"*"}), "  $SEVERITY == \"1\"\n  $STATUS == \"%X00000001\"\n  A == \"a\"\n"
                           "  B = \"b1\"\n  B = \"b0\"\n  B == \"bg\"\n");
    EXPECT_EQ(show({"/LOCAL", "/ALL"}), "  B = \"b1\"\n");
    EXPECT_EQ(show({"/GLOBAL", "$S%%%%S"}), "  $STATUS == \"%X00000001\"\n");
    EXPECT_EQ(show({"Q*"}), "");
    EXPECT_EQ(show({"/ALL", "/ENVIRONMENT", "Q*"}), "");
    EXPECT_EQ(queued(), hex(cond::UNDSYM) + ":Q* " + hex(cond::MAXPARM) + ":Q*");
}

TEST_F(Symbols, MissingNamePromptsOrFails) {
    show({});
    delete_command({"/LOG"});
    EXPECT_EQ(queued(), hex(cond::NOFILE) + ": " + hex(cond::NOFILE) + ":");
    procedure_stack().in_procedure = false;
    show({"/LOG"});
    EXPECT_TRUE(lexer_state().reprompt);
    EXPECT_EQ(lexer_state().current_prompt, "_Symbol: ");
    show({"A", "B"});
    EXPECT_EQ(queued(), hex(cond::MAXPARM) + ":B");
}

TEST_F(Symbols, DeleteSymbolCommand) {
    set_symbol("A", "1", LS);
    set_symbol("A", "2", GS);
    set_symbol("B", "3", GS);
    set_symbol("DCLSH_T3", "x", ES);
    delete_command({"/LOG", "a"});
    delete_command({"/ENV", "DCLSH_T3", "/LOG"});
    EXPECT_EQ(std::getenv("DCLSH_T3"), nullptr);
    delete_command({"/GLOBAL", "/ALL", "/LOG"});
    EXPECT_EQ(errors.take(), "%DCL-I-DELSYM, Local symbol a has been deleted\n"
                             "%DCL-I-DELSYM, Environment symbol DCLSH_T3 has been deleted\n"
                             "%DCL-I-DELSYM, Global symbol A has been deleted\n"
                             "%DCL-I-DELSYM, Global symbol B has been deleted\n");
    EXPECT_TRUE(symbol_tables().global.empty());
    delete_command({"/ALL", "/ENVIRONMENT"});
    delete_command({"/ALL", "X"});
    delete_command({"x"});
    delete_command({"1X"});
    EXPECT_EQ(queued(), hex(cond::CONFQUAL) + ": " + hex(cond::MAXPARM) + ":X " +
                            hex(cond::UNDSYM) + ":X " + hex(cond::IVSYMB) + ":1X");
}

}  // namespace
}  // namespace dcl
