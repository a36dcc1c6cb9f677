// The formatter behind F$FAO: a control string with "!" directives and up
// to 15 arguments, each usable as a string or as a number. It touches
// nothing outside what it is handed, so that it can be tested and fuzzed
// on its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/vms_time.h"

namespace dcl {

// One argument, seen both ways: the text is what F$STRING gives, the
// number what F$INTEGER gives.
struct FaoArgument {
    std::string text;
    int32_t integer = 0;

    FaoArgument(int32_t number);        // NOLINT: tables of mixed arguments
    FaoArgument(std::string_view text);  // NOLINT
    FaoArgument(const char* text) : FaoArgument(std::string_view(text)) {}  // NOLINT
};

// What the formatter needs from outside.
struct FaoEnvironment {
    VmsTime now;  // !%T and !%D of 0
    // !%I: the group and user names of a UIC's two halves, false when
    // either is unknown (the UIC then shows in octal). Null: never known.
    bool (*identifier_names)(uint32_t uic, std::string& group, std::string& user) = nullptr;
};

// The longest result; a field width, a repeat count or a result beyond it
// is BUFOVF.
inline constexpr size_t kMaxFaoOutput = 1024;

struct FaoResult {
    uint32_t status = 1;    // 1, IVKEYW, INSFARG or BUFOVF
    std::string directive;  // the refused directive, for IVKEYW
};

// Formats `control` with `arguments` into `out`.
FaoResult format_fao(std::string& out, std::string_view control,
                     std::span<const FaoArgument> arguments, const FaoEnvironment& environment);

}  // namespace dcl
