// The cable failing under the whole pipeline (link, frame assembler, decoder, recording policy,
// table): read errors, a cable pulled out in the middle of a frame, reports still arriving while
// Disconnect stops the reader. No crash, no message, no half frame recorded, no whole frame lost.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "display/frame_encoder.h"
#include "display/reading_decoder.h"
#include "link/fake_hid_backend.h"
#include "link/frame_assembler.h"
#include "link/hid_reader.h"
#include "link/interval_timer.h"
#include "link/link_controller.h"
#include "log/recording_policy.h"
#include "sim/tester_model.h"

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

int argc = 1;
char arg0[] = "robustness_tests";
char* argv[] = {arg0, nullptr};

FakeHidBackend::DeviceSetup Cable() {
    return {{"USB to Serial", "", 0x1A86, 0xE008}};
}

// The reports of a frame showing `digits` (four, a point after the first, megaohms), as the
// cable sends them: counted reports, then one report without data. Shown as "d.ddd".
std::vector<Bytes> FrameReports(const std::string& digits) {
    DisplayDescription d;
    d.digits = digits;
    d.point = 1;
    d.unit = DisplayDescription::Unit::MegaOhm;
    return FrameToReports(EncodeFrame(d));
}

// The window's objects without widgets, wired as the window wires them. Every reading is
// recorded (no repeat filter, no limit in reach), so each decoded frame is one row.
class Pipeline : private DecoderHooks, private LinkUi, private RecordingUi {
  public:
    Pipeline() {
        policy.SetRepeatSet(true);  // "Repeat" checked: equal readings are recorded too
        policy.SetRecordLimit(kRecordLimitItems.back().limit);
    }
    /// Attaches the link to a cable layer; without it the reports come from a HidReader.
    void Attach(HidBackend& hid) {
        link = std::make_unique<LinkController>(
            hid, timer2, static_cast<LinkUi&>(*this),
            [this](std::uint8_t id, std::span<const std::uint8_t> p) { assembler.Read470(id, p); });
    }
    std::vector<std::string> Values() const {
        std::vector<std::string> values;
        for (std::size_t i = 0; i < table.RowCount(); ++i) values.emplace_back(table.Value(i));
        return values;
    }

    ManualClock clock;
    ManualTimer timer2{clock, LinkController::kNoDataIntervalMs};
    MeasurementTable table;
    LcdState lcd = LcdState::StartUp();
    ReadingDecoder decoder{lcd, *this, "."};
    RecordingPolicy policy{table, *this, [] { return 0; }};
    FrameAssembler assembler{[this](const std::string& frame) { decoder.ShowData680(frame); }};
    std::vector<std::string> messages;  // every box the operator would have seen
    std::unique_ptr<LinkController> link;

  private:
    void RestartNoDataTimer() override {
        if (link) link->RestartNoDataTimer();
    }
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int kind) override { policy.INDataToTable(kind, decoder.reading()); }
    void ShowLinkMessage(const std::string& text) override { messages.push_back(text); }
    void Panel2CaptionChanged(const std::string&) override {}
    bool AskYesNo(const std::string& q) override {
        messages.push_back(q);
        return false;
    }
    void ShowErrorText(const std::string& text) override { messages.push_back(text); }
};

using Values = std::vector<std::string>;

// The cable is pulled out after two reports of a frame. The watchdog cycles without a word while
// it is out; after the replug the link reopens by itself. The cut run is continued by the first
// frame after the replug (the assembler keeps its run across link changes), which makes that
// frame too long to pass; every frame after it is recorded. Nothing is half-recorded.
TEST(LinkFaultsTest, CablePulledOutMidFrameResumesAfterReplug) {
    FakeHidBackend hid;
    const auto cable = hid.PlugIn(Cable());
    Pipeline p;
    p.Attach(hid);
    p.link->Panel2Click();
    ASSERT_TRUE(hid.IsReading(cable));
    auto send = [&](FakeHidBackend::DeviceKey device, const std::vector<Bytes>& reports) {
        for (const Bytes& r : reports) hid.SendReport(device, r);
        p.clock.Advance(300);
    };
    send(cable, FrameReports("1001"));
    send(cable, FrameReports("1002"));
    const auto cut = FrameReports("1003");
    send(cable, {cut[0], cut[1]});
    hid.Unplug(cable);
    EXPECT_EQ(p.link->SelectedIndex(), -1);
    p.clock.Advance(5000);
    EXPECT_EQ(p.Values(), (Values{"1.001", "1.002"}));
    EXPECT_TRUE(p.assembler.FrameInProgress());

    const auto again = hid.PlugIn(Cable());
    for (int i = 0; i < 3 && !hid.IsReading(again); ++i) p.clock.Advance(1000);
    ASSERT_TRUE(hid.IsReading(again)) << "the watchdog reopens the link on the new cable";
    for (const char* digits : {"1004", "1005", "1006", "1007"}) send(again, FrameReports(digits));
    EXPECT_EQ(p.Values(), (Values{"1.001", "1.002", "1.005", "1.006", "1.007"}));
    EXPECT_TRUE(p.link->LinkOpen());
    EXPECT_EQ(p.link->Panel2Caption(), "Disconnect");
    EXPECT_TRUE(p.messages.empty());
}

// Reports handed over while Disconnect stops the reader are delivered inside the stop: the frame
// they complete is recorded, the link stays closed, and the watchdog the late frame restarted
// does not reopen it. Reports that come while closed wait in the device and finish their frame
// at the next Connect.
TEST(LinkFaultsTest, ReportsArrivingWhileDisconnectRunsAreKept) {
    FakeHidBackend hid;
    const auto cable = hid.PlugIn(Cable());
    Pipeline p;
    p.Attach(hid);
    p.link->Panel2Click();
    for (const Bytes& r : FrameReports("2001")) hid.SendReport(cable, r);
    const auto second = FrameReports("2002");
    for (std::size_t i = 0; i + 1 < second.size(); ++i) hid.SendReport(cable, second[i]);
    const auto third = FrameReports("2003");
    std::vector<Bytes> late = {second.back()};
    late.insert(late.end(), third.begin(), third.end() - 1);
    hid.HandOverOnStop(cable, late);

    p.link->Panel2Click();  // Disconnect
    EXPECT_EQ(p.Values(), (Values{"2.001", "2.002"}));
    EXPECT_FALSE(p.link->LinkOpen());
    EXPECT_EQ(p.link->Panel2Caption(), "Connect");
    EXPECT_FALSE(p.link->NoDataTimerRunning());
    hid.SendReport(cable, third.back());  // arrives while closed
    p.clock.Advance(5000);
    EXPECT_FALSE(hid.IsReading(cable));
    EXPECT_EQ(p.table.RowCount(), 2u);

    p.link->Panel2Click();  // Connect
    hid.Pump();
    EXPECT_EQ(p.Values(), (Values{"2.001", "2.002", "2.003"}));
    EXPECT_TRUE(p.messages.empty());
}

// Stands in for hid_read_timeout on one device: scripted reports and read errors; once gone,
// every read fails at once, as a vanished hidraw node's does.
class FailingDevice {
  public:
    void Report(Bytes r) { Push(std::move(r)); }
    void Error() { Push(std::nullopt); }
    void Vanish() {
        std::lock_guard lock(mutex_);
        gone_ = true;
        changed_.notify_all();
    }
    int Reads() const { return reads_; }
    bool Drained() {
        std::lock_guard lock(mutex_);
        return steps_.empty();
    }
    HidReader::ReadFunction Function() {
        return [this](std::uint8_t* buffer, std::size_t size, int timeoutMs) {
            ++reads_;
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return !steps_.empty() || gone_; });
            if (steps_.empty()) return gone_ ? -1 : 0;
            const std::optional<Bytes> step = std::move(steps_.front());
            steps_.pop_front();
            if (!step) return -1;
            const std::size_t n = std::min(size, step->size());
            std::copy_n(step->begin(), n, buffer);
            return static_cast<int>(n);
        };
    }

  private:
    void Push(std::optional<Bytes> step) {
        std::lock_guard lock(mutex_);
        steps_.push_back(std::move(step));
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::optional<Bytes>> steps_;  // nullopt: a read error
    bool gone_ = false;
    std::atomic<int> reads_{0};
};

class ReaderFaultsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }
    template <typename Pred>
    static bool ProcessUntil(Pred pred) {
        QDeadlineTimer deadline(10'000);
        while (!pred() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return pred();
    }
    std::unique_ptr<HidReader> StartReader(FailingDevice& device) {
        return std::make_unique<HidReader>(
            &context, device.Function(), 64,
            [this](std::uint8_t id, std::span<const std::uint8_t> r) {
                p.assembler.Read470(id, r);
            });
    }

    QObject context;
    Pipeline p;
};

// The real reader thread in front of the pipeline. A read error delivers nothing, so errors
// between the reports of a frame cost no byte of it. A device that vanishes mid-frame fails every
// read; the reader retries at its poll interval without spinning until the device change stops
// it, and the half frame is never decoded. The replugged device's frames decode (the first one
// continues the cut run and is dropped, as above).
TEST_F(ReaderFaultsTest, ReadErrorsLoseNothingAndAVanishedDeviceDecodesNoHalfFrame) {
    FailingDevice first;
    std::unique_ptr<HidReader> reader = StartReader(first);
    for (const Bytes& r : FrameReports("3001")) {
        first.Error();
        first.Report(r);
    }
    ASSERT_TRUE(ProcessUntil([&] { return p.table.RowCount() == 1; }));

    const auto cut = FrameReports("3002");
    first.Report(cut[0]);
    first.Report(cut[1]);
    first.Vanish();
    ASSERT_TRUE(ProcessUntil([&] { return first.Drained(); }));
    const int readsBefore = first.Reads();
    QDeadlineTimer wait(500);
    while (!wait.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_LE(first.Reads() - readsBefore, 10) << "a dead device is polled, not spun on";
    reader->Stop(HidReader::Pending::Discard);  // what releasing the vanished device does
    reader.reset();
    EXPECT_EQ(p.Values(), Values{"3.001"});

    FailingDevice replugged;
    reader = StartReader(replugged);
    for (const char* digits : {"3003", "3004", "3005"})
        for (const Bytes& r : FrameReports(digits)) replugged.Report(r);
    ASSERT_TRUE(ProcessUntil([&] { return p.table.RowCount() == 3; }));
    reader->Stop(HidReader::Pending::Deliver);
    EXPECT_EQ(p.Values(), (Values{"3.001", "3.004", "3.005"}));
    EXPECT_TRUE(p.messages.empty());
}

}  // namespace
}  // namespace qx
