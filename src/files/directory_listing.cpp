// DIRECTORY's listing. The files come from a FileWalker directory by
// directory; a Listing writes them as they come, so memory stays flat
// whatever the number of files (the walker holds only what it found).
#include "files/directory_listing.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <sys/stat.h>

#include "files/file_walker.h"
#include "files/filespec.h"
#include "files/protection.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void size_text(std::string& out, uint64_t blocks, uint32_t word, int width) {
    size_t field = static_cast<size_t>(std::clamp(width <= 0 ? kDefaultSizeWidth : width, 1, kMaxSizeWidth));
    char digits[24];
    int n = std::snprintf(digits, sizeof digits, "%" PRIu64, blocks);
    std::string_view number(digits, static_cast<size_t>(n));
    if (number.size() > field) {
        std::fill_n(digits, field, '*');
        number = std::string_view(digits, field);
    }
    out.assign(field - number.size(), ' ').append(number);
    if ((word & DIR_SIZES) != DIR_SIZES) return;
    out.append(1, '/').append(number).append(field - number.size(), ' ');
}

void protection_text(std::string& out, uint32_t mode) {
    std::string owner, group, world;
    mode_rights(owner, group, world, static_cast<mode_t>(mode));
    out.assign("(RWED,").append(owner).append(1, ',').append(group).append(1, ',').append(world).append(1, ')');
}

namespace {

const char* plural(uint64_t count, const char* one, const char* many) { return count == 1 ? one : many; }

std::string_view trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The columns a text takes on the screen: UTF-8 continuation bytes take
// none (a stray byte of another encoding takes one).
size_t display_columns(std::string_view text) {
    size_t columns = 0;
    for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

// A file name as listed: a directory gets the type ".dir", and control
// characters (a newline would break the layout) show as "?", as ls shows
// them at a terminal.
void listed_name(std::string& out, const FoundFile& file) {
    out.assign(file.name());
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    if (S_ISDIR(file.mode)) out.append(".dir");
}

class Listing {
public:
    Listing(const DirectoryOptions& options, const ListingTarget& target, int columns, int width)
        : o_(options), word_(options.word), target_(target), columns_(columns), width_(width) {}

    // `directory`: the VMS form of the file's directory; `name`: the name
    // as it is to be shown.
    void add(const FoundFile& file, std::string_view directory, std::string_view name);
    uint32_t finish();

private:
    bool has(uint32_t bits) const { return (word_ & bits) != 0; }
    void write(std::string_view text) {
        if (target_.output_wanted) std::fwrite(text.data(), 1, text.size(), target_.out);
    }
    void printf_line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void start_directory(std::string_view directory);
    void close_directory();
    void add_extra_fields(const FoundFile& file);
    void place_entry(size_t name_field_length, size_t length);
    void write_full(const FoundFile& file);
    void total_line(const char* lead, uint64_t blocks);
    const std::string& owner_text(const FoundFile& file, int width);

    const DirectoryOptions& o_;
    uint32_t word_;
    ListingTarget target_;
    int columns_, width_;
    TimeFormatter times_;
    std::string directory_, entry_, field_, scratch_;
    // The last owner shown: the user and group databases are read once per
    // owner, not once per file.
    std::string owner_;
    Uic owner_ids_;
    int owner_width_ = -1;
    bool in_directory_ = false, first_entry_ = true;
    uint32_t directory_files_ = 0;
    uint64_t directory_blocks_ = 0;
    size_t line_used_ = 0;
    int line_entries_ = 0;
    uint32_t directories_ = 0, files_ = 0;
    uint64_t blocks_ = 0;
};

void Listing::printf_line(const char* format, ...) {
    if (!target_.output_wanted) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(target_.out, format, args);
    va_end(args);
}

const std::string& Listing::owner_text(const FoundFile& file, int width) {
    Uic ids{file.group, file.owner};
    if (width != owner_width_ || !(ids == owner_ids_)) {
        owner_ = format_uic(file.group, file.owner, static_cast<size_t>(width));
        owner_ids_ = ids;
        owner_width_ = width;
    }
    return owner_;
}

void Listing::start_directory(std::string_view directory) {
    close_directory();
    directory_.assign(directory);
    in_directory_ = true;
    first_entry_ = true;
    directory_files_ = 0;
    directory_blocks_ = 0;
    line_used_ = 0;
    line_entries_ = 0;
}

// ", n blocks.\n" with a size column, else ".\n", after `lead`.
void Listing::total_line(const char* lead, uint64_t blocks) {
    write(lead);
    if (!has(DIR_SIZES)) {
        write(".\n");
        return;
    }
    size_text(scratch_, blocks, 0, kMaxSizeWidth);
    printf_line(", %.*s %s.\n", static_cast<int>(trimmed(scratch_).size()), trimmed(scratch_).data(),
                plural(blocks, "block", "blocks"));
}

void Listing::close_directory() {
    if (!in_directory_) return;
    in_directory_ = false;
    if (line_entries_ > 0) write("\n");
    if (directory_files_ == 0 || !has(DIR_TRAILING) || has(DIR_GRAND_TOTAL)) return;
    char lead[64];
    std::snprintf(lead, sizeof lead, "\nTotal of %u %s", directory_files_,
                  plural(directory_files_, "file", "files"));
    total_line(lead, directory_blocks_);
}

void Listing::add(const FoundFile& file, std::string_view directory, std::string_view name) {
    uint64_t blocks = blocks_of(file.size);
    if (o_.max_blocks != 0 && blocks > o_.max_blocks) return;
    if (o_.min_blocks != 0 && blocks < o_.min_blocks) return;
    if (!in_directory_ || directory != directory_) start_directory(directory);
    directory_blocks_ += blocks;
    blocks_ += blocks;
    if (!name.empty() && name.front() == '.' && !has(DIR_DOTFILES)) return;
    ++files_;
    if (++directory_files_ == 1) {
        ++directories_;
        if (has(DIR_HEADING) && !has(DIR_GRAND_TOTAL)) printf_line("\nDirectory %s\n", directory_.c_str());
    }
    if (has(DIR_TOTAL | DIR_GRAND_TOTAL)) return;
    field_.clear();
    if (!has(DIR_HEADING)) field_.append(directory);
    field_.append(name);
    size_t columns = display_columns(field_);
    if (columns < static_cast<size_t>(o_.file_width)) field_.append(static_cast<size_t>(o_.file_width) - columns, ' ');
    if (has(DIR_FULL)) {
        write_full(file);
        return;
    }
    entry_ = field_;
    add_extra_fields(file);
    place_entry(std::max(columns, static_cast<size_t>(o_.file_width)), display_columns(entry_));
}

void Listing::add_extra_fields(const FoundFile& file) {
    if (has(DIR_FILE_ID)) {
        char id[48];
        std::snprintf(id, sizeof id, "(%" PRIu64 ",%" PRIu64 ")", file.inode, file.device);
        scratch_.assign(id);
        if (scratch_.size() < 18) scratch_.resize(18, ' ');
        entry_.append("  ").append(scratch_);
    }
    if (has(DIR_SIZES)) {
        size_text(scratch_, blocks_of(file.size), word_, o_.size_width);
        entry_.append("  ").append(scratch_);
    }
    const int64_t dates[] = {file.accessed, file.modified, file.changed};
    const uint32_t date_bits[] = {DIR_ACCESS_DATE, DIR_MODIFIED_DATE, DIR_STATUS_DATE};
    for (size_t i = 0; i < 3; ++i)
        if (has(date_bits[i])) entry_.append("  ").append(times_.format(dates[i]));
    if (has(DIR_OWNER)) entry_.append("  ").append(owner_text(file, o_.owner_width));
    if (has(DIR_PROTECTION)) {
        protection_text(scratch_, file.mode);
        if (scratch_.size() < 21) scratch_.resize(21, ' ');
        entry_.append("  ").append(scratch_);
    }
}

// Columns: an entry joins the line while it fits the width and the
// column count, and its name fits its field; else it starts a new line.
void Listing::place_entry(size_t name_field_length, size_t length) {
    if (first_entry_ && has(DIR_HEADING)) write("\n");
    size_t gap = length > static_cast<size_t>(o_.file_width) ? 5 : 1;
    bool fits = line_used_ + length + gap <= static_cast<size_t>(width_) && line_entries_ < columns_ &&
                name_field_length <= static_cast<size_t>(o_.file_width);
    if (fits && line_entries_ > 0) {
        write(std::string_view("     ", gap));
        line_used_ += gap + length;
        ++line_entries_;
    } else {
        if (!fits && !first_entry_) write("\n");
        line_used_ = length;
        line_entries_ = 1;
    }
    write(entry_);
    first_entry_ = false;
}

void Listing::write_full(const FoundFile& file) {
    if (display_columns(field_) < 31) {
        printf_line("\n%-34sFile ID:  (%" PRIu64 ",%" PRIu64 ")\n", field_.c_str(), file.inode, file.device);
    } else {
        printf_line("\n%s\nFile ID:  (%" PRIu64 ",%" PRIu64 ")\n", field_.c_str(), file.inode, file.device);
    }
    size_text(scratch_, blocks_of(file.size), DIR_SIZES, kDefaultSizeWidth);
    std::string size(trimmed(scratch_));
    std::string owner(trimmed(owner_text(file, kMaxOwnerWidth)));
    if (owner.size() < 36) {
        printf_line("Size:            %-14s   Owner:    %s\n", size.c_str(), owner.c_str());
    } else {
        printf_line("Size:            %-14s\nOwner:     %s\n", size.c_str(), owner.c_str());
    }
    printf_line("Accessed:          %s\n", std::string(times_.format(file.accessed)).c_str());
    printf_line("Revised:           %s\n", std::string(times_.format(file.modified)).c_str());
    printf_line("Status changed:    %s\n", std::string(times_.format(file.changed)).c_str());
    write("File organization: Sequential\nRecord format:     Variable length\n");
    std::string o, g, w;
    mode_rights(o, g, w, static_cast<mode_t>(file.mode));
    printf_line("File protection:   System: RWED, Owner: %s, Group: %s, World: %s\n", o.c_str(), g.c_str(),
                w.c_str());
}

uint32_t Listing::finish() {
    close_directory();
    if (has(DIR_TRAILING) && (has(DIR_GRAND_TOTAL) || directories_ >= 2)) {
        char lead[96];
        std::snprintf(lead, sizeof lead, "\nGrand total of %u %s, %u %s", directories_,
                      plural(directories_, "directory", "directories"), files_, plural(files_, "file", "files"));
        total_line(lead, blocks_);
    }
    if (target_.output_wanted) std::fflush(target_.out);
    if (files_ > 0) return 1;
    signal_condition(cond::FNF | INHIBIT_BIT);
    return cond::DIRECT_NOFILES;
}

SearchSelection selection_of(const DirectoryOptions& o) {
    SearchSelection selection;
    if (o.word & DIR_EXCLUDE) selection.excludes = o.excludes;
    if (o.word & DIR_BEFORE) selection.before = o.before;
    if (o.word & DIR_SINCE) selection.since = o.since;
    if (o.word & DIR_BY_OWNER) selection.owner = o.owner;
    selection.time_selector = o.time_selector;
    return selection;
}

}  // namespace

uint32_t list_directory(const DirectoryOptions& options, std::string_view specs,
                        const ListingTarget& target, const InterruptCheck& interrupted) {
    uint32_t word = options.word;
    bool one_column = !(word & DIR_COLUMNS) || (word & (DIR_SIZES | DIR_OWNER | DIR_FILE_ID));
    int columns = one_column ? 1 : options.columns;
    int width = (word & DIR_WIDTH_DISPLAY) && options.display_width > 0 ? options.display_width
                                                                          : target.screen_width;
    DirectoryOptions effective = options;
    if (word & DIR_FULL) effective.word |= DIR_SIZES;
    FileWalker walker(specs, "*.*", selection_of(options), interrupted);
    uint32_t status = walker.start();
    if (status != 1 && status != cond::FNF) return status;
    Listing listing(effective, target, columns, width);
    // The directory's VMS form is worked out once per directory.
    std::string directory_path, directory_vms, name;
    while (walker.next()) {
        const FoundFile& file = walker.current();
        std::string_view directory(file.path.data(), file.name_offset);
        if (directory != directory_path) {
            directory_path.assign(directory);
            if (unix_to_vms(directory_vms, directory_path) != 1) directory_vms = directory_path;
        }
        listed_name(name, file);
        listing.add(file, directory_vms, name);
    }
    if (walker.interrupted()) return 0;
    return listing.finish();
}

}  // namespace dcl
