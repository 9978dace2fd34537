<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>orvanta</name>
    <message>
        <source>&lt;!DOCTYPE html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;请求未发送&lt;/title&gt;&lt;/head&gt;&lt;body&gt;&lt;h3&gt;请求未发送&lt;/h3&gt;&lt;p&gt;内存不足，无法生成请求内容。请关闭其他程序后按“刷新”重试。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Request not sent&lt;/title&gt;&lt;/head&gt;&lt;body&gt;&lt;h3&gt;Request not sent&lt;/h3&gt;&lt;p&gt;Not enough memory to build the request. Close other programs and press Refresh again.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;未找到配置文件&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;未找到配置文件&lt;/h3&gt;&lt;p&gt;程序依次查找了以下位置，都没有配置文件 &lt;code&gt;orvanta-vemlar.ini&lt;/code&gt;：&lt;/p&gt;&lt;ol&gt;%1&lt;/ol&gt;&lt;p&gt;请在其中一处创建该文件，在 &lt;code&gt;[Common]&lt;/code&gt; 节中写入分析服务器的地址，例如 &lt;code&gt;serverBaseUrl=http://analysis.example/analysis&lt;/code&gt;。放在程序旁边（&lt;code&gt;%2&lt;/code&gt;）时按“刷新”即可生效；放在其他位置时请重新启动程序。&lt;/p&gt;&lt;p lang=&quot;en&quot;&gt;No configuration file was found in the places listed above: create &lt;code&gt;orvanta-vemlar.ini&lt;/code&gt; in one of them with &lt;code&gt;serverBaseUrl&lt;/code&gt; in section &lt;code&gt;[Common]&lt;/code&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE html&gt;&lt;html lang=&quot;en&quot;&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;No configuration file&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;No configuration file&lt;/h3&gt;&lt;p&gt;The program looked in these places, in this order, and found no configuration file &lt;code&gt;orvanta-vemlar.ini&lt;/code&gt;:&lt;/p&gt;&lt;ol&gt;%1&lt;/ol&gt;&lt;p&gt;Create the file in one of them with the analysis server&apos;s address in section &lt;code&gt;[Common]&lt;/code&gt;, for example &lt;code&gt;serverBaseUrl=http://analysis.example/analysis&lt;/code&gt;. Beside the program (&lt;code&gt;%2&lt;/code&gt;) it takes effect at the next Refresh; elsewhere, start the program again.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;未配置可用的服务器地址&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;未配置可用的服务器地址&lt;/h3&gt;&lt;p&gt;配置文件 &lt;code&gt;%1&lt;/code&gt; 的 &lt;code&gt;[Common]&lt;/code&gt; 节中，键 &lt;code&gt;serverBaseUrl&lt;/code&gt; 没有可用的分析服务器地址（当前值：“&lt;code&gt;%2&lt;/code&gt;”）。&lt;/p&gt;&lt;p&gt;请填写以 &lt;code&gt;http://&lt;/code&gt; 或 &lt;code&gt;https://&lt;/code&gt; 开头的完整地址，然后按“刷新”。&lt;/p&gt;&lt;p lang=&quot;en&quot;&gt;No usable server address is configured: set the key &lt;code&gt;serverBaseUrl&lt;/code&gt; in section &lt;code&gt;[Common]&lt;/code&gt; of &lt;code&gt;%1&lt;/code&gt; to an http:// or https:// address.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE html&gt;&lt;html lang=&quot;en&quot;&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;No usable server address&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;No usable server address&lt;/h3&gt;&lt;p&gt;The key &lt;code&gt;serverBaseUrl&lt;/code&gt; in section &lt;code&gt;[Common]&lt;/code&gt; of the configuration file &lt;code&gt;%1&lt;/code&gt; holds no usable analysis server address (its value: “&lt;code&gt;%2&lt;/code&gt;”).&lt;/p&gt;&lt;p&gt;Enter a full address starting with &lt;code&gt;http://&lt;/code&gt; or &lt;code&gt;https://&lt;/code&gt;, then press Refresh.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE html&gt;&lt;html&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;请求未发送&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;请求未发送&lt;/h3&gt;&lt;p&gt;配置文件 &lt;code&gt;%1&lt;/code&gt; 的 &lt;code&gt;[Common]&lt;/code&gt; 节中，键 &lt;code&gt;%2&lt;/code&gt; 的值含有换行或其他控制字符，不能放入请求。&lt;/p&gt;&lt;p&gt;请修改该值，然后按“刷新”。&lt;/p&gt;&lt;p lang=&quot;en&quot;&gt;Not sent: the key &lt;code&gt;%2&lt;/code&gt; in section &lt;code&gt;[Common]&lt;/code&gt; of &lt;code&gt;%1&lt;/code&gt; holds a line break or another control character.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE html&gt;&lt;html lang=&quot;en&quot;&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;Request not sent&lt;/title&gt;&lt;/head&gt;&lt;body style=&quot;font-family: sans-serif&quot;&gt;&lt;h3&gt;Request not sent&lt;/h3&gt;&lt;p&gt;The value of the key &lt;code&gt;%2&lt;/code&gt; in section &lt;code&gt;[Common]&lt;/code&gt; of the configuration file &lt;code&gt;%1&lt;/code&gt; holds a line break or another control character and cannot go into a request.&lt;/p&gt;&lt;p&gt;Correct the value, then press Refresh.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>无有效记录</source>
        <translation>no valid record</translation>
    </message>
    <message>
        <source>超出可表示的时间范围</source>
        <translation>beyond the representable time range</translation>
    </message>
    <message>
        <source>驱动器</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>设备路径</source>
        <translation>Device path</translation>
    </message>
    <message>
        <source>记录仪序列号</source>
        <translation>Recorder serial number</translation>
    </message>
    <message>
        <source>最早记录</source>
        <translation>Oldest record</translation>
    </message>
    <message>
        <source>最新记录</source>
        <translation>Newest record</translation>
    </message>
    <message>
        <source>记录数</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>&lt;h3&gt;存储卡&lt;/h3&gt;&lt;table&gt;%1&lt;/table&gt;&lt;p class=&quot;note&quot;&gt;时间均为本地标准时间（不计夏令时）。请在最早和最新记录之间选择时间。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Memory card&lt;/h3&gt;&lt;table&gt;%1&lt;/table&gt;&lt;p class=&quot;note&quot;&gt;All times are local standard time (without daylight saving). Pick a time between the oldest and the newest record.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>启动时在驱动器 %1: 找到的存储卡现在没有响应。</source>
        <translation>The card found on drive %1: at start-up no longer answers. </translation>
    </message>
    <message>
        <source>启动时在驱动器 D: 至 Z: 中没有找到记录仪的存储卡。</source>
        <translation>No recorder card was found on drives D: to Z: at start-up. </translation>
    </message>
    <message>
        <source>&lt;h3&gt;未找到存储卡&lt;/h3&gt;&lt;p&gt;%1程序只在启动时查找存储卡：插入存储卡后请重新启动程序。&lt;/p&gt;&lt;ul&gt;&lt;li&gt;指定驱动器：&lt;code&gt;orvanta-client --drive E=/dev/sdb1&lt;/code&gt;；存储卡的镜像文件也可以：&lt;code&gt;--drive E=card.img&lt;/code&gt;。不指定时，程序把找到的 USB 读卡器和 SD 卡槽依次分配为 D:、E:、F: ……&lt;/li&gt;&lt;li&gt;普通用户需要读取读卡器设备的权限。安装包带有 udev 规则 &lt;code&gt;/usr/lib/udev/rules.d/60-orvanta-card.rules&lt;/code&gt;，把 USB 读卡器设备交给 &lt;code&gt;plugdev&lt;/code&gt; 组：&lt;code&gt;sudo adduser $USER plugdev&lt;/code&gt;，然后重新登录。&lt;/li&gt;&lt;li&gt;或者加入拥有磁盘设备的 &lt;code&gt;disk&lt;/code&gt; 组：&lt;code&gt;sudo adduser $USER disk&lt;/code&gt;，然后重新登录。&lt;/li&gt;&lt;li&gt;查看存储卡的内容：&lt;code&gt;orvanta-card info --drive E=/dev/sdb1&lt;/code&gt;。&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h3&gt;No memory card found&lt;/h3&gt;&lt;p&gt;%1The program looks for the card only when it starts: put the card in, then start the program again.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;Name the drive: &lt;code&gt;orvanta-client --drive E=/dev/sdb1&lt;/code&gt;; an image of a card works too: &lt;code&gt;--drive E=card.img&lt;/code&gt;. Without it, the USB card readers and SD card slots found get D:, E:, F: … in turn.&lt;/li&gt;&lt;li&gt;An ordinary user needs read access to the card reader. The package installs the udev rule &lt;code&gt;/usr/lib/udev/rules.d/60-orvanta-card.rules&lt;/code&gt;, which gives USB card readers to the group &lt;code&gt;plugdev&lt;/code&gt;: &lt;code&gt;sudo adduser $USER plugdev&lt;/code&gt;, then log in again.&lt;/li&gt;&lt;li&gt;Or join the group &lt;code&gt;disk&lt;/code&gt;, which owns the disk devices: &lt;code&gt;sudo adduser $USER disk&lt;/code&gt;, then log in again.&lt;/li&gt;&lt;li&gt;See what a card holds: &lt;code&gt;orvanta-card info --drive E=/dev/sdb1&lt;/code&gt;.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE html&gt;&lt;html lang=&quot;zh-CN&quot;&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;%1&lt;/title&gt;&lt;style&gt;body{font-family:sans-serif;margin:1.2em 1.6em;color:#222}th{text-align:left;font-weight:normal;color:#555;padding:0.15em 1.5em 0.15em 0}code{background:#f2f2f2;padding:0 0.2em}.note{color:#555}&lt;/style&gt;&lt;/head&gt;&lt;body&gt;&lt;h2&gt;欢迎使用 %1&lt;/h2&gt;%2&lt;h3&gt;使用方法&lt;/h3&gt;&lt;ol&gt;&lt;li&gt;在下方选择日期和时、分、秒。&lt;/li&gt;&lt;li&gt;按“刷新”（或回车键）：程序读取存储卡上这一秒的记录，发送给分析服务器，并在这里显示分析结果；时间栏随后显示实际找到的记录的时间。&lt;/li&gt;&lt;li&gt;“&amp;lt;”和“&amp;gt;”把时间后退或前进一秒，并重新查询。&lt;/li&gt;&lt;li&gt;时间栏上方的概览条显示整张卡的记录：点击某处即查询那一秒；滚轮或拖动放大，双击或 Home 键还原。&lt;/li&gt;&lt;li&gt;右键菜单：保存页面为 PDF、导出记录 CSV、重新读取存储卡概览，以及“关于 Vemlar”（或 F1 键）。&lt;/li&gt;&lt;/ol&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE html&gt;&lt;html lang=&quot;en&quot;&gt;&lt;head&gt;&lt;meta charset=&quot;utf-8&quot;&gt;&lt;title&gt;%1&lt;/title&gt;&lt;style&gt;body{font-family:sans-serif;margin:1.2em 1.6em;color:#222}th{text-align:left;font-weight:normal;color:#555;padding:0.15em 1.5em 0.15em 0}code{background:#f2f2f2;padding:0 0.2em}.note{color:#555}&lt;/style&gt;&lt;/head&gt;&lt;body&gt;&lt;h2&gt;Welcome to %1&lt;/h2&gt;%2&lt;h3&gt;How to use it&lt;/h3&gt;&lt;ol&gt;&lt;li&gt;Pick the date, hour, minute and second below.&lt;/li&gt;&lt;li&gt;Press Refresh (or Enter): the program reads the record of that second from the card, sends it to the analysis server and shows the analysis here; the time controls then show the time of the record actually found.&lt;/li&gt;&lt;li&gt;“&amp;lt;” and “&amp;gt;” step the time one second back or forward and query again.&lt;/li&gt;&lt;li&gt;The overview strip above the time controls shows the whole card: click a place to query that second; the mouse wheel or a drag zooms in, a double click or Home goes back to the whole card.&lt;/li&gt;&lt;li&gt;Context menu: save the page as PDF, export the record as CSV, read the card overview again, and “About Vemlar” (or F1).&lt;/li&gt;&lt;/ol&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Orvanta谐波分析</source>
        <translation>Orvanta Harmonic Analysis</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>选择时间:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分</source>
        <translation>m</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>关于 Vemlar(&amp;A)...</source>
        <translation>&amp;About Vemlar...</translation>
    </message>
    <message>
        <source>Windows 通信端口初始化失败。</source>
        <translation>Windows sockets could not be initialised.</translation>
    </message>
    <message>
        <source>关于 Vemlar</source>
        <translation>About Vemlar</translation>
    </message>
    <message>
        <source>Orvanta谐波分析客户端 1.0.0 版</source>
        <translation>Orvanta client, version 1.0.0</translation>
    </message>
    <message>
        <source>Orvanta 客户端开发组 编写与维护</source>
        <translation>By the Orvanta client team</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>重新读取存储卡概览</source>
        <translation>Read the card overview again</translation>
    </message>
    <message>
        <source>显示整张卡</source>
        <translation>Show the whole card</translation>
    </message>
    <message>
        <source>取消读取概览</source>
        <translation>Cancel the overview</translation>
    </message>
    <message>
        <source>未找到存储卡，无法显示记录概览</source>
        <translation>No card found: no overview of the recording</translation>
    </message>
    <message>
        <source>无法打开存储卡，无法显示记录概览</source>
        <translation>The card does not open: no overview of the recording</translation>
    </message>
    <message>
        <source>存储卡上没有记录</source>
        <translation>The card holds no records</translation>
    </message>
    <message>
        <source>所选时间段内没有记录</source>
        <translation>No records in the chosen time range</translation>
    </message>
    <message>
        <source>正在读取存储卡概览… %1%</source>
        <translation>Reading the card overview… %1%</translation>
    </message>
    <message>
        <source>已取消读取存储卡概览</source>
        <translation>Card overview cancelled</translation>
    </message>
    <message>
        <source>读取中存储卡已断开，只显示已读取的部分</source>
        <translation>The card was removed while reading; showing what was read</translation>
    </message>
    <message>
        <source>%1   (无趋势值)</source>
        <translation>%1   (no trend value)</translation>
    </message>
    <message>
        <source>保存页面为 PDF…</source>
        <translation>Save Page as PDF…</translation>
    </message>
    <message>
        <source>导出记录 CSV…</source>
        <translation>Export Record as CSV…</translation>
    </message>
    <message>
        <source>无法写入文件 %1</source>
        <translation>Cannot write the file %1</translation>
    </message>
    <message>
        <source>尚未查询记录，请先按“刷新”。</source>
        <translation>No record has been queried yet: press Refresh first.</translation>
    </message>
    <message>
        <source>存储卡 %1:</source>
        <translation>Card %1:</translation>
    </message>
    <message>
        <source>启动时未找到存储卡</source>
        <translation>No card found at start-up</translation>
    </message>
    <message>
        <source>存储卡 %1: 未响应</source>
        <translation>Card %1: not responding</translation>
    </message>
    <message>
        <source>记录时间: %1</source>
        <translation>Record: %1</translation>
    </message>
    <message>
        <source>未找到所选时间的记录</source>
        <translation>No record for the chosen time</translation>
    </message>
    <message>
        <source>查找事件…</source>
        <translation>Find events…</translation>
    </message>
    <message>
        <source>电压事件</source>
        <translation>Voltage events</translation>
    </message>
    <message>
        <source>标称电压:</source>
        <translation>Nominal voltage:</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>导出 CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>时间段: 整张卡</source>
        <translation>Range: the whole card</translation>
    </message>
    <message>
        <source>时间段: %1 至 %2</source>
        <translation>Range: %1 to %2</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>持续时间 (秒)</source>
        <translation>Duration (s)</translation>
    </message>
    <message>
        <source>极值 (V)</source>
        <translation>Extreme (V)</translation>
    </message>
    <message>
        <source>电压暂降</source>
        <translation>Dip</translation>
    </message>
    <message>
        <source>短时中断</source>
        <translation>Interruption</translation>
    </message>
    <message>
        <source>电压暂升</source>
        <translation>Swell</translation>
    </message>
    <message>
        <source>%1 (未结束)</source>
        <translation>%1 (not ended)</translation>
    </message>
    <message>
        <source>正在查找事件… %1%</source>
        <translation>Finding events… %1%</translation>
    </message>
    <message>
        <source>找到 %1 个事件（%2 条记录）</source>
        <translation>%1 events found (%2 records)</translation>
    </message>
    <message>
        <source>没有事件（%1 条记录）</source>
        <translation>No events (%1 records)</translation>
    </message>
    <message>
        <source>已取消，只列出已读取部分中的事件</source>
        <translation>Cancelled; the events of what was read so far</translation>
    </message>
    <message>
        <source>读取中存储卡已断开，只列出已读取部分中的事件</source>
        <translation>The card went away during the scan; the events of what was read before</translation>
    </message>
    <message>
        <source>无法打开存储卡，无法查找事件</source>
        <translation>The card cannot be opened; no events can be found</translation>
    </message>
</context>
</TS>
