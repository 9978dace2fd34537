// The window's language: Chinese unless the desktop speaks English or --lang
// asks for English; every English caption fits its control at the dialog's
// minimum size; the desktop's language reaches the window (run by CTest under
// LANG=en_US.UTF-8, LANG=C and LANG=zh_CN.UTF-8, see CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdlib>

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include "platform/memory_volume.h"
#include "ui/about_dlg.h"
#include "ui/main_dlg.h"
#include "ui/resources.h"
#include "ui/sample_card.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

TEST(UiLanguage, EnglishOnlyWhenTheDesktopsFirstLanguageIsEnglish) {
    const struct {
        QStringList uiLanguages;
        UiLanguage expected;
    } cases[] = {
        {QLocale(QStringLiteral("en_US")).uiLanguages(), UiLanguage::kEnglish},
        {QLocale(QStringLiteral("en_GB")).uiLanguages(), UiLanguage::kEnglish},
        {{QStringLiteral("en")}, UiLanguage::kEnglish},
        {{QStringLiteral("en_AU"), QStringLiteral("de")}, UiLanguage::kEnglish},
        {QLocale::c().uiLanguages(), UiLanguage::kChinese},
        {QLocale(QStringLiteral("zh_CN")).uiLanguages(), UiLanguage::kChinese},
        {QLocale(QStringLiteral("de_DE")).uiLanguages(), UiLanguage::kChinese},
        {{QStringLiteral("de-DE"), QStringLiteral("en-US")}, UiLanguage::kChinese},
        {{QStringLiteral("eo")}, UiLanguage::kChinese},
        {{QStringLiteral("C")}, UiLanguage::kChinese},
        {{}, UiLanguage::kChinese},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uiLanguages.join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(LanguageOfDesktop(c.uiLanguages), c.expected);
    }
    UiLanguage chosen = UiLanguage::kChinese;
    EXPECT_TRUE(ChooseUiLanguage(QStringLiteral("en"), &chosen));
    EXPECT_EQ(chosen, UiLanguage::kEnglish);
    EXPECT_TRUE(ChooseUiLanguage(QStringLiteral("zh"), &chosen));
    EXPECT_EQ(chosen, UiLanguage::kChinese);
    EXPECT_FALSE(ChooseUiLanguage(QStringLiteral("de"), &chosen));
}

// The captions of the window and its about box, in the order checked.
QStringList CaptionsOf(const CMainDlg& w) {
    return {w.windowTitle(), w.RefreshButton()->text(), w.findChild<QLabel*>(QStringLiteral("timeLabel"))->text(),
            w.findChild<QLabel*>(QStringLiteral("hourLabel"))->text(),
            w.findChild<QAction*>(QStringLiteral("aboutAction"))->text(), w.SavePdfAction()->text()};
}

const QStringList kChineseCaptions = {
    QStringLiteral("Orvanta谐波分析"), QStringLiteral("刷新"), QStringLiteral("选择时间:"),
    QStringLiteral("时"), QStringLiteral("关于 Vemlar(&A)..."), QStringLiteral("保存页面为 PDF…")};
const QStringList kEnglishCaptions = {
    QStringLiteral("Orvanta Harmonic Analysis"), QStringLiteral("Refresh"), QStringLiteral("Time:"),
    QStringLiteral("h"), QStringLiteral("&About Vemlar..."), QStringLiteral("Save Page as PDF…")};

// Every label and button of a dialog shows its whole caption.
void ExpectCaptionsFit(const QWidget& dialog) {
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->objectName() == QLatin1String("statusLine") || label->text().isEmpty() || !label->pixmap().isNull()) {
            continue;  // the status line elides by design
        }
        const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_LE(needed, label->contentsRect().width()) << label->text().toStdString();
    }
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const int needed = QFontMetrics(button->font()).horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
        EXPECT_LE(needed + 6, button->width()) << button->text().toStdString();
    }
}

TEST(UiLanguage, EnglishCaptionsFitAtTheMinimumSizeAndChineseStaysAsItIs) {
    testing_ui::ScratchConfig config;
    config.Write("");
    MemoryVolumeSystem volumes;
    WriteSampleCard(volumes.Attach('E'), SampleCard{});
    for (const UiLanguage language : {UiLanguage::kEnglish, UiLanguage::kChinese}) {
        SCOPED_TRACE(language == UiLanguage::kEnglish ? "English" : "Chinese");
        const CUiTranslation translation(language);
        ASSERT_TRUE(translation.Loaded());
        // The local pages follow the installed translation.
        EXPECT_EQ(CurrentUiLanguage(), language);
        MainDlgOptions options;
        options.iniPath = config.IniPath();
        CMainDlg w(volumes, options);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.resize(w.minimumSize());
        EXPECT_EQ(CaptionsOf(w), language == UiLanguage::kEnglish ? kEnglishCaptions : kChineseCaptions);
        ExpectCaptionsFit(w);
        // Qt's own dialogs and the calendar speak the same language.
        const bool english = language == UiLanguage::kEnglish;
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Save"),
                  english ? QStringLiteral("&Save") : QStringLiteral("保存(&S)"));
        EXPECT_EQ(QLocale().dayName(1), english ? QStringLiteral("Monday") : QStringLiteral("星期一"));
        CAboutDlg about(LoadAppIcon(), &w);
        about.show();
        ExpectCaptionsFit(about);
    }
}

// Run by CTest with the desktop's language in the environment and the
// language the window must choose in ORVANTA_EXPECT_UI_LANGUAGE.
TEST(UiLanguage, TheDesktopsLanguageChoosesTheCaptions) {
    const char* expected = std::getenv("ORVANTA_EXPECT_UI_LANGUAGE");
    if (expected == nullptr) GTEST_SKIP() << "run by CTest under a given LANG";
    UiLanguage language = UiLanguage::kChinese;
    ASSERT_TRUE(ChooseUiLanguage(QString(), &language));
    const CUiTranslation translation(language);
    MemoryVolumeSystem volumes;
    MainDlgOptions options;
    CMainDlg w(volumes, options);
    EXPECT_EQ(CaptionsOf(w), QString::fromLatin1(expected) == QLatin1String("en") ? kEnglishCaptions : kChineseCaptions)
        << "LANG=" << (std::getenv("LANG") ? std::getenv("LANG") : "");
}

}  // namespace
}  // namespace orvanta
