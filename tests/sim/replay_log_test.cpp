// A capture played through the headless log on its virtual clock: the rows the recording policy
// keeps, their times of day, the sampling interval's whole-second ticks and the watchdog.

#include <gtest/gtest.h>

#include "capture_text.h"
#include "sim/log_session.h"

namespace qx {
namespace {

using test::FrameLines;
using test::Megaohms;

struct Row {
    std::int32_t timeMs;
    std::string value;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.timeMs << " " << r.value;
}

std::vector<Row> Rows(const MeasurementTable& table) {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
        EXPECT_EQ(table.No(i), static_cast<std::int32_t>(i + 1));
        rows.push_back({table.TimeMs(i).value_or(-1), std::string(table.Value(i))});
    }
    return rows;
}

constexpr std::int32_t kTen = 10 * 3600 * 1000;  // 10:00:00

// Frames at the given offsets; equal digits give equal value texts.
std::string Frames(std::initializer_list<std::pair<std::int64_t, const char*>> frames) {
    std::string text = "# start 10:00:00\n";
    for (const auto& [ms, digits] : frames) text += FrameLines(ms, Megaohms(digits));
    return text;
}

TEST(ReplayLogTest, RecordingRulesOnTheVirtualClock) {
    const std::string everyHalfSecond = Frames({{100, "1000"},
                                                {600, "1000"},
                                                {1100, "1001"},
                                                {1600, "1002"},
                                                {2100, "1002"},
                                                {2600, "1003"},
                                                {3100, "1004"},
                                                {3600, "1005"},
                                                {4100, "1006"}});
    LogOptions noRepeat;
    noRepeat.repeat = false;
    LogOptions interval2;
    interval2.interval = "2";
    LogOptions interval0;
    interval0.interval = "0";
    LogOptions limit3;
    limit3.limit = 3;
    LogOptions comma;
    comma.decimalSeparator = ",";
    LogOptions noRepeatInterval1;
    noRepeatInterval1.interval = "1";
    noRepeatInterval1.repeat = false;
    LogOptions interval10;
    interval10.interval = "10";

    const struct {
        const char* name;
        std::string capture;
        LogOptions options;
        std::vector<Row> rows;
    } cases[] = {
        {"every frame",
         Frames({{100, "1000"}, {600, "1000"}, {1100, "1001"}}),
         {},
         {{kTen + 100, "1.000"}, {kTen + 600, "1.000"}, {kTen + 1100, "1.001"}}},
        {"no start line: from midnight",
         "0 F0\n" + FrameLines(2500, Megaohms("4321")),
         {},
         {{2500, "4.321"}}},
        {"across midnight",
         "# start 23:59:59\n" + FrameLines(1500, Megaohms("1234")),
         {},
         {{500, "1.234"}}},
        {"decimal separator", Frames({{0, "1234"}}), comma, {{kTen, "1,234"}}},
        {"repeat unchecked drops equal value texts",
         everyHalfSecond,
         noRepeat,
         {{kTen + 100, "1.000"},
          {kTen + 1100, "1.001"},
          {kTen + 1600, "1.002"},
          {kTen + 2600, "1.003"},
          {kTen + 3100, "1.004"},
          {kTen + 3600, "1.005"},
          {kTen + 4100, "1.006"}}},
        // Putting "2" into the box starts the countdown at 2; every row reloads it; the ticks
        // at 1000, 2000, ... count it down.
        {"interval 2",
         everyHalfSecond,
         interval2,
         {{kTen + 2100, "1.002"}, {kTen + 4100, "1.006"}}},
        // A report exactly on a whole second comes after that second's tick.
        {"interval 2, frames on the ticks",
         Frames({{0, "1000"},
                 {500, "1001"},
                 {1000, "1002"},
                 {1500, "1003"},
                 {2000, "1004"},
                 {2500, "1005"},
                 {3000, "1006"},
                 {3500, "1007"},
                 {4000, "1008"}}),
         interval2,
         {{kTen + 2000, "1.004"}, {kTen + 4000, "1.008"}}},
        // The frame at 2000 passes the interval and is then dropped by the repeat filter.
        {"interval 1 and repeat unchecked",
         Frames({{500, "1000"},
                 {1000, "1000"},
                 {2000, "1000"},
                 {2500, "1000"},
                 {3000, "1001"},
                 {3500, "1002"},
                 {4000, "1002"}}),
         noRepeatInterval1,
         {{kTen + 1000, "1.000"}, {kTen + 3000, "1.001"}, {kTen + 4000, "1.002"}}},
        {"interval 10 is the box's own text: no wait",
         Frames({{0, "1000"}, {500, "1001"}}),
         interval10,
         {{kTen, "1.000"}}},
        {"interval 0 records every frame",
         Frames({{0, "1000"}, {10, "1000"}}),
         interval0,
         {{kTen, "1.000"}, {kTen + 10, "1.000"}}},
        {"limit 3",
         everyHalfSecond,
         limit3,
         {{kTen + 100, "1.000"}, {kTen + 600, "1.000"}, {kTen + 1100, "1.001"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto capture = ParseCapture(c.capture);
        ASSERT_TRUE(capture);
        MeasurementTable table;
        const ReplayLogSummary summary = RunReplayLog(*capture, c.options, table);
        EXPECT_EQ(summary.reports, capture->Size());
        EXPECT_TRUE(summary.errors.empty());
        EXPECT_EQ(Rows(table), c.rows);
    }
}

TEST(ReplayLogTest, RowsCarryTheWholeReadingAndTheFrameEndsAtItsLastReport) {
    DisplayDescription d = Megaohms("2468");
    d.testVoltage = 1000;
    d.pi = true;
    d.unit = DisplayDescription::Unit::GigaOhm;
    // The data reports at 100, 125, 150, 175 and the report without data at 300.
    std::string text;
    std::int64_t ms = 100;
    const auto reports = FrameToReports(EncodeFrame(d));
    for (std::size_t i = 0; i < reports.size(); ++i, ms += 25)
        text += CaptureLine(i + 1 == reports.size() ? 300 : ms, reports[i]);
    MeasurementTable table;
    RunReplayLog(*ParseCapture(text), {}, table);
    ASSERT_EQ(table.RowCount(), 1U);
    EXPECT_EQ(table.Row(0), (TableRow{1, 300, "2.468", "G\xA6\xB8", "IR:1000V 40G\xA6\xB8", "PI"}));
}

TEST(ReplayLogTest, TheWatchdogRunsOnTheSameClock) {
    // After the frame at 300 the watchdog closes the link at 1300, opens it at 2300, closes it
    // at 3300 and opens it at 4300. The frame at 1800 comes while it is closed and waits in the
    // cable's queue until 2300; the one at 3800 waits until 4300, after the capture's end.
    const auto capture =
        ParseCapture(Frames({{0, "1000"}, {300, "1001"}, {1800, "1002"}, {3800, "1003"}}));
    MeasurementTable table;
    const ReplayLogSummary summary = RunReplayLog(*capture, {}, table);
    EXPECT_EQ(summary.frames, 4U);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{kTen, "1.000"},
                                             {kTen + 300, "1.001"},
                                             {kTen + 1800, "1.002"},
                                             {kTen + 3800, "1.003"}}));

    // A queued frame meets the recording rules when the link reopens, after the ticks due by
    // then; its row keeps the time of its own report. Here the row at 2100 loads 2; the frame at
    // 3800 would meet 1 but is handled at 4100, after the tick at 4000.
    LogOptions interval2;
    interval2.interval = "2";
    MeasurementTable sampled;
    RunReplayLog(*ParseCapture(Frames({{2100, "1000"}, {3800, "1001"}})), interval2, sampled);
    EXPECT_EQ(Rows(sampled), (std::vector<Row>{{kTen + 2100, "1.000"}, {kTen + 3800, "1.001"}}));
}

TEST(ReplayLogTest, BrokenRunsAreDroppedAndDurationCutsTheCapture) {
    const std::string frame = EncodeFrame(Megaohms("1111"));
    std::string text = "# start 10:00:00\n";
    // A frame whose first report was missed (the link opened mid-frame), then whole frames.
    const auto reports = FrameToReports(frame);
    for (std::size_t i = 1; i < reports.size(); ++i) text += CaptureLine(0, reports[i]);
    text += FrameLines(500, Megaohms("2222")) + FrameLines(1500, Megaohms("3333"));
    const auto capture = ParseCapture(text);
    MeasurementTable table;
    RunReplayLog(*capture, {}, table);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{kTen + 500, "2.222"}, {kTen + 1500, "3.333"}}));

    MeasurementTable cut;
    const ReplayLogSummary summary = RunReplayLog(*capture, {}, cut, 1500);
    EXPECT_EQ(Rows(cut), (std::vector<Row>{{kTen + 500, "2.222"}}));
    EXPECT_EQ(summary.reports, capture->Size() - 5);
}

TEST(ReplayLogTest, OptionProblems) {
    const struct {
        LogOptions options;
        bool ok;
    } cases[] = {
        {{}, true},
        {{true, "", {}, "."}, true},
        {{true, "10", {}, "."}, true},
        {{true, "1a", {}, "."}, false},
        {{true, "-1", {}, "."}, false},
        {{true, "99999999999", {}, "."}, false},
        {{true, {}, 0, "."}, true},
        {{true, {}, -1, "."}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!c.options.Problem(), c.ok)
            << c.options.interval.value_or("-") << " " << c.options.limit.value_or(0);
}

}  // namespace
}  // namespace qx
