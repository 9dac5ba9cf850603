#include "display/widget/lcd_pictures.h"

#include <QPainterPathStroker>
#include <QPolygonF>

namespace qx {
namespace {

const QColor kInk(Qt::black);

QPainterPath Stroke(const QPainterPath& line, double width, Qt::PenCapStyle cap = Qt::FlatCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

QPainterPath Rect(double x, double y, double w, double h) {
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath Disc(QPointF centre, double r) {
    QPainterPath path;
    path.addEllipse(centre, r, r);
    return path;
}

// An arc of a circle as a centre line, angles in degrees counter-clockwise from 3 o'clock.
QPainterPath Arc(QPointF centre, double r, double startDeg, double sweepDeg) {
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath path;
    path.arcMoveTo(box, startDeg);
    path.arcTo(box, startDeg, sweepDeg);
    return path;
}

// Battery outline with its terminal; the level bars are shapes of their own.
std::vector<LcdFill> Battery() {
    QPainterPath body;
    body.addRoundedRect(QRectF(1, 1, 44, 23), 2.5, 2.5);
    QPainterPath fill = Stroke(body, 2);
    fill.addPath(Rect(46, 8, 4.5, 9));
    return {{fill.simplified(), kInk}};
}

// A circle open at the left, with a line running into a dot at its centre.
std::vector<LcdFill> Off() {
    const QPointF c(19, 14.5);
    QPainterPath path = Stroke(Arc(c, 11.5, 150, -300), 2.4);
    QPainterPath lead;
    lead.moveTo(1, c.y());
    lead.lineTo(c.x(), c.y());
    path.addPath(Stroke(lead, 2.4));
    path.addPath(Disc(c, 3.4));
    return {{path.simplified(), kInk}};
}

// A dot with three widening arcs: the signal sign.
std::vector<LcdFill> Signal() {
    const QPointF c(11.5, 12.5);
    QPainterPath path = Disc(c, 3);
    for (double r : {7.5, 13.5, 19.5}) path.addPath(Stroke(Arc(c, r, 35, -70), 2.2, Qt::RoundCap));
    return {{path.simplified(), kInk}};
}

// Two networked computers, the second in front of the first; `screen` is the screens' colour.
std::vector<LcdFill> Network(QColor screen) {
    QPainterPath body, screens;
    auto computer = [&](double x, double y) {
        body.addRoundedRect(QRectF(x, y, 17, 13), 1.2, 1.2);  // bezel
        body.addRect(QRectF(x + 6.5, y + 13, 4, 2));          // neck
        body.addRect(QRectF(x + 3, y + 15, 11, 2));           // foot
        screens.addRect(QRectF(x + 2, y + 2, 13, 9));
    };
    computer(1, 1);
    computer(14, 13);
    QPainterPath cable;
    cable.moveTo(8.5, 17);
    cable.lineTo(8.5, 29);
    cable.lineTo(17, 29);
    body.addPath(Stroke(cable, 1.6));
    return {{body.simplified(), kInk}, {screens, screen}};
}

// Lightning bolt: the high-voltage warning.
std::vector<LcdFill> Danger() {
    QPainterPath path;
    path.addPolygon(QPolygonF(
        {{11, 0.5}, {24, 0.5}, {15.5, 14}, {22.5, 14}, {5, 36.5}, {10, 19.5}, {3, 19.5}}));
    path.closeSubpath();
    return {{path, kInk}};
}

// Timer dial: a stopwatch with its crown, four marks and two hands.
std::vector<LcdFill> TimerDial() {
    const QPointF c(13.5, 16.5);
    QPainterPath ring;
    ring.addEllipse(c, 10.5, 10.5);
    QPainterPath path = Stroke(ring, 2);
    path.addPath(Rect(10.5, 0.5, 6, 2.5));
    path.addPath(Rect(12.5, 3, 2, 3));
    for (QPointF m : {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)}) {
        QPainterPath mark;
        mark.moveTo(c + m * 8.5);
        mark.lineTo(c + m * 6.5);
        path.addPath(Stroke(mark, 1.6));
    }
    QPainterPath hands;
    hands.moveTo(c.x(), c.y() - 6.5);
    hands.lineTo(c);
    hands.lineTo(c.x() + 4.5, c.y() + 2.5);
    path.addPath(Stroke(hands, 1.8, Qt::RoundCap));
    path.addPath(Disc(c, 1.6));
    return {{path.simplified(), kInk}};
}

}  // namespace

std::vector<LcdFill> PictureFills(LcdPicture picture, const QRect& box) {
    std::vector<LcdFill> fills;
    switch (picture) {
        case LcdPicture::None:
            break;
        case LcdPicture::Battery:
            fills = Battery();
            break;
        case LcdPicture::Off:
            fills = Off();
            break;
        case LcdPicture::Signal:
            fills = Signal();
            break;
        case LcdPicture::NetworkLit:
            fills = Network(QColor::fromRgb(kLitScreen));
            break;
        case LcdPicture::NetworkGrey:
            fills = Network(QColor::fromRgb(kGreyScreen));
            break;
        case LcdPicture::Danger:
            fills = Danger();
            break;
        case LcdPicture::TimerDial:
            fills = TimerDial();
            break;
    }
    for (LcdFill& f : fills) f.path.translate(box.topLeft());
    return fills;
}

}  // namespace qx
