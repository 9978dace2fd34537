// End to end: a card image, an INI pointing at a loopback HTTP server, a press
// of the refresh button; the server must receive exactly the request the
// shared query road (and orvanta-query) makes for that card and second, and
// the window must show the server's answer page.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include "card/local_time.h"
#include "platform/drive_map.h"
#include "request/query_road.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::PageHtml;
using testing_ui::WaitUntil;

constexpr char kAnswerMarker[] = "分析完成 answer-4711";

struct ReceivedRequest {
    std::string path;
    std::string body;
    std::multimap<std::string, std::string> headers;
};

// An analysis server on 127.0.0.1 with an ephemeral port, in a thread.
class LoopbackServer {
public:
    LoopbackServer() {
        server_.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ReceivedRequest received;
                received.path = request.path;
                received.body = request.body;
                for (const auto& header : request.headers) received.headers.emplace(header.first, header.second);
                requests_.push_back(received);
            }
            // Redirects: to another origin (the same server under another
            // name) and within the origin.
            const std::string local = "http://localhost:" + std::to_string(port_) + "/analysis";
            if (request.path == "/cross" || request.path == "/same") {
                response.status = 307;
                response.set_header("Location", request.path == "/cross" ? local : std::string("/analysis"));
                return;
            }
            response.set_content(std::string("<!DOCTYPE html><html><head><meta charset='utf-8'><title>分析</title>"
                                             "</head><body><p id='marker'>") +
                                     kAnswerMarker + "</p></body></html>",
                                 "text/html; charset=utf-8");
        });
        server_.set_keep_alive_timeout(1);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LoopbackServer() {
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }
    int Port() const { return port_; }
    std::vector<ReceivedRequest> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
};

std::string HeaderValue(const ReceivedRequest& request, const std::string& name) {
    // HTTP header names match without regard to case.
    for (const auto& header : request.headers) {
        if (QString::fromStdString(header.first).compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) {
            return header.second;
        }
    }
    return "<missing>";
}

std::string BodyOf(const PreparedQuery& query) { return std::string(query.body.begin(), query.body.end()); }

class QueryThroughTheWindow : public ::testing::Test {
protected:
    QueryThroughTheWindow() : zone_("Asia/Shanghai") {
        firstTime_ = testing_ui::TimeOfFields(2024, 3, 15, 10, 0, 0);
        image_ = config_.Dir().toStdString() + "/card.img";
        EXPECT_TRUE(testing_ui::WriteCardImage(image_, firstTime_));
        std::string error;
        EXPECT_TRUE(DriveMap::FromArguments({"E=" + image_}, &drives_, &error)) << error;
        volumes_ = MakePlatformVolumeSystem(drives_);
        config_.Write("http://127.0.0.1:" + std::to_string(server_.Port()) + "/analysis", "field01",
                      "p@ss word&=%");
    }

    // What the shared road makes for the same card, configuration and time.
    PreparedQuery Expected(std::int32_t time) {
        const auto volumes = MakePlatformVolumeSystem(drives_);
        CCardReader reader(*volumes);
        return PrepareQuery(reader, config_.IniPath(), time);
    }

    ScopedTimeZone zone_;
    ScratchConfig config_;
    LoopbackServer server_;
    std::int32_t firstTime_ = 0;
    std::string image_;
    DriveMap drives_;
    std::unique_ptr<RawVolumeSystem> volumes_;
};

TEST_F(QueryThroughTheWindow, RefreshPostsExactlyTheRoadsRequestAndShowsTheAnswerPage) {
    ASSERT_GT(server_.Port(), 0);
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    EXPECT_NE(window.StatusText().indexOf(QStringLiteral("E:")), -1);
    EXPECT_NE(window.StatusText().indexOf(QString::fromStdString(image_)), -1);

    const std::int32_t chosen = firstTime_ + 345;
    window.SetSelectedTime(chosen);
    window.ShowSelectedTime();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
    QTest::mouseClick(window.RefreshButton(), Qt::LeftButton);
    EXPECT_FALSE(window.RefreshButton()->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0 && !server_.Requests().empty(); }));
    EXPECT_TRUE(complete.first().at(0).toBool());
    EXPECT_TRUE(window.RefreshButton()->isEnabled());

    const PreparedQuery expected = Expected(chosen);
    ASSERT_EQ(expected.settings.actualTime, chosen);  // the card has a record of that second
    const std::vector<ReceivedRequest> requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/analysis");
    EXPECT_EQ(requests[0].body, BodyOf(expected));
    for (const auto& header : CWebBrowser2::ParseHeaderBlock(expected.headerBlock)) {
        SCOPED_TRACE(header.first.toStdString());
        EXPECT_EQ(HeaderValue(requests[0], header.first.toStdString()), header.second.toStdString());
    }
    EXPECT_NE(requests[0].body.find("selectedTime=" + std::to_string(chosen) + "&actualTime=" +
                                    std::to_string(chosen) + "&"),
              std::string::npos);

    // The answer page is what the window shows.
    EXPECT_NE(PageHtml(window.Browser()).indexOf(QString::fromUtf8(kAnswerMarker)), -1);
    EXPECT_NE(window.StatusText().indexOf(QString::fromStdString(FormatLocalStandard(chosen))), -1);

    // ">" steps one second and posts again; the record of that second is found.
    QTest::mouseClick(window.ForwardButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 1 && server_.Requests().size() > 1; }));
    EXPECT_EQ(server_.Requests()[1].body, BodyOf(Expected(chosen + 1)));
    EXPECT_EQ(window.SelectedTime(), chosen + 1);
    EXPECT_EQ(window.TimeFromControls(), chosen + 1);
}

TEST_F(QueryThroughTheWindow, TheWindowTakesOverTheRecordTimeWhenTheChosenSecondHasNone) {
    // A second after the newest record: the card answers with a record of
    // another second, and the controls move to it.
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    const std::int32_t chosen = firstTime_ + 5000;
    window.SetSelectedTime(chosen);
    window.ShowSelectedTime();
    QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
    window.RunQuery();
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0 && !server_.Requests().empty(); }));
    const PreparedQuery expected = Expected(chosen);
    EXPECT_EQ(server_.Requests()[0].body, BodyOf(expected));
    if (expected.AdoptsActualTime()) {
        EXPECT_EQ(window.SelectedTime(), expected.settings.actualTime);
        EXPECT_EQ(window.TimeFromControls(), expected.settings.actualTime);
    } else {
        EXPECT_EQ(window.SelectedTime(), chosen);
    }
}

TEST_F(QueryThroughTheWindow, TheWindowSendsWhatOrvantaQueryWritesForTheSameCardAndSecond) {
    const char* binDir = std::getenv("ORVANTA_BIN_DIR");
    const QString tool = QString::fromLocal8Bit(binDir ? binDir : "") + QStringLiteral("/orvanta-query");
    if (binDir == nullptr || !QFileInfo(tool).isExecutable()) {
        GTEST_SKIP() << "orvanta-query is not built";
    }
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    const std::int32_t chosen = firstTime_ + 777;
    window.SetSelectedTime(chosen);
    window.ShowSelectedTime();
    QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
    window.RefreshButton()->click();
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0 && !server_.Requests().empty(); }));

    const QString requestFile = config_.Dir() + QStringLiteral("/request.bin");
    QProcess query;
    query.start(tool, {QStringLiteral("--drive"), QStringLiteral("E=") + QString::fromStdString(image_),
                       QStringLiteral("--time"), QString::fromStdString(FormatLocalStandard(chosen)),
                       QStringLiteral("--config"), QString::fromStdString(config_.IniPath()),
                       QStringLiteral("--request-out"), requestFile, QStringLiteral("--no-send")});
    ASSERT_TRUE(query.waitForFinished(120000));
    ASSERT_EQ(query.exitCode(), 0) << query.readAllStandardError().toStdString();
    QFile file(requestFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();

    const ReceivedRequest sent = server_.Requests()[0];
    const PreparedQuery expected = Expected(chosen);
    EXPECT_EQ(written.toStdString(), expected.headerBlock + "\r\n" + sent.body);
    for (const auto& header : CWebBrowser2::ParseHeaderBlock(expected.headerBlock)) {
        EXPECT_EQ(HeaderValue(sent, header.first.toStdString()), header.second.toStdString());
    }
}

// A line break in a credential would become a header line of the file's
// choosing: the window sends nothing and names the file and the key.
TEST_F(QueryThroughTheWindow, ControlCharactersInTheConfigurationAreRefusedAndNothingIsSent) {
    const std::string url = "http://127.0.0.1:" + std::to_string(server_.Port()) + "/analysis";
    const struct {
        std::string url, userID, password;
        const char* key;
    } cases[] = {
        {url, "field01", "a\rX-Evil: 1", "password"},
        {url, "u\rX-Evil: 1", "x", "userID"},
        {url + "\x01", "field01", "x", "serverBaseUrl"},
        {url, "u\vX-Injected: 1", "x", "userID"},
        {url, "field01", "a\x7f", "password"},
    };
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        config_.Write(c.url, c.userID, c.password);
        const int before = complete.count();
        window.RunQuery();
        ASSERT_TRUE(WaitUntil([&] { return complete.count() > before; }));
        EXPECT_TRUE(window.RefreshButton()->isEnabled());
        const QString html = PageHtml(window.Browser());
        EXPECT_NE(html.indexOf(QStringLiteral("<code>%1</code>").arg(QString::fromLatin1(c.key))), -1);
        EXPECT_NE(html.indexOf(QString::fromStdString(config_.IniPath()).toHtmlEscaped()), -1);
    }
    EXPECT_TRUE(server_.Requests().empty());
}

// The browser follows a redirect only within the origin it posted to: the
// credentials and the form never go on to another host.
TEST_F(QueryThroughTheWindow, ARedirectToAnotherOriginIsNotFollowed) {
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    window.SetSelectedTime(firstTime_ + 10);
    window.ShowSelectedTime();
    const std::string base = "http://127.0.0.1:" + std::to_string(server_.Port());

    config_.Write(base + "/cross", "field01", "secret");
    window.RunQuery();
    ASSERT_TRUE(
        WaitUntil([&] { return PageHtml(window.Browser()).contains(QStringLiteral("Redirect not followed")); }));
    EXPECT_TRUE(PageHtml(window.Browser()).contains(QStringLiteral("another origin")));
    ASSERT_TRUE(WaitUntil([&] { return window.RefreshButton()->isEnabled(); }));
    ASSERT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(server_.Requests()[0].path, "/cross");

    config_.Write(base + "/same", "field01", "secret");
    window.RunQuery();
    ASSERT_TRUE(WaitUntil([&] { return PageHtml(window.Browser()).contains(QString::fromUtf8(kAnswerMarker)); }));
    const std::vector<ReceivedRequest> requests = server_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].path, "/analysis");
    EXPECT_EQ(requests[2].body, requests[1].body);
    EXPECT_EQ(HeaderValue(requests[2], "Password"), "secret");
}

}  // namespace
}  // namespace orvanta
