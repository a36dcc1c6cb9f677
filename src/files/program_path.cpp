// Start-up lookups of the program's directory.
#include "files/program_path.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace dcl {

namespace {

constexpr int kMaxLinkDepth = 32;  // as the kernel's own limit on link chains

std::string current_directory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) + "/" : std::string("./");
}

std::string directory_part(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The target of a symbolic link, relative targets resolved against the
// link's directory; false when `path` is not a link.
bool link_target(std::string& target, const std::string& path) {
    char buffer[PATH_MAX];
    ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    target.assign(buffer, static_cast<size_t>(n));
    if (target[0] != '/') target = directory_part(path) + target;
    return true;
}

bool usable(const std::string& path, bool need_execute) {
    if (!need_execute) return access(path.c_str(), F_OK) == 0;
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool locate_program_directory(std::string& directory, std::string_view program_path) {
    std::string path(program_path);
    bool followed = false;
    std::string target;
    for (int depth = 0; depth < kMaxLinkDepth && link_target(target, path); ++depth) {
        path = target;
        followed = true;
    }
    directory = directory_part(path);
    if (directory.empty()) directory = current_directory();
    return followed;
}

bool search_path(std::string& directory, std::string_view name, bool need_execute) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest = path;
    for (;;) {
        size_t colon = rest.find(':');
        std::string element(rest.substr(0, colon));
        if (element.empty() || element == ".") element = current_directory();
        if (element.back() != '/') element += '/';
        if (usable(element + std::string(name), need_execute)) {
            directory = element;
            return true;
        }
        if (colon == std::string_view::npos) return false;
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace dcl
