// Fuzzes the help library reader: any bytes as a library, then the index,
// every entry below every topic down to the last level, their texts, and
// the matching of the topics against a few topic words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "help/help_library.h"

namespace {

void walk(const dcl::HelpLibrary& library, const dcl::HelpKey& key, int depth) {
    (void)library.text(key);
    if (depth >= 9) return;
    for (const dcl::HelpKey& below : library.below(key)) walk(library, below, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dcl::HelpLibrary library;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (library.load_text(std::move(text)) != 1) return 0;
    for (const dcl::HelpKey& topic : library.topics()) {
        walk(library, topic, 1);
        for (const char* word : {"D", "*", "%", "/", "D*R%", "/L"}) (void)dcl::match_help_key(word, topic.name);
    }
    return 0;
}
