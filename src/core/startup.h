// Start-up of the interpreter.
#pragma once

namespace dcl {

// Sets the session up from the program's command line and runs the command
// loop; never returns normally.
[[noreturn]] void run_interpreter(int argc, char** argv);

}  // namespace dcl
