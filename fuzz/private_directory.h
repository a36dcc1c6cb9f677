// A private scratch directory for fuzz targets that make files: entered,
// emptied, for each input, and left again afterwards, since libFuzzer
// reads and writes its corpus by paths relative to its own directory.
#pragma once

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

// Removes the files of `path`; with `subdirectories`, also its
// subdirectories, emptied first. A link is removed, never followed.
inline void empty_directory(const char* path, bool subdirectories = false) {
    if (DIR* dir = opendir(path)) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string full = std::string(path) + "/" + name;
            if (unlink(full.c_str()) != 0 && subdirectories) {
                empty_directory(full.c_str(), true);
                rmdir(full.c_str());
            }
        }
        closedir(dir);
    }
}

// Made once per process under $TMPDIR (else /tmp), its name starting with
// `prefix`, and removed with its contents when the process ends.
class PrivateDirectory {
public:
    explicit PrivateDirectory(const char* prefix) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
        home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (home < 0 || !mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;
    ~PrivateDirectory() {
        empty_directory(path.c_str(), true);
        rmdir(path.c_str());
    }

    int home = -1;  // the fuzzer's own directory
    std::string path;
};

inline void enter_fresh(const PrivateDirectory& d) {
    if (chdir(d.path.c_str()) != 0) std::abort();
    empty_directory(".");
}

inline void leave(const PrivateDirectory& d) {
    if (fchdir(d.home) != 0) std::abort();
}
