#include "SpeedLaw.h"

#include <cmath>

namespace tavik {

SpeedLaw FitSpeedLaw(const std::vector<double>& speeds, const std::vector<double>& amounts) {
    const auto n = static_cast<double>(speeds.size());
    double Sx = 0;
    double Sy = 0;
    double Sxy = 0;
    double Sxx = 0;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        const double x = std::log(speeds[i]);
        const double y = std::log(amounts[i]);
        Sx += x;
        Sy += y;
        Sxy += x * y;
        Sxx += x * x;
    }
    SpeedLaw law;
    law.SpeedExponent = (n * Sxy - Sx * Sy) / (n * Sxx - Sx * Sx);
    law.SpeedCoefficient = std::exp((Sy - law.SpeedExponent * Sx) / n);
    return law;
}

bool isPivotExponent(double exponent) {
    return -1.0 - kSpeedExponentTolerance <= exponent && exponent <= -1.0 + kSpeedExponentTolerance;
}

bool isPivotLaw(const SpeedLaw& law) {
    return std::isfinite(law.SpeedCoefficient) && law.SpeedCoefficient > 0.0 &&
           isPivotExponent(law.SpeedExponent);
}

} // namespace tavik
