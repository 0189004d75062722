// The season drawn and measured: every point of the season chart against the balance over the
// golden plans with random records, and the soil reading dialog driven by typing.

#include "GuiSupport.h"
#include "plan/Calendar.h"
#include "plan/Plan.h"
#include "plan/Scenario.h"
#include "plan/Season.h"
#include "printing/SeasonChart.h"
#include "screens/SoilReadingDialog.h"

#include <QDateEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>
#include <random>

namespace tavik {
namespace {

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

PlanResult goldenPlan(const QString& scenarioFile) {
    PlanResult plan = test::plannedScenario(scenarioFile, kStamp);
    if (!plan.plantingDate) {
        plan.plantingDate = "2027-02-20";
    }
    return plan;
}

// Rain on some days, logged irrigations on most planned days and a few others, up to three
// readings (now and then on planting day), a rule for effective rain, and a today anywhere
// from before planting to after the season; balanced into the plan.
void balanceRandomSeason(PlanResult& plan, unsigned seed) {
    std::mt19937 rng(seed);
    const auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    const int count = plan.engine.WaterDemand().Count();
    SeasonDays days;
    for (int d = 1; d <= count; ++d) {
        if (uniform(0, 1) < 0.15) {
            days.rain[d] = std::round(uniform(0, 60) * 10) / 10;
        }
        if (uniform(0, 1) < 0.03) {
            days.irrigations[d] = std::round(uniform(0, 30) * 10) / 10;
        }
    }
    for (const IrrigationDay& planned : plan.schedule.irrigations) {
        if (uniform(0, 1) < 0.6) {
            days.irrigations[planned.day] = std::round(planned.amount * uniform(0, 1.6) * 10) / 10;
        }
    }
    for (int i = static_cast<int>(uniform(0, 4)); i > 0; --i) {
        const int d = seed % 4 == 0 && i == 1 ? 0 : static_cast<int>(uniform(0, count + 1));
        std::vector<double>& contents = days.readings[d];
        contents.clear();
        for (int layer = 0; layer < plan.waterLevels.LayerCount(); ++layer) {
            contents.push_back(std::round(uniform(0.02, 0.45) * 1000) / 1000);
        }
    }
    if (seed % 3 != 0) {
        days.effectiveRain = {std::round(uniform(0, 100)), std::round(uniform(0, 15))};
    }
    plan.season = SeasonRecord{};
    plan.seasonDays = days;
    balancePlanSeason(plan,
                      *dateAfter(*plan.plantingDate, static_cast<int>(uniform(-5, count + 6))));
}

QCPAbstractPlottable* plottable(QCustomPlot& plot, const QString& name) {
    for (int i = 0; i < plot.plottableCount(); ++i) {
        if (plot.plottable(i)->name() == name) {
            return plot.plottable(i);
        }
    }
    ADD_FAILURE() << "no " << name.toStdString();
    return nullptr;
}

// The series as drawn: key → value.
std::map<double, double> series(QCustomPlot& plot, const QString& name) {
    std::map<double, double> points;
    if (auto* graph = qobject_cast<QCPGraph*>(plottable(plot, name))) {
        for (const QCPGraphData& p : *graph->data()) {
            points[p.key] = p.value;
        }
    } else if (auto* bars = qobject_cast<QCPBars*>(plottable(plot, name))) {
        for (const QCPBarsData& p : *bars->data()) {
            points[p.key] = p.value;
        }
    }
    return points;
}

template <typename T>
T* item(QCustomPlot& plot, const QString& name) {
    for (int i = 0; i < plot.itemCount(); ++i) {
        if (plot.item(i)->objectName() == name) {
            return qobject_cast<T*>(plot.item(i));
        }
    }
    return nullptr;
}

// Every drawn point is the balance's own figure, day 0 included; the bands' edges are the
// class thresholds; the limits, today and the readings stand where the balance has them;
// and the tip over a day names its date and soil water.
TEST(SeasonChart, EveryDrawnFigureIsTheBalances) {
    QCustomPlot plot;
    plot.resize(900, 500);
    int seasons = 0;
    for (const test::GoldenCase& c : test::goldenCases()) {
        SCOPED_TRACE(c.scenario.toStdString());
        PlanResult plan = goldenPlan(c.scenario);
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(seed);
            balanceRandomSeason(plan, seed * 104729 + static_cast<unsigned>(seasons));
            ++seasons;
            ASSERT_TRUE(plan.seasonBalance);
            const SeasonBalance& balance = *plan.seasonBalance;
            drawSeasonChart(plot, plan);
            const auto planned = series(plot, QStringLiteral("Planned soil water"));
            const auto soil = series(plot, QStringLiteral("Soil water"));
            const auto rain = series(plot, QStringLiteral("Rain"));
            const auto logged = series(plot, QStringLiteral("Irrigation"));
            const auto advised = series(plot, QStringLiteral("Advised irrigation"));
            const auto readings = series(plot, QStringLiteral("Readings"));
            ASSERT_EQ(planned.size(), balance.days.size() + 1);
            ASSERT_EQ(soil.size(), balance.days.size() + 1);
            const double start =
                static_cast<double>(plan.waterLevels.stageTotal(Stage::SeasonStart));
            EXPECT_EQ(planned.at(0), start);
            EXPECT_EQ(soil.at(0), start + balance.startDeviation);
            std::map<double, double> measured;
            if (plan.seasonDays.readings.count(0) != 0) {
                measured[0] = start + balance.startDeviation;
            }
            for (const SeasonDay& day : balance.days) {
                const auto d = static_cast<double>(day.day);
                EXPECT_EQ(planned.at(d), day.plannedWater) << day.day;
                EXPECT_EQ(soil.at(d), day.soilWater) << day.day;
                EXPECT_EQ(rain.at(d), day.rain.value_or(0.0)) << day.day;
                EXPECT_EQ(logged.at(d), day.logged ? day.irrigation : 0.0) << day.day;
                EXPECT_EQ(advised.at(d), day.logged ? 0.0 : day.advised.value_or(0.0)) << day.day;
                if (day.reading) {
                    measured[d] = *day.reading;
                    EXPECT_EQ(*day.reading, day.soilWater) << day.day;
                }
            }
            EXPECT_EQ(readings, measured);

            const SeasonPlan season = seasonPlanOf(plan);
            const ClassThresholds& t = season.thresholds;
            const std::pair<const char*, std::pair<double, double>> bands[] = {
                {"bandVeryDry", {0.0, static_cast<double>(t.VeryDryTop)}},
                {"bandDry", {static_cast<double>(t.VeryDryTop), static_cast<double>(t.DryTop)}},
                {"bandWet", {static_cast<double>(t.DryTop), static_cast<double>(t.WetTop)}},
            };
            for (const auto& [name, edges] : bands) {
                auto* band = item<QCPItemRect>(plot, QString::fromLatin1(name));
                ASSERT_NE(band, nullptr) << name;
                EXPECT_EQ(band->bottomRight->coords().y(), edges.first) << name;
                EXPECT_EQ(band->topLeft->coords().y(), edges.second) << name;
            }
            auto* wettest = item<QCPItemRect>(plot, QStringLiteral("bandVeryWet"));
            ASSERT_NE(wettest, nullptr);
            EXPECT_EQ(wettest->bottomRight->coords().y(), static_cast<double>(t.WetTop));
            EXPECT_GE(wettest->topLeft->coords().y(), plot.yAxis->range().upper);
            EXPECT_EQ(item<QCPItemStraightLine>(plot, QStringLiteral("fieldCapacity"))
                          ->point1->coords()
                          .y(),
                      season.fieldCapacity);
            EXPECT_EQ(
                item<QCPItemStraightLine>(plot, QStringLiteral("lowerLimit"))->point1->coords().y(),
                season.lowerLimit);
            auto* today = item<QCPItemStraightLine>(plot, QStringLiteral("today"));
            const bool inSeason =
                balance.todayDay >= 0 && balance.todayDay <= static_cast<int>(balance.days.size());
            ASSERT_EQ(today != nullptr, inSeason) << balance.todayDay;
            if (today != nullptr) {
                EXPECT_EQ(today->point1->coords().x(), balance.todayDay);
            }
            // The tip over a day: its date, its day and its soil water.
            const SeasonDay& day = balance.days[seed * 37 % balance.days.size()];
            const QPoint over(static_cast<int>(plot.xAxis->coordToPixel(day.day)),
                              plot.axisRect()->center().y());
            const QString tip = seasonChartTip(plot, plan, over);
            const QDate date = QDate::fromString(
                QString::fromStdString(*dateAfter(*plan.plantingDate, day.day)), Qt::ISODate);
            EXPECT_TRUE(tip.startsWith(QLocale().toString(date, QStringLiteral("ddd d MMM yyyy")) +
                                       QStringLiteral(" (day ") + QString::number(day.day)))
                << tip.toStdString();
            EXPECT_TRUE(tip.contains(QStringLiteral("Soil water: ") +
                                     QLocale().toString(day.soilWater, 'f', 1)))
                << tip.toStdString();
            EXPECT_EQ(tip.contains(QStringLiteral("advised")),
                      day.advised && !day.logged && *day.advised > 0.0)
                << tip.toStdString();
            EXPECT_TRUE(seasonChartTip(plot, plan, QPoint(-5, -5)).isEmpty());
        }
    }
    EXPECT_GE(seasons, 12 * 5);

    // A plan without a season: an empty plot, no tips.
    PlanResult unbalanced = goldenPlan(test::goldenCases().front().scenario);
    drawSeasonChart(plot, unbalanced);
    EXPECT_EQ(plot.plottableCount(), 0);
    EXPECT_EQ(plot.itemCount(), 0);
    EXPECT_TRUE(seasonChartTip(plot, unbalanced, plot.axisRect()->center()).isEmpty());
}

// ---- The soil reading dialog -------------------------------------------------------------

struct TypedCase {
    const char* locale;
    const char* typed;
    bool valid;
    const char* says; // what the field's status says (the class word is checked apart)
};

const TypedCase kTyped[] = {
    {"C", "0.215", true, ""},
    {"C", " 0.3 ", true, ""},
    {"C", ".5", true, ""},
    {"C", "0", true, ""},
    {"C", "0.500", true, ""},
    {"C", "0.501", false, "Out of range: 0.000 to 0.500 mm/mm"},
    {"C", "7", false, "Out of range"},
    {"C", "0.2155", false, "At most three decimals"},
    {"C", "", false, "Type the water content, e.g. 0.215"},
    {"C", "abc", false, "Not a number; type e.g. 0.215"},
    {"C", "-0.1", false, "Not a number"},
    {"C", "1e-1", false, "Not a number"},
    {"C", ".", false, "Not a number"},
    {"C", "0,2", false, "Not a number; type e.g. 0.215"},
    {"de_DE", "0,2", true, ""},
    {"de_DE", "0.2", false, "Not a number; type e.g. 0,215"},
    {"de_DE", "0,5001", false, "At most three decimals"},
};

class ReadingDialog : public testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    // A plan of three layers, planted on 2027-01-10.
    PlanResult plan_ = [] {
        PlanResult plan =
            goldenPlan(test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json")));
        plan.plantingDate = "2027-01-10";
        return plan;
    }();
};

// Each typed value: valid or told why beside its field, OK only once every layer holds a
// valid value, in the locale's decimal separator; and the class word of every level as its
// layer's dial gives it.
TEST_F(ReadingDialog, TypedValuesAreCheckedAsTyped) {
    const int layers = plan_.waterLevels.LayerCount();
    ASSERT_GE(layers, 2);
    for (const TypedCase& c : kTyped) {
        SCOPED_TRACE(std::string(c.locale) + " \"" + c.typed + "\"");
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        SoilReadingDialog dialog(plan_, QDate(2027, 2, 1), std::vector<double>(layers, 0.1),
                                 nullptr);
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdReadingOk"));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isEnabled()) << "the starting levels are a reading";
        auto* last = dialog.findChild<QLineEdit*>(QStringLiteral("txtReadingLayer") +
                                                  QString::number(layers));
        ASSERT_NE(last, nullptr);
        last->selectAll();
        QTest::keyClicks(last, QString::fromLatin1(c.typed));
        if (QString::fromLatin1(c.typed).isEmpty()) {
            last->clear();
        }
        const QString status =
            dialog.findChild<QLabel*>(QStringLiteral("lblReadingClass") + QString::number(layers))
                ->text();
        EXPECT_EQ(ok->isEnabled(), c.valid);
        if (!c.valid) {
            EXPECT_TRUE(status.startsWith(QString::fromLatin1(c.says))) << status.toStdString();
        }
    }
    // Every level of every layer takes the class word the layer's dial gives that level.
    QLocale::setDefault(QLocale::c());
    SoilReadingDialog dialog(plan_, QDate(2027, 2, 1), {}, nullptr);
    WaterLevelModel levels = plan_.waterLevels;
    for (int r = 0; r < layers; ++r) {
        const QString number = QString::number(r + 1);
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("txtReadingLayer") + number);
        auto* status = dialog.findChild<QLabel*>(QStringLiteral("lblReadingClass") + number);
        for (int thousandths = 0; thousandths <= WaterLevelModel::kMaxSelection; thousandths += 3) {
            edit->setText(QLocale::c().toString(thousandths / 1000.0, 'f', 3));
            levels.select(r, Stage::PeakStart, thousandths);
            EXPECT_EQ(status->text().toStdString(), levels.layerClass(r, Stage::PeakStart))
                << "layer " << number.toStdString() << " at " << thousandths;
        }
    }
}

// The depths beside the layers, the dates the reading may take, and a reading entered with
// the keyboard alone: typed, tabbed through and confirmed with Enter.
TEST_F(ReadingDialog, AReadingIsEnteredWithTheKeyboard) {
    const int layers = plan_.waterLevels.LayerCount();
    SoilReadingDialog dialog(plan_, QDate(2027, 1, 20), {}, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (int r = 0; r < layers; ++r) {
        const int bottom = r + 1 == layers ? plan_.depth : (r + 1) * 300;
        EXPECT_EQ(
            dialog.findChild<QLabel*>(QStringLiteral("lblReadingDepth") + QString::number(r + 1))
                ->text(),
            QStringLiteral("%1 - %2 mm").arg(r * 300).arg(bottom));
    }
    auto* date = dialog.findChild<QDateEdit*>(QStringLiteral("dtpReadingDate"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->minimumDate(), QDate(2027, 1, 10));
    EXPECT_EQ(date->maximumDate(), QDate(2027, 1, 10).addDays(plan_.engine.WaterDemand().Count()));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdReadingOk"));
    EXPECT_FALSE(ok->isEnabled()) << "no levels yet";

    std::optional<SeasonReading> chosen;
    QObject::connect(&dialog, &SoilReadingDialog::readingChosen,
                     [&chosen](const SeasonReading& reading) { chosen = reading; });
    QApplication::setActiveWindow(&dialog);
    // The first layer has the focus; each value is typed and Tab goes on to the next.
    std::vector<double> typed;
    for (int r = 0; r < layers; ++r) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), QStringLiteral("txtReadingLayer") + QString::number(r + 1));
        const QString level = QString::number(0.1 + 0.05 * r, 'f', 3);
        typed.push_back(level.toDouble());
        QTest::keyClicks(focus, level);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_TRUE(ok->isEnabled());
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("txtReadingLayer1")),
                    Qt::Key_Return);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->date, "2027-01-20");
    EXPECT_EQ(chosen->waterLevels, typed);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
} // namespace tavik
