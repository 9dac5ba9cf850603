#pragma once
// The link to the tester: the device list and the cable's selection, Connect/Disconnect, the
// bridge configuration report, and the no-data watchdog that recovers a silent link.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "link/interval_timer.h"

namespace qx {

/// What the link asks of the window. Called on the GUI thread from inside link operations.
class LinkUi {
  public:
    virtual ~LinkUi() = default;
    /// Show `text` in a modal information box with an OK button (the window's information box);
    /// returns when it is closed. Other events (device changes) may run meanwhile; the
    /// controller copes.
    virtual void ShowLinkMessage(const std::string& text) = 0;
    /// Panel2's caption became `caption` ("Connect" or "Disconnect").
    virtual void Panel2CaptionChanged(const std::string& caption) = 0;
};

class LinkController {
  public:
    struct DevListEntry {
        std::string caption;
        HidHandle device = kNoHidDevice;  ///< kNoHidDevice when the claim failed
    };

    static constexpr int kNoDataIntervalMs = 1000;
    /// The cable's serial side: 2400 bit/s (little-endian), then 3. Byte 0 is the report id.
    static constexpr std::array<std::uint8_t, 10> kBridgeConfiguration = {
        0x00, 0x60, 0x09, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00};
    static constexpr const char* kCableCaption = "USB to Serial";
    static constexpr const char* kCableMessage =
        "USB interface cable is not securely connected, please check and re-try.";
    static constexpr const char* kConnect = "Connect";
    static constexpr const char* kDisconnect = "Disconnect";

    /// `timer2` is the no-data timer (its interval should be kNoDataIntervalMs); its timeout
    /// handler is taken over. `read470` receives the reports of the open link (the frame
    /// assembler). Attaching to `hid` fills the device list and selects the cable at once. All
    /// references must outlive the controller; construct and use it on the GUI thread.
    LinkController(HidBackend& hid, IntervalTimer& timer2, LinkUi& ui, HidReportCallback read470);
    /// Detaches and gives every claimed device back; no callback runs from here.
    ~LinkController();

    LinkController(const LinkController&) = delete;
    LinkController& operator=(const LinkController&) = delete;

    /// The list entry text of a device.
    static std::string DeviceCaption(const HidDeviceInfo& device);

    /// The operator clicked Panel2: Connect or Disconnect. May show the information box.
    void Panel2Click();
    /// Decoder hook: a frame was decoded, the link is alive for another full second.
    void RestartNoDataTimer();

    const std::vector<DevListEntry>& DevListBox() const { return devList_; }
    /// Index of the selected entry, -1 when none.
    int SelectedIndex() const { return selected_; }
    /// The link state (down state of the never-shown toggle): true = open.
    bool LinkOpen() const { return usbCon_; }
    /// "Connect" or "Disconnect": the operator's choice, not the momentary link state.
    const std::string& Panel2Caption() const { return panel2Caption_; }
    bool NoDataTimerRunning() const { return timer2_.IsActive(); }

  private:
    void HidCtlDeviceChange();
    bool HidCtlEnumerate(const HidDeviceInfo& device, std::size_t index);
    void ReadBtnClick();
    void SetFeatureClick();
    void USBConClick();
    void Timer2Timer();
    void ToggleLink();  // the steps USBConClick and the watchdog share
    HidHandle SelectedDevice() const;
    void SetPanel2Caption(const char* caption);

    HidBackend& hid_;
    IntervalTimer& timer2_;
    LinkUi& ui_;
    HidReportCallback read470_;
    std::vector<DevListEntry> devList_;
    int selected_ = -1;
    bool usbCon_ = false;
    std::string panel2Caption_ = kConnect;
    HidHandle activeDevice_ = kNoHidDevice;
};

}  // namespace qx
