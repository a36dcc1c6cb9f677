// Forgetting the key definitions.
#include "names/key_definitions.h"

namespace dcl {

void reset_key_definitions() { key_definitions() = KeyDefinitions{}; }

}  // namespace dcl
