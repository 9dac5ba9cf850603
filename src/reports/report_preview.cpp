#include "reports/report_preview.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "reports/page_painter.h"

namespace qx {
namespace {

constexpr int kGap = 12;  // grey border around the page, pixels
constexpr double kMmPerInch = 25.4;

struct SaveChoice {
    ReportFileKind kind;
    const char* action;
    const char* filter;
    const char* suffix;
};
constexpr SaveChoice kSaveChoices[] = {
    {ReportFileKind::Pdf, "Save as &PDF...", "PDF document (*.pdf)", "pdf"},
    {ReportFileKind::Html, "Export as &HTML...", "HTML document (*.html *.htm)", "html"},
    {ReportFileKind::Text, "Export as &Text...", "Text file (*.txt)", "txt"},
    {ReportFileKind::Csv, "Export as &CSV...", "Comma-separated text (*.csv)", "csv"},
};

}  // namespace

/// Shows the preview's current page image; asks for it only when painted (i.e. visible).
class ReportPreview::PageView : public QWidget {
  public:
    explicit PageView(ReportPreview* owner) : QWidget(owner), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setPageSize(QSize size) {
        setFixedSize(size);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), owner_->currentPageImage());
    }

  private:
    ReportPreview* owner_;
};

ReportPreview::ReportPreview(std::unique_ptr<DataReport> report, QWidget* parent)
    : QMainWindow(parent), report_(std::move(report)) {
    setWindowTitle(QStringLiteral("Print Preview"));
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("PreviewArea"));
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->installEventFilter(this);
    view_ = new PageView(this);
    view_->setObjectName(QStringLiteral("PreviewPage"));
    scroll_->setWidget(view_);
    setCentralWidget(scroll_);
    buildToolBar();
    resize(760, 900);
    updatePageControls();
    updateZoom();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Preview"));
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto add = [this, bar](const QString& text, QStyle::StandardPixmap icon, QKeySequence key,
                           auto slot) {
        QAction* a = bar->addAction(style()->standardIcon(icon), text);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    first_ = add(tr("First Page"), QStyle::SP_MediaSkipBackward,
                 QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { setCurrentPage(0); });
    prev_ = add(tr("Previous Page"), QStyle::SP_MediaSeekBackward, QKeySequence(Qt::Key_PageUp),
                [this] { setCurrentPage(page_ - 1); });
    pageBox_ = new QSpinBox(bar);
    pageBox_->setObjectName(QStringLiteral("PageNumber"));
    pageBox_->setKeyboardTracking(false);
    bar->addWidget(pageBox_);
    connect(pageBox_, &QSpinBox::valueChanged, this,
            [this](int value) { setCurrentPage(value - 1); });
    pageTotal_ = new QLabel(bar);
    bar->addWidget(pageTotal_);
    next_ = add(tr("Next Page"), QStyle::SP_MediaSeekForward, QKeySequence(Qt::Key_PageDown),
                [this] { setCurrentPage(page_ + 1); });
    last_ = add(tr("Last Page"), QStyle::SP_MediaSkipForward, QKeySequence(Qt::CTRL | Qt::Key_End),
                [this] { setCurrentPage(report_->PageCount() - 1); });
    // Paging buttons show icons only (their names are tool tips), so the tool bar fits.
    for (QAction* a : {first_, prev_, next_, last_})
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    first_->setObjectName(QStringLiteral("FirstPage"));
    prev_->setObjectName(QStringLiteral("PreviousPage"));
    next_->setObjectName(QStringLiteral("NextPage"));
    last_->setObjectName(QStringLiteral("LastPage"));
    bar->addSeparator();

    zoomBox_ = new QComboBox(bar);
    zoomBox_->setObjectName(QStringLiteral("Zoom"));
    zoomBox_->addItem(tr("Fit Width"));
    zoomBox_->addItem(tr("Whole Page"));
    for (int percent : kZoomPercents)
        zoomBox_->addItem(QStringLiteral("%1%").arg(percent), percent);
    bar->addWidget(zoomBox_);
    connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
        if (index == 0)
            setZoomMode(ZoomMode::FitWidth);
        else if (index == 1)
            setZoomMode(ZoomMode::WholePage);
        else
            setZoomPercent(zoomBox_->itemData(index).toInt());
    });
    bar->addSeparator();

    add(tr("Page Setup..."), QStyle::SP_FileDialogDetailedView, QKeySequence(), [this] {
        PageSetupClick();
    })->setObjectName(QStringLiteral("PageSetup"));
    add(tr("Print..."), QStyle::SP_DialogApplyButton, QKeySequence::Print, [this] {
        PrintClick();
    })->setObjectName(QStringLiteral("Print"));
    auto* saveMenu = new QMenu(this);
    for (const SaveChoice& choice : kSaveChoices) {
        QAction* a = saveMenu->addAction(tr(choice.action));
        const ReportFileKind kind = choice.kind;
        connect(a, &QAction::triggered, this, [this, kind] { SaveClick(kind); });
        if (kind == ReportFileKind::Pdf) a->setShortcut(QKeySequence::Save);
    }
    auto* save = new QToolButton(bar);
    save->setObjectName(QStringLiteral("Save"));
    save->setText(tr("Save"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    save->setPopupMode(QToolButton::InstantPopup);
    save->setMenu(saveMenu);
    addActions(saveMenu->actions());  // keeps the shortcut alive while the menu is closed
    bar->addWidget(save);
    bar->addSeparator();
    add(tr("Close"), QStyle::SP_DialogCloseButton, QKeySequence(Qt::Key_Escape),
        [this] { close(); });
}

void ReportPreview::setCurrentPage(int page) {
    page = std::clamp(page, 0, report_->PageCount() - 1);
    if (page == page_ && pageBox_->value() == page + 1) return;
    page_ = page;
    updatePageControls();
    scroll_->verticalScrollBar()->setValue(0);
    view_->update();
}

void ReportPreview::updatePageControls() {
    const int total = report_->PageCount();
    page_ = std::clamp(page_, 0, total - 1);
    const QSignalBlocker block(pageBox_);
    pageBox_->setRange(1, total);
    pageBox_->setValue(page_ + 1);
    pageTotal_->setText(tr(" of %1 ").arg(total));
    first_->setEnabled(page_ > 0);
    prev_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < total);
    last_->setEnabled(page_ + 1 < total);
    statusBar()->showMessage(
        tr("Page %1 of %2, %3 rows").arg(page_ + 1).arg(total).arg(report_->RowCount()));
}

void ReportPreview::setZoomMode(ZoomMode mode) {
    zoomMode_ = mode;
    if (mode != ZoomMode::Percent) zoomBox_->setCurrentIndex(mode == ZoomMode::FitWidth ? 0 : 1);
    updateZoom();
}

void ReportPreview::setZoomPercent(int percent) {
    zoomMode_ = ZoomMode::Percent;
    zoom_ = std::clamp(percent, 10, 800) / 100.0;
    const int index = zoomBox_->findData(percent);
    if (index >= 0) zoomBox_->setCurrentIndex(index);
    updateZoom();
}

void ReportPreview::updateZoom() {
    const ReportLayout& layout = DataReportLayout();
    const double dpi = view_->logicalDpiX();
    const double paperW = layout.pageWidthMm / kMmPerInch * dpi;
    const double paperH = layout.pageHeightMm / kMmPerInch * dpi;
    const QSize room = scroll_->viewport()->size() - QSize(2 * kGap, 2 * kGap);
    if (zoomMode_ == ZoomMode::FitWidth) zoom_ = std::max(0.1, room.width() / paperW);
    if (zoomMode_ == ZoomMode::WholePage)
        zoom_ = std::max(0.1, std::min(room.width() / paperW, room.height() / paperH));
    view_->setPageSize(QSize(static_cast<int>(std::lround(paperW * zoom_)),
                             static_cast<int>(std::lround(paperH * zoom_))));
}

void ReportPreview::checkReport() {
    if (!report_->ListsCurrentRows()) emit reportOutdated();
}

const QImage& ReportPreview::currentPageImage() {
    checkReport();
    const double ratio = view_->devicePixelRatioF();
    const QSize pixels = view_->size() * ratio;
    if (cache_.page == page_ && cache_.pixels == pixels &&
        cache_.generation == report_->generation())
        return cache_.image;
    // Reuse the one buffer: the memory is the same for every page viewed.
    if (cache_.image.size() != pixels) cache_.image = QImage(pixels, QImage::Format_RGB32);
    const double dpi = view_->logicalDpiX() * zoom_ * ratio;
    cache_.image.setDevicePixelRatio(1.0);
    cache_.image.fill(Qt::white);  // the paper's last partial pixel column and row too
    cache_.image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    cache_.image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    {
        QPainter painter(&cache_.image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        PaintReportPage(painter, *report_, page_);
    }
    cache_.image.setDevicePixelRatio(ratio);
    cache_.page = page_;
    cache_.pixels = pixels;
    cache_.generation = report_->generation();
    return cache_.image;
}

void ReportPreview::reportChanged() {
    updatePageControls();
    view_->update();
    statusBar()->showMessage(
        tr("The table changed: the report now lists its %1 rows.").arg(report_->RowCount()));
}

QPrinter& ReportPreview::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        printer_->setDocName(QStringLiteral("TEST DATA REPORT"));
    }
    return *printer_;
}

void ReportPreview::PageSetupClick() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void ReportPreview::PrintClick() {
    checkReport();
    QPrinter& p = printer();
    QPrintDialog dialog(&p, this);
    dialog.setMinMax(1, report_->PageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (dialog.exec() != QDialog::Accepted) return;
    int first = 0;
    int last = report_->PageCount() - 1;
    if (p.printRange() == QPrinter::PageRange && p.fromPage() > 0) {
        first = p.fromPage() - 1;
        last = std::max(first, p.toPage() - 1);
    } else if (p.printRange() == QPrinter::CurrentPage) {
        first = last = page_;
    }
    RunOutput(tr("Printing..."), [this, &p, first, last](const ReportProgress& progress) {
        return PrintReport(*report_, p, first, last, progress);
    });
}

void ReportPreview::SaveClick(ReportFileKind kind) {
    const SaveChoice& choice =
        *std::find_if(std::begin(kSaveChoices), std::end(kSaveChoices),
                      [kind](const SaveChoice& c) { return c.kind == kind; });
    QString path = QFileDialog::getSaveFileName(
        this, tr(choice.action).remove(QLatin1Char('&')).remove(QStringLiteral("...")),
        QStringLiteral("Report.%1").arg(QLatin1String(choice.suffix)), tr(choice.filter));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + QLatin1String(choice.suffix);
    checkReport();
    RunOutput(tr("Writing %1...").arg(QFileInfo(path).fileName()),
              [this, kind, path](const ReportProgress& progress) {
                  return WriteReportFile(*report_, kind, path, progress);
              });
}

void ReportPreview::RunOutput(const QString& label,
                              const std::function<ReportOutcome(const ReportProgress&)>& run) {
    QProgressDialog dialog(label, tr("Cancel"), 0, report_->PageCount(), this);
    dialog.setWindowTitle(windowTitle());
    // Application-modal: the table cannot be cleared or loaded while pages are written, yet
    // readings keep arriving because events are still processed.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(400);
    QElapsedTimer sinceUpdate;
    sinceUpdate.start();
    const ReportOutcome outcome = run([&](int done, int total) {
        if (done == total || sinceUpdate.elapsed() >= 50) {
            dialog.setMaximum(total);
            dialog.setValue(done);
            sinceUpdate.restart();
        }
        return !dialog.wasCanceled();
    });
    dialog.reset();
    if (outcome.cancelled) {
        statusBar()->showMessage(tr("Cancelled."), 4000);
    } else if (!outcome.ok) {
        QMessageBox::warning(this, windowTitle(), QString::fromLocal8Bit(outcome.message.c_str()));
    } else {
        statusBar()->showMessage(tr("Done."), 4000);
    }
}

void ReportPreview::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && !closed_) {
        closed_ = true;
        emit closed();
    }
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize &&
        zoomMode_ != ZoomMode::Percent)
        updateZoom();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace qx
