// The power-quality pages made by the window: the local analysis of the
// record shown (its menu command, and below our page when the server cannot
// be reached) and the report of the strip's range, each printed to PDF as
// any page; and the strip's quantity, remembered for the next window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QAction>
#include <QFile>
#include <QHostAddress>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/range_report.h"
#include "analysis/report_html.h"
#include "card/local_time.h"
#include "request/client_settings.h"
#include "ui/analysis_pages.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/record_export.h"
#include "ui/sample_card.h"
#include "ui/strip_quantity_menu.h"
#include "ui/ui_language.h"
#include "ui/web_browser2.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::PageHtml;
using testing_ui::ScopedTimeZone;
using testing_ui::ScratchConfig;
using testing_ui::TimeOfFields;
using testing_ui::WaitUntil;

class AnalysisWindow : public ::testing::Test {
protected:
    AnalysisWindow()
        : zone_("Asia/Shanghai"), first_(TimeOfFields(2024, 3, 15, 10, 0, 0)), volumes_(testing_ui::CardVolumes(first_)) {
        QSettings().remove(QLatin1String(CStripQuantityMenu::kSettingsKey));
    }
    ~AnalysisWindow() override { QSettings().remove(QLatin1String(CStripQuantityMenu::kSettingsKey)); }

    std::unique_ptr<CMainDlg> MakeWindow(const std::string& server) {
        config_.Write(server);
        MainDlgOptions options;
        options.iniPath = config_.IniPath();
        auto w = std::make_unique<CMainDlg>(*volumes_, options);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        EXPECT_TRUE(WaitUntil([&] { return !w->OverviewStrip()->IsScanning(); }, 60000));
        return w;
    }

    ScopedTimeZone zone_;
    std::int32_t first_;
    std::unique_ptr<MemoryVolumeSystem> volumes_;
    ScratchConfig config_;
};

// The text between <tag> and </tag> of a page made by the core.
QString TagText(const std::string& html, const char* tag) {
    const QRegularExpression pattern(QStringLiteral("<%1>([^<]*)</%1>").arg(QLatin1String(tag)));
    return pattern.match(QString::fromStdString(html)).captured(1);
}

TEST_F(AnalysisWindow, MenuCommandsShowPagesMadeHereThatPrintAsAnyPage) {
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    enum class Command { kNone, kLocalAnalysis, kReport };
    const struct {
        const char* what;
        std::string server;  // "": none configured
        Command command;     // after the query of `queried`
        bool localSection;   // the local analysis is in the page
        bool report;         // the report is the page
    } cases[] = {
        {"local analysis on demand", "", Command::kLocalAnalysis, true, false},
        {"below the unreachable server's page", "http://127.0.0.1:" + std::to_string(closedPort) + "/analysis",
         Command::kNone, true, false},
        {"report of the strip's range", "", Command::kReport, false, true},
    };
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = MakeWindow(c.server);
        CAnalysisPages* pages = w->AnalysisPages();
        EXPECT_FALSE(pages->LocalAnalysisAction()->isEnabled());  // no record shown yet
        const std::int32_t queried = first_ + 600;
        w->SetSelectedTime(queried);
        w->ShowSelectedTime();
        w->RunQuery();
        ASSERT_TRUE(WaitUntil([&] { return w->RefreshButton()->isEnabled(); }));
        ASSERT_EQ(w->Reader().actualTime, queried);
        EXPECT_TRUE(pages->LocalAnalysisAction()->isEnabled());

        // The strip's view: the range the report must cover.
        w->OverviewStrip()->ZoomTo(first_ + 100, first_ + 899);
        ASSERT_TRUE(WaitUntil([&] { return !w->OverviewStrip()->IsScanning(); }, 60000));
        QSignalSpy reported(pages, &CAnalysisPages::reportFinished);
        if (c.command == Command::kLocalAnalysis) pages->LocalAnalysisAction()->trigger();
        if (c.command == Command::kReport) {
            pages->ReportAction()->trigger();
            ASSERT_TRUE(WaitUntil([&] { return reported.count() > 0; }, 60000));
            EXPECT_TRUE(reported.first().at(0).toBool());
        }

        const QString recordTime = QString::fromStdString(FormatLocalStandard(queried));
        QString html;
        const char* marker = c.report ? "<svg" : "local-heading";
        ASSERT_TRUE(WaitUntil([&] { return (html = PageHtml(w->Browser())).contains(QLatin1String(marker)); }, 30000));
        EXPECT_EQ(html.contains(QStringLiteral("local-heading")) && html.contains(recordTime), c.localSection);
        if (!c.server.empty()) EXPECT_TRUE(html.contains(QString::fromStdString(c.server))) << "why comes first";
        if (c.report) {
            // The same report as the command line's core makes of the strip's range.
            TimeRange range;
            range.hasFrom = range.hasTo = true;
            range.from = w->OverviewStrip()->ViewFrom();
            range.to = w->OverviewStrip()->ViewTo();
            analysis::ReportSettings settings;
            settings.nominalVolts = ReadNominalVoltage(config_.IniPath());
            const analysis::RangeReport expected = analysis::CRangeReport(w->Reader(), settings).Make(range);
            ASSERT_TRUE(pages->LastReport().has_value());
            EXPECT_EQ(pages->LastReport()->figures.records, expected.figures.records);
            EXPECT_EQ(pages->LastReport()->figures.records, 800u);
            const std::string core = analysis::ReportHtml(expected, CurrentUiLanguage());
            EXPECT_TRUE(html.contains(TagText(core, "h1")));
            EXPECT_EQ(PageHtml(w->Browser()).count(QStringLiteral("<svg")), QString::fromStdString(core).count(QStringLiteral("<svg")));
        } else {
            EXPECT_EQ(reported.count(), 0);
        }

        // Printed as any page: an A4 PDF.
        const QString pdf = out.filePath(QStringLiteral("page.pdf"));
        QSignalSpy saved(w->Exporter(), &CRecordExport::pdfSaved);
        w->SavePageAsPdf(pdf);
        ASSERT_TRUE(WaitUntil([&] { return saved.count() > 0; }, 60000));
        EXPECT_TRUE(saved.first().at(1).toBool());
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(5) == "%PDF-");
    }
}

// A record the card no longer holds is not analysed: the page stays and a
// message says why.
TEST_F(AnalysisWindow, ARecordNoLongerOnTheCardIsNotAnalysed) {
    auto w = MakeWindow("");
    w->SetSelectedTime(first_ + 10);
    w->ShowSelectedTime();
    w->RunQuery();
    ASSERT_TRUE(WaitUntil([&] { return w->RefreshButton()->isEnabled(); }));
    ASSERT_EQ(w->Reader().actualTime, first_ + 10);
    // Another recording written over the card: the sector holds a record of another time.
    SampleCard other;
    other.firstTime = first_ + 5000;
    WriteSampleCard(volumes_->Attach('E'), other);
    EXPECT_FALSE(w->AnalysisPages()->ShowLocalAnalysis());
    EXPECT_FALSE(w->AnalysisPages()->LastMessage().isEmpty());
    EXPECT_FALSE(PageHtml(w->Browser()).contains(QStringLiteral("local-heading")));
}

// The quantity chosen in the strip's menu is drawn (its values in the hover
// text) and is the next window's choice.
TEST_F(AnalysisWindow, TheStripsQuantityIsRememberedForTheNextWindow) {
    const UiLanguage language = CurrentUiLanguage();
    {
        auto w = MakeWindow("");
        EXPECT_EQ(w->OverviewStrip()->Quantity(), OverviewQuantity::kVoltageRms);
    }
    for (OverviewQuantity quantity : kOverviewQuantities) {
        const std::string key = QuantityKey(quantity);
        SCOPED_TRACE(key);
        {
            auto w = MakeWindow("");
            COverviewStrip* strip = w->OverviewStrip();
            auto* action = strip->findChild<QAction*>(QStringLiteral("stripQuantity_") + QString::fromStdString(key));
            ASSERT_NE(action, nullptr);
            ASSERT_TRUE(strip->actions().contains(action));  // in the strip's context menu
            action->trigger();
            EXPECT_EQ(strip->Quantity(), quantity);
            const QRect plot = strip->PlotRect();
            const int x = plot.center().x();
            const int index = strip->NearestSample(x);
            ASSERT_GE(index, 0);
            const std::optional<double> value = QuantityValue(strip->Samples()[static_cast<std::size_t>(index)], quantity);
            ASSERT_TRUE(value.has_value());
            if (quantity != OverviewQuantity::kVoltageRms) {
                const QString hover = strip->HoverTextAt(x);
                EXPECT_TRUE(hover.contains(QString::fromStdString(QuantityCaption(language, quantity)))) << hover.toStdString();
                EXPECT_TRUE(hover.contains(QString::number(*value, 'f', 3))) << hover.toStdString();
            }
            strip->grab();  // paints the chosen curve
        }
        auto next = MakeWindow("");
        EXPECT_EQ(next->OverviewStrip()->Quantity(), quantity);
        auto* checked = next->OverviewStrip()->findChild<QAction*>(QStringLiteral("stripQuantity_") +
                                                                     QString::fromStdString(key));
        ASSERT_NE(checked, nullptr);
        EXPECT_TRUE(checked->isChecked());
    }
}

}  // namespace
}  // namespace orvanta
