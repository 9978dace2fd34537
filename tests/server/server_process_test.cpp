// The built orvanta-server program: command line, the announced port,
// recording, an orderly stop on SIGTERM and SIGINT, and its bounds under
// many slow and lingering clients.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <thread>

#include "raw_http.h"
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

// 150 clients trickling their heads and 150 lingering after their answer,
// from several addresses (each address may hold only so many connections):
// a valid request is still answered within 1 s, and the server's peak
// resident memory stays under 100 MB.
TEST_F(ServerProcessTest, ManySlowAndLingeringClientsShutNoOneOutAndStayBounded) {
    Child child = Start({"--listen", "127.0.0.1:0"});
    ASSERT_GT(child.pid, 0);
    const std::string out =
        ReadUntil(child.out, [](const std::string& t) { return t.find('\n') != std::string::npos; }, 10000);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("listening on http://127\\.0\\.0\\.1:([0-9]+)\n"))) << out;
    const int port = std::stoi(m[1].str());
    const auto address = [](int group, int i) {
        return "127.0." + std::to_string(group) + "." + std::to_string(1 + i % 10);
    };

    std::vector<int> trickling;
    std::vector<int> lingering;
    for (int i = 0; i < 150; ++i) {
        const int slow = testing::ConnectFrom(port, address(2, i));
        ASSERT_GE(slow, 0);
        ASSERT_TRUE(testing::SendAll(slow, "POST /analysis HTTP/1.1\r\n"));
        trickling.push_back(slow);
        const int idle = testing::ConnectFrom(port, address(3, i));
        ASSERT_GE(idle, 0);
        ASSERT_TRUE(testing::SendAll(idle, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
        EXPECT_EQ(testing::ReadReplies(idle, 1, 0).statuses, std::vector<int>{200});
        lingering.push_back(idle);
    }
    std::atomic<bool> going{true};
    std::thread trickle([&] {
        while (going) {
            for (int fd : trickling) send(fd, "X", 1, MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    const std::string body = testing::EncodeBody(testing::ValidTexts());
    const std::string request =
        "POST /analysis HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
        "Api-Version: 1.0.0\r\nUser-ID: 111\r\nPassword: trelmoza\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    for (int probe = 0; probe < 5; ++probe) {
        const auto started = std::chrono::steady_clock::now();
        const int fd = testing::ConnectFrom(port, "127.0.0.1", 1000);
        ASSERT_GE(fd, 0);
        testing::SendAll(fd, request);
        EXPECT_EQ(testing::ReadReplies(fd, 1, 0).statuses, std::vector<int>{200});
        close(fd);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << probe;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    going = false;
    trickle.join();

    std::ifstream status("/proc/" + std::to_string(child.pid) + "/status");
    std::string line;
    long peakKb = -1;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) peakKb = std::stol(line.substr(6));
    }
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 100 * 1024);
    for (int fd : trickling) close(fd);
    for (int fd : lingering) close(fd);
    kill(child.pid, SIGTERM);
    EXPECT_NE(WaitFor(child.pid, 10000), -1);
    close(child.out);
    close(child.err);
}

}  // namespace
}  // namespace orvanta::server
