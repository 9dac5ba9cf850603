#pragma once
// The three LCD glyph faces, drawn as vector outlines instead of font files.
//
// A face is measured in units of its size s (the design glyph size of a label): a label's cell is
// kFaceCellHeight * s tall and each character advances FaceAdvance(...) pixels. Outlines are in
// label coordinates (origin at the label's top-left) and scale to any device pixel ratio.

#include <QPainterPath>
#include <cstdint>
#include <string_view>

namespace qx {

enum class LcdFace : std::uint8_t {
    Digit,  // seven-segment digits, points, colon, ohm sign and the letters M, G, T
    Bar,    // bar-graph segments: '!' one segment, '|' the first and '{' the last end segment
    Unit,   // the volt sign 'V'
};

/// Cell height of a label in any face, as a multiple of its size (size 107 gives 120 pixels).
inline constexpr double kFaceCellHeight = 1.12;

/// Seven-segment bits, a (bit 0) to g (bit 6).
enum Segment : std::uint8_t {
    kSegA = 1 << 0,
    kSegB = 1 << 1,
    kSegC = 1 << 2,
    kSegD = 1 << 3,
    kSegE = 1 << 4,
    kSegF = 1 << 5,
    kSegG = 1 << 6,
};

/// Segments that the digit face lights for a seven-segment character: '0'-'9', '-' (g) and
/// '@' (the letter L: d, e, f). 0 for any other character.
std::uint8_t SevenSegments(char c);

/// Horizontal advance in pixels of one character of `face` at `size`; 0 when the face does not
/// draw the character (it is then skipped).
double FaceAdvance(LcdFace face, char c, double size);
/// Advance of a whole caption.
double FaceAdvance(LcdFace face, std::string_view caption, double size);

/// Filled outline of `caption` in `face` at `size`, origin at the label's top-left. Outlines are
/// built once per (face, character, size) and cached; call on the GUI thread only.
QPainterPath FacePath(LcdFace face, std::string_view caption, double size);

}  // namespace qx
