// COPY with a node on either side: done by the network copy program that
// the defaults file names (NETCP, NETMODE), every piece the user typed
// quoted for the shells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dcl {

bool has_node(const std::string& spec);

// Copies `inputs` to `output` in one command of the copy program. 1, or 0
// after reporting.
uint32_t network_copy(const std::vector<std::string>& inputs, const std::string& output, bool image);

}  // namespace dcl
