// DEFINE/KEY and the list of key definitions.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "names/commands/logical_commands.h"
#include "status/text.h"
#include "names/key_definitions.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

// DCL informational messages shown at once (facility 3, severity I).
constexpr uint32_t kDclInformational = 0x30003;

struct KeyName {
    std::string_view name;
    uint32_t code;
};

// Sorted by name (byte order) for the bisection in key_code_of.
constexpr std::array<KeyName, 41> kKeyNames{{
    {"COMMA", 272}, {"DO", 296},    {"E1", 311},    {"E2", 312},     {"E3", 313},
    {"E4", 314},    {"E5", 315},    {"E6", 316},    {"ENTER", 270},  {"F10", 290},
    {"F11", 291},   {"F12", 292},   {"F13", 293},   {"F14", 294},    {"F17", 297},
    {"F18", 298},   {"F19", 299},   {"F20", 300},   {"F6", 286},     {"F7", 287},
    {"F8", 288},    {"F9", 289},    {"HELP", 295},  {"KP0", 260},    {"KP1", 261},
    {"KP2", 262},   {"KP3", 263},   {"KP4", 264},   {"KP5", 265},    {"KP6", 266},
    {"KP7", 267},   {"KP8", 268},   {"KP9", 269},   {"LEFT", 276},   {"MINUS", 271},
    {"PERIOD", 273}, {"PF1", 256},  {"PF2", 257},   {"PF3", 258},    {"PF4", 259},
    {"RIGHT", 277},
}};

constexpr bool key_names_sorted() {
    for (size_t i = 1; i < kKeyNames.size(); ++i)
        if (!(kKeyNames[i - 1].name < kKeyNames[i].name)) return false;
    return true;
}
static_assert(key_names_sorted(), "the key-name table is searched by bisection");

// Upper case with the blanks outside quotes removed: "pf 1" is PF1.
std::string compact_key_name(std::string_view typed) {
    std::string upper = upper_outside_quotes(typed);
    std::string name;
    bool quoted = false;
    for (char c : upper) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == ' ' || c == '\t')) continue;
        name.push_back(c);
    }
    return name;
}

void store_definition(uint32_t code, std::string text, uint32_t flags) {
    std::vector<KeyDefinition>& keys = key_definitions().keys;
    auto at = std::lower_bound(keys.begin(), keys.end(), code,
                               [](const KeyDefinition& k, uint32_t c) { return k.code < c; });
    if (at != keys.end() && at->code == code) {
        at->text = std::move(text);
        at->flags = flags;
    } else {
        keys.insert(at, KeyDefinition{code, std::move(text), flags});
    }
}

constexpr KeywordRecord kRows[] = {
    {"ECHO", 0, qual::KEY_ECHO},
    {"ERASE", 0, qual::KEY_ERASE, ValueKind::unsupported},
    {"IF_STA", KW_NEEDS_VALUE, qual::KEY_IF_STATE, ValueKind::unsupported},
    {"LOCK_S", 0, qual::KEY_LOCK_STATE, ValueKind::unsupported},
    {"LOG", 0, qual::KEY_LOG},
    {"SET_ST", KW_NEEDS_VALUE, qual::KEY_SET_STATE, ValueKind::unsupported},
    {"TERMIN", 0, qual::KEY_TERMINATE},
};

uint32_t key_options(const ParsedCommand& cmd) {
    uint32_t options = KEY_INITIAL_OPTIONS;
    auto set = [&](uint32_t code, uint32_t bit) {
        if (const ParsedQualifier* q = cmd.find(code)) options = q->negated() ? options & ~bit : options | bit;
    };
    set(qual::KEY_ECHO, KEY_OPT_ECHO);
    set(qual::KEY_LOG, KEY_OPT_LOG);
    set(qual::KEY_TERMINATE, KEY_OPT_TERMINATE);
    return options;
}

}  // namespace

const KeyDefinition* find_key_definition(uint32_t code) {
    const std::vector<KeyDefinition>& keys = key_definitions().keys;
    auto at = std::lower_bound(keys.begin(), keys.end(), code,
                               [](const KeyDefinition& k, uint32_t c) { return k.code < c; });
    return at != keys.end() && at->code == code ? &*at : nullptr;
}

uint32_t key_code_of(std::string_view key_name) {
    size_t low = 0, high = kKeyNames.size();
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (kKeyNames[middle].name < key_name)
            low = middle + 1;
        else
            high = middle;
    }
    return low < kKeyNames.size() && kKeyNames[low].name == key_name ? kKeyNames[low].code : 0;
}

uint32_t define_key(uint32_t options, std::string_view key_name, std::string_view equivalence) {
    std::string name = compact_key_name(key_name);
    uint32_t code = key_code_of(name);
    if (code == 0) {
        signal_condition(cond::IVKEYNAM, name);
        return 0;
    }
    std::string text = remove_quotes(equivalence);
    // The line editor inserts at most this much; a longer text is refused
    // rather than cut, so the key never does less than was asked.
    if (text.size() > kMaxKeyText) {
        signal_condition(cond::BUFOVF, name);
        return 0;
    }
    uint32_t flags = ((options & KEY_OPT_ECHO) ? KEY_DEF_ECHO : 0) |
                     ((options & KEY_OPT_TERMINATE) ? KEY_DEF_TERMINATE : 0);
    store_definition(code, std::move(text), flags);
    if (options & KEY_OPT_LOG)
        put_message(kDclInformational, "DEFKEY", "DEFAULT key " + name + " has been defined");
    return 1;
}

const KeywordTable kDefineKeyQualifiers{qual::DEFINE_KEY_FORM, kRows};

// Qualifiers before /KEY were DEFINE's: the dispatcher has reported them
// as ignored.
uint32_t define_key_command(const ParsedCommand& cmd, CommandStreams&) {
    const ParsedParameter* key = cmd.parameter(0);
    const ParsedParameter* equivalence = cmd.parameter(1);
    if (!key) return ask_for(cmd, 0);
    if (!equivalence) return ask_for(cmd, 1);
    return define_key(key_options(cmd), key->text, equivalence->text);
}

}  // namespace dcl
