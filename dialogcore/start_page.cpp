#include "dialogcore/start_page.h"

#include <cstdio>

#include "card/local_time.h"
#include "dialogcore/html_text.h"

namespace orvanta {
namespace {

const Bilingual kCaption = {"Orvanta谐波分析", "Orvanta Harmonic Analysis"};
const Bilingual kNoValidRecord = {"无有效记录", "no valid record"};
const Bilingual kOutOfRange = {"超出可表示的时间范围", "beyond the representable time range"};
const Bilingual kDrive = {"驱动器", "Drive"};
const Bilingual kDevicePath = {"设备路径", "Device path"};
const Bilingual kSerial = {"记录仪序列号", "Recorder serial number"};
const Bilingual kOldest = {"最早记录", "Oldest record"};
const Bilingual kNewest = {"最新记录", "Newest record"};
const Bilingual kRecords = {"记录数", "Records"};

const Bilingual kCardSection = {
    "<h3>存储卡</h3><table>%1</table>"
    "<p class=\"note\">时间均为本地标准时间（不计夏令时）。请在最早和最新记录之间选择时间。</p>",
    "<h3>Memory card</h3><table>%1</table>"
    "<p class=\"note\">All times are local standard time (without daylight saving). Pick a time between the "
    "oldest and the newest record.</p>"};

const Bilingual kRatioSection = {"<h3>变比（ratio.txt）</h3><table>%1</table>%2",
                                  "<h3>Calibration ratios (ratio.txt)</h3><table>%1</table>%2"};
const Bilingual kRatioA = {"通道 A（电流）", "Channel A (current)"};
const Bilingual kRatioB = {"通道 B（电压）", "Channel B (voltage)"};
const Bilingual kRatioSource = {"来源", "Read from"};
const Bilingual kNoRatioFile = {
    "没有找到 ratio.txt（工作目录和配置文件旁边都没有）：两个变比均按 1.0 计算。",
    "No ratio.txt was found (neither in the working directory nor beside the configuration file): both ratios "
    "are 1.0."};

const Bilingual kDriveReport = {"<p>各驱动器的情况：</p><ul>%1</ul>", "<p>What each drive holds:</p><ul>%1</ul>"};

const Bilingual kCardGone = {"启动时在驱动器 %1: 找到的存储卡现在没有响应。",
                             "The card found on drive %1: at start-up no longer answers. "};
const Bilingual kNoCardFound = {"启动时在驱动器 D: 至 Z: 中没有找到记录仪的存储卡。",
                                "No recorder card was found on drives D: to Z: at start-up. "};

const Bilingual kNoCardSection = {
    "<h3>未找到存储卡</h3>"
    "<p>%1插入存储卡后，程序每两秒查找一次，找到后这里随即显示它；也可以按 F5 或在右键菜单中选择“重新查找存储卡”。</p>"
    "<ul>"
    "<li>指定驱动器：<code>orvanta-client --drive E=/dev/sdb1</code>；"
    "存储卡的镜像文件也可以：<code>--drive E=card.img</code>。"
    "不指定时，程序把找到的 USB 读卡器和 SD 卡槽依次分配为 D:、E:、F: ……</li>"
    "<li>普通用户需要读取读卡器设备的权限。安装包带有 udev 规则 "
    "<code>/usr/lib/udev/rules.d/60-orvanta-card.rules</code>，把 USB 读卡器设备交给 "
    "<code>plugdev</code> 组：<code>sudo adduser $USER plugdev</code>，然后重新登录。</li>"
    "<li>或者加入拥有磁盘设备的 <code>disk</code> 组：<code>sudo adduser $USER disk</code>，"
    "然后重新登录。</li>"
    "<li>查看存储卡的内容：<code>orvanta-card info --drive E=/dev/sdb1</code>。</li>"
    "</ul>",
    "<h3>No memory card found</h3>"
    "<p>%1Put the card in: the program looks for it every two seconds and shows it here once found; F5 or “Find the card again” in the context menu looks at once.</p>"
    "<ul>"
    "<li>Name the drive: <code>orvanta-client --drive E=/dev/sdb1</code>; an image of a card works too: "
    "<code>--drive E=card.img</code>. Without it, the USB card readers and SD card slots found get D:, E:, F: … "
    "in turn.</li>"
    "<li>An ordinary user needs read access to the card reader. The package installs the udev rule "
    "<code>/usr/lib/udev/rules.d/60-orvanta-card.rules</code>, which gives USB card readers to the group "
    "<code>plugdev</code>: <code>sudo adduser $USER plugdev</code>, then log in again.</li>"
    "<li>Or join the group <code>disk</code>, which owns the disk devices: <code>sudo adduser $USER disk</code>, "
    "then log in again.</li>"
    "<li>See what a card holds: <code>orvanta-card info --drive E=/dev/sdb1</code>.</li>"
    "</ul>"};

const Bilingual kPage = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>%1</title>"
    "%3</head>"
    "<body><h2>欢迎使用 %1</h2>%2"
    "<h3>使用方法</h3><ol>"
    "<li>在下方选择日期和时、分、秒。</li>"
    "<li>按“刷新”（或回车键）：程序读取存储卡上这一秒的记录，发送给分析服务器，"
    "并在这里显示分析结果；时间栏随后显示实际找到的记录的时间。</li>"
    "<li>“&lt;”和“&gt;”把时间后退或前进一秒，并重新查询。</li>"
    "<li>时间栏上方的概览条显示整张卡的记录：点击某处即查询那一秒；滚轮或拖动放大，双击或 Home 键还原。</li>"
    "<li>“查找事件…”（Ctrl+F，或右键菜单）打开事件列表：列出概览条当前范围内的电压暂降、暂升和短时中断；"
    "点击某个事件即查询它开始的那一秒。</li>"
    "<li>右键菜单：保存页面为 PDF、导出记录 CSV、重新查找存储卡（或 F5 键）、重新读取存储卡概览，以及“关于 Vemlar”（或 F1 键）。</li>"
    "</ol></body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>%1</title>"
    "%3</head>"
    "<body><h2>Welcome to %1</h2>%2"
    "<h3>How to use it</h3><ol>"
    "<li>Pick the date, hour, minute and second below.</li>"
    "<li>Press Refresh (or Enter): the program reads the record of that second from the card, sends it to the "
    "analysis server and shows the analysis here; the time controls then show the time of the record actually "
    "found.</li>"
    "<li>“&lt;” and “&gt;” step the time one second back or forward and query again.</li>"
    "<li>The overview strip above the time controls shows the whole card: click a place to query that second; "
    "the mouse wheel or a drag zooms in, a double click or Home goes back to the whole card.</li>"
    "<li>Find Events… (Ctrl+F, or the context menu) opens the events list: the dips, swells and interruptions "
    "in the strip's current range; click an event to query the second it starts.</li>"
    "<li>Context menu: save the page as PDF, export the record as CSV, find the card again (or F5), read the "
    "card overview again, and "
    "“About Vemlar” (or F1).</li>"
    "</ol></body></html>"};

const Bilingual kServerSection = {"<h3>分析服务器</h3><table>%1</table>%2", "<h3>Analysis server</h3><table>%1</table>%2"};
const Bilingual kServerAddress = {"服务器地址", "Server address"};
const Bilingual kConfigFile = {"配置文件", "Configuration file"};
const Bilingual kNoAddress = {"配置文件中没有服务器地址（[Common] 中的 serverBaseUrl）：查询无法发送。",
                              "The configuration file gives no server address (serverBaseUrl in [Common]): no "
                              "query can be sent."};
const Bilingual kNoConfigFile = {"没有找到配置文件 orvanta-vemlar.ini。查找过：",
                                 "No configuration file orvanta-vemlar.ini was found. Looked for:"};

std::string Row(UiLanguage language, const Bilingual& label, const std::string& value) {
    return "<tr><th>" + std::string(In(language, label)) + "</th><td>" + value + "</td></tr>";
}

std::string RecordTime(UiLanguage language, std::int32_t time) {
    if (time > 0) return FormatLocalStandard(time);
    return In(language, time == 0 ? kNoValidRecord : kOutOfRange);
}

std::string CardSection(UiLanguage language, const CardSummary& card, const std::string& devicePath) {
    std::string rows = Row(language, kDrive, std::string(1, card.letter) + ":");
    if (!devicePath.empty()) rows += Row(language, kDevicePath, "<code>" + HtmlEscaped(devicePath) + "</code>");
    rows += Row(language, kSerial, std::to_string(card.serial));
    rows += Row(language, kOldest, RecordTime(language, card.oldestTime));
    rows += Row(language, kNewest, RecordTime(language, card.newestTime));
    rows += Row(language, kRecords, std::to_string(card.records));
    return FillPlaces(In(language, kCardSection), {rows});
}

std::string NoCardSection(UiLanguage language, const CardSummary& card) {
    const std::string what = card.letter != 0
                                 ? FillPlaces(In(language, kCardGone), {std::string(1, card.letter)})
                                 : std::string(In(language, kNoCardFound));
    return FillPlaces(In(language, kNoCardSection), {what});
}

std::string RatioNumber(double ratio) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", ratio);
    return text;
}

std::string RatioSection(UiLanguage language, const RatioFacts& ratios) {
    std::string rows = Row(language, kRatioA, RatioNumber(ratios.ratioA));
    rows += Row(language, kRatioB, RatioNumber(ratios.ratioB));
    std::vector<std::string> warnings;
    if (ratios.source.empty()) {
        warnings.push_back(In(language, kNoRatioFile));
    } else {
        rows += Row(language, kRatioSource, "<code>" + HtmlEscaped(ratios.source) + "</code>");
    }
    for (const std::string& warning : ratios.warnings) warnings.push_back(HtmlEscaped(warning));
    std::string notes;
    for (const std::string& warning : warnings) notes += "<p class=\"warn\">" + warning + "</p>";
    return FillPlaces(In(language, kRatioSection), {rows, notes});
}

std::string ServerSection(UiLanguage language, const ConfigFacts& config) {
    std::string rows;
    std::string notes;
    if (!config.serverBaseUrl.empty()) {
        rows += Row(language, kServerAddress, "<code>" + HtmlEscaped(config.serverBaseUrl) + "</code>");
    } else if (config.found) {
        notes += "<p class=\"warn\">" + std::string(In(language, kNoAddress)) + "</p>";
    }
    if (config.found) {
        rows += Row(language, kConfigFile, "<code>" + HtmlEscaped(config.iniPath) + "</code>");
    } else {
        std::string places;
        for (const std::string& place : config.candidates) places += "<li><code>" + HtmlEscaped(place) + "</code></li>";
        notes += "<p class=\"warn\">" + std::string(In(language, kNoConfigFile)) + "</p><ul>" + places + "</ul>";
    }
    return FillPlaces(In(language, kServerSection), {rows, notes});
}

}  // namespace

std::string StartPage(UiLanguage language, const CardSummary& card, const std::string& devicePath,
                      const RatioFacts* ratios, const std::vector<std::string>* driveReport,
                      const ConfigFacts* config) {
    std::string cardPart = card.present ? CardSection(language, card, devicePath) : NoCardSection(language, card);
    if (!card.present && driveReport != nullptr && !driveReport->empty()) {
        std::string items;
        for (const std::string& line : *driveReport) items += "<li>" + HtmlEscaped(line) + "</li>";
        cardPart += FillPlaces(In(language, kDriveReport), {items});
    }
    if (ratios != nullptr) cardPart += RatioSection(language, *ratios);
    if (config != nullptr) cardPart += ServerSection(language, *config);
    return FillPlaces(In(language, kPage), {HtmlEscaped(In(language, kCaption)), cardPart, LocalPageStyle()});
}

}  // namespace orvanta
