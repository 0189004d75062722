// The season log's balance: a season worked by hand, the log changing nothing until something
// is recorded, an independent recomputation of every figure over random records, and the
// calendar whose events keep their identity across re-plans.

#include "TestSupport.h"
#include "engine/SeasonBalance.h"
#include "plan/Calendar.h"
#include "plan/ICalendar.h"
#include "plan/Json.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "plan/Season.h"
#include "plan/SeasonJson.h"
#include "state/CropTable.h"
#include "state/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace tavik {
namespace {

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};
const QString kPython = QStringLiteral("/usr/bin/python3");

// A 20-day season: 100 mm planned to day 10, down to 80 mm by day 15, then flat; field
// capacity 110 mm, lower limit 50 mm (classes: Very dry to 65, Dry to 80, Wet to 95); two
// layers of 300 and 200 mm; 20 mm planned on day 10, 25 mm on days 15 and 20; a package
// whose speed is 10 × amount ^ 0.5.
SeasonPlan handPlan() {
    SeasonPlan plan;
    plan.count = 20;
    plan.stageDays = {0, 10, 15, 20};
    plan.stageTotals = {100, 100, 80, 80};
    plan.fieldCapacity = 110;
    plan.lowerLimit = 50;
    plan.thresholds = ClassThresholds::between(50, 110);
    plan.layerThickness = {300, 200};
    for (const auto& [day, amount] : {std::pair{10, 20.0}, {15, 25.0}, {20, 25.0}}) {
        IrrigationDay irrigation;
        irrigation.day = static_cast<std::int16_t>(day);
        irrigation.amount = amount;
        plan.irrigations.push_back(irrigation);
    }
    plan.speedCoefficient = 10;
    plan.speedExponent = 0.5;
    plan.sprinklerPackage = true;
    return plan;
}

TEST(SeasonBalance, HandWorkedSeason) {
    SeasonDays record;
    record.effectiveRain = {80, 5}; // 80 % of a rain of at least 5 mm counts
    record.rain = {{2, 4}, {3, 30}, {12, 2}, {20, 40}};
    record.irrigations = {{7, 5}};
    record.readings = {{5, {0.2, 0.15}}, {8, {0.1, 0.05}}};
    const SeasonBalance b = balanceSeason(handPlan(), record, 12);
    ASSERT_EQ(b.days.size(), 20U);
    const auto day = [&b](int d) {
        return b.days[static_cast<std::size_t>(d - 1)];
    };

    // Day 2: 4 mm is below the 5 mm minimum and counts for nothing.
    EXPECT_EQ(day(2).rain, 4.0);
    EXPECT_EQ(day(2).effectiveRain, 0.0);
    EXPECT_EQ(day(2).deviation, 0.0);
    // Day 3: 30 mm × 80 % = 24 mm; the plan's 100 mm leaves 10 mm of room below field
    // capacity, so 14 mm drain and the soil holds 110 mm (S = +10, Very-Wet).
    EXPECT_EQ(day(3).effectiveRain, 24.0);
    EXPECT_EQ(day(3).drained, 14.0);
    EXPECT_EQ(day(3).deviation, 10.0);
    EXPECT_EQ(day(3).soilWater, 110.0);
    EXPECT_EQ(day(3).soilClass, "Very-Wet");
    // Day 5: a reading of 0.2 × 300 + 0.15 × 200 = 90 mm resets S to -10; the day's drainage
    // is the balance's before it (S = +10 sat exactly at capacity: none).
    EXPECT_EQ(day(5).reading, 90.0);
    EXPECT_EQ(day(5).deviation, -10.0);
    EXPECT_EQ(day(5).drained, 0.0);
    // Day 7: 5 mm logged on a day without a planned irrigation: S = -5.
    EXPECT_TRUE(day(7).logged);
    EXPECT_EQ(day(7).irrigation, 5.0);
    EXPECT_EQ(day(7).deviation, -5.0);
    // Day 8: a reading of 30 + 10 = 40 mm: S = -60. Day 9: the lower limit is 50 mm below the
    // plan's 100, so 10 mm of shortfall holds the soil at the lower limit (S = -50).
    EXPECT_EQ(day(8).deviation, -60.0);
    EXPECT_EQ(day(9).shortfall, 10.0);
    EXPECT_EQ(day(9).deviation, -50.0);
    // Day 10, before today, nothing logged: not irrigated. x = -50 - 20 = -70; 20 mm short.
    EXPECT_FALSE(day(10).logged);
    EXPECT_FALSE(day(10).advised);
    EXPECT_EQ(day(10).irrigation, 0.0);
    EXPECT_EQ(day(10).planned, 20.0);
    EXPECT_EQ(day(10).shortfall, 20.0);
    EXPECT_EQ(day(10).soilWater, 50.0);
    EXPECT_EQ(day(10).soilClass, "Very dry");
    EXPECT_EQ(day(10).plannedClass, "Very-Wet");
    // Days 11..14: the plan falls 4 mm a day (96, 92, 88, 84) and the soil stays at 50 mm.
    EXPECT_EQ(day(11).plannedWater, 96.0);
    EXPECT_EQ(day(14).plannedWater, 84.0);
    EXPECT_EQ(day(14).deviation, -34.0);
    EXPECT_EQ(day(12).shortfall, 4.0);
    // Day 15 (after today): the skipped irrigation is caught up: 25 + 34 = 59 mm, which
    // brings the soil back onto the plan's 80 mm (Dry).
    EXPECT_EQ(day(15).advised, 59.0);
    EXPECT_EQ(day(15).irrigation, 59.0);
    EXPECT_EQ(day(15).deviation, 0.0);
    EXPECT_EQ(day(15).soilClass, "Dry");
    // Day 20: 40 mm of rain give 32 mm, more than the 25 planned: skip; 7 mm stay (Wet).
    EXPECT_EQ(day(20).advised, 0.0);
    EXPECT_EQ(day(20).deviation, 7.0);
    EXPECT_EQ(day(20).soilClass, "Wet");

    // To today (day 12): rain 4 + 30 + 2, of it 24 effective; 5 mm logged against 20 planned;
    // 14 mm drained; shortfall 10 + 20 + 4 + 4 on days 9 to 12.
    EXPECT_EQ(b.totals.rain, 36.0);
    EXPECT_EQ(b.totals.effectiveRain, 24.0);
    EXPECT_EQ(b.totals.irrigation, 5.0);
    EXPECT_EQ(b.totals.planned, 20.0);
    EXPECT_EQ(b.totals.drained, 14.0);
    EXPECT_EQ(b.totals.shortfall, 38.0);
    EXPECT_EQ(b.totals.stressDays, 4);

    // The next irrigation: day 15, 59 mm, which the package splits into two passes.
    ASSERT_TRUE(b.next);
    EXPECT_EQ(b.next->day, 15);
    EXPECT_EQ(b.next->amount, 59.0);
    EXPECT_DOUBLE_EQ(*b.next->speed, 10 * std::sqrt(59.0));
    EXPECT_EQ(b.next->passes, 2);
    EXPECT_FLOAT_EQ(static_cast<float>(*b.next->passSpeed), 10 * std::sqrt(29.5F));

    // A reading on planting day sets the start: 0.3 × 300 + 0.1 × 200 = 110 mm, S(0) = +10.
    record.readings = {{0, {0.3, 0.1}}};
    const SeasonBalance started = balanceSeason(handPlan(), record, 1);
    EXPECT_EQ(started.startDeviation, 10.0);
    EXPECT_EQ(started.days[0].deviation, 10.0);
    // After the season there is nothing left to advise.
    EXPECT_FALSE(balanceSeason(handPlan(), record, 21).next);
}

// The log changes nothing while the season goes as planned: with no entry up to the first
// irrigation day, and on any day once every past irrigation is logged at its planned amount
// (a past irrigation day with nothing logged was not irrigated, and counts so).
TEST(SeasonBalance, ASeasonAsPlannedKeepsTheGoldenPlans) {
    for (const test::GoldenCase& c : test::goldenCases()) {
        SCOPED_TRACE(c.scenario.toStdString());
        const PlanResult plan = test::plannedScenario(c.scenario, kStamp);
        const SeasonPlan season = seasonPlanOf(plan);
        ASSERT_GT(season.count, 0);
        for (const int today :
             {-3, 0, 1, kFirstIrrigationDay, 11, 40, season.count, season.count + 5}) {
            SeasonDays asPlanned;
            for (const IrrigationDay& irrigation : plan.schedule.irrigations) {
                if (irrigation.day < today) {
                    asPlanned.irrigations[irrigation.day] = irrigation.amount;
                }
            }
            const SeasonBalance b = balanceSeason(season, asPlanned, today);
            ASSERT_EQ(b.days.size(), static_cast<std::size_t>(season.count));
            for (const SeasonDay& day : b.days) {
                if (day.advised) {
                    EXPECT_EQ(*day.advised, day.planned) << "day " << day.day;
                }
                EXPECT_EQ(day.soilWater, day.plannedWater) << "day " << day.day;
                EXPECT_EQ(day.drained + day.shortfall, 0.0) << "day " << day.day;
                EXPECT_EQ(day.soilClass, day.plannedClass) << "day " << day.day;
            }
            EXPECT_EQ(asPlanned.irrigations.empty(), today <= kFirstIrrigationDay);
            // The advice is the schedule's own line for that day, speed and passes alike.
            const auto scheduled =
                std::find_if(plan.schedule.irrigations.begin(), plan.schedule.irrigations.end(),
                             [today](const IrrigationDay& d) { return d.day >= today; });
            ASSERT_EQ(b.next.has_value(), scheduled != plan.schedule.irrigations.end());
            if (b.next) {
                EXPECT_EQ(b.next->day, scheduled->day);
                EXPECT_EQ(b.next->amount, scheduled->amount);
                EXPECT_EQ(b.next->speed, scheduled->speed);
                EXPECT_EQ(b.next->passes, scheduled->passes);
                EXPECT_EQ(b.next->passSpeed, scheduled->passSpeed);
            }
        }
    }
}

// A random record on a plan: rain on some days (some below the minimum, some heavy), logged
// irrigations on most planned days (some 0, some far more), a few on other days, readings
// (sometimes on planting day), a rule for effective rain, and a today anywhere from before
// planting to after the season. Seed 0 is the season as planned.
struct RandomSeason {
    SeasonRecord record;
    SeasonDays days;
    std::string today;
};

RandomSeason randomSeason(const PlanResult& plan, unsigned seed) {
    RandomSeason s;
    std::mt19937 rng(seed);
    const auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    const auto tenths = [](double x) {
        return std::round(x * 10) / 10;
    };
    const int count = plan.engine.WaterDemand().Count();
    const std::string& planted = *plan.plantingDate;
    const auto date = [&planted](int d) {
        return *dateAfter(planted, d);
    };
    const int todayDay = static_cast<int>(uniform(-5, count + 6));
    s.today = date(todayDay);
    if (seed == 0) {
        // As planned: every past irrigation logged at its planned amount, nothing else.
        for (const IrrigationDay& planned : plan.schedule.irrigations) {
            if (planned.day < todayDay) {
                s.record.irrigations.push_back({date(planned.day), planned.amount});
                s.days.irrigations[planned.day] = planned.amount;
            }
        }
        return s;
    }
    for (int d = 1; d <= count; ++d) {
        if (uniform(0, 1) < 0.15) {
            const double mm =
                uniform(0, 1) < 0.1 ? tenths(uniform(80, 200)) : tenths(uniform(0, 40));
            s.record.rain.push_back({date(d), mm});
            s.days.rain[d] = mm;
        }
        if (uniform(0, 1) < 0.02) {
            const double mm = tenths(uniform(0, 30));
            s.record.irrigations.push_back({date(d), mm});
            s.days.irrigations[d] = mm;
        }
    }
    for (const IrrigationDay& planned : plan.schedule.irrigations) {
        if (uniform(0, 1) < 0.6 && !s.days.irrigations.count(planned.day)) {
            const double mm =
                uniform(0, 1) < 0.1 ? 0.0 : tenths(planned.amount * uniform(0.3, 1.8));
            s.record.irrigations.push_back({date(planned.day), mm});
            s.days.irrigations[planned.day] = mm;
        }
    }
    std::sort(s.record.irrigations.begin(), s.record.irrigations.end(),
              [](const SeasonAmount& a, const SeasonAmount& b) { return a.date < b.date; });
    const int readings = static_cast<int>(uniform(0, 4));
    for (int i = 0; i < readings; ++i) {
        const int d = i == 0 && seed % 5 == 0 ? 0 : static_cast<int>(uniform(0, count + 1));
        if (s.days.readings.count(d)) {
            continue;
        }
        std::vector<double> contents;
        for (int layer = 0; layer < plan.waterLevels.LayerCount(); ++layer) {
            contents.push_back(std::round(uniform(0.02, 0.45) * 1000) / 1000);
        }
        s.record.readings.push_back({date(d), contents});
        s.days.readings[d] = contents;
    }
    if (seed % 3 != 0) {
        s.days.effectiveRain = {std::round(uniform(0, 100)), std::round(uniform(0, 15))};
        s.record.effectiveRain = s.days.effectiveRain;
    }
    return s;
}

std::string recordJson(const std::string& plantingDate, const SeasonRecord& record) {
    const auto amounts = [](const std::vector<SeasonAmount>& list) {
        Json::Array out;
        for (const SeasonAmount& a : list) {
            out.emplace_back(Json::Object{{"date", a.date}, {"mm", a.mm}});
        }
        return Json(std::move(out));
    };
    Json::Array readings;
    for (const SeasonReading& r : record.readings) {
        readings.emplace_back(
            Json::Object{{"date", r.date}, {"waterLevels", Json::array(r.waterLevels)}});
    }
    Json::Object season{{"rain", amounts(record.rain)},
                        {"irrigations", amounts(record.irrigations)},
                        {"readings", Json(std::move(readings))}};
    if (record.effectiveRain) {
        season.emplace_back("effectiveRain",
                            Json::Object{{"share", record.effectiveRain->share},
                                         {"minimum", record.effectiveRain->minimum}});
    }
    return Json(Json::Object{{"plantingDate", plantingDate}, {"season", Json(std::move(season))}})
        .dump();
}

// Every figure of every day, the totals and the next irrigation, recomputed in Python from
// the plan's own JSON and the record, and compared exactly.
TEST(SeasonBalance, IndependentRecomputationAgreesOnRandomRecords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int written = 0;
    for (const test::GoldenCase& c : test::goldenCases()) {
        PlanResult plan = test::plannedScenario(c.scenario, kStamp);
        if (!plan.plantingDate) {
            plan.plantingDate = "2027-02-27"; // across a leap-year-free February's end
        }
        for (unsigned seed = 0; seed < 24; ++seed) {
            const RandomSeason s = randomSeason(
                plan, seed == 0 ? 0 : seed * 7919 + static_cast<unsigned>(written) + 1);
            plan.season = s.record;
            plan.seasonDays = s.days;
            balancePlanSeason(plan, s.today);
            ASSERT_TRUE(plan.seasonBalance);
            const QString name = QFileInfo(c.expected).fileName() + QString::number(seed);
            test::writeFile(dir, name + QStringLiteral(".json"),
                            QByteArray::fromStdString(planJson(plan)));
            test::writeFile(dir, name + QStringLiteral(".record.json"),
                            QByteArray::fromStdString(recordJson(*plan.plantingDate, s.record)));
            ++written;
        }
    }
    const test::ProcessResult check = test::runProcess(
        kPython,
        {test::sourcePath(QStringLiteral("tests/wizard/season_check.py")),
         test::sourcePath(QStringLiteral("wizard/resources/crops.csv")), dir.path()},
        120000);
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    const std::string seasons = std::to_string(written / 24);
    EXPECT_NE(check.out.find("of " + std::to_string(written) + " seasons (" + seasons +
                             " as planned); 0 disagreements"),
              std::string::npos)
        << check.out;
}

// The calendar read by Python's icalendar: with the field's identity each event's UID is the
// identity and the date, the same after a re-plan; days gone by show what was logged, days
// to come what is advised, and a day with nothing to apply says to skip.
TEST(SeasonBalance, CalendarKeepsItsEventsAcrossReplans) {
    PlanResult plan = test::plannedScenario(
        test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json")), kStamp);
    plan.plantingDate = "2026-11-20";
    plan.field = FieldIdentity{std::string("North pivot"), 40.0, std::string("f-3c9a1e")};
    const int first = plan.schedule.irrigations.at(0).day;
    const int second = plan.schedule.irrigations.at(1).day;
    const int third = plan.schedule.irrigations.at(2).day;
    const auto on = [&plan](int d) {
        return *dateAfter(*plan.plantingDate, d);
    };
    plan.season = SeasonRecord{};
    plan.seasonDays.irrigations[first] = 12.5;
    const std::string today = on(second);
    balancePlanSeason(plan, today);
    ASSERT_TRUE(plan.seasonBalance);

    QTemporaryDir dir;
    const QString before =
        test::writeFile(dir, QStringLiteral("before.ics"),
                        QByteArray::fromStdString(planICalendar(plan, "20261201T080000Z")));
    // Re-planned after a heavy rain on the day of the third irrigation.
    plan.seasonDays.rain[third] = 400;
    balancePlanSeason(plan, today);
    const QString after =
        test::writeFile(dir, QStringLiteral("after.ics"),
                        QByteArray::fromStdString(planICalendar(plan, "20261202T080000Z")));

    const char* read = R"(
import icalendar, json, sys
out = []
for path in sys.argv[1:]:
    cal = icalendar.Calendar.from_ical(open(path, 'rb').read())
    out.append([[str(e.get('uid')), e.decoded('dtstart').isoformat(), str(e.get('summary'))]
                for e in cal.walk('VEVENT')])
print(json.dumps(out))
)";
    const test::ProcessResult run =
        test::runProcess(kPython, {QStringLiteral("-c"), QString::fromLatin1(read), before, after});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonArray calendars =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    ASSERT_EQ(calendars.size(), 2);
    const QJsonArray was = calendars[0].toArray();
    const QJsonArray is = calendars[1].toArray();
    ASSERT_EQ(was.size(), static_cast<qsizetype>(plan.schedule.irrigations.size()));
    ASSERT_EQ(is.size(), was.size());
    for (qsizetype i = 0; i < was.size(); ++i) {
        const QString date = was[i].toArray()[1].toString();
        EXPECT_EQ(was[i].toArray()[0].toString(), QStringLiteral("f-3c9a1e-") +
                                                      QString(date).remove(QLatin1Char('-')) +
                                                      QStringLiteral("@tavik"));
        EXPECT_EQ(is[i].toArray()[0], was[i].toArray()[0]);
    }
    const auto summary = [](const QJsonArray& events, int i) {
        return events[i].toArray()[2].toString().toStdString();
    };
    EXPECT_EQ(summary(was, 0), "Irrigated 12.5 mm (North pivot, Maize)");
    EXPECT_EQ(summary(is, 0), "Irrigated 12.5 mm (North pivot, Maize)");
    EXPECT_EQ(summary(is, 2), "Irrigation: skip (soil wetter than planned) (North pivot, Maize)");
    // The second irrigation, today, is advised: the planned amount and the 1st's shortfall.
    const SeasonDay& todays = plan.seasonBalance->days.at(static_cast<std::size_t>(second - 1));
    ASSERT_TRUE(todays.advised);
    EXPECT_EQ(summary(was, 1),
              "Irrigate " + oneDecimalText(*todays.advised) + " mm (North pivot, Maize)");

    // The CSV table carries the season's columns on every line.
    const std::string csv = planCsv(plan);
    const std::string heading = csv.substr(0, csv.find('\n'));
    EXPECT_NE(heading.find(",logged_mm,advised_mm,irrigation_mm,planned_water_mm,soil_water_mm,"
                           "deviation_mm,soil_class"),
              std::string::npos);
    // The season's own text names the next irrigation on its line.
    const std::string text = seasonText(plan);
    EXPECT_NE(text.find("Next irrigation: " + seasonDateText(plan, second) + " (day " +
                        std::to_string(second) + "): " + oneDecimalText(*todays.advised) + " mm"),
              std::string::npos)
        << text;

    // The adviser's list: the field whose irrigation comes first leads, one that cannot be
    // read keeps its line, last, with its reason.
    PlanResult later = plan;
    balancePlanSeason(later, on(second + 1));
    later.field->name = "South pivot";
    std::vector<AdviserLine> lines;
    lines.push_back({"broken.tavikplan", std::nullopt, "season.rain[3].date: no date"});
    lines.push_back({"south.tavikplan", later, {}});
    lines.push_back({"north.tavikplan", plan, {}});
    const std::string list = adviserListText(lines);
    const auto north = list.find("North pivot");
    const auto south = list.find("South pivot");
    const auto broken = list.find("broken.tavikplan");
    EXPECT_LT(north, south) << list;
    EXPECT_LT(south, broken) << list;
    EXPECT_NE(list.find("season.rain[3].date: no date"), std::string::npos) << list;
    const std::string listCsv = adviserListCsv(lines);
    EXPECT_EQ(std::count(listCsv.begin(), listCsv.end(), '\n'), 4) << listCsv;
    if (qEnvironmentVariableIsSet("SEASON_SHOW")) {
        std::cout << text << list << listCsv << csv;
    }
}

} // namespace
} // namespace tavik
