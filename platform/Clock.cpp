#include "platform/Clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace pellucor::platform {
namespace {

// Days from the civil date to 1970-01-01 (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long kEpochOffset = 25569;  // 1899-12-30 .. 1970-01-01 in days

}  // namespace

double DateTime::ToSerial() const {
    const long days = DaysFromCivil(year, month, day) + kEpochOffset;
    const double ms = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec;
    return static_cast<double>(days) + ms / 86400000.0;
}

DateTime DateTime::FromSerial(double serial) {
    DateTime t;
    double whole = std::floor(serial);
    long long ms = std::llround((serial - whole) * 86400000.0);
    if (ms >= 86400000LL) {
        ms -= 86400000LL;
        whole += 1.0;
    }
    CivilFromDays(static_cast<long>(whole) - kEpochOffset, t.year, t.month, t.day);
    t.msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<int>(ms % 60);
    ms /= 60;
    t.minute = static_cast<int>(ms % 60);
    t.hour = static_cast<int>(ms / 60);
    return t;
}

std::string FormatDate(const DateTime& t, bool periodDecimal) {
    char buf[32];
    if (periodDecimal)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.month, t.day, t.year);
    else
        std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", t.year, t.month, t.day);
    return buf;
}

std::string FormatTime(const DateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

std::string FormatTimeMs(const DateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d", t.hour, t.minute, t.second, t.msec);
    return buf;
}

double Clock::MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace pellucor::platform
