#include "display/widget/lcd_layout.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace qx {
namespace {

using E = Element;
using K = LcdItemKind;

constexpr QRect kWhole(0, 0, kPanel4Width, kPanel4Height);
constexpr QRect kKD(10, 40, 575, 63);
constexpr QRect kPanel8(230, 104, 189, 49);
constexpr QRect kMainDigits(202, 156, 311, 101);
constexpr QRect kPanel5(6, 116, 103, 47);
constexpr QRect kPanel6(4, 182, 187, 71);

// Collects the items; positions are given relative to a region, as designed.
class Builder {
  public:
    explicit Builder(std::vector<LcdItem>& items) : items_(items) {}

    Builder& In(const QRect& region, bool onScale = false) {
        region_ = region;
        onScale_ = onScale;
        return *this;
    }

    void Glyphs(std::string_view name, std::optional<E> e, int x, int y, LcdFace face, int size,
                std::string_view caption = {}) {
        // Digit labels are one digit wide; fixed captions take their own width.
        const double width =
            caption.empty() ? FaceAdvance(face, '8', size) : FaceAdvance(face, caption, size);
        const double height = kFaceCellHeight * size;
        const QRect cell(Origin(x, y), QSize(static_cast<int>(std::lround(width)),
                                             static_cast<int>(std::lround(height))));
        Add({name, e, onScale_, K::Glyphs, cell & region_, Origin(x, y), face, size, caption});
    }
    void Sized(std::string_view name, std::optional<E> e, K kind, int x, int y, int w, int h,
               int size = 0, std::string_view caption = {}, LcdPicture pic = LcdPicture::None) {
        Add({name, e, onScale_, kind, Rect(x, y, w, h), Origin(x, y), LcdFace::Digit, size, caption,
             pic});
    }
    // Bar-graph segments keep their design label sizes rather than the glyph's cell.
    void Bar(E e, int x, int y, int w, int h, int size, std::string_view glyph) {
        Add({ElementName(e), e, onScale_, K::Glyphs, Rect(x, y, w, h), Origin(x, y), LcdFace::Bar,
             size, glyph});
    }
    void Shape(std::string_view name, std::optional<E> e, int x, int y, int w, int h) {
        Sized(name, e, K::Shape, x, y, w, h);
    }
    void Picture(std::string_view name, E e, int x, int y, int w, int h, LcdPicture pic) {
        Sized(name, e, K::Picture, x, y, w, h, 0, {}, pic);
    }
    // Arial captions: the rectangle is the caption's advance by the font's line height.
    void Text(std::string_view name, std::optional<E> e, int x, int y, int px, int w, int h,
              std::string_view caption, K kind = K::Text) {
        Sized(name, e, kind, x, y, w, h, px, caption);
    }

  private:
    QPoint Origin(int x, int y) const { return region_.topLeft() + QPoint(x, y); }
    QRect Rect(int x, int y, int w, int h) const {
        return QRect(region_.left() + x, region_.top() + y, w, h) & region_;
    }
    void Add(LcdItem item) { items_.push_back(item); }

    std::vector<LcdItem>& items_;
    QRect region_ = kWhole;
    bool onScale_ = false;
};

std::vector<LcdItem> BuildLayout() {
    std::vector<LcdItem> items;
    Builder b(items);
    constexpr auto D = LcdFace::Digit;

    // Status row.
    b.In(kWhole);
    b.Picture("IGPower", E::IGPower, 12, 9, 51, 25, LcdPicture::Battery);
    b.Shape("powerV1", E::powerV1, 16, 13, 9, 17);
    b.Shape("powerv2", E::powerv2, 30, 13, 9, 17);
    b.Shape("powerv3", E::powerv3, 44, 13, 9, 17);
    b.Picture("IMoff", E::IMoff, 86, 6, 33, 29, LcdPicture::Off);
    b.Text("rsUSB", E::rsUSB, 452, 11, 21, 44, 24, "USB");
    b.Picture("IMmike", E::IMmike, 504, 10, 41, 25, LcdPicture::Signal);
    b.Picture("CONok", E::CONok, 549, 5, 32, 32, LcdPicture::NetworkLit);
    b.Picture("CONokN", E::CONokN, 549, 5, 32, 32, LcdPicture::NetworkGrey);

    // Annunciators.
    b.Picture("danger", E::danger, 198, 108, 27, 37, LcdPicture::Danger);
    b.Text("Labng", E::Labng, 112, 109, 21, 32, 24, "NG");
    b.Text("Labgood", E::Labgood, 452, 110, 21, 65, 24, "GOOD");
    b.Shape("Shape1", E::Shape1, 124, 148, 37, 5);
    b.Shape("Shape2", E::Shape2, 124, 156, 9, 5);
    b.Shape("Shape3", E::Shape3, 138, 156, 9, 5);
    b.Shape("Shape4", E::Shape4, 150, 156, 9, 5);
    b.Text("labdc", E::labdc, 126, 158, 24, 35, 27, "DC");
    b.Text("labt", E::labt, 172, 130, 29, 17, 33, "~");
    b.Text("labac", E::labac, 164, 158, 24, 34, 27, "AC");

    // Unit column.
    b.Glyphs("Labv", E::Labv, 535, 156, LcdFace::Unit, 24, "V");
    b.Glyphs("Labo", E::Labo, 554, 154, D, 24, "*");
    b.Glyphs("Labmo1", E::Labmo1, 537, 178, D, 24, "M*");
    b.Glyphs("Labgo1", E::Labgo1, 529, 204, D, 24, " G*");
    b.Glyphs("Labto", E::Labto, 541, 230, D, 24, "T*");

    // Mode row.
    b.Picture("power", E::power, 6, 254, 27, 29, LcdPicture::TimerDial);
    b.Text("labs1", E::labs1, 36, 260, 20, 30, 23, "S1 ");
    b.Text("labs2", E::labs2, 61, 260, 20, 25, 23, "S2");
    b.Text("labs3", E::labs3, 90, 260, 20, 25, 23, "S3");
    b.Text("labCOMP", E::labCOMP, 124, 258, 24, 72, 27, "COMP");
    b.Text("labTIME1", E::labTIME1, 206, 258, 24, 66, 27, "Time1");
    b.Text("labtime2", E::labtime2, 282, 259, 24, 66, 27, "Time2");
    b.Text("labsave", E::labsave, 364, 259, 24, 63, 27, "SAVE");
    b.Text("labLoad", E::labLoad, 444, 259, 24, 66, 27, "LOAD");
    b.Text("labp1", E::labp1, 530, 259, 24, 23, 27, "PI");

    // Main digit panel: minus sign, four digits, three decimal points.
    b.In(kMainDigits);
    b.Glyphs("LabelF", E::LabelF, 30, 6, D, 96, "-");
    b.Glyphs("LabelA", E::LabelA, 60, -4, D, 107);
    b.Glyphs("Point1", E::Point1, 104, 32, D, 64, ".");
    b.Glyphs("LabelB", E::LabelB, 120, -4, D, 107);
    b.Glyphs("Point2", E::Point2, 166, 30, D, 64, ".");
    b.Glyphs("LabelC", E::LabelC, 184, -6, D, 107);
    b.Glyphs("Point3", E::Point3, 222, 28, D, 64, ".");
    b.Glyphs("LabelD", E::LabelD, 240, -6, D, 107);

    // Test voltage.
    b.In(kPanel8);
    b.Glyphs("Label3", E::Label3, 18, 0, D, 48);
    b.Glyphs("Label7", E::Label7, 53, 0, D, 48);
    b.Glyphs("Label10", E::Label10, 82, 0, D, 48);
    b.Glyphs("Label9", E::Label9, 116, 0, D, 48);
    b.Glyphs("Label4", E::Label4, 151, 16, LcdFace::Unit, 21, "V");

    // Store counter: the tens place can only show 1.
    b.In(kPanel5);
    b.Glyphs("stor1", E::stor1, 8, 0, D, 48, "1");
    b.Glyphs("stor2", E::stor2, 32, 0, D, 48);
    b.Text("LabFUL", E::LabFUL, 68, 8, 16, 31, 18, "FUL");
    b.Text("Labclr", E::Labclr, 66, 26, 16, 32, 18, "CLR");

    // Timer.
    b.In(kPanel6);
    b.Glyphs("H_Time1", E::H_Time1, 26, -6, D, 56);
    b.Glyphs("H_Time2", E::H_Time2, 51, -6, D, 56);
    b.Glyphs("T_dPoint1", E::T_dPoint1, 71, 0, D, 48, ":");
    b.Glyphs("M_Time1", E::M_Time1, 86, -6, D, 56);
    b.Glyphs("M_Time2", E::M_Time2, 112, -6, D, 56);
    b.Text("Labtime", E::Labtime, 35, 48, 19, 82, 22, " min : sec");
    b.Glyphs("labmo", E::labmo, 153, 8, D, 19, "M*");
    b.Glyphs("Labgo", E::Labgo, 152, 30, D, 19, "G*");

    // Resistance scale and bar graph.
    b.In(kKD);
    b.Sized("KD", E::KD, K::Region, 0, 0, kKD.width(), kKD.height());
    b.In(kKD, true);
    b.Sized("KD1", std::nullopt, K::Region, 0, 0, kKD.width(), kKD.height());
    b.Shape("Shape5", std::nullopt, 18, 26, 533, 5);
    static constexpr std::array<std::pair<std::string_view, int>, 10> kTicks = {{
        {"Shape14", 17},
        {"Shape6", 48},
        {"Shape7", 109},
        {"Shape8", 173},
        {"Shape9", 239},
        {"Shape10", 301},
        {"Shape11", 368},
        {"Shape12", 429},
        {"Shape13", 497},
        {"Shape15", 550},
    }};
    for (const auto& [name, x] : kTicks) b.Shape(name, std::nullopt, x, 18, 6, 8);
    struct ScaleLabel {
        std::string_view name;
        int x;
        int width;
        std::string_view caption;
    };
    static constexpr std::array<ScaleLabel, 10> kLabels = {{
        {"Label1", 14, 8, "0"},
        {"Label2", 40, 34, "100K"},
        {"Label8", 101, 20, "1M"},
        {"Label11", 161, 28, "10M"},
        {"Label12", 225, 35, "100M"},
        {"Label13", 293, 19, "1G"},
        {"Label14", 353, 27, "10G"},
        {"Label15", 411, 35, "100G"},
        {"Label16", 489, 17, "1T"},
        {"Label17", 545, 10, "\xE2\x88\x9E"},  // the infinity sign, U+221E
    }};
    for (const auto& l : kLabels)
        b.Text(l.name, std::nullopt, l.x, 2, 14, l.width, 16, l.caption, K::BoldText);
    b.Bar(E::Bar0, 6, 14, 32, 49, 64, "|");
    for (int k = 1; k <= 28; ++k)
        b.Bar(BarElement(k), 42 + 16 * (k - 1), 26, k >= 23 ? 8 : 9, 30, 27, "!");
    b.Bar(E::bar29, 492, 26, 8, 30, 27, "!");
    b.Bar(E::bar30, 514, 14, 39, 47, 64, "{");
    return items;
}

}  // namespace

const std::vector<LcdItem>& LcdLayout() {
    static const std::vector<LcdItem> items = BuildLayout();
    return items;
}

const LcdItem& LcdItemOf(Element e) {
    static const std::array<const LcdItem*, kElementCount> byElement = [] {
        std::array<const LcdItem*, kElementCount> table{};
        for (const LcdItem& item : LcdLayout())
            if (item.element) table[static_cast<std::size_t>(Index(*item.element))] = &item;
        for (const LcdItem* item : table)
            if (!item) throw std::logic_error("LCD layout misses an element");
        return table;
    }();
    return *byElement[static_cast<std::size_t>(Index(e))];
}

QRect ElementRect(Element e) {
    return LcdItemOf(e).rect;
}

const LcdItem* FindLcdItem(std::string_view name) {
    for (const LcdItem& item : LcdLayout())
        if (item.name == name) return &item;
    return nullptr;
}

const std::vector<LcdRegion>& LcdRegions() {
    static const std::vector<LcdRegion> regions = {
        {"KD", kKD},         {"Panel8", kPanel8}, {"MainDigits", kMainDigits},
        {"Panel5", kPanel5}, {"Panel6", kPanel6},
    };
    return regions;
}

bool ItemShown(const LcdItem& item, const LcdState& state) {
    if (item.kind == LcdItemKind::Region) return false;
    if (item.onScale && !state.Visible(Element::KD)) return false;
    return !item.element || state.Visible(*item.element);
}

}  // namespace qx
