// The wildcard search. A specification list is split into items; each
// item's device is expanded through LNM$FILE_DEV search lists; each
// resulting pattern is translated to a Unix pattern, its directory part
// expanded over the disk (wildcard components and the ellipsis), and the
// entries of every directory found matched by name and type. The files
// then pass the time, owner and exclusion filters in directory order and
// name order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "status/interrupts.h"
#include "files/filespec.h"
#include "files/search.h"
#include "status/text.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

FileSearch g_search;

// Rounds of device translation before a chain of logical names is taken
// for a loop, and the most patterns one item may expand to.
constexpr int kMaxDeviceRounds = 10;
constexpr size_t kMaxDevicePrefixes = 512;

// An open directory, closed however the scan ends.
class DirectoryStream {
public:
    explicit DirectoryStream(const std::string& path) : dir_(opendir(path.c_str())) {}
    ~DirectoryStream() {
        if (dir_ != nullptr) closedir(dir_);
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    bool is_open() const { return dir_ != nullptr; }
    // The next entry other than "." and "..", or nullptr at the end.
    const dirent* next() {
        while (const dirent* entry = readdir(dir_)) {
            std::string_view name = entry->d_name;
            if (name != "." && name != "..") return entry;
        }
        return nullptr;
    }

private:
    DIR* dir_;
};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_directory_path(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether an entry is a directory. The ellipsis asks without following
// symbolic links, so a link back up the tree cannot make it descend for
// ever; a wildcard component consumes one level of a finite pattern and
// may follow them.
bool entry_is_directory(const dirent& entry, const std::string& path, bool follow_links) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN && !(follow_links && entry.d_type == DT_LNK)) return false;
    struct stat st {};
    int rc = follow_links ? stat(path.c_str(), &st) : lstat(path.c_str(), &st);
    return rc == 0 && S_ISDIR(st.st_mode);
}

// ---- the name filters -----------------------------------------------------

// The cheap test that turns most entries away before the full match: the
// first character, and the whole text when the name pattern is plain.
struct QuickFilter {
    char first = 0;      // 0: no test
    std::string prefix;  // lower case; empty: no test

    explicit QuickFilter(std::string_view pattern) {
        if (pattern.empty() || std::string_view("*%.?\"").find(pattern[0]) != std::string_view::npos)
            return;
        first = lower(pattern[0]);
        if (pattern.find_first_of("*%?\"") != std::string_view::npos) return;
        for (char c : pattern) prefix.push_back(lower(c));
    }
    bool accepts(std::string_view entry) const {
        if (first == 0) return true;
        if (entry.empty() || lower(entry[0]) != first) return false;
        if (prefix.empty()) return true;
        if (entry.size() < prefix.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (lower(entry[i]) != prefix[i]) return false;
        return true;
    }
};

struct NamePatterns {
    WildcardPattern name;
    std::string type;
    QuickFilter quick;
};

// An entry's name and type: the type starts at the last dot, which in the
// Unix dotfile mode may not be the first character.
void split_entry(std::string_view entry, DotfileMode mode, std::string_view& name,
                 std::string_view& type) {
    size_t dot = entry.rfind('.');
    bool typed = dot != std::string_view::npos && (dot > 0 || mode == DotfileMode::vms_types);
    name = typed ? entry.substr(0, dot) : entry;
    type = typed ? entry.substr(dot) : std::string_view{};
}

// ---- the directory list ---------------------------------------------------

// The found-in-this-pattern marks run parallel to the directory list.
struct PatternDirectories {
    std::vector<size_t> found;
    std::vector<char> marked;
};

void note_directory(const std::string& path, PatternDirectories& pattern_dirs) {
    auto [it, added] = g_search.directory_index.try_emplace(path, g_search.directories.size());
    if (added) g_search.directories.push_back(SearchDirectory{path, {}});
    size_t index = it->second;
    if (pattern_dirs.marked.size() <= index) pattern_dirs.marked.resize(index + 1, 0);
    if (pattern_dirs.marked[index]) return;
    pattern_dirs.marked[index] = 1;
    pattern_dirs.found.push_back(index);
}

// Where a directory pattern first needs the disk: the first component that
// holds a wildcard or quotes, or that is the ellipsis marker.
struct WildComponent {
    std::string_view prefix;     // up to and including the "/" before it
    std::string_view component;
    std::string_view rest;       // after the "/" that follows it
    bool ellipsis = false;
};

bool find_wild_component(std::string_view path, WildComponent& wild) {
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view component = path.substr(start, end - start);
        bool ellipsis = component == "." && start > 0;
        if (ellipsis || component.find_first_of("*%?\"") != std::string_view::npos) {
            wild.prefix = path.substr(0, start);
            wild.component = component;
            wild.rest = end < path.size() ? path.substr(end + 1) : std::string_view{};
            wild.ellipsis = ellipsis;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// The subdirectories of `wild.prefix` that continue the pattern, in name
// order so that listings come out the same on every file system.
std::vector<std::string> matching_subdirectories(const WildComponent& wild) {
    std::vector<std::string> names;
    std::string directory(wild.prefix.empty() ? std::string_view("./") : wild.prefix);
    DirectoryStream stream(directory);
    if (!stream.is_open()) return names;
    std::optional<WildcardPattern> component;
    if (!wild.ellipsis) component.emplace(wild.component, true);
    while (const dirent* entry = stream.next()) {
        std::string_view name = entry->d_name;
        if (component && !component->matches(name)) continue;
        if (entry_is_directory(*entry, directory + std::string(name), !wild.ellipsis))
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Expands a directory pattern depth first, each directory before the ones
// below it. False when an interrupt cut the walk short.
bool expand_directories(std::string_view pattern, PatternDirectories& pattern_dirs) {
    std::vector<std::string> work{std::string(pattern.empty() ? std::string_view("./") : pattern)};
    while (!work.empty()) {
        if (interrupt_requested()) return false;
        std::string path = std::move(work.back());
        work.pop_back();
        WildComponent wild;
        if (!find_wild_component(path, wild)) {
            if (is_directory_path(path)) note_directory(path, pattern_dirs);
            continue;
        }
        std::vector<std::string> names = matching_subdirectories(wild);
        std::string middle = wild.ellipsis ? "/./" : "/";
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            std::string next = std::string(wild.prefix) + *name + middle + std::string(wild.rest);
            if (next.size() <= kMaxPathLength) work.push_back(std::move(next));
        }
        // The ellipsis also stands for no level at all; that comes first.
        if (wild.ellipsis) work.push_back(std::string(wild.prefix) + std::string(wild.rest));
    }
    return true;
}

// ---- scanning one directory -----------------------------------------------

FoundFile file_record(std::string path, size_t name_offset, const struct stat& st) {
    FoundFile f;
    f.path = std::move(path);
    f.name_offset = name_offset;
    f.mode = static_cast<uint32_t>(st.st_mode);
    f.size = static_cast<uint64_t>(st.st_size);
    f.inode = static_cast<uint64_t>(st.st_ino);
    f.device = static_cast<uint64_t>(st.st_dev);
    f.owner = static_cast<uint32_t>(st.st_uid);
    f.group = static_cast<uint32_t>(st.st_gid);
    f.accessed = static_cast<int64_t>(st.st_atime);
    f.modified = static_cast<int64_t>(st.st_mtime);
    f.changed = static_cast<int64_t>(st.st_ctime);
    return f;
}

bool by_path(const FoundFile& a, const FoundFile& b) { return a.path < b.path; }

// Adds a scan's files to the directory's sorted list, each name once. The
// batch is sorted once rather than inserted entry by entry, which would
// cost a quadratic number of moves in a large directory.
void merge_into_directory(SearchDirectory& directory, std::vector<FoundFile>& batch) {
    std::sort(batch.begin(), batch.end(), by_path);
    std::vector<FoundFile> merged;
    merged.reserve(directory.files.size() + batch.size());
    auto old_file = directory.files.begin();
    for (FoundFile& file : batch) {
        while (old_file != directory.files.end() && old_file->path < file.path)
            merged.push_back(std::move(*old_file++));
        if (old_file != directory.files.end() && old_file->path == file.path) continue;
        if (!merged.empty() && merged.back().path == file.path) continue;
        merged.push_back(std::move(file));
    }
    while (old_file != directory.files.end()) merged.push_back(std::move(*old_file++));
    directory.files.swap(merged);
}

void scan_directory(SearchDirectory& directory, const NamePatterns& patterns, DotfileMode mode) {
    DirectoryStream stream(directory.path);
    if (!stream.is_open()) return;
    std::vector<FoundFile> batch;
    while (const dirent* entry = stream.next()) {
        std::string_view entry_name = entry->d_name;
        if (!patterns.quick.accepts(entry_name)) continue;
        std::string path = directory.path + std::string(entry_name);
        if (path.size() > kMaxPathLength) continue;
        struct stat st {};
        bool have_status = false;
        bool is_directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            if (stat(path.c_str(), &st) != 0) continue;
            have_status = true;
            is_directory = S_ISDIR(st.st_mode);
        }
        std::string_view name, type;
        split_entry(entry_name, mode, name, type);
        if (is_directory) name = entry_name, type = ".dir";
        if (!patterns.name.matches(name) || !match_type(patterns.type, type)) continue;
        if (!have_status && stat(path.c_str(), &st) != 0) continue;
        batch.push_back(file_record(std::move(path), directory.path.size(), st));
    }
    if (!batch.empty()) merge_into_directory(directory, batch);
}

// The name and type part of a translated pattern; a version that survived
// the translation is not part of the type.
void split_pattern(UnixPathParts& parts, std::string_view unix_pattern, DotfileMode mode) {
    split_unix_path(parts, unix_pattern, mode);
    std::string& last = parts.type.empty() ? parts.name : parts.type;
    size_t semicolon = last.find(';');
    if (semicolon != std::string::npos && last.find('"') == std::string::npos) last.resize(semicolon);
}

// Searches one translated pattern. False when an interrupt stopped it.
bool search_pattern(std::string_view unix_pattern) {
    DotfileMode mode = current_dotfile_mode();
    UnixPathParts parts;
    split_pattern(parts, unix_pattern, mode);
    PatternDirectories pattern_dirs;
    if (!expand_directories(parts.directory, pattern_dirs)) return false;
    NamePatterns patterns{WildcardPattern(parts.name, false), parts.type, QuickFilter(parts.name)};
    for (size_t index : pattern_dirs.found) {
        if (interrupt_requested()) return false;
        scan_directory(g_search.directories[index], patterns, mode);
    }
    return true;
}

// ---- the list of file names searched -----------------------------------------

// The exclusions in Unix form; one that names no directory applies in the
// directory of each file ("/*/" then the rest).
struct Exclusions {
    std::vector<std::string> patterns;
};

uint32_t translate_exclusions(Exclusions& out, const std::vector<std::string>& specs,
                              DotfileMode mode) {
    size_t space = 0;
    for (const std::string& spec : specs) {
        std::string unix_form;
        uint32_t status = vms_to_unix_core(unix_form, spec, "[*]", {}, mode);
        if (status != 1 && status != cond::NOLOGNAM) {
            signal_condition(status, spec);
            return 0;
        }
        space += unix_form.size() + 1;
        if (space > kExclusionSpace) return cond::BUFOVF;
        out.patterns.push_back(std::move(unix_form));
    }
    return 1;
}

bool excluded(const Exclusions& exclusions, const FoundFile& file) {
    // A directory is excluded under the name it is listed with, NAME.DIR.
    std::string path = file.path;
    if (S_ISDIR(file.mode)) path += ".dir";
    size_t count = std::min(exclusions.patterns.size(), kMaxAppliedExclusions);
    for (size_t i = 0; i < count; ++i) {
        const std::string& pattern = exclusions.patterns[i];
        bool pattern_matches = pattern.starts_with("/*/")
            ? match_exclude(file.path.substr(0, file.name_offset) + pattern.substr(3), path)
            : match_exclude(pattern, path);
        if (pattern_matches) return true;
    }
    return false;
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The items of a list: split at commas outside quotes, without the blanks
// around them; an empty item ends the list.
std::vector<std::string> split_items(std::string_view specs) {
    std::vector<std::string> items;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= specs.size(); ++i) {
        if (i < specs.size() && specs[i] == '"') quoted = !quoted;
        if (i < specs.size() && (quoted || specs[i] != ',')) continue;
        std::string_view item = trim_blanks(specs.substr(start, i - start));
        if (item.empty()) break;
        items.push_back(remove_quotes(item));
        start = i + 1;
    }
    return items;
}

// Wildcard operations take no explicit version: only ";" and ";*".
bool version_allowed(std::string_view item) {
    size_t semicolon = item.rfind(';');
    if (semicolon == std::string_view::npos) return true;
    std::string_view version = item.substr(semicolon);
    return version == ";" || version == ";*";
}

// A leaf of the device expansion in front of what follows it. A device
// name that did not translate keeps its colon, for the translation to drop
// or resolve; a Unix directory gets its slash.
std::string join_leaf(std::string_view leaf, std::string_view carried, bool is_device) {
    std::string joined(leaf);
    if (is_device && !leaf.empty() && std::string_view("]>/:").find(leaf.back()) == std::string_view::npos) {
        if (leaf.front() != '/') joined.push_back(':');
        else if (!carried.starts_with('/')) joined.push_back('/');
    }
    joined.append(carried);
    return joined;
}

// Expands `name` through LNM$FILE_DEV, every value of a search list in
// turn and each value again, into one pattern per leaf.
uint32_t expand_device(std::string_view name, const std::string& carried, bool is_device,
                       std::vector<std::string>& patterns, int round) {
    if (round > kMaxDeviceRounds || patterns.size() >= kMaxDevicePrefixes) return cond::TOOMANYLNAM;
    bool translated = false;
    for (uint32_t index = 0; index < kMaxValueIndex; ++index) {
        std::string value;
        uint32_t attributes = 0;
        uint32_t status = lnm_translate(kFileDevTable, name, &value, nullptr, LNM_CASE_BLIND,
                                        index, &attributes);
        if (!is_success(status) || (attributes & LNM_TABLE) != 0 || value.empty()) break;
        translated = true;
        size_t colon = value.rfind(':');
        if (colon != std::string::npos && colon > 0)
            status = expand_device(std::string_view(value).substr(0, colon),
                                   value.substr(colon + 1) + carried, true, patterns, round + 1);
        else
            status = expand_device(value, carried, is_device, patterns, round + 1);
        if (status != 1) return status;
    }
    if (!translated) patterns.push_back(join_leaf(name, carried, is_device));
    return 1;
}

// The values of DEF$DISK when it is a search list of two or more
// directories defined in the process table.
std::vector<std::string> default_disk_list() {
    std::vector<std::string> values;
    std::string value;
    uint32_t attributes = 0;
    uint32_t status = lnm_translate("LNM$PROCESS", "DEF$DISK", &value, nullptr, LNM_CASE_BLIND, 0,
                                    &attributes);
    if (!is_success(status) || (attributes & LNM_TABLE) != 0) return values;
    for (uint32_t index = 0; index < kMaxValueIndex; ++index) {
        status = lnm_translate(kFileDevTable, "DEF$DISK", &value, nullptr, LNM_CASE_BLIND, index,
                               &attributes);
        if (!is_success(status) || (attributes & LNM_TABLE) != 0) break;
        values.push_back(value);
    }
    if (values.size() < 2) values.clear();
    return values;
}

bool translation_ok(uint32_t status) { return status == 1 || status == cond::NOLOGNAM; }

enum class PatternOutcome { searched, failed, interrupted };

// Translates one pattern against `default_spec`, searches it and records
// its VMS form as the resultant specification.
PatternOutcome translate_and_search(std::string_view pattern, std::string_view default_spec,
                                    DotfileMode mode) {
    std::string unix_pattern;
    uint32_t status = vms_to_unix_core(unix_pattern, pattern, default_spec, {}, mode);
    if (!translation_ok(status)) {
        signal_condition(status, pattern);
        return PatternOutcome::failed;
    }
    bool finished = search_pattern(unix_pattern);
    unix_to_vms(g_search.resultant_spec, unix_pattern);
    return finished ? PatternOutcome::searched : PatternOutcome::interrupted;
}

// A pattern without a device searches every directory of DEF$DISK when
// that is a search list, else the command's default.
PatternOutcome search_without_device(std::string_view pattern, std::string_view default_spec,
                                     DotfileMode mode) {
    std::vector<std::string> disks = default_disk_list();
    if (disks.empty()) return translate_and_search(pattern, default_spec, mode);
    for (const std::string& disk : disks) {
        std::string disk_default;
        uint32_t status = vms_to_unix(disk_default, disk, default_spec, {});
        if (status == cond::NOSUCHNODE) status = cond::NONODE;
        if (!translation_ok(status)) {
            signal_condition(status, disk);
            return PatternOutcome::failed;
        }
        PatternOutcome outcome = translate_and_search(pattern, disk_default, mode);
        if (outcome != PatternOutcome::searched) return outcome;
    }
    return PatternOutcome::searched;
}

// One item of the list. Returns 1, 0 after reporting, or a condition.
uint32_t search_item(std::string_view item, std::string_view default_spec, DotfileMode mode) {
    if (!version_allowed(item)) return cond::VER;
    std::string_view device = item;
    std::string rest;
    size_t colon = item.find(':');
    // A Unix path is taken as written: its colons name no device.
    bool has_device = colon != std::string_view::npos && colon > 0 && item.front() != '/';
    if (has_device) {
        device = item.substr(0, colon);
        if (colon + 1 < item.size() && item[colon + 1] == ':') {
            signal_condition(cond::NONODE, device);
            return 0;
        }
        rest.assign(item.substr(colon + 1));
    }
    std::vector<std::string> patterns;
    uint32_t status = expand_device(device, rest, has_device, patterns, 0);
    if (status != 1) {
        signal_condition(status, device);
        return 0;
    }
    for (const std::string& pattern : patterns) {
        PatternOutcome outcome = has_device ? translate_and_search(pattern, default_spec, mode)
                                            : search_without_device(pattern, default_spec, mode);
        if (outcome != PatternOutcome::searched) return 0;
    }
    return 1;
}

// ---- selection ----------------------------------------------------------------

int64_t selected_time(const FoundFile& file, int selector) {
    if (selector == TIME_MODIFIED) return file.modified;
    if (selector == TIME_ACCESSED) return file.accessed;
    return file.changed;
}

// In hundredths, so that a time given to the hundredth still compares.
int64_t hundredths_of(const VmsTime& time) { return time.seconds * 100 + time.hundredths; }

bool passes_filters(const FoundFile& file, const SearchSelection& selection,
                    const Exclusions& exclusions) {
    int64_t when = selected_time(file, selection.time_selector) * 100;
    if (selection.before && !(when < hundredths_of(*selection.before))) return false;
    if (selection.since && !(when > hundredths_of(*selection.since))) return false;
    if (selection.owner) {
        uint32_t owner = *selection.owner;
        if ((file.group & 0xFFFF) != (owner >> 16) || (file.owner & 0xFFFF) != (owner & 0xFFFF))
            return false;
    }
    return !excluded(exclusions, file);
}

bool valid_time_selector(const SearchSelection& selection) {
    if (selection.time_selector >= TIME_STATUS_CHANGE && selection.time_selector <= TIME_ACCESSED)
        return true;
    if (selection.before || selection.since) {
        signal_condition(with_severity(cond::FAULT, SEV_FATAL),
                         selection.before ? "bad before mode" : "bad since mode");
        return false;
    }
    return true;
}

// Moves the files that pass into the result list. `any_found` tells
// whether there was a file to examine at all.
void select_results(const SearchSelection& selection, const Exclusions& exclusions,
                    bool& any_found) {
    any_found = false;
    for (const SearchDirectory& directory : g_search.directories) {
        for (const FoundFile& file : directory.files) {
            any_found = true;
            if (passes_filters(file, selection, exclusions)) g_search.results.push_back(file);
        }
    }
}

}  // namespace

FileSearch& file_search() { return g_search; }

void release_search_records() {
    g_search.directories.clear();
    g_search.directory_index.clear();
    g_search.results.clear();
    g_search.next = 0;
}

void reset_file_search() {
    release_search_records();
    g_search.resultant_spec.clear();
}

uint32_t search_files(std::string& result_spec, std::string_view specs,
                      std::string_view default_spec, const SearchSelection& selection) {
    reset_file_search();
    if (!valid_time_selector(selection)) return 0;
    DotfileMode mode = current_dotfile_mode();
    Exclusions exclusions;
    uint32_t status = translate_exclusions(exclusions, selection.excludes, mode);
    if (status != 1) return status;
    for (const std::string& item : split_items(specs)) {
        status = search_item(item, default_spec, mode);
        if (status != 1) return status;
    }
    bool any_found = false;
    select_results(selection, exclusions, any_found);
    if (g_search.results.empty()) result_spec = g_search.resultant_spec;
    return any_found ? 1 : cond::FNF;
}

bool next_found_file(std::string& vms_name) {
    if (g_search.next >= g_search.results.size()) {
        release_search_records();
        return false;
    }
    const FoundFile& file = g_search.results[g_search.next++];
    unix_to_vms(vms_name, file.path);
    if (S_ISDIR(file.mode)) {
        if (!vms_name.empty() && vms_name.back() == '.') vms_name.pop_back();
        vms_name += ".dir";
    }
    return true;
}

}  // namespace dcl
