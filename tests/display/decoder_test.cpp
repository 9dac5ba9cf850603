#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/frame_format.h"
#include "display/reading_decoder.h"

namespace qx {
namespace {

using E = Element;

// The documented example: 1.234 MΩ at a 500 V test.
const std::string kExample = "000000000000000000000EE3A7364005B7DFD0000D0A";

struct HookLog : DecoderHooks {
    explicit HookLog(LcdState& lcd) : lcd(lcd) {}
    void RestartNoDataTimer() override { calls.push_back("timer"); }
    void DispInit(int kind) override {
        calls.push_back("dispinit" + std::to_string(kind));
        lcd.DispInit(kind);
    }
    void INDataToTable(int kind) override { calls.push_back("record" + std::to_string(kind)); }
    LcdState& lcd;
    std::vector<std::string> calls;
};

struct Fixture {
    explicit Fixture(std::string sep = ".") : hooks(lcd), decoder(lcd, hooks, std::move(sep)) {}
    const Reading& decode(const std::string& frame) {
        hooks.calls.clear();
        decoder.ShowData680(frame);
        return decoder.reading();
    }
    LcdState lcd = LcdState::StartUp();
    HookLog hooks;
    ReadingDecoder decoder;
};

// Sets the two characters at 1-based positions `hi` and `lo` to a code byte.
std::string WithCode(std::string frame, int hi, int lo, const char* code) {
    frame.at(static_cast<std::size_t>(hi - 1)) = code[0];
    frame.at(static_cast<std::size_t>(lo - 1)) = code[1];
    return frame;
}
std::string WithChar(std::string frame, int pos, char c) {
    frame.at(static_cast<std::size_t>(pos - 1)) = c;
    return frame;
}

TEST(Decoder, ExampleFrame) {
    Fixture f;
    const Reading& r = f.decode(kExample);
    EXPECT_EQ(r.ReadingValue, "1.234");
    EXPECT_EQ(r.ReadingUnit, "M\xA6\xB8");
    EXPECT_EQ(r.ReadingFunction, "IR:500V 20G\xA6\xB8");
    EXPECT_EQ(r.ReadingMode, "Continuous");
    EXPECT_EQ(f.hooks.calls, (std::vector<std::string>{"timer", "dispinit0", "record1"}));
    EXPECT_TRUE(f.lcd.Visible(E::KD));
    EXPECT_TRUE(f.lcd.Visible(E::Point1));
    EXPECT_FALSE(f.lcd.Visible(E::Point2));
    EXPECT_TRUE(f.lcd.Visible(E::Labmo1));
    EXPECT_TRUE(f.lcd.Visible(E::Label4));
    EXPECT_FALSE(f.lcd.Visible(E::Label3));
    EXPECT_EQ(f.lcd.Caption(E::Label7), '5');
    EXPECT_EQ(f.lcd.Caption(E::Label9), '0');
    for (E d : {E::H_Time1, E::H_Time2, E::M_Time1, E::M_Time2, E::stor2})
        EXPECT_FALSE(f.lcd.Visible(d)) << ElementName(d);
    EXPECT_TRUE(f.lcd.Visible(E::CONok));
    EXPECT_FALSE(f.lcd.Visible(E::CONokN));
    EXPECT_FALSE(f.lcd.Visible(E::Bar0));  // no bar bits set
}

TEST(Decoder, CommaSeparatorAndMinus) {
    Fixture f(",");
    EXPECT_EQ(f.decode(kExample).ReadingValue, "1,234");
    EXPECT_EQ(f.decode(WithChar(kExample, 8, '4')).ReadingValue, "-1,234");
    EXPECT_TRUE(f.lcd.Visible(E::LabelF));
}

TEST(Decoder, GlyphTables) {
    struct Case {
        const char* code;
        bool volt;
        const char* pair;
    };
    const Case cases[] = {
        {"7D", false, "0N"}, {"FB", false, "9P"}, {"0D", false, "@N"}, {"8D", false, "@P"},
        {"00", false, "HN"}, {"02", false, "--"}, {"80", false, "GP"}, {"7d", false, "GP"},
        {"D7", true, "0N"},  {"FD", true, "9P"},  {"08", true, "HN"},  {"02", true, "GP"},
        {"7", false, "GP"},  {"7DX", false, "0N"},
    };
    for (const Case& c : cases) {
        const GlyphPair p = c.volt ? VoltSegToChar(c.code) : SegToChar(c.code);
        EXPECT_EQ(p.Text(), c.pair) << c.code << (c.volt ? " volt" : "");
    }
    EXPECT_EQ(HexCharValue('A'), 10);
    EXPECT_EQ(HexCharValue('9'), 9);
    EXPECT_FALSE(HexCharValue('a'));
}

TEST(Decoder, MainDigitCases) {
    struct Case {
        const char* name;
        std::string frame;
        const char* value;
        bool recorded;
    };
    std::string dashes = kExample;
    for (int d = 0; d < 4; ++d) dashes = WithCode(dashes, 22 + 2 * d, 21 + 2 * d, "02");
    std::string blank = kExample;
    for (int d = 0; d < 4; ++d) blank = WithCode(blank, 22 + 2 * d, 21 + 2 * d, "00");
    const Case cases[] = {
        {"letter L", WithCode(kExample, 24, 23, "0D"), "1.L34", true},
        {"letter L with flag", WithCode(kExample, 24, 23, "8D"), "1.L.34", true},
        {"fourth digit flag (TΩ)", WithCode(kExample, 28, 27, "E3"), "1.234.", true},
        {"dashes", dashes, "", true},
        {"dashes with minus", WithChar(dashes, 8, '4'), "-", true},
        {"all blank", blank, "", false},
        {"unknown code skips digit", WithCode(kExample, 24, 23, "80"), "1.34", true},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.decode(kExample);
        const Reading& r = f.decode(c.frame);
        EXPECT_EQ(r.ReadingValue, c.value) << c.name;
        const bool recorded = !f.hooks.calls.empty() && f.hooks.calls.back() == "record1";
        EXPECT_EQ(recorded, c.recorded) << c.name;
    }
}

TEST(Decoder, UnknownCodeKeepsPreviousDigit) {
    Fixture f;
    f.decode(kExample);
    f.decode(WithCode(kExample, 24, 23, "80"));
    EXPECT_TRUE(f.lcd.Visible(E::LabelB));
    EXPECT_EQ(f.lcd.Caption(E::LabelB), '2');
    // Hidden by a blank code, then unknown: stays hidden with its caption.
    f.decode(WithCode(kExample, 24, 23, "00"));
    f.decode(WithCode(kExample, 24, 23, "80"));
    EXPECT_FALSE(f.lcd.Visible(E::LabelB));
    EXPECT_EQ(f.lcd.Caption(E::LabelB), '2');
}

TEST(Decoder, FlagGroups) {
    Fixture f;
    // Each main digit's flag lights only its own point.
    f.decode(WithCode(WithCode(kExample, 22, 21, "60"), 24, 23, "BE"));  // 12.34
    EXPECT_FALSE(f.lcd.Visible(E::Point1));
    EXPECT_TRUE(f.lcd.Visible(E::Point2));
    EXPECT_FALSE(f.lcd.Visible(E::Point3));
    // A dash on a time digit lights its flag element although the flag bit is clear.
    f.decode(WithCode(kExample, 13, 14, "02"));
    EXPECT_TRUE(f.lcd.Visible(E::Labtime));
    EXPECT_TRUE(f.lcd.Visible(E::T_dPoint1));
    EXPECT_EQ(f.lcd.Caption(E::H_Time2), '-');
    // Store digit with flag: FUL.
    f.decode(WithCode(kExample, 17, 18, "E0"));
    EXPECT_TRUE(f.lcd.Visible(E::LabFUL));
    EXPECT_EQ(f.lcd.Caption(E::stor2), '1');
}

TEST(Decoder, UnitAndModePrecedence) {
    Fixture f;
    const std::string bothUnits = WithChar(kExample, 29, 'C');  // MΩ and GΩ
    EXPECT_EQ(f.decode(bothUnits).ReadingUnit, "G\xA6\xB8");
    EXPECT_TRUE(f.lcd.Visible(E::Labmo1));
    EXPECT_TRUE(f.lcd.Visible(E::Labgo1));
    // No unit bit: the unit carries over.
    EXPECT_EQ(f.decode(WithChar(kExample, 29, '0')).ReadingUnit, "G\xA6\xB8");

    // Timed and PI: PI wins.
    std::string timedPi = WithChar(WithChar(kExample, 19, '1'), 38, '4');
    EXPECT_EQ(f.decode(WithChar(kExample, 19, '1')).ReadingMode, "Timed");
    EXPECT_EQ(f.decode(timedPi).ReadingMode, "PI");
    // Label7 and Label10 flags: COMP:GOOD wins over COMP:NG and over PI.
    std::string comp = WithCode(WithCode(timedPi, 33, 32, "BD"), 35, 34, "DF");  // "5"+flag, "0"+flag
    const Reading& r = f.decode(comp);
    EXPECT_EQ(r.ReadingMode, "COMP:GOOD");
    EXPECT_TRUE(f.lcd.Visible(E::Labng));
    EXPECT_TRUE(f.lcd.Visible(E::Labgood));
    EXPECT_EQ(f.decode(WithCode(kExample, 33, 32, "BD")).ReadingMode, "COMP:NG");
}

TEST(Decoder, FunctionFromTestVoltageCarriesOver) {
    Fixture f;
    // 2500 V: Label3 "2", Label7 "5".
    const std::string v2500 = WithCode(kExample, 31, 30, "E3");
    EXPECT_EQ(f.decode(v2500).ReadingFunction, "IR:2500 100G\xA6\xB8");
    EXPECT_EQ(f.decode(kExample).ReadingFunction, "IR:500V 20G\xA6\xB8");
    const std::string v1000 = WithCode(WithCode(kExample, 31, 30, "50"), 33, 32, "D7");
    EXPECT_EQ(f.decode(v1000).ReadingFunction, "IR:1000V 40G\xA6\xB8");
    const std::string v5000 = WithCode(WithCode(kExample, 31, 30, "B5"), 33, 32, "D7");
    EXPECT_EQ(f.decode(v5000).ReadingFunction, "IR:5000V 1000G\xA6\xB8");

    // DC frame: function, KD hidden even with bar bits set; the next insulation frame without a
    // recognised voltage keeps the DC text but shows the scale again.
    const std::string dc = WithChar(WithChar(kExample, 8, '1'), 1, 'F');
    EXPECT_EQ(f.decode(dc).ReadingFunction, "DCV  600V");
    EXPECT_FALSE(f.lcd.Visible(E::KD));
    EXPECT_TRUE(f.lcd.Visible(E::Shape3));
    // Label3 "1" with Label7 "5" matches no test voltage.
    const std::string noVoltage = WithCode(kExample, 31, 30, "50");
    EXPECT_EQ(f.decode(noVoltage).ReadingFunction, "DCV  600V");
    EXPECT_TRUE(f.lcd.Visible(E::KD));
    // Blank voltage digits: Label7's caption "5" carries over and Label3 is hidden: 500 V.
    EXPECT_EQ(f.decode(WithCode(WithCode(kExample, 31, 30, "00"), 33, 32, "00")).ReadingFunction,
              "IR:500V 20G\xA6\xB8");
    // DC and AC both: AC wins.
    EXPECT_EQ(f.decode(WithChar(kExample, 8, '3')).ReadingFunction, "ACV  600V");
    EXPECT_TRUE(f.lcd.Visible(E::labac));
}

TEST(Decoder, BadFramesOnlyFlipTheIndicator) {
    const std::string bad[] = {
        kExample.substr(0, 43), WithChar(kExample, 42, 'E'), WithChar(kExample, 3, 'x'), ""};
    for (const std::string& frame : bad) {
        Fixture f;
        f.decode(kExample);
        const LcdState before = f.lcd;
        const Reading& r = f.decode(frame);
        EXPECT_EQ(f.hooks.calls, std::vector<std::string>{"timer"}) << frame;
        EXPECT_EQ(r.ReadingValue, "");
        EXPECT_EQ(r.ReadingMode, "Continuous");
        EXPECT_EQ(r.ReadingUnit, "M\xA6\xB8");
        EXPECT_NE(f.lcd.Visible(E::CONok), before.Visible(E::CONok));
        LcdState expected = before;
        expected.SetVisible(E::CONok, !before.Visible(E::CONok));
        expected.SetVisible(E::CONokN, !before.Visible(E::CONokN));
        EXPECT_EQ(f.lcd, expected) << frame;
    }
}

TEST(Decoder, AllZeroFrameHidesEverythingAndTrailingCharsIgnored) {
    Fixture f;
    f.decode(std::string(40, '0') + "0D0A" + "0D0A");
    for (int i = 0; i < kSegmentSetCount; ++i)
        EXPECT_FALSE(f.lcd.Visible(static_cast<E>(i))) << ElementName(static_cast<E>(i));
    for (int d = 0; d < kDigitCount; ++d) EXPECT_FALSE(f.lcd.Visible(DigitElement(d)));
    EXPECT_EQ(f.lcd.Caption(E::LabelA), '8');  // keeps its caption while hidden
    EXPECT_TRUE(f.lcd.Visible(E::KD));
    // Position 38 value 2 drives nothing.
    LcdState before = f.lcd;
    f.decode(WithChar(std::string(40, '0') + "0D0A", 38, '2'));
    before.SetVisible(E::CONok, !before.Visible(E::CONok));
    before.SetVisible(E::CONokN, !before.Visible(E::CONokN));
    EXPECT_EQ(f.lcd, before);
}

TEST(Decoder, EverySingleBitLightsItsElement) {
    for (const BitElement& b : SingleBitElements()) {
        Fixture f;
        std::string frame(40, '0');
        frame += "0D0A";
        frame[static_cast<std::size_t>(b.position - 1)] = "0123456789ABCDEF"[b.value & 0x0F];
        f.decode(frame);
        EXPECT_TRUE(f.lcd.Visible(b.element)) << ElementName(b.element);
    }
}

}  // namespace
}  // namespace qx
