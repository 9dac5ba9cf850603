#pragma once
// What the virtual LCD shows: a visible flag per element and the caption of each digit label.
// Written by the decoder, drawn by the LCD widget; plain data so both sides stay testable.

#include <array>
#include <bitset>

#include "display/elements.h"

namespace qx {

struct LcdState {
    std::bitset<kElementCount> visible;
    /// One glyph per digit label in decoding order: '0'-'9', '-' (dash), '@' (letter L).
    std::array<char, kDigitCount> captions{};

    /// Before the first frame: everything lit except CONok, digits at their design captions.
    static LcdState StartUp();

    bool Visible(Element e) const { return visible[static_cast<std::size_t>(Index(e))]; }
    void SetVisible(Element e, bool on) { visible[static_cast<std::size_t>(Index(e))] = on; }
    char Caption(Element digit) const { return captions[static_cast<std::size_t>(DigitIndex(digit))]; }
    void SetCaption(Element digit, char c) { captions[static_cast<std::size_t>(DigitIndex(digit))] = c; }

    /// 1 lights the whole segment set, 0 darkens it; any other kind does nothing.
    /// Digit captions and elements outside the set are left alone.
    void DispInit(int kind);

    bool operator==(const LcdState&) const = default;
};

}  // namespace qx
