#include "sim/replay_backend.h"

namespace qx {

ReplayBackend::ReplayBackend(Capture capture, std::unique_ptr<IntervalTimer> tick,
                             std::function<std::int64_t()> nowMs)
    : SoftCableBackend(std::move(tick), std::move(nowMs)), capture_(std::move(capture)) {}

std::unique_ptr<ReplayBackend> ReplayBackend::RealTime(Capture capture) {
    return std::make_unique<ReplayBackend>(
        std::move(capture), std::make_unique<QtIntervalTimer>(kTickMs), SteadyClockMs());
}

std::unique_ptr<ReplayBackend> ReplayBackend::Manual(Capture capture) {
    return std::make_unique<ReplayBackend>(std::move(capture), nullptr,
                                           [] { return std::int64_t{0}; });
}

std::optional<std::int64_t> ReplayBackend::NextOffsetMs() const {
    if (Finished()) return std::nullopt;
    return capture_.OffsetMs(next_);
}

void ReplayBackend::DeliverUpTo(std::int64_t offsetMs) {
    DeliverQueued();
    while (next_ < capture_.Size() && capture_.OffsetMs(next_) <= offsetMs) {
        const std::size_t i = next_++;  // before the callbacks, which may call back in
        Send(capture_.Report(i), capture_.OffsetMs(i));
    }
}

void ReplayBackend::Produce(std::int64_t streamMs) {
    DeliverUpTo(streamMs);
    if (Finished() && QueuedReports() == 0) StopTicking();
}

}  // namespace qx
