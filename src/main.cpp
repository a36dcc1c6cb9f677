// dclsh: a DCL command interpreter for Linux.
#include "core/startup.h"

int main(int argc, char** argv) { dcl::run_interpreter(argc, argv); }
