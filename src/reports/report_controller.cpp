#include "reports/report_controller.h"

#include <QWidget>

#include "reports/data_report.h"
#include "reports/report_layout.h"
#include "reports/report_preview.h"

namespace qx {

DataReportController::DataReportController(MeasurementTable& table, TableViews& views,
                                           QWidget* mainWindow, TimeFormat timeFormat,
                                           std::function<std::string()> printDate)
    : table_(table),
      views_(views),
      mainWindow_(mainWindow),
      timeFormat_(std::move(timeFormat)),
      printDate_(printDate ? std::move(printDate) : UserShortDateToday) {}

DataReportController::~DataReportController() {
    if (preview_) {
        table_.RemoveObserver(this);
        preview_->disconnect();
        delete preview_.data();
    }
}

void DataReportController::MajPrintClick() {
    if (preview_) {
        // One preview at a time: a second request must not disturb the open one.
        preview_->showNormal();
        preview_->raise();
        preview_->activateWindow();
        return;
    }
    dataReportPages_ = PageTotal(table_.RowCount());
    views_.SuspendViews();
    try {
        auto report =
            std::make_unique<DataReport>(table_, ReportSettings{printDate_(), timeFormat_});
        report->QuickRep1BeforePrint(dataReportPages_);
        auto* preview = new ReportPreview(std::move(report));
        preview->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(preview, &ReportPreview::closed, preview, [this] { PreviewClosed(); });
        QObject::connect(preview, &ReportPreview::reportOutdated, preview,
                         [this] { TableReset(); });
        preview_ = preview;
        table_.AddObserver(this);
        preview->show();
    } catch (...) {
        // The views must not stay frozen because the preview could not open.
        if (preview_) {
            table_.RemoveObserver(this);
            delete preview_.data();
        }
        views_.ResumeViews();
        throw;
    }
}

ReportPreview* DataReportController::Preview() const { return preview_; }

void DataReportController::ClosePreview() {
    if (preview_) preview_->close();
}

void DataReportController::PreviewClosed() {
    table_.RemoveObserver(this);
    preview_ = nullptr;  // it deletes itself once the close has been handled
    if (mainWindow_) mainWindow_->update();
    views_.ResumeViews();
}

// Rows recorded while the preview is open are not listed: the report reads only the rows below
// the count it took when it was prepared, and the table only grows at its end.
void DataReportController::RowsAppended(std::size_t, std::size_t) {}

void DataReportController::RowsReset() {
    TableReset();
}

// The rows the report was prepared over are gone (cleared, or replaced by a load). The report
// holds no copy of them, so it is prepared again over the table as it is now, with a new page
// total, rather than show rows that no longer belong together.
void DataReportController::TableReset() {
    if (!preview_) return;
    dataReportPages_ = PageTotal(table_.RowCount());
    preview_->report().Prepare();
    preview_->report().QuickRep1BeforePrint(dataReportPages_);
    preview_->reportChanged();
}

}  // namespace qx
