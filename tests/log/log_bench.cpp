// Ten million rows: append cost, memory per row, cell reads for the grid, and a recorded row
// arriving while the grid shows ten million rows.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <array>
#include <fstream>
#include <memory>
#include <random>

#include "log/measurement_model.h"
#include "log/recording_policy.h"
#include "log/widget/measurement_grid.h"

namespace qx {
namespace {

constexpr std::size_t kRows = 10'000'000;

std::size_t ResidentSetBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Rows as the decoder makes them: varied values, a handful of units, functions and modes.
struct RowSource {
    std::vector<std::string> values;
    std::array<std::string, 4> units{"V", "\xA6\xB8", "M\xA6\xB8", "G\xA6\xB8"};
    std::array<std::string, 6> functions{"DCV  600V",
                                         "ACV  600V",
                                         "IR:250V 2G\xA6\xB8",
                                         "IR:500V 20G\xA6\xB8",
                                         "IR:1000V 20G\xA6\xB8",
                                         "IR:2500V 100G\xA6\xB8"};
    std::array<std::string, 5> modes{"Continuous", "Timed", "PI", "COMP:NG", "COMP:GOOD"};
    RowSource() {
        for (int i = 0; i < 4096; ++i)
            values.push_back(std::to_string(i % 1000) + "." + std::to_string(i % 97));
    }
    void Fill(TableRow& row, std::size_t i) const {
        row.No = static_cast<std::int32_t>(i + 1);
        row.TimeMs = static_cast<std::int32_t>((i * 500) % 86'400'000);
        row.Value = values[i % values.size()];
        row.Unit = units[i % units.size()];
        row.V_Range = functions[(i / 7) % functions.size()];
        row.I_Range = modes[(i / 11) % modes.size()];
    }
};

MeasurementTable& SharedTable() {
    static MeasurementTable* table = [] {
        auto* t = new MeasurementTable;
        const RowSource source;
        TableRow row;
        for (std::size_t i = 0; i < kRows; ++i) {
            source.Fill(row, i);
            t->Append(row);
        }
        return t;
    }();
    return *table;
}

void BM_AppendTenMillionRows(benchmark::State& state) {
    const RowSource source;
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<MeasurementTable>();
        const std::size_t before = ResidentSetBytes();
        TableRow row;
        state.ResumeTiming();
        for (std::size_t i = 0; i < kRows; ++i) {
            source.Fill(row, i);
            table->Append(row);
        }
        state.PauseTiming();
        const std::size_t after = ResidentSetBytes();
        state.counters["rss_bytes_per_row"] = static_cast<double>(after - before) / kRows;
        state.counters["table_bytes_per_row"] = static_cast<double>(table->ResidentBytes()) / kRows;
        table.reset();
        state.ResumeTiming();
    }
    state.counters["time_per_row"] = benchmark::Counter(
        static_cast<double>(kRows),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AppendTenMillionRows)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ModelDataRandomRows(benchmark::State& state) {
    MeasurementTable& table = SharedTable();
    MeasurementModel model(table, TimeFormat("%I:%M:%S %p"));
    std::mt19937 random(42);
    std::uniform_int_distribution<int> rows(0, static_cast<int>(kRows) - 1);
    for (auto _ : state) {
        const int r = rows(random);
        for (int c = 0; c < MeasurementModel::kColumnCount; ++c)
            benchmark::DoNotOptimize(model.data(model.index(r, c), Qt::DisplayRole));
    }
    state.SetItemsProcessed(state.iterations() * MeasurementModel::kColumnCount);
}
BENCHMARK(BM_ModelDataRandomRows);

// One recorded row reaching a visible grid that already shows ten million rows: insertion,
// current row, scrolling and the repaint.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "log_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QApplication::instance()) new QApplication(argc, argv);
}

void BM_GridRecordAtTenMillionRows(benchmark::State& state) {
    EnsureApplication();
    MeasurementTable& table = SharedTable();
    const std::size_t before = ResidentSetBytes();
    MeasurementModel model(table, TimeFormat("%T"));
    MeasurementGrid grid(&model);
    grid.resize(617, 177);
    grid.show();
    QApplication::processEvents();
    state.counters["grid_rss_bytes_per_row"] =
        static_cast<double>(ResidentSetBytes() - before) / static_cast<double>(table.RowCount());

    struct Ui : RecordingUi {
        bool AskYesNo(const std::string&) override { return false; }
        void ShowErrorText(const std::string&) override {}
    } ui;
    RecordingPolicy policy(table, ui, [] { return 0; });
    policy.SetRecordLimit(INT32_MAX);
    const Reading reading{"1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous"};
    for (auto _ : state) {
        policy.INDataToTable(1, reading);
        grid.repaint();
    }
}
BENCHMARK(BM_GridRecordAtTenMillionRows)->Unit(benchmark::kMicrosecond);

// The operator drags the scroll bar anywhere in ten million rows: one jump and one repaint.
void BM_GridScrollAtTenMillionRows(benchmark::State& state) {
    EnsureApplication();
    MeasurementModel model(SharedTable(), TimeFormat("%T"));
    MeasurementGrid grid(&model);
    grid.resize(617, 177);
    grid.show();
    QApplication::processEvents();
    QScrollBar* bar = grid.verticalScrollBar();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> position(bar->minimum(), bar->maximum());
    for (auto _ : state) {
        bar->setValue(position(random));
        grid.repaint();
    }
}
BENCHMARK(BM_GridScrollAtTenMillionRows)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qx
