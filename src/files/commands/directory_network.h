// DIRECTORY of specifications with a node: listed by a Unix network
// program that the defaults file names (NETMODE, RSH, NETDIR).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// `text` as one word for a POSIX shell: in single quotes, a quote inside
// written as '\''.
std::string shell_word(std::string_view text);

// Lists `specs` ("NODE"ACS"::REST") with the option word's /FULL, the
// headings of the remote-shell mode on `out`. Returns 1, or 0 after
// reporting.
uint32_t list_network_directories(const std::vector<std::string>& specs, uint32_t word, FILE* out);

}  // namespace dcl
