// The built orvanta-server program: command line, the announced port,
// recording, and an orderly stop on SIGTERM and SIGINT.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <thread>

#include "server/request_log.h"
#include "server_test_support.h"

namespace orvanta::server {
namespace {

std::string ServerBinary() {
    const char* dir = std::getenv("ORVANTA_BIN_DIR");
    return dir == nullptr ? std::string() : std::string(dir) + "/orvanta-server";
}

// A started orvanta-server with its standard output and error on pipes.
struct Child {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

Child Start(const std::vector<std::string>& args) {
    int out[2];
    int err[2];
    Child child;
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return child;
    const std::string binary = ServerBinary();
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    child.pid = fork();
    if (child.pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    child.out = out[0];
    child.err = err[0];
    return child;
}

// Reads from `fd` until `done` holds for what was read, EOF, or the timeout.
std::string ReadUntil(int fd, const std::function<bool(const std::string&)>& done, int timeoutMs) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done(text)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[1024];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// Waits up to `timeoutMs` for the child; returns its wait status or -1.
int WaitFor(pid_t pid, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

class ServerProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (ServerBinary().empty()) {
            GTEST_SKIP() << "ORVANTA_BIN_DIR is not set (run through CTest)";
        }
        ASSERT_EQ(access(ServerBinary().c_str(), X_OK), 0) << ServerBinary();
    }
};

TEST_F(ServerProcessTest, AnnouncesItsPortServesAndStopsOnSignals) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        char path[] = "/tmp/orvanta-server-proc-XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        std::remove(path);  // the server creates it

        Child child = Start({"--listen", "127.0.0.1:0", "--record", path, "--password", "pw"});
        ASSERT_GT(child.pid, 0);
        const std::string out = ReadUntil(
            child.out, [](const std::string& t) { return t.find('\n') != std::string::npos; }, 10000);
        std::smatch m;
        const std::regex announce("^listening on http://127\\.0\\.0\\.1:([0-9]+)\n");
        ASSERT_TRUE(std::regex_search(out, m, announce)) << out;
        const int port = std::stoi(m[1].str());
        ASSERT_GT(port, 0);

        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(10);
        const std::string body = testing::EncodeBody(testing::ValidTexts());
        auto res = client.Post("/analysis", {{"Api-Version", "1.0.0"}, {"User-ID", "111"}, {"Password", "pw"}}, body,
                               "application/x-www-form-urlencoded");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        res = client.Post("/analysis", {{"Api-Version", "1.0.0"}, {"User-ID", "111"}, {"Password", "trelmoza"}}, body,
                          "application/x-www-form-urlencoded");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 401);  // the default password no longer counts

        kill(child.pid, signalNumber);
        const int status = WaitFor(child.pid, 10000);
        ASSERT_NE(status, -1) << "the server did not stop";
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        close(child.out);
        close(child.err);

        std::ifstream in(path, std::ios::binary);
        std::string line;
        int lines = 0;
        while (std::getline(in, line)) {
            RecordedRequest r;
            ASSERT_TRUE(ParseRecordLine(line, r));
            EXPECT_EQ(r.body, body);
            ++lines;
        }
        EXPECT_EQ(lines, 2);
        std::remove(path);
    }
}

TEST_F(ServerProcessTest, RejectsBadArgumentsWithExitStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--listen", "nowhere"},
        {"--listen", "127.0.0.1:70000"},
        {"--bogus"},
        {"--user"},
        {"stray"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        Child child = Start(args);
        ASSERT_GT(child.pid, 0);
        const std::string err = ReadUntil(child.err, [](const std::string&) { return false; }, 5000);
        const int status = WaitFor(child.pid, 5000);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 2);
        EXPECT_NE(err.find("orvanta-server: "), std::string::npos) << err;
        close(child.out);
        close(child.err);
    }
}

TEST_F(ServerProcessTest, PrintsHelp) {
    Child child = Start({"--help"});
    ASSERT_GT(child.pid, 0);
    const std::string out = ReadUntil(child.out, [](const std::string&) { return false; }, 5000);
    const int status = WaitFor(child.pid, 5000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(out.find("--listen HOST:PORT"), std::string::npos);
    EXPECT_NE(out.find("--record FILE"), std::string::npos);
    close(child.out);
    close(child.err);
}

TEST_F(ServerProcessTest, FailsClearlyWhenThePortIsTaken) {
    httplib::Server holder;
    const int port = holder.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    Child child = Start({"--listen", "127.0.0.1:" + std::to_string(port)});
    ASSERT_GT(child.pid, 0);
    const std::string err = ReadUntil(child.err, [](const std::string&) { return false; }, 5000);
    const int status = WaitFor(child.pid, 5000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(err.find("cannot listen"), std::string::npos) << err;
    close(child.out);
    close(child.err);
}

}  // namespace
}  // namespace orvanta::server
