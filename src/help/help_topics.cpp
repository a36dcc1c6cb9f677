// Matching topic words level by level, and splitting prompt answers.
#include "help/help_topics.h"

#include "status/text.h"

namespace dcl {

namespace {

std::vector<HelpKey> picked_by(std::string_view word, const std::vector<HelpKey>& entries) {
    std::vector<HelpKey> exact, picked;
    for (const HelpKey& key : entries) {
        if (!match_help_key(word, key.name)) continue;
        if (key.name.size() == word.size() && word.find_first_of("*%") == std::string_view::npos)
            exact.push_back(key);
        picked.push_back(key);
    }
    return exact.empty() ? picked : exact;
}

void descend(const HelpLibrary& library, HelpPath& path, std::span<const std::string> words,
             HelpLookup& out) {
    std::vector<HelpKey> picked = picked_by(words.front(), help_entries(library, path));
    if (picked.empty()) return;
    for (const HelpKey& key : picked) {
        path.push_back(key);
        if (words.size() == 1)
            out.found.push_back(path);
        else
            descend(library, path, words.subspan(1), out);
        path.pop_back();
    }
}

size_t shared_length(const HelpPath& a, const HelpPath& b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n].line == b[n].line) ++n;
    return n;
}

}  // namespace

std::vector<HelpKey> help_entries(const HelpLibrary& library, std::span<const HelpKey> path) {
    return path.empty() ? library.topics() : library.below(path.back());
}

HelpLookup find_help_topics(const HelpLibrary& library, std::span<const HelpKey> start,
                            std::span<const std::string> words) {
    HelpLookup out;
    HelpPath path(start.begin(), start.end());
    out.position = path;
    if (words.empty()) return out;
    descend(library, path, words, out);
    if (out.found.empty()) {
        // The prompt stands as deep as the words lead to one key each.
        for (const std::string& word : words.first(words.size() - 1)) {
            std::vector<HelpKey> picked = picked_by(word, help_entries(library, out.position));
            if (picked.size() != 1) break;
            out.position.push_back(picked.front());
        }
        return out;
    }
    const HelpPath& first = out.found.front();
    if (out.found.size() == 1 && !library.below(first.back()).empty()) {
        out.position = first;
        return out;
    }
    size_t shared = first.size() - 1;
    for (const HelpPath& other : out.found) shared = std::min(shared, shared_length(first, other));
    out.position.assign(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(shared));
    return out;
}

std::vector<std::string> help_answer_words(std::string_view answer) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, in_word = false;
    auto finish = [&] {
        if (in_word) words.push_back(std::move(word));
        word.clear();
        in_word = false;
    };
    for (char c : answer) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            finish();
        } else {
            if (!quoted && c == '/') finish();
            word.push_back(c);
            in_word = true;
        }
    }
    finish();
    return words;
}

}  // namespace dcl
