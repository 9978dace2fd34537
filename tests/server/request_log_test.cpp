// The request record: byte-exact JSON lines, read back to the same bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "server/request_log.h"

namespace orvanta::server {
namespace {

TEST(JsonByteString, EscapesEveryByteOutsidePrintableAscii) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain text+1%2c", "\"plain text+1%2c\""},
        {"quote\" back\\", "\"quote\\\" back\\\\\""},
        {std::string("nul\0", 4), "\"nul\\u0000\""},
        {"\r\n\t\x1f\x7f", "\"\\u000d\\u000a\\u0009\\u001f\\u007f\""},
        {"\xe4\xb8\xad", "\"\\u00e4\\u00b8\\u00ad\""},
        {"\xff", "\"\\u00ff\""},
        {"", "\"\""},
    };
    for (const auto& [bytes, json] : cases) {
        SCOPED_TRACE(json);
        EXPECT_EQ(JsonByteString(bytes), json);
    }
}

TEST(RecordLine, RoundTripsEveryByteValue) {
    RecordedRequest request;
    request.method = "POST";
    request.path = "/analysis";
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Password", "p\"w\\d\xe4"}};
    for (int i = 0; i < 256; ++i) {
        request.body.push_back(static_cast<char>(i));
    }
    request.body += "selectedTime=1&data=1+2+%2c";
    const std::string line = FormatRecordLine(request);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line, whatever the body holds
    for (char c : line.substr(0, line.size() - 1)) {
        const auto u = static_cast<unsigned char>(c);
        EXPECT_TRUE(u >= 0x20 && u < 0x7f) << "byte " << static_cast<int>(u);
    }
    RecordedRequest back;
    ASSERT_TRUE(ParseRecordLine(line, back));
    EXPECT_EQ(back.method, request.method);
    EXPECT_EQ(back.path, request.path);
    EXPECT_EQ(back.headers, request.headers);
    EXPECT_EQ(back.body, request.body);
}

TEST(RecordLine, ReadsOrdinaryJsonEscapesAndRejectsBrokenLines) {
    RecordedRequest r;
    ASSERT_TRUE(
        ParseRecordLine(R"({"method":"GET","extra":"x","path":"\/a\n","headers":{},"body":"\u4e2d\ud83d\ude00"})", r));
    EXPECT_EQ(r.path, "/a\n");
    EXPECT_EQ(r.body, "\xe4\xb8\xad\xf0\x9f\x98\x80");
    for (const char* broken : {"", "{", R"({"method":"GET")", R"({"method":"G\x"})", R"({"body":"\u00"})",
                               R"({"method":5})", R"({"method":"GET"} trailing)", R"({"body":"\ud83d"})"}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(ParseRecordLine(broken, r));
    }
}

TEST(RequestLog, AppendsWholeLinesFromManyThreads) {
    char path[] = "/tmp/orvanta-record-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        RequestLog log;
        ASSERT_TRUE(log.Open(path));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&log, t] {
                for (int i = 0; i < 50; ++i) {
                    RecordedRequest r;
                    r.method = "POST";
                    r.path = "/analysis";
                    r.body = std::string(1000 + i, static_cast<char>('a' + t));
                    EXPECT_TRUE(log.Append(r));
                }
            });
        }
        for (std::thread& th : threads) th.join();
    }
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        RecordedRequest r;
        ASSERT_TRUE(ParseRecordLine(line, r)) << "line " << lines;
        ASSERT_GE(r.body.size(), 1000u);
        EXPECT_EQ(r.body.find_first_not_of(r.body[0]), std::string::npos);
        ++lines;
    }
    EXPECT_EQ(lines, 200);
    std::remove(path);
}

TEST(RequestLog, FailsToOpenAMissingDirectory) {
    RequestLog log;
    EXPECT_FALSE(log.Open("/nonexistent-dir-orvanta/record.jsonl"));
    EXPECT_FALSE(log.Append(RecordedRequest()));
}

}  // namespace
}  // namespace orvanta::server
