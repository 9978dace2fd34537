#include "ui/events_panel.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "card/event_csv.h"
#include "card/local_time.h"
#include "dialogcore/event_list.h"
#include "request/client_settings.h"
#include "ui/events_scan_runner.h"
#include "ui/events_strings.h"
#include "ui/export_files.h"
#include "ui/record_export.h"
#include "ui/ui_strings.h"

namespace orvanta {

namespace {

int Column(EventsColumn column) { return static_cast<int>(column); }

QString TimeText(std::int32_t time) { return QString::fromStdString(FormatLocalStandard(time)); }

QString KindText(const PowerEvent& event) {
    const char* kind = event.kind == EventKind::kSwell          ? text::kEventSwell
                       : event.kind == EventKind::kInterruption ? text::kEventInterruption
                                                                : text::kEventDip;
    return event.ended ? text::Tr(kind) : text::Tr(text::kEventNotEnded).arg(text::Tr(kind));
}

// A cell that sorts by its number, not by its text.
QTableWidgetItem* NumberItem(qlonglong value) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

CEventsPanel::CEventsPanel(const CCardReader& reader, const std::string& iniPath, QWidget* parent)
    : QDialog(parent), reader_(reader), iniPath_(iniPath) {
    setObjectName(QStringLiteral("eventsPanel"));
    setWindowTitle(text::Tr(text::kEventsCaption));
    runner_ = new CEventsScanRunner(this);
    connect(runner_, &CEventsScanRunner::finished, this, &CEventsPanel::OnScanFinished);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        progress_->setValue(runner_->Percent());
        status_->setText(text::Tr(text::kEventsScanning).arg(runner_->Percent()));
    });

    findAction_ = new QAction(text::Tr(text::kFindEvents), this);
    findAction_->setObjectName(QStringLiteral("findEventsAction"));
    findAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    findAction_->setShortcutContext(Qt::WindowShortcut);

    nominal_ = new QSpinBox(this);
    nominal_->setObjectName(QStringLiteral("nominalVoltage"));
    nominal_->setRange(1, kMaxNominalVolts);
    nominal_->setSuffix(QStringLiteral(" V"));
    nominal_->setValue(kDefaultNominalVolts);
    scan_ = new QPushButton(text::Tr(text::kEventsScan), this);
    cancel_ = new QPushButton(text::Tr(text::kEventsCancel), this);
    cancel_->setEnabled(false);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(text::Tr(text::kEventsNominal), this));
    top->addWidget(nominal_);
    top->addWidget(scan_);
    top->addWidget(cancel_);
    top->addStretch(1);

    range_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setVisible(false);

    list_ = new QTableWidget(0, kEventsColumnCount, this);
    list_->setObjectName(QStringLiteral("eventsList"));
    list_->setHorizontalHeaderLabels({text::Tr(text::kEventsKindColumn), text::Tr(text::kEventsStartColumn),
                                      text::Tr(text::kEventsDurationColumn), text::Tr(text::kEventsExtremeColumn)});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setSortingEnabled(true);
    list_->sortByColumn(Column(EventsColumn::kStart), Qt::AscendingOrder);

    status_ = new QLabel(this);
    export_ = new QPushButton(text::Tr(text::kEventsExport), this);
    export_->setEnabled(false);
    auto* close = new QPushButton(text::Tr(text::kEventsClose), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(export_);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(range_);
    layout->addWidget(progress_);
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);
    resize(520, 420);
    layout->activate();  // its controls have their sizes before it is first shown

    connect(scan_, &QPushButton::clicked, this, &CEventsPanel::Rescan);
    connect(cancel_, &QPushButton::clicked, this, &CEventsPanel::CancelScan);
    connect(export_, &QPushButton::clicked, this, &CEventsPanel::OnExport);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(list_, &QTableWidget::cellClicked, this, [this](int row, int) { emit eventChosen(EventInRow(row).start); });
}

CEventsPanel::~CEventsPanel() = default;

void CEventsPanel::FindEvents(std::int32_t from, std::int32_t to) {
    request_.range = TimeRange();
    if (from < to) {
        request_.range.hasFrom = request_.range.hasTo = true;
        request_.range.from = from;
        request_.range.to = to;
        range_->setText(text::Tr(text::kEventsRange).arg(TimeText(from), TimeText(to)));
    } else {
        range_->setText(text::Tr(text::kEventsWholeCard));
    }
    nominal_->setValue(ReadNominalVoltage(iniPath_));
    show();
    raise();
    activateWindow();
    Rescan();
}

void CEventsPanel::Rescan() {
    request_.nominalVolts = nominal_->value();
    events_.clear();
    ShowEvents();
    runner_->Start(CEventScan(reader_), request_);
    SetScanning(true);
}

void CEventsPanel::CancelScan() { runner_->Cancel(); }

bool CEventsPanel::IsScanning() const { return runner_->IsRunning(); }

void CEventsPanel::SetScanning(bool scanning) {
    scan_->setEnabled(!scanning);
    cancel_->setEnabled(scanning);
    progress_->setValue(0);
    progress_->setVisible(scanning);
    if (scanning) {
        progressTimer_->start();
        status_->setText(text::Tr(text::kEventsScanning).arg(0));
    } else {
        progressTimer_->stop();
    }
}

void CEventsPanel::OnScanFinished(const EventScanResult& result) {
    SetScanning(false);
    events_ = result.events;
    ShowEvents();
    QString status;
    switch (EventsNoteOf(result)) {
    case EventsNote::kNoDevice:
        status = text::Tr(text::kEventsNoDevice);
        break;
    case EventsNote::kNoRecords:
        status = text::Tr(text::kOverviewNoRecords);
        break;
    case EventsNote::kCancelled:
        status = text::Tr(text::kEventsCancelled);
        break;
    case EventsNote::kCardGone:
        status = text::Tr(text::kEventsCardGone);
        break;
    case EventsNote::kEmptyRange:
        status = text::Tr(text::kOverviewEmptyRange);
        break;
    case EventsNote::kNone:
        status = text::Tr(text::kEventsNone).arg(result.records);
        break;
    case EventsNote::kFound:
        status = text::Tr(text::kEventsFound).arg(events_.size()).arg(result.records);
        break;
    }
    status_->setText(status);
    emit eventsFound(events_);
}

void CEventsPanel::ShowEvents() {
    list_->setSortingEnabled(false);
    list_->setRowCount(static_cast<int>(events_.size()));
    for (std::size_t i = 0; i < events_.size(); ++i) {
        const PowerEvent& event = events_[i];
        const int row = static_cast<int>(i);
        auto* kind = new QTableWidgetItem(KindText(event));
        kind->setData(Qt::UserRole, static_cast<qulonglong>(i));
        list_->setItem(row, Column(EventsColumn::kKind), kind);
        list_->setItem(row, Column(EventsColumn::kStart), new QTableWidgetItem(TimeText(event.start)));
        list_->setItem(row, Column(EventsColumn::kDuration), NumberItem(event.DurationSeconds()));
        list_->setItem(row, Column(EventsColumn::kExtreme), NumberItem(event.extreme));
    }
    list_->setSortingEnabled(true);
    list_->resizeColumnsToContents();
    export_->setEnabled(!events_.empty());
}

const PowerEvent& CEventsPanel::EventInRow(int row) const {
    return events_.at(list_->item(row, Column(EventsColumn::kKind))->data(Qt::UserRole).toULongLong());
}

QString CEventsPanel::StatusText() const { return status_->text(); }

bool CEventsPanel::ExportCsv(const QString& path) {
    const std::string csv = EventsCsv(events_);
    QString error;
    const bool ok =
        CRecordExport::WriteFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())), &error);
    lastMessage_ = ExportOutcomeText(ok, path, error);
    ShowExportOutcome(this, ok, lastMessage_);
    return ok;
}

QString CEventsPanel::DefaultFileName() const {
    if (!request_.range.hasFrom || !request_.range.hasTo) return QStringLiteral("events-whole-card.csv");
    return QStringLiteral("events-%1-%2.csv")
        .arg(ExportFileStamp(request_.range.from), ExportFileStamp(request_.range.to));
}

void CEventsPanel::OnExport() {
    const QString proposal = QDir(LastExportFolder()).filePath(DefaultFileName());
    const QString path = QFileDialog::getSaveFileName(this, text::Tr(text::kEventsExport).remove(QChar(0x2026)),
                                                      proposal, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) return;
    RememberExportFolder(path);
    ExportCsv(path);
}

}  // namespace orvanta
