// F$GETSYI and F$USER.
#include "lang/lexical_system.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>
#include <unistd.h>

#include "files/protection.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

enum class SystemItem {
    unknown,  // listed, but this system has no value for it
    version,
    product,
    architecture,
    node_name,
    hardware_model,
    architecture_type,
    cpu,
    page_size,
    system_id,
    false_flag,
    true_flag,
};

struct ItemEntry {
    std::string_view name;
    SystemItem item;
};

using enum SystemItem;

// Sorted by name, byte order, for the binary search.
constexpr std::array<ItemEntry, 49> kItems{{
    {"ACTIVECPU_CNT", unknown},      {"ARCHFLAG", unknown},
    {"ARCH_NAME", architecture},     {"ARCH_TYPE", architecture_type},
    {"AVAILCPU_CNT", unknown},       {"BOOTTIME", unknown},
    {"CHARACTER_EMULATED", true_flag}, {"CLUSTER_FSYSID", unknown},
    {"CLUSTER_FTIME", unknown},      {"CLUSTER_MEMBER", false_flag},
    {"CLUSTER_NODES", unknown},      {"CLUSTER_QUORUM", unknown},
    {"CLUSTER_VOTES", unknown},      {"CONTIG_GBLPAGES", unknown},
    {"CPU", cpu},                    {"DECIMAL_EMULATED", true_flag},
    {"D_FLOAT_EMULATED", true_flag}, {"ERRORLOGBUFFERS", unknown},
    {"FREE_GBLPAGES", unknown},      {"FREE_GBLSECTS", unknown},
    {"F_FLOAT_EMULATED", true_flag}, {"G_FLOAT_EMULATED", true_flag},
    {"HW_MODEL", hardware_model},    {"HW_NAME", product},
    {"NODENAME", node_name},         {"NODE_AREA", unknown},
    {"NODE_CSID", unknown},          {"NODE_HWTYPE", architecture},
    {"NODE_HWVERS", unknown},        {"NODE_NUMBER", unknown},
    {"NODE_QUORUM", unknown},        {"NODE_SWINCARN", unknown},
    {"NODE_SWTYPE", product},        {"NODE_SWVERS", version},
    {"NODE_SYSTEMID", unknown},      {"NODE_VOTES", unknown},
    {"PAGEFILE_FREE", unknown},      {"PAGEFILE_PAGE", unknown},
    {"PAGE_SIZE", page_size},        {"SCSNODE", node_name},
    {"SCS_EXISTS", false_flag},      {"SID", system_id},
    {"SWAPFILE_FREE", unknown},      {"SWAPFILE_PAGE", unknown},
    {"SYSTEM_RIGHTS", unknown},      {"VECTOR_EMULATOR", unknown},
    {"VERSION", version},            {"VP_MASK", unknown},
    {"VP_NUMBER", unknown},
}};

constexpr bool items_sorted() {
    for (size_t i = 1; i < kItems.size(); ++i)
        if (!(kItems[i - 1].name < kItems[i].name)) return false;
    return true;
}
static_assert(items_sorted(), "the item table must stay sorted for the binary search");

constexpr std::string_view kArchitecture = "Quorvane";
constexpr std::string_view kHardwareModel = "88888";
constexpr int32_t kArchitectureType = 88;
constexpr int32_t kCpuType = 128;
constexpr int32_t kFallbackPageSize = 512;
constexpr size_t kWideUic = 2 * kMaxNameLength + 3;  // room for any two names

const ItemEntry* find_item(std::string_view name) {
    auto it = std::lower_bound(kItems.begin(), kItems.end(), name,
                               [](const ItemEntry& e, std::string_view n) { return e.name < n; });
    return it != kItems.end() && it->name == name ? &*it : nullptr;
}


// FNV-1a of the full host name: stable across runs; kept to 31 bits so
// that the value stays a positive DCL integer.
int32_t host_system_id() {
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) != 0) return 0;
    uint32_t hash = 2166136261u;
    for (const char* p = host; *p != '\0'; ++p) {
        hash ^= static_cast<unsigned char>(*p);
        hash *= 16777619u;
    }
    return static_cast<int32_t>(hash & 0x7FFFFFFFu);
}

int32_t host_page_size() {
    long size = sysconf(_SC_PAGESIZE);
    return size > 0 && size <= INT32_MAX ? static_cast<int32_t>(size) : kFallbackPageSize;
}

uint32_t item_value(LexicalCall& call, SystemItem item) {
    const Session& s = session();
    switch (item) {
    case version: return call.set_string("V" + s.version);
    case product: return call.set_string(s.product);
    case architecture: return call.set_string(kArchitecture);
    case node_name: return call.set_string(s.node_name);
    case hardware_model: return call.set_string(kHardwareModel);
    case architecture_type: return call.set_integer(kArchitectureType);
    case cpu: return call.set_integer(kCpuType);
    case page_size: return call.set_integer(host_page_size());
    case system_id: return call.set_integer(host_system_id());
    case false_flag: return call.set_string("FALSE");
    case true_flag: return call.set_string("TRUE");
    case unknown: break;
    }
    return call.set_string("UNKNOWN");
}

}  // namespace

uint32_t lexical_getsyi(LexicalCall& call) {
    ExprValue value;
    if (uint32_t status = call.evaluate(0, value); status != 1) return status;
    std::string name = keyword_text(value.text);
    const ItemEntry* entry = find_item(name);
    if (entry == nullptr) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    return item_value(call, entry->item);
}

uint32_t lexical_user(LexicalCall& call) {
    std::string uic = format_uic(static_cast<uint32_t>(getegid()), static_cast<uint32_t>(geteuid()), kWideUic);
    size_t end = uic.find_last_not_of(' ');
    uic.resize(end == std::string::npos ? 0 : end + 1);
    return call.set_string(uic);
}

}  // namespace dcl
