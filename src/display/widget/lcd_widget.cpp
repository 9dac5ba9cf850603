#include "display/widget/lcd_widget.h"

#include <QPainter>

namespace qx {

LcdWidget::LcdWidget(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel4"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void LcdWidget::setState(const LcdState& state) {
    state_ = state;
    update();
}

void LcdWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter_.paint(painter, state_);
}

}  // namespace qx
