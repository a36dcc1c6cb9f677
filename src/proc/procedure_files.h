// Procedure files served from memory: read whole once, shared by the
// levels that run them, and kept with the lines parsed so far for the next
// @ of the same file while the file is unchanged.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unordered_map>

#include "lang/tokens.h"
#include "names/symbols.h"

namespace dcl {

// A procedure line as reading, expansion and tokenising left it, kept so
// that a loop runs the line again from its tokens. Only lines without
// substitution are kept, and an entry counts only while what else their
// meaning rests on is as it was: its first word is still no symbol, and
// SET CLI's case mapping and passing of lines to the shell are unchanged.
struct CachedCommand {
    std::string expanded;
    uint32_t verb = 0;
    bool assignment = false;
    std::string verb_word;   // looked up as a symbol, and none; empty: none looked up
    // Last found to be still no symbol: at this count of names gained
    // (names_added), in this verb scope (0: not yet).
    uint64_t verb_free_as_of = 0;
    SymbolScope verb_free_in;
    TokenList tokens;
};

struct CachedLine {
    long next = 0;           // where the following line starts
    std::string raw;         // as read
    CachedCommand command;
    bool upper_case = true;
    bool pass_to_shell = false;
    // The command after THEN when the line is an IF: the loop runs it as
    // the level's pending command. Empty text: not kept (yet).
    std::string then_text;
    CachedCommand then_command;
};

struct LineCache {
    std::unordered_map<long, CachedLine> lines;  // by the position where the line starts
};

// A procedure file's text and the lines of it parsed so far. The text never
// changes once read: a changed file is read into a new one.
struct ProcedureText {
    std::string text;
    LineCache lines;
};

// What tells a file's contents apart without reading them.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const struct stat& st);
    bool operator==(const FileIdentity& other) const;
};

// The procedure files read lately, by Unix path.
class ProcedureFileCache {
public:
    static constexpr size_t kMaxFiles = 64;
    static constexpr off_t kMaxFileSize = 1 << 20;
    static constexpr off_t kMaxBytes = 4 << 20;  // of all the texts together

    // The text kept for `path` if the file is still as it was then.
    std::shared_ptr<ProcedureText> find(const std::string& path, const FileIdentity& now_on_disk) const;

    // Keeps `text`, read at `read_at` from the file `identity` describes.
    // A file changed less than a second before it was read is not kept: a
    // second change within the same tick of the file system's clock would
    // leave its identity as it was.
    void remember(const std::string& path, const FileIdentity& identity,
                  std::shared_ptr<ProcedureText> text, timespec read_at);

    size_t size() const { return files_.size(); }

private:
    struct Kept {
        FileIdentity identity;
        std::shared_ptr<ProcedureText> text;
    };
    std::unordered_map<std::string, Kept> files_;
    off_t bytes_ = 0;
};

}  // namespace dcl
