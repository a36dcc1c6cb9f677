// FileWalker: the search of files/search.cpp run for one list, and the
// time, owner and exclusion selection applied file by file as the walk
// goes, so that nothing is copied out of the tree the search built.
#include "files/file_walker.h"

#include <sys/stat.h>

#include <algorithm>

#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

bool translation_ok(uint32_t status) { return status == 1 || status == cond::NOLOGNAM; }

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

int64_t selected_time(const FoundFile& file, int selector) {
    if (selector == TIME_MODIFIED) return file.modified;
    if (selector == TIME_ACCESSED) return file.accessed;
    return file.changed;
}

// In hundredths, so that a time given to the hundredth still compares.
int64_t hundredths_of(const VmsTime& time) { return time.seconds * 100 + time.hundredths; }

// `path` and `local` are scratch space kept from one file to the next.
bool excluded(const std::vector<std::string>& exclusions, const FoundFile& file,
              std::string& path, std::string& local) {
    if (exclusions.empty()) return false;
    // A directory is excluded under the name it is listed with, NAME.DIR.
    path.assign(file.path);
    if (S_ISDIR(file.mode)) path += ".dir";
    return path_excluded(exclusions, path, file.name_offset, local);
}

}  // namespace

uint32_t translate_exclusions(std::vector<std::string>& out, const std::vector<std::string>& specs,
                              DotfileMode mode) {
    size_t space = 0;
    for (const std::string& spec : specs) {
        std::string unix_form;
        uint32_t status = vms_to_unix_core(unix_form, spec, "[*]", {}, mode);
        if (!translation_ok(status)) {
            signal_condition(status, spec);
            return 0;
        }
        space += unix_form.size() + 1;
        if (space > kExclusionSpace) return cond::BUFOVF;
        out.push_back(std::move(unix_form));
    }
    return 1;
}

bool path_excluded(const std::vector<std::string>& exclusions, std::string_view path,
                   size_t name_offset, std::string& local) {
    size_t count = std::min(exclusions.size(), kMaxAppliedExclusions);
    for (size_t i = 0; i < count; ++i) {
        const std::string& pattern = exclusions[i];
        if (!pattern.starts_with("/*/")) {
            if (match_exclude(pattern, path)) return true;
            continue;
        }
        local.assign(path, 0, name_offset).append(pattern, 3);
        if (match_exclude(local, path)) return true;
    }
    return false;
}

// ---- output names ------------------------------------------------------------

uint32_t OutputNames::prepare(std::string_view spec, std::string_view default_spec,
                              DotfileMode mode) {
    prepared_ = false;
    std::string path;
    uint32_t status = vms_to_unix_core(path, spec, default_spec, {}, mode);
    if (!translation_ok(status)) return status;
    UnixPathParts parts;
    split_unix_path(parts, path, mode);
    // A wildcard must be a whole field, and a directory cannot be made up.
    if (wildcard_kind(parts.directory) != 0) return cond::FNM;
    if (wildcard_kind(parts.name) != 0 && parts.name != "*") return cond::FNM;
    if (wildcard_kind(parts.type) != 0 && parts.type != ".*") return cond::FNM;
    bool no_type = parts.type == "." || filespec_detail::equal_case_blind(parts.type, ".dir") ||
                   parts.directory.starts_with("/dev/");
    input_name_ = parts.name.empty() || parts.name == "*";
    input_type_ = !no_type && (parts.type.empty() || parts.type == ".*");
    single_file_ = !input_name_ && !parts.type.empty() && parts.type != ".*";
    directory_ = std::move(parts.directory);
    name_ = input_name_ ? std::string() : std::move(parts.name);
    type_ = input_type_ || no_type ? std::string() : std::move(parts.type);
    mode_ = mode;
    prepared_ = true;
    return 1;
}

void OutputNames::complete(std::string& out, std::string_view input_name) const {
    std::string_view name, type;
    split_file_name(input_name, mode_, name, type);
    out.assign(directory_);
    out.append(input_name_ ? name : std::string_view(name_));
    out.append(input_type_ ? type : std::string_view(type_));
}

// ---- the walker ----------------------------------------------------------------

FileWalker::FileWalker(std::string_view specs, std::string_view default_spec,
                       SearchSelection selection, InterruptCheck interrupted)
    : specs_(specs),
      default_spec_(default_spec),
      selection_(std::move(selection)),
      interrupted_(std::move(interrupted)) {}

uint32_t FileWalker::set_output(std::string_view spec, std::string_view default_spec) {
    return output_.prepare(spec, default_spec, current_dotfile_mode());
}

uint32_t FileWalker::start() {
    started_ = true;
    ended_ = true;
    interrupted_flag_ = false;
    directory_ = file_ = 0;
    taken_ = 0;
    exclusions_.clear();
    tree_.clear();
    if (!valid_time_selector(selection_)) return status_ = 0;
    status_ = translate_exclusions(exclusions_, selection_.excludes, current_dotfile_mode());
    if (status_ != 1) return status_;
    bool with_status =
        !names_only_ || selection_.before || selection_.since || selection_.owner;
    status_ = gather_files(tree_, specs_, default_spec_, interrupted_, with_status);
    if (status_ != 1) {
        interrupted_flag_ = status_ == 0 && interrupted_ && interrupted_();
        return status_;
    }
    bool any_found = std::any_of(tree_.directories.begin(), tree_.directories.end(),
                                 [](const SearchDirectory& d) { return !d.files.empty(); });
    ended_ = !any_found;
    return status_ = any_found ? 1 : cond::FNF;
}

bool FileWalker::selected(const FoundFile& file) const {
    int64_t when = selected_time(file, selection_.time_selector) * 100;
    if (selection_.before && !(when < hundredths_of(*selection_.before))) return false;
    if (selection_.since && !(when > hundredths_of(*selection_.since))) return false;
    if (selection_.owner) {
        const Uic& owner = *selection_.owner;
        if (file.group != owner.group || file.owner != owner.user)
            return false;
    }
    return !excluded(exclusions_, file, scratch_path_, scratch_local_);
}

// Moves to the tree's next file, selected or not; current() is then it.
bool FileWalker::advance() {
    while (directory_ < tree_.directories.size()) {
        if (file_ < tree_.directories[directory_].files.size()) {
            ++file_;
            return true;
        }
        ++directory_;
        file_ = 0;
    }
    return false;
}

bool FileWalker::end_walk(uint32_t status) {
    ended_ = true;
    status_ = status;
    return false;
}

bool FileWalker::next() {
    if (!started_) start();
    if (ended_) return false;
    while (advance()) {
        if (interrupted_ && interrupted_()) {
            interrupted_flag_ = true;
            return end_walk(0);
        }
        const FoundFile& file = current();
        if (!selected(file)) continue;
        if (output_.prepared()) output_.complete(output_path_, file.name());
        WalkAnswer answer = confirm_ ? confirm_(file, output_path_) : WalkAnswer::take;
        if (answer == WalkAnswer::skip) continue;
        if (answer == WalkAnswer::quit) return end_walk(status_);
        if (answer == WalkAnswer::abort) return end_walk(0);
        ++taken_;
        return true;
    }
    ended_ = true;
    return false;
}

void FileWalker::vms_name(std::string& out) const {
    const FoundFile& file = current();
    unix_to_vms(out, file.path);
    if (!S_ISDIR(file.mode)) return;
    if (!out.empty() && out.back() == '.') out.pop_back();
    out += ".dir";
}

uint32_t FileWalker::walk(const Action& action) {
    if (!started_) start();
    if (status_ != 1) return status_;
    while (next()) {
        uint32_t status = action(current(), output_path_);
        if (!is_success(status)) return status;
        if (log_) log_(current(), output_path_);
    }
    return status_;
}

}  // namespace dcl
