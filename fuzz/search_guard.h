// F$SEARCH walks the real file system, and a pattern such as "/./" (the
// ellipsis from the root) walks all of it, longer than any run can wait.
// A target spots an input that may call it here: by any abbreviation,
// in any case, quoted or not ("F$SEA" selects it).
#pragma once

#include <string>
#include <string_view>

// The text in upper case, without its quotes.
inline std::string bare_upper(std::string_view text) {
    std::string bare;
    for (char c : text)
        if (c != '"') bare.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    return bare;
}

inline bool calls_search(const std::string& bare) {
    return bare.find("F$SEA") != std::string::npos;
}
