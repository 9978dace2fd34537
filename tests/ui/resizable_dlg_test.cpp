// The resizable dialog: anchored controls follow size changes, minimising
// stores nothing, the grip sits in the corner and resizes the window, and the
// window cannot become smaller than it was at initialisation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSizeGrip>
#include <QTest>

#include "ui/resizable_dlg.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

using testing_ui::WaitUntil;
using SizeType = CResizableDlg::SizeType;

// A dialog of 400 x 300 with a child control per id, each at its own rect.
class TestDialog : public CResizableDlg {
public:
    TestDialog() {
        resize(400, 300);
        for (std::int32_t id = 1; id <= 8; ++id) {
            auto* child = new QWidget(this);
            child->setGeometry(StartRect(id));
            BindControl(id, child);
        }
        OnInitDialog();
    }
    static QRect StartRect(std::int32_t id) { return QRect(10 * id, 5 * id, 40 + id, 20 + id); }
    QRect RectOf(std::int32_t id) const { return Control(id)->geometry(); }
    void Unbind(std::int32_t id) { delete Control(id); }
};

TEST(ResizableDialog, SetAnchorsRefusesNullAndNonPositiveCountsAndKeepsThePreviousTable) {
    TestDialog dialog;
    static const AnchorEntry first[] = {{1, kAnchorMoveX, 100}};
    static const AnchorEntry second[] = {{2, kAnchorMoveX, 100}};
    ASSERT_EQ(dialog.SetAnchors(first, 1), 1);
    EXPECT_EQ(dialog.SetAnchors(nullptr, 1), 0);
    EXPECT_EQ(dialog.SetAnchors(second, 0), 0);
    EXPECT_EQ(dialog.SetAnchors(second, -1), 0);
    dialog.OnSize(SizeType::Restored, 420, 300);
    EXPECT_EQ(dialog.RectOf(1), TestDialog::StartRect(1).translated(20, 0));  // the first table is in force
    EXPECT_EQ(dialog.RectOf(2), TestDialog::StartRect(2));
}

TEST(ResizableDialog, EachRowMovesItsControlBySharesOfTheChange) {
    TestDialog dialog;
    static const AnchorEntry table[] = {
        {1, kAnchorMoveX, 100},      {2, kAnchorMoveY, 100},    {3, kAnchorMoveXY, 50},
        {4, kAnchorStretchX, 100},   {5, kAnchorStretchY, 100}, {6, kAnchorStretchXY, 100},
        {7, 6, 100},  // any other mode: re-moved to its own rect
    };
    ASSERT_EQ(dialog.SetAnchors(table, 7), 1);
    // Grow by (+31, +17), then shrink back by (-31, -17).
    dialog.OnSize(SizeType::Restored, 431, 317);
    EXPECT_EQ(dialog.RectOf(1), QRect(41, 5, 41, 21));
    EXPECT_EQ(dialog.RectOf(2), QRect(20, 27, 42, 22));
    EXPECT_EQ(dialog.RectOf(3), QRect(45, 23, 43, 23));  // 50 % of 31 is 15, of 17 is 8
    EXPECT_EQ(dialog.RectOf(4), QRect(40, 20, 75, 24));
    EXPECT_EQ(dialog.RectOf(5), QRect(50, 25, 45, 42));
    EXPECT_EQ(dialog.RectOf(6), QRect(60, 30, 77, 43));
    EXPECT_EQ(dialog.RectOf(7), TestDialog::StartRect(7));
    EXPECT_EQ(dialog.RectOf(8), TestDialog::StartRect(8));  // not in the table
    dialog.OnSize(SizeType::Restored, 400, 300);
    // 50 % of -31 is -15 and of -17 is -8, so row 3 comes back as well.
    for (std::int32_t id = 1; id <= 8; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(dialog.RectOf(id), TestDialog::StartRect(id));
    }
}

TEST(ResizableDialog, RowsOutsideThePercentRangeOrWithoutAControlAreSkipped) {
    TestDialog dialog;
    dialog.Unbind(4);
    static const AnchorEntry table[] = {
        {1, kAnchorMoveX, 101}, {2, kAnchorMoveX, -1}, {4, kAnchorMoveX, 100}, {99, kAnchorMoveX, 100},
        {3, kAnchorMoveX, 100},
    };
    ASSERT_EQ(dialog.SetAnchors(table, 5), 1);
    dialog.OnSize(SizeType::Restored, 450, 300);
    EXPECT_EQ(dialog.RectOf(1), TestDialog::StartRect(1));
    EXPECT_EQ(dialog.RectOf(2), TestDialog::StartRect(2));
    EXPECT_EQ(dialog.RectOf(3), TestDialog::StartRect(3).translated(50, 0));  // rows after them still run
}

TEST(ResizableDialog, WithoutAnchorsOnlyTheGripMoves) {
    TestDialog dialog;
    QSizeGrip* grip = dialog.Grip();
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(399, 299));
    dialog.OnSize(SizeType::Restored, 470, 350);
    for (std::int32_t id = 1; id <= 8; ++id) EXPECT_EQ(dialog.RectOf(id), TestDialog::StartRect(id));
    EXPECT_EQ(grip->geometry().topLeft(), QPoint(470 - grip->width(), 350 - grip->height()));
    EXPECT_EQ(dialog.LastClientWidth(), 470);
    EXPECT_EQ(dialog.LastClientHeight(), 350);
}

TEST(ResizableDialog, MinimiseMovesNothingStoresNothingAndRestoreDoesNotDrift) {
    TestDialog dialog;
    static const AnchorEntry table[] = {{1, kAnchorMoveXY, 100}, {2, kAnchorStretchXY, 100}, {3, kAnchorMoveY, 50}};
    ASSERT_EQ(dialog.SetAnchors(table, 3), 1);
    dialog.OnSize(SizeType::Restored, 437, 333);
    const QRect r1 = dialog.RectOf(1), r2 = dialog.RectOf(2), r3 = dialog.RectOf(3);

    dialog.OnSize(SizeType::Minimized, 160, 28);
    EXPECT_EQ(dialog.RectOf(1), r1);
    EXPECT_EQ(dialog.RectOf(2), r2);
    EXPECT_EQ(dialog.RectOf(3), r3);
    EXPECT_EQ(dialog.LastClientWidth(), 437);
    EXPECT_EQ(dialog.LastClientHeight(), 333);
    EXPECT_EQ(dialog.Grip()->geometry().topLeft(),
              QPoint(160 - dialog.Grip()->width(), 28 - dialog.Grip()->height()));

    dialog.OnSize(SizeType::Restored, 437, 333);
    EXPECT_EQ(dialog.RectOf(1), r1);
    EXPECT_EQ(dialog.RectOf(2), r2);
    EXPECT_EQ(dialog.RectOf(3), r3);
    EXPECT_EQ(dialog.Grip()->geometry().bottomRight(), QPoint(436, 332));
}

TEST(ResizableDialog, MinimumSizeIsTheSizeAtInitialisation) {
    TestDialog dialog;
    EXPECT_EQ(dialog.MinimumWidth(), 400);
    EXPECT_EQ(dialog.MinimumHeight(), 300);
    EXPECT_EQ(dialog.minimumSize(), QSize(400, 300));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(250, 120);
    QTest::qWait(50);
    EXPECT_EQ(dialog.size(), QSize(400, 300));
}

TEST(ResizableDialog, ResizingTheShownWindowMovesAnchoredControlsAndMinimiseRestoreKeepsThem) {
    TestDialog dialog;
    static const AnchorEntry table[] = {{1, kAnchorMoveY, 100}, {2, kAnchorStretchXY, 100}};
    ASSERT_EQ(dialog.SetAnchors(table, 2), 1);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(480, 360);
    ASSERT_TRUE(WaitUntil([&] { return dialog.LastClientWidth() == 480; }, 5000));
    EXPECT_EQ(dialog.RectOf(1), TestDialog::StartRect(1).translated(0, 60));
    EXPECT_EQ(dialog.RectOf(2).size(), TestDialog::StartRect(2).size() + QSize(80, 60));

    dialog.showMinimized();
    QTest::qWait(100);
    dialog.showNormal();
    QTest::qWait(100);
    EXPECT_EQ(dialog.RectOf(1), TestDialog::StartRect(1).translated(0, 60));
    EXPECT_EQ(dialog.RectOf(2).size(), TestDialog::StartRect(2).size() + QSize(80, 60));
    EXPECT_EQ(dialog.Grip()->geometry().bottomRight(), QPoint(dialog.width() - 1, dialog.height() - 1));
}

TEST(ResizableDialog, DraggingTheGripResizesTheWindow) {
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSizeGrip* grip = dialog.Grip();
    ASSERT_TRUE(grip->isVisible());
    const QPoint local = grip->rect().center();
    const QPoint global = grip->mapToGlobal(local);
    const QPoint step(60, 40);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &press);
    QMouseEvent move(QEvent::MouseMove, local + step, global + step, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + step, global + step, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(grip, &release);
    ASSERT_TRUE(WaitUntil([&] { return dialog.width() > 400; }, 5000));
    EXPECT_EQ(dialog.size(), QSize(460, 340));
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(459, 339));
}

}  // namespace
}  // namespace orvanta
