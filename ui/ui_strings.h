// The window's fixed texts. The user interface is Chinese (PRC): the Chinese
// texts are the source texts of Qt's translation system, marked here for
// lupdate and shown through Tr(), so a translator installed at start-up (the
// English one) replaces them and a Chinese desktop sees them as they are.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace orvanta {
namespace text {

// The text in the window's language: the installed translation of a source
// text of context "orvanta", or the Chinese source text itself.
inline QString Tr(const char* source) { return QCoreApplication::translate("orvanta", source); }

inline constexpr const char kMainCaption[] = QT_TRANSLATE_NOOP("orvanta", "Orvanta谐波分析");
inline constexpr const char kRefresh[] = QT_TRANSLATE_NOOP("orvanta", "刷新");
inline constexpr const char kSelectTime[] = QT_TRANSLATE_NOOP("orvanta", "选择时间:");
inline constexpr const char kHour[] = QT_TRANSLATE_NOOP("orvanta", "时");
inline constexpr const char kMinute[] = QT_TRANSLATE_NOOP("orvanta", "分");
inline constexpr const char kSecond[] = QT_TRANSLATE_NOOP("orvanta", "秒");
inline constexpr const char kBack[] = "<";
inline constexpr const char kForward[] = ">";

// The about entry of the window's menu (string 101).
inline constexpr const char kAboutMenuItem[] = QT_TRANSLATE_NOOP("orvanta", "关于 Vemlar(&A)...");
// The start-up failure of the socket layer (string 103); Windows only.
inline constexpr const char kSocketStartupFailed[] = QT_TRANSLATE_NOOP("orvanta", "Windows 通信端口初始化失败。");

inline constexpr const char kAboutCaption[] = QT_TRANSLATE_NOOP("orvanta", "关于 Vemlar");
inline constexpr const char kAboutVersion[] = QT_TRANSLATE_NOOP("orvanta", "Orvanta谐波分析客户端 1.0.0 版");
inline constexpr const char kAboutNotice[] = QT_TRANSLATE_NOOP("orvanta", "Orvanta 客户端开发组 编写与维护");
inline constexpr const char kOk[] = QT_TRANSLATE_NOOP("orvanta", "确定");

// Overview strip and exports (context menus).
inline constexpr const char kOverviewRescan[] = QT_TRANSLATE_NOOP("orvanta", "重新读取存储卡概览");
inline constexpr const char kOverviewWholeCard[] = QT_TRANSLATE_NOOP("orvanta", "显示整张卡");
inline constexpr const char kOverviewCancel[] = QT_TRANSLATE_NOOP("orvanta", "取消读取概览");
inline constexpr const char kOverviewNoCard[] = QT_TRANSLATE_NOOP("orvanta", "未找到存储卡，无法显示记录概览");
inline constexpr const char kOverviewNoDevice[] = QT_TRANSLATE_NOOP("orvanta", "无法打开存储卡，无法显示记录概览");
inline constexpr const char kOverviewNoRecords[] = QT_TRANSLATE_NOOP("orvanta", "存储卡上没有记录");
inline constexpr const char kOverviewEmptyRange[] = QT_TRANSLATE_NOOP("orvanta", "所选时间段内没有记录");
inline constexpr const char kOverviewReading[] = QT_TRANSLATE_NOOP("orvanta", "正在读取存储卡概览… %1%");
inline constexpr const char kOverviewCancelled[] = QT_TRANSLATE_NOOP("orvanta", "已取消读取存储卡概览");
inline constexpr const char kOverviewCardGone[] = QT_TRANSLATE_NOOP("orvanta", "读取中存储卡已断开，只显示已读取的部分");
inline constexpr const char kOverviewHover[] = "%1   B: %2 V   A: %3 A";
inline constexpr const char kOverviewHoverNoPoint[] = QT_TRANSLATE_NOOP("orvanta", "%1   (无趋势值)");
// Ends the wait for the server's page (Escape does too).
inline constexpr const char kStopWaiting[] = QT_TRANSLATE_NOOP("orvanta", "停止等待服务器");
inline constexpr const char kFindCard[] = QT_TRANSLATE_NOOP("orvanta", "重新查找存储卡");
inline constexpr const char kSavePdf[] = QT_TRANSLATE_NOOP("orvanta", "保存页面为 PDF…");
// The Windows window's print entry (its browser control prints; this window
// saves a PDF instead).
inline constexpr const char kPrint[] = QT_TRANSLATE_NOOP("orvanta", "打印…");
inline constexpr const char kExportCsv[] = QT_TRANSLATE_NOOP("orvanta", "导出记录 CSV…");
// The strip's samples as orvanta-card overview writes them.
inline constexpr const char kExportOverview[] = QT_TRANSLATE_NOOP("orvanta", "导出概览 CSV…");
inline constexpr const char kExportFailed[] = QT_TRANSLATE_NOOP("orvanta", "无法写入文件 %1");
inline constexpr const char kExportSaved[] = QT_TRANSLATE_NOOP("orvanta", "已保存到 %1");
inline constexpr const char kPdfPrintFailed[] = QT_TRANSLATE_NOOP("orvanta", "浏览器引擎未能生成 PDF。");
inline constexpr const char kNothingToExport[] = QT_TRANSLATE_NOOP("orvanta", "尚未查询记录，请先按“刷新”。");

// Status line.
// One fact per line: the card's drive (and device path), then the record time.
inline constexpr const char kCardOnDrive[] = QT_TRANSLATE_NOOP("orvanta", "存储卡 %1:");
inline constexpr const char kNoCardAtStart[] = QT_TRANSLATE_NOOP("orvanta", "启动时未找到存储卡");
inline constexpr const char kCardNotResponding[] = QT_TRANSLATE_NOOP("orvanta", "存储卡 %1: 未响应");
inline constexpr const char kRecordTime[] = QT_TRANSLATE_NOOP("orvanta", "记录时间: %1");
// A step found no record further in its direction: the record shown stays.
inline constexpr const char kNoLaterRecord[] = QT_TRANSLATE_NOOP("orvanta", "已是最新记录: %1");
inline constexpr const char kNoEarlierRecord[] = QT_TRANSLATE_NOOP("orvanta", "已是最早记录: %1");

// Power-quality texts the Windows window takes from here (beside those of
// ui/analysis_strings.h): the report's progress in the status
// line, the strip's quantity submenu, the analysis without a record.
inline constexpr const char kMakingReport[] = QT_TRANSLATE_NOOP("orvanta", "正在生成报告… %1%");
inline constexpr const char kOverviewQuantity[] = QT_TRANSLATE_NOOP("orvanta", "概览显示");
// The strip's window text (what a screen reader says of it) while events are marked.
inline constexpr const char kOverviewMarks[] = QT_TRANSLATE_NOOP("orvanta", "，标记了 %1 个事件");
inline constexpr const char kNoRecordToAnalyse[] = QT_TRANSLATE_NOOP("orvanta", "没有可分析的记录：请先查询一个时间。");

// The Windows window's card images and COMTRADE export (its menu entries are
// ui/analysis_strings.h's): the save's progress and end in the status
// line, the card line naming an image,
// the file dialogs' filters.
inline constexpr const char kCardImageOnDrive[] = QT_TRANSLATE_NOOP("orvanta", "存储卡 %1: %2");
inline constexpr const char kCancelImageSave[] = QT_TRANSLATE_NOOP("orvanta", "取消保存映像");
inline constexpr const char kSavingCardImageProgress[] = QT_TRANSLATE_NOOP("orvanta", "正在保存存储卡映像… %1%");
inline constexpr const char kCardImageSavedStatus[] = QT_TRANSLATE_NOOP("orvanta", "存储卡映像已保存: %1");
inline constexpr const char kCardImageSaveCancelled[] = QT_TRANSLATE_NOOP("orvanta", "已取消保存存储卡映像");
inline constexpr const char kCardImageSaveFailed[] = QT_TRANSLATE_NOOP("orvanta", "无法保存存储卡映像: %1");
inline constexpr const char kCardImages[] = QT_TRANSLATE_NOOP("orvanta", "存储卡映像");
inline constexpr const char kAllFiles[] = QT_TRANSLATE_NOOP("orvanta", "所有文件");

}  // namespace text
}  // namespace orvanta
