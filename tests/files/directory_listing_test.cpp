// The fields of DIRECTORY's listing: size texts and protection texts.
#include <gtest/gtest.h>

#include <string>

#include "files/directory_listing.h"

namespace dcl {
namespace {

TEST(DirectoryFields, SizeText) {
    struct Case {
        uint64_t blocks;
        uint32_t word;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {5, DIR_USED, 6, "     5"},
        {5, DIR_ALLOCATED, 0, "     5"},              // 0: the usual 6
        {5, DIR_SIZES, 3, "  5/5  "},                 // both sizes: right, then left aligned
        {1234567, DIR_USED, 6, "******"},             // too long for the field
        {1234567, DIR_SIZES, 6, "******/******"},
        {8589934592ull, DIR_USED, 10, "8589934592"},  // 4 TiB of blocks: no wrap at 32 bits
        {7, DIR_USED, 25, "                   7"},  // at most 20
    };
    std::string out;
    for (const Case& c : cases) {
        size_text(out, c.blocks, c.word, c.width);
        EXPECT_EQ(out, c.text) << c.blocks << " width " << c.width;
    }
}

TEST(DirectoryFields, ProtectionText) {
    std::string out;
    protection_text(out, 0750);
    EXPECT_EQ(out, "(RWED,RWED,RE,)");
    protection_text(out, 0100644);
    EXPECT_EQ(out, "(RWED,RWD,R,R)");
}

}  // namespace
}  // namespace dcl
