// Unix paths shown in VMS form: directories between brackets, "/./" as
// the ellipsis, ".." as "-", and paths under the root of a disk device
// named in TQ_DISK_DEVICES shown on that device.
#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"

namespace dcl {

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kDiskDevicesName = "TQ_DISK_DEVICES";

// The directory components of `directory` (which ends in "/") in VMS form,
// followed by the closing bracket.
void append_directory_levels(std::string& out, std::string_view directory, bool absolute) {
    bool separate = false;  // a "." is due before the next level
    bool any_level = false;
    size_t start = 0;
    while (start < directory.size()) {
        size_t end = directory.find('/', start);
        if (end == npos) end = directory.size();
        std::string_view level = directory.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        any_level = true;
        if (level == ".") {  // the ellipsis marker
            out.append("...");
            separate = false;
            continue;
        }
        if (separate) out.push_back('.');
        if (level == "..") out.push_back('-');
        else
            for (char c : level) out.push_back(c == '.' ? '_' : c);
        separate = true;
    }
    if (absolute && !any_level) out.append("000000");
    out.push_back(']');
}

// Converts a path that is already free of blanks.
void convert_path(std::string& out, std::string_view path, bool relative_to_here) {
    size_t last_slash = path.rfind('/');
    std::string_view directory = last_slash == npos ? std::string_view{} : path.substr(0, last_slash + 1);
    std::string_view file = last_slash == npos ? path : path.substr(last_slash + 1);
    out.clear();
    if (relative_to_here && directory.empty()) {
        out.append("[]");
    } else if (!directory.empty()) {
        bool absolute = directory[0] == '/' && !relative_to_here;
        out.append(absolute ? "[" : "[.");
        append_directory_levels(out, directory, absolute);
    }
    out.append(file);
    // A file without a type keeps its dot: "x." is not the directory x.
    if (file.find('.') == npos && (out.empty() || out.back() != ']')) out.push_back('.');
}

// Rebuilds the list when TQ_DISK_DEVICES was (re)defined since.
DiskDeviceList& current_disk_devices() {
    LogicalNameStore& store = logical_name_store();
    DiskDeviceList& list = disk_device_list();
    if (list.built && !store.disk_devices_stale) return list;
    store.disk_devices_stale = false;
    list.built = true;
    list.devices.clear();
    std::string device;
    std::string root;
    for (uint32_t index = 0; index < DiskDeviceList::kMaxDevices; ++index) {
        if (filespec_detail::translate_name(kFileDevTable, kDiskDevicesName, index, device) !=
            cond::NORMAL)
            break;
        size_t colon = device.find(':');
        if (colon != npos && colon + 1 < device.size()) continue;
        if (colon != npos) device.pop_back();
        if (device.empty() ||
            filespec_detail::translate_name(kFileDevTable, device, 0, root) != cond::NORMAL)
            continue;
        if (root.size() >= 4 && root.front() == '[' && root.ends_with(".]"))
            list.devices.push_back({device, root});
    }
    return list;
}

// "[home.u]x.c" under the root "[home.]" of DKA0 is "DKA0:[u]x.c".
bool apply_disk_device(std::string& vms, const DiskDevice& device) {
    size_t length = device.root.size() - 2;  // without the ".]"
    if (vms.size() <= length) return false;
    char next = vms[length];
    if ((next != ']' && next != '.') ||
        !filespec_detail::equal_case_blind(std::string_view(vms).substr(0, length),
                                           std::string_view(device.root).substr(0, length)))
        return false;
    std::string shown;
    shown.reserve(device.name.size() + vms.size() + 8);
    shown.append(device.name).push_back(':');
    shown.append(next == ']' ? "[000000]" : "[");
    shown.append(vms, length + 1);
    vms.swap(shown);
    return true;
}

}  // namespace

uint32_t unix_path_to_vms(std::string& out, std::string_view path) {
    if (path.size() > kMaxPathLength) return cond::BUFOVF;
    std::string compact;
    bool relative_to_here = false;
    if (path.starts_with("./")) {
        if (filespec_detail::current_directory(compact)) {
            path.remove_prefix(1);
        } else {
            relative_to_here = true;
            path.remove_prefix(2);
        }
    }
    compact.append(path);
    std::erase_if(compact, is_blank);
    convert_path(out, compact, relative_to_here);
    return out.size() > kMaxPathLength ? cond::BUFOVF : cond::NORMAL;
}

std::string unix_path_to_vms(std::string_view path) {
    std::string out;
    if (unix_path_to_vms(out, path) != cond::NORMAL) out.clear();
    return out;
}

uint32_t unix_to_vms(std::string& out, std::string_view path) {
    uint32_t status = unix_path_to_vms(out, path);
    if (status != cond::NORMAL) return status;
    const DiskDeviceList& list = current_disk_devices();
    if (list.devices.empty() || out.empty() || out[0] != '[') return cond::NORMAL;
    for (const DiskDevice& device : list.devices)
        if (apply_disk_device(out, device)) break;
    return out.size() > kMaxPathLength ? cond::BUFOVF : cond::NORMAL;
}

}  // namespace dcl
