// Wildcard matching of names: "*" matches any run of characters, "%"
// exactly one.
#pragma once

#include <string_view>

namespace dcl {

bool wildcard_match(std::string_view pattern, std::string_view text);

inline bool has_wildcard(std::string_view text) {
    return text.find_first_of("*%") != std::string_view::npos;
}

}  // namespace dcl
