#include "display/widget/lcd_painter.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace qx {

LcdPainter::LcdPainter() {
    const QColor ink(Qt::black);
    for (const LcdItem& item : LcdLayout()) {
        Prepared prep;
        prep.item = &item;
        switch (item.kind) {
            case LcdItemKind::Region:
                continue;
            case LcdItemKind::Glyphs:
                if (item.caption.empty()) {
                    for (int i = 0; i < kDigitGlyphCount; ++i) {
                        const char glyph[] = {kDigitGlyphs[i], '\0'};
                        prep.digitGlyphs[static_cast<std::size_t>(i)] =
                            FacePath(item.face, glyph, item.size).translated(item.origin);
                    }
                } else {
                    prep.fills.push_back(
                        {FacePath(item.face, item.caption, item.size).translated(item.origin),
                         ink});
                }
                break;
            case LcdItemKind::Shape: {
                QPainterPath path;
                path.addRect(item.rect);
                prep.fills.push_back({path, ink});
                break;
            }
            case LcdItemKind::Picture:
                prep.fills = PictureFills(item.picture, item.rect);
                break;
            case LcdItemKind::Text:
            case LcdItemKind::BoldText: {
                QFont font(QStringLiteral("Arial"));
                font.setPixelSize(item.size);
                font.setBold(item.kind == LcdItemKind::BoldText);
                font.setStyleStrategy(QFont::PreferAntialias);
                auto it = std::find(fonts_.begin(), fonts_.end(), font);
                if (it == fonts_.end()) it = fonts_.insert(fonts_.end(), font);
                prep.font = static_cast<int>(it - fonts_.begin());
                prep.text.setText(QString::fromUtf8(item.caption.data(),
                                                    static_cast<qsizetype>(item.caption.size())));
                prep.text.setTextFormat(Qt::PlainText);
                prep.text.setPerformanceHint(QStaticText::AggressiveCaching);
                prep.text.prepare(QTransform(), font);
                break;
            }
        }
        items_.push_back(std::move(prep));
    }
}

void LcdPainter::paint(QPainter& painter, const LcdState& state) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    int currentFont = -1;
    for (const Prepared& prep : items_) {
        const LcdItem& item = *prep.item;
        if (!ItemShown(item, state)) continue;
        if (item.kind == LcdItemKind::Text || item.kind == LcdItemKind::BoldText) {
            if (prep.font != currentFont) {
                painter.setFont(fonts_[static_cast<std::size_t>(prep.font)]);
                currentFont = prep.font;
            }
            painter.drawStaticText(item.origin, prep.text);
            continue;
        }
        if (item.kind == LcdItemKind::Glyphs && item.caption.empty()) {
            const char* at = std::strchr(kDigitGlyphs, state.Caption(*item.element));
            if (at && *at) {
                painter.fillPath(prep.digitGlyphs[static_cast<std::size_t>(at - kDigitGlyphs)],
                                 Qt::black);
            }
            continue;
        }
        for (const LcdFill& fill : prep.fills) painter.fillPath(fill.path, fill.color);
    }
    painter.restore();
}

}  // namespace qx
