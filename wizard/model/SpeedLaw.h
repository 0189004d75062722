#pragma once

#include <vector>

namespace tavik {

// amount (mm) = SpeedCoefficient × speed (%) ^ SpeedExponent, fitted by least squares on
// the logarithms of a sprinkler package table. Because the shipped tables make amount ×
// speed constant, the same coefficients also give speed = a × amount ^ b.
struct SpeedLaw {
    double SpeedCoefficient = 0; // a
    double SpeedExponent = 0;    // b
};

// Fits the law through all rows (speeds in %, amounts in mm, equally long). Every speed and
// amount must be greater than 0 and the speeds must not all be equal; the caller checks.
SpeedLaw FitSpeedLaw(const std::vector<double>& speeds, const std::vector<double>& amounts);

// How far a package's fitted exponent may lie from -1.
//
// A pivot's flow does not depend on its speed: at s % of full speed it stays 100 / s times
// as long over every spot, so one pass applies an amount in inverse proportion to the
// speed and the exponent is -1. Nozzles, pressure regulators and an end gun change the
// amount at every speed alike (the coefficient), not the exponent. What moves the fitted
// exponent off -1 in a real table:
// - rounding: amounts to two decimals of a millimetre move it by less than 0.001 (the
//   shipped table by 0.0002); to hundredths of an inch by less than 0.01; a table in whole
//   millimetres starting from 1 mm at full speed, the coarsest worth typing, by 0.037;
// - losses that are the same on every pass (evaporation and drift off the wetted foliage,
//   the end tower's stops and starts): 0.5 mm a pass on a package of 5 mm at full speed
//   gives -1.033.
// At 0.05 the schedule's running speeds, which read the same coefficients as
// speed = a × amount ^ b, already stray from the table's own by up to a sixth at its ends
// (5 and 110 mm), and further beyond; a flat or rising table (exponent 0 or above) is far
// outside.
inline constexpr double kSpeedExponentTolerance = 0.05;

// Whether an exponent lies within the tolerance of -1, the ends included.
bool isPivotExponent(double exponent);

// Whether the law is a pivot's: a finite coefficient above 0 and a pivot's exponent.
bool isPivotLaw(const SpeedLaw& law);

} // namespace tavik
