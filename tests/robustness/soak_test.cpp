// A million frames of the simulated tester through the whole pipeline (cable reports, frame
// assembler, decoder, recording policy, measurement table) with every reading recorded and the
// limit at "Limitless", on a virtual clock: some 89 hours of logging in well under a minute.
// Every frame the tester sent is decoded and recorded, and after the warm-up resident memory
// grows only by the rows themselves. Label "long": run by `make test-long`.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "sim/log_session.h"
#include "sim/simulated_tester_backend.h"

namespace qx {
namespace {

std::size_t ResidentSetBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

TEST(SoakTest, AMillionFramesAllRecordedInFlatMemory) {
    constexpr std::uint64_t kFrames = 1'000'000;
    constexpr std::uint64_t kWarmUpFrames = 20'000;
    // What may come on top of the table's own growth: allocator slack, nothing per frame.
    constexpr std::size_t kSlackBytes = 2 << 20;

    ManualClock clock;
    SimulatedTesterBackend tester(
        std::make_unique<ManualTimer>(clock, SimulatedTesterBackend::kTickMs),
        [&clock] { return clock.NowMs(); });
    ManualTimer timer2(clock, LinkController::kNoDataIntervalMs);
    MeasurementTable table;
    LogOptions options;
    options.repeat = true;  // "Repeat" checked: equal readings are recorded too
    options.limit = kRecordLimitItems.back().limit;  // "Limitless"
    LogSession session(tester, timer2, table, options,
                       [&clock] { return static_cast<std::int32_t>(clock.NowMs() % 86'400'000); });
    ASSERT_TRUE(session.Connect());

    const auto runTo = [&](std::uint64_t frames) {
        while (tester.FramesSent() < frames) clock.Advance(1000);
        // The tester pauses long enough for the last frame's reports to arrive, and not long
        // enough for the watchdog.
        tester.SetStalled(true);
        clock.Advance(500);
        tester.SetStalled(false);
    };

    runTo(kWarmUpFrames);
    ASSERT_EQ(session.FramesDecoded(), tester.FramesSent());
    const std::size_t rssWarm = ResidentSetBytes();
    const std::size_t tableWarm = table.ResidentBytes();
    const std::size_t rowsWarm = table.RowCount();
    const std::uint64_t framesWarm = tester.FramesSent();

    const auto start = std::chrono::steady_clock::now();
    runTo(kFrames);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::size_t rssEnd = ResidentSetBytes();
    const std::size_t tableEnd = table.ResidentBytes();
    EXPECT_GE(tester.FramesSent(), kFrames);
    EXPECT_EQ(session.FramesDecoded(), tester.FramesSent()) << "every frame sent was decoded";
    EXPECT_EQ(table.RowCount(), session.FramesDecoded()) << "every decoded reading recorded";
    EXPECT_EQ(table.No(table.RowCount() - 1), static_cast<std::int32_t>(table.RowCount()));
    EXPECT_TRUE(session.link().LinkOpen());
    EXPECT_TRUE(session.Errors().empty());
    EXPECT_TRUE(session.LinkMessage().empty());

    const std::size_t rows = table.RowCount() - rowsWarm;
    const double rssGrowth = static_cast<double>(rssEnd) - static_cast<double>(rssWarm);
    const double tableGrowth = static_cast<double>(tableEnd) - static_cast<double>(tableWarm);
    // A row is 44 bytes packed (the value inline, the other texts interned); the table reserves
    // them a chunk at a time, and untouched rows of a chunk cost no resident memory.
    EXPECT_LE(rssGrowth, static_cast<double>(rows) * 44 + kSlackBytes);
    EXPECT_LE(rssGrowth, tableGrowth + kSlackBytes);

    std::printf(
        "frames sent %llu, decoded %llu, rows %zu, virtual time %.1f h\n"
        "after warm-up: %llu frames in %.2f s = %.0f frames/s\n"
        "RSS %.1f MiB at warm-up, %.1f MiB at the end: %.1f bytes per row recorded since\n"
        "table %.1f MiB = %.1f bytes per row\n",
        static_cast<unsigned long long>(tester.FramesSent()),
        static_cast<unsigned long long>(session.FramesDecoded()), table.RowCount(),
        static_cast<double>(clock.NowMs()) / 3.6e6,
        static_cast<unsigned long long>(tester.FramesSent() - framesWarm), seconds,
        static_cast<double>(tester.FramesSent() - framesWarm) / seconds,
        static_cast<double>(rssWarm) / (1 << 20), static_cast<double>(rssEnd) / (1 << 20),
        rssGrowth / static_cast<double>(rows), static_cast<double>(tableEnd) / (1 << 20),
        static_cast<double>(tableEnd) / static_cast<double>(table.RowCount()));
    RecordProperty(
        "frames_per_second",
        static_cast<int>(static_cast<double>(tester.FramesSent() - framesWarm) / seconds));
    RecordProperty("rss_warm_bytes", static_cast<int>(rssWarm));
    RecordProperty("rss_end_bytes", static_cast<int>(rssEnd));
}

}  // namespace
}  // namespace qx
