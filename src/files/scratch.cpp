// Scratch directory, temporary names and the temporary-file register.
#include "files/scratch.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "files/filespec.h"
#include "files/unique_fd.h"
#include "names/logical_names.h"
#include "status/condition.h"

namespace dcl {

namespace {

constexpr const char* kFallbackDirectory = "/tmp";
constexpr unsigned kFallbackModulus = 1000;

void unlink_retrying(const std::string& path) {
    while (unlink(path.c_str()) != 0 && errno == EINTR) {
    }
}

// Where temporary files go, with a trailing "/".
std::string scratch_area() {
    std::string directory;
    std::string translation;
    if (const char* env = std::getenv("SYSSCRATCH"); env != nullptr && *env != '\0') {
        directory = env;
    } else if (is_success(lnm_translate("LNM$FILE_DEV", "SYS$SCRATCH", &translation, nullptr, 0, 0,
                                        nullptr)) &&
               !translation.empty()) {
        directory = translation;
    } else {
        directory = kFallbackDirectory;
    }
    if (directory.find('[') != std::string::npos && directory.find(']') != std::string::npos) {
        std::string unix_directory;
        vms_dir_to_unix(unix_directory, directory);
        directory = unix_directory;
    }
    if (directory.empty() || access(directory.c_str(), W_OK) != 0) directory = kFallbackDirectory;
    if (directory.back() != '/') directory += '/';
    return directory;
}

// `created` tells whether the file now exists as ours.
std::string temporary_name(bool& created) {
    std::string directory = scratch_area();
    std::string name = directory + "qvXXXXXX";
    UniqueFd fd(mkostemp(name.data(), O_CLOEXEC));
    created = fd.valid();
    if (created) return name;
    unsigned number = temporary_files().counter++ % kFallbackModulus;
    unsigned process = static_cast<unsigned>(getpid()) % kFallbackModulus;
    return directory + "qv" + std::to_string(number) + std::to_string(process);
}

}  // namespace

std::string scratch_directory() {
    const char* dir = std::getenv("TQTMPDIR");
    if (dir == nullptr || *dir == '\0') return "/tmp/";
    std::string path = dir;
    if (path.back() != '/') path += '/';
    return path;
}

std::string temporary_file_name() {
    bool created = false;
    return temporary_name(created);
}

std::string create_temporary_file() {
    bool created = false;
    std::string path = temporary_name(created);
    if (!created) {
        // Only a file made here may be registered: the fallback name could
        // belong to someone else.
        UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) return {};
    }
    if (register_temporary_file(path) != 1) return {};
    return path;
}

uint32_t register_temporary_file(std::string_view path) {
    if (path.size() > kMaxTemporaryPath) {
        unlink_retrying(std::string(path));
        return cond::BUFOVF;
    }
    temporary_files().paths.emplace_back(path);
    return 1;
}

void remove_temporary_files() {
    std::vector<std::string>& paths = temporary_files().paths;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) unlink_retrying(*it);
    paths.clear();
}

}  // namespace dcl
