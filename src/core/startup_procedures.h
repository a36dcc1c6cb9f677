// The start-up procedures: the site's dclstartup.com, the system's
// sylogin.com (both in the installation directory) and the user's
// login.com (SYS$LOGIN:login.com, or the file given with -L).
#pragma once

namespace dcl {

// Starts the next start-up procedure that exists, at level 0 only. True
// when one was started (its lines run next).
bool run_startup_stage();

}  // namespace dcl
