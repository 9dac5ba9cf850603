#pragma once
// Paints an LcdState in Panel4 coordinates from the layout table. Every outline, caption layout
// and picture is prepared once in the constructor, so a full paint only fills ready paths.

#include <QFont>
#include <QPainterPath>
#include <QStaticText>
#include <array>
#include <vector>

#include "display/lcd_state.h"
#include "display/widget/lcd_layout.h"
#include "display/widget/lcd_pictures.h"

class QPainter;

namespace qx {

class LcdPainter {
  public:
    /// Needs a QGuiApplication (fonts); GUI thread only.
    LcdPainter();

    /// Draws every item that `state` shows, black on whatever background the caller laid down.
    /// Turns antialiasing on; leaves the painter's other state as it found it.
    void paint(QPainter& painter, const LcdState& state) const;

  private:
    /// Digit labels show one of these glyphs; any other caption draws nothing.
    static constexpr char kDigitGlyphs[] = "0123456789-@";
    static constexpr int kDigitGlyphCount = sizeof(kDigitGlyphs) - 1;

    struct Prepared {
        const LcdItem* item = nullptr;
        std::vector<LcdFill> fills;                              // fixed outlines
        std::array<QPainterPath, kDigitGlyphCount> digitGlyphs;  // digit labels only
        QStaticText text;                                        // Arial captions
        int font = -1;                                           // index into fonts_
    };

    std::vector<Prepared> items_;
    std::vector<QFont> fonts_;
};

}  // namespace qx
