#include "users/DateTime.h"

#include <cmath>

namespace trelgate {
namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr double kFirstValue = -693593.0;      // 0001-01-01
constexpr double kLastValue = 2958465.999988; // 9999-12-31 23:59:59

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr long long DaysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long long kZeroDay = DaysFromCivil(1899, 12, 30);

void CivilFromDays(long long z, DateTimeParts& parts)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    parts.year = static_cast<int>(yoe + era * 400 + (parts.month <= 2));
}

void AppendDigits(std::wstring& text, int value, int width)
{
    std::wstring digits = std::to_wstring(value);
    if (static_cast<int>(digits.size()) < width)
        text.append(width - digits.size(), L'0');
    text += digits;
}

} // namespace

double EncodeDateTime(const DateTimeParts& parts)
{
    const long long days = DaysFromCivil(parts.year, parts.month, parts.day) - kZeroDay;
    const double time = static_cast<double>(parts.hour * 3600 + parts.minute * 60 + parts.second) / kSecondsPerDay;
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

DateTimeParts DecodeDateTime(double value)
{
    if (std::isnan(value))
        value = 0;
    value = std::fmin(std::fmax(value, kFirstValue), kLastValue);
    const double whole = std::trunc(value);
    long long days = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
    if (seconds == kSecondsPerDay) { // rounded up to the next midnight
        ++days;
        seconds = 0;
    }
    DateTimeParts parts;
    CivilFromDays(days + kZeroDay, parts);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

double DosToDateTime(DosDateTime dos)
{
    return EncodeDateTime({(dos.date >> 9) + 1980, (dos.date >> 5) & 15, dos.date & 31, dos.time >> 11,
                           (dos.time >> 5) & 63, (dos.time & 31) * 2});
}

std::optional<DosDateTime> DateTimeToDos(double value)
{
    const double last = DosToDateTime(kLastDosMoment);
    if (!(value >= DosToDateTime(kFirstDosMoment) && value < last + 2.0 / kSecondsPerDay)) // NaN included
        return std::nullopt;
    if (value >= last) // its odd second, which rounding could carry into 2108
        return kLastDosMoment;
    const DateTimeParts p = DecodeDateTime(value);
    return DosDateTime{static_cast<std::uint16_t>((p.year - 1980) << 9 | p.month << 5 | p.day),
                       static_cast<std::uint16_t>(p.hour << 11 | p.minute << 5 | p.second / 2)};
}

std::wstring DateTimeText(int kind, double value)
{
    const DateTimeParts p = DecodeDateTime(value);
    std::wstring text;
    if (kind == 1) {
        AppendDigits(text, p.month, 2);
        text += L'/';
        AppendDigits(text, p.day, 2);
        text += L'/';
        AppendDigits(text, p.year, 4);
    } else if (kind == 2) {
        AppendDigits(text, p.hour, 2);
        text += L':';
        AppendDigits(text, p.minute, 2);
        text += L':';
        AppendDigits(text, p.second, 2);
    }
    return text;
}

} // namespace trelgate
