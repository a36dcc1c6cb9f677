// DEFINE/KEY: the key-name table, the ordered list of definitions, and the
// command's qualifiers and parameters as DEFINE hands them over.
#include "names/key_definitions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/verbs.h"
#include "lang/tokens.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

class DefineKey : public ::testing::Test {
protected:
    void SetUp() override {
        reset_key_definitions();
        push_procedure_level("");
    }
    void TearDown() override { reset_key_definitions(); }

    // Runs "DEFINE words..." (a word starting with "/" is a qualifier);
    // returns the queued conditions as "HEX:arg ..." and empties the queue.
    std::string define(const std::vector<std::string>& words) {
        TokenList tokens;
        tokens.add(TOKEN_VERB, "DEFINE");
        for (const std::string& w : words)
            tokens.add(w[0] == '/' ? TOKEN_QUALIFIER : TOKEN_PARAMETER, w);
        run_command_row(*command_row(verb::DEFINE), tokens, 0, 0, {stdout, stderr});
        std::string queued;
        MessageQueue& q = message_queue();
        char hex[16];
        for (size_t i = 0; i < q.count; ++i) {
            std::snprintf(hex, sizeof hex, "%X", q.entries[i].value);
            queued += (queued.empty() ? "" : " ") + std::string(hex) + ":" + q.entries[i].arg1;
        }
        discard_messages();
        return queued;
    }
    std::vector<uint32_t> codes() const {
        std::vector<uint32_t> out;
        for (const KeyDefinition& k : key_definitions().keys) out.push_back(k.code);
        return out;
    }

    test::CapturedErrors errors;
};

TEST_F(DefineKey, KeyNamesAreFoundByBisection) {
    struct Case {
        const char* name;
        uint32_t code;
    } cases[] = {
        {"COMMA", 272}, {"DO", 296},     {"E1", 311},   {"E6", 316},   {"ENTER", 270},
        {"F10", 290},   {"F14", 294},    {"F17", 297},  {"F20", 300},  {"F6", 286},
        {"F9", 289},    {"HELP", 295},   {"KP0", 260},  {"KP5", 265},  {"KP9", 269},
        {"LEFT", 276},  {"MINUS", 271},  {"PERIOD", 273}, {"PF1", 256}, {"PF4", 259},
        {"RIGHT", 277},
        // Not keys: gaps in the function keys, prefixes, case, the empty name.
        {"F5", 0},      {"F15", 0},      {"PF", 0},     {"PF5", 0},    {"pf1", 0},
        {"", 0},        {"UP", 0},       {"ZZZ", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(key_code_of(c.name), c.code) << c.name;
}

TEST_F(DefineKey, DefinitionsStayInKeyCodeOrderAndAreReplaced) {
    EXPECT_EQ(define({"/KEY", "/NOLOG", "kp 7", "\"SHOW TIME\""}), "");
    EXPECT_EQ(define({"/KEY", "/NOLOG", "/TERMINATE", "PF1", "dir"}), "");
    EXPECT_EQ(define({"/KEY", "/NOLOG", "/NOECHO", "Help", "\"say \"\"hi\"\"\""}), "");
    EXPECT_EQ(codes(), (std::vector<uint32_t>{256, 267, 295}));

    const KeyDefinition* kp7 = find_key_definition(267);
    ASSERT_NE(kp7, nullptr);
    EXPECT_EQ(kp7->text, "SHOW TIME");
    EXPECT_EQ(kp7->flags, KEY_DEF_ECHO);
    EXPECT_EQ(find_key_definition(256)->flags, KEY_DEF_ECHO | KEY_DEF_TERMINATE);
    EXPECT_EQ(find_key_definition(295)->text, "say \"hi\"");
    EXPECT_EQ(find_key_definition(295)->flags, 0u);
    EXPECT_EQ(find_key_definition(260), nullptr);

    EXPECT_EQ(define({"/KEY", "/NOLOG", "KP7", "other"}), "");
    EXPECT_EQ(codes(), (std::vector<uint32_t>{256, 267, 295}));
    EXPECT_EQ(find_key_definition(267)->text, "other");
    EXPECT_EQ(errors.take(), "");
}

TEST_F(DefineKey, LogMessageAndRefusals) {
    EXPECT_EQ(define({"/KEY", "PF2", "x"}), "");
    EXPECT_EQ(errors.take(), "%DCL-I-DEFKEY, DEFAULT key PF2 has been defined\n");

    EXPECT_EQ(define({"/KEY", "PF9", "x"}), "38280:PF9");
    std::string longest(kMaxKeyText, 'a');
    EXPECT_EQ(define({"/KEY", "/NOLOG", "PF3", longest}), "");
    EXPECT_EQ(define({"/KEY", "/NOLOG", "PF4", longest + "a"}), "38018:PF4");
    EXPECT_EQ(find_key_definition(258)->text.size(), kMaxKeyText);
    EXPECT_EQ(find_key_definition(259), nullptr);

    // A third parameter, or a list item, is one too many.
    EXPECT_EQ(define({"/KEY", "PF1", "a", "b"}), "38098:b");
    EXPECT_EQ(define({"/KEY", "PF1", "a", ",b"}), "380C0:,b");
    EXPECT_EQ(define({"/KEY", "/ECHO=1", "PF1", "a"}), "380D0:ECHO=");
    EXPECT_EQ(codes(), (std::vector<uint32_t>{257, 258}));
}

TEST_F(DefineKey, DefineChoosesTheFormByQualifier) {
    // A qualifier before /KEY is reported as ignored and is not the key
    // command's (/TABLE is no DEFINE/KEY qualifier).
    EXPECT_EQ(define({"/TABLE=X", "/KEY", "/NOLOG", "PF1", "x"}), "");
    EXPECT_NE(errors.take().find("IGNQUAL"), std::string::npos);
    EXPECT_EQ(codes(), (std::vector<uint32_t>{256}));

    EXPECT_EQ(define({"/FORM", "x"}), "56C8:");
    EXPECT_EQ(define({"/CHAR", "x"}), "56C8:");
    EXPECT_EQ(define({"/NOKEY", "PF1", "x"}), "380D8:NOKEY");
    EXPECT_EQ(define({"/KEY=1", "PF1", "x"}), "380D0:KEY=");
}

}  // namespace
}  // namespace dcl
