// The date-time value of the user store and the DOS file-date form it is read
// from and written back in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace trelgate {

// Days since 1899-12-30 with the time of day as the fraction, in local time.
// Before that day the whole part counts back and the fraction still counts
// forward from midnight (-1.25 is 1899-12-29 06:00).
struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

double EncodeDateTime(const DateTimeParts& parts);
// To the nearest second, so a value that drifted by a rounding error still
// names its second; values outside the years 1 to 9999 give the nearest end.
DateTimeParts DecodeDateTime(double value);

// The FAT words: date = (year - 1980) << 9 | month << 5 | day,
// time = hour << 11 | minute << 5 | second / 2.
struct DosDateTime {
    std::uint16_t date = 0;
    std::uint16_t time = 0;
    friend bool operator==(const DosDateTime&, const DosDateTime&) = default;
};

// 1980-01-01 00:00:00 and 2107-12-31 23:59:58.
inline constexpr DosDateTime kFirstDosMoment{(1 << 5) | 1, 0};
inline constexpr DosDateTime kLastDosMoment{(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29};

// Words as FileTimeToDosDateTime writes them.
double DosToDateTime(DosDateTime dos);
// Odd seconds go down to the even one, as the file system keeps them; values
// before 1980 or after 2107 (0 for "no date", too) have no such form.
std::optional<DosDateTime> DateTimeToDos(double value);

// Kind 1 "MM/DD/YYYY", kind 2 "HH:MM:SS" on a 24-hour clock, whatever the
// locale; any other kind gives the empty string.
std::wstring DateTimeText(int kind, double value);

} // namespace trelgate
