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

bool IsValidDate(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day <= kDays[month - 1] + (month == 2 && leap);
}

} // namespace

TEST(DateTimeValue, CountsDaysFrom18991230WithTheTimeAsFraction)
{
    EXPECT_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_EQ(EncodeDateTime({1980, 1, 1, 0, 0, 0}), 29221.0);
    EXPECT_EQ(EncodeDateTime({2003, 12, 31, 12, 0, 0}), 37986.5);
    EXPECT_EQ(EncodeDateTime({2000, 2, 29, 6, 0, 0}), 36585.25) << "2000 is a leap year";
    EXPECT_EQ(EncodeDateTime({2100, 3, 1, 0, 0, 0}), 73110.0) << "2100 is not";
}

TEST(DateTimeValue, DecodesToTheNearestSecondDespiteRoundingErrors)
{
    const double value = EncodeDateTime({2003, 12, 31, 23, 59, 58});
    const DateTimeParts expected{2003, 12, 31, 23, 59, 58};
    EXPECT_EQ(DecodeDateTime(value), expected);
    EXPECT_EQ(DecodeDateTime(std::nextafter(value, 0.0)), expected);
    EXPECT_EQ(DecodeDateTime(value + 1e-9), expected);
    EXPECT_EQ(DecodeDateTime(EncodeDateTime({2003, 12, 31, 0, 0, 0}) + 0.9999999),
              (DateTimeParts{2004, 1, 1, 0, 0, 0}))
        << "a fraction that rounds up to midnight is the next day";
}

TEST(DosDateTime, EveryDateOfTheFormRoundTripsExactly)
{
    int dates = 0, mismatches = 0;
    for (int year = 1980; year <= 2107; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31 && IsValidDate(year, month, day); ++day) {
                const DosDateTime dos = Dos(year, month, day, 13, 37, 42);
                const double value = DosToDateTime(dos);
                mismatches += DateTimeToDos(value) != dos ||
                              DecodeDateTime(value) != DateTimeParts{year, month, day, 13, 37, 42};
                ++dates;
            }
        }
    }
    EXPECT_EQ(dates, 46751); // 128 years, 31 of them leap years
    EXPECT_EQ(mismatches, 0);
}

TEST(DosDateTime, KeepsEvenSecondsAndTheRangeOf1980To2107)
{
    EXPECT_EQ(DateTimeToDos(EncodeDateTime({2003, 12, 31, 23, 59, 59})), Dos(2003, 12, 31, 23, 59, 58));
    EXPECT_EQ(DateTimeToDos(EncodeDateTime({2003, 12, 31, 0, 0, 1})), Dos(2003, 12, 31, 0, 0, 0));
    EXPECT_EQ(DateTimeToDos(EncodeDateTime({2107, 12, 31, 23, 59, 59}) + 0.9 / 86400), Dos(2107, 12, 31, 23, 59, 58));
    EXPECT_FALSE(DateTimeToDos(EncodeDateTime({1979, 12, 31, 23, 59, 59})));
    EXPECT_FALSE(DateTimeToDos(0)) << "no date";
    EXPECT_FALSE(DateTimeToDos(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(DateTimeToDos(EncodeDateTime({2108, 1, 1, 0, 0, 0})));
}

TEST(DateTimeText, GivesTheDateOrTheTimeWithFixedSeparators)
{
    const double value = EncodeDateTime({2003, 12, 31, 23, 59, 59});
    EXPECT_EQ(DateTimeText(1, value), L"12/31/2003");
    EXPECT_EQ(DateTimeText(2, value), L"23:59:59");

    const double morning = DosToDateTime(Dos(1980, 1, 2, 7, 5, 4));
    EXPECT_EQ(DateTimeText(1, morning), L"01/02/1980") << "month first, two digits each";
    EXPECT_EQ(DateTimeText(2, morning), L"07:05:04") << "a 24-hour clock with two digits each";
    EXPECT_EQ(DateTimeText(3, value), L"");
}
