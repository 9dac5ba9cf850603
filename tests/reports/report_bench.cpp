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

double ResidentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024 * 1024) : 0;
}

void EnsureApp() {
    static int argc = 1;
    static char name[] = "reports_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

void Fill(MeasurementTable& table, std::size_t rows) {
    while (table.RowCount() < rows) {
        const auto i = static_cast<std::int32_t>(table.RowCount());
        table.Append({i + 1, (i * 997) % 86'400'000, std::to_string(i % 1000) + ".25",
                      i % 2 ? "M\xA6\xB8" : "G\xA6\xB8", "IR:1000V 40G\xA6\xB8", "Continuous"});
    }
}

MeasurementTable& MillionRows() {
    static MeasurementTable table;
    Fill(table, 1'000'000);
    return table;
}

/// Streams every page of a report into a PDF; pages per second in the counters.
void BM_PdfExport(benchmark::State& state) {
    EnsureApp();
    MeasurementTable table;
    Fill(table, static_cast<std::size_t>(state.range(0)) * 37);
    DataReport report(table, ReportSettings{"12/11/26", TimeFormat("%I:%M:%S %p")});
    report.QuickRep1BeforePrint(PageTotal(table.RowCount()));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    qint64 bytes = 0;
    const double before = ResidentMegabytes();
    for (auto _ : state) {
        const ReportOutcome outcome = WriteReportFile(report, ReportFileKind::Pdf, path);
        if (!outcome.ok) state.SkipWithError(outcome.message.c_str());
        bytes = QFile(path).size();
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(report.PageCount()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/page"] = static_cast<double>(bytes) / report.PageCount();
    state.counters["rss_growth_MB"] = ResidentMegabytes() - before;
}
BENCHMARK(BM_PdfExport)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// From "Print Data" on a 1,000,000-row table to the first page rendered in the preview.
void BM_FirstPreviewPage(benchmark::State& state) {
    EnsureApp();
    MeasurementTable& table = MillionRows();
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
    MeasurementTable& table = MillionRows();
    DataReport* raw = nullptr;
    auto report = std::make_unique<DataReport>(table, ReportSettings{"12/11/26", TimeFormat("%T")});
    raw = report.get();
    raw->QuickRep1BeforePrint(raw->PageCount());
    ReportPreview preview(std::move(report));
    preview.resize(800, 1000);
    preview.show();
    QApplication::processEvents();
    int page = 0;
    auto step = [&] {
        page = (page + 997) % raw->PageCount();
        preview.setCurrentPage(page);
        benchmark::DoNotOptimize(preview.currentPageImage().constBits());
    };
    for (int i = 0; i < 50; ++i) step();  // warm: fonts and the one page image exist
    const double before = ResidentMegabytes();
    for (auto _ : state) step();
    state.counters["rss_growth_MB"] = ResidentMegabytes() - before;
    state.counters["pages_viewed"] = static_cast<double>(state.iterations());
}
BENCHMARK(BM_PreviewPaging)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace
}  // namespace qx
