// The workers behind DEFINE, ASSIGN, DEASSIGN and SHOW TRANSLATION, and the
// small rules those commands share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "status/streams.h"

namespace dcl {

// Option bits of DEFINE and ASSIGN.
inline constexpr uint32_t DEFINE_OPT_JOB = 0x2;
inline constexpr uint32_t DEFINE_OPT_LOG = 0x4;
inline constexpr uint32_t DEFINE_OPT_PROCESS = 0x8;
inline constexpr uint32_t DEFINE_OPT_SUPERVISOR = 0x10;
inline constexpr uint32_t DEFINE_OPT_TABLE = 0x40;
inline constexpr uint32_t DEFINE_OPT_USER = 0x80;
inline constexpr uint32_t DEFINE_OPT_CONCEALED = 0x100;  // the store's CONCEALED bit
inline constexpr uint32_t DEFINE_OPT_TERMINAL = 0x200;   // the store's TERMINAL bit
inline constexpr uint32_t DEFINE_INITIAL_OPTIONS = DEFINE_OPT_LOG | DEFINE_OPT_SUPERVISOR;

// Option bits of DEASSIGN.
inline constexpr uint32_t DEASSIGN_OPT_ALL = 0x1;
inline constexpr uint32_t DEASSIGN_OPT_GROUP = 0x2;
inline constexpr uint32_t DEASSIGN_OPT_JOB = 0x4;
inline constexpr uint32_t DEASSIGN_OPT_PROCESS = 0x8;
inline constexpr uint32_t DEASSIGN_OPT_SUPERVISOR = 0x10;
inline constexpr uint32_t DEASSIGN_OPT_SYSTEM = 0x20;
inline constexpr uint32_t DEASSIGN_OPT_TABLE = 0x40;
inline constexpr uint32_t DEASSIGN_OPT_USER = 0x80;
inline constexpr uint32_t DEASSIGN_INITIAL_OPTIONS = DEASSIGN_OPT_SUPERVISOR;

// SYS$INPUT, SYS$OUTPUT and SYS$ERROR (exactly, upper case) name a
// standard stream; other names none.
std::optional<StandardStream> standard_stream_named(std::string_view name);

// Flag qualifiers whose plain form switches others off: sets `bit` and
// clears `excluded` when `on`, else clears `bit`.
void set_exclusive_flag(uint32_t& options, uint32_t bit, uint32_t excluded, bool on);

// Creates `name` with `values` (raw parameter texts, in order) in the table
// the options select. The standard streams of a process table are handed
// to redirection instead. Returns the condition to queue (0 when queued).
uint32_t define_logical(uint32_t options, std::string_view table, std::string_view name,
                        std::span<const std::string> values);

// Removes `name`, or with DEASSIGN_OPT_ALL every name of the table. Queues
// its own failures; returns 1 or 0.
uint32_t deassign_logical(uint32_t options, std::string_view table, std::string_view name);

// Re-creates LNM$PROCESS with SYS$COMMAND, SYS$INPUT, SYS$OUTPUT,
// SYS$ERROR, TT and NL as they were at start-up.
void restore_process_names();

// Writes "  NAME = "value"  (table)" for the first translation of `name`
// (LNM$FILE_DEV when `table` is empty), UNDEFINED when there is none.
void write_translation(FILE* out, std::string_view name, std::string_view table);

}  // namespace dcl
