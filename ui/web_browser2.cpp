#include "ui/web_browser2.h"

#include <QWebEngineHttpRequest>

namespace orvanta {

CWebBrowser2::CWebBrowser2(QWidget* parent) : QWebEngineView(parent) {
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
    load(MakeRequest(url, body, headerBlock));
}

void CWebBrowser2::ShowLocalPage(const QString& html) {
    setHtml(html);
}

QUrl CWebBrowser2::NavigableUrl(const char* serverBaseUrl) {
    if (serverBaseUrl == nullptr || serverBaseUrl[0] == '\0') {
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
