// Keypad and function keys defined with DEFINE/KEY, kept in key-code order
// for line editing to look up when such a key is pressed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>


namespace dcl {

// Flags stored with a definition.
inline constexpr uint32_t KEY_DEF_ECHO = 0x1;       // the text is shown when the key is pressed
inline constexpr uint32_t KEY_DEF_TERMINATE = 0x2;  // the key also ends the line

// Option bits of DEFINE/KEY.
inline constexpr uint32_t KEY_OPT_ECHO = 0x1;
inline constexpr uint32_t KEY_OPT_LOG = 0x2;
inline constexpr uint32_t KEY_OPT_TERMINATE = 0x4;
inline constexpr uint32_t KEY_INITIAL_OPTIONS = KEY_OPT_ECHO | KEY_OPT_LOG;

inline constexpr size_t kMaxKeyText = 255;

struct KeyDefinition {
    uint32_t code;     // as the terminal driver delivers the key
    std::string text;  // at most kMaxKeyText characters
    uint32_t flags;    // KEY_DEF_*
};

struct KeyDefinitions {
    std::vector<KeyDefinition> keys;  // ascending code, one record per code
};

KeyDefinitions& key_definitions();
// This part alone back to its start value (unit tests).
void reset_key_definitions();

// The definition of a key, or nullptr.
const KeyDefinition* find_key_definition(uint32_t code);

// The key code of a name of the key-name table ("PF1", "KP7", "F10"...),
// or 0 when there is no such key.
uint32_t key_code_of(std::string_view key_name);

// Defines a key: the name is upper-cased and compacted, the equivalence
// unquoted. Returns 1, or 0 after queueing the failure.
uint32_t define_key(uint32_t options, std::string_view key_name, std::string_view equivalence);


}  // namespace dcl
