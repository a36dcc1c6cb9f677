// Privileges and rights identifiers: F$PRIVILEGE, F$SETPRV and
// F$IDENTIFIER, with the privilege table they share with F$GETJPI.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "files/protection.h"
#include "lang/lexical_functions.h"
#include "lang/privileges.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

struct PrivilegeEntry {
    std::string_view name;
    int bit;
};

// The documented VMS privilege names, sorted; DETACH is the older name of
// IMPERSONATE.
constexpr std::array<PrivilegeEntry, 40> kPrivileges{{
    {"ACNT", 9},       {"ALLSPOOL", 4},  {"ALTPRI", 13},     {"AUDIT", 37},
    {"BUGCHK", 23},    {"BYPASS", 29},   {"CMEXEC", 1},      {"CMKRNL", 0},
    {"DETACH", 5},     {"DIAGNOSE", 6},  {"DOWNGRADE", 33},  {"EXQUOTA", 19},
    {"GROUP", 8},      {"GRPNAM", 3},    {"GRPPRV", 34},     {"IMPERSONATE", 5},
    {"IMPORT", 36},    {"LOG_IO", 7},    {"MOUNT", 17},      {"NETMBX", 20},
    {"OPER", 18},      {"PFNMAP", 26},   {"PHY_IO", 22},     {"PRMCEB", 10},
    {"PRMGBL", 24},    {"PRMMBX", 11},   {"PSWAPM", 12},     {"READALL", 35},
    {"SECURITY", 38},  {"SETPRV", 14},   {"SHARE", 31},      {"SHMEM", 27},
    {"SYSGBL", 25},    {"SYSLCK", 30},   {"SYSNAM", 2},      {"SYSPRV", 28},
    {"TMPMBX", 15},    {"UPGRADE", 32},  {"VOLPRO", 21},     {"WORLD", 16},
}};

constexpr bool privileges_sorted() {
    for (size_t i = 1; i < kPrivileges.size(); ++i)
        if (!(kPrivileges[i - 1].name < kPrivileges[i].name)) return false;
    return true;
}
static_assert(privileges_sorted(), "the privilege table must stay sorted for the binary search");

constexpr int kPrivilegeCount = 39;  // bits 0..38
constexpr PrivilegeMask kAllPrivileges = (PrivilegeMask{1} << kPrivilegeCount) - 1;

constexpr PrivilegeMask bit_of(std::string_view name) {
    for (const PrivilegeEntry& e : kPrivileges)
        if (e.name == name) return PrivilegeMask{1} << e.bit;
    return 0;
}

constexpr PrivilegeMask kDefaultPrivileges = bit_of("TMPMBX") | bit_of("NETMBX");
constexpr PrivilegeMask kSeeAllPrivileges = bit_of("WORLD") | bit_of("SYSPRV");

const PrivilegeEntry* find_privilege(std::string_view name) {
    auto it = std::lower_bound(kPrivileges.begin(), kPrivileges.end(), name,
                               [](const PrivilegeEntry& e, std::string_view n) { return e.name < n; });
    return it != kPrivileges.end() && it->name == name ? &*it : nullptr;
}


// Evaluates the list argument and splits it; a bad element is queued.
uint32_t requested_privileges(LexicalCall& call, std::vector<PrivilegeRequest>& requests) {
    ExprValue list;
    if (uint32_t status = call.evaluate(0, list); status != 1) return status;
    std::string bad;
    if (parse_privilege_list(list.text, requests, bad) != 1) {
        signal_condition(cond::IVKEYW, bad);
        return 0;
    }
    return 1;
}

}  // namespace

uint32_t parse_privilege_list(std::string_view list, std::vector<PrivilegeRequest>& requests,
                              std::string& bad) {
    requests.clear();
    std::string text = keyword_text(list);
    std::string_view rest = text;
    while (true) {
        size_t comma = rest.find(',');
        std::string_view element = rest.substr(0, comma);
        const PrivilegeEntry* entry = find_privilege(element);
        bool enable = entry != nullptr;
        if (entry == nullptr && element.starts_with("NO")) entry = find_privilege(element.substr(2));
        if (entry == nullptr) {
            bad.assign(element);
            return cond::IVKEYW;
        }
        requests.push_back({entry->name, PrivilegeMask{1} << entry->bit, enable});
        if (comma == std::string_view::npos) return 1;
        rest.remove_prefix(comma + 1);
    }
}

PrivilegeMask authorised_privileges(bool superuser, bool fake_sysprv) {
    if (superuser) return kAllPrivileges;
    return kDefaultPrivileges | (fake_sysprv ? bit_of("SYSPRV") : 0);
}

PrivilegeMask own_authorised_privileges() {
    return authorised_privileges(geteuid() == 0, std::getenv("DCL_FAKE_SYSPRV") != nullptr);
}

PrivilegeMask enabled_privileges() {
    PrivilegeState& state = privilege_state();
    if (!state.initialised) {
        state.enabled = own_authorised_privileges();
        state.initialised = true;
    }
    return state.enabled;
}

std::string privilege_names(PrivilegeMask mask) {
    std::string names;
    for (int bit = 0; bit < kPrivilegeCount; ++bit) {
        if ((mask & (PrivilegeMask{1} << bit)) == 0) continue;
        for (const PrivilegeEntry& e : kPrivileges) {
            if (e.bit != bit || e.name == "DETACH") continue;
            if (!names.empty()) names += ',';
            names += e.name;
        }
    }
    return names;
}

bool may_see_all_processes() { return (enabled_privileges() & kSeeAllPrivileges) != 0; }

// F$PRIVILEGE(list): TRUE when every listed privilege is in the state asked.
uint32_t lexical_privilege(LexicalCall& call) {
    std::vector<PrivilegeRequest> requests;
    if (uint32_t status = requested_privileges(call, requests); status != 1) return status;
    PrivilegeMask enabled = enabled_privileges();
    bool all = std::all_of(requests.begin(), requests.end(), [enabled](const PrivilegeRequest& r) {
        return ((enabled & r.bit) != 0) == r.enable;
    });
    return call.set_string(all ? "TRUE" : "FALSE");
}

// F$SETPRV(list): changes the soft mask and returns the states the listed
// privileges had, as a list of the same form. Enabling what is not
// authorised is left undone; VMS answers that with the success NOTALLPRIV,
// which shows no message, so the call simply succeeds.
uint32_t lexical_setprv(LexicalCall& call) {
    std::vector<PrivilegeRequest> requests;
    if (uint32_t status = requested_privileges(call, requests); status != 1) return status;
    PrivilegeState& state = privilege_state();
    PrivilegeMask before = enabled_privileges();
    PrivilegeMask authorised = own_authorised_privileges();
    std::string previous;
    for (const PrivilegeRequest& r : requests) {
        if (!previous.empty()) previous += ',';
        if ((before & r.bit) == 0) previous += "NO";
        previous += r.name;
        if (!r.enable)
            state.enabled &= ~r.bit;
        else if ((authorised & r.bit) != 0)
            state.enabled |= r.bit;
    }
    return call.set_string(previous);
}

namespace {

constexpr uint32_t kGroupIdentifierBase = 0x80010000u;

uint32_t identifier_of_name(LexicalCall& call, const std::string& name) {
    if (const passwd* pw = getpwnam(name.c_str()))
        return call.set_integer(static_cast<int32_t>(pack_uic(pw->pw_gid, pw->pw_uid)));
    if (const group* gr = getgrnam(name.c_str()))
        return call.set_integer(static_cast<int32_t>(kGroupIdentifierBase + (gr->gr_gid & 0xFFFFu)));
    return with_severity(cond::NOSUCHID, SEV_SEVERE);
}

uint32_t name_of_identifier(LexicalCall& call, uint32_t value) {
    if ((value & 0xFFFF0000u) == kGroupIdentifierBase) {
        if (const group* gr = getgrgid(value & 0xFFFFu)) return call.set_string(gr->gr_name);
    } else if (const passwd* pw = getpwuid(value & 0xFFFFu);
               pw != nullptr && (pw->pw_gid & 0xFFFFu) == value >> 16) {
        return call.set_string(pw->pw_name);
    }
    return with_severity(cond::NOSUCHID, SEV_SEVERE);
}

}  // namespace

// F$IDENTIFIER(identifier, conversion): a user is the UIC of its password
// entry, a group 0x80010000 plus its id.
uint32_t lexical_identifier(LexicalCall& call) {
    ExprValue identifier, conversion;
    if (uint32_t status = call.evaluate(0, identifier); status != 1) return status;
    if (uint32_t status = call.evaluate(1, conversion); status != 1) return status;
    std::string how = keyword_text(conversion.text);
    if (how == "NAME_TO_NUMBER") return identifier_of_name(call, identifier.text);
    if (how == "NUMBER_TO_NAME") return name_of_identifier(call, static_cast<uint32_t>(identifier.integer));
    signal_condition(cond::IVKEYW, how);
    return 0;
}

}  // namespace dcl
