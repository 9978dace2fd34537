// orvanta-query run as a user runs it: a synthetic card image, an INI file
// pointing at a loopback HTTP server started here, and the program from
// ORVANTA_BIN_DIR. Checks what arrives at the server byte for byte.
#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cardimage/card_image.h"
#include "card/card_reader.h"
#include "platform/drive_map.h"
#include "request/record_csv.h"
#include "tests/common/test_env.h"
#include "request/form_poster.h"

namespace orvanta {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program in `directory` with standard output and error captured.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& directory) {
    const std::string outPath = directory + "/stdout.txt";
    const std::string errPath = directory + "/stderr.txt";
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(directory.c_str()) != 0) _exit(127);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

// What one POST brought to the server.
struct Received {
    std::string path;
    std::string body;
    std::multimap<std::string, std::string> headers;
    std::string Header(const std::string& name) const {
        for (const auto& h : headers) {
            if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
        }
        return "<absent>";
    }
    std::size_t Count(const std::string& name) const {
        std::size_t n = 0;
        for (const auto& h : headers) n += strcasecmp(h.first.c_str(), name.c_str()) == 0;
        return n;
    }
};

const char kPage[] = "<html><body>\xe5\x88\x86\xe6\x9e\x90 ok</body></html>";

class QueryProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* bin = std::getenv("ORVANTA_BIN_DIR");
        ASSERT_NE(bin, nullptr) << "ORVANTA_BIN_DIR names the folder of the built programs";
        program_ = std::string(bin) + "/orvanta-query";
        ASSERT_EQ(access(program_.c_str(), X_OK), 0) << program_;

        if (const char* old = std::getenv("TZ")) {
            hadZone_ = true;
            oldZone_ = old;
        }
        setenv("TZ", "Asia/Shanghai", 1);  // the program inherits it
        tzset();

        scratch_ = std::make_unique<testenv::TempDir>();
        directory_ = scratch_->Path();

        cardimage::CardContents contents;
        contents.start = LocalFields{2013, 12, 6, 12, 0, 0};
        contents.records = 40;
        contents.serial = 4711;
        contents.deviceByte = 3;
        std::string error;
        ASSERT_TRUE(cardimage::WriteCardImage(directory_ + "/card.img", contents, &layout_, &error)) << error;

        server_.Post(R"(/(\w+))", [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.push_back(
                    Received{request.path, request.body, {request.headers.begin(), request.headers.end()}});
            }
            const std::string route = request.matches[1];
            if (route == "fail500") response.status = 500;
            if (route == "fail401") response.status = 401;
            // Redirects: within the origin (followed), to another host name of
            // the same server (never followed: the credentials stay with
            // 127.0.0.1), and answers that carry no page.
            const std::map<std::string, std::pair<int, std::string>> redirects = {
                {"moved", {302, "/analysis"}},
                {"moved307", {307, "analysis"}},
                {"cross307", {307, "http://localhost:" + std::to_string(port_) + "/analysis"}},
                {"cross302", {302, "http://localhost:" + std::to_string(port_) + "/analysis"}},
                {"nolocation", {302, ""}},
                {"empty", {204, ""}},
                {"escape", {302, "\x1b[2Jgopher://x\x07"}},
            };
            const auto redirect = redirects.find(route);
            if (redirect != redirects.end()) {
                response.status = redirect->second.first;
                if (!redirect->second.second.empty()) response.set_header("Location", redirect->second.second);
                return;
            }
            if (route == "huge") {
                response.set_content(std::string(2 * 1024 * 1024, 'x'), "text/html");
                return;
            }
            if (route == "silent") std::this_thread::sleep_for(std::chrono::milliseconds(2500));
            // Slow hops: each well within the test's 1 s limit, all four beyond it.
            if (route.rfind("hop", 0) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                const int hop = route[3] - '0';
                if (hop < 4) {
                    response.status = 307;
                    response.set_header("Location", "hop" + std::to_string(hop + 1));
                    return;
                }
            }
            response.set_content(kPage, "text/html; charset=utf-8");
        });
        server_.Get("/analysis", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("redirected page", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 500 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(server_.is_running());
    }

    void TearDown() override {
        server_.stop();
        if (thread_.joinable()) thread_.join();
        scratch_.reset();
        if (hadZone_) setenv("TZ", oldZone_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

    std::string Url(const std::string& route) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + route;
    }

    void WriteIni(const std::string& url, const std::string& userID, const std::string& password) const {
        WriteFile(directory_ + "/vemlar.ini",
                  "\xEF\xBB\xBF; written by the test\r\n[Common]\r\nserverBaseUrl = " + url + "\r\nuserID = " + userID +
                      "\r\npassword = \"" + password + "\"\r\n");
    }

    RunResult Run(const std::vector<std::string>& extra) const {
        std::vector<std::string> arguments = {"--drive", "E=card.img", "--config", "vemlar.ini"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunProgram(program_, arguments, directory_);
    }

    std::vector<Received> Taken() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

    std::string program_;
    std::unique_ptr<testenv::TempDir> scratch_;
    std::string directory_;
    cardimage::CardLayout layout_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Received> received_;
    bool hadZone_ = false;
    std::string oldZone_;
};

std::string BodyOf(const std::string& request) {
    std::size_t end = request.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : request.substr(end + 4);
}

TEST_F(QueryProgramTest, PostsExactlyTheRequestItWroteAndPrintsThePage) {
    WriteIni(Url("analysis"), "u-17", "p w;d");
    RunResult run = Run({"--time", "2013-12-06 12:00:05", "--request-out", "request.bin"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kPage);

    const std::string request = ReadFile(directory_ + "/request.bin");
    const std::string headerBlock =
        "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: u-17\r\nPassword: p w;d\r\n";
    ASSERT_EQ(request.substr(0, headerBlock.size() + 2), headerBlock + "\r\n");
    const std::string body = BodyOf(request);
    EXPECT_EQ(body.rfind("selectedTime=1386302405&actualTime=1386302405&data=", 0), 0u) << body.substr(0, 80);
    EXPECT_NE(body.find("&data2=69+1+1+4711+3+"), std::string::npos) << body.substr(body.rfind('&'));

    std::vector<Received> taken = Taken();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].path, "/analysis");
    EXPECT_EQ(taken[0].body, body);
    EXPECT_EQ(taken[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(taken[0].Header("Api-Version"), "1.0.0");
    EXPECT_EQ(taken[0].Header("User-ID"), "u-17");
    EXPECT_EQ(taken[0].Header("Password"), "p w;d");
    EXPECT_EQ(taken[0].Count("Content-Type"), 1u);
    EXPECT_EQ(taken[0].Header("Expect"), "<absent>");
    EXPECT_EQ(taken[0].Header("Content-Length"), std::to_string(body.size()));

    EXPECT_NE(run.err.find("card on E: (card.img)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("actual 2013-12-06 12:00:05"), std::string::npos) << run.err;
}

// cpp-httplib drops header lines without a value, so this one reads the raw
// request from a socket of its own.
class RawOneShotServer {
public:
    RawOneShotServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(listener_, 1) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~RawOneShotServer() {
        shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        close(listener_);
    }
    int Port() const { return port_; }
    std::string Request() {
        if (thread_.joinable()) thread_.join();
        return request_;
    }

private:
    void Serve() {
        int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        char chunk[4096];
        std::size_t wanted = std::string::npos;
        while (request_.size() < wanted) {
            ssize_t n = recv(connection, chunk, sizeof(chunk), 0);
            if (n <= 0) break;
            request_.append(chunk, static_cast<std::size_t>(n));
            std::size_t headEnd = request_.find("\r\n\r\n");
            std::size_t lengthAt = request_.find("Content-Length: ");
            if (wanted == std::string::npos && headEnd != std::string::npos && lengthAt != std::string::npos) {
                wanted = headEnd + 4 + std::stoul(request_.substr(lengthAt + 16));
            }
        }
        const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
        send(connection, answer, sizeof(answer) - 1, MSG_NOSIGNAL);
        close(connection);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::string request_;
};

TEST_F(QueryProgramTest, SendsEmptyCredentialsAsEmptyHeaders) {
    RawOneShotServer raw;
    ASSERT_GT(raw.Port(), 0);
    WriteIni("http://127.0.0.1:" + std::to_string(raw.Port()) + "/analysis", "", "");
    RunResult run = Run({"--time", "2013-12-06 11:00:00", "--out", "page.html"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(directory_ + "/page.html"), "ok");
    const std::string request = raw.Request();
    EXPECT_EQ(request.rfind("POST /analysis HTTP/1.1\r\n", 0), 0u) << request.substr(0, 200);
    EXPECT_NE(request.find("\r\nUser-ID:\r\n"), std::string::npos) << request.substr(0, 400);
    EXPECT_NE(request.find("\r\nPassword:\r\n"), std::string::npos) << request.substr(0, 400);
    // Before the oldest record: the oldest record's time is adopted.
    EXPECT_EQ(BodyOf(request).rfind("selectedTime=1386302400&actualTime=1386302400&", 0), 0u);
}

TEST_F(QueryProgramTest, WritesTheRequestToStandardOutputWithoutSending) {
    WriteIni(Url("analysis"), "111", "trelmoza");
    RunResult run = Run({"--time", "2013-12-06 12:00:07", "--request-out", "-", "--no-send"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Taken().empty());
    EXPECT_EQ(run.out.rfind("Content-Type: application/x-www-form-urlencoded\r\n", 0), 0u);
    EXPECT_EQ(BodyOf(run.out).rfind("selectedTime=1386302407&actualTime=1386302407&data=", 0), 0u);
}

TEST_F(QueryProgramTest, KeepsTheSelectedTimeWithoutACardAndKeepsStandardOutputClean) {
    WriteIni(Url("analysis"), "111", "x");
    RunResult run = RunProgram(program_, {"--drive", "E=missing.img", "--config", "vemlar.ini", "--time",
                                          "2013-12-06 12:00:05", "--request-out", "-", "--no-send"},
                               directory_);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Content-Type: ", 0), 0u) << run.out.substr(0, 80);
    EXPECT_EQ(BodyOf(run.out).rfind("selectedTime=1386302405&actualTime=0&data=-505+-508+", 0), 0u);
    EXPECT_NE(run.err.find("no card found"), std::string::npos) << run.err;

    // Without a record there is nothing to export: no CSV, and a failure.
    RunResult csv = RunProgram(program_, {"--drive", "E=missing.img", "--config", "vemlar.ini", "--time",
                                          "2013-12-06 12:00:05", "--csv", "record.csv", "--no-send"},
                               directory_);
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_NE(csv.err.find("no CSV is written"), std::string::npos) << csv.err;
    EXPECT_EQ(access((directory_ + "/record.csv").c_str(), F_OK), -1);
}

// --csv writes the record found as the window's CSV export does: the three
// files of the shared CSV writer for a reader that queried that second, the
// waveform timed at 96 samples a period of the configured nominal frequency.
TEST_F(QueryProgramTest, WritesTheRecordAsTheWindowsCsvExport) {
    WriteIni(Url("analysis"), "111", "trelmoza");
    WriteFile(directory_ + "/vemlar.ini", ReadFile(directory_ + "/vemlar.ini") + "nominalFrequency = 60\r\n");
    RunResult run = Run({"--time", "2013-12-06 12:00:07", "--csv", "record.csv", "--no-send"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    DriveMap map;
    std::string error;
    ASSERT_TRUE(DriveMap::FromArguments({"E=" + directory_ + "/card.img"}, &map, &error)) << error;
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);
    reader.QueryCard(1386302407);
    const std::vector<RecordCsvFile> files = BuildRecordCsv(reader, 60);
    std::map<std::string, std::vector<std::string>> lines;  // by suffix
    std::string joined;
    for (const RecordCsvFile& file : files) {
        const std::string csv = ReadFile(directory_ + "/record" + file.suffix);
        EXPECT_EQ(csv, file.text) << file.suffix;
        joined += (joined.empty() ? "" : "\n") + file.text;
        std::istringstream in(csv);
        for (std::string line; std::getline(in, line);) lines[file.suffix].push_back(line);
    }
    EXPECT_EQ(access((directory_ + "/record.csv").c_str(), F_OK), -1);
    // "-": the three tables one after the other.
    EXPECT_EQ(Run({"--time", "2013-12-06 12:00:07", "--csv", "-", "--no-send"}).out, joined);

    const std::vector<std::string> info = {"field,value,unit",
                                           "drive,E:,",
                                           "serial,4711,",
                                           "record time,2013-12-06 12:00:07,local standard time (UTC+08:00)",
                                           "time zone,UTC+08:00,local standard time",
                                           "sector," + std::to_string(layout_.ringStart + 7) + ",",
                                           "ratio_a,1,",
                                           "ratio_b,1,",
                                           "scale_a,0.019419,A per count",
                                           "scale_b,2.531745,V per count",
                                           "nominal_frequency,60,Hz",
                                           "sample_interval,0.173611,ms"};
    EXPECT_EQ(lines["-info.csv"], info);

    const std::vector<std::string>& wave = lines["-waveform.csv"];
    ASSERT_EQ(wave.size(), 1u + 126u);
    EXPECT_EQ(wave[0], "index,time (ms),channel_a (counts),channel_b (counts),channel_a (A),channel_b (V)");
    // Each pair at its offset in the period of 60 Hz, in counts, then in
    // amperes and volts: counts times the scale.
    const struct {
        std::size_t pair;
        const char* ms;
    } pairs[] = {{0, "0.0000"}, {96, "16.6667"}, {125, "21.7014"}};
    for (const auto& p : pairs) {
        long long a = 0, b = 0;
        double amperes = 0, volts = 0;
        std::size_t index = 0;
        char ms[16] = {};
        ASSERT_EQ(std::sscanf(wave[1 + p.pair].c_str(), "%zu,%15[^,],%lld,%lld,%lf,%lf", &index, ms, &a, &b, &amperes,
                              &volts),
                  6);
        EXPECT_EQ(index, p.pair);
        EXPECT_STREQ(ms, p.ms);
        EXPECT_NEAR(amperes, a * 0.019419, 0.00005);
        EXPECT_NEAR(volts, b * 2.531745, 0.005);
    }

    // The trend: the 33 records from 12:00:07 on, each with its time and
    // real RMS beside its whole-unit point, and no leading "0 0" row.
    const std::vector<std::string>& trend = lines["-trend.csv"];
    ASSERT_EQ(trend.size(), 1u + 33u);
    EXPECT_EQ(trend[0], "\"time (local standard time, UTC+08:00)\",sector,trend_a (A),trend_b (V),rms_a (A),rms_b (V)");
    EXPECT_EQ(trend[1].rfind("2013-12-06 12:00:07," + std::to_string(layout_.ringStart + 7) + ",", 0), 0u) << trend[1];
    std::istringstream sent(reader.trendText);
    long long firstA = -1, firstB = -1;
    sent >> firstA >> firstB >> firstA >> firstB;  // past the leading "0 0"
    int a = -1, b = -1;
    double rmsA = -1, rmsB = -1;
    ASSERT_EQ(std::sscanf(trend[1].c_str() + 20, "%*u,%d,%d,%lf,%lf", &a, &b, &rmsA, &rmsB), 4) << trend[1];
    EXPECT_EQ(a, firstA);
    EXPECT_EQ(b, firstB);
    EXPECT_NEAR(rmsB, b, 2.0);  // the point: the RMS of whole counts, rounded to volts
}

// Within the origin: a 302 is fetched by GET, a 307 posts the same form again.
TEST_F(QueryProgramTest, FollowsARedirectWithinTheOriginAsABrowserDoes) {
    const struct {
        const char* route;
        const char* page;
        std::size_t posts;  // POSTs that reached the server
    } cases[] = {{"moved", "redirected page", 1}, {"moved307", kPage, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        WriteIni(Url(c.route), "111", "x");
        const std::size_t before = Taken().size();
        RunResult run = Run({"--time", "2013-12-06 12:00:05"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.page);
        const std::vector<Received> taken = Taken();
        ASSERT_EQ(taken.size() - before, c.posts);
        EXPECT_EQ(taken.back().body, taken[before].body);
        EXPECT_EQ(taken.back().Header("Password"), "x");
    }
}

TEST_F(QueryProgramTest, FailsOnHttpErrorsAndTransportFailures) {
    // A port that nothing listens on: bind one, note it, close it.
    int closedPort = 0;
    {
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
        closedPort = ntohs(address.sin_port);
        close(probe);
    }
    const struct {
        std::string url;
        const char* mentions;
    } cases[] = {
        {Url("fail500"), "HTTP status 500"},
        {Url("fail401"), "HTTP status 401"},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/analysis", "could not post"},
        {"ftp://127.0.0.1/analysis", "not an http or https address"},
        {"127.0.0.1:" + std::to_string(port_) + "/analysis", "not an http or https address"},
        {Url("cross307"), "another origin"},
        {Url("cross302"), "another origin"},
        {Url("nolocation"), "without a Location"},
        {Url("empty"), "HTTP 204 without a page"},
        // The server's text is shown with its control characters escaped.
        {Url("escape"), "redirected to \"\\x1B[2Jgopher://x\\x07\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        WriteIni(c.url, "111", "x");
        RunResult run = Run({"--time", "2013-12-06 12:00:05", "--request-out", "request.bin", "--out", "page.html"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find_first_of("\x1b\x07"), std::string::npos) << run.err;
        EXPECT_EQ(access((directory_ + "/page.html").c_str(), F_OK), -1) << "no answer page written";
        EXPECT_NE(ReadFile(directory_ + "/request.bin").find("selectedTime=1386302405&"), std::string::npos);
    }
    // No redirect carried the credentials or the form on to another host.
    for (const Received& r : Taken()) EXPECT_NE(r.path, "/analysis");
}

// The poster's limits: an endless page, a silent server and slow redirects
// end the request with a message (here with limits small enough for a test).
TEST_F(QueryProgramTest, PostingStopsAtThePageCapAndTheTimeOut) {
    PostLimits limits;
    limits.connectSeconds = 1;
    limits.totalSeconds = 1;
    limits.maxPageBytes = 1024 * 1024;
    const struct {
        const char* route;
        const char* error;  // empty: the page arrives
    } cases[] = {{"analysis", ""},
                 {"huge", "larger than 1 MiB"},
                 {"silent", "no complete answer within 1 s"},
                 // The limit holds for the whole request, redirects included.
                 {"hop1", "no complete answer within 1 s"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        const PostAnswer answer = PostForm(Url(c.route), "User-ID: 111\r\n", {'a', '=', '1'}, limits);
        EXPECT_EQ(answer.transported, c.error[0] == '\0');
        EXPECT_NE(answer.error.find(c.error), std::string::npos) << answer.error;
        EXPECT_EQ(answer.page.empty(), c.error[0] != '\0');
    }
}

// Files that could hang or exhaust the program are not read: a FIFO as the
// configuration file or as ratio.txt, an endless device, an oversized file.
TEST_F(QueryProgramTest, RefusesConfigurationAndRatioFilesThatAreNoSmallRegularFiles) {
    ASSERT_EQ(mkfifo((directory_ + "/fifo.ini").c_str(), 0600), 0);
    WriteFile(directory_ + "/large.ini", "[Common]\n" + std::string(1024 * 1024, ';'));
    WriteIni(Url("analysis"), "111", "x");
    const struct {
        const char* config;
        bool ratioFifo;
        const char* mentions;
    } cases[] = {
        {"/dev/zero", false, "/dev/zero is not a regular file"},
        {"fifo.ini", false, "fifo.ini is not a regular file"},
        {"large.ini", false, "large.ini is larger than 1024 KiB"},
        {"vemlar.ini", true, "ratio.txt is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        if (c.ratioFifo) {
            ASSERT_EQ(mkfifo((directory_ + "/ratio.txt").c_str(), 0600), 0);
        }
        RunResult run = RunProgram(program_, {"--drive", "E=card.img", "--config", c.config, "--time",
                                              "2013-12-06 12:00:05", "--request-out", "request.bin"},
                                   directory_);
        unlink((directory_ + "/ratio.txt").c_str());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find_first_of("\x1b\x07"), std::string::npos) << run.err;
        EXPECT_EQ(access((directory_ + "/request.bin").c_str(), F_OK), -1) << "no request written";
    }
    EXPECT_TRUE(Taken().empty());
}

TEST_F(QueryProgramTest, NamesTheMissingServerAddress) {
    WriteFile(directory_ + "/vemlar.ini", "[Common]\nuserID=1\n");
    RunResult run = Run({"--time", "2013-12-06 12:00:05", "--request-out", "request.bin"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("serverBaseUrl"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("vemlar.ini"), std::string::npos) << run.err;
    EXPECT_NE(ReadFile(directory_ + "/request.bin").find("\r\nUser-ID: 1\r\nPassword: trelmoza\r\n\r\nselectedTime="),
              std::string::npos);
}

// A line break in a credential would become a header line of the file's
// choosing: nothing is written or sent, and the message names file and key.
TEST_F(QueryProgramTest, RefusesControlCharactersInTheConfiguration) {
    const struct {
        std::string url, userID, password;
        const char* key;
    } cases[] = {
        {Url("analysis"), "111", "a\rX-Evil: 1", "\"password\""},
        {Url("analysis"), "1\rX-Evil: 1", "x", "\"userID\""},
        {Url("analysis") + "\x7f", "111", "x", "\"serverBaseUrl\""},
        {Url("analysis") + "\x01", "111", "x", "\"serverBaseUrl\""},
        {Url("analysis"), "111\vX-Injected: 1", "x", "\"userID\""},
        {Url("analysis"), "111", "a\fb", "\"password\""},
        {Url("analysis"), "111", "a\x01" "b", "\"password\""},
        {Url("analysis"), "1\x7f", "x", "\"userID\""},
        {Url("analysis"), "111", std::string("ab\0cd", 5), "\"password\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        WriteIni(c.url, c.userID, c.password);
        unlink((directory_ + "/request.bin").c_str());
        RunResult run = Run({"--time", "2013-12-06 12:00:05", "--request-out", "request.bin"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.key), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("vemlar.ini"), std::string::npos) << run.err;
        EXPECT_EQ(access((directory_ + "/request.bin").c_str(), F_OK), -1) << "no request written";
    }
    EXPECT_TRUE(Taken().empty());
}

TEST_F(QueryProgramTest, RefusesBadArgumentsWithStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--time", "12:00"}, {"--drive", "E"}, {"--frobnicate"}, {"--out"}};
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments[0]);
        RunResult run = RunProgram(program_, arguments, directory_);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("orvanta-query: "), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    RunResult help = RunProgram(program_, {"--help"}, directory_);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: orvanta-query"), std::string::npos);
    EXPECT_TRUE(Taken().empty());
}

}  // namespace
}  // namespace orvanta
