#include <gtest/gtest.h>

#include "log/measurement_table.h"

namespace qx {
namespace {

struct CountingObserver : MeasurementTable::Observer {
    void RowsAppended(std::size_t first, std::size_t count) override {
        lastFirst = first;
        appended += count;
    }
    void RowsReset() override { ++resets; }
    std::size_t lastFirst = 0, appended = 0, resets = 0;
};

TEST(MeasurementTable, KeepsRowsInOrderWithCutTextsAndNulls) {
    MeasurementTable t;
    CountingObserver obs;
    t.AddObserver(&obs);
    t.Append({1, 3'723'000, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous"});
    t.Append({1, std::nullopt, std::string(25, 'x'), "", "", "NULL"});
    t.Append({std::nullopt, 0, "", "V", "DCV  600V", "Timed"});
    ASSERT_EQ(t.RowCount(), 3U);
    EXPECT_EQ(t.Row(0), (TableRow{1, 3'723'000, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous"}));
    EXPECT_EQ(t.No(1), 1);  // equal numbers allowed
    EXPECT_EQ(t.TimeMs(1), std::nullopt);
    EXPECT_EQ(t.Value(1), std::string(20, 'x'));
    EXPECT_EQ(t.I_Range(1), "NULL");
    EXPECT_EQ(t.No(2), std::nullopt);
    EXPECT_EQ(obs.appended, 3U);
    EXPECT_EQ(obs.lastFirst, 2U);

    t.Clear();
    EXPECT_TRUE(t.Empty());
    EXPECT_EQ(obs.resets, 1U);
    t.Append({7, 1, "2", "V", "f", "m"});
    EXPECT_EQ(t.Row(0), (TableRow{7, 1, "2", "V", "f", "m"}));
    t.RemoveObserver(&obs);
}

TEST(MeasurementTable, SwapRowsExchangesContentAcrossChunks) {
    MeasurementTable a, b;
    for (int i = 0; i < 70'000; ++i) a.Append({i, i, std::to_string(i), "V", "f", "m"});
    b.Append({-1, 0, "b", "", "", ""});
    a.SwapRows(b);
    EXPECT_EQ(a.RowCount(), 1U);
    EXPECT_EQ(a.Value(0), "b");
    ASSERT_EQ(b.RowCount(), 70'000U);
    EXPECT_EQ(b.Row(69'999), (TableRow{69'999, 69'999, "69999", "V", "f", "m"}));
    // Every row across the growing chunks and into the full-size ones lands where it belongs.
    for (std::size_t i = 0; i < b.RowCount(); ++i) ASSERT_EQ(b.No(i), static_cast<int>(i)) << i;
    // Appending after the swap interns into each table's own texts.
    a.Append({1, 1, "a", "V", "f", "x"});
    b.Append({2, 2, "b", "", "g", "m"});
    EXPECT_EQ(a.Row(1), (TableRow{1, 1, "a", "V", "f", "x"}));
    EXPECT_EQ(b.Row(70'000), (TableRow{2, 2, "b", "", "g", "m"}));
    b.Clear();
    b.Append({3, 3, "c", "V", "f", "m"});
    EXPECT_EQ(b.Row(0), (TableRow{3, 3, "c", "V", "f", "m"}));
}

}  // namespace
}  // namespace qx
