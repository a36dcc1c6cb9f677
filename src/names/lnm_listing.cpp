// Listing of logical-name tables into a file (what SHOW LOGICAL shows): a
// directory's entries in array order, or each table of a search list in
// name order.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "names/lnm_internal.h"
#include "status/condition.h"
#include "status/streams.h"

namespace dcl::lnm {

namespace {

// A failed system call: its number, then the system's text for it.
void report_failure(const char* what, const char* path) {
    int saved = errno;
    FILE* err = redirection().error;
    std::fprintf(err, "QVLIB: error %d in %s\n", saved, "prtlnt");
    std::fprintf(err, "%s of file %s: %s\n", what, path, std::strerror(saved));
}

// Truncates or creates the output file; a new file is given to the
// requester. Failures give BADPARAM, as the listing always has.
uint32_t open_listing(const PrintTableRequest& request, OwnedFile& out) {
    const char* path = request.output_file.c_str();
    bool existed = true;
    if (access(path, F_OK) != 0) {
        if (errno != ENOENT) {
            report_failure("access", path);
            return cond::BADPARAM;
        }
        existed = false;
    }
    out.reset(std::fopen(path, "we"));
    if (!out) {
        report_failure("fopen", path);
        return cond::BADPARAM;
    }
    if (!existed && chown(path, request.user_id, request.group_id) != 0) {
        report_failure("chown", path);
        return cond::BADPARAM;
    }
    return cond::NORMAL;
}

// Names and values are written whole, whatever bytes they hold.
void put(FILE* out, std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); }

void write_header(FILE* out, std::string_view table) {
    put(out, "(");
    put(out, table);
    put(out, ")\n\n");
}

// The first value shows the name; further values are continuation lines.
void write_value(FILE* out, std::string_view name, std::string_view value, uint32_t attributes,
                 uint32_t index) {
    if (attributes & LNM_CONFINE) return;
    if (index > 0) {
        put(out, "        = \"");
    } else {
        put(out, "  \"");
        put(out, name);
        put(out, (attributes & LNM_TABLE) ? "\" [table] = \"" : "\" = \"");
    }
    put(out, value);
    put(out, "\"\n");
}

void write_directory(FILE* out, const Directory& directory, std::string_view written_name) {
    write_header(out, written_name);
    for (const DirectoryEntry& entry : directory.entries) {
        if (!entry.in_use()) continue;
        if (entry.attributes & LNM_TABLE)
            write_value(out, entry.name.view(), "", entry.attributes, 0);
        else
            write_value(out, entry.name.view(), entry.value_view(), entry.attributes, entry.index);
    }
    std::fputs("\n", out);
}

void write_table(FILE* out, const DirectoryEntry& entry) {
    write_header(out, entry.name.view());
    const Table& table = *entry.table;
    for (uint32_t position = 0; position < table.size(); ++position) {
        const Slot& slot = table.in_order(position);
        write_value(out, slot.name(), slot.value(), slot.attributes, slot.index);
    }
    std::fputs("\n", out);
}

// Checks the arguments as they arrived; a missing table or file name
// ("prtlnt: missing tabnam/outname") cannot arrive, the request holding
// texts rather than pointers.
uint32_t check_listing_request(const PrintTableRequest& request) {
    FILE* err = redirection().error;
    std::string_view table = request.table.view();
    std::string_view file = request.output_file.view();
    if (table.empty() || table.size() > kMaxTableName) {
        std::fputs("prtlnt: invalid table name\n", err);
        return cond::IVLOGNAM;
    }
    // A NUL inside the name would name another file than the one asked for.
    if (file.empty() || file.size() > kMaxLogicalName || file.find('\0') != file.npos) {
        std::fputs("prtlnt: invalid output file name\n", err);
        return cond::IVLOGNAM;
    }
    // Only the SHOW LOGICAL style exists.
    if (request.style != LISTING_STYLE_SHOW) return cond::BADPARAM;
    return cond::NORMAL;
}

}  // namespace

uint32_t prtlnt(const PrintTableRequest& request, Reply&) {
    if (uint32_t status = check_listing_request(request); status != cond::NORMAL) return status;
    OwnedFile out;
    if (uint32_t status = open_listing(request, out); status != cond::NORMAL) return status;
    Directories dirs = directories_for(request.header);
    std::string_view table = request.table.view();
    if (const Directory* directory = directory_named(dirs, table)) {
        write_directory(out.get(), *directory, table);
    } else {
        ReachedTables reached;
        collect_tables_reached(dirs, table, reached);
        if (reached.count == 0) return cond::NOLOGTAB;
        for (size_t i = 0; i < reached.count; ++i) write_table(out.get(), *reached.tables[i]);
    }
    // A listing cut short by a full disk must not pass for a whole one.
    if (std::fflush(out.get()) != 0 || std::ferror(out.get())) {
        report_failure("write", request.output_file.c_str());
        return cond::BADPARAM;
    }
    return cond::NORMAL;
}

}  // namespace dcl::lnm
