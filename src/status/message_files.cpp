// TEMPORARY STUB (replaced by the real loader)
#include "status/message_files.h"
#include "status/condition.h"
namespace dcl {
uint32_t get_message_text(std::string& out, uint32_t value, unsigned parts, bool* directives) {
    char buf[64]; snprintf(buf, sizeof buf, "%%NONAME-%c-NOMSG, Message number %8.8X", "WSEIF?L?"[value&7], value);
    out = buf; if (directives) *directives = false; return cond::NOMSG; }
std::string get_facility_name(uint32_t) { return "NONAME"; }
uint32_t load_message_file(const std::string&) { return 1; }
void set_message_directory(const std::string&) {}
void reset_message_files() {}
}
