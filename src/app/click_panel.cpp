#include "app/click_panel.h"

#include <QMouseEvent>

namespace qx {

ClickPanel::ClickPanel(const QString& objectName, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(16);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace qx
