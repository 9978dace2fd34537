// The window's fixed texts. The user interface is Chinese (PRC).
#pragma once

namespace orvanta {
namespace text {

inline constexpr const char kMainCaption[] = "Orvanta谐波分析";
inline constexpr const char kRefresh[] = "刷新";
inline constexpr const char kSelectTime[] = "选择时间:";
inline constexpr const char kHour[] = "时";
inline constexpr const char kMinute[] = "分";
inline constexpr const char kSecond[] = "秒";
inline constexpr const char kBack[] = "<";
inline constexpr const char kForward[] = ">";

// The about entry of the window's menu (string 101).
inline constexpr const char kAboutMenuItem[] = "关于 Vemlar(&A)...";
// The start-up failure of the socket layer (string 103); Windows only.
inline constexpr const char kSocketStartupFailed[] = "Windows 通信端口初始化失败。";

inline constexpr const char kAboutCaption[] = "关于 Vemlar";
inline constexpr const char kAboutVersion[] = "Orvanta谐波分析客户端 1.0.0 版";
inline constexpr const char kAboutNotice[] = "Orvanta 客户端开发组 编写与维护";
inline constexpr const char kOk[] = "确定";

// Overview strip and exports (context menus).
inline constexpr const char kOverviewRescan[] = "重新读取存储卡概览";
inline constexpr const char kOverviewWholeCard[] = "显示整张卡";
inline constexpr const char kOverviewCancel[] = "取消读取概览";
inline constexpr const char kOverviewNoCard[] = "未找到存储卡，无法显示记录概览";
inline constexpr const char kOverviewNoDevice[] = "无法打开存储卡，无法显示记录概览";
inline constexpr const char kOverviewNoRecords[] = "存储卡上没有记录";
inline constexpr const char kOverviewEmptyRange[] = "所选时间段内没有记录";
inline constexpr const char kOverviewReading[] = "正在读取存储卡概览… %1%";
inline constexpr const char kOverviewCancelled[] = "已取消读取存储卡概览";
inline constexpr const char kOverviewCardGone[] = "读取中存储卡已断开，只显示已读取的部分";
inline constexpr const char kOverviewHover[] = "%1   B: %2 V   A: %3 A";
inline constexpr const char kOverviewHoverNoPoint[] = "%1   (无趋势值)";
inline constexpr const char kSavePdf[] = "保存页面为 PDF…";
inline constexpr const char kExportCsv[] = "导出记录 CSV…";
inline constexpr const char kExportFailed[] = "无法写入文件 %1";
inline constexpr const char kNothingToExport[] = "尚未查询记录，请先按“刷新”。";

// Status line.
// One fact per line: the card's drive (and device path), then the record time.
inline constexpr const char kCardOnDrive[] = "存储卡 %1:";
inline constexpr const char kNoCardAtStart[] = "启动时未找到存储卡";
inline constexpr const char kCardNotResponding[] = "存储卡 %1: 未响应";
inline constexpr const char kRecordTime[] = "记录时间: %1";
inline constexpr const char kNoRecord[] = "未找到所选时间的记录";

}  // namespace text
}  // namespace orvanta
