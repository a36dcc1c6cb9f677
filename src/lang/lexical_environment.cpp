// F$ENVIRONMENT(item): facts about the session, its settings and the
// procedure level in force.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "files/default_directory.h"
#include "files/protection.h"
#include "files/vms_time.h"
#include "lang/lexical_functions.h"
#include "status/command_source.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

enum class EnvironmentItem {
    captive,
    control,
    default_directory,
    depth,
    interactive,
    key_state,
    max_depth,
    message,
    nocontrol,
    on_control_y,
    on_severity,
    output_rate,
    procedure,
    prompt,
    prompt_control,
    protection,
    start_time,
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

constexpr std::array<ItemEntry, 21> kItems{{
    {"CAPTIVE", captive},
    {"CONTROL", control},
    {"DEFAULT", default_directory},
    {"DEPTH", depth},
    {"INTERACTIVE", interactive},
    {"KEY_STATE", key_state},
    {"MAX_DEPTH", max_depth},
    {"MESSAGE", message},
    {"NOCONTROL", nocontrol},
    {"ON_CONTROL_Y", on_control_y},
    {"ON_SEVERITY", on_severity},
    {"OUTPUT_RATE", output_rate},
    {"PROCEDURE", procedure},
    {"PROMPT", prompt},
    {"PROMPT_CONTROL", prompt_control},
    {"PROTECTION", protection},
    {"START_TIME", start_time},
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

// The protection new files get: full rights less the process's umask.
std::string default_protection() {
    mode_t mask = umask(0);
    umask(mask);
    std::string owner, group, world;
    mode_rights(owner, group, world, 0777 & ~mask);
    return "SYSTEM=RWED, OWNER=" + owner + ", GROUP=" + group + ", WORLD=" + world;
}

LevelFacts level_facts() {
    auto facts = command_source().level_facts;
    return facts ? facts() : LevelFacts{};
}

// The items that describe the procedure level in force.
uint32_t level_item(LexicalCall& call, EnvironmentItem item) {
    LevelFacts facts = level_facts();
    switch (item) {
    case max_depth: return call.set_integer(facts.max_depth);
    case on_control_y: return call.set_string(truth(facts.on_control_y));
    case on_severity: return call.set_string(facts.on_severity);
    default: return call.set_string(facts.procedure);
    }
}

uint32_t item_value(LexicalCall& call, EnvironmentItem item) {
    const Session& s = session();
    switch (item) {
    case captive: return call.set_string("FALSE");
    // Ctrl-C and Ctrl-T are what a terminal session lets the user type.
    case control: return call.set_string(s.interactive ? "Y,T" : "");
    case nocontrol: return call.set_string("");
    case default_directory: {
        DefaultDirectory current = dcl::default_directory();
        return call.set_string(current.device + current.directory);
    }
    case depth: return call.set_integer(std::max(command_source().depth, 0));
    case interactive: return call.set_string(truth(s.interactive));
    // Keys have no states here: every definition belongs to the one state.
    case key_state: return call.set_string("DEFAULT");
    case max_depth:
    case on_control_y:
    case on_severity:
    case procedure: return level_item(call, item);
    case protection: return call.set_string(default_protection());
    case start_time: return call.set_string(format_time(s.login_time) + ".00");
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

}  // namespace

uint32_t lexical_environment(LexicalCall& call) {
    ExprValue value;
    if (uint32_t status = call.evaluate(0, value); status != 1) return status;
    std::string name = keyword_text(value.text);
    auto found = std::find_if(kItems.begin(), kItems.end(),
                              [&](const ItemEntry& e) { return e.name == name; });
    if (found == kItems.end()) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    return item_value(call, found->item);
}

}  // namespace dcl
