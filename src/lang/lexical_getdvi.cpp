// F$GETDVI(device, item): what the system knows of a device. Disks are the
// mounted file systems (a TQ_DISK_DEVICES name, a logical name for a
// directory, or any Unix path standing for the file system that holds
// it); terminals, pipes and other character devices come from the
// standard streams or from their /dev paths.
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "files/filespec.h"
#include "files/unique_fd.h"
#include "lang/lexical_functions.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/streams.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

// VMS device classes ($DCDEF).
constexpr int32_t kClassDisk = 1;
constexpr int32_t kClassTerminal = 66;
constexpr int32_t kClassMailbox = 160;  // a pipe is what VMS calls a mailbox
constexpr int32_t kClassMisc = 200;
constexpr int32_t kDiskBufferSize = 512;
constexpr uint64_t kBlockBytes = 512;

enum class DeviceKind { disk, terminal, mailbox, other };

struct Device {
    bool exists = false;
    DeviceKind kind = DeviceKind::other;
    std::string name;         // DEVNAM, with its colon where it is a VMS device
    std::string mount_point;  // a mounted file system's, with no trailing "/"
    std::string source;       // what was mounted ("/dev/sda1", "tmpfs")
    bool mounted = false;
    uint64_t free_blocks = 0, max_blocks = 0;
    int width = 0, page = 0;
};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// ---- mounted file systems ------------------------------------------------------

// Undoes the octal escapes ("\040") of /proc/self/mountinfo.
std::string mount_field(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() &&
            std::all_of(text.begin() + static_cast<long>(i) + 1, text.begin() + static_cast<long>(i) + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            out.push_back(static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<std::string_view> split_blanks(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos) end = line.size();
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool under(std::string_view path, std::string_view mount_point) {
    if (mount_point == "/") return true;
    return path.starts_with(mount_point) &&
           (path.size() == mount_point.size() || path[mount_point.size()] == '/');
}

// The mount of the file system numbered `dev`; of several (bind mounts),
// the deepest one that holds `path`. False when none is listed.
bool find_mount(Device& device, dev_t dev, std::string_view path) {
    std::unique_ptr<FILE, FileCloser> table(std::fopen("/proc/self/mountinfo", "re"));
    if (!table) return false;
    char number[32];
    std::snprintf(number, sizeof number, "%u:%u", major(dev), minor(dev));
    bool found = false, holds_path = false;
    std::array<char, 4096> line{};
    while (std::fgets(line.data(), static_cast<int>(line.size()), table.get())) {
        std::string_view text(line.data());
        if (text.ends_with('\n')) text.remove_suffix(1);
        std::vector<std::string_view> fields = split_blanks(text);
        auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || fields[2] != number || dash == fields.end() || dash + 2 >= fields.end())
            continue;
        std::string point = mount_field(fields[4]);
        bool holds = under(path, point);
        bool better = !found || (holds && (!holds_path || point.size() > device.mount_point.size()));
        if (!better) continue;
        found = true;
        holds_path = holds;
        device.mount_point = point;
        device.source = mount_field(dash[2]);
    }
    return found;
}

// "\x20" escapes of the names under /dev/disk/by-label.
std::string label_text(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name.substr(i).starts_with("\\x") && i + 3 < name.size()) {
            std::string hex(name.substr(i + 2, 2));
            char* end = nullptr;
            long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(name[i]);
    }
    return out;
}

// The label of the mounted device, else the last name of the mount point
// ("/" for the root).
std::string volume_name(const Device& device) {
    std::unique_ptr<DIR, DirCloser> labels(opendir("/dev/disk/by-label"));
    std::unique_ptr<char, decltype(&std::free)> source(realpath(device.source.c_str(), nullptr), &std::free);
    if (labels && source) {
        while (const dirent* entry = readdir(labels.get())) {
            std::string link = std::string("/dev/disk/by-label/") + entry->d_name;
            std::unique_ptr<char, decltype(&std::free)> target(realpath(link.c_str(), nullptr), &std::free);
            if (entry->d_name[0] != '.' && target && std::string_view(target.get()) == source.get())
                return label_text(entry->d_name);
        }
    }
    if (device.mount_point.empty() || device.mount_point == "/") return device.mount_point;
    return device.mount_point.substr(device.mount_point.rfind('/') + 1);
}

uint64_t clamp_blocks(uint64_t count, uint64_t unit) {
    uint64_t bytes_per = unit == 0 ? kBlockBytes : unit;
    long double blocks = static_cast<long double>(count) * bytes_per / kBlockBytes;
    return blocks > INT32_MAX ? static_cast<uint64_t>(INT32_MAX) : static_cast<uint64_t>(blocks);
}

void take_space(Device& device, const struct statvfs& space) {
    device.free_blocks = clamp_blocks(space.f_bavail, space.f_frsize);
    device.max_blocks = clamp_blocks(space.f_blocks, space.f_frsize);
}

// ---- naming -------------------------------------------------------------------

// A disk's name: the TQ_DISK_DEVICES device that shows `path`, else the
// mount point in VMS form.
std::string disk_name(const std::string& path, const std::string& mount_point) {
    std::string vms;
    VmsSpecParts parts;
    if (unix_to_vms(vms, path.ends_with('/') ? path : path + "/") == cond::NORMAL) {
        parse_vms_spec(parts, vms);
        if (!parts.device.empty()) return parts.device;
    }
    std::string point = mount_point.empty() ? path : mount_point;
    if (!point.ends_with('/')) point.push_back('/');
    return unix_path_to_vms(point);
}

// ---- the kinds of device ------------------------------------------------------

void describe_file_system(Device& device, const struct stat& st, const std::string& path) {
    device.exists = true;
    device.kind = DeviceKind::disk;
    device.mounted = find_mount(device, st.st_dev, path);
    device.name = disk_name(path, device.mount_point);
    struct statvfs space {};
    if (statvfs(path.empty() ? device.mount_point.c_str() : path.c_str(), &space) == 0) take_space(device, space);
}

void describe_terminal(Device& device, int fd) {
    device.kind = DeviceKind::terminal;
    struct winsize size {};
    bool known = ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0;
    device.width = known ? size.ws_col : screen_width();
    device.page = known && size.ws_row > 0 ? size.ws_row : screen_height();
}

// Only terminal devices are opened to be examined: opening some other
// devices acts on them (a watchdog starts counting).
bool is_terminal_device(dev_t rdev) {
    unsigned int m = major(rdev);
    return m == 4 || (m == 5 && minor(rdev) <= 1) || (m >= 136 && m <= 143);
}

void describe_character_device(Device& device, const struct stat& st, const std::string& path) {
    device.exists = true;
    device.name = unix_path_to_vms(path);
    device.kind = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? DeviceKind::mailbox : DeviceKind::other;
    if (!S_ISCHR(st.st_mode) || !is_terminal_device(st.st_rdev)) return;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.valid() && isatty(fd.get())) describe_terminal(device, fd.get());
}

void describe_block_device(Device& device, const struct stat& st, const std::string& path) {
    device.exists = true;
    device.kind = DeviceKind::disk;
    device.name = unix_path_to_vms(path);
    device.mounted = find_mount(device, st.st_rdev, "");
    struct statvfs space {};
    if (device.mounted && statvfs(device.mount_point.c_str(), &space) == 0) take_space(device, space);
}

void describe_path(Device& device, const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return;
    if (S_ISBLK(st.st_mode)) describe_block_device(device, st, path);
    else if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        describe_character_device(device, st, path);
    else describe_file_system(device, st, path);
}

// A standard stream: a terminal, a pipe, the file it was sent to, or the
// device file it reads. Data lines that a procedure gives a command as its
// input are held in memory, with no descriptor: they stand for the stream
// the commands come from.
void describe_stream(Device& device, FILE* stream) {
    int fd = stream ? fileno(stream) : -1;
    if (stream && fd < 0) fd = STDIN_FILENO;
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) return;
    if (isatty(fd)) {
        const char* name = ttyname(fd);
        device.exists = true;
        device.name = unix_path_to_vms(name ? name : "/dev/tty");
        describe_terminal(device, fd);
        return;
    }
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::array<char, PATH_MAX> target{};
    ssize_t n = readlink(link, target.data(), target.size() - 1);
    std::string path = n > 0 && target[0] == '/' ? std::string(target.data(), static_cast<size_t>(n)) : "";
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        describe_file_system(device, st, path);
        return;
    }
    device.exists = true;
    device.kind = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? DeviceKind::other : DeviceKind::mailbox;
    char mailbox[40];
    std::snprintf(mailbox, sizeof mailbox, "MBA%llu:", static_cast<unsigned long long>(st.st_ino));
    device.name = device.kind == DeviceKind::mailbox ? mailbox : unix_path_to_vms(path);
}

// ---- finding the device ------------------------------------------------------

FILE* stream_named(std::string_view name) {
    Redirection& r = redirection();
    if (name == "SYS$INPUT") return r.input;
    if (name == "SYS$OUTPUT") return r.output;
    if (name == "SYS$ERROR") return r.error;
    if (name == "SYS$COMMAND") return stdin;  // the process's own command stream
    return nullptr;
}

std::string upper(std::string_view text) {
    std::string out;
    for (char c : text) out.push_back(ascii_upper(c));
    return out;
}

// A device name through LNM$FILE_DEV; SYS$DISK, when it names nothing, is
// the disk of the default directory. False when it does not translate.
bool translate_device_name(std::string& path, const std::string& name) {
    std::string value = name;
    uint32_t status = translate_device(value, kFileDevTable);
    if (status != cond::NORMAL) {
        if (upper(name) != "SYS$DISK") return false;
        return filespec_detail::current_directory(path);
    }
    if (value.starts_with('/')) {
        path = value;
        return true;
    }
    return is_success(vms_to_unix(path, value));
}

void find_device(Device& device, std::string_view argument) {
    std::string text(argument);
    std::erase_if(text, is_blank);
    if (text.starts_with('/')) return describe_path(device, text);
    size_t colon = text.find(':');
    std::string name = text.substr(0, colon);
    if (FILE* stream = stream_named(upper(name))) return describe_stream(device, stream);
    std::string path;
    if (!name.empty() && translate_device_name(path, name)) return describe_path(device, path);
    // A directory or device file in VMS form ("[dev]null.", "[000000]").
    if (colon == std::string::npos && text.find_first_of("[<") != std::string::npos &&
        is_success(vms_to_unix(path, text)))
        describe_path(device, path);
}

// ---- items --------------------------------------------------------------------

enum class DeviceItem {
    exists, devnam, fulldevnam, mnt, freeblocks, maxblock, volnam, trm, devclass, errcnt,
    devbufsiz, tt_page, avl, fod, rnd, rec, spl, all,
};

struct DeviceItemName {
    std::string_view name;
    DeviceItem item;
};

constexpr std::array<DeviceItemName, 18> kDeviceItems{{
    {"ALL", DeviceItem::all},         {"AVL", DeviceItem::avl},
    {"DEVBUFSIZ", DeviceItem::devbufsiz}, {"DEVCLASS", DeviceItem::devclass},
    {"DEVNAM", DeviceItem::devnam},   {"ERRCNT", DeviceItem::errcnt},
    {"EXISTS", DeviceItem::exists},   {"FOD", DeviceItem::fod},
    {"FREEBLOCKS", DeviceItem::freeblocks}, {"FULLDEVNAM", DeviceItem::fulldevnam},
    {"MAXBLOCK", DeviceItem::maxblock}, {"MNT", DeviceItem::mnt},
    {"REC", DeviceItem::rec},         {"RND", DeviceItem::rnd},
    {"SPL", DeviceItem::spl},         {"TRM", DeviceItem::trm},
    {"TT_PAGE", DeviceItem::tt_page}, {"VOLNAM", DeviceItem::volnam},
}};

const DeviceItemName* find_device_item(std::string_view name) {
    for (const DeviceItemName& entry : kDeviceItems)
        if (entry.name == name) return &entry;
    return nullptr;
}

uint32_t truth(LexicalCall& call, bool value) { return call.set_string(value ? "TRUE" : "FALSE"); }

int32_t device_class(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::disk: return kClassDisk;
    case DeviceKind::terminal: return kClassTerminal;
    case DeviceKind::mailbox: return kClassMailbox;
    case DeviceKind::other: break;
    }
    return kClassMisc;
}

uint32_t device_item(LexicalCall& call, const Device& d, DeviceItem item) {
    const bool disk = d.kind == DeviceKind::disk, terminal = d.kind == DeviceKind::terminal;
    switch (item) {
    case DeviceItem::exists:
    case DeviceItem::avl: return truth(call, d.exists);
    case DeviceItem::devnam: return call.set_string(d.name);
    case DeviceItem::fulldevnam: return call.set_string("_" + d.name);
    case DeviceItem::mnt: return truth(call, disk && d.mounted);
    case DeviceItem::freeblocks: return call.set_integer(static_cast<int32_t>(d.free_blocks));
    case DeviceItem::maxblock: return call.set_integer(static_cast<int32_t>(d.max_blocks));
    case DeviceItem::volnam: return call.set_string(disk && d.mounted ? volume_name(d) : std::string());
    case DeviceItem::trm:
    case DeviceItem::rec: return truth(call, terminal);
    case DeviceItem::devclass: return call.set_integer(device_class(d.kind));
    case DeviceItem::errcnt: return call.set_integer(0);
    case DeviceItem::devbufsiz: return call.set_integer(terminal ? d.width : disk ? kDiskBufferSize : 0);
    case DeviceItem::tt_page: return call.set_integer(terminal ? d.page : 0);
    case DeviceItem::fod:
    case DeviceItem::rnd: return truth(call, disk);
    case DeviceItem::spl:
    case DeviceItem::all: return truth(call, false);
    }
    return truth(call, false);
}

}  // namespace

uint32_t lexical_getdvi(LexicalCall& call) {
    ExprValue device_value, item_value;
    if (uint32_t status = call.evaluate(0, device_value); status != 1) return status;
    if (uint32_t status = call.evaluate(1, item_value); status != 1) return status;
    std::string item = upper(item_value.text);
    std::erase_if(item, is_blank);
    const DeviceItemName* entry = find_device_item(item);
    if (entry == nullptr) {
        signal_condition(cond::IVKEYW, item);
        return 0;
    }
    Device device;
    find_device(device, device_value.text);
    if (!device.exists && entry->item != DeviceItem::exists) {
        signal_condition(cond::NOSUCHDEV, device_value.text);
        return 0;
    }
    return device_item(call, device, entry->item);
}

}  // namespace dcl
