#pragma once
#include <string>

namespace pellucor::platform {

struct DateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, msec = 0;

    // Days since 1899-12-30 with the time as fraction, the usual desktop
    // date-time value; differences of two values give durations in days.
    double ToSerial() const;
    static DateTime FromSerial(double serial);
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() = 0;
    // Seconds from an arbitrary start that never goes back (for intervals);
    // the default reads the system's steady clock.
    virtual double MonotonicSeconds();
};

// "mm/dd/yyyy" with a decimal point, "yyyy.mm.dd" with a decimal comma.
std::string FormatDate(const DateTime& t, bool periodDecimal);
// "hh:mm:ss"
std::string FormatTime(const DateTime& t);
// "hh:mm:ss:zzz"
std::string FormatTimeMs(const DateTime& t);

}  // namespace pellucor::platform
