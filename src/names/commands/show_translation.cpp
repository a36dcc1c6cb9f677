// SHOW TRANSLATION: the first translation of one logical name.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

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

constexpr uint32_t kTableGiven = 0x1;

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

// /OUTPUT and /FULL are accepted and change nothing; an undefined name is
// shown as such and is no failure.
void show_translation(CommandContext& cmd) {
    uint32_t options = 0;
    std::string table;
    const Token* name = nullptr;
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        const Token& t = cmd.tokens[i];
        if (t.type == TOKEN_QUALIFIER) {
            uint32_t flags = 0;
            uint32_t code = lookup_qualifier(t.text, verb::SHOW_TRANSLATION, flags);
            if (code == 0) return;
            if (code == qual::TRANSLATION_TABLE &&
                !qualifier_string(table, options, t.text, std::nullopt, kTableGiven, flags, false))
                return;
        } else if (name) {
            extra_parameter(t.text);
            return;
        } else {
            name = &t;
        }
    }
    if (!name) {
        ask_for_parameter("_Log name: ");
        return;
    }
    write_translation(cmd.out, name->text, (options & kTableGiven) ? std::string_view(table)
                                                                   : std::string_view());
    finish_listing(cmd.out, cond::SHOW_WRITEERR);
}

}  // namespace dcl
