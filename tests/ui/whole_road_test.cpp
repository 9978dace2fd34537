// The whole road on one machine: a card image, the window, the reference
// analysis server (orvanta-server with --record) and orvanta-query. What the
// window posts must be what orvanta-query writes for the same card and second,
// the page in the window must be the server's analysis of that record, and a
// refused login must show the server's page and give the buttons back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QWebEnginePage>

#include "card/local_time.h"
#include "platform/drive_map.h"
#include "ui/web_browser2.h"
#include "server/request_log.h"
#include "ui/main_dlg.h"
#include "ui/ui_language.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::PageHtml;
using testing_ui::WaitUntil;
using server::ParseRecordLine;
using server::RecordedRequest;

constexpr char kUser[] = "field07";
constexpr char kPassword[] = "p@ss word&=%";

QString BinDir() {
    const char* dir = std::getenv("ORVANTA_BIN_DIR");
    return QString::fromLocal8Bit(dir ? dir : "");
}

bool Executable(const QString& path) { return QFileInfo(path).isExecutable(); }

// orvanta-server on a free loopback port, recording every request.
class ReferenceServer {
public:
    bool Start(const QString& recordFile) {
        process_.setProgram(BinDir() + QStringLiteral("/orvanta-server"));
        process_.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--user"),
                               QString::fromUtf8(kUser), QStringLiteral("--password"), QString::fromUtf8(kPassword),
                               QStringLiteral("--record"), recordFile});
        process_.start();
        if (!process_.waitForStarted(30000)) return false;
        QByteArray out;
        while (!out.contains('\n')) {
            if (!process_.waitForReadyRead(30000)) return false;
            out += process_.readAllStandardOutput();
        }
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("listening on (http://\\S+)")).match(QString::fromUtf8(out));
        if (!m.hasMatch()) return false;
        url_ = m.captured(1).toStdString();
        return true;
    }
    ~ReferenceServer() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) process_.kill();
            process_.waitForFinished(10000);
        }
    }
    const std::string& Url() const { return url_; }

private:
    QProcess process_;
    std::string url_;
};

// The posts the server recorded (the browser also asks for things like a
// favicon, which are not queries).
std::vector<RecordedRequest> RecordedPosts(const std::string& path) {
    std::vector<RecordedRequest> requests;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        RecordedRequest request;
        if (ParseRecordLine(line, request) && request.method == "POST") requests.push_back(request);
    }
    return requests;
}

std::string HeaderOf(const RecordedRequest& request, const std::string& name) {
    for (const auto& header : request.headers) {
        if (QString::fromStdString(header.first).compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) {
            return header.second;
        }
    }
    return "<missing>";
}

// The text of the element with the given id in a page, or "" without one.
QString ElementText(const QString& html, const QString& id) {
    const QRegularExpression element(QStringLiteral("id=\"%1\"[^>]*>([^<]*)<").arg(id));
    const QRegularExpressionMatch m = element.match(html);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WholeRoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Executable(BinDir() + QStringLiteral("/orvanta-server")) ||
            !Executable(BinDir() + QStringLiteral("/orvanta-query"))) {
            GTEST_SKIP() << "orvanta-server or orvanta-query is not built";
        }
        firstTime_ = testing_ui::TimeOfFields(2024, 3, 15, 10, 0, 0);
        image_ = config_.Dir().toStdString() + "/card.img";
        ASSERT_TRUE(testing_ui::WriteCardImage(image_, firstTime_));
        std::string error;
        ASSERT_TRUE(DriveMap::FromArguments({"E=" + image_}, &drives_, &error)) << error;
        volumes_ = MakePlatformVolumeSystem(drives_);
        record_ = config_.Dir().toStdString() + "/requests.jsonl";
        ASSERT_TRUE(server_.Start(QString::fromStdString(record_)));
        config_.Write(server_.Url() + "/analysis", kUser, kPassword);
    }

    // Runs orvanta-query for the same card, configuration and second.
    int Query(std::int32_t time, const QStringList& extra, QString* errors) {
        QProcess query;
        query.setWorkingDirectory(config_.Dir());
        QStringList arguments{QStringLiteral("--drive"), QStringLiteral("E=") + QString::fromStdString(image_),
                              QStringLiteral("--time"), QString::fromStdString(FormatLocalStandard(time)),
                              QStringLiteral("--config"), QString::fromStdString(config_.IniPath())};
        query.start(BinDir() + QStringLiteral("/orvanta-query"), arguments + extra);
        if (!query.waitForFinished(120000)) return -1;
        *errors = QString::fromLocal8Bit(query.readAllStandardError());
        return query.exitCode();
    }

    ScopedTimeZone zone_{"Asia/Shanghai"};
    ScratchConfig config_;
    ReferenceServer server_;
    std::int32_t firstTime_ = 0;
    std::string image_;
    std::string record_;
    DriveMap drives_;
    std::unique_ptr<RawVolumeSystem> volumes_;
};

TEST_F(WholeRoad, TheWindowPostsWhatOrvantaQueryWritesAndShowsTheServersAnalysis) {
    MainDlgOptions options;
    options.iniPath = config_.IniPath();
    options.drives = &drives_;
    CMainDlg window(*volumes_, options);
    const std::int32_t chosen = firstTime_ + 432;
    window.SetSelectedTime(chosen);
    window.ShowSelectedTime();
    window.show();

    QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
    window.RefreshButton()->click();
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
    EXPECT_TRUE(window.RefreshButton()->isEnabled());

    const std::vector<RecordedRequest> recorded = RecordedPosts(record_);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].path, "/analysis");

    // The same card and second through orvanta-query: header block, CR LF, body.
    const QString requestFile = config_.Dir() + QStringLiteral("/request.bin");
    QString errors;
    ASSERT_EQ(Query(chosen, {QStringLiteral("--request-out"), requestFile, QStringLiteral("--no-send")}, &errors), 0)
        << errors.toStdString();
    const std::string written = ReadFile(requestFile).toStdString();
    const std::size_t split = written.find("\r\n\r\n");
    ASSERT_NE(split, std::string::npos);
    const std::string headerBlock = written.substr(0, split + 2);
    EXPECT_EQ(written.substr(split + 4), recorded[0].body);
    const auto headers = CWebBrowser2::ParseHeaderBlock(headerBlock);
    ASSERT_EQ(headers.size(), 4u);
    for (const auto& header : headers) {
        SCOPED_TRACE(header.first.toStdString());
        EXPECT_EQ(HeaderOf(recorded[0], header.first.toStdString()), header.second.toStdString());
    }

    // The page in the window is the server's analysis of that record: the THD
    // figures equal those of the page orvanta-query gets for the same request.
    const QString shown = PageHtml(window.Browser());
    const QString answerFile = config_.Dir() + QStringLiteral("/answer.html");
    ASSERT_EQ(Query(chosen, {QStringLiteral("--out"), answerFile}, &errors), 0) << errors.toStdString();
    const QString answer = QString::fromUtf8(ReadFile(answerFile));
    for (const QString& id : {QStringLiteral("thd-b"), QStringLiteral("thd-a")}) {
        SCOPED_TRACE(id.toStdString());
        const QString figure = ElementText(shown, id);
        EXPECT_TRUE(figure.endsWith(QLatin1Char('%'))) << figure.toStdString();
        EXPECT_EQ(figure, ElementText(answer, id));
    }
    EXPECT_EQ(ElementText(shown, QStringLiteral("selected-time")), ElementText(answer, QStringLiteral("selected-time")));
}

// In both languages: the request carries the window's language as
// Accept-Language and the server's page comes in it.
TEST_F(WholeRoad, ARefusedLoginShowsTheServersPageInTheWindowsLanguageAndTheButtonsComeBack) {
    config_.Write(server_.Url() + "/analysis", kUser, "wrong password");
    struct Case {
        UiLanguage language;
        const char* acceptPrefix;
        const char* refusal;
    };
    const Case cases[] = {{UiLanguage::kChinese, "zh", "身份验证失败"},
                          {UiLanguage::kEnglish, "en", "Authentication failed"}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.acceptPrefix);
        const CUiTranslation translation(c.language);
        MainDlgOptions options;
        options.iniPath = config_.IniPath();
        options.drives = &drives_;
        CMainDlg window(*volumes_, options);
        window.SetSelectedTime(firstTime_ + 60);
        window.ShowSelectedTime();

        QSignalSpy complete(window.Browser(), &CWebBrowser2::documentComplete);
        window.RefreshButton()->click();
        EXPECT_FALSE(window.RefreshButton()->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
        EXPECT_TRUE(window.RefreshButton()->isEnabled());
        EXPECT_TRUE(window.ForwardButton()->isEnabled());
        EXPECT_TRUE(window.BackButton()->isEnabled());

        const QString shown = PageHtml(window.Browser());
        EXPECT_NE(shown.indexOf(QString::fromUtf8(c.refusal)), -1);
        EXPECT_EQ(ElementText(shown, QStringLiteral("thd-b")), QString());
        const std::vector<RecordedRequest> posts = RecordedPosts(record_);
        ASSERT_EQ(posts.size(), i + 1);
        EXPECT_EQ(HeaderOf(posts[i], "Password"), "wrong password");
        EXPECT_EQ(HeaderOf(posts[i], "Accept-Language").rfind(c.acceptPrefix, 0), 0u)
            << HeaderOf(posts[i], "Accept-Language");
    }
}

}  // namespace
}  // namespace orvanta
