#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "display/reading_decoder.h"

namespace {

struct NullHooks : qx::DecoderHooks {
    explicit NullHooks(qx::LcdState& lcd) : lcd(lcd) {}
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int) override { ++records; }
    qx::LcdState& lcd;
    long records = 0;
};

void BM_ShowData680Mix(benchmark::State& state) {
    const std::vector<std::string> frames = {
        "000000000000000000000EE3A7364005B7DFD0000D0A",  // 1.234 MΩ at 500 V
        "FFFFFFF000000000000000E3A7364008B7DFD0000D0A",  // full bar graph, GΩ
        "00000001000000000000FD7D7D7D0100000000000D0A",  // DC volts
        "00000000000000000000000000000000000000000D0A",
        "000000000000000000000EE3A7364005B7DFD00X0D0A",  // bad trailer
    };
    qx::LcdState lcd = qx::LcdState::StartUp();
    NullHooks hooks(lcd);
    qx::ReadingDecoder decoder(lcd, hooks, ".");
    std::size_t i = 0;
    for (auto _ : state) {
        decoder.ShowData680(frames[i++ % frames.size()]);
        benchmark::DoNotOptimize(decoder.reading().ReadingValue.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShowData680Mix);

}  // namespace
