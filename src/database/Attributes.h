#pragma once
// The attribute numbers of the application's ten files, named per file. Amounts, hours and
// rates are whole hundredths; periods are "yyyymm"; stored dates are day numbers.

namespace tessaran::db::attr {

// Name-and-address records: FEDEASSOC (the associations) and ASSOCIATION "001" (the issuer).
namespace address {
inline constexpr int kName = 1;
inline constexpr int kFirstPart = 3;  // address parts 3 to 6, printed joined on one line
inline constexpr int kLastPart = 6;
inline constexpr int kComplement = 7;
inline constexpr int kPostcode = 8;
inline constexpr int kTown = 9;
}  // namespace address

// FEDEASSOC: an association of the federation, keyed by its code.
namespace association {
inline constexpr int kName = address::kName;
inline constexpr int kSectors = 41;    // one value per sector
inline constexpr int kRateDates = 49;  // rate history, parallel values
inline constexpr int kRateKinds = 50;  // "1" or "2"
inline constexpr int kRates = 51;
}  // namespace association

// FLUXCOMPTABLES: an accounting flow.
namespace flow {
inline constexpr int kPeriod = 1;  // period of the funding-body amount; empty when beneficiary only
inline constexpr int kFundingBody = 4;
inline constexpr int kHours = 6;   // empty: no fee is charged on the flow
inline constexpr int kFundedAmount = 7;
inline constexpr int kBeneficiaryAmount = 17;
inline constexpr int kInvoiceNumber = 20;
inline constexpr int kLineLabel = 21;
inline constexpr int kFee = 22;
inline constexpr int kCustomerAccount = 23;  // accounting parameters copied from FLUXPARAM
inline constexpr int kFeeAccount = 24;
inline constexpr int kJournal = 25;
inline constexpr int kRevenueAccount = 26;
inline constexpr int kItemLabel = 27;        // complementary flow: label and amount
inline constexpr int kItemAmount = 28;
inline constexpr int kFirstPairDebit = 29;   // complementary flow: two pairs of values by side
inline constexpr int kFirstPairCredit = 30;
inline constexpr int kSecondPairDebit = 31;
inline constexpr int kSecondPairCredit = 32;
inline constexpr int kFeeHours = 33;         // what the fee was charged on
inline constexpr int kFeeAmount = 34;
inline constexpr int kFeeScaleValue = 35;
inline constexpr int kBeneficiaryPeriod = 36;
inline constexpr int kBeneficiaryOnlyInvoiced = 37;  // "1" once a flow without attribute 1 is invoiced
}  // namespace flow

// ORGPRISECHARGE: a funding body.
namespace funding_body {
inline constexpr int kName = 1;
inline constexpr int kAbbreviation = 2;
inline constexpr int kType = 18;       // "P" hours counted, "C" no fee recorded
inline constexpr int kRateDates = 25;  // most recent first
inline constexpr int kRates = 26;
inline constexpr int kActivity = 47;
}  // namespace funding_body

// ACTIVITES: an activity.
namespace activity {
inline constexpr int kKind = 12;  // "P": the service activity
inline constexpr int kRates = 14;
inline constexpr int kRateDates = 15;
inline constexpr int kRateKinds = 20;
}  // namespace activity

// BAREMEFEDEASSO: the fee scale of an association, keyed by its code followed by "P".
namespace fee_scale {
inline constexpr int kKind = 1;   // "0" per hour, anything else a percentage
inline constexpr int kValue = 2;
inline constexpr int kItemLabels = 3;    // complementary items, parallel values
inline constexpr int kItemAmounts = 4;   // may be negative
inline constexpr int kItemFirstValues = 5;
inline constexpr int kItemFirstSides = 6;   // "D" or "C"
inline constexpr int kEntryBodies = 7;      // entries per funding body, parallel values
inline constexpr int kEntryKinds = 8;
inline constexpr int kEntryValues = 9;
inline constexpr int kItemSecondValues = 10;
inline constexpr int kItemSecondSides = 11;
}  // namespace fee_scale

// FLUXPARAM: the accounting parameters of an association.
namespace parameters {
inline constexpr int kRevenueAccount = 6;    // also the second pair's "C" value of a complementary flow
inline constexpr int kSecondPairDebit = 7;   // a complementary flow's second pair, side "D"
inline constexpr int kJournal = 8;
inline constexpr int kFirstPairCredit = 12;  // a complementary flow's first pair, side "C"
inline constexpr int kCustomerAccount = 14;  // also the first pair's "D" value
inline constexpr int kFeeAccount = 15;
}  // namespace parameters

// NUMEROFACT "001": the invoice counter.
namespace counter {
inline constexpr int kLastInvoiceNumber = 10;
}

// SECTEUR: a sector.
namespace sector {
inline constexpr int kName = 1;
}

// PERIODESPAIE "1": the current pay period.
namespace pay_period {
inline constexpr int kCurrent = 1;
}

}  // namespace tessaran::db::attr
