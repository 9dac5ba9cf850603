#include "link/fake_hid_backend.h"

#include <algorithm>
#include <utility>

namespace qx {

FakeHidBackend::DeviceKey FakeHidBackend::PlugIn(DeviceSetup setup) {
    const DeviceKey key = nextKey_++;
    devices_[key].setup = std::move(setup);
    order_.push_back(key);
    RaiseChange();
    return key;
}

void FakeHidBackend::Unplug(DeviceKey device) {
    auto it = devices_.find(device);
    if (it == devices_.end() || !it->second.plugged) return;
    Device& d = it->second;
    d.plugged = false;
    d.open = false;
    d.queue.clear();
    order_.erase(std::remove(order_.begin(), order_.end(), device), order_.end());
    RaiseChange();
}

void FakeHidBackend::RaiseChange() {
    if (onChange_) {
        auto handler = onChange_;
        handler();
    }
}

void FakeHidBackend::SendReport(DeviceKey device, std::vector<std::uint8_t> bytes) {
    auto it = devices_.find(device);
    if (it == devices_.end() || !it->second.plugged || !it->second.open) return;
    it->second.queue.push_back(std::move(bytes));
    Pump();
}

void FakeHidBackend::Pump() {
    for (DeviceKey key : std::vector<DeviceKey>(order_)) {
        for (;;) {
            auto it = devices_.find(key);
            if (it == devices_.end()) break;
            Device& d = it->second;
            if (!d.reader || d.queue.empty()) break;
            std::vector<std::uint8_t> report = std::move(d.queue.front());
            d.queue.pop_front();
            HidReportCallback cb = d.reader;  // the callback may stop this reader
            cb(0, report);
        }
    }
}

void FakeHidBackend::HandOverOnStop(DeviceKey device,
                                    std::vector<std::vector<std::uint8_t>> reports) {
    devices_[device].handOverOnStop = std::move(reports);
}

bool FakeHidBackend::IsReading(DeviceKey device) const {
    auto it = devices_.find(device);
    return it != devices_.end() && static_cast<bool>(it->second.reader);
}

bool FakeHidBackend::IsOpen(DeviceKey device) const {
    auto it = devices_.find(device);
    return it != devices_.end() && it->second.open;
}

std::size_t FakeHidBackend::QueuedReports(DeviceKey device) const {
    auto it = devices_.find(device);
    return it == devices_.end() ? 0 : it->second.queue.size();
}

void FakeHidBackend::SetDeviceChangeHandler(std::function<void()> handler) {
    onChange_ = std::move(handler);
    RaiseChange();
}

std::vector<HidDeviceInfo> FakeHidBackend::Devices() const {
    std::vector<HidDeviceInfo> out;
    for (DeviceKey key : order_) out.push_back(devices_.at(key).setup.info);
    return out;
}

HidHandle FakeHidBackend::Claim(std::size_t index) {
    if (index >= order_.size()) return kNoHidDevice;
    const DeviceKey key = order_[index];
    Device& d = devices_[key];
    if (!d.setup.claimable || d.claimedBy != kNoHidDevice) return kNoHidDevice;
    d.claimedBy = nextHandle_++;
    handles_[d.claimedBy] = key;
    return d.claimedBy;
}

FakeHidBackend::Device* FakeHidBackend::ByHandle(HidHandle handle) {
    auto h = handles_.find(handle);
    if (h == handles_.end()) return nullptr;
    return &devices_[h->second];
}

void FakeHidBackend::Release(HidHandle device) {
    Device* d = ByHandle(device);
    if (!d) return;
    d->reader = nullptr;
    d->handOverOnStop.clear();
    d->open = false;
    d->queue.clear();  // the system's queue belongs to the open file
    d->claimedBy = kNoHidDevice;
    handles_.erase(device);
}

bool FakeHidBackend::CanReadWrite(HidHandle device) {
    Device* d = ByHandle(device);
    if (!d || !d->plugged || !d->setup.readWrite) return false;
    d->open = true;
    return true;
}

bool FakeHidBackend::SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) {
    auto h = handles_.find(device);
    if (h == handles_.end()) return false;
    const bool accepted = CanReadWrite(device);
    features_.push_back(
        {h->second, std::vector<std::uint8_t>(report.begin(), report.end()), accepted});
    return accepted;
}

void FakeHidBackend::StartReading(HidHandle device, HidReportCallback callback) {
    StopReading(device);
    if (!CanReadWrite(device)) return;
    ByHandle(device)->reader = std::move(callback);
}

void FakeHidBackend::StopReading(HidHandle device) {
    Device* d = ByHandle(device);
    if (!d || !d->reader) return;
    HidReportCallback cb = std::move(d->reader);
    d->reader = nullptr;
    auto handedOver = std::exchange(d->handOverOnStop, {});
    // Delivered nested in the caller, as a real stop does; `d` may be gone afterwards.
    for (const auto& report : handedOver) cb(0, report);
}

}  // namespace qx
