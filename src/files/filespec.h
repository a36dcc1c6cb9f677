// VMS file specifications and Unix paths, both ways:
// NODE::DEVICE:[DIR.SUB]NAME.TYPE;VERSION parsed into fields, merged with
// default and related specifications, devices and whole specifications
// resolved through logical names (LNM$FILE_DEV), and turned into a Unix
// path; Unix paths turned back into VMS form, with the disk devices of
// TQ_DISK_DEVICES. On the Unix side the ellipsis "[A...]" is carried as the
// path component "/./" for the wildcard search.
//
// Status values: 1; 444 (NOLOGNAM: a logical name did not translate, which
// is not an error here); 652 (NOSUCHNODE: a node was named); 884
// (TOOMANYLNAM: translation too deep); FNF file not found; PRV not
// removable; RMS_DIR (100052) bad directory syntax; DNF (114762) a
// directory on the way cannot be read; BUFOVF a path beyond the working
// limit. Paths are never truncated: what does not fit is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "status/text.h"

namespace dcl {

// How a name that begins with a dot is read: ".login" is a name (Unix) or
// a type with an empty name (VMS-like).
enum class DotfileMode { unix_names, vms_types };

// The dotfile mode the interpreter's options select.
DotfileMode current_dotfile_mode();

// Longest Unix path or VMS specification the translations work with.
inline constexpr size_t kMaxPathLength = 1024;

// The logical-name table that devices and whole specifications go through.
inline constexpr std::string_view kFileDevTable = "LNM$FILE_DEV";

struct VmsSpecParts {
    std::string node;       // "NODE::"
    std::string device;     // "DEV:"
    std::string directory;  // "[A.B]", "<A.B>" or "/usr/lib/"
    std::string name;
    std::string type;       // ".TXT;3": the version stays on the last field
};

// Splits a VMS specification. With `device_in_directory` the device is
// put in front of the directory instead of in `device`. A specification
// without ":" and "." that is a logical name in LNM$FILE_DEV is a device.
void parse_vms_spec(VmsSpecParts& parts, std::string_view spec, bool device_in_directory = false);

struct UnixPathParts {
    std::string directory;  // up to and including the last "/"
    std::string name;
    std::string type;       // from the last dot
};

void split_unix_path(UnixPathParts& parts, std::string_view path, DotfileMode mode);

// 0 no wildcard; 1 a "*"; 2 a "%" or "?", an ellipsis in brackets, or the
// "/./" marker (2 wins over 1). Quoted text is skipped.
int wildcard_kind(std::string_view spec);

// Fills the fields `spec` lacks from `default_spec`, then from `related`.
// In Unix dotfile mode a VMS `spec` with a type and no name takes the type
// as its name; the default and related specifications never do, so that a
// default type such as ".COM" stays a type. 652 when any of the three
// names a node (the merge is still made).
uint32_t merge_file_spec(std::string& out, std::string_view spec, std::string_view default_spec,
                         std::string_view related, DotfileMode mode);

// Resolves a logical name used as a device, repeatedly, in `table`: 1 when
// something was replaced, 444 when nothing translated, 884 after more than
// 10 rounds. A round whose value is empty or names a table stops without
// replacing.
uint32_t translate_device(std::string& name, std::string_view table);

// Brackets balanced and closed, rooted joins only as "[a.][b]", and no
// ".." or four or more dots inside a directory.
bool check_directory_syntax(std::string_view spec);

// The translation that keeps the ellipsis marker (wildcard searches).
uint32_t vms_to_unix_core(std::string& out, std::string_view spec, std::string_view default_spec,
                          std::string_view related, DotfileMode mode);

// The translation of one file name: Unix paths pass unchanged.
uint32_t vms_to_unix(std::string& out, std::string_view spec, std::string_view default_spec = {},
                     std::string_view related = {});

// The directory and name mapping alone; returns the length of `out`. The
// result may be longer than the input (the current directory for "[.A]"):
// callers check it against kMaxPathLength.
size_t vms_dir_to_unix(std::string& out, std::string_view spec);

// Unix path to VMS form, with the disk devices of TQ_DISK_DEVICES.
uint32_t unix_to_vms(std::string& out, std::string_view path);

// Unix path to VMS form without devices: "/home/u/x.c" is "[home.u]x.c",
// "/x" is "[000000]x.". 1, or BUFOVF for a path beyond the limit.
uint32_t unix_path_to_vms(std::string& out, std::string_view path);
// The same for callers that cannot fail: empty when refused.
std::string unix_path_to_vms(std::string_view path);

// Collapses "//" and "/../"; maps "%" to "?" when asked. Quoted text and
// the first character are kept as they are.
void normalize_unix_path(std::string& path, bool map_percent);

// Finds the file when the path as typed does not exist (lower case).
void fix_path_case(std::string& path);

// The translation plus a search of the disk, for an existing file
// (command procedures, SET DEFAULT, start-up procedures...). When only
// backups "name.~N~" remain, the newest is renamed back to the name.
uint32_t find_file(std::string& out, std::string_view spec, std::string_view default_spec,
                   std::string_view related, std::string_view type_hint);

// ---- the disk-device list ---------------------------------------------------
// Built from TQ_DISK_DEVICES when the logical-name store marks it stale, so
// that Unix paths under a device's root are shown with that device.
struct DiskDevice {
    std::string name;  // without the colon
    std::string root;  // "[home.]"
};

struct DiskDeviceList {
    static constexpr size_t kMaxDevices = 255;
    bool built = false;
    std::vector<DiskDevice> devices;
};

DiskDeviceList& disk_device_list();

// A Unix path that stat() finds (an empty path never exists), and one that
// is a directory.
bool path_exists(const std::string& path);
bool is_directory(const std::string& path);

// ---- shared by the file-specification sources -------------------------------
namespace filespec_detail {

// The current directory, any length; false when it cannot be obtained.
bool current_directory(std::string& out);

char lower_char(char c);
bool equal_case_blind(std::string_view a, std::string_view b);
bool ends_with_case_blind(std::string_view text, std::string_view suffix);

// One value of `name` in `table`, case-blind.
uint32_t translate_name(std::string_view table, std::string_view name, uint32_t index,
                        std::string& value, uint32_t* attributes = nullptr);

// Could `text` be a logical name worth asking the store about?
bool may_be_logical_name(std::string_view text);

// merge_file_spec for callers that already know `spec` is no logical name
// (one lookup saved).
uint32_t merge_known_spec(std::string& out, std::string_view spec, std::string_view default_spec,
                          std::string_view related, DotfileMode mode, bool spec_may_be_logical);

}  // namespace filespec_detail

}  // namespace dcl
