#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "display/reading_decoder.h"
#include "link/frame_assembler.h"
#include "link/hid_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// The cable's stream: 8-byte reports with count 0xF7 (7 data bytes), the rest of a frame in a
// shorter report, then an 8-byte report without count between frames.
std::vector<Bytes> Reports(const std::vector<std::string>& frames, std::size_t repeat) {
    std::vector<Bytes> out;
    for (std::size_t k = 0; k < repeat; ++k) {
        const Bytes frame = FromHex(frames[k % frames.size()]);
        for (std::size_t i = 0; i < frame.size(); i += 7) {
            const std::size_t n = std::min<std::size_t>(7, frame.size() - i);
            Bytes r(8, 0);
            r[0] = static_cast<std::uint8_t>(0xF0 | n);
            std::copy(frame.begin() + i, frame.begin() + i + n, r.begin() + 1);
            out.push_back(r);
        }
        out.push_back(Bytes(8, 0xF0));
    }
    return out;
}

const std::vector<std::string> kFrames = {
    "000000000000000000000EE3A7364005B7DFD0000D0A",
    "FFFFFFF000000000000000E3A7364008B7DFD0000D0A",
    "00000001000000000000FD7D7D7D0100000000000D0A",
    "00000000000000000000000000000000000000000D0A",
};

void BM_AssemblerThroughput(benchmark::State& state) {
    const std::vector<Bytes> reports = Reports(kFrames, 1000);
    std::size_t bytes = 0;
    for (const Bytes& r : reports) bytes += r.size();
    long frames = 0;
    qx::FrameAssembler assembler([&](const std::string& f) {
        benchmark::DoNotOptimize(f.data());
        ++frames;
    });
    for (auto _ : state)
        for (const Bytes& r : reports) assembler.Read470(0, r);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AssemblerThroughput);

struct PublishingHooks : qx::DecoderHooks {
    explicit PublishingHooks(qx::LcdState& lcd) : lcd(lcd) {}
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int) override {}
    qx::LcdState& lcd;
};

// One frame's reports in, the finished LCD picture published (copied out, as the window hands
// it to the LCD widget): the work the GUI thread does per frame.
void BM_ReportToPublishedLcd(benchmark::State& state) {
    const std::vector<Bytes> reports = Reports(kFrames, kFrames.size());
    const std::size_t perFrame = reports.size() / kFrames.size();
    qx::LcdState lcd = qx::LcdState::StartUp();
    qx::LcdState published = lcd;
    PublishingHooks hooks(lcd);
    qx::ReadingDecoder decoder(lcd, hooks, ".");
    qx::FrameAssembler assembler([&](const std::string& f) {
        decoder.ShowData680(f);
        published = lcd;
    });
    std::size_t next = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < perFrame; ++i) assembler.Read470(0, reports[next++]);
        if (next == reports.size()) next = 0;
        benchmark::DoNotOptimize(&published);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReportToPublishedLcd);

// A report read on the reader thread until its callback runs on the GUI thread.
void BM_ReaderHandOffLatency(benchmark::State& state) {
    static int argc = 1;
    static char arg0[] = "link_bench";
    static char* argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Bytes> queue;
    auto read = [&](std::uint8_t* buffer, std::size_t size, int timeoutMs) {
        std::unique_lock lock(mutex);
        if (!changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return !queue.empty(); }))
            return 0;
        const Bytes r = std::move(queue.front());
        queue.pop_front();
        const std::size_t n = std::min(size, r.size());
        std::copy(r.begin(), r.begin() + n, buffer);
        return static_cast<int>(n);
    };
    QObject context;
    long delivered = 0;
    qx::HidReader reader(&context, read, 64,
                         [&](std::uint8_t, std::span<const std::uint8_t>) { ++delivered; });
    const Bytes report = {0xF7, 1, 2, 3, 4, 5, 6, 7};
    for (auto _ : state) {
        const long before = delivered;
        {
            std::lock_guard lock(mutex);
            queue.push_back(report);
        }
        changed.notify_all();
        while (delivered == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    reader.Stop(qx::HidReader::Pending::Deliver);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReaderHandOffLatency)->UseRealTime();

}  // namespace
