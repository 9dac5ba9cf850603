// An hour of the simulated tester's reports as a capture: parsed, and logged on the virtual clock
// (the "an hour of capture takes milliseconds" promise of qx680-cli log --replay).

#include <benchmark/benchmark.h>

#include "display/frame_encoder.h"
#include "sim/capture.h"
#include "sim/log_session.h"
#include "sim/tester_model.h"

namespace qx {
namespace {

const std::string& HourOfCapture() {
    static const std::string text = [] {
        const TesterModel model;
        const int period = model.settings().framePeriodMs;
        std::string out = std::string(kCaptureHeader) + CaptureStartLine(9 * 3600 * 1000);
        for (std::int64_t ms = 0, frame = 0; ms < 3600 * 1000; ms += period, ++frame) {
            const auto reports = FrameToReports(EncodeFrame(model.DisplayAt(ms / 1000.0, frame)));
            std::int64_t at = ms;
            for (const auto& r : reports) {
                out += CaptureLine(at, r);
                at += model.settings().reportSpacingMs;
            }
        }
        return out;
    }();
    return text;
}

void BM_ParseHourOfCapture(benchmark::State& state) {
    const std::string& text = HourOfCapture();
    for (auto _ : state) {
        auto capture = ParseCapture(text);
        benchmark::DoNotOptimize(capture);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHourOfCapture)->Unit(benchmark::kMillisecond);

void BM_ReplayLogHourOfCapture(benchmark::State& state) {
    const auto capture = ParseCapture(HourOfCapture());
    LogOptions options;
    options.repeat = state.range(0) != 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        MeasurementTable table;
        RunReplayLog(*capture, options, table);
        rows = table.RowCount();
    }
    state.counters["reports"] = static_cast<double>(capture->Size());
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ReplayLogHourOfCapture)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qx
