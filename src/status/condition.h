// Condition values: the 32-bit status every operation reports.
// Bits 0-2 severity, 3-15 message number, 16-27 facility, 28 inhibit,
// 29 continue at the label given as the first argument.
#pragma once

#include <cstdint>

#include "status/conditions.h"

namespace dcl {

enum Severity : uint32_t {
    SEV_WARNING = 0,
    SEV_SUCCESS = 1,
    SEV_ERROR = 2,
    SEV_INFO = 3,
    SEV_SEVERE = 4,
    SEV_FATAL = 6,  // ends the interpreter for a few conditions
};

inline constexpr uint32_t SEVERITY_MASK = 0x7;
inline constexpr uint32_t INHIBIT_BIT = 1u << 28;
inline constexpr uint32_t CONTINUE_AT_LABEL_BIT = 1u << 29;
inline constexpr uint32_t MESSAGE_NUMBER_MASK = 0xFFF8;

constexpr uint32_t severity_of(uint32_t value) { return value & SEVERITY_MASK; }
constexpr bool is_success(uint32_t value) { return (value & 1) != 0; }
constexpr uint32_t facility_of(uint32_t value) { return (value >> 16) & 0xFFF; }
constexpr uint32_t with_severity(uint32_t value, uint32_t severity) {
    return (value & ~SEVERITY_MASK) | severity;
}
// Two conditions name the same message when bits 3-15 agree.
constexpr bool same_message_number(uint32_t a, uint32_t b) {
    return (a & MESSAGE_NUMBER_MASK) == (b & MESSAGE_NUMBER_MASK);
}

// The conditions that start-up and the signal path raise with severity 6.
inline constexpr uint32_t FATAL_FAULT = with_severity(cond::FAULT, SEV_FATAL);
inline constexpr uint32_t FATAL_GOTSIG = with_severity(cond::GOTSIG, SEV_FATAL);
inline constexpr uint32_t FATAL_INSFMEM = with_severity(cond::INSFMEM, SEV_FATAL);

}  // namespace dcl
