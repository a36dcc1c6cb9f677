// Reading the defaults files.
#include "status/defaults_file.h"

#include <cctype>
#include <cstdio>

#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

constexpr size_t kMaxLine = 253;
constexpr size_t kMaxKey = 10;

std::string squeeze_blanks(std::string_view line) {
    std::string out;
    bool blank = false;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = true;
            continue;
        }
        if (blank) out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    if (blank) out.push_back(' ');
    return out;
}

void take_line(std::string_view raw) {
    std::string line = squeeze_blanks(raw);
    size_t blank = line.find(' ');
    std::string key = line.substr(0, blank);
    if (key.empty() || !std::isalnum(static_cast<unsigned char>(key[0])) || key.size() > kMaxKey)
        return;
    std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
    defaults_list().entries.emplace(std::move(key), std::move(value));  // first file wins
}

std::string join(const std::string& dir, const char* file) {
    return !dir.empty() && dir.back() == '/' ? dir + file : dir + "/" + file;
}

}  // namespace

void reset_defaults_list() { defaults_list() = DefaultsList{}; }

void read_defaults_file(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "re");
    if (!f) return;
    char buf[kMaxLine + 2];
    while (std::fgets(buf, sizeof buf, f)) {
        std::string_view line(buf);
        if (line.empty() || line.back() != '\n') {
            signal_condition(with_severity(cond::ERROR, SEV_ERROR), "defaults file line too long");
            show_messages();
            break;
        }
        line.remove_suffix(1);
        take_line(line);
    }
    std::fclose(f);
}

void read_defaults_files() {
    defaults_list().entries.clear();
    read_defaults_file(join(session().home_dir, ".qvdefaults"));
    read_defaults_file(join(session().install_dir, "qvdefaults"));
}

std::optional<std::string> default_value(std::string_view key) {
    const std::map<std::string, std::string>& entries = defaults_list().entries;
    auto it = entries.find(std::string(key));
    if (it == entries.end()) return std::nullopt;
    return it->second;
}

}  // namespace dcl
