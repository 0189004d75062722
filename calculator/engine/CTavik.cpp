#include "CTavik.h"

#include <algorithm>

namespace tavikcalc {

const std::array<std::string_view, kCropCount>& cropListEntries() {
    static const std::array<std::string_view, kCropCount> entries = {
        "Wheat: Growing season 150 days",      "Wheat: Growing season 170 days",
        "Wheat: Growing season 180 days",      "Maize: Growing season 150 days",
        "Groundnuts: Growing season 160 days", "Cotton: Growing season 180 days",
        "Soya Beans: Growing season 140 days", "Potatoes: Growing season 120 days",
        "Potatoes: Growing season 140 days",   "Peas: Growing season 140 days",
    };
    return entries;
}

// clang-format off
const std::array<CropRecord, kCropCount>& cropRows() {
    // name, c0..c3, s1..s4, p1, yieldSlope, yieldIntercept, curveSum, p2, guidelineYield,
    // seasonLength, p3..p9, {sand, sandy loam, clay} × {base, yield factor, depth factor},
    // maxYield, referenceDepth, defaultLag, rampDays
    static const std::array<CropRecord, kCropCount> rows = {{
        {"Wheat 150", {0.0649923, -0.0021189, 0.000292, -1.812e-6},
         {0.0350129, 0.003925191, 0.000151166, -1.045e-6}, 0.03, 11.38, 340, 85, 0.59, 6000, 150,
         {5.33, 17.68, 106, 1.1e-6, 2400, 0.75, 0.58},
         {{{100, 0.012, 0.113}, {120, 0.01, 0.104}, {130, 0.008, 0.107}}}, 10000, 1800, 30, 30},
        {"Wheat 170", {0.0064327, -0.0007275, 0.0001985, -1.035e-6},
         {0.071974026, 0.009283212, 0.000041558, -4.19e-7}, 0.023, 11.38, 340, 100, 0.59, 6000, 170,
         {9.86, 15.29, 119, 1.1e-6, 2400, 0.7, 0.58},
         {{{100, 0.012, 0.113}, {120, 0.01, 0.104}, {130, 0.008, 0.107}}}, 10000, 1800, 40, 30},
        {"Wheat 180", {-0.0069241, 0.0061976, 0.0000293, -1.87e-7},
         {0.071974026, 0.009283212, 0.000041558, -4.19e-7}, 0.023, 11.38, 340, 108, 0.59, 6000, 180,
         {0.86, 15.29, 119, 1.1e-6, 2400, 0.7, 0.58},
         {{{100, 0.012, 0.113}, {120, 0.01, 0.104}, {130, 0.008, 0.107}}}, 10000, 1800, 45, 30},
        {"MAIZE", {0.0149226, 0.0223774, -0.0001304, 2.2e-8},
         {-0.042237843, 0.007522113, 0.000133692, -1.106e-6}, 0.053, 18.05, 3274, 102, 0.75, 10000,
         140, {0.4, 24, 87, 1.1e-6, 1800, 0.65, 0.34},
         {{{110, 0.007, 0.105}, {120, 0.0065, 0.093}, {140, 0.0048, 0.094}}}, 15000, 2000, 30, 30},
        {"GROUNDNUTS", {0.014923, 0.0223774, -0.0001303, 2.1e-8},
         {0.067959236, 0.010625559, 0.000096315, -1.039e-6}, 0.055, 7.95, 2231, 114, 0.75, 4000,
         160, {7.71, 22.05, 99, 2.3e-6, 1500, 0.75, 0.4},
         {{{170, 0.01, 0.109}, {175, 0.006, 0.105}, {180, 0.007, 0.104}}}, 5000, 2000, 30, 30},
        {"COTTON", {-0.0251948, 0.0152771, -0.0000257, -2.68e-7},
         {0.053691046, 0.009426667, 0.000013106, -2.69e-7}, 0.038, 7.25, 2176, 123, 0.71, 4000,
         180, {4.55, 14.78, 133, 1.8e-6, 1800, 0.8, 0.61},
         {{{60, 0.025, 0.115}, {85, 0.02, 0.104}, {110, 0.016, 0.098}}}, 6000, 2000, 30, 30},
        {"BEANS", {-0.1106209, 0.0231929, -0.000077, -6.23e-7},
         {-0.05948692, 0.011594568, 0.000086063, -9.88e-7}, 0.055, 8.4, 2100, 84, 0.75, 3000, 140,
         {2.59, 21, 85, 2.3e-6, 1600, 0.8, 0.45},
         {{{65, 0.023, 0.107}, {93, 0.017, 0.092}, {102, 0.016, 0.092}}}, 5000, 1800, 30, 30},
        {"POTATOES(WINTER)", {-0.006032372, 0.021056728, 0.000031451, -1.818e-6},
         {-0.000018949, -0.033410005, 0.001440266, -0.000010848}, 0.056, 138, 11252, 74, 0.67,
         50000, 120, {1.73, 24, 75, 6.5e-6, 950, 0.67, 0.75},
         {{{43, 0.002, 0.098}, {80, 0.001, 0.085}, {84, 0.001, 0.08}}}, 65000, 1500, 30, 20},
        {"POTATOES(SUMMER)", {-0.00787436, -0.01949328, 0.00072611, -4.261e-6},
         {0.000389518, -0.032248193, 0.000932716, -4.803e-6}, 0.057, 171.3, 32719, 68, 0.5, 40000,
         140, {1.44, 16.5, 109, 6.5e-6, 950, 0.67, 0.75},
         {{{38, 0.002, 0.1}, {80, 0.0028, 0.085}, {83, 0.0009, 0.072}}}, 65000, 1500, 30, 40},
        {"PEAS", {0.0622689, -0.01788315, 0.0006481, -3.755e-6},
         {0.0002502, -0.0023356, 0.000241, -1.27e-6}, 0.05, 8, 400, 67, 0.51, 4000, 140,
         {2.75, 12.7, 120, 1.3e-6, 1850, 0.7, 0.45},
         {{{100, 0.001, 0.1}, {100, 0.001, 0.1}, {100, 0.001, 0.1}}}, 5500, 1500, 40, 30},
    }};
    return rows;
}
// clang-format on

bool CTavik::SetCrop(int index) {
    if (index < 0 || index >= kCropCount) {
        if (notifier_ != nullptr) {
            notifier_->message("Unable to initialize data");
        }
        return false;
    }
    record_ = cropRows()[static_cast<std::size_t>(index)];
    loaded_ = true;
    return true;
}

double CTavik::etOfDay(int d) const {
    const auto& c = record_.demandCurve;
    const double x = d;
    return (c[0] + c[1] * x + c[2] * (x * x) + c[3] * (x * x * x)) * seasonDemand /
           record_.curveSum;
}

// The capped curve for the current peakCap, peakStart and peakEnd. The fills run in this
// order and a later one overwrites an earlier one on the same day; each keeps the running
// total going from the day before it.
void CTavik::fillCapped() {
    const int season = static_cast<int>(record_.seasonLength);
    const auto fill = [this](int d, double amount) {
        const auto day = static_cast<std::size_t>(d);
        dailyCapped[day] = amount;
        cumCapped[day] = cumCapped[day - 1] + amount;
    };
    for (int d = 1; d <= record_.rampDays; ++d) {
        fill(d, dailyDemand[static_cast<std::size_t>(d)]);
    }
    for (int d = record_.rampDays; d <= peakStart; ++d) {
        fill(d, et(d));
    }
    for (int d = peakStart + 1; d <= peakEnd; ++d) {
        fill(d, peakCap);
    }
    for (int d = peakEnd + 1; d <= season; ++d) {
        fill(d, et(d));
    }
}

// An irrigation schedule that applies `profileWater` mm besides the demand before the peak,
// spread evenly from day 10 to the peak start; when that rate would pass the cap, the whole
// amount up to the peak end is spread evenly from day 10 instead. Returns the daily rate
// during the peak.
double CTavik::fillSchedule(DayCurve& daily, DayCurve& cumulative, double profileWater) {
    const int season = static_cast<int>(record_.seasonLength);
    const auto fill = [&daily, &cumulative](int d, double amount) {
        const auto day = static_cast<std::size_t>(d);
        daily[day] = amount;
        cumulative[day] = cumulative[day - 1] + amount;
    };
    for (std::size_t day = 1; day <= 9; ++day) {
        daily[day] = scratch[day];
    }
    for (std::size_t day = 0; day <= 9; ++day) {
        cumulative[day] = 0.0;
    }

    bool overflow = false;
    if (peakStart >= 10) {
        // The divisor counts one day fewer than days 10..peakStart; at peakStart = 10 the
        // rate is infinite and the overflow branch takes over.
        const double q = (preSum + profileWater) / (peakStart - 10);
        for (int d = 10; d <= peakStart; ++d) {
            daily[static_cast<std::size_t>(d)] = q;
            if (q > peakCap) {
                overflow = true;
                break;
            }
            fill(d, q);
        }
    }

    double rate = peakCap;
    if (overflow) {
        rate = (preSum + profileWater + (peakEnd - peakStart) * peakCap) / (peakEnd - 10);
        for (int d = 10; d <= peakEnd; ++d) {
            fill(d, rate);
        }
    } else {
        for (int d = peakStart + 1; d <= peakEnd; ++d) {
            fill(d, peakCap);
        }
    }
    for (int d = peakEnd + 1; d <= season; ++d) {
        fill(d, et(d));
    }
    return rate;
}

void CTavik::Calculate(double yieldTarget, double pawc, double& usableWater, double reserve) {
    if (!loaded_) {
        return;
    }
    for (DayCurve* curve :
         {&dailyDemand, &cumDemand, &dailyCapped, &cumCapped, &dailyPartial, &cumPartial, &dailyDry,
          &cumDry, &cycleDemand, &cycleCapped, &cyclePartial, &cycleDry, &scratch}) {
        curve->fill(0.0);
    }
    capUnreached = false;

    const int season = static_cast<int>(record_.seasonLength);
    const int rampDays = record_.rampDays;
    seasonDemand = (yieldTarget + record_.yieldIntercept) / record_.yieldSlope;
    for (int d = 0; d <= season; ++d) {
        et_[static_cast<std::size_t>(d)] = etOfDay(d);
    }

    // The demand rises linearly to the curve's value on the last ramp day, then follows it.
    rampEndDemand = et(rampDays);
    for (int d = 1; d <= rampDays; ++d) {
        dailyDemand[static_cast<std::size_t>(d)] = rampEndDemand / rampDays * d;
    }
    for (int d = rampDays + 1; d <= season; ++d) {
        dailyDemand[static_cast<std::size_t>(d)] = et(d);
    }
    for (std::size_t day = 1; day <= static_cast<std::size_t>(season); ++day) {
        cumDemand[day] = cumDemand[day - 1] + dailyDemand[day];
    }

    if (pawc == 0.0) {
        return;
    }
    // Rain storage held back: the reserve asked for, or half the profile when it is larger.
    const double held = reserve <= pawc ? reserve : 0.5 * pawc;
    usableWater = pawc - held;

    // The lowest cap on a 0.1 mm/day grid at which the profile's usable water carries the
    // demand above the cap. Past the season's largest daily demand the capped curve no longer
    // changes, so the search stops at the first cap above it, satisfied or not.
    const double largestDemand =
        *std::max_element(dailyDemand.begin() + 1, dailyDemand.begin() + season + 1);
    peakCap = et(rampDays + 1);
    for (;;) {
        peakCap = peakCap + 0.1;
        int d = 2;
        while (et(d) < peakCap) {
            ++d;
            if (d == season) {
                break;
            }
        }
        if (d == season) {
            peakStart = 0;
            peakEnd = 0;
        } else {
            peakStart = d;
            for (int e = d + 1;; ++e) {
                if (e == season) {
                    peakEnd = season - 1;
                    break;
                }
                if (et(e) <= peakCap) {
                    peakEnd = e;
                    break;
                }
            }
        }
        fillCapped();
        if (cumCapped[static_cast<std::size_t>(season)] >= seasonDemand - usableWater) {
            break;
        }
        if (!(peakCap <= largestDemand)) {
            capUnreached = true;
            break;
        }
    }

    // The demand before the peak: the ramp, then the curve up to the peak start.
    preSum = 0.0;
    for (int d = 1; d <= rampDays; ++d) {
        const auto day = static_cast<std::size_t>(d);
        scratch[day] = dailyDemand[day];
        preSum += scratch[day];
    }
    for (int d = rampDays + 1; d <= peakStart; ++d) {
        const auto day = static_cast<std::size_t>(d);
        scratch[day] = et(d);
        preSum += scratch[day];
    }

    fillSchedule(dailyPartial, cumPartial, 0.5 * usableWater);
    peakRate = fillSchedule(dailyDry, cumDry, usableWater);
}

} // namespace tavikcalc
