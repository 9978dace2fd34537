// The status line beside ">": one fact per line (the card's drive and device
// path, then the record time), the device path elided in its middle with the
// whole path in the tooltip, and never wrapped under or into the buttons, at
// the dialog's minimum size and larger.
#include <gtest/gtest.h>

#include <memory>

#include <QDateEdit>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "card/local_time.h"
#include "dialogcore/record_line.h"
#include "platform/drive_map.h"
#include "ui/main_dlg.h"
#include "ui/sample_card.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::TimeOfFields;
using testing_ui::WaitUntil;

const char kLongPath[] =
    "/dev/disk/by-path/pci-0000:00:14.0-usb-0:1.4.2.3:1.0-scsi-0:0:0:0-usb-Generic_Multi_Card_Reader_"
    "STORAGE_DEVICE_000000000819_with_an_unusually_long_serial_number_0123456789abcdef-0:0-part1";

// The shown lines fit the label, and the label keeps clear of every button
// and of the row of the refresh button below it.
void ExpectClearOfTheButtons(const CMainDlg& w, const QLabel& status) {
    const QFontMetrics metrics(status.font());
    const QStringList lines = status.text().split(QLatin1Char('\n'));
    EXPECT_LE(lines.size() * metrics.lineSpacing(), status.height()) << status.text().toStdString();
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), status.width()) << line.toStdString();
    }
    EXPECT_FALSE(status.wordWrap());
    const QRect area = status.geometry();
    EXPECT_LE(area.right(), w.width() - 1);
    EXPECT_GT(area.left(), w.RefreshButton()->geometry().right());
    EXPECT_GT(area.top(), w.DatePicker()->geometry().bottom());
    EXPECT_LE(area.bottom(), w.height() - 1);
    for (const QPushButton* button : {w.RefreshButton(), w.BackButton(), w.ForwardButton()}) {
        EXPECT_FALSE(area.intersects(button->geometry())) << button->objectName().toStdString();
    }
}

TEST(StatusLine, OneFactPerLineElidedInTheMiddleAndClearOfTheButtonsAtEverySize) {
    ScopedTimeZone zone("Asia/Shanghai");
    ScratchConfig config;
    config.Write("");  // no server: the query ends on a local page
    MemoryVolumeSystem volumes;
    SampleCard card;
    card.firstTime = TimeOfFields(2024, 3, 15, 10, 0, 0);
    WriteSampleCard(volumes.Attach('E'), card);
    DriveMap drives;
    drives.Set('E', kLongPath);
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    options.drives = &drives;
    CMainDlg w(volumes, options);
    auto* status = w.findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_NE(status, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QSize minimum = w.minimumSize();

    const QString cardLine = QString::fromUtf8(text::kCardOnDrive).arg(QLatin1Char('E')) + QLatin1Char(' ');
    const QString recordLine =
        QString::fromUtf8(text::kRecordTime).arg(QString::fromStdString(FormatLocalStandard(card.firstTime + 42)));
    struct Step { const char* what; QSize size; bool query; };
    const Step steps[] = {
        {"minimum size, before the first query", minimum, false},
        {"minimum size, after a query", minimum, true},
        {"larger", minimum + QSize(300, 120), false},
        {"back to the minimum", minimum, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        w.resize(step.size);
        ASSERT_TRUE(WaitUntil([&] { return w.LastClientWidth() == step.size.width(); }, 5000));
        ASSERT_EQ(w.size(), step.size);
        if (step.query) {
            w.SetSelectedTime(card.firstTime + 42);
            w.ShowSelectedTime();
            w.RunQuery();
            ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
        }
        const QStringList shown = status->text().split(QLatin1Char('\n'));
        ASSERT_EQ(shown.size(), w.StatusText().split(QLatin1Char('\n')).size());
        // The drive stays whole; the path loses its middle, keeps both ends.
        EXPECT_TRUE(shown[0].startsWith(cardLine + QStringLiteral("/dev/"))) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].endsWith(QStringLiteral("part1"))) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(QChar(0x2026))) << shown[0].toStdString();
        EXPECT_EQ(status->toolTip().split(QLatin1Char('\n'))[0], cardLine + QString::fromLatin1(kLongPath));
        if (shown.size() > 1) {
            EXPECT_EQ(shown[1], recordLine);  // the record time is never cut
        }
        ExpectClearOfTheButtons(w, *status);
    }
    EXPECT_EQ(w.StatusText(), cardLine + QString::fromLatin1(kLongPath) + QLatin1Char('\n') + recordLine);
}

// At the window's default width every status text fits whole, in English as
// in Chinese, measured with the status line's own font: the fixed texts and
// the record lines with their longest times.
TEST(StatusLine, EveryFixedTextFitsAtTheDefaultWidthInBothLanguages) {
    ScratchConfig config;
    config.Write("");
    for (UiLanguage language : {UiLanguage::kChinese, UiLanguage::kEnglish}) {
        const CUiTranslation translation(language);
        MemoryVolumeSystem volumes;
        MainDlgOptions options;
        options.iniPath = config.IniPath();
        CMainDlg w(volumes, options);
        ScopedTimeZone zone("Asia/Shanghai");
        const std::int32_t asked = TimeOfFields(2024, 6, 25, 14, 30, 0);
        const std::int32_t dayBefore = TimeOfFields(2024, 6, 24, 23, 59, 59);
        auto shared = [](const std::string& text) { return QString::fromStdString(text); };
        const auto* status = w.findChild<QLabel*>(QStringLiteral("statusLine"));
        ASSERT_NE(status, nullptr);
        const QFontMetrics metrics(status->font());
        const QString texts[] = {
            text::Tr(text::kNoCardAtStart),
            text::Tr(text::kCardNotResponding).arg(QLatin1Char('E')),
            text::Tr(text::kCardOnDrive).arg(QLatin1Char('E')),
            text::Tr(text::kRecordTime).arg(QStringLiteral("2024-03-14 15:20:00")),
            text::Tr(text::kNoLaterRecord).arg(QStringLiteral("2024-06-25 14:00:00")),
            text::Tr(text::kNoEarlierRecord).arg(QStringLiteral("2024-06-25 14:00:00")),
            shared(NearestRecordText(language, asked, dayBefore)),
            shared(NoRecordText(language, NoRecordCause::kNoCard, asked)),
            shared(NoRecordText(language, NoRecordCause::kCardUnreadable, asked)),
            shared(NoRecordText(language, NoRecordCause::kNoneNear, asked)),
            text::Tr(text::kRecordTime).arg(QStringLiteral("2024-06-25 14:00:00")) + QStringLiteral("   ") +
                shared(WaitingText(language, 120)),
        };
        for (const QString& line : texts) {
            EXPECT_LE(metrics.horizontalAdvance(line), status->width()) << line.toStdString();
        }
    }
}

}  // namespace
}  // namespace orvanta
