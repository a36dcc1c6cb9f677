// SEARCH: reading lines and writing what they show.
#include "files/commands/search_output.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace dcl {

namespace {

// Bytes read at a time beside the longest line.
constexpr size_t kReadBlock = 256 * 1024;

}  // namespace

size_t LineReader::buffer_size() { return kSearchLineMax + 1 + kReadBlock; }

// Moves what is left to the front and reads behind it. False when nothing
// more came (end of input or a failure).
bool LineReader::fill() {
    if (at_end_ || failed_) return false;
    ++refills_;
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    size_t room = buffer_.size() - end_;
    for (;;) {
        ssize_t got;
        if (stream_) {
            got = static_cast<ssize_t>(std::fread(buffer_.data() + end_, 1, room, stream_));
            if (got == 0 && std::ferror(stream_)) got = -1;
        } else {
            got = ::read(fd_, buffer_.data() + end_, room);
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed_ = true;
        if (got <= 0) {
            at_end_ = true;
            return false;
        }
        end_ += static_cast<size_t>(got);
        return true;
    }
}

LineReader::Result LineReader::next(std::string_view& line) {
    for (;;) {
        const char* begin = buffer_.data() + start_;
        size_t have = end_ - start_;
        size_t look = have < kSearchLineMax + 1 ? have : kSearchLineMax + 1;
        if (const void* nl = std::memchr(begin, '\n', look)) {
            size_t length = static_cast<size_t>(static_cast<const char*>(nl) - begin);
            line = std::string_view(begin, length);
            start_ += length + 1;
            return Result::line;
        }
        if (have > kSearchLineMax) return Result::overflow;
        if (!fill()) {
            if (failed_) return Result::failure;
            if (end_ == start_) return Result::end;
            // The last line has no newline: it is a line all the same.
            line = std::string_view(buffer_.data() + start_, end_ - start_);
            start_ = end_;
            return Result::line;
        }
    }
}

SearchPrinter::SearchPrinter(FILE* out, const SearchOptions& options, const LineMatcher& matcher)
    : out_(out), options_(options), matcher_(matcher), formatter_(options.format) {}

void SearchPrinter::begin_file(std::string_view name, bool show_name) {
    name_.assign(name);
    show_name_ = show_name;
    records_ = matches_ = 0;
    after_left_ = 0;
    printing_rest_ = false;
    kept_count_ = 0;  // the ring's slots and place carry over
}

void SearchPrinter::take_line(std::string_view line) {
    ++records_;
    if (matcher_.matches(line)) {
        take_match(line);
        return;
    }
    if (printing_rest_ || after_left_ > 0) {
        if (options_.output_wanted) print_line(line, records_, false);
        if (after_left_ > 0) --after_left_;
    } else if (options_.before > 0) {
        remember(line);
    }
}

void SearchPrinter::take_match(std::string_view line) {
    ++matches_;
    if (!options_.output_wanted) return;
    if (options_.names_only) {
        if (matches_ == 1) std::fprintf(out_, "%s\n", name_.c_str());
        return;
    }
    if (matches_ == 1 && show_name_ && options_.heading) {
        std::fprintf(out_, "\n******************************\n%s\n\n", name_.c_str());
    }
    // The window before: the oldest kept line first.
    size_t slots = kept_.size();
    for (size_t k = kept_count_; k > 0; --k) {
        const KeptLine& kept = kept_[(kept_next_ + slots - k) % slots];
        print_line(kept.text, kept.record, false);
    }
    kept_count_ = 0;
    print_line(line, records_, true);
    if (options_.remaining) {
        printing_rest_ = true;
    } else {
        after_left_ = options_.after;
    }
}

// Keeps a copy of a line for the window before a match; the oldest goes
// when the ring is full. The slots grow only while the ring fills.
void SearchPrinter::remember(std::string_view line) {
    if (kept_.size() < options_.before && kept_next_ == kept_.size()) kept_.emplace_back();
    KeptLine& slot = kept_[kept_next_];
    slot.text.assign(line);
    slot.record = records_;
    kept_next_ = (kept_next_ + 1) % options_.before;
    if (kept_count_ < options_.before) ++kept_count_;
}

void SearchPrinter::print_line(std::string_view line, uint64_t record, bool matched) {
    text_.clear();
    if (options_.numbers) {
        char number[32];
        int n = std::snprintf(number, sizeof number, "%6llu  ", static_cast<unsigned long long>(record));
        text_.append(number, static_cast<size_t>(n));
    }
    if (matched && !options_.highlight_start.empty()) {
        append_highlighted(line);
    } else {
        formatter_.append(line, text_);
    }
    text_.push_back('\n');
    std::fwrite(text_.data(), 1, text_.size(), out_);
}

// Every piece, highlighted or not, goes through the format, so that what
// the file holds reaches the terminal only as the format allows.
void SearchPrinter::append_highlighted(std::string_view line) {
    matcher_.occurrences(line, occurrences_);
    highlight_spans(occurrences_, spans_);
    size_t written = 0;
    for (const HighlightSpan& span : spans_) {
        formatter_.append(line.substr(written, span.begin - written), text_);
        text_.append(options_.highlight_start);
        formatter_.append(line.substr(span.begin, span.end - span.begin), text_);
        text_.append(options_.highlight_end);
        written = span.end;
    }
    formatter_.append(line.substr(written), text_);
}

}  // namespace dcl
