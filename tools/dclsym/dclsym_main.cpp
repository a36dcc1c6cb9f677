// dclsym: the symbol pipe from a shell script run as a foreign command.
//   dclsym get NAME                          prints the value
//   dclsym set NAME VALUE [local|global|env]
//   dclsym delete NAME [local|global|env]
//   dclsym status N                          the image's $STATUS
// Exit status 0 on success, 1 on failure.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dclsym.h"

namespace {

// The scope word; 0 when it is none of the three.
int scope_of(const char *word) {
    if (!word || std::strcmp(word, "global") == 0) return DCLSYM_GLOBAL;
    if (std::strcmp(word, "local") == 0) return DCLSYM_LOCAL;
    if (std::strcmp(word, "env") == 0) return DCLSYM_ENVIRONMENT;
    return 0;
}

int usage() {
    std::fputs("usage: dclsym get NAME | set NAME VALUE [local|global|env] | "
               "delete NAME [local|global|env] | status N\n",
               stderr);
    return 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) return usage();
    const char *op = argv[1];
    if (std::strcmp(op, "get") == 0 && argc == 3) {
        char value[1025];
        if (dclsym_get(argv[2], value, sizeof value, nullptr) != DCLSYM_OK) return 1;
        std::printf("%s\n", value);
        return 0;
    }
    if (std::strcmp(op, "set") == 0 && (argc == 4 || argc == 5)) {
        int scope = scope_of(argc == 5 ? argv[4] : nullptr);
        if (scope == 0) return usage();
        return dclsym_set(argv[2], argv[3], scope) == DCLSYM_OK ? 0 : 1;
    }
    if (std::strcmp(op, "delete") == 0 && (argc == 3 || argc == 4)) {
        int scope = scope_of(argc == 4 ? argv[3] : nullptr);
        if (scope == 0) return usage();
        return dclsym_delete(argv[2], scope) == DCLSYM_OK ? 0 : 1;
    }
    if (std::strcmp(op, "status") == 0 && argc == 3) {
        char *end = nullptr;
        unsigned long status = std::strtoul(argv[2], &end, 0);
        if (*end != '\0') return usage();
        return dclsym_report_status(status) == DCLSYM_OK ? 0 : 1;
    }
    return usage();
}
