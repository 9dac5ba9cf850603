#pragma once
// Panel7: the record bar between the LCD and the grid. Mirrors the recording policy's switches
// and interval text and forwards the four buttons as signals. GUI thread only.

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace qx {

class RecordingPolicy;

class RecordBar : public QFrame {
    Q_OBJECT
  public:
    /// `policy` must outlive the bar. The controls start from the policy's state; every change
    /// of a check box or of the interval text goes to the policy at once.
    explicit RecordBar(RecordingPolicy& policy, QWidget* parent = nullptr);

    QCheckBox* repeatSet() const { return RepeatSet; }
    QCheckBox* recordSI() const { return RecordSI; }
    QLineEdit* recordSITime() const { return RecordSITime; }

  signals:
    void deleteClicked();  // SpeedButton2 "Delete Data"
    void saveClicked();    // SpeedButton1 "Save Data"
    void openClicked();    // SpeedButton3 "Open Data"
    void printClicked();   // MajPrint "Print Data"

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    RecordingPolicy& policy_;
    QCheckBox* RepeatSet = nullptr;
    QCheckBox* RecordSI = nullptr;
    QLineEdit* RecordSITime = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* MajPrint = nullptr;
};

}  // namespace qx
