#pragma once
// FrmTest: builds the fixed window, owns every control and object, and wires them together.
// It holds no rules of its own: decoding, link, recording and files live in their layers.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "display/lcd_state.h"
#include "display/reading_decoder.h"
#include "link/frame_assembler.h"
#include "link/link_controller.h"
#include "log/measurement_table.h"
#include "log/recording_policy.h"
#include "log/time_format.h"
#include "reports/report_controller.h"

class QActionGroup;
class QTimer;

namespace qx {

class ClickPanel;
class FileCommands;
class HelpWindow;
class HidBackend;
class LcdWidget;
class MeasurementGrid;
class MeasurementModel;
class QtIntervalTimer;
class RecordBar;

class MainWindow : public QMainWindow, private DecoderHooks, private LinkUi, private RecordingUi,
                   private TableViews {
    Q_OBJECT
public:
    /// `hid` stands for the cable and must outlive the window. `decimalSeparator` is read once by
    /// the caller at start-up. Attaching to `hid` fills the device list before the window shows.
    MainWindow(HidBackend& hid, std::string decimalSeparator, QWidget* parent = nullptr);
    /// A window without any HID device (documentation renders, widget tests).
    explicit MainWindow(std::string decimalSeparator, QWidget* parent = nullptr);
    ~MainWindow() override;

    static constexpr int kClientWidth = 619;
    static constexpr int kClientHeight = 526;

    /// Hands one frame text to the decoder and publishes the finished picture (one repaint).
    void ShowData680(std::string_view frameText);

    const ReadingDecoder& decoder() const { return decoder_; }
    const LcdState& lcdState() const { return lcd_; }
    const MeasurementTable& table() const { return cds1_; }
    const RecordingPolicy& policy() const { return policy_; }
    const LinkController& link() const { return *link_; }
    QWidget* clientArea() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    /// `hid` when given, else `owned`, stands for the cable.
    MainWindow(std::unique_ptr<HidBackend> owned, HidBackend* hid, std::string decimalSeparator,
               QWidget* parent);
    void buildTopStrip(QWidget* client);
    void buildMenu();
    void HELP1Click();
    void Panel3Click();

    // DecoderHooks
    void RestartNoDataTimer() override;
    void DispInit(int kind) override;
    void INDataToTable(int kind) override;
    // LinkUi
    void ShowLinkMessage(const std::string& text) override;
    void Panel2CaptionChanged(const std::string& caption) override;
    // RecordingUi
    bool AskYesNo(const std::string& question) override;
    void ShowErrorText(const std::string& text) override;
    // TableViews
    void SuspendViews() override;
    void ResumeViews() override;

    std::unique_ptr<HidBackend> ownedHid_;  // only for the window without a cable
    LcdState lcd_ = LcdState::StartUp();
    ReadingDecoder decoder_;
    MeasurementTable cds1_;
    RecordingPolicy policy_;
    FrameAssembler assembler_;
    std::unique_ptr<QtIntervalTimer> timer2_;
    TimeFormat timeFormat_ = TimeFormat::User();
    std::unique_ptr<MeasurementModel> model_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<DataReportController> report_;
    QTimer* SampInterTime = nullptr;

    ClickPanel* Panel2 = nullptr;
    ClickPanel* Panel3 = nullptr;
    LcdWidget* Panel4 = nullptr;
    RecordBar* Panel7 = nullptr;
    MeasurementGrid* DBGrid1 = nullptr;
    QActionGroup* limitGroup_ = nullptr;
    QPointer<HelpWindow> help_;

    // Last: destroyed first, so no report reaches the objects above while they go away.
    std::unique_ptr<LinkController> link_;
};

}  // namespace qx
