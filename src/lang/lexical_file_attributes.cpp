// F$FILE_ATTRIBUTES(file, item): the RMS attributes of one file, as a Unix
// file would have them: a sequential stream-LF file of 512-byte blocks,
// with its dates, owner, protection and identifiers from statx.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <climits>
#include <cstdio>

#include "files/filespec.h"
#include "files/protection.h"
#include "files/unique_fd.h"
#include "files/vms_time.h"
#include "lang/lexical_functions.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

constexpr uint64_t kBlockBytes = 512;
constexpr std::string_view kZeroDate = "17-NOV-1858 00:00:00.00";  // the VMS time 0
constexpr size_t kWideUic = 2 * kMaxNameLength + 3;  // room for any two names

enum class Item {
    alq, bdt, bks, bls, cdt, deq, did, directory, dvi, edt, eof, ffb, fid, fsz, gbc, grp,
    lrl, mbm, mrn, mrs, noa, nok, org, pro, pvn, rat, rdt, rfm, rvn, symlink, uic,
    verlimit, no_flag,
};

struct ItemName {
    std::string_view name;
    Item item;
};

// Sorted by name, byte order, for the binary search.
constexpr std::array<ItemName, 49> kItems{{
    {"AI", Item::no_flag},        {"ALQ", Item::alq},           {"BDT", Item::bdt},
    {"BI", Item::no_flag},        {"BKS", Item::bks},           {"BLS", Item::bls},
    {"CBT", Item::no_flag},       {"CDT", Item::cdt},           {"CTG", Item::no_flag},
    {"DEQ", Item::deq},           {"DID", Item::did},           {"DIRECTORY", Item::directory},
    {"DVI", Item::dvi},           {"EDT", Item::edt},           {"EOF", Item::eof},
    {"ERASE", Item::no_flag},     {"FFB", Item::ffb},           {"FID", Item::fid},
    {"FSZ", Item::fsz},           {"GBC", Item::gbc},           {"GBC32", Item::gbc},
    {"GRP", Item::grp},           {"JOURNAL_FILE", Item::no_flag}, {"KNOWN", Item::no_flag},
    {"LOCKED", Item::no_flag},    {"LRL", Item::lrl},           {"MBM", Item::mbm},
    {"MOVE", Item::no_flag},      {"MRN", Item::mrn},           {"MRS", Item::mrs},
    {"NOA", Item::noa},           {"NOBACKUP", Item::no_flag},  {"NOK", Item::nok},
    {"ORG", Item::org},           {"PRESHELVED", Item::no_flag}, {"PRO", Item::pro},
    {"PVN", Item::pvn},           {"RAT", Item::rat},           {"RCK", Item::no_flag},
    {"RDT", Item::rdt},           {"RFM", Item::rfm},           {"RU", Item::no_flag},
    {"RVN", Item::rvn},           {"SHELVABLE", Item::no_flag}, {"SHELVED", Item::no_flag},
    {"SYMLINK", Item::symlink},   {"UIC", Item::uic},           {"VERLIMIT", Item::verlimit},
    {"WCK", Item::no_flag},
}};

constexpr bool items_sorted() {
    for (size_t i = 1; i < kItems.size(); ++i)
        if (!(kItems[i - 1].name < kItems[i].name)) return false;
    return true;
}
static_assert(items_sorted(), "the item table must stay sorted for the binary search");

const ItemName* find_item(std::string_view name) {
    auto it = std::lower_bound(kItems.begin(), kItems.end(), name,
                               [](const ItemName& e, std::string_view n) { return e.name < n; });
    return it != kItems.end() && it->name == name ? &*it : nullptr;
}

// The file as found: its path, and statx of it (links not followed, so
// that SYMLINK can be answered; the sizes and dates are the target's).
struct FileFacts {
    std::string path;
    struct statx target {};
    bool symlink = false;
};

uint32_t read_facts(FileFacts& facts) {
    struct statx own {};
    const unsigned int wanted = STATX_BASIC_STATS | STATX_BTIME;
    std::string path = facts.path;
    if (path.size() > 1 && path.ends_with('/')) path.pop_back();
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, wanted, &own) != 0) return cond::FNF;
    facts.symlink = S_ISLNK(own.stx_mode);
    if (!facts.symlink) {
        facts.target = own;
        return 1;
    }
    // A dangling link is a file of its own.
    if (statx(AT_FDCWD, path.c_str(), 0, wanted, &facts.target) != 0) facts.target = own;
    return 1;
}

// "dd-MMM-yyyy hh:mm:ss.cc".
std::string vms_date(const struct statx_timestamp& time) {
    char hundredths[8];
    std::snprintf(hundredths, sizeof hundredths, ".%02u", static_cast<unsigned>(time.tv_nsec / 10000000u) % 100);
    return format_time(time.tv_sec) + hundredths;
}

// "(inode,device)", the device numbered as stat numbers it.
std::string file_id(uint64_t inode, uint32_t dev_major, uint32_t dev_minor) {
    char text[64];
    std::snprintf(text, sizeof text, "(%" PRIu64 ",%" PRIu64 ")", inode,
                  static_cast<uint64_t>(makedev(dev_major, dev_minor)));
    return text;
}

std::string directory_id(const std::string& path) {
    std::string directory = path;
    while (directory.size() > 1 && directory.ends_with('/')) directory.pop_back();
    size_t slash = directory.rfind('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : directory.substr(0, slash);
    struct statx st {};
    if (statx(AT_FDCWD, directory.c_str(), 0, STATX_INO, &st) != 0) return {};
    return file_id(st.stx_ino, st.stx_dev_major, st.stx_dev_minor);
}

// The longest line, the newline not counted; 0 for what is not a regular
// file or cannot be read.
int32_t longest_line(const FileFacts& facts) {
    if (!S_ISREG(facts.target.stx_mode)) return 0;
    UniqueFd fd(::open(facts.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) return 0;
    std::array<char, 65536> buffer{};
    uint64_t longest = 0, current = 0;
    ssize_t n;
    while ((n = read_fully(fd.get(), buffer.data(), buffer.size())) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[static_cast<size_t>(i)] != '\n') {
                ++current;
                continue;
            }
            longest = std::max(longest, current);
            current = 0;
        }
    }
    longest = std::max(longest, current);
    return static_cast<int32_t>(std::min<uint64_t>(longest, INT32_MAX));
}

std::string protection(uint32_t mode) {
    std::string owner, group, world;
    mode_rights(owner, group, world, static_cast<mode_t>(mode));
    return "SYSTEM=RWED, OWNER=" + owner + ", GROUP=" + group + ", WORLD=" + world;
}

std::string owner_uic(uint32_t group, uint32_t user) {
    std::string uic = format_uic(group, user, kWideUic);
    size_t end = uic.find_last_not_of(' ');
    uic.resize(end == std::string::npos ? 0 : end + 1);
    return uic;
}

// The device of the resultant file specification; a file on no device
// named in TQ_DISK_DEVICES is on the disk F$GETDVI names for its path.
uint32_t device_of(LexicalCall& call, const std::string& path) {
    std::string vms;
    VmsSpecParts parts;
    if (unix_to_vms(vms, path) == cond::NORMAL) parse_vms_spec(parts, vms);
    if (!parts.device.empty()) return call.set_string(parts.device);
    std::string quoted = "\"";
    for (char c : path) quoted.append(c == '"' ? 2 : 1, c);
    quoted.push_back('"');
    std::string result;
    ValueType type = VALUE_STRING;
    LexicalCall inner{result, type};
    inner.arguments[0] = quoted;
    inner.arguments[1] = "\"DEVNAM\"";
    inner.count = 2;
    inner.depth = call.depth;
    if (lexical_getdvi(inner) != 1) result.clear();
    return call.set_string(result);
}

int32_t clamp32(uint64_t value) { return static_cast<int32_t>(std::min<uint64_t>(value, INT32_MAX)); }

uint32_t date_item(LexicalCall& call, const struct statx& st, Item item) {
    if (item == Item::rdt) return call.set_string(vms_date(st.stx_mtime));
    if (item == Item::cdt)
        return call.set_string(vms_date((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime));
    return call.set_string(kZeroDate);
}

uint32_t item_value(LexicalCall& call, const FileFacts& facts, Item item) {
    const struct statx& st = facts.target;
    const uint64_t size = st.stx_size;
    const uint64_t blocks = size / kBlockBytes + (size % kBlockBytes != 0 ? 1 : 0);
    switch (item) {
    case Item::eof:
    case Item::alq: return call.set_integer(clamp32(blocks));
    case Item::ffb: return call.set_integer(static_cast<int32_t>(size % kBlockBytes));
    case Item::bls: return call.set_integer(static_cast<int32_t>(kBlockBytes));
    case Item::rvn: return call.set_integer(1);
    case Item::bks: case Item::deq: case Item::fsz: case Item::gbc: case Item::mrn:
    case Item::mrs: case Item::noa: case Item::nok: case Item::pvn: case Item::verlimit:
        return call.set_integer(0);
    case Item::lrl: return call.set_integer(longest_line(facts));
    case Item::org: return call.set_string("SEQ");
    case Item::rfm: return call.set_string("STMLF");
    case Item::rat: return call.set_string("CR");
    case Item::rdt: case Item::cdt: case Item::edt: case Item::bdt: return date_item(call, st, item);
    case Item::uic: return call.set_string(owner_uic(st.stx_gid, st.stx_uid));
    case Item::grp: return call.set_integer(clamp32(st.stx_gid));
    case Item::mbm: return call.set_integer(clamp32(st.stx_uid));
    case Item::pro: return call.set_string(protection(st.stx_mode));
    case Item::fid: return call.set_string(file_id(st.stx_ino, st.stx_dev_major, st.stx_dev_minor));
    case Item::did: return call.set_string(directory_id(facts.path));
    case Item::dvi: return device_of(call, facts.path);
    case Item::directory: return call.set_string(S_ISDIR(st.stx_mode) ? "TRUE" : "FALSE");
    case Item::symlink: return call.set_string(facts.symlink ? "TRUE" : "FALSE");
    case Item::no_flag: break;
    }
    return call.set_string("FALSE");
}

// The file as other commands find it. Returns 1, or 0 after reporting.
uint32_t locate(std::string& path, const std::string& spec) {
    if (wildcard_kind(spec) != 0) return with_severity(cond::WLD, SEV_SEVERE);
    uint32_t status = find_file(path, spec, {}, {}, {});
    if (status == cond::NORMAL) return 1;
    if (status == cond::NOLOGNAM || status == cond::DNF) status = cond::FNF;
    return status;
}

}  // namespace

uint32_t lexical_file_attributes(LexicalCall& call) {
    ExprValue spec, item_value_text;
    if (uint32_t status = call.evaluate(0, spec); status != 1) return status;
    if (uint32_t status = call.evaluate(1, item_value_text); status != 1) return status;
    std::string name = keyword_text(item_value_text.text);
    const ItemName* entry = find_item(name);
    if (entry == nullptr) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    FileFacts facts;
    uint32_t status = locate(facts.path, spec.text);
    if (status == 1) status = read_facts(facts);
    if (status != 1) return status;
    return item_value(call, facts, entry->item);
}

}  // namespace dcl
