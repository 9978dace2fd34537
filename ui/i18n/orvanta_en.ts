<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>orvanta</name>
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
        <translation>Read the Card Overview Again</translation>
    </message>
    <message>
        <source>显示整张卡</source>
        <translation>Show the Whole Card</translation>
    </message>
    <message>
        <source>取消读取概览</source>
        <translation>Cancel the Overview</translation>
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
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>导出记录 CSV…</source>
        <translation>Export Record as CSV…</translation>
    </message>
    <message>
        <source>导出概览 CSV…</source>
        <translation>Export Overview as CSV…</translation>
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
        <source>停止等待服务器</source>
        <translation>Stop Waiting for the Server</translation>
    </message>
    <message>
        <source>查找事件…</source>
        <translation>Find Events…</translation>
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
        <translation>Export as CSV…</translation>
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
    <message>
        <source>清除事件标记</source>
        <translation>Clear Event Marks</translation>
    </message>
    <message>
        <source>已保存到 %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>浏览器引擎未能生成 PDF。</source>
        <translation>The browser engine could not produce the PDF.</translation>
    </message>
    <message>
        <source>重新查找存储卡</source>
        <translation>Find the Card Again</translation>
    </message>
    <message>
        <source>无法再从存储卡读取所显示的记录（存储卡已更换或已写入）。</source>
        <translation>The record shown can no longer be read from the card (the card was changed or written).</translation>
    </message>
    <message>
        <source>正在生成报告…</source>
        <translation>Making the report…</translation>
    </message>
    <message>
        <source>无法生成报告：%1</source>
        <translation>The report could not be made: %1</translation>
    </message>
    <message>
        <source>已取消生成报告。</source>
        <translation>The report was cancelled.</translation>
    </message>
    <message>
        <source>概览曲线显示：</source>
        <translation>The strip shows:</translation>
    </message>
    <message>
        <source>保存存储卡映像…</source>
        <translation>Save Card Image…</translation>
    </message>
    <message>
        <source>打开存储卡映像…</source>
        <translation>Open Card Image…</translation>
    </message>
    <message>
        <source>导出 COMTRADE…</source>
        <translation>Export COMTRADE…</translation>
    </message>
    <message>
        <source>正在保存存储卡映像…</source>
        <translation>Saving the card image…</translation>
    </message>
    <message>
        <source>存储卡映像 (*.img)</source>
        <translation>Card images (*.img)</translation>
    </message>
    <message>
        <source>存储卡映像已保存到 %1（SHA-256：%2）</source>
        <translation>Card image saved to %1 (SHA-256: %2)</translation>
    </message>
    <message>
        <source>未保存存储卡映像：%1</source>
        <translation>The card image was not saved: %1</translation>
    </message>
    <message>
        <source>已取消保存存储卡映像。</source>
        <translation>Saving the card image was cancelled.</translation>
    </message>
    <message>
        <source>已是最新记录: %1</source>
        <translation>Newest record: %1</translation>
    </message>
    <message>
        <source>已是最早记录: %1</source>
        <translation>Oldest record: %1</translation>
    </message>
    <message>
        <source>本地分析</source>
        <translation>Local Analysis</translation>
    </message>
    <message>
        <source>生成报告…</source>
        <translation>Make Report…</translation>
    </message>
    <message>
        <source>正在生成报告… %1%</source>
        <translation>Making the report… %1%</translation>
    </message>
    <message>
        <source>概览显示</source>
        <translation>Strip Shows</translation>
    </message>
    <message>
        <source>，标记了 %1 个事件</source>
        <translation>, %1 events marked</translation>
    </message>
    <message>
        <source>没有可分析的记录：请先查询一个时间。</source>
        <translation>No record to analyse: query a time first.</translation>
    </message>
    <message>
        <source>存储卡 %1: %2</source>
        <translation>Card %1: %2</translation>
    </message>
    <message>
        <source>取消保存映像</source>
        <translation>Cancel Image Saving</translation>
    </message>
    <message>
        <source>正在保存存储卡映像… %1%</source>
        <translation>Saving the card image… %1%</translation>
    </message>
    <message>
        <source>存储卡映像已保存: %1</source>
        <translation>Card image saved: %1</translation>
    </message>
    <message>
        <source>已取消保存存储卡映像</source>
        <translation>Saving the card image cancelled</translation>
    </message>
    <message>
        <source>无法保存存储卡映像: %1</source>
        <translation>The card image could not be saved: %1</translation>
    </message>
    <message>
        <source>存储卡映像</source>
        <translation>Card images</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
</context>
</TS>
