// Fuzzes expression evaluation with lexical function calls: item building,
// the descent, the capacities and nesting bounds, and the string functions,
// with a few symbols defined so that symbol references resolve.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/state_reset.h"
#include "lang/expression.h"
#include "lang/lexicals.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/messages.h"

#include "private_directory.h"
#include "search_guard.h"

namespace {

void define_symbols() {
    using namespace dcl;
    set_symbol("I", "41", SYM_LOCAL | SYM_INTEGER);
    set_symbol("N", "-5", SYM_LOCAL | SYM_INTEGER);
    set_symbol("S", "Hello, World", SYM_LOCAL | SYM_STRING);
    set_symbol("LONG", std::string(700, 'x'), SYM_GLOBAL | SYM_STRING);
}

// A successful result must be self-consistent.
void check_result(const dcl::ExprValue& value) {
    using namespace dcl;
    if (value.type == VALUE_INTEGER) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", value.integer);
        if (value.text != digits) __builtin_trap();
    } else if (value.integer != string_integer_value(value.text)) {
        __builtin_trap();
    }
}

// An input that calls F$SEARCH runs inside a small private tree, and only
// when it cannot name anything outside: no other lexical function
// (F$ENVIRONMENT, F$PARSE... yield paths), no device, Unix path, home,
// parent or absolute directory, no logical name, and no concatenation that
// could assemble one.
bool search_stays_private(const std::string& bare) {
    for (size_t i = 0; i < bare.size(); ++i) {
        char c = bare[i];
        if (c == '$' && !(i > 0 && bare[i - 1] == 'F' && bare.compare(i + 1, 3, "SEA") == 0))
            return false;
        if (c == '[' && !(i + 1 < bare.size() && (bare[i + 1] == '.' || bare[i + 1] == ']')))
            return false;
        if (std::string_view("/:~-+<>'").find(c) != std::string_view::npos) return false;
    }
    return true;
}

// A few versions, a hidden file and two levels of subdirectories, made
// once per process.
void make_search_tree(const PrivateDirectory& tree) {
    const char* dirs[] = {"sub", "sub/deeper", "Mixed"};
    const char* files[] = {"a.txt", "a.txt.~1~", "b.com", ".hidden", "sub/c.dat",
                           "sub/deeper/d.txt", "sub/deeper/E.TXT", "Mixed/f"};
    std::string base = tree.path + "/";
    for (const char* d : dirs) mkdir((base + d).c_str(), 0700);
    for (const char* f : files) close(open((base + f).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
}

const PrivateDirectory& search_tree() {
    static PrivateDirectory tree("dclsh-expression-fuzz");
    static bool made = (make_search_tree(tree), true);
    (void)made;
    return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string bare = bare_upper(text);
    bool searches = calls_search(bare);
    if (searches) {
        if (!search_stays_private(bare)) return 0;
        if (chdir(search_tree().path.c_str()) != 0) std::abort();
    }
    reset_process_state();
    push_procedure_level("");
    define_symbols();

    ExprValue value;
    if (evaluate_expression(value, text) == 1) check_result(value);

    int32_t number = 0;
    convert_dcl_number(number, text);
    string_integer_value(text);
    std::string field;
    extract_field(field, size % 4, ',', text);
    discard_messages();
    if (searches) leave(search_tree());
    return 0;
}
