// The events list in the main window: 查找事件… (the button beside the strip)
// scans the strip's range off the user-interface thread with the configured
// nominal voltage, lists the events sortably, a click queries an event's
// start second, the strip marks them, the export writes the command line's
// CSV, and a changed nominal voltage counts for the next scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "card/event_csv.h"
#include "ui/events_panel.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/sample_card.h"
#include "ui/ui_strings.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::WaitUntil;

// The sample card's mains voltage (about 220 V) except for records written
// over with a square wave on channel B, whose trend value is
// trunc(A * 2.531745 + 0.5): 70 gives 177 V, 5 gives 13 V, 100 gives 253 V.
void WriteCardWithEvents(MemoryDisk& disk, std::int32_t firstTime) {
    SampleCard card;
    card.firstTime = firstTime;
    WriteSampleCard(disk, card);
    const struct { std::uint32_t first, count; int amplitude; } spans[] = {{300, 10, 70}, {600, 2, 5}, {900, 20, 100}};
    for (const auto& span : spans) {
        for (std::uint32_t i = span.first; i < span.first + span.count; ++i) {
            auto& sector = disk.Sector(100000 + i);
            for (int pair = 0; pair < 126; ++pair) {
                const int b = 509 + (pair % 2 == 0 ? span.amplitude : -span.amplitude);
                sector[8 + 4 * pair + 2] = static_cast<std::uint8_t>(b & 0xff);
                sector[8 + 4 * pair + 3] = static_cast<std::uint8_t>(b >> 8);
            }
        }
    }
}

TEST(EventsWindow, FindsListsMarksAndQueriesTheEventsOfTheStripsRange) {
    testing_ui::ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t first = testing_ui::TimeOfFields(2024, 3, 15, 10, 0, 0);
    MemoryVolumeSystem volumes;
    WriteCardWithEvents(volumes.Attach('E'), first);
    testing_ui::ScratchConfig config;
    std::ofstream(config.IniPath()) << "[Common]\nnominalVoltage=221\n";
    MainDlgOptions options;
    options.iniPath = config.IniPath();
    CMainDlg w(volumes, options);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(WaitUntil([&] { return !w.OverviewStrip()->IsScanning(); }, 60000));

    CEventsPanel* panel = w.EventsPanel();
    auto* button = w.findChild<QPushButton*>(QStringLiteral("findEventsButton"));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->NominalBox()->value(), 221);  // the file's nominalVoltage
    ASSERT_TRUE(WaitUntil([&] { return !panel->IsScanning(); }, 60000));

    const struct { EventKind kind; std::int32_t start, duration, extreme; } expected[] = {
        {EventKind::kDip, first + 300, 10, 177},
        {EventKind::kInterruption, first + 600, 2, 13},
        {EventKind::kSwell, first + 900, 20, 253},
    };
    const std::vector<PowerEvent>& events = panel->Events();
    ASSERT_EQ(events.size(), 3u) << panel->StatusText().toStdString();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].start, expected[i].start);
        EXPECT_EQ(events[i].DurationSeconds(), expected[i].duration);
        EXPECT_EQ(events[i].extreme, expected[i].extreme);
    }
    EXPECT_EQ(w.OverviewStrip()->EventMarks().size(), 3u);

    // The list comes sorted by start; a click on the duration heading sorts
    // it by duration.
    QTableWidget* list = panel->List();
    ASSERT_EQ(list->rowCount(), 3);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(panel->EventInRow(row).start, expected[row].start);
    QHeaderView* header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    std::vector<std::int32_t> durations;
    for (int row = 0; row < 3; ++row) {
        durations.push_back(panel->EventInRow(row).DurationSeconds());
        EXPECT_EQ(list->item(row, 2)->text().toInt(), durations.back());
    }
    EXPECT_TRUE(std::is_sorted(durations.begin(), durations.end()) ||
                std::is_sorted(durations.rbegin(), durations.rend()));
    EXPECT_NE(durations, (std::vector<std::int32_t>{10, 2, 20}));

    // A click on the interruption queries its start second.
    int cutRow = -1;
    for (int row = 0; row < 3; ++row) {
        if (panel->EventInRow(row).kind == EventKind::kInterruption) cutRow = row;
    }
    ASSERT_GE(cutRow, 0);
    const QRect cell = list->visualItemRect(list->item(cutRow, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(w.TimeFromControls(), first + 600);
    EXPECT_EQ(w.Reader().actualTime, first + 600);

    // The export proposes the range in its name, and says where the file
    // went or why it could not be written.
    EXPECT_EQ(panel->DefaultFileName(), QStringLiteral("events-2024-03-15_100000-2024-03-15_101959.csv"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.csv"));
    ASSERT_TRUE(panel->ExportCsv(path));
    EXPECT_TRUE(panel->LastMessage().contains(path)) << panel->LastMessage().toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), EventsCsv(events));
    const QString unwritable = dir.filePath(QStringLiteral("no-such-folder/events.csv"));
    EXPECT_FALSE(panel->ExportCsv(unwritable));
    EXPECT_TRUE(panel->LastMessage().startsWith(QString::fromUtf8(text::kExportFailed).arg(unwritable)))
        << panel->LastMessage().toStdString();
    EXPECT_GT(panel->LastMessage().split(QLatin1Char('\n')).value(1).size(), 0);  // and why

    // 260 V for this scan: the mains voltage is a dip down to the 13 V
    // records (an interruption) until the swell's 253 V ends it; the records
    // after the swell are a dip again, open at the range's end.
    ASSERT_TRUE(WaitUntil([&] { return w.RefreshButton()->isEnabled(); }));
    panel->NominalBox()->setValue(260);
    QTest::mouseClick(panel->ScanButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !panel->IsScanning(); }, 60000));
    ASSERT_EQ(panel->Events().size(), 2u);
    EXPECT_EQ(panel->Events()[0].kind, EventKind::kInterruption);
    EXPECT_EQ(panel->Events()[0].start, first);
    EXPECT_EQ(panel->Events()[0].end, first + 900);
    EXPECT_EQ(panel->Events()[1].start, first + 920);
    EXPECT_FALSE(panel->Events()[1].ended);
    EXPECT_EQ(w.OverviewStrip()->EventMarks().size(), 2u);

    // 清除事件标记 removes the marks, and so does closing the list.
    w.OverviewStrip()->ClearMarksAction()->trigger();
    EXPECT_TRUE(w.OverviewStrip()->EventMarks().empty());
    EXPECT_FALSE(w.OverviewStrip()->ClearMarksAction()->isEnabled());
    QTest::mouseClick(panel->ScanButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !panel->IsScanning(); }, 60000));
    EXPECT_EQ(w.OverviewStrip()->EventMarks().size(), 2u);
    panel->close();
    EXPECT_TRUE(w.OverviewStrip()->EventMarks().empty());
}

}  // namespace
}  // namespace orvanta
