// PURGE's reading of backup names and its order of versions: which ones
// stay and which go.
#include "files/commands/purge_versions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcl {
namespace {

TEST(PurgeBackupNames, OnlyNameDotTildeDigitsTildeIsABackup) {
    struct Row {
        const char* entry;
        int64_t number;
        const char* plain;
    };
    const Row rows[] = {
        {"a.txt.~1~", 1, "a.txt"},
        {"a.txt.~12~", 12, "a.txt"},
        {"a.~0~", 0, "a"},
        {".login.~3~", 3, ".login"},
        {"x.~1~.~2~", 2, "x.~1~"},     // a backup of a file that looks like one
        {"a.txt", -1, ""},
        {"a.txt.~~", -1, ""},          // no digits
        {"a.txt.~1a~", -1, ""},
        {"a.txt~1~", -1, ""},          // no dot before the tilde
        {".~1~", -1, ""},              // no plain name
        {"a.txt.~1~x", -1, ""},
        {"a.~1234567890123456789~", -1, ""},  // too long to be ours
    };
    for (const Row& row : rows) {
        std::string_view plain;
        EXPECT_EQ(backup_number(row.entry, plain), row.number) << row.entry;
        if (row.number >= 0) {
            EXPECT_EQ(plain, row.plain) << row.entry;
        }
    }
}

PurgeVersion version(int64_t number, int64_t modified, bool selected = true) {
    PurgeVersion v;
    v.number = number;
    v.file.modified = modified;
    v.file.path = number < 0 ? "f" : "f.~" + std::to_string(number) + "~";
    v.selected = selected;
    return v;
}

std::vector<int64_t> numbers(const std::vector<PurgeVersion>& versions) {
    std::vector<int64_t> out;
    for (const PurgeVersion& v : versions) out.push_back(v.number);
    return out;
}

TEST(PurgeOrder, PlainFirstThenNewerBackupsThenHigherNumbers) {
    // The plain file leads even when a backup was modified later; a reused
    // low number can be the newest backup.
    std::vector<PurgeVersion> versions = {version(2, 100), version(-1, 50), version(1, 300),
                                          version(5, 200), version(3, 200)};
    order_versions(versions);
    EXPECT_EQ(numbers(versions), (std::vector<int64_t>{-1, 1, 5, 3, 2}));
}

TEST(PurgeOrder, KeepCountsThePlainFileAndSelectionNarrowsTheRest) {
    std::vector<PurgeVersion> versions = {version(-1, 9), version(4, 8), version(3, 7, false), version(1, 6)};
    struct Row {
        int64_t keep;
        std::vector<size_t> purged;
    };
    const Row rows[] = {
        {1, {1, 3}},  // the unselected backup stays
        {2, {3}},
        {4, {}},
        {40, {}},     // more than there are: nothing, no complaint
        {0, {1, 3}},  // never below the newest
    };
    for (const Row& row : rows) EXPECT_EQ(versions_to_purge(versions, row.keep), row.purged) << row.keep;
}

TEST(PurgeOrder, WithoutThePlainFileTheNewestBackupStays) {
    std::vector<PurgeVersion> versions = {version(1, 10), version(2, 30), version(3, 20)};
    order_versions(versions);
    std::vector<size_t> purged = versions_to_purge(versions, 1);
    ASSERT_EQ(purged.size(), 2u);
    EXPECT_EQ(versions[purged[0]].number, 3);
    EXPECT_EQ(versions[purged[1]].number, 1);
}

}  // namespace
}  // namespace dcl
