// CReportWork: 生成报告… of the Windows window, made on a worker thread:
// the power-quality report (analysis/range_report.h) of a time range of the
// card as its HTML page in the window's language. Progress and end are
// posted to the main window as kScanProgressMessage and kScanDoneMessage.
#pragma once

#include <string>

#include "analysis/range_report.h"
#include "analysis/report_html.h"
#include "card/card_reader.h"
#include "dialogcore/ui_language.h"
#include "winui/worker_scan.h"

namespace orvanta {

struct ReportRequest {
    TimeRange range;  // the strip's range; none: the whole card
    analysis::ReportSettings settings;
    UiLanguage language = UiLanguage::kChinese;
};

// The worker's scanner. It keeps the window's reader: the window runs no
// query while a report is made, so the reader's card fields stay as read.
class CReportMaker {
public:
    explicit CReportMaker(const CCardReader& reader) : reader_(&reader) {}

    void SetProgressHook(CRangeScan::ProgressHook hook) { progress_ = std::move(hook); }
    void SetCancelHook(CRangeScan::CancelHook hook) { cancel_ = std::move(hook); }

    std::string Scan(const ReportRequest& request) const {
        analysis::CRangeReport report(*reader_, request.settings);
        report.SetProgressHook(progress_);
        report.SetCancelHook(cancel_);
        return analysis::ReportHtml(report.Make(request.range), request.language);
    }

private:
    const CCardReader* reader_;
    CRangeScan::ProgressHook progress_;
    CRangeScan::CancelHook cancel_;
};

using CReportWork = CWorkerScan<CReportMaker, ReportRequest, std::string>;

}  // namespace orvanta
