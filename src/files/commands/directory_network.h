// DIRECTORY of specifications with a node: listed by a Unix network
// program that the defaults file names (NETMODE, RSH, NETDIR).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// A specification with a node: NODE"user password"::REST.
struct NetworkSpec {
    std::string node, user, password, rest;
};

// Splits a specification with a node; false when it has none ("::").
bool split_network_spec(std::string_view spec, NetworkSpec& out);

// Node names longer than this are refused, never shortened (a shortened
// host name would reach another host).
inline constexpr size_t kMaxNodeName = 6;

// `text` as one word for a POSIX shell: in single quotes, a quote inside
// written as '\''.
std::string shell_word(std::string_view text);

// Lists `specs` ("NODE"ACS"::REST") with the option word's /FULL, the
// headings of the remote-shell mode on `out`. Returns 1, or 0 after
// reporting.
uint32_t list_network_directories(const std::vector<std::string>& specs, uint32_t word, FILE* out);

}  // namespace dcl
