// Fuzzes the file-specification layer: parsing, merging, the directory
// syntax check, both translations and path normalisation, with a few
// logical names defined (a device, a rooted directory, a loop, a disk
// device). The input is "mode byte, spec \n default \n related"; the disk
// is only looked at, never changed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/state_reset.h"
#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"

namespace {

void define_names() {
    using namespace dcl;
    lnm_create_name("LNM$PROCESS", "SYS$LOGIN", "/tmp/", nullptr, 0);
    lnm_create_name("LNM$PROCESS", "ROOT", "[usr.local.]", nullptr, 0);
    lnm_create_name("LNM$PROCESS", "LOOP", "LOOP:", nullptr, 0);
    lnm_create_name("LNM$PROCESS", "NL", "[dev]null.", nullptr, 0);
    lnm_create_name("LNM$PROCESS", "TQ_DISK_DEVICES", "DKA0:", nullptr, 0);
    lnm_create_name("LNM$PROCESS", "DKA0", "[home.]", nullptr, 0);
}

bool accepted(uint32_t status) { return status == dcl::cond::NORMAL || status == dcl::cond::NOLOGNAM; }

// A translation that reports success stays within the working limit.
void check_length(uint32_t status, const std::string& out) {
    if (accepted(status) && out.size() > dcl::kMaxPathLength) __builtin_trap();
}

std::string_view next_line(std::string_view& text) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    if (size == 0) return 0;
    reset_process_state();
    define_names();
    DotfileMode mode = (data[0] & 1) ? DotfileMode::vms_types : DotfileMode::unix_names;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view spec = next_line(input);
    std::string_view default_spec = next_line(input);
    std::string_view related = input;

    VmsSpecParts parts;
    parse_vms_spec(parts, spec, (data[0] & 2) != 0);
    UnixPathParts unix_parts;
    split_unix_path(unix_parts, spec, mode);
    wildcard_kind(spec);
    check_directory_syntax(spec);

    std::string out;
    check_length(merge_file_spec(out, spec, default_spec, related, mode), out);
    check_length(vms_to_unix_core(out, spec, default_spec, related, mode), out);
    check_length(vms_to_unix(out, spec, default_spec, related), out);
    std::string vms;
    check_length(unix_to_vms(vms, out), vms);
    check_length(unix_to_vms(vms, spec), vms);
    std::string device(spec);
    translate_device(device, kFileDevTable);
    vms_dir_to_unix(out, spec);

    std::string path(spec);
    normalize_unix_path(path, (data[0] & 4) != 0);
    if (path.size() > spec.size()) __builtin_trap();
    discard_messages();
    return 0;
}
