// The first run: the start page the browser shows before the first query
// (with a card, and without one), and the "no server" page naming where the
// configuration was looked for.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include <QPushButton>
#include <QSignalSpy>

#include "card/local_time.h"
#include "platform/drive_map.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui/sample_card.h"
#include "ui/start_page.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::PageHtml;
using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::TimeOfFields;
using testing_ui::WaitUntil;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// Every expected text must be in the page, every refused one must not.
void ExpectPageTexts(const QString& page, const QStringList& expected, const QStringList& refused) {
    for (const QString& text : expected) EXPECT_TRUE(page.contains(text)) << text.toStdString();
    for (const QString& text : refused) EXPECT_FALSE(page.contains(text)) << text.toStdString();
}

const QStringList kHowToUse = {Utf8("使用方法"), Utf8("选择日期"), Utf8("“刷新”"), Utf8("“&lt;”和“&gt;”"),
                               Utf8("右键菜单")};

TEST(StartPage, WithACardNamesDriveDeviceSerialRingTimesAndRecords) {
    // Summer in Berlin: the times stay local standard time, as the controls show them.
    ScopedTimeZone zone("Europe/Berlin");
    CardSummary card;
    card.present = true;
    card.letter = 'E';
    card.serial = 4026531841u;
    card.records = 300000;
    card.oldestTime = TimeOfFields(2024, 7, 13, 8, 0, 0);
    card.newestTime = TimeOfFields(2024, 7, 16, 9, 30, 5);
    const QString page = StartPage(card, "/media/card <1>&.img");
    ExpectPageTexts(page,
                    QStringList{Utf8("E:"), QStringLiteral("/media/card &lt;1&gt;&amp;.img"), QStringLiteral("4026531841"),
                                QStringLiteral("2024-07-13 08:00:00"), QStringLiteral("2024-07-16 09:30:05"),
                                QStringLiteral("300000"), Utf8("本地标准时间")} +
                        kHowToUse,
                    {Utf8("未找到存储卡"), QStringLiteral("/media/card <1>"), QStringLiteral("--drive")});
}

TEST(StartPage, WithoutACardTellsHowToMapOne) {
    const QStringList howToMap = {QStringLiteral("--drive E=/dev/sdb1"), QStringLiteral("--drive E=card.img"),
                                  QStringLiteral("/usr/lib/udev/rules.d/60-orvanta-card.rules"),
                                  QStringLiteral("plugdev"), QStringLiteral("adduser $USER disk")};
    CardSummary none;
    ExpectPageTexts(StartPage(none, ""), QStringList{Utf8("未找到存储卡"), Utf8("D: 至 Z:")} + howToMap + kHowToUse,
                    {Utf8("记录仪序列号")});
    CardSummary pulled;  // found at start, no longer answering
    pulled.letter = 'F';
    EXPECT_TRUE(StartPage(pulled, "/dev/sdc1").contains(Utf8("驱动器 F: 找到的存储卡现在没有响应")));
}

TEST(FirstRun, TheBrowserShowsTheStartPageAndTheControlsStartAtTheCurrentTime) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScratchConfig config;
    config.Write("");
    MemoryVolumeSystem volumes;
    SampleCard card;
    card.firstTime = TimeOfFields(2024, 3, 15, 10, 0, 0);
    WriteSampleCard(volumes.Attach('E'), card);
    DriveMap drives;
    drives.Set('E', "/dev/sdb1");
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    options.drives = &drives;

    const std::int32_t before = static_cast<std::int32_t>(std::time(nullptr));
    CMainDlg w(volumes, options);
    const std::int32_t after = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_GE(w.SelectedTime(), before);
    EXPECT_LE(w.SelectedTime(), after);
    EXPECT_EQ(w.TimeFromControls(), w.SelectedTime());

    QSignalSpy complete(w.Browser(), &CWebBrowser2::documentComplete);
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
    ExpectPageTexts(PageHtml(w.Browser()),
                    {Utf8("欢迎使用"), QStringLiteral("/dev/sdb1"), QStringLiteral("20240315"),
                     QString::fromStdString(FormatLocalStandard(card.firstTime)),
                     QString::fromStdString(FormatLocalStandard(card.firstTime + card.records - 1)),
                     QString::number(card.records)},
                    {});
    EXPECT_TRUE(w.RefreshButton()->isEnabled());
}

TEST(NoServerPage, NamesTheFileReadOrEveryPlaceLookedIn) {
    ConfigLookup missing;
    missing.iniPath = "/usr/bin/orvanta-vemlar.ini";
    missing.candidates = {"/usr/bin/orvanta-vemlar.ini", "/home/ann/.config/orvanta/orvanta-vemlar.ini",
                          "/etc/orvanta/orvanta-vemlar.ini"};
    const QString notFound = CMainDlg::NoServerPage(missing, "");
    ExpectPageTexts(notFound, {Utf8("未找到配置文件"), QStringLiteral("serverBaseUrl")}, {});
    int last = -1;
    for (const std::string& candidate : missing.candidates) {
        const int at = notFound.indexOf(QString::fromStdString(candidate));
        EXPECT_GT(at, last) << candidate;  // in search order
        last = at;
    }

    missing.iniPath = missing.candidates[1];  // found there: only that file is named
    missing.found = true;
    ExpectPageTexts(CMainDlg::NoServerPage(missing, "ftp://x"),
                    {QString::fromStdString(missing.iniPath), QStringLiteral("ftp://x")},
                    {QStringLiteral("/etc/orvanta"), Utf8("未找到配置文件")});
}

}  // namespace
}  // namespace orvanta
