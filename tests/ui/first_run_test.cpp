// The first run: the browser shows the start page before the first query
// (its texts are checked with the other local pages in tests/dialogcore).
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>

#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
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

// Without ratio.txt in the working directory the one beside the
// configuration file is read; the start page shows the ratios and their
// file, or warns that there is none.
TEST(FirstRun, RatioTxtBesideTheConfigurationFileIsReadAndTheStartPageSaysSo) {
    ASSERT_FALSE(QFile::exists(QStringLiteral("ratio.txt"))) << "the tests' working directory holds a ratio.txt";
    MemoryVolumeSystem volumes;
    for (const bool beside : {true, false}) {
        SCOPED_TRACE(beside ? "beside" : "none");
        ScratchConfig config;
        config.Write("");
        const QString ratioPath = config.Dir() + QStringLiteral("/ratio.txt");
        if (beside) {
            QFile file(ratioPath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("2.5\n0.75\n");
        }
        MainDlgOptions options;
        options.iniPath = config.IniPath();
        CMainDlg w(volumes, options);
        EXPECT_EQ(w.Reader().ratioA, beside ? 2.5 : 1.0);
        EXPECT_EQ(w.Reader().ratioB, beside ? 0.75 : 1.0);
        ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(Utf8("变比")); }));
        const QString page = PageHtml(w.Browser());
        if (beside) {
            ExpectPageTexts(page, {QStringLiteral("2.5"), QStringLiteral("0.75"), ratioPath}, {Utf8("没有找到 ratio.txt")});
        } else {
            ExpectPageTexts(page, {Utf8("没有找到 ratio.txt")}, {ratioPath});
        }
    }
}

// A drive whose device or image cannot be read is not "no card": the status
// line and the start page name the cause.
TEST(FirstRun, WithoutACardTheCauseOfAnUnreadableDriveIsNamed) {
    ScratchConfig config;
    config.Write("");
    const std::string missing = config.Dir().toStdString() + "/no-such-card.img";
    DriveMap drives;
    drives.Set('E', missing);
    const std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(drives);
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    options.drives = &drives;
    CMainDlg w(*volumes, options);
    const QString cause = Utf8("找不到 ") + QString::fromStdString(missing);
    EXPECT_TRUE(w.StatusText().startsWith(cause)) << w.StatusText().toStdString();
    EXPECT_TRUE(w.OverviewStrip()->StateText().startsWith(cause)) << w.OverviewStrip()->StateText().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return PageHtml(w.Browser()).contains(Utf8("未找到存储卡")); }));
    ExpectPageTexts(PageHtml(w.Browser()), {Utf8("各驱动器的情况"), QStringLiteral("E: ") + cause}, {});
}

// A card that stops answering after start-up: the status line names why
// instead of only saying that it does not answer.
TEST(FirstRun, ACardThatStopsAnsweringHasItsCauseNamed) {
    ScratchConfig config;
    config.Write("");
    MemoryVolumeSystem volumes;
    SampleCard card;
    WriteSampleCard(volumes.Attach('E'), card);
    DriveMap drives;
    drives.Set('E', "/dev/sdb1");
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    options.drives = &drives;
    CMainDlg w(volumes, options);
    // The in-memory card is not shared safely with the strip's scan thread.
    ASSERT_TRUE(WaitUntil([&] { return !w.OverviewStrip()->IsScanning(); }));
    volumes.Detach("\\\\.\\E:");
    w.RunQuery();
    EXPECT_TRUE(w.StatusText().startsWith(Utf8("找不到 /dev/sdb1"))) << w.StatusText().toStdString();
    EXPECT_EQ(w.StatusText().count(QStringLiteral("/dev/sdb1")), 1) << w.StatusText().toStdString();
}

}  // namespace
}  // namespace orvanta
