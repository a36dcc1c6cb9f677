// Key input: the key table (escape sequences of the keypad, the cursor and
// function keys) and the reader that turns keyboard bytes into key codes.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dcl {

// Codes of 256 and above are keys that send sequences.
inline constexpr int KEY_END_OF_INPUT = -1;  // the terminal can deliver no more
inline constexpr int KEY_INTERRUPTED = 0;    // an interrupt arrived during the read
inline constexpr int KEY_DELETE = 127;
inline constexpr int KEY_PF1 = 256;
inline constexpr int KEY_ENTER = 270;
inline constexpr int KEY_UP = 274;
inline constexpr int KEY_DOWN = 275;
inline constexpr int KEY_LEFT = 276;
inline constexpr int KEY_RIGHT = 277;
inline constexpr int KEY_F10 = 290;
inline constexpr int KEY_F12 = 292;
inline constexpr int KEY_F13 = 293;
inline constexpr int KEY_F14 = 294;
inline constexpr int KEY_FIRST_SEQUENCE = 256;

struct KeyEntry {
    std::string primary;    // the terminal description may replace it
    const char* alternate;  // VT52-style form, or nullptr
    int code;
};

using KeyTable = std::array<KeyEntry, 45>;

// {primary, alternate, code}: the keypad, cursor and function keys as a
// VT terminal sends them.
KeyTable standard_key_table();

struct KeyInput {
    static constexpr size_t kEntries = std::tuple_size_v<KeyTable>;
    KeyTable table = standard_key_table();
    std::string pending;  // bytes read but not yet decoded
    size_t next = 0;      // first undecoded byte of `pending`
    int pending_fd = -1;  // the descriptor they came from
    int utf8_remaining = 0;  // continuation bytes a UTF-8 lead announced
};

KeyInput& key_input();
// This part alone back to its start value (unit tests).
void reset_key_input();

// A terminal description's sequence for a key replaces its primary one.
void replace_primary_key(int code, std::string_view sequence);

// The key a complete escape sequence (ESC included) stands for; 0 when
// the table has none.
int match_key_sequence(std::string_view sequence);

// Reads one key from `fd`: a character code, a key code of 256 or more,
// KEY_INTERRUPTED when an interrupt arrived, KEY_END_OF_INPUT when no more
// can come (also in the middle of a sequence). Unknown sequences are
// dropped; a lone ESC is dropped when nothing follows it within half a
// second. Bytes of 128 and more are characters like any other; those that
// continue a UTF-8 sequence are never taken for the 8-bit CSI.
int read_key(int fd);

// True when a byte of `fd` can be read within `timeout_ms` (0: at once)
// without waiting longer: one already read ahead, or one in the device.
bool key_waiting(int fd, int timeout_ms);

// Drops the keys typed but not yet read.
void discard_typeahead(int fd);

}  // namespace dcl
