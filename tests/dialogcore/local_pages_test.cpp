// The local pages both windows show, in Chinese and in English: the start
// page with a card and without one, the page for an unusable server address
// (naming the file read, or every place looked in), and the page for a
// setting that cannot be sent.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/common/test_env.h"
#include "dialogcore/html_text.h"
#include "dialogcore/local_pages.h"
#include "card/ratio_file.h"
#include "dialogcore/start_page.h"

namespace orvanta {
namespace {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;

struct PageCase {
    const char* name;
    UiLanguage language;
    std::string page;
    std::vector<std::string> expected;  // in this order
    std::vector<std::string> refused;
};

CardSummary SummerCard() {
    CardSummary card;
    card.present = true;
    card.letter = 'E';
    card.serial = 4026531841u;
    card.records = 300000;
    card.oldestTime = TimeOfFields(2024, 7, 13, 8, 0, 0);
    card.newestTime = TimeOfFields(2024, 7, 16, 9, 30, 5);
    return card;
}

ConfigLookup Missing() {
    ConfigLookup missing;
    missing.iniPath = "/usr/bin/orvanta-vemlar.ini";
    missing.candidates = {"/usr/bin/orvanta-vemlar.ini", "/home/ann/.config/orvanta/orvanta-vemlar.ini",
                          "/etc/orvanta/orvanta-vemlar.ini"};
    return missing;
}

ConfigLookup FoundAt(const std::string& path) {
    ConfigLookup found = Missing();
    found.iniPath = path;
    found.found = true;
    return found;
}

TEST(LocalPages, EachPageSaysWhatHappenedInTheWindowsLanguage) {
    // Summer in Berlin: the card's times stay local standard time, as the controls show them.
    const ScopedTimeZone zone("Europe/Berlin");
    const UiLanguage zh = UiLanguage::kChinese;
    const UiLanguage en = UiLanguage::kEnglish;
    CardSummary none;
    CardSummary pulled;  // found at start, no longer answering
    pulled.letter = 'F';
    const std::vector<std::string> cardFacts = {"E:", "/media/card &lt;1&gt;&amp;.img", "4026531841",
                                                "2024-07-13 08:00:00", "2024-07-16 09:30:05", "300000"};
    const std::vector<std::string> howToMap = {"--drive E=/dev/sdb1", "--drive E=card.img",
                                               "/usr/lib/udev/rules.d/60-orvanta-card.rules", "plugdev",
                                               "adduser $USER disk"};
    auto plus = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::string usr = "/home/ann/.config/orvanta/orvanta-vemlar.ini";
    RatioFacts fromBeside;
    fromBeside.ratioA = 1.02;
    fromBeside.ratioB = 0.98;
    fromBeside.source = "/home/ann/.config/orvanta/ratio.txt";
    RatioFacts noFile;
    const std::vector<std::string> causes = {"E: 无权读取 /dev/sdb1（权限不足）：请把用户加入 plugdev 组", "F: no <card>"};
    RatioFacts notTaken;
    notTaken.source = "./ratio.txt";
    RatioNote nan;
    nan.value = std::nan("");
    notTaken.warnings = {RatioNoteText(nan), "ratio <B> doubted"};
    ConfigFacts served;
    served.iniPath = usr;
    served.found = true;
    served.serverBaseUrl = "http://h:8080/a?b&c";
    ConfigFacts noAddress = served;
    noAddress.serverBaseUrl.clear();
    ConfigFacts noConfig;
    noConfig.candidates = Missing().candidates;
    const PageCase cases[] = {
        {"start, card, zh", zh, StartPage(zh, SummerCard(), "/media/card <1>&.img"),
         plus(plus({"欢迎使用 Orvanta谐波分析"}, cardFacts), {"本地标准时间", "使用方法", "“&lt;”和“&gt;”", "右键菜单"}),
         {"未找到存储卡", "/media/card <1>", "--drive", "Welcome"}},
        {"start, card, en", en, StartPage(en, SummerCard(), "/media/card <1>&.img"),
         plus(plus({"Welcome to Orvanta Harmonic Analysis"}, cardFacts), {"local standard time", "How to use it"}),
         {"欢迎", "存储卡", "--drive"}},
        {"start, no card, zh", zh, StartPage(zh, none, ""), plus({"未找到存储卡", "D: 至 Z:"}, howToMap),
         {"记录仪序列号"}},
        {"start, no card, en", en, StartPage(en, none, ""), plus({"No memory card found", "D: to Z:"}, howToMap),
         {"Recorder serial number", "未找到"}},
        {"start, card gone, zh", zh, StartPage(zh, pulled, "/dev/sdc1"), {"驱动器 F: 找到的存储卡现在没有响应"}, {}},
        {"start, card gone, en", en, StartPage(en, pulled, "/dev/sdc1"), {"drive F: at start-up no longer answers"},
         {}},
        // No file anywhere: every place looked in, in search order.
        {"no file, zh", zh, NoServerPage(zh, Missing(), ""), plus({"未找到配置文件"}, Missing().candidates), {}},
        {"no file, en", en, NoServerPage(en, Missing(), ""), plus({"No configuration file"}, Missing().candidates),
         {"未找到"}},
        // A file, without a usable address: only that file is named.
        {"bad address, zh", zh, NoServerPage(zh, FoundAt(usr), "ftp://x<"), {usr, "ftp://x&lt;"},
         {"/etc/orvanta", "未找到配置文件"}},
        {"bad address, en", en, NoServerPage(en, FoundAt(usr), "ftp://x<"),
         {"No usable server address", usr, "ftp://x&lt;"}, {"/etc/orvanta", "未配置"}},
        {"unsafe, zh", zh, UnsafeSettingPage(zh, "/opt/o&.ini", "password"),
         {"请求未发送", "/opt/o&amp;.ini", "<code>password</code>", "换行"}, {}},
        {"no access, zh", zh, NoAccessPage(zh, 'E'), {"没有读取存储卡的权限", "驱动器 E: ", "管理员"}, {}},
        {"no access, en", en, NoAccessPage(en, 'E'), {"drive E: ", "administrator"}, {"驱动器"}},
        {"unsafe, en", en, UnsafeSettingPage(en, "/opt/o&.ini", "password"),
         {"Request not sent", "<code>password</code>", "/opt/o&amp;.ini"}, {"请求"}},
        {"not read, zh", zh, ConfigProblemPage(zh, "/dev/zero is not a regular file <x>"),
         {"请求未发送", "/dev/zero is not a regular file &lt;x&gt;", "1 MiB"}, {}},
        {"not read, en", en, ConfigProblemPage(en, "a.ini is larger than 1024 KiB"),
         {"Request not sent", "a.ini is larger than 1024 KiB", "1 MiB"}, {"请求"}},
        // The ratios in use and where they came from, with what is wrong with them.
        {"ratios from beside the file, zh", zh, StartPage(zh, SummerCard(), "", &fromBeside),
         {"300000", "变比", "1.02", "0.98", "/home/ann/.config/orvanta/ratio.txt"}, {"没有找到 ratio.txt", "warn\">"}},
        {"no ratio.txt, en", en, StartPage(en, none, "", &noFile),
         {"No memory card found", "Calibration ratios", "<td>1</td>", "No ratio.txt was found"}, {"Read from"}},
        {"ratio not taken, en", en, StartPage(en, SummerCard(), "", &notTaken),
         {"<td>1</td>", "./ratio.txt", "warn\">ratio.txt: the ratio of channel A (nan) is not a finite number",
          "warn\">ratio &lt;B&gt; doubted"},
         {"No ratio.txt"}},
        // Without a card, why each drive holds none.
        {"no card, causes, zh", zh, StartPage(zh, none, "", nullptr, &causes),
         {"未找到存储卡", "各驱动器的情况", "E: 无权读取 /dev/sdb1（权限不足）", "F: no &lt;card&gt;"}, {}},
        {"card, no causes, en", en, StartPage(en, SummerCard(), "", nullptr, &causes), {"Memory card"},
         {"What each drive holds", "/dev/sdb1"}},
        // The server address and the configuration file in use, then the events list's key.
        {"server and file, zh", zh, StartPage(zh, SummerCard(), "", nullptr, nullptr, &served),
         {"分析服务器", "服务器地址", "http://h:8080/a?b&amp;c", "配置文件", usr, "查找事件…”（Ctrl+F"},
         {"没有服务器地址"}},
        {"file without address, en", en, StartPage(en, none, "", nullptr, nullptr, &noAddress),
         {"Analysis server", "Configuration file", usr, "no server address", "Find Events… (Ctrl+F"},
         {"Server address"}},
        {"no file, start, en", en, StartPage(en, SummerCard(), "", nullptr, nullptr, &noConfig),
         plus({"No configuration file orvanta-vemlar.ini was found"}, Missing().candidates), {"Server address"}},
        {"unreachable, zh", zh, UnreachableServerPage(zh, usr, "http://127.0.0.1:9/a?b&c", "ERR_UNSAFE_PORT"),
         {"无法连接分析服务器", "http://127.0.0.1:9/a?b&amp;c", "ERR_UNSAFE_PORT", usr, "serverBaseUrl", "刷新"}, {}},
        {"unreachable, en", en, UnreachableServerPage(en, usr, "http://analysis.example:6000/", ""),
         {"cannot be reached", "http://analysis.example:6000/", "serverBaseUrl", usr, "port"},
         {"browser engine says", "无法"}},
        {"timed out, zh", zh, ServerTimedOutPage(zh, usr, "http://127.0.0.1:8080/a", 120),
         {"无法连接分析服务器", "http://127.0.0.1:8080/a", "等待 120 秒后超时", usr}, {"浏览器引擎："}},
        {"timed out, en", en, ServerTimedOutPage(en, usr, "http://127.0.0.1:8080/a", 15),
         {"cannot be reached", "did not answer (timed out after 15 s)", usr}, {"engine says"}},
        {"empty error, zh", zh, EmptyErrorPage(zh, usr, "http://h/a?b&c", 502),
         {"分析服务器返回错误 502", "http://h/a?b&amp;c", "HTTP 状态 502", usr, "serverBaseUrl", "日志"}, {}},
        {"empty error, en", en, EmptyErrorPage(en, usr, "http://h/a", 500),
         {"answered 500", "http://h/a", "HTTP status 500", usr, "log"}, {"错误"}},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.page.rfind("<!DOCTYPE html>", 0), 0u);
        EXPECT_NE(c.page.find("</html>"), std::string::npos);
        EXPECT_EQ(c.page.find("%1"), std::string::npos);
        EXPECT_EQ(c.page.find("%2"), std::string::npos);
        // Every local page has the start page's style, and the language's fonts.
        EXPECT_NE(c.page.find(LocalPageStyle()), std::string::npos);
        EXPECT_NE(c.page.find(c.language == zh ? "lang=\"zh-CN\"" : "lang=\"en\""), std::string::npos);
        std::size_t last = 0;
        for (const std::string& text : c.expected) {
            const std::size_t at = c.page.find(text, last);
            EXPECT_NE(at, std::string::npos) << text;
            if (at != std::string::npos) last = at;
        }
        for (const std::string& text : c.refused) EXPECT_EQ(c.page.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace orvanta
