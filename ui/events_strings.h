// The texts of the events list (查找事件…): Chinese source texts of context
// "orvanta", shown through text::Tr like the window's other texts.
#pragma once

#include <QCoreApplication>

namespace orvanta {
namespace text {

inline constexpr const char kFindEvents[] = QT_TRANSLATE_NOOP("orvanta", "查找事件…");
inline constexpr const char kEventsCaption[] = QT_TRANSLATE_NOOP("orvanta", "电压事件");
inline constexpr const char kEventsNominal[] = QT_TRANSLATE_NOOP("orvanta", "标称电压:");
inline constexpr const char kEventsScan[] = QT_TRANSLATE_NOOP("orvanta", "扫描");
inline constexpr const char kEventsCancel[] = QT_TRANSLATE_NOOP("orvanta", "取消");
inline constexpr const char kEventsExport[] = QT_TRANSLATE_NOOP("orvanta", "导出 CSV…");
inline constexpr const char kEventsClose[] = QT_TRANSLATE_NOOP("orvanta", "关闭");
inline constexpr const char kEventsWholeCard[] = QT_TRANSLATE_NOOP("orvanta", "时间段: 整张卡");
inline constexpr const char kEventsRange[] = QT_TRANSLATE_NOOP("orvanta", "时间段: %1 至 %2");
inline constexpr const char kEventsKindColumn[] = QT_TRANSLATE_NOOP("orvanta", "类型");
inline constexpr const char kEventsStartColumn[] = QT_TRANSLATE_NOOP("orvanta", "开始时间");
inline constexpr const char kEventsDurationColumn[] = QT_TRANSLATE_NOOP("orvanta", "持续时间 (秒)");
inline constexpr const char kEventsExtremeColumn[] = QT_TRANSLATE_NOOP("orvanta", "极值 (V)");
inline constexpr const char kEventDip[] = QT_TRANSLATE_NOOP("orvanta", "电压暂降");
inline constexpr const char kEventInterruption[] = QT_TRANSLATE_NOOP("orvanta", "短时中断");
inline constexpr const char kEventSwell[] = QT_TRANSLATE_NOOP("orvanta", "电压暂升");
inline constexpr const char kEventNotEnded[] = QT_TRANSLATE_NOOP("orvanta", "%1 (未结束)");
inline constexpr const char kEventsScanning[] = QT_TRANSLATE_NOOP("orvanta", "正在查找事件… %1%");
inline constexpr const char kEventsFound[] = QT_TRANSLATE_NOOP("orvanta", "找到 %1 个事件（%2 条记录）");
inline constexpr const char kEventsNone[] = QT_TRANSLATE_NOOP("orvanta", "没有事件（%1 条记录）");
inline constexpr const char kEventsCancelled[] = QT_TRANSLATE_NOOP("orvanta", "已取消，只列出已读取部分中的事件");
inline constexpr const char kEventsCardGone[] = QT_TRANSLATE_NOOP("orvanta", "读取中存储卡已断开，只列出已读取部分中的事件");
// The overview strip's entry that removes the events' marks.
inline constexpr const char kClearEventMarks[] = QT_TRANSLATE_NOOP("orvanta", "清除事件标记");
inline constexpr const char kEventsNoDevice[] = QT_TRANSLATE_NOOP("orvanta", "无法打开存储卡，无法查找事件");

}  // namespace text
}  // namespace orvanta
