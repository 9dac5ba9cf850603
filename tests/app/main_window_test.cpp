#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "app/main_window.h"
#include "display/frame_encoder.h"
#include "link/fake_hid_backend.h"

namespace qx {
namespace {

int argc = 1;
char arg0[] = "app_tests";
char* argv[] = {arg0, nullptr};

struct AppEnvironment : ::testing::Environment {
    void SetUp() override {
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

class MainWindowTest : public ::testing::Test {
protected:
    template <typename T>
    T* child(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    MainWindow window{"."};
};

TEST_F(MainWindowTest, FixedWindowWithItsTitle) {
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QX680 V1.00"));
    EXPECT_EQ(window.clientArea()->size(), QSize(619, 526));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MainWindowTest, RegionsAtTheirRectangles) {
    const struct {
        const char* name;
        QRect rect;
    } regions[] = {
        {"Panel2", {414, 2, 119, 27}}, {"Panel3", {536, 2, 81, 27}}, {"Panel4", {2, 30, 615, 289}},
        {"Panel7", {2, 320, 615, 33}}, {"DBGrid1", {0, 348, 617, 177}},
    };
    for (const auto& r : regions) {
        QWidget* w = child<QWidget>(r.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), r.rect) << r.name;
    }
    EXPECT_EQ(child<QLabel>("Panel2")->text(), QStringLiteral("Connect"));
    EXPECT_EQ(child<QLabel>("Panel3")->text(), QStringLiteral("Exit"));
    EXPECT_EQ(child<QLabel>("Panel2")->font().pixelSize(), 16);
    EXPECT_TRUE(child<QCheckBox>("RepeatSet")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("RecordSI")->isChecked());
    EXPECT_EQ(child<QLineEdit>("RecordSITime")->text(), QStringLiteral("10"));
    EXPECT_EQ(child<QToolButton>("MajPrint")->toolTip(), QStringLiteral("Print Data"));
}

TEST_F(MainWindowTest, MenuHoldsOnlyTheRecordLimits) {
    const auto top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Record"));
    const auto recItems = top[0]->menu()->actions();
    ASSERT_EQ(recItems.size(), 1);
    EXPECT_EQ(recItems[0]->text(), QStringLiteral(" RecordSet"));
    QStringList captions;
    QStringList checked;
    for (QAction* a : recItems[0]->menu()->actions()) {
        captions << a->text();
        if (a->isChecked()) checked << a->text();
    }
    EXPECT_EQ(captions, QStringList({"1000", "5000", "10000", "50000", "100000", "Limitless"}));
    EXPECT_EQ(checked, QStringList({"10000"}));
}

TEST_F(MainWindowTest, DecodedFrameReachesTheLcd) {
    window.ShowData680("000000000000000000000EE3A7364005B7DFD0000D0A");
    EXPECT_EQ(window.decoder().reading().ReadingValue, "1.234");
    EXPECT_TRUE(window.lcdState().Visible(Element::CONok));
}

// The cable's reports for one frame: 7 data bytes a report, then a report without data.
void SendFrame(FakeHidBackend& hid, FakeHidBackend::DeviceKey cable, const std::string& frame) {
    for (std::size_t i = 0; i < frame.size(); i += 7) {
        const std::string chunk = frame.substr(i, 7);
        std::vector<std::uint8_t> report{static_cast<std::uint8_t>(0xF0 | chunk.size())};
        report.insert(report.end(), chunk.begin(), chunk.end());
        hid.SendReport(cable, report);
    }
    hid.SendReport(cable, {0xF0});
}

TEST(MainWindowLink, ConnectedCableFramesBecomeRowsInTheGrid) {
    FakeHidBackend hid;
    const auto cable = hid.PlugIn({{"USB to Serial", "", 0x1A86, 0xE008}});
    MainWindow window(hid, ",");
    auto* panel2 = window.findChild<QLabel*>(QStringLiteral("Panel2"));
    ASSERT_NE(panel2, nullptr);
    QTest::mouseClick(panel2, Qt::LeftButton);
    EXPECT_EQ(panel2->text(), QStringLiteral("Disconnect"));
    EXPECT_TRUE(window.link().LinkOpen());
    ASSERT_EQ(hid.FeatureReports().size(), 1U);

    DisplayDescription d;
    d.digits = "1234";
    d.point = 1;
    d.unit = DisplayDescription::Unit::MegaOhm;
    SendFrame(hid, cable, EncodeFrame(d));
    d.digits = "1235";
    SendFrame(hid, cable, EncodeFrame(d));
    hid.Pump();

    ASSERT_EQ(window.table().RowCount(), 2U);
    EXPECT_EQ(window.table().Value(0), "1,234");
    EXPECT_EQ(window.table().Unit(1), "M\xA6\xB8");
    EXPECT_EQ(window.table().No(1), 2);
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("M\u03A9"));
    EXPECT_TRUE(window.link().NoDataTimerRunning());

    QTest::mouseClick(panel2, Qt::LeftButton);
    EXPECT_EQ(panel2->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(window.link().LinkOpen());
    EXPECT_FALSE(window.link().NoDataTimerRunning());
}

}  // namespace
}  // namespace qx
