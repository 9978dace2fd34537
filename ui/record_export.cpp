#include "ui/record_export.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QWebEnginePage>

#include "request/record_csv.h"
#include "ui/web_browser2.h"

namespace orvanta {

void CRecordExport::SavePageAsPdf(CWebBrowser2& browser, const QString& path) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                         QPageLayout::Millimeter);
    browser.page()->printToPdf(path, a4);
}

bool CRecordExport::WriteRecordCsv(const CCardReader& reader, const QString& path, QString* error) {
    const std::string csv = BuildRecordCsv(reader);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) || !file.flush()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace orvanta
