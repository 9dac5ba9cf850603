#include "log/measurement_model.h"

#include <gtest/gtest.h>

#include "log/screen_text.h"

namespace qx {
namespace {

struct SignalLog {
    explicit SignalLog(MeasurementModel& m) {
        QObject::connect(&m, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) {
                             inserts.push_back({first, last});
                         });
        QObject::connect(&m, &QAbstractItemModel::modelReset, [this] { ++resets; });
    }
    std::vector<std::pair<int, int>> inserts;
    int resets = 0;
};

TEST(MeasurementModel, ShowsCellsAsTheScreenDoes) {
    MeasurementTable table;
    MeasurementModel model(table, TimeFormat("%I:%M:%S %p"));
    table.Append({12, (13 * 3600 + 4 * 60 + 5) * 1000 + 678, "1.23", "M\xA6\xB8",
                  "IR:500V 20G\xA6\xB8", "COMP:NG"});
    table.Append({std::nullopt, std::nullopt, "\xB5\xA6", "", "", ""});
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 6);
    const QStringList row0 = {"12",        "01:04:05 PM",         "1.23",
                              u8"M\u03A9", u8"IR:500V 20G\u03A9", "COMP:NG"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(model.data(model.index(0, c)).toString(), row0[c]) << c;
        EXPECT_EQ(model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  Qt::AlignCenter);
        EXPECT_FALSE(model.flags(model.index(0, c)) & Qt::ItemIsEditable);
    }
    EXPECT_FALSE(model.data(model.index(1, 0)).isValid());  // no number, no time: empty cells
    EXPECT_FALSE(model.data(model.index(1, 1)).isValid());
    EXPECT_EQ(model.data(model.index(1, 2)).toString(),
              QString::fromLatin1("\xB5\xA6"));  // a lone lead byte stays
    const char* titles[] = {"Measurement No.", "Time", "Value", "Unit", "Function", "Remark"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
    EXPECT_EQ(TableBytes(ScreenText("M\xA6\xB8 \xE9")), "M\xA6\xB8 \xE9");
}

TEST(MeasurementModel, BulkSectionsNestAndReachTheViewOnce) {
    MeasurementTable table;
    MeasurementModel model(table, TimeFormat("%T"));
    SignalLog log(model);
    table.Append({1, 0, "a", "", "", ""});
    EXPECT_EQ(log.inserts, (std::vector<std::pair<int, int>>{{0, 0}}));

    {  // appends only: one insertion of all of them at the outer end
        MeasurementTable::BulkGuard outer(table);
        table.Append({2, 0, "b", "", "", ""});
        {
            MeasurementTable::BulkGuard inner(table);
            table.Append({3, 0, "c", "", "", ""});
        }
        EXPECT_EQ(log.inserts.size(), 1U);
        EXPECT_EQ(model.rowCount(), 1);
    }
    EXPECT_EQ(log.inserts.back(), (std::pair<int, int>{1, 2}));
    EXPECT_EQ(model.rowCount(), 3);

    {  // a clear inside: the view keeps its old row count, reads nothing stale, then one reset
        MeasurementTable::BulkGuard guard(table);
        table.Clear();
        EXPECT_EQ(model.rowCount(), 3);
        EXPECT_FALSE(model.data(model.index(2, 2)).isValid());
        table.Append({9, 0, "z", "", "", ""});
        EXPECT_EQ(log.resets, 0);
    }
    EXPECT_EQ(log.resets, 1);
    EXPECT_EQ(log.inserts.size(), 2U);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), "z");

    { MeasurementTable::BulkGuard idle(table); }  // nothing changed: nothing told
    EXPECT_EQ(log.resets, 1);
    EXPECT_EQ(log.inserts.size(), 2U);
}

}  // namespace
}  // namespace qx
