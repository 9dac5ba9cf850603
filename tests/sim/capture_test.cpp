// The capture format, the capturing decorator and the replay backend.

#include "sim/capture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <vector>

#include "link/fake_hid_backend.h"
#include "link/link_controller.h"
#include "sim/capturing_backend.h"
#include "sim/replay_backend.h"

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::span<const std::uint8_t> s) {
    return Bytes(s.begin(), s.end());
}

TEST(CaptureFormat, ReadsReportsCommentsAndStart) {
    const auto capture = ParseCapture(
        "# qx680 capture\r\n"
        "# start 10:23:45\r\n"
        "\r\n"
        "0 F7 0a 0B 00 00 00 00 00\r\n"
        "   \t\n"
        "25\tF0  00\n"
        "25\n"                // a report without bytes (empty payload)
        "# start 11:00:00\n"  // only the first one counts
        "1000 F1 0D");
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->startOfDayMs, (10 * 3600 + 23 * 60 + 45) * 1000);
    ASSERT_EQ(capture->Size(), 4U);
    EXPECT_EQ(capture->OffsetMs(0), 0);
    EXPECT_EQ(ToBytes(capture->Report(0)), (Bytes{0xF7, 0x0A, 0x0B, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ToBytes(capture->Report(1)), (Bytes{0xF0, 0x00}));
    EXPECT_EQ(capture->OffsetMs(2), 25);
    EXPECT_TRUE(capture->Report(2).empty());
    EXPECT_EQ(capture->OffsetMs(3), 1000);
    EXPECT_EQ(ToBytes(capture->Report(3)), (Bytes{0xF1, 0x0D}));

    const auto noStart = ParseCapture("# no start here\n# started late\n5 F0\n");
    ASSERT_TRUE(noStart);
    EXPECT_FALSE(noStart->startOfDayMs);
    EXPECT_TRUE(ParseCapture("")->Empty());
}

TEST(CaptureFormat, RefusesMalformedLinesNamingThem) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"0 F0\nx F0\n", "line 2: the time \"x\" is not a number of milliseconds"},
        {"-5 F0\n", "line 1: the time \"-5\" is not a number of milliseconds"},
        {"12ms F0\n", "line 1: the time \"12ms\" is not a number of milliseconds"},
        {"99999999999999999999 F0\n", "line 1: the time \"99999999999999999999\" is not a number"},
        {"10 F0\n9 F0\n", "line 2: the time goes back (9 after 10)"},
        {"0 F\n", "line 1: \"F\" is not a byte as two hex digits"},
        {"0 F00\n", "line 1: \"F00\" is not a byte as two hex digits"},
        {"0 G0\n", "line 1: \"G0\" is not a byte as two hex digits"},
        {"# start 24:00:00\n", "line 1: \"# start\" needs a time of day as HH:MM:SS"},
        {"# start 9:00:00\n", "line 1: \"# start\""},
        {"# start\n", "line 1: \"# start\""},
        {"# start 10:00:00 PM\n", "line 1: \"# start\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseCapture(c.text, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << c.text << " -> " << error;
    }
    std::string error;
    EXPECT_FALSE(ReadCaptureFile("/nonexistent/capture.txt", &error));
    EXPECT_EQ(error.rfind("/nonexistent/capture.txt: ", 0), 0U) << error;
}

TEST(CaptureFormat, WritesWhatItReads) {
    const Bytes report = {0xF3, 0x0D, 0x0A, 0xAB};
    EXPECT_EQ(CaptureLine(1234, report), "1234 F3 0D 0A AB\n");
    EXPECT_EQ(CaptureLine(7, {}), "7\n");
    EXPECT_EQ(CaptureStartLine(((23 * 60 + 59) * 60 + 58) * 1000 + 999), "# start 23:59:58\n");
    EXPECT_EQ(CaptureStartLine(0), "# start 00:00:00\n");

    const auto back = ParseCapture(std::string(kCaptureHeader) + CaptureStartLine(3'600'000) +
                                   CaptureLine(5, report) + CaptureLine(5, {}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->startOfDayMs, 3'600'000);
    ASSERT_EQ(back->Size(), 2U);
    EXPECT_EQ(ToBytes(back->Report(0)), report);
}

// The decorator in front of a fake cable, with the link reading through it.
class CapturingBackendTest : public ::testing::Test {
  protected:
    struct NoUi : LinkUi {
        void ShowLinkMessage(const std::string&) override {}
        void Panel2CaptionChanged(const std::string&) override {}
    };
    void SetUp() override {
        auto fake = std::make_unique<FakeHidBackend>();
        hid = fake.get();
        cable = hid->PlugIn({{"USB to Serial", "", 0x1A86, 0xE008}});
        auto out = std::make_unique<QBuffer>(&written);
        out->open(QIODevice::WriteOnly);
        capturing = std::make_unique<CapturingBackend>(
            std::move(fake), std::move(out), [this] { return nowMs; },
            [this] { return timeOfDayMs; });
    }
    void Connect() {
        link = std::make_unique<LinkController>(
            *capturing, timer2, ui, [this](std::uint8_t, std::span<const std::uint8_t> p) {
                received.push_back(ToBytes(p));
            });
        link->Panel2Click();
    }

    QByteArray written;
    FakeHidBackend* hid = nullptr;
    FakeHidBackend::DeviceKey cable = 0;
    std::int64_t nowMs = 5000;
    std::int32_t timeOfDayMs = ((10 * 60 + 23) * 60 + 45) * 1000 + 600;  // 10:23:45.600
    std::unique_ptr<CapturingBackend> capturing;
    ManualClock clock;
    ManualTimer timer2{clock, LinkController::kNoDataIntervalMs};
    NoUi ui;
    std::vector<Bytes> received;
    std::unique_ptr<LinkController> link;
};

TEST_F(CapturingBackendTest, WritesEveryReceivedReportFromTheWholeSecondOfTheFirstConnect) {
    hid->SendReport(cable, {0xF1, 0x00});  // before Connect: the device is not even open
    Connect();
    EXPECT_EQ(written.toStdString(), std::string(kCaptureHeader) + "# start 10:23:45\n");
    nowMs = 5100;  // 700 ms after 10:23:45
    hid->SendReport(cable, {0xF2, 0x0D, 0x0A});
    nowMs = 5125;
    hid->SendReport(cable, {0xF0});
    EXPECT_EQ(received.size(), 2U);
    EXPECT_EQ(capturing->ReportsWritten(), 2U);
    EXPECT_EQ(written.toStdString(), std::string(kCaptureHeader) +
                                         "# start 10:23:45\n"
                                         "700 F2 0D 0A\n"
                                         "725 F0\n");

    // A report handed over while Disconnect stops the reader reaches the link and the capture.
    hid->HandOverOnStop(cable, {{0xF1, 0x55}});
    nowMs = 6000;
    link->Panel2Click();
    EXPECT_EQ(received.size(), 3U);
    EXPECT_TRUE(written.endsWith("1600 F1 55\n"));

    // Reconnecting keeps the first start.
    nowMs = 9000;
    link->Panel2Click();
    hid->SendReport(cable, {0xF0});
    EXPECT_TRUE(written.endsWith("1600 F1 55\n4600 F0\n"));
    EXPECT_EQ(written.count("# start"), 1);
    EXPECT_FALSE(capturing->Failed());
}

TEST_F(CapturingBackendTest, AFailedWriteEndsTheCaptureButNotTheLink) {
    auto fake = std::make_unique<FakeHidBackend>();
    hid = fake.get();
    cable = hid->PlugIn({{"USB to Serial", "", 0x1A86, 0xE008}});
    auto readOnly = std::make_unique<QBuffer>(&written);
    readOnly->open(QIODevice::ReadOnly);  // every write fails
    capturing = std::make_unique<CapturingBackend>(
        std::move(fake), std::move(readOnly), [this] { return nowMs; },
        [this] { return timeOfDayMs; });
    Connect();
    hid->SendReport(cable, {0xF0});
    hid->SendReport(cable, {0xF0});
    EXPECT_TRUE(capturing->Failed());
    EXPECT_EQ(capturing->ReportsWritten(), 0U);
    EXPECT_EQ(received.size(), 2U);
}

// The replay backend in virtual time, as the window uses it: reports at their offsets from
// the moment the reader starts on the configured cable, silence after the end.
TEST(ReplayBackendTest, SendsAtTheOffsetsAfterConnectAndStopsAtTheEnd) {
    auto capture = ParseCapture("0 F1 01\n0 F0\n400 F1 02\n1500 F1 03\n");
    ASSERT_TRUE(capture);
    ManualClock clock;
    clock.Advance(10'000);  // the program has run a while before Connect
    ReplayBackend replay(std::move(*capture),
                         std::make_unique<ManualTimer>(clock, ReplayBackend::kTickMs),
                         [&clock] { return clock.NowMs(); });
    ASSERT_EQ(replay.Devices(), std::vector<HidDeviceInfo>{SoftCableBackend::CableInfo()});
    EXPECT_EQ(LinkController::DeviceCaption(replay.Devices()[0]), "USB to Serial");

    std::vector<std::pair<std::int64_t, Bytes>> got;
    const HidHandle h = replay.Claim(0);
    EXPECT_EQ(replay.Claim(0), kNoHidDevice);  // claimed already
    replay.StartReading(h, [&](std::uint8_t id, std::span<const std::uint8_t> p) {
        EXPECT_EQ(id, 0);
        got.emplace_back(clock.NowMs(), ToBytes(p));
    });
    clock.Advance(1000);
    EXPECT_TRUE(got.empty()) << "nothing before the bridge configuration";

    replay.SendFeatureReport(h, LinkController::kBridgeConfiguration);
    EXPECT_TRUE(got.empty()) << "nothing from inside a HidBackend call";
    clock.Advance(450);
    ASSERT_EQ(got.size(), 3U);
    EXPECT_GE(got[2].first, 11'400);  // 400 ms after the stream began
    EXPECT_LE(got[2].first, 11'400 + ReplayBackend::kTickMs);

    replay.StopReading(h);
    clock.Advance(2000);  // 1500 comes while no reader runs: it waits in the device's queue
    EXPECT_EQ(got.size(), 3U);
    EXPECT_EQ(replay.QueuedReports(), 1U);
    replay.StartReading(
        h, [&](std::uint8_t, std::span<const std::uint8_t> p) { got.emplace_back(0, ToBytes(p)); });
    clock.Advance(100);
    ASSERT_EQ(got.size(), 4U);
    EXPECT_EQ(got[3].second, (Bytes{0xF1, 0x03}));
    EXPECT_TRUE(replay.Finished());
    clock.Advance(10'000);
    EXPECT_EQ(got.size(), 4U);
    replay.Release(h);
    EXPECT_FALSE(replay.CanReadWrite(h));
}

}  // namespace
}  // namespace qx
