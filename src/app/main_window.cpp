#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include "app/click_panel.h"
#include "app/file_commands.h"
#include "app/help_window.h"
#include "app/message_boxes.h"
#include "display/widget/lcd_widget.h"
#include "link/fake_hid_backend.h"
#include "link/interval_timer.h"
#include "log/measurement_model.h"
#include "log/widget/measurement_grid.h"
#include "log/widget/record_bar.h"

namespace qx {

namespace {
std::unique_ptr<HidBackend> NoCable() { return std::make_unique<FakeHidBackend>(); }
}  // namespace

MainWindow::MainWindow(std::string decimalSeparator, QWidget* parent)
    : MainWindow(NoCable(), nullptr, std::move(decimalSeparator), parent) {}

MainWindow::MainWindow(HidBackend& hid, std::string decimalSeparator, QWidget* parent)
    : MainWindow(nullptr, &hid, std::move(decimalSeparator), parent) {}

MainWindow::MainWindow(std::unique_ptr<HidBackend> owned, HidBackend* hid, std::string decimalSeparator,
                       QWidget* parent)
    : QMainWindow(parent),
      ownedHid_(std::move(owned)),
      decoder_(lcd_, *this, std::move(decimalSeparator)),
      policy_(cds1_, *this),
      assembler_([this](const std::string& frame) { ShowData680(frame); }) {
    setObjectName(QStringLiteral("FrmTest"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    buildTopStrip(client);
    Panel4 = new LcdWidget(client);
    Panel4->setGeometry(2, 30, 615, 289);

    Panel7 = new RecordBar(policy_, client);
    Panel7->setGeometry(2, 320, 615, 33);
    connect(Panel7, &RecordBar::deleteClicked, this, [this] { policy_.ClearRClick(); });

    model_ = std::make_unique<MeasurementModel>(cds1_, timeFormat_);
    DBGrid1 = new MeasurementGrid(model_.get(), client);
    DBGrid1->setGeometry(0, 348, 617, 177);

    FileCommands::Hooks fileHooks;
    fileHooks.beginBulk = [this] { SuspendViews(); };
    fileHooks.endBulk = [this] { ResumeViews(); };
    fileHooks.headerTitles = [this] { return DBGrid1->VisualTitles(); };
    files_ = std::make_unique<FileCommands>(cds1_, timeFormat_, std::move(fileHooks), this);
    connect(Panel7, &RecordBar::saveClicked, this, [this] { files_->Save_asClick(); });
    connect(Panel7, &RecordBar::openClicked, this, [this] { files_->OpenClick(); });
    report_ = std::make_unique<DataReportController>(cds1_, static_cast<TableViews&>(*this), this, timeFormat_);
    connect(Panel7, &RecordBar::printClicked, this, [this] { report_->MajPrintClick(); });
    buildMenu();

    SampInterTime = new QTimer(this);
    SampInterTime->setInterval(1000);
    connect(SampInterTime, &QTimer::timeout, this, [this] { policy_.SampInterTimeTimer(); });
    SampInterTime->start();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &MainWindow::HELP1Click);

    HidBackend& cable = hid ? *hid : *ownedHid_;
    timer2_ = std::make_unique<QtIntervalTimer>(LinkController::kNoDataIntervalMs);
    link_ = std::make_unique<LinkController>(
        cable, *timer2_, static_cast<LinkUi&>(*this),
        [this](std::uint8_t id, std::span<const std::uint8_t> payload) { assembler_.Read470(id, payload); });

    setWindowTitle(QStringLiteral("QX680 V1.00"));
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    link_.reset();    // no more reports or watchdog ticks
    report_.reset();  // its preview goes without resuming the views
    delete centralWidget();  // the grid goes before its model
}

QWidget* MainWindow::clientArea() const { return centralWidget(); }

void MainWindow::buildTopStrip(QWidget* client) {
    Panel2 = new ClickPanel(QStringLiteral("Panel2"), QStringLiteral("Connect"), client);
    Panel2->setGeometry(414, 2, 119, 27);
    connect(Panel2, &ClickPanel::clicked, this, [this] { link_->Panel2Click(); });
    Panel3 = new ClickPanel(QStringLiteral("Panel3"), QStringLiteral("Exit"), client);
    Panel3->setGeometry(536, 2, 81, 27);
    connect(Panel3, &ClickPanel::clicked, this, &MainWindow::Panel3Click);
}

void MainWindow::buildMenu() {
    QMenu* rec = menuBar()->addMenu(QStringLiteral("Record"));
    rec->setObjectName(QStringLiteral("Rec"));
    QMenu* recSet = rec->addMenu(QStringLiteral(" RecordSet"));
    recSet->setObjectName(QStringLiteral("RecSet"));
    limitGroup_ = new QActionGroup(this);
    limitGroup_->setExclusive(true);
    const int checked = policy_.CheckedLimitItem();
    for (std::size_t i = 0; i < kRecordLimitItems.size(); ++i) {
        const RecordLimitItem& item = kRecordLimitItems[i];
        QAction* a = recSet->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setCheckable(true);
        a->setChecked(static_cast<int>(i) == checked);
        limitGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, limit = item.limit] { policy_.SetRecordLimit(limit); });
    }
}

void MainWindow::ShowData680(std::string_view frameText) {
    decoder_.ShowData680(frameText);
    Panel4->setState(lcd_);
}

void MainWindow::HELP1Click() {
    if (!help_) help_ = new HelpWindow(this);
    help_->showFile(HelpFilePath());
}

void MainWindow::Panel3Click() { QApplication::quit(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every close is allowed and ends the program, help window or not.
    QMainWindow::closeEvent(event);
    QApplication::quit();
}

void MainWindow::RestartNoDataTimer() { link_->RestartNoDataTimer(); }

void MainWindow::DispInit(int kind) { lcd_.DispInit(kind); }

void MainWindow::INDataToTable(int kind) { policy_.INDataToTable(kind, decoder_.reading()); }

void MainWindow::ShowLinkMessage(const std::string& text) {
    qx::ShowInformation(this, QString::fromStdString(text));
}

void MainWindow::Panel2CaptionChanged(const std::string& caption) {
    Panel2->setText(QString::fromStdString(caption));
}

bool MainWindow::AskYesNo(const std::string& question) {
    return qx::AskYesNo(this, QString::fromStdString(question));
}

void MainWindow::ShowErrorText(const std::string& text) {
    qx::ShowErrorText(this, QString::fromStdString(text));
}

void MainWindow::SuspendViews() { cds1_.BeginBulk(); }

void MainWindow::ResumeViews() { cds1_.EndBulk(); }

}  // namespace qx
