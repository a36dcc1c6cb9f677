// The key table and the key reader.
#include "tty/keys.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "status/interrupts.h"
#include "tty/characters.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

constexpr char ESC = '\x1b';
constexpr unsigned char CSI = 0x9b;        // 8-bit form of ESC "["
constexpr size_t kMaxSequence = 16;         // longer ones are garbage
constexpr int kSequenceWaitMs = 500;        // for the rest of a sequence
constexpr int kByteTimeout = -2;

}  // namespace

KeyTable standard_key_table() {
    return {{
        {"\b", "\b", 8},
        {"", nullptr, 127},
        {"\x1b[B", "\x1b" "B", 275}, {"\x1b[D", "\x1b" "D", 276},
        {"\x1b[C", "\x1b" "C", 277}, {"\x1b[A", "\x1b" "A", 274},
        {"\x1bOM", "\x1b?M", 270},
        {"\x1bOP", "\x1bP", 256}, {"\x1bOQ", "\x1bQ", 257},
        {"\x1bOR", "\x1bR", 258}, {"\x1bOS", "\x1bS", 259},
        {"\x1bOp", "\x1b?p", 260}, {"\x1bOq", "\x1b?q", 261}, {"\x1bOr", "\x1b?r", 262},
        {"\x1bOs", "\x1b?s", 263}, {"\x1bOt", "\x1b?t", 264}, {"\x1bOu", "\x1b?u", 265},
        {"\x1bOv", "\x1b?v", 266}, {"\x1bOw", "\x1b?w", 267}, {"\x1bOx", "\x1b?x", 268},
        {"\x1bOy", "\x1b?y", 269},
        {"\x1bOn", "\x1b?n", 273}, {"\x1bOl", "\x1b?l", 272}, {"\x1bOm", "\x1b?m", 271},
        {"\x1b[1~", nullptr, 311}, {"\x1b[2~", nullptr, 312}, {"\x1b[3~", nullptr, 313},
        {"\x1b[4~", nullptr, 314}, {"\x1b[5~", nullptr, 315}, {"\x1b[6~", nullptr, 316},
        {"\x1b[17~", nullptr, 286}, {"\x1b[18~", nullptr, 287}, {"\x1b[19~", nullptr, 288},
        {"\x1b[20~", nullptr, 289}, {"\x1b[21~", nullptr, 290},
        {"\x1b[23~", nullptr, 291}, {"\x1b[24~", nullptr, 292}, {"\x1b[25~", nullptr, 293},
        {"\x1b[26~", nullptr, 294}, {"\x1b[28~", nullptr, 295}, {"\x1b[29~", nullptr, 296},
        {"\x1b[31~", nullptr, 297}, {"\x1b[32~", nullptr, 298}, {"\x1b[33~", nullptr, 299},
        {"\x1b[34~", nullptr, 300},
    }};
}

namespace {

bool is_bracket_or_o(char c) { return c == '[' || c == 'O'; }

// ESC "[A" and ESC "OA" are the same key: past a "[" or "O" on both sides
// the comparison starts at the third character.
bool same_as_primary(std::string_view received, std::string_view primary) {
    if (primary.size() < 2 || primary[0] != ESC) return false;
    if (received.size() > 2 && is_bracket_or_o(received[1]) && is_bracket_or_o(primary[1]))
        return received.substr(2) == primary.substr(2);
    return received.substr(1) == primary.substr(1);
}

bool stop_requested() {
    const InterruptState& s = interrupts();
    return s.pending || s.terminate || s.fatal_signal;
}

// Waits for input, a signal or the time-out (-1: none). The interpreter's
// signals are blocked from the check of their flags until the wait
// begins, so one that arrives in between ends the wait at once.
int wait_for_byte(int fd, int timeout_ms) {
    sigset_t block, old;
    sigemptyset(&block);
    for (int sig : {SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGTERM})
        sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    int result = 1;
    for (;;) {
        if (stop_requested()) {
            result = KEY_INTERRUPTED;
            break;
        }
        pollfd p{fd, POLLIN, 0};
        timespec limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
        int n = ppoll(&p, 1, timeout_ms < 0 ? nullptr : &limit, &old);
        if (n > 0 || (n < 0 && errno != EINTR)) break;  // the read reports a fault
        if (n == 0) {
            result = kByteTimeout;
            break;
        }
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    return result;
}

// The next byte of `fd`, or KEY_INTERRUPTED, KEY_END_OF_INPUT, kByteTimeout.
int next_byte(int fd, int timeout_ms) {
    KeyInput& k = key_input();
    if (k.pending_fd != fd) {
        k.pending.clear();
        k.next = 0;
        k.pending_fd = fd;
    }
    while (k.next >= k.pending.size()) {
        int waited = wait_for_byte(fd, timeout_ms);
        if (waited != 1) return waited;
        char chunk[64];
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return KEY_END_OF_INPUT;
        k.pending.assign(chunk, static_cast<size_t>(n));
        k.next = 0;
    }
    return static_cast<unsigned char>(k.pending[k.next++]);
}

bool sequence_goes_on(const std::string& sequence, int c) {
    if (c >= 0x20 && c <= 0x3f) return true;
    return sequence.size() == 2 && std::strchr("[;?O", c) != nullptr;
}

}  // namespace

void reset_key_input() { key_input() = KeyInput{}; }

void replace_primary_key(int code, std::string_view sequence) {
    for (KeyEntry& entry : key_input().table)
        if (entry.code == code) entry.primary.assign(sequence);
}

int match_key_sequence(std::string_view sequence) {
    const auto& table = key_input().table;
    for (const KeyEntry& entry : table)
        if (same_as_primary(sequence, entry.primary)) return entry.code;
    for (const KeyEntry& entry : table)
        if (entry.alternate && sequence == entry.alternate) return entry.code;
    return 0;
}

bool key_waiting(int fd, int timeout_ms) {
    const KeyInput& k = key_input();
    if (k.pending_fd == fd && k.next < k.pending.size()) return true;
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeout_ms) > 0;
}

void discard_typeahead(int fd) {
    KeyInput& k = key_input();
    k.pending.clear();
    k.next = 0;
    k.utf8_remaining = 0;
    tcflush(fd, TCIFLUSH);
}

int read_key(int fd) {
    TerminalRecord* record = find_tty(fd);
    if (!record && init_tty(fd) == 1) record = find_tty(fd);
    uint32_t word1 = record ? record->characteristics[0] : TT_LOWER | TT_ESCAPE;
    std::string sequence;
    for (;;) {
        int c = next_byte(fd, sequence.empty() ? -1 : kSequenceWaitMs);
        if (c == KEY_INTERRUPTED || c == KEY_END_OF_INPUT) return c;
        if (c == kByteTimeout) {
            sequence.clear();  // a lone ESC, or a sequence cut short
            continue;
        }
        if (sequence.empty()) {
            // The bytes that a UTF-8 lead announced are text, 0x9B included.
            int& remaining = key_input().utf8_remaining;
            if (remaining > 0 && is_continuation(static_cast<unsigned char>(c))) {
                --remaining;
                return c;
            }
            remaining = utf8_continuations(static_cast<unsigned char>(c));
            if ((word1 & TT_ESCAPE) && c == ESC) {
                sequence.push_back(ESC);
                continue;
            }
            if ((word1 & TT_ESCAPE) && c == CSI) {
                sequence = "\x1b[";
                continue;
            }
            if (!(word1 & TT_LOWER) && c >= 'a' && c <= 'z') c -= 'a' - 'A';
            return c;
        }
        sequence.push_back(static_cast<char>(c));
        if (sequence_goes_on(sequence, c) && sequence.size() < kMaxSequence) continue;
        int code = match_key_sequence(sequence);
        sequence.clear();
        if (code != 0) return code;
    }
}

}  // namespace dcl
