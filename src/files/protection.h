// Protection codes and UICs: VMS rights (R, W, E, D for owner, group and
// world) on Unix permission bits, and [group,member] on user and group ids.
// A protection code is owner*100 + group*10 + world, each digit a Unix
// permission triple; 8 keeps the present rights, so 888 changes nothing.
// The parser of /PROTECTION values is parse_protection (lang/qualifiers.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace dcl {

inline constexpr int kProtectionUnchanged = 888;

// Digits above 7 (not merged yet) give no rights.
mode_t protection_to_mode(int code);
int mode_to_protection(mode_t mode);
// Digits above 7 of `code` take the digit of `current`.
int merge_protection(int code, int current);

// "RWED", "RE", "" ... for a permission triple (0..7).
std::string rights_text(int triple);
void mode_rights(std::string& owner, std::string& group, std::string& world, mode_t mode);

// "[group,member]" (names or decimal ids; an empty group is the member's
// own) or a bare user name. Returns 1, or the condition for the caller to
// report: IVUIC for a malformed text, NOSUCHID (severe) for a name or id
// the password and group databases do not hold.
uint32_t parse_uic(uint32_t& group, uint32_t& user, std::string_view text);

// The packed form of a UIC, for display and status values: group in the
// high 16 bits, member in the low 16 bits.
constexpr uint32_t pack_uic(uint32_t group, uint32_t user) {
    return ((group & 0xFFFFu) << 16) | (user & 0xFFFFu);
}

// A UIC with the full Unix ids: owner filters compare these, so that ids
// beyond 16 bits are not taken for one another.
struct Uic {
    uint32_t group = 0;
    uint32_t user = 0;

    constexpr uint32_t packed() const { return pack_uic(group, user); }
    bool operator==(const Uic&) const = default;
};

// "[group,user]" with names where they exist, fitted into `width`
// characters (the group name is shortened first, then left out) and padded
// with blanks.
std::string format_uic(uint32_t group, uint32_t user, size_t width);

// chmod, retried while interrupted; /dev/ paths are left alone. Returns 0,
// or the errno value of the failure.
int set_file_mode(const std::string& path, mode_t mode);

}  // namespace dcl
