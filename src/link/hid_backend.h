#pragma once
// What the link needs of the HID layer, behind one interface: the real cable (HidApiBackend),
// the scriptable fake for tests, and later a simulated tester or a capture replay.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qx {

/// Facts about one plugged-in HID device, known without opening it.
struct HidDeviceInfo {
    std::string product;  ///< product string as single-byte text; empty when the device has none
    std::string serial;   ///< serial-number string; empty when the device has none
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    bool operator==(const HidDeviceInfo&) const = default;
};

/// A claimed device object. Handles are never reused while the backend lives.
using HidHandle = std::uint64_t;
inline constexpr HidHandle kNoHidDevice = 0;

/// One input report: the report id (0 for a device without numbered reports) and the bytes after
/// it. The span is valid only during the call.
using HidReportCallback =
    std::function<void(std::uint8_t reportId, std::span<const std::uint8_t> payload)>;

/// Threading contract for every implementation: all functions are called on the thread that
/// owns the backend (the GUI thread), and every handler and report callback runs on that thread
/// too, never concurrently with itself. Handlers may call back into the backend.
class HidBackend {
  public:
    virtual ~HidBackend() = default;

    /// 1. Device-change notification. `handler` runs whenever the set of plugged-in devices has
    /// changed, and once synchronously from inside this call, so the caller fills its list before
    /// anything else happens. An empty function detaches.
    virtual void SetDeviceChangeHandler(std::function<void()> handler) = 0;

    /// 2. Enumeration: the plugged-in devices as of the latest change event, in enumeration
    /// order. Indexes refer to this list until the next change event.
    virtual std::vector<HidDeviceInfo> Devices() const = 0;

    /// 3. Claim the device at `index` for exclusive use. Returns kNoHidDevice when the index is out
    /// of range or the device is already claimed. Claiming does not open the device.
    virtual HidHandle Claim(std::size_t index) = 0;

    /// 4. Give a claimed device back: stops its reader, dropping any report not yet delivered
    /// (no callback runs), and closes it. Unknown handles are ignored.
    virtual void Release(HidHandle device) = 0;

    /// 5. Whether the device could be opened for reading and writing. The first call on a handle
    /// opens the device (and keeps it open until Release, so reports queue in the system while no
    /// reader runs); a failed open is tried again at the next call. False for unknown handles
    /// and unplugged devices.
    virtual bool CanReadWrite(HidHandle device) = 0;

    /// 6. Send a feature report; byte 0 of `report` is the report id. Opens the device if needed.
    /// Returns whether the system accepted it (callers may ignore the result).
    virtual bool SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) = 0;

    /// 7. Install the data callback: starts the device's reader (8). Reports are delivered one at
    /// a time and in order of arrival; the reader waits for each callback to return before it
    /// reads on. A device that cannot be read and written gets no reader. Installing a callback
    /// on a device that has a reader replaces the reader (the old one is stopped first).
    virtual void StartReading(HidHandle device, HidReportCallback callback) = 0;

    /// 7. Clear the data callback: stops the reader and returns once it has ended. A report the
    /// reader had already handed over is delivered from inside this call (so callbacks may run
    /// nested in the caller); nothing from this reader is delivered after it returns. The device
    /// stays open: later reports wait in the system's queue for the next StartReading. Never
    /// waits for the event loop, so it is safe from inside a report callback or a nested loop.
    virtual void StopReading(HidHandle device) = 0;
};

}  // namespace qx
