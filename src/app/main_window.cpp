#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

#include "app/click_panel.h"
#include "app/help_window.h"
#include "display/widget/lcd_widget.h"

namespace qx {

MainWindow::MainWindow(std::string decimalSeparator, QWidget* parent)
    : QMainWindow(parent), decoder_(lcd_, *this, std::move(decimalSeparator)) {
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
    buildRecordBar(client);
    buildGrid(client);
    buildMenu();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &MainWindow::HELP1Click);

    setWindowTitle(QStringLiteral("QX680 V1.00"));
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::clientArea() const { return centralWidget(); }

void MainWindow::buildTopStrip(QWidget* client) {
    Panel2 = new ClickPanel(QStringLiteral("Panel2"), QStringLiteral("Connect"), client);
    Panel2->setGeometry(414, 2, 119, 27);
    Panel3 = new ClickPanel(QStringLiteral("Panel3"), QStringLiteral("Exit"), client);
    Panel3->setGeometry(536, 2, 81, 27);
    connect(Panel3, &ClickPanel::clicked, this, &MainWindow::Panel3Click);
}

void MainWindow::buildRecordBar(QWidget* client) {
    Panel7 = new QFrame(client);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel7->setGeometry(2, 320, 615, 33);

    RepeatSet = new QCheckBox(QStringLiteral("Repeat"), Panel7);
    RepeatSet->setObjectName(QStringLiteral("RepeatSet"));
    RepeatSet->setGeometry(5, 8, 55, 17);
    RepeatSet->setChecked(true);

    RecordSI = new QCheckBox(QStringLiteral("Sampling Interval              'S"), Panel7);
    RecordSI->setObjectName(QStringLiteral("RecordSI"));
    RecordSI->setGeometry(60, 8, 167, 17);

    RecordSITime = new QLineEdit(QStringLiteral("10"), Panel7);
    RecordSITime->setObjectName(QStringLiteral("RecordSITime"));
    RecordSITime->setGeometry(166, 6, 29, 21);

    auto makeButton = [this](const char* name, const QString& hint, int left, int width,
                             QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(Panel7);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        b->setGeometry(left, 4, width, 21);
        return b;
    };
    SpeedButton2 = makeButton("SpeedButton2", QStringLiteral("Delete Data"), 501, 25,
                              QStyle::SP_TrashIcon);
    SpeedButton1 = makeButton("SpeedButton1", QStringLiteral("Save Data"), 528, 25,
                              QStyle::SP_DialogSaveButton);
    SpeedButton3 = makeButton("SpeedButton3", QStringLiteral("Open Data"), 555, 25,
                              QStyle::SP_DialogOpenButton);
    MajPrint = makeButton("MajPrint", QStringLiteral("Print Data"), 582, 29,
                          QStyle::SP_FileDialogDetailedView);
}

void MainWindow::buildGrid(QWidget* client) {
    DBGrid1 = new QTableView(client);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(0, 348, 617, 177);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void MainWindow::buildMenu() {
    QMenu* rec = menuBar()->addMenu(QStringLiteral("Record"));
    rec->setObjectName(QStringLiteral("Rec"));
    QMenu* recSet = rec->addMenu(QStringLiteral(" RecordSet"));
    recSet->setObjectName(QStringLiteral("RecSet"));
    limitGroup_ = new QActionGroup(this);
    limitGroup_->setExclusive(true);
    const struct {
        const char* name;
        const char* caption;
    } items[] = {{"set1k", "1000"},     {"set5k", "5000"},     {"set10k", "10000"},
                 {"set50k", "50000"},   {"set100k", "100000"}, {"setlimit", "Limitless"}};
    for (const auto& item : items) {
        QAction* a = recSet->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setCheckable(true);
        limitGroup_->addAction(a);
    }
    findChild<QAction*>(QStringLiteral("set10k"))->setChecked(true);
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

void MainWindow::RestartNoDataTimer() {}

void MainWindow::DispInit(int kind) { lcd_.DispInit(kind); }

void MainWindow::INDataToTable(int) {}

}  // namespace qx
