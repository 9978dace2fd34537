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

// Status line.
// One fact per line: the card's drive (and device path), then the record time.
inline constexpr const char kCardOnDrive[] = "存储卡 %1:";
inline constexpr const char kNoCardAtStart[] = "启动时未找到存储卡";
inline constexpr const char kCardNotResponding[] = "存储卡 %1: 未响应";
inline constexpr const char kRecordTime[] = "记录时间: %1";
inline constexpr const char kNoRecord[] = "未找到所选时间的记录";

}  // namespace text
}  // namespace orvanta
