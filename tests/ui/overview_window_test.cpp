// The overview strip in the main window: it scans the card off the
// user-interface thread at start, a click queries the clicked record's second,
// hovering names the sample, a zoom samples its range at full resolution, the
// exports write a PDF of the page and the record's CSV, and the card files: an
// image saved from the card and opened as the card, the record as COMTRADE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include "card/local_time.h"
#include "cardimage/card_save.h"
#include "request/record_csv.h"
#include "ui/card_file_commands.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui/overview_painter.h"
#include "ui/record_export.h"
#include "ui/overview_strip.h"
#include "ui/ui_strings.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::TimeOfFields;
using testing_ui::WaitUntil;

class OverviewWindow : public ::testing::Test {
protected:
    OverviewWindow() : zone_("Asia/Shanghai"), firstTime_(TimeOfFields(2024, 3, 15, 10, 0, 0)) {}

    std::unique_ptr<CMainDlg> MakeWindow(MemoryVolumeSystem& volumes) {
        config_.Write("");  // no server: the window shows its own page and the buttons come back
        MainDlgOptions options;
        options.iniPath = config_.IniPath();
        auto w = std::make_unique<CMainDlg>(volumes, options);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        EXPECT_TRUE(WaitUntil([&] { return !w->OverviewStrip()->IsScanning(); }, 60000));
        return w;
    }
    static void WaitForButtons(const CMainDlg& w) {
        ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
    }

    ScopedTimeZone zone_;
    ScratchConfig config_;
    std::int32_t firstTime_;
};

TEST_F(OverviewWindow, AClickOnTheStripQueriesThatSecond) {
    auto volumes = testing_ui::CardVolumes(firstTime_, 1200);
    auto w = MakeWindow(*volumes);
    COverviewStrip* strip = w->OverviewStrip();
    ASSERT_EQ(strip->Samples().size(), 1000u);
    EXPECT_EQ(strip->ViewFrom(), firstTime_);
    EXPECT_EQ(strip->ViewTo(), firstTime_ + 1199);

    const struct { int permille; } clicks[] = {{250}, {731}, {1000}};
    for (const auto& click : clicks) {
        const QRect plot = strip->PlotRect();
        const int x = plot.left() + (plot.width() - 1) * click.permille / 1000;
        const int index = strip->NearestSample(x);
        ASSERT_GE(index, 0);
        const OverviewSample sample = strip->Samples()[static_cast<std::size_t>(index)];
        const QPoint at(x, plot.center().y());

        QTest::mouseMove(strip, at);
        const QString hover = strip->HoverTextAt(x);
        EXPECT_TRUE(hover.contains(QString::fromStdString(FormatLocalStandard(sample.time))));
        EXPECT_TRUE(hover.contains(QString::number(sample.rms.voltsB, 'f', 1) + QStringLiteral(" V")))
            << hover.toStdString();
        EXPECT_TRUE(hover.contains(QString::number(sample.rms.amperesA, 'f', 3) + QStringLiteral(" A")));

        QSignalSpy chosen(strip, &COverviewStrip::sampleChosen);
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, at);
        ASSERT_TRUE(chosen.wait(5000));  // after the double-click interval
        EXPECT_EQ(w->TimeFromControls(), sample.time);
        EXPECT_EQ(w->Reader().actualTime, sample.time);
        EXPECT_EQ(w->Reader().currentSector, sample.sector);  // one record per second
        EXPECT_FALSE(w->RefreshButton()->isEnabled());       // the query ran as refresh runs it
        WaitForButtons(*w);
    }
}

TEST_F(OverviewWindow, AZoomSamplesItsRangeAtFullResolutionAndADoubleClickGoesBack) {
    auto volumes = testing_ui::CardVolumes(firstTime_, 3000);
    auto w = MakeWindow(*volumes);
    COverviewStrip* strip = w->OverviewStrip();
    ASSERT_EQ(strip->Samples().size(), 1000u);

    QSignalSpy finished(strip, &COverviewStrip::scanFinished);
    strip->ZoomTo(firstTime_ + 1000, firstTime_ + 1399);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(strip->IsZoomed());
    ASSERT_EQ(strip->Samples().size(), 400u);  // every record of the range
    EXPECT_EQ(strip->Samples().front().time, firstTime_ + 1000);
    EXPECT_EQ(strip->Samples().back().time, firstTime_ + 1399);

    const QPoint middle = strip->PlotRect().center();
    QSignalSpy chosen(strip, &COverviewStrip::sampleChosen);
    QTest::mouseDClick(strip, Qt::LeftButton, Qt::NoModifier, middle);
    ASSERT_TRUE(WaitUntil([&] { return !strip->IsZoomed() && !strip->IsScanning(); }, 30000));
    EXPECT_EQ(strip->ViewFrom(), firstTime_);
    EXPECT_EQ(strip->Samples().size(), 1000u);
    // The double click only goes back: no record is chosen, nothing queried.
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(w->Reader().actualTime, 0);
    EXPECT_TRUE(w->RefreshButton()->isEnabled());
}

// At the window's default size the time axis shows at least four labels
// that do not overlap, for views of a minute to a month; a tick at midnight
// carries the date.
TEST_F(OverviewWindow, TheTimeAxisAtTheDefaultSizeShowsFourLabelsAndTheDateAtMidnight) {
    MemoryVolumeSystem noCard;
    auto w = MakeWindow(noCard);
    const COverviewStrip* strip = w->OverviewStrip();
    const QFontMetrics metrics(strip->font());
    const struct {
        std::int32_t span;
        int midnightDay;  // a labelled midnight of March in the view (0: none)
        const char* midnightLabel;
    } rows[] = {{60, 0, nullptr},           {20 * 60, 0, nullptr},        {5 * 3600, 0, nullptr},
                {20 * 3600, 16, "03-16"}, {7 * 86400 / 2, 17, "03-17"}, {30 * 86400, 0, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.span);
        const OverviewGeometry geometry(strip->font(), strip->size(), firstTime_, firstTime_ + row.span);
        const TimeAxisLayout axis = TimeAxisLayoutOf(metrics, geometry);
        EXPECT_GE(axis.labels.size() + 2, 4u);
        int freeFrom = geometry.Plot().left() + metrics.horizontalAdvance(QString::fromStdString(axis.first));
        for (const TimeAxisLabel& label : axis.labels) {
            const int half = metrics.horizontalAdvance(QString::fromStdString(label.text)) / 2;
            EXPECT_GT(label.x - half, freeFrom) << label.text;
            freeFrom = label.x + half;
        }
        EXPECT_LT(freeFrom, geometry.Plot().right() - metrics.horizontalAdvance(QString::fromStdString(axis.last)));
        if (row.midnightLabel == nullptr) continue;
        const int midnightX = geometry.XOfTime(TimeOfFields(2024, 3, row.midnightDay, 0, 0, 0));
        const auto at = std::find_if(axis.labels.begin(), axis.labels.end(),
                                     [&](const TimeAxisLabel& label) { return label.x == midnightX; });
        ASSERT_NE(at, axis.labels.end());
        EXPECT_EQ(at->text, row.midnightLabel);
    }
}

TEST_F(OverviewWindow, WithoutACardTheStripSaysSo) {
    MemoryVolumeSystem noCard;
    auto w = MakeWindow(noCard);
    EXPECT_TRUE(w->OverviewStrip()->Samples().empty());
    EXPECT_EQ(w->OverviewStrip()->StateText(), QString::fromUtf8(text::kOverviewNoCard));
}

TEST_F(OverviewWindow, ExportsWriteAPdfOfThePageAndTheRecordsCsv) {
    auto volumes = testing_ui::CardVolumes(firstTime_, 1200);
    auto w = MakeWindow(*volumes);
    EXPECT_EQ(w->SavePdfAction()->text(), QString::fromUtf8(text::kSavePdf));
    EXPECT_FALSE(w->SavePdfAction()->shortcut().isEmpty());
    EXPECT_FALSE(w->ExportCsvAction()->shortcut().isEmpty());
    QTest::mouseClick(w->RefreshButton(), Qt::LeftButton);
    WaitForButtons(*w);

    QTemporaryDir dir;
    // Each export says where its file went, or that it failed; a folder
    // that does not exist fails both.
    const struct {
        QString folder;
        bool ok;
    } targets[] = {{dir.path(), true}, {dir.filePath(QStringLiteral("missing")), false}};
    for (const auto& target : targets) {
        const QString pdf = QDir(target.folder).filePath(QStringLiteral("page.pdf"));
        QSignalSpy printed(w->Exporter(), &CRecordExport::pdfSaved);
        w->SavePageAsPdf(pdf);
        ASSERT_TRUE(printed.count() > 0 || printed.wait(60000));
        EXPECT_EQ(printed.at(0).at(1).toBool(), target.ok);
        EXPECT_TRUE(w->Exporter()->LastMessage().contains(pdf)) << w->Exporter()->LastMessage().toStdString();
        QFile pdfFile(pdf);
        EXPECT_EQ(pdfFile.open(QIODevice::ReadOnly), target.ok);
        if (target.ok) {
            const QByteArray pdfBytes = pdfFile.readAll();
            EXPECT_TRUE(pdfBytes.startsWith("%PDF-"));
            // Each page's footer names the record and the card; a reader
            // finds it, and the fonts are outlines, not Type 3.
            const QByteArray footer = QByteArray::fromStdString("Record " + FormatLocalStandard(w->Reader().actualTime));
            EXPECT_TRUE(pdfBytes.contains(footer + " \\(UTC+08:00\\)  |  Card E: serial ")) << footer.toStdString();
            EXPECT_TRUE(pdfBytes.contains("Page 1 of "));
            for (const char* tool : {"pdftotext", "pdffonts"}) {
                if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) continue;
                const bool text = std::string(tool) == "pdftotext";
                QProcess run;
                run.start(QLatin1String(tool), text ? QStringList{pdf, QStringLiteral("-")} : QStringList{pdf});
                ASSERT_TRUE(run.waitForFinished(20000));
                const QByteArray said = run.readAllStandardOutput();
                if (text) {
                    EXPECT_TRUE(said.contains(footer) && said.contains("Page 1 of")) << said.toStdString();
                } else {
                    EXPECT_FALSE(said.contains("Type 3")) << said.toStdString();
                }
            }
        }

        // The record's three files are named after the one chosen and named
        // in the message (no nominalFrequency configured: 50 Hz).
        const QString csv = QDir(target.folder).filePath(QStringLiteral("record.csv"));
        EXPECT_EQ(w->ExportRecordCsv(csv), target.ok);
        EXPECT_TRUE(w->Exporter()->LastMessage().contains(QDir(target.folder).filePath(QStringLiteral("record-waveform.csv"))))
            << w->Exporter()->LastMessage().toStdString();
        // The strip's overview: the CSV of orvanta-card overview, a row per sample.
        const QString overview = QDir(target.folder).filePath(QStringLiteral("overview.csv"));
        EXPECT_EQ(w->Exporter()->ExportOverviewCsv(overview, w->OverviewStrip()->Samples()), target.ok);
        EXPECT_TRUE(w->Exporter()->LastMessage().contains(overview));
        if (!target.ok) continue;
        for (const RecordCsvFile& file : BuildRecordCsv(w->Reader(), 50)) {
            const QString path = QDir(target.folder).filePath(QStringLiteral("record") + QLatin1String(file.suffix));
            QFile csvFile(path);
            ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly)) << path.toStdString();
            EXPECT_EQ(csvFile.readAll().toStdString(), file.text);
            // The PDF has the CSV's permissions.
            EXPECT_EQ(QFileInfo(pdf).permissions(), QFileInfo(path).permissions());
        }
        QFile overviewFile(overview);
        ASSERT_TRUE(overviewFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = overviewFile.readAll().split('\n');
        EXPECT_EQ(rows.front(), "\"time (local standard time, UTC+08:00)\",sector,trend_a (A),trend_b (V),rms_a (A),rms_b (V)");
        EXPECT_EQ(static_cast<std::size_t>(rows.size()), 1 + w->OverviewStrip()->Samples().size() + 1);  // and the last line end
        EXPECT_TRUE(rows[1].startsWith(QByteArray::fromStdString(FormatLocalStandard(firstTime_))));
    }
    EXPECT_TRUE(w->ExportOverviewAction()->isEnabled());
    // The proposed names carry the record's time.
    EXPECT_EQ(CRecordExport::DefaultFileName(TimeOfFields(2024, 3, 14, 15, 20, 0), QStringLiteral("pdf")),
              QStringLiteral("orvanta-2024-03-14_152000.pdf"));
    EXPECT_EQ(CRecordExport::DefaultFileName(0, QStringLiteral("csv")), QStringLiteral("orvanta.csv"));
}

TEST_F(OverviewWindow, ACardImageSavedAndOpenedAnswersAsTheCardAndTheRecordExportsAsComtrade) {
    auto volumes = testing_ui::CardVolumes(firstTime_, 1200);
    auto w = MakeWindow(*volumes);
    CCardFileCommands* files = w->CardFiles();
    for (QAction* action : {files->SaveImageAction(), files->OpenImageAction(), files->ComtradeAction()}) {
        EXPECT_TRUE(w->actions().contains(action)) << action->text().toStdString();
    }
    EXPECT_FALSE(files->ComtradeAction()->isEnabled());  // no record shown yet
    QTest::mouseClick(w->RefreshButton(), Qt::LeftButton);
    WaitForButtons(*w);
    const std::int32_t shown = w->Reader().actualTime;
    const std::vector<RecordCsvFile> cardCsv = BuildRecordCsv(w->Reader(), 50);
    EXPECT_TRUE(files->ComtradeAction()->isEnabled());

    // A copy says where it went and its digest; an existing image is not
    // replaced unless the file dialog asked; a missing folder fails.
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("card.img"));
    const struct {
        QString path;
        bool replace;
        bool ok;
    } saves[] = {{image, false, true}, {image, false, false}, {image, true, true},
                 {dir.filePath(QStringLiteral("missing/card.img")), true, false}};
    for (const auto& save : saves) {
        QSignalSpy saved(files, &CCardFileCommands::cardSaved);
        files->SaveCardImage(save.path, save.replace);
        ASSERT_TRUE(saved.count() > 0 || saved.wait(60000));
        EXPECT_EQ(saved.at(0).at(1).toBool(), save.ok) << w->Exporter()->LastMessage().toStdString();
        EXPECT_TRUE(w->Exporter()->LastMessage().contains(save.path)) << w->Exporter()->LastMessage().toStdString();
        if (!save.ok) continue;
        QFile digest(QString::fromStdString(cardimage::DigestPathOf(save.path.toStdString())));
        ASSERT_TRUE(digest.open(QIODevice::ReadOnly));
        EXPECT_TRUE(w->Exporter()->LastMessage().contains(QString::fromLatin1(digest.readAll().left(64))));
    }
    QProcess check;
    check.setWorkingDirectory(dir.path());
    check.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), QStringLiteral("card.img.sha256")});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();

    // Opened as the card, the image answers the same second as the card did,
    // and the title and the status line name it.
    w->OpenCardImage(image);
    ASSERT_TRUE(WaitUntil([&] { return !w->OverviewStrip()->IsScanning(); }, 60000));
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" - card.img"))) << w->windowTitle().toStdString();
    EXPECT_TRUE(w->StatusText().contains(image)) << w->StatusText().toStdString();
    EXPECT_FALSE(files->ComtradeAction()->isEnabled());
    QTest::mouseClick(w->RefreshButton(), Qt::LeftButton);
    WaitForButtons(*w);
    EXPECT_EQ(w->Reader().actualTime, shown);
    const std::vector<RecordCsvFile> imageCsv = BuildRecordCsv(w->Reader(), 50);
    ASSERT_EQ(imageCsv.size(), cardCsv.size());
    for (std::size_t i = 0; i < cardCsv.size(); ++i) EXPECT_EQ(imageCsv[i].text, cardCsv[i].text) << cardCsv[i].suffix;

    // The record as COMTRADE: the files orvanta-card comtrade writes for that
    // second, at the configuration's nominal frequency.
    {
        QFile ini(QString::fromStdString(config_.IniPath()));
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("nominalFrequency=60\r\n");
    }
    ASSERT_TRUE(files->ExportComtrade(dir.filePath(QStringLiteral("window"))));
    const char* binDir = std::getenv("ORVANTA_BIN_DIR");
    ASSERT_NE(binDir, nullptr);
    QProcess card;
    card.start(QString::fromLocal8Bit(binDir) + QStringLiteral("/orvanta-card"),
               {QStringLiteral("comtrade"), QStringLiteral("--drive"), QStringLiteral("E=") + image,
                QStringLiteral("--at"), QString::fromStdString(FormatLocalStandard(shown)),
                QStringLiteral("--frequency"), QStringLiteral("60"), dir.filePath(QStringLiteral("card"))});
    ASSERT_TRUE(card.waitForFinished(30000));
    ASSERT_EQ(card.exitCode(), 0) << card.readAllStandardError().toStdString();
    for (const char* extension : {".cfg", ".dat"}) {
        QFile fromWindow(dir.filePath(QStringLiteral("window") + QLatin1String(extension)));
        QFile fromCard(dir.filePath(QStringLiteral("card") + QLatin1String(extension)));
        ASSERT_TRUE(fromWindow.open(QIODevice::ReadOnly) && fromCard.open(QIODevice::ReadOnly)) << extension;
        const QByteArray written = fromWindow.readAll();
        EXPECT_EQ(written.toStdString(), fromCard.readAll().toStdString()) << extension;
        if (QLatin1String(extension) == QLatin1String(".cfg")) {
            EXPECT_TRUE(written.contains("\r\n60\r\n"));
        }
    }
    EXPECT_TRUE(w->Exporter()->LastMessage().contains(dir.filePath(QStringLiteral("window.cfg"))));
}

}  // namespace
}  // namespace orvanta
