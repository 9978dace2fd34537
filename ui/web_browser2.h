// CWebBrowser2: the embedded browser of the main window. It posts a query's
// form body with its header lines to the analysis server and shows the answer
// page; every finished load, successful or not, is reported as
// documentComplete on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QUrl>
#include <QWebEngineView>

class QWebEngineHttpRequest;

namespace orvanta {

class CWebBrowser2 : public QWebEngineView {
    Q_OBJECT

public:
    explicit CWebBrowser2(QWidget* parent = nullptr);
    ~CWebBrowser2() override;

    // Loads `url` by HTTP POST with exactly the bytes of `body` and one
    // request header for each "Name: value" line of `headerBlock` (lines end
    // with CR LF). Returns at once; the copies the request needs are taken
    // before it returns.
    void Navigate(const QUrl& url, const std::vector<std::uint8_t>& body, const std::string& headerBlock);

    // Shows a page made here, without the network. Its end is reported as
    // documentComplete like any other load.
    void ShowLocalPage(const QString& html);

    // The POST request Navigate loads.
    static QWebEngineHttpRequest MakeRequest(const QUrl& url, const std::vector<std::uint8_t>& body,
                                             const std::string& headerBlock);

    // The header lines of a block as name and value bytes: each line is cut
    // at its first ':', blanks after the colon are dropped; lines without a
    // colon or with an empty name are left out.
    static std::vector<std::pair<QByteArray, QByteArray>> ParseHeaderBlock(const std::string& headerBlock);

    // The address the browser can navigate to for a configured server
    // address (8-bit text in the locale's encoding): an absolute http or
    // https URL with a host. Anything else gives an invalid QUrl.
    static QUrl NavigableUrl(const char* serverBaseUrl);

signals:
    // A document finished loading; ok is false for a failed load.
    void documentComplete(bool ok);
};

}  // namespace orvanta
