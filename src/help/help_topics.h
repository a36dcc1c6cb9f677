// Finding topics: the topic words of a HELP request matched level by level
// against a library, and the words of an answer at the Topic? prompt.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "help/help_library.h"

namespace dcl {

using HelpPath = std::vector<HelpKey>;  // the key chosen at each level, from level 1

// The entries one level below `path`: the level-1 topics for an empty path.
std::vector<HelpKey> help_entries(const HelpLibrary& library, std::span<const HelpKey> path);

struct HelpLookup {
    std::vector<HelpPath> found;  // every key the last word picked, with its path
    HelpPath position;            // where the next prompt stands
};

// Matches `words` from `start` down. Each word is matched against the
// entries of the level below the keys the word before picked; a word that
// equals a key exactly picks that key alone. The prompt then stands at a
// key found alone that has entries below it, else at the deepest level all
// the keys found share; when nothing is found, as deep as the words before
// the last pick one key each.
HelpLookup find_help_topics(const HelpLibrary& library, std::span<const HelpKey> start,
                            std::span<const std::string> words);

// The words of an answer: a blank goes before every "/" so that qualifier
// names are words of their own; blanks outside quotes separate words;
// quotes are removed.
std::vector<std::string> help_answer_words(std::string_view answer);

}  // namespace dcl
