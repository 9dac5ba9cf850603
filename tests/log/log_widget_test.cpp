#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "log/measurement_model.h"
#include "log/recording_policy.h"
#include "log/widget/measurement_grid.h"
#include "log/widget/record_bar.h"

namespace qx {
namespace {

struct QuietUi : RecordingUi {
    std::vector<std::string> errors;
    bool AskYesNo(const std::string&) override { return true; }
    void ShowErrorText(const std::string& text) override { errors.push_back(text); }
};

class LogWidgets : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "log_widget_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    MeasurementTable table;
    QuietUi ui;
    RecordingPolicy policy{table, ui, [] { return 0; }};
    MeasurementModel model{table, TimeFormat("%T")};
};

TEST_F(LogWidgets, GridTitlesWidthsAndVisualOrder) {
    MeasurementGrid grid(&model);
    EXPECT_EQ(grid.objectName(), "DBGrid1");
    const std::vector<int> widths = {106, 92, 72, 78, 109, 132};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(grid.columnWidth(c), widths[c]) << c;
    EXPECT_EQ(grid.horizontalHeader()->font().family(), "Arial");
    EXPECT_EQ(grid.horizontalHeader()->defaultAlignment(), Qt::AlignCenter);
    EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(grid.horizontalHeader()->sectionsMovable());

    using Titles = std::vector<std::string>;
    EXPECT_EQ(grid.VisualTitles(),
              (Titles{"Measurement No.", "Time", "Value", "Unit", "Function", "Remark"}));
    grid.horizontalHeader()->moveSection(1, 0);  // the operator drags "Time" to the front
    grid.horizontalHeader()->moveSection(5, 2);
    EXPECT_EQ(grid.VisualTitles(),
              (Titles{"Time", "Measurement No.", "Remark", "Value", "Unit", "Function"}));
}

TEST_F(LogWidgets, RecordedRowBecomesCurrent) {
    MeasurementGrid grid(&model);
    grid.resize(617, 177);
    grid.show();
    for (int i = 0; i < 40; ++i)
        policy.INDataToTable(1, Reading{std::to_string(i), "V", "DCV  600V", "Timed"});
    EXPECT_EQ(grid.currentIndex().row(), 39);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(39, {}));
    EXPECT_EQ(grid.rowAt(grid.viewport()->height() - 2), 39);  // scrolled to the bottom
    // The row indicator marks the current row and no other.
    QHeaderView* rows = grid.verticalHeader();
    const QImage indicator = rows->viewport()->grab().toImage();
    auto darkAt = [&](int row) {
        const int y = rows->sectionViewportPosition(row) + rows->sectionSize(row) / 2;
        return qGray(indicator.pixel(rows->width() / 2 - 1, y)) < 100;
    };
    EXPECT_TRUE(darkAt(39));
    EXPECT_FALSE(darkAt(38));
    {
        MeasurementTable::BulkGuard bulk(table);
        for (int i = 0; i < 10; ++i) table.Append({i, 0, "x", "", "", ""});
        EXPECT_EQ(grid.currentIndex().row(), 39);
    }
    EXPECT_EQ(grid.currentIndex().row(), 49);
}

TEST_F(LogWidgets, RecordBarLayoutAndBinding) {
    RecordBar bar(policy);
    EXPECT_EQ(bar.objectName(), "Panel7");
    const struct {
        const char* name;
        QRect geometry;
        const char* tip;
    } buttons[] = {{"SpeedButton2", {501, 4, 25, 21}, "Delete Data"},
                   {"SpeedButton1", {528, 4, 25, 21}, "Save Data"},
                   {"SpeedButton3", {555, 4, 25, 21}, "Open Data"},
                   {"MajPrint", {582, 4, 29, 21}, "Print Data"}};
    for (const auto& b : buttons) {
        auto* button = bar.findChild<QToolButton*>(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->geometry(), b.geometry) << b.name;
        EXPECT_EQ(button->toolTip(), b.tip);
    }
    QSignalSpy deletes(&bar, &RecordBar::deleteClicked), prints(&bar, &RecordBar::printClicked);
    bar.findChild<QToolButton*>("SpeedButton2")->click();
    bar.findChild<QToolButton*>("MajPrint")->click();
    EXPECT_EQ(deletes.count(), 1);
    EXPECT_EQ(prints.count(), 1);

    auto* repeat = bar.findChild<QCheckBox*>("RepeatSet");
    auto* si = bar.findChild<QCheckBox*>("RecordSI");
    auto* time = bar.findChild<QLineEdit*>("RecordSITime");
    ASSERT_TRUE(repeat && si && time);
    EXPECT_EQ(repeat->text(), "Repeat");
    EXPECT_EQ(repeat->x(), 5);
    EXPECT_TRUE(repeat->isChecked());
    EXPECT_EQ(si->text(), "Sampling Interval              'S");
    EXPECT_EQ(QRect(si->x(), 0, si->width(), 0), QRect(60, 0, 167, 0));
    EXPECT_FALSE(si->isChecked());
    EXPECT_EQ(time->text(), "10");
    EXPECT_EQ(QRect(time->x(), 0, time->width(), 0), QRect(166, 0, 29, 0));

    repeat->setChecked(false);
    si->setChecked(true);
    EXPECT_FALSE(policy.RepeatSet());
    EXPECT_TRUE(policy.RecordSI());

    // Deleting the digits of "10" restarts the countdown at 1, then at 0; letters never get in.
    time->setFocus();
    time->end(false);
    QTest::keyClick(time, Qt::Key_Backspace);
    EXPECT_EQ(policy.SampleCountdown(), 1);
    QTest::keyClick(time, Qt::Key_Backspace);
    EXPECT_EQ(policy.SampleCountdown(), 0);
    QTest::keyClicks(time, "4x-2");
    EXPECT_EQ(time->text(), "42");
    EXPECT_EQ(policy.RecordSITime(), "42");
    EXPECT_EQ(policy.SampleCountdown(), 42);
    time->selectAll();
    time->insert("7a");  // what a paste does: refused as a whole
    EXPECT_EQ(time->text(), "42");
    EXPECT_TRUE(ui.errors.empty());
}

}  // namespace
}  // namespace qx
