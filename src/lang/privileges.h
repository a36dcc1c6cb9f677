// Process privileges: the VMS privilege names, which of them this process
// is authorised to hold, and the soft mask of those it has enabled
// (F$SETPRV). Linux has no such privileges; they only steer what dclsh
// itself lets a procedure see, such as other users' processes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// One bit per privilege, at the bit numbers VMS gives them.
using PrivilegeMask = uint64_t;

// The enabled (soft) privileges. The mask starts as the authorised set,
// taken on first use, because start-up order must not matter.
struct PrivilegeState {
    bool initialised = false;
    PrivilegeMask enabled = 0;
};

PrivilegeState& privilege_state();

// One element of a privilege list: NAME asks for the privilege enabled,
// NONAME for it disabled.
struct PrivilegeRequest {
    std::string_view name;  // the name as the table spells it
    PrivilegeMask bit = 0;
    bool enable = true;
};

// Splits "NAME,NONAME,..." (case-blind, blanks ignored). Returns 1, or
// IVKEYW with the offending element, upper-cased, in `bad`.
uint32_t parse_privilege_list(std::string_view list, std::vector<PrivilegeRequest>& requests,
                              std::string& bad);

// TMPMBX and NETMBX always; every privilege for the superuser; SYSPRV
// too where the privilege is faked.
PrivilegeMask authorised_privileges(bool superuser, bool fake_sysprv);
// The same for this process (euid 0, DCL_FAKE_SYSPRV in the environment).
PrivilegeMask own_authorised_privileges();
// The enabled mask, set up from the authorised one on first use.
PrivilegeMask enabled_privileges();

// "TMPMBX,NETMBX": the names of a mask, in bit order.
std::string privilege_names(PrivilegeMask mask);

// Other users' processes are visible with WORLD or SYSPRV enabled.
bool may_see_all_processes();

}  // namespace dcl
