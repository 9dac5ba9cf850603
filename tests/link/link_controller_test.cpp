#include "link/link_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/fake_hid_backend.h"
#include "link/frame_assembler.h"
#include "link/interval_timer.h"

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using DeviceSetup = FakeHidBackend::DeviceSetup;

const Bytes kBridge = {0x00, 0x60, 0x09, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00};
const char* const kMessage =
    "USB interface cable is not securely connected, please check and re-try.";

DeviceSetup Cable() {
    return {{"USB to Serial", "", 0x1A86, 0xE008}};
}
DeviceSetup Keyboard() {
    return {{"Keyboard", "", 0x046D, 0xC31C}};
}

// One display frame as the cable sends it: 8-byte reports with counts, then an empty one.
std::vector<Bytes> FrameReports() {
    Bytes frame(20, 0x00);
    frame.push_back(0x0D);
    frame.push_back(0x0A);
    std::vector<Bytes> out;
    for (std::size_t i = 0; i < frame.size(); i += 7) {
        const std::size_t n = std::min<std::size_t>(7, frame.size() - i);
        Bytes r(8, 0);
        r[0] = static_cast<std::uint8_t>(0xF0 | n);
        std::copy(frame.begin() + i, frame.begin() + i + n, r.begin() + 1);
        out.push_back(r);
    }
    out.push_back(Bytes(8, 0xF0));
    return out;
}

struct RecordingUi : LinkUi {
    void ShowLinkMessage(const std::string& text) override {
        messages.push_back(text);
        if (duringMessage) duringMessage();
    }
    void Panel2CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    std::vector<std::string> messages;
    std::vector<std::string> captions;
    std::function<void()> duringMessage;
};

class LinkControllerTest : public ::testing::Test {
  protected:
    void Start() {
        link = std::make_unique<LinkController>(
            hid, timer2, ui,
            [this](std::uint8_t id, std::span<const std::uint8_t> p) { assembler.Read470(id, p); });
    }
    void SendFrame(FakeHidBackend::DeviceKey device) {
        for (const Bytes& r : FrameReports()) hid.SendReport(device, r);
    }
    std::size_t FeaturesTo(FakeHidBackend::DeviceKey device) const {
        std::size_t n = 0;
        for (const auto& f : hid.FeatureReports()) {
            EXPECT_EQ(f.bytes, kBridge);
            n += f.device == device;
        }
        return n;
    }
    // Closed, "Connect", timer stopped, nothing reading.
    void ExpectClosed(FakeHidBackend::DeviceKey device) {
        EXPECT_FALSE(link->LinkOpen());
        EXPECT_EQ(link->Panel2Caption(), "Connect");
        EXPECT_FALSE(link->NoDataTimerRunning());
        EXPECT_FALSE(hid.IsReading(device));
    }

    FakeHidBackend hid;
    ManualClock clock;
    ManualTimer timer2{clock, LinkController::kNoDataIntervalMs};
    RecordingUi ui;
    int decoded = 0;
    // Stands in for the window: the decoder restarts the no-data timer first thing.
    FrameAssembler assembler{[this](const std::string&) {
        ++decoded;
        link->RestartNoDataTimer();
    }};
    std::unique_ptr<LinkController> link;
};

TEST(DeviceCaption, Rules) {
    struct Case {
        HidDeviceInfo info;
        const char* caption;
    } cases[] = {
        {{"USB to Serial", "", 0x1A86, 0xE008}, "USB to Serial"},
        {{"", "", 0x1A2B, 0x00C3}, "Device VID=1A2B PID=00C3"},
        {{"", "", 0xabcd, 0xef01}, "Device VID=ABCD PID=EF01"},
        {{"", "", 0, 0}, "Device VID=0000 PID=0000"},
        {{"USB to Serial", "0001", 1, 2}, "USB to Serial (Serial=0001)"},
        {{"", "A1", 0x0001, 0xFFFF}, "Device VID=0001 PID=FFFF (Serial=A1)"},
    };
    for (const Case& c : cases) EXPECT_EQ(LinkController::DeviceCaption(c.info), c.caption);
}

TEST_F(LinkControllerTest, StartUpListsEveryDeviceAndSelectsTheLastExactCable) {
    const auto kbd = hid.PlugIn(Keyboard());
    const auto first = hid.PlugIn(Cable());
    const auto second = hid.PlugIn(Cable());
    hid.PlugIn({{"USB to Serial", "0001", 1, 2}});
    hid.PlugIn({{"USB to Serial ", "", 1, 2}});
    Start();
    ASSERT_EQ(link->DevListBox().size(), 5u);
    EXPECT_EQ(link->DevListBox()[0].caption, "Keyboard");
    EXPECT_EQ(link->DevListBox()[3].caption, "USB to Serial (Serial=0001)");
    EXPECT_EQ(link->SelectedIndex(), 2);
    // Listing opens nothing, start-up never opens the link or says anything.
    for (auto d : {kbd, first, second}) EXPECT_FALSE(hid.IsOpen(d));
    EXPECT_TRUE(hid.FeatureReports().empty());
    EXPECT_TRUE(ui.messages.empty());
    ExpectClosed(second);
}

TEST_F(LinkControllerTest, ConnectOpensTheLinkAndWaitsWithoutWatchdog) {
    hid.PlugIn(Keyboard());
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_EQ(link->Panel2Caption(), "Disconnect");
    EXPECT_EQ(ui.captions, std::vector<std::string>{"Disconnect"});
    EXPECT_EQ(FeaturesTo(cable), 1u);
    EXPECT_TRUE(hid.IsReading(cable));
    // No frame ever: the link stays open and the watchdog never starts.
    clock.Advance(10'000);
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_TRUE(hid.IsReading(cable));
    EXPECT_EQ(hid.FeatureReports().size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkControllerTest, ConnectWithoutAUsableEntryShowsTheMessage) {
    struct Case {
        const char* name;
        std::vector<DeviceSetup> devices;
    } setups[] = {
        {"no device", {}},
        {"no cable", {Keyboard()}},
        {"cable with a serial number", {{{"USB to Serial", "0001", 1, 2}}}},
        {"cable whose claim failed", {{{"USB to Serial", "", 1, 2}, true, false}}},
    };
    for (const Case& s : setups) {
        SCOPED_TRACE(s.name);
        FakeHidBackend fake;
        for (const DeviceSetup& d : s.devices) fake.PlugIn(d);
        RecordingUi recording;
        LinkController c(fake, timer2, recording, {});
        c.Panel2Click();
        EXPECT_EQ(recording.messages, std::vector<std::string>{kMessage});
        EXPECT_TRUE(fake.FeatureReports().empty());
        EXPECT_FALSE(c.LinkOpen());
        EXPECT_EQ(c.Panel2Caption(), "Connect");
        EXPECT_TRUE(recording.captions.empty());
    }
}

TEST_F(LinkControllerTest, CableThatCannotBeOpenedStaysClosedSilently) {
    DeviceSetup locked = Cable();
    locked.readWrite = false;
    const auto cable = hid.PlugIn(locked);
    Start();
    link->Panel2Click();
    ASSERT_EQ(hid.FeatureReports().size(), 1u);  // attempted
    EXPECT_FALSE(hid.FeatureReports()[0].accepted);
    EXPECT_TRUE(ui.messages.empty());
    ExpectClosed(cable);
    EXPECT_TRUE(ui.captions.empty());
}

TEST_F(LinkControllerTest, WatchdogTogglesEverySecondResendingTheReport) {
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    // Frames every 600 ms: no tick.
    for (int i = 0; i < 5; ++i) {
        SendFrame(cable);
        clock.Advance(600);
    }
    EXPECT_EQ(decoded, 5);
    EXPECT_EQ(FeaturesTo(cable), 1u);
    EXPECT_TRUE(link->NoDataTimerRunning());
    // The last frame came 600 ms ago: 400 ms more and the watchdog closes the link.
    clock.Advance(399);
    EXPECT_TRUE(hid.IsReading(cable));
    for (int tick = 1; tick <= 4; ++tick) {
        clock.Advance(tick == 1 ? 1 : 1000);
        SCOPED_TRACE(tick);
        const bool open = tick % 2 == 0;
        EXPECT_EQ(link->LinkOpen(), open);
        EXPECT_EQ(hid.IsReading(cable), open);
        EXPECT_EQ(FeaturesTo(cable), 1u + tick);
        EXPECT_EQ(link->Panel2Caption(), "Disconnect");
        EXPECT_TRUE(link->NoDataTimerRunning());
    }
    EXPECT_EQ(ui.captions, std::vector<std::string>{"Disconnect"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkControllerTest, ReportsSentWhileWatchdogClosedAreReadOnReopen) {
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    SendFrame(cable);
    clock.Advance(1000);  // watchdog closed
    ASSERT_FALSE(hid.IsReading(cable));
    SendFrame(cable);  // waits in the system's queue: the device stays open
    EXPECT_EQ(decoded, 1);
    EXPECT_EQ(hid.QueuedReports(cable), FrameReports().size());
    clock.Advance(1000);  // reopened
    hid.Pump();
    EXPECT_EQ(decoded, 2);
    EXPECT_TRUE(link->LinkOpen());
    clock.Advance(999);  // the frame restarted the full second
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_EQ(FeaturesTo(cable), 3u);
}

TEST_F(LinkControllerTest, RepluggedCableResumesByItself) {
    hid.PlugIn(Keyboard());
    const auto oldCable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    SendFrame(oldCable);
    hid.Unplug(oldCable);
    EXPECT_EQ(link->SelectedIndex(), -1);
    EXPECT_TRUE(link->LinkOpen());  // the list refresh leaves the link state alone
    clock.Advance(1000);            // closed: nothing selected, nothing said
    clock.Advance(1000);            // "open" without a device
    EXPECT_TRUE(ui.messages.empty());
    const auto newCable = hid.PlugIn(Cable());
    EXPECT_EQ(link->SelectedIndex(), 1);
    clock.Advance(2000);
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_TRUE(hid.IsReading(newCable));
    EXPECT_EQ(FeaturesTo(newCable), 2u);
    SendFrame(newCable);
    EXPECT_EQ(decoded, 2);
    clock.Advance(999);
    EXPECT_TRUE(hid.IsReading(newCable));
    EXPECT_EQ(link->Panel2Caption(), "Disconnect");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkControllerTest, DeviceChangeWhileOpenWaitingLeavesTheLinkWithoutReader) {
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    hid.PlugIn(Keyboard());
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_FALSE(hid.IsReading(cable));
    clock.Advance(5000);
    EXPECT_FALSE(hid.IsReading(cable));
    link->Panel2Click();  // Disconnect
    link->Panel2Click();  // Connect
    EXPECT_TRUE(hid.IsReading(cable));
}

TEST_F(LinkControllerTest, DisconnectFromEveryOpenState) {
    struct Case {
        const char* name;
        int framesThenMs;  // -1: no frame (open, waiting)
        bool reportExpected;
    } cases[] = {
        {"open, waiting", -1, true},
        {"open, receiving", 500, true},
        {"watchdog closed", 1000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHidBackend fake;
        const auto cable = fake.PlugIn(Cable());
        RecordingUi recording;
        LinkController lc(
            fake, timer2, recording, [&](std::uint8_t, std::span<const std::uint8_t>) {
                lc.RestartNoDataTimer();  // every report counts as a decoded frame here
            });
        lc.Panel2Click();
        if (c.framesThenMs >= 0) {
            fake.SendReport(cable, {0xF0});
            clock.Advance(c.framesThenMs);
        }
        const std::size_t before = fake.FeatureReports().size();
        lc.Panel2Click();
        EXPECT_FALSE(lc.LinkOpen());
        EXPECT_EQ(lc.Panel2Caption(), "Connect");
        EXPECT_FALSE(lc.NoDataTimerRunning());
        EXPECT_FALSE(fake.IsReading(cable));
        EXPECT_EQ(fake.FeatureReports().size() - before, c.reportExpected ? 1u : 0u);
        EXPECT_TRUE(recording.messages.empty());
        EXPECT_EQ(recording.captions, (std::vector<std::string>{"Disconnect", "Connect"}));
        clock.Advance(5000);  // no further toggle
        EXPECT_FALSE(lc.LinkOpen());
        EXPECT_FALSE(fake.IsReading(cable));
        EXPECT_EQ(fake.FeatureReports().size() - before, c.reportExpected ? 1u : 0u);
    }
}

TEST_F(LinkControllerTest, FrameDeliveredWhileDisconnectStopsTheReaderNeverReopens) {
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    SendFrame(cable);
    hid.HandOverOnStop(cable, FrameReports());
    link->Panel2Click();
    EXPECT_EQ(decoded, 2);  // decoded nested inside the stop
    ExpectClosed(cable);
    clock.Advance(5000);
    ExpectClosed(cable);
    EXPECT_EQ(FeaturesTo(cable), 2u);
}

TEST_F(LinkControllerTest, FrameDeliveredWhileWatchdogStopsTheReaderKeepsCycling) {
    const auto cable = hid.PlugIn(Cable());
    Start();
    link->Panel2Click();
    SendFrame(cable);
    hid.HandOverOnStop(cable, FrameReports());
    clock.Advance(1000);  // the tick closes the link; the late frame restarts the timer
    EXPECT_EQ(decoded, 2);
    EXPECT_FALSE(link->LinkOpen());
    EXPECT_TRUE(link->NoDataTimerRunning());
    clock.Advance(1000);
    EXPECT_TRUE(hid.IsReading(cable));
}

TEST_F(LinkControllerTest, CablePluggedWhileTheMessageIsShown) {
    Start();
    FakeHidBackend::DeviceKey cable = 0;
    ui.duringMessage = [&] { cable = hid.PlugIn(Cable()); };
    link->Panel2Click();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(link->SelectedIndex(), 0);
    ExpectClosed(cable);
    link->Panel2Click();  // the operator tries again
    EXPECT_TRUE(hid.IsReading(cable));
    EXPECT_EQ(link->Panel2Caption(), "Disconnect");
}

TEST_F(LinkControllerTest, DestructionGivesEveryDeviceBack) {
    const auto cable = hid.PlugIn(Cable());
    hid.PlugIn(Keyboard());
    Start();
    link->Panel2Click();
    EXPECT_EQ(hid.ClaimCount(), 2u);
    link.reset();
    EXPECT_EQ(hid.ClaimCount(), 0u);
    EXPECT_FALSE(hid.IsReading(cable));
    hid.PlugIn(Keyboard());  // no handler left to call
}

}  // namespace
}  // namespace qx
