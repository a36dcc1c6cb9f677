// The streams WRITE can address: the four standard names, which always
// mean the current standard streams of the procedure level.
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

namespace dcl {

enum StreamAccess { ACCESS_READ = 1, ACCESS_WRITE = 2 };

struct OpenStream {
    FILE* stream;
    StreamAccess access;
};

// The stream of a standard name (upper case, no colon), or none.
std::optional<OpenStream> find_open_file(std::string_view logical_name);

}  // namespace dcl
