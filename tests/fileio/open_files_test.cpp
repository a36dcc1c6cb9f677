// The record reader and writer of opened files: records across the
// buffer's edges, over-long records, the end of the file, in-place updates.
#include "fileio/open_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "status/condition.h"
#include "support/work_directory.h"

namespace dcl {
namespace {

constexpr size_t kBuffer = 64 * 1024;  // the reader's buffer size

void write_file(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string file_text(const std::string& name) {
    std::ostringstream text;
    text << std::ifstream(name, std::ios::binary).rdbuf();
    return text.str();
}

struct Read {
    uint32_t status;
    std::string record;
};

std::vector<Read> read_all(const std::string& content) {
    write_file("in.dat", content);
    OpenFile file;
    EXPECT_EQ(file.open("in.dat", OpenMode::read), 0);
    std::vector<Read> reads;
    for (;;) {
        Read r{0, {}};
        r.status = file.read_record(r.record);
        if (r.status == cond::RMS_EOF) break;
        reads.push_back(r);
    }
    // The end of the file stays the end.
    std::string record;
    EXPECT_EQ(file.read_record(record), cond::RMS_EOF);
    return reads;
}

TEST(OpenFiles, RecordsAsTheyLie) {
    test::WorkDirectory dir("open-files");
    const std::string max(kMaxRecordLength, 'm');
    struct Case {
        const char* what;
        std::string content;
        std::vector<Read> expected;
    } cases[] = {
        {"empty file", "", {}},
        {"empty lines", "\n\n", {{1, ""}, {1, ""}}},
        {"no final newline", "a\nb", {{1, "a"}, {1, "b"}}},
        {"NUL and tab kept", std::string("x\0y\tz\n", 6), {{1, std::string("x\0y\tz", 5)}}},
        {"the longest record", max + "\nnext", {{1, max}, {1, "next"}}},
        {"one byte too long: cut, the rest skipped", max + "xy\nnext\n", {{cond::RTB, max}, {1, "next"}}},
        {"too long without newline", max + "tail", {{cond::RTB, max}}},
    };
    for (const Case& c : cases) {
        std::vector<Read> got = read_all(c.content);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].status, c.expected[i].status) << c.what << " #" << i;
            EXPECT_EQ(got[i].record, c.expected[i].record) << c.what << " #" << i;
        }
    }
}

TEST(OpenFiles, RecordsAcrossTheBuffersEdges) {
    test::WorkDirectory dir("open-files");
    std::string content;
    std::vector<std::string> lines;
    for (size_t i = 0; content.size() < 3 * kBuffer; ++i) {
        lines.push_back(std::string(1 + i % 97, static_cast<char>('a' + i % 26)));
        content += lines.back() + "\n";
    }
    std::vector<Read> got = read_all(content);
    ASSERT_EQ(got.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(got[i].status, 1u) << "record " << i;
        ASSERT_TRUE(got[i].record == lines[i]) << "record " << i;
    }
}

TEST(OpenFiles, LongRecordsAcrossManyBuffers) {
    test::WorkDirectory dir("open-files");
    std::string huge(3 * kBuffer + 17, 'h');
    std::vector<Read> got = read_all(huge + "\nafter\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].status, cond::RTB);
    EXPECT_EQ(got[0].record.size(), kMaxRecordLength);
    EXPECT_EQ(got[1].record, "after");
}

TEST(OpenFiles, UpdateInPlaceAndAppendAtTheEnd) {
    test::WorkDirectory dir("open-files");
    write_file("u.dat", "one\ntwo\nthree\n");
    OpenFile file;
    ASSERT_EQ(file.open("u.dat", OpenMode::read_write), 0);
    std::string record;
    EXPECT_EQ(file.update_record("ONE"), with_severity(cond::FAC, SEV_SEVERE)) << "nothing read yet";
    ASSERT_EQ(file.read_record(record), 1u);
    ASSERT_EQ(file.read_record(record), 1u);
    EXPECT_EQ(file.update_record("TWO"), 1u);
    EXPECT_EQ(file.update_record("TWOO"), with_severity(cond::RSZ, SEV_SEVERE));
    EXPECT_EQ(file.write_record("four"), 1u);
    ASSERT_EQ(file.read_record(record), 1u);
    EXPECT_EQ(record, "three");
    ASSERT_EQ(file.read_record(record), 1u);
    EXPECT_EQ(record, "four") << "a record added at the end is read in turn";
    EXPECT_EQ(file.close(), 1u);
    EXPECT_EQ(file_text("u.dat"), "one\nTWO\nthree\nfour\n");
}

TEST(OpenFiles, AccessIsChecked) {
    test::WorkDirectory dir("open-files");
    write_file("r.dat", "x\n");
    OpenFile reader, writer, appender;
    ASSERT_EQ(reader.open("r.dat", OpenMode::read), 0);
    EXPECT_EQ(reader.write_record("y"), with_severity(cond::FAC, SEV_SEVERE));
    EXPECT_EQ(writer.open("r.dat", OpenMode::write), EEXIST) << "a new file never replaces one";
    ASSERT_EQ(writer.open("w.dat", OpenMode::write), 0);
    std::string record;
    EXPECT_EQ(writer.read_record(record), with_severity(cond::FAC, SEV_SEVERE));
    EXPECT_EQ(appender.open("missing.dat", OpenMode::append), ENOENT);
    ASSERT_EQ(appender.open("r.dat", OpenMode::append), 0);
    EXPECT_EQ(appender.write_record("y"), 1u);
    EXPECT_EQ(file_text("r.dat"), "x\ny\n");
}

}  // namespace
}  // namespace dcl
