// The window's texts of the power-quality pages made here: the local analysis
// of the record shown, the report of the strip's range and the strip's
// quantity menu (its captions come from dialogcore/overview_quantity.h); the
// card image and COMTRADE commands.
#pragma once

#include <QCoreApplication>

namespace orvanta {
namespace text {

inline constexpr const char kLocalAnalysis[] = QT_TRANSLATE_NOOP("orvanta", "本地分析");
inline constexpr const char kShownRecordUnreadable[] =
    QT_TRANSLATE_NOOP("orvanta", "无法再从存储卡读取所显示的记录（存储卡已更换或已写入）。");
inline constexpr const char kMakeReport[] = QT_TRANSLATE_NOOP("orvanta", "生成报告…");
inline constexpr const char kReportRunning[] = QT_TRANSLATE_NOOP("orvanta", "正在生成报告…");
inline constexpr const char kReportCancel[] = QT_TRANSLATE_NOOP("orvanta", "取消");
inline constexpr const char kReportFailed[] = QT_TRANSLATE_NOOP("orvanta", "无法生成报告：%1");
inline constexpr const char kReportCancelled[] = QT_TRANSLATE_NOOP("orvanta", "已取消生成报告。");
inline constexpr const char kStripQuantity[] = QT_TRANSLATE_NOOP("orvanta", "概览曲线显示：");

// Card images and COMTRADE files.
inline constexpr const char kSaveCardImage[] = QT_TRANSLATE_NOOP("orvanta", "保存存储卡映像…");
inline constexpr const char kOpenCardImage[] = QT_TRANSLATE_NOOP("orvanta", "打开存储卡映像…");
inline constexpr const char kExportComtrade[] = QT_TRANSLATE_NOOP("orvanta", "导出 COMTRADE…");
inline constexpr const char kSavingCardImage[] = QT_TRANSLATE_NOOP("orvanta", "正在保存存储卡映像…");
inline constexpr const char kCardImageFiles[] = QT_TRANSLATE_NOOP("orvanta", "存储卡映像 (*.img)");
inline constexpr const char kCardImageSaved[] = QT_TRANSLATE_NOOP("orvanta", "存储卡映像已保存到 %1（SHA-256：%2）");
inline constexpr const char kCardImageNotSaved[] = QT_TRANSLATE_NOOP("orvanta", "未保存存储卡映像：%1");
inline constexpr const char kCardImageCancelled[] = QT_TRANSLATE_NOOP("orvanta", "已取消保存存储卡映像。");

}  // namespace text
}  // namespace orvanta
