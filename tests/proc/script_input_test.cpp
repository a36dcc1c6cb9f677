// A script arriving through a pipe: positions stay valid behind and ahead
// of the reader.
#include "proc/script_input.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

namespace dcl {
namespace {

// A pipe whose write end has `text` in it and is closed.
class FilledPipe {
public:
    explicit FilledPipe(const std::string& text) {
        EXPECT_EQ(pipe(fds_), 0);
        EXPECT_EQ(write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fds_[1]);
    }
    ~FilledPipe() { close(fds_[0]); }
    FilledPipe(const FilledPipe&) = delete;
    FilledPipe& operator=(const FilledPipe&) = delete;
    int read_end() const { return fds_[0]; }

private:
    int fds_[2] = {-1, -1};
};

std::string next_line(FILE* in) {
    std::string line;
    for (int c; (c = std::getc(in)) != EOF && c != '\n';) line.push_back(static_cast<char>(c));
    return line;
}

TEST(ScriptInput, APipeIsKeptSoThatJumpsGoBackAndAhead) {
    FilledPipe pipe_in("one\ntwo\nthree\nfour\n");
    OwnedFile owned;
    FILE* in = open_script_input(pipe_in.read_end(), owned);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(owned.get(), in);
    EXPECT_EQ(next_line(in), "one");
    long after_one = std::ftell(in);
    EXPECT_EQ(after_one, 4);
    EXPECT_EQ(next_line(in), "two");
    ASSERT_EQ(std::fseek(in, after_one, SEEK_SET), 0);  // back
    EXPECT_EQ(next_line(in), "two");
    ASSERT_EQ(std::fseek(in, 14, SEEK_SET), 0);  // ahead, to "four"
    EXPECT_EQ(next_line(in), "four");
    EXPECT_EQ(std::getc(in), EOF);
    ASSERT_EQ(std::fseek(in, 0, SEEK_SET), 0);
    EXPECT_EQ(next_line(in), "one");
    ASSERT_EQ(std::fseek(in, 0, SEEK_END), 0);
    EXPECT_EQ(std::ftell(in), 19);
    EXPECT_NE(std::fseek(in, -20, SEEK_END), 0);  // before the start
}

}  // namespace
}  // namespace dcl
