// Fuzzes the F$FAO formatter: the input is the control string and up to 15
// arguments, separated by NUL bytes; each argument is both a string and the
// number F$INTEGER reads from it. Names for !%I are faked so that the run
// does not depend on the password file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/fao.h"
#include "status/condition.h"

namespace {

bool fake_names(uint32_t uic, std::string& group, std::string& user) {
    if ((uic & 1u) != 0) return false;
    group = "group";
    user = "user";
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t end = input.find('\0');
    std::string_view control = input.substr(0, end);
    std::vector<FaoArgument> arguments;
    while (end != std::string_view::npos && arguments.size() < 15) {
        input.remove_prefix(end + 1);
        end = input.find('\0');
        arguments.emplace_back(input.substr(0, end));
    }

    const FaoEnvironment environment{VmsTime{1710498030, 7}, fake_names};
    std::string out;
    FaoResult result = format_fao(out, control, arguments, environment);
    if (result.status == 1) {
        if (out.size() > kMaxFaoOutput) __builtin_trap();
    } else if (result.status == cond::IVKEYW) {
        if (result.directive.empty() || result.directive[0] != '!') __builtin_trap();
    } else if (result.status != cond::INSFARG && result.status != cond::BUFOVF) {
        __builtin_trap();
    }
    return 0;
}
