// Reading and indexing help libraries, and matching topic words.
#include "help/help_library.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/unique_fd.h"
#include "files/wildcard.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr std::string_view kMagic = "!<arch>";

std::string_view trim_end(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool is_blank_char(char c) { return c == ' ' || c == '\t'; }

// The qualifier name of a line "/NAME ...", or empty.
std::string_view qualifier_line(std::string_view line) {
    if (line.size() < 2 || line.front() != '/' || is_blank_char(line[1])) return {};
    return trim_end(line);
}

bool less_nocase(const HelpKey& a, const HelpKey& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) { return upper_ascii(x) < upper_ascii(y); });
}

}  // namespace

int key_line_level(std::string_view line, std::string_view& key) {
    if (line.size() < 3 || line[0] < '1' || line[0] > '9' || !is_blank_char(line[1])) return 0;
    size_t start = line.find_first_not_of(" \t", 1);
    if (start == std::string_view::npos) return 0;
    key = trim_end(line.substr(start));
    return key.empty() ? 0 : line[0] - '0';
}

bool match_help_key(std::string_view pattern, std::string_view key) {
    if (pattern.empty() || pattern == "/") return false;
    if (pattern.find_first_of("*%") == std::string_view::npos)
        return key.size() >= pattern.size() && equal_nocase(key.substr(0, pattern.size()), pattern);
    return wildcard_match(upper_ascii(pattern), upper_ascii(key));
}

int64_t HelpLibrary::load(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || fstat(fd.get(), &st) != 0) return -static_cast<int64_t>(errno);
    if (S_ISDIR(st.st_mode)) return -static_cast<int64_t>(EISDIR);
    std::string text;
    char block[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -static_cast<int64_t>(errno);
        if (n == 0) break;
        text.append(block, static_cast<size_t>(n));
    }
    return load_text(std::move(text));
}

uint32_t HelpLibrary::load_text(std::string text) {
    text_ = std::move(text);
    lines_.clear();
    topics_.clear();
    problem_.clear();
    std::string_view all(text_);
    while (!all.empty()) {
        size_t end = all.find('\n');
        lines_.push_back(all.substr(0, end));
        if (end == std::string_view::npos) break;
        all.remove_prefix(end + 1);
    }
    if (lines_.empty() || trim_end(lines_.front()) != kMagic) return with_severity(cond::ILLFMT, SEV_ERROR);
    return index();
}

uint32_t HelpLibrary::index() {
    std::string_view key;
    for (size_t i = 1; i < lines_.size(); ++i)
        if (key_line_level(lines_[i], key) == 1) topics_.push_back({std::string(key), 1, i});
    std::stable_sort(topics_.begin(), topics_.end(), less_nocase);
    for (size_t i = 1; i < topics_.size(); ++i) {
        if (equal_nocase(topics_[i - 1].name, topics_[i].name)) {
            problem_ = topics_[i].name;
            topics_.clear();
            return cond::HELP_ILLFMT;
        }
    }
    return 1;
}

std::vector<HelpKey> HelpLibrary::below(const HelpKey& key) const {
    std::vector<HelpKey> out;
    bool direct = true;  // no deeper key seen yet: qualifier lines are the key's
    std::string_view name;
    // A qualifier line ends where the next entry begins: nothing is below it.
    if (key.line >= lines_.size() || key_line_level(lines_[key.line], name) == 0) return out;
    for (size_t i = key.line + 1; i < lines_.size(); ++i) {
        int level = key_line_level(lines_[i], name);
        if (level != 0 && level <= key.level) break;
        if (level == key.level + 1) {
            out.push_back({std::string(name), level, i});
            direct = false;
        } else if (level > key.level + 1) {
            direct = false;
        } else if (level == 0 && direct && key.level < 9) {
            std::string_view qualifier = qualifier_line(lines_[i]);
            if (!qualifier.empty()) out.push_back({std::string(qualifier), key.level + 1, i});
        }
    }
    return out;
}

std::vector<std::string_view> HelpLibrary::text(const HelpKey& key) const {
    std::vector<std::string_view> out;
    std::string_view name;
    for (size_t i = key.line + 1; i < lines_.size(); ++i) {
        if (key_line_level(lines_[i], name) != 0 || !qualifier_line(lines_[i]).empty()) break;
        out.push_back(lines_[i]);
    }
    return out;
}

}  // namespace dcl
