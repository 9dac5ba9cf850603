#include "display/widget/lcd_glyphs.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>
#include <QtMath>
#include <cmath>
#include <unordered_map>

namespace qx {
namespace {

// Digit and unit faces share one body: ink from kInkTop to kInkBottom of the size, slanted
// forward like the tester's glass. All numbers are fractions of the glyph size.
constexpr double kInkTop = 0.13;
constexpr double kInkBottom = 0.85;
constexpr double kSlant = 0.07;   // horizontal shift per unit of height
constexpr double kStroke = 0.08;  // segment thickness
constexpr double kGap = 0.012;    // gap between neighbouring segments
// The unit letters and the ohm sign are small: solid strokes, a little heavier.
constexpr double kLetterStroke = 0.10;
constexpr double kDigitAdvance = 0.374;
constexpr double kDigitLeft = 0.04;
constexpr double kDigitWidth = 0.30;

// A box in glyph units (multiply by the size to get pixels).
struct Box {
    double x0, y0, x1, y1;
};

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Seven-segment bodies with bevelled tips, laid out on the centre lines of `box`.
class SegmentBuilder {
  public:
    SegmentBuilder(const Box& box, double size)
        : t_(kStroke * size),
          g_(kGap * size),
          xl_(box.x0 * size + t_ / 2),
          xr_(box.x1 * size - t_ / 2),
          yt_(box.y0 * size + t_ / 2),
          ym_((box.y0 + box.y1) / 2 * size),
          yb_(box.y1 * size - t_ / 2) {}

    QPainterPath Horizontal(double y, double xa, double xb) const {
        const double h = t_ / 2;
        return Polygon({{xa + g_, y},
                        {xa + g_ + h, y - h},
                        {xb - g_ - h, y - h},
                        {xb - g_, y},
                        {xb - g_ - h, y + h},
                        {xa + g_ + h, y + h}});
    }
    QPainterPath Vertical(double x, double ya, double yb) const {
        const double h = t_ / 2;
        return Polygon({{x, ya + g_},
                        {x + h, ya + g_ + h},
                        {x + h, yb - g_ - h},
                        {x, yb - g_},
                        {x - h, yb - g_ - h},
                        {x - h, ya + g_ + h}});
    }
    QPainterPath Segments(std::uint8_t bits) const {
        QPainterPath path;
        if (bits & kSegA) path.addPath(Horizontal(yt_, xl_, xr_));
        if (bits & kSegB) path.addPath(Vertical(xr_, yt_, ym_));
        if (bits & kSegC) path.addPath(Vertical(xr_, ym_, yb_));
        if (bits & kSegD) path.addPath(Horizontal(yb_, xl_, xr_));
        if (bits & kSegE) path.addPath(Vertical(xl_, ym_, yb_));
        if (bits & kSegF) path.addPath(Vertical(xl_, yt_, ym_));
        if (bits & kSegG) path.addPath(Horizontal(ym_, xl_, xr_));
        return path;
    }
    double t() const { return t_; }
    double xl() const { return xl_; }
    double xr() const { return xr_; }
    double xc() const { return (xl_ + xr_) / 2; }
    double yt() const { return yt_; }
    double ym() const { return ym_; }
    double yb() const { return yb_; }

  private:
    double t_, g_, xl_, xr_, yt_, ym_, yb_;
};

QPainterPath Stroked(const QPainterPath& centreLine, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(centreLine);
}

// The ohm sign: a horseshoe on two short legs with outward feet.
QPainterPath OhmSign(const Box& box, double size) {
    const double t = kLetterStroke * size;
    const double x0 = box.x0 * size, x1 = box.x1 * size;
    const double y0 = box.y0 * size, y1 = box.y1 * size;
    const double yb = y1 - t / 2;
    const QRectF ring(x0 + t / 2 + 0.02 * size, y0 + t / 2, (x1 - x0) - t - 0.04 * size,
                      (y1 - y0 - t) * 0.78);
    const double startDeg = 240.0, sweepDeg = -300.0;
    QPainterPath line;
    line.moveTo(x0, yb);
    const double rad = qDegreesToRadians(startDeg);
    const double xa = ring.center().x() + ring.width() / 2 * std::cos(rad);
    line.lineTo(xa, yb);
    line.arcTo(ring, startDeg, sweepDeg);
    const QPointF end = line.currentPosition();
    line.lineTo(end.x(), yb);
    line.lineTo(x1, yb);
    return Stroked(line, t).simplified();
}

// Solid block letters for the unit signs, in pixels inside `box`.
struct Letter {
    Letter(const Box& box, double size)
        : x0(box.x0 * size),
          y0(box.y0 * size),
          w((box.x1 - box.x0) * size),
          h((box.y1 - box.y0) * size),
          t(kLetterStroke * size) {}
    QRectF Rect(double x, double y, double rw, double rh) const { return {x0 + x, y0 + y, rw, rh}; }
    QPainterPath Bars(std::initializer_list<QRectF> rects) const {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const QRectF& r : rects) path.addRect(r);
        return path.simplified();
    }
    double x0, y0, w, h, t;
};

QPainterPath DigitGlyph(char c, double size) {
    const Box ink{kDigitLeft, kInkTop, kDigitLeft + kDigitWidth, kInkBottom};
    if (const std::uint8_t bits = SevenSegments(c)) return SegmentBuilder(ink, size).Segments(bits);
    switch (c) {
        case '.': {
            const double side = 0.125 * size;
            return Polygon({{0.03 * size, kInkBottom * size - side},
                            {0.03 * size + side, kInkBottom * size - side},
                            {0.03 * size + side, kInkBottom * size},
                            {0.03 * size, kInkBottom * size}});
        }
        case ':': {
            const double side = 0.10 * size, x = 0.05 * size;
            QPainterPath path;
            for (double cy : {0.33, 0.64})
                path.addRect(QRectF(x, cy * size - side / 2, side, side));
            return path;
        }
        case '*':
            return OhmSign({0.05, kInkTop, 0.53, kInkBottom}, size);
        case 'M': {
            const Letter l({0.06, kInkTop, 0.63, kInkBottom}, size);
            QPainterPath path = l.Bars({l.Rect(0, 0, l.t, l.h), l.Rect(l.w - l.t, 0, l.t, l.h)});
            QPainterPath diagonals;
            diagonals.moveTo(l.x0 + l.t / 2, l.y0 + l.t / 2);
            diagonals.lineTo(l.x0 + l.w / 2, l.y0 + l.h * 0.55);
            diagonals.lineTo(l.x0 + l.w - l.t / 2, l.y0 + l.t / 2);
            return path.united(Stroked(diagonals, l.t * 0.85));
        }
        case 'G':  // a seven-segment 6 without its middle-left: c, d, e, f, a and half of g
        {
            const Letter l({0.06, kInkTop, 0.63, kInkBottom}, size);
            const double ym = l.h / 2 - l.t / 2;
            return l.Bars({l.Rect(0, 0, l.w, l.t), l.Rect(0, 0, l.t, l.h),
                           l.Rect(0, l.h - l.t, l.w, l.t), l.Rect(l.w - l.t, ym, l.t, l.h - ym),
                           l.Rect(l.w * 0.45, ym, l.w * 0.55, l.t)});
        }
        case 'T': {
            const Letter l({0.04, kInkTop, 0.50, kInkBottom}, size);
            return l.Bars({l.Rect(0, 0, l.w, l.t), l.Rect((l.w - l.t) / 2, 0, l.t, l.h)});
        }
        default:
            return {};
    }
}

// The volt sign: two strokes meeting at the bottom.
QPainterPath UnitGlyph(char c, double size) {
    if (c != 'V') return {};
    const double x0 = 0.06 * size, x1 = 0.66 * size, y0 = 0.16 * size, y1 = kInkBottom * size;
    const double tw = 0.11 * size;  // horizontal width of one stroke
    const double xc = (x0 + x1) / 2;
    const double notch = y0 + (xc - x0 - tw) * (y1 - y0) / (xc - tw / 2 - x0);
    return Polygon({{x0, y0},
                    {x0 + tw, y0},
                    {xc, notch},
                    {x1 - tw, y0},
                    {x1, y0},
                    {xc + tw / 2, y1},
                    {xc - tw / 2, y1}});
}

QPainterPath BarGlyph(char c, double size) {
    auto rect = [size](double x0, double y0, double x1, double y1) {
        QPainterPath path;
        path.addRect(QRectF(x0 * size, y0 * size, (x1 - x0) * size, (y1 - y0) * size));
        return path;
    };
    switch (c) {
        case '!':
            return rect(0.04, 0.26, 0.27, 1.04);
        case '|':
            return rect(0.30, 0.30, 0.42, 0.72);
        case '{': {
            // The over-range end: a tall segment pointing on towards infinity.
            const double x0 = 0.06 * size, x1 = 0.22 * size, x2 = 0.38 * size;
            const double y0 = 0.30 * size, y1 = 0.72 * size;
            return Polygon({{x0, y0}, {x1, y0}, {x2, (y0 + y1) / 2}, {x1, y1}, {x0, y1}});
        }
        default:
            return {};
    }
}

QPainterPath BuildGlyph(LcdFace face, char c, double size) {
    QPainterPath path;
    switch (face) {
        case LcdFace::Digit:
            path = DigitGlyph(c, size);
            break;
        case LcdFace::Unit:
            path = UnitGlyph(c, size);
            break;
        case LcdFace::Bar:
            return BarGlyph(c, size);  // bar segments stand upright
    }
    // Slant about the middle of the ink so the glyph stays inside its cell.
    const double yc = (kInkTop + kInkBottom) / 2 * size;
    return QTransform(1, 0, -kSlant, 1, kSlant * yc, 0).map(path);
}

}  // namespace

std::uint8_t SevenSegments(char c) {
    switch (c) {
        case '0':
            return kSegA | kSegB | kSegC | kSegD | kSegE | kSegF;
        case '1':
            return kSegB | kSegC;
        case '2':
            return kSegA | kSegB | kSegG | kSegE | kSegD;
        case '3':
            return kSegA | kSegB | kSegG | kSegC | kSegD;
        case '4':
            return kSegF | kSegG | kSegB | kSegC;
        case '5':
            return kSegA | kSegF | kSegG | kSegC | kSegD;
        case '6':
            return kSegA | kSegF | kSegG | kSegE | kSegC | kSegD;
        case '7':
            return kSegA | kSegB | kSegC;
        case '8':
            return kSegA | kSegB | kSegC | kSegD | kSegE | kSegF | kSegG;
        case '9':
            return kSegA | kSegB | kSegC | kSegD | kSegF | kSegG;
        case '-':
            return kSegG;
        case '@':
            return kSegD | kSegE | kSegF;
        default:
            return 0;
    }
}

double FaceAdvance(LcdFace face, char c, double size) {
    double units = 0;
    switch (face) {
        case LcdFace::Digit:
            if (SevenSegments(c)) {
                units = kDigitAdvance;
            } else {
                switch (c) {
                    case '.':
                        units = 0.17;
                        break;
                    case ':':
                        units = 0.20;
                        break;
                    case '*':
                        units = 0.58;
                        break;
                    case 'M':
                    case 'G':
                        units = 0.71;
                        break;
                    case 'T':
                        units = 0.54;
                        break;
                    case ' ':
                        units = 0.33;
                        break;
                    default:
                        break;
                }
            }
            break;
        case LcdFace::Bar:
            units = c == '!' ? 0.30 : c == '|' ? 0.50 : c == '{' ? 0.61 : 0.0;
            break;
        case LcdFace::Unit:
            units = c == 'V' ? 0.72 : 0.0;
            break;
    }
    return units * size;
}

double FaceAdvance(LcdFace face, std::string_view caption, double size) {
    double x = 0;
    for (char c : caption) x += FaceAdvance(face, c, size);
    return x;
}

QPainterPath FacePath(LcdFace face, std::string_view caption, double size) {
    // Keyed by face, character and size in hundredths of a pixel.
    static std::unordered_map<std::uint64_t, QPainterPath> cache;
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    double x = 0;
    for (char c : caption) {
        const auto key = (static_cast<std::uint64_t>(face) << 56) |
                         (static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << 48) |
                         static_cast<std::uint64_t>(std::llround(size * 100));
        auto it = cache.find(key);
        if (it == cache.end()) it = cache.emplace(key, BuildGlyph(face, c, size)).first;
        if (!it->second.isEmpty()) out.addPath(it->second.translated(x, 0));
        x += FaceAdvance(face, c, size);
    }
    return out;
}

}  // namespace qx
