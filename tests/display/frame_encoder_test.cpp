#include <gtest/gtest.h>

#include <random>

#include "display/frame_encoder.h"
#include "display/frame_format.h"
#include "display/reading_decoder.h"

namespace qx {
namespace {

using D = DisplayDescription;

struct DecodeOnce : DecoderHooks {
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int) override { recorded = true; }
    LcdState lcd = LcdState::StartUp();
    bool recorded = false;
};

TEST(FrameEncoder, ProducesTheDocumentedExampleFrame) {
    D d;
    d.digits = "1234";
    d.point = 1;
    d.unit = D::Unit::MegaOhm;
    d.battery = -1;
    EXPECT_EQ(EncodeFrameText(d), "000000000000000000000EE3A7364005B7DFD0000D0A");
    EXPECT_EQ(EncodeFrame(d).size(), 22U);
}

D RandomDescription(std::mt19937& rng) {
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto coin = [&]() { return pick(2) == 1; };
    static const std::string glyphs = "0123456789L- ";
    D d;
    for (char& c : d.digits) c = glyphs[static_cast<std::size_t>(pick(static_cast<int>(glyphs.size())))];
    auto numeric = [&d](int k) { return d.digits[static_cast<std::size_t>(k)] != ' ' && d.digits[static_cast<std::size_t>(k)] != '-'; };
    d.point = pick(4);
    if (d.point && !numeric(d.point - 1)) d.point = 0;
    d.minus = coin();
    d.unit = static_cast<D::Unit>(pick(6));
    if (d.unit == D::Unit::TeraOhm && !numeric(3)) d.unit = D::Unit::None;
    d.function = static_cast<D::Function>(pick(3));
    const int volts[] = {0, 500, 1000, 2500, 5000};
    d.testVoltage = volts[pick(5)];
    d.highVoltage = d.testVoltage >= 1000 && coin();
    d.compNg = d.testVoltage != 0 && coin();
    d.compGood = d.testVoltage != 0 && coin();
    d.timed = coin(), d.pi = coin(), d.s1 = coin(), d.s2 = coin(), d.s3 = coin();
    d.time1 = coin(), d.time2 = coin(), d.save = coin(), d.load = coin();
    if (coin()) {
        d.timerSeconds = pick(6000);
        d.comp = coin();
        d.clear = coin();
    }
    if (coin()) {
        d.store = pick(20);
        d.storeFull = coin();
    }
    d.bar = pick(32);
    d.battery = pick(5) - 1;
    d.offIcon = coin(), d.signalIcon = coin();
    return d;
}

TEST(FrameEncoder, DecodingWhatWasEncodedGivesTheDescriptionBack) {
    std::mt19937 rng(680);
    DecodeOnce hooks;
    ReadingDecoder decoder(hooks.lcd, hooks, ".");
    for (int i = 0; i < 5000; ++i) {
        const D d = RandomDescription(rng);
        hooks.recorded = false;
        decoder.ShowData680(EncodeFrameText(d));
        ASSERT_EQ(DescribeDisplay(hooks.lcd), d) << "case " << i << ": " << EncodeFrameText(d);
        const bool anyMain = d.digits != "    ";
        EXPECT_EQ(hooks.recorded, anyMain);
    }
}

TEST(FrameEncoder, ReadingTextsFollowTheDescription) {
    DecodeOnce hooks;
    ReadingDecoder decoder(hooks.lcd, hooks, ",");
    D d;
    d.digits = " 230";
    d.point = 3;
    d.minus = true;
    d.unit = D::Unit::Volt;
    d.function = D::Function::DcVolts;
    d.testVoltage = 0;
    decoder.ShowData680(EncodeFrameText(d));
    EXPECT_EQ(decoder.reading().ReadingValue, "-23,0");
    EXPECT_EQ(decoder.reading().ReadingUnit, "V");
    EXPECT_EQ(decoder.reading().ReadingFunction, "DCV  600V");
    EXPECT_FALSE(hooks.lcd.Visible(Element::KD));
}

}  // namespace
}  // namespace qx
