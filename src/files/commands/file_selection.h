// The selection qualifiers the file commands share: /BEFORE, /SINCE,
// /BY_OWNER, /EXCLUDE, and /CREATED or /MODIFIED for the date compared.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "files/search.h"
#include "lang/command_parser.h"

namespace dcl {

// Each command's codes for them.
struct SelectionCodes {
    uint32_t before, since, by_owner, exclude, created, modified;
};

// The selection of `cmd`. 1 with `out` filled (`selecting` true when any
// qualifier narrows the files found); CONFQUAL for /CREATED with
// /MODIFIED, QUALMISS for either without /BEFORE or /SINCE.
uint32_t file_selection(const ParsedCommand& cmd, const SelectionCodes& codes, SearchSelection& out,
                        bool& selecting);

// The default for the file name after `spec`: its device, directory and
// name followed by `type` (".lis", or "." when the type does not carry
// over).
std::string directory_and_name(std::string_view spec, std::string_view type);

// The stream an output named SYS$OUTPUT, SYS$ERROR or SYS$COMMAND (any
// case) stands for; nullptr for any other name.
FILE* output_stream_named(std::string_view spec);

}  // namespace dcl
