#pragma once
// "Print Preview": the report generator's own non-modal window over a prepared DataReport, with
// paging, zoom, printer set-up, print, save as PDF and the HTML, text and CSV exports.
// Pages are painted on demand: only the page on view is rendered, and only its one image is
// kept, so a report of any length opens at once and uses the same memory on every page.
// GUI thread.

#include <QImage>
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "reports/data_report.h"
#include "reports/report_export.h"

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace qx {

class ReportPreview : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kZoomPercents[] = {25, 50, 75, 100, 125, 150, 200, 300};
    enum class ZoomMode { FitWidth, WholePage, Percent };

    explicit ReportPreview(std::unique_ptr<DataReport> report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    DataReport& report() { return *report_; }
    const DataReport& report() const { return *report_; }

    /// The page on view, 0-based.
    int currentPage() const { return page_; }
    /// Shows `page` (clamped to the report).
    void setCurrentPage(int page);

    ZoomMode zoomMode() const { return zoomMode_; }
    /// Magnification in use: 1.0 shows the paper at its real size on the screen.
    double zoom() const { return zoom_; }
    void setZoomMode(ZoomMode mode);
    void setZoomPercent(int percent);

    /// The report was prepared again (the table's rows were replaced): shows it anew.
    void reportChanged();

    /// The current page as shown, rendered if it is not in the one-image cache.
    const QImage& currentPageImage();

    /// The printer the set-up and print commands use (created on first use: asking the print
    /// system for its printers can take a moment).
    QPrinter& printer();

  signals:
    /// The window was closed (emitted once, before it goes away).
    void closed();
    /// The table no longer holds the rows the report lists (found before a page is rendered or
    /// an output starts). A handler may prepare the report again and call reportChanged();
    /// without one, rows that are gone print blank.
    void reportOutdated();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class PageView;

    void buildToolBar();
    void updateZoom();
    void updatePageControls();
    void checkReport();
    void PageSetupClick();
    void PrintClick();
    void SaveClick(ReportFileKind kind);
    /// Runs an output under an application-modal progress dialog with Cancel; tells a failure.
    void RunOutput(const QString& label,
                   const std::function<ReportOutcome(const ReportProgress&)>& run);

    std::unique_ptr<DataReport> report_;
    std::unique_ptr<QPrinter> printer_;
    int page_ = 0;
    ZoomMode zoomMode_ = ZoomMode::FitWidth;
    double zoom_ = 1.0;
    bool closed_ = false;

    struct Cache {
        int page = -1;
        QSize pixels;
        std::uint64_t generation = 0;
        QImage image;
    } cache_;

    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageTotal_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QAction* first_ = nullptr;
    QAction* prev_ = nullptr;
    QAction* next_ = nullptr;
    QAction* last_ = nullptr;
};

}  // namespace qx
