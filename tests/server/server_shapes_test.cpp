// Raw request shapes against the running server, each on a fresh
// connection: the statuses that come back and whether the connection is
// closed after them. Heads that two readers could frame differently
// (request smuggling) must get 400 and a closed connection, so that bytes
// after them are never taken for a second request.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "raw_http.h"
#include "server/analysis_server.h"

namespace orvanta::server {
namespace {

using testing::ConnectFrom;
using testing::ReadReplies;
using testing::SendAll;

const std::string kGet = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
// A POST the server answers at once (401: no credentials), then a GET.
const std::string kPair = "POST /analysis HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc" + kGet;

class ServerShapesTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<AnalysisServer>(Credentials{"111", "trelmoza"}, nullptr);
        port_ = server_->Bind("127.0.0.1", 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { server_->Run(); });
    }
    void TearDown() override {
        server_->Stop();
        thread_.join();
    }

    std::unique_ptr<AnalysisServer> server_;
    int port_ = -1;
    std::thread thread_;
};

TEST_F(ServerShapesTest, AnswersEachShapeAndClosesWhereItMust) {
    const std::string post = "POST /analysis HTTP/1.1\r\nHost: x\r\n";
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<int> statuses;
        bool closes;
    };
    const Row rows[] = {
        {"Content-Length, then Transfer-Encoding",
         post + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n" + kGet, {400}, true},
        {"Transfer-Encoding, then Content-Length",
         post + "Transfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n0\r\n\r\n" + kGet, {400}, true},
        {"two Transfer-Encodings",
         post + "Transfer-Encoding: chunked\r\nTransfer-Encoding: identity\r\n\r\n0\r\n\r\n" + kGet, {400}, true},
        {"Transfer-Encoding not ending in chunked", post + "Transfer-Encoding: gzip\r\n\r\n" + kGet, {400}, true},
        {"Transfer-Encoding in HTTP/1.0",
         "POST /analysis HTTP/1.0\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n" + kGet, {400}, true},
        {"two differing Content-Lengths", post + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd" + kGet, {400},
         true},
        {"two equal Content-Lengths", post + "Content-Length: 3\r\nContent-Length: 3\r\n\r\nabc" + kGet, {401, 200},
         false},
        {"no Host", "GET / HTTP/1.1\r\n\r\n" + kGet, {400}, true},
        {"two Hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n" + kGet, {400}, true},
        {"no Host in HTTP/1.0", "GET / HTTP/1.0\r\n\r\n" + kGet, {200}, true},
        // The library unfolds an obs-fold into one value.
        {"obs-fold", "GET / HTTP/1.1\r\nHost: x\r\nX-A: a\r\n b\r\n\r\n" + kGet, {200, 200}, false},
        // The library ends a value at a NUL; framing stays unambiguous.
        {"NUL in a value", std::string("GET / HTTP/1.1\r\nHost: x\r\nX-A: a\0b\r\n\r\n", 37) + kGet, {200, 200},
         false},
        {"bare LF line ends", "GET / HTTP/1.1\nHost: x\n\n" + kGet, {200, 200}, false},
        {"HEAD", "HEAD / HTTP/1.1\r\nHost: x\r\n\r\n" + kGet, {200, 200}, false},
        {"Expect: 100-continue", post + "Expect: 100-continue\r\nContent-Length: 3\r\n\r\nabc", {100, 401}, false},
        {"Connection: keep-alive, close", "GET / HTTP/1.1\r\nHost: x\r\nConnection: keep-alive, close\r\n\r\n" + kGet,
         {200}, true},
        {"HTTP/1.0 keep-alive",
         "GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\nGET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n",
         {200, 200}, false},
        {"a longer head than the connection's memory",
         "GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(70000, 'a') + "\r\n\r\n", {431}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int fd = ConnectFrom(port_);
        ASSERT_GE(fd, 0);
        SendAll(fd, row.bytes);
        std::size_t finals = 0;
        for (int status : row.statuses) finals += status >= 200 ? 1 : 0;
        const testing::RawReplies replies = ReadReplies(fd, finals, 150);
        close(fd);
        EXPECT_EQ(replies.statuses, row.statuses);
        EXPECT_EQ(replies.closed, row.closes);
    }
}

// Two requests sent in two parts, cut at every byte: the answers are the
// same wherever the cut falls.
TEST_F(ServerShapesTest, PipelinedRequestsGetTheSameAnswersWhereverTheyAreCut) {
    for (std::size_t cut = 1; cut < kPair.size(); ++cut) {
        SCOPED_TRACE(cut);
        const int fd = ConnectFrom(port_);
        ASSERT_GE(fd, 0);
        SendAll(fd, kPair.substr(0, cut));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SendAll(fd, kPair.substr(cut));
        const testing::RawReplies replies = ReadReplies(fd, 2, 0);
        close(fd);
        EXPECT_EQ(replies.statuses, (std::vector<int>{401, 200}));
        EXPECT_FALSE(replies.closed);
    }
}

}  // namespace
}  // namespace orvanta::server
