#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "users/DateTime.h"

using namespace trelgate;

namespace {

DosDateTime Dos(int year, int month, int day, int hour, int minute, int second)
{
    return {static_cast<std::uint16_t>((year - 1980) << 9 | month << 5 | day),
            static_cast<std::uint16_t>(hour << 11 | minute << 5 | second / 2)};
}

} // namespace

// Days from 12/30/1899 with the time as fraction, decoded to the nearest second.
TEST(DateTime, ValuesCountDaysAndDecodeToTheNearestSecond)
{
    EXPECT_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_EQ(EncodeDateTime({2003, 12, 31, 12, 0, 0}), 37986.5);
    EXPECT_EQ(EncodeDateTime({2000, 2, 29, 6, 0, 0}), 36585.25) << "2000 is a leap year";
    EXPECT_EQ(EncodeDateTime({2100, 3, 1, 0, 0, 0}), 73110.0) << "2100 is not";
    const double value = EncodeDateTime({2003, 12, 31, 23, 59, 58});
    for (double near : {value, std::nextafter(value, 0.0), value + 1e-9})
        EXPECT_EQ(DecodeDateTime(near), (DateTimeParts{2003, 12, 31, 23, 59, 58}));
    EXPECT_EQ(DecodeDateTime(EncodeDateTime({2003, 12, 31, 0, 0, 0}) + 0.9999999), (DateTimeParts{2004, 1, 1, 0, 0, 0}))
        << "a fraction that rounds up to midnight is the next day";
}

// Every day of the form, 128 years with 31 leap years, goes there and back exactly.
TEST(DateTime, DosMomentsRoundTripKeepingEvenSecondsWithin1980To2107)
{
    int days = 0;
    for (double v = DosToDateTime(Dos(1980, 1, 1, 13, 37, 42)); v < 75972; v += 1, ++days) {
        const std::optional<DosDateTime> dos = DateTimeToDos(v);
        ASSERT_TRUE(dos && DosToDateTime(*dos) == v) << v;
        const DateTimeParts parts = DecodeDateTime(v);
        ASSERT_EQ(*dos, Dos(parts.year, parts.month, parts.day, 13, 37, 42)) << v;
    }
    EXPECT_EQ(days, 46751);
    EXPECT_EQ(DateTimeToDos(EncodeDateTime({2003, 12, 31, 23, 59, 59})), Dos(2003, 12, 31, 23, 59, 58));
    EXPECT_EQ(DateTimeToDos(EncodeDateTime({2107, 12, 31, 23, 59, 59}) + 0.9 / 86400), Dos(2107, 12, 31, 23, 59, 58));
    for (double outside : {EncodeDateTime({1979, 12, 31, 23, 59, 59}), EncodeDateTime({2108, 1, 1, 0, 0, 0}), 0.0,
                           std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(DateTimeToDos(outside)) << outside;
}

TEST(DateTime, TextIsMonthFirstAndA24HourClockTwoDigitsEach)
{
    const double value = DosToDateTime(Dos(1980, 1, 2, 17, 5, 4));
    EXPECT_EQ(DateTimeText(1, value), L"01/02/1980");
    EXPECT_EQ(DateTimeText(2, value), L"17:05:04");
    EXPECT_EQ(DateTimeText(2, value - 0.5), L"05:05:04");
    EXPECT_EQ(DateTimeText(3, value), L"");
}
