#pragma once
// Today's date, as the documents print it; tests give a fixed one.

namespace tessaran::platform {

struct CalendarDate {
    int year = 1968;
    int month = 1;
    int day = 1;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarDate today() const = 0;
};

}  // namespace tessaran::platform
