// The main window: its template, its time selection (stepping, changes, the
// daylight-saving round trip), the commands (Enter, Escape, F1) and the
// command buttons around a query.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QComboBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>

#include "card/local_time.h"
#include "dialogcore/record_line.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/sample_card.h"
#include "ui/ui_strings.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::PageHtml;
using testing_ui::TimeOfFields;
using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::WaitUntil;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Records the order in which watched buttons change their enabled state.
class EnableOrder : public QObject {
public:
    void Watch(QPushButton* button, const char* name) {
        names_[button] = name;
        button->installEventFilter(this);
    }
    std::vector<std::string> events;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            auto* button = static_cast<QPushButton*>(watched);
            events.push_back(std::string(button->isEnabled() ? "+" : "-") + names_[button]);
        }
        return false;
    }

private:
    std::map<QObject*, std::string> names_;
};

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : zone_("Asia/Shanghai") {}

    // A window without a card, its INI holding `serverBaseUrl`.
    std::unique_ptr<CMainDlg> MakeWindow(const std::string& serverBaseUrl = "") {
        config_.Write(serverBaseUrl);
        MainDlgOptions options;
        options.iniPath = config_.IniPath();
        return std::make_unique<CMainDlg>(volumes_, options);
    }

    static bool ButtonsEnabled(const CMainDlg& w) {
        return w.RefreshButton()->isEnabled() && w.ForwardButton()->isEnabled() && w.BackButton()->isEnabled();
    }
    static bool ButtonsDisabled(const CMainDlg& w) {
        return !w.RefreshButton()->isEnabled() && !w.ForwardButton()->isEnabled() && !w.BackButton()->isEnabled();
    }
    static void WaitForButtons(const CMainDlg& w) { ASSERT_TRUE(WaitUntil([&] { return ButtonsEnabled(w); })); }

    ScopedTimeZone zone_;
    ScratchConfig config_;
    MemoryVolumeSystem volumes_;  // no card anywhere
};

TEST_F(MainWindow, ControlsSitAtTheirTemplatePlacesWithTheirCaptions) {
    auto w = MakeWindow();
    const DialogUnits& du = w->Units();
    struct Item { const char* name; std::int32_t id; const char* caption; int x, y, cx, cy; };
    const Item items[] = {
        {"refreshButton", 1, "刷新", 20, 227, 50, 14},
        {"timeLabel", 1016, "选择时间:", 9, 209, 39, 8},
        {"browser", 1002, nullptr, 9, 8, 391, 148},
        {"overviewStrip", kIdOverview, nullptr, 9, 159, 337, 42},
        {"findEventsButton", kIdFindEvents, "查找事件…", 349, 159, 51, 14},
        {"hourList", 1006, nullptr, 116, 206, 33, 14},
        {"minuteList", 1007, nullptr, 165, 206, 33, 14},
        {"secondList", 1008, nullptr, 212, 206, 33, 14},
        {"hourLabel", 1017, "时", 152, 209, 9, 8},
        {"minuteLabel", 1018, "分", 200, 209, 9, 8},
        {"secondLabel", 1019, "秒", 247, 209, 9, 8},
        {"datePicker", 1009, nullptr, 51, 205, 57, 15},
        {"backButton", 1013, "<", 275, 205, 13, 14},
        {"forwardButton", 1014, ">", 292, 205, 13, 14},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        QWidget* control = w->findChild<QWidget*>(QString::fromLatin1(item.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(w->Control(item.id), control);
        EXPECT_EQ(control->geometry(), du.Rect(item.x, item.y, item.cx, item.cy));
        if (item.caption == nullptr) continue;
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), Utf8(item.caption));
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), Utf8(item.caption));
        } else {
            ADD_FAILURE() << "a captioned control that is neither a button nor a label";
        }
    }
    EXPECT_EQ(w->windowTitle(), Utf8("Orvanta谐波分析"));
    EXPECT_EQ(w->size(), QSize(du.X(409), du.Y(251)));
    EXPECT_TRUE(w->RefreshButton()->isDefault());
    EXPECT_TRUE(w->DatePicker()->calendarPopup());
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_FALSE(w->Icon().pixmap(32, 32).isNull());
    // The dialog font renders the Chinese captions.
    EXPECT_TRUE(QFontMetrics(w->font()).inFont(QChar(0x5237)));  // 刷
    EXPECT_GT(du.BaseX(), 0);
    EXPECT_GT(du.BaseY(), du.BaseX());
}

TEST_F(MainWindow, ListsHoldTwoDigitItemsWhoseIndexIsTheirValue) {
    auto w = MakeWindow();
    const std::pair<QComboBox*, int> lists[] = {{w->HourList(), 24}, {w->MinuteList(), 60}, {w->SecondList(), 60}};
    for (const auto& list : lists) {
        SCOPED_TRACE(list.first->objectName().toStdString());
        ASSERT_EQ(list.first->count(), list.second);
        for (int i = 0; i < list.second; ++i) EXPECT_EQ(list.first->itemText(i), QString::asprintf("%02d", i));
        EXPECT_FALSE(list.first->isEditable());
    }
}

TEST_F(MainWindow, TabOrderFollowsTheTemplate) {
    auto w = MakeWindow();
    const std::vector<QWidget*> expected = {w->RefreshButton(), w->Browser(),    w->HourList(),   w->MinuteList(),
                                            w->SecondList(),    w->DatePicker(), w->BackButton(), w->ForwardButton()};
    std::vector<QWidget*> seen;
    QWidget* widget = w->RefreshButton();
    for (int guard = 0; guard < 200 && seen.size() < expected.size(); ++guard) {
        // Only tab stops count; with a page loaded the browser's stop is its
        // page widget, the browser's focus proxy.
        QWidget* stop = widget == w->Browser()->focusProxy() ? w->Browser() : widget;
        if ((widget->focusPolicy() & Qt::TabFocus) &&
            std::find(expected.begin(), expected.end(), stop) != expected.end() &&
            std::find(seen.begin(), seen.end(), stop) == seen.end()) {
            seen.push_back(stop);
        }
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindow, AnchorTableKeepsTheBottomRowDownAndGrowsTheBrowser) {
    auto w = MakeWindow();
    ASSERT_EQ(kMainAnchorCount, 17);
    const std::int32_t bottomRow[] = {1, 1016, 1017, 1018, 1019, 1009, 1006, 1007, 1008, 1013, 1014};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(kMainAnchors[i].controlId, bottomRow[i]);
        EXPECT_EQ(kMainAnchors[i].mode, 1);
        EXPECT_EQ(kMainAnchors[i].percent, 100);
    }
    EXPECT_EQ(kMainAnchors[11].controlId, 1002);
    EXPECT_EQ(kMainAnchors[11].mode, 5);
    EXPECT_EQ(kMainAnchors[12].controlId, kIdStatusLine);
    EXPECT_EQ(kMainAnchors[12].mode, 1);
    // The overview strip: down with the bottom row, wider with the window.
    EXPECT_EQ(kMainAnchors[13].controlId, kIdOverview);
    EXPECT_EQ(kMainAnchors[13].mode, 1);
    EXPECT_EQ(kMainAnchors[14].controlId, kIdOverview);
    EXPECT_EQ(kMainAnchors[14].mode, 3);
    // 查找事件… beside the strip: right and down with the window.
    EXPECT_EQ(kMainAnchors[15].controlId, kIdFindEvents);
    EXPECT_EQ(kMainAnchors[15].mode, 2);
    // The status line also widens with the window.
    EXPECT_EQ(kMainAnchors[16].controlId, kIdStatusLine);
    EXPECT_EQ(kMainAnchors[16].mode, 3);

    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QSize before = w->size();
    const QRect refresh = w->RefreshButton()->geometry();
    const QRect browser = w->Browser()->geometry();
    const QRect status = w->Control(kIdStatusLine)->geometry();
    const QRect strip = w->Control(kIdOverview)->geometry();
    const QRect findEvents = w->Control(kIdFindEvents)->geometry();
    w->resize(before + QSize(120, 90));
    ASSERT_TRUE(WaitUntil([&] { return w->LastClientWidth() == before.width() + 120; }, 5000));
    EXPECT_EQ(w->RefreshButton()->geometry(), refresh.translated(0, 90));
    EXPECT_EQ(w->Control(kIdStatusLine)->geometry(),
              QRect(status.topLeft() + QPoint(0, 90), status.size() + QSize(120, 0)));
    EXPECT_EQ(w->Control(kIdOverview)->geometry(), QRect(strip.topLeft() + QPoint(0, 90), strip.size() + QSize(120, 0)));
    EXPECT_EQ(w->Control(kIdFindEvents)->geometry(), findEvents.translated(120, 90));
    EXPECT_EQ(w->Browser()->geometry(), QRect(browser.topLeft(), browser.size() + QSize(120, 90)));
    EXPECT_EQ(w->minimumSize(), before);
}

TEST_F(MainWindow, SelectedTimeAtConstructionIsNowAndTheControlsShowIt) {
    const std::int32_t before = ToTime32(std::time(nullptr));
    auto w = MakeWindow();
    const std::int32_t after = ToTime32(std::time(nullptr));
    EXPECT_GE(w->SelectedTime(), before);
    EXPECT_LE(w->SelectedTime(), after);
    EXPECT_EQ(w->TimeFromControls(), w->SelectedTime());
    EXPECT_NE(w->StatusText().indexOf(Utf8(text::kNoCardAtStart)), -1);
}

TEST_F(MainWindow, SteppingCrossesMidnightBothWays) {
    for (const char* zone : {"Asia/Shanghai", "Europe/Berlin", "America/New_York"}) {
        SCOPED_TRACE(zone);
        ScopedTimeZone tz(zone);
        auto w = MakeWindow();
        const std::int32_t midnight = TimeOfFields(2024, 7, 1, 0, 0, 0);
        w->SetSelectedTime(midnight);
        w->ShowSelectedTime();
        w->OnStepBack();
        EXPECT_EQ(w->SelectedTime(), midnight - 1);
        EXPECT_EQ(w->DatePicker()->date(), QDate(2024, 6, 30));
        EXPECT_EQ(w->HourList()->currentIndex(), 23);
        EXPECT_EQ(w->MinuteList()->currentIndex(), 59);
        EXPECT_EQ(w->SecondList()->currentIndex(), 59);
        w->OnStepForward();
        EXPECT_EQ(w->SelectedTime(), midnight);
        EXPECT_EQ(w->DatePicker()->date(), QDate(2024, 7, 1));
        EXPECT_EQ(w->HourList()->currentIndex(), 0);
        EXPECT_EQ(w->SecondList()->currentIndex(), 0);
        WaitForButtons(*w);
    }
}

TEST_F(MainWindow, DateChangeKeepsTheTimeAndListChangeKeepsTheDate) {
    auto w = MakeWindow();
    w->SetSelectedTime(TimeOfFields(2023, 5, 20, 14, 35, 50));
    w->ShowSelectedTime();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));

    w->DatePicker()->setDate(QDate(2023, 11, 2));
    EXPECT_EQ(w->SelectedTime(), TimeOfFields(2023, 11, 2, 14, 35, 50));

    w->HourList()->setFocus();
    QTest::keyClick(w->HourList(), Qt::Key_Down);  // 14 -> 15, as a user would
    EXPECT_EQ(w->SelectedTime(), TimeOfFields(2023, 11, 2, 15, 35, 50));
    w->SecondList()->setCurrentIndex(7);
    EXPECT_EQ(w->SelectedTime(), TimeOfFields(2023, 11, 2, 15, 35, 7));
    EXPECT_EQ(w->DatePicker()->date(), QDate(2023, 11, 2));

    // Typed input: the day typed into the picker.
    w->DatePicker()->setFocus();
    w->DatePicker()->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(w->DatePicker(), QStringLiteral("09"));
    EXPECT_EQ(w->DatePicker()->date(), QDate(2023, 11, 9));
    EXPECT_EQ(w->SelectedTime(), TimeOfFields(2023, 11, 9, 15, 35, 7));
    EXPECT_TRUE(ButtonsEnabled(*w));  // a change runs no query
}

TEST_F(MainWindow, ShowingAndReadingBackKeepsTheTimeAcrossDaylightSaving) {
    struct Zone { const char* name; int standardOffsetHours; };
    const Zone zones[] = {{"Europe/Berlin", 1}, {"America/New_York", -5}};
    struct Moment { int y, mo, d, h, mi, s; };  // UTC
    const Moment moments[] = {
        {2023, 7, 15, 10, 0, 0},  {2023, 1, 15, 10, 0, 0},   // summer, winter
        {2023, 3, 26, 1, 30, 0},  {2023, 10, 29, 0, 30, 15},  // Berlin's change days
        {2023, 3, 12, 7, 30, 0},  {2023, 11, 5, 5, 59, 59},   // New York's change days
        {2024, 6, 30, 23, 59, 59},
    };
    for (const Zone& zone : zones) {
        ScopedTimeZone tz(zone.name);
        auto w = MakeWindow();
        for (const Moment& m : moments) {
            std::tm utc{};
            utc.tm_year = m.y - 1900;
            utc.tm_mon = m.mo - 1;
            utc.tm_mday = m.d;
            utc.tm_hour = m.h;
            utc.tm_min = m.mi;
            utc.tm_sec = m.s;
            const std::int32_t t = static_cast<std::int32_t>(timegm(&utc));
            SCOPED_TRACE(testing::Message() << zone.name << " " << t);
            w->SetSelectedTime(t);
            w->ShowSelectedTime();
            EXPECT_EQ(w->TimeFromControls(), t);
            // The lists show local standard time, also in summer.
            const int standardHour = ((m.h + zone.standardOffsetHours) % 24 + 24) % 24;
            EXPECT_EQ(w->HourList()->currentIndex(), standardHour);
            EXPECT_EQ(w->SecondList()->currentIndex(), m.s);
        }
    }
}

TEST_F(MainWindow, SteppingInSummerNeverDrifts) {
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        SCOPED_TRACE(zone);
        ScopedTimeZone tz(zone);
        auto w = MakeWindow();
        const std::int32_t start = 1689415200;  // 2023-07-15 10:00:00 UTC
        w->SetSelectedTime(start);
        w->ShowSelectedTime();
        for (int i = 1; i <= 3; ++i) {
            w->OnStepForward();
            EXPECT_EQ(w->SelectedTime(), start + i);
            EXPECT_EQ(w->TimeFromControls(), start + i);
        }
        for (int i = 2; i >= -1; --i) {
            w->OnStepBack();
            EXPECT_EQ(w->SelectedTime(), start + i);
            EXPECT_EQ(w->TimeFromControls(), start + i);
        }
        WaitForButtons(*w);
    }
}

TEST_F(MainWindow, EnterRunsAQueryAndKeepsTheWindowEscapeEndsIt) {
    auto w = MakeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QSignalSpy complete(w->Browser(), &CWebBrowser2::documentComplete);
    w->DatePicker()->setFocus();
    QTest::keyClick(w->DatePicker(), Qt::Key_Return);
    EXPECT_TRUE(ButtonsDisabled(*w));  // the query ran
    EXPECT_TRUE(w->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
    EXPECT_TRUE(ButtonsEnabled(*w));
    EXPECT_TRUE(w->isVisible());

    // From anywhere: the dialog, the page, the overview strip, a list.
    QWidget* page = w->Browser()->focusProxy();
    ASSERT_NE(page, nullptr);
    const std::vector<QWidget*> targets{w.get(), page, w->OverviewStrip(), w->HourList()};
    for (QWidget* focus : targets) {
        SCOPED_TRACE(focus->metaObject()->className());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->result(), QDialog::Rejected);
    }
}

// With a list's drop-down or the date's calendar open, Escape closes only
// that; the next Escape closes the window.
TEST_F(MainWindow, EscapeWithAnOpenListClosesTheListOnly) {
    auto w = MakeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const std::vector<std::function<void()>> openers{
        [&] { w->HourList()->showPopup(); }, [&] { w->MinuteList()->showPopup(); },
        [&] { w->SecondList()->showPopup(); },
        [&] {  // the calendar: a click on the date field's arrow
            QDateEdit* date = w->DatePicker();
            QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 6, date->height() / 2));
        }};
    for (std::size_t i = 0; i < openers.size(); ++i) {
        SCOPED_TRACE(i);
        openers[i]();
        ASSERT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
        QWidget* popup = QApplication::activePopupWidget();
        QTest::keyClick(popup->focusWidget() != nullptr ? popup->focusWidget() : popup, Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() == nullptr; }, 5000));
        EXPECT_TRUE(w->isVisible());
    }
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w->HourList(), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

// Ctrl+E after a date was typed and Enter pressed (the focus stays in the
// date field) runs the CSV export as from anywhere else.
TEST_F(MainWindow, CtrlEFromTheDateFieldRunsTheExport) {
    auto w = MakeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->ExportCsvAction()->setEnabled(true);
    QSignalSpy exported(w->ExportCsvAction(), &QAction::triggered);
    // The export without a record shown says so in a message box: close it.
    QTimer::singleShot(0, [] {
        QTimer* closer = new QTimer;
        QObject::connect(closer, &QTimer::timeout, [closer] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close();
                closer->deleteLater();
            }
        });
        closer->start(50);
    });
    w->DatePicker()->setFocus();
    QTest::keyClick(w->DatePicker(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(exported.count(), 1);
}

TEST_F(MainWindow, ButtonsGoDownInOrderAndOneDocumentCompleteBringsThemBackInOrder) {
    auto w = MakeWindow();
    EnableOrder order;
    order.Watch(w->RefreshButton(), "refresh");
    order.Watch(w->ForwardButton(), "forward");
    order.Watch(w->BackButton(), "back");
    w->RunQuery();
    EXPECT_EQ(order.events, (std::vector<std::string>{"-refresh", "-forward", "-back"}));
    EXPECT_TRUE(ButtonsDisabled(*w));
    order.events.clear();
    emit w->Browser()->documentComplete(true);  // one completion, from whatever frame
    EXPECT_EQ(order.events, (std::vector<std::string>{"+refresh", "+forward", "+back"}));
    EXPECT_TRUE(ButtonsEnabled(*w));
    // The local page's own completion changes nothing further.
    WaitForButtons(*w);
}

TEST_F(MainWindow, AnUnusableServerAddressShowsALocalPageAndTheButtonsComeBack) {
    const char* addresses[] = {"", "not a url", "ftp://example.com/a", "/analysis", "http://", "127.0.0.1:8080/a",
                               "javascript:alert(1)"};
    auto w = MakeWindow();
    for (const char* address : addresses) {
        SCOPED_TRACE(address);
        config_.Write(address);
        QSignalSpy complete(w->Browser(), &CWebBrowser2::documentComplete);
        w->RunQuery();
        EXPECT_TRUE(ButtonsDisabled(*w));
        ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
        EXPECT_TRUE(ButtonsEnabled(*w));
        const QString html = PageHtml(w->Browser());
        EXPECT_NE(html.indexOf(QStringLiteral("serverBaseUrl")), -1);
        EXPECT_NE(html.indexOf(QString::fromStdString(config_.IniPath())), -1);
        EXPECT_NE(html.indexOf(Utf8("未配置可用的服务器地址")), -1);
    }
}

TEST(NavigableUrl, AcceptsOnlyAbsoluteHttpAddressesWithAHost) {
    struct Case { const char* text; bool usable; };
    const Case cases[] = {
        {"http://127.0.0.1:8080/analysis", true}, {"https://analysis.example.com/api", true},
        {"HTTP://HOST/x", true},                  {"", false},
        {"   ", false},                           {"analysis.example.com/api", false},
        {"ftp://host/x", false},                  {"file:///etc/passwd", false},
        {"http://", false},                       {"http://exa mple.com/", false},
        {"about:blank", false},                   {"javascript:alert(1)", false},
        {"127.0.0.1:47010/analysis", false},      {"localhost:47010/analysis", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CWebBrowser2::NavigableUrl(c.text).isValid(), c.usable);
    }
    EXPECT_FALSE(CWebBrowser2::NavigableUrl(nullptr).isValid());
}

TEST(WebBrowser2, HeaderBlockLinesBecomeOneHeaderEach) {
    const std::string block =
        "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: \xd5\xc5\r\n"
        "Password: a: b\r\nno colon here\r\n: empty name\r\n";
    const auto headers = CWebBrowser2::ParseHeaderBlock(block);
    ASSERT_EQ(headers.size(), 4u);
    EXPECT_EQ(headers[0].first, QByteArray("Content-Type"));
    EXPECT_EQ(headers[0].second, QByteArray("application/x-www-form-urlencoded"));
    EXPECT_EQ(headers[1].second, QByteArray("1.0.0"));
    EXPECT_EQ(headers[2].second, QByteArray("\xd5\xc5"));  // 8-bit bytes pass unchanged
    EXPECT_EQ(headers[3].first, QByteArray("Password"));
    EXPECT_EQ(headers[3].second, QByteArray("a: b"));

    const std::vector<std::uint8_t> body = {'a', '=', '1', 0, '&'};
    const QWebEngineHttpRequest request =
        CWebBrowser2::MakeRequest(QUrl(QStringLiteral("http://127.0.0.1/x")), body, block);
    EXPECT_EQ(request.method(), QWebEngineHttpRequest::Post);
    EXPECT_EQ(request.postData(), QByteArray("a=1\0&", 5));
    EXPECT_EQ(request.header("User-ID"), QByteArray("\xd5\xc5"));
    EXPECT_EQ(request.headers().size(), 4);
}

// A server that cannot be reached: the buttons come back and our own page
// names the address, the configuration file and what to check, instead of
// the engine's error page; for a refused connection as for a port the
// engine blocks.
TEST_F(MainWindow, AFailedLoadBringsTheButtonsBackAndOurOwnPageSaysWhy) {
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const std::string addresses[] = {"http://127.0.0.1:9/analysis",  // the discard port, blocked by the engine
                                     "http://127.0.0.1:" + std::to_string(closedPort) + "/analysis"};
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address);
        auto w = MakeWindow(address);
        QSignalSpy complete(w->Browser(), &CWebBrowser2::documentComplete);
        w->RunQuery();
        EXPECT_TRUE(ButtonsDisabled(*w));
        ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
        EXPECT_FALSE(complete.first().at(0).toBool());
        EXPECT_TRUE(ButtonsEnabled(*w));
        ASSERT_TRUE(WaitUntil([&] { return PageHtml(w->Browser()).contains(Utf8("无法连接分析服务器")); }, 30000));
        const QString html = PageHtml(w->Browser());
        EXPECT_TRUE(html.contains(QString::fromStdString(address))) << html.toStdString();
        EXPECT_TRUE(html.contains(QString::fromStdString(config_.IniPath())));
        EXPECT_TRUE(html.contains(QStringLiteral("serverBaseUrl")));
        WaitForButtons(*w);
    }
}

// ">" from the last record before a pause goes to the first record after
// it, "<" from there comes back; at the newest and the oldest record the
// window stays and says so. The CSV export is there only while a record is
// shown.
TEST(MainWindowSteps, StepsCrossPausesAndStopAtTheEndsOfTheRecording) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScratchConfig config;
    config.Write("");
    MemoryVolumeSystem volumes;
    SampleCard card;
    card.firstTime = TimeOfFields(2024, 3, 15, 10, 0, 0);
    card.records = 1200;
    card.gapEvery = 600;
    card.gapSeconds = 300;  // records 0..599, a pause of 300 s, records 600..1199
    WriteSampleCard(volumes.Attach('E'), card);
    const std::int32_t beforePause = card.firstTime + 599;
    const std::int32_t afterPause = card.firstTime + 600 + 300;
    const std::int32_t newest = card.firstTime + 1199 + 300;
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    CMainDlg w(volumes, options);
    EXPECT_FALSE(w.ExportCsvAction()->isEnabled());  // the start page shows no record

    const struct {
        const char* what;
        std::int32_t from;  // queried first
        bool forward;
        std::int32_t shown;  // the record shown after the step
        const char* status;  // the status line's second line, with %1 the record time
    } steps[] = {
        {"over the pause", beforePause, true, afterPause, text::kRecordTime},
        {"back over the pause", afterPause, false, beforePause, text::kRecordTime},
        {"at the newest record", newest, true, newest, text::kNoLaterRecord},
        {"at the oldest record", card.firstTime, false, card.firstTime, text::kNoEarlierRecord},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        w.SetSelectedTime(step.from);
        w.ShowSelectedTime();
        w.RunQuery();
        ASSERT_EQ(w.Reader().actualTime, step.from);
        ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
        EXPECT_TRUE(w.ExportCsvAction()->isEnabled());
        (step.forward ? w.ForwardButton() : w.BackButton())->click();
        EXPECT_EQ(w.SelectedTime(), step.shown);
        EXPECT_EQ(w.TimeFromControls(), step.shown);
        EXPECT_EQ(w.Reader().actualTime, step.shown);
        const QString expected = QString::fromUtf8(step.status).arg(QString::fromStdString(FormatLocalStandard(step.shown)));
        EXPECT_EQ(w.StatusText().split(QLatin1Char('\n')).value(1), expected);
        ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
    }

    // The card is pulled: no record, no export.
    volumes.Detach(DevicePathOf('E'));
    w.RunQuery();
    EXPECT_FALSE(w.ExportCsvAction()->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
}

// A card put in after start is found by the look-out every two seconds and
// by 重新查找存储卡 (F5); the start page, the status line and the overview
// follow, and a card pulled is missed at the next search.
TEST(MainWindowCardSearch, ACardPutInLaterIsFoundAndTheStartPageFollows) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScratchConfig config;
    config.Write("");
    MemoryVolumeSystem volumes;
    int searches = 0;
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    options.findDrives = [&searches] { ++searches; };
    CMainDlg w(volumes, options);
    EXPECT_EQ(w.FindCardAction()->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(w.StatusText(), QString::fromUtf8(text::kNoCardAtStart));
    ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(Utf8("未找到存储卡")); }, 30000));

    SampleCard card;
    card.firstTime = TimeOfFields(2024, 3, 15, 10, 0, 0);
    card.serial = 7654321;
    WriteSampleCard(volumes.Attach('F'), card);
    ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(QStringLiteral("7654321")); }, 10000));
    EXPECT_GE(searches, 1);
    EXPECT_EQ(w.Reader().StartupDriveCode(), 'F');
    EXPECT_TRUE(w.StatusText().contains(QStringLiteral("F:")));
    ASSERT_TRUE(WaitUntil([&] { return !w.OverviewStrip()->IsScanning(); }, 30000));
    EXPECT_FALSE(w.OverviewStrip()->Samples().empty());

    volumes.Detach(DevicePathOf('F'));
    const int before = searches;
    w.FindCardAction()->trigger();
    EXPECT_EQ(searches, before + 1);
    EXPECT_EQ(w.Reader().StartupDriveCode(), 1);
    EXPECT_EQ(w.StatusText(), QString::fromUtf8(text::kNoCardAtStart));
    ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(Utf8("未找到存储卡")); }, 30000));
    EXPECT_TRUE(w.OverviewStrip()->Samples().empty());
}

// Notes whether the busy cursor is up whenever the card is opened.
class CursorWatchingVolumes : public RawVolumeSystem {
public:
    VolumeOpen Open(const char* devicePath) override {
        const QCursor* cursor = QApplication::overrideCursor();
        (cursor != nullptr && cursor->shape() == Qt::WaitCursor ? busyOpens : idleOpens)++;
        return memory.Open(devicePath);
    }
    MemoryVolumeSystem memory;
    int busyOpens = 0;
    int idleOpens = 0;
};

TEST(MainWindowQuery, TheCardIsReadUnderABusyCursorAndTheStatusLineTellsWhatHappened) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScratchConfig config;
    config.Write("");
    CursorWatchingVolumes volumes;
    const std::int32_t first = TimeOfFields(2024, 3, 15, 10, 0, 0);
    SampleCard card;
    card.firstTime = first;
    WriteSampleCard(volumes.memory.Attach('F'), card);
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    CMainDlg w(volumes, options);
    EXPECT_EQ(volumes.busyOpens, 0);  // the drive search at construction
    EXPECT_GT(volumes.idleOpens, 0);
    EXPECT_NE(w.StatusText().indexOf(QStringLiteral("F:")), -1);

    w.SetSelectedTime(first + 42);
    w.ShowSelectedTime();
    w.RunQuery();
    EXPECT_GT(volumes.busyOpens, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(w.StatusText().indexOf(QString::fromStdString(FormatLocalStandard(first + 42))), -1);
    ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));

    // A second after the newest record: the record shown is another one,
    // and the status line names both seconds.
    w.SetSelectedTime(first + 5000);
    w.ShowSelectedTime();
    w.RunQuery();
    ASSERT_NE(w.SelectedTime(), first + 5000);
    EXPECT_NE(w.StatusText().indexOf(QString::fromStdString(
                  NearestRecordText(UiLanguage::kChinese, first + 5000, w.SelectedTime()))),
              -1)
        << w.StatusText().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
    w.SetSelectedTime(first + 42);
    w.ShowSelectedTime();

    // The card is pulled: the next query finds nothing and says why; the
    // selected time stays.
    volumes.memory.Detach(DevicePathOf('F'));
    w.RunQuery();
    EXPECT_NE(w.StatusText().indexOf(QString::fromUtf8(text::kCardNotResponding).arg(QLatin1Char('F'))), -1);
    EXPECT_NE(w.StatusText().indexOf(QString::fromStdString(
                  NoRecordText(UiLanguage::kChinese, NoRecordCause::kCardUnreadable, first + 42))),
              -1);
    EXPECT_EQ(w.SelectedTime(), first + 42);
    ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
}

TEST_F(MainWindow, F1AndTheContextMenuEntryOpenTheAboutBox) {
    auto w = MakeWindow();
    QAction* about = w->AboutAction();
    EXPECT_EQ(about->text(), Utf8("关于 Vemlar(&A)..."));
    EXPECT_EQ(about->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(w->actions().contains(about));
    EXPECT_EQ(w->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(w->Browser()->actions().contains(about));

    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QStringList seen;
    int opened = 0;
    auto inspectAndClose = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == w.get()) return;
        ++opened;
        seen << modal->windowTitle();
        for (QLabel* label : modal->findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) seen << label->text();
            if (!label->pixmap().isNull()) seen << QStringLiteral("<icon>");
        }
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("aboutOk"));
        ASSERT_NE(ok, nullptr);
        seen << ok->text();
        ok->click();
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, inspectAndClose);
    poll.start(20);
    QTest::keyClick(w.get(), Qt::Key_F1);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(seen.contains(Utf8("关于 Vemlar")));
    EXPECT_TRUE(seen.contains(Utf8("Orvanta谐波分析客户端 1.0.0 版")));
    EXPECT_TRUE(seen.contains(Utf8(text::kAboutNotice)));
    EXPECT_TRUE(seen.contains(Utf8("确定")));
    EXPECT_TRUE(seen.contains(QStringLiteral("<icon>")));
    about->trigger();  // the context-menu entry
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(w->isVisible());
}

}  // namespace
}  // namespace orvanta
