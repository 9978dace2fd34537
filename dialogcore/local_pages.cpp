#include "dialogcore/local_pages.h"

#include "dialogcore/html_text.h"

namespace orvanta {
namespace {

const Bilingual kNoConfigFile = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>未找到配置文件</title></head>"
    "<body>"
    "<h3>未找到配置文件</h3>"
    "<p>程序依次查找了以下位置，都没有配置文件 <code>orvanta-vemlar.ini</code>：</p><ol>%1</ol>"
    "<p>请在其中一处创建该文件，在 <code>[Common]</code> 节中写入分析服务器的地址，例如 "
    "<code>serverBaseUrl=http://analysis.example/analysis</code>。"
    "放在程序旁边（<code>%2</code>）时按“刷新”即可生效；放在其他位置时请重新启动程序。</p>"
    "<p lang=\"en\">No configuration file was found in the places listed above: create "
    "<code>orvanta-vemlar.ini</code> in one of them with <code>serverBaseUrl</code> in section "
    "<code>[Common]</code>.</p>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>No configuration file</title></head>"
    "<body>"
    "<h3>No configuration file</h3>"
    "<p>The program looked in these places, in this order, and found no configuration file "
    "<code>orvanta-vemlar.ini</code>:</p><ol>%1</ol>"
    "<p>Create the file in one of them with the analysis server's address in section <code>[Common]</code>, "
    "for example <code>serverBaseUrl=http://analysis.example/analysis</code>. Beside the program "
    "(<code>%2</code>) it takes effect at the next Refresh; elsewhere, start the program again.</p>"
    "</body></html>"};

const Bilingual kNoUsableServer = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>未配置可用的服务器地址</title></head>"
    "<body>"
    "<h3>未配置可用的服务器地址</h3>"
    "<p>配置文件 <code>%1</code> 的 <code>[Common]</code> 节中，键 <code>serverBaseUrl</code> "
    "没有可用的分析服务器地址（当前值：“<code>%2</code>”）。</p>"
    "<p>请填写以 <code>http://</code> 或 <code>https://</code> 开头的完整地址，然后按“刷新”。</p>"
    "<p lang=\"en\">No usable server address is configured: set the key <code>serverBaseUrl</code> "
    "in section <code>[Common]</code> of <code>%1</code> to an http:// or https:// address.</p>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>No usable server address</title></head>"
    "<body>"
    "<h3>No usable server address</h3>"
    "<p>The key <code>serverBaseUrl</code> in section <code>[Common]</code> of the configuration file "
    "<code>%1</code> holds no usable analysis server address (its value: “<code>%2</code>”).</p>"
    "<p>Enter a full address starting with <code>http://</code> or <code>https://</code>, then press Refresh.</p>"
    "</body></html>"};

const Bilingual kUnsafeSetting = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>请求未发送</title></head>"
    "<body>"
    "<h3>请求未发送</h3>"
    "<p>配置文件 <code>%1</code> 的 <code>[Common]</code> 节中，键 <code>%2</code> "
    "的值含有换行或其他控制字符，不能放入请求。</p>"
    "<p>请修改该值，然后按“刷新”。</p>"
    "<p lang=\"en\">Not sent: the key <code>%2</code> in section <code>[Common]</code> of "
    "<code>%1</code> holds a line break or another control character.</p>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Request not sent</title></head>"
    "<body>"
    "<h3>Request not sent</h3>"
    "<p>The value of the key <code>%2</code> in section <code>[Common]</code> of the configuration file "
    "<code>%1</code> holds a line break or another control character and cannot go into a request.</p>"
    "<p>Correct the value, then press Refresh.</p>"
    "</body></html>"};

const Bilingual kUnreachable = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>无法连接分析服务器</title></head>"
    "<body>"
    "<h3>无法连接分析服务器</h3>"
    "<p>服务器地址 <code>%1</code> 没有应答%3。</p>"
    "<p>这个地址来自配置文件 <code>%2</code> 的 <code>[Common]</code> 节中的键 <code>serverBaseUrl</code>。</p>"
    "<p>请检查：</p><ul>"
    "<li>分析服务器已经启动，并且从这台计算机可以访问（网络连接、代理、防火墙）；</li>"
    "<li>地址中的主机名和端口正确；浏览器引擎不连接某些端口（例如 1 至 25 中的多数端口和 6000），"
    "服务器应使用其他端口（例如 8080）；</li>"
    "<li>改正配置文件或服务器后，按“刷新”重试。</li></ul>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>The analysis server cannot be "
    "reached</title></head>"
    "<body>"
    "<h3>The analysis server cannot be reached</h3>"
    "<p>The server address <code>%1</code> did not answer%3.</p>"
    "<p>The address comes from the key <code>serverBaseUrl</code> in section <code>[Common]</code> of the "
    "configuration file <code>%2</code>.</p>"
    "<p>Check that:</p><ul>"
    "<li>the analysis server is running and can be reached from this computer (network, proxy, firewall);</li>"
    "<li>the host name and port of the address are right; the browser engine does not connect to some ports "
    "(most of 1 to 25, and 6000, for example): the server should use another one (8080, for example);</li>"
    "<li>after correcting the file or the server, you press Refresh to try again.</li></ul>"
    "</body></html>"};

const Bilingual kEngineSaid = {"（浏览器引擎：<code>%1</code>）", " (the browser engine says: <code>%1</code>)"};

const Bilingual kTimedOut = {"（等待 %1 秒后超时）", " (timed out after %1 s)"};

const Bilingual kEmptyError = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>分析服务器返回错误 %1</title></head>"
    "<body>"
    "<h3>分析服务器返回错误 %1</h3>"
    "<p>服务器地址 <code>%2</code> 以 HTTP 状态 %1 回答了请求，但没有给出说明。</p>"
    "<p>这个地址来自配置文件 <code>%3</code> 的 <code>[Common]</code> 节中的键 <code>serverBaseUrl</code>。</p>"
    "<p>请检查：</p><ul>"
    "<li>地址指向分析服务器本身，而不是代理或另一个网站；</li>"
    "<li>分析服务器的日志中这次请求的记录；</li>"
    "<li>配置文件中的用户名和密码；</li>"
    "<li>改正后按“刷新”重试。</li></ul>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>The analysis server answered %1"
    "</title></head>"
    "<body>"
    "<h3>The analysis server answered %1</h3>"
    "<p>The server address <code>%2</code> answered the request with HTTP status %1 and no explanation.</p>"
    "<p>The address comes from the key <code>serverBaseUrl</code> in section <code>[Common]</code> of the "
    "configuration file <code>%3</code>.</p>"
    "<p>Check:</p><ul>"
    "<li>that the address leads to the analysis server itself, not to a proxy or another site;</li>"
    "<li>the analysis server's log for this request;</li>"
    "<li>the user name and password in the configuration file;</li>"
    "<li>then press Refresh to try again.</li></ul>"
    "</body></html>"};

const Bilingual kNoMemory = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>请求未发送</title></head>"
    "<body><h3>请求未发送</h3><p>内存不足，无法生成请求内容。请关闭其他程序后按“刷新”重试。</p></body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Request not sent</title></head>"
    "<body><h3>Request not sent</h3><p>Not enough memory to build the request. Close other programs and press "
    "Refresh again.</p></body></html>"};

const Bilingual kConfigProblem = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>请求未发送</title></head>"
    "<body><h3>请求未发送</h3><p>配置文件无法使用：<code>%1</code></p>"
    "<p>配置文件必须是不超过 1 MiB 的普通文件。</p></body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Request not sent</title></head>"
    "<body><h3>Request not sent</h3><p>The configuration file cannot be used: "
    "<code>%1</code></p><p>The configuration file must be a regular file of at most 1 MiB.</p></body></html>"};

const Bilingual kNoAccess = {
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>没有读取存储卡的权限</title></head>"
    "<body>"
    "<h3>没有读取存储卡的权限</h3>"
    "<p>无法打开驱动器 %1: 上的存储卡：直接读取存储卡需要管理员权限。</p>"
    "<p>请关闭程序，右键单击程序图标，选择“以管理员身份运行”，然后重新查询。</p>"
    "</body></html>",
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>No right to read the card</title></head>"
    "<body>"
    "<h3>No right to read the card</h3>"
    "<p>The card on drive %1: cannot be opened: reading a card directly needs administrator rights.</p>"
    "<p>Close the program, right-click its icon, choose \"Run as administrator\", then query again.</p>"
    "</body></html>"};

// The start page's style and font, in the page's head.
std::string Styled(std::string page) {
    const std::size_t head = page.find("</head>");
    if (head != std::string::npos) page.insert(head, LocalPageStyle());
    return page;
}

}  // namespace

std::string NoServerPage(UiLanguage language, const ConfigLookup& config, const std::string& serverBaseUrl) {
    const std::string path = HtmlEscaped(config.iniPath);
    if (!config.found) {
        std::string places;
        for (const std::string& candidate : config.candidates) {
            places += "<li><code>" + HtmlEscaped(candidate) + "</code></li>";
        }
        return Styled(FillPlaces(In(language, kNoConfigFile), {places, path}));
    }
    return Styled(FillPlaces(In(language, kNoUsableServer), {path, HtmlEscaped(serverBaseUrl)}));
}

std::string UnsafeSettingPage(UiLanguage language, const std::string& iniPath, const std::string& key) {
    return Styled(FillPlaces(In(language, kUnsafeSetting), {HtmlEscaped(iniPath), HtmlEscaped(key)}));
}

std::string UnreachableServerPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                                  const std::string& engineError) {
    const std::string said = engineError.empty() ? std::string()
                                                 : FillPlaces(In(language, kEngineSaid), {HtmlEscaped(engineError)});
    return Styled(FillPlaces(In(language, kUnreachable), {HtmlEscaped(serverBaseUrl), HtmlEscaped(iniPath), said}));
}

std::string ServerTimedOutPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                               long seconds) {
    const std::string said = FillPlaces(In(language, kTimedOut), {std::to_string(seconds)});
    return Styled(FillPlaces(In(language, kUnreachable), {HtmlEscaped(serverBaseUrl), HtmlEscaped(iniPath), said}));
}

std::string EmptyErrorPage(UiLanguage language, const std::string& iniPath, const std::string& serverBaseUrl,
                           int status) {
    return Styled(
        FillPlaces(In(language, kEmptyError), {std::to_string(status), HtmlEscaped(serverBaseUrl), HtmlEscaped(iniPath)}));
}

std::string NoMemoryPage(UiLanguage language) { return Styled(In(language, kNoMemory)); }

std::string ConfigProblemPage(UiLanguage language, const std::string& problem) {
    return Styled(FillPlaces(In(language, kConfigProblem), {HtmlEscaped(problem)}));
}

std::string NoAccessPage(UiLanguage language, char letter) {
    return Styled(FillPlaces(In(language, kNoAccess), {std::string(1, letter)}));
}

}  // namespace orvanta
