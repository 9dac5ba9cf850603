// The window program's backend options, and the window (offscreen, real time) with the simulated
// tester, a capture of it, and a replay.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/backend_options.h"
#include "app/main_window.h"
#include "capture_text.h"
#include "sim/log_session.h"

namespace qx {
namespace {

int argc = 1;
char arg0[] = "sim_window_tests";
char* argv[] = {arg0, nullptr};

struct AppEnvironment : ::testing::Environment {
    void SetUp() override {
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

BackendChoice Make(QStringList args) {
    args.prepend(QStringLiteral("qx680"));
    return MakeBackendFromArguments(args);
}

TEST(BackendOptionsTest, RefusesWhatItCannotUse) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.txt");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0 F0\n1 XY\n");
    }
    const QString existing = dir.filePath("kept.txt");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {{"--demo"}, "unexpected argument \"--demo\""},
        {{"--simulate", "--simulate"}, "--simulate given twice"},
        {{"--replay"}, "--replay needs a file name"},
        {{"--capture"}, "--capture needs a file name"},
        {{"--simulate", "--replay", bad}, "--simulate and --replay exclude each other"},
        {{"--replay", bad}, bad + ": line 2: \"XY\" is not a byte as two hex digits"},
        {{"--replay", dir.filePath("none.txt")}, dir.filePath("none.txt") + ": "},
        {{"--replay", bad, "--capture", existing}, bad + ": line 2"},
        {{"--simulate", "--capture", dir.filePath("no/such/dir.txt")},
         dir.filePath("no/such/dir.txt") + ": "},
    };
    for (const auto& c : cases) {
        const BackendChoice choice = Make(c.args);
        EXPECT_FALSE(choice.backend) << c.args.join(' ').toStdString();
        EXPECT_TRUE(choice.error.startsWith(c.error)) << choice.error.toStdString();
    }
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me")) << "a refused start replaces no capture";
}

TEST(BackendOptionsTest, TheSimulatedAndReplayedCablesAreTheCable) {
    QTemporaryDir dir;
    const QString capture = dir.filePath("c.txt");
    {
        QFile f(capture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("# start 10:00:00\n");
    }
    for (const QStringList& args :
         {QStringList{"--simulate"}, QStringList{"--replay", capture},
          QStringList{"--capture", dir.filePath("out.txt"), "--simulate"}}) {
        const BackendChoice choice = Make(args);
        ASSERT_TRUE(choice.backend) << choice.error.toStdString();
        const auto devices = choice.backend->Devices();
        ASSERT_EQ(devices.size(), 1U);
        EXPECT_EQ(LinkController::DeviceCaption(devices[0]), "USB to Serial");
    }
}

void ClickConnect(MainWindow& window) {
    auto* panel2 = window.findChild<QLabel*>(QStringLiteral("Panel2"));
    ASSERT_NE(panel2, nullptr);
    QTest::mouseClick(panel2, Qt::LeftButton);
    EXPECT_EQ(panel2->text(), QStringLiteral("Disconnect"));
}

TEST(SimulateWindowTest, ReadingsArriveWithinSecondsOfConnectAndAreRecorded) {
    QTemporaryDir dir;
    const QString capturePath = dir.filePath("capture.txt");
    BackendChoice choice = Make({"--simulate", "--capture", capturePath});
    ASSERT_TRUE(choice.backend) << choice.error.toStdString();
    std::vector<std::string> values;
    {
        MainWindow window(*choice.backend, ".");
        window.show();
        QTest::qWait(700);
        EXPECT_EQ(window.table().RowCount(), 0U) << "nothing before Connect";
        ClickConnect(window);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.table().RowCount() >= 4; }, 20000));
        const MeasurementTable& table = window.table();
        EXPECT_EQ(table.V_Range(0), "IR:1000V 40G\xA6\xB8");
        EXPECT_EQ(table.I_Range(0), "PI");
        EXPECT_EQ(table.Unit(0), "M\xA6\xB8");
        EXPECT_TRUE(window.lcdState().Visible(Element::LabelA));
        EXPECT_TRUE(window.lcdState().Visible(Element::H_Time1)) << "the timer is shown";
        auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->model()->rowCount(), static_cast<int>(table.RowCount()));
        EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("M\u03A9"));
        for (std::size_t i = 0; i < table.RowCount(); ++i) values.emplace_back(table.Value(i));
    }
    choice.backend.reset();  // closes the capture

    // The capture plays back to the same readings.
    std::string error;
    const auto capture = ReadCaptureFile(capturePath.toStdString(), &error);
    ASSERT_TRUE(capture) << error;
    EXPECT_TRUE(capture->startOfDayMs);
    MeasurementTable replayed;
    RunReplayLog(*capture, {}, replayed);
    ASSERT_GE(replayed.RowCount(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(replayed.Value(i), values[i]) << i;
}

TEST(SimulateWindowTest, AReplayPlaysAsTheCableAfterConnect) {
    QTemporaryDir dir;
    const QString path = dir.filePath("replay.txt");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("# start 08:00:00\n" + test::FrameLines(50, test::Megaohms("1234")) +
                 test::FrameLines(350, test::Megaohms("5678")))
                    .c_str());
    }
    BackendChoice choice = Make({"--replay", path});
    ASSERT_TRUE(choice.backend) << choice.error.toStdString();
    MainWindow window(*choice.backend, ",");
    ClickConnect(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.table().RowCount() == 2; }, 10000));
    EXPECT_EQ(window.table().Value(0), "1,234");
    EXPECT_EQ(window.table().Value(1), "5,678");
    QTest::qWait(300);
    EXPECT_EQ(window.table().RowCount(), 2U) << "silence after the end";
}

}  // namespace
}  // namespace qx
