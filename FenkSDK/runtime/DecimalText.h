#pragma once

#include <string>

namespace fenk {

// Decimal text that never follows the process locale: a point, no grouping, a minus sign for negatives.

// `decimals` digits after the point, rounded as printf's "%.Nf" rounds (to nearest, ties to even, on the
// double's exact value); "-0" for a negative value that rounds to zero. "nan" and "inf" as printf writes them.
std::string fixedDecimals(double value, int decimals);

// The shortest text that reads back to the same double, in plain notation where that is shortest, with ".0"
// after a whole number (40.0).
std::string shortestDecimal(double value);

}  // namespace fenk
