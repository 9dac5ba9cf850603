#include "sim/simulated_tester_backend.h"

#include <algorithm>

namespace qx {
namespace {

// Frames older than this when their turn comes are skipped: the tester does not buffer, so a
// blocked event loop loses frames rather than receiving a burst of stale ones.
constexpr std::int64_t kMaxLagMs = 1000;

std::uint64_t NextRandom(std::uint64_t& state) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 33;
}

}  // namespace

SimulatedTesterBackend::SimulatedTesterBackend(std::unique_ptr<IntervalTimer> tick,
                                               std::function<std::int64_t()> nowMs,
                                               SimulationSettings settings)
    : SoftCableBackend(std::move(tick), std::move(nowMs)), model_(settings) {}

std::unique_ptr<SimulatedTesterBackend> SimulatedTesterBackend::RealTime(
    SimulationSettings settings) {
    return std::make_unique<SimulatedTesterBackend>(std::make_unique<QtIntervalTimer>(kTickMs),
                                                    SteadyClockMs(), settings);
}

void SimulatedTesterBackend::InjectGarbage(int reports) {
    garbageToSend_ += std::max(reports, 0);
}

void SimulatedTesterBackend::Produce(std::int64_t streamMs) {
    const SimulationSettings& s = model_.settings();
    for (; garbageToSend_ > 0; --garbageToSend_) {
        // Any count nibble (0..15), any bytes, sometimes short reports or none at all.
        std::vector<std::uint8_t> r(NextRandom(garbageSeed_) % 9);
        for (auto& b : r) b = static_cast<std::uint8_t>(NextRandom(garbageSeed_));
        Send(r, streamMs);
    }
    for (;; ++nextFrame_) {
        const std::int64_t frameMs = static_cast<std::int64_t>(nextFrame_) * s.framePeriodMs;
        if (frameMs > streamMs) break;
        if (stalled_ || streamMs - frameMs > kMaxLagMs) continue;
        const auto display = model_.DisplayAt(static_cast<double>(frameMs) / 1000.0, nextFrame_);
        std::int64_t due = frameMs;
        for (auto& report : FrameToReports(EncodeFrame(display))) {
            pending_.push_back({due, std::move(report)});
            due += s.reportSpacingMs;
        }
        ++framesSent_;
    }
    while (!pending_.empty() && pending_.front().dueMs <= streamMs) {
        const Pending report = std::move(pending_.front());
        pending_.pop_front();
        Send(report.payload, report.dueMs);
    }
}

}  // namespace qx
