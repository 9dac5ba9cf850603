#pragma once
// The real cable: hidapi (hidraw) for devices and reports, a libudev monitor for hot-plug.

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/hid_backend.h"

class QSocketNotifier;
struct hid_device_;
struct udev;
struct udev_monitor;

namespace qx {

class HidReader;

/// Owns the HID library: hid_init in the constructor, hid_exit in the destructor. It must be
/// destroyed after every device is closed, which its own destructor does first (readers are
/// stopped without delivering); create at most one per process.
///
/// Lives on the GUI thread; see HidBackend for the threading contract. Every plugged-in HID
/// device is listed from the system's records without being opened; a device is opened only
/// when a link operation asks CanReadWrite, SendFeatureReport or StartReading on its handle.
class HidApiBackend : public HidBackend {
  public:
    /// Re-enumeration period used only when the udev monitor cannot be set up.
    static constexpr int kFallbackPollMs = 2000;
    /// Read buffer: larger than any full-speed interrupt report, so a read never truncates.
    static constexpr std::size_t kReportBufferSize = 64;

    HidApiBackend();
    ~HidApiBackend() override;

    HidApiBackend(const HidApiBackend&) = delete;
    HidApiBackend& operator=(const HidApiBackend&) = delete;

    void SetDeviceChangeHandler(std::function<void()> handler) override;
    std::vector<HidDeviceInfo> Devices() const override;
    HidHandle Claim(std::size_t index) override;
    void Release(HidHandle device) override;
    bool CanReadWrite(HidHandle device) override;
    bool SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) override;
    void StartReading(HidHandle device, HidReportCallback callback) override;
    void StopReading(HidHandle device) override;

    /// False when device changes are found by periodic re-enumeration instead of udev.
    bool HasHotplugMonitor() const { return monitor_ != nullptr; }

  private:
    struct Listed {
        std::string path;
        HidDeviceInfo info;
        bool operator==(const Listed&) const = default;
    };
    struct Claimed {
        std::string path;
        std::shared_ptr<hid_device_> device;  // null until opened
        std::shared_ptr<HidReader> reader;
    };

    static std::vector<Listed> Enumerate();
    void Rescan();
    void SetUpMonitor();
    void OnMonitorReadable();
    Claimed* Find(HidHandle device);
    bool EnsureOpen(Claimed& claimed);

    // Declared first, destroyed last: queued deliveries of reader threads target it.
    QObject context_;
    std::function<void()> onChange_;
    std::vector<Listed> listed_;
    std::map<HidHandle, Claimed> claimed_;
    HidHandle nextHandle_ = 1;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;  // child of context_
    QTimer fallback_;
};

}  // namespace qx
