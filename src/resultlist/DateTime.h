#pragma once
// Date-time values in the automation date format: days since 1899-12-30 00:00, the fraction the
// time of day. Before that day the whole part is negative and the fraction still counts forward
// from midnight, so -1.25 is 1899-12-29 06:00.
#include <optional>
#include <string_view>

namespace korvane {

inline constexpr double kMaxDateTime = 2958465.0;   // 9999-12-31
inline constexpr double kMinDateTime = -657434.0;   // 100-01-01

double ClampDateTime(double x);
// A value that grows with time, also for negative dates.
double LinearDateTime(double x);
// -1, 0 or 1 after clamping and linearising both.
int CompareDateTimes(double a, double b);

// The value of a calendar date and time of day; nullopt when the date does not exist.
std::optional<double> MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Reads a text in code page 936 as a date-time. Accepted, after optional spaces:
//   YYYY-MM-DD, YYYY/MM/DD, YYYY.MM.DD or YYYY年MM月DD日 (one or two digits for month and day,
//   one to four for the year, 100 to 9999), optionally followed by spaces (or "T") and a time
//   HH:MM or HH:MM:SS (hours 0 to 23); anything may follow. Nullopt when unreadable.
std::optional<double> ReadDateTime(std::string_view text);

}  // namespace korvane
