#pragma once
// The hourly rate of a flow. A funding body's rate history gives it; a zero rate falls back
// to the association's own rate of kind "2", then to the rate of the funding body's activity.
// A flow without funding body ("000") is billed at the association's service rate: its rate
// history of kind "1", then the service activity's. Each lookup reads the records it needs
// into their slots, and leaves `hourlyRate` as far as it got when a statement fails.

#include <string>

#include "billing/DataFiles.h"

namespace tessaran::billing {

// The rate of a flow with a funding body, for the billed period `linePeriod`, in two steps:
// the funding body's own rate for the period (it depends on nothing else), then, when that
// is zero, where it falls back to.
double fundingBodyRate(const db::DynamicArray& fundingBody, const std::string& linePeriod);
void lookUpRateBehindFundingBody(DataFiles& files, const db::DynamicArray& fundingBody, const std::string& linePeriod,
                                 double& hourlyRate);

// Loads the service activity (kind "P", the first in key order) into the activity slot
// (Cherche_Taux); throws the not-found error when there is none.
void findServiceActivity(DataFiles& files);

// Position of the first entry of a rate history (dates in attribute `dates`) in force for
// `period`: dated at or before it and, when `kinds` is given, of kind `kind`. 0 when none.
int firstRateInForce(const db::DynamicArray& record, int dates, const std::string& period, int kinds = 0,
                     const char* kind = "");

// Day number of the last day of the month of `period` ("yyyymm").
double lastDayOfPeriod(const std::string& period);

}  // namespace tessaran::billing
