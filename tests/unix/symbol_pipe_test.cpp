// The symbol pipe: wire format, requests served against the symbol tables,
// and requests that are garbage, cut short or too long.
#include "unix/symbol_pipe.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/messages.h"

namespace dcl {
namespace {

PipeMessage request(uint16_t function, uint16_t scope, std::string data) {
    PipeMessage m;
    m.function = function;
    m.scope = scope;
    m.data = std::move(data);
    return m;
}

std::string name_value(std::string_view name, std::string_view value) {
    std::string s(name);
    s.push_back('\0');
    s += value;
    s.push_back('\0');
    return s;
}

TEST(SymbolPipeWire, EncodesLittleEndianAndDecodesBack) {
    PipeMessage m;
    m.status = 0x0A0B0C0D;
    m.function = sympipe::SET;
    m.scope = sympipe::SCOPE_ENVIRONMENT;
    m.data = "ab";
    std::string bytes;
    ASSERT_TRUE(encode_message(m, bytes));
    const std::string expected("\x0A\x00\x0D\x0C\x0B\x0A\x02\x00\x03\x00"
                               "ab",
                               12);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(decode_length(reinterpret_cast<const unsigned char*>(bytes.data())), 10);
    PipeMessage back;
    ASSERT_TRUE(decode_message(std::string_view(bytes).substr(2), back));
    EXPECT_EQ(back.status, m.status);
    EXPECT_EQ(back.function, m.function);
    EXPECT_EQ(back.scope, m.scope);
    EXPECT_EQ(back.data, "ab");
}

TEST(SymbolPipeWire, ShortBodiesAndOversizedMessagesAreRefused) {
    PipeMessage m;
    EXPECT_FALSE(decode_message(std::string_view("\x01\x02\x03", 3), m));
    m.data.assign(sympipe::kMaxBody, 'x');
    std::string bytes = "untouched";
    EXPECT_FALSE(encode_message(m, bytes));
    EXPECT_EQ(bytes, "untouched");
}

TEST(SymbolPipeWords, QuotesGroupAndDoubledQuotesStay) {
    std::vector<std::string> words;
    ASSERT_TRUE(split_image_words("  /bin/x  a\"b c\"d \"say \"\"hi\"\"\"  ", words));
    EXPECT_EQ(words, (std::vector<std::string>{"/bin/x", "ab cd", "say \"hi\""}));
    std::string many;
    for (int i = 0; i < 256; ++i) many += "w ";
    EXPECT_FALSE(split_image_words(many, words));
    many.resize(many.size() - 2);
    EXPECT_TRUE(split_image_words(many, words));
    EXPECT_EQ(words.size(), kMaxImageWords);
}

class SymbolPipeServe : public ::testing::Test {
protected:
    void SetUp() override { push_procedure_level(""); }
    void TearDown() override {
        delete_symbol("PIPETEST", SYM_GLOBAL);
        discard_messages();
    }
    ImageRun run;
};

TEST_F(SymbolPipeServe, GetSetDeleteAndStatus) {
    PipeMessage reply = serve_request(request(sympipe::GET, 2, name_value("NOSUCH_SYM", "")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_FAILED);
    EXPECT_EQ(reply.scope, sympipe::SCOPE_NONE);
    std::string bytes;
    ASSERT_TRUE(encode_message(reply, bytes));
    EXPECT_EQ(bytes.size(), 2 + sympipe::kHeaderSize);

    reply = serve_request(request(sympipe::SET, sympipe::SCOPE_GLOBAL, name_value("pipetest", "v1")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_OK);
    reply = serve_request(request(sympipe::GET, 0, name_value("PIPETEST", "")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_OK);
    EXPECT_EQ(reply.scope, sympipe::SCOPE_GLOBAL);
    EXPECT_EQ(reply.data, "v1");
    reply = serve_request(request(sympipe::DELETE, sympipe::SCOPE_GLOBAL, name_value("PIPETEST", "")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_OK);
    reply = serve_request(request(sympipe::DELETE, sympipe::SCOPE_GLOBAL, name_value("PIPETEST", "")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_FAILED);

    reply = serve_request(request(7, 1, ""), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_BAD_FUNCTION);
    EXPECT_FALSE(run.status_reported);
    reply = serve_request(request(sympipe::SET, 2, name_value("$status", "44")), run);
    EXPECT_EQ(reply.status, sympipe::REPLY_OK);
    EXPECT_TRUE(run.status_reported);
    EXPECT_EQ(run.image_status, 44u);
}

// A pair of pipes standing in for the image's side.
struct PipePair {
    int request[2];
    int reply[2];
    PipePair() {
        EXPECT_EQ(pipe(request), 0);
        EXPECT_EQ(pipe(reply), 0);
    }
    ~PipePair() {
        for (int fd : {request[0], request[1], reply[0], reply[1]}) close(fd);
    }
    void send(std::string_view bytes) { ASSERT_EQ(write(request[1], bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    std::string receive() {
        char buffer[4096];
        ssize_t n = read(reply[0], buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, size_t(n)) : std::string();
    }
};

int g_request_fd = -1;
// The "image" has ended once nothing more is waiting in the pipe.
bool nothing_left(ImageRun&) {
    pollfd p{g_request_fd, POLLIN, 0};
    return poll(&p, 1, 0) <= 0;
}

TEST_F(SymbolPipeServe, OverLongRequestIsSkippedAndRefused) {
    PipePair pipes;
    g_request_fd = pipes.request[0];
    std::string bytes("\xB8\x0B", 2);  // 3000
    bytes += std::string(3000, 'x');
    pipes.send(bytes);
    PipeMessage follow = request(sympipe::GET, 0, name_value("NOSUCH_SYM", ""));
    std::string follow_bytes;
    ASSERT_TRUE(encode_message(follow, follow_bytes));
    pipes.send(follow_bytes);
    ASSERT_TRUE(serve_one_request(pipes.request[0], pipes.reply[1], run, nothing_left));
    std::string reply = pipes.receive();
    ASSERT_EQ(reply.size(), 2 + sympipe::kHeaderSize);
    PipeMessage decoded;
    ASSERT_TRUE(decode_message(std::string_view(reply).substr(2), decoded));
    EXPECT_EQ(decoded.status, sympipe::REPLY_FAILED);
    // The stream is still in step: the next request is served.
    ASSERT_TRUE(serve_one_request(pipes.request[0], pipes.reply[1], run, nothing_left));
    reply = pipes.receive();
    ASSERT_TRUE(decode_message(std::string_view(reply).substr(2), decoded));
    EXPECT_EQ(decoded.function, sympipe::GET);
    EXPECT_EQ(decoded.status, sympipe::REPLY_FAILED);
}

TEST_F(SymbolPipeServe, GarbageAndTruncatedRequestsNeverHang) {
    PipePair pipes;
    g_request_fd = pipes.request[0];
    pipes.send(std::string("\xFF\xFF", 2));  // a negative length
    ASSERT_TRUE(serve_one_request(pipes.request[0], pipes.reply[1], run, nothing_left));
    PipeMessage decoded;
    std::string reply = pipes.receive();
    ASSERT_TRUE(decode_message(std::string_view(reply).substr(2), decoded));
    EXPECT_EQ(decoded.status, sympipe::REPLY_FAILED);
    pipes.send(std::string("\x14\x00\x01\x02", 4));  // 20 announced, 2 sent
    EXPECT_FALSE(serve_one_request(pipes.request[0], pipes.reply[1], run, nothing_left));
}

}  // namespace
}  // namespace dcl
