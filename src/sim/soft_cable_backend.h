#pragma once
// One interface cable ("USB to Serial") whose reports come from software instead of a tester:
// the device behaviour that the simulated tester and the capture replay share.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "link/hid_backend.h"
#include "link/interval_timer.h"

namespace qx {

/// Behaves as the real cable does towards the link: one device, listed until unplugged; it is
/// opened by CanReadWrite, SendFeatureReport or StartReading; it forwards the tester's data only
/// once the bridge configuration report has reached it (it forgets that when unplugged); while it
/// is open without a reader, reports wait in a bounded queue, as in the kernel's hidraw buffer.
///
/// Time: the stream begins the first time a reader runs on a configured cable. From then on a
/// repeating `tick` timer calls Produce with the milliseconds since that moment, measured by
/// `nowMs`. Both are injected, so tests run in virtual time (ManualClock/ManualTimer); without
/// a tick the owner drives the stream by hand.
///
/// Threading: see HidBackend. Reports are delivered only from Produce (a timer tick or the
/// owner's call), never from inside a HidBackend call, so StopReading returns with nothing left
/// to deliver and nothing arrives afterwards.
class SoftCableBackend : public HidBackend {
  public:
    /// What the cable reports about itself: product "USB to Serial", no serial number.
    static HidDeviceInfo CableInfo();
    /// Reports kept while the device is open without a reader; later ones are dropped.
    static constexpr std::size_t kQueueLimit = 64;

    ~SoftCableBackend() override;

    /// The cable is pulled out: it leaves Devices(), its handle goes dead (reader stopped,
    /// queue dropped), it forgets its configuration, and the change event runs.
    void Unplug();
    /// The cable is plugged in again as a new device, unconfigured; the change event runs.
    void PlugIn();
    bool Plugged() const { return plugged_; }
    /// A reader runs on the configured cable: reports sent now reach the link.
    bool Listening() const { return static_cast<bool>(reader_) && configured_; }
    bool Reading() const { return static_cast<bool>(reader_); }
    bool Configured() const { return configured_; }
    /// Milliseconds on `nowMs` at which the stream began; nullopt before.
    std::optional<std::int64_t> StreamStartMs() const { return streamStartMs_; }
    /// Stream time (ms since it began) of the report being delivered; meaningful inside a
    /// report callback.
    std::int64_t DeliveringStampMs() const { return deliveringStamp_; }
    std::size_t QueuedReports() const { return queue_.size(); }

    /// A monotonic real-time clock in milliseconds, for the program.
    static std::function<std::int64_t()> SteadyClockMs();

    // HidBackend
    void SetDeviceChangeHandler(std::function<void()> handler) override;
    std::vector<HidDeviceInfo> Devices() const override;
    HidHandle Claim(std::size_t index) override;
    void Release(HidHandle device) override;
    bool CanReadWrite(HidHandle device) override;
    bool SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) override;
    void StartReading(HidHandle device, HidReportCallback callback) override;
    void StopReading(HidHandle device) override;

  protected:
    /// `tick` may be null (the owner then drives the stream); `nowMs` must be monotonic.
    SoftCableBackend(std::unique_ptr<IntervalTimer> tick, std::function<std::int64_t()> nowMs);

    /// Called at every tick once the stream has begun, with the stream time.
    virtual void Produce(std::int64_t streamMs) = 0;

    /// One report leaves the cable, stamped with its stream time: delivered to the reader if
    /// one runs on the configured cable, queued if the device is open and configured, else
    /// dropped. Delivers earlier queued reports first.
    void Send(std::span<const std::uint8_t> payload, std::int64_t stampMs);
    /// Hands queued reports to the reader, if one runs.
    void DeliverQueued();
    /// No more ticks (the stream has nothing more to say).
    void StopTicking();
    std::int64_t NowMs() const { return nowMs_(); }

  private:
    struct Queued {
        std::vector<std::uint8_t> payload;
        std::int64_t stampMs;
    };
    bool Live(HidHandle device) const { return device != kNoHidDevice && device == claim_; }
    void Close();
    void MaybeBeginStream();
    void RaiseChange();
    void OnTick();

    std::unique_ptr<IntervalTimer> tick_;
    std::function<std::int64_t()> nowMs_;
    std::function<void()> onChange_;
    bool plugged_ = true;
    std::set<HidHandle> claims_;      // handed out and not yet released, dead ones included
    HidHandle claim_ = kNoHidDevice;  // the live claim of the plugged-in device
    HidHandle nextHandle_ = 1;
    bool open_ = false;
    bool configured_ = false;
    HidReportCallback reader_;
    std::deque<Queued> queue_;
    bool delivering_ = false;
    std::int64_t deliveringStamp_ = 0;
    std::optional<std::int64_t> streamStartMs_;
};

}  // namespace qx
