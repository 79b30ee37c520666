#include <gtest/gtest.h>

#include "platform/Clock.h"

using pellucor::platform::DateTime;

TEST(DateTimeSerial, KnownDays) {
    // Day 0 is 1899-12-30; 2000-01-01 is day 36526; noon is half a day.
    struct Case {
        DateTime t;
        double serial;
    } cases[] = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
        {{2000, 1, 1, 0, 0, 0, 0}, 36526.0},
        {{2000, 1, 1, 12, 0, 0, 0}, 36526.5},
        {{2024, 2, 29, 6, 0, 0, 0}, 45351.25},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.t.ToSerial(), c.serial) << c.t.year << "-" << c.t.month;
        const DateTime back = DateTime::FromSerial(c.serial);
        EXPECT_EQ(back.year, c.t.year);
        EXPECT_EQ(back.month, c.t.month);
        EXPECT_EQ(back.day, c.t.day);
        EXPECT_EQ(back.hour, c.t.hour);
    }
}

TEST(DateTimeSerial, MillisecondsSurviveRoundTrip) {
    const DateTime t{2026, 12, 10, 23, 59, 59, 999};
    const DateTime back = DateTime::FromSerial(t.ToSerial());
    EXPECT_EQ(back.day, 10);
    EXPECT_EQ(back.hour, 23);
    EXPECT_EQ(back.minute, 59);
    EXPECT_EQ(back.second, 59);
    EXPECT_EQ(back.msec, 999);
}

TEST(DateTimeText, DateFollowsDecimalSeparator) {
    const DateTime t{2026, 3, 7, 9, 5, 4, 32};
    EXPECT_EQ(pellucor::platform::FormatDate(t, true), "03/07/2026");
    EXPECT_EQ(pellucor::platform::FormatDate(t, false), "2026.03.07");
    EXPECT_EQ(pellucor::platform::FormatTime(t), "09:05:04");
    EXPECT_EQ(pellucor::platform::FormatTimeMs(t), "09:05:04:032");
}
