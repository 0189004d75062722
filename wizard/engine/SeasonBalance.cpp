#include "SeasonBalance.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// The planned whole-profile water on a day: straight lines through the four stage totals.
// A day on the end shared by two stretches belongs to the earlier one; a stretch of no length
// (two stages on one day) holds its first total; past the last stage the last total holds.
double plannedWater(const SeasonPlan& plan, int d) {
    for (std::size_t k = 0; k + 1 < plan.stageDays.size(); ++k) {
        const int d0 = plan.stageDays[k];
        const int d1 = plan.stageDays[k + 1];
        if (d0 <= d && d <= d1) {
            const double T0 = plan.stageTotals[k];
            const double T1 = plan.stageTotals[k + 1];
            if (d1 == d0) {
                return T0;
            }
            return T0 + (T1 - T0) * static_cast<double>(d - d0) / static_cast<double>(d1 - d0);
        }
    }
    return d < plan.stageDays.front() ? plan.stageTotals.front() : plan.stageTotals.back();
}

// The soil water a reading describes: content × thickness summed from the top layer down.
double profileWater(const SeasonPlan& plan, const std::vector<double>& contents) {
    double water = 0;
    const std::size_t layers = std::min(contents.size(), plan.layerThickness.size());
    for (std::size_t i = 0; i < layers; ++i) {
        water += contents[i] * plan.layerThickness[i];
    }
    return water;
}

// The entries of a list day by day, the days asked for in increasing order.
template <typename Map>
class DayCursor {
public:
    explicit DayCursor(const Map& entries) : at_(entries.begin()), end_(entries.end()) {}
    const typename Map::mapped_type* on(int day) {
        while (at_ != end_ && at_->first < day) {
            ++at_;
        }
        return at_ != end_ && at_->first == day ? &at_->second : nullptr;
    }

private:
    typename Map::const_iterator at_, end_;
};

} // namespace

SeasonBalance balanceSeason(const SeasonPlan& plan, const SeasonDays& record, int todayDay) {
    SeasonBalance balance;
    balance.todayDay = todayDay;
    const int count = std::max(0, plan.count);
    const double U = plan.fieldCapacity;
    const double L = plan.lowerLimit;
    const EffectiveRainRule& rule = record.effectiveRain;

    // The plan's irrigation of every day; days the schedule irrigates are marked.
    std::vector<double> plannedOn(static_cast<std::size_t>(count) + 1, 0.0);
    std::vector<char> irrigationDay(static_cast<std::size_t>(count) + 1, 0);
    for (const IrrigationDay& irrigation : plan.irrigations) {
        if (irrigation.day >= 1 && irrigation.day <= count) {
            plannedOn[static_cast<std::size_t>(irrigation.day)] = irrigation.amount;
            irrigationDay[static_cast<std::size_t>(irrigation.day)] = 1;
        }
    }

    DayCursor rainOn(record.rain);
    DayCursor loggedOn(record.irrigations);
    DayCursor readingOn(record.readings);

    double S = 0;
    if (const auto* reading = readingOn.on(0)) {
        S = profileWater(plan, *reading) - plannedWater(plan, 0);
    }
    balance.startDeviation = S;

    balance.days.resize(static_cast<std::size_t>(count));
    for (int d = 1; d <= count; ++d) {
        SeasonDay& day = balance.days[static_cast<std::size_t>(d - 1)];
        day.day = d;
        const double P = plannedWater(plan, d);
        day.plannedWater = P;

        double E = 0;
        if (const double* rain = rainOn.on(d)) {
            day.rain = *rain;
            E = *rain >= rule.minimum ? *rain * rule.share / 100 : 0.0;
        }
        day.effectiveRain = E;

        const double Iplan = plannedOn[static_cast<std::size_t>(d)];
        day.planned = Iplan;
        const bool comingIrrigation = irrigationDay[static_cast<std::size_t>(d)] && d >= todayDay;
        if (comingIrrigation) {
            // What brings the soil back onto the plan by the end of the day.
            day.advised = std::max(0.0, Iplan - S - E);
        }
        if (const double* logged = loggedOn.on(d)) {
            day.irrigation = *logged;
            day.logged = true;
        } else if (comingIrrigation) {
            day.irrigation = *day.advised;
        }

        double x = S + E + day.irrigation - Iplan;
        const double room = std::max(0.0, U - P);
        day.drained = std::max(0.0, x - room);
        x -= day.drained;
        const double reserve = std::max(0.0, P - L);
        day.shortfall = std::max(0.0, -x - reserve);
        x += day.shortfall;
        S = x;
        // A reading tells the soil at the end of the day; the day's drainage and shortfall
        // stay those of the balance before it.
        if (const auto* reading = readingOn.on(d)) {
            day.reading = profileWater(plan, *reading);
            S = *day.reading - P;
        }

        day.deviation = S;
        day.soilWater = P + S;
        day.soilClass = plan.thresholds.classify(std::floor(day.soilWater)).value_or(std::string());
        day.plannedClass = plan.thresholds.classify(std::floor(P)).value_or(std::string());

        if (d <= todayDay) {
            SeasonTotals& totals = balance.totals;
            totals.rain += day.rain.value_or(0.0);
            totals.effectiveRain += E;
            totals.irrigation += day.logged ? day.irrigation : 0.0;
            totals.planned += Iplan;
            totals.drained += day.drained;
            totals.shortfall += day.shortfall;
            totals.stressDays += day.shortfall > 0 ? 1 : 0;
        }
        if (comingIrrigation && !balance.next) {
            IrrigationDay next;
            next.day = static_cast<std::int16_t>(d);
            next.amount = *day.advised;
            setSpeedAndPasses(next, plan.speedCoefficient, plan.speedExponent,
                              plan.sprinklerPackage);
            balance.next = next;
        }
    }
    return balance;
}

} // namespace tavik
