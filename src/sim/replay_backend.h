#pragma once
// A capture played back as if it were the cable: `qx680 --replay FILE` in real time, and
// `qx680-cli log --replay FILE` on a virtual clock.

#include <memory>
#include <optional>

#include "sim/capture.h"
#include "sim/soft_cable_backend.h"

namespace qx {

/// One device "USB to Serial" that, once a reader runs on it and the bridge configuration report
/// has reached it, sends the capture's reports at their offsets from that moment. At the end of
/// the capture it falls silent (the link's watchdog then cycles as with a silent cable). Reports
/// due while the link is closed wait in the device's queue or are lost, as with the cable.
class ReplayBackend : public SoftCableBackend {
  public:
    static constexpr int kTickMs = 10;

    /// Driven by `tick` and `nowMs`, or by hand (DeliverUpTo) when `tick` is null.
    ReplayBackend(Capture capture, std::unique_ptr<IntervalTimer> tick,
                  std::function<std::int64_t()> nowMs);
    /// Real time: a Qt timer on the calling (GUI) thread and a monotonic clock.
    static std::unique_ptr<ReplayBackend> RealTime(Capture capture);
    /// Driven by hand only: the caller owns the clock.
    static std::unique_ptr<ReplayBackend> Manual(Capture capture);

    /// Offset of the next report not yet sent; nullopt at the end.
    std::optional<std::int64_t> NextOffsetMs() const;
    /// Sends, in order, queued reports and every report whose offset is at most `offsetMs`.
    void DeliverUpTo(std::int64_t offsetMs);
    /// Sends only the queued reports (those that came while the link was closed), if a reader
    /// runs now.
    void DeliverWaiting() { DeliverQueued(); }
    bool Finished() const { return next_ >= capture_.Size(); }
    /// Reports taken from the capture so far (delivered, queued or lost).
    std::size_t Played() const { return next_; }
    const Capture& capture() const { return capture_; }

  protected:
    void Produce(std::int64_t streamMs) override;

  private:
    Capture capture_;
    std::size_t next_ = 0;
};

}  // namespace qx
