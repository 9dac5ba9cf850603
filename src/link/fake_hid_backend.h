#pragma once
// A scriptable HID layer for tests and tools: devices are plugged and unplugged by calls, reports
// are scripted, and every feature report sent is recorded. Everything runs synchronously on the
// caller's thread; the caller plays the event loop (PlugIn/Unplug raise the change event,
// SendReport/Pump deliver reports).

#include <deque>
#include <map>
#include <vector>

#include "link/hid_backend.h"

namespace qx {

class FakeHidBackend : public HidBackend {
  public:
    struct DeviceSetup {
        HidDeviceInfo info;
        bool readWrite = true;  ///< false: listed, but cannot be opened (no access rights)
        bool claimable = true;  ///< false: Claim fails (someone else holds it)
    };
    using DeviceKey = int;

    struct SentFeature {
        DeviceKey device;
        std::vector<std::uint8_t> bytes;
        bool accepted;  ///< whether the device could be opened to take it
    };

    /// Adds a device at the end of the enumeration order and raises the change event.
    DeviceKey PlugIn(DeviceSetup setup);
    /// Removes it (open handles stay valid but go dead) and raises the change event.
    void Unplug(DeviceKey device);

    /// A report arriving from the device (`bytes` as the system reads them, no id byte). Like
    /// the system's input queue, it is kept only while the device is open through a claimed
    /// handle; it is delivered at once when a reader runs, else at the next Pump with a reader.
    void SendReport(DeviceKey device, std::vector<std::uint8_t> bytes);
    /// Delivers queued reports to running readers, in order.
    void Pump();
    /// Reports the reader has already handed over when the next StopReading on this device
    /// begins: they are delivered from inside that StopReading.
    void HandOverOnStop(DeviceKey device, std::vector<std::vector<std::uint8_t>> reports);

    const std::vector<SentFeature>& FeatureReports() const { return features_; }
    bool IsReading(DeviceKey device) const;
    bool IsOpen(DeviceKey device) const;
    std::size_t QueuedReports(DeviceKey device) const;
    std::size_t ClaimCount() const { return handles_.size(); }

    // HidBackend
    void SetDeviceChangeHandler(std::function<void()> handler) override;
    std::vector<HidDeviceInfo> Devices() const override;
    HidHandle Claim(std::size_t index) override;
    void Release(HidHandle device) override;
    bool CanReadWrite(HidHandle device) override;
    bool SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) override;
    void StartReading(HidHandle device, HidReportCallback callback) override;
    void StopReading(HidHandle device) override;

  private:
    struct Device {
        DeviceSetup setup;
        bool plugged = true;
        HidHandle claimedBy = kNoHidDevice;
        bool open = false;
        HidReportCallback reader;
        std::deque<std::vector<std::uint8_t>> queue;
        std::vector<std::vector<std::uint8_t>> handOverOnStop;
    };
    Device* ByHandle(HidHandle handle);
    void RaiseChange();

    std::function<void()> onChange_;
    std::map<DeviceKey, Device> devices_;
    std::vector<DeviceKey> order_;  // plugged-in devices in enumeration order
    std::map<HidHandle, DeviceKey> handles_;
    DeviceKey nextKey_ = 1;
    HidHandle nextHandle_ = 1;
    std::vector<SentFeature> features_;
};

}  // namespace qx
