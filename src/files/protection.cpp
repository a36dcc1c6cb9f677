// Protection codes, rights letters and UICs.
#include "files/protection.h"

#include <array>
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include "status/condition.h"

namespace dcl {

namespace {

constexpr int kMaxTriple = 7;
constexpr std::array<std::string_view, 8> kRights{"", "E", "WD", "WED", "R", "RE", "RWD", "RWED"};
constexpr std::string_view kBareUic = "[,]";
constexpr size_t kUicPunctuation = 3;  // "[", "," and "]"

// The three digits of a code: owner, group, world.
std::array<int, 3> code_digits(int code) {
    if (code < 0) code = 0;
    return {code / 100 % 10, code / 10 % 10, code % 10};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A decimal id; false when the text is not all digits or does not fit.
bool decimal_id(uint32_t& id, std::string_view text) {
    if (text.empty()) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) return false;
    }
    id = static_cast<uint32_t>(value);
    return true;
}

// Command values arrive upper-cased, Unix names are mostly lower case: the
// name as given is tried first, then in lower case.
template <typename Entry, typename Lookup>
const Entry* find_by_name(std::string_view name, Lookup lookup) {
    if (name.empty() || name.find('\0') != std::string_view::npos) return nullptr;
    std::string exact(name);
    if (const Entry* entry = lookup(exact.c_str())) return entry;
    std::string lower = exact;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower == exact ? nullptr : lookup(lower.c_str());
}

const passwd* user_named(std::string_view name) {
    return find_by_name<passwd>(name, [](const char* n) { return getpwnam(n); });
}
const group* group_named(std::string_view name) {
    return find_by_name<group>(name, [](const char* n) { return getgrnam(n); });
}

// The member of a bracketed UIC, and the member's own group when known.
uint32_t member_id(uint32_t& user, uint32_t& own_group, bool& own_known, std::string_view text) {
    own_known = false;
    if (decimal_id(user, text)) {
        if (const passwd* pw = getpwuid(static_cast<uid_t>(user))) {
            own_group = pw->pw_gid;
            own_known = true;
        }
        return 1;
    }
    const passwd* pw = user_named(text);
    if (pw == nullptr) return with_severity(cond::NOSUCHID, SEV_SEVERE);
    user = pw->pw_uid;
    own_group = pw->pw_gid;
    own_known = true;
    return 1;
}

uint32_t bracketed_uic(uint32_t& group_id, uint32_t& user_id, std::string_view text) {
    size_t comma = text.find(',');
    if (text.size() < 2 || text.front() != '[' || text.back() != ']' || comma == std::string_view::npos)
        return cond::IVUIC;
    std::string_view inner = text.substr(1, text.size() - 2);
    comma = inner.find(',');
    std::string_view group_text = trimmed(inner.substr(0, comma));
    std::string_view member_text = trimmed(inner.substr(comma + 1));
    if (member_text.empty() || inner.find_first_of(",[]", comma + 1) != std::string_view::npos ||
        group_text.find_first_of("[]") != std::string_view::npos)
        return cond::IVUIC;
    uint32_t user = 0, own_group = 0;
    bool own_known = false;
    if (uint32_t status = member_id(user, own_group, own_known, member_text); status != 1) return status;
    uint32_t group_value = 0;
    if (group_text.empty()) {
        if (!own_known) return with_severity(cond::NOSUCHID, SEV_SEVERE);
        group_value = own_group;
    } else if (!decimal_id(group_value, group_text)) {
        const struct group* gr = group_named(group_text);
        if (gr == nullptr) return with_severity(cond::NOSUCHID, SEV_SEVERE);
        group_value = gr->gr_gid;
    }
    group_id = group_value;
    user_id = user;
    return 1;
}

std::string group_text(uint32_t id) {
    if (const group* gr = getgrgid(static_cast<gid_t>(id))) return gr->gr_name;
    return std::to_string(id);
}

std::string user_text(uint32_t id) {
    if (const passwd* pw = getpwuid(static_cast<uid_t>(id))) return pw->pw_name;
    return std::to_string(id);
}

}  // namespace

mode_t protection_to_mode(int code) {
    std::array<int, 3> d = code_digits(code);
    mode_t mode = 0;
    for (int digit : d) mode = mode * 8 + static_cast<mode_t>(digit > kMaxTriple ? 0 : digit);
    return mode;
}

int mode_to_protection(mode_t mode) {
    return static_cast<int>((mode >> 6) & 7) * 100 + static_cast<int>((mode >> 3) & 7) * 10 +
           static_cast<int>(mode & 7);
}

int merge_protection(int code, int current) {
    std::array<int, 3> d = code_digits(code);
    std::array<int, 3> c = code_digits(current);
    for (size_t i = 0; i < d.size(); ++i)
        if (d[i] > kMaxTriple) d[i] = c[i];
    return d[0] * 100 + d[1] * 10 + d[2];
}

std::string rights_text(int triple) { return std::string(kRights[static_cast<size_t>(triple) & 7]); }

void mode_rights(std::string& owner, std::string& group, std::string& world, mode_t mode) {
    owner = rights_text(static_cast<int>((mode >> 6) & 7));
    group = rights_text(static_cast<int>((mode >> 3) & 7));
    world = rights_text(static_cast<int>(mode & 7));
}

uint32_t parse_uic(uint32_t& group_id, uint32_t& user_id, std::string_view text) {
    std::string_view t = trimmed(text);
    if (t.empty()) return cond::IVUIC;
    if (t.find_first_of("[],") != std::string_view::npos) return bracketed_uic(group_id, user_id, t);
    const passwd* pw = user_named(t);
    if (pw == nullptr) return with_severity(cond::NOSUCHID, SEV_SEVERE);
    group_id = pw->pw_gid;
    user_id = pw->pw_uid;
    return 1;
}

std::string format_uic(uint32_t group_id, uint32_t user_id, size_t width) {
    std::string group = group_text(group_id);
    std::string user = user_text(user_id);
    std::string out;
    if (width <= kBareUic.size()) {
        out = kBareUic.substr(0, width);
    } else if (group.size() + user.size() + kUicPunctuation <= width) {
        out = "[" + group + "," + user + "]";
    } else if (user.size() + kUicPunctuation < width) {
        out = "[" + group.substr(0, width - kUicPunctuation - user.size()) + "," + user + "]";
    } else {
        out = "[," + user.substr(0, width - kUicPunctuation) + "]";
    }
    out.resize(width, ' ');
    return out;
}

int set_file_mode(const std::string& path, mode_t mode) {
    if (path.starts_with("/dev/")) return 0;
    while (chmod(path.c_str(), mode) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

}  // namespace dcl
