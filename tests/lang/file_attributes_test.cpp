// F$FILE_ATTRIBUTES and F$GETDVI called directly with their argument
// texts, on files made in a temporary directory.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "files/vms_time.h"
#include "lang/lexical_functions.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

class FileAttributes : public ::testing::Test {
protected:
    // The result text, or "!status" when the call failed.
    std::string call(LexicalFunction function, const std::string& first, const std::string& item) {
        std::string result;
        type_ = VALUE_STRING;
        LexicalCall lexical{result, type_};
        args_ = {"\"" + first + "\"", "\"" + item + "\""};
        lexical.arguments[0] = args_[0];
        lexical.arguments[1] = args_[1];
        lexical.count = 2;
        uint32_t status = function(lexical);
        if (status != 1) return "!" + std::to_string(status);
        return result;
    }
    std::string attribute(const std::string& file, const std::string& item) {
        return call(lexical_file_attributes, file, item);
    }
    std::string device(const std::string& name, const std::string& item) {
        return call(lexical_getdvi, name, item);
    }
    static void write_file(const std::string& name, const std::string& content) {
        std::ofstream(name, std::ios::binary) << content;
    }

    test::CapturedErrors errors_;
    test::WorkDirectory work_{"dclsh-fileattr"};
    std::vector<std::string> args_;
    ValueType type_ = VALUE_STRING;
};

TEST_F(FileAttributes, SizesInBlocksAndTheLongestLine) {
    const struct {
        std::string content;
        std::string eof, ffb, lrl;
    } cases[] = {
        {"", "0", "0", "0"},
        {std::string(1000, 'x'), "2", "488", "1000"},
        {std::string(512, 'x'), "1", "0", "512"},
        {std::string(513, 'x'), "2", "1", "513"},
        {"ab\nabcdef\n\nxyz", "1", "14", "6"},
        {"\n\n\n", "1", "3", "0"},
        // A line across the reads of the file.
        {"ab\n" + std::string(70000, 'y') + "\nshort\n", "137", "378", "70000"},
    };
    for (const auto& c : cases) {
        write_file("f.txt", c.content);
        SCOPED_TRACE(c.content.size());
        EXPECT_EQ(attribute("f.txt", "EOF"), c.eof);
        EXPECT_EQ(type_, VALUE_INTEGER);
        EXPECT_EQ(attribute("f.txt", "ALQ"), c.eof);
        EXPECT_EQ(attribute("f.txt", "FFB"), c.ffb);
        EXPECT_EQ(attribute("f.txt", "lrl"), c.lrl);
    }
}

TEST_F(FileAttributes, FixedRecordAttributesAndFlags) {
    write_file("f.txt", "x\n");
    fs::create_directory("sub");
    fs::create_symlink("f.txt", "link.txt");
    const struct {
        std::string file, item, expected;
    } cases[] = {
        {"f.txt", "ORG", "SEQ"},         {"f.txt", "RFM", "STMLF"},
        {"f.txt", "RAT", "CR"},          {"f.txt", "BLS", "512"},
        {"f.txt", "RVN", "1"},           {"f.txt", "MRS", "0"},
        {"f.txt", "EDT", "17-NOV-1858 00:00:00.00"},
        {"f.txt", "B D T", "17-NOV-1858 00:00:00.00"},
        {"f.txt", "KNOWN", "FALSE"},     {"f.txt", "NOBACKUP", "FALSE"},
        {"f.txt", "DIRECTORY", "FALSE"}, {"f.txt", "SYMLINK", "FALSE"},
        {"sub.dir", "DIRECTORY", "TRUE"}, {"[.sub]", "DIRECTORY", "TRUE"},
        {"link.txt", "SYMLINK", "TRUE"}, {"link.txt", "EOF", "1"},
        {"F.TXT", "FFB", "2"},  // found as other commands find it
    };
    for (const auto& c : cases) EXPECT_EQ(attribute(c.file, c.item), c.expected) << c.file << " " << c.item;
}

TEST_F(FileAttributes, DatesCarryHundredths) {
    write_file("f.txt", "x");
    const time_t when = 1614945600;  // early March 2021, a one-digit day
    struct timespec times[2] = {{when, 0}, {when, 520000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, "f.txt", times, 0), 0);
    std::string revised = attribute("f.txt", "RDT");
    EXPECT_EQ(revised, format_time(when) + ".52");
    EXPECT_TRUE(std::regex_match(revised, std::regex(R"([ 1-3]\d-[A-Z]{3}-\d{4} \d\d:\d\d:\d\d\.\d\d)")))
        << revised;
    EXPECT_TRUE(std::regex_match(attribute("f.txt", "CDT"),
                                 std::regex(R"([ 1-3]\d-[A-Z]{3}-\d{4} \d\d:\d\d:\d\d\.\d\d)")));
}

TEST_F(FileAttributes, ProtectionFromTheMode) {
    write_file("f.txt", "x");
    const struct {
        mode_t mode;
        std::string expected;
    } cases[] = {
        {0640, "SYSTEM=RWED, OWNER=RWD, GROUP=R, WORLD="},
        {0755, "SYSTEM=RWED, OWNER=RWED, GROUP=RE, WORLD=RE"},
        {0000, "SYSTEM=RWED, OWNER=, GROUP=, WORLD="},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(chmod("f.txt", c.mode), 0);
        EXPECT_EQ(attribute("f.txt", "PRO"), c.expected);
    }
}

TEST_F(FileAttributes, IdentifiersOfLinksAndDirectories) {
    fs::create_directory("sub");
    write_file("sub/a", "x");
    write_file("sub/b", "x");
    fs::create_hard_link("sub/a", "sub/c");
    std::string a = attribute("[.sub]a", "FID");
    EXPECT_TRUE(std::regex_match(a, std::regex(R"(\(\d+,\d+\))"))) << a;
    EXPECT_EQ(attribute("[.sub]c", "FID"), a);
    EXPECT_NE(attribute("[.sub]b", "FID"), a);
    EXPECT_EQ(attribute("[.sub]a", "DID"), attribute("sub.dir", "FID"));
    EXPECT_EQ(std::to_string(getuid()), attribute("[.sub]a", "MBM"));
}

TEST_F(FileAttributes, Refusals) {
    write_file("f.txt", "x");
    EXPECT_EQ(attribute("*.txt", "EOF"), "!" + std::to_string(with_severity(cond::WLD, SEV_SEVERE)));
    EXPECT_EQ(attribute("f.%xt", "EOF"), "!" + std::to_string(with_severity(cond::WLD, SEV_SEVERE)));
    EXPECT_EQ(attribute("nosuch.txt", "EOF"), "!" + std::to_string(cond::FNF));
    EXPECT_EQ(attribute("[.nosuch]f.txt", "EOF"), "!" + std::to_string(cond::FNF));
    // The item is judged first; there is no EXISTS item (F$SEARCH is).
    for (const char* item : {"EXISTS", "COLOR"}) {
        discard_messages();
        EXPECT_EQ(attribute("nosuch.txt", item), "!0");
        ASSERT_EQ(message_queue().count, 1u);
        EXPECT_EQ(message_queue().entries[0].value, cond::IVKEYW);
        EXPECT_EQ(message_queue().entries[0].arg1, item);
    }
    discard_messages();
}

TEST_F(FileAttributes, DevicesOfPaths) {
    const struct {
        std::string device, item, expected;
    } cases[] = {
        {"/", "EXISTS", "TRUE"},
        {"/", "DEVCLASS", "1"},
        {"/", "MNT", "TRUE"},
        {"/", "TRM", "FALSE"},
        {"/", "ERRCNT", "0"},
        {"/", "DEVBUFSIZ", "512"},
        {"/no/such/path", "EXISTS", "FALSE"},
        {"NOSUCHDEVICE", "EXISTS", "FALSE"},
        {"NOSUCHDEVICE", "DEVNAM", "!0"},
        {"/", "COLOR", "!0"},
        {"/dev/null", "DEVCLASS", "200"},
        {"/dev/null", "TRM", "FALSE"},
        {"/dev/null", "MNT", "FALSE"},
    };
    for (const auto& c : cases) EXPECT_EQ(device(c.device, c.item), c.expected) << c.device << " " << c.item;
    discard_messages();
    EXPECT_EQ(device("NOSUCHDEVICE", "MNT"), "!0");
    ASSERT_EQ(message_queue().count, 1u);
    EXPECT_EQ(message_queue().entries[0].value, cond::NOSUCHDEV);
    discard_messages();
    EXPECT_EQ(device(work_.root(), "FULLDEVNAM"), "_" + device(work_.root(), "DEVNAM"));
    long free_blocks = std::stol(device("/", "FREEBLOCKS"));
    long max_blocks = std::stol(device("/", "MAXBLOCK"));
    EXPECT_GE(free_blocks, 0);
    EXPECT_LE(free_blocks, max_blocks);
}

TEST_F(FileAttributes, DeviceOfAFileIsTheDiskHoldingIt) {
    write_file("f.txt", "x");
    std::string disk = device(work_.root(), "DEVNAM");
    EXPECT_FALSE(disk.empty());
    EXPECT_EQ(attribute("f.txt", "DVI"), disk);
}

}  // namespace
}  // namespace dcl
