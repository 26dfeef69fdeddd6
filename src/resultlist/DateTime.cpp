#include "resultlist/DateTime.h"

#include <cmath>

namespace korvane {

double ClampDateTime(double x) {
  if (x > kMaxDateTime) return kMaxDateTime;
  if (x < kMinDateTime) return kMinDateTime;
  return x;
}

double LinearDateTime(double x) {
  if (x >= 0) return x;
  const double whole = std::trunc(x);
  return 2 * whole - x;
}

int CompareDateTimes(double a, double b) {
  const double la = LinearDateTime(ClampDateTime(a));
  const double lb = LinearDateTime(ClampDateTime(b));
  return la > lb ? 1 : (la < lb ? -1 : 0);
}

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool Literal(std::string_view what) {
    if (text_.substr(pos_, what.size()) != what) return false;
    pos_ += what.size();
    return true;
  }
  // 1 to `most` ASCII digits.
  std::optional<int> Number(int most) {
    int value = 0;
    int count = 0;
    while (count < most && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      value = value * 10 + (text_[pos_++] - '0');
      ++count;
    }
    if (count == 0) return std::nullopt;
    return value;
  }
  void Spaces() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  std::size_t Mark() const { return pos_; }
  void Reset(std::size_t mark) { pos_ = mark; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

constexpr std::string_view kYear = "\xC4\xEA";   // 年
constexpr std::string_view kMonth = "\xD4\xC2";  // 月
constexpr std::string_view kDay = "\xC8\xD5";    // 日

}  // namespace

std::optional<double> MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
  const long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                         DaysFromCivil(1899, 12, 30);
  const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

std::optional<double> ReadDateTime(std::string_view text) {
  Reader r(text);
  r.Spaces();
  const auto year = r.Number(4);
  if (!year) return std::nullopt;
  std::optional<int> month, day;
  if (r.Literal(kYear)) {
    month = r.Number(2);
    if (!month || !r.Literal(kMonth)) return std::nullopt;
    day = r.Number(2);
    if (!day || !r.Literal(kDay)) return std::nullopt;
  } else {
    char separator = 0;
    for (const char s : {'-', '/', '.'}) {
      if (r.Literal(std::string_view(&s, 1))) {
        separator = s;
        break;
      }
    }
    if (!separator) return std::nullopt;
    month = r.Number(2);
    if (!month || !r.Literal(std::string_view(&separator, 1))) return std::nullopt;
    day = r.Number(2);
    if (!day) return std::nullopt;
  }
  int hour = 0, minute = 0, second = 0;
  const auto beforeTime = r.Mark();
  if (!r.Literal("T")) r.Spaces();
  const auto h = r.Number(2);
  if (h && r.Literal(":")) {
    const auto m = r.Number(2);
    if (m) {
      hour = *h;
      minute = *m;
      const auto beforeSeconds = r.Mark();
      if (r.Literal(":")) {
        if (const auto s = r.Number(2)) {
          second = *s;
        } else {
          r.Reset(beforeSeconds);
        }
      }
    } else {
      r.Reset(beforeTime);
    }
  } else {
    r.Reset(beforeTime);
  }
  return MakeDateTime(*year, *month, *day, hour, minute, second);
}

}  // namespace korvane
