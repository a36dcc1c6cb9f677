// F$ENVIRONMENT(item): facts about the session and its settings. Items
// whose data this layer cannot reach yet are refused as unknown keywords.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "lang/lexical_functions.h"
#include "status/command_source.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

enum class EnvironmentItem {
    captive,
    depth,
    interactive,
    message,
    output_rate,
    prompt,
    prompt_control,
    symbol_scope,
    verb_scope,
    verify_image,
    verify_procedure,
};

struct ItemEntry {
    std::string_view name;
    EnvironmentItem item;
};

using enum EnvironmentItem;

constexpr std::array<ItemEntry, 11> kItems{{
    {"CAPTIVE", captive},
    {"DEPTH", depth},
    {"INTERACTIVE", interactive},
    {"MESSAGE", message},
    {"OUTPUT_RATE", output_rate},
    {"PROMPT", prompt},
    {"PROMPT_CONTROL", prompt_control},
    {"SYMBOL_SCOPE", symbol_scope},
    {"VERB_SCOPE", verb_scope},
    {"VERIFY_IMAGE", verify_image},
    {"VERIFY_PROCEDURE", verify_procedure},
}};

// The message settings as SET MESSAGE qualifiers, so that the value can be
// given back to SET MESSAGE.
std::string message_settings(const DisplayOptions& d) {
    std::string text;
    auto add = [&text](bool on, std::string_view name) {
        text += on ? "/" : "/NO";
        text += name;
    };
    add(d.facility, "FACILITY");
    add(d.severity, "SEVERITY");
    add(d.ident, "IDENTIFICATION");
    add(d.text, "TEXT");
    return text;
}

std::string_view truth(bool value) { return value ? "TRUE" : "FALSE"; }

uint32_t item_value(LexicalCall& call, EnvironmentItem item) {
    const Session& s = session();
    switch (item) {
    case captive: return call.set_string("FALSE");
    case depth: return call.set_integer(std::max(command_source().depth, 0));
    case interactive: return call.set_string(truth(s.interactive));
    case message: return call.set_string(message_settings(message_queue().display));
    case output_rate: return call.set_string("0 00:01:00.00");
    case prompt: return call.set_string(s.prompt);
    case prompt_control: return call.set_string("TRUE");
    case symbol_scope:
    case verb_scope: return call.set_string("LOCAL,GLOBAL");
    case verify_image: return call.set_string(truth(s.image_verify));
    case verify_procedure: return call.set_string(truth(s.verify));
    }
    return call.set_string({});
}

// Upper case, blanks removed: item names are case-blind.
std::string item_name(std::string_view text) {
    std::string name;
    for (char c : text)
        if (!is_blank(c)) name.push_back(ascii_upper(c));
    return name;
}

}  // namespace

uint32_t lexical_environment(LexicalCall& call) {
    ExprValue value;
    if (uint32_t status = call.evaluate(0, value); status != 1) return status;
    std::string name = item_name(value.text);
    auto found = std::find_if(kItems.begin(), kItems.end(),
                              [&](const ItemEntry& e) { return e.name == name; });
    if (found == kItems.end()) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    return item_value(call, found->item);
}

}  // namespace dcl
