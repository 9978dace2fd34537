// What the window shows when the server's answer is no page of its own: an
// HTTP error with an empty body gets our page (a server's own error page
// stays), and a server that accepts and never answers is waited for with the
// seconds in the status line until the limit or Escape ends the wait.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <httplib.h>

#include <QAction>
#include <QHostAddress>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include "ui/main_dlg.h"
#include "ui/web_browser2.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::PageHtml;
using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::WaitUntil;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Answers /empty with 500 and no body, /own with 502 and its own page.
class ErrorServer {
public:
    ErrorServer() {
        server_.Post("/empty", [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
        server_.Post("/own", [](const httplib::Request&, httplib::Response& response) {
            response.status = 502;
            response.set_content("<html><body><p>own-error-page-31</p></body></html>", "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~ErrorServer() {
        server_.stop();
        thread_.join();
    }
    std::string Address(const char* path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
};

bool ButtonsEnabled(const CMainDlg& w) {
    return w.RefreshButton()->isEnabled() && w.ForwardButton()->isEnabled() && w.BackButton()->isEnabled();
}

TEST(ServerAnswer, AnEmptyErrorGetsOurPageAServersOwnErrorPageStays) {
    ScopedTimeZone zone("Asia/Shanghai");
    ErrorServer server;
    ScratchConfig config;
    MemoryVolumeSystem volumes;
    const struct {
        std::string address;
        std::vector<QString> expected;
    } cases[] = {
        {server.Address("/empty"), {Utf8("分析服务器返回错误 500"), QStringLiteral("serverBaseUrl")}},
        {server.Address("/own"), {QStringLiteral("own-error-page-31")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        config.Write(c.address);
        MainDlgOptions options;
        options.iniPath = config.IniPath();
        CMainDlg w(volumes, options);
        w.RunQuery();
        for (const QString& text : c.expected) {
            ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(text); }, 20000))
                << PageHtml(w.Browser()).toStdString();
        }
        EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(w); }, 5000));
        if (c.expected.size() > 1) {
            const QString html = PageHtml(w.Browser());
            EXPECT_TRUE(html.contains(QString::fromStdString(c.address)));
            EXPECT_TRUE(html.contains(QString::fromStdString(config.IniPath())));
        }
    }
}

// A listening socket nobody reads: the connection is made, no answer comes.
TEST(ServerAnswer, ASilentServerIsWaitedForUntilTheLimitOrEscape) {
    ScopedTimeZone zone("Asia/Shanghai");
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const std::string address = "http://127.0.0.1:" + std::to_string(silent.serverPort()) + "/analysis";
    ScratchConfig config;
    config.Write(address);
    MemoryVolumeSystem volumes;
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "time-out");
        MainDlgOptions options;
        options.iniPath = config.IniPath();
        options.serverLimits.totalSeconds = escape ? 60 : 2;
        CMainDlg w(volumes, options);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.RunQuery();
        EXPECT_TRUE(w.WaitingForServer());
        EXPECT_TRUE(w.StopWaitingAction()->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return w.StatusText().contains(Utf8("等待服务器… 1 秒")); }, 5000))
            << w.StatusText().toStdString();
        EXPECT_FALSE(ButtonsEnabled(w));
        if (escape) {
            QTest::keyClick(&w, Qt::Key_Escape);
            EXPECT_TRUE(w.isVisible());  // the wait ended, not the window
        } else {
            ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(Utf8("等待 2 秒后超时")); }, 10000))
                << PageHtml(w.Browser()).toStdString();
            EXPECT_TRUE(PageHtml(w.Browser()).contains(QString::fromStdString(address)));
        }
        EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(w); }, 5000));
        EXPECT_FALSE(w.WaitingForServer());
        EXPECT_FALSE(w.StopWaitingAction()->isEnabled());
        EXPECT_FALSE(w.StatusText().contains(Utf8("等待服务器")));
    }
}

}  // namespace
}  // namespace orvanta
