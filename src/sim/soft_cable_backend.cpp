#include "sim/soft_cable_backend.h"

#include <QElapsedTimer>
#include <algorithm>
#include <utility>

#include "link/link_controller.h"

namespace qx {

HidDeviceInfo SoftCableBackend::CableInfo() {
    return {LinkController::kCableCaption, "", 0x1A86, 0xE008};
}

std::function<std::int64_t()> SoftCableBackend::SteadyClockMs() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

SoftCableBackend::SoftCableBackend(std::unique_ptr<IntervalTimer> tick,
                                   std::function<std::int64_t()> nowMs)
    : tick_(std::move(tick)), nowMs_(std::move(nowMs)) {
    if (tick_) tick_->SetTimeoutHandler([this] { OnTick(); });
}

SoftCableBackend::~SoftCableBackend() {
    if (tick_) {
        tick_->Stop();
        tick_->SetTimeoutHandler({});
    }
}

void SoftCableBackend::Unplug() {
    if (!plugged_) return;
    plugged_ = false;
    Close();
    claim_ = kNoHidDevice;  // stays in claims_ until released, but is dead
    configured_ = false;
    RaiseChange();
}

void SoftCableBackend::PlugIn() {
    if (plugged_) return;
    plugged_ = true;
    RaiseChange();
}

void SoftCableBackend::RaiseChange() {
    if (onChange_) {
        auto handler = onChange_;  // the handler may detach itself
        handler();
    }
}

void SoftCableBackend::Close() {
    reader_ = nullptr;
    open_ = false;
    queue_.clear();  // the queue belongs to the open device
}

void SoftCableBackend::SetDeviceChangeHandler(std::function<void()> handler) {
    onChange_ = std::move(handler);
    RaiseChange();
}

std::vector<HidDeviceInfo> SoftCableBackend::Devices() const {
    if (!plugged_) return {};
    return {CableInfo()};
}

HidHandle SoftCableBackend::Claim(std::size_t index) {
    if (index != 0 || !plugged_ || claim_ != kNoHidDevice) return kNoHidDevice;
    claim_ = nextHandle_++;
    claims_.insert(claim_);
    return claim_;
}

void SoftCableBackend::Release(HidHandle device) {
    if (claims_.erase(device) == 0) return;
    if (device == claim_) {
        Close();
        claim_ = kNoHidDevice;
    }
}

bool SoftCableBackend::CanReadWrite(HidHandle device) {
    if (!Live(device)) return false;
    open_ = true;
    return true;
}

bool SoftCableBackend::SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) {
    if (!CanReadWrite(device)) return false;
    // Only the bridge configuration sets the serial side up; anything else leaves it as it is.
    if (std::ranges::equal(report, LinkController::kBridgeConfiguration)) configured_ = true;
    MaybeBeginStream();
    return true;
}

void SoftCableBackend::StartReading(HidHandle device, HidReportCallback callback) {
    StopReading(device);
    if (!callback || !CanReadWrite(device)) return;
    reader_ = std::move(callback);
    MaybeBeginStream();
}

void SoftCableBackend::StopReading(HidHandle device) {
    if (Live(device)) reader_ = nullptr;
}

void SoftCableBackend::MaybeBeginStream() {
    if (streamStartMs_ || !Listening()) return;
    streamStartMs_ = nowMs_();
    // The first reports come with the next tick, never from inside a HidBackend call.
    if (tick_) tick_->Start();
}

void SoftCableBackend::StopTicking() {
    if (tick_) tick_->Stop();
}

void SoftCableBackend::OnTick() {
    if (!streamStartMs_) return;
    DeliverQueued();
    Produce(nowMs_() - *streamStartMs_);
}

void SoftCableBackend::Send(std::span<const std::uint8_t> payload, std::int64_t stampMs) {
    // Without the configuration the cable's serial side does not receive the tester's data.
    if (!plugged_ || !open_ || !configured_) return;
    if (queue_.size() < kQueueLimit)
        queue_.push_back({std::vector<std::uint8_t>(payload.begin(), payload.end()), stampMs});
    DeliverQueued();
}

void SoftCableBackend::DeliverQueued() {
    if (delivering_) return;  // a callback sending again: the outer loop keeps the order
    delivering_ = true;
    while (reader_ && configured_ && !queue_.empty()) {
        Queued report = std::move(queue_.front());
        queue_.pop_front();
        deliveringStamp_ = report.stampMs;
        HidReportCallback callback = reader_;  // the callback may stop or replace the reader
        callback(0, report.payload);
    }
    delivering_ = false;
}

}  // namespace qx
