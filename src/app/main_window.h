#pragma once
// FrmTest: builds the fixed window, owns every control and object, and wires them together.
// It holds no rules of its own: decoding, link, recording and files live in their layers.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "display/lcd_state.h"
#include "display/reading_decoder.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLineEdit;
class QTableView;
class QToolButton;

namespace qx {

class ClickPanel;
class HelpWindow;
class LcdWidget;

class MainWindow : public QMainWindow, private DecoderHooks {
    Q_OBJECT
public:
    /// `decimalSeparator` is read once by the caller at start-up.
    explicit MainWindow(std::string decimalSeparator, QWidget* parent = nullptr);
    ~MainWindow() override;

    static constexpr int kClientWidth = 619;
    static constexpr int kClientHeight = 526;

    /// Hands one frame text to the decoder and publishes the finished picture (one repaint).
    void ShowData680(std::string_view frameText);

    const ReadingDecoder& decoder() const { return decoder_; }
    const LcdState& lcdState() const { return lcd_; }
    QWidget* clientArea() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopStrip(QWidget* client);
    void buildRecordBar(QWidget* client);
    void buildGrid(QWidget* client);
    void buildMenu();
    void HELP1Click();
    void Panel3Click();

    // DecoderHooks
    void RestartNoDataTimer() override;
    void DispInit(int kind) override;
    void INDataToTable(int kind) override;

    LcdState lcd_ = LcdState::StartUp();
    ReadingDecoder decoder_;

    ClickPanel* Panel2 = nullptr;
    ClickPanel* Panel3 = nullptr;
    LcdWidget* Panel4 = nullptr;
    QFrame* Panel7 = nullptr;
    QCheckBox* RepeatSet = nullptr;
    QCheckBox* RecordSI = nullptr;
    QLineEdit* RecordSITime = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* MajPrint = nullptr;
    QTableView* DBGrid1 = nullptr;
    QActionGroup* limitGroup_ = nullptr;
    QPointer<HelpWindow> help_;
};

}  // namespace qx
