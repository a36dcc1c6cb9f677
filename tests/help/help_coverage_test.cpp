// The installed help library documents what the interpreter carries out:
// every verb, SET and SHOW keyword and command form with a handler, each
// of their qualifiers, and every lexical function provided. A command
// added without its topic fails here.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "help/help_library.h"
#include "help/help_topics.h"
#include "lang/command_table.h"
#include "lang/lexicals.h"
#include "lang/verbs.h"
#include "status/text.h"

namespace dcl {
namespace {

class HelpCoverage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(library_.load(DCLSH_TEST_BUILD_DIR "/tesselhelp.hlb"), 1) << library_.problem();
    }

    // The entry of `entries` that stored name `name` abbreviates ("DIRECT"
    // for DIRECTORY), with `prefix` ("/" for qualifiers) before it.
    static std::optional<HelpKey> entry(const std::vector<HelpKey>& entries, std::string_view prefix,
                                        std::string_view name) {
        for (const HelpKey& key : entries) {
            std::string_view key_name = key.name;
            if (!key_name.starts_with(prefix)) continue;
            key_name.remove_prefix(prefix.size());
            if (key_name.size() >= name.size() && equal_nocase(key_name.substr(0, name.size()), name)) return key;
        }
        return std::nullopt;
    }

    // Each qualifier the row carries out has its "/NAME" entry below `key`.
    void expect_qualifiers(const CommandRow& row, const HelpKey& key, std::string_view where) {
        if (!row.qualifiers) return;
        std::vector<HelpKey> below = library_.below(key);
        for (const KeywordRecord& q : row.qualifiers->records) {
            if (q.kind == ValueKind::unsupported || q.kind == ValueKind::ignored || q.kind == ValueKind::selector)
                continue;
            EXPECT_TRUE(entry(below, "/", q.name).has_value()) << where << " lacks the qualifier /" << q.name;
        }
    }

    void expect_row(const CommandRow& row, const HelpKey& key, std::string_view where) {
        expect_qualifiers(row, key, where);
        for (const CommandForm& form : row.forms) {
            if (!form.row || !form.row->handler) continue;
            std::optional<HelpKey> form_key = entry(library_.below(key), "/", form.row->key.name);
            ASSERT_TRUE(form_key.has_value()) << where << " lacks the form /" << form.row->key.name;
            expect_qualifiers(*form.row, *form_key, std::string(where) + "/" + form.row->key.name);
        }
        for (const CommandRow& sub : row.subcommands) {
            if (!sub.handler) continue;
            std::optional<HelpKey> sub_key = entry(library_.below(key), "", sub.key.name);
            ASSERT_TRUE(sub_key.has_value()) << where << " lacks the subtopic " << sub.key.name;
            expect_qualifiers(sub, *sub_key, std::string(where) + " " + sub.key.name);
        }
    }

    HelpLibrary library_;
};

TEST_F(HelpCoverage, EveryVerbCarriedOutHasItsTopic) {
    for (int c = 1; c < 256; ++c) {
        for (const CommandRow* row : verb_rows_starting_with(static_cast<char>(c))) {
            if (!row->handler && row->subcommands.empty()) continue;
            std::optional<HelpKey> topic = entry(library_.topics(), "", row->key.name);
            ASSERT_TRUE(topic.has_value()) << "no topic for the verb " << row->key.name;
            expect_row(*row, *topic, row->key.name);
        }
    }
    const CommandRow* at = command_row(verb::AT);
    ASSERT_NE(at, nullptr);
    std::optional<HelpKey> topic = entry(library_.topics(), "", "@");
    ASSERT_TRUE(topic.has_value()) << "no topic for @";
    expect_row(*at, *topic, "@");
}

TEST_F(HelpCoverage, EveryLexicalFunctionProvidedHasItsTopic) {
    for (std::string_view name : provided_lexical_names())
        EXPECT_TRUE(entry(library_.topics(), "", name).has_value()) << "no topic for " << name;
}

TEST_F(HelpCoverage, TheOverviewsAreThere) {
    for (const char* name : {"HELP", "LEXICALS", "SYMBOLS", "EXPRESSIONS", "LOGICAL_NAMES", "FILE_SPECIFICATIONS",
                             "PROCEDURES", "UNIX", "LINE_EDITING", "NOT_AVAILABLE"}) {
        std::optional<HelpKey> topic = entry(library_.topics(), "", name);
        ASSERT_TRUE(topic.has_value()) << "no topic " << name;
        EXPECT_TRUE(equal_nocase(topic->name, name)) << topic->name;
    }
}

}  // namespace
}  // namespace dcl
