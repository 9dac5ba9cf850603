// The simulated tester behind the link, in virtual time: what it shows, and how the link copes
// with its stall, unplug/replug and garbage scenarios.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "display/reading_decoder.h"
#include "link/frame_assembler.h"
#include "link/link_controller.h"
#include "sim/simulated_tester_backend.h"

namespace qx {
namespace {

TEST(TesterModelTest, BarFollowsTheLogarithmicScale) {
    const struct {
        double ohms;
        int bar;
    } cases[] = {
        {0, 0},      {1e4, 0},   {1e5, 2},   {1e6, 6},   {1e7, 10},  {1e9, 18},
        {2.5e9, 20}, {1e12, 30}, {5e12, 30}, {1e13, 31}, {1e15, 31},
    };
    for (const auto& c : cases) EXPECT_EQ(TesterModel::BarFor(c.ohms), c.bar) << c.ohms;
}

TEST(TesterModelTest, FourSignificantDigitsWithThePoint) {
    const struct {
        double value;
        const char* digits;
        int point;
    } cases[] = {
        {0.5, "0500", 1},    {1.2344, "1234", 1}, {9.9996, "1000", 2},
        {12.3, "1230", 2},   {230.04, "2300", 3}, {999.96, "1000", 0},
        {4321.2, "4321", 0}, {12345, "9999", 0},  {-1, "0000", 1},
    };
    for (const auto& c : cases) {
        DisplayDescription d;
        TesterModel::SetValue(d, c.value);
        EXPECT_EQ(d.digits, c.digits) << c.value;
        EXPECT_EQ(d.point, c.point) << c.value;
    }
}

TEST(TesterModelTest, ResistanceRisesToThePolarizationIndex) {
    const struct {
        double pi, tau;
        bool reachable;  // a slow absorption cannot give a high index from a positive start
    } cases[] = {{1.5, 60, true}, {2, 120, true}, {2, 200, true}, {4, 300, true}, {4, 60, false}};
    for (const auto& c : cases) {
        SimulationSettings s;
        s.polarizationIndex = c.pi;
        s.tauSeconds = c.tau;
        const TesterModel model(s);
        const double pi = model.ResistanceOhms(600) / model.ResistanceOhms(60);
        if (c.reachable)
            EXPECT_NEAR(pi, c.pi, 1e-9) << c.pi << " " << c.tau;
        else
            EXPECT_LT(pi, c.pi);
        EXPECT_GT(model.ResistanceOhms(0), 0);
        EXPECT_LT(model.ResistanceOhms(599), model.ResistanceOhms(600));
    }
}

double Ohms(const Reading& r) {
    const double v = std::stod(r.ReadingValue);
    if (r.ReadingUnit == "G\xA6\xB8") return v * 1e9;
    if (r.ReadingUnit == "M\xA6\xB8") return v * 1e6;
    return v;
}

// The link and decoder as the window wires them, on a virtual clock.
class SimulatedTesterTest : public ::testing::Test, private DecoderHooks, private LinkUi {
  protected:
    struct Seen {
        std::int64_t ms;
        Reading reading;
        DisplayDescription display;
    };

    SimulatedTesterTest() {
        link = std::make_unique<LinkController>(
            sim, timer2, static_cast<LinkUi&>(*this),
            [this](std::uint8_t id, std::span<const std::uint8_t> p) { assembler.Read470(id, p); });
    }
    void Connect() { link->Panel2Click(); }
    void Run(double seconds) { clock.Advance(std::llround(seconds * 1000)); }
    std::vector<Seen> Between(double fromS, double toS) const {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.ms >= fromS * 1000 && s.ms < toS * 1000) out.push_back(s);
        return out;
    }
    double MeanOhms(double fromS, double toS) const {
        double sum = 0;
        const auto span = Between(fromS, toS);
        for (const Seen& s : span) sum += Ohms(s.reading);
        return span.empty() ? 0 : sum / static_cast<double>(span.size());
    }

    ManualClock clock;
    SimulatedTesterBackend sim{
        std::make_unique<ManualTimer>(clock, SimulatedTesterBackend::kTickMs),
        [this] { return clock.NowMs(); }};
    ManualTimer timer2{clock, LinkController::kNoDataIntervalMs};
    LcdState lcd = LcdState::StartUp();
    ReadingDecoder decoder{lcd, *this, "."};
    FrameAssembler assembler{[this](const std::string& frame) { decoder.ShowData680(frame); }};
    std::vector<Seen> seen;
    std::vector<std::string> messages;
    std::unique_ptr<LinkController> link;

  private:
    void RestartNoDataTimer() override { link->RestartNoDataTimer(); }
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int kind) override {
        if (kind == 1) seen.push_back({clock.NowMs(), decoder.reading(), DescribeDisplay(lcd)});
    }
    void ShowLinkMessage(const std::string& text) override { messages.push_back(text); }
    void Panel2CaptionChanged(const std::string&) override {}
};

TEST_F(SimulatedTesterTest, SilentUntilConnected) {
    ASSERT_EQ(link->SelectedIndex(), 0);
    EXPECT_EQ(link->DevListBox()[0].caption, "USB to Serial");
    Run(5);
    EXPECT_EQ(sim.FramesSent(), 0U);
    EXPECT_FALSE(sim.StreamStartMs());
    Connect();
    EXPECT_TRUE(sim.Configured());
    EXPECT_TRUE(seen.empty()) << "nothing from inside Connect";
    Run(0.5);
    EXPECT_FALSE(seen.empty());
    EXPECT_EQ(sim.StreamStartMs(), 5000);
}

TEST_F(SimulatedTesterTest, AnInsulationTestThatRisesLikeRealInsulationThenVoltageReadings) {
    Connect();
    Run(1225);

    const auto minute = Between(10, 70);
    EXPECT_GE(minute.size(), 120U);  // 2 to 4 frames a second
    EXPECT_LE(minute.size(), 240U);

    for (const Seen& s : Between(0, 600)) {
        SCOPED_TRACE(s.ms);
        EXPECT_EQ(s.reading.ReadingFunction, "IR:1000V 40G\xA6\xB8");
        EXPECT_EQ(s.reading.ReadingMode, "PI");
        ASSERT_TRUE(s.display.timerSeconds);
        // The frame is read out when its last report has come, some 100 ms after it began.
        EXPECT_LE(*s.display.timerSeconds, s.ms / 1000.0);
        EXPECT_GT(*s.display.timerSeconds, s.ms / 1000.0 - 1.2);
        EXPECT_NEAR(s.display.bar, TesterModel::BarFor(Ohms(s.reading)), 1);
        EXPECT_TRUE(s.display.highVoltage);
    }
    EXPECT_EQ(Between(0, 1).front().reading.ReadingUnit, "M\xA6\xB8");
    EXPECT_EQ(Between(599, 600).back().reading.ReadingUnit, "G\xA6\xB8");
    const double pi = MeanOhms(599, 600) / MeanOhms(59.5, 60.5);
    EXPECT_NEAR(pi, 2.0, 0.05);
    EXPECT_LT(MeanOhms(60, 61), MeanOhms(300, 301));

    const auto dc = Between(601, 607);
    ASSERT_FALSE(dc.empty());
    for (const Seen& s : dc) {
        EXPECT_EQ(s.reading.ReadingFunction, "DCV  600V");
        EXPECT_EQ(s.reading.ReadingUnit, "V");
        EXPECT_NEAR(std::stod(s.reading.ReadingValue), 12.6, 0.1);
    }
    const auto again = Between(609, 612);  // the next test starts its timer at 00:00
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.front().reading.ReadingMode, "PI");
    EXPECT_LE(*again.front().display.timerSeconds, 2);
    const auto ac = Between(1210, 1215);
    ASSERT_FALSE(ac.empty());
    EXPECT_EQ(ac.front().reading.ReadingFunction, "ACV  600V");
    EXPECT_NEAR(std::stod(ac.front().reading.ReadingValue), 230, 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SimulatedTesterTest, UnplugAndReplugResumesByItselfThroughTheWatchdog) {
    Connect();
    Run(3);
    const std::size_t before = seen.size();
    ASSERT_GT(before, 5U);

    sim.Unplug();
    EXPECT_TRUE(link->DevListBox().empty());
    EXPECT_EQ(link->SelectedIndex(), -1);
    Run(5);
    EXPECT_EQ(seen.size(), before);
    EXPECT_EQ(link->Panel2Caption(), "Disconnect");

    sim.PlugIn();
    EXPECT_EQ(link->SelectedIndex(), 0);
    EXPECT_FALSE(sim.Configured()) << "a replugged cable needs the bridge configuration again";
    Run(3);
    EXPECT_GT(seen.size(), before + 2);
    EXPECT_TRUE(sim.Configured());
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_EQ(link->Panel2Caption(), "Disconnect");
    EXPECT_TRUE(messages.empty());
    // The tester itself ran on while the cable was out.
    EXPECT_GE(*seen.back().display.timerSeconds, 9);
}

TEST_F(SimulatedTesterTest, AStallStartsTheWatchdogAndTheLinkRecovers) {
    Connect();
    Run(2);
    sim.SetStalled(true);
    Run(0.2);  // a frame under way still arrives
    const std::size_t before = seen.size();
    bool sawClosed = false;
    for (int i = 0; i < 40; ++i) {
        Run(0.1);
        sawClosed = sawClosed || !link->LinkOpen();
    }
    EXPECT_EQ(seen.size(), before);
    EXPECT_TRUE(sawClosed) << "the watchdog toggles the link while nothing arrives";
    EXPECT_TRUE(link->NoDataTimerRunning());

    sim.SetStalled(false);
    Run(2.5);
    EXPECT_GT(seen.size(), before + 2);
    EXPECT_TRUE(link->LinkOpen());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SimulatedTesterTest, GarbageIsDroppedAndTheFramesAfterItDecode) {
    Connect();
    Run(2);
    const std::size_t before = seen.size();
    sim.InjectGarbage(500);
    Run(2);
    const auto after = Between(2.5, 4);
    EXPECT_GE(after.size(), 3U);
    for (const Seen& s : Between(0, 4)) {
        EXPECT_EQ(s.reading.ReadingFunction, "IR:1000V 40G\xA6\xB8");
        EXPECT_EQ(s.reading.ReadingMode, "PI");
    }
    EXPECT_GT(seen.size(), before);
    EXPECT_TRUE(link->LinkOpen());
}

TEST_F(SimulatedTesterTest, NothingArrivesAfterDisconnect) {
    Connect();
    Run(1.05);
    link->Panel2Click();
    EXPECT_FALSE(sim.Reading());
    const std::size_t before = seen.size();
    Run(5);
    EXPECT_EQ(seen.size(), before);
    EXPECT_FALSE(link->LinkOpen());
    EXPECT_FALSE(link->NoDataTimerRunning());
}

}  // namespace
}  // namespace qx
