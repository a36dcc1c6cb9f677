// The client side of the logical-name store: each operation checks its
// arguments, fills a request record, has it dispatched and copies the reply
// out. Above them, the command-level operations the rest of the interpreter
// calls.
//
// A missing argument (BADPARAM) cannot occur here: string_views are never
// missing, and callers pass an empty text where they mean none. BADPARAM
// comes only from a value index above 127 and from the listing.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "names/lnm_internal.h"
#include "status/condition.h"
#include "status/interrupts.h"

namespace dcl {

namespace {

using lnm::equal_folded;

// User and group ids travel in the listing request as 16 bits.
constexpr uint32_t kRequestIdMask = 0xFFFF;

bool length_within(std::string_view text, size_t min, size_t max) {
    return text.size() >= min && text.size() <= max;
}

void copy_out(std::string* out, std::string_view text) {
    if (out) out->assign(text);
}

void clear_out(std::string* out) {
    if (out) out->clear();
}

std::string_view without_trailing_colon(std::string_view name) {
    if (!name.empty() && name.back() == ':') name.remove_suffix(1);
    return name;
}

// Translations through these tables see the user-mode names first.
bool reaches_usermode_overlay(std::string_view table) {
    return equal_folded(table, "LNM$PROCESS") || equal_folded(table, lnm::kFileDevice) ||
           equal_folded(table, "LNM$DCL_LOGICAL");
}

// The arguments have been checked; the reply stays in last_reply().
uint32_t request_translation(std::string_view table, std::string_view name, uint32_t attributes,
                             uint32_t index) {
    lnm::TranslateRequest request;
    request.attributes = attributes;
    request.index = index;
    request.table.assign(table);
    request.name.assign(name);
    return lnm::dispatch(request.header);
}

// The output file of a listing may be a logical name, or one that names
// another. A name that translates to itself would never stop: bounded.
std::string listing_file_name(std::string_view output_file) {
    std::string file(output_file);
    std::string value;
    for (int step = 0; step < lnm::kMaxOutputNameTranslations; ++step) {
        uint32_t attributes = 0;
        if (trnlnm_qv(lnm::kFileDevice, file, &value, nullptr, 0, 0, &attributes) != cond::NORMAL ||
            (attributes & LNM_TABLE))
            break;
        file.swap(value);
    }
    return file;
}

// Interrupts are held while the store works, so that no operation is left
// half-done; one that arrived meanwhile takes effect afterwards.
class InterruptDeferral {
public:
    InterruptDeferral() { defer_interrupts(); }
    ~InterruptDeferral() { resume_interrupts(); }
    InterruptDeferral(const InterruptDeferral&) = delete;
    InterruptDeferral& operator=(const InterruptDeferral&) = delete;
};

// Only the superuser (or whoever fakes the privilege) changes system names.
bool refused_system_table(std::string_view table) {
    if (!equal_folded(table, "LNM$SYSTEM") && !equal_folded(table, "LNM$SYSTEM_TABLE")) return false;
    return geteuid() != 0 && std::getenv("DCL_FAKE_SYSPRV") == nullptr;
}

}  // namespace

// ---- client operations --------------------------------------------------------

uint32_t crelnm_qv(std::string_view table, std::string_view name, std::string_view value,
                   std::string* out_table, uint32_t attributes) {
    lnm::ensure_initialised();
    ++logical_name_store().changes;
    if (!length_within(table, 1, kMaxTableName) || !length_within(name, 1, kMaxLogicalName) ||
        value.size() > kMaxLogicalValue) {
        clear_out(out_table);
        return cond::IVLOGNAM;
    }
    // The file-specification layer keeps a device list built from it.
    if (equal_folded(name, "TQ_DISK_DEVICES")) logical_name_store().disk_devices_stale = true;
    lnm::CreateNameRequest request;
    request.attributes = attributes;
    request.table.assign(table);
    request.name.assign(name);
    request.value.assign(value);
    uint32_t status = lnm::dispatch(request.header);
    ++logical_name_store().changes;  // counted after the change as well as before
    if (status == cond::NORMAL || status == cond::SS_SUPERSEDE)
        copy_out(out_table, lnm::last_reply().table.view());
    else
        clear_out(out_table);
    return status;
}

uint32_t crelnt_qv(std::string_view parent, std::string_view table, std::string* out_table,
                   uint32_t attributes, uint32_t quota, uint16_t protection) {
    lnm::ensure_initialised();
    ++logical_name_store().changes;
    clear_out(out_table);
    if (!length_within(parent, 1, kMaxTableName)) return cond::IVLOGNAM;
    if (table.size() > kMaxTableName) return cond::IVLOGTAB;
    lnm::CreateTableRequest request;
    request.attributes = attributes;
    request.quota = quota;
    request.protection = protection;
    request.parent.assign(parent);
    request.table.assign(table);
    uint32_t status = lnm::dispatch(request.header);
    ++logical_name_store().changes;
    if (status == cond::CREATED) copy_out(out_table, lnm::last_reply().table.view());
    return status;
}

uint32_t dellnm_qv(std::string_view table, std::string_view name) {
    lnm::ensure_initialised();
    ++logical_name_store().changes;
    if (!length_within(table, 1, kMaxTableName)) return cond::IVLOGTAB;
    if (name.size() > kMaxLogicalName) return cond::IVLOGNAM;
    lnm::DeleteRequest request;
    request.table.assign(table);
    request.name.assign(name);
    uint32_t status = lnm::dispatch(request.header);
    ++logical_name_store().changes;
    return status;
}

uint32_t trnlnm_qv(std::string_view table, std::string_view name, std::string* value_out,
                   std::string* table_out, uint32_t attributes, uint32_t index,
                   uint32_t* attributes_out) {
    lnm::ensure_initialised();
    name = without_trailing_colon(name);
    if (!length_within(table, 1, kMaxTableName) || !length_within(name, 1, kMaxLogicalName))
        return cond::IVLOGNAM;
    uint32_t status = cond::NOLOGNAM;
    if (logical_name_store().usermode_switch && reaches_usermode_overlay(table))
        status = request_translation("LNM$USERMODE", name, attributes, index);
    if (status != cond::NORMAL) status = request_translation(table, name, attributes, index);
    if (status != cond::NORMAL) return status;
    const lnm::Reply& reply = lnm::last_reply();
    copy_out(value_out, reply.value.view());
    copy_out(table_out, reply.table.view());
    if (attributes_out) *attributes_out = reply.attributes;
    return status;
}

uint32_t prtlnt_qv(std::string_view table, std::string_view output_file, uint32_t style) {
    lnm::ensure_initialised();
    if (!length_within(table, 1, kMaxTableName) || !length_within(output_file, 1, kMaxLogicalName))
        return cond::IVLOGNAM;
    std::string file = listing_file_name(output_file);
    lnm::PrintTableRequest request;
    request.table.assign(table);
    request.output_file.assign(file);  // values are no longer than names
    request.style = style;
    request.user_id = geteuid() & kRequestIdMask;
    request.group_id = getegid() & kRequestIdMask;
    return lnm::dispatch(request.header);
}

// ---- command-level operations ------------------------------------------------------

// A name given with one trailing colon ("DISK:") is stored and removed as
// the bare name: every lookup drops that colon, so a stored "DISK:" could
// never be found again.
namespace {
std::string_view without_device_colon(std::string_view name) {
    if (name.size() > 1 && name.ends_with(':') && !name.ends_with("::")) name.remove_suffix(1);
    return name;
}
}  // namespace

uint32_t lnm_create_name(std::string_view table, std::string_view name, std::string_view value,
                         std::string* out_table, uint32_t attributes) {
    if (refused_system_table(table)) return cond::NOPRIV;
    InterruptDeferral deferral;
    return crelnm_qv(table, without_device_colon(name), value, out_table, attributes);
}

uint32_t lnm_delete_name(std::string_view table, std::string_view name) {
    if (refused_system_table(table)) return cond::NOPRIV;
    InterruptDeferral deferral;
    return dellnm_qv(table, without_device_colon(name));
}

uint32_t lnm_create_table(std::string_view parent, std::string_view table, std::string* out_table,
                          uint32_t attributes, uint32_t quota, uint16_t protection) {
    InterruptDeferral deferral;
    return crelnt_qv(parent, table, out_table, attributes, quota, protection);
}

uint32_t lnm_translate(std::string_view table, std::string_view name, std::string* value_out,
                       std::string* table_out, uint32_t attributes, uint32_t index,
                       uint32_t* attributes_out) {
    InterruptDeferral deferral;
    uint32_t status =
        trnlnm_qv(table, name, value_out, table_out, attributes, index, attributes_out);
    // "NODE::" names a node; the name alone may still be a logical name.
    if (status == cond::NOLOGNAM && name.size() > 2 && name.ends_with("::")) {
        name.remove_suffix(2);
        status = trnlnm_qv(table, name, value_out, table_out, attributes, index, attributes_out);
    }
    return status;
}

}  // namespace dcl
