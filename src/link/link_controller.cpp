#include "link/link_controller.h"

#include <cstdio>
#include <utility>

namespace qx {

LinkController::LinkController(HidBackend& hid, IntervalTimer& timer2, LinkUi& ui,
                               HidReportCallback read470)
    : hid_(hid), timer2_(timer2), ui_(ui), read470_(std::move(read470)) {
    timer2_.Stop();
    timer2_.SetTimeoutHandler([this] { Timer2Timer(); });
    hid_.SetDeviceChangeHandler([this] { HidCtlDeviceChange(); });
}

LinkController::~LinkController() {
    hid_.SetDeviceChangeHandler({});
    timer2_.Stop();
    timer2_.SetTimeoutHandler({});
    for (const DevListEntry& e : std::exchange(devList_, {}))
        if (e.device != kNoHidDevice) hid_.Release(e.device);
}

std::string LinkController::DeviceCaption(const HidDeviceInfo& device) {
    std::string caption = device.product;
    if (caption.empty()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "Device VID=%.4X PID=%.4X", unsigned{device.vendorId},
                      unsigned{device.productId});
        caption = buf;
    }
    if (!device.serial.empty()) caption += " (Serial=" + device.serial + ")";
    return caption;
}

HidHandle LinkController::SelectedDevice() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(devList_.size())) return kNoHidDevice;
    return devList_[static_cast<std::size_t>(selected_)].device;
}

void LinkController::HidCtlDeviceChange() {
    ReadBtnClick();  // may deliver a last report, nested
    // Taken out of the list before releasing, so nothing nested can see half-released entries.
    const std::vector<DevListEntry> old = std::exchange(devList_, {});
    selected_ = -1;
    for (const DevListEntry& e : old)
        if (e.device != kNoHidDevice) hid_.Release(e.device);

    const std::vector<HidDeviceInfo> devices = hid_.Devices();
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (!HidCtlEnumerate(devices[i], i)) break;

    // The last entry that is exactly the cable wins; a caption with a serial suffix never does.
    for (std::size_t i = 0; i < devList_.size(); ++i)
        if (devList_[i].caption == kCableCaption) selected_ = static_cast<int>(i);
    // The link state, Panel2 and Timer2 stay as they are: a running watchdog reinstalls the
    // reader on the new selection.
}

bool LinkController::HidCtlEnumerate(const HidDeviceInfo& device, std::size_t index) {
    devList_.push_back({DeviceCaption(device), hid_.Claim(index)});
    return true;
}

void LinkController::ReadBtnClick() {
    activeDevice_ = SelectedDevice();
    // A device without a reader needs no stop; asking the backend does not open it.
    if (activeDevice_ != kNoHidDevice) hid_.StopReading(activeDevice_);
}

void LinkController::SetFeatureClick() {
    activeDevice_ = kNoHidDevice;
    if (const HidHandle dev = SelectedDevice(); dev != kNoHidDevice) {
        activeDevice_ = dev;
        hid_.SendFeatureReport(dev,
                               kBridgeConfiguration);  // a failure is not the operator's concern
        return;
    }
    // Only an operator's Connect gets here with the timer stopped; the watchdog never asks.
    if (!timer2_.IsActive() && usbCon_) {
        ui_.ShowLinkMessage(kCableMessage);
        usbCon_ = false;
    }
}

void LinkController::ToggleLink() {
    usbCon_ = !usbCon_;
    ReadBtnClick();
    SetFeatureClick();
    // Looked up again: the message box and nested deliveries above may have changed the list.
    activeDevice_ = SelectedDevice();
    if (activeDevice_ == kNoHidDevice) return;
    if (!hid_.CanReadWrite(activeDevice_))
        usbCon_ = false;  // listed but not accessible: closed, silently
    else if (usbCon_)
        hid_.StartReading(activeDevice_, read470_);
    else
        hid_.StopReading(activeDevice_);
}

void LinkController::USBConClick() {
    ToggleLink();
    SetPanel2Caption(usbCon_ ? kDisconnect : kConnect);
}

void LinkController::Timer2Timer() {
    ToggleLink();
}  // Panel2 keeps the operator's choice

void LinkController::Panel2Click() {
    timer2_.Stop();
    if (panel2Caption_ == kConnect) {
        USBConClick();
        return;
    }
    SetPanel2Caption(kConnect);
    // When the watchdog holds the link closed there is nothing to toggle.
    if (usbCon_) USBConClick();
    // A frame delivered while the reader stopped has restarted the timer; it must not reopen.
    timer2_.Stop();
}

void LinkController::RestartNoDataTimer() {
    timer2_.Stop();
    timer2_.Start();
}

void LinkController::SetPanel2Caption(const char* caption) {
    if (panel2Caption_ == caption) return;
    panel2Caption_ = caption;
    ui_.Panel2CaptionChanged(panel2Caption_);
}

}  // namespace qx
