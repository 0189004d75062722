#include "Schedule.h"

#include "state/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace tavik {

namespace {

constexpr const char* kCrLf = "\r\n";

// "for Day = s to e step k": the bounds are rounded once; no pass when s > e.
template <typename Body>
void forDays(double first, double last, int step, Body body) {
    const int s = toInt16(first);
    const int e = toInt16(last);
    for (int day = s; day <= e; day += step) {
        body(static_cast<std::int16_t>(day));
    }
}

double notNegative(double amount) {
    return amount < 0.0 ? 0.0 : amount;
}

// Appends digits without building a string first: the report's table has a line for every
// irrigation day and is rebuilt at every move of the cycle slider.
void appendInteger(std::string& text, long long value) {
    std::array<char, 24> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    text.append(digits.data(), end);
}

// The "###" picture of a value (empty when it rounds to 0).
void appendPicture(std::string& text, double value) {
    const double rounded = std::round(value);
    if (std::fabs(rounded) < 1e18) {
        if (rounded != 0.0) {
            appendInteger(text, static_cast<long long>(rounded));
        }
    } else {
        text += hashPicture(value);
    }
}

// A "##" text rendered in the short form: "22" becomes " 22"; an empty text stands for 0.
// Built on the picture's digits, so that a speed of any size keeps them all.
std::string shortFormOfPicture(double value) {
    const std::string picture = hashPicture(value);
    if (picture.empty()) {
        return shortForm(0);
    }
    return picture.front() == '-' ? picture : " " + picture;
}

} // namespace

std::string amountText(double amount) {
    if (amount == 0.0) {
        return "0";
    }
    if (amount > 0.0 && amount < 5.0) {
        return "~0";
    }
    return hashPicture(amount);
}

std::string speedText(double amount, double speed) {
    if (amount == 0.0) {
        return "0";
    }
    if (speed > 100.0) {
        return "B/C*";
    }
    return hashPicture(speed);
}

std::string recommendationText(double amount, const IrrigationDay& day, double speed) {
    if (day.passes == 2) {
        return "2*" + shortFormOfPicture(*day.passSpeed);
    }
    if (day.passes == 3) {
        return "3*" + shortFormOfPicture(*day.passSpeed);
    }
    return speedText(amount, speed);
}

const ScheduleRun& ScheduleEngine::ComputeSchedule(const ScheduleInputs& in) {
    const CropTable& crops = *in.crops;
    const auto C = [&](int column) {
        return crops.number(in.CropRow, column);
    };
    const double C2 = C(CropColumn::Stage1EndFactor);
    const double C3 = C(CropColumn::SeasonEndFactor);
    const double C4 = C(CropColumn::PeakStartDay);
    const double C5 = C(CropColumn::PeakEndDay);
    const double C6 = C(CropColumn::DemandDivisor);
    const double C7 = C(CropColumn::WaterUseSlope);
    const double C8 = C(CropColumn::WaterUseIntercept);
    const double C12 = C(CropColumn::SeasonEndDay);
    const double C36 = C(CropColumn::Stage1EndDay);
    cWaterDemand& wd = waterDemand_;

    // 1. Seasonal water use and the peak daily demand.
    const double W = (static_cast<double>(in.TargetYield) + C8) / C7;
    const double Q = W / C6;
    cropRowName_ = crops.text(in.CropRow, CropColumn::Name) + " (crop row " +
                   std::to_string(in.CropRow) + " of the workbook)";
    seasonalWaterUse_ = W;
    storedInSoil_ = 0;
    for (const float change : {in.StorageChangeEarly, in.StorageChangePeak, in.StorageChangeLate}) {
        storedInSoil_ += std::max(0.0, static_cast<double>(change));
    }

    // 2.
    wd.setCount(0);

    // 3, 5. One more day of the demand curve.
    const auto addDay = [&wd](std::int16_t day, double demand) {
        wd.setCount(static_cast<std::int16_t>(wd.Count() + 1));
        wd.setDailyDemand(day, demand);
        wd.setCumulativeDemand(day, day == 1 ? wd.DailyDemand(day)
                                             : wd.DailyDemand(day) + wd.CumulativeDemand(day - 1));
    };
    const auto redistribute = [&wd](std::int16_t day, double demand) {
        wd.setDailyDemand(day, demand);
        wd.setCumulativeDemand(day, day == 1 ? wd.DailyDemand(day)
                                             : wd.DailyDemand(day) + wd.CumulativeDemand(day - 1));
    };

    // 3. Stage 1: a straight rise from 0 to Q × C2; stage 2: on to Q.
    forDays(1, C36, 1, [&](std::int16_t day) { addDay(day, Q * C2 / C36 * day); });
    forDays(C36 + 1, C4, 1,
            [&](std::int16_t day) { addDay(day, (C2 + (day - C36) * (1 - C2) / (C4 - C36)) * Q); });

    // 4. The demand of days 1..C4 (and the planned storage change) spread evenly from day 10.
    const double P = wd.CumulativeDemand(toInt16(std::floor(C4)));
    forDays(10, C4, 1, [&](std::int16_t day) {
        redistribute(day, (static_cast<double>(in.StorageChangeEarly) + P) / C4);
    });

    // 5. The peak, then stage 4: a straight fall from Q to Q × C3.
    forDays(C4 + 1, C5, 1, [&](std::int16_t day) {
        addDay(day, Q + static_cast<double>(in.StorageChangePeak) / (C5 - (C4 + 1)));
    });
    forDays(C5 + 1, C12, 1,
            [&](std::int16_t day) { addDay(day, Q * (1 - (1 - C3) * (day - C5) / (C12 - C5))); });

    // 6. The late season's demand (and its storage change) spread evenly.
    const auto L = static_cast<float>(wd.CumulativeDemand(toInt16(std::floor(C12))) -
                                      wd.CumulativeDemand(toInt16(std::floor(C5))));
    const auto R =
        static_cast<float>(static_cast<double>(in.StorageChangeLate) + static_cast<double>(L));
    forDays(C5 + 1, C12, 1,
            [&](std::int16_t day) { redistribute(day, static_cast<double>(R) / (C12 - C5)); });

    // 7.
    cycle_ = in.cycle;
    const int cycle = cycle_;

    // 8. Irrigation amounts: the cycle times a reference day's demand.
    int lastApplicationDay = 0; // stays 0 when the early season ends before day 10
    forDays(10, C4, cycle, [&](std::int16_t day) {
        wd.setApplicationRate(day, notNegative(cycle * wd.DailyDemand(11)));
        lastApplicationDay = day;
    });
    const double peakDemand = wd.DailyDemand(toInt16(C5 - 1));
    forDays(lastApplicationDay, C5, 1, [&](std::int16_t day) {
        wd.setApplicationRate(day, notNegative(cycle * peakDemand));
        lastApplicationDay = day;
    });
    const double lateDemand = wd.DailyDemand(toInt16(C5 + 1));
    forDays(lastApplicationDay, C12, 1,
            [&](std::int16_t day) { wd.setApplicationRate(day, notNegative(cycle * lateDemand)); });

    // The last run's buffers are reused.
    ScheduleRun& run = run_;
    run.PeakRate = 0;
    run.BeyondCapacity = false;
    run.irrigations.clear();

    // 9. The peak application rate; the first irrigation day is not part of the search.
    forDays(cycle + 10, wd.Count(), cycle, [&](std::int16_t day) {
        const auto rate = static_cast<float>(wd.ApplicationRate(day));
        if (rate > run.PeakRate) {
            run.PeakRate = rate;
        }
    });

    // 10. Report heading.
    std::string& text = run.report.text;
    text.clear();
    text.reserve(1024 + 96 * static_cast<std::size_t>(wd.Count() / cycle + 1));
    text += "\tTAVIK+ Scheduling Result ";
    text += kCrLf;
    text += kCrLf;
    text += "Type of crop: " + crops.text(in.CropRow, CropColumn::Name) + kCrLf;
    text += "Target yield: " + plainText(in.TargetYield) + "Kg/ha" + kCrLf;
    text += "Irrigation strategy (on growth stages): " + in.nominalClasses[0] + "-->" +
            in.nominalClasses[1] + "-->" + in.nominalClasses[2] + "-->" + in.nominalClasses[3] +
            kCrLf;
    text += "PAWC: " + wholePartText(static_cast<double>(in.ProfilePAWC)) + "mm" + kCrLf;
    text += "Irrigation cycle: " + std::to_string(cycle) + "days" + kCrLf;
    text +=
        "Peak application rate: " + wholePartText(static_cast<double>(run.PeakRate)) + "mm" + kCrLf;
    if (in.sprinklerPackage) {
        text += "       DAP (days)\tIrr. Application (mm)     Running speed (%)     Recommended "
                "Speed     Cumulative (mm)";
    } else {
        text += "       DAP (days)\tIrr. Application (mm)     Cumulative (mm)";
    }
    text += kCrLf;
    text += kCrLf;

    // 11. The irrigation days.
    cumulativeApplication_.assign(static_cast<std::size_t>(std::max<int>(wd.Count(), 0)) + 1, 0.0);
    const double a = in.SpeedCoefficient;
    const double b = in.SpeedExponent;
    run.irrigations.reserve(static_cast<std::size_t>(wd.Count() / cycle + 1));
    forDays(10, wd.Count(), cycle, [&](std::int16_t day) {
        IrrigationDay irrigation;
        irrigation.day = day;
        const double A = wd.ApplicationRate(day);
        irrigation.amount = A;
        cumulativeApplication_.at(static_cast<std::size_t>(day)) =
            A + cumulativeApplication_.at(static_cast<std::size_t>(day - cycle));
        irrigation.cumulative = cumulativeApplication_[static_cast<std::size_t>(day)];
        double V = 0;
        if (A != 0.0) {
            V = a * std::pow(A, b);
            irrigation.speed = V;
            if (V > 100.0) {
                irrigation.beyondCapacity = true;
                run.BeyondCapacity = true;
            }
        }
        if (in.sprinklerPackage) {
            if (36.0 <= A && A <= 70.0) {
                irrigation.passes = 2;
                irrigation.passSpeed = static_cast<float>(a * std::pow(A / 2, b));
            } else if (A > 70.0) {
                irrigation.passes = 3;
                irrigation.passSpeed = static_cast<float>(a * std::pow(A / 3, b));
            } else {
                irrigation.passes = 1;
                irrigation.passSpeed = irrigation.speed;
            }
        }
        text += "\t ";
        appendInteger(text, day); // days are positive: the short form's blank, then the digits
        text += "\t\t";
        if (A >= 5.0) {
            appendPicture(text, A);
        } else {
            text += amountText(A);
        }
        text += "\t\t       ";
        if (in.sprinklerPackage) {
            text += speedText(A, V);
            text += "\t\t\t";
            text += recommendationText(A, irrigation, V);
            text += "\t\t\t";
        }
        appendPicture(text, irrigation.cumulative);
        text += kCrLf;
        run.irrigations.push_back(irrigation);
    });

    // 12. Footer, time stamp and the title's span.
    if (run.BeyondCapacity) {
        text += std::string(kCrLf) + kCrLf + "* = Beyond capacity of the sytem";
    }
    text += std::string(kCrLf) + kCrLf + in.date + " (" + in.time + ")";
    run.report.titleStart = 1;
    // Through the end of the title's line: the position of the first CR (from 1) minus 1.
    run.report.titleLength = static_cast<int>(text.find('\r'));
    return run;
}

ScheduleChart ScheduleEngine::DrawChart(bool individual) const {
    ScheduleChart chart;
    const int n = waterDemand_.Count();
    const int c = cycle_;
    if (c <= 0 || n < 0) {
        return chart;
    }
    const int m = n / c + 1;
    chart.values.assign(static_cast<std::size_t>(m), 0.0F);
    int d = 10;
    for (int k = 1; k <= n / c; ++k) {
        if (d > n) {
            break;
        }
        const double value = individual ? waterDemand_.ApplicationRate(static_cast<std::int16_t>(d))
                                        : cumulativeApplication_.at(static_cast<std::size_t>(d));
        chart.values[static_cast<std::size_t>(k - 1)] = static_cast<float>(value);
        d += c;
    }
    for (int k = 1; k <= m; ++k) {
        chart.labels.push_back(10 + (k - 1) * c);
        chart.valueTexts.push_back(sevenDigitText(chart.values[static_cast<std::size_t>(k - 1)]));
    }
    return chart;
}

std::optional<std::string> ScheduleEngine::nonFiniteFigure() const {
    const auto finite = [](const std::vector<double>& values) {
        return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    };
    if (!finite(waterDemand_.dailyDemands()) || !finite(waterDemand_.cumulativeDemands())) {
        return "the daily water demand";
    }
    if (!std::isfinite(run_.PeakRate)) {
        return "the peak application rate";
    }
    for (const IrrigationDay& day : run_.irrigations) {
        if (!std::isfinite(day.amount) || !std::isfinite(day.cumulative) ||
            !std::isfinite(day.speed.value_or(0)) || !std::isfinite(day.passSpeed.value_or(0))) {
            return "the irrigation of day " + std::to_string(day.day);
        }
    }
    return std::nullopt;
}

std::optional<std::string> ScheduleEngine::implausibleFigure() const {
    double seasonTotal = 0;
    for (const IrrigationDay& day : run_.irrigations) {
        seasonTotal += day.amount;
    }
    const double allowed = kPlausibleSeasonFactor * (seasonalWaterUse_ + storedInSoil_);
    if (!(seasonTotal > allowed)) {
        return std::nullopt;
    }
    return cropRowName_ + " would be irrigated " + oneDecimalText(seasonTotal) +
           " mm in the season, more than " + shortestText(kPlausibleSeasonFactor) + " times the " +
           oneDecimalText(seasonalWaterUse_) + " mm it uses in the season plus the " +
           oneDecimalText(storedInSoil_) +
           " mm the plan stores in the soil; check the row's demand divisor (column 6): the "
           "row's daily demands should add up to its seasonal water use";
}

} // namespace tavik
