#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>

#include "app/main_window.h"

namespace qx {
namespace {

int argc = 1;
char arg0[] = "app_tests";
char* argv[] = {arg0, nullptr};

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
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

}  // namespace
}  // namespace qx
