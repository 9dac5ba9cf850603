#pragma once
// The simulated tester behind a simulated cable: `qx680 --simulate`, `qx680-cli log --simulate`
// and the tests use it in place of the real cable.

#include <cstdint>
#include <deque>
#include <memory>

#include "sim/soft_cable_backend.h"
#include "sim/tester_model.h"

namespace qx {

/// One device "USB to Serial". Once a reader runs on it and the bridge configuration report
/// has reached it, it sends the frames of a TesterModel (about three a second) as 8-byte input
/// reports. The tester's clock starts with the first frame and keeps running while the link is
/// closed, stalled or unplugged: frames due meanwhile are simply not received.
class SimulatedTesterBackend : public SoftCableBackend {
  public:
    /// Tick of the report scheduler.
    static constexpr int kTickMs = 20;

    /// `tick` and `nowMs` as for SoftCableBackend; tests pass ManualTimer/ManualClock.
    SimulatedTesterBackend(std::unique_ptr<IntervalTimer> tick, std::function<std::int64_t()> nowMs,
                           SimulationSettings settings = {});
    /// Real time: a Qt timer on the calling (GUI) thread and a monotonic clock.
    static std::unique_ptr<SimulatedTesterBackend> RealTime(SimulationSettings settings = {});

    /// Scenarios. A stalled tester sends nothing until it is resumed (its clock runs on).
    void SetStalled(bool stalled) { stalled_ = stalled; }
    bool Stalled() const { return stalled_; }
    /// `reports` reproducible garbage reports (random counts and bytes, cut-off frames) are
    /// sent at the next tick, before the next frame.
    void InjectGarbage(int reports);

    const TesterModel& model() const { return model_; }
    /// Frames produced so far (whether or not anyone received them).
    std::uint64_t FramesSent() const { return framesSent_; }

  protected:
    void Produce(std::int64_t streamMs) override;

  private:
    struct Pending {
        std::int64_t dueMs;
        std::vector<std::uint8_t> payload;
    };

    TesterModel model_;
    bool stalled_ = false;
    std::uint64_t nextFrame_ = 0;
    std::uint64_t framesSent_ = 0;
    std::uint64_t garbageSeed_ = 0;
    int garbageToSend_ = 0;
    std::deque<Pending> pending_;  // reports of frames under way, in time order
};

}  // namespace qx
