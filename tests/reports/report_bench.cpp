// PDF export speed (pages per second) and the time to the first preview page of a
// 1,000,000-row table.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "reports/data_report.h"
#include "reports/report_controller.h"
#include "reports/report_export.h"
#include "reports/report_layout.h"
#include "reports/report_preview.h"

namespace qx {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "reports_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

const MeasurementTable& Table(std::size_t rows) {
    static MeasurementTable table;
    while (table.RowCount() < rows) {
        const auto i = static_cast<std::int32_t>(table.RowCount());
        table.Append({i + 1, (i * 997) % 86'400'000, std::to_string(i % 1000) + ".25",
                      i % 2 ? "M\xA6\xB8" : "G\xA6\xB8", "IR:1000V 40G\xA6\xB8", "Continuous"});
    }
    return table;
}

/// Streams every page of a report into a PDF; pages per second in the counters.
void BM_PdfExport(benchmark::State& state) {
    EnsureApp();
    const std::size_t rows = static_cast<std::size_t>(state.range(0)) * 37;
    const MeasurementTable& table = Table(1'000'000);
    // A report over the first `rows` rows: prepared on a table of that size.
    MeasurementTable part;
    for (std::size_t i = 0; i < rows; ++i) part.Append(table.Row(i));
    DataReport report(part, ReportSettings{"12/11/26", TimeFormat("%I:%M:%S %p")});
    report.QuickRep1BeforePrint(PageTotal(part.RowCount()));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        const ReportOutcome outcome = WriteReportFile(report, ReportFileKind::Pdf, path);
        if (!outcome.ok) state.SkipWithError(outcome.message.c_str());
        bytes = QFile(path).size();
    }
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(report.PageCount()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/page"] = static_cast<double>(bytes) / report.PageCount();
}
BENCHMARK(BM_PdfExport)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

/// From "Print Data" on a 1,000,000-row table to the first page rendered in the preview.
void BM_FirstPreviewPage(benchmark::State& state) {
    EnsureApp();
    auto& table = const_cast<MeasurementTable&>(Table(1'000'000));
    struct NoViews : TableViews {
        void SuspendViews() override {}
        void ResumeViews() override {}
    } views;
    for (auto _ : state) {
        DataReportController controller(table, views, nullptr, TimeFormat("%I:%M:%S %p"));
        controller.MajPrintClick();
        ReportPreview* preview = controller.Preview();
        QApplication::processEvents();
        benchmark::DoNotOptimize(preview->currentPageImage().constBits());
        state.PauseTiming();
        controller.ClosePreview();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["pages"] = PageTotal(table.RowCount());
}
BENCHMARK(BM_FirstPreviewPage)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Paging through a 1,000,000-row preview: the time per page and the memory stay flat.
void BM_PreviewPaging(benchmark::State& state) {
    EnsureApp();
    auto& table = const_cast<MeasurementTable&>(Table(1'000'000));
    DataReport* raw = nullptr;
    auto report = std::make_unique<DataReport>(table, ReportSettings{"12/11/26", TimeFormat("%T")});
    raw = report.get();
    raw->QuickRep1BeforePrint(raw->PageCount());
    ReportPreview preview(std::move(report));
    preview.resize(800, 1000);
    preview.show();
    QApplication::processEvents();
    int page = 0;
    for (auto _ : state) {
        page = (page + 997) % raw->PageCount();
        preview.setCurrentPage(page);
        benchmark::DoNotOptimize(preview.currentPageImage().constBits());
    }
}
BENCHMARK(BM_PreviewPaging)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace qx
