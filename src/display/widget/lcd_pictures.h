#pragma once
// The small pictures of the LCD (battery, icons, link indicator, warning bolt, timer dial),
// drawn as vector outlines so they stay sharp at any screen scale and need no asset files.

#include <QColor>
#include <QPainterPath>
#include <QRect>
#include <vector>

#include "display/widget/lcd_layout.h"

namespace qx {

/// One filled outline of a picture.
struct LcdFill {
    QPainterPath path;
    QColor color;
};

/// Screen colours of the link indicator: lit (CONok) and grey (CONokN).
inline constexpr QRgb kLitScreen = 0xff2fa8f0;
inline constexpr QRgb kGreyScreen = 0xffa8a8a8;

/// The outlines of `picture` fitted to `box` (Panel4 coordinates), back to front.
std::vector<LcdFill> PictureFills(LcdPicture picture, const QRect& box);

}  // namespace qx
