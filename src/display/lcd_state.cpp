#include "display/lcd_state.h"

namespace qx {

LcdState LcdState::StartUp() {
    LcdState s;
    s.visible.set();
    s.SetVisible(Element::CONok, false);
    s.captions.fill('8');
    for (Element e : {Element::Label3, Element::Label7, Element::Label10, Element::Label9})
        s.SetCaption(e, '0');
    return s;
}

void LcdState::DispInit(int kind) {
    if (kind != 0 && kind != 1) return;
    for (int i = 0; i < kSegmentSetCount; ++i) visible[static_cast<std::size_t>(i)] = (kind == 1);
}

}  // namespace qx
