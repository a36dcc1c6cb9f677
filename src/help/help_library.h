// Help libraries: the "!<arch>" file of topics that HELP reads. Key lines
// ("N KEY", N from 1 to 9) start a topic of level N; a line "/NAME" is a
// qualifier entry one level below the key above it; every other line is
// text. The library is read whole, so lines of any length stay whole and a
// piece of a long line can never pass for a key line. No streams and no
// terminal here: the HELP command shows what this finds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// One entry of a level: a key line or a qualifier line.
struct HelpKey {
    std::string name;    // as in the file, trailing blanks gone; "/NAME" for a qualifier
    int level = 0;       // 1..9
    size_t line = 0;     // where it stands in the library
    bool qualifier() const { return !name.empty() && name.front() == '/'; }
};

class HelpLibrary {
public:
    // Reads `path`. 1; the errno of a failed read (negated, for the
    // caller's open message); ILLFMT when the first line is not
    // "!<arch>"; HELP_ILLFMT (to be shown with "duplicate keys") when a
    // level-1 key occurs twice, the key being in `problem`.
    int64_t load(const std::string& path);
    // The same from text already in memory (tests, fuzzing).
    uint32_t load_text(std::string text);

    // The level-1 keys, sorted without regard to case.
    const std::vector<HelpKey>& topics() const { return topics_; }
    // The entries one level below `key`, in file order: its subtopics and
    // the qualifier lines that belong to it directly.
    std::vector<HelpKey> below(const HelpKey& key) const;
    // The text lines of `key`, up to the next key or qualifier line.
    std::vector<std::string_view> text(const HelpKey& key) const;
    const std::string& problem() const { return problem_; }

private:
    uint32_t index();

    std::string text_;
    std::vector<std::string_view> lines_;
    std::vector<HelpKey> topics_;
    std::string problem_;
};

// Whether `pattern` picks `key`: an abbreviation without regard to case, or
// with "*" and "%" a wildcard match; "/" alone picks nothing.
bool match_help_key(std::string_view pattern, std::string_view key);

// The level of a key line ("3 NAME" gives 3), 0 for any other line; the key
// itself in `key`.
int key_line_level(std::string_view line, std::string_view& key);

}  // namespace dcl
