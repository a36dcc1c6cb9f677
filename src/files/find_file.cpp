// Finding an existing file for a specification: devices resolved as
// search lists, then the disk searched component by component without
// regard to case; when only backups "name.~N~" remain, the newest one is
// renamed back to the name.
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

#include "files/file_errors.h"
#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"

namespace dcl {

namespace {

using namespace filespec_detail;

constexpr size_t npos = std::string_view::npos;

// Nesting of search-list resolution, and the whole number of resolutions
// one search may make (search lists of search lists multiply).
constexpr int kMaxSearchDepth = 512;
constexpr int kMaxResolutions = 4096;
// The highest index of a search list that is tried.
constexpr uint32_t kMaxSearchListIndex = 126;
// Longest version number of a backup that is considered.
constexpr size_t kMaxVersionDigits = 18;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct SearchContext {
    std::string_view default_spec;
    std::string_view related;
    std::string_view type_hint;
    int resolutions = 0;
};

// The newest backup "name.~N~" seen in a directory.
struct NewestBackup {
    uint64_t version = 0;
    std::string entry;
};

void note_backup(NewestBackup& newest, std::string_view entry, std::string_view name) {
    if (entry.size() < name.size() + 4 || entry.back() != '~' ||
        entry.compare(name.size(), 2, ".~") != 0 ||
        !equal_case_blind(entry.substr(0, name.size()), name))
        return;
    std::string_view digits = entry.substr(name.size() + 2, entry.size() - name.size() - 3);
    if (digits.empty() || digits.size() > kMaxVersionDigits) return;
    uint64_t version = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return;
        version = version * 10 + static_cast<uint64_t>(c - '0');
    }
    if (newest.entry.empty() || version > newest.version) {
        newest.version = version;
        newest.entry.assign(entry);
    }
}

// Puts the newest backup back under the plain name.
uint32_t restore_backup(std::string& entry, const std::string& directory,
                        const NewestBackup& newest) {
    std::string backup = directory + newest.entry;
    if (!path_exists(backup)) return cond::FNF;
    entry.assign(newest.entry, 0, newest.entry.rfind(".~"));
    std::string plain = directory + entry;
    if (std::rename(backup.c_str(), plain.c_str()) != 0) return open_failure_reason(errno, plain);
    return cond::NORMAL;
}

// Does a directory entry stand for the component typed?
bool entry_matches(std::string_view entry, std::string_view component, bool last,
                   std::string_view type_hint, const std::string& directory) {
    if (equal_case_blind(entry, component)) return true;
    if (!last) return false;
    if (ends_with_case_blind(component, ".dir") &&
        equal_case_blind(entry, component.substr(0, component.size() - 4)))
        return is_directory(directory + std::string(entry));
    return !type_hint.empty() && entry.size() == component.size() + type_hint.size() &&
           equal_case_blind(entry.substr(0, component.size()), component) &&
           entry.substr(component.size()) == type_hint;
}

// The entry of `directory` that `component` names, without regard to case.
uint32_t choose_entry(std::string& entry, const std::string& directory, std::string_view component,
                      bool last, std::string_view type_hint) {
    DirHandle dir(opendir(directory.c_str()));
    if (!dir) return cond::DNF;
    NewestBackup newest;
    while (const dirent* found = readdir(dir.get())) {
        std::string_view name = found->d_name;
        if (entry_matches(name, component, last, type_hint, directory)) {
            entry.assign(name);
            return cond::NORMAL;
        }
        if (last) note_backup(newest, name, component);
    }
    if (newest.entry.empty()) return cond::FNF;
    return restore_backup(entry, directory, newest);
}

// Walks an absolute path (or one relative to ".") from its start.
uint32_t walk_components(std::string& out, std::string_view path, std::string_view type_hint) {
    std::string so_far = path[0] == '/' ? "/" : "./";
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == npos) end = path.size();
        std::string_view component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        bool last = path.find_first_not_of('/', end) == npos;
        size_t base = so_far.size();
        so_far.append(component);
        if (!path_exists(so_far)) {
            so_far.resize(base);
            std::string entry;
            uint32_t status = choose_entry(entry, so_far, component, last, type_hint);
            if (status != cond::NORMAL) return status;
            so_far.append(entry);
        }
        if (!last) so_far.push_back('/');
    }
    if (path.back() == '/' && so_far.back() != '/') so_far.push_back('/');
    if (so_far.size() > kMaxPathLength) return cond::BUFOVF;
    out.swap(so_far);
    return cond::NORMAL;
}

uint32_t search_disk(std::string& out, const std::string& path, std::string_view type_hint) {
    if (path.empty()) return cond::FNF;
    if (path[0] == '/' && path_exists(path)) {
        out = path;
        return cond::NORMAL;
    }
    std::string full;
    if (path[0] == '/') {
        full = path;
    } else {
        if (!current_directory(full)) full.assign(".");
        full.push_back('/');
        full.append(path.starts_with("./") ? std::string_view(path).substr(2) : path);
    }
    normalize_unix_path(full, false);
    if (full.size() > kMaxPathLength) return cond::BUFOVF;
    if (path_exists(full)) {
        out.swap(full);
        return cond::NORMAL;
    }
    return walk_components(out, full, type_hint);
}

uint32_t resolve_spec(std::string& out, std::string_view spec, SearchContext& context, int depth);

// The part in front of the last ":" (or the whole text) as a search list:
// each value in turn, with the rest of the text, until one names a file.
// 444 when the part is no logical name.
uint32_t resolve_search_list(std::string& out, std::string_view text, SearchContext& context,
                             int depth) {
    size_t colon = text.rfind(':');
    std::string_view device = colon == npos ? text : text.substr(0, colon);
    std::string_view rest = colon == npos ? std::string_view{} : text.substr(colon + 1);
    if (!may_be_logical_name(device)) return cond::NOLOGNAM;
    std::string value;
    std::string probe;
    std::string next;
    bool translated = false;
    for (uint32_t index = 0; index <= kMaxSearchListIndex; ++index) {
        if (translate_name(kFileDevTable, device, index, value) != cond::NORMAL) break;
        translated = true;
        next = value;
        // A value that is itself a device name becomes "VALUE:".
        if (value.find(':') == npos && may_be_logical_name(value) &&
            translate_name(kFileDevTable, value, 0, probe) == cond::NORMAL)
            next.push_back(':');
        if (next.size() + rest.size() > kMaxPathLength) return cond::BUFOVF;
        next.append(rest);
        uint32_t status = resolve_spec(out, next, context, depth + 1);
        if (status == cond::NORMAL || status == cond::TOOMANYLNAM || status == cond::BUFOVF)
            return status;
    }
    return translated ? cond::FNF : cond::NOLOGNAM;
}

uint32_t resolve_spec(std::string& out, std::string_view spec, SearchContext& context, int depth) {
    if (depth > kMaxSearchDepth || ++context.resolutions > kMaxResolutions)
        return cond::TOOMANYLNAM;
    if (spec.empty()) spec = context.default_spec;
    if (spec.empty()) spec = context.related;
    if (spec.empty()) return cond::FNF;
    std::string text(spec);
    std::erase_if(text, is_blank);
    uint32_t status = resolve_search_list(out, text, context, depth);
    if (status != cond::NOLOGNAM) return status;

    // The default type must not become a name here (".login" is looked
    // for as typed), hence the VMS-like merge.
    std::string merged;
    status = merge_file_spec(merged, text, context.default_spec, context.related,
                             DotfileMode::vms_types);
    if (status != cond::NORMAL) return status;
    bool has_device = text.find(':') != npos;
    if (!has_device && merged.find(':') != npos) {
        has_device = true;
        status = resolve_search_list(out, merged, context, depth);
        if (status != cond::NOLOGNAM) return status;
    }
    std::string path;
    if (vms_dir_to_unix(path, merged) > kMaxPathLength) return cond::BUFOVF;
    status = search_disk(out, path, context.type_hint);
    // A device that is no logical name explains the failure better.
    return (status == cond::FNF && has_device) ? cond::NOLOGNAM : status;
}

}  // namespace

uint32_t find_file(std::string& out, std::string_view spec, std::string_view default_spec,
                   std::string_view related, std::string_view type_hint) {
    if (spec.size() > kMaxPathLength || default_spec.size() > kMaxPathLength ||
        related.size() > kMaxPathLength || type_hint.size() > kMaxPathLength)
        return cond::BUFOVF;
    SearchContext context{default_spec, related, type_hint};
    std::string found;
    uint32_t status = resolve_spec(found, spec, context, 0);
    if (status == cond::NORMAL) out.swap(found);
    return status;
}

}  // namespace dcl
