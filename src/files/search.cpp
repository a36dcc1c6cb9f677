// The wildcard search engine. A specification list is split into items;
// each item's device is expanded through LNM$FILE_DEV search lists; each
// resulting pattern is translated to a Unix pattern, its directory part
// expanded over the disk (wildcard components and the ellipsis), and the
// entries of every directory found matched by name and type. Everything a
// search keeps lives in its SearchTree and in one Gatherer for the length
// of the call, so that any number of searches can be under way.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "files/filespec.h"
#include "files/search.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

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
    int fd() const { return dirfd(dir_); }
    // The status of an entry, looked up from the open directory rather
    // than through the whole path again.
    bool status_of(const char* name, struct stat& st, bool follow_links) const {
        return fstatat(dirfd(dir_), name, &st, follow_links ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
    }
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
bool entry_is_directory(const DirectoryStream& stream, const dirent& entry, bool follow_links) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN && !(follow_links && entry.d_type == DT_LNK)) return false;
    struct stat st {};
    return stream.status_of(entry.d_name, st, follow_links) && S_ISDIR(st.st_mode);
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

// ---- the directory list ---------------------------------------------------

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

// The entries of a directory, read while its subdirectories were listed
// and kept for the scan of its files, so that the walk reads it once.
struct DirectoryListing {
    std::string names;  // each name followed by a NUL
    std::vector<std::pair<uint32_t, unsigned char>> entries;  // name offset, d_type

    void add(std::string_view name, unsigned char type) {
        entries.emplace_back(static_cast<uint32_t>(names.size()), type);
        names.append(name).push_back('\0');
    }
    const char* name(size_t i) const { return names.c_str() + entries[i].first; }
};

// The subdirectories of `wild.prefix` that continue the pattern, in name
// order so that listings come out the same on every file system. With
// `all`, every entry is also put there. False when the directory could
// not be read.
bool matching_subdirectories(const WildComponent& wild, DirectoryListing* all, std::vector<std::string>& names) {
    names.clear();
    std::string directory(wild.prefix.empty() ? std::string_view("./") : wild.prefix);
    DirectoryStream stream(directory);
    if (!stream.is_open()) return false;
    std::optional<WildcardPattern> component;
    if (!wild.ellipsis) component.emplace(wild.component, true);
    while (const dirent* entry = stream.next()) {
        std::string_view name = entry->d_name;
        if (all) all->add(name, entry->d_type);
        if (component && !component->matches(name)) continue;
        if (entry_is_directory(stream, *entry, !wild.ellipsis)) names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

// ---- files -------------------------------------------------------------------

FoundFile file_record(const std::string& directory, std::string_view name, const struct stat& st) {
    FoundFile f;
    f.path.reserve(directory.size() + name.size());
    f.path.append(directory).append(name);
    f.name_offset = directory.size();
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

// A file known by its directory entry only.
FoundFile entry_record(const std::string& directory, std::string_view name, mode_t type) {
    struct stat st {};
    st.st_mode = type;
    FoundFile f = file_record(directory, name, st);
    f.status_known = false;
    return f;
}

// The file type a directory entry tells, or 0 when it does not.
mode_t type_of_entry(unsigned char d_type) {
    switch (d_type) {
    case DT_REG: return S_IFREG;
    case DT_DIR: return S_IFDIR;
    case DT_FIFO: return S_IFIFO;
    case DT_SOCK: return S_IFSOCK;
    case DT_CHR: return S_IFCHR;
    case DT_BLK: return S_IFBLK;
    default: return 0;  // links and unknown entries are looked at
    }
}

// The files of one directory share its path, so their names order them.
bool by_name(const FoundFile& a, const FoundFile& b) { return a.name() < b.name(); }

// The name and type part of a translated pattern; a version that survived
// the translation is not part of the type.
void split_pattern(UnixPathParts& parts, std::string_view unix_pattern, DotfileMode mode) {
    split_unix_path(parts, unix_pattern, mode);
    std::string& last = parts.type.empty() ? parts.name : parts.type;
    size_t semicolon = last.find(';');
    if (semicolon != std::string::npos && last.find('"') == std::string::npos) last.resize(semicolon);
}

// ---- the list of file names searched -----------------------------------------

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

// One gather_files call: the tree it fills, and the scratch vectors that
// go from one pattern and one directory to the next.
class Gatherer {
public:
    Gatherer(SearchTree& tree, const InterruptCheck& interrupted, bool with_status)
        : tree_(tree), interrupted_(interrupted), mode_(current_dotfile_mode()),
          with_status_(with_status) {}

    uint32_t search_item(std::string_view item, std::string_view default_spec);

private:
    bool stop() const { return interrupted_ && interrupted_(); }
    void note_directory(const std::string& path);
    bool expand_directories(std::string_view pattern);
    void scan_directory(SearchDirectory& directory, const NamePatterns& patterns);
    void take_entry(const std::string& directory, const char* entry_name, unsigned char d_type,
                    const NamePatterns& patterns, int directory_fd);
    void merge_batch(SearchDirectory& directory);
    bool search_pattern(std::string_view unix_pattern);
    PatternOutcome translate_and_search(std::string_view pattern, std::string_view default_spec);
    PatternOutcome search_without_device(std::string_view pattern, std::string_view default_spec);

    SearchTree& tree_;
    const InterruptCheck& interrupted_;
    DotfileMode mode_;
    bool with_status_;
    // The directories the current pattern reached, each once; the marks run
    // parallel to the tree's directory list.
    std::vector<size_t> pattern_found_;
    std::vector<char> pattern_marked_;
    std::vector<FoundFile> batch_, merged_;
    // Directories an ellipsis has read whole, until their files are taken;
    // past a bound on their names, a huge tree is read a second time
    // instead of being held.
    static constexpr size_t kMaxKeptNames = 8 << 20;
    std::unordered_map<std::string, DirectoryListing> listings_;
    size_t kept_names_ = 0;
};

void Gatherer::note_directory(const std::string& path) {
    auto [it, added] = tree_.directory_index.try_emplace(path, tree_.directories.size());
    if (added) tree_.directories.push_back(SearchDirectory{path, {}});
    size_t index = it->second;
    if (pattern_marked_.size() <= index) pattern_marked_.resize(index + 1, 0);
    if (pattern_marked_[index]) return;
    pattern_marked_[index] = 1;
    pattern_found_.push_back(index);
}

// Expands a directory pattern depth first, each directory before the ones
// below it. False when an interrupt cut the walk short.
bool Gatherer::expand_directories(std::string_view pattern) {
    for (size_t index : pattern_found_) pattern_marked_[index] = 0;
    pattern_found_.clear();
    std::vector<std::string> work{std::string(pattern.empty() ? std::string_view("./") : pattern)};
    while (!work.empty()) {
        if (stop()) return false;
        std::string path = std::move(work.back());
        work.pop_back();
        WildComponent wild;
        if (!find_wild_component(path, wild)) {
            if (listings_.contains(path) || is_directory_path(path)) note_directory(path);
            continue;
        }
        // An ellipsis at the end scans every directory it reaches: the
        // files are kept from this reading.
        DirectoryListing* all = nullptr;
        std::string prefix(wild.prefix);
        if (wild.ellipsis && wild.rest.empty() && !prefix.empty() && kept_names_ < kMaxKeptNames)
            all = &listings_[prefix];
        std::vector<std::string> names;
        bool listed = matching_subdirectories(wild, all, names);
        if (all && !listed) listings_.erase(prefix);
        else if (all) kept_names_ += all->names.size();
        std::string_view middle = wild.ellipsis ? "/./" : "/";
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            std::string next = std::string(wild.prefix) + *name;
            next.append(middle).append(wild.rest);
            if (next.size() <= kMaxPathLength) work.push_back(std::move(next));
        }
        // The ellipsis also stands for no level at all; that comes first.
        if (wild.ellipsis) work.push_back(std::string(wild.prefix) + std::string(wild.rest));
    }
    return true;
}

// Adds the batch to the directory's sorted list, each name once. The batch
// is sorted once rather than inserted entry by entry, which would cost a
// quadratic number of moves in a large directory.
void Gatherer::merge_batch(SearchDirectory& directory) {
    std::sort(batch_.begin(), batch_.end(), by_name);
    merged_.clear();
    merged_.reserve(directory.files.size() + batch_.size());
    auto old_file = directory.files.begin();
    for (FoundFile& file : batch_) {
        while (old_file != directory.files.end() && by_name(*old_file, file))
            merged_.push_back(std::move(*old_file++));
        if (old_file != directory.files.end() && old_file->name() == file.name()) continue;
        if (!merged_.empty() && merged_.back().name() == file.name()) continue;
        merged_.push_back(std::move(file));
    }
    while (old_file != directory.files.end()) merged_.push_back(std::move(*old_file++));
    directory.files.assign(std::make_move_iterator(merged_.begin()),
                           std::make_move_iterator(merged_.end()));
    merged_.clear();
}

// One entry of a directory being scanned; `directory_fd` is the open
// directory, or AT_FDCWD when the entry comes from a kept listing.
void Gatherer::take_entry(const std::string& directory, const char* entry_name, unsigned char d_type,
                          const NamePatterns& patterns, int directory_fd) {
    std::string_view full_name = entry_name;
    if (!patterns.quick.accepts(full_name)) return;
    if (directory.size() + full_name.size() > kMaxPathLength) return;
    const char* status_name = entry_name;
    std::string path;
    if (directory_fd == AT_FDCWD) {
        path.append(directory).append(full_name);
        status_name = path.c_str();
    }
    struct stat st {};
    bool have_status = false;
    bool is_directory = d_type == DT_DIR;
    if (d_type == DT_UNKNOWN || d_type == DT_LNK) {
        if (fstatat(directory_fd, status_name, &st, 0) != 0) return;
        have_status = true;
        is_directory = S_ISDIR(st.st_mode);
    }
    std::string_view name, type;
    split_file_name(full_name, mode_, name, type);
    if (is_directory) name = full_name, type = ".dir";
    if (!patterns.name.matches(name) || !match_type(patterns.type, type)) return;
    if (!have_status && !with_status_) {
        batch_.push_back(entry_record(directory, full_name, type_of_entry(d_type)));
        return;
    }
    if (!have_status && fstatat(directory_fd, status_name, &st, 0) != 0) return;
    batch_.push_back(file_record(directory, full_name, st));
}

void Gatherer::scan_directory(SearchDirectory& directory, const NamePatterns& patterns) {
    batch_.clear();
    if (auto kept = listings_.find(directory.path); kept != listings_.end()) {
        const DirectoryListing& listing = kept->second;
        for (size_t i = 0; i < listing.entries.size(); ++i)
            take_entry(directory.path, listing.name(i), listing.entries[i].second, patterns, AT_FDCWD);
        kept_names_ -= listing.names.size();
        listings_.erase(kept);
    } else {
        DirectoryStream stream(directory.path);
        if (!stream.is_open()) return;
        while (const dirent* entry = stream.next())
            take_entry(directory.path, entry->d_name, entry->d_type, patterns, stream.fd());
    }
    if (!batch_.empty()) merge_batch(directory);
}

// Searches one translated pattern. False when an interrupt stopped it.
bool Gatherer::search_pattern(std::string_view unix_pattern) {
    UnixPathParts parts;
    split_pattern(parts, unix_pattern, mode_);
    if (!expand_directories(parts.directory)) return false;
    NamePatterns patterns{WildcardPattern(parts.name, false), parts.type, QuickFilter(parts.name)};
    for (size_t index : pattern_found_) {
        if (stop()) return false;
        scan_directory(tree_.directories[index], patterns);
    }
    return true;
}

// Translates one pattern against `default_spec`, searches it and records
// its VMS form as the resultant specification.
PatternOutcome Gatherer::translate_and_search(std::string_view pattern,
                                              std::string_view default_spec) {
    std::string unix_pattern;
    uint32_t status = vms_to_unix_core(unix_pattern, pattern, default_spec, {}, mode_);
    if (!translation_ok(status)) {
        signal_condition(status, pattern);
        return PatternOutcome::failed;
    }
    bool finished = search_pattern(unix_pattern);
    unix_to_vms(tree_.resultant_spec, unix_pattern);
    return finished ? PatternOutcome::searched : PatternOutcome::interrupted;
}

// A pattern without a device searches every directory of DEF$DISK when
// that is a search list, else the command's default.
PatternOutcome Gatherer::search_without_device(std::string_view pattern,
                                               std::string_view default_spec) {
    std::vector<std::string> disks = default_disk_list();
    if (disks.empty()) return translate_and_search(pattern, default_spec);
    for (const std::string& disk : disks) {
        std::string disk_default;
        uint32_t status = vms_to_unix(disk_default, disk, default_spec, {});
        if (status == cond::NOSUCHNODE) status = cond::NONODE;
        if (!translation_ok(status)) {
            signal_condition(status, disk);
            return PatternOutcome::failed;
        }
        PatternOutcome outcome = translate_and_search(pattern, disk_default);
        if (outcome != PatternOutcome::searched) return outcome;
    }
    return PatternOutcome::searched;
}

// One item of the list. Returns 1, 0 after reporting, or a condition.
uint32_t Gatherer::search_item(std::string_view item, std::string_view default_spec) {
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
        PatternOutcome outcome = has_device ? translate_and_search(pattern, default_spec)
                                            : search_without_device(pattern, default_spec);
        if (outcome != PatternOutcome::searched) return 0;
    }
    return 1;
}

}  // namespace

void split_file_name(std::string_view entry, DotfileMode mode, std::string_view& name,
                     std::string_view& type) {
    size_t dot = entry.rfind('.');
    bool typed = dot != std::string_view::npos && (dot > 0 || mode == DotfileMode::vms_types);
    name = typed ? entry.substr(0, dot) : entry;
    type = typed ? entry.substr(dot) : std::string_view{};
}

void SearchTree::clear() {
    directories.clear();
    directory_index.clear();
    resultant_spec.clear();
}

uint32_t gather_files(SearchTree& tree, std::string_view specs, std::string_view default_spec,
                      const InterruptCheck& interrupted, bool with_status) {
    tree.clear();
    Gatherer gatherer(tree, interrupted, with_status);
    for (const std::string& item : split_items(specs)) {
        uint32_t status = gatherer.search_item(item, default_spec);
        if (status != 1) return status;
    }
    return 1;
}

}  // namespace dcl
