#pragma once
// Where every item of the virtual LCD sits and how it is drawn: one table, read by the painter
// and by the tests. Rectangles are in Panel4 coordinates (sub-panel offsets already added) and
// clipped to the item's sub-panel, as the panel's children are.

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "display/elements.h"
#include "display/lcd_state.h"
#include "display/widget/lcd_glyphs.h"

namespace qx {

inline constexpr int kPanel4Width = 615;
inline constexpr int kPanel4Height = 289;

enum class LcdItemKind : std::uint8_t {
    Region,    // a sub-panel or picture area; draws nothing itself
    Glyphs,    // caption in one of the LCD glyph faces
    Text,      // caption in Arial
    BoldText,  // caption in Arial bold (the scale labels)
    Shape,     // filled black rectangle
    Picture,   // small drawn picture
};

enum class LcdPicture : std::uint8_t {
    None,
    Battery,
    Off,
    Signal,
    NetworkLit,
    NetworkGrey,
    Danger,
    TimerDial,
};

struct LcdItem {
    std::string_view name;           // control name, e.g. "LabelA", "Shape5", "Label17"
    std::optional<Element> element;  // its visible switch; empty for the never-switched scale
    bool onScale;                    // inside KD: shown only while KD is visible
    LcdItemKind kind;
    QRect rect;                     // Panel4 coordinates, clipped to the sub-panel
    QPoint origin;                  // the label's design top-left (may lie outside `rect`)
    LcdFace face = LcdFace::Digit;  // Glyphs only
    int size = 0;                   // glyph size (Glyphs) or font pixel size (Text, BoldText)
    std::string_view caption;       // UTF-8; empty for the 13 digit labels (caption from state)
    LcdPicture picture = LcdPicture::None;
};

/// Every item of Panel4 in painting order: one per Element, plus the scale (KD1, the axis
/// Shape5, the ticks Shape6-Shape15, the labels Label1-Label17).
const std::vector<LcdItem>& LcdLayout();

/// The item of a switchable element (every Element has exactly one).
const LcdItem& LcdItemOf(Element e);
QRect ElementRect(Element e);
/// The item with the control name `name`, or nullptr.
const LcdItem* FindLcdItem(std::string_view name);

/// The sub-panels, in Panel4 coordinates: KD, Panel8, the main digit panel, Panel5, Panel6.
struct LcdRegion {
    std::string_view name;
    QRect rect;
};
const std::vector<LcdRegion>& LcdRegions();

/// Whether `item` is painted for `state`: its own switch (if any) and, for the scale and the bar
/// graph, KD's switch too. Regions (KD, KD1) draw nothing and are never painted.
bool ItemShown(const LcdItem& item, const LcdState& state);

}  // namespace qx
