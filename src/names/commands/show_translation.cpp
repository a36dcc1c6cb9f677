// SHOW TRANSLATION: the first translation of one logical name.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/commands/logical_commands.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"OUTPUT", KW_VALUE_ALLOWED, qual::TRANSLATION_OUTPUT, ValueKind::ignored},
    {"FULL", 0, qual::TRANSLATION_FULL, ValueKind::ignored},
    {"TABLE", KW_NEEDS_VALUE, qual::TRANSLATION_TABLE, ValueKind::text},
};

}  // namespace

void write_translation(FILE* out, std::string_view name_text, std::string_view table_text) {
    std::string table = table_text.empty() ? std::string("LNM$FILE_DEV")
                                           : logical_name_argument(table_text);
    std::string name = logical_name_argument(name_text);
    std::string value, found_in;
    if (lnm_translate(table, name, &value, &found_in, 0, 0, nullptr) != 1) {
        value.clear();
        found_in = "UNDEFINED";
    }
    std::fprintf(out, "  %s = \"%s\"  (%s)\n", name.c_str(), value.c_str(), found_in.c_str());
}

const KeywordTable kShowTranslationQualifiers{verb::SHOW_TRANSLATION, kRows};

// /OUTPUT and /FULL are accepted and change nothing; an undefined name is
// shown as such and is no failure.
uint32_t show_translation(const ParsedCommand& cmd, CommandStreams& io) {
    const ParsedParameter* name = cmd.parameter(0);
    if (!name) return ask_for(cmd, 0);
    const ParsedQualifier* table = cmd.find(qual::TRANSLATION_TABLE);
    bool table_given = table && !table->negated();
    write_translation(io.out, name->text, table_given ? std::string_view(table->value)
                                                      : std::string_view());
    finish_listing(io.out, cond::SHOW_WRITEERR);
    return 1;
}

}  // namespace dcl
