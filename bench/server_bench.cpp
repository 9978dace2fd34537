// The reference server's throughput: analysis POSTs a second from 8 and 64
// clients, each on one kept-alive connection or on a fresh connection per
// request, against the same run's floor, a GET of the start page (the HTTP
// layer alone). Prints the rows of docs/performance.md's server table
// (scripts/bench puts them in place).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "server/analysis_server.h"
#include "tests/server/server_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// From one of 16 loopback addresses, so that the server's per-address limit
// does not cap the clients.
int Connect(int port, int client) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(INADDR_LOOPBACK + 256 + 1 + client % 16);
    bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Sends one request and reads its answer (head and Content-Length bytes);
// false when the exchange failed.
bool Exchange(int fd, const std::string& request) {
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) return false;
    std::string in;
    char buffer[65536];
    for (;;) {
        const std::size_t headEnd = in.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
            const std::size_t at = in.find("Content-Length: ");
            if (at == std::string::npos || at > headEnd) return false;
            if (in.size() >= headEnd + 4 + std::stoul(in.substr(at + 16))) return in.compare(9, 3, "200") == 0;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        in.append(buffer, static_cast<std::size_t>(n));
    }
}

// Requests a second from `clients` threads over `seconds`.
double Rate(int port, const std::string& request, int clients, bool keepAlive, double seconds) {
    std::atomic<long> done{0};
    std::atomic<bool> failed{false};
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            int fd = -1;
            while (Clock::now() < end) {
                if (fd < 0) fd = Connect(port, c);
                if (fd < 0 || !Exchange(fd, request)) {
                    failed = true;
                    break;
                }
                ++done;
                if (!keepAlive) {
                    close(fd);
                    fd = -1;
                }
            }
            if (fd >= 0) close(fd);
        });
    }
    for (std::thread& t : threads) t.join();
    if (failed) std::fprintf(stderr, "server_bench: an exchange failed\n");
    return static_cast<double>(done.load()) / seconds;
}

}  // namespace

int main() {
    using namespace orvanta::server;
    AnalysisServer server(Credentials{"111", "trelmoza"}, nullptr);
    const int port = server.Bind("127.0.0.1", 0);
    if (port < 0) return 1;
    std::thread serving([&] { server.Run(); });

    const std::string body = testing::EncodeBody(testing::ValidTexts());
    for (bool keepAlive : {true, false}) {
        const std::string connection = keepAlive ? "" : "Connection: close\r\n";
        const std::string post = "POST /analysis HTTP/1.1\r\nHost: x\r\n" + connection +
                                 "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\n"
                                 "User-ID: 111\r\nPassword: trelmoza\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\n\r\n" + body;
        const std::string get = "GET / HTTP/1.1\r\nHost: x\r\n" + connection + "\r\n";
        for (int clients : {8, 64}) {
            const double floor = Rate(port, get, clients, keepAlive, 2.0);
            const double posts = Rate(port, post, clients, keepAlive, 2.0);
            std::printf("| Analysis POSTs, %s, %d clients | %.0f/s | GET of the start page, same clients | %.0f/s | %.3f |\n",
                        keepAlive ? "keep-alive" : "a connection each", clients, posts, floor, posts / floor);
            std::fflush(stdout);
        }
    }
    server.Stop();
    serving.join();
    return 0;
}
