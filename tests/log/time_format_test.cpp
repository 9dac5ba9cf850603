#include <gtest/gtest.h>

#include "log/time_format.h"

namespace qx {
namespace {

constexpr std::int32_t kMs(int h, int m, int s) { return (h * 3600 + m * 60 + s) * 1000; }

TEST(TimeFormat, FormatsAndReadsBack) {
    struct Case {
        const char* pattern;
        std::int32_t ms;
        const char* text;
    };
    const Case cases[] = {
        {"%H:%M:%S", kMs(9, 5, 7) + 999, "09:05:07"},
        {"%T", kMs(23, 59, 59), "23:59:59"},
        {"%I:%M:%S %p", kMs(0, 0, 1), "12:00:01 AM"},
        {"%I:%M:%S %p", kMs(13, 2, 3), "01:02:03 PM"},
        {"%l:%M:%S %P", kMs(12, 30, 0), "12:30:00 pm"},
        {"%r", kMs(7, 8, 9), "07:08:09 AM"},
        {"%H:%M", kMs(10, 11, 12), "10:11:12"},  // a format without seconds gets them back
    };
    for (const Case& c : cases) {
        const TimeFormat f(c.pattern);
        EXPECT_EQ(f.Format(c.ms), c.text) << c.pattern;
        EXPECT_EQ(f.Parse(c.text), c.ms / 1000 * 1000) << c.pattern;
    }
}

TEST(TimeFormat, ReadsTwentyFourHourTimesTooAndRejectsJunk) {
    const TimeFormat f("%I:%M:%S %p");
    EXPECT_EQ(f.Parse("14:03:05"), kMs(14, 3, 5));
    EXPECT_EQ(f.Parse(" 9:03:05 "), kMs(9, 3, 5));
    EXPECT_EQ(f.Parse("2:03:05 pm"), kMs(14, 3, 5));
    for (const char* bad : {"NULL", "", "24:00:00", "12:60:00", "1:2", "10:23:45000", "13:00:00 PM"})
        EXPECT_EQ(f.Parse(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace qx
