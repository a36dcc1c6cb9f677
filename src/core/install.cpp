// Installation lookup.
#include "core/install.h"

#include <cstdio>
#include <cstdlib>
#include <climits>
#include <unistd.h>

namespace dcl {

namespace {

constexpr const char* kProgramName = "dclsh";
constexpr const char* kStandardPlaces[] = {"/opt/quorvane/", "/usr/lib/quorvane/"};

std::string current_directory() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) + "/" : std::string("/");
}

std::string absolute(const std::string& dir) {
    return dir.empty() || dir[0] == '/' ? dir : current_directory() + dir;
}

// The program on PATH: an empty entry or "." is the working directory.
std::optional<std::string> search_path(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    std::string_view rest = path;
    for (;;) {
        size_t colon = rest.find(':');
        std::string dir(rest.substr(0, colon));
        if (dir.empty() || dir == ".") dir = current_directory();
        if (dir.back() != '/') dir += '/';
        std::string candidate = dir + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

std::optional<std::string> locate_program(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return access(name.c_str(), F_OK) == 0 ? std::optional(name) : std::nullopt;
    if (auto found = search_path(name)) return found;
    for (const char* place : kStandardPlaces) {
        std::string candidate = std::string(place) + name;
        if (access(candidate.c_str(), F_OK) == 0) return candidate;
    }
    return std::nullopt;
}

}  // namespace

std::string program_directory(const std::string& program_path) {
    std::string path = program_path;
    char link[1025];
    ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
    if (n > 0) {
        std::string target(link, static_cast<size_t>(n));
        size_t slash = path.rfind('/');
        if (target[0] != '/' && slash != std::string::npos)
            target = path.substr(0, slash + 1) + target;
        path = target;
    }
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return current_directory();
    return absolute(path.substr(0, slash + 1));
}

std::optional<std::string> find_install_directory(const std::string& invocation_name) {
    if (const char* tessel = std::getenv("TESSEL"); tessel && *tessel) {
        std::string dir = tessel;
        if (dir.back() != '/') dir += '/';
        return dir;
    }
    if (auto program = locate_program(kProgramName)) return program_directory(*program);
    if (!invocation_name.empty() && invocation_name != kProgramName)
        if (auto program = locate_program(invocation_name)) return program_directory(*program);
    return std::nullopt;
}

bool check_data_files(const std::string& install_dir) {
    for (const char* file : {"facil.dat", "messages.dat", "tesselhelp.hlb"}) {
        std::string path = install_dir + file;
        if (access(path.c_str(), R_OK) == 0) continue;
        std::fprintf(stderr, "\nError - cannot open file %s for reading\n\n", path.c_str());
        std::fputs("This product requires the following files to be available in the directory\n"
                   "where it has been installed:\n\n"
                   "facil.dat\ntesselhelp.hlb\nmessages.dat\n\n"
                   "You can use the TESSEL environment variable to specify a directory where\n"
                   "these files are located.\n\n",
                   stderr);
        return false;
    }
    return true;
}

}  // namespace dcl
