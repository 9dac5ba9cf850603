#include "display/widget/lcd_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QRegion>
#include <set>
#include <string>
#include <vector>

#include "display/reading_decoder.h"
#include "display/widget/lcd_layout.h"
#include "display/widget/lcd_pictures.h"

namespace qx {
namespace {

using E = Element;

int argc = 1;
char arg0[] = "lcd_tests";
char* argv[] = {arg0, nullptr};

// Ink is anything clearly darker than the white glass (antialiased edges included).
bool Dark(QRgb c) {
    return qGray(c) < 200;
}
// The screens of the link indicator: lit for CONok, grey for CONokN.
bool Near(QRgb c, QRgb want) {
    return std::abs(qRed(c) - qRed(want)) + std::abs(qGreen(c) - qGreen(want)) +
               std::abs(qBlue(c) - qBlue(want)) <=
           9;
}
bool LitScreen(QRgb c) {
    return Near(c, kLitScreen);
}
bool GreyScreen(QRgb c) {
    return Near(c, kGreyScreen);
}

template <typename Pred>
int Count(const QImage& img, const QRegion& region, Pred pred) {
    int n = 0;
    for (const QRect& r : region)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += pred(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// Inside the panel's one-pixel bevel.
const QRect kInterior(1, 1, kPanel4Width - 2, kPanel4Height - 2);

// A digit frame text: zeros except the given characters at 1-based positions, then CR LF.
std::string Frame(std::initializer_list<std::pair<int, std::string>> nibbles) {
    std::string text(40, '0');
    for (const auto& [pos, chars] : nibbles)
        text.replace(static_cast<std::size_t>(pos - 1), chars.size(), chars);
    return text + "0D0A";
}

struct Hooks : DecoderHooks {
    explicit Hooks(LcdState& lcd) : lcd(lcd) {}
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int) override {}
    LcdState& lcd;
};

// The start-up picture after `frames` went through the decoder.
LcdState Decoded(const std::vector<std::string>& frames) {
    LcdState lcd = LcdState::StartUp();
    Hooks hooks(lcd);
    ReadingDecoder decoder(lcd, hooks, ".");
    for (const std::string& f : frames) decoder.ShowData680(f);
    return lcd;
}

// Nothing visible; digits at "8" so a lit digit shows every segment.
LcdState NothingLit() {
    LcdState s;
    s.captions.fill('8');
    return s;
}

std::vector<Element> AllElements() {
    std::vector<Element> all;
    for (int i = 0; i < kElementCount; ++i) all.push_back(static_cast<Element>(i));
    return all;
}

class LcdWidgetTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    QImage Render(const LcdState& state) {
        if (!widget) {
            widget = std::make_unique<LcdWidget>();
            widget->resize(kPanel4Width, kPanel4Height);
        }
        widget->setState(state);
        QImage img(kPanel4Width, kPanel4Height, QImage::Format_RGB32);
        img.fill(Qt::red);  // the widget must lay its own white glass
        widget->render(&img);
        return img;
    }
    // The part of an item's rectangle that no other shown item's rectangle covers.
    static QRegion OwnArea(const LcdItem& item, const LcdState& state) {
        QRegion own(item.rect);
        for (const LcdItem& other : LcdLayout())
            if (&other != &item && ItemShown(other, state)) own -= other.rect;
        return own;
    }
    std::unique_ptr<LcdWidget> widget;
};

TEST_F(LcdWidgetTest, LayoutHasOneItemPerElementAndTheScale) {
    std::set<std::string_view> names;
    for (const LcdItem& item : LcdLayout()) {
        EXPECT_TRUE(names.insert(item.name).second) << "duplicate " << item.name;
        EXPECT_TRUE(kInterior.contains(item.rect)) << item.name;
        EXPECT_FALSE(item.rect.isEmpty()) << item.name;
        if (item.element) {
            EXPECT_EQ(item.name, ElementName(*item.element));
        } else {
            EXPECT_TRUE(item.onScale) << item.name << " is never switched, so it must sit in KD";
        }
    }
    for (Element e : AllElements()) EXPECT_EQ(LcdItemOf(e).name, ElementName(e));
    // KD1, the axis, ten ticks and ten labels are never switched.
    EXPECT_EQ(LcdLayout().size(), static_cast<std::size_t>(kElementCount) + 22);
    for (int k = 0; k < 30; ++k) {
        EXPECT_TRUE(LcdItemOf(BarElement(k)).onScale);
        EXPECT_LT(ElementRect(BarElement(k)).right(), ElementRect(BarElement(k + 1)).left());
    }
    // Design sizes and offsets: the main digits are 40 x 120 (clipped by their panel), the
    // test-voltage digits sit in Panel8 at 230, 104.
    EXPECT_EQ(ElementRect(E::LabelA), QRect(262, 152, 40, 120) & QRect(202, 156, 311, 101));
    EXPECT_DOUBLE_EQ(std::round(kFaceCellHeight * 107), 120);
    EXPECT_EQ(ElementRect(E::Label3).topLeft(), QPoint(248, 104));
    EXPECT_EQ(ElementRect(E::KD), QRect(10, 40, 575, 63));
    EXPECT_EQ(ElementRect(E::CONok), ElementRect(E::CONokN));
    EXPECT_EQ(FindLcdItem("Label17")->caption, "\xE2\x88\x9E");
}

TEST(LcdGlyphs, SevenSegmentCharacters) {
    const struct {
        char c;
        std::uint8_t segments;
    } cases[] = {
        {'8', kSegA | kSegB | kSegC | kSegD | kSegE | kSegF | kSegG},
        {'0', kSegA | kSegB | kSegC | kSegD | kSegE | kSegF},
        {'1', kSegB | kSegC},
        {'7', kSegA | kSegB | kSegC},
        {'-', kSegG},
        {'@', kSegD | kSegE | kSegF},  // the letter L
        {'H', 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SevenSegments(c.c), c.segments) << c.c;
}

// Every item, drawn alone, puts ink inside its rectangle and nowhere else.
TEST_F(LcdWidgetTest, EachElementDrawsOnlyInsideItsRectangle) {
    EXPECT_EQ(Count(Render(NothingLit()), kInterior, [](QRgb c) { return Dark(c); }), 0);
    QRegion scale;
    for (const LcdItem& item : LcdLayout())
        if (!item.element && item.kind != LcdItemKind::Region) scale += item.rect;
    for (Element e : AllElements()) {
        const LcdItem& item = LcdItemOf(e);
        if (item.kind == LcdItemKind::Region) continue;
        LcdState s = NothingLit();
        s.SetVisible(e, true);
        if (item.onScale) s.SetVisible(E::KD, true);
        const QImage img = Render(s);
        // A bar segment needs KD, which brings the scale along.
        const QRegion outside = QRegion(kInterior) - item.rect - (item.onScale ? scale : QRegion());
        EXPECT_GT(Count(img, item.rect, [](QRgb c) { return Dark(c); }), 0) << item.name;
        EXPECT_EQ(Count(img, outside, [](QRgb c) { return Dark(c); }), 0) << item.name;
    }
    // The scale shows with KD alone: every scale item inked, nothing else.
    LcdState kd = NothingLit();
    kd.SetVisible(E::KD, true);
    const QImage img = Render(kd);
    for (const LcdItem& item : LcdLayout()) {
        if (item.element || item.kind == LcdItemKind::Region) continue;
        EXPECT_GT(Count(img, item.rect, [](QRgb c) { return Dark(c); }), 0) << item.name;
    }
    EXPECT_EQ(Count(img, QRegion(kInterior) - scale, [](QRgb c) { return Dark(c); }), 0);
}

// Each digit glyph is a distinct subset of the full "8"; an unknown caption draws nothing.
TEST_F(LcdWidgetTest, DigitGlyphsAreSubsetsOfEight) {
    const QRect r = ElementRect(E::LabelB);
    auto glyph = [&](char c) {
        LcdState s = NothingLit();
        s.SetVisible(E::LabelB, true);
        s.SetCaption(E::LabelB, c);
        return Render(s).copy(r);
    };
    const QImage eight = glyph('8');
    std::vector<QImage> seen;
    for (char c : std::string("0123456789-@")) {
        const QImage img = glyph(c);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Dark(img.pixel(x, y))) {
                    ASSERT_TRUE(Dark(eight.pixel(x, y))) << c;
                }
        for (const QImage& other : seen) EXPECT_NE(img, other) << c;
        seen.push_back(img);
    }
    EXPECT_EQ(Count(glyph('H'), QRect(QPoint(0, 0), r.size()), [](QRgb c) { return Dark(c); }), 0);
}

TEST_F(LcdWidgetTest, FramesLightExactlyTheirElements) {
    const std::string example = "000000000000000000000EE3A7364005B7DFD0000D0A";
    std::vector<Element> scaleAndBars = {E::KD};
    for (int k = 0; k <= 30; ++k) scaleAndBars.push_back(BarElement(k));
    std::vector<Element> digits;
    for (int d = 0; d < kDigitCount; ++d) digits.push_back(DigitElement(d));
    auto allBut = [](std::vector<Element> except) {
        std::vector<Element> out;
        for (Element e : AllElements())
            if (std::find(except.begin(), except.end(), e) == except.end()) out.push_back(e);
        return out;
    };

    const struct {
        const char* name;
        std::vector<std::string> frames;
        std::vector<Element> lit;
        std::vector<Element> dark;
        bool scaleShown;
    } cases[] = {
        {"start-up", {}, allBut({E::CONok}), {}, true},
        {"example 1.234 MOhm at 500 V",
         {example},
         {E::LabelA, E::Point1, E::LabelB, E::LabelC, E::LabelD, E::Labmo1, E::Label7, E::Label10,
          E::Label9, E::Label4, E::rsUSB},
         {E::Label3, E::Point2, E::Point3, E::LabelF, E::Labo, E::Labv, E::H_Time1, E::M_Time2,
          E::stor2, E::stor1, E::Bar0, E::bar15, E::bar30, E::labdc, E::IGPower},
         true},
        // DC 230.5 V with every bar bit set: the scale and the whole bar graph stay dark.
        {"DC voltage",
         {Frame({{1, "FFFFFFF1"}, {21, "E3A7DFB5"}, {29, "1"}})},
         {E::labdc, E::Shape1, E::Shape2, E::Shape3, E::Shape4, E::LabelA, E::LabelB, E::LabelC,
          E::Point3, E::LabelD, E::Labv},
         scaleAndBars,
         false},
        // Every direct bit set, every digit code blank ("00"): all 13 digits dark.
        {"blank digits",
         {Frame({{1, "FFFFFFFC"}, {19, "FF"}, {29, "F"}, {38, "FFF"}})},
         {E::LabelF, E::labmo, E::power, E::labs3, E::labLoad, E::Labv, E::Labgo1, E::IMmike,
          E::stor1, E::Bar0, E::bar30, E::IGPower, E::powerV1},
         digits,
         true},
    };
    for (const auto& c : cases) {
        const LcdState state = Decoded(c.frames);
        const QImage img = Render(state);
        auto ink = [&](const QRegion& r) { return Count(img, r, [](QRgb p) { return Dark(p); }); };
        // CONok and CONokN share one place: the link indicator test tells them apart by colour.
        for (Element e : c.lit) {
            const LcdItem& item = LcdItemOf(e);
            if (item.kind == LcdItemKind::Region || e == E::CONok || e == E::CONokN) continue;
            const QRegion own = OwnArea(item, state);  // empty for the bars inside the battery
            EXPECT_GT(ink(own.isEmpty() ? QRegion(item.rect) : own), 0)
                << c.name << ": " << item.name;
        }
        for (Element e : c.dark) {
            const LcdItem& item = LcdItemOf(e);
            if (item.kind == LcdItemKind::Region) continue;
            EXPECT_EQ(ink(OwnArea(item, state)), 0) << c.name << ": " << item.name;
        }
        for (const LcdItem& item : LcdLayout()) {
            if (item.element || item.kind == LcdItemKind::Region) continue;
            const QRegion own = OwnArea(item, state);
            if (own.isEmpty()) continue;  // a tick under a lit end segment
            EXPECT_EQ(ink(own) > 0, c.scaleShown) << c.name << ": " << item.name;
        }
    }
}

// The link indicator swaps picture once per decoded frame, starting grey.
TEST_F(LcdWidgetTest, LinkIndicatorAlternatesFrameByFrame) {
    const std::string frame = Frame({{21, "0E"}});
    const QRect r = ElementRect(E::CONok);
    std::vector<std::string> frames;
    for (int n = 0; n <= 4; ++n) {
        const QImage img = Render(Decoded(frames));
        const bool lit = n % 2 == 1;
        EXPECT_EQ(Count(img, r, LitScreen) > 20, lit) << n << " frames";
        EXPECT_EQ(Count(img, r, GreyScreen) > 20, !lit) << n << " frames";
        frames.push_back(frame);
    }
}

// setState asks for exactly one repaint, however the state changed.
TEST_F(LcdWidgetTest, OneRepaintPerState) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    LcdWidget w;
    w.resize(kPanel4Width, kPanel4Height);
    w.installEventFilter(&counter);
    w.show();
    QApplication::processEvents();
    counter.paints = 0;
    w.setState(Decoded({"000000000000000000000EE3A7364005B7DFD0000D0A"}));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(w.state(), Decoded({"000000000000000000000EE3A7364005B7DFD0000D0A"}));
}

// Drawn as vectors, not scaled bitmaps: at twice the pixel density the solid ink grows four
// times and the antialiased edge only about twice (a scaled-up bitmap would blur it fourfold).
TEST_F(LcdWidgetTest, SharpAtHigherPixelDensity) {
    LcdState s = NothingLit();
    s.SetVisible(E::LabelD, true);
    s.SetVisible(E::Labgo1, true);
    s.SetVisible(E::danger, true);
    LcdWidget w;
    w.resize(kPanel4Width, kPanel4Height);
    w.setState(s);
    struct Ink {
        int solid = 0, edge = 0;
    };
    auto render = [&](int dpr) {
        QImage img(QSize(kPanel4Width, kPanel4Height) * dpr, QImage::Format_RGB32);
        img.setDevicePixelRatio(dpr);
        w.render(&img);
        Ink ink;
        const QRect all(QPoint(1, 1) * dpr, (kInterior.size() - QSize(1, 1)) * dpr);
        ink.solid = Count(img, all, [](QRgb c) { return qGray(c) < 60; });
        ink.edge = Count(img, all, [](QRgb c) { return qGray(c) >= 60 && qGray(c) < 200; });
        return ink;
    };
    const Ink one = render(1), two = render(2);
    EXPECT_NEAR(two.solid, 4.0 * one.solid, 0.15 * 4 * one.solid);
    EXPECT_LT(two.edge, 3 * one.edge);
}

}  // namespace
}  // namespace qx
