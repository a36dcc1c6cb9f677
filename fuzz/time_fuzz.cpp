// Fuzzes the time and UIC parsers: absolute, keyword, delta and combined
// times against a fixed "now", signed deltas, UICs, and the display form of
// whatever time a parse produced.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/state_reset.h"
#include "files/protection.h"
#include "files/vms_time.h"
#include "status/messages.h"

namespace {

constexpr dcl::VmsTime kNow{1710498030, 7};  // 15-MAR-2024 10:20:30.07 UTC

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    reset_process_state();
    std::string text(reinterpret_cast<const char*>(data), size);

    VmsTime time;
    if (parse_time_at(time, text, kNow) == 1) {
        if (time.hundredths < 0 || time.hundredths > 99) __builtin_trap();
        if (format_time(time.seconds).size() < 20) __builtin_trap();
    }

    int64_t seconds = 0;
    int hundredths = 0;
    if (parse_signed_delta(seconds, hundredths, text) == 1 && (hundredths < -99 || hundredths > 99))
        __builtin_trap();

    DeltaTime delta;
    if (parse_delta_time(delta, text) == 1 &&
        (delta.days > 9999 || delta.hours > 99 || delta.minutes > 99 || delta.seconds > 99 ||
         delta.hundredths > 99))
        __builtin_trap();

    uint32_t group = 0, user = 0;
    parse_uic(group, user, text);
    discard_messages();
    return 0;
}
