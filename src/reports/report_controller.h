#pragma once
// The "Print Data" command (`MajPrintClick` on `MajPrint`): prepares the test data report over
// the measurement table and opens it in the preview, keeping the table's views suspended while
// the preview is open. Owns `DataReportPages` and the one open preview. GUI thread.

#include <QPointer>
#include <functional>
#include <string>

#include "log/measurement_table.h"
#include "log/time_format.h"

class QWidget;

namespace qx {

class ReportPreview;

/// What the report needs of the window that shows the table. Suspensions nest; the last resume
/// refreshes the views once.
class TableViews {
  public:
    virtual ~TableViews() = default;
    virtual void SuspendViews() = 0;
    virtual void ResumeViews() = 0;
};

class DataReportController : private MeasurementTable::Observer {
  public:
    /// `table` is only read (it is taken non-const to watch it while a preview is open).
    /// `mainWindow`, if given, is repainted when the preview closes. `printDate` gives the text
    /// after "Print Date:" each time a report is prepared. All must outlive the controller.
    DataReportController(MeasurementTable& table, TableViews& views, QWidget* mainWindow,
                         TimeFormat timeFormat, std::function<std::string()> printDate = nullptr);
    /// Deletes an open preview without resuming the views: the window is going away.
    ~DataReportController() override;
    DataReportController(const DataReportController&) = delete;
    DataReportController& operator=(const DataReportController&) = delete;

    /// "Print Data". Sets `DataReportPages` to the page total of the table, suspends the views
    /// and opens the report in a new preview; returns at once (the preview is not modal). While
    /// a preview is open it is only brought forward.
    void MajPrintClick();

    /// Closes an open preview (the views resume as on any close).
    void ClosePreview();

    /// The table's rows were removed or replaced: an open preview's report is prepared again
    /// over the table as it is now (new `DataReportPages`). Runs on the table's reset
    /// notification and whenever the preview finds its rows gone, so it also works while the
    /// table's observers are suspended.
    void TableReset();

    int DataReportPages() const { return dataReportPages_; }
    /// The open preview, or null.
    ReportPreview* Preview() const;

  private:
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsReset() override;
    void PreviewClosed();

    MeasurementTable& table_;
    TableViews& views_;
    QWidget* mainWindow_;
    TimeFormat timeFormat_;
    std::function<std::string()> printDate_;
    int dataReportPages_ = 1;
    QPointer<ReportPreview> preview_;
};

}  // namespace qx
