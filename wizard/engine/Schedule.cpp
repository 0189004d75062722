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

// The crop row's figures the demand curve is drawn from.
struct DemandCurveShape {
    double stage1EndFactor = 0; // stage 1 ends at this fraction of the peak demand
    double seasonEndFactor = 0; // the season ends at this fraction of the peak demand
    double peakStart = 0;       // day
    double peakEnd = 0;         // day
    double divisor = 0;         // the season's water use over the peak daily demand
    double slope = 0;           // kg/ha of yield per mm of water used
    double intercept = 0;       // kg/ha
    double seasonEnd = 0;       // day
    double stage1End = 0;       // day
};

DemandCurveShape demandCurveShape(const CropTable& crops, std::int16_t row) {
    const auto C = [&](int column) {
        return crops.number(row, column);
    };
    DemandCurveShape shape;
    shape.stage1EndFactor = C(CropColumn::Stage1EndFactor);
    shape.seasonEndFactor = C(CropColumn::SeasonEndFactor);
    shape.peakStart = C(CropColumn::PeakStartDay);
    shape.peakEnd = C(CropColumn::PeakEndDay);
    shape.divisor = C(CropColumn::DemandDivisor);
    shape.slope = C(CropColumn::WaterUseSlope);
    shape.intercept = C(CropColumn::WaterUseIntercept);
    shape.seasonEnd = C(CropColumn::SeasonEndDay);
    shape.stage1End = C(CropColumn::Stage1EndDay);
    return shape;
}

// Sets a day's demand and its running total; days are set in order from day 1.
void setDemand(cWaterDemand& wd, std::int16_t day, double demand) {
    wd.setDailyDemand(day, demand);
    wd.setCumulativeDemand(day, day == 1 ? wd.DailyDemand(day)
                                         : wd.DailyDemand(day) + wd.CumulativeDemand(day - 1));
}

// One more day of the demand curve.
void addDay(cWaterDemand& wd, std::int16_t day, double demand) {
    wd.setCount(static_cast<std::int16_t>(wd.Count() + 1));
    setDemand(wd, day, demand);
}

// The daily demand over the season for a peak daily demand of Q: a rise to the peak, the
// peak, a fall to the season's end, with the early and the late season's demand (and the
// planned storage changes) spread evenly over their days.
void buildDemandCurve(cWaterDemand& wd, const DemandCurveShape& shape, double Q,
                      const ScheduleInputs& in) {
    const double C2 = shape.stage1EndFactor;
    const double C3 = shape.seasonEndFactor;
    const double C4 = shape.peakStart;
    const double C5 = shape.peakEnd;
    const double C12 = shape.seasonEnd;
    const double C36 = shape.stage1End;
    wd.setCount(0);

    // Stage 1: a straight rise from 0 to Q × C2; stage 2: on to Q.
    forDays(1, C36, 1, [&](std::int16_t day) { addDay(wd, day, Q * C2 / C36 * day); });
    forDays(C36 + 1, C4, 1, [&](std::int16_t day) {
        addDay(wd, day, (C2 + (day - C36) * (1 - C2) / (C4 - C36)) * Q);
    });

    // The demand of days 1..C4 (and the planned storage change) spread evenly from the first
    // irrigation day.
    const double P = wd.CumulativeDemand(toInt16(std::floor(C4)));
    forDays(kFirstIrrigationDay, C4, 1, [&](std::int16_t day) {
        setDemand(wd, day, (static_cast<double>(in.StorageChangeEarly) + P) / C4);
    });

    // The peak, then stage 4: a straight fall from Q to Q × C3.
    forDays(C4 + 1, C5, 1, [&](std::int16_t day) {
        addDay(wd, day, Q + static_cast<double>(in.StorageChangePeak) / (C5 - (C4 + 1)));
    });
    forDays(C5 + 1, C12, 1, [&](std::int16_t day) {
        addDay(wd, day, Q * (1 - (1 - C3) * (day - C5) / (C12 - C5)));
    });

    // The late season's demand (and its storage change) spread evenly.
    const auto L = static_cast<float>(wd.CumulativeDemand(toInt16(std::floor(C12))) -
                                      wd.CumulativeDemand(toInt16(std::floor(C5))));
    const auto R =
        static_cast<float>(static_cast<double>(in.StorageChangeLate) + static_cast<double>(L));
    forDays(C5 + 1, C12, 1,
            [&](std::int16_t day) { setDemand(wd, day, static_cast<double>(R) / (C12 - C5)); });
}

// Irrigation amounts: the cycle times the demand of a reference day of each season part (the
// early season's reference day, the day before the peak ends, the day after it).
void setApplicationAmounts(cWaterDemand& wd, const DemandCurveShape& shape, int cycle) {
    int lastApplicationDay = 0; // stays 0 when the early season ends before the first irrigation
    forDays(kFirstIrrigationDay, shape.peakStart, cycle, [&](std::int16_t day) {
        wd.setApplicationRate(day, notNegative(cycle * wd.DailyDemand(kReferenceDay)));
        lastApplicationDay = day;
    });
    const double peakDemand = wd.DailyDemand(toInt16(shape.peakEnd - 1));
    forDays(lastApplicationDay, shape.peakEnd, 1, [&](std::int16_t day) {
        wd.setApplicationRate(day, notNegative(cycle * peakDemand));
        lastApplicationDay = day;
    });
    const double lateDemand = wd.DailyDemand(toInt16(shape.peakEnd + 1));
    forDays(lastApplicationDay, shape.seasonEnd, 1,
            [&](std::int16_t day) { wd.setApplicationRate(day, notNegative(cycle * lateDemand)); });
}

// The peak application rate; the first irrigation day is not part of the search.
float peakApplicationRate(const cWaterDemand& wd, int cycle) {
    float peak = 0;
    forDays(cycle + kFirstIrrigationDay, wd.Count(), cycle, [&](std::int16_t day) {
        const auto rate = static_cast<float>(wd.ApplicationRate(day));
        if (rate > peak) {
            peak = rate;
        }
    });
    return peak;
}

// One line of the report's table: the day, the amount, with the package the running and the
// recommended speed, and the running total.
void appendIrrigationLine(std::string& text, const IrrigationDay& irrigation,
                          bool sprinklerPackage) {
    const double A = irrigation.amount;
    text += "\t ";
    appendInteger(text, irrigation.day); // days are positive: the short form's blank, the digits
    text += "\t\t";
    if (A >= kSmallestShownAmount) {
        appendPicture(text, A);
    } else {
        text += amountText(A);
    }
    text += "\t\t       ";
    if (sprinklerPackage) {
        const double V = irrigation.speed.value_or(0.0);
        text += speedText(A, V);
        text += "\t\t\t";
        text += recommendationText(A, irrigation, V);
        text += "\t\t\t";
    }
    appendPicture(text, irrigation.cumulative);
    text += kCrLf;
}

// The irrigation days from the first on, every cycle days to the end of the demand curve: the
// amount, the running total, the speed for it and, with the sprinkler package, the passes.
void listIrrigations(ScheduleRun& run, std::vector<double>& cumulativeApplication,
                     const cWaterDemand& wd, int cycle, const ScheduleInputs& in) {
    cumulativeApplication.assign(static_cast<std::size_t>(std::max<int>(wd.Count(), 0)) + 1, 0.0);
    const double a = in.SpeedCoefficient;
    const double b = in.SpeedExponent;
    run.irrigations.reserve(static_cast<std::size_t>(wd.Count() / cycle + 1));
    forDays(kFirstIrrigationDay, wd.Count(), cycle, [&](std::int16_t day) {
        IrrigationDay irrigation;
        irrigation.day = day;
        const double A = wd.ApplicationRate(day);
        irrigation.amount = A;
        cumulativeApplication.at(static_cast<std::size_t>(day)) =
            A + cumulativeApplication.at(static_cast<std::size_t>(day - cycle));
        irrigation.cumulative = cumulativeApplication[static_cast<std::size_t>(day)];
        setSpeedAndPasses(irrigation, a, b, in.sprinklerPackage);
        if (irrigation.beyondCapacity) {
            run.BeyondCapacity = true;
        }
        run.irrigations.push_back(irrigation);
    });
}

// The report: the heading with the crop, the strategy and the peak rate, a line for every
// irrigation day, the capacity footnote when a speed is beyond it, and the time stamp.
void writeReport(ScheduleRun& run, const ScheduleInputs& in, const std::string& cropName, int cycle,
                 int curveDays) {
    std::string& text = run.report.text;
    text.clear();
    text.reserve(1024 + 96 * static_cast<std::size_t>(curveDays / cycle + 1));
    text += "\tTAVIK+ Scheduling Result ";
    text += kCrLf;
    text += kCrLf;
    text += "Type of crop: " + cropName + kCrLf;
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

    for (const IrrigationDay& irrigation : run.irrigations) {
        appendIrrigationLine(text, irrigation, in.sprinklerPackage);
    }

    if (run.BeyondCapacity) {
        text += std::string(kCrLf) + kCrLf + "* = Beyond capacity of the sytem";
    }
    text += std::string(kCrLf) + kCrLf + in.date + " (" + in.time + ")";
    run.report.titleStart = 1;
    // Through the end of the title's line: the position of the first CR (from 1) minus 1.
    run.report.titleLength = static_cast<int>(text.find('\r'));
}

} // namespace

void setSpeedAndPasses(IrrigationDay& irrigation, double a, double b, bool sprinklerPackage) {
    irrigation.speed.reset();
    irrigation.beyondCapacity = false;
    irrigation.passes.reset();
    irrigation.passSpeed.reset();
    const double A = irrigation.amount;
    if (A != 0.0) {
        const double V = a * std::pow(A, b);
        irrigation.speed = V;
        if (V > kFullSpeed) {
            irrigation.beyondCapacity = true;
        }
    }
    if (!sprinklerPackage) {
        return;
    }
    // The package splits a large amount into two or three passes at the speed for each pass's
    // share (as a 32-bit figure); a smaller one goes in one pass at the running speed.
    if (kTwoPassAmount <= A && A <= kThreePassAmount) {
        irrigation.passes = 2;
        irrigation.passSpeed = static_cast<float>(a * std::pow(A / 2, b));
    } else if (A > kThreePassAmount) {
        irrigation.passes = 3;
        irrigation.passSpeed = static_cast<float>(a * std::pow(A / 3, b));
    } else {
        irrigation.passes = 1;
        irrigation.passSpeed = irrigation.speed;
    }
}

std::string amountText(double amount) {
    if (amount == 0.0) {
        return "0";
    }
    if (amount > 0.0 && amount < kSmallestShownAmount) {
        return "~0";
    }
    return hashPicture(amount);
}

std::string speedText(double amount, double speed) {
    if (amount == 0.0) {
        return "0";
    }
    if (speed > kFullSpeed) {
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
    const DemandCurveShape shape = demandCurveShape(crops, in.CropRow);

    // The season's water use at the target yield and the peak daily demand.
    const double W = (static_cast<double>(in.TargetYield) + shape.intercept) / shape.slope;
    const double Q = W / shape.divisor;
    cropRowName_ = crops.text(in.CropRow, CropColumn::Name) + " (crop row " +
                   std::to_string(in.CropRow) + " of the workbook)";
    seasonalWaterUse_ = W;
    storedInSoil_ = 0;
    for (const float change : {in.StorageChangeEarly, in.StorageChangePeak, in.StorageChangeLate}) {
        storedInSoil_ += std::max(0.0, static_cast<double>(change));
    }

    buildDemandCurve(waterDemand_, shape, Q, in);
    cycle_ = in.cycle;
    setApplicationAmounts(waterDemand_, shape, cycle_);

    // The last run's buffers are reused.
    ScheduleRun& run = run_;
    run.PeakRate = peakApplicationRate(waterDemand_, cycle_);
    run.BeyondCapacity = false;
    run.irrigations.clear();
    listIrrigations(run, cumulativeApplication_, waterDemand_, cycle_, in);
    writeReport(run, in, crops.text(in.CropRow, CropColumn::Name), cycle_, waterDemand_.Count());
    return run;
}

ScheduleChart ScheduleEngine::chartBars(bool individual) const {
    ScheduleChart chart;
    const int n = waterDemand_.Count();
    const int c = cycle_;
    if (c <= 0 || n < 0) {
        return chart;
    }
    const int m = n / c + 1;
    chart.values.assign(static_cast<std::size_t>(m), 0.0F);
    int d = kFirstIrrigationDay;
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
        chart.labels.push_back(kFirstIrrigationDay + (k - 1) * c);
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
