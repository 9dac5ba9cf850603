#pragma once
// A raised panel with a centred caption that acts as a button ("Connect", "Exit").

#include <QLabel>

namespace qx {

class ClickPanel : public QLabel {
    Q_OBJECT
public:
    ClickPanel(const QString& objectName, const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace qx
