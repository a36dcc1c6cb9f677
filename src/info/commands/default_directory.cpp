// SET DEFAULT and SHOW DEFAULT: the default directory, with a device
// (a logical name such as SYS$LOGIN: or a DEF$DISK search list) or without.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "files/default_directory.h"
#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"
#include "unix/child.h"

namespace dcl {

namespace {

constexpr std::string_view kDefaultDisk = "DEF$DISK";

bool translates(std::string_view table, std::string_view name, uint32_t index, std::string& value,
                uint32_t* attributes = nullptr) {
    value.clear();
    return is_success(lnm_translate(table, name, &value, nullptr, LNM_CASE_BLIND, index, attributes));
}

// The directory of `spec` entered. 1; DNF (severe) when `spec` names no
// directory; another failure of the change as it is.
uint32_t enter_directory(const std::string& spec) {
    std::string path;
    if (!is_success(vms_to_unix(path, spec)) || path.empty()) return with_severity(cond::DNF, SEV_SEVERE);
    uint32_t status = change_directory(path);
    return is_success(status) ? 1 : status;
}

}  // namespace

uint32_t set_default(const ParsedCommand& cmd, CommandStreams&) {
    const ParsedParameter* parameter = cmd.parameter(0);
    if (!parameter) return ask_for(cmd, 0);
    std::string_view typed = parameter->text;
    if (std::count(typed.begin(), typed.end(), ':') > 2) {
        signal_condition(cond::PARMDEL, ":");
        return 0;
    }
    size_t colon = typed.find(':');
    std::string device = colon == std::string_view::npos ? "" : remove_quotes(upper_ascii(typed.substr(0, colon)));
    std::string spec = remove_quotes(typed);
    std::string value;
    bool device_known = !device.empty() && translates(kFileDevTable, device, 0, value);
    if (!device_known && colon != std::string_view::npos && typed.find(':', colon + 1) != std::string_view::npos)
        return with_severity(cond::DNF, SEV_SEVERE);
    uint32_t status = enter_directory(spec);
    // Not a directory by itself: perhaps one of the DEF$DISK search list.
    if (!is_success(status) && !device_known && translates("LNM$PROCESS", kDefaultDisk, 0, value))
        status = enter_directory(std::string(kDefaultDisk) + ":" + spec);
    if (!is_success(status)) return status;
    // Only once the directory is entered: a failed SET DEFAULT changes nothing.
    if (device_known) {
        uint32_t defined = lnm_create_name("LNM$PROCESS", kDefaultDisk, device, nullptr, 0);
        if (!is_success(defined)) {
            signal_condition(with_severity(cond::ERROR, SEV_ERROR), "cannot assign DEF$DISK");
            return 0;
        }
    }
    return 1;
}

uint32_t show_default(const ParsedCommand&, CommandStreams& io) {
    DefaultDirectory current = default_directory();
    std::string device = current.device;
    std::fprintf(io.out, "  %s%s\n", device.c_str(), current.directory.c_str());
    if (!device.empty()) {
        device.pop_back();
        std::string value;
        uint32_t attributes = 0;
        for (uint32_t index = 0; translates(kFileDevTable, device, index, value, &attributes); ++index) {
            if (attributes & LNM_TABLE) break;
            std::fprintf(io.out, "  =   %s\n", value.c_str());
        }
    }
    std::fflush(io.out);
    return 1;
}

}  // namespace dcl
