// The end of a session.
#pragma once

#include <cstdint>

namespace dcl {

// Bit 0 of the flags asks for the accounting summary.
inline constexpr uint32_t LOGOUT_ACCOUNTING = 1;

// Says farewell (at a terminal) and leaves through the orderly exit with
// `exit_status`. Never returns.
[[noreturn]] void logout_session(uint32_t flags, int exit_status = 0);

}  // namespace dcl
