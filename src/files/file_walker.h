// FileWalker: one wildcard search with its selection, as an object. A
// command makes one per list of file specifications and asks it for the
// files one by one; any number of walkers can be under way at once (COPY's
// inputs, the two sides of DIFFERENCES, each F$SEARCH stream).
//
// The files come in directory order (as the search found the directories),
// then by name, each once. With an output specification each file also
// gets its output path, completed from the file's own name and type.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/filespec.h"
#include "files/search.h"

namespace dcl {

// An output specification applied to many inputs: "*" (or no name) takes
// the input's name, ".*" (or no type) the input's type, an explicit field
// stays; a type of "." or ".DIR", or an output under /dev/, has none. The
// directory comes from the output name, else its default, else the
// current directory. A version is dropped: older versions are backups.
class OutputNames {
public:
    // 1; FNM when a wildcard is not a whole name or type, or is in the
    // directory; a translation failure (NOSUCHNODE for a node) otherwise.
    uint32_t prepare(std::string_view spec, std::string_view default_spec, DotfileMode mode);
    bool prepared() const { return prepared_; }
    // A name and a type without wildcards: every input goes into one file.
    bool single_file() const { return single_file_; }
    // The output path for an input file name (no directory).
    void complete(std::string& out, std::string_view input_name) const;

private:
    std::string directory_, name_, type_;
    bool prepared_ = false;
    bool input_name_ = false;  // the name comes from the input
    bool input_type_ = false;  // the type comes from the input
    bool single_file_ = false;
    DotfileMode mode_ = DotfileMode::unix_names;
};

// /EXCLUDE's specifications in Unix form, appended to `out`; one that
// names no directory becomes "/*/" and its name, to apply in each file's
// own directory. 1, 0 after reporting a translation failure, or BUFOVF.
uint32_t translate_exclusions(std::vector<std::string>& out, const std::vector<std::string>& specs,
                              DotfileMode mode);

// Whether `path` (its name starting at `name_offset`) matches one of the
// exclusions; `local` is scratch space kept from call to call.
bool path_excluded(const std::vector<std::string>& exclusions, std::string_view path,
                   size_t name_offset, std::string& local);

// What the confirmation hook decides for a file: take it, skip it, end
// the walk (success), or end it because the answer could not be had (the
// hook has reported that; the walk's status becomes 0).
enum class WalkAnswer { take, skip, quit, abort };

class FileWalker {
public:
    using ConfirmHook = std::function<WalkAnswer(const FoundFile& file, const std::string& output)>;
    using LogHook = std::function<void(const FoundFile& file, const std::string& output)>;
    // Does the work for one file; an even (failure) status ends the walk.
    using Action = std::function<uint32_t(const FoundFile& file, const std::string& output)>;

    FileWalker() = default;
    FileWalker(std::string_view specs, std::string_view default_spec = {},
               SearchSelection selection = {}, InterruptCheck interrupted = {});
    FileWalker(FileWalker&&) = default;
    FileWalker& operator=(FileWalker&&) = default;

    // Each file's output path is completed from `spec` (see OutputNames).
    // Before start(); returns prepare()'s status.
    uint32_t set_output(std::string_view spec, std::string_view default_spec = {});
    const OutputNames& output() const { return output_; }
    // /CONFIRM: asked for each selected file before it is yielded.
    void set_confirm(ConfirmHook hook) { confirm_ = std::move(hook); }
    // /LOG: told of each file after walk()'s action succeeded with it.
    void set_log(LogHook hook) { log_ = std::move(hook); }

    // The caller wants names and types only (F$SEARCH): files are not
    // examined further unless the selection needs their times or owner.
    // Before start().
    void names_only() { names_only_ = true; }

    // Runs the search (next() does it the first time when needed). 1 when
    // any file matched, even if the selection then took none; FNF when none
    // did; 0 after an error already reported or an interrupt; VER (an
    // explicit version) or BUFOVF (exclusions too long) for the caller to
    // report.
    uint32_t start();
    // Moves to the next selected file; false at the end, or when the
    // interrupt check or the confirmation hook ended the walk.
    bool next();
    // The file the last successful next() moved to.
    const FoundFile& current() const { return tree_.directories[directory_].files[file_ - 1]; }
    // The current file's output path; empty without an output.
    const std::string& output_path() const { return output_path_; }
    // The current file in VMS form; a directory has the type ".dir".
    void vms_name(std::string& out) const;

    // next() until the end, `action` on each file, the log hook after each
    // success. The action's failure, start()'s failure, or 0 when
    // interrupted or aborted; else 1.
    uint32_t walk(const Action& action);

    // start()'s status until the walk is cut short, then 0.
    uint32_t status() const { return status_; }
    bool interrupted() const { return interrupted_flag_; }
    // Files yielded so far.
    size_t taken() const { return taken_; }
    // The VMS form of the last pattern translated (for "no such file"
    // messages).
    const std::string& resultant_spec() const { return tree_.resultant_spec; }
    const SearchTree& tree() const { return tree_; }

private:
    bool selected(const FoundFile& file) const;
    bool advance();
    bool end_walk(uint32_t status);

    std::string specs_, default_spec_;
    SearchSelection selection_;
    InterruptCheck interrupted_;
    ConfirmHook confirm_;
    LogHook log_;
    OutputNames output_;

    SearchTree tree_;
    std::vector<std::string> exclusions_;  // in Unix form
    mutable std::string scratch_path_, scratch_local_;  // for the exclusion test
    bool started_ = false, ended_ = false, interrupted_flag_ = false;
    bool names_only_ = false;
    uint32_t status_ = 0;
    size_t directory_ = 0, file_ = 0;  // the next file to look at
    std::string output_path_;
    size_t taken_ = 0;
};

}  // namespace dcl
