// Fuzzes the help library reader and the lookup: the bytes up to the first
// NUL are an answer at the Topic? prompt, the rest a library. The index,
// every entry below every topic down to the last level, their texts, the
// topics the answer's words find and their display.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "help/help_display.h"
#include "help/help_library.h"
#include "help/help_topics.h"

namespace {

void walk(const dcl::HelpLibrary& library, const dcl::HelpKey& key, int depth) {
    (void)library.text(key);
    if (depth >= 9) return;
    for (const dcl::HelpKey& below : library.below(key)) walk(library, below, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\0');
    std::string_view answer = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    std::string_view text = split == std::string_view::npos ? input : input.substr(split + 1);
    dcl::HelpLibrary library;
    if (library.load_text(std::string(text)) != 1) return 0;
    for (const dcl::HelpKey& topic : library.topics()) walk(library, topic, 1);
    std::vector<std::string> words = dcl::help_answer_words(answer);
    if (words.size() > 9) words.resize(9);
    dcl::HelpLookup lookup = dcl::find_help_topics(library, {}, words);
    std::string out;
    for (const dcl::HelpPath& path : lookup.found) {
        dcl::append_topic(out, library, path);
        dcl::append_entries(out, library, path, 40);
    }
    dcl::append_entries(out, library, lookup.position, 12);
    (void)dcl::help_prompt("lib", lookup.position);
    return 0;
}
