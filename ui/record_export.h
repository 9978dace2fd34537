// The window's exports of what it shows: the browser's page as an A4 PDF,
// printed by the browser engine itself, and the record of the last query as
// CSV (the same text orvanta-query --csv writes).
#pragma once

#include <QString>

#include "card/card_reader.h"

namespace orvanta {

class CWebBrowser2;

class CRecordExport {
public:
    // Starts printing the page shown to `path` (A4, portrait); the browser's
    // page reports the end with pdfPrintingFinished.
    static void SavePageAsPdf(CWebBrowser2& browser, const QString& path);

    // Writes the reader's last record as CSV; false with *error on failure.
    static bool WriteRecordCsv(const CCardReader& reader, const QString& path, QString* error);
};

}  // namespace orvanta
