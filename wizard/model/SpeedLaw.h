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

} // namespace tavik
