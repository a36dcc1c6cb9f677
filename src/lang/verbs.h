// Verb numbers and the SET/SHOW keyword codes that the dispatcher routes.
#pragma once

#include <cstdint>

namespace dcl::verb {

inline constexpr uint32_t NONE = 0;  // not DCL: the line goes to the Unix shell
inline constexpr uint32_t APPEND = 4;
inline constexpr uint32_t ASSIGN = 5;
inline constexpr uint32_t CALL = 8;
inline constexpr uint32_t CD = 11;
inline constexpr uint32_t CLOSE = 12;
inline constexpr uint32_t CONTINUE = 14;
inline constexpr uint32_t COPY = 16;
inline constexpr uint32_t CREATE = 17;
inline constexpr uint32_t DEASSIGN = 19;
inline constexpr uint32_t DECK = 21;
inline constexpr uint32_t DEFINE = 22;
inline constexpr uint32_t DELETE = 23;
inline constexpr uint32_t DIFFERENCES = 25;
inline constexpr uint32_t DIRECTORY = 26;
inline constexpr uint32_t ELSE = 31;
inline constexpr uint32_t ENDIF = 32;
inline constexpr uint32_t ENDSUBROUTINE = 33;
inline constexpr uint32_t EOJ = 35;
inline constexpr uint32_t EXIT = 38;
inline constexpr uint32_t GOSUB = 41;
inline constexpr uint32_t GOTO = 42;
inline constexpr uint32_t HELP = 43;
inline constexpr uint32_t IF = 44;
inline constexpr uint32_t INQUIRE = 46;
inline constexpr uint32_t LOGOUT = 52;
inline constexpr uint32_t ON = 60;
inline constexpr uint32_t OPEN = 61;
inline constexpr uint32_t PURGE = 66;
inline constexpr uint32_t READ = 67;
inline constexpr uint32_t RECALL = 68;
inline constexpr uint32_t RENAME = 69;
inline constexpr uint32_t RETURN = 72;
inline constexpr uint32_t RUN = 73;
inline constexpr uint32_t SEARCH = 75;
inline constexpr uint32_t SET = 76;
inline constexpr uint32_t SHOW = 77;
inline constexpr uint32_t SPAWN = 79;
inline constexpr uint32_t SUBROUTINE = 83;
inline constexpr uint32_t THEN = 85;
inline constexpr uint32_t SHELL = 87;  // also UNIX and NT
inline constexpr uint32_t TYPE = 86;
inline constexpr uint32_t WRITE = 91;
inline constexpr uint32_t ECHO = 92;
inline constexpr uint32_t FOREIGN = 93;
inline constexpr uint32_t AT = 101;  // "@file": run a command procedure

// SET keywords.
inline constexpr uint32_t SET_CLI = 206;
inline constexpr uint32_t SET_DEFAULT = 211;
inline constexpr uint32_t SET_MESSAGE = 221;
inline constexpr uint32_t SET_ON = 222;
inline constexpr uint32_t SET_PROMPT = 227;
inline constexpr uint32_t SET_TERMINAL = 234;
inline constexpr uint32_t SET_VERIFY = 236;

// SHOW keywords.
inline constexpr uint32_t SHOW_CLI = 305;
inline constexpr uint32_t SHOW_DEFAULT = 308;
inline constexpr uint32_t SHOW_LOGICAL = 316;
inline constexpr uint32_t SHOW_STATUS = 325;
inline constexpr uint32_t SHOW_SYMBOL = 326;
inline constexpr uint32_t SHOW_TERMINAL = 328;
inline constexpr uint32_t SHOW_TIME = 329;
inline constexpr uint32_t SHOW_TRANSLATION = 330;
inline constexpr uint32_t SHOW_USERS = 331;

}  // namespace dcl::verb
