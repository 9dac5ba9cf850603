// The "Print Data" command and its preview window: one preview at a time, views frozen while
// it is open, pages rendered on demand, the table changing underneath.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QSpinBox>
#include <QWidget>

#include "reports/report_controller.h"
#include "reports/report_layout.h"
#include "reports/report_preview.h"

namespace qx {
namespace {

int argc = 1;
char arg0[] = "reports_tests";
char* argv[] = {arg0, nullptr};

struct CountingViews : TableViews {
    void SuspendViews() override { ++suspends, ++depth; }
    void ResumeViews() override { ++resumes, --depth; }
    int suspends = 0;
    int resumes = 0;
    int depth = 0;
};

/// Rows numbered from 1, a second apart from `startMs`.
void Fill(MeasurementTable& table, int rows, int startMs = 0) {
    for (int i = 0; i < rows; ++i)
        table.Append(
            {i + 1, startMs + 1000 * i, "1.00", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Timed"});
}

class PreviewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    void TearDown() override { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    MeasurementTable table;
    CountingViews views;
    QWidget mainWindow;
    DataReportController controller{table, views, &mainWindow, TimeFormat("%H:%M:%S"),
                                    [] { return std::string("11.12.2026"); }};
};

TEST_F(PreviewTest, PrintDataOpensOnePreviewAndFreezesTheViewsUntilItCloses) {
    Fill(table, 75);
    EXPECT_EQ(controller.DataReportPages(), 1);  // the start value
    controller.MajPrintClick();
    ReportPreview* preview = controller.Preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_EQ(controller.DataReportPages(), 3);
    EXPECT_EQ(preview->report().Allpage(), "3");
    EXPECT_EQ(preview->report().PrintDate(), "11.12.2026");
    EXPECT_EQ(views.depth, 1);

    Fill(table, 40);  // recorded while the preview is open: not listed, the open one undisturbed
    controller.MajPrintClick();
    EXPECT_EQ(controller.Preview(), preview);
    EXPECT_EQ(views.suspends, 1);
    EXPECT_EQ(preview->report().RowCount(), 75U);
    EXPECT_EQ(controller.DataReportPages(), 3);

    preview->close();
    EXPECT_EQ(controller.Preview(), nullptr);
    EXPECT_EQ(views.resumes, 1);
    EXPECT_EQ(views.depth, 0);

    controller.MajPrintClick();  // the next report lists the new rows
    EXPECT_EQ(controller.DataReportPages(), 4);
    ASSERT_NE(controller.Preview(), nullptr);
    EXPECT_EQ(controller.Preview()->report().RowCount(), 115U);
    controller.ClosePreview();
    EXPECT_EQ(views.depth, 0);
    EXPECT_EQ(views.resumes, 2);
}

TEST_F(PreviewTest, PagingClampsToTheReport) {
    Fill(table, 75);
    controller.MajPrintClick();
    ReportPreview& preview = *controller.Preview();
    auto action = [&](const char* name) {
        return preview.findChild<QAction*>(QString::fromLatin1(name));
    };
    auto* pageBox = preview.findChild<QSpinBox*>(QStringLiteral("PageNumber"));
    ASSERT_NE(pageBox, nullptr);
    EXPECT_EQ(pageBox->maximum(), 3);
    EXPECT_FALSE(action("PreviousPage")->isEnabled());
    action("NextPage")->trigger();
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(pageBox->value(), 2);
    action("LastPage")->trigger();
    EXPECT_EQ(preview.currentPage(), 2);
    EXPECT_FALSE(action("NextPage")->isEnabled());
    preview.setCurrentPage(99);
    EXPECT_EQ(preview.currentPage(), 2);
    pageBox->setValue(1);
    EXPECT_EQ(preview.currentPage(), 0);
    action("FirstPage")->trigger();
    EXPECT_EQ(preview.currentPage(), 0);
}

TEST_F(PreviewTest, ZoomSizesThePageAndRendersOnlyThePageOnView) {
    Fill(table, 75);
    controller.MajPrintClick();
    ReportPreview& preview = *controller.Preview();
    preview.resize(700, 800);
    QApplication::processEvents();
    auto* page = preview.findChild<QWidget*>(QStringLiteral("PreviewPage"));
    auto* area = preview.findChild<QScrollArea*>(QStringLiteral("PreviewArea"));
    ASSERT_TRUE(page && area);

    EXPECT_EQ(preview.zoomMode(), ReportPreview::ZoomMode::FitWidth);
    EXPECT_LE(page->width(), area->viewport()->width());
    EXPECT_GT(page->width(), area->viewport()->width() - 40);

    preview.setZoomMode(ReportPreview::ZoomMode::WholePage);
    EXPECT_LE(page->height(), area->viewport()->height());

    preview.setZoomPercent(100);
    const double dpi = page->logicalDpiX();
    EXPECT_NEAR(page->width(), 210 / 25.4 * dpi, 1.0);
    EXPECT_NEAR(page->height(), 297 / 25.4 * dpi, 1.0);

    const QImage first = preview.currentPageImage();
    EXPECT_EQ(first.size(), page->size() * page->devicePixelRatioF());
    preview.setCurrentPage(2);
    EXPECT_NE(preview.currentPageImage(), first);
}

TEST_F(PreviewTest, TableClearedOrReplacedWhileOpenPreparesTheReportAgain) {
    Fill(table, 100);
    controller.MajPrintClick();
    ReportPreview& preview = *controller.Preview();
    preview.setCurrentPage(2);
    (void)preview.currentPageImage();

    table.Clear();
    EXPECT_EQ(preview.report().RowCount(), 0U);
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_EQ(controller.DataReportPages(), 1);
    EXPECT_EQ(preview.report().Allpage(), "1");
    EXPECT_FALSE(preview.currentPageImage().isNull());

    MeasurementTable loaded;
    Fill(loaded, 40);
    table.SwapRows(loaded);
    EXPECT_EQ(preview.report().RowCount(), 40U);
    EXPECT_EQ(controller.DataReportPages(), 2);
    EXPECT_EQ(views.suspends, 1);  // still the one suspension
}

// The window may freeze the grid by suspending the table's observers: then the report hears
// of no reset and must find out by itself before it paints or writes.
TEST(PreviewBulkTest, RowsReplacedWhileTheTableIsSilentAreFoundBeforePainting) {
    MeasurementTable table;
    struct BulkViews : TableViews {
        explicit BulkViews(MeasurementTable& t) : table(t) {}
        void SuspendViews() override { table.BeginBulk(); }
        void ResumeViews() override { table.EndBulk(); }
        MeasurementTable& table;
    } views(table);
    DataReportController controller(table, views, nullptr, TimeFormat("%T"),
                                    [] { return std::string("d"); });
    Fill(table, 100);
    controller.MajPrintClick();
    ReportPreview& preview = *controller.Preview();
    preview.setCurrentPage(2);

    table.Clear();
    Fill(table, 150, 60'000);  // recorded anew after the clear: more rows than were listed
    EXPECT_EQ(preview.report().RowCount(), 100U);
    EXPECT_FALSE(preview.report().ListsCurrentRows());
    (void)preview.currentPageImage();
    EXPECT_TRUE(preview.report().ListsCurrentRows());
    EXPECT_EQ(preview.report().RowCount(), 150U);
    EXPECT_EQ(controller.DataReportPages(), 5);
    EXPECT_EQ(preview.report().Allpage(), "5");

    Fill(table, 10, 90'000);  // appended rows leave the report as it is
    EXPECT_TRUE(preview.report().ListsCurrentRows());
    controller.ClosePreview();
    EXPECT_FALSE(table.InBulk());
}

TEST_F(PreviewTest, DestroyingTheControllerTakesTheOpenPreviewAlong) {
    auto owned = std::make_unique<DataReportController>(table, views, nullptr, TimeFormat("%T"));
    owned->MajPrintClick();
    QPointer<ReportPreview> preview = owned->Preview();
    ASSERT_TRUE(preview);
    owned.reset();
    EXPECT_FALSE(preview);
    table.Clear();  // no observer left behind
    Fill(table, 1);
}

}  // namespace
}  // namespace qx
