// The walk of DIFFERENCES over two record lists: records compared in step,
// and after a mismatch the nearest place where /MATCH records agree again.
// The look-ahead tries, distance by distance, file 2's record that equals
// file 1's current one, then file 1's that equals file 2's. Only records
// with the same hash can succeed, so each file's records are indexed by
// hash and the look-ahead visits only those, in the same order: the
// result is the plain scan's, without its cost on files that have little
// in common.
#include <algorithm>
#include <limits>

#include "files/compare_files.h"

namespace dcl {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();

// A file's record positions ordered by hash, then position.
class HashIndex {
public:
    void build(const DiffRecords& list) {
        keys_.resize(list.size());
        for (size_t i = 0; i < list.size(); ++i) keys_[i] = (uint64_t{list[i].hash} << 32) | i;
        std::sort(keys_.begin(), keys_.end());
    }
    // Where the positions after `after` with hash `hash` start.
    size_t first_after(uint32_t hash, size_t after) const {
        uint64_t key = (uint64_t{hash} << 32) | (after + 1);
        return static_cast<size_t>(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
    }
    // The position at slot `slot` when it still has `hash`; kNone after.
    size_t position(size_t slot, uint32_t hash) const {
        if (slot >= keys_.size() || (keys_[slot] >> 32) != hash) return kNone;
        return static_cast<size_t>(keys_[slot] & 0xFFFFFFFF);
    }

private:
    std::vector<uint64_t> keys_;
};

class Comparator {
public:
    Comparator(DiffRecords& file1, DiffRecords& file2, const DiffSettings& settings, bool (*stop)())
        : options_(settings.options), stop_(stop) {
        files_[0] = &file1;
        files_[1] = &file2;
        run_length_ = settings.match_count > 0 ? static_cast<size_t>(settings.match_count) : 1;
        if (settings.options & diff_option::WINDOW) reach_ = static_cast<size_t>(std::max(settings.window, 0));
        index_[0].build(file1);
        index_[1].build(file2);
    }
    void run(DiffResult& result);

private:
    bool equal(const DiffRecord& a, const DiffRecord& b);
    // Whether `count` records from a (file `fa`) and b (the other file)
    // agree, or agree up to the end of either file.
    bool run_agrees(int fa, size_t a, size_t b);
    void join(int fa, size_t a, size_t b) {
        (*files_[fa])[a].partner = static_cast<int32_t>(b);
        (*files_[1 - fa])[b].partner = static_cast<int32_t>(a);
    }
    // The nearest resynchronisation point from p[0], p[1]: the file it is
    // in and its position there; file -1 when there is none.
    std::pair<int, size_t> search();
    void mark(int file, size_t begin, size_t end);
    bool stopped() {
        if (stop_ && (++steps_ & 0xFFF) == 0 && stop_()) interrupted_ = true;
        return interrupted_;
    }
    void walk();
    void finish_tail();

    DiffRecords* files_[2];
    HashIndex index_[2];
    std::string work_[2];
    uint32_t options_;
    size_t run_length_ = 1;
    size_t reach_ = kNone;
    bool (*stop_)();
    uint64_t steps_ = 0;
    bool interrupted_ = false;

    size_t p_[2] = {0, 0};
    int section_ = 0;
    int records_ = 0;
    bool matched_ = true;
    std::vector<DiffSection>* sections_ = nullptr;
};

bool Comparator::equal(const DiffRecord& a, const DiffRecord& b) {
    if (a.hash != b.hash) return false;
    if (a.text == b.text) return true;
    normalise_record(work_[0], a.text, options_);
    normalise_record(work_[1], b.text, options_);
    return work_[0] == work_[1];
}

bool Comparator::run_agrees(int fa, size_t a, size_t b) {
    const DiffRecords& la = *files_[fa];
    const DiffRecords& lb = *files_[1 - fa];
    for (size_t k = 0; k < run_length_; ++k) {
        if (a + k >= la.size() || b + k >= lb.size()) return true;
        if (!equal(la[a + k], lb[b + k])) return false;
    }
    return true;
}

std::pair<int, size_t> Comparator::search() {
    // Candidates in file 2 equal to file 1's current record, and in file 1
    // equal to file 2's, each in order of distance; file 2's first at a tie.
    const DiffRecords& f1 = *files_[0];
    const DiffRecords& f2 = *files_[1];
    uint32_t hash1 = f1[p_[0]].hash, hash2 = f2[p_[1]].hash;
    size_t slot2 = index_[1].first_after(hash1, p_[1]);
    size_t slot1 = index_[0].first_after(hash2, p_[0]);
    for (;;) {
        if (stopped()) return {-1, 0};
        size_t c2 = index_[1].position(slot2, hash1);
        size_t c1 = index_[0].position(slot1, hash2);
        size_t d2 = c2 == kNone ? kNone : c2 - p_[1];
        size_t d1 = c1 == kNone ? kNone : c1 - p_[0];
        if (std::min(d1, d2) == kNone || std::min(d1, d2) > reach_) return {-1, 0};
        if (d2 <= d1) {
            if (run_agrees(0, p_[0], c2)) {
                join(0, p_[0], c2);
                return {1, c2};
            }
            ++slot2;
        } else {
            if (run_agrees(1, p_[1], c1)) {
                join(1, p_[1], c1);
                return {0, c1};
            }
            ++slot1;
        }
    }
}

void Comparator::mark(int file, size_t begin, size_t end) {
    if (begin == end) return;
    if (sections_->empty() || sections_->back().number != section_) {
        DiffSection& fresh = sections_->emplace_back();
        fresh.number = section_;
        fresh.file[0] = {p_[0], p_[0]};
        fresh.file[1] = {p_[1], p_[1]};
    }
    DiffRange& range = sections_->back().file[file];
    if (range.empty()) range.begin = begin;
    range.end = end;
    DiffRecords& list = *files_[file];
    for (size_t i = begin; i < end; ++i) list[i].section = section_;
}

void Comparator::walk() {
    const DiffRecords& f1 = *files_[0];
    const DiffRecords& f2 = *files_[1];
    while (p_[0] < f1.size() && p_[1] < f2.size() && !stopped()) {
        if (equal(f1[p_[0]], f2[p_[1]])) {
            matched_ = true;
        } else {
            ++section_;
            matched_ = false;
            for (;;) {
                auto [file, point] = search();
                if (interrupted_) return;
                if (file >= 0) {
                    records_ += static_cast<int>(point - p_[file]);
                    mark(file, p_[file], point);
                    p_[file] = point;
                    matched_ = true;
                    break;
                }
                // No point: the two current records differ as a pair.
                mark(0, p_[0], p_[0] + 1);
                mark(1, p_[1], p_[1] + 1);
                ++records_;
                ++p_[0];
                ++p_[1];
                if (p_[0] >= f1.size() || p_[1] >= f2.size()) break;
                if (f1[p_[0]].hash == f2[p_[1]].hash && run_agrees(0, p_[0], p_[1])) {
                    join(0, p_[0], p_[1]);
                    matched_ = true;
                    break;
                }
                if (stopped()) return;
            }
        }
        if (matched_ && p_[0] < f1.size() && p_[1] < f2.size()) {
            ++p_[0];
            ++p_[1];
        }
    }
}

// One file is exhausted: what the other has left is one more section, or
// the end of the section under way.
void Comparator::finish_tail() {
    for (int file = 0; file < 2; ++file) {
        size_t size = files_[file]->size();
        if (p_[file] >= size) continue;
        if (matched_) ++section_;
        records_ += static_cast<int>(size - p_[file]);
        mark(file, p_[file], size);
        p_[file] = size;
    }
}

void Comparator::run(DiffResult& result) {
    result = DiffResult{};
    sections_ = &result.sections;
    walk();
    if (!interrupted_) finish_tail();
    result.section_count = section_;
    result.record_count = records_;
    result.interrupted = interrupted_;
}

// /MAXIMUM_DIFFERENCES: the sections are walked a row (a record of each
// file) at a time, and everything after the row that reaches the limit
// is dropped.
void cut_at_maximum(DiffRecords& file1, DiffRecords& file2, int maximum, DiffResult& result) {
    size_t counter = static_cast<size_t>(maximum);
    DiffRecords* files[2] = {&file1, &file2};
    for (size_t s = 0; s < result.sections.size(); ++s) {
        DiffSection& section = result.sections[s];
        size_t rows = std::max(section.file[0].size(), section.file[1].size());
        if (counter > rows) {
            counter -= rows;
            continue;
        }
        for (int f = 0; f < 2; ++f) {
            DiffRange& range = section.file[f];
            size_t keep_end = range.begin + std::min(range.size(), counter);
            for (size_t i = keep_end; i < range.end; ++i) (*files[f])[i].section = 0;
            range.end = keep_end;
        }
        result.sections.resize(s + 1);
        result.section_count = section.number;
        result.record_count = maximum;
        result.cut = true;
        return;
    }
}

}  // namespace

void compare_records(DiffRecords& file1, DiffRecords& file2, const DiffSettings& settings, DiffResult& result,
                     bool (*stop)()) {
    Comparator comparator(file1, file2, settings, stop);
    comparator.run(result);
    if (result.interrupted) return;
    if ((settings.options & diff_option::MAXIMUM) && settings.maximum > 0 && settings.maximum < result.record_count) {
        cut_at_maximum(file1, file2, settings.maximum, result);
    }
}

}  // namespace dcl
