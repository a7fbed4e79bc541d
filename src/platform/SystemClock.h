#pragma once
#include "Clock.h"

namespace tessaran::platform {

class SystemClock : public Clock {
public:
    CalendarDate today() const override;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(CalendarDate date) : date_(date) {}
    CalendarDate today() const override { return date_; }

private:
    CalendarDate date_;
};

}  // namespace tessaran::platform
