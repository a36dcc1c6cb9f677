// The cache of procedure files: a file is served again only while its
// identity is unchanged, and never when it changed too recently for a
// second change to show.
#include <gtest/gtest.h>

#include <memory>

#include "proc/procedure_files.h"

namespace dcl {
namespace {

timespec at(time_t seconds, long nanoseconds = 0) { return {seconds, nanoseconds}; }

FileIdentity file(time_t modified, time_t changed, off_t size = 10) {
    FileIdentity identity;
    identity.device = 1;
    identity.inode = 2;
    identity.size = size;
    identity.modified = at(modified);
    identity.changed = at(changed);
    return identity;
}

TEST(ProcedureFileCache, ServesOnlyAnUnchangedFile) {
    ProcedureFileCache cache;
    auto text = std::make_shared<ProcedureText>();
    cache.remember("/p.com", file(100, 100), text, at(200));
    EXPECT_EQ(cache.find("/p.com", file(100, 100)), text);
    EXPECT_EQ(cache.find("/q.com", file(100, 100)), nullptr);
    EXPECT_EQ(cache.find("/p.com", file(100, 100, 11)), nullptr);  // size
    EXPECT_EQ(cache.find("/p.com", file(101, 101)), nullptr);      // written again
    EXPECT_EQ(cache.find("/p.com", file(100, 150)), nullptr);      // times set back
    FileIdentity replaced = file(100, 100);
    replaced.inode = 3;                                              // renamed over
    EXPECT_EQ(cache.find("/p.com", replaced), nullptr);
}

TEST(ProcedureFileCache, KeepsNoFileChangedWithinTheSecondBeforeItWasRead) {
    struct Case {
        timespec modified, changed, read_at;
        bool kept;
    };
    const Case cases[] = {
        {at(100), at(100), at(101, 1), true},
        {at(100), at(100), at(101), false},        // exactly a second: a tick may straddle
        {at(100), at(100, 500000000), at(101), false},
        {at(100, 500000000), at(100), at(101), false},
        {at(105), at(105), at(101), false},        // in the future (another clock)
    };
    for (const Case& c : cases) {
        ProcedureFileCache cache;
        FileIdentity identity = file(0, 0);
        identity.modified = c.modified;
        identity.changed = c.changed;
        cache.remember("/p.com", identity, std::make_shared<ProcedureText>(), c.read_at);
        EXPECT_EQ(cache.find("/p.com", identity) != nullptr, c.kept) << c.modified.tv_nsec;
    }
}

TEST(ProcedureFileCache, ARecentChangeDropsWhatWasKeptAndAFullCacheStartsOver) {
    ProcedureFileCache cache;
    cache.remember("/p.com", file(100, 100), std::make_shared<ProcedureText>(), at(200));
    cache.remember("/p.com", file(199, 199), std::make_shared<ProcedureText>(), at(200));
    EXPECT_EQ(cache.find("/p.com", file(100, 100)), nullptr);
    EXPECT_EQ(cache.size(), 0u);
    for (size_t n = 0; n < ProcedureFileCache::kMaxFiles; ++n)
        cache.remember("/f" + std::to_string(n), file(1, 1), std::make_shared<ProcedureText>(), at(200));
    EXPECT_EQ(cache.size(), ProcedureFileCache::kMaxFiles);
    cache.remember("/one-more", file(1, 1), std::make_shared<ProcedureText>(), at(200));
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_NE(cache.find("/one-more", file(1, 1)), nullptr);
    // Bytes count as well as files.
    cache.remember("/big", file(1, 1, ProcedureFileCache::kMaxFileSize), std::make_shared<ProcedureText>(), at(200));
    EXPECT_EQ(cache.size(), 2u);
    for (int n = 0; n < 4; ++n)
        cache.remember("/big" + std::to_string(n), file(1, 1, ProcedureFileCache::kMaxFileSize),
                       std::make_shared<ProcedureText>(), at(200));
    EXPECT_LE(cache.size(), 4u);
}

}  // namespace
}  // namespace dcl
