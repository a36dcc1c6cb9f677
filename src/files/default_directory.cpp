// The default directory in VMS form, with the device of a SYS$DISK search
// list.
#include "files/default_directory.h"

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"

namespace dcl {

namespace {

bool translates(std::string_view table, std::string_view name, uint32_t index, std::string& value) {
    value.clear();
    return is_success(lnm_translate(table, name, &value, nullptr, LNM_CASE_BLIND, index, nullptr));
}

}  // namespace

DefaultDirectory default_directory() {
    DefaultDirectory result;
    std::string disk, list_value;
    if (translates("LNM$PROCESS", "SYS$DISK", 0, disk) && translates(kFileDevTable, disk, 1, list_value)) {
        result.device = disk;
        if (!result.device.ends_with(':')) result.device += ':';
    }
    std::string directory;
    if (!filespec_detail::current_directory(directory)) directory = ".";
    if (!directory.ends_with('/')) directory += '/';
    if (!is_success(unix_to_vms(result.directory, directory))) result.directory = directory;
    return result;
}

}  // namespace dcl
