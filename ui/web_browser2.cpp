#include "ui/web_browser2.h"

#include <QTimer>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>

#include "dialogcore/html_text.h"
#include "request/http_address.h"

namespace orvanta {
namespace {

// Lets the engine follow a server's redirect only within the origin the
// request was posted to, as orvanta-query does: the credentials and the form
// never go to another host, nor from https to http.
class CRedirectGuardPage : public QWebEnginePage {
public:
    explicit CRedirectGuardPage(CWebBrowser2* browser) : QWebEnginePage(browser), browser_(browser) {}

    void SetOrigin(const QUrl& url) { origin_ = url.toString(QUrl::FullyEncoded).toStdString(); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeRedirect && !origin_.empty()) {
            const RedirectVerdict verdict = JudgeRedirect(origin_, url.toString(QUrl::FullyEncoded).toStdString());
            if (!verdict.follow) {
                const QString why = QString::fromStdString(verdict.refusal).toHtmlEscaped();
                QTimer::singleShot(0, browser_, [browser = browser_, why] {
                    browser->ShowLocalPage(
                        QStringLiteral(
                            "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>重定向未跟随</title>"
                            "%1</head><body><h3>重定向未跟随 / Redirect not followed</h3>"
                            "<p>服务器把请求转到了另一个地址；用户名、密码和表单只发往配置的服务器。</p>"
                            "<p lang=\"en\">%2</p></body></html>")
                            .arg(QLatin1String(LocalPageStyle()), why));
                });
                return false;
            }
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    CWebBrowser2* browser_;
    std::string origin_;
};

}  // namespace

CWebBrowser2::CWebBrowser2(QWidget* parent) : QWebEngineView(parent) {
    setPage(new CRedirectGuardPage(this));
    connect(this, &QWebEngineView::loadFinished, this, &CWebBrowser2::documentComplete);
}

CWebBrowser2::~CWebBrowser2() = default;

std::vector<std::pair<QByteArray, QByteArray>> CWebBrowser2::ParseHeaderBlock(const std::string& headerBlock) {
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    std::size_t start = 0;
    while (start < headerBlock.size()) {
        std::size_t end = headerBlock.find("\r\n", start);
        if (end == std::string::npos) {
            end = headerBlock.size();
        }
        const std::string line = headerBlock.substr(start, end - start);
        start = end + 2;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) {
            continue;
        }
        std::size_t valueStart = colon + 1;
        while (valueStart < line.size() && (line[valueStart] == ' ' || line[valueStart] == '\t')) {
            ++valueStart;
        }
        headers.emplace_back(QByteArray(line.data(), static_cast<qsizetype>(colon)),
                             QByteArray(line.data() + valueStart, static_cast<qsizetype>(line.size() - valueStart)));
    }
    return headers;
}

QWebEngineHttpRequest CWebBrowser2::MakeRequest(const QUrl& url, const std::vector<std::uint8_t>& body,
                                                const std::string& headerBlock) {
    QWebEngineHttpRequest request(url, QWebEngineHttpRequest::Post);
    request.setPostData(QByteArray(reinterpret_cast<const char*>(body.data()), static_cast<qsizetype>(body.size())));
    // Header values are the configuration's 8-bit text; they travel as the
    // same bytes, so a user name in the locale's encoding reaches the server
    // unchanged.
    for (const auto& header : ParseHeaderBlock(headerBlock)) {
        request.setHeader(header.first, header.second);
    }
    return request;
}

void CWebBrowser2::Navigate(const QUrl& url, const std::vector<std::uint8_t>& body, const std::string& headerBlock) {
    if (auto* guard = dynamic_cast<CRedirectGuardPage*>(page())) guard->SetOrigin(url);
    load(MakeRequest(url, body, headerBlock));
}

void CWebBrowser2::ShowLocalPage(const QString& html) {
    setHtml(html);
}

QUrl CWebBrowser2::NavigableUrl(const char* serverBaseUrl) {
    // The same rule as orvanta-query's: "127.0.0.1:47010/analysis" has no
    // scheme and is refused by both.
    if (serverBaseUrl == nullptr || !ParseHttpAddress(serverBaseUrl, nullptr)) {
        return QUrl();
    }
    const QUrl url(QString::fromLocal8Bit(serverBaseUrl).trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        return QUrl();
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        return QUrl();
    }
    return url;
}

}  // namespace orvanta
