// Reading and writing the history file.
#include "tty/history.h"

#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "files/unique_fd.h"

namespace dcl {

namespace {

bool storable(std::string_view line) {
    if (line.empty() || line.size() > RecallList::kMaxLine) return false;
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

// The last kMaxHistoryBytes of the file, from a line's start.
bool read_tail(int fd, std::string& text) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    off_t start = st.st_size > static_cast<off_t>(kMaxHistoryBytes)
                      ? st.st_size - static_cast<off_t>(kMaxHistoryBytes)
                      : 0;
    if (lseek(fd, start, SEEK_SET) != start) return false;
    text.resize(static_cast<size_t>(st.st_size - start));
    ssize_t got = read_fully(fd, text.data(), text.size());
    if (got < 0) return false;
    text.resize(static_cast<size_t>(got));
    if (start > 0) {
        size_t first_line = text.find('\n');
        text.erase(0, first_line == std::string::npos ? text.size() : first_line + 1);
    }
    return true;
}

}  // namespace

bool load_history(const std::string& path, RecallList& recall) {
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    std::string text;
    if (!fd.valid() || !read_tail(fd.get(), text)) return false;
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (storable(line)) add_recall_to(recall, line);
    }
    return true;
}

bool save_history(const std::string& path, const RecallList& recall) {
    std::string text;
    for (size_t n = recall.count; n >= 1; --n) {
        text += *recalled_from(recall, n);
        text += '\n';
    }
    // Named after this process, so one found there is a crashed session's.
    std::string temporary = path + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid()) return false;
    bool written = write_fully(fd.get(), text) && fsync(fd.get()) == 0;
    written = fd.close_checked() && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace dcl
