// VMS specifications to Unix paths: logical names as devices and as whole
// specifications, the bracketed directory mapped onto Unix directories,
// and the clean-up of the resulting path.
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/cli_options.h"
#include "status/condition.h"

namespace dcl {

namespace {

constexpr size_t npos = std::string_view::npos;

// A device name that still translates after this many replacements is
// taken to loop.
constexpr int kMaxDeviceRounds = 10;

// getcwd is retried with larger buffers up to this size.
constexpr size_t kMaxCurrentDirectory = 65536;

bool is_open_bracket(char c) { return c == '[' || c == '<'; }
bool is_close_bracket(char c) { return c == ']' || c == '>'; }
bool ends_directory_level(char c) { return c == '.' || is_close_bracket(c); }

bool has_upper_case(std::string_view text) {
    for (char c : text)
        if (c >= 'A' && c <= 'Z') return true;
    return false;
}

void lower_in_place(std::string& text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) text[i] = filespec_detail::lower_char(text[i]);
}

// "Exists" for a translated path: "X.DIR" names the directory X and "X."
// the file X.
bool exists_as_named(const std::string& path) {
    if (path_exists(path)) return true;
    if (filespec_detail::ends_with_case_blind(path, ".dir"))
        return is_directory(path.substr(0, path.size() - 4));
    if (!path.empty() && path.back() == '.') return path_exists(path.substr(0, path.size() - 1));
    return false;
}

uint32_t translate_device_rounds(std::string& name, std::string_view table, int& rounds) {
    bool replaced = false;
    std::string value;
    for (;;) {
        size_t colon = name.find(':');
        if (colon != npos) {
            // "DEV:REST": the device alone is translated, the colon goes.
            std::string head = name.substr(0, colon);
            uint32_t status = translate_device_rounds(head, table, rounds);
            if (status == cond::NORMAL) {
                if (head.size() + name.size() - colon - 1 > kMaxPathLength) return cond::BUFOVF;
                head.append(name, colon + 1);
                name.swap(head);
                return cond::NORMAL;
            }
            if (status != cond::NOLOGNAM) return status;
            break;
        }
        uint32_t attributes = 0;
        if (!filespec_detail::may_be_logical_name(name) ||
            filespec_detail::translate_name(table, name, 0, value, &attributes) != cond::NORMAL)
            break;
        if (value.empty() || (attributes & LNM_TABLE)) break;
        if (++rounds > kMaxDeviceRounds) return cond::TOOMANYLNAM;
        name.swap(value);
        replaced = true;
    }
    return replaced ? cond::NORMAL : cond::NOLOGNAM;
}

// Walks the bracketed part of a specification and writes the Unix form.
class DirectoryMapper {
public:
    DirectoryMapper(std::string& out, std::string_view text) : out_(out), text_(text) {}

    void run() {
        while (i_ < text_.size()) {
            if (inside_) map_inside();
            else if (!map_outside()) break;
        }
    }

    // A directory typed in upper case that does not exist is looked for
    // in lower case.
    void prefer_lower_case_directory() {
        if (dir_begin_ == npos || dir_end_ <= dir_begin_) return;
        std::string directory = out_.substr(0, dir_end_);
        if (!has_upper_case(std::string_view(directory).substr(dir_begin_)) ||
            is_directory(directory))
            return;
        lower_in_place(directory, dir_begin_);
        if (is_directory(directory)) out_.replace(0, dir_end_, directory);
    }

private:
    char at(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    bool map_outside() {
        char c = text_[i_];
        if (is_open_bracket(c)) {
            open_directory();
            return true;
        }
        // The version and a final dot (no type) are left out.
        if (c == ';' || (c == '.' && (at(i_ + 1) == '\0' || at(i_ + 1) == ';'))) return false;
        out_.push_back(c);
        ++i_;
        return true;
    }

    void map_inside() {
        char c = text_[i_];
        if (is_close_bracket(c)) {
            out_.push_back('/');
            inside_ = false;
            rooted_ = i_ > 0 && text_[i_ - 1] == '.';
            close_at_ = ++i_;
            dir_end_ = out_.size();
        } else if (text_.compare(i_, 3, "...") == 0) {
            out_.append("/./");
            i_ += 3;
        } else if (c == '.') {
            if (!is_close_bracket(at(i_ + 1))) out_.push_back('/');
            ++i_;
        } else if (c == '-' && ends_directory_level(at(i_ + 1))) {
            out_.append("..");
            ++i_;
        } else {
            out_.push_back(c);
            ++i_;
        }
    }

    void open_directory() {
        bool joined = rooted_ && i_ == close_at_;  // "[usr.local.][bin]"
        ++i_;
        inside_ = true;
        if (dir_begin_ == npos && !joined) start_directory();
        if (text_.compare(i_, 6, "000000") == 0 && ends_directory_level(at(i_ + 6))) {
            if (!joined) out_.push_back('/');
            i_ += 6;
            if (at(i_) == '.') ++i_;  // further levels follow
            else close_root();
            return;
        }
        if (joined) return;
        map_directory_start();
    }

    // The first characters of a directory that is not joined to a rooted
    // one: "[]", "[.]", "[.A]", "[...]", "[-" or an absolute directory.
    void map_directory_start() {
        char c = at(i_);
        if (is_close_bracket(c) || (c == '.' && is_close_bracket(at(i_ + 1)))) {
            i_ += c == '.' ? 2 : 1;  // the current directory: nothing
            inside_ = false;
            return;
        }
        if (c == '.') {
            append_relative_base();
            dir_begin_ = out_.size();
            if (text_.compare(i_, 3, "...") == 0) {
                out_.append("/./");
                i_ += 3;
            } else {
                ++i_;
            }
            return;
        }
        if (c == '-') {
            out_.append("..");
            ++i_;
            if (!ends_directory_level(at(i_))) out_.push_back('/');
            return;
        }
        out_.push_back('/');
    }

    // "[.A]" is relative to what the text already named (a device that
    // translated to a Unix directory), or else to the current directory.
    void append_relative_base() {
        if (!out_.empty()) {
            if (out_.back() != '/') out_.push_back('/');
            return;
        }
        std::string cwd;
        if (filespec_detail::current_directory(cwd)) out_.append(cwd);
        else out_.push_back('.');
        out_.push_back('/');
    }

    void start_directory() { dir_begin_ = out_.size(); }

    void close_root() {
        ++i_;
        inside_ = false;
        rooted_ = false;
        close_at_ = i_;
        dir_end_ = out_.size();
    }

    std::string& out_;
    std::string_view text_;
    size_t i_ = 0;
    bool inside_ = false;
    bool rooted_ = false;       // the last directory closed after a "."
    size_t close_at_ = npos;    // just after the last closing bracket
    size_t dir_begin_ = npos;   // the part of `out_` made from brackets
    size_t dir_end_ = npos;
};

// "DEV:REST" with DEV a logical name: DEV's value in front of REST; a
// device that does not translate is dropped (444).
uint32_t translate_leading_device(std::string& merged) {
    size_t colon = merged.find(':');
    if (colon == npos || colon == 0) return cond::NORMAL;
    std::string device = merged.substr(0, colon);
    uint32_t status = translate_device(device, kFileDevTable);
    if (status == cond::NOLOGNAM) {
        merged.erase(0, colon + 1);
        return cond::NOLOGNAM;
    }
    if (status != cond::NORMAL) return status;
    std::string_view rest = std::string_view(merged).substr(colon + 1);
    if (rest.empty() || (rest[0] != '/' && !is_open_bracket(rest[0]))) device.push_back('/');
    if (device.size() + rest.size() > kMaxPathLength) return cond::BUFOVF;
    device.append(rest);
    merged.swap(device);
    return cond::NORMAL;
}

// A relative result is put under the current directory ("./" stays).
void make_absolute(std::string& path) {
    if (path.starts_with("./")) return;
    std::string full;
    if (!filespec_detail::current_directory(full)) full.assign(".");
    full.push_back('/');
    full.append(path);
    path.swap(full);
}

// The last steps of a single-file translation: "%" is "?", the ellipsis
// marker goes, and "X." and "X.DIR" name the file X.
void finish_single_file(std::string& path) {
    size_t write = 0;
    size_t last_dot = npos;
    bool quoted = false;
    for (size_t read = 0; read < path.size(); ++read) {
        char c = path[read];
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '/' && path.compare(read, 3, "/./") == 0) {
            ++read;  // the "/." goes; the "/" after it is copied next
            continue;
        }
        if (!quoted && c == '%') c = '?';
        if (!quoted && c == '.') last_dot = write;
        path[write++] = c;
    }
    path.resize(write);
    if (last_dot == npos) return;
    std::string_view after = std::string_view(path).substr(last_dot);
    if (after.size() == 1 || filespec_detail::equal_case_blind(after, ".dir")) path.resize(last_dot);
}

}  // namespace

DotfileMode current_dotfile_mode() {
    return cli_options().vms_dotfiles ? DotfileMode::vms_types : DotfileMode::unix_names;
}

bool path_exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool is_directory(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace filespec_detail {

bool current_directory(std::string& out) {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) {
        out.assign(buffer);
        return true;
    }
    std::string larger(sizeof buffer * 2, '\0');
    while (errno == ERANGE && larger.size() <= kMaxCurrentDirectory) {
        if (getcwd(larger.data(), larger.size())) {
            larger.resize(std::strlen(larger.c_str()));
            out.swap(larger);
            return true;
        }
        larger.resize(larger.size() * 2);
    }
    return false;
}

uint32_t translate_name(std::string_view table, std::string_view name, uint32_t index,
                        std::string& value, uint32_t* attributes) {
    return lnm_translate(table, name, &value, nullptr, LNM_CASE_BLIND, index, attributes);
}

bool may_be_logical_name(std::string_view text) {
    // One trailing colon is not part of the name.
    size_t limit = kMaxLogicalName + (text.ends_with(':') ? 1 : 0);
    return !text.empty() && text.size() <= limit && text.find_first_of("[]<>/") == npos;
}

}  // namespace filespec_detail

uint32_t translate_device(std::string& name, std::string_view table) {
    int rounds = 0;
    return translate_device_rounds(name, table, rounds);
}

size_t vms_dir_to_unix(std::string& out, std::string_view spec) {
    out.clear();
    size_t colon = spec.find(':');
    size_t device_end = colon == npos ? 0 : colon + 1;
    out.append(spec.substr(0, device_end));
    std::string_view rest = spec.substr(device_end);
    std::string compact;
    compact.reserve(rest.size());
    for (char c : rest)
        if (!is_blank(c)) compact.push_back(c);
    if (compact.find_first_of("[<;") == npos) {
        if (!compact.empty() && compact.back() == '.') compact.pop_back();
        out.append(compact);
        return out.size();
    }
    DirectoryMapper mapper(out, compact);
    mapper.run();
    if (device_end == 0) mapper.prefer_lower_case_directory();
    return out.size();
}

void normalize_unix_path(std::string& path, bool map_percent) {
    if (path.empty()) return;
    size_t write = 1;  // the first character is kept as it is
    bool quoted = path[0] == '"';
    size_t i = 1;
    while (i < path.size()) {
        char c = path[i];
        if (c == '"') quoted = !quoted;
        if (quoted || c == '"' || c != '/') {
            path[write++] = (!quoted && map_percent && c == '%') ? '?' : c;
            ++i;
            continue;
        }
        size_t run_end = i;
        while (run_end < path.size() && path[run_end] == '/') ++run_end;
        if (path.compare(run_end, 3, "../") == 0) {
            std::string_view kept(path.data(), write);
            size_t slash = kept.rfind('/');
            std::string_view last = slash == npos ? kept : kept.substr(slash + 1);
            if (kept == "/") {
                i = run_end + 2;  // ".." of the root is the root
                continue;
            }
            if (!last.empty() && last != "." && last != "..") {
                write = slash == npos ? 0 : (slash == 0 ? 1 : slash);
                // A relative path loses its first component and the "/".
                i = slash == npos ? run_end + 3 : run_end + 2;
                continue;
            }
        }
        if (write > 0 && path[write - 1] != '/') path[write++] = '/';
        i = run_end;
    }
    path.resize(write);
}

void fix_path_case(std::string& path) {
    if (path.empty() || exists_as_named(path)) return;
    size_t slash = path.rfind('/');
    size_t name_start = slash == npos ? 0 : slash + 1;
    std::string candidate = path.substr(0, name_start);
    if (name_start > 0 && has_upper_case(candidate) && !path_exists(candidate)) {
        std::string lower = candidate;
        lower_in_place(lower, 0);
        if (path_exists(lower)) candidate.swap(lower);
    }
    size_t directory_length = candidate.size();
    candidate.append(path, name_start);
    if (directory_length != name_start || candidate != path) {
        if (exists_as_named(candidate)) {
            path.swap(candidate);
            return;
        }
    }
    if (!has_upper_case(std::string_view(candidate).substr(directory_length))) return;
    lower_in_place(candidate, directory_length);
    if (exists_as_named(candidate)) path.swap(candidate);
}

uint32_t vms_to_unix_core(std::string& out, std::string_view spec, std::string_view default_spec,
                          std::string_view related, DotfileMode mode) {
    if (spec.size() > kMaxPathLength || default_spec.size() > kMaxPathLength ||
        related.size() > kMaxPathLength)
        return cond::BUFOVF;
    // A specification that is itself a logical name stands for its value.
    std::string whole;
    std::string_view source = spec;
    bool may_be_logical = filespec_detail::may_be_logical_name(spec);
    if (may_be_logical) {
        uint32_t status = filespec_detail::translate_name(kFileDevTable, spec, 0, whole);
        if (status == cond::NORMAL && !whole.empty()) {
            status = translate_device(whole, kFileDevTable);
            if (status != cond::NORMAL && status != cond::NOLOGNAM) return status;
            source = whole;
        } else if (status != cond::NORMAL) {
            may_be_logical = false;  // the merge need not ask again
        }
    }
    std::string merged;
    uint32_t status =
        filespec_detail::merge_known_spec(merged, source, default_spec, related, mode, may_be_logical);
    if (status != cond::NORMAL && status != cond::NOSUCHNODE) return status;
    uint32_t device_status = translate_leading_device(merged);
    if (device_status != cond::NORMAL && device_status != cond::NOLOGNAM) return device_status;
    if (status == cond::NORMAL) status = device_status;

    if (!check_directory_syntax(merged)) {
        out.swap(merged);
        return cond::RMS_DIR;
    }
    bool final_dot = !merged.empty() && merged.back() == '.';
    vms_dir_to_unix(out, merged);
    if (final_dot) out.push_back('.');
    if (!out.empty() && out[0] == '/') fix_path_case(out);
    else if (out.empty() || out[0] != '_') make_absolute(out);
    if (out.starts_with("/dev/")) {
        size_t dot = out.find('.');
        if (dot != npos) out.resize(dot);
    }
    normalize_unix_path(out, false);
    return out.size() > kMaxPathLength ? cond::BUFOVF : status;
}

uint32_t vms_to_unix(std::string& out, std::string_view spec, std::string_view default_spec,
                     std::string_view related) {
    if (spec.size() > kMaxPathLength) return cond::BUFOVF;
    if (!spec.empty() && spec[0] == '/') {
        out.assign(spec);
        return cond::NORMAL;
    }
    while (!spec.empty() && is_blank(spec.back())) spec.remove_suffix(1);
    uint32_t status = vms_to_unix_core(out, spec, default_spec, related, DotfileMode::unix_names);
    if (status != cond::NORMAL && status != cond::NOLOGNAM) return status;
    finish_single_file(out);
    normalize_unix_path(out, false);
    return status;
}

}  // namespace dcl
