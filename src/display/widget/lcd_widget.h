#pragma once
// Panel4: paints an LcdState. Holds no rules; the decoder decides what is lit.

#include <QFrame>

#include "display/lcd_state.h"
#include "display/widget/lcd_painter.h"

namespace qx {

class LcdWidget : public QFrame {
    Q_OBJECT
  public:
    explicit LcdWidget(QWidget* parent = nullptr);

    /// Takes the finished picture of a frame and schedules exactly one repaint. GUI thread.
    void setState(const LcdState& state);
    const LcdState& state() const { return state_; }

    QSize sizeHint() const override { return {kPanel4Width, kPanel4Height}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    LcdState state_ = LcdState::StartUp();
    LcdPainter painter_;
};

}  // namespace qx
