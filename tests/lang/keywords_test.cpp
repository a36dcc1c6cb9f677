// Verb, qualifier and keyword matching with abbreviations and "NO".
#include "lang/keywords.h"

#include <gtest/gtest.h>

#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

using test::CapturedErrors;

TEST(LookupVerb, AbbreviationsAndTableOrder) {
    struct Case {
        const char* typed;
        uint32_t verb;
    } cases[] = {
        {"SET", 76},      {"SEA", 75},     {"set", 76},       {"FOR", 40},
        {"FOREIGN", 93},  {"FOREIGNX", 93}, {"H", 43},        {"R", 73},
        {"DIRE", 26},     {"DIRECTORY", 26}, {"DIREXYZ", 26},
        {"UNIX", 87},     {"NT", 87},      {"SHELL", 87},     {"EOJ", 35},
        {"LS", 0},        {"ECHO", 92},    {"\"quoted\"", 0}, {"@proc", 0},
        {"_x", 0},        {"12", 0},       {"THEN", 85},      {"CD", 11},
        {"CDX", 0},       {"ENDIF", 32},
    };
    for (const Case& c : cases) {
        CapturedErrors errors;
        uint32_t verb = 99;
        EXPECT_EQ(lookup_verb(c.typed, verb), 1u) << c.typed;
        EXPECT_EQ(verb, c.verb) << c.typed;
        EXPECT_FALSE(error_queued()) << c.typed;
    }
}

TEST(LookupVerb, RefusedWords) {
    CapturedErrors errors;
    uint32_t verb = 99;
    EXPECT_EQ(lookup_verb("SE", verb), 0u);  // both SEARCH and SET need three
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, cond::ABVERB);
    EXPECT_EQ(message_queue().entries[0].arg1, "SE");
    EXPECT_EQ(verb, 0u);
    for (const char* word : {"DI", "END", "S"}) {
        discard_messages();
        EXPECT_EQ(lookup_verb(word, verb), 0u) << word;
        EXPECT_EQ(message_queue().entries[0].value, cond::ABVERB) << word;
    }
    EXPECT_EQ(lookup_verb("$x", verb), cond::NOCOMD);
    EXPECT_EQ(lookup_verb(std::string(20, 'A'), verb), 1u);  // too long to be a verb
    EXPECT_EQ(verb, 0u);
    EXPECT_EQ(lookup_verb("S H O W", verb), 1u);  // blanks outside quotes go
    EXPECT_EQ(verb, 77u);
}

struct KeywordCase {
    const char* typed;
    uint32_t table;
    uint32_t code;       // 0: refused
    uint32_t flags;      // result flags when accepted
    uint32_t condition;  // queued when refused
    const char* argument;
};

TEST(LookupKeyword, SetAndShowKeywords) {
    const KeywordCase cases[] = {
        {"TIME", verb::SHOW, 329, 0, 0, ""},
        {"DAYTIME", verb::SHOW, 329, 0, 0, ""},
        {"tim", verb::SHOW, 329, 0, 0, ""},
        {"PROMPT=x", verb::SET, 227, RESULT_VALUE, 0, ""},
        {"PROMPT:x", verb::SET, 227, RESULT_VALUE, 0, ""},
        {"NOON", verb::SET, 222, RESULT_NEGATED, 0, ""},
        {"NOVERIFY", verb::SET, 236, RESULT_NEGATED, 0, ""},
        {"NOSUCH", verb::SHOW, 0, 0, cond::IVKEYW, "NOSUCH"},
        {"CLI=x", verb::SET, 0, 0, cond::NOVALU, "CLI="},
        {"NOCLI", verb::SET, 0, 0, cond::NOTNEG, "NOCLI"},
        {"NOTIME", verb::SHOW, 0, 0, cond::NOTNEG, "NOTIME"},
        {"=x", verb::SET, 0, 0, cond::VALREQ, ""},
        {"P", verb::SET, 0, 0, cond::ABKEYW, "P"},
        {"TIME", 12345, 0, 0, cond::IVKEYW, "TIME"},
    };
    for (const KeywordCase& c : cases) {
        CapturedErrors errors;
        std::string text = c.typed;
        uint32_t flags = 0;
        EXPECT_EQ(lookup_keyword(text, c.table, flags), c.code) << c.typed;
        if (c.code) {
            EXPECT_EQ(flags, c.flags) << c.typed;
            EXPECT_FALSE(error_queued()) << c.typed;
        } else {
            ASSERT_EQ(message_queue().count, 1u) << c.typed;
            EXPECT_EQ(message_queue().entries[0].value, c.condition) << c.typed;
            EXPECT_EQ(message_queue().entries[0].arg1, c.argument) << c.typed;
        }
    }
}

TEST(LookupKeyword, ColonBeforeValueBecomesEquals) {
    CapturedErrors errors;
    std::string text = "PROMPT:\"X> \"";
    uint32_t flags = 0;
    EXPECT_EQ(lookup_keyword(text, verb::SET, flags), 227u);
    EXPECT_EQ(text, "PROMPT=\"X> \"");
}

TEST(LookupQualifier, UnknownTableAndEmptyName) {
    CapturedErrors errors;
    uint32_t flags = 0;
    EXPECT_EQ(lookup_qualifier("/", verb::DIRECTORY, flags), 0u);
    EXPECT_EQ(message_queue().entries[0].value, cond::NOKEYW);
    discard_messages();
    EXPECT_EQ(lookup_qualifier("/output=x", 4242, flags), 0u);
    EXPECT_EQ(message_queue().entries[0].value, cond::IVQUAL);
    EXPECT_EQ(message_queue().entries[0].arg1, "OUTPUT");
    EXPECT_EQ(flags, RESULT_VALUE);
}

}  // namespace
}  // namespace dcl
