// Wildcard matching of names, types, directory paths and exclusions.
//
// A pattern is compiled into a list of elements and matched by carrying
// the set of every element position reachable so far through the text, one
// character at a time. That costs (text length x pattern length) at worst,
// whatever mix of "*" and "%" the pattern holds, where a backtracking
// matcher can take exponential time on patterns such as "*a*a*a*b".
#include <algorithm>

#include "files/filespec.h"
#include "files/search.h"

namespace dcl {

namespace {

// Letters compare without case; in directory paths the two bracket styles
// are the same bracket.
char fold(char c, bool directory) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    if (directory && c == '<') return '[';
    if (directory && c == '>') return ']';
    return c;
}

bool ellipsis_marker_at(std::string_view pattern, size_t i) {
    return pattern.substr(i, 3) == "/./";
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern, bool directory) : directory_(directory) {
    elements_.reserve(pattern.size() + 2);
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '"') {
            if (quoted && i + 1 < pattern.size() && pattern[i + 1] == '"') {
                elements_.push_back({Step::exact, '"'});
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (quoted) {
            elements_.push_back({Step::exact, c});
        } else if (c == '*') {
            wild_ = true;
            elements_.push_back({Step::run, c});
        } else if (c == '%' || c == '?') {
            wild_ = true;
            elements_.push_back({Step::one, c});
        } else if (directory && ellipsis_marker_at(pattern, i)) {
            // "/./" is "/" followed by nothing or by any levels ending in "/".
            wild_ = true;
            elements_.push_back({Step::folded, '/'});
            elements_.push_back({Step::deep_enter, '/'});
            elements_.push_back({Step::deep_inside, '/'});
            i += 2;
        } else {
            elements_.push_back({Step::folded, fold(c, directory)});
        }
    }
    ends_in_dot_ = !elements_.empty() && elements_.back().step == Step::folded &&
                   elements_.back().c == '.';
}

// Adds the positions reachable without reading a character. Those moves
// only go forward, so one ascending pass reaches them all.
void WildcardPattern::close(std::vector<char>& states) const {
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (!states[i]) continue;
        if (elements_[i].step == Step::run) states[i + 1] = 1;
        if (elements_[i].step == Step::deep_enter) states[i + 2] = 1;
    }
}

void WildcardPattern::advance(std::vector<char>& from, std::vector<char>& to, char c) const {
    std::fill(to.begin(), to.end(), 0);
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (!from[i]) continue;
        const Element& e = elements_[i];
        switch (e.step) {
        case Step::folded:
            if (fold(c, directory_) == e.c) to[i + 1] = 1;
            break;
        case Step::exact:
            if (c == e.c) to[i + 1] = 1;
            break;
        case Step::one:
            if (c != '/') to[i + 1] = 1;
            break;
        case Step::run:
            if (c != '/') to[i] = 1;
            break;
        case Step::deep_enter:
            to[i + 1] = 1;
            if (c == '/') to[i + 2] = 1;
            break;
        case Step::deep_inside:
            to[i] = 1;
            if (c == '/') to[i + 1] = 1;
            break;
        }
    }
    close(to);
}

// Used up, or left with only a final "." that the text does not have.
bool WildcardPattern::accepting(const std::vector<char>& states) const {
    size_t end = elements_.size();
    return states[end] || (ends_in_dot_ && states[end - 1]);
}

bool WildcardPattern::matches(std::string_view text) const {
    current_.assign(elements_.size() + 1, 0);
    following_.assign(elements_.size() + 1, 0);
    current_[0] = 1;
    close(current_);
    for (size_t k = 0; k < text.size(); ++k) {
        // A pattern that is used up also matches a remaining "." alone.
        if (k + 1 == text.size() && text[k] == '.' && accepting(current_)) return true;
        advance(current_, following_, text[k]);
        current_.swap(following_);
        if (std::none_of(current_.begin(), current_.end(), [](char s) { return s != 0; }))
            return false;
    }
    return accepting(current_);
}

bool match_name(std::string_view pattern, std::string_view name) {
    return WildcardPattern(pattern, false).matches(name);
}

bool match_directory(std::string_view pattern, std::string_view path) {
    return WildcardPattern(pattern, true).matches(path);
}

bool match_type(std::string_view pattern_type, std::string_view file_type) {
    if (file_type.empty() || file_type == ".")
        return pattern_type.empty() || pattern_type == "." || pattern_type == ".*";
    if (pattern_type.empty() || pattern_type == ".") return false;
    return match_name(pattern_type, file_type);
}

bool match_exclude(std::string_view pattern, std::string_view path) {
    DotfileMode mode = current_dotfile_mode();
    UnixPathParts exclusion, file;
    split_unix_path(exclusion, pattern, mode);
    split_unix_path(file, path, mode);
    if (!match_directory(exclusion.directory, file.directory)) return false;
    if (!match_name(exclusion.name, file.name)) return false;
    if (exclusion.type.empty()) return true;  // no type given: any type
    if (file.type.empty() || file.type == ".")
        return exclusion.type == "." || exclusion.type == ".*";
    return match_name(exclusion.type, file.type);
}

}  // namespace dcl
