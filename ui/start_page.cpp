#include "ui/start_page.h"

#include "card/local_time.h"
#include "ui/ui_strings.h"

namespace orvanta {
namespace {

QString Escaped(const std::string& text) { return QString::fromLocal8Bit(text.c_str()).toHtmlEscaped(); }

QString Row(const char* label, const QString& value) {
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>").arg(text::Tr(label), value);
}

QString RecordTime(std::int32_t time) {
    if (time > 0) return QString::fromStdString(FormatLocalStandard(time));
    return time == 0 ? text::Tr(QT_TRANSLATE_NOOP("orvanta", "无有效记录"))
                     : text::Tr(QT_TRANSLATE_NOOP("orvanta", "超出可表示的时间范围"));
}

QString CardSection(const CardSummary& card, const std::string& devicePath) {
    const QString drive = QStringLiteral("%1:").arg(QChar::fromLatin1(card.letter));
    QString rows = Row(QT_TRANSLATE_NOOP("orvanta", "驱动器"), drive);
    if (!devicePath.empty()) rows += Row(QT_TRANSLATE_NOOP("orvanta", "设备路径"), QStringLiteral("<code>%1</code>").arg(Escaped(devicePath)));
    rows += Row(QT_TRANSLATE_NOOP("orvanta", "记录仪序列号"), QString::number(card.serial));
    rows += Row(QT_TRANSLATE_NOOP("orvanta", "最早记录"), RecordTime(card.oldestTime));
    rows += Row(QT_TRANSLATE_NOOP("orvanta", "最新记录"), RecordTime(card.newestTime));
    rows += Row(QT_TRANSLATE_NOOP("orvanta", "记录数"), QString::number(card.records));
    return text::Tr(QT_TRANSLATE_NOOP("orvanta",
               "<h3>存储卡</h3><table>%1</table>"
               "<p class=\"note\">时间均为本地标准时间（不计夏令时）。请在最早和最新记录之间选择时间。</p>"))
        .arg(rows);
}

QString NoCardSection(const CardSummary& card) {
    const QString what =
        card.letter != 0
            ? text::Tr(QT_TRANSLATE_NOOP("orvanta", "启动时在驱动器 %1: 找到的存储卡现在没有响应。")).arg(QChar::fromLatin1(card.letter))
            : text::Tr(QT_TRANSLATE_NOOP("orvanta", "启动时在驱动器 D: 至 Z: 中没有找到记录仪的存储卡。"));
    return text::Tr(QT_TRANSLATE_NOOP("orvanta",
               "<h3>未找到存储卡</h3>"
               "<p>%1程序只在启动时查找存储卡：插入存储卡后请重新启动程序。</p>"
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
               "</ul>"))
        .arg(what);
}

}  // namespace

QString StartPage(const CardSummary& card, const std::string& devicePath) {
    const QString caption = text::Tr(text::kMainCaption).toHtmlEscaped();
    const QString cardPart = card.present ? CardSection(card, devicePath) : NoCardSection(card);
    return text::Tr(QT_TRANSLATE_NOOP("orvanta",
               "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>%1</title>"
               "<style>body{font-family:sans-serif;margin:1.2em 1.6em;color:#222}"
               "th{text-align:left;font-weight:normal;color:#555;padding:0.15em 1.5em 0.15em 0}"
               "code{background:#f2f2f2;padding:0 0.2em}.note{color:#555}</style></head>"
               "<body><h2>欢迎使用 %1</h2>%2"
               "<h3>使用方法</h3><ol>"
               "<li>在下方选择日期和时、分、秒。</li>"
               "<li>按“刷新”（或回车键）：程序读取存储卡上这一秒的记录，发送给分析服务器，"
               "并在这里显示分析结果；时间栏随后显示实际找到的记录的时间。</li>"
               "<li>“&lt;”和“&gt;”把时间后退或前进一秒，并重新查询。</li>"
               "<li>时间栏上方的概览条显示整张卡的记录：点击某处即查询那一秒；滚轮或拖动放大，双击或 Home 键还原。</li>"
               "<li>右键菜单：保存页面为 PDF、导出记录 CSV、重新读取存储卡概览，以及“关于 Vemlar”（或 F1 键）。</li>"
               "</ol></body></html>"))
        .arg(caption, cardPart);
}

}  // namespace orvanta
